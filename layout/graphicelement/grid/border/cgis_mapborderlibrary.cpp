// The border library file.
#include "layout/graphicelement/grid/border/cgis_mapborderlibrary.h"

#include <cstring>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/libraryfile.h"

namespace {

using md::basilo::ReleasePtr;

constexpr const char* kFileKey = "GLOBAL_GRAPHICELEMENT_CFG_MAPBORDER";
constexpr const char* kDefaultFile = "mapborder.ets";

}  // namespace

CGIS_MapBorderLibrary::~CGIS_MapBorderLibrary() { Clear(); }

void CGIS_MapBorderLibrary::Clear() {
  m_borders.clear();
  m_kept.clear();
}

std::string CGIS_MapBorderLibrary::GetFilePath() {
  return md::layout::LibraryFilePath(kFileKey, kDefaultFile);
}

bool CGIS_MapBorderLibrary::Init() { return Load(GetFilePath()); }

bool CGIS_MapBorderLibrary::Load(const std::string& path) {
  constexpr const char* kMethod = "CGIS_MapBorderLibrary::Init";
  Clear();
  m_path = path;
  m_bUnreadable = false;
  if (path.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "no configuration folder: the border library is not read");
    return false;
  }
  std::vector<unsigned char> bytes;
  switch (md::layout::ReadLibraryFile(path, &bytes, kMethod)) {
    case md::layout::LibraryFileRead::Missing:
      return true;  // no library yet
    case md::layout::LibraryFileRead::Unreadable:
      m_bUnreadable = true;
      return false;
    case md::layout::LibraryFileRead::Read:
      break;
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!buffer || !set || !buffer->SetSize(static_cast<int>(bytes.size()))) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_databuffer == NULL");
    m_bUnreadable = true;
    return false;
  }
  if (!bytes.empty()) std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
  if (!set->Archive(buffer.get(), GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s is not a border library: it is left as it is", path.c_str());
    m_bUnreadable = true;
    return false;
  }
  IGIS_MapBorderFactory* pFactory = GIS_GetMapBorderFactoryObject();
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    IGIS_DataBuffer* pEntry = f->GetDataBuffer();
    if (pEntry == nullptr) {
      // Not an entry this library writes: the file is not rewritten.
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_field == NULL");
      m_bUnreadable = true;
      continue;
    }
    IGIS_MapBorder* pBorder = pFactory != nullptr ? pFactory->CreateMapborderFromBuffer(pEntry) : nullptr;
    if (pBorder != nullptr) {
      m_borders.emplace_back(pBorder);
      continue;
    }
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapborder == NULL");
    const unsigned char* p = pEntry->GetData();
    m_kept.emplace_back(p, p + (p != nullptr ? pEntry->GetSize() : 0));
  }
  return !m_bUnreadable;
}

bool CGIS_MapBorderLibrary::SaveToFile() { return Save(m_path.empty() ? GetFilePath() : m_path); }

bool CGIS_MapBorderLibrary::Save(const std::string& path) {
  constexpr const char* kMethod = "CGIS_MapBorderLibrary::SaveToFile";
  if (path.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "no configuration folder: the border library is not written");
    return false;
  }
  if (m_bUnreadable && path == m_path) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "%s could not be read: it is left as it is", path.c_str());
    return false;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(1024));
  if (!set || !buffer) return false;
  int nIndex = 0;
  auto entry = [&]() -> IGIS_DataBuffer* {
    const std::string key = std::to_string(nIndex++);
    IGIS_Field* f = set->AddProperty(key.c_str(), key.c_str(), GIS_FIELD_TYPE_BUFFER, 1);
    if (f == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_field == NULL");
    return f != nullptr ? f->GetDataBuffer() : nullptr;
  };
  for (const ReleasePtr<IGIS_MapBorder>& pBorder : m_borders) {
    if (IGIS_DataBuffer* b = entry()) pBorder->Save(b);
  }
  for (const std::vector<unsigned char>& bytes : m_kept) {
    IGIS_DataBuffer* b = entry();
    if (b == nullptr || !b->SetSize(static_cast<int>(bytes.size()))) continue;
    if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
  }
  if (!set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kMethod, "the library could not be stored");
    return false;
  }
  const unsigned char* p = buffer->GetData();
  return md::layout::ReplaceFile(path, p, p != nullptr ? static_cast<std::size_t>(buffer->GetSize()) : 0,
                                 kMethod);
}

IGIS_MapBorder* CGIS_MapBorderLibrary::GetMapBorder(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return nullptr;
  return m_borders[static_cast<std::size_t>(nIndex)].get();
}

bool CGIS_MapBorderLibrary::AddMapBorder(IGIS_MapBorder* pBorder) {
  if (pBorder == nullptr) return false;
  IGIS_MapBorder* pCopy = pBorder->Clone();
  if (pCopy == nullptr) return false;
  pCopy->SetName(pBorder->GetName());  // a library entry is known by its name
  m_borders.emplace_back(pCopy);
  return true;
}

bool CGIS_MapBorderLibrary::RemoveMapBorder(int nIndex) {
  if (GetMapBorder(nIndex) == nullptr) return false;
  m_borders.erase(m_borders.begin() + nIndex);
  return true;
}
