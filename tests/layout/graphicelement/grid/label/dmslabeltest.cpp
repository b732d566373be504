#include "tests/layout/graphicelement/grid/label/dmslabeltest.h"

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::test {

IGIS_Map* LoadSampleMap(IGIS_Document* doc, const char* file) {
  return GIS_LoadMapFile(doc, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/" + file).c_str());
}

void DmsPage::SetUp() {
  MapFramePage::SetUp();
  region_ = LoadSampleMap(doc_, "region_1m.geojson");
  ASSERT_NE(region_, nullptr);
  frame_ = NewFrame(kDmsFrameRect);
  frame_->SetMapName(region_->GetName());
  frame_->SetMapBound(SGIS_DRect(95, 55, 135, 15));
  grid_ = new CGIS_GraticuleGrid;
  grid_->SetMapElement(frame_);
  grid_->SetBorder(nullptr);
  IGIS_GridSpacing* spacing = grid_->GetGridSpacing();
  spacing->SetUnits(1);  // degrees
  spacing->SetXIntervalSize(10);
  spacing->SetYIntervalSize(10);
  label_.reset(new CGIS_DMSGridLabel);
  label_->SetMapGrid(grid_);
}

void DmsPage::TearDown() {
  label_.reset();
  for (IGIS_MapGrid* g : doubles_) g->Release();
  doubles_.clear();
  if (grid_ != nullptr) grid_->Release();
  grid_ = nullptr;
  MapFramePage::TearDown();
}

std::vector<Placed> DmsPage::Draw(bool bPrint, bool expected) {
  LabelPrinter printer;
  frame_->OnDraw(printer.hdc, true, printer.display.get());
  printer.canvas.clear();
  EXPECT_EQ(label_->OnDraw(printer.hdc, bPrint, printer.display.get()), expected);
  return PlacedOf(printer.canvas);
}

void DmsPage::Bind(IGIS_MapGrid* grid) {
  grid->SetMapElement(frame_);
  doubles_.push_back(grid);
  label_->SetMapGrid(grid);
}

void DmsPage::ShowDegrees() {
  label_->SetShowMinutes(false);
  label_->SetDecimalDigits(0);
}

std::vector<std::string> Degrees(int from, int step, int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i) out.push_back(std::to_string(from + i * step) + "°");
  return out;
}

}  // namespace md::test
