// The formatted label's drawing and conversion on a map frame, with a
// measured grid double: which lines are labelled, where the texts stand,
// the refusals, and that a converted text lies where the drawing puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/canvas/canvas.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

constexpr const char* kDraw = "CGIS_FormattedGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_FormattedGridLabel::ConvertToElement";

using FormattedLabelDrawing = LabelDrawingPage<CGIS_FormattedGridLabel>;

TEST_F(FormattedLabelDrawing, WritesEveryKilometreWhereItsLineMeetsEachSide) {
  const std::vector<Placed> all = Draw();
  // The lines on the area's edges (420 and 430 km) are labelled too.
  EXPECT_EQ(TextsOn(all, kBottom), Values(420000, 1000, 11));
  EXPECT_EQ(TextsOn(all, kTop), Values(420000, 1000, 11));
  EXPECT_EQ(TextsOn(all, kLeft), Values(4410000, 1000, 9));
  EXPECT_EQ(TextsOn(all, kRight), Values(4410000, 1000, 9));
  EXPECT_EQ(all.size(), 40u);
  // 1 km is 20 mm at 1:50,000; the default offsets put the texts 2 mm off
  // the frame: centred below and above, ending left and starting right.
  for (const Placed& p : OnSide(all, kBottom)) {
    const double x = kFrameLeft + (std::stod(p.text) - 420000) / 0.5;
    EXPECT_NEAR((p.left + p.right) / 2, x, 1.0) << p.text;
    EXPECT_NEAR(p.top, kFrameBottom + 200, 1.0) << p.text;
    EXPECT_EQ(p.angle, 0.0);
  }
  for (const Placed& p : OnSide(all, kTop)) EXPECT_NEAR(p.bottom, kFrameTop - 200, 1.0) << p.text;
  for (const Placed& p : OnSide(all, kLeft)) {
    const double y = kFrameBottom - (std::stod(p.text) - 4410000) / 0.5;
    EXPECT_NEAR(p.right, kFrameLeft - 200, 1.0) << p.text;
    EXPECT_NEAR((p.top + p.bottom) / 2, y, 1.0) << p.text;
  }
  for (const Placed& p : OnSide(all, kRight)) EXPECT_NEAR(p.left, kFrameRight + 200, 1.0) << p.text;
}

TEST_F(FormattedLabelDrawing, RefusesWhatItCannotLabelAndDrawsNothing) {
  ExpectDrawRefused(
      kDraw,
      {
          {"a graticule", [](auto* t) { t->Rebind(GIS_MAPGRID_GRATICULE); }, "pMapGrid->GetType( == NULL"},
          {"an index grid", [](auto* t) { t->Rebind(GIS_MAPGRID_INDEX); }, "pMapGrid->GetType( == NULL"},
          {"no map frame", [](auto* t) { t->grid_->SetMapElement(nullptr); }, "p_mapelement == NULL"},
          {"no map", [](auto* t) { t->frame_->SetMap(nullptr); }, "p_map == NULL"},
          {"no text symbol", [](auto* t) { t->label_->SetTextSymbolPtr(nullptr); }, "m_pTextSymbol == NULL"},
          {"no spacing", [](auto* t) { t->grid_->SetGridSpacingPtr(nullptr); }, "m_pGridSpacing == NULL"},
      });
  ReleasePtr<CGIS_FormattedGridLabel> unbound(new CGIS_FormattedGridLabel);
  LabelPrinter printer;
  LogMark mark;
  EXPECT_FALSE(unbound->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kDraw, "m_pMapGrid == NULL"));
}

TEST_F(FormattedLabelDrawing, DrawsTheSidesTheGridNamesAndStoresNothingOfIt) {
  const std::vector<BYTE> before = Stored(label_.get());
  const struct {
    const char* what;
    std::function<void(FormattedLabelDrawing*)> arrange;
    std::size_t bottom, top, left, right;
  } rows[] = {
      {"no side", [](auto* t) { t->grid_->SetLabelVisible(false, false, false, false); }, 0, 0, 0, 0},
      // left, top, right, bottom
      {"top and right", [](auto* t) { t->grid_->SetLabelVisible(false, true, true, false); }, 0, 11, 0, 9},
      // An interval of zero leaves only that direction unlabelled.
      {"no x interval", [](auto* t) { t->grid_->GetGridSpacing()->SetXIntervalSize(0.0); }, 0, 0, 9, 9},
  };
  for (const auto& r : rows) {
    TearDown();
    SetUp();
    r.arrange(this);
    const std::vector<Placed> all = Draw();
    EXPECT_EQ(TextsOn(all, kBottom).size(), r.bottom) << r.what;
    EXPECT_EQ(TextsOn(all, kTop).size(), r.top) << r.what;
    EXPECT_EQ(TextsOn(all, kLeft).size(), r.left) << r.what;
    EXPECT_EQ(TextsOn(all, kRight).size(), r.right) << r.what;
    EXPECT_EQ(all.size(), r.bottom + r.top + r.left + r.right) << r.what;
    // The label's own flags and stored form are what they were.
    EXPECT_EQ(Stored(label_.get()), before) << r.what;
  }
}

