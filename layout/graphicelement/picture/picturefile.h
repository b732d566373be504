// New files for kept pictures in the temporary folder.
#pragma once

#include <cstddef>
#include <string>

namespace md::layout {

// Creates a new file in the folder and writes the bytes into it through the
// host's file writer. The file is named `name`, then the extension (when
// there is one); a name already taken gets "-1", "-2", ... before the
// extension. The file is created exclusively, so no existing file is ever
// replaced. An extension that is not a plain word (at most 16 ASCII letters,
// digits, "_" or "-") is left off, so that stored text never leads the file
// out of the folder or into another name. Returns the path, or "" when no
// file could be written whole (a partly written file is removed);
// *pAttempted then names the path tried.
std::string WriteNewFile(const std::string& folder, const std::string& name, const std::string& extension,
                         const void* pData, std::size_t nSize, std::string* pAttempted);

}  // namespace md::layout
