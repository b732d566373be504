// The metafile helper's sandbox (platform/imaging/helper/fence.h): a
// stand-in helper tries each way into its host and each call the filter
// refuses, as root and as nobody, under Landlock and under the namespaces
// that stand in for it, whatever the environment says; every honest metafile
// draws as unfenced; one record says what a system leaves unfenced; a helper
// that cannot be run says why.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/protocol/fences.h"
#include "tests/platform/imaging/kernelfences.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace detail = md::imaging::detail;
namespace fs = std::filesystem;
namespace kernel = md::test::kernel;

volatile int g_hostValue = 1;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TracerOf(const std::string& status) {
  const std::size_t at = status.find("TracerPid:");
  return at == std::string::npos ? "" : status.substr(at, status.find('\n', at) - at);
}

// The fences pretended missing, for as long as it lives.
using Without = md::test::metafiles::FencesWithoutScope;

constexpr int kFilesFences = detail::kFenceLandlock | detail::kFenceNamespaces;
constexpr int kEveryFence = kFilesFences | detail::kFenceFilter;

// Runs `helper` (the stand-in unless named) with its arguments; what it
// answered, or the reason its run gave; whether the run succeeded in `ran`.
std::string RunStandIn(const std::vector<std::string>& args, const std::string& helper = MD_IMAGING_PROBE,
                       bool* ran = nullptr) {
  const char input = 0;
  std::string error;
  const bool ok = detail::RunIsolated(
      helper, args, &input, 1, 16, [](const void*) { return std::string(); }, {}, &error);
  if (ran != nullptr) *ran = ok;
  return error;
}

// The fences the warden makes here with those of `without` pretended missing.
int FencesWithout(int without) {
  const Without pretend(without);
  return detail::HelperFences();
}

// What refuses a row's call: each fence of the files and other processes
// (Landlock, or the namespaces) and the filter; the filter alone, a call on
// itself, its child or its warden, done without it; the filter alone, a
// call on the host, not tried without it; nothing.
enum class By { Both, Filter, FilterOnHost, None };

constexpr int kTcp = detail::kFenceLandlockNet, kScope = detail::kFenceLandlockScope;

// The calls Landlock holds without the filter from an ABI on: TCP from 4,
// signals and abstract sockets from 6; the part of its fences that does.
const std::pair<const char*, int> kLandlockRows[] = {
    {"connect to the host", kTcp},
    {"connect to the host's abstract socket", kScope},
    {"signal the host", kScope},
    {"tgkill the host", kScope},
    {"queue a signal to the host", kScope},
    {"kill its warden", kScope},
};

int LandlockPart(const std::string& call) {
  for (const auto& [named, part] : kLandlockRows)
    if (call == named) return part;
  return 0;
}

// Whether, without the filter, the row of `call` can check only where this
// kernel gives what it needs: Landlock's newer ABIs, or no setting of the
// kernel's refusing the call itself. Those rows are tests of their own
// (ImagingHelperSandboxKernelWays), which skip, saying why, where it does not.
bool LeansOnTheKernel(const std::string& call) {
  if (LandlockPart(call) != 0) return true;
  for (const kernel::RefusingSetting& s : kernel::kRefusingSettings)
    if (call == s.call) return true;
  return false;
}

