// Paths a page keeps relative to its own file: a file beside or below the
// page's file is named from the page's folder, so that the page and its
// files can move together.
#pragma once

#include <string>

namespace md::files {

// The path made absolute (against the working folder) and lexically normal;
// "" for an empty path or one that cannot be made absolute.
std::string AbsolutePath(const std::string& path);

// Whether the path names a place below a folder: names joined by single
// slashes, none of them empty, "." or "..", not starting with a slash, so
// that it never leaves the folder.
bool IsPathBelowFolder(const std::string& path);

// The target's path from the folder of the page file (both absolute); ""
// when either is empty or the target does not lie beside or below the
// page's file.
std::string PathFromPageFolder(const std::string& target, const std::string& pageFile);

// The place a path from the page file's folder names.
std::string PathBesidePage(const std::string& pageFile, const std::string& relative);

}  // namespace md::files
