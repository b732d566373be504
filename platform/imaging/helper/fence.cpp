// The fences of the warden's program (fence.h): Landlock or namespaces, no
// capability, the system call allow-list, in that order, each taking what
// the next needs no more of (the namespaces' mounts, the capabilities
// Landlock's rules are opened with, the calls that install them).
#include "platform/imaging/helper/fence.h"

#include <elf.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/landlock.h>
#include <linux/mount.h>
#include <linux/securebits.h>
#include <linux/sockios.h>
#include <poll.h>
#include <sched.h>
#include <seccomp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/personality.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// What the installed <linux/landlock.h> may lack (rights and scopes of later
// ABIs, with the kernel's values).
#ifndef LANDLOCK_ACCESS_FS_TRUNCATE
#define LANDLOCK_ACCESS_FS_TRUNCATE (1ULL << 14)
#endif
#ifndef LANDLOCK_ACCESS_FS_IOCTL_DEV
#define LANDLOCK_ACCESS_FS_IOCTL_DEV (1ULL << 15)
#endif
#ifndef LANDLOCK_ACCESS_NET_BIND_TCP
#define LANDLOCK_ACCESS_NET_BIND_TCP (1ULL << 0)
#define LANDLOCK_ACCESS_NET_CONNECT_TCP (1ULL << 1)
#endif
#ifndef LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET
#define LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET (1ULL << 0)
#define LANDLOCK_SCOPE_SIGNAL (1ULL << 1)
#endif

