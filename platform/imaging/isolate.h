// Running a library that may crash or loop on a damaged file in a program
// of its own, with a time and a memory limit, and taking back what it drew.
// The program is started with posix_spawn and runs in a fresh process: a
// host's threads may hold any lock while it starts, and nothing of the
// host's state (locks, caches, half-done drawings) is inherited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace md::imaging::detail {

// The address space a program may add to what it holds when it starts,
// unless its run asks for less: what the metafile helper may draw with, and
// so the most the pictures of its draw list can take (protocol/drawlist.h).
constexpr std::size_t kIsolatedExtraMemory = std::size_t{1} << 30;

struct IsolationLimits {
  // Wall-clock time the program may take.
  int milliseconds = 10000;
  // Processor time the program may take, its threads' included: past it,
  // the warden kills it and the run is answered as timed out.
  int processorMilliseconds = 10000;
  // Address space the program may add to what it holds when it starts, its
  // buffer's included; the warden bounds it, before the program starts, at
  // this and protocol/run.h's kProgramStartBytes.
  std::size_t extraMemory = kIsolatedExtraMemory;
};

// How a run ended.
enum class IsolatedEnd {
  Done,                // the program and `collect` answered ""
  Refused,             // the program or `collect` refused what it was given
  TimedOut,            // the wall clock's time passed first: the program was killed
  OutOfProcessorTime,  // its processor time ran out: the program was killed
  Stopped,             // the program crashed, ran out of memory or ended without an answer
  NotRun,              // the program is missing, could not be started (the reason says why) or waited for
};

// Runs `program` with `args`, handing it the `inputBytes` bytes at `input`
// (sealed) and a shared buffer of `bytes` bytes (zeroed, its pages taken
// only as they are written, sealed at its size); the program's IsolatedMain
// (helper/isolatedmain.h) answers "" when its work filled the buffer, else
// the reason it could not, of at most 4 KiB (a longer answer ends the run),
// which enters *error as one line of printable characters, the others
// escaped, cut at 400. Then `collect` reads the buffer in this process and
// answers "" or the reason it refuses what it found. The program holds no
// descriptor of this process but its input, its buffer and its answer pipe
// (its standard output and error are /dev/null), and no variable of its
// environment but those ProgramEnvironment keeps. It runs under the warden
// program beside the library (helper/warden.cpp), which sets its limits and
// fences it before it starts (it and what it starts signal no other process
// and stay in the run's process group, where the system allows the filter),
// starts it only where it gets every fence HelperFences (helperfences.h)
// learnt this process's programs get, ends it once its processor time runs
// out, ends every process the program started once the program ends or is
// killed, and says how the program ended over a pipe of its own: whatever
// the host does with SIGCHLD (ignores it, reaps every child itself), the
// wait does not spin and the end is known. The time limit covers the
// program's whole life, its end after its answer included: a program still
// running then is killed, and every program started is waited for before
// this returns. True when both answered ""; false with the reason in *error
// when either refused, the program or the warden is missing or could not be
// started (its sandbox not in force among the reasons), or the program
// crashed, changed its buffer's size or ran out of memory or time. *end,
// when given, says which; *processorMs, when given, the processor time the
// run's programs took (the warden's and those it waited for), or -1 when it
// is not known (the host reaped the warden first).
bool RunIsolated(const std::string& program, const std::vector<std::string>& args, const void* input,
                 std::size_t inputBytes, std::size_t bytes,
                 const std::function<std::string(const void* buffer)>& collect, const IsolationLimits& limits,
                 std::string* error, IsolatedEnd* end = nullptr, std::int64_t* processorMs = nullptr);

// The errno the next run's warden pretends its start of the program failed
// with, instead of starting it (tests); 0: it starts it. Taken by that run
// alone; answers the one it replaced.
int SetWardenForkFailure(int error);

// The errno every ask of the warden for the fences (HelperFences) pretends
// the making of its Landlock ruleset failed with, until set back to 0 (tests:
// a passing failure, such as EMFILE); 0: none. Answers the one it replaced.
int SetWardenProbeFailure(int error);
int WardenProbeFailure();

// The fences the warden leaves out of every run, and out of what
// HelperFences (helperfences.h) learns, as if the kernel lacked them
// (tests): helper/fence.h's kFenceLandlock, kFenceNamespaces and
// kFenceFilter; 0, the default: none. Handed to the warden on its command
// line; in force until changed. Answers the one it replaced.
int SetWardenFencesWithout(int fences);

// The fences the warden leaves out now (SetWardenFencesWithout).
int WardenFencesWithout();

// The fences the next run's warden leaves out although HelperFences says
// they are there (tests: a run that gets fewer fences than it should, and
// is not started). Taken by that run alone; answers the one it replaced.
int SetWardenFencesTakenAway(int fences);

// Whether the next run's warden arms no watch on the program's processor
// time (tests: the kernel's backstop, a second past the limit, alone ends
// it). Taken by that run alone; answers the one it replaced.
bool SetWardenWatchOff(bool off);

// The environment a run's warden and program get, of the host's variables,
// by their whole names: the loader's (LD_LIBRARY_PATH), fontconfig's and the
// folders it reads (FONTCONFIG_FILE, FONTCONFIG_PATH, HOME, XDG_CACHE_HOME,
// XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_DATA_DIRS), the languages it matches
// for (LANG, LC_ALL, LC_CTYPE), the sanitizers' options, and the one
// SetIsolatedVariablePassed names.
std::vector<std::string> ProgramEnvironment();

// The name of a variable of the host's environment every run's program gets
// too (tests: the stand-in helper takes its orders from one); "": none.
// Answers the one it replaced.
std::string SetIsolatedVariablePassed(std::string name);

// The path of `name` in the folder of the shared library that holds this
// code (where the build and the installation put the helper programs).
std::string ProgramBesideLibrary(const char* name);

}  // namespace md::imaging::detail
