// A grid of the common keys only, made on the grid base (kind code 90, which
// the grid factory does not make), for tests and fuzz targets that need a
// real grid without a grid kind: it draws and converts its border and label,
// stores and reads the common keys, and takes degrees-minutes-seconds labels.
#pragma once

#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"

namespace md::test {

class CommonGrid final : public CGIS_MapGridBase<IGIS_MapGrid> {
 public:
  static constexpr int kType = 90;

  void SetLabelFormat(IGIS_GridLabel* pLabel) override {
    ReplaceLabel(pLabel, {GIS_GRIDLABEL_DMS}, "CommonGrid::SetLabelFormat", true);
  }
  int GetType() override { return kType; }
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override {
    auto* copy = new CommonGrid();
    copy->CopyFrom(this);
    return copy;
  }
  bool OnOpenPropertyDlg() override { return false; }

 private:
  ~CommonGrid() = default;
};

}  // namespace md::test
