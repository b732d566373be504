// The grid border (IGIS_MapGridBorder): the band a grid draws around its map
// frame, with its settings, its three symbols and its stored form.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"

namespace md::layout {
class StoredSetView;
}  // namespace md::layout

class CGIS_MapGridBorder final : public IGIS_MapGridBorder {
 public:
  // A simple border of width 200 and bars of 1000, not alternating; fill
  // symbols of the library's styles 3361 (background) and 3362 (foreground)
  // and a line of style 3332; bound to no grid.
  CGIS_MapGridBorder();
  // Without symbols, for a read that makes those it leaves out.
  enum BareTag { kBare };
  explicit CGIS_MapGridBorder(BareTag);

  bool GetAlternating() override { return m_bAlternating; }
  void SetAlternating(bool bAlternating) override { m_bAlternating = bAlternating; }
  int GetBorderWidth() override { return m_nBorderWidth; }
  void SetBorderWidth(int nWidth) override { m_nBorderWidth = nWidth; }
  IGIS_Symbol* GetBackgroundSymbol() override { return m_pBackgroundSymbol.get(); }
  void SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetInterval() override { return m_nInterval; }
  void SetInterval(int nInterval) override;
  IGIS_Symbol* GetForegroundSymbol() override { return m_pForegroundSymbol.get(); }
  void SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_MapGridBorder* Clone() override;
  // The ten keys of FORMAT.md; FALSE when the set could not be written.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  // The keys present, the interval as stored; a buffer without a readable
  // set changes nothing. FALSE only for a NULL buffer.
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_MapGridBorder* CopyFrom(IGIS_MapGridBorder* pOther) override;
  void SetBorderType(int nType) override { m_nBorderType = nType; }
  int GetBorderType() override { return m_nBorderType; }
  const char* GetBorderTypeName() override;
  IGIS_Symbol* GetSimpleSymbol() override { return m_pSimpleSymbol.get(); }
  void SetSimpleSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Element* ConvertToElement() override;
  void SetMapGrid(IGIS_MapGrid* pGrid) override { m_pMapGrid = pGrid; }
  IGIS_MapGrid* GetMapGrid() override { return m_pMapGrid; }
  void Release() override;

  // The symbols, as bits.
  enum : unsigned { kBackground = 1, kForeground = 2, kSimple = 4, kAllSymbols = 7 };
  // The keys present in an undamaged stored set, read in place; answers the
  // symbols the set left as they were.
  unsigned OpenStored(const md::layout::StoredSetView& set);
  // The default symbols among these.
  void MakeSymbols(unsigned symbols);
  // No simple symbol, without the setter's record for a NULL symbol.
  void ClearSimpleSymbol();

 private:
  ~CGIS_MapGridBorder() = default;

  bool m_bAlternating = false;
  int m_nBorderWidth = 200;
  int m_nInterval = 1000;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pBackgroundSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pForegroundSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSimpleSymbol;
  int m_nBorderType = GIS_GRIDBORDER_SIMPLE;
  IGIS_MapGrid* m_pMapGrid = nullptr;
};
