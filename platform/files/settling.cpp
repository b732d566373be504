// When a file has settled (see settling.h).
#include "platform/files/settling.h"

#include <atomic>
#include <cstdint>
#include <ctime>

namespace md::files {
namespace {

std::atomic<detail::FileClock> g_clock{nullptr};

// A stamp on one of these steps is taken for one of a coarse clock.
constexpr std::int64_t kCoarseStep = 10000000;  // 10 ms

}  // namespace

bool HasFineTimes(const FileStamp& stamp) {
  return stamp.modified % kCoarseStep != 0 && stamp.changed % kCoarseStep != 0;
}

std::int64_t SettleTime(const FileStamp& stamp, std::int64_t quiet) {
  return (HasFineTimes(stamp) ? kFineTimeLag : kCoarseTimeLag) + quiet;
}

Settling SettlingOf(const FileStamp& stamp, std::int64_t now, std::int64_t quiet) {
  const std::int64_t settle = SettleTime(stamp, quiet);
  Settling s;
  for (const std::int64_t t : {stamp.modified, stamp.changed}) {
    std::int64_t age = 0;
    if (__builtin_sub_overflow(now, t, &age)) age = now > t ? INT64_MAX : INT64_MIN;
    if (age >= settle) continue;
    if (age < -settle) {
      s.otherClock = true;
      continue;
    }
    if (settle - age > s.wait) s.wait = settle - age;
  }
  return s;
}

std::int64_t FileClockNow() {
  if (const detail::FileClock clock = g_clock.load()) return clock();
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

detail::FileClock detail::SetFileClock(FileClock clock) { return g_clock.exchange(clock); }

}  // namespace md::files
