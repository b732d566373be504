// The limits a run sets on its program from outside it (isolate.h, the
// warden): a stand-in helper that does what a helper taken over would
// (spins, starts threads or processes, hoards memory, grows or shrinks its buffer,
// answers for ever or with control characters, reads its environment) is
// held to them, as root and as nobody, under Landlock and under the
// namespaces that stand in for it; and a drawing's budget is charged each
// run's processor time, but at least a quarter of its wall time.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/protocol/fences.h"
#include "tests/platform/imaging/kernelfences.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace detail = md::imaging::detail;
namespace m = md::test::metafiles;
namespace kernel = md::test::kernel;
using End = detail::IsolatedEnd;

constexpr std::size_t kExtraMemory = std::size_t{64} << 20;

// Whether what a process holds grows faster than its address space:
// ThreadSanitizer's shadow of each byte written takes four more, in address
// space it reserved at its start.
#if defined(__SANITIZE_THREAD__)
constexpr bool kShadowGrows = true;
#else
constexpr bool kShadowGrows = false;
#endif

// The processor time of the rows that do not spin: far above what each takes
// (hoarding, the most, writes its memory limit's pages: a few hundred
// milliseconds on a loaded machine), so that only a run that spins reaches it.
constexpr int kLimitMs = 20000;
constexpr std::int64_t kMostMs = 5000;

