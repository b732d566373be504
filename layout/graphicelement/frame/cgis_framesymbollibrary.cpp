// The frame symbol libraries.
#include "layout/graphicelement/frame/cgis_framesymbollibrary.h"

#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/libraryfile.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"

namespace {

using md::basilo::ReleasePtr;

// Records name the selector's operations, which read and write through here.
constexpr const char* kInit = "CGIS_FrameSelectorDlg::Init";
constexpr const char* kSave = "CGIS_FrameSelectorDlg::SaveToFile";

struct ModeFile {
  const char* szKey;
  const char* szDefault;
};
constexpr ModeFile kModeFiles[] = {
    {"GLOBAL_GRAPHICELEMENT_CFG_FRAME_BORDER", "frameborder.ets"},
    {"GLOBAL_GRAPHICELEMENT_CFG_FRAME_BACKGROUND", "framebackground.ets"},
    {"GLOBAL_GRAPHICELEMENT_CFG_FRAME_SHADOW", "frameshadow.ets"},
};

std::string Name(const char* szText) {
  if (szText == nullptr) return std::string();
  const std::size_t n = md::layout::Utf8CutLength(szText, std::strlen(szText), GIS_FRAME_SYMBOL_NAME_MAX);
  return std::string(szText, n);
}

// Keeps what a field holds, to write it back as it was.
void Carry(IGIS_Field* pField, SGIS_FrameSymbolItem* pItem) {
  pItem->nStoredType = pField->GetType();
  switch (pItem->nStoredType) {
    case GIS_FIELD_TYPE_BUFFER:
      if (IGIS_DataBuffer* b = pField->GetDataBuffer(); b != nullptr && b->GetData() != nullptr) {
        pItem->storedBytes.assign(b->GetData(), b->GetData() + b->GetSize());
      }
      break;
    case GIS_FIELD_TYPE_INT:
      pItem->nStored = pField->GetInt();
      break;
    case GIS_FIELD_TYPE_DOUBLE:
      pItem->dStored = pField->GetDouble();
      break;
    case GIS_FIELD_TYPE_BOOL:
      pItem->bStored = pField->GetBool();
      break;
    default:
      pItem->strStored = pField->GetString() != nullptr ? pField->GetString() : "";
      break;
  }
}

void WriteCarried(const SGIS_FrameSymbolItem& item, IGIS_Field* pField) {
  switch (item.nStoredType) {
    case GIS_FIELD_TYPE_BUFFER:
      if (IGIS_DataBuffer* b = pField->GetDataBuffer();
          b != nullptr && b->SetSize(static_cast<int>(item.storedBytes.size())) &&
          !item.storedBytes.empty()) {
        std::memcpy(b->GetData(), item.storedBytes.data(), item.storedBytes.size());
      }
      break;
    case GIS_FIELD_TYPE_INT:
      pField->SetInt(item.nStored);
      break;
    case GIS_FIELD_TYPE_DOUBLE:
      pField->SetDouble(item.dStored);
      break;
    case GIS_FIELD_TYPE_BOOL:
      pField->SetBool(item.bStored);
      break;
    default:
      pField->SetString(item.strStored.c_str());
      break;
  }
}

}  // namespace

std::string CGIS_FrameSymbolLibrary::PathForMode(int nMode) {
  if (nMode < GIS_FRAME_LIBRARY_BORDER || nMode > GIS_FRAME_LIBRARY_SHADOW) return std::string();
  const ModeFile& m = kModeFiles[nMode];
  return md::layout::LibraryFilePath(m.szKey, m.szDefault);
}

