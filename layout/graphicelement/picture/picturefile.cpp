// Exclusive creation and complete writing of kept-picture files.
#include "layout/graphicelement/picture/picturefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files/filestore.h"

namespace md::layout {
namespace {

// Attempts at a free name before giving up.
constexpr int kMaxAttempts = 10000;

// Numbers are formatted with snprintf: std::to_string would put unique
// symbols into the library, and a library holding them cannot be unloaded.
bool PlainExtension(const std::string& extension) {
  if (extension.empty() || extension.size() > 16) return false;
  for (char c : extension) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::string WriteNewFile(const std::string& folder, const std::string& name, const std::string& extension,
                         const void* pData, std::size_t nSize, std::string* pAttempted) {
  const std::string base = folder + "/" + name;
  const std::string suffix = PlainExtension(extension) ? "." + extension : std::string();
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    char counter[16] = "";
    if (attempt > 0) std::snprintf(counter, sizeof counter, "-%d", attempt);
    const std::string path = base + counter + suffix;
    if (pAttempted != nullptr) *pAttempted = path;
    // The name is taken exclusively first; the bytes then go through the
    // host's file writer (a temporary file renamed over it), which keeps the
    // private mode the name was taken with.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return std::string();
    }
    ::close(fd);
    std::string error;
    if (md::files::WriteWholeFile(path.c_str(), pData, nSize, &error)) return path;
    ::unlink(path.c_str());
    return std::string();
  }
  return std::string();
}

}  // namespace md::layout
