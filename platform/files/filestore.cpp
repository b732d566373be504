// Whole-file reads and safe file replacement (see filestore.h).
#include "platform/files/filestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/files/errortext.h"
#include "platform/files/leftovers.h"

namespace md::files {
namespace {

using detail::FolderOf;

// Symbolic links followed before a path is taken as a loop.
constexpr int kMaxLinkHops = 40;
// Names tried for a temporary file before a save gives up.
constexpr int kTemporaryNameAttempts = 100;

std::string Errno(int err) { return ErrorText(err); }

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

std::string TemporaryName(const std::string& target, pid_t pid, unsigned n) {
  return target + ".tmp." + std::to_string(pid) + "." + std::to_string(n);
}

FileReader::~FileReader() {
  if (m_fd >= 0) ::close(m_fd);
}

bool FileReader::Open(const char* szPath, std::size_t nMaxBytes, std::string* pError, bool* pMissing) {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_size = 0;
  if (pMissing != nullptr) *pMissing = false;
  if (szPath == nullptr || szPath[0] == '\0') {
    *pError = "no path";
    return false;
  }
  struct stat st;
  // Judged before opening: opening a named pipe for reading would wait for
  // a writer.
  if (::stat(szPath, &st) != 0) {
    if (pMissing != nullptr) *pMissing = errno == ENOENT;
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
  m_fd = fd;
  m_size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool FileReader::Read(void* pData, std::size_t nSize, std::size_t* pRead, std::string* pError) {
  *pRead = 0;
  if (m_fd < 0) {
    *pError = "no file open";
    return false;
  }
  for (;;) {
    const ssize_t n = ::read(m_fd, pData, nSize);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) {
      *pError = Errno(errno);
      return false;
    }
    *pRead = static_cast<std::size_t>(n);
    return true;
  }
}

bool ReadWholeFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                   std::string* pError, bool* pMissing) {
  pBytes->clear();
  FileReader file;
  if (!file.Open(szPath, nMaxBytes, pError, pMissing)) return false;
  pBytes->resize(static_cast<std::size_t>(file.size()));
  std::size_t done = 0;
  while (done < pBytes->size()) {
    std::size_t n;
    if (!file.Read(pBytes->data() + done, pBytes->size() - done, &n, pError)) {
      pBytes->clear();
      return false;
    }
    if (n == 0) break;
    done += n;
  }
  pBytes->resize(done);  // a file that shrank while read is judged on what was read
  return true;
}

bool IsReadableFile(const char* szPath, std::string* pError) {
  struct stat st;
  if (szPath == nullptr || szPath[0] == '\0') {
    *pError = "no path";
    return false;
  }
  if (::stat(szPath, &st) != 0) {
    *pError = Errno(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    const mode_t m = st.st_mode;
    const char* kind = S_ISDIR(m)                 ? "a folder"
                       : S_ISFIFO(m)              ? "a named pipe"
                       : S_ISCHR(m) || S_ISBLK(m) ? "a device"
                       : S_ISSOCK(m)              ? "a socket"
                                                  : "a special file";
    *pError = std::string(kind) + ", not a regular file";
    return false;
  }
  if (::access(szPath, R_OK) != 0) {
    *pError = Errno(errno);
    return false;
  }
  return true;
}

namespace {

FileStamp StampOfStat(const struct stat& st) {
  const auto ns = [](const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  FileStamp s;
  s.known = true;
  s.regular = S_ISREG(st.st_mode);
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.modified = ns(st.st_mtim);
  s.changed = ns(st.st_ctim);
  return s;
}

}  // namespace

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileStamp();
  return StampOfStat(st);
}

bool ReadStampedFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                     FileStamp* pStamp, std::string* pError) {
  pBytes->clear();
  *pStamp = FileStamp();
  // Without blocking: the path may have become a named pipe since it was
  // looked at.
  const int fd = ::open(szPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    *pError = Errno(errno);
    return false;
  }
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (!ok) {
    *pError = "not a regular file";
  } else if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > nMaxBytes) {
    *pError = "larger than " + std::to_string(nMaxBytes) + " bytes";
    ok = false;
  }
  if (ok) {
    pBytes->resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (ok && done < pBytes->size()) {
      const ssize_t n = ::read(fd, pBytes->data() + done, pBytes->size() - done);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n < 0) {
        *pError = Errno(errno);
        ok = false;
      }
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    pBytes->resize(ok ? done : 0);  // a file that shrank while read is judged on what was read
  }
  ::close(fd);
  if (ok) *pStamp = StampOfStat(st);
  return ok;
}

FileReplacement::~FileReplacement() { Discard(); }

void FileReplacement::Discard() {
  if (m_fd < 0) return;
  // Removed while still held, so that no sweep meanwhile takes it for left
  // over.
  ::unlink(m_temp.c_str());
  detail::ReleaseOwnTemporary(m_fd);
  ::close(m_fd);
  m_fd = -1;
  m_temp.clear();
  m_pending.clear();
}

bool FileReplacement::Begin(const char* szPath, std::string* pError) {
  Discard();
  m_nWriteError = 0;
  if (szPath == nullptr || szPath[0] == '\0') {
    *pError = "no path";
    return false;
  }
  bool exists = false;
  struct stat st {};
  if (!ResolveTarget(szPath, &m_target, &exists, &st, pError)) return false;
  if (exists) {
    if (!S_ISREG(st.st_mode)) {
      *pError = m_target + " is not a regular file";
      return false;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(m_target.c_str(), W_OK) != 0) {
      *pError = m_target + " is read-only";
      return false;
    }
  }

  // Written beside the target and renamed over it; what killed writers of
  // the target left there goes first. An existing file's bits are set before
  // any byte is written; a new file takes the process's usual mode for new
  // files.
  detail::RemoveLeftTemporaries(m_target);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && fd < 0; ++attempt) {
    temp = TemporaryName(m_target, ::getpid(), detail::NextTemporaryNumber());
    fd = detail::CreateOwnTemporary(temp, exists ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *pError = "cannot create " + m_target + ": " + Errno(errno);
    return false;
  }
  m_fd = fd;
  m_temp = temp;
  if (exists) {
    // The owner where the process may give it (changing it may clear the
    // set-ID bits, so the mode follows).
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)::fchown(fd, st.st_uid, st.st_gid);
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
      *pError = "cannot write " + m_target + ": " + Errno(errno);
      Discard();
      return false;
    }
  }
  return true;
}

