// Whole-file reads and safe whole-file replacement (see gis_filestore.h).
#include "host/basilo/gis_filestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

namespace md::basilo {
namespace {

// Symbolic links followed before a path is taken as a loop.
constexpr int kMaxLinkHops = 40;

std::string Errno(int err) { return std::strerror(err); }

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a write to szPath lands in: symbolic links followed (a dangling
// link names the file it would create). *pExists tells whether it exists;
// *pStat describes it then.
bool ResolveTarget(const char* szPath, std::string* pTarget, bool* pExists, struct stat* pStat,
                   std::string* pError) {
  std::string target = szPath;
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0) {
      if (errno != ENOENT) {
        *pError = target + ": " + Errno(errno);
        return false;
      }
      *pExists = false;
      break;
    }
    if (!S_ISLNK(st.st_mode)) {
      *pExists = true;
      *pStat = st;
      break;
    }
    if (hops >= kMaxLinkHops) {
      *pError = std::string(szPath) + ": too many levels of symbolic links";
      return false;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<std::size_t>(n) >= link.size()) {
      *pError = target + ": cannot read the symbolic link";
      return false;
    }
    link.resize(static_cast<std::size_t>(n));
    target = (link.empty() || link[0] == '/') ? link : FolderOf(target) + "/" + link;
  }
  *pTarget = target;
  return true;
}

}  // namespace

bool ReadWholeFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                   std::string* pError) {
  pBytes->clear();
  struct stat st;
  // Judged before opening: opening a named pipe for reading would wait for
  // a writer.
  if (::stat(szPath, &st) != 0) {
    *pError = Errno(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *pError = "not a regular file";
    return false;
  }
  // Without blocking all the same: the path may have been replaced since.
  const int fd = ::open(szPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    *pError = Errno(errno);
    return false;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    *pError = "not a regular file";
    return false;
  }
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > nMaxBytes) {
    ::close(fd);
    *pError = "larger than " + std::to_string(nMaxBytes) + " bytes";
    return false;
  }
  pBytes->resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < pBytes->size()) {
    const ssize_t n = ::read(fd, pBytes->data() + done, pBytes->size() - done);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      pBytes->clear();
      *pError = Errno(err);
      return false;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  pBytes->resize(done);  // a file that shrank while read is judged on what was read
  return true;
}

bool WriteWholeFile(const char* szPath, const void* pData, std::size_t nSize, std::string* pError) {
  if (szPath == nullptr || szPath[0] == '\0') {
    *pError = "no path";
    return false;
  }
  std::string target;
  bool exists = false;
  struct stat st {};
  if (!ResolveTarget(szPath, &target, &exists, &st, pError)) return false;
  if (exists) {
    if (!S_ISREG(st.st_mode)) {
      *pError = target + " is not a regular file";
      return false;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0) {
      *pError = target + " is read-only";
      return false;
    }
  }

  // Written beside the target and renamed over it.
  static std::atomic<unsigned> counter{0};
  const std::string temp =
      target + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
  // An existing file's bits are set before any byte is written; a new file
  // takes the process's usual mode for new files.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
  if (fd < 0) {
    *pError = "cannot create " + temp + ": " + Errno(errno);
    return false;
  }
  bool ok = true;
  int err = 0;
  if (exists) {
    // The owner where the process may give it (changing it may clear the
    // set-ID bits, so the mode follows).
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)::fchown(fd, st.st_uid, st.st_gid);
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
      ok = false;
      err = errno;
    }
  }
  if (ok && !(WriteAll(fd, static_cast<const std::uint8_t*>(pData), nSize) && ::fsync(fd) == 0)) {
    ok = false;
    err = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    *pError = "cannot write " + temp + ": " + Errno(err);
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    *pError = "cannot rename " + temp + " to " + target + ": " + Errno(errno);
    ::unlink(temp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace md::basilo