namespace md::imaging::detail {
namespace {

// The error of the first fence refused for a passing cause (no memory, no
// descriptor, a process limit), 0 for none: such an answer holds for this
// moment only. The process fences itself on one thread.
int g_passing = 0;

// Notes `error` when it is a passing one.
void NotePassing(int error) {
  if (g_passing == 0 && (error == EAGAIN || error == ENOMEM || error == EMFILE || error == ENFILE))
    g_passing = error;
}

// ---- Landlock ----

// The ruleset's attribute as ABI 6 has it; an older kernel takes the longer
// structure as long as what it does not know is zero.
struct RulesetAttr {
  std::uint64_t fs = 0, net = 0, scoped = 0;
};
struct __attribute__((packed)) PathBeneath {
  std::uint64_t allowed;
  std::int32_t parent;
};

constexpr std::uint64_t kRead = LANDLOCK_ACCESS_FS_EXECUTE | LANDLOCK_ACCESS_FS_READ_FILE;

void AllowReading(int ruleset, std::uint64_t handled, const std::string& path) {
  if (path.empty() || path[0] != '/') return;
  const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
  struct stat st {};
  if (fd < 0) return;
  if (::fstat(fd, &st) == 0) {
    const PathBeneath rule{(kRead | (S_ISDIR(st.st_mode) ? LANDLOCK_ACCESS_FS_READ_DIR : 0)) & handled, fd};
    ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
  }
  ::close(fd);
}

// The folders a list of them separated by ':' names, $ORIGIN as `origin`.
void AllowEach(int ruleset, std::uint64_t handled, const std::string& list, const std::string& origin) {
  std::size_t from = 0;
  while (from <= list.size()) {
    std::size_t to = list.find(':', from);
    if (to == std::string::npos) to = list.size();
    std::string folder = list.substr(from, to - from);
    for (const char* name : {"$ORIGIN", "${ORIGIN}"})
      if (folder.rfind(name, 0) == 0) folder = origin + folder.substr(std::strlen(name));
    AllowReading(ruleset, handled, folder);
    from = to + 1;
  }
}

// The program's RUNPATH (or RPATH): where the loader looks for its libraries
// first. Empty for what is no 64-bit ELF program of this byte order.
std::string RunPath(const char* program) {
  const int fd = ::open(program, O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0) return {};
  const bool sized = ::fstat(fd, &st) == 0 && st.st_size >= static_cast<off_t>(sizeof(Elf64_Ehdr));
  const std::size_t size = sized ? static_cast<std::size_t>(st.st_size) : 0;
  void* map = sized ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
  ::close(fd);
  if (map == MAP_FAILED) return {};
  const auto* bytes = static_cast<const unsigned char*>(map);
  const auto within = [&](std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
  };
  std::string found;
  Elf64_Ehdr eh;
  std::memcpy(&eh, bytes, sizeof eh);
  const bool elf = std::memcmp(eh.e_ident, ELFMAG, SELFMAG) == 0 && eh.e_ident[EI_CLASS] == ELFCLASS64 &&
                   eh.e_phentsize == sizeof(Elf64_Phdr) &&
                   within(eh.e_phoff, std::uint64_t{eh.e_phnum} * sizeof(Elf64_Phdr));
  std::vector<Elf64_Phdr> ph(elf ? eh.e_phnum : 0);
  if (!ph.empty()) std::memcpy(ph.data(), bytes + eh.e_phoff, ph.size() * sizeof(Elf64_Phdr));
  // The file offset of a virtual address, through the loaded segments.
  const auto offsetOf = [&](std::uint64_t address) -> std::uint64_t {
    for (const Elf64_Phdr& p : ph)
      if (p.p_type == PT_LOAD && address >= p.p_vaddr && address - p.p_vaddr < p.p_filesz)
        return p.p_offset + (address - p.p_vaddr);
    return ~std::uint64_t{0};
  };
  for (const Elf64_Phdr& p : ph) {
    if (p.p_type != PT_DYNAMIC || !within(p.p_offset, p.p_filesz)) continue;
    std::uint64_t strtab = 0, path = ~std::uint64_t{0};
    for (std::uint64_t at = p.p_offset; at + sizeof(Elf64_Dyn) <= p.p_offset + p.p_filesz;
         at += sizeof(Elf64_Dyn)) {
      Elf64_Dyn d;
      std::memcpy(&d, bytes + at, sizeof d);
      if (d.d_tag == DT_STRTAB) strtab = offsetOf(d.d_un.d_ptr);
      if (d.d_tag == DT_RUNPATH || (d.d_tag == DT_RPATH && path == ~std::uint64_t{0})) path = d.d_un.d_val;
    }
    if (path != ~std::uint64_t{0} && within(strtab, 0) && within(strtab + path, 0)) {
      const char* s = reinterpret_cast<const char*>(bytes + strtab + path);
      found.assign(s, strnlen(s, size - (strtab + path)));
    }
  }
  ::munmap(map, size);
  return found;
}

// The Landlock ruleset of the program: what it reads, that it writes
// nothing, and the ABI's scopes; -1 where the kernel has none. *fences says
// which of its parts are in it.
int LandlockRuleset(const char* program, int* fences) {
  const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  if (abi < 1) return -1;
  RulesetAttr attr;
  attr.fs = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;  // ABI 1: every right up to this one
  if (abi >= 2) attr.fs |= LANDLOCK_ACCESS_FS_REFER;
  if (abi >= 3) attr.fs |= LANDLOCK_ACCESS_FS_TRUNCATE;
  if (abi >= 5) attr.fs |= LANDLOCK_ACCESS_FS_IOCTL_DEV;
  if (abi >= 4) attr.net = LANDLOCK_ACCESS_NET_BIND_TCP | LANDLOCK_ACCESS_NET_CONNECT_TCP;
  if (abi >= 6) attr.scoped = LANDLOCK_SCOPE_ABSTRACT_UNIX_SOCKET | LANDLOCK_SCOPE_SIGNAL;
  const int ruleset = static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0));
  if (ruleset < 0) {
    NotePassing(errno);
    return -1;
  }
  *fences |= kFenceLandlock | (abi >= 4 ? kFenceLandlockNet : 0) | (abi >= 6 ? kFenceLandlockScope : 0);

