// Library files in the configuration folder.
#include "layout/graphicelement/element/libraryfile.h"

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "platform/files/filestore.h"

namespace md::layout {

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

LibraryFileRead ReadLibraryFile(const std::string& path, std::vector<unsigned char>* pBytes,
                                const char* szMethod) {
  std::string why;
  bool missing = false;
  if (md::files::ReadWholeFile(path.c_str(), kMaxLibraryFileBytes, pBytes, &why, &missing)) {
    return LibraryFileRead::Read;
  }
  if (missing) return LibraryFileRead::Missing;
  GIS_LOG(GIS_LOG_LEVEL_STORAGE, szMethod, "cannot read %s: %s", path.c_str(), why.c_str());
  return LibraryFileRead::Unreadable;
}

bool ReplaceFile(const std::string& path, const unsigned char* pData, std::size_t nSize,
                 const char* szMethod) {
  std::string why;
  if (md::files::WriteWholeFile(path.c_str(), pData, nSize, &why)) return true;
  GIS_LOG(GIS_LOG_LEVEL_STORAGE, szMethod, "cannot write the library: %s", why.c_str());
  return false;
}

}  // namespace md::layout
