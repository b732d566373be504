// The text of a system error number, safe on any thread (strerror may
// write a buffer that every thread shares).
#pragma once

#include <string>

namespace md::files {

// What the system says of `error` (an errno value), as strerror words it.
std::string ErrorText(int error);

}  // namespace md::files
