// The graticule (grid kind 0): meridians and parallels of the map's own
// geographic base at the intervals of its spacing, or markers at their
// crossings, with ticks along the frame, hatches across its lines in three
// ranks and optional longitude and latitude labels inside the frame. Its
// default label is the degrees-minutes-seconds label, the only kind it takes.
// Stored form: FORMAT.md beside this file.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

class CGIS_GraticuleGrid final : public CGIS_MapGridBase<IGIS_GraticuleGrid> {
 public:
  // The defaults: a spacing in angular units (unit 1, the degree), hatches
  // of the library's line style 0xD03, and a DMS label bound to the grid.
  CGIS_GraticuleGrid();

  // ---- IGIS_MapGrid ----
  // Takes a copy of a DMS label only (others are refused with a record).
  void SetLabelFormat(IGIS_GridLabel* pLabel) override;
  int GetType() override { return GIS_MAPGRID_GRATICULE; }
  // The border and labels, the lines or markers and the ticks, the hatches,
  // then the interior labels when they are on. False when the drawing could
  // not run or was cut short (the hatches and interior labels then wait).
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  void Release() override;
  IGIS_MapGrid* Clone() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  void FinishRead() override;
  // The set alone is read: no buffer needed.
  bool OpenInPlace(const md::layout::StoredSetView& set, md::layout::grid::ReferenceShare*, int) override {
    OpenStored(set, nullptr);
    return true;
  }
  // The sheet "经纬网属性" on the grid itself; anything but OK puts the grid
  // back as it was.
  bool OnOpenPropertyDlg() override;
  // The base's compound with a group of hatches, a group of interior labels
  // and the group of lines, markers and ticks.
  IGIS_Element* ConvertToElement() override;

  // ---- IGIS_GraticuleGrid ----
  void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) override;
  IGIS_GridSpacing* GetGridSpacing() override { return m_pGridSpacing.get(); }
  double GetTickOffset() override { return m_dTickOffset; }
  void SetTickOffset(double dOffset) override { m_dTickOffset = dOffset; }
  double GetAxisTickOffset() override { return m_dAxisTickOffset; }
  void SetAxisTickOffset(double dOffset) override { m_dAxisTickOffset = dOffset; }
  double GetInteriorLabelIntervalX() override { return m_dInteriorLabelIntervalX; }
  void SetInteriorLabelIntervalX(double dInterval) override { m_dInteriorLabelIntervalX = dInterval; }
  double GetInteriorLabelIntervalY() override { return m_dInteriorLabelIntervalY; }
  void SetInteriorLabelIntervalY(double dInterval) override { m_dInteriorLabelIntervalY = dInterval; }
  double GetHatchIntervalX() override { return m_dHatchIntervalX; }
  void SetHatchIntervalX(double dInterval) override { m_dHatchIntervalX = dInterval; }
  double GetHatchIntervalY() override { return m_dHatchIntervalY; }
  void SetHatchIntervalY(double dInterval) override { m_dHatchIntervalY = dInterval; }
  double GetHatchLength() override { return m_dHatchLength; }
  void SetHatchLength(double dLength) override { m_dHatchLength = dLength > 0.0 ? dLength : -dLength; }
  bool GetShowInteriorLabels() override { return m_bShowInteriorLabels; }
  void SetShowInteriorLabels(bool bShow) override { m_bShowInteriorLabels = bShow; }
  bool GetHatchDirectional() override { return m_bHatchDirectional; }
  void SetHatchDirectional(bool bDirectional) override { m_bHatchDirectional = bDirectional; }
  IGIS_Symbol* GetHatchLineSymbol() override { return m_pHatchLineSymbol.get(); }
  IGIS_GraticuleGrid* Copy(IGIS_GraticuleGrid* pOther) override;
  void SetHatchLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetMainHatchLength() override { return m_nMainHatchLength; }
  void SetMainHatchLength(int nLength) override;
  bool GetMainHatchDirectional() override { return m_bMainHatchDirectional; }
  void SetMainHatchDirectional(bool bDirectional) override { m_bMainHatchDirectional = bDirectional; }
  IGIS_Symbol* GetMainHatchLineSymbol() override { return m_pMainHatchLineSymbol.get(); }
  void SetMainHatchLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetMainHatchCount() override { return m_nMainHatchCount; }
  void SetMainHatchCount(int nCount) override { m_nMainHatchCount = nCount < 1 ? 1 : nCount; }
  int GetSubHatchLength() override { return m_nSubHatchLength; }
  void SetSubHatchLength(int nLength) override;
  bool GetSubHatchDirectional() override { return m_bSubHatchDirectional; }
  void SetSubHatchDirectional(bool bDirectional) override { m_bSubHatchDirectional = bDirectional; }
  IGIS_Symbol* GetSubHatchLineSymbol() override { return m_pSubHatchLineSymbol.get(); }
  void SetSubHatchLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetSubHatchCount() override { return m_nSubHatchCount; }
  void SetSubHatchCount(int nCount) override { m_nSubHatchCount = nCount < 1 ? 1 : nCount; }

  // The hatches across the grid's parallels and meridians; false when they
  // could not be drawn.
  bool OnDrawHatchLine(HDC hdc, bool bPrint, IGIS_Display* pDisplay);
  // The longitude and latitude labels inside the frame; false when they
  // could not be drawn.
  bool OnDrawInteriorLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay);

  static constexpr int kDefaultMainHatchLength = 200;
  static constexpr int kDefaultSubHatchLength = 100;

 private:
  ~CGIS_GraticuleGrid();
  // The spacing, hatch symbols and label of a new grid, those it lacks.
  void MakeDefaults();

  // A new spacing in angular units, the degree; NULL (with a record under
  // the method) when memory runs out.
  static IGIS_GridSpacing* NewSpacing(const char* szMethod);
  // The symbol setters' rule: NULL is refused with a record under the
  // method, the held object changes nothing, otherwise a line copy is kept.
  static void SetHatchSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pSymbol,
                             const char* szMethod);

  // What the drawings' geographic frames work out, for the next drawing.
  md::layout::grid::GeographicFrameCache m_geoCache;
  double m_dAxisTickOffset = 400.0;
  double m_dTickOffset = 0.0;
  double m_dInteriorLabelIntervalX = 0.0;
  double m_dInteriorLabelIntervalY = 0.0;
  bool m_bShowInteriorLabels = false;
  bool m_bHatchDirectional = true;
  double m_dHatchIntervalX = 0.0;
  double m_dHatchIntervalY = 0.0;
  double m_dHatchLength = 400.0;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pHatchLineSymbol;
  md::basilo::ReleasePtr<IGIS_GridSpacing> m_pGridSpacing;
  bool m_bMainHatchDirectional = true;
  int m_nMainHatchLength = kDefaultMainHatchLength;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pMainHatchLineSymbol;
  bool m_bSubHatchDirectional = true;
  int m_nSubHatchLength = kDefaultSubHatchLength;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSubHatchLineSymbol;
  int m_nMainHatchCount = 3;
  int m_nSubHatchCount = 2;
};
