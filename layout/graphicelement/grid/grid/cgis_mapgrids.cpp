// The grid list: drawing order, names, stored form.
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

using md::layout::StoredIndexKey;
using md::layout::StoredSetView;
using md::layout::StoredSetWriter;
using md::layout::grid::MapGridValues;
using md::layout::grid::ReferenceShare;
using md::layout::grid::ReferenceSharingGrid;

}  // namespace

CGIS_MapGrids::~CGIS_MapGrids() {
  ReleaseMapGrids();
  m_pMapElement = nullptr;
}

void CGIS_MapGrids::Release() { delete this; }

bool CGIS_MapGrids::Save(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::Save", "pDataBuffer为空");
    return false;
  }
  StoredSetWriter outer;
  const bool bOk = Write(&outer, pShare);
  if (!outer.Finish(pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::Save", "b_ret == NULL");
    return false;
  }
  return bOk;
}

std::span<const BYTE> CGIS_MapGrids::Saved(StoredSetWriter* pOuter, ReferenceShare* pShare) {
  Write(pOuter, pShare);
  const std::span<const BYTE> bytes = pOuter->Finished();
  if (bytes.empty()) GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::Save", "b_ret == NULL");
  return bytes;
}

bool CGIS_MapGrids::Write(StoredSetWriter* pOuter, ReferenceShare* pShare) {
  constexpr const char* kMethod = "CGIS_MapGrids::Save";
  StoredSetWriter& outer = *pOuter;
  const int nCount = static_cast<int>(m_grids.size() + m_kept.size());
  outer.Int("Count", "Count", nCount);
  bool bOk = true;
  int nKey = 0;
  // One entry, under the next number.
  auto addEntry = [&](std::span<const BYTE> bytes) {
    const StoredIndexKey key(++nKey);
    outer.Bytes(key.c_str(), key.c_str(), bytes);
  };
  std::size_t nextKept = 0;
  auto writeKept = [&](std::size_t nBefore) {
    for (; nextKept < m_kept.size() && m_kept[nextKept].nAfter <= nBefore; ++nextKept)
      addEntry(m_kept[nextKept].bytes);
  };
  for (std::size_t i = 0; i < m_grids.size(); ++i) {
    writeKept(i);
    IGIS_MapGrid* pGrid = m_grids[i].get();
    if (pGrid == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapGrid == NULL");
      ++nKey;
      continue;
    }
    const int nEntry = nKey + 1;
    auto* pSharing = pShare != nullptr ? dynamic_cast<ReferenceSharingGrid*>(pGrid) : nullptr;
    // The grid saves straight into its entry's set.
    StoredSetWriter nested;
    nested.Int("GridType", "GridType", pGrid->GetType());
    bool bSaved = false;
    nested.SavedInPlace("GridData", "GridData", [&](IGIS_DataBuffer* pData) {
      bSaved = pSharing != nullptr ? pSharing->SaveSharing(pData, pShare, nEntry) : pGrid->Save(pData);
    });
    if (!bSaved) {
      // The grid keeps its number; "Count" still counts it.
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      bOk = false;
      ++nKey;
      if (pShare != nullptr) pShare->Drop(nEntry);
      continue;
    }
    // The entry's set goes into the list as it stands.
    const StoredIndexKey key(nEntry);
    if (!outer.Nested(key.c_str(), key.c_str(), nested)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      bOk = false;
      addEntry({});
      if (pShare != nullptr) pShare->Drop(nEntry);
      continue;
    }
    ++nKey;
  }
  writeKept(m_grids.size());
  return bOk;
}

bool CGIS_MapGrids::Open(IGIS_DataBuffer* pBuffer, ReferenceShare* pShare) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::Open", "pDataBuffer为空");
    return false;
  }
  const StoredSetView outer(pBuffer);
  OpenEntries(outer, pShare);
  return true;
}

bool CGIS_MapGrids::Open(std::span<const BYTE> bytes, ReferenceShare* pShare) {
  const StoredSetView outer(bytes);
  OpenEntries(outer, pShare);
  return true;
}