  const std::string self = program;
  const std::string origin = self.find('/') == std::string::npos ? "." : self.substr(0, self.rfind('/'));
  AllowReading(ruleset, attr.fs, self);
  AllowReading(ruleset, attr.fs, origin.empty() ? "/" : origin);
  AllowEach(ruleset, attr.fs, RunPath(program), origin);
  if (const char* paths = std::getenv("LD_LIBRARY_PATH")) AllowEach(ruleset, attr.fs, paths, origin);
  for (const char* path : {// the loader, the libraries and what they load (charset converters, loaders)
                           "/lib", "/lib64", "/usr/lib", "/usr/lib64", "/usr/local/lib", "/etc/ld.so.cache",
                           // the fonts, their configuration and caches, the metafile fonts' maps
                           "/etc/fonts", "/usr/share/fonts", "/usr/local/share/fonts",
                           "/usr/share/fontconfig", "/var/cache/fontconfig", "/usr/share/libwmf",
                           "/var/lib/ghostscript/fonts", "/usr/share/ghostscript", "/etc/ghostscript",
                           // its own process's entries, and what the sanitizers' runtimes read
                           "/proc/self", "/dev/null", "/dev/urandom"})
    AllowReading(ruleset, attr.fs, path);
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (!home.empty())
    for (const char* beneath : {"/.fonts", "/.local/share/fonts", "/.cache/fontconfig", "/.fontconfig"})
      AllowReading(ruleset, attr.fs, home + beneath);
  if (data != nullptr) AllowReading(ruleset, attr.fs, std::string(data) + "/fonts");
  if (cache != nullptr) AllowReading(ruleset, attr.fs, std::string(cache) + "/fontconfig");
  // The suppressions a sanitizer's options name: its runtime reads them at
  // the start, and ends the program where it cannot.
  for (const char* sanitizer : {"ASAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS", "UBSAN_OPTIONS"}) {
    const std::string options = std::getenv(sanitizer) != nullptr ? std::getenv(sanitizer) : "";
    for (std::size_t at = options.find("suppressions="); at != std::string::npos;
         at = options.find("suppressions=", at + 1)) {
      const std::size_t from = at + std::strlen("suppressions="), to = options.find_first_of(": ,", from);
      AllowReading(ruleset, attr.fs, options.substr(from, to == std::string::npos ? to : to - from));
    }
  }
  if (const char* config = std::getenv("FONTCONFIG_FILE")) AllowReading(ruleset, attr.fs, config);
  if (const char* config = std::getenv("FONTCONFIG_PATH")) AllowEach(ruleset, attr.fs, config, origin);
  return ruleset;
}

// ---- namespaces ----

bool WriteFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return written;
}

int WaitFor(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// Ends this process as the wait status says another ended.
[[noreturn]] void EndAs(int status) {
  if (WIFSIGNALED(status)) {
    ::signal(WTERMSIG(status), SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, WTERMSIG(status));
    ::sigprocmask(SIG_UNBLOCK, &one, nullptr);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);  // the program's crash dumped its core already
    ::raise(WTERMSIG(status));
    ::_exit(128 + WTERMSIG(status));
  }
  ::_exit(WEXITSTATUS(status));
}

// A /proc of the pid namespace the calling process leads: it shows that
// namespace's processes alone. Where the kernel refuses that mount (a /proc
// partly covered, as in many containers), an empty read-only folder hides the
// host's. False where neither could be mounted.
bool OwnProc() {
  constexpr unsigned long kFlags = MS_RDONLY | MS_NOSUID | MS_NODEV | MS_NOEXEC;
  return ::mount("proc", "/proc", "proc", kFlags, nullptr) == 0 ||
         ::mount("none", "/proc", "tmpfs", kFlags, "size=4k,mode=0555") == 0;
}

// As the namespace's first process: waits for the program's process
// `program`, killing it once its processor time passes `processorMs` (0:
// never); its wait status.
int WatchProgram(pid_t program, long long processorMs, const sigset_t& watched) {
  if (processorMs > 0 && !WatchProcessorTime(program, processorMs)) ::kill(program, SIGKILL);
  for (;;) {
    const int signal = ::sigwaitinfo(&watched, nullptr);
    if (signal == SIGALRM) ::kill(program, SIGKILL);
    int status = 0;
    pid_t ended;
    // What the program left behind comes here too (where the filter lets it start processes).
    while ((ended = ::waitpid(-1, &status, WNOHANG)) > 0)
      if (ended == program) return status;
  }
}

