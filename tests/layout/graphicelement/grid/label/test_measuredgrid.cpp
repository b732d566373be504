// The labels on a real measured grid: the grid's own formatted label writes
// the kilometre of each of its lines where the line meets the frame, is
// converted with the grid and comes back with the grid's stored form; a
// mixed-font label given to the grid does the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/label/igis_formattedgridlabel.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"

namespace md::test {
namespace {

// Whether a recorded line has a point at (x, y), within a device unit.
bool LineMeets(const md::canvas::RecordingCanvas& canvas, double x, double y) {
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    for (const md::canvas::Point& p : r->Points()) {
      if (std::fabs(p.x - x) <= 1.0 && std::fabs(p.y - y) <= 1.0) return true;
    }
  }
  return false;
}

// The text elements of a converted compound and of the compounds in it.
int TextsIn(IGIS_CompoundElement* compound) {
  int n = 0;
  for (int i = 0; i < compound->GetElementCount(); ++i) {
    IGIS_Element* e = compound->GetElementPtrByIndex(i);
    if (dynamic_cast<IGIS_TextElement*>(e) != nullptr) ++n;
    if (auto* nested = dynamic_cast<IGIS_CompoundElement*>(e)) n += TextsIn(nested);
  }
  return n;
}

class LabelOnMeasuredGrid : public LabelPage {
 public:
  void SetUp() override {
    LabelPage::SetUp();
    grid = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE);
    ASSERT_NE(grid, nullptr);
    grid->SetMapElement(frame_);
    ASSERT_TRUE(frame_->GetMapGrids()->AddMapGrid(grid));
  }
  IGIS_MapGrid* grid = nullptr;  // owned by the frame's grid list
};

TEST_F(LabelOnMeasuredGrid, WritesTheKilometreOfEachLineWhereTheLineMeetsTheFrame) {
  ASSERT_NE(grid->GetLabelFormat(), nullptr);
  EXPECT_EQ(grid->GetLabelFormat()->GetType(), GIS_GRIDLABEL_FORMATTED);
  LabelPrinter printer;
  ASSERT_TRUE(frame_->OnDraw(printer.hdc, true, printer.display.get()));
  const std::vector<Placed> all = PlacedOf(printer.canvas);
  EXPECT_EQ(TextsOn(all, kBottom), Values(420000, 1000, 11));
  EXPECT_EQ(TextsOn(all, kTop), Values(420000, 1000, 11));
  EXPECT_EQ(TextsOn(all, kLeft), Values(4410000, 1000, 9));
  EXPECT_EQ(TextsOn(all, kRight), Values(4410000, 1000, 9));
  // Each bottom and top text is centred on the end of its grid line, each
  // left and right text on its height.
  for (const Placed& p : OnSide(all, kBottom)) {
    EXPECT_TRUE(LineMeets(printer.canvas, (p.left + p.right) / 2, kFrameBottom)) << p.text;
  }
  for (const Placed& p : OnSide(all, kTop)) {
    EXPECT_TRUE(LineMeets(printer.canvas, (p.left + p.right) / 2, kFrameTop)) << p.text;
  }
  for (const Placed& p : OnSide(all, kLeft)) {
    EXPECT_TRUE(LineMeets(printer.canvas, kFrameLeft, (p.top + p.bottom) / 2)) << p.text;
  }
}

TEST_F(LabelOnMeasuredGrid, IsConvertedWithTheGridAndStoredWithIt) {
  LabelPrinter printer;
  frame_->OnDraw(printer.hdc, true, printer.display.get());
  IGIS_Element* converted = grid->ConvertToElement();
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(compound, nullptr);
  EXPECT_EQ(TextsIn(compound), 40);
  DropCompound(compound);

  // The grid's stored form carries the label with its format.
  auto* label = dynamic_cast<IGIS_FormattedGridLabel*>(grid->GetLabelFormat());
  ASSERT_NE(label, nullptr);
  label->GetNumericFormat()->SetShowThousandsSeparator(true);
  label->SetLabelOffsetX(111, 222, 0, 0);
  ReleasePtr<IGIS_DataBuffer> stored(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(grid->Save(stored.get()));
  ReleasePtr<IGIS_MapGrid> read(GIS_CreateMapGridPropertyObjectFromBuffer(stored.get()));
  ASSERT_NE(read, nullptr);
  ASSERT_NE(read->GetLabelFormat(), nullptr);
  EXPECT_EQ(Stored(read->GetLabelFormat()), Stored(label));
}

TEST_F(LabelOnMeasuredGrid, CarriesAMixedFontLabelDrawnConvertedAndStoredWithIt) {
  auto* measured = dynamic_cast<IGIS_MeasureGrid*>(grid);
  ASSERT_NE(measured, nullptr);
  measured->GetGridSpacing()->SetUnits(1);  // kilometres, one apart
  measured->GetGridSpacing()->SetXIntervalSize(1);
  measured->GetGridSpacing()->SetYIntervalSize(1);
  ReleasePtr<CGIS_MixedFontGridLabel> mixed(new CGIS_MixedFontGridLabel);
  mixed->SetShowZone(true);
  grid->SetLabelFormat(mixed.get());
  IGIS_GridLabel* label = grid->GetLabelFormat();
  ASSERT_NE(label, nullptr);
  ASSERT_EQ(label->GetType(), GIS_GRIDLABEL_MIXEDFONT);

  LabelPrinter printer;
  ASSERT_TRUE(frame_->OnDraw(printer.hdc, true, printer.display.get()));
  const std::vector<Placed> all = PlacedOf(printer.canvas);
  // Second parts: 11 lines below (420 to 430 km), 9 above (the corner
  // lines leave at the top corners), 9 on the left and the right; first
  // parts at both ends of each side, the grid's zone 39 beside those below
  // and above.
  std::vector<std::string> texts;
  for (const Placed& p : all) texts.push_back(p.text);
  EXPECT_EQ(all.size(), (11u + 9 + 9 + 9) + 2 * 4 + 2 * 2);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "39"), 4);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "4"), 4);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "44"), 4);

  IGIS_Element* converted = grid->ConvertToElement();
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(compound, nullptr);
  EXPECT_EQ(TextsIn(compound), static_cast<int>(all.size()));
  DropCompound(compound);

  ReleasePtr<IGIS_DataBuffer> stored(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(grid->Save(stored.get()));
  ReleasePtr<IGIS_MapGrid> read(GIS_CreateMapGridPropertyObjectFromBuffer(stored.get()));
  ASSERT_NE(read, nullptr);
  ASSERT_NE(dynamic_cast<CGIS_MixedFontGridLabel*>(read->GetLabelFormat()), nullptr);
  EXPECT_EQ(Stored(read->GetLabelFormat()), Stored(label));
}

}  // namespace
}  // namespace md::test
