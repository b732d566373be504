// The spacing of a grid whose lines follow coordinates (IGIS_GridSpacing).
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

class CGIS_GridSpacing final : public IGIS_GridSpacing {
 public:
  // A fixed origin at (0, 0), intervals of 10 and 10, unit 0 of no list.
  CGIS_GridSpacing() = default;

  void SetFixedOrigin(bool bFixed) override { m_bFixedOrigin = bFixed; }
  bool GetFixedOrigin() override { return m_bFixedOrigin; }
  double GetXOrigin() override { return m_dXOrigin; }
  void SetXOrigin(double dOrigin) override { m_dXOrigin = dOrigin; }
  double GetYOrigin() override { return m_dYOrigin; }
  void SetYOrigin(double dOrigin) override { m_dYOrigin = dOrigin; }
  double GetXIntervalSize() override { return m_dXIntervalSize; }
  void SetXIntervalSize(double dSize) override { m_dXIntervalSize = dSize; }
  double GetYIntervalSize() override { return m_dYIntervalSize; }
  void SetYIntervalSize(double dSize) override { m_dYIntervalSize = dSize; }
  void Release() override;
  IGIS_GridSpacing* Clone() override;
  // "FixedOrigin", "XIntervalSize", "YIntervalSize", "XOrigin", "YOrigin",
  // "Units", "UnitsType" (FORMAT.md); the result of the write.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_GridSpacing* Copy(IGIS_GridSpacing* pOther) override;
  int GetUnits() override { return m_nUnits; }
  // Checked against the unit counts of the spatial-reference factory.
  void SetUnits(int nIndex) override;
  int GetUnitsType() override { return m_nUnitsType; }
  void SetUnitsType(int nType) override;

 private:
  ~CGIS_GridSpacing() = default;

  bool m_bFixedOrigin = true;
  double m_dXIntervalSize = 10.0;
  double m_dYIntervalSize = 10.0;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  int m_nUnits = 0;
  int m_nUnitsType = GIS_GRIDSPACING_UNITS_NONE;
};

namespace md::layout::grid {

// A new spacing of the unit list and position (SetUnitsType, then
// SetUnits); NULL, with a record under szMethod, when memory runs out.
IGIS_GridSpacing* NewGridSpacing(int nUnitsType, int nUnits, const char* szMethod);

// A grid's spacing setter: NULL is refused with the record "right == NULL"
// under szMethod, the held spacing changes nothing, otherwise the grid keeps
// a copy (the held one stays when no copy can be made).
void ReplaceGridSpacing(md::basilo::ReleasePtr<IGIS_GridSpacing>* pHeld, IGIS_GridSpacing* pSpacing,
                        const char* szMethod);

}  // namespace md::layout::grid
