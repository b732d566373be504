// Reading and writing whole files the one way the data files of the host and
// the library (documents, feature sets, libraries, pictures, printed pages)
// are read and written: reads take regular files only, never block on
// a pipe or a device and refuse a file larger than the caller's limit;
// writes go through a temporary file beside the target and a rename, so the
// file is either the old one or the whole new one, and keep what the user
// set on the file (permission bits, owner, symbolic links, read-only).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace md::files {

// Reads the whole regular file at szPath into *pBytes. Anything that is not a
// regular file (a folder, a named pipe, a device) is refused before it is
// read, and the file is opened without blocking. A file larger than nMaxBytes
// is refused. On failure *pError says why (no path in it), *pBytes is left
// empty and *pMissing, when given, tells whether nothing is at the path.
bool ReadWholeFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                   std::string* pError, bool* pMissing = nullptr);

// A regular file read a piece at a time, opened as ReadWholeFile opens it
// (regular files only, without blocking, no larger than the caller's limit).
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False (*pError says why, no path in it; *pMissing, when given, whether
  // nothing is at the path) as ReadWholeFile would refuse the file.
  bool Open(const char* szPath, std::size_t nMaxBytes, std::string* pError, bool* pMissing = nullptr);
  // The file's length when it was opened.
  std::uint64_t size() const { return m_size; }
  // Reads up to nSize bytes into pData; *pRead is 0 at the end of the file.
  // False (*pError says why) when the read failed.
  bool Read(void* pData, std::size_t nSize, std::size_t* pRead, std::string* pError);

 private:
  int m_fd = -1;
  std::uint64_t m_size = 0;
};

// Whether szPath is a regular file this process may read, found without
// opening anything that could block; *pError says why not (no path in it):
// the system's reason, or what the path names instead of a regular file
// ("a folder, not a regular file").
bool IsReadableFile(const char* szPath, std::string* pError);

// What tells one version of a file from another: its device, inode, size
// and modification and change times (nanoseconds); `known` is false when
// nothing could be found at the path, `regular` whether it is a regular file.
struct FileStamp {
  bool known = false;
  bool regular = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified = 0, changed = 0;
  bool operator==(const FileStamp&) const = default;
  // The later of the two times: when the file last changed.
  std::int64_t LastChange() const { return modified > changed ? modified : changed; }
};
FileStamp StampOf(const std::string& path);

// Reads the whole regular file at szPath as ReadWholeFile does, opening the
// path once: the caller has just found a regular file there (StampOf), so it
// is opened at once, and the file opened is checked all the same. *pStamp is
// the stamp of the file read, taken from its descriptor before reading, so
// that a change made while it is read shows in a later stamp.
bool ReadStampedFile(const char* szPath, std::size_t nMaxBytes, std::vector<std::uint8_t>* pBytes,
                     FileStamp* pStamp, std::string* pError);

// The name of the temporary file the process `pid` writes its `n`th
// replacement (counted from 0) of the file `target` under, beside it:
// "<target>.tmp.<pid>.<n>", both numbers decimal without leading zeros.
std::string TemporaryName(const std::string& target, pid_t pid, unsigned n);

// A file being replaced: what is written goes to a new temporary file beside
// the target (TemporaryName), which Commit renames over it. A symbolic link is
// followed and its target written (the link stays); a new file gets the usual
// mode for new files, an existing one keeps its permission bits and, where
// the process may set them, its owner and group. A target that is not a
// regular file or that is read-only is refused by Begin, the file left as it
// was. Ended without a successful Commit, the temporary file is removed and
// the target unchanged. A process killed while it writes leaves its
// temporary file behind, the target whole: Begin first removes the
// temporaries of the same target that no process holds locked (the writer
// holds its own locked until it is renamed onto the target), whatever process
// ID they name, regular files only, leaving every other file alone; on a file
// system without locks, those whose process no longer runs (this process
// knows its own by the files they are, however their target was spelled). The folder is read whole for them
// when this process has not read it for 30 seconds; in between, the temporaries found then are checked again,
// so that saves in a folder of many files stay quick. A name that is taken is passed over for the next one: a
// save never fails for it.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Starts replacing the file at szPath; FALSE (nothing made, *pError says
  // why, naming the file it concerns) when the target is refused or the
  // temporary file cannot be made. Errors name the file written, never its
  // temporary.
  bool Begin(const char* szPath, std::string* pError);
  // Appends the bytes; false once any write failed.
  bool Write(const void* pData, std::size_t nSize);
  // Overwrites bytes already written at nOffset; false once any write failed.
  bool WriteAt(std::uint64_t nOffset, const void* pData, std::size_t nSize);
  // Puts the new file in place of the old; false (*pError says why, the
  // temporary removed, the target unchanged) when a write, the flush or the
  // rename failed.
  bool Commit(std::string* pError);
  // Whether a write failed (Commit then says why).
  bool WriteFailed() const { return m_nWriteError != 0; }
  // The system's reason the first failed write failed; empty while none did.
  std::string WriteError() const;

 private:
  void Discard();
  // Writes what Write() gathered; false once any write failed.
  bool Flush();

  std::vector<std::uint8_t> m_pending;  // appended bytes not yet written
  std::string m_target;
  std::string m_temp;
  int m_fd = -1;
  int m_nWriteError = 0;
};

// Replaces the file at szPath with the bytes, as FileReplacement does. On
// failure *pError says why (naming the file it concerns) and nothing was
// changed.
bool WriteWholeFile(const char* szPath, const void* pData, std::size_t nSize, std::string* pError);

}  // namespace md::files
