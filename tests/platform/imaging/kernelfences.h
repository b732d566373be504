// What this kernel offers the rows of the sandbox's and the limits' tables
// that lean on it, learned outside any fence: so that a row skips only where
// the fence it tests cannot exist here, and fails where it exists and does
// not hold.
#pragma once

#include <linux/capability.h>
#include <linux/io_uring.h>
#include <linux/landlock.h>
#include <sched.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>

#include "platform/imaging/protocol/fences.h"

namespace md::test::kernel {

// Landlock's ABI version, 0 where the kernel has none (or it is off).
inline int LandlockAbi() {
  const long abi = ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
  return abi > 0 ? static_cast<int>(abi) : 0;
}

// Whether a child of this process may make the namespaces that stand in for
// Landlock (user, mount, network, pid, IPC).
inline bool GivesNamespaces() {
  const pid_t child = ::fork();
  if (child == 0)
    ::_exit(::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET | CLONE_NEWPID | CLONE_NEWIPC) == 0 ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Whether the kernel has the 32-bit system call entry: a child calls getpid
// through it; where there is none, the instruction faults.
inline bool HasI386Entry() {
#ifdef __x86_64__
  const pid_t child = ::fork();
  if (child == 0) {
    struct sigaction fault {};
    fault.sa_handler = [](int) { ::_exit(3); };
    ::sigemptyset(&fault.sa_mask);
    ::sigaction(SIGSEGV, &fault, nullptr);
    long r = 20;  // getpid's number in the 32-bit ABI
    asm volatile("int $0x80" : "+a"(r) : : "memory");
    ::_exit(r == ::getpid() ? 0 : 4);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#else
  return false;
#endif
}

// A setting of the kernel's under /proc/sys, or -1 where it has none.
inline long Setting(const std::string& name) {
  std::ifstream in("/proc/sys/" + name);
  long value = -1;
  return in >> value ? value : -1;
}

// The calls the kernel may refuse itself as the system call filter does
// (EPERM) to a process without capabilities, such as the helper, with the
// setting of the kernel's that does and whether it refuses at 0 (else at any
// other value).
struct RefusingSetting {
  const char* call;
  const char* setting;
  bool atZero;
};
inline constexpr RefusingSetting kRefusingSettings[] = {
    {"set up an io_uring", "kernel/io_uring_disabled", false},
    {"load a bpf program", "kernel/unprivileged_bpf_disabled", false},
    {"make a user namespace", "kernel/unprivileged_userns_clone", true},
    {"start a child in a user namespace", "kernel/unprivileged_userns_clone", true},
};

// Whether this kernel answers `call` (one of kRefusingSettings's, made as
// the stand-in helper makes it) with EPERM to a process without
// capabilities: a child that drops them all tries it.
inline bool RefusedWithoutCapabilities(const std::string& call) {
  const pid_t child = ::fork();
  if (child == 0) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capset, &header, none) != 0) ::_exit(2);
    io_uring_params ring{};
    long r = -1;
    errno = 0;
    if (call == "set up an io_uring") r = ::syscall(SYS_io_uring_setup, 1, &ring);
    if (call == "load a bpf program") r = ::syscall(SYS_bpf, 5, nullptr, 4096 * 2);
    if (call == "make a user namespace") r = ::unshare(CLONE_NEWUSER);
    if (call == "start a child in a user namespace") {
      r = ::syscall(SYS_clone, CLONE_NEWUSER | SIGCHLD, 0, 0, 0, 0);
      if (r == 0) ::_exit(3);
    }
    ::_exit(r < 0 && errno == EPERM ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Where this kernel refuses `call` itself as the system call filter does, to
// a process without capabilities: the setting of the kernel's that does, as
// "name = value", or that it does; "" where it does not. A row cannot see
// the filter's refusal of such a call.
inline std::string RefusesItself(const std::string& call) {
  if (!RefusedWithoutCapabilities(call)) return "";
  for (const RefusingSetting& s : kRefusingSettings) {
    const long value = Setting(s.setting);
    if (call == s.call && value >= 0 && (value == 0) == s.atZero)
      return std::string(s.setting) + " = " + std::to_string(value);
  }
  return "it answers EPERM to a process without capabilities";
}

// Whether the warden's fences run here at all: ThreadSanitizer's threads
// keep a process from making namespaces.
#if defined(__SANITIZE_THREAD__)
constexpr bool kFencesCanRun = false;
#else
constexpr bool kFencesCanRun = true;
#endif

// Whether this kernel gives the fence (one of fences.h's Landlock,
// namespaces or filter), those of `without` pretended missing.
inline bool Gives(int fence, int without) {
  namespace d = md::imaging::detail;
  if (!kFencesCanRun || (fence & without) != 0) return false;
  if (fence == d::kFenceLandlock) return LandlockAbi() > 0;
  if (fence == d::kFenceNamespaces) return GivesNamespaces();
#if defined(__x86_64__) || defined(__aarch64__)
  return fence == d::kFenceFilter;
#else
  return false;
#endif
}

// Where a run's fences hold neither Landlock nor namespaces: the one this
// kernel gives all the same (a fence lost), or "" where it gives neither.
inline std::string FilesFenceLost(int without) {
  namespace d = md::imaging::detail;
  return Gives(d::kFenceLandlock, without)     ? "Landlock"
         : Gives(d::kFenceNamespaces, without) ? "namespaces"
                                               : "";
}

}  // namespace md::test::kernel
