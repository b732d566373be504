// The fences mapdeck-warden (warden.cpp) puts around the program it starts,
// in the program's process, just before its exec, so that they hold for
// whatever runs there from its first instruction and for everything it
// starts; none of them can be lifted from inside. The warden sets the
// program's limits before them (warden.cpp) and starts it only where every
// fence its process's probe found here is in force.
//
// - The system call allow-list (seccomp, through libseccomp), on x86-64 and
//   AArch64: the calls the metafile helper, its libraries, the dynamic
//   loader and the sanitizers' runtimes make; every other call fails with
//   EPERM, and so does every call of another ABI (x32, 32-bit). Signals
//   (kill, tkill, tgkill, rt_sigqueueinfo, rt_tgsigqueueinfo), limits
//   (prlimit64) and scheduling reads name the program's own process only
//   (sched_getaffinity of another id, its own threads' among them, answers
//   ENOSYS); threads alone, in no new namespace: no fork, vfork or clone
//   without CLONE_THREAD (clone3, whose flags the filter cannot read,
//   answers ENOSYS and the C library uses clone), and at most kMostThreads
//   of them running at once, each start let through by the warden, which
//   counts them (seccomp's user notification, 5.5 on; without a warden to
//   count them, no thread at all); one exec, the program's
//   own, through the descriptor the warden opened, which its limit on open
//   files keeps it from holding again once the exec closed it; personality
//   read or set to PER_LINUX only; timers on its own clocks; no setsid or
//   setpgid (it stays in the run's process group); no socket, ptrace,
//   process_vm_*, pidfd_*, io_uring_*, bpf, perf_event_open, keyctl, mount,
//   unshare, setpriority, sched_set*, ioprio_set; prctl for its name, its
//   dumpability, a mapping's name, the signal its parent's end sends it and
//   reading its own settings only; fcntl and ioctl with the
//   commands the helper uses only (no F_SETOWN, FIOSETOWN, SIOCSPGRP,
//   TIOCSTI); no lock on a file (flock, fcntl's F_SETLK, F_SETLKW and their
//   open file description kinds).
// - Landlock, where the running kernel has it enabled (5.13 on): the program
//   reads and executes only its own file, its folder, its RUNPATH and
//   LD_LIBRARY_PATH folders, the system's library folders (/lib, /lib64,
//   /usr/lib, /usr/lib64, /usr/local/lib) and /etc/ld.so.cache, the fonts,
//   their configuration and caches (the system's, the user's), libwmf's and
//   Ghostscript's font maps, its own /proc entries, /dev/null and
//   /dev/urandom; it writes, truncates, creates, removes and renames nothing
//   (the descriptors it was given stay as they were opened). Its domain
//   scopes ptrace to itself: the memory, environment and other /proc
//   entries of every process outside stay closed. From Landlock ABI 4
//   (kernel 6.7) it connects and binds no TCP socket; from ABI 6 (6.12) it
//   signals no process and reaches no abstract unix socket outside its
//   domain. The running kernel's ABI decides; the filter refuses each of
//   those on every kernel too.
// - Where Landlock is missing: new user, pid, mount, network and IPC
//   namespaces, where the kernel lets an unprivileged process make them
//   (bubblewrap's way; mount_setattr, 5.12 on): every mount read-only (it
//   writes no file), no network but an unconfigured loopback of its own,
//   and a /proc of its own pid namespace (or, where the kernel refuses that
//   mount, an empty one), so that no process outside is in sight to name,
//   signal or read.
// - No capability: the program keeps none (its bounding, ambient,
//   inheritable, permitted and effective sets empty, root given none by an
//   exec, no_new_privs), so that where the host runs as root, root's rights
//   do not pass through; its user stays the host's, so that it reads its
//   program and libraries wherever the host keeps them.
//
// What is not fenced: with Landlock, reading what lies in the folders
// above (the library's folder holds the library and its helpers); with the
// namespaces instead, reading every file its user may; with neither (a
// kernel without Landlock whose user namespaces are turned off, or before
// 5.12), reading and writing every file its user may and the memory of the
// host and its user's other processes through /proc. Without the filter (on
// other architectures than x86-64 and AArch64): starting processes, each
// with a memory limit of its own, and running any program it may execute;
// with Landlock, limiting and rescheduling its user's other processes,
// sending UDP and reaching unix sockets named by a path (before ABI 4, TCP;
// before ABI 6, signals and abstract unix sockets); with neither fence of
// files, every call on its user's processes and the network. The library
// records, at a process's first metafile, what is unfenced
// (helperfences.h).
#pragma once

#include <sys/types.h>

#include "platform/imaging/protocol/fences.h"

namespace md::imaging::detail {

// What the program's process is fenced for.
struct FenceRequest {
  const char* program = "";  // the program's path
  // The descriptor of the program's file, the only one its exec may name:
  // one its limit on open files leaves out; -1: no exec (the probe).
  int execFd = -1;
  int notTheirs = -1;  // closed by the processes that stay behind
  // The fences to leave out as if the kernel lacked them: kFenceLandlock,
  // kFenceNamespaces, kFenceFilter (tests: the warden's argument, isolate.h's
  // SetWardenFencesWithout).
  int without = 0;
  // Where namespaces are made, the processor time after which the
  // namespace's first process kills the program (0: none).
  long long processorMs = 0;
  // Set to the error that refused a fence for a passing cause (EAGAIN,
  // ENOMEM, EMFILE, ENFILE), 0 where none did: the fences answered then are
  // fewer than the kernel gives.
  int* passing = nullptr;
  // An error the making of the Landlock ruleset pretends to fail with, 0
  // for none (tests: the warden's argument, isolate.h's
  // SetWardenProbeFailure).
  int pretended = 0;
  // A unix socket the filter's listener for thread starts is sent over, to
  // the process that lets at most kMostThreads of them through
  // (CountThreadStarts); -1: none, and no thread starts.
  int threadSupervisor = -1;
};

// The most threads the program's process may run at once, its first among
// them: each start waits for the supervisor's leave, and one that would
// pass these fails with EAGAIN, so that a run holds a bounded number of the
// kernel's tasks (each takes kernel memory no limit of the run counts, and
// a pid of the machine's). Threads that ended leave room for others: the
// libraries start short-lived ones all through a drawing.
constexpr int kMostThreads = 256;

// In the supervisor: takes the filter's listener from `channel` and answers
// the program's thread starts as they come, each let through while its
// process runs fewer than kMostThreads (/proc/<id>/status; where that cannot
// be read, the first kMostThreads starts), the rest refused; returns when
// the listener closes or none came, or lets the listener go (the kernel then
// refusing every start) once it refused kMostThreads starts or spent a
// quarter of the run's `processorMs` answering them.
void CountThreadStarts(int channel, long long processorMs);

// Fences the calling process for the program, whose exec follows; answers
// the fences in force. Where namespaces are made, the calling process and
// the new namespaces' first process stay behind and wait (the latter passes
// the end of the program's process back, the former ends as it did),
// closing `notTheirs` first; only the program's process returns.
int FenceProgram(const FenceRequest& request);

// Arms a timer that sends SIGALRM to the calling process once the
// processor time of the process `pid`, its threads' included, passes `ms`;
// false where it cannot.
bool WatchProcessorTime(pid_t pid, long long ms);

}  // namespace md::imaging::detail
