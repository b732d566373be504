// A program for RunIsolated's tests: its first argument says what its work
// does (fills the buffer with the input's first byte, refuses, crashes,
// loops, throws, takes too much memory, closes its answer pipe and then
// hangs, tries a call its fence refuses, or a way into its host, and
// answers how it went, or answers its capability sets; or, as a helper
// taken over would, spins, starts threads, forks, hoards memory, grows or shrinks its
// buffer, answers for ever or with control characters, or answers its
// environment's names).
// Started as the metafile helper, it takes forever over every file, as a
// slow file makes the real one do, or, as MD_PROBE_METAFILE says, crashes on
// it ("crash") or refuses it (any other text, its reason), or answers a
// drawing of a pixel whose draw list is the one in the file named after
// "list:" (none when it names no file; asked to paint a box, white pixels),
// or, as "list-dies:signal" or "list-dies:memory" say, paints a drawing of
// a pixel white but dies when asked for its list (on SIGTRAP, or aborting
// once its memory is taken), or the bytes of the file named after "answer:"
// as its whole answer; after
// spending the milliseconds of processor time a "cpu:<ms>:" before that
// names (a "cpu-box:<ms>:" only when asked to paint or list a box), and
// sleeping those a "sleep:<ms>:" names; a "rops:<bits>:" before "list:"
// gives the raster operations (NearestRop bits) its paintings and lists say
// they drew as their nearest.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/io_uring.h>
#include <linux/netlink.h>
#include <linux/perf_event.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sched.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include <sys/personality.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

#include "platform/imaging/helper/isolatedmain.h"
#include "platform/imaging/protocol/answer.h"
#include "platform/imaging/protocol/run.h"

