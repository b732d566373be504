// What a file must be for an object to be made from it, whether it is
// embedded, linked, or read again as a link's source: a regular file on an
// ordinary file system that this process may read. The files of the
// kernel's own file systems (proc, sysfs, debugfs, the control groups' and
// the like) are refused even where they look regular: their size says
// nothing of their content, and what they hold belongs to the running system.
#pragma once

#include <string>

namespace md::ole {

// Whether the file at the path can be read as an object's source; *pError
// says why not: the system's reason (no such file, no permission), what the
// path names instead of a regular file (a folder, a named pipe, a device, a
// socket), or the kernel's file system the file lies on.
bool IsSourceFile(const std::string& path, std::string* pError);

}  // namespace md::ole
