// How an isolated run (isolate.h) hands its program what it works on, and
// what mapdeck-warden (helper/warden.cpp) tells the library that started it: one
// report, on a descriptor of the warden's alone, of how the run's program
// ended or why it could not be started, written once what runs below the
// warden was ended, just before the warden ends. The library reads how the
// run ended there, not from the warden's exit status, which a host that
// ignores SIGCHLD or reaps every child itself never sees.
#pragma once

#include <cstddef>
#include <cstdint>

namespace md::imaging::detail {

// The flag that follows the program's path on its command line, then its
// processor time in milliseconds and its extra memory in bytes, then the
// run's arguments. The warden reads both limits there and sets them before
// the program starts.
constexpr const char* kIsolatedFlag = "--isolated";
// The program's descriptors: its input (a memory file), the shared buffer
// (a memory file) and the answer pipe.
constexpr int kInputFd = 0, kBufferFd = 3, kAnswerFd = 4;

// The warden's descriptor of the report's pipe; the program never holds it.
constexpr int kWardenReportFd = 5;

// The address space a program may hold from its start, beyond its extra
// memory: its code, its libraries and what they reserve before its work
// begins. The warden bounds the program's address space at their sum.
constexpr std::size_t kProgramStartBytes = std::size_t{256} << 20;

// Whether the programs are built with a sanitizer that reserves its shadow
// memory at the start, terabytes of address space a limit set before the
// exec would refuse: the program's own start then limits what it adds.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kShadowMemory = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kShadowMemory = true;
#else
constexpr bool kShadowMemory = false;
#endif
#else
constexpr bool kShadowMemory = false;
#endif

struct WardenReport {
  enum Kind : std::int32_t {
    Exited = 1,      // value: the program's exit status
    Signalled = 2,   // value: the signal it ended on (SIGXCPU: its processor time ran out)
    NotStarted = 3,  // value: the errno of the fork or exec that failed
    Unfenced = 4,    // value: the fences expected (fences.h's bits) that could not be put in force
    Script = 5,      // value: the errno of its exec; the program is a script, which no fence runs
  };
  std::int32_t kind = 0;
  std::int32_t value = 0;
};

}  // namespace md::imaging::detail
