// The grid list: drawing order, names, stored form.
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

IGIS_Field* AddBufferField(IGIS_PropertySet* pSet, const char* szKey) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  return pField != nullptr ? pField : pSet->AddProperty(szKey, szKey, GIS_FIELD_TYPE_BUFFER, 1);
}

}  // namespace

CGIS_MapGrids::~CGIS_MapGrids() {
  ReleaseMapGrids();
  m_pMapElement = nullptr;
}

void CGIS_MapGrids::Release() { delete this; }

bool CGIS_MapGrids::Save(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapGrids::Save";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr outer(GIS_CreatePropertySetObject());
  if (!outer) return false;
  const int nCount = static_cast<int>(m_grids.size() + m_kept.size());
  if (IGIS_Field* f = outer->AddProperty("Count", "Count", GIS_FIELD_TYPE_INT, 1)) f->SetInt(nCount);
  bool bOk = true;
  int nKey = 0;
  // The nested set of one entry, under the next number.
  auto entryBuffer = [&]() -> IGIS_DataBuffer* {
    const std::string key = std::to_string(++nKey);
    IGIS_Field* pEntry = AddBufferField(outer.get(), key.c_str());
    return pEntry != nullptr ? pEntry->GetDataBuffer() : nullptr;
  };
  std::size_t nextKept = 0;
  auto writeKept = [&](std::size_t nBefore) {
    for (; nextKept < m_kept.size() && m_kept[nextKept].nAfter <= nBefore; ++nextKept) {
      const std::vector<BYTE>& bytes = m_kept[nextKept].bytes;
      IGIS_DataBuffer* pEntry = entryBuffer();
      if (pEntry == nullptr || !pEntry->SetSize(static_cast<int>(bytes.size()))) {
        bOk = false;
        continue;
      }
      if (!bytes.empty()) std::memcpy(pEntry->GetData(), bytes.data(), bytes.size());
    }
  };
  for (std::size_t i = 0; i < m_grids.size(); ++i) {
    writeKept(i);
    IGIS_MapGrid* pGrid = m_grids[i];
    if (pGrid == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapGrid == NULL");
      ++nKey;
      continue;
    }
    PropertySetPtr nested(GIS_CreatePropertySetObject());
    IGIS_Field* pType = nested ? nested->AddProperty("GridType", "GridType", GIS_FIELD_TYPE_INT, 1) : nullptr;
    if (pType != nullptr) pType->SetInt(pGrid->GetType());
    IGIS_Field* pData = nested ? AddBufferField(nested.get(), "GridData") : nullptr;
    if (pData == nullptr || !pGrid->Save(pData->GetDataBuffer())) {
      // The grid keeps its number; "Count" still counts it.
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      bOk = false;
      ++nKey;
      continue;
    }
    IGIS_DataBuffer* pEntry = entryBuffer();
    if (pEntry == nullptr || !nested->Archive(pEntry, GIS_ARCHIVE_WRITE, 0)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      bOk = false;
    }
  }
  writeKept(m_grids.size());
  if (!outer->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return bOk;
}

bool CGIS_MapGrids::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapGrids::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr outer(GIS_CreatePropertySetObject());
  if (!outer) return false;
  if (!outer->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
  IGIS_Field* pCount = outer->GetProperty("Count");
  int nCount = pCount != nullptr ? pCount->GetInt() : 0;
  if (nCount > kMaxStoredGrids) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "Count %d > %d", nCount, kMaxStoredGrids);
    nCount = kMaxStoredGrids;
  }
  for (int k = 1; k <= nCount; ++k) {
    IGIS_Field* pEntry = outer->GetProperty(std::to_string(k).c_str());
    IGIS_DataBuffer* pEntryBuffer = pEntry != nullptr ? pEntry->GetDataBuffer() : nullptr;
    if (pEntryBuffer == nullptr) continue;
    PropertySetPtr nested(GIS_CreatePropertySetObject());
    if (!nested || !nested->Archive(pEntryBuffer, GIS_ARCHIVE_READ, 0)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      continue;
    }
    IGIS_Field* pType = nested->GetProperty("GridType");
    if (pType == nullptr) continue;
    IGIS_Field* pData = nested->GetProperty("GridData");
    if (pData == nullptr || pData->GetDataBuffer() == nullptr) continue;
    IGIS_MapGrid* pGrid = GIS_CreateMapGridPropertyObject(pType->GetInt());
    if (pGrid == nullptr) {
      // A kind this library does not make: written back as it was read.
      const BYTE* pBytes = pEntryBuffer->GetData();
      m_kept.push_back({m_grids.size(), pBytes != nullptr
                                            ? std::vector<BYTE>(pBytes, pBytes + pEntryBuffer->GetSize())
                                            : std::vector<BYTE>()});
      continue;
    }
    pGrid->Open(pData->GetDataBuffer());
    pGrid->SetMapElement(m_pMapElement);
    m_grids.push_back(pGrid);
  }
  return true;
}

bool CGIS_MapGrids::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_MapElement*) {
  for (auto it = m_grids.rbegin(); it != m_grids.rend(); ++it) {
    if (*it != nullptr && (*it)->GetVisible()) (*it)->OnDraw(hdc, bPrint, pDisplay);
  }
  return true;
}

bool CGIS_MapGrids::AddMapGrid(IGIS_MapGrid* pGrid) {
  if (pGrid == nullptr) return false;
  const char* szName = pGrid->GetName();
  const std::string name = szName != nullptr ? szName : "";
  for (IGIS_MapGrid* pHeld : m_grids) {
    if (pHeld == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::AddMapGrid", "p_mapgrid == NULL");
      continue;
    }
    const char* szHeld = pHeld->GetName();
    if (name == (szHeld != nullptr ? szHeld : "")) return false;
  }
  m_grids.push_back(pGrid);
  return true;
}

void CGIS_MapGrids::ReleaseMapGrids() {
  m_kept.clear();
  while (!m_grids.empty()) {
    IGIS_MapGrid* pGrid = m_grids.back();
    m_grids.pop_back();
    if (pGrid != nullptr) pGrid->Release();
  }
}

IGIS_MapGrid* CGIS_MapGrids::GetMapGrid(int nIndex) {
  if (nIndex < 0 || nIndex >= GetCount()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::GetMapGrid", "nIndex %d out of range", nIndex);
    return nullptr;
  }
  return m_grids[static_cast<std::size_t>(nIndex)];
}

void CGIS_MapGrids::DeleteMapGrids(IGIS_MapGrid* pGrid) {
  if (pGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::DeleteMapGrids", "left == NULL");
    return;
  }
  auto it = std::find(m_grids.begin(), m_grids.end(), pGrid);
  if (it == m_grids.end()) return;
  const std::size_t nIndex = static_cast<std::size_t>(it - m_grids.begin());
  m_grids.erase(it);
  // Kept entries stay behind the grids that came before them.
  for (KeptEntry& kept : m_kept) {
    if (kept.nAfter > nIndex) --kept.nAfter;
  }
}
