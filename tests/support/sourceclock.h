// Fixes the clock links judge their sources' age by (platform/ole/link.h),
// so that a test need not wait for a file it has just written to settle.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>

#include "platform/ole/link.h"

namespace md::test {

inline constexpr std::int64_t kSecond = 1000000000;

// While it lives, links read the time as the given one (nanoseconds since 1970).
struct SourceClock {
  explicit SourceClock(std::int64_t ns) : previous(md::ole::detail::SetSourceClock(&Read)) { now = ns; }
  ~SourceClock() { md::ole::detail::SetSourceClock(previous); }
  // A minute from now: the sources written so far have settled by then.
  static std::int64_t AMinuteFromNow() { return (std::time(nullptr) + 60) * kSecond; }
  static std::int64_t Read() { return now.load(); }
  static inline std::atomic<std::int64_t> now{0};
  md::ole::detail::SourceClock previous;
};

}  // namespace md::test
