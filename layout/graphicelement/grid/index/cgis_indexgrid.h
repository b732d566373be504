// The index grid (IGIS_IndexGrid): its map frame's rectangle divided into
// ColumnCount x RowCount reference cells. It draws the cell bounds as lines,
// or marks at the inner cell corners, and ticks outward at every cell bound;
// its label, an index tab style, writes the cell designations in tabs
// around the frame. Its geometry depends only on the frame's rectangle.
#pragma once

#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"

class CGIS_IndexGrid final : public CGIS_MapGridBase<IGIS_IndexGrid> {
 public:
  // 6 x 6 cells, letters on the columns, and the continuous tab style as its
  // label (no label while the library makes no such style).
  CGIS_IndexGrid();

  // Keeps a copy of an index tab style (types 4 to 7) bound to this grid;
  // other types are refused without a record, NULL with one.
  void SetLabelFormat(IGIS_GridLabel* pLabel) override;
  int GetType() override { return GIS_MAPGRID_INDEX; }
  // The border and the tabs, then the cell lines or corner marks and the
  // ticks, inside the element clip sequence. FALSE without a map frame or a
  // renderer.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override;
  // "ColumnCount", "RowCount", "XYLabelType", then the common keys.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  // The set alone is read: no buffer needed.
  bool OpenInPlace(const md::layout::StoredSetView& set, md::layout::grid::ReferenceShare*, int) override {
    OpenStored(set, nullptr);
    return true;
  }
  // The sheet "索引格网属性"; TRUE only when the user confirmed.
  bool OnOpenPropertyDlg() override;
  // The common conversion (tabs, border) and then a compound of the grid's
  // own lines or marks and ticks, at the drawing's page coordinates.
  IGIS_Element* ConvertToElement() override;

  // At most kMaxCount cells per axis: a setter cuts a larger count to it
  // (record); a count read larger is kept as read, so that saving writes it
  // back unchanged, and the getters, the drawing and the tabs use the cap
  // (record on reading). Setting the count the getter gives changes nothing.
  // Counts below 1 are kept: one cell as wide or high as the frame.
  static constexpr int kMaxCount = 20;
  int GetColumnCount() override { return m_nColumnCount < kMaxCount ? m_nColumnCount : kMaxCount; }
  void SetColumnCount(int nCount) override;
  int GetRowCount() override { return m_nRowCount < kMaxCount ? m_nRowCount : kMaxCount; }
  void SetRowCount(int nCount) override;
  bool GetXYLabelType() override { return m_bXYLabelType; }
  void SetXYLabelType(bool bType) override { m_bXYLabelType = bType; }
  IGIS_IndexGrid* Copy(IGIS_IndexGrid* pOther) override;

 private:
  ~CGIS_IndexGrid();

  int m_nColumnCount = 6;
  int m_nRowCount = 6;
  bool m_bXYLabelType = true;
};
