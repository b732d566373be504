// Library files in the configuration folder.
#include "layout/graphicelement/element/libraryfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"

namespace md::layout {
namespace {

bool WriteAll(int fd, const unsigned char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

}  // namespace

std::string GlobalSetting(const char* szKey, const char* szDefault) {
  IGIS_GlobalProperties* pGlobals = GIS_GetGlobalProperties();
  if (pGlobals == nullptr) return szDefault != nullptr ? szDefault : "";
  IGIS_Field* pField = pGlobals->GetProperty(szKey);
  if (pField == nullptr && szDefault != nullptr) {
    pField = GIS_CreateFieldObject();
    if (pField != nullptr) {
      pField->SetName(szKey);
      pField->SetDescription(szKey);
      pField->SetType(GIS_FIELD_TYPE_STRING);
      pField->SetString(szDefault);
      if (!pGlobals->AddProperty(pField)) pField->Release();
      pField = pGlobals->GetProperty(szKey);
    }
    if (pField == nullptr) return szDefault;
  }
  const char* s = pField != nullptr ? pField->GetString() : nullptr;
  return s != nullptr ? s : "";
}

std::string LibraryFilePath(const char* szFileKey, const char* szDefaultFile) {
  const std::string dir = GlobalSetting("GLOBAL_GRAPHICELEMENT_CFG_DIR", nullptr);
  const std::string file = GlobalSetting(szFileKey, szDefaultFile);
  if (dir.empty() || file.empty()) return std::string();
  return dir.back() == '/' ? dir + file : dir + "/" + file;
}

bool ReplaceFile(const std::string& path, const unsigned char* pData, std::size_t nSize,
                 const char* szMethod) {
  static std::atomic<unsigned> counter{0};
  const std::string temp =
      path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, szMethod, "cannot create %s: %s", temp.c_str(), std::strerror(errno));
    return false;
  }
  bool bOk = WriteAll(fd, pData, nSize) && ::fsync(fd) == 0;
  const int nErr = errno;
  bOk = ::close(fd) == 0 && bOk;
  if (!bOk) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, szMethod, "cannot write %s: %s", temp.c_str(), std::strerror(nErr));
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, szMethod, "cannot rename %s to %s: %s", temp.c_str(), path.c_str(),
            std::strerror(errno));
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace md::layout
