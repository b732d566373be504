// Temporaries of ended writers: found by name, told from live ones by their
// lock, removed by the next writer (see leftovers.h and filestore.h).
#include "platform/files/leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <list>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace md::files {
namespace detail {
namespace {

std::atomic<SweepClock> g_clock{nullptr};
std::atomic<RenameHook> g_renameHook{nullptr};
std::atomic<bool> g_locksMissing{false};

std::int64_t NowSeconds() {
  if (const SweepClock clock = g_clock.load()) return clock();
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The process and the target's file name of a name "<base>.tmp.<pid>.<n>"
// (TemporaryName), or a pid of 0 for any other name.
pid_t TemporaryOwner(std::string_view name, std::string_view* pBase) {
  constexpr std::string_view kInfix = ".tmp.";
  const std::size_t at = name.rfind(kInfix);
  if (at == std::string_view::npos || at == 0) return 0;
  const std::string_view rest = name.substr(at + kInfix.size());
  const std::size_t dot = rest.find('.');
  if (dot == std::string_view::npos || DecimalOf(rest.substr(dot + 1), UINT_MAX) < 0) return 0;
  const long long pid = DecimalOf(rest.substr(0, dot), INT_MAX);
  if (pid <= 0) return 0;
  *pBase = name.substr(0, at);
  return static_cast<pid_t>(pid);
}

// Whether a process of that ID runs (one this process may not signal does).
bool Runs(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

// The temporaries this process is writing now, by device and inode (their
// paths may be spelled many ways), whatever the file system's locks say of
// them. A sweep decides and removes under the mutex, and a temporary is
// marked under it before its name is checked: a sweep either sees the mark
// or removes the name before that check, which then finds it taken.
using FileId = std::pair<dev_t, ino_t>;
std::mutex g_ownMutex;
std::set<FileId> g_own;

bool IdOf(int fd, FileId* pId) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  *pId = {st.st_dev, st.st_ino};
  return true;
}

// What a reading of a folder found: the names of the temporaries in it, of
// every target, and when it was read.
struct FolderLook {
  std::string folder;
  std::int64_t at = 0;
  std::vector<std::string> temporaries;
};
constexpr std::size_t kFoldersRemembered = 64;
std::mutex g_looksMutex;
std::list<FolderLook> g_looks;  // most recent first

// The temporaries of the folder, from a reading younger than
// kFolderLookSeconds or from a new one.
std::vector<std::string> TemporariesIn(const std::string& folder) {
  const std::int64_t now = NowSeconds();
  {
    std::lock_guard<std::mutex> lock(g_looksMutex);
    for (const FolderLook& look : g_looks) {
      if (look.folder == folder && now >= look.at && now - look.at < kFolderLookSeconds)
        return look.temporaries;
    }
  }
  FolderLook look;
  look.folder = folder;
  look.at = now;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      std::string_view base;
      if (TemporaryOwner(entry->d_name, &base) != 0) look.temporaries.emplace_back(entry->d_name);
    }
    ::closedir(dir);
  }
  std::vector<std::string> names = look.temporaries;
  std::lock_guard<std::mutex> lock(g_looksMutex);
  g_looks.remove_if([&](const FolderLook& l) { return l.folder == folder; });
  g_looks.push_front(std::move(look));
  if (g_looks.size() > kFoldersRemembered) g_looks.pop_back();
  return names;
}

// The name is gone from the folder (removed, or no longer found).
void Gone(const std::string& folder, const std::string& name) {
  std::lock_guard<std::mutex> lock(g_looksMutex);
  for (FolderLook& look : g_looks) {
    if (look.folder == folder) std::erase(look.temporaries, name);
  }
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

long long DecimalOf(std::string_view digits, long long most) {
  if (digits.empty() || digits.size() > 10 || (digits[0] == '0' && digits.size() > 1)) return -1;
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= most ? value : -1;
}

SweepClock SetSweepClock(SweepClock clock) { return g_clock.exchange(clock); }
RenameHook SetRenameHook(RenameHook hook) { return g_renameHook.exchange(hook); }
bool SetLocksMissing(bool missing) { return g_locksMissing.exchange(missing); }

void BeforeRename(const std::string& temp) {
  if (const RenameHook hook = g_renameHook.load()) hook(temp);
}

LockProbe ProbeLock(int fd) {
  if (g_locksMissing.load()) return LockProbe::NoLocks;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockProbe::Free;
  return errno == EWOULDBLOCK ? LockProbe::Held : LockProbe::NoLocks;
}

bool StillNames(int dirFd, const char* name, int fd) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool LeftBy(int fd, pid_t owner) {
  switch (ProbeLock(fd)) {
    case LockProbe::Free:
      return true;
    case LockProbe::Held:
      return false;
    case LockProbe::NoLocks:
      // Without locks the process ID alone tells; one that is this
      // process's own but not being written was left by an earlier process
      // that had the same ID.
      return owner == ::getpid() || !Runs(owner);
  }
  return false;
}

void RemoveLeftTemporaries(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string_view base = std::string_view(target).substr(target.rfind('/') + 1);
  std::vector<std::string> names;
  for (std::string& name : TemporariesIn(folder)) {
    std::string_view of;
    if (TemporaryOwner(name, &of) != 0 && of == base) names.push_back(std::move(name));
  }
  if (names.empty()) return;
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  for (const std::string& name : names) {
    std::string_view of;
    const pid_t owner = TemporaryOwner(name, &of);
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      if (errno == ENOENT) Gone(folder, name);
      continue;
    }
    struct stat st;
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      std::lock_guard<std::mutex> lock(g_ownMutex);
      removed = g_own.count({st.st_dev, st.st_ino}) == 0 && LeftBy(fd, owner) &&
                StillNames(dirFd, name.c_str(), fd) && ::unlinkat(dirFd, name.c_str(), 0) == 0;
    }
    if (removed) Gone(folder, name);
    ::close(fd);
  }
  ::close(dirFd);
}

unsigned NextTemporaryNumber() {
  static std::atomic<unsigned> counter{0};
  return counter.fetch_add(1);
}

int CreateOwnTemporary(const std::string& temp, mode_t mode) {
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  FileId id;
  bool marked = IdOf(fd, &id);
  if (marked) {
    std::lock_guard<std::mutex> lock(g_ownMutex);
    g_own.insert(id);
  }
  // Held while it is written, so that no other process takes it for left
  // over. Another process's sweep, or this one's before the mark, that took
  // it between the creation and the lock removes it: the name is then given
  // up as taken.
  struct stat named {};
  if (!marked || ProbeLock(fd) == LockProbe::Held || ::stat(temp.c_str(), &named) != 0 ||
      FileId(named.st_dev, named.st_ino) != id) {
    ReleaseOwnTemporary(fd);
    ::close(fd);
    errno = EEXIST;
    return -1;
  }
  return fd;
}

void ReleaseOwnTemporary(int fd) {
  FileId id;
  if (!IdOf(fd, &id)) return;
  std::lock_guard<std::mutex> lock(g_ownMutex);
  g_own.erase(id);
}

}  // namespace detail

}  // namespace md::files
