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
  if (IGIS_Field* f = outer->AddProperty("Count", "Count", GIS_FIELD_TYPE_INT, 1)) f->SetInt(GetCount());
  for (std::size_t i = 0; i < m_grids.size(); ++i) {
    IGIS_MapGrid* pGrid = m_grids[i];
    if (pGrid == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapGrid == NULL");
      continue;
    }
    PropertySetPtr nested(GIS_CreatePropertySetObject());
    if (!nested) continue;
    if (IGIS_Field* f = nested->AddProperty("GridType", "GridType", GIS_FIELD_TYPE_INT, 1)) {
      f->SetInt(pGrid->GetType());
    }
    IGIS_Field* pData = AddBufferField(nested.get(), "GridData");
    if (pData == nullptr || !pGrid->Save(pData->GetDataBuffer())) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      continue;
    }
    const std::string key = std::to_string(i + 1);
    IGIS_Field* pEntry = AddBufferField(outer.get(), key.c_str());
    if (pEntry == nullptr || !nested->Archive(pEntry->GetDataBuffer(), GIS_ARCHIVE_WRITE, 0)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    }
  }
  if (!outer->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return true;
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
    if (pEntry == nullptr || pEntry->GetDataBuffer() == nullptr) continue;
    PropertySetPtr nested(GIS_CreatePropertySetObject());
    if (!nested || !nested->Archive(pEntry->GetDataBuffer(), GIS_ARCHIVE_READ, 0)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      continue;
    }
    IGIS_Field* pType = nested->GetProperty("GridType");
    if (pType == nullptr) continue;
    IGIS_MapGrid* pGrid = GIS_CreateMapGridPropertyObject(pType->GetInt());
    if (pGrid == nullptr) continue;
    IGIS_Field* pData = nested->GetProperty("GridData");
    if (pData == nullptr || pData->GetDataBuffer() == nullptr) {
      pGrid->Release();
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
  if (it != m_grids.end()) m_grids.erase(it);
}