// Moves the program's process into new user, pid, mount, network and IPC
// namespaces, every mount read-only and /proc the new pid namespace's own;
// false where the kernel does not let it make them (nothing made) or make
// the mounts read-only (before 5.12, its user and group left unmapped) or
// hide the host's /proc. The pid namespace holds the children only: the
// calling process stays and waits for the namespace's first process, which
// waits for the program's process and kills it once its processor time
// passes `processorMs`, and both end as it ended; killed (the warden kills
// its children), the first takes the namespace with it.
bool Namespaces(int notTheirs, long long processorMs) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET | CLONE_NEWPID | CLONE_NEWIPC) != 0) {
    NotePassing(errno);
    return false;
  }
  mount_attr readOnly{};
  readOnly.attr_set = MOUNT_ATTR_RDONLY | MOUNT_ATTR_NOSUID | MOUNT_ATTR_NODEV;
  const bool mapped =
      WriteFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") &&
      WriteFile("/proc/self/setgroups", "deny") &&
      WriteFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1");
  bool fenced =
      mapped && ::syscall(SYS_mount_setattr, -1, "/", AT_RECURSIVE, &readOnly, sizeof readOnly) == 0;
  int back[2];
  if (::pipe2(back, O_CLOEXEC) != 0) ::_exit(127);
  const pid_t first = ::fork();
  if (first < 0) ::_exit(127);
  if (first > 0) {
    ::close(notTheirs);
    ::close(back[1]);
    int status = 0;
    const bool told = ::read(back[0], &status, sizeof status) == sizeof status;
    const int own = WaitFor(first);
    EndAs(told ? status : own);
  }
  ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
  ::close(back[0]);
  fenced = fenced && OwnProc();
  // The program's end and the timer's signal are taken with sigwaitinfo;
  // the program starts with none of them blocked.
  sigset_t watched, before;
  sigemptyset(&watched);
  sigaddset(&watched, SIGCHLD);
  sigaddset(&watched, SIGALRM);
  ::sigprocmask(SIG_BLOCK, &watched, &before);
  const pid_t program = ::fork();
  if (program < 0) ::_exit(127);
  if (program > 0) {
    ::close(notTheirs);
    const int status = WatchProgram(program, processorMs, watched);
    (void)!::write(back[1], &status, sizeof status);
    ::_exit(0);
  }
  ::sigprocmask(SIG_SETMASK, &before, nullptr);
  ::close(back[1]);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
  return fenced;
}

// ---- capabilities ----

// Drops every capability, for good: none kept, none an exec of root's
// gives. True when none is left.
bool DropCapabilities() {
  // Where this process may (root, or in its own user namespace): root is
  // given nothing by an exec, and the bounding and ambient sets are emptied.
  ::prctl(PR_SET_SECUREBITS,
          SECBIT_NOROOT | SECBIT_NOROOT_LOCKED | SECBIT_NO_SETUID_FIXUP | SECBIT_NO_SETUID_FIXUP_LOCKED |
              SECBIT_KEEP_CAPS_LOCKED | SECBIT_NO_CAP_AMBIENT_RAISE | SECBIT_NO_CAP_AMBIENT_RAISE_LOCKED,
          0, 0, 0);
  bool bounded = true;
  for (int cap = 0; ::prctl(PR_CAPBSET_READ, cap, 0, 0, 0) >= 0; ++cap)
    if (::prctl(PR_CAPBSET_READ, cap, 0, 0, 0) == 1 && ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0) != 0)
      bounded = false;
  ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct none[2]{};
  if (::syscall(SYS_capset, &header, none) != 0) return false;
  // A process whose bounding set is not empty keeps none where an exec
  // gives it none: it is not root, or root is given nothing.
  const bool rootGetsNone = (::prctl(PR_GET_SECUREBITS, 0, 0, 0, 0) & SECBIT_NOROOT) != 0;
  return bounded || rootGetsNone || (::getuid() != 0 && ::geteuid() != 0);
}

// ---- the system call allow-list ----