// What the rows need of the kernel, and what they do where it is missing
// (kernelfences.h learns it outside any fence): the whole table needs
// Landlock or the namespaces standing in for it, and skips only where the
// kernel gives neither, failing where it gives one the fences lack; without
// the filter, the rows that lean on the kernel (LeansOnTheKernel) are left
// to tests of their own, whose parent skips where this kernel cannot show
// them and fails where it could and they do not hold; the 32-bit entry's call, where the kernel has no such
// entry, faults before any filter sees it, fenced or not, and the row expects just that. The table, run in
// this process as it is (root or nobody), with the fences `without` names pretended missing, or its row of
// the call `only` alone; a line for each row that failed. Namespaces leave reading files open. Where the
// filter is missing, Landlock holds the files, the other processes' /proc entries and tracing, and, from its
// ABI 4 and 6, TCP and signals and abstract sockets; and each call the filter alone refuses is done, or
// refused otherwise than by it: each of its refusals has a row that fails should it go.
std::string WaysIntoTheHost(int without, int fences, const std::string& only) {
  const bool filter = (without & detail::kFenceFilter) == 0;
  const bool namespaces = (fences & detail::kFenceNamespaces) != 0;
  std::string failed;
  const std::string host = std::to_string(::getpid());
  char address[32];
  std::snprintf(address, sizeof address, "%zx", reinterpret_cast<std::uintptr_t>(&g_hostValue));
  char folderTemplate[] = "/tmp/mapdeck-sandbox-XXXXXX";
  const std::string folder = ::mkdtemp(folderTemplate);
  const std::string secret = folder + "/secret", written = folder + "/written";
  std::ofstream(secret) << "the host's secret";
  // A descriptor of the host's opened without O_CLOEXEC, low and high.
  const int held = ::open(secret.c_str(), O_RDONLY), heldHigh = ::fcntl(held, F_DUPFD, 200);
  // A loopback listener of the host's, and an abstract unix socket.
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof at;
  ::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at);
  ::listen(listener, 4);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size);
  const std::string port = std::to_string(ntohs(at.sin_port));
  const std::string abstract = "mapdeck-sandbox-" + host;
  const int unixListener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un named{};
  named.sun_family = AF_UNIX;
  abstract.copy(named.sun_path + 1, sizeof named.sun_path - 2);
  ::bind(unixListener, reinterpret_cast<sockaddr*>(&named),
         static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstract.size()));
  ::listen(unixListener, 4);
  // SIGURG blocked here: one sent to the host stays pending.
  sigset_t urgent, pending;
  sigemptyset(&urgent);
  sigaddset(&urgent, SIGURG);
  ::pthread_sigmask(SIG_BLOCK, &urgent, nullptr);
  const auto state = [&] {
    rlimit files{}, cpu{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    ::getrlimit(RLIMIT_CPU, &cpu);
    cpu_set_t cpus;
    ::sched_getaffinity(0, sizeof cpus, &cpus);
    std::string s = std::to_string(files.rlim_cur) + "/" + std::to_string(cpu.rlim_cur) + "/" +
                    std::to_string(::getpriority(PRIO_PROCESS, 0)) + "/" + std::to_string(CPU_COUNT(&cpus)) +
                    "/" + std::to_string(std::atoi(ReadAll("/proc/self/oom_score_adj").c_str())) + "/" +
                    std::to_string(g_hostValue) + "/" + TracerOf(ReadAll("/proc/self/status"));
    ::sigpending(&pending);
    pollfd waiting[2] = {{listener, POLLIN, 0}, {unixListener, POLLIN, 0}};
    ::poll(waiting, 2, 0);
    return s + (sigismember(&pending, SIGURG) ? "/signalled" : "") +
           (waiting[0].revents != 0 ? "/connected" : "") +
           (waiting[1].revents != 0 ? "/connected by unix" : "") + (fs::exists(written) ? "/written" : "");
  };
  const std::string before = state();

  // The call the stand-in tries, what refuses it, what it answers then
  // ("errno 1": the filter's refusal; "errno": any), the argument it gets.
  struct Row {
    std::string call;
    By by;
    const char* answer;
    std::string argument;
  };
  const Row rows[] = {
      // Ways into the host; each leaves the host's state as it was.
      {"write the host's memory", By::Both, "errno", address},
      {"read the host's environment", By::Both, "errno", ""},
      {"limit the host's open files", By::FilterOnHost, "errno 1", ""},
      {"limit the host's processor time", By::FilterOnHost, "errno 1", ""},
      {"lower the host's priority", By::FilterOnHost, "errno 1", ""},
      {"bind the host to a processor", By::FilterOnHost, "errno 1", ""},
      {"raise the host's OOM score", By::Both, "errno", ""},
      {"write a file", By::Both, "errno", written},
      {"read a file", By::Both, namespaces ? "done" : "errno", secret},
      {"connect to the host", By::Both, "errno 1", port},
      {"connect to the host's abstract socket", By::Both, "errno 1", abstract},
      {"signal the host", By::Both, "errno 1", ""},
      {"tgkill the host", By::Both, "errno 1", ""},
      {"queue a signal to the host", By::Both, "errno 1", ""},
      {"trace the host", By::Both, "errno 1", ""},
      {"read the host's memory across", By::Both, "errno 1", address},
      {"write the host's memory across", By::Both, "errno 1", address},
      // Calls only the filter refuses: on itself, a child of its own, its warden.
      {"kill itself", By::None, "done", ""},
      {"end on its own signal", By::None, "the renderer stopped on signal 12", ""},
      {"kill its warden", By::Both, "errno 1", ""},
      {"trace its warden", By::Both, "errno 1", ""},
      // Other processes' entries under /proc: none but its own in sight.
      {"read the host's status", By::Both, "errno", ""},
      // Processors and personality: its own read, Linux's plain one set.
      {"read its own processors", By::None, "done", ""},
      {"read its personality", By::None, "done", ""},
      {"read the host's processors", By::FilterOnHost, "errno 38", ""},
      {"read the first process's processors", By::Filter, "errno 38", ""},
      // No process of its own, threads alone; its own timers.
      {"start a thread", By::None, "done", ""},
      {"start a process by clone3", By::Filter, "errno 38", ""},
      {"arm a timer on its own clock", By::None, "done", ""},
      // Its exec: only its start's, through a descriptor it can no longer hold.
      {"take its start's descriptor", By::None, "errno 22", ""},
      // No descriptor of the host's, though the host left one open over exec.
      {"hold a descriptor past its own", By::None, "errno 9", std::to_string(heldHigh)},
      {"run through its start's descriptor", By::None, "errno 9", ""},
  };
  // Calls the filter alone refuses ("errno 1"), with no argument.
  std::string filterOnly =
      "kill its group;kill a child;tkill a child;tgkill a child;queue a signal to a child"
      ";queue a signal to a child's thread;signal through a pidfd;open a pidfd"
      ";take a descriptor through a pidfd;trace a child;read itself across;write itself across"
      ";own a pipe for its warden;start a session;leave its group;limit a child's open files"
      ";change its priority;bind itself to a processor;change its scheduling"
      ";change its input and output priority;set up an io_uring;load a bpf program"
      ";open a perf event;read its keyring;mount;make a user namespace"
      ";start a child in a user namespace;fake a terminal's input;open an inet socket"
      ";open a netlink socket;change its personality;run a program;run a program it holds;fork"
      ";start a process by clone;start a thread with a pidfd;set its timer slack;lock its buffer by "
      "flock;lock its buffer by fcntl"
      ";lock its buffer by an open file's lock";
  std::vector<Row> table(std::begin(rows), std::end(rows));
  std::istringstream calls(filterOnly);
  for (std::string call; std::getline(calls, call, ';');) table.push_back({call, By::Filter, "errno 1", ""});
#ifdef __x86_64__
  // x32's calls are told apart by a bit of their number, which the filter
  // refuses before the kernel looks for the call: refused by it on every
  // kernel, and without it done, or "errno 38" where the kernel has no x32.
  table.push_back({"call as x32", By::Filter, "errno 1", ""});
  // The 32-bit entry: where the kernel has one, the filter refuses what
  // comes through it; where it has none the instruction faults before any
  // filter sees the call, fenced or not, and the call is no way anywhere.
  if (kernel::HasI386Entry())
    table.push_back({"call as i386", By::Filter, "errno 1", ""});
  else
    table.push_back({"call as i386", By::None, "no 32-bit entry", ""});
#endif
  int tried = 0;
  for (const Row& row : table) {
    if (!only.empty() ? row.call != only : !filter && LeansOnTheKernel(row.call)) continue;
    if (!filter && row.by == By::FilterOnHost) continue;
    ++tried;
    const std::string answer = RunStandIn({"try", row.call, host, row.argument});
    const std::string expected = !filter && row.by == By::Both ? "errno" : row.answer;
    const bool refused = !filter && row.by == By::Filter ? answer != "errno 1"
                         : expected == "errno"           ? answer.rfind("errno ", 0) == 0
                                                         : answer == expected;
    if (!refused) failed += row.call + ": answered \"" + answer + "\"\n";
    const std::string after = state();
    if (after != before) failed += row.call + ": the host went from " + before + " to " + after + "\n";
  }
  if (!only.empty() && tried == 0) failed += only + ": no row tries it\n";
  // No capability: none at all where the host runs as root.
  // (Its answer's tabs are escaped.)
  const std::string sets = RunStandIn({"capabilities"});
  for (const char* set : {"CapInh:\\x090000000000000000", "CapPrm:\\x090000000000000000",
                          "CapEff:\\x090000000000000000", "CapAmb:\\x090000000000000000"})
    if (sets.find(set) == std::string::npos) failed += "capabilities kept: " + sets + "\n";
  if (::getuid() == 0 && sets.find("CapBnd:\\x090000000000000000") == std::string::npos)
    failed += "capabilities root's exec gives: " + sets + "\n";
  ::close(listener);
  ::close(unixListener);
  ::close(held);
  ::close(heldHigh);
  fs::remove_all(folder);
  return failed;
}

