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
class SourceClock {
 public:
  explicit SourceClock(std::int64_t ns) : previous_(md::ole::detail::SetSourceClock(&Read)) { now_ = ns; }
  ~SourceClock() { md::ole::detail::SetSourceClock(previous_); }
  SourceClock(const SourceClock&) = delete;
  SourceClock& operator=(const SourceClock&) = delete;

  // A minute from now: the sources written so far have settled by then.
  static std::int64_t AMinuteFromNow() { return (std::time(nullptr) + 60) * kSecond; }

 private:
  static std::int64_t Read() { return now_.load(); }
  static inline std::atomic<std::int64_t> now_{0};
  md::ole::detail::SourceClock previous_;
};

}  // namespace md::test
