// The files kept pictures are drawn from: one file of the temporary folder per
// picture content, shared by every element holding that content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/filestore.h"

namespace md::layout {

// A kept picture's file. It is made when the first element takes the content,
// stays while an element holds it, so that the decoded-picture cache keyed by
// path hits, and is removed (and its decoded picture dropped from the cache)
// when the last holder lets go, or when the library is unloaded.
class KeptPictureFile {
 public:
  KeptPictureFile(std::string path, std::vector<std::uint8_t> bytes, std::uint64_t hash,
                  std::string extension);
  ~KeptPictureFile();
  KeptPictureFile(const KeptPictureFile&) = delete;
  KeptPictureFile& operator=(const KeptPictureFile&) = delete;

  const std::string& Path() const { return m_path; }
  // The file holds exactly these bytes under this extension.
  bool Holds(const void* pData, std::size_t nSize, const std::string& extension) const;
  // The file is still the one written: not removed, replaced or rewritten
  // by anyone else since.
  bool Intact() const;

 private:
  friend class KeptPictureRegistry;
  std::string m_path;
  std::vector<std::uint8_t> m_bytes;
  std::uint64_t m_hash;
  std::string m_extension;
  // What the file was when written.
  md::files::FileStamp m_stamp;
};

using KeptPicturePtr = std::shared_ptr<const KeptPictureFile>;

// The file of the content: the one made already while any holder keeps it
// (and it is intact), otherwise a new file named after the content's hash
// (with the extension when it is a plain word; created exclusively, a name
// taken by another file gets "-1", "-2", ...) in this process's own folder
// inside `folder` (md::files::ProcessFolder, "kept.<pid>.<n>"): held while
// the process lives, removed with it, and removed by the next process to keep
// a picture when this one was killed. NULL when no file could be written
// whole; *pAttempted then names the path tried, or why the folder could not
// be made.
KeptPicturePtr KeepPicture(const std::string& folder, const void* pData, std::size_t nSize,
                           const std::string& extension, std::string* pAttempted);

// Number of kept files alive in this process, for tests.
std::size_t KeptPictureCount();

}  // namespace md::layout