// In the parent: why the table cannot run here, as root or nobody, with the
// fences of `without` pretended missing ("" where it can, the fences its
// runs get in *fences), and in *lost whether that is a fence this kernel
// gives that the warden's lack (a failure) rather than one it does not give.
std::string TableCannotRun(bool nobody, int without, int* fences, bool* lost) {
  *lost = false;
  if (nobody && ::getuid() != 0) return "only a host run as root can run the table as nobody";
  *fences = FencesWithout(without);
  if (*fences < 0) {
    *lost = true;
    return "the warden's fences could not be learned";
  }
  if ((*fences & kFilesFences) == 0) {
    const std::string given = kernel::FilesFenceLost(without);
    *lost = !given.empty();
    return *lost ? "this kernel gives " + given + ", but the warden's fences lack it"
                 : "neither Landlock nor namespaces can be made here (the kernel lacks both, or the warden "
                   "runs threads, as under ThreadSanitizer)";
  }
  if ((*fences & detail::kFenceFilter) == 0 && (without & detail::kFenceFilter) == 0) {
#if defined(__x86_64__) || defined(__aarch64__)
    *lost = true;
    return "the system call filter could not be installed";
#else
    return "no system call filter on this architecture";
#endif
  }
  return "";
}

// In a death test's child: the table, or its row of `only`, run as root or
// nobody with the fences of `without` pretended missing; ends the process,
// with 0 where every row held.
[[noreturn]] void RunTable(bool nobody, int without, int fences, const std::string& only) {
  if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
  ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);  // as any process of its user
  // Only the library leaves fences out: the variable of the environment that once did
  // leaves every fence of the probe and of a run in force.
  ::setenv("MAPDECK_HELPER_FENCES_WITHOUT", "landlock,namespaces,filter", 1);
  const Without pretend(without);
  std::string failed = detail::HelperFences() == fences ? "" : "the environment changed the fences\n";
  failed += WaysIntoTheHost(without, fences, only);
  std::fputs(failed.c_str(), stderr);
  ::_exit(failed.empty() ? 0 : 1);
}

