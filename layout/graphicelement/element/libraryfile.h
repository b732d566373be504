// Library files in the host's configuration folder: where they are, and how
// they are replaced on disk.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace md::layout {

// The text of a global setting. A missing key is registered with the default
// (a string field named and described by the key) when one is given; without
// one, or without global properties, the default or the empty text.
std::string GlobalSetting(const char* szKey, const char* szDefault);

// A library file: the folder of "GLOBAL_GRAPHICELEMENT_CFG_DIR" and the file
// name of szFileKey (registered with szDefaultFile when missing). Empty
// without a folder.
std::string LibraryFilePath(const char* szFileKey, const char* szDefaultFile);

// A library larger than this is not a library this system wrote.
constexpr std::size_t kMaxLibraryFileBytes = 256u << 20;

// What reading a library file found.
enum class LibraryFileRead {
  Read,        // *pBytes holds the whole file
  Missing,     // nothing is at the path (no record)
  Unreadable,  // not a regular file, larger than kMaxLibraryFileBytes or not
               // readable (a level-1 record under szMethod)
};
// Reads the whole library file at path without ever waiting on a pipe or a
// device.
LibraryFileRead ReadLibraryFile(const std::string& path, std::vector<unsigned char>* pBytes,
                                const char* szMethod);

// Replaces the library file at path with the bytes, keeping what the user set
// on it (its permission bits, a symbolic link to it); the target is either
// the old file or the whole new one. FALSE (a level-1 record under szMethod,
// the file unchanged) when it is read-only or any step fails.
bool ReplaceFile(const std::string& path, const unsigned char* pData, std::size_t nSize,
                 const char* szMethod);

}  // namespace md::layout
