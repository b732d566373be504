// A measured grid for tests and benchmarks: a map grid double with its own
// spatial reference and a spacing of plain values. It draws and converts
// nothing itself; labels bound to it label its lines.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/support/mapgriddouble.h"

namespace md::test {

// A spacing of plain values.
class SpacingDouble final : public IGIS_GridSpacing {
 public:
  void SetFixedOrigin(bool b) override { fixed = b; }
  bool GetFixedOrigin() override { return fixed; }
  double GetXOrigin() override { return xOrigin; }
  void SetXOrigin(double d) override { xOrigin = d; }
  double GetYOrigin() override { return yOrigin; }
  void SetYOrigin(double d) override { yOrigin = d; }
  double GetXIntervalSize() override { return xInterval; }
  void SetXIntervalSize(double d) override { xInterval = d; }
  double GetYIntervalSize() override { return yInterval; }
  void SetYIntervalSize(double d) override { yInterval = d; }
  void Release() override { delete this; }
  IGIS_GridSpacing* Clone() override { return (new SpacingDouble)->Copy(this); }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_GridSpacing* Copy(IGIS_GridSpacing* o) override {
    fixed = o->GetFixedOrigin();
    xOrigin = o->GetXOrigin();
    yOrigin = o->GetYOrigin();
    xInterval = o->GetXIntervalSize();
    yInterval = o->GetYIntervalSize();
    units = o->GetUnits();
    unitsType = o->GetUnitsType();
    return this;
  }
  int GetUnits() override { return units; }
  void SetUnits(int n) override { units = n; }
  int GetUnitsType() override { return unitsType; }
  void SetUnitsType(int n) override { unitsType = n; }

  bool fixed = false;
  double xOrigin = 0.0, yOrigin = 0.0, xInterval = 1000.0, yInterval = 1000.0;
  int units = 0, unitsType = GIS_GRIDSPACING_UNITS_LINEAR;

 private:
  ~SpacingDouble() = default;
};

// A measured grid of plain values: its own reference and spacing, the
// label flags of the double; it draws and converts nothing itself.
class MeasureGridDouble final : public MapGridDouble<IGIS_MeasureGrid> {
 public:
  // A copy of the reference, a spacing of 1000-unit intervals in unit 0.
  explicit MeasureGridDouble(IGIS_SpatialReference* reference, int type = GIS_MAPGRID_MEASURE)
      : MapGridDouble<IGIS_MeasureGrid>(type),
        reference_(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0)),
        spacing_(new SpacingDouble) {
    reference_->CopyFrom(reference);
  }
  IGIS_SpatialReference* GetSpatialReference() override { return reference_.get(); }
  void SetSpatialReference(IGIS_SpatialReference* p) override { reference_->CopyFrom(p); }
  void SetGridSpacingPtr(IGIS_GridSpacing* p) override {
    spacing_.reset(p != nullptr ? p->Clone() : nullptr);
  }
  IGIS_GridSpacing* GetGridSpacing() override { return spacing_.get(); }
  IGIS_MeasureGrid* Copy(IGIS_MeasureGrid*) override { return this; }
  SpacingDouble* Spacing() { return static_cast<SpacingDouble*>(spacing_.get()); }

 private:
  md::basilo::ReleasePtr<IGIS_SpatialReference> reference_;
  md::basilo::ReleasePtr<IGIS_GridSpacing> spacing_;
};

}  // namespace md::test
