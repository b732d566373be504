// Paths relative to a page's file, made and resolved lexically.
#include "platform/files/pagepaths.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace md::files {

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return std::string();
  std::error_code ec;
  const std::string absolute = std::filesystem::absolute(path, ec).lexically_normal().string();
  return ec ? std::string() : absolute;
}

bool IsPathBelowFolder(const std::string& path) {
  if (path.empty() || path.front() == '/' || path.find('\0') != std::string::npos) return false;
  for (std::size_t at = 0; at <= path.size();) {
    const std::size_t end = std::min(path.find('/', at), path.size());
    const std::string_view name(path.data() + at, end - at);
    if (name.empty() || name == "." || name == "..") return false;
    at = end + 1;
  }
  return true;
}

std::string PathFromPageFolder(const std::string& target, const std::string& pageFile) {
  if (target.empty() || pageFile.empty()) return std::string();
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(pageFile).parent_path();
  const std::string relative =
      fs::path(target).lexically_normal().lexically_relative(folder).generic_string();
  return IsPathBelowFolder(relative) ? relative : std::string();
}

std::string PathBesidePage(const std::string& pageFile, const std::string& relative) {
  return (std::filesystem::path(pageFile).parent_path() / relative).string();
}

}  // namespace md::files
