// The grid list a map frame owns (IGIS_MapGrids).
#pragma once

#include <span>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/referenceshare.h"
#include "platform/win/wintypes.h"

namespace md::layout {
class StoredSetView;
class StoredSetWriter;
}  // namespace md::layout

class CGIS_MapGrids final : public IGIS_MapGrids {
 public:
  // Most entries one stored list is read with; entries beyond are not read.
  static constexpr int kMaxStoredGrids = 4096;
  // Most grids a list holds, drawn and converted: AddMapGrid refuses more,
  // and reading keeps the entries beyond as stored bytes (written back by
  // Save where they were, never drawn), with a record.
  static constexpr int kMaxGrids = 64;

  CGIS_MapGrids() = default;
  ~CGIS_MapGrids();
  CGIS_MapGrids(const CGIS_MapGrids&) = delete;
  CGIS_MapGrids& operator=(const CGIS_MapGrids&) = delete;

  // Deletes the list and the grids it still holds.
  void Release();

  // Stores "Count" and one entry per grid under "1", "2", ..., with the
  // entries of kinds without a class where they were read; FALSE when a grid
  // or the list could not be written (the others are still written).
  bool Save(IGIS_DataBuffer* pBuffer) override { return Save(pBuffer, nullptr); }
  // Appends the grids stored; an entry whose kind has no grid class, or that
  // comes when the list already holds kMaxGrids grids, is kept as stored.
  bool Open(IGIS_DataBuffer* pBuffer) override { return Open(pBuffer, nullptr); }
  // The same inside a stored frame: grids share the references of pShare
  // (the frame's) and of the entries before them.
  bool Save(IGIS_DataBuffer* pBuffer, md::layout::grid::ReferenceShare* pShare);
  bool Open(IGIS_DataBuffer* pBuffer, md::layout::grid::ReferenceShare* pShare);
  // The bytes Save stores, written into pOuter (empty, recorded, when the
  // list cannot be stored); they lie in pOuter and live as long as it.
  std::span<const BYTE> Saved(md::layout::StoredSetWriter* pOuter, md::layout::grid::ReferenceShare* pShare);
  // The same from the stored list's bytes, read in place.
  bool Open(std::span<const BYTE> bytes, md::layout::grid::ReferenceShare* pShare);
  IGIS_MapGrids* Clone() override { return nullptr; }
  // Replaces this list with copies of source's grids, bound to pMapElement,
  // and its kept entries where they stand among them, so both store the same
  // entries under the same numbers.
  void CopyEntries(const CGIS_MapGrids& source, IGIS_MapElement* pMapElement);
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_MapElement* pMapElement) override;
  IGIS_MapGrids* CopyFrom(IGIS_MapGrids*) override { return this; }
  bool AddMapGrid(IGIS_MapGrid* pGrid) override;
  void ReleaseMapGrids() override;
  int GetCount() override { return static_cast<int>(m_grids.size()); }
  IGIS_MapGrid* GetMapGrid(int nIndex) override;
  void DeleteMapGrids(IGIS_MapGrid* pGrid) override;
  void SetMapElement(IGIS_MapElement* pMapElement) override { m_pMapElement = pMapElement; }
  IGIS_MapElement* GetMapElement() override { return m_pMapElement; }

 private:
  // Writes "Count" and the entries into pOuter; false as Save.
  bool Write(md::layout::StoredSetWriter* pOuter, md::layout::grid::ReferenceShare* pShare);
  // Appends the grids of a stored list already read.
  void OpenEntries(const md::layout::StoredSetView& outer, md::layout::grid::ReferenceShare* pShare);
  // A stored entry whose kind has no grid class or beyond kMaxGrids, written
  // back as it was read, after the grids that came before it.
  struct KeptEntry {
    std::size_t nAfter;  // grids of the list before it
    std::vector<BYTE> bytes;
  };

  std::vector<md::basilo::ReleasePtr<IGIS_MapGrid>> m_grids;
  std::vector<KeptEntry> m_kept;
  IGIS_MapElement* m_pMapElement = nullptr;
};
