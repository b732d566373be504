// The text of a system error number, safe on any thread (strerror may
// write a buffer that every thread shares).
#pragma once

#include <string>

namespace md::files {

// What the system says of `error` (an errno value), as strerror words it.
std::string ErrorText(int error);

// The same for a thread or process that could not be started: EAGAIN
// names the limit it met, "Resource temporarily unavailable (a process
// limit: RLIMIT_NPROC 1)", or, where this process has none, a limit of the
// system's or of the process's control group.
std::string StartErrorText(int error);

}  // namespace md::files
