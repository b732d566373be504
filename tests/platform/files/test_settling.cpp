// When a file has settled: its times' lag (fine, or whole seconds) and the
// quiet time asked for, counted from its later time; a time far ahead of the
// clock is another clock's.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/files/settling.h"

namespace {

constexpr std::int64_t kMs = 1000000;
constexpr std::int64_t kFine = 123456789;  // ns after a whole second, off the 10 ms steps

TEST(Settling, AFileSettlesItsTimesLagAndTheQuietTimeAfterItsLaterTime) {
  struct Row {
    const char* what;
    std::int64_t modified, changed, quiet, now;  // ns after a whole second
    std::int64_t wait;
    bool otherClock;
  };
  const Row rows[] = {
      {"fine times, 99 ms on", kFine, kFine, 0, kFine + 99 * kMs, 1 * kMs, false},
      {"fine times, 100 ms on", kFine, kFine, 0, kFine + 100 * kMs, 0, false},
      {"whole seconds, 1.99 s on", 0, 0, 0, 1990 * kMs, 10 * kMs, false},
      {"whole seconds, 2 s on", 0, 0, 0, 2000 * kMs, 0, false},
      {"fine times, a second's quiet, 0.15 s on", kFine, kFine, 1000 * kMs, kFine + 150 * kMs, 950 * kMs,
       false},
      {"fine times, a second's quiet, 1.1 s on", kFine, kFine, 1000 * kMs, kFine + 1100 * kMs, 0, false},
      {"whole seconds, a second's quiet, 0.15 s on", 0, 0, 1000 * kMs, 150 * kMs, 2850 * kMs, false},
      {"whole seconds, a second's quiet, 3 s on", 0, 0, 1000 * kMs, 3000 * kMs, 0, false},
      {"a change time on a 10 ms step: whole seconds", kFine, 120 * kMs, 0, kFine + 1000 * kMs, 1000 * kMs,
       false},
      {"a time 0.5 s ahead of the clock", kFine, kFine + 500 * kMs, 1000 * kMs, kFine, 1600 * kMs, false},
      {"a time 3 s ahead of the clock: another clock's", kFine, kFine + 5000 * kMs, 1000 * kMs,
       kFine + 2000 * kMs, 0, true},
  };
  const std::int64_t second = std::int64_t{1700000000} * 1000000000;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    md::files::FileStamp stamp;
    stamp.known = true;
    stamp.modified = second + row.modified;
    stamp.changed = second + row.changed;
    const md::files::Settling s = md::files::SettlingOf(stamp, second + row.now, row.quiet);
    EXPECT_EQ(s.wait, row.wait);
    EXPECT_EQ(s.otherClock, row.otherClock);
  }
}

}  // namespace
