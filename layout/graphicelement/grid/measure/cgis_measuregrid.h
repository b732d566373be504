// The measured (kilometre) grid: lines at whole multiples of its intervals
// in a projected reference of its own (by default the CGCS2000 Gauss-Kruger
// 3-degree zone 39 in metres), 1000 apart in metres unless set otherwise,
// labelled by default with a formatted label. Its drawing and conversion are
// measuregriddraw.h and measuregridconvert.h; its stored keys FORMAT.md.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/grid/referenceshare.h"

class CGIS_MeasureGrid final : public CGIS_MapGridBase<IGIS_MeasureGrid>,
                               public md::layout::grid::ReferenceSharingGrid {
 public:
  // The common defaults, a spacing of 1000 x 1000 in linear unit 0 from the
  // reference's own origin, a formatted label bound to the grid (none until
  // the library has that label) and the reference of kind code 3.
  CGIS_MeasureGrid();

  // ---- IGIS_MeasureGrid ----
  IGIS_SpatialReference* GetSpatialReference() override { return m_pSpatialReference.get(); }
  void SetSpatialReference(IGIS_SpatialReference* pReference) override;
  // NULL is refused with a record: the grid always keeps a spacing.
  void SetGridSpacingPtr(IGIS_GridSpacing* pSpacing) override;
  IGIS_GridSpacing* GetGridSpacing() override { return m_pGridSpacing.get(); }
  IGIS_MeasureGrid* Copy(IGIS_MeasureGrid* pOther) override;

  // ---- IGIS_MapGrid ----
  // Accepts the formatted (2) and mixed-font (1) labels.
  void SetLabelFormat(IGIS_GridLabel* pLabel) override;
  int GetType() override { return GIS_MAPGRID_MEASURE; }
  // The border and labels, then the lines or marks and the ticks; FALSE,
  // with nothing drawn, without a map frame.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override;
  // "GridSpacing" and "SpatialReference", then the common keys.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) override;
  // In a frame's grid list: a reference with the bytes of one stored before
  // it in the frame is stored as "SharedSpatialReference", the number of
  // that one, and read back from its bytes.
  bool SaveSharing(IGIS_DataBuffer* pBuffer, md::layout::grid::ReferenceShare* pShare, int nEntry) override;
  bool OpenSharing(IGIS_DataBuffer* pBuffer, md::layout::grid::ReferenceShare* pShare, int nEntry) override;
  void FinishRead() override;
  bool OpenInPlace(const md::layout::StoredSetView& set, md::layout::grid::ReferenceShare* pShare,
                   int nEntry) override {
    OpenWith(set, pShare, nEntry);
    return true;
  }
  // The sheet "方里网属性"; Cancel puts every value back.
  bool OnOpenPropertyDlg() override;
  IGIS_Element* ConvertToElement() override;

 private:
  ~CGIS_MeasureGrid();
  // The label and reference of a new grid, those it lacks.
  void MakeDefaults();
  // Reads the reference from stored bytes into the held one (a new one
  // when none is held); bytes that are not a reference change nothing.
  void ReadReference(IGIS_DataBuffer* pData);
  bool OpenWith(const md::layout::StoredSetView& set, md::layout::grid::ReferenceShare* pShare, int nEntry);

  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pSpatialReference;
  md::basilo::ReleasePtr<IGIS_GridSpacing> m_pGridSpacing;
};
