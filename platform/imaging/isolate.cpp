// The run starts with the warden (helper/warden.cpp), spawned with the
// program's input in a memory file on descriptor 0, the buffer in a memory
// file on descriptor 3, the answer pipe on descriptor 4 and the warden's
// report pipe (protocol/run.h) on descriptor 5; its standard output and
// error go to /dev/null (libraries' complaints about a damaged file are not
// the host's output) and it holds no other descriptor, and no variable of
// the host's environment but those ProgramEnvironment keeps. Its arguments
// name the fences the program must get, those HelperFences found. It leads
// a process group of its own and starts the program with the same
// descriptors but the report's. Nothing runs between the process's creation
// and the warden but posix_spawn's own descriptor moves and its group's
// setting. The parent waits, until the time passes, for the answer pipe to
// close and the warden to end, which it does once the program ended and
// everything below it was killed, after its report of how the program
// ended. The warden's end shows on its pidfd and on the report pipe's end,
// whatever the host does with SIGCHLD: a host that ignores it has the
// kernel reap the warden at once, and a host that reaps every child itself
// may take it first; neither spins the wait nor hides how the program ended.
// When the time passes, or the answer runs past its bound, the warden is
// asked to end it all, and given kEndMs to; then its group is killed, before
// it is reaped where it still can be.
#include "platform/imaging/isolate.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "platform/files/errortext.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/protocol/fences.h"
#include "platform/imaging/protocol/run.h"

extern char** environ;

