// A folder of this process's own inside a shared one, for files that last
// no longer than the process that writes them, and the removal of those
// that killed processes left.
#pragma once

#include <mutex>
#include <string>

namespace md::files {

// "<parent>/<prefix><pid>.<n>", made when first asked for, held locked
// (flock) while this object lives, and removed with what it holds when the
// object ends. A process killed before, or one that never ended its object,
// leaves its folder behind: making a folder first removes those of the same
// prefix in `parent` that are this user's and that no process holds (on a
// file system without locks, those whose process has ended), with what they
// hold (the folders in them too, when this user's, a few levels down; never
// through a symbolic link), and nothing else.
class ProcessFolder {
 public:
  ProcessFolder(std::string parent, std::string prefix);
  ~ProcessFolder();
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;

  // The folder, made on the first call; "" with *pError saying why when it
  // cannot be made (the next call tries again).
  std::string Path(std::string* pError);

 private:
  std::mutex m_mutex;
  std::string m_parent, m_prefix, m_path;
  int m_fd = -1;
};

}  // namespace md::files
