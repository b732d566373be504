// When a file has settled: when its times can be trusted to show its next
// change, and the change they show lies far enough behind. The one rule the
// picture cache (whose readings keep while their files' times stay) and
// links (which take a source only when its writer is not between two
// pieces) judge files by, and the one clock they judge them by.
#pragma once

#include <cstdint>

#include "platform/files/filestore.h"

namespace md::files {

// How far a file's time may lie behind the change it stamps. Fine times
// (both the modification and the change time off the 10 ms steps) come from
// the kernel's coarse clock, which steps 10 ms at most; times in whole
// seconds may lie up to 2 s behind (FAT keeps even seconds).
inline constexpr std::int64_t kFineTimeLag = 100000000;     // ns
inline constexpr std::int64_t kCoarseTimeLag = 2000000000;  // ns
bool HasFineTimes(const FileStamp& stamp);

// How long after the time it shows a file showing the stamp has settled:
// its times' lag, then `quiet` more (ns): the time a change then lies
// `quiet` behind.
std::int64_t SettleTime(const FileStamp& stamp, std::int64_t quiet);

struct Settling {
  std::int64_t wait = 0;    // ns until the file has settled; 0 once it has
  bool otherClock = false;  // a time lay ahead of the clock by more than
                            // SettleTime: another clock's (a file server's),
                            // of an age nobody knows; it adds no wait
};
// How a file showing the stamp stands at `now` (ns since 1970), each of its
// times judged by SettleTime(stamp, quiet).
Settling SettlingOf(const FileStamp& stamp, std::int64_t now, std::int64_t quiet);

// The time files' ages are judged by, in ns since 1970 (the file times'
// clock).
std::int64_t FileClockNow();

namespace detail {
// The clock FileClockNow answers, so that a test can age its files; NULL:
// the system's. Answers the clock it replaced.
using FileClock = std::int64_t (*)();
FileClock SetFileClock(FileClock clock);
}  // namespace detail

}  // namespace md::files