// Runs each row's stand-in in this process as it is (root or nobody); a line
// for each row that failed. After each run no process of it is left, and
// none of its processes held more than its memory limit: what the first
// row's, which takes none, held, and its extra memory, its buffer within it.
std::string HeldToItsLimits() {
  // Variables of the host's the program is not to see: one of its own, two
  // named as the locale's and fontconfig's are, the loader's preloads, and
  // the host's temporary folder.
  for (const char* name : {"MD_HOST_SECRET", "LC_PLANTED", "FONTCONFIG_PLANTED"})
    ::setenv(name, "planted", 1);
  ::setenv("LD_PRELOAD", "", 1);
  ::setenv("TMPDIR", "/tmp", 1);
  const struct {
    std::vector<std::string> does;  // what the stand-in does
    End end;
    std::string error;             // a regular expression the run's reason matches
    std::int64_t leastMs, mostMs;  // the processor time the run takes
    int limitMs = kLimitMs;        // the processor time it may take
    bool watched = true;           // false: the warden's watch left off
  } rows[] = {
      // Its threads' processor time counts; the warden's watch ends it at its
      // limit. A busy machine may let the watch run late (by 0.8 s seen at a
      // load of 10), still before the kernel's backstop at 2 s would.
      {{"spin", "2"},
       End::OutOfProcessorTime,
       "drawing took more than 0.50 s of processor time",
       500,
       1500,
       500},
      // Without the watch, the kernel's backstop alone ends it, a second past
      // its limit rounded up to whole seconds, but counted in the scheduler's
      // ticks, which on a busy machine run ahead of the time the run's usage
      // reports: no sooner than its limit, and never at the wall's 60 s.
      {{"spin", "1"},
       End::OutOfProcessorTime,
       "drawing took more than 1.00 s of processor time",
       1000,
       2600,
       1000,
       false},
      // No process of its own, and threads within their count: the warden's
      // supervisor lets the first 256 starts through and refuses the rest.
      {{"fork", "200"}, End::Refused, "forked 0", 0, kMostMs},
      // 256 threads at once, its first among them; past its 256th refusal
      // the kernel refuses the rest (ENOSYS) without the warden's
      // supervisor, whose work no limit of the run counts.
      {{"threads", "2000"}, End::Refused, "started 255", 0, kMostMs},
      {{"threads", "20000", "refusals"}, End::Refused, "started 255, errno 11, errno 38", 0, kMostMs},
      {{"hoard"}, End::Refused, "held [0-9]+ MiB", 0, kMostMs},
      // Its buffer sealed at its size: the host reads it whole after it tried.
      {{"grow its buffer"}, End::Refused, "errno 1, errno 1", 0, kMostMs},
      {{"shrink its buffer"}, End::Done, "", 0, kMostMs},
      // Its answer bounded and made one line of printable characters.
      {{"answer for ever"}, End::Stopped, "the renderer answered more than 4096 bytes", 0, kMostMs},
      {{"forge a record"}, End::Refused, "refused\\\\x0a\\\\x1b\\[31mforged\\\\x07", 0, kMostMs},
      // Its environment built: none of the host's other variables.
      {{"environment"},
       End::Refused,
       "( "
       "?(LD_LIBRARY_PATH|HOME|XDG_(CACHE|CONFIG|DATA)_HOME|XDG_DATA_DIRS|FONTCONFIG_(FILE|PATH)|LANG|LC_ALL|"
       "LC_CTYPE|[A-Z]+SAN_OPTIONS|MD_PROBE_METAFILE))*",
       0,
       kMostMs},
  };
  std::string failed;
  long startKiB = -1;
  for (const auto& row : rows) {
    detail::IsolationLimits limits;
    limits.milliseconds = 60000;
    limits.processorMilliseconds = row.limitMs;
    limits.extraMemory = kExtraMemory;
    const char input = 7;
    std::string error;
    End end = End::NotRun;
    std::int64_t ms = -1;
    detail::SetWardenWatchOff(!row.watched);
    detail::RunIsolated(
        MD_IMAGING_PROBE, row.does, &input, 1, std::size_t{1} << 20,
        [](const void* buffer) {
          // Every byte read, as a host's collection does.
          unsigned sum = 0;
          for (std::size_t k = 0; k < (std::size_t{1} << 20); ++k)
            sum += static_cast<const unsigned char*>(buffer)[k];
          return sum == 0 ? std::string() : "the buffer holds " + std::to_string(sum);
        },
        limits, &error, &end, &ms);
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    errno = 0;
    const bool left = !(::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
    const std::string said = row.does[0] + (row.watched ? "" : " unwatched") + ": ";
    if (end != row.end)
      failed += said + "ended as " + std::to_string(static_cast<int>(end)) + ": " + error + "\n";
    if (!std::regex_match(error, std::regex(row.error))) failed += said + "answered \"" + error + "\"\n";
    if (ms < row.leastMs || ms > row.mostMs) failed += said + "took " + std::to_string(ms) + " ms\n";
    if (left) failed += said + "a process of the run is left\n";
    if (startKiB < 0) startKiB = children.ru_maxrss;
    if (!kShadowGrows && static_cast<std::size_t>(children.ru_maxrss - startKiB) * 1024 > kExtraMemory)
      failed += said + "a process held " + std::to_string(children.ru_maxrss) + " KiB, " +
                std::to_string(startKiB) + " KiB at its start\n";
  }
  return failed;
}

// As the host runs or as nobody; Landlock, or the namespaces in its place.
class ImagingHelperLimits : public testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(ImagingHelperLimits, AStandInHelperIsHeldToItsLimitsFromOutside) {
  const auto [nobody, without] = GetParam();
  if (nobody && ::getuid() != 0) GTEST_SKIP() << "only a host run as root can run the table as nobody";
  const m::FencesWithoutScope pretend(without);
  const int fences = detail::HelperFences();
  ASSERT_GE(fences, 0);
  if ((fences & (detail::kFenceLandlock | detail::kFenceNamespaces)) == 0) {
    const std::string lost = kernel::FilesFenceLost(without);
    if (!lost.empty()) FAIL() << "this kernel gives " << lost << ", but the warden's fences lack it";
    GTEST_SKIP() << "neither Landlock nor namespaces can be made here";
  }
#if defined(__x86_64__) || defined(__aarch64__)
  ASSERT_NE(fences & detail::kFenceFilter, 0) << "the system call filter could not be installed";
#else
  if ((fences & detail::kFenceFilter) == 0) GTEST_SKIP() << "no system call filter on this architecture";
#endif
  EXPECT_EXIT(
      {
        if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
          ::_exit(2);
        ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
        const std::string failed = HeldToItsLimits();
        std::fputs(failed.c_str(), stderr);
        ::_exit(failed.empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(, ImagingHelperLimits,
                         testing::Combine(testing::Bool(),
                                          testing::Values(0, static_cast<int>(detail::kFenceLandlock))),
                         [](const testing::TestParamInfo<std::tuple<bool, int>>& info) {
                           return std::string(std::get<0>(info.param) ? "AsNobody" : "AsItRuns") +
                                  (std::get<1>(info.param) == 0 ? "AllFences" : "NamespacesForLandlock");
                         });

// Each run of the helper, and each paint of a metafile's vectors here, takes
// 40 s on the drawing's clock and the processor time a row gives it, against
// a drawing's budget of 60 s: charged a quarter of its wall time at least
// (10 s), six are made before the rest are deferred; charged its processor
// time where that is more, fewer. Charged its wall time, two would be; its
// processor time alone, all ten. A test's clock and processor time, so that
// no machine's speed moves the count.
TEST(ImagingHelperBudget, ARunOrAPaintIsChargedItsProcessorTimeButAQuarterOfItsWallTimeAtLeast) {
  struct Row {
    std::int64_t processorMs;
    int ran;
  };
  const Row rows[] = {{0, 6}, {100, 6}, {10000, 6}, {12000, 5}, {15000, 4}, {30000, 2}, {60000, 1}};
  int content = 0;  // another content each run, so that no picture is drawn from the cache
  // Whether it was made: a run of the helper (a decode), or a paint.
  const std::pair<const char*, std::function<bool()>> kinds[] = {
      {"run",
       [&] {
         const m::Bytes bytes = m::Wmf(1000 + content++, 500, 1000, {}, 0);
         return !md::imaging::Decode(bytes.data(), bytes.size()).deferred;
       }},
      {"paint",
       [] {
         if (detail::MetafileTimeSpent()) return false;
         const detail::ChargedMetafileTime charged;
         return true;
       }},
  };
  for (const auto& [kind, make] : kinds)
    for (const Row& row : rows) {
      const m::MetafileLimitsScope limits({5000, 60000, ""});
      const m::MetafileRunClock clock(40000, row.processorMs);
      int ran = 0;
      {
        const md::imaging::MetafileDrawing drawing;
        for (int k = 0; k < 10; ++k) ran += make() ? 1 : 0;
      }
      EXPECT_EQ(ran, row.ran) << kind << ", processor time " << row.processorMs << " ms each";
    }
}

}  // namespace