CGIS_FrameSymbolLibrary::FileState CGIS_FrameSymbolLibrary::Load(const std::string& path) {
  m_entries.clear();
  m_path = path;
  m_bChanged = false;
  m_state = FileState::None;
  if (path.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kInit, "no configuration folder: the frame library is not read");
    return m_state;
  }
  std::vector<unsigned char> bytes;
  switch (md::layout::ReadLibraryFile(path, &bytes, kInit)) {
    case md::layout::LibraryFileRead::Missing:
      // First use: the library starts empty in a new, empty file.
      if (!md::layout::ReplaceFile(path, nullptr, 0, kInit)) return m_state;
      return m_state = FileState::Missing;
    case md::layout::LibraryFileRead::Unreadable:
      return m_state = FileState::Unreadable;
    case md::layout::LibraryFileRead::Read:
      break;
  }
  ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(static_cast<int>(bytes.size())));
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!buffer || !set || buffer->GetSize() != static_cast<int>(bytes.size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kInit, "p_databuffer == NULL");
    return m_state = FileState::Unreadable;
  }
  if (!bytes.empty()) std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
  if (!set->Archive(buffer.get(), GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kInit, "%s is not a frame library: it is left as it is", path.c_str());
    return m_state = FileState::Unreadable;
  }
  const int nCount = set->GetCount();
  IGIS_Field* pField = set->GetFirstPosition();
  for (int i = 0; i < nCount && pField != nullptr; ++i, pField = set->GetNext(pField)) {
    SGIS_FrameSymbolItem item;
    if (pField->GetDescription() != nullptr) item.strName = Name(pField->GetDescription());
    item.pSymbol.reset(GetSymbol2FromField(pField));
    if (!item.pSymbol) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kInit, "p_symbol == NULL");
      Carry(pField, &item);
    }
    m_entries.push_back(std::move(item));
  }
  return m_state = FileState::Read;
}

bool CGIS_FrameSymbolLibrary::SaveIfAllowed() {
  switch (m_state) {
    case FileState::None:
      return true;
    case FileState::Unreadable:
      if (!m_bChanged) return true;
      break;
    default:
      break;
  }
  return Save(m_path);
}

bool CGIS_FrameSymbolLibrary::Save(const std::string& path) {
  if (path.empty()) return false;
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(1024));
  if (!set || !buffer) return false;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const SGIS_FrameSymbolItem& item = m_entries[i];
    const int nType = item.pSymbol ? GIS_FIELD_TYPE_BUFFER : item.nStoredType;
    IGIS_Field* pField = set->AddProperty(std::to_string(i).c_str(), item.strName.c_str(), nType, 1);
    if (pField == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "p_field == NULL");
      continue;
    }
    if (item.pSymbol) {
      item.pSymbol->Save(pField->GetDataBuffer(), FALSE);
    } else {
      WriteCarried(item, pField);
    }
  }
  if (!set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kSave, "the frame library could not be stored");
    return false;
  }
  const unsigned char* p = buffer->GetData();
  return md::layout::ReplaceFile(path, p, p != nullptr ? static_cast<std::size_t>(buffer->GetSize()) : 0,
                                 kSave);
}

int CGIS_FrameSymbolLibrary::EntryOfSymbol(int nIndex) const {
  if (nIndex < 0) return -1;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (!m_entries[i].pSymbol) continue;
    if (nIndex-- == 0) return static_cast<int>(i);
  }
  return -1;
}

int CGIS_FrameSymbolLibrary::GetSymbolCount() const {
  int n = 0;
  for (const SGIS_FrameSymbolItem& item : m_entries) n += item.pSymbol ? 1 : 0;
  return n;
}

SGIS_FrameSymbolItem* CGIS_FrameSymbolLibrary::GetSymbolEntry(int nIndex) {
  const int i = EntryOfSymbol(nIndex);
  return i >= 0 ? &m_entries[static_cast<std::size_t>(i)] : nullptr;
}

bool CGIS_FrameSymbolLibrary::HasName(const char* szName) const {
  if (szName == nullptr) return false;
  for (const SGIS_FrameSymbolItem& item : m_entries) {
    if (strcasecmp(item.strName.c_str(), szName) == 0) return true;
  }
  return false;
}

bool CGIS_FrameSymbolLibrary::Add(IGIS_SymbolV2* pSymbol, const char* szName) {
  if (pSymbol == nullptr) return false;
  SGIS_FrameSymbolItem item;
  item.pSymbol.reset(pSymbol->Clone());
  if (!item.pSymbol) return false;
  item.strName = Name(szName);
  m_entries.push_back(std::move(item));
  m_bChanged = true;
  return true;
}

bool CGIS_FrameSymbolLibrary::RemoveSymbolEntry(int nIndex) {
  const int i = EntryOfSymbol(nIndex);
  if (i < 0) return false;
  m_entries.erase(m_entries.begin() + i);
  m_bChanged = true;
  return true;
}
