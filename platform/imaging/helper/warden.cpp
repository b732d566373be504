// mapdeck-warden: the first process of every isolated run of the imaging
// library (platform/imaging/isolate.h). It starts the run's program and ends
// every process the program leaves behind. Before the program's exec it sets
// the program's limits for good, hard as soft (run.h: its address space,
// its processor time as a backstop, no core file, its open files), and
// fences it (fence.h: Landlock, or namespaces where the kernel lacks it, a
// system call allow-list and no capability): among the rest it and
// everything it starts signal no process but the program itself and stay in
// the run's process group, which the warden leads. A program that did not
// get every fence it is to get is not started. The warden watches the
// program's processor time on the program's own clock and kills it once it
// passes its limit (where the fence is namespaces, the namespace's first
// process does, below the warden's child, which waits outside them for the
// program and ends as the program ended). As a child subreaper the warden
// also becomes the parent of each process below it whose parent ends, and
// kills the children it finds in /proc, those that left the group where no
// filter could be installed too. Started by the library, never by hand:
//
//   mapdeck-warden <the library's process id> <errno> <without> <expected> <program> --isolated
//                  <processor ms> <extra memory> <argument>...
//   mapdeck-warden --fences <without> <errno>
//
// where a non-zero errno is a failure of the warden's fork, or of the
// probe's Landlock ruleset, to pretend (tests),
// `without` the fences to leave out as if the kernel lacked them (tests;
// both 0 otherwise) and `expected` the fences the program must get, as
// fence.h's bits; the second form prints the fences a program gets here,
// `without` left out, or the errno, negated, of a passing failure (a fork
// or a fence refused for want of a process, memory or a descriptor). Its environment leaves no fence out. The
// program gets the warden's environment and descriptors but the report's (run.h) and an empty signal mask;
// the warden keeps none of the run's descriptors, so that the answer pipe closes once the program and what it
// started are gone. When the program ends, or the library asks for the end (SIGTERM, also sent when the
// library's thread ends), every process below the warden is killed and reaped, and the report says how the
// program ended (SIGXCPU: killed as its processor time ran out), or that it could not be started, and why.
// Where the warden cannot reach what is left that way (it is no subreaper, /proc cannot be read), it ends its
// process group last, and itself with it.
#include "platform/imaging/protocol/run.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "platform/imaging/helper/fence.h"

namespace {

using md::imaging::detail::kWardenReportFd;
using md::imaging::detail::WardenReport;

extern "C" char** environ;

using md::imaging::detail::kShadowMemory;

// The most descriptors the program may hold.
constexpr rlim_t kMostFiles = 1024;

// The parent named by /proc/<pid>/stat: the field after the state, which
// follows the last ')' (a command's name may hold one); 0 when unreadable.
pid_t ParentOf(long pid) {
  char path[64], stat[512];
  std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  const ssize_t n = ::read(fd, stat, sizeof stat - 1);
  ::close(fd);
  if (n <= 0) return 0;
  stat[n] = '\0';
  const char* close = nullptr;
  for (const char* c = stat; *c != '\0'; ++c)
    if (*c == ')') close = c;
  char state = 0;
  int parent = 0;
  return close != nullptr && std::sscanf(close + 1, " %c %d", &state, &parent) == 2 ? parent : 0;
}

// Kills every child of this process; false when /proc cannot be read (or is
// not the process file system).
bool KillChildren() {
  DIR* proc = ::opendir("/proc");
  struct statfs kind {};
  if (proc != nullptr && (::fstatfs(::dirfd(proc), &kind) != 0 || kind.f_type != PROC_SUPER_MAGIC)) {
    ::closedir(proc);
    proc = nullptr;
  }
  if (proc == nullptr) return false;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (pid > 0 && *end == '\0' && ParentOf(pid) == self) ::kill(static_cast<pid_t>(pid), SIGKILL);
  }
  ::closedir(proc);
  return true;
}

// Reaps the children that ended; the program's status goes to *status and
// the processor time it took, with what it waited for, to *programMs. False
// once no child is left.
bool Reap(pid_t program, int* status, bool* ended, long long* programMs) {
  for (;;) {
    int st = 0;
    rusage usage{};
    const pid_t w = ::wait4(-1, &st, WNOHANG, &usage);
    if (w > 0 && w == program) {
      *status = st;
      *ended = true;
      *programMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
    }
    if (w > 0 || (w < 0 && errno == EINTR)) continue;
    return !(w < 0 && errno == ECHILD);
  }
}

