// The fences mapdeck-warden (warden.cpp) puts around the program it starts,
// in the program's process, just before its exec, so that they hold for
// whatever runs there from its first instruction and for everything it
// starts; none of them can be lifted from inside.
//
// - The system call allow-list (seccomp, through libseccomp), on x86-64 and
//   AArch64: the calls the metafile helper, its libraries, the dynamic loader
//   and the sanitizers' runtimes make, every other call failing with EPERM,
//   and every call of another ABI (x32, 32-bit) too. Signals (kill, tkill,
//   tgkill, rt_sigqueueinfo, rt_tgsigqueueinfo), limits (prlimit64) and
//   scheduling reads name the program's own process only; no setsid or
//   setpgid (it stays in the run's process group); no socket, ptrace,
//   process_vm_*, pidfd_*, io_uring_*, bpf, perf_event_open, keyctl, mount,
//   unshare, setpriority, sched_set*, ioprio_set; fcntl and ioctl only with
//   the commands the helper uses (no F_SETOWN, FIOSETOWN, SIOCSPGRP, TIOCSTI);
//   clone starts threads and processes, never in new namespaces.
// - Landlock, where the running kernel has it (5.13 on, when enabled): the
//   program reads and executes only its program, its folder, its RUNPATH
//   folders, the system's library folders and loader cache, the fonts and
//   their configuration and caches, its own /proc entries, /dev/null and
//   /dev/urandom; it writes, creates, removes and renames nothing (the
//   descriptors it was given stay as they are). Its domain scopes ptrace to
//   itself: the memory, environment and limits under /proc of every process
//   outside stay closed. From Landlock ABI 4 (kernel 6.7) it opens no TCP
//   connection and binds no TCP port; from ABI 6 (6.12) it signals no
//   process outside its domain and reaches no abstract unix socket outside.
// - Where Landlock is missing: new user, pid, mount, network and IPC
//   namespaces, where the kernel lets an unprivileged process make them
//   (bubblewrap's way): every mount read-only, no network but an unconfigured
//   loopback, no process outside the namespace to name, and the other
//   processes' /proc entries closed by the user namespace.
// - No capability: where the host runs as root the program keeps none (its
//   bounding, ambient, inheritable, permitted and effective sets empty, root
//   given none by an exec), under no_new_privs, so that root's rights do not
//   pass through; its user id stays the host's, so that it reads its program
//   and libraries wherever the host keeps them.
//
// What is not fenced: reading files outside those folders where neither
// Landlock nor the namespaces are there; TCP on kernels without Landlock
// ABI 4 unless in namespaces; on other architectures than x86-64 and
// AArch64, every system call. The library records, at a process's first
// metafile, what the kernel leaves unfenced (helperfences.h).
#pragma once

namespace md::imaging::detail {

// What was put in force, as bits.
enum Fence : int {
  kFenceFilter = 1,         // the system call allow-list
  kFenceLandlock = 2,       // Landlock's file rules and ptrace scope
  kFenceLandlockNet = 4,    // and TCP (Landlock ABI 4)
  kFenceLandlockScope = 8,  // and signals and abstract sockets (ABI 6)
  kFenceNamespaces = 16,    // user, pid, mount, network, IPC namespaces
  kFenceNoCapability = 32,  // no capability kept
};

// The environment variable that makes the warden act as if the kernel lacked
// fences (tests): a list of "landlock", "namespaces", "filter".
constexpr const char* kFencesWithout = "MAPDECK_HELPER_FENCES_WITHOUT";

// Fences the calling process for `program`, whose exec follows; answers the
// fences in force. Where namespaces are made, the calling process and the
// new namespaces' first process stay behind and wait (the latter passes the
// end of the program's process back, the former ends as it did), closing
// `notTheirs` first; only the program's process returns.
int FenceProgram(const char* program, int notTheirs);

}  // namespace md::imaging::detail
