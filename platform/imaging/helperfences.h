// What the metafile helper's sandbox (helper/fence.h) holds on the running
// system, and the one record a process makes of what it leaves unfenced:
// at the first start of a metafile's helper, where the kernel has neither
// Landlock nor user namespaces an unprivileged process may make (the
// helper may then read and write every file its user may, and its host's
// memory), or the system call filter or the capabilities' drop could not be
// put in force.
#pragma once

#include <string>

namespace md::imaging {

// Told, once a process, what the helper's sandbox leaves unfenced; NULL:
// nobody is (the library's own records set it). Answers the one replaced.
using UnfencedHook = void (*)(const std::string& text);
UnfencedHook SetUnfencedHook(UnfencedHook hook);

namespace detail {

// The fences the warden beside the library puts a program in here, those
// SetWardenFencesWithout (isolate.h) leaves out excepted, as fence.h's bits;
// -1 when the warden could not be asked or could not learn them for a
// passing cause (a process limit, no memory, no descriptor), *why (when
// given) saying what kept it. Asked once a process (for each set left out),
// twice (a third time where the two answers differ, every fence any of them
// got counted), and kept once learned: every run then gets them, or is not
// started (isolate.h); a failure is asked again at the next run.
int HelperFences(std::string* why = nullptr);

// Forgets the fences known, and has the next first ask of the warden leave
// `fences` out, as a passing failure would (tests); answers the ones it
// replaced.
int SetHelperFencesProbeTakenAway(int fences);

// What `fences` leave unfenced, in words; "" for nothing.
std::string UnfencedText(int fences);

// Before each start of the helper: the first time in the process, tells the
// hook what is unfenced, when something is.
void TellUnfencedOnce();

}  // namespace detail
}  // namespace md::imaging