TEST_F(FormattedLabelDrawing, WritesTheValueWithTheSpacingsOriginAndUnit) {
  // The map shows x -5 to 5 km: the line at easting 0 meets the bottom side
  // in the middle and reads 500000 with an origin of 500 km.
  frame_->SetMapBound(SGIS_DRect(-5000, 4418000, 5000, 4410000));
  grid_->GetGridSpacing()->SetXOrigin(500000);
  const std::vector<Placed> bottom = OnSide(Draw(), kBottom);
  ASSERT_EQ(bottom.size(), 11u);
  EXPECT_EQ(bottom[5].text, "500000");
  EXPECT_NEAR((bottom[5].left + bottom[5].right) / 2, (kFrameLeft + kFrameRight) / 2, 1.0);
  // In kilometres (unit 1 of the linear units) the same lines read 1 apart.
  frame_->SetMapBound(SGIS_DRect(420000, 4418000, 430000, 4410000));
  grid_->GetGridSpacing()->SetXOrigin(0);
  grid_->GetGridSpacing()->SetXIntervalSize(1);
  grid_->GetGridSpacing()->SetUnits(1);
  EXPECT_EQ(TextsOn(Draw(), kBottom), Values(420, 1, 11));
}

TEST_F(FormattedLabelDrawing, TurnsTheSidesItsFlagsNameAndMovesThemByTheirOffsets) {
  label_->SetLabelAlignment(false, false, false, true);  // left, right, top, bottom
  label_->SetLabelOffsetX(200, 200, 300, 300);           // top and bottom move right
  const std::vector<Placed> all = Draw();
  for (const Placed& p : OnSide(all, kBottom)) {
    EXPECT_EQ(p.angle, 90.0) << p.text;
    // Turned, the text still stands below its point, centred on it, reading upwards.
    EXPECT_NEAR((p.left + p.right) / 2, kFrameLeft + (std::stod(p.text) - 420000) / 0.5 + 300, 1.0) << p.text;
    EXPECT_NEAR(p.top, kFrameBottom + 200, 1.0) << p.text;
  }
  for (const Placed& p : OnSide(all, kTop)) {
    EXPECT_EQ(p.angle, 0.0) << p.text;
    EXPECT_NEAR((p.left + p.right) / 2, kFrameLeft + (std::stod(p.text) - 420000) / 0.5 + 300, 1.0) << p.text;
  }
}

TEST_F(FormattedLabelDrawing, CapsItsLinesWithOneRecordAndFinishes) {
  grid_->SetLabelVisible(false, false, false, true);
  // Over 10 km on 20,000 device units: lines a metre apart (two units) can
  // be told apart but are more than one pass lays; half a metre (one unit)
  // or a micrometre apart they cannot be told apart. None is labelled.
  const struct {
    double interval;
    const char* record;
    bool labelled;
  } rows[] = {
      {1.0, "lines capped at 0: 10005 of them, more than the 500 one pass lays", false},
      {0.5, "lines capped at 0: closer together than 2 units where they are drawn", false},
      {1e-6, "lines capped at 0: closer together than 2 units where they are drawn", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.interval);
    grid_->GetGridSpacing()->SetXIntervalSize(r.interval);
    LogMark mark;
    const std::vector<Placed> all = Draw();
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, kDraw, r.record), 1);
    EXPECT_EQ(!all.empty(), r.labelled);
    EXPECT_LE(all.size(), 10000u);
  }
}

// ---- Conversion ------------------------------------------------------------

class FormattedLabelConversion : public FormattedLabelDrawing {};

TEST_F(FormattedLabelConversion, PutsEveryTextWhereTheDrawingPutsIt) {
  const struct {
    const char* what;
    bool left, right, top, bottom;
  } rows[] = {{"level", false, false, false, false}, {"turned", true, true, true, true}};
  for (const auto& r : rows) {
    label_->SetLabelAlignment(r.left, r.right, r.top, r.bottom);
    label_->SetLabelOffsetX(150, 250, 350, 450);
    label_->SetLabelOffsetY(50, 60, 70, 80);
    ExpectConvertedAsDrawn(label_.get(), set_, Draw(), kLabelFrame, r.what);
  }
  // The label's own text symbol is not turned.
  EXPECT_EQ(label_->GetTextSymbolPtr()->GetAngle(), 0.0);
}

TEST_F(FormattedLabelConversion, RefusesBeforeMakingAnythingAndMakesAnEmptyCompoundWithoutSides) {
  ExpectEmptyCompoundWithoutSides();
  ExpectConvertRefused(
      kConvert,
      {
          {"a graticule", [](auto* t) { t->Rebind(GIS_MAPGRID_GRATICULE); }, "m_pMapGrid->GetType( == NULL"},
          {"no map", [](auto* t) { t->frame_->SetMap(nullptr); }, "p_map == NULL"},
          {"no text symbol", [](auto* t) { t->label_->SetTextSymbolPtr(nullptr); }, "m_pTextSymbol == NULL"},
      });
}

}  // namespace
}  // namespace md::test
