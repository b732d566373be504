// What writers that ended part-way (killed, or the machine stopped) left
// beside the files they wrote, and how later writers remove it: the parts
// of the file store that FileReplacement and ProcessFolder share.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace md::files::detail {

// The folder of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// The value of `digits` when they are a decimal number as std::to_string
// writes it (no sign, no leading zero) and at most `most`, else -1.
long long DecimalOf(std::string_view digits, long long most);

// How taking a file's lock (flock, exclusive) without waiting came out.
enum class LockProbe { Free, Held, NoLocks };
// Free when no process held it (the caller holds it now), Held when one
// does, NoLocks where the file system keeps none.
LockProbe ProbeLock(int fd);
// Whether `name` in the folder open as dirFd still names the open file fd.
bool StillNames(int dirFd, const char* name, int fd);
// Whether the open file or folder fd, made by the process `owner` and held
// locked by it while in use, was left behind: no process holds it, or, on a
// file system without locks, that process has ended (or the ID is this
// process's, which would know its own).
bool LeftBy(int fd, pid_t owner);

// Removes the temporary files that replacements of `target` left in its
// folder (filestore.h, FileReplacement). A folder is read whole when this
// process has not read it for kFolderLookSeconds; in between, the
// temporaries that reading found are checked again, so that saving again
// and again in a folder of many files does not read them all each time.
void RemoveLeftTemporaries(const std::string& target);
constexpr std::int64_t kFolderLookSeconds = 30;

// The number of this process's next temporary file (TemporaryName's n),
// each asked for once.
unsigned NextTemporaryNumber();

// Makes `temp` (exclusively, with `mode`), held locked and known as this
// process's own by the file it is, so that no sweep takes it for left over:
// -1 with errno set when it cannot be made, EEXIST when the name is taken.
int CreateOwnTemporary(const std::string& temp, mode_t mode);
// The temporary open as fd is no longer this process's to write (renamed or
// removed); called while it is still open.
void ReleaseOwnTemporary(int fd);

// The clock the folders' readings age by, in seconds of a steady clock, so
// that a test decides when a folder is read again; NULL: the system's.
// Answers the clock it replaced.
using SweepClock = std::int64_t (*)();
SweepClock SetSweepClock(SweepClock clock);

// Called with the temporary's path just before a commit renames it onto its
// target, so that a test can act at that moment; NULL: nothing. Answers the
// hook it replaced.
using RenameHook = void (*)(const std::string& temp);
RenameHook SetRenameHook(RenameHook hook);
void BeforeRename(const std::string& temp);

// Whether locks are taken to be missing, as on a file system that keeps
// none, so that a test takes the way saves go there. Answers the setting it
// replaced.
bool SetLocksMissing(bool missing);

}  // namespace md::files::detail
