#include "platform/files/errortext.h"

#include <system_error>

namespace md::files {

// The category formats with strerror_r, into a buffer of the call's own.
std::string ErrorText(int error) { return std::generic_category().message(error); }

}  // namespace md::files