namespace {

// A child that waits for ever (the warden ends it with the run).
pid_t Child() {
  const pid_t child = ::fork();
  if (child == 0)
    for (;;) ::pause();
  return child;
}

// Where the kernel has no 32-bit system call entry the instruction faults
// before any filter sees the call: the fault lands here.
sigjmp_buf g_noEntry;

// getpid through the 32-bit ABI's entry: "done", "errno <n>", or, where the
// kernel has no such entry, "no 32-bit entry".
std::string CallAsI386() {
#ifdef __x86_64__
  struct sigaction caught {
  }, before{};
  caught.sa_handler = [](int) { ::siglongjmp(g_noEntry, 1); };
  ::sigemptyset(&caught.sa_mask);
  ::sigaction(SIGSEGV, &caught, &before);
  volatile long answer = 0;
  volatile bool entered = false;
  if (sigsetjmp(g_noEntry, 1) == 0) {
    long r = 20;  // getpid's number there
    asm volatile("int $0x80" : "+a"(r) : : "memory");
    answer = r;
    entered = true;
  }
  ::sigaction(SIGSEGV, &before, nullptr);
  if (!entered) return "no 32-bit entry";
  if (answer < 0 && answer > -4096) return "errno " + std::to_string(-answer);
  return "done";
#else
  return "errno " + std::to_string(EINVAL);
#endif
}

// Tries the call args[1] names, on itself, a child of its own, its warden,
// or the host whose pid args[2] is (its variable at address args[3], its
// listener on loopback port args[3], the file args[3]); answers "done" or
// "errno <n>".
std::string Try(const std::vector<std::string>& args) {
  const pid_t warden = ::getppid(), self = ::getpid();
  const std::string call = args.at(1);
  if (call == "call as i386") return CallAsI386();
  if (call == "hold a descriptor past its own") {
    // Its own are its input, output, error, buffer and answer (0 to 4):
    // any other open, up to the host's args[3] and past it, came from the host.
    const int last = std::max(1024, args.size() > 3 ? std::stoi(args[3]) + 64 : 0);
    for (int fd = 5; fd <= last; ++fd)
      if (::fcntl(fd, F_GETFD) >= 0) return "holds descriptor " + std::to_string(fd);
    return "errno " + std::to_string(EBADF);
  }
  // A child of its own for the calls on one, where it may start one.
  const bool onChild =
      call.find("a child") != std::string::npos && call.find("namespace") == std::string::npos;
  const pid_t child = onChild ? Child() : 0;
  if (child < 0) return "errno " + std::to_string(errno);
  char* const noArguments[] = {nullptr};
  rlimit files{};
  ::getrlimit(RLIMIT_NOFILE, &files);
  const int beyond = static_cast<int>(files.rlim_cur);  // the first descriptor it may not hold
  const pid_t host = args.size() > 2 ? static_cast<pid_t>(std::stol(args[2])) : 0;
  const std::string at = args.size() > 3 ? args[3] : "";
  const auto proc = [&](const char* entry) { return "/proc/" + std::to_string(host) + "/" + entry; };
  int value = 4242;
  const iovec local{&value, sizeof value};
  const bool memory = call.find("memory") != std::string::npos, port = call == "connect to the host";
  const std::uintptr_t address = memory ? std::stoull(at, nullptr, 16) : 0;
  const iovec remote{reinterpret_cast<void*>(address), sizeof value};
  siginfo_t info{};
  info.si_code = SI_QUEUE;
  info.si_signo = SIGURG;
  rlimit eight{8, 8}, second{1, 1};
  cpu_set_t one;
  CPU_ZERO(&one);
  CPU_SET(0, &one);
  io_uring_params ring{};
  perf_event_attr event{};
  event.size = sizeof event;
  event.type = PERF_TYPE_SOFTWARE;
  event.config = PERF_COUNT_SW_TASK_CLOCK;
  event.exclude_kernel = 1;
  const char byte = 'x';
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(static_cast<std::uint16_t>(port ? std::stoi(at) : 0));
  sockaddr_un named{};
  named.sun_family = AF_UNIX;
  at.copy(named.sun_path + 1, sizeof named.sun_path - 2);  // abstract: the name after a zero byte
  const auto namedSize = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + at.size());
  const int mem = call == "write the host's memory" ? ::open(proc("mem").c_str(), O_RDWR) : -1;
  const int fd = call == "read the host's environment"  ? ::open(proc("environ").c_str(), O_RDONLY)
                 : call == "raise the host's OOM score" ? ::open(proc("oom_score_adj").c_str(), O_WRONLY)
                 : call == "write a file"               ? ::open(at.c_str(), O_WRONLY | O_CREAT, 0644)
                 : call == "read a file"                ? ::open(at.c_str(), O_RDONLY)
                 : call == "connect to the host"        ? ::socket(AF_INET, SOCK_STREAM, 0)
                 : call == "connect to the host's abstract socket" ? ::socket(AF_UNIX, SOCK_STREAM, 0)
                                                                   : -1;
  char some[64];
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  const long done =
      call == "kill itself"                         ? ::kill(self, 0)
      : call == "kill its warden"                   ? ::kill(warden, 0)
      : call == "kill its group"                    ? ::kill(0, 0)
      : call == "signal through a pidfd"            ? ::syscall(SYS_pidfd_send_signal, -1, 0, nullptr, 0)
      : call == "open a pidfd"                      ? ::syscall(SYS_pidfd_open, self, 0)
      : call == "take a descriptor through a pidfd" ? ::syscall(SYS_pidfd_getfd, -1, 0, 0)
      : call == "trace its warden"                  ? ::ptrace(PTRACE_PEEKDATA, warden, nullptr, nullptr)
      : call == "own a pipe for its warden"         ? ::fcntl(4, F_SETOWN, warden)
      : call == "lock its buffer by flock"          ? ::flock(3, LOCK_EX | LOCK_NB)
      : call == "lock its buffer by fcntl"          ? ::fcntl(3, F_SETLK, &lock)
      : call == "lock its buffer by an open file's lock" ? ::fcntl(3, F_OFD_SETLK, &lock)
      : call == "start a session"                   ? ::setsid()
      : call == "leave its group"                   ? ::setpgid(0, 0)
      : call == "call as x32"                       ? ::syscall(SYS_getpid | 0x40000000)
      : call == "kill a child"                      ? ::kill(child, SIGURG)
      : call == "tkill a child"                     ? ::syscall(SYS_tkill, child, SIGURG)
      : call == "tgkill a child"                    ? ::syscall(SYS_tgkill, child, child, SIGURG)
      : call == "queue a signal to a child"         ? ::syscall(SYS_rt_sigqueueinfo, child, SIGURG, &info)
      : call == "queue a signal to a child's thread" ? ::syscall(SYS_rt_tgsigqueueinfo, child, child, SIGURG, &info)
      : call == "trace a child"                       ? ::ptrace(PTRACE_ATTACH, child, nullptr, nullptr)
      : call == "read itself across"                  ? ::process_vm_readv(self, &local, 1, &local, 1, 0)
      : call == "write itself across"                 ? ::process_vm_writev(self, &local, 1, &local, 1, 0)
      : call == "limit a child's open files"          ? ::prlimit(child, RLIMIT_NOFILE, &eight, nullptr)
      : call == "change its priority"                 ? ::setpriority(PRIO_PROCESS, 0, 0)
      : call == "bind itself to a processor"          ? ::sched_setaffinity(0, sizeof one, &one)
      : call == "change its scheduling"               ? ::syscall(SYS_sched_setscheduler, 0, SCHED_OTHER, &info)
      : call == "change its input and output priority" ? ::syscall(SYS_ioprio_set, 1, 0, 0)
      : call == "set up an io_uring"                  ? ::syscall(SYS_io_uring_setup, 1, &ring)
      : call == "load a bpf program"                  ? ::syscall(SYS_bpf, 5, nullptr, 4096 * 2)
      : call == "open a perf event"                   ? ::syscall(SYS_perf_event_open, &event, 0, -1, -1, 0)
      : call == "read its keyring"                    ? ::syscall(SYS_keyctl, 0, -2, 0)
      : call == "mount"                               ? ::mount(nullptr, nullptr, nullptr, 0, nullptr)
      : call == "make a user namespace"               ? ::unshare(CLONE_NEWUSER)
      : call == "start a child in a user namespace"
          ? [] {
              const long child = ::syscall(SYS_clone, CLONE_NEWUSER | SIGCHLD, 0, 0, 0, 0);
              if (child == 0) ::_exit(0);
              return child;
            }()
      : call == "fake a terminal's input"      ? ::ioctl(0, TIOCSTI, &byte)
      : call == "open an inet socket"          ? ::socket(AF_INET, SOCK_DGRAM, 0)
      : call == "open a netlink socket"        ? ::socket(AF_NETLINK, SOCK_RAW, NETLINK_ROUTE)
      : call == "write the host's memory"      ? ::pwrite(mem, &value, sizeof value, static_cast<off_t>(address))
      : call == "read the host's environment"  ? ::read(fd, some, sizeof some) > 0 ? 0 : -1
      : call == "raise the host's OOM score"   ? ::write(fd, "1000", 4) == 4 ? 0 : -1
      : call == "write a file"                 ? ::write(fd, "x", 1) == 1 ? 0 : -1
      : call == "read a file"                  ? ::read(fd, some, sizeof some) > 0 ? 0 : -1
      : call == "connect to the host"          ? ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to)
      : call == "connect to the host's abstract socket" ? ::connect(fd, reinterpret_cast<const sockaddr*>(&named), namedSize)
      : call == "limit the host's open files"  ? ::prlimit(host, RLIMIT_NOFILE, &eight, nullptr)
      : call == "limit the host's processor time" ? ::prlimit(host, RLIMIT_CPU, &second, nullptr)
      : call == "lower the host's priority"    ? ::setpriority(PRIO_PROCESS, static_cast<id_t>(host), 19)
      : call == "bind the host to a processor" ? ::sched_setaffinity(host, sizeof one, &one)
      : call == "signal the host"              ? ::kill(host, SIGURG)
      : call == "tgkill the host"              ? ::syscall(SYS_tgkill, host, host, SIGURG)
      : call == "queue a signal to the host"   ? ::syscall(SYS_rt_sigqueueinfo, host, SIGURG, &info)
      : call == "trace the host"               ? ::ptrace(PTRACE_ATTACH, host, nullptr, nullptr)
      : call == "read the host's memory across" ? ::process_vm_readv(host, &local, 1, &remote, 1, 0)
      : call == "write the host's memory across" ? ::process_vm_writev(host, &local, 1, &remote, 1, 0)
      : call == "end on its own signal"        ? ::raise(SIGUSR2)
      : call == "read the host's status"       ? ::open(proc("status").c_str(), O_RDONLY)
      : call == "read the host's processors"   ? ::sched_getaffinity(host, sizeof one, &one)
      : call == "read the first process's processors" ? ::sched_getaffinity(1, sizeof one, &one)
      : call == "read its own processors"      ? ::sched_getaffinity(self, sizeof one, &one)
      : call == "read its personality"         ? ::personality(0xffffffff)
      : call == "change its personality"       ? ::personality(static_cast<unsigned long>(PER_LINUX) | ADDR_NO_RANDOMIZE)
      : call == "run a program"                ? ::execve("/nonexistent/mapdeck-probe", noArguments, environ)
      : call == "run a program it holds"       ? ::syscall(SYS_execveat, 0, "", noArguments, environ, AT_EMPTY_PATH)
      : call == "take its start's descriptor"  ? ::fcntl(0, F_DUPFD_CLOEXEC, beyond)
      : call == "run through its start's descriptor"
          ? ::syscall(SYS_execveat, beyond, "", noArguments, environ, AT_EMPTY_PATH)
      : call == "fork"                         ? [] {
              const pid_t forked = ::fork();
              if (forked == 0) ::_exit(0);
              return forked;
            }()
      : call == "start a process by clone"     ? [] {
              const long forked = ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
              if (forked == 0) ::_exit(0);
              return forked;
            }()
      : call == "start a process by clone3"    ? ::syscall(SYS_clone3, nullptr, 0)
      // A thread's start with a pidfd, whose flags the kernel refuses itself
      // (a thread without its parent's signal handlers) after any filter.
      : call == "start a thread with a pidfd" ? ::syscall(SYS_clone, CLONE_THREAD | CLONE_PIDFD, 0, &value, 0, 0)
      : call == "start a thread"               ? [] {
              std::thread([] {}).join();
              return 0;
            }()
      : call == "set its timer slack"          ? ::prctl(PR_SET_TIMERSLACK, 1000, 0, 0, 0)
      : call == "arm a timer on its own clock" ? [] {
              sigevent event{};
              event.sigev_notify = SIGEV_NONE;
              timer_t timer{};
              itimerspec at{};
              at.it_value.tv_sec = 100;
              return ::timer_create(CLOCK_PROCESS_CPUTIME_ID, &event, &timer) == 0
                         ? ::timer_settime(timer, 0, &at, nullptr)
                         : -1;
            }()
                                                : (errno = EINVAL, -1);
  return done != -1 ? std::string("done") : "errno " + std::to_string(errno);
}

}  // namespace

