// The graticule of fixed rows and columns (grid kind 3): meridians and
// parallels of the map's own geographic base, or marks at their crossings,
// with ticks and sub-ticks along the frame, at one interval that each drawing
// finds anew from a number of columns and rows across the frame, so that the
// grid stays sensible as the frame is panned or zoomed. Its default label is
// the degrees-minutes-seconds label, the only kind it takes.
// Stored form: FORMAT.md beside this file.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

class CGIS_GraticuleMNGrid final : public CGIS_MapGridBase<IGIS_GraticuleMNGrid> {
 public:
  static constexpr int kDefaultCount = 4;

  // The defaults: 4 columns and 4 rows, a spacing in angular units (unit 1,
  // the degree) and a DMS label bound to the grid.
  CGIS_GraticuleMNGrid();

  // ---- IGIS_MapGrid ----
  // Takes a copy of a DMS label only (others are refused with a record).
  void SetLabelFormat(IGIS_GridLabel* pLabel) override;
  int GetType() override { return GIS_MAPGRID_GRATICULE_MN; }
  // The border and labels, then the lines or marks and the ticks. False when
  // the drawing could not run or was cut short.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  void Release() override;
  IGIS_MapGrid* Clone() override;
  // The counts, then the common keys; false when either could not be written.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  // The set alone is read: no buffer needed.
  bool OpenInPlace(const md::layout::StoredSetView& set, md::layout::grid::ReferenceShare*, int) override {
    OpenStored(set, nullptr);
    return true;
  }
  // The sheet "经纬网(行列数固定)属性" on the grid itself; anything but OK
  // puts the grid back as it was.
  bool OnOpenPropertyDlg() override;
  // The base's compound with the group of lines or marks and ticks last.
  IGIS_Element* ConvertToElement() override;

  // ---- IGIS_GraticuleMNGrid ----
  void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) override;
  IGIS_GridSpacing* GetGridSpacing() override { return m_pGridSpacing.get(); }
  int GetLatitudeCount() override { return m_nLatitudeCount; }
  void SetLatitudeCount(int nCount) override {
    if (nCount >= 1) m_nLatitudeCount = nCount;
  }
  int GetLongitudeCount() override { return m_nLongitudeCount; }
  void SetLongitudeCount(int nCount) override {
    if (nCount >= 1) m_nLongitudeCount = nCount;
  }
  IGIS_GraticuleMNGrid* Copy(IGIS_GraticuleMNGrid* pOther) override;

 private:
  ~CGIS_GraticuleMNGrid();

  int m_nLatitudeCount = kDefaultCount;   // columns
  int m_nLongitudeCount = kDefaultCount;  // rows
  // Not stored: each drawing records in it what it found.
  md::basilo::ReleasePtr<IGIS_GridSpacing> m_pGridSpacing;
};
