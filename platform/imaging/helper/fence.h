// The fences mapdeck-warden (warden.cpp) puts around the program it starts,
// in the program's process, just before its exec, so that they hold for
// whatever runs there from its first instruction and for everything it
// starts; none of them can be lifted from inside.
//
// - The system call allow-list (seccomp, through libseccomp), on x86-64 and
//   AArch64: the calls the metafile helper, its libraries, the dynamic
//   loader and the sanitizers' runtimes make; every other call fails with
//   EPERM, and so does every call of another ABI (x32, 32-bit). Signals
//   (kill, tkill, tgkill, rt_sigqueueinfo, rt_tgsigqueueinfo), limits
//   (prlimit64) and scheduling reads name the program's own process only; no
//   setsid or setpgid (it stays in the run's process group); no socket,
//   ptrace, process_vm_*, pidfd_*, io_uring_*, bpf, perf_event_open, keyctl,
//   mount, unshare, setpriority, sched_set*, ioprio_set; fcntl and ioctl
//   with the commands the helper uses only (no F_SETOWN, FIOSETOWN,
//   SIOCSPGRP, TIOCSTI); clone in no new namespace (clone3, whose flags the
//   filter cannot read, answers ENOSYS and the C library uses clone).
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
//   writes no file), no network but an unconfigured loopback of its own, no
//   process outside the namespace to name or signal, no other process's
//   /proc entries (another user namespace's).
// - No capability: the program keeps none (its bounding, ambient,
//   inheritable, permitted and effective sets empty, root given none by an
//   exec, no_new_privs), so that where the host runs as root, root's rights
//   do not pass through; its user stays the host's, so that it reads its
//   program and libraries wherever the host keeps them.
//
// What is not fenced: with Landlock, reading and executing what lies in the
// folders above (the library's folder holds the library and its helpers);
// with the namespaces instead, reading every file its user may; with
// neither (a kernel without Landlock whose user namespaces are turned off,
// or before 5.12), reading and writing every file its user may; on other
// architectures than x86-64 and AArch64, the system calls. Its time and its
// memory are bounded apart (isolate.h). The library records, at a
// process's first metafile, what is unfenced (helperfences.h).
#pragma once

#include "platform/imaging/protocol/fences.h"

namespace md::imaging::detail {

// Fences the calling process for `program`, whose exec follows; answers the
// fences in force. `without` names, as kFenceLandlock, kFenceNamespaces and
// kFenceFilter, the fences to leave out as if the kernel lacked them (tests:
// the warden's argument, isolate.h's SetWardenFencesWithout). Where
// namespaces are made, the calling process and the new namespaces' first
// process stay behind and wait (the latter passes the end of the program's
// process back, the former ends as it did), closing `notTheirs` first; only
// the program's process returns.
int FenceProgram(const char* program, int notTheirs, int without);

}  // namespace md::imaging::detail
