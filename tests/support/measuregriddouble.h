// A measured grid for tests and benchmarks: a map grid double with its own
// spatial reference and a spacing of plain values. It draws and converts
// nothing itself; labels bound to it label its lines.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/support/mapgriddouble.h"

namespace md::test {

// A measured grid of plain values: its own reference and spacing (a grid
// spacing in linear units), the label flags of the double; it draws and
// converts nothing itself.
class MeasureGridDouble final : public MapGridDouble<IGIS_MeasureGrid> {
 public:
  // A copy of the reference, a spacing of 1000-unit intervals in linear unit 0.
  explicit MeasureGridDouble(IGIS_SpatialReference* reference, int type = GIS_MAPGRID_MEASURE)
      : MapGridDouble<IGIS_MeasureGrid>(type),
        reference_(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0)),
        spacing_(new CGIS_GridSpacing) {
    reference_->CopyFrom(reference);
    spacing_->SetUnitsType(GIS_GRIDSPACING_UNITS_LINEAR);
    spacing_->SetUnits(0);
    spacing_->SetXIntervalSize(1000.0);
    spacing_->SetYIntervalSize(1000.0);
    spacing_->SetFixedOrigin(false);
  }
  IGIS_SpatialReference* GetSpatialReference() override { return reference_.get(); }
  void SetSpatialReference(IGIS_SpatialReference* p) override { reference_->CopyFrom(p); }
  void SetGridSpacingPtr(IGIS_GridSpacing* p) override {
    spacing_.reset(p != nullptr ? p->Clone() : nullptr);
  }
  IGIS_GridSpacing* GetGridSpacing() override { return spacing_.get(); }
  IGIS_MeasureGrid* Copy(IGIS_MeasureGrid*) override { return this; }

 private:
  md::basilo::ReleasePtr<IGIS_SpatialReference> reference_;
  md::basilo::ReleasePtr<IGIS_GridSpacing> spacing_;
};

}  // namespace md::test
