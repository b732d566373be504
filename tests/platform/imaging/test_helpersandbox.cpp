// The metafile helper's sandbox (platform/imaging/helper/fence.h): a
// stand-in helper tries each way into its host and each call the filter
// refuses, as root and as nobody, under Landlock and under the namespaces
// that stand in for it; every honest metafile draws as unfenced; one record
// says what a system leaves unfenced; a helper that cannot be run says why.
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
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/helper/fence.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace detail = md::imaging::detail;
namespace fs = std::filesystem;

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

// Sets the helper's environment variable that pretends fences missing, for
// as long as it lives.
struct Without {
  explicit Without(const char* fences) {
    if (fences != nullptr) ::setenv(detail::kFencesWithout, fences, 1);
  }
  ~Without() { ::unsetenv(detail::kFencesWithout); }
};

// Runs the stand-in with `what` and its arguments; what it answered, or the
// reason its run gave.
std::string RunStandIn(const std::vector<std::string>& args) {
  const char input = 0;
  std::string error;
  detail::RunIsolated(
      MD_IMAGING_PROBE, args, &input, 1, 16, [](const void*) { return std::string(); }, {}, &error);
  return error;
}

// The table, run in this process as it is (root or nobody): a line for each
// row that failed.
std::string WaysIntoTheHost(bool namespaces) {
  std::string failed;
  const std::string host = std::to_string(::getpid());
  char address[32];
  std::snprintf(address, sizeof address, "%zx", reinterpret_cast<std::uintptr_t>(&g_hostValue));
  char folderTemplate[] = "/tmp/mapdeck-sandbox-XXXXXX";
  const std::string folder = ::mkdtemp(folderTemplate);
  const std::string secret = folder + "/secret", written = folder + "/written";
  std::ofstream(secret) << "the host's secret";
  // A loopback listener of the host's.
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof at;
  ::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at);
  ::listen(listener, 4);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size);
  const std::string port = std::to_string(ntohs(at.sin_port));
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
                    "/" + ReadAll("/proc/self/oom_score_adj") + "/" + std::to_string(g_hostValue) + "/" +
                    TracerOf(ReadAll("/proc/self/status"));
    ::sigpending(&pending);
    pollfd waiting{listener, POLLIN, 0};
    return s + (sigismember(&pending, SIGURG) ? "/signalled" : "") +
           (::poll(&waiting, 1, 0) == 1 ? "/connected" : "") + (fs::exists(written) ? "/written" : "");
  };
  const std::string before = state();

  // The call the stand-in tries, what it answers ("errno 1": the filter's
  // refusal; "errno": any refusal), and the argument it gets. Namespaces
  // leave reading files open: there the file is read.
  const struct {
    const char* call;
    const char* answer;
    std::string argument;
  } rows[] = {
      // Ways into the host; each leaves the host's state as it was.
      {"write the host's memory", "errno", address},
      {"read the host's environment", "errno", ""},
      {"limit the host's open files", "errno 1", ""},
      {"limit the host's processor time", "errno 1", ""},
      {"lower the host's priority", "errno 1", ""},
      {"bind the host to a processor", "errno 1", ""},
      {"raise the host's OOM score", "errno", ""},
      {"write a file", "errno", written},
      {"read a file", namespaces ? "done" : "errno", secret},
      {"connect to the host", "errno 1", port},
      {"signal the host", "errno 1", ""},
      {"tgkill the host", "errno 1", ""},
      {"queue a signal to the host", "errno 1", ""},
      {"trace the host", "errno 1", ""},
      {"read the host's memory across", "errno 1", address},
      {"write the host's memory across", "errno 1", address},
      // Calls only the filter refuses: on itself, a child of its own, its warden.
      {"kill itself", "done", ""},
      {"end on its own signal", "the renderer stopped on signal 12", ""},
      {"kill its warden", "errno 1", ""},
      {"kill its group", "errno 1", ""},
      {"kill a child", "errno 1", ""},
      {"tkill a child", "errno 1", ""},
      {"tgkill a child", "errno 1", ""},
      {"queue a signal to a child", "errno 1", ""},
      {"queue a signal to a child's thread", "errno 1", ""},
      {"signal through a pidfd", "errno 1", ""},
      {"open a pidfd", "errno 1", ""},
      {"take a descriptor through a pidfd", "errno 1", ""},
      {"trace its warden", "errno 1", ""},
      {"trace a child", "errno 1", ""},
      {"read itself across", "errno 1", ""},
      {"write itself across", "errno 1", ""},
      {"own a pipe for its warden", "errno 1", ""},
      {"start a session", "errno 1", ""},
      {"leave its group", "errno 1", ""},
      {"limit a child's open files", "errno 1", ""},
      {"change its priority", "errno 1", ""},
      {"bind itself to a processor", "errno 1", ""},
      {"change its scheduling", "errno 1", ""},
      {"change its input and output priority", "errno 1", ""},
      {"set up an io_uring", "errno 1", ""},
      {"load a bpf program", "errno 1", ""},
      {"open a perf event", "errno 1", ""},
      {"read its keyring", "errno 1", ""},
      {"mount", "errno 1", ""},
      {"make a user namespace", "errno 1", ""},
      {"start a child in a user namespace", "errno 1", ""},
      {"fake a terminal's input", "errno 1", ""},
      {"open an inet socket", "errno 1", ""},
      {"open a netlink socket", "errno 1", ""},
#ifdef __x86_64__
      {"call as x32", "errno 1", ""},
      {"call as i386", "errno 1", ""},
#endif
  };
  for (const auto& row : rows) {
    const std::string answer = RunStandIn({"try", row.call, host, row.argument});
    const bool refused =
        std::string(row.answer) == "errno" ? answer.rfind("errno ", 0) == 0 : answer == row.answer;
    if (!refused) failed += std::string(row.call) + ": answered \"" + answer + "\"\n";
    const std::string after = state();
    if (after != before)
      failed += std::string(row.call) + ": the host went from " + before + " to " + after + "\n";
  }
  // No capability: none at all where the host runs as root.
  const std::string sets = RunStandIn({"capabilities"});
  for (const char* set : {"CapInh:\t0000000000000000", "CapPrm:\t0000000000000000",
                          "CapEff:\t0000000000000000", "CapAmb:\t0000000000000000"})
    if (sets.find(set) == std::string::npos) failed += "capabilities kept: " + sets + "\n";
  if (::getuid() == 0 && sets.find("CapBnd:\t0000000000000000") == std::string::npos)
    failed += "capabilities root's exec gives: " + sets + "\n";
  ::close(listener);
  fs::remove_all(folder);
  return failed;
}