// The calls allowed whatever their arguments: what the dynamic loader, the
// C and C++ libraries, cairo, fontconfig, FreeType, libwmf, libemf2svg,
// librsvg and GLib call while the helper draws, and the sanitizers'
// runtimes (the maps they read, their alternate signal stack, their
// shadow memory's advice); timers, on its own clocks and signalling itself.
constexpr int kAllowed[] = {
    // files and descriptors: what Landlock and the namespaces leave to read
    SCMP_SYS(read),
    SCMP_SYS(pread64),
    SCMP_SYS(readv),
    SCMP_SYS(write),
    SCMP_SYS(pwrite64),
    SCMP_SYS(writev),
    SCMP_SYS(open),
    SCMP_SYS(openat),
    SCMP_SYS(close),
    SCMP_SYS(close_range),
    SCMP_SYS(lseek),
    SCMP_SYS(fstat),
    SCMP_SYS(stat),
    SCMP_SYS(lstat),
    SCMP_SYS(newfstatat),
    SCMP_SYS(statx),
    SCMP_SYS(statfs),
    SCMP_SYS(fstatfs),
    SCMP_SYS(access),
    SCMP_SYS(faccessat),
    SCMP_SYS(faccessat2),
    SCMP_SYS(readlink),
    SCMP_SYS(readlinkat),
    SCMP_SYS(getdents64),
    SCMP_SYS(getcwd),
    SCMP_SYS(fadvise64),
    SCMP_SYS(dup),
    SCMP_SYS(dup2),
    SCMP_SYS(dup3),
    SCMP_SYS(pipe),
    SCMP_SYS(pipe2),
    SCMP_SYS(poll),
    SCMP_SYS(ppoll),
    SCMP_SYS(ftruncate),
    SCMP_SYS(fsync),
    SCMP_SYS(fdatasync),
    // memory
    SCMP_SYS(brk),
    SCMP_SYS(mmap),
    SCMP_SYS(munmap),
    SCMP_SYS(mremap),
    SCMP_SYS(mprotect),
    SCMP_SYS(madvise),
    SCMP_SYS(mincore),
    SCMP_SYS(membarrier),
    // threads, processes, signals of its own
    SCMP_SYS(futex),
    SCMP_SYS(set_robust_list),
    SCMP_SYS(get_robust_list),
    SCMP_SYS(set_tid_address),
    SCMP_SYS(rseq),
    SCMP_SYS(sched_yield),
    SCMP_SYS(exit),
    SCMP_SYS(exit_group),
    SCMP_SYS(wait4),
    SCMP_SYS(waitid),
    SCMP_SYS(rt_sigaction),
    SCMP_SYS(rt_sigprocmask),
    SCMP_SYS(rt_sigreturn),
    SCMP_SYS(rt_sigpending),
    SCMP_SYS(rt_sigtimedwait),
    SCMP_SYS(rt_sigsuspend),
    SCMP_SYS(sigaltstack),
    SCMP_SYS(pause),
    SCMP_SYS(restart_syscall),
    SCMP_SYS(nanosleep),
    SCMP_SYS(clock_nanosleep),
    SCMP_SYS(clock_gettime),
    SCMP_SYS(clock_getres),
    SCMP_SYS(gettimeofday),
    SCMP_SYS(time),
    SCMP_SYS(getitimer),
    SCMP_SYS(setitimer),
    SCMP_SYS(alarm),
    SCMP_SYS(timer_create),
    SCMP_SYS(timer_settime),
    SCMP_SYS(timer_gettime),
    SCMP_SYS(timer_getoverrun),
    SCMP_SYS(timer_delete),
    // what the process reads of itself and the system
    SCMP_SYS(getpid),
    SCMP_SYS(getppid),
    SCMP_SYS(gettid),
    SCMP_SYS(getpgrp),
    SCMP_SYS(getuid),
    SCMP_SYS(geteuid),
    SCMP_SYS(getgid),
    SCMP_SYS(getegid),
    SCMP_SYS(getresuid),
    SCMP_SYS(getresgid),
    SCMP_SYS(getgroups),
    SCMP_SYS(getrusage),
    SCMP_SYS(times),
    SCMP_SYS(sysinfo),
    SCMP_SYS(uname),
    SCMP_SYS(getrandom),
    SCMP_SYS(umask),
#ifdef __x86_64__
    SCMP_SYS(arch_prctl),
#endif
};

// The fcntl and ioctl commands allowed: descriptors' flags, duplicates,
// locks, seals; a terminal's attributes read, what is waiting to be read,
// blocking. Not: naming a descriptor's owner (who would be sent its
// signals), faking a terminal's input.
// No lock is taken (flock is refused too): a lock held on a file it reads
// (a font, a cache, the library's folder) would stall a host's writer of it
// for the whole run. Asking whether one is held is answered.
constexpr unsigned kFcntls[] = {F_DUPFD, F_DUPFD_CLOEXEC, F_GETFD,  F_SETFD,     F_GETFL,     F_SETFL,
                                F_GETLK, F_OFD_GETLK,     F_GETOWN, F_ADD_SEALS, F_GET_SEALS, F_GETPIPE_SZ};
constexpr unsigned long kIoctls[] = {TCGETS, TIOCGWINSZ, FIONREAD, FIONBIO, FIOCLEX, FIONCLEX};