namespace md::imaging::detail {
namespace {

constexpr const char* kWarden = "mapdeck-warden";
// The time the warden has to end what runs once the run's time passed.
constexpr int kEndMs = 5000;
// The most of the program's answer read: its reason, with room to spare.
// A program that writes more is ended.
constexpr std::size_t kAnswerBytes = 4096;
// The most of the program's reason that enters the host's error, once
// escaped.
constexpr std::size_t kReasonChars = 400;

std::atomic<int> g_forkFailure{0};
std::atomic<int> g_probeFailure{0};
std::atomic<int> g_fencesWithout{0};
std::atomic<int> g_fencesTakenAway{0};
std::atomic<bool> g_watchOff{false};
std::mutex g_passedMutex;
std::string g_passed;  // the host's variable the programs get too (tests)

long long NowMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Closes the descriptors it holds when it goes.
struct Fd {
  int fd = -1;
  Fd() = default;
  explicit Fd(int f) : fd(f) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// A copy of the descriptor above the ones the program gets, so that moving
// them into place never overwrites another.
int High(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 10); }

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string Errno(const char* what) { return std::string(what) + ": " + md::files::ErrorText(errno); }

// Spawns the warden, which starts the program with the descriptors in
// place, where it gets the fences `expected`; its pid, or -1 with *error
// set.
pid_t Spawn(const std::string& warden, const std::string& program, const std::vector<std::string>& args,
            const IsolationLimits& limits, int expected, int input, int buffer, int answer, int report,
            std::string* error) {
  std::vector<std::string> words{
      warden,
      std::to_string(::getpid()),
      std::to_string(g_forkFailure.exchange(0)) + (g_watchOff.exchange(false) ? ",unwatched" : ""),
      std::to_string(g_fencesWithout.load() | g_fencesTakenAway.exchange(0)),
      std::to_string(expected),
      program,
      kIsolatedFlag,
      std::to_string(limits.processorMilliseconds),
      std::to_string(limits.extraMemory)};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = ProgramEnvironment();
  std::vector<char*> envp;
  for (auto& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawnattr_init(&attr);
  ::posix_spawn_file_actions_adddup2(&actions, input, kInputFd);
  ::posix_spawn_file_actions_adddup2(&actions, buffer, kBufferFd);
  ::posix_spawn_file_actions_adddup2(&actions, answer, kAnswerFd);
  ::posix_spawn_file_actions_adddup2(&actions, report, kWardenReportFd);
  ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addclosefrom_np(&actions, kWardenReportFd + 1);
  // The host's blocked and ignored signals are not the run's; the warden
  // takes the end of its children and the request to end from its start.
  sigset_t watched, all;
  sigemptyset(&watched);
  sigaddset(&watched, SIGCHLD);
  sigaddset(&watched, SIGTERM);
  sigfillset(&all);
  ::posix_spawnattr_setsigmask(&attr, &watched);
  ::posix_spawnattr_setsigdefault(&attr, &all);
  // A process group of its own, the run's, killed whole should the warden
  // not end in time.
  ::posix_spawnattr_setpgroup(&attr, 0);
  ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  pid_t pid = -1;
  const int r = ::posix_spawn(&pid, warden.c_str(), &actions, &attr, argv.data(), envp.data());
  ::posix_spawnattr_destroy(&attr);
  ::posix_spawn_file_actions_destroy(&actions);
  if (r != 0) {
    *error = "cannot start the renderer " + program + ": " + md::files::StartErrorText(r);
    return -1;
  }
  return pid;
}

// A pidfd of the warden while it is still this process's child (a pid the
// kernel reaped already, for a host that ignores SIGCHLD, may name another
// process by now); -1 without one, where the end of its report pipe tells
// its end.
int WardenPidfd(pid_t pid) {
  const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  siginfo_t info{};
  if (fd >= 0 && ::waitid(P_PIDFD, static_cast<id_t>(fd), &info, WEXITED | WNOHANG | WNOWAIT) == 0) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

// Reads what the warden's report pipe holds now (it does not block); true
// at its end, once the warden has ended.
bool ReadReport(int fd, WardenReport* report, std::size_t* got) {
  char chunk[64];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 || errno != EAGAIN;
    const std::size_t take = std::min(static_cast<std::size_t>(n), sizeof *report - *got);
    std::memcpy(reinterpret_cast<char*>(report) + *got, chunk, take);
    *got += take;
  }
}

}  // namespace

namespace {

// The run's files: the buffer, mapped here too, and the input.
struct RunFiles {
  Fd buffer, input;
  void* mapped = MAP_FAILED;
  std::size_t mappedBytes = 0;
  RunFiles() = default;
  RunFiles(const RunFiles&) = delete;
  RunFiles& operator=(const RunFiles&) = delete;
  ~RunFiles() {
    if (mapped != MAP_FAILED) ::munmap(mapped, mappedBytes);
  }
};

// Why a file of the run could not be made; where this process is out of
// memory that is the call's failure, not the file's, and is thrown.
std::string NoMemory(const char* what) {
  if (errno == ENOMEM) throw std::bad_alloc();
  return Errno(what);
}

// Makes the buffer of `bytes` and the input's memory file; "" or why not.
// The buffer is sealed at its size, so that the program can neither pull
// its pages from under this process's mapping nor grow it past what its
// memory limit counts; the input is sealed whole.
std::string MakeFiles(const void* input, std::size_t inputBytes, std::size_t bytes, RunFiles* files) {
  files->mappedBytes = bytes == 0 ? 1 : bytes;
  files->buffer.fd = ::memfd_create("mapdeck-isolated-buffer", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (files->buffer.fd < 0 || ::ftruncate(files->buffer.fd, static_cast<off_t>(files->mappedBytes)) != 0)
    return NoMemory("no memory for the drawing");
  if (::fcntl(files->buffer.fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0)
    return Errno("cannot seal the drawing's buffer");
  files->mapped = ::mmap(nullptr, files->mappedBytes, PROT_READ, MAP_SHARED, files->buffer.fd, 0);
  if (files->mapped == MAP_FAILED) return NoMemory("no memory for the drawing");
  files->input.fd = ::memfd_create("mapdeck-isolated-input", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (files->input.fd < 0 || !WriteAll(files->input.fd, input, inputBytes))
    return NoMemory("no memory for the file");
  if (::fcntl(files->input.fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0)
    return Errno("cannot seal the file");
  return "";
}

// Whether the buffer still has the size it was made with.
bool BufferKept(const RunFiles& files) {
  struct stat st {};
  return ::fstat(files.buffer.fd, &st) == 0 && static_cast<std::size_t>(st.st_size) == files.mappedBytes;
}

// The warden started and the read ends of its pipes.
struct Started {
  pid_t pid = -1;
  Fd answer, report;
};

// Makes the pipes and spawns the warden; "" or why not. The run holds the
// only write ends until it returns, then none.
std::string Start(const std::string& warden, const std::string& program, const std::vector<std::string>& args,
                  const IsolationLimits& limits, int expected, const RunFiles& files, Started* started) {
  int answers[2], reports[2];
  if (::pipe2(answers, O_CLOEXEC) != 0) return Errno("cannot start the renderer");
  started->answer.fd = answers[0];
  Fd answerWriteEnd(answers[1]);
  if (::pipe2(reports, O_CLOEXEC) != 0) return Errno("cannot start the renderer");
  started->report.fd = reports[0];
  Fd reportWriteEnd(reports[1]);
  Fd input(High(files.input.fd)), buffer(High(files.buffer.fd)), answer(High(answerWriteEnd.fd)),
      report(High(reportWriteEnd.fd));
  if (input.fd < 0 || buffer.fd < 0 || answer.fd < 0 || report.fd < 0 ||
      ::fcntl(started->report.fd, F_SETFL, O_NONBLOCK) != 0)
    return Errno("cannot start the renderer");
  std::string error;
  started->pid =
      Spawn(warden, program, args, limits, expected, input.fd, buffer.fd, answer.fd, report.fd, &error);
  return error;
}

// What the run told: the program's answer, the warden's report, and how the
// wait went.
struct Heard {
  std::string answer, waitError;
  WardenReport report;
  std::size_t reported = 0;
  bool ended = false, timedOut = false;
  bool tooLong = false;           // the answer ran past kAnswerBytes
  std::int64_t processorMs = -1;  // once reaped here
};

// Until the deadline: the answer up to its pipe's end, and the warden's
// end, which its pidfd and its report pipe's end announce. An answer longer
// than kAnswerBytes ends the listening, and the run with it.
void Listen(const Started& started, const Fd& exited, long long deadline, Heard* heard) {
  bool answered = false;
  while (!(answered && heard->ended) && !heard->tooLong) {
    const long long left = deadline - NowMs();
    if (left <= 0) break;
    pollfd p[3] = {{answered ? -1 : started.answer.fd, POLLIN, 0},
                   {heard->ended ? -1 : started.report.fd, POLLIN, 0},
                   {heard->ended ? -1 : exited.fd, POLLIN, 0}};
    const int r = ::poll(p, 3, static_cast<int>(std::min<long long>(left, INT_MAX)));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      heard->waitError = Errno("cannot wait for the renderer");
      break;
    }
    if (p[0].revents != 0) {
      char chunk[kAnswerBytes + 1];
      const ssize_t n = ::read(started.answer.fd, chunk, kAnswerBytes + 1 - heard->answer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) answered = true;
      if (n > 0) heard->answer.append(chunk, static_cast<std::size_t>(n));
      heard->tooLong = heard->answer.size() > kAnswerBytes;
    }
    if (p[1].revents != 0) heard->ended = ReadReport(started.report.fd, &heard->report, &heard->reported);
    if (p[2].revents != 0) heard->ended = true;
  }
  heard->timedOut = !heard->ended && heard->waitError.empty() && !heard->tooLong;
}

// Past the time: the warden ends the run and everything it started, and is
// given kEndMs to. Then, unless the warden's report says it ended it all,
// its group is killed. Then the warden is reaped, unless the host or the
// kernel did.
void EndAndReap(const Started& started, const Fd& exited, Heard* heard) {
  if (!heard->ended) {
    if (exited.fd >= 0) {
      ::syscall(SYS_pidfd_send_signal, exited.fd, SIGTERM, nullptr, 0);
    } else {
      ::kill(started.pid, SIGTERM);
    }
    for (long long endBy = NowMs() + kEndMs, left = kEndMs; !heard->ended && left > 0;
         left = endBy - NowMs()) {
      pollfd p[2] = {{started.report.fd, POLLIN, 0}, {exited.fd, POLLIN, 0}};
      if (::poll(p, 2, static_cast<int>(left)) < 0 && errno != EINTR) break;
      heard->ended = (p[0].revents != 0 && ReadReport(started.report.fd, &heard->report, &heard->reported)) ||
                     p[1].revents != 0;
    }
  }
  // All of the report, when the pidfd told the end first.
  ReadReport(started.report.fd, &heard->report, &heard->reported);
  if (!heard->ended || heard->reported != sizeof heard->report) ::kill(-started.pid, SIGKILL);
  rusage usage{};
  long reaped = -1;
  if (exited.fd >= 0) {
    siginfo_t info{};
    while ((reaped = ::syscall(SYS_waitid, P_PIDFD, exited.fd, &info, WEXITED, &usage)) < 0 &&
           errno == EINTR) {
    }
  } else {
    while ((reaped = ::wait4(started.pid, nullptr, 0, &usage)) < 0 && errno == EINTR) {
    }
  }
  if (reaped >= 0) {
    const auto ms = [](const timeval& t) {
      return static_cast<std::int64_t>(t.tv_sec) * 1000 + t.tv_usec / 1000;
    };
    heard->processorMs = ms(usage.ru_utime) + ms(usage.ru_stime);
  }
}

std::string Seconds(int milliseconds) { return std::to_string(milliseconds / 1000.0).substr(0, 4) + " s"; }

// The program's text as the host's: one line of printable characters, each
// other byte and the backslash escaped (\xNN), at most kReasonChars long, so
// that it can neither forge a record's line nor move the terminal that shows
// one.
std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    const std::string piece = byte >= 0x20 && byte < 0x7f && byte != '\\' ? std::string(1, c) : escape;
    if (out.size() + piece.size() > kReasonChars) return out + "...";
    out += piece;
  }
  return out;
}

// The fences `fences` names, in words.
std::string FenceNames(int fences) {
  const std::pair<int, const char*> names[] = {{kFenceLandlock, "Landlock"},
                                               {kFenceLandlockNet, "Landlock's network rules"},
                                               {kFenceLandlockScope, "Landlock's scopes"},
                                               {kFenceNamespaces, "the namespaces"},
                                               {kFenceFilter, "the system call filter"},
                                               {kFenceNoCapability, "the capabilities' drop"}};
  std::string said;
  for (const auto& [bit, name] : names)
    if ((fences & bit) != 0) said += (said.empty() ? "" : ", ") + std::string(name);
  return said;
}

std::string MiB(unsigned long long bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB"; }

// Where this process's hard address-space limit, which the warden passes on,
// holds the program below what its run allows it: the limit and what the
// program may need, to follow the reason of a run that ran out of memory;
// "" where no such limit holds.
std::string AddressSpaceNote(const IsolationLimits& limits) {
  const unsigned long long allowed = kProgramStartBytes + limits.extraMemory;
  rlimit held{};
  if (::getrlimit(RLIMIT_AS, &held) != 0 || held.rlim_max == RLIM_INFINITY || held.rlim_max >= allowed)
    return "";
  return " (an address-space limit: RLIMIT_AS " + MiB(held.rlim_max) + "; the renderer needs up to " +
         MiB(allowed) + ")";
}

// Whether the program's refusal says it ran out of memory.
bool SaysNoMemory(const std::string& answer) {
  return answer.find("bad_alloc") != std::string::npos || answer.find("memory") != std::string::npos;
}

// How the run ended and why, from what it told; the buffer is collected
// when the program answered "".
IsolatedEnd Outcome(const std::string& program, const Heard& heard, const IsolationLimits& limits,
                    const std::function<std::string(const void* buffer)>& collect, const void* buffer,
                    bool bufferKept, std::string* error) {
  const WardenReport& report = heard.report;
  if (!heard.waitError.empty()) {
    *error = heard.waitError;
    return IsolatedEnd::NotRun;
  }
  if (heard.timedOut) {
    *error = "drawing took longer than " + Seconds(limits.milliseconds);
    return IsolatedEnd::TimedOut;
  }
  if (heard.tooLong) {
    *error = "the renderer answered more than " + std::to_string(kAnswerBytes) + " bytes";
    return IsolatedEnd::Stopped;
  }
  if (heard.reported != sizeof report) {
    // Killed before it could say (by the program, where it is not fenced):
    // nothing is known of the file.
    *error = "the renderer's warden ended without saying how the renderer ended";
    return IsolatedEnd::NotRun;
  }
  if (report.kind == WardenReport::NotStarted) {
    *error = "the renderer " + program + " could not start: " + md::files::StartErrorText(report.value) +
             (report.value == ENOMEM ? AddressSpaceNote(limits) : "");
    return IsolatedEnd::NotRun;
  }
  if (report.kind == WardenReport::Unfenced) {
    *error = "the renderer " + program + " was not started: sandbox not in force (without " +
             FenceNames(report.value) + ")";
    return IsolatedEnd::NotRun;
  }
  if (report.kind == WardenReport::Script) {
    *error =
        "the renderer " + program + " could not start: it is a script, and its sandbox starts programs only";
    return IsolatedEnd::NotRun;
  }
  if (report.kind == WardenReport::Signalled && report.value == SIGXCPU) {
    // Its processor time ran out.
    *error = "drawing took more than " + Seconds(limits.processorMilliseconds) + " of processor time";
    return IsolatedEnd::OutOfProcessorTime;
  }
  if (report.kind == WardenReport::Signalled) {
    *error = "the renderer stopped on signal " + std::to_string(report.value) + AddressSpaceNote(limits);
    return IsolatedEnd::Stopped;
  }
  if (heard.answer.empty() || report.value != 0) {
    *error = "the renderer stopped without an answer" + AddressSpaceNote(limits);
    return IsolatedEnd::Stopped;
  }
  if (heard.answer.size() > 1) {
    *error = Escaped(heard.answer.substr(1)) + (SaysNoMemory(heard.answer) ? AddressSpaceNote(limits) : "");
    return IsolatedEnd::Refused;
  }
  if (!bufferKept) {
    *error = "the renderer changed the size of its buffer";
    return IsolatedEnd::Stopped;
  }
  *error = collect(buffer);
  return error->empty() ? IsolatedEnd::Done : IsolatedEnd::Refused;
}

}  // namespace

bool RunIsolated(const std::string& program, const std::vector<std::string>& args, const void* input,
                 std::size_t inputBytes, std::size_t bytes,
                 const std::function<std::string(const void* buffer)>& collect, const IsolationLimits& limits,
                 std::string* error, IsolatedEnd* end, std::int64_t* processorMs) {
  IsolatedEnd ignored;
  IsolatedEnd& how = end != nullptr ? *end : ignored;
  how = IsolatedEnd::NotRun;
  if (::access(program.c_str(), X_OK) != 0) {
    *error = "the renderer " + program + (errno == ENOENT ? " is missing" : Errno(" cannot be run"));
    return false;
  }
  const std::string warden = ProgramBesideLibrary(kWarden);
  if (::access(warden.c_str(), X_OK) != 0) {
    *error = "the renderer's warden " + warden + " is missing";
    return false;
  }
  // The fences this process's programs get, which a run must get too.
  std::string unlearned;
  const int expected = HelperFences(&unlearned);
  if (expected < 0) {
    *error =
        "the renderer " + program + " was not started: its sandbox could not be learned (" + unlearned + ")";
    return false;
  }
  RunFiles files;
  *error = MakeFiles(input, inputBytes, bytes, &files);
  if (!error->empty()) return false;
  Started started;
  *error = Start(warden, program, args, limits, expected, files, &started);
  if (!error->empty()) return false;
  const long long deadline = NowMs() + limits.milliseconds;
  const Fd exited(WardenPidfd(started.pid));
  Heard heard;
  Listen(started, exited, deadline, &heard);
  EndAndReap(started, exited, &heard);
  if (processorMs != nullptr) *processorMs = heard.processorMs;
  how = Outcome(program, heard, limits, collect, files.mapped, BufferKept(files), error);
  return error->empty();
}

int SetWardenForkFailure(int error) { return g_forkFailure.exchange(error); }

int SetWardenProbeFailure(int error) { return g_probeFailure.exchange(error); }

int WardenProbeFailure() { return g_probeFailure.load(); }

int SetWardenFencesWithout(int fences) { return g_fencesWithout.exchange(fences); }

int SetWardenFencesTakenAway(int fences) { return g_fencesTakenAway.exchange(fences); }

bool SetWardenWatchOff(bool off) { return g_watchOff.exchange(off); }

std::string SetIsolatedVariablePassed(std::string name) {
  std::lock_guard<std::mutex> lock(g_passedMutex);
  std::swap(name, g_passed);
  return name;
}

std::vector<std::string> ProgramEnvironment() {
  // By their whole names alone, each for what the program needs of it.
  static constexpr const char* kNames[] = {
      // The loader's folders, where the host's libraries were found (the
      // fence lets the program read them).
      "LD_LIBRARY_PATH",
      // Fontconfig's: its user's configuration, fonts and caches (HOME and
      // the XDG folders), and a configuration of its own, so that the
      // program finds the fonts the host's text engine finds.
      "HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "FONTCONFIG_FILE",
      "FONTCONFIG_PATH",
      // The languages fontconfig prefers a face for, as the host's matching
      // does.
      "LANG", "LC_ALL", "LC_CTYPE",
      // A sanitizer's runtime's options, in builds with one.
      "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "MSAN_OPTIONS"};
  std::string passed;
  {
    std::lock_guard<std::mutex> lock(g_passedMutex);
    passed = g_passed;
  }
  std::vector<std::string> variables;
  for (char** v = environ; v != nullptr && *v != nullptr; ++v) {
    const std::string variable = *v;
    const std::string name = variable.substr(0, variable.find('='));
    bool wanted = !passed.empty() && name == passed;
    for (const char* n : kNames) wanted = wanted || name == n;
    if (wanted && name.size() < variable.size()) variables.push_back(variable);
  }
  return variables;
}

int WardenFencesWithout() { return g_fencesWithout.load(); }

std::string ProgramBesideLibrary(const char* name) {
  Dl_info info{};
  std::string library;
  if (::dladdr(reinterpret_cast<void*>(&ProgramBesideLibrary), &info) != 0 && info.dli_fname != nullptr) {
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved) != nullptr) library = resolved;
  }
  if (library.empty()) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) library.assign(self, static_cast<std::size_t>(n));
  }
  const std::size_t slash = library.rfind('/');
  return (slash == std::string::npos ? std::string(".") : library.substr(0, slash)) + "/" + name;
}

}  // namespace md::imaging::detail