// As the host runs or as nobody; the fences pretended missing.
class ImagingHelperSandboxWays : public testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(ImagingHelperSandboxWays, AStandInHelperReachesNoWayIntoItsHost) {
  const auto [nobody, without] = GetParam();
  int fences = 0;
  bool lost = false;
  const std::string why = TableCannotRun(nobody, without, &fences, &lost);
  if (lost) FAIL() << why;
  if (!why.empty()) GTEST_SKIP() << why;
#ifdef __x86_64__
  if (!kernel::HasI386Entry())
    std::printf(
        "[   note   ] this kernel has no 32-bit system call entry: the call made through it faults "
        "before any filter sees it, fenced or not\n");
#endif
  EXPECT_EXIT(RunTable(nobody, without, fences, ""), testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(, ImagingHelperSandboxWays,
                         testing::Combine(testing::Bool(),
                                          testing::Values(0, static_cast<int>(detail::kFenceLandlock),
                                                          static_cast<int>(detail::kFenceFilter))),
                         [](const testing::TestParamInfo<std::tuple<bool, int>>& info) {
                           const int without = std::get<1>(info.param);
                           return std::string(std::get<0>(info.param) ? "AsNobody" : "AsItRuns") +
                                  (without == 0                        ? "AllFences"
                                   : without == detail::kFenceLandlock ? "NamespacesForLandlock"
                                                                       : "WithoutTheFilter");
                         });

// Without the filter, the rows that lean on what this kernel gives, as the
// host runs or as nobody: each is checked where this kernel can show it,
// fails where it could and the fences do not hold, and skips, saying why,
// where nothing but the filter would refuse it here (Landlock older than
// the ABI that holds it) or the kernel refuses it itself, as the filter
// does, by a setting of its own.
class ImagingHelperSandboxKernelWays : public testing::TestWithParam<std::tuple<bool, std::string>> {};

TEST_P(ImagingHelperSandboxKernelWays, AStandInHelperWithoutTheFilterReachesNoWayTheKernelHolds) {
  const auto& [nobody, call] = GetParam();
  const int without = detail::kFenceFilter;
  int fences = 0;
  bool lost = false;
  const std::string why = TableCannotRun(nobody, without, &fences, &lost);
  if (lost) FAIL() << why;
  if (!why.empty()) GTEST_SKIP() << why;
  const int part = LandlockPart(call);
  if (part != 0 && (fences & part) == 0) {
    const int abi = kernel::LandlockAbi(), holds = part == kTcp ? 4 : 6;
    if (abi >= holds)
      FAIL() << "this kernel's Landlock (ABI " << abi << ") holds it, but the run's fences do not";
    GTEST_SKIP() << "without the filter only Landlock from its ABI " << holds << " refuses \"" << call
                 << "\", and this kernel's Landlock is "
                 << (abi == 0 ? "missing" : "ABI " + std::to_string(abi));
  }
  const std::string setting = kernel::RefusesItself(call);
  if (!setting.empty())
    GTEST_SKIP() << "the kernel refuses \"" << call << "\" itself (" << setting
                 << "), as the filter does: without the filter nothing tells the two apart";
  EXPECT_EXIT(RunTable(nobody, without, fences, call), testing::ExitedWithCode(0), "");
}

std::vector<std::string> CallsLeaningOnTheKernel() {
  std::vector<std::string> calls;
  for (const auto& [call, part] : kLandlockRows) calls.emplace_back(call);
  for (const kernel::RefusingSetting& s : kernel::kRefusingSettings) calls.emplace_back(s.call);
  return calls;
}

INSTANTIATE_TEST_SUITE_P(, ImagingHelperSandboxKernelWays,
                         testing::Combine(testing::Bool(), testing::ValuesIn(CallsLeaningOnTheKernel())),
                         [](const testing::TestParamInfo<std::tuple<bool, std::string>>& info) {
                           // "connect to the host's abstract socket": ConnectToTheHostsAbstractSocket.
                           std::string name = std::get<0>(info.param) ? "AsNobody" : "AsItRuns";
                           bool start = true;
                           for (const char c : std::get<1>(info.param)) {
                             if (c == ' ') start = true;
                             if (std::isalnum(static_cast<unsigned char>(c)) == 0) continue;
                             name +=
                                 start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
                             start = false;
                           }
                           return name;
                         });

// The same pixels, or the same reason, fenced as unfenced: each WMF and EMF
// of the tests' data and the fuzzers' seeds.
TEST(ImagingHelperSandbox, EveryMetafileDrawsAsUnfenced) {
  std::vector<fs::path> files;
  for (const char* folder :
       {"tests/platform/imaging/data", "tests/fuzz/corpus/imagewmf", "tests/fuzz/corpus/imageemf"})
    for (const auto& entry : fs::directory_iterator(fs::path(MD_SOURCE_DIR) / folder))
      if (entry.path().extension() != ".ico") files.push_back(entry.path());
  ASSERT_GT(files.size(), 20u);
  for (const fs::path& file : files) {
    std::vector<std::uint8_t> bytes;
    std::string why;
    ASSERT_TRUE(md::files::ReadWholeFile(file.c_str(), 1 << 24, &bytes, &why)) << why;
    const auto draw = [&](int without) {
      const Without pretend(without);
      md::imaging::ForgetRefusedMetafiles();
      return md::imaging::Decode(bytes.data(), bytes.size());
    };
    const md::imaging::DecodeResult fenced = draw(0), unfenced = draw(kEveryFence);
    EXPECT_EQ(fenced.error, unfenced.error) << file;
    EXPECT_EQ(static_cast<bool>(fenced), static_cast<bool>(unfenced)) << file;
    if (fenced && unfenced) {
      EXPECT_EQ(fenced.bitmap->width, unfenced.bitmap->width) << file;
      EXPECT_TRUE(fenced.bitmap->pixels == unfenced.bitmap->pixels) << file;
    }
  }
}

// What a system leaves unfenced, said once a process, at its first metafile;
// nothing where all is fenced.
TEST(ImagingHelperSandbox, OneRecordSaysWhatIsUnfenced) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a process whose first metafile is still to come
  const struct {
    int without;
    const char* said;  // a regular expression of what the hook was told, once
  } rows[] = {
      {0, "^told 0 times: $"},
      {detail::kFenceLandlock, "^told 0 times: $"},
      {kFilesFences,
       "^told 1 times: the metafile helper runs unfenced in its files and its host's memory \\(no Landlock"},
      {kEveryFence, "^told 1 times: .* its files .*; its system calls \\(no seccomp filter"},
  };
  std::string skipped;
  for (const auto& row : rows) {
    const int fences = FencesWithout(row.without);
    if (std::string(row.said).find("told 0") != std::string::npos && (fences & kFilesFences) == 0) {
      const std::string lost = kernel::FilesFenceLost(row.without);
      EXPECT_EQ(lost, "") << "without " << row.without << ": this kernel gives it, but the fences lack it";
      skipped +=
          "without " + std::to_string(row.without) + ": neither Landlock nor namespaces can be made here; ";
      continue;
    }
    EXPECT_EXIT(
        {
          static int told = 0;
          static std::string text;
          md::imaging::SetUnfencedHook([](const std::string& t) {
            ++told;
            text = t;
          });
          const Without pretend(row.without);
          const auto bytes = md::test::metafiles::SampleWmf();
          for (int k = 0; k < 2; ++k) md::imaging::Decode(bytes.data(), bytes.size());
          std::fprintf(stderr, "told %d times: %s", told, text.c_str());
          ::_exit(0);
        },
        testing::ExitedWithCode(0), row.said)
        << row.without;
  }
  if (!skipped.empty()) GTEST_SKIP() << "rows not checked here: " << skipped;
}

// A helper that is there but cannot be run, or that the sandbox does not
// start: the cause is said (one that is missing:
// AMissingHelperRefusesTheMetafileNamingThePath).
TEST(ImagingHelperSandbox, AHelperThatCannotBeRunSaysWhy) {
  const struct {
    const char* name;
    const char* text;
    fs::perms perms;
    const char* cause;
  } rows[] = {
      {"helper-not-executable", "not a program", fs::perms::owner_read | fs::perms::owner_write,
       " cannot be run: Permission denied"},
      // Its interpreter would run outside the sandbox, wherever it lies.
      {"helper-script", "#!/bin/sh\nexit 0\n", fs::perms::owner_all,
       " could not start: it is a script, and its sandbox starts programs only"},
  };
  for (const auto& row : rows) {
    const std::string file = MD_TEST_OUTPUT_DIR "/" + std::string(row.name);
    std::ofstream(file) << row.text;
    fs::permissions(file, row.perms);
    bool ran = true;
    EXPECT_EQ(RunStandIn({"fill"}, file, &ran), "the renderer " + file + row.cause);
    EXPECT_FALSE(ran);
  }
}

// One ask of the warden that met a passing failure (a fence it could not put
// in force that time) does not lower, for the process's life, the fences
// every run must get: a process whose first ask lost a fence still expects
// it (in a process of its own, which forgets the fences known first). A row
// whose fence this kernel does not give says so.
TEST(ImagingHelperSandbox, AnAskLoweredByAPassingFailureLowersNoFence) {
  const int fences = detail::HelperFences();
  ASSERT_GE(fences, 0);
  std::string skipped;
  for (const int lost : {detail::kFenceLandlock, detail::kFenceFilter}) {
    if ((fences & lost) == 0) {
      EXPECT_FALSE(kernel::Gives(lost, 0))
          << "losing " << lost << ": this kernel gives it, but the fences lack it";
      skipped += "losing " + std::to_string(lost) + ": this kernel does not give it; ";
      continue;
    }
    EXPECT_EXIT(
        {
          detail::SetHelperFencesProbeTakenAway(lost);
          std::fprintf(stderr, "fences %d", detail::HelperFences());
          ::_exit(0);
        },
        testing::ExitedWithCode(0), "^fences " + std::to_string(fences) + "$")
        << "losing " << lost;
  }
  if (!skipped.empty()) GTEST_SKIP() << "rows not checked here: " << skipped;
}

// A run that gets fewer fences than the warden's probe said this process's
// runs get is not started, as root and as nobody: its reason names those
// missing, the program never answered, and the next run is fenced and runs.
// A probe of the fences that a passing failure spoiled (no descriptor, no
// memory, a process limit) answers none, saying why, and is asked again at
// the next run, rather than keeping fewer fences for the process's life.
TEST(ImagingHelperSandbox, AProbeSpoiledByAPassingFailureIsAskedAgain) {
  if (!kernel::kFencesCanRun) GTEST_SKIP() << "the warden's fences cannot run under ThreadSanitizer";
  const struct {
    int error;  // the probe's Landlock ruleset pretends to fail with it
    const char* text;
  } rows[] = {{EMFILE, "Too many open files"},
              {ENOMEM, "Cannot allocate memory"},
              {EAGAIN, "Resource temporarily unavailable"}};
  const bool landlock = kernel::Gives(detail::kFenceLandlock, 0);
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a process whose fences are still to be learned
  for (const auto& row : rows) {
    EXPECT_EXIT(
        {
          detail::SetWardenProbeFailure(row.error);
          std::string why;
          const int spoiled = detail::HelperFences(&why);
          detail::SetWardenProbeFailure(0);
          const int learned = detail::HelperFences();
          std::fprintf(stderr, "%d|%s|%s", spoiled, why.c_str(),
                       learned < 0                               ? "none"
                       : (learned & detail::kFenceLandlock) != 0 ? "Landlock"
                                                                 : "no Landlock");
          ::_exit(0);
        },
        testing::ExitedWithCode(0),
        std::string("^-1[|]its warden could not try it: ") + row.text + "[^|]*[|]" +
            (landlock ? "Landlock" : "no Landlock") + "$")
        << row.text;
  }
}

TEST(ImagingHelperSandbox, ARunWithoutAFenceItsProcessGetsIsNotStarted) {
  const struct {
    int without;    // pretended missing, the probe knowing
    int takenAway;  // taken from the run alone
    const char* missing;
  } rows[] = {
      {0, detail::kFenceFilter, "the system call filter"},
      {0, detail::kFenceLandlock, "Landlock"},
      {detail::kFenceLandlock, detail::kFenceNamespaces, "the namespaces"},
      {detail::kFenceLandlock, detail::kFenceFilter, "the system call filter"},
  };
  std::string skipped;
  for (const bool nobody : {false, true}) {
    if (nobody && ::getuid() != 0) {
      skipped += "as nobody: only a host run as root can run the rows as nobody; ";
      continue;
    }
    for (const auto& row : rows) {
      const int fences = FencesWithout(row.without);
      if ((fences & row.takenAway) == 0) {
        EXPECT_FALSE(kernel::Gives(row.takenAway, row.without))
            << "taking " << row.takenAway << " away: this kernel gives it, but the fences lack it";
        skipped += "taking " + std::to_string(row.takenAway) + " away" + (nobody ? " as nobody" : "") +
                   ": this kernel does not give it; ";
        continue;
      }
      EXPECT_EXIT(
          {
            if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
              ::_exit(2);
            const Without pretend(row.without);
            detail::SetWardenFencesTakenAway(row.takenAway);
            const std::string refused = RunStandIn({"fill"});
            bool ran = false;
            const std::string next = RunStandIn({"fill"}, MD_IMAGING_PROBE, &ran);
            std::fprintf(stderr, "%s|%s", refused.c_str(), ran ? "the next ran" : next.c_str());
            ::_exit(0);
          },
          testing::ExitedWithCode(0),
          "^the renderer " MD_IMAGING_PROBE " was not started: sandbox not in force \\(without " +
              std::string(row.missing) + "[^|]*\\)\\|the next ran$")
          << row.takenAway << (nobody ? " as nobody" : "");
    }
  }
  // Through the library, the picture says so and is tried again later.
  detail::SetWardenFencesTakenAway(detail::kFenceFilter);
  const auto bytes = md::test::metafiles::SampleWmf();
  const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
  EXPECT_TRUE(r.notRun);
  EXPECT_NE(r.error.find("sandbox not in force (without the system call filter)"), std::string::npos)
      << r.error;
  EXPECT_TRUE(md::imaging::Decode(bytes.data(), bytes.size()));
  if (!skipped.empty()) GTEST_SKIP() << "rows not checked here: " << skipped;
}

}  // namespace