TEST(ImagingHelperSandbox, AStandInHelperReachesNoWayIntoItsHost) {
  const int fences = detail::HelperFences();
  ASSERT_GE(fences, 0);
  // As the host runs, then as nobody (where it runs as root); under Landlock,
  // then under namespaces instead.
  for (const bool nobody : {false, true})
    for (const char* without : {static_cast<const char*>(nullptr), "landlock"}) {
      const std::string run = std::string(nobody ? "nobody" : "as it runs") + (without ? ", namespaces" : "");
      if (nobody && ::getuid() != 0) {
        std::printf("[ skipped  ] %s: only root can run it as nobody\n", run.c_str());
        continue;
      }
      const int these = [&] {
        const Without pretend(without);
        return detail::HelperFences();
      }();
      if ((these & (detail::kFenceLandlock | detail::kFenceNamespaces)) == 0 ||
          (these & detail::kFenceFilter) == 0) {
        std::printf("[ skipped  ] %s: this kernel lacks the fence (%d)\n", run.c_str(), these);
        continue;
      }
      EXPECT_EXIT(
          {
            if (nobody && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
              ::_exit(2);
            ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);  // as any process of its user
            const Without pretend(without);
            const std::string failed = WaysIntoTheHost(without != nullptr);
            std::fputs(failed.c_str(), stderr);
            ::_exit(failed.empty() ? 0 : 1);
          },
          testing::ExitedWithCode(0), "")
          << run;
    }
}

// Without the filter, each row the filter alone refuses is done, or refused
// otherwise: no row stands for a call the filter does not refuse.
TEST(ImagingHelperSandbox, EachCallTheFilterRefusesIsDoneWithoutIt) {
  const Without pretend("filter");
  for (const char* call : {"kill a child",
                           "tkill a child",
                           "tgkill a child",
                           "queue a signal to a child",
                           "queue a signal to a child's thread",
                           "open a pidfd",
                           "take a descriptor through a pidfd",
                           "trace a child",
                           "read itself across",
                           "write itself across",
                           "start a session",
                           "leave its group",
                           "limit a child's open files",
                           "change its priority",
                           "bind itself to a processor",
                           "change its scheduling",
                           "change its input and output priority",
                           "set up an io_uring",
                           "load a bpf program",
                           "open a perf event",
                           "read its keyring",
                           "mount",
                           "make a user namespace",
                           "start a child in a user namespace",
                           "fake a terminal's input",
                           "open an inet socket",
                           "open a netlink socket",
                           "own a pipe for its warden"
#ifdef __x86_64__
                           ,
                           "call as x32"
#endif
       })
    EXPECT_NE(RunStandIn({"try", call, std::to_string(::getpid()), ""}), "errno 1") << call;
}

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
    const auto draw = [&](const char* without) {
      const Without pretend(without);
      md::imaging::ForgetRefusedMetafiles();
      return md::imaging::Decode(bytes.data(), bytes.size());
    };
    const md::imaging::DecodeResult fenced = draw(nullptr), unfenced = draw("landlock,namespaces,filter");
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
    const char* without;
    const char* said;  // a regular expression of what the hook was told, once
  } rows[] = {
      {"", "^told 0 times: $"},
      {"landlock", "^told 0 times: $"},
      {"landlock,namespaces", "^told 1 times: the metafile helper runs unfenced in its files \\(no Landlock"},
      {"landlock,namespaces,filter", "^told 1 times: .* its files .*; its system calls \\(no seccomp filter"},
  };
  for (const auto& row : rows)
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

// A helper that is there but cannot be run: the cause is said.
TEST(ImagingHelperSandbox, AHelperThatCannotBeRunSaysWhy) {
  const std::string file = MD_TEST_OUTPUT_DIR "/helper-not-executable";
  std::ofstream(file) << "not a program";
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  const struct {
    std::string helper;
    std::string error;
  } rows[] = {
      {"/nonexistent/mapdeck-metafile", "the renderer /nonexistent/mapdeck-metafile is missing"},
      {file, "the renderer " + file + " cannot be run: Permission denied"},
  };
  for (const auto& row : rows) {
    std::string error;
    const char input = 0;
    EXPECT_FALSE(detail::RunIsolated(
        row.helper, {"fill"}, &input, 1, 16, [](const void*) { return std::string(); }, {}, &error));
    EXPECT_EQ(error, row.error);
  }
}

}  // namespace
