// While it lives, links and the picture cache judge files' age by the given time
// (ns since 1970): by default a minute on, when all a test wrote has settled.
#pragma once

#include <atomic>
#include <ctime>

#include "platform/files/settling.h"

namespace md::test {

struct SourceClock {
  explicit SourceClock(std::int64_t ns = (std::time(nullptr) + 60) * std::int64_t{1000000000}) {
    now = ns;
    md::files::detail::SetFileClock([] { return now.load(); });
  }
  ~SourceClock() { md::files::detail::SetFileClock(nullptr); }
  static inline std::atomic<std::int64_t> now{0};
};

}  // namespace md::test
