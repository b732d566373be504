// When a file has settled: its times' lag (fine, or whole seconds) and the
// quiet time asked for, from its later time; one far ahead is another clock's.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/files/settling.h"

namespace {

TEST(Settling, AFileSettlesItsTimesLagAndTheQuietTimeAfterItsLaterTime) {
  constexpr std::int64_t kMs = 1000000, kFine = 123456789;  // ns after a second, off the 10 ms steps
  constexpr std::int64_t kSecond = std::int64_t{1700000000} * 1000 * kMs;
  const struct {
    const char* what;
    std::int64_t modified, changed, quiet, now, wait;  // ns, times after kSecond
    bool otherClock;
  } rows[] = {
      {"fine, 1 s quiet, 0.15 s on", kFine, kFine, 1000 * kMs, kFine + 150 * kMs, 950 * kMs, false},
      {"change time on a 10 ms step", kFine, 120 * kMs, 0, kFine + 1000 * kMs, 1000 * kMs, false},
      {"0.5 s ahead", kFine, kFine + 500 * kMs, 1000 * kMs, kFine, 1600 * kMs, false},
      {"3 s ahead: another clock", kFine, kFine + 5000 * kMs, 1000 * kMs, kFine + 2000 * kMs, 0, true},
  };
  for (const auto& row : rows) {
    const md::files::Settling s = md::files::SettlingOf(
        {.modified = kSecond + row.modified, .changed = kSecond + row.changed}, kSecond + row.now, row.quiet);
    EXPECT_EQ(std::pair(s.wait, s.otherClock), std::pair(row.wait, row.otherClock)) << row.what;
  }
}

}  // namespace
