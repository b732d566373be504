// The shared temporary folder of this user, or a folder of this process's
// own beside it when another user took the shared name.
#include "host/basilo/tempdir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/errortext.h"

namespace {

// A folder only this user can use: a directory (not a link) owned by us.
bool UsableFolder(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && ::access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string md::basilo::MakeTempDir(const std::string& base, std::unique_ptr<md::files::ProcessFolder>* pOwn,
                                    std::string* pError) {
  const std::string uid = std::to_string(::getuid());
  const std::string shared = base + "/mapdeck-" + uid;
  if (::mkdir(shared.c_str(), 0700) == 0) return shared;
  const int error = errno;
  if (error != EEXIST) {
    *pError = md::files::ErrorText(error);
    return "";
  }
  if (UsableFolder(shared)) return shared;
  // The shared name is taken by someone else: a folder of this process's own.
  auto own = std::make_unique<md::files::ProcessFolder>(base, "mapdeck-" + uid + "-");
  std::string path = own->Path(pError);
  if (path.empty()) return "";
  *pOwn = std::move(own);
  return path;
}

std::string md::basilo::ChooseTempDir(const std::string& variable, const std::string& wanted,
                                      const std::string& fallback,
                                      std::unique_ptr<md::files::ProcessFolder>* pOwn, std::string* pNote) {
  std::string why;
  if (!wanted.empty()) {
    struct stat st;
    if (::stat(wanted.c_str(), &st) != 0) {
      why = md::files::ErrorText(errno);
    } else if (!S_ISDIR(st.st_mode)) {
      why = "not a folder";
    } else {
      const std::string dir = MakeTempDir(wanted, pOwn, &why);
      if (!dir.empty()) return dir;
    }
  }
  std::string error;
  const std::string dir = MakeTempDir(fallback, pOwn, &error);
  const std::string passed =
      wanted.empty() ? ""
                     : "the temporary folder " + wanted + " (" + variable + ") cannot be used (" + why + ")";
  if (!dir.empty()) {
    if (!wanted.empty()) *pNote = passed + ": this process's log and pictures go to " + dir + " instead";
    return dir;
  }
  // Neither can be made: the log's records go to standard error.
  *pNote = (wanted.empty() ? "the temporary folder " + fallback + " cannot be used"
                           : passed + ", nor can " + fallback) +
           " (" + error + "): this process has no folder for its log and pictures; its records go to its " +
           "standard error";
  return fallback;
}
