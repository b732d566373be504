#include "platform/files/errortext.h"

#include <sys/resource.h>

#include <cerrno>
#include <system_error>

namespace md::files {

// The category formats with strerror_r, into a buffer of the call's own.
std::string ErrorText(int error) { return std::generic_category().message(error); }

std::string StartErrorText(int error) {
  std::string text = ErrorText(error);
  if (error != EAGAIN) return text;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NPROC, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    return text + " (a process limit: RLIMIT_NPROC " + std::to_string(limit.rlim_cur) + ")";
  return text + " (a limit of processes or threads: the system's, or its control group's pids.max)";
}

}  // namespace md::files
