// Library files in the host's configuration folder: where they are, and how
// they are replaced on disk.
#pragma once

#include <cstddef>
#include <string>

namespace md::layout {

// The text of a global setting. A missing key is registered with the default
// (a string field named and described by the key) when one is given; without
// one, or without global properties, the default or the empty text.
std::string GlobalSetting(const char* szKey, const char* szDefault);

// A library file: the folder of "GLOBAL_GRAPHICELEMENT_CFG_DIR" and the file
// name of szFileKey (registered with szDefaultFile when missing). Empty
// without a folder.
std::string LibraryFilePath(const char* szFileKey, const char* szDefaultFile);

// Writes the bytes beside the target and renames them over it, so that the
// target is either the old file or the whole new one. FALSE (a level-1
// record under szMethod, no temporary left) when any step fails.
bool ReplaceFile(const std::string& path, const unsigned char* pData, std::size_t nSize,
                 const char* szMethod);

}  // namespace md::layout
