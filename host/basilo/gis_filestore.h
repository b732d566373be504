// Reading and writing whole files the way every stored file of the host and
// the library is read and written: reads take regular files only and never
// block on a pipe or device; writes go through a temporary file and a rename,
// so the file is either the old one or the whole new one, and keep what the
// user set on the file (permission bits, owner, symbolic links, read-only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace md::basilo {

// Reads the whole regular file at szPath into *pBytes. Anything that is not a
// regular file (a folder, a named pipe, a device) is refused before it is
// read, and the file is opened without blocking. A file larger than nMaxBytes
// is refused. On failure *pError says why (no path in it) and *pBytes is
// left empty.
bool ReadWholeFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                   std::string* pError);

// Replaces the file at szPath with the bytes. A symbolic link is followed and
// its target written (the link stays); a new file gets the usual mode for new
// files, an existing one keeps its permission bits and, where the process may
// set them, its owner and group. A target that is not a regular file or that
// is read-only is refused, the file left as it was. On failure *pError says
// why (naming the file it concerns) and nothing was changed.
bool WriteWholeFile(const char* szPath, const void* pData, std::size_t nSize, std::string* pError);

}  // namespace md::basilo
