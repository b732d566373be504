// A process's own folder, and what killed processes left of theirs (see
// processfolder.h).
#include "platform/files/processfolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files/errortext.h"
#include "platform/files/leftovers.h"

namespace md::files {
namespace {

// The process that made a folder named "<prefix><pid>.<n>", else 0.
pid_t FolderOwner(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return 0;
  name.remove_prefix(prefix.size());
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos || detail::DecimalOf(name.substr(dot + 1), UINT_MAX) < 0) return 0;
  const long long pid = detail::DecimalOf(name.substr(0, dot), INT_MAX);
  return pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// Whether the open file or folder belongs to this process's user.
bool OwnedHere(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
}

// Levels of folders a removal goes down.
constexpr int kMaxDepth = 8;

// Removes what the folder open as fd holds (the folders in it as well when
// they are this user's, kMaxDepth levels down, never through a symbolic
// link), then the folder (which stays when anything in it does).
void RemoveFolder(int parentFd, const char* name, int fd, int depth = 0) {
  const int listing = ::dup(fd);
  if (DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr) {
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        files.emplace_back(entry->d_name);
    }
    for (const std::string& file : files) {
      if (::unlinkat(fd, file.c_str(), 0) == 0 || errno != EISDIR || depth >= kMaxDepth) continue;
      const int sub = ::openat(fd, file.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub < 0) continue;
      if (OwnedHere(sub)) RemoveFolder(fd, file.c_str(), sub, depth + 1);
      ::close(sub);
    }
    ::closedir(dir);
  } else if (listing >= 0) {
    ::close(listing);
  }
  (void)::unlinkat(parentFd, name, AT_REMOVEDIR);
}

constexpr int kNameAttempts = 100;

}  // namespace

ProcessFolder::ProcessFolder(std::string parent, std::string prefix)
    : m_parent(std::move(parent)), m_prefix(std::move(prefix)) {}

ProcessFolder::~ProcessFolder() {
  if (m_fd < 0) return;
  const int parentFd = ::open(m_parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd >= 0) {
    const std::string name = m_path.substr(m_path.rfind('/') + 1);
    if (detail::StillNames(parentFd, name.c_str(), m_fd)) RemoveFolder(parentFd, name.c_str(), m_fd);
    ::close(parentFd);
  }
  ::close(m_fd);
}

std::string ProcessFolder::Path(std::string* pError) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_path.empty()) return m_path;
  const int parentFd = ::open(m_parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0) {
    *pError = m_parent + ": " + ErrorText(errno);
    return std::string();
  }
  // What killed processes left goes first.
  const int listing = ::dup(parentFd);
  if (DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr) {
    std::vector<std::pair<std::string, pid_t>> folders;
    while (const dirent* entry = ::readdir(dir)) {
      if (const pid_t owner = FolderOwner(entry->d_name, m_prefix))
        folders.emplace_back(entry->d_name, owner);
    }
    ::closedir(dir);
    for (const auto& [name, owner] : folders) {
      const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0) continue;
      if (OwnedHere(fd) && detail::LeftBy(fd, owner) && detail::StillNames(parentFd, name.c_str(), fd))
        RemoveFolder(parentFd, name.c_str(), fd);
      ::close(fd);
    }
  } else if (listing >= 0) {
    ::close(listing);
  }
  static std::atomic<unsigned> counter{0};
  std::string name;
  int err = EEXIST;
  for (int attempt = 0; attempt < kNameAttempts && m_fd < 0; ++attempt) {
    name = m_prefix + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
    if (::mkdirat(parentFd, name.c_str(), 0700) != 0) {
      err = errno;
      if (err == EEXIST) continue;
      break;
    }
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
      err = errno;
      continue;
    }
    // Another process's sweep that took it before the lock removes it.
    if (detail::ProbeLock(fd) == detail::LockProbe::Held || !detail::StillNames(parentFd, name.c_str(), fd)) {
      ::close(fd);
      err = EEXIST;
      continue;
    }
    m_fd = fd;
  }
  ::close(parentFd);
  if (m_fd < 0) {
    *pError = "cannot make " + m_parent + "/" + name + ": " + ErrorText(err);
    return std::string();
  }
  m_path = m_parent + "/" + name;
  return m_path;
}

}  // namespace md::files
