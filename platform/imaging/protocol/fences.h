// The fences the warden puts around the program it starts (helper/fence.h),
// as bits: what the warden reports and the library records.
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

}  // namespace md::imaging::detail
