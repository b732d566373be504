// The shared temporary folder of this user, or a folder of this process's
// own beside it when another user took the shared name.
#include "host/basilo/tempdir.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder only this user can use: a directory (not a link) owned by us.
bool UsableFolder(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && ::access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string md::basilo::MakeTempDir(const std::string& base,
                                    std::unique_ptr<md::files::ProcessFolder>* pOwn) {
  const std::string uid = std::to_string(::getuid());
  const std::string shared = base + "/mapdeck-" + uid;
  if (::mkdir(shared.c_str(), 0700) == 0 || UsableFolder(shared)) return shared;
  // The shared name is taken by someone else: a folder of this process's own.
  auto own = std::make_unique<md::files::ProcessFolder>(base, "mapdeck-" + uid + "-");
  std::string error;
  std::string path = own->Path(&error);
  if (path.empty()) return base;
  *pOwn = std::move(own);
  return path;
}