bool SendDescriptor(int channel, int fd);

// The allow-list of the process `self`, whose one exec may name `execFd`
// alone, installed (no_new_privs was set before), its listener for thread
// starts sent over `threadSupervisor` (-1: no thread starts). False where it
// could not be.
bool Filter(pid_t self, int execFd, int threadSupervisor) {
  scmp_filter_ctx filter = ::seccomp_init(SCMP_ACT_ERRNO(EPERM));
  if (filter == nullptr) {
    NotePassing(ENOMEM);
    return false;
  }
  // The native architecture alone (x32's calls, on x86-64, are another
  // one's): every call of another refused like any call not allowed, so
  // that a program trying one learns of the refusal as of any other.
  bool ok = ::seccomp_attr_set(filter, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_ERRNO(EPERM)) == 0 &&
            ::seccomp_attr_set(filter, SCMP_FLTATR_CTL_NNP, 0) == 0;
  const auto rule = [&](std::uint32_t action, int call, std::initializer_list<scmp_arg_cmp> args) {
    ok = ok && ::seccomp_rule_add_array(filter, action, call, static_cast<unsigned>(args.size()),
                                        args.size() == 0 ? nullptr : args.begin()) == 0;
  };
  for (int call : kAllowed) rule(SCMP_ACT_ALLOW, call, {});
  const auto self32 = static_cast<scmp_datum_t>(self);
  // Signals to itself alone, limits and scheduling of itself alone (0 or
  // its own id).
  for (int call : {SCMP_SYS(kill), SCMP_SYS(tgkill), SCMP_SYS(tkill), SCMP_SYS(rt_sigqueueinfo),
                   SCMP_SYS(rt_tgsigqueueinfo)})
    rule(SCMP_ACT_ALLOW, call, {SCMP_A0_32(SCMP_CMP_EQ, self32)});
  for (int call : {SCMP_SYS(prlimit64), SCMP_SYS(sched_getparam), SCMP_SYS(sched_getscheduler),
                   SCMP_SYS(getpgid), SCMP_SYS(getsid), SCMP_SYS(sched_getaffinity)})
    for (scmp_datum_t who : {scmp_datum_t{0}, self32})
      rule(SCMP_ACT_ALLOW, call, {SCMP_A0_32(SCMP_CMP_EQ, who)});
  // Another id's processors (its own threads' among them, which
  // pthread_getattr_np asks for) are answered as unknown, which the C
  // library takes as no affinity.
  rule(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(sched_getaffinity), {SCMP_A0_32(SCMP_CMP_GT, self32)});
  rule(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(sched_getaffinity), {SCMP_A0_32(SCMP_CMP_LT, self32)});
  // Its personality read, or set to Linux's plain one.
  for (scmp_datum_t persona : {scmp_datum_t{0xffffffff}, scmp_datum_t{PER_LINUX}})
    rule(SCMP_ACT_ALLOW, SCMP_SYS(personality), {SCMP_A0_32(SCMP_CMP_EQ, persona)});
  // getrlimit and setrlimit (of itself, by their nature), where the
  // architecture has them apart from prlimit64.
  for (int call : {SCMP_SYS(getrlimit), SCMP_SYS(setrlimit)})
    if (call >= 0) rule(SCMP_ACT_ALLOW, call, {});
  for (unsigned command : kFcntls) rule(SCMP_ACT_ALLOW, SCMP_SYS(fcntl), {SCMP_A1_32(SCMP_CMP_EQ, command)});
  for (unsigned long request : kIoctls)
    rule(SCMP_ACT_ALLOW, SCMP_SYS(ioctl), {SCMP_A1_32(SCMP_CMP_EQ, static_cast<scmp_datum_t>(request))});
  // Threads alone, in no new namespace: no process of its own, so that its
  // memory limit bounds all it holds. clone3's flags lie in memory the
  // filter cannot read: it is answered as missing, and the C library falls
  // back to clone.
  constexpr scmp_datum_t kNamespaces = CLONE_NEWNS | CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNET |
                                       CLONE_NEWIPC | CLONE_NEWUTS | CLONE_NEWCGROUP;
  // Each thread's start waits for the supervisor, which counts them; with
  // none, no thread starts. A thread's pidfd would be a handle on a task the
  // warden does not count: such a start is refused.
  const bool counted = threadSupervisor >= 0;
  rule(counted ? SCMP_ACT_NOTIFY : SCMP_ACT_ERRNO(EAGAIN), SCMP_SYS(clone),
       {SCMP_A0_64(SCMP_CMP_MASKED_EQ, kNamespaces | CLONE_THREAD | CLONE_PIDFD, CLONE_THREAD)});
  rule(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), {});
  // The listener goes to the supervisor over its socket, whose number no
  // later socket can take (the filter makes none).
  if (counted)
    rule(SCMP_ACT_ALLOW, SCMP_SYS(sendmsg),
         {SCMP_A0_32(SCMP_CMP_EQ, static_cast<scmp_datum_t>(threadSupervisor))});
  // Its one exec, through the descriptor no later descriptor of its own can
  // take (its limit on open files stops short of it, and the exec closes it).
  if (execFd >= 0)
    rule(SCMP_ACT_ALLOW, SCMP_SYS(execveat),
         {SCMP_A0_32(SCMP_CMP_EQ, static_cast<scmp_datum_t>(execFd)),
          SCMP_A4_32(SCMP_CMP_EQ, static_cast<scmp_datum_t>(AT_EMPTY_PATH))});
  // prctl: the process's name, its dumpability, a mapping's name, the
  // signal its parent's end sends it, and its own settings read; not the
  // seccomp, securebits or capabilities' change, nor any other option.
  for (int option : {PR_SET_NAME, PR_GET_NAME, PR_GET_DUMPABLE, PR_SET_DUMPABLE, PR_GET_SECCOMP,
                     PR_GET_NO_NEW_PRIVS, PR_CAPBSET_READ, PR_SET_VMA, PR_GET_PDEATHSIG, PR_SET_PDEATHSIG})
    rule(SCMP_ACT_ALLOW, SCMP_SYS(prctl), {SCMP_A0_32(SCMP_CMP_EQ, static_cast<scmp_datum_t>(option))});
  const int loaded = ok ? ::seccomp_load(filter) : 0;
  if (loaded < 0) NotePassing(-loaded);
  ok = ok && loaded == 0;
  // Without its listener in the supervisor's hands, every start fails.
  const int listener = ok && counted ? ::seccomp_notify_fd(filter) : -1;
  ok = ok && (!counted || (listener >= 0 && SendDescriptor(threadSupervisor, listener)));
  if (listener >= 0) ::close(listener);
  if (counted) ::close(threadSupervisor);
  ::seccomp_release(filter);
  return ok;
}

