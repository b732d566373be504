// A graticule of fixed rows and columns for tests of what reads one (its
// labels): a map grid double with a spacing of its own in degrees and plain
// column and row counts. It draws, stores and converts nothing itself.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "tests/support/mapgriddouble.h"

namespace md::test {

class GraticuleMNGridDouble final : public MapGridDouble<IGIS_GraticuleMNGrid> {
 public:
  // Four columns and four rows; a spacing in angular unit 1 (degrees).
  GraticuleMNGridDouble()
      : MapGridDouble<IGIS_GraticuleMNGrid>(GIS_MAPGRID_GRATICULE_MN), spacing_(new CGIS_GridSpacing) {
    spacing_->SetUnitsType(GIS_GRIDSPACING_UNITS_ANGULAR);
    spacing_->SetUnits(1);
  }
  void SetGridSpacingPtr(IGIS_GridSpacing* p) override {
    spacing_.reset(p != nullptr ? p->Clone() : nullptr);
  }
  IGIS_GridSpacing* GetGridSpacing() override { return spacing_.get(); }
  int GetLatitudeCount() override { return columns_; }
  void SetLatitudeCount(int n) override { columns_ = n; }
  int GetLongitudeCount() override { return rows_; }
  void SetLongitudeCount(int n) override { rows_ = n; }
  IGIS_GraticuleMNGrid* Copy(IGIS_GraticuleMNGrid*) override { return this; }

 private:
  md::basilo::ReleasePtr<IGIS_GridSpacing> spacing_;
  int columns_ = 4;
  int rows_ = 4;
};

}  // namespace md::test