bool WriteAll(int fd, const void* data, std::size_t bytes) {
  ssize_t n;
  while ((n = ::write(fd, data, bytes)) < 0 && errno == EINTR) {
  }
  return n == static_cast<ssize_t>(bytes);
}

// Up to `bytes` bytes, until the end; how many were read.
std::size_t ReadAll(int fd, void* to, std::size_t bytes) {
  std::size_t got = 0;
  while (got < bytes) {
    const ssize_t n = ::read(fd, static_cast<char*>(to) + got, bytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

// Fences as the argument says them: fence.h's bits among `any`, in
// decimal; false for anything else.
bool ReadFences(const char* arg, long any, int* fences) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(arg, &end, 10);
  if (end == arg || *end != '\0' || errno != 0 || value < 0 || (value & ~any) != 0) return false;
  *fences = static_cast<int>(value);
  return true;
}

// The fences that can be left out.
constexpr long kLeftOut = md::imaging::detail::kFenceLandlock | md::imaging::detail::kFenceNamespaces |
                          md::imaging::detail::kFenceFilter;
// Every fence.
constexpr long kAnyFence = kLeftOut | md::imaging::detail::kFenceLandlockNet |
                           md::imaging::detail::kFenceLandlockScope | md::imaging::detail::kFenceNoCapability;

// The program's limits, after the flag its command line starts with (run.h);
// false where they are not there.
bool ReadLimits(char** words, int count, long long* processorMs, unsigned long long* extra) {
  if (count < 3 || std::strcmp(words[0], md::imaging::detail::kIsolatedFlag) != 0) return false;
  char *msEnd = nullptr, *extraEnd = nullptr;
  *processorMs = std::strtoll(words[1], &msEnd, 10);
  *extra = std::strtoull(words[2], &extraEnd, 10);
  return *msEnd == '\0' && *extraEnd == '\0' && *processorMs > 0;
}

// Sets the limits of the program's process for good, hard as soft: its
// processor time a second past the warden's watch, should the watch fail;
// its address space, what it holds from its start and its extra memory, at
// most the hard limit it inherited (unless its sanitizer's shadow memory
// reserves more, when the program's own start limits what it adds to it); no core file; and its open files
// below the one descriptor its exec names, to which the program's file `fd`
// moves. That descriptor, or -1 with errno set.
int LimitProgram(int fd, long long processorMs, unsigned long long extra) {
  const rlim_t seconds = static_cast<rlim_t>((processorMs + 999) / 1000 + 1);
  const rlimit cpu{seconds, seconds}, none{0, 0};
  const rlim_t wanted = static_cast<rlim_t>(std::min<unsigned long long>(
                            extra, RLIM_INFINITY - md::imaging::detail::kProgramStartBytes)) +
                        md::imaging::detail::kProgramStartBytes;
  // Never above the hard limit the library's process passed on: the program
  // draws within what its host may hold, and a raise would be refused.
  rlimit held{};
  if (::getrlimit(RLIMIT_AS, &held) != 0) return -1;
  const rlim_t space = std::min(wanted, held.rlim_max);
  const rlimit memory{space, space};
  rlimit files{};
  if (::setrlimit(RLIMIT_CPU, &cpu) != 0 || ::setrlimit(RLIMIT_CORE, &none) != 0 ||
      (!kShadowMemory && ::setrlimit(RLIMIT_AS, &memory) != 0) || ::getrlimit(RLIMIT_NOFILE, &files) != 0)
    return -1;
  const rlim_t top = std::min(files.rlim_max, kMostFiles + 1);
  const rlimit raised{top, files.rlim_max};
  const int number = static_cast<int>(top) - 1;
  const int moved =
      top < 16 || ::setrlimit(RLIMIT_NOFILE, &raised) != 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, number);
  if (moved != number) {
    if (moved >= 0) ::close(moved);
    errno = EMFILE;
    return -1;
  }
  ::close(fd);
  const rlimit below{static_cast<rlim_t>(number), static_cast<rlim_t>(number)};
  return ::setrlimit(RLIMIT_NOFILE, &below) == 0 ? number : -1;
}

// The program's file, to read where its user may (to tell a script by its
// first bytes) or else only to run.
int OpenProgram(const char* program) {
  const int fd = ::open(program, O_RDONLY | O_CLOEXEC);
  return fd >= 0 ? fd : ::open(program, O_PATH | O_CLOEXEC);
}

// Whether the file at `fd` is a script ("#!" first).
bool IsScript(int fd) {
  char head[2] = {0, 0};
  return ::pread(fd, head, sizeof head, 0) == 2 && head[0] == '#' && head[1] == '!';
}

// In the program's process, after the fork: its limits, its fences, its
// exec. Says on `told` the fences in force, then, where it is not started,
// the report's kind and value. Unless `watched`, its processor time is left
// to the kernel's backstop alone (tests).
[[noreturn]] void StartProgram(char** argv, int told, int without, int expected, long long processorMs,
                               bool watched, unsigned long long extra, int threadSupervisor) {
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  int said[3] = {0, WardenReport::NotStarted, 0};
  int execFd = OpenProgram(argv[5]);
  if (execFd >= 0) execFd = LimitProgram(execFd, processorMs, extra);
  if (execFd < 0) {
    said[2] = errno;
    WriteAll(told, said, sizeof said);
    ::_exit(127);
  }
  md::imaging::detail::FenceRequest request;
  request.program = argv[5];
  request.execFd = execFd;
  request.notTheirs = told;
  request.without = without;
  request.processorMs = watched ? processorMs : 0;
  request.threadSupervisor = threadSupervisor;
  said[0] = md::imaging::detail::FenceProgram(request);
  if ((said[0] & expected) != expected) {
    said[1] = WardenReport::Unfenced;
    said[2] = expected & ~said[0];
    WriteAll(told, said, sizeof said);
    ::_exit(127);
  }
  WriteAll(told, said, sizeof said[0]);
  ::syscall(SYS_execveat, execFd, "", argv + 5, environ, AT_EMPTY_PATH);
  said[2] = errno;
  said[1] = IsScript(execFd) ? WardenReport::Script : WardenReport::NotStarted;
  WriteAll(told, said + 1, 2 * sizeof said[0]);
  ::_exit(127);
}

// With "--fences": the fences the program would be put in here, leaving out
// `without`, as the number fence.h's bits make, on standard output; the
// errno, negated, where a passing failure kept them from being learned.
int SayFences(const char* self, int without, int pretended) {
  int told[2];
  if (::pipe2(told, O_CLOEXEC) != 0) {
    std::printf("%d\n", -errno);
    return 0;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    std::printf("%d\n", -errno);
    return 0;
  }
  if (child == 0) {
    md::imaging::detail::FenceRequest request;
    request.program = self;
    request.notTheirs = told[1];
    request.without = without;
    request.pretended = pretended;
    int passing = 0;
    request.passing = &passing;
    const int fences = md::imaging::detail::FenceProgram(request);
    const int said = passing != 0 ? -passing : fences;
    WriteAll(told[1], &said, sizeof said);
    ::_exit(0);
  }
  ::close(told[1]);
  int fences = 0;
  const bool read = child > 0 && ReadAll(told[0], &fences, sizeof fences) == sizeof fences;
  while (child > 0 && ::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (!read) return 1;
  std::printf("%d\n", fences);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int without = 0, expected = 0;
  if (argc == 4 && std::strcmp(argv[1], "--fences") == 0 && ReadFences(argv[2], kLeftOut, &without))
    return SayFences(argv[0], without, std::atoi(argv[3]));
  long long processorMs = 0;
  unsigned long long extra = 0;
  if (argc < 9 || !ReadFences(argv[3], kLeftOut, &without) || !ReadFences(argv[4], kAnyFence, &expected) ||
      !ReadLimits(argv + 6, argc - 6, &processorMs, &extra)) {
    std::fprintf(stderr, "%s: started by the library that uses it, not by hand\n", argc > 0 ? argv[0] : "");
    return 2;
  }
  // The library starts this process with these signals blocked; they are
  // taken with sigwaitinfo, as is the watch's on the program's processor
  // time. A report the library no longer reads is no end.
  sigset_t watched, quiet;
  sigemptyset(&watched);
  sigaddset(&watched, SIGCHLD);
  sigaddset(&watched, SIGTERM);
  sigaddset(&watched, SIGALRM);
  quiet = watched;
  sigaddset(&quiet, SIGPIPE);
  ::sigprocmask(SIG_BLOCK, &quiet, nullptr);
  // Where it cannot become one, what leaves the program's tree is ended
  // with the group only.
  const bool subreaper = ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0;
  ::prctl(PR_SET_PDEATHSIG, SIGTERM, 0, 0, 0);
  if (::getppid() != static_cast<pid_t>(std::atoi(argv[1]))) return 2;  // the library is gone already
  if (::fcntl(kWardenReportFd, F_SETFD, FD_CLOEXEC) != 0) return 2;

  // The program's process says, before its exec, which fences are in force,
  // and why it was not started, where it was not.
  WardenReport report;
  int told[3] = {0, 0, 0}, started[2];
  // The tests' word: a fork failure pretended, the watch left off.
  const int pretended = std::atoi(argv[2]);
  const bool watching = std::strstr(argv[2], ",unwatched") == nullptr;
  pid_t program = -1;
  // The program's thread starts, each let through here while they are
  // within their count (fence.h), on a thread of this process's own.
  int threads[2] = {-1, -1};
  if (::pipe2(started, O_CLOEXEC) == 0 &&
      ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, threads) == 0) {
    program = pretended != 0 ? (errno = pretended, -1) : ::fork();
    if (program == 0)
      StartProgram(argv, started[1], without, expected, processorMs, watching, extra, threads[1]);
    int forkError = errno;
    ::close(threads[1]);
    if (program > 0)
      std::thread(md::imaging::detail::CountThreadStarts, threads[0], processorMs).detach();
    else
      ::close(threads[0]);
    // Its processor time, from the fork on. Where the fence is namespaces
    // the namespace's first process watches the program.
    const bool timed =
        program <= 0 || !watching || md::imaging::detail::WatchProcessorTime(program, processorMs);
    if (!timed) {
      forkError = errno;
      ::kill(program, SIGKILL);
    }
    ::close(started[1]);
    if (program > 0 && ReadAll(started[0], told, sizeof told) == sizeof told) report = {told[1], told[2]};
    if (!timed) report = {WardenReport::NotStarted, forkError};
    ::close(started[0]);
    errno = forkError;
  }
  if (program < 0) report = {WardenReport::NotStarted, errno};
  // The run's descriptors are the program's alone.
  ::close(0);
  ::close(3);
  ::close(4);

  int status = 0;
  long long programMs = 0;
  bool ended = false, asked = false;
  while (program > 0 && !ended && !asked) {
    const int signal = ::sigwaitinfo(&watched, nullptr);
    if (signal == SIGTERM) asked = true;
    if (signal == SIGALRM) ::kill(program, SIGKILL);  // its processor time ran out
    if (signal == SIGCHLD) Reap(program, &status, &ended, &programMs);
  }
  // Everything below: killed, and reaped once ended. A process whose parent
  // ends while this goes on becomes a child here and is killed next round.
  // Where /proc cannot be read, the next round tries again, while children
  // are left; unless each process of the run stays in the group, which ends
  // below (the program is fenced), or the library asked for the end.
  const timespec round{0, 10 * 1000 * 1000};
  bool listed = true;
  while (program > 0) {
    listed = KillChildren();
    if (!Reap(program, &status, &ended, &programMs) ||
        (!listed && ((told[0] & md::imaging::detail::kFenceFilter) != 0 || asked)))
      break;
    if (::sigtimedwait(&watched, nullptr, &round) == SIGTERM) asked = true;
  }

  // Killed once its processor time passed the limit, by the watch or by the
  // kernel's backstop: ended for its time.
  const bool outOfTime = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL && programMs >= processorMs;
  if (report.kind == 0 && ended)
    report = WIFSIGNALED(status)
                 ? WardenReport{WardenReport::Signalled, outOfTime ? SIGXCPU : WTERMSIG(status)}
                 : WardenReport{WardenReport::Exited, WEXITSTATUS(status)};
  if (report.kind != 0) WriteAll(kWardenReportFd, &report, sizeof report);
  // What is left of the run where this process sees no other way to it (not
  // a subreaper, /proc unread) ends with the group, this process with it.
  if ((!subreaper || !listed) && ::getpgrp() == ::getpid()) ::kill(0, SIGKILL);
  ::_exit(0);
}