// ---- the thread starts' count ----

// A message of one byte with room for one descriptor.
struct OneDescriptor {
  char byte = 0;
  iovec part{&byte, 1};
  alignas(cmsghdr) char room[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  OneDescriptor() {
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = room;
    message.msg_controllen = sizeof room;
  }
  OneDescriptor(const OneDescriptor&) = delete;
  OneDescriptor& operator=(const OneDescriptor&) = delete;
};

bool SendDescriptor(int channel, int fd) {
  OneDescriptor m;
  cmsghdr* c = CMSG_FIRSTHDR(&m.message);
  c->cmsg_level = SOL_SOCKET;
  c->cmsg_type = SCM_RIGHTS;
  c->cmsg_len = CMSG_LEN(sizeof(int));
  std::memcpy(CMSG_DATA(c), &fd, sizeof fd);
  ssize_t sent;
  while ((sent = ::sendmsg(channel, &m.message, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
  }
  return sent == 1;
}

// The descriptor sent over `channel`, or -1 when none came.
int ReceiveDescriptor(int channel) {
  OneDescriptor m;
  ssize_t got;
  while ((got = ::recvmsg(channel, &m.message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
  }
  const cmsghdr* c = got == 1 ? CMSG_FIRSTHDR(&m.message) : nullptr;
  if (c == nullptr || c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS ||
      c->cmsg_len != CMSG_LEN(sizeof(int)))
    return -1;
  int fd = -1;
  std::memcpy(&fd, CMSG_DATA(c), sizeof fd);
  return fd;
}

}  // namespace

int FenceProgram(const FenceRequest& request) {
  const int without = request.without;
  int fences = 0;
  if (request.pretended != 0) NotePassing(request.pretended);
  const int ruleset = (without & kFenceLandlock) != 0 || request.pretended != 0
                          ? -1
                          : LandlockRuleset(request.program, &fences);
  if (ruleset < 0 && (without & kFenceNamespaces) == 0 && Namespaces(request.notTheirs, request.processorMs))
    fences |= kFenceNamespaces;
  const bool noNewPrivileges = ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0;
  if (DropCapabilities()) fences |= kFenceNoCapability;
  if (ruleset >= 0 && (!noNewPrivileges || ::syscall(SYS_landlock_restrict_self, ruleset, 0) != 0))
    fences &= ~(kFenceLandlock | kFenceLandlockNet | kFenceLandlockScope);
  if (ruleset >= 0) ::close(ruleset);
  if (noNewPrivileges && (without & kFenceFilter) == 0 &&
      Filter(::getpid(), request.execFd, request.threadSupervisor))
    fences |= kFenceFilter;
  if (request.passing != nullptr) *request.passing = g_passing;
  return fences;
}

namespace {

// The threads the process of thread `tid` runs now (its status's Threads
// field, the asking thread among them), or -1 where /proc does not say.
int LiveThreads(pid_t tid) {
  char path[48];
  std::snprintf(path, sizeof path, "/proc/%ld/status", static_cast<long>(tid));
  std::FILE* status = std::fopen(path, "re");
  if (status == nullptr) return -1;
  int threads = -1;
  char line[256];
  while (threads < 0 && std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "Threads: %d", &threads) != 1) threads = -1;
  std::fclose(status);
  return threads;
}

}  // namespace

void CountThreadStarts(int channel, long long processorMs) {
  const int listener = ReceiveDescriptor(channel);
  ::close(channel);
  if (listener < 0) return;
  // Starts let through so far: the bound where /proc cannot say how many
  // threads run; and starts refused.
  int started = 0, refused = 0;
  // Its own processor time is the warden's, which no limit of the run
  // counts: past a quarter of the run's, it answers no more.
  const long long mostNs = std::max(processorMs, 1LL) * 250000LL;
  for (;;) {
    // Until no process of the program is left.
    pollfd ready{listener, POLLIN, 0};
    if (::poll(&ready, 1, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if ((ready.revents & POLLIN) == 0) break;
    seccomp_notif asked;
    std::memset(&asked, 0, sizeof asked);
    if (::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &asked) != 0) {
      if (errno == EINTR || errno == ENOENT) continue;  // interrupted; the asking thread ended
      break;
    }
    seccomp_notif_resp answer;
    std::memset(&answer, 0, sizeof answer);
    answer.id = asked.id;
    // Libraries start short-lived threads all through a drawing (pango one
    // to sort each new font's fallbacks): the threads running at once are
    // counted, the asking one among them. The request is checked still to
    // be the asking thread's after its status was read, so that the count
    // read is its process's and not a later one's under a reused id.
    const int running = LiveThreads(static_cast<pid_t>(asked.pid));
    std::uint64_t id = asked.id;
    const bool current = ::ioctl(listener, SECCOMP_IOCTL_NOTIF_ID_VALID, &id) == 0;
    if (current && (running > 0 ? running < kMostThreads : started < kMostThreads)) {
      ++started;
      answer.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
    } else {
      ++refused;
      answer.error = -EAGAIN;
    }
    ::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &answer);  // ENOENT: the asking thread ended meanwhile
    // A helper refused as often as it may run threads, or one whose starts
    // have cost the supervisor its share, asks no more of it: the listener
    // let go, the kernel refuses every later start itself (ENOSYS), at the
    // cost of the helper that asks.
    timespec spent{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
    if (refused >= kMostThreads || spent.tv_sec * 1000000000LL + spent.tv_nsec > mostNs) break;
  }
  ::close(listener);
}

bool WatchProcessorTime(pid_t pid, long long ms) {
  clockid_t clock{};
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGALRM;
  timer_t timer{};
  itimerspec at{};
  at.it_value.tv_sec = static_cast<time_t>(ms / 1000);
  at.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  // Kept until the process ends: each process arms one.
  return ::clock_getcpuclockid(pid, &clock) == 0 && ::timer_create(clock, &event, &timer) == 0 &&
         ::timer_settime(timer, 0, &at, nullptr) == 0;
}

}  // namespace md::imaging::detail