void CGIS_MapGrids::OpenEntries(const StoredSetView& outer, ReferenceShare* pShare) {
  constexpr const char* kMethod = "CGIS_MapGrids::Open";
  if (outer.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
  int nCount = 0;
  outer.Read("Count", &nCount);
  if (nCount > kMaxStoredGrids) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "Count %d > %d", nCount, kMaxStoredGrids);
    nCount = kMaxStoredGrids;
  }
  int nBeyond = 0;
  for (int k = 1; k <= nCount; ++k) {
    // The entry's set read where it lies in the list's bytes.
    const std::span<const BYTE>* pEntry = outer.Bytes(StoredIndexKey(k).c_str());
    if (pEntry == nullptr) continue;
    const std::span<const BYTE> entry = *pEntry;
    const StoredSetView nested(entry);
    if (nested.Damaged()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
      continue;
    }
    int nType = 0;
    if (!nested.Read("GridType", &nType)) continue;
    const std::span<const BYTE>* pData = nested.Bytes("GridData");
    if (pData == nullptr) continue;
    // A kind this library does not make, or a grid beyond those a frame
    // draws: written back as it was read.
    auto keep = [&] { m_kept.push_back({m_grids.size(), std::vector<BYTE>(entry.begin(), entry.end())}); };
    if (m_grids.size() >= static_cast<std::size_t>(kMaxGrids)) {
      keep();
      ++nBeyond;
      continue;
    }
    IGIS_MapGrid* pGrid = nullptr;
    MapGridValues* pValues = nullptr;
    {
      // Made without the defaults the stored grid replaces.
      const MapGridValues::BareForRead bare;
      pGrid = md::layout::grid::CreateMapGridWithValues(nType, &pValues);
    }
    if (pGrid == nullptr) {
      keep();
      continue;
    }
    // The grid's set decoded where it lies; a damaged one, or a kind that
    // reads from a buffer of its own, is given a copy to read.
    const StoredSetView gridSet(*pData);
    if (gridSet.Damaged() || pValues == nullptr || !pValues->OpenInPlace(gridSet, pShare, k)) {
      IGIS_DataBuffer* pCopy = nested.Buffer("GridData");
      auto* pSharing = pShare != nullptr ? dynamic_cast<ReferenceSharingGrid*>(pGrid) : nullptr;
      if (pSharing != nullptr) {
        pSharing->OpenSharing(pCopy, pShare, k);
      } else {
        pGrid->Open(pCopy);
      }
    }
    if (pValues != nullptr) pValues->FinishRead();
    pGrid->SetMapElement(m_pMapElement);
    m_grids.emplace_back(pGrid);
  }
  if (nBeyond > 0)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "%d grids beyond %d kept as stored, not drawn", nBeyond, kMaxGrids);
}

bool CGIS_MapGrids::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_MapElement*) {
  // One budget for all the grids the frame draws.
  md::layout::grid::CGIS_GridBudget budget(md::layout::grid::kGridFrameBudget);
  for (auto it = m_grids.rbegin(); it != m_grids.rend(); ++it) {
    if (*it != nullptr && (*it)->GetVisible()) (*it)->OnDraw(hdc, bPrint, pDisplay);
  }
  return true;
}

bool CGIS_MapGrids::AddMapGrid(IGIS_MapGrid* pGrid) {
  if (pGrid == nullptr) return false;
  if (m_grids.size() >= static_cast<std::size_t>(kMaxGrids)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::AddMapGrid", "%d grids held already", kMaxGrids);
    return false;
  }
  const char* szName = pGrid->GetName();
  const std::string name = szName != nullptr ? szName : "";
  for (const auto& held : m_grids) {
    IGIS_MapGrid* pHeld = held.get();
    if (pHeld == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::AddMapGrid", "p_mapgrid == NULL");
      continue;
    }
    const char* szHeld = pHeld->GetName();
    if (name == (szHeld != nullptr ? szHeld : "")) return false;
  }
  m_grids.emplace_back(pGrid);
  return true;
}

void CGIS_MapGrids::CopyEntries(const CGIS_MapGrids& source, IGIS_MapElement* pMapElement) {
  if (&source == this) return;
  ReleaseMapGrids();
  std::size_t nextKept = 0;
  auto copyKept = [&](std::size_t nBefore) {
    for (; nextKept < source.m_kept.size() && source.m_kept[nextKept].nAfter <= nBefore; ++nextKept)
      m_kept.push_back({m_grids.size(), source.m_kept[nextKept].bytes});
  };
  for (std::size_t i = 0; i < source.m_grids.size(); ++i) {
    copyKept(i);
    IGIS_MapGrid* pGrid = source.m_grids[i].get();
    IGIS_MapGrid* pCopy = pGrid != nullptr ? pGrid->Clone() : nullptr;
    if (pCopy == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::CopyEntries", "grid %zu not copied", i + 1);
      continue;
    }
    pCopy->SetMapElement(pMapElement);
    m_grids.emplace_back(pCopy);
  }
  copyKept(source.m_grids.size());
}

void CGIS_MapGrids::ReleaseMapGrids() {
  m_kept.clear();
  while (!m_grids.empty()) m_grids.pop_back();  // the last grid first
}

IGIS_MapGrid* CGIS_MapGrids::GetMapGrid(int nIndex) {
  if (nIndex < 0 || nIndex >= GetCount()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::GetMapGrid", "nIndex %d out of range", nIndex);
    return nullptr;
  }
  return m_grids[static_cast<std::size_t>(nIndex)].get();
}

void CGIS_MapGrids::DeleteMapGrids(IGIS_MapGrid* pGrid) {
  if (pGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGrids::DeleteMapGrids", "left == NULL");
    return;
  }
  auto it =
      std::find_if(m_grids.begin(), m_grids.end(), [pGrid](const auto& held) { return held.get() == pGrid; });
  if (it == m_grids.end()) return;
  const std::size_t nIndex = static_cast<std::size_t>(it - m_grids.begin());
  (void)it->release();  // taken out of the list, not released
  m_grids.erase(it);
  // Kept entries stay behind the grids that came before them.
  for (KeptEntry& kept : m_kept) {
    if (kept.nAfter > nIndex) --kept.nAfter;
  }
}