// Appends are gathered into writes of this many bytes: a writer such as
// cairo's PDF surface hands over a few bytes at a time.
constexpr std::size_t kWriteChunk = std::size_t{1} << 16;

bool FileReplacement::Flush() {
  if (m_fd < 0 || m_nWriteError != 0) return false;
  if (!m_pending.empty() && !WriteAll(m_fd, m_pending.data(), m_pending.size())) {
    m_nWriteError = errno != 0 ? errno : EIO;
    return false;
  }
  m_pending.clear();
  return true;
}

bool FileReplacement::Write(const void* pData, std::size_t nSize) {
  if (m_fd < 0 || m_nWriteError != 0) return false;
  const auto* p = static_cast<const std::uint8_t*>(pData);
  if (m_pending.size() + nSize < kWriteChunk) {
    m_pending.insert(m_pending.end(), p, p + nSize);
    return true;
  }
  if (!Flush()) return false;
  if (!WriteAll(m_fd, p, nSize)) {
    m_nWriteError = errno != 0 ? errno : EIO;
    return false;
  }
  return true;
}

bool FileReplacement::WriteAt(std::uint64_t nOffset, const void* pData, std::size_t nSize) {
  if (!Flush()) return false;
  const auto* p = static_cast<const std::uint8_t*>(pData);
  while (nSize > 0) {
    const ssize_t n = ::pwrite(m_fd, p, nSize, static_cast<off_t>(nOffset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_nWriteError = n < 0 && errno != 0 ? errno : EIO;
      return false;
    }
    p += n;
    nSize -= static_cast<std::size_t>(n);
    nOffset += static_cast<std::uint64_t>(n);
  }
  return true;
}

std::string FileReplacement::WriteError() const {
  return m_nWriteError != 0 ? Errno(m_nWriteError) : std::string();
}

bool FileReplacement::Commit(std::string* pError) {
  if (m_fd < 0) {
    *pError = "no file is being written";
    return false;
  }
  Flush();
  int err = m_nWriteError;
  if (err == 0 && ::fsync(m_fd) != 0) err = errno;
  if (err != 0) {
    *pError = "cannot write " + m_target + ": " + Errno(err);
    Discard();
    return false;
  }
  // Renamed while it is still held: another process's save of the same file
  // that finds the temporary meanwhile takes it for a live writer's, and one
  // that looks at the name after the rename finds nothing there.
  detail::BeforeRename(m_temp);
  if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
    *pError = "cannot replace " + m_target + ": " + Errno(errno);
    Discard();
    return false;
  }
  detail::ReleaseOwnTemporary(m_fd);
  // The flush has said how the writes went: what closing says after it no
  // longer changes the file now in place.
  ::close(m_fd);
  m_fd = -1;
  m_temp.clear();
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool WriteWholeFile(const char* szPath, const void* pData, std::size_t nSize, std::string* pError) {
  FileReplacement file;
  if (!file.Begin(szPath, pError)) return false;
  file.Write(pData, nSize);
  return file.Commit(pError);
}

}  // namespace md::files
