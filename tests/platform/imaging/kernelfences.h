// What this kernel offers the rows of the sandbox's and the limits' tables
// that lean on it, learned outside any fence: so that a row skips only where
// the fence it tests cannot exist here, and fails where it exists and does
// not hold.
#pragma once

#include <linux/landlock.h>
#include <sched.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Where this kernel refuses `call` itself as the system call filter does
// (EPERM), by a setting of its own: the setting, as "name = value"; "" where
// none does. A row cannot see the filter's refusal of such a call.
inline std::string RefusesItself(const std::string& call) {
  const struct {
    const char* call;
    const char* setting;
    bool atZero;  // the setting refuses at 0 (else at any other value)
  } settings[] = {
      {"set up an io_uring", "kernel/io_uring_disabled", false},
      {"load a bpf program", "kernel/unprivileged_bpf_disabled", false},
      {"make a user namespace", "kernel/unprivileged_userns_clone", true},
      {"start a child in a user namespace", "kernel/unprivileged_userns_clone", true},
  };
  for (const auto& s : settings) {
    const long value = Setting(s.setting);
    if (call == s.call && value >= 0 && (value == 0) == s.atZero)
      return std::string(s.setting) + " = " + std::to_string(value);
  }
  return "";
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