// Under the address sanitizer too, the crash it makes ends it on a signal.
extern "C" const char* __asan_default_options() { return "abort_on_error=1"; }

int main(int argc, char** argv) {
  return md::imaging::detail::IsolatedMain(argc, argv, [](const md::imaging::detail::IsolatedRequest& r) {
    const std::string what = r.args.empty() ? "" : r.args[0];
    if (what == "fill") {
      if (r.inputBytes == 0) return std::string("no input");
      std::memset(r.buffer, r.input[0], r.bytes);
      return std::string();
    }
    const bool metafile = what == "wmf" || what == "emf";
    const char* asked = metafile ? std::getenv("MD_PROBE_METAFILE") : nullptr;
    const bool box = r.args.size() > 3;  // asked to paint or list a box
    for (const char* spin : {"cpu:", "cpu-box:"})
      if (asked != nullptr && std::strncmp(asked, spin, std::strlen(spin)) == 0) {
        char* rest = nullptr;
        const long ms = std::strtol(asked + std::strlen(spin), &rest, 10);
        while ((box || spin[3] == ':') && std::clock() < ms * (CLOCKS_PER_SEC / 1000)) {
        }
        asked = rest + 1;
      }
    if (asked != nullptr && std::strncmp(asked, "sleep:", 6) == 0) {
      char* rest = nullptr;
      const long ms = std::strtol(asked + 6, &rest, 10);
      const timespec wait{ms / 1000, ms % 1000 * 1000000L};
      ::nanosleep(&wait, nullptr);
      asked = rest + 1;
    }
    std::uint32_t rops = 0;
    if (asked != nullptr && std::strncmp(asked, "rops:", 5) == 0) {
      char* rest = nullptr;
      rops = static_cast<std::uint32_t>(std::strtoul(asked + 5, &rest, 10));
      asked = rest + 1;
    }
    if (asked != nullptr && std::strncmp(asked, "answer:", 7) == 0) {
      // The file's bytes as the whole answer, header included, whatever was asked.
      std::ifstream in(asked + 7, std::ios::binary);
      in.read(static_cast<char*>(r.buffer), static_cast<std::streamsize>(r.bytes));
      return std::string();
    }
    if (asked != nullptr && std::strncmp(asked, "list-dies:", 10) == 0) {
      // Asked for a list, it dies: on the signal glib's g_error raises, or
      // having taken all the memory it may, as an allocator that aborts does.
      if (r.args.size() > 3 && r.args[3] == md::imaging::detail::kListRequest) {
        if (std::strcmp(asked + 10, "memory") == 0) {
          // A sanitizer's build, whose limit its own start sets, would end
          // in its allocator's report: it takes 64 MiB, the others up to
          // 2 GiB, past their limit.
          constexpr std::size_t kMost =
              md::imaging::detail::kShadowMemory ? std::size_t{64} << 20 : std::size_t{2} << 30;
          constexpr std::size_t kStep = std::size_t{1} << 20;
          void* p = nullptr;
          for (std::size_t taken = 0; taken < kMost && (p = std::malloc(kStep)) != nullptr; taken += kStep)
            std::memset(p, 1, kStep);
          std::abort();
        }
        ::raise(SIGTRAP);
      }
      asked = "list:";  // otherwise a drawing of a pixel, painted white
    }
    if (asked != nullptr && std::strncmp(asked, "list:", 5) == 0) {
      namespace d = md::imaging::detail;
      auto* buffer = static_cast<char*>(r.buffer);
      if (r.args.size() > 3 && r.args[3] == d::kPaintRequest) {
        std::memset(buffer + d::kAnswerHeaderBytes, 0xFF,
                    r.bytes - d::kAnswerHeaderBytes);  // a box painted white
        std::memcpy(buffer + offsetof(d::AnswerHeader, nearestRops), &rops, sizeof rops);
        return std::string();
      }
      // A drawing of 1 x 1 pixel; asked for its list, the list in the file,
      // or, with no file, none.
      const bool list = r.args.size() > 3 && r.args[3] == d::kListRequest;
      std::ifstream in(asked + 5, std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      d::AnswerHeader header;
      header.width = header.height = 1;
      header.dpiMilli = 300000;
      header.vectors = static_cast<std::uint32_t>(!list           ? d::VectorsAnswer::None
                                                  : bytes.empty() ? d::VectorsAnswer::Unreadable
                                                                  : d::VectorsAnswer::List);
      header.listBytes = list ? bytes.size() : 0;
      header.nearestRops = list ? rops : 0;
      std::memcpy(buffer, &header, sizeof header);
      if (list)
        bytes.copy(buffer + d::kAnswerHeaderBytes, std::min(bytes.size(), r.bytes - d::kAnswerHeaderBytes));
      return std::string();
    }
    if (asked != nullptr && std::strcmp(asked, "crash") != 0) return std::string(asked);
    if (what == "crash" || asked != nullptr) ::raise(SIGSEGV);
    if (what == "loop" || metafile)
      for (;;) ::pause();
    if (what == "close and hang") {
      // Every descriptor past the input: the buffer and the answer pipe.
      ::close_range(3, ~0U, 0);
      ::sleep(20);  // a host that waits for the end waits this long
      ::_exit(0);
    }
    if (what == "leave") {
      // Writes to its output, then starts four processes that note their pids in args[2] and
      // sleep, holding its descriptors (but the answer pipe, for "answer alone"): in its group,
      // its own session, its own group, by a double fork; then does as args[1] says.
      int ready[2];
      bool written = ::write(1, "out\n", 4) == 4;
      if (!written || ::pipe(ready) != 0) return std::string("cannot start");
      for (int kind = 0; kind < 4; ++kind) {
        if (::fork() != 0) continue;
        if (kind == 1 || kind == 3) ::setsid();
        if (kind == 2) ::setpgid(0, 0);
        if (r.args.at(1) == "answer alone") ::close(4);
        if (kind == 3 && ::fork() != 0) ::_exit(0);
        std::ofstream(r.args.at(2), std::ios::app) << ::getpid() << std::endl;
        written = ::write(ready[1], "", 1) == 1;
        for (;;) ::pause();
      }
      char byte;
      for (int kind = 0; kind < 4; ++kind)
        if (::read(ready[0], &byte, 1) != 1) return std::string("a process did not start");
      if (r.args.at(1) == "end") ::_exit(0);
      while (r.args.at(1) == "wait") ::pause();
      return std::string();
    }
    if (what == "spin") {
      // On args[1] threads, itself among them, for ever.
      static std::atomic<unsigned long> spun{0};
      for (int k = 1; k < std::stoi(r.args.at(1)); ++k)
        std::thread([] {
          for (;;) ++spun;
        }).detach();
      for (;;) ++spun;
    }
    if (what == "threads") {
      // args[1] threads that wait, on small stacks, as many as it may start.
      pthread_attr_t small;
      ::pthread_attr_init(&small);
      ::pthread_attr_setstacksize(&small, 64 * 1024);
      // With args[2] "refusals", the refusals' errors are said too.
      int started = 0;
      std::set<int> refusals;
      for (int k = 0; k < std::stoi(r.args.at(1)); ++k) {
        pthread_t thread;
        const auto wait = [](void*) -> void* {
          for (;;) ::pause();
        };
        const int error = ::pthread_create(&thread, &small, wait, nullptr);
        started += error == 0 ? 1 : 0;
        if (error != 0) refusals.insert(error);
      }
      std::string said = "started " + std::to_string(started);
      if (r.args.size() > 2 && r.args[2] == "refusals")
        for (int error : refusals) said += ", errno " + std::to_string(error);
      return said;
    }
    if (what == "fork") {
      // args[1] children that wait, as many as it may start.
      int forked = 0;
      for (int k = 0; k < std::stoi(r.args.at(1)); ++k) forked += Child() > 0 ? 1 : 0;
      return "forked " + std::to_string(forked);
    }
    if (what == "hoard") {
      // Pages of its own, written, until no more are given.
      constexpr std::size_t kStep = std::size_t{1} << 20;
      std::size_t held = 0;
      for (void* p; (p = ::mmap(nullptr, kStep, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                                0)) != MAP_FAILED;
           held += kStep)
        std::memset(p, 1, kStep);
      return "held " + std::to_string(held >> 20) + " MiB";
    }
    if (what == "grow its buffer") {
      // Longer, then written past its end.
      const std::string grown =
          ::ftruncate(3, static_cast<off_t>(r.bytes * 2)) == 0 ? "done" : "errno " + std::to_string(errno);
      const std::string past =
          ::pwrite(3, "x", 1, static_cast<off_t>(r.bytes)) == 1 ? "done" : "errno " + std::to_string(errno);
      return grown + ", " + past;
    }
    if (what == "shrink its buffer") {
      (void)::ftruncate(3, 0);
      return std::string();
    }
    if (what == "answer for ever") {
      const std::string some(4096, 'x');
      for (;;)
        if (::write(4, some.data(), some.size()) < 0) ::_exit(1);
    }
    if (what == "forge a record") return std::string("refused\n\x1b[31mforged\a");
    if (what == "environment") {
      std::string names;
      for (char** v = environ; *v != nullptr; ++v) {
        const std::string variable = *v;
        names += (names.empty() ? "" : " ") + variable.substr(0, variable.find('='));
      }
      return names;
    }
    if (what == "try") return Try(r.args);
    if (what == "capabilities") {
      // The capability sets of its process, as /proc/self/status gives them.
      std::ifstream status("/proc/self/status");
      std::string line, sets;
      while (std::getline(status, line))
        if (line.rfind("Cap", 0) == 0) sets += line + "\n";
      return sets;
    }
    if (what == "throw") throw std::runtime_error("no luck");
    if (what == "alloc") {
      std::vector<char> v(std::size_t{1} << 30, 1);
      return std::string(v.back() == 1 ? "kept" : "");
    }
    return what;
  });
}
