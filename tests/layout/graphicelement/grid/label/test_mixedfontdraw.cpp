// The mixed-font label's drawing and conversion on a map frame, with a
// measured grid double of 1 km in kilometres: which parts are drawn on each
// side, where they stand, the zone number, the print scale, the refusals,
// and that the converted texts lie where the drawing puts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

constexpr const char* kDraw = "CGIS_MixedFontGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_MixedFontGridLabel::ConvertToElement";
// Page units of one point of text.
constexpr double kPoint = 2540.0 / 72.0;

// The global print scale for the life of the object (1.0 afterwards, which
// draws as if it were not set).
class PrintTextScale {
 public:
  explicit PrintTextScale(double value) { Field()->SetDouble(value); }
  ~PrintTextScale() { Field()->SetDouble(1.0); }

 private:
  static IGIS_Field* Field() {
    const char* key = "SYMBOL_PRINT_TEXT_SCALE";
    IGIS_GlobalProperties* globals = GIS_GetGlobalProperties();
    if (IGIS_Field* field = globals->GetProperty(key)) return field;
    IGIS_Field* field = GIS_CreateFieldObject();
    field->SetName(key);
    field->SetType(GIS_FIELD_TYPE_DOUBLE);
    if (!globals->AddProperty(field)) field->Release();
    return globals->GetProperty(key);
  }
};

class MixedLabelDrawing : public LabelDrawingPage<CGIS_MixedFontGridLabel> {
 public:
  void SetUp() override {
    LabelDrawingPage::SetUp();
    // Kilometres, one apart: 420 .. 430 and 4410 .. 4418.
    grid_->GetGridSpacing()->SetUnits(1);
    grid_->GetGridSpacing()->SetXIntervalSize(1);
    grid_->GetGridSpacing()->SetYIntervalSize(1);
  }
};

// The texts drawn in one of the label's sizes (em in device units), in
// their drawing order.
std::vector<std::string> TextsOfSize(const std::vector<Placed>& all, double em) {
  std::vector<std::string> out;
  for (const Placed& p : all) {
    const double h = p.angle == 0.0 ? p.bottom - p.top : p.right - p.left;
    if (std::fabs(h - em) < 1.0) out.push_back(p.text);
  }
  return out;
}
const double kFirstEm = 8 * kPoint, kSecondEm = 16 * kPoint, kZoneEm = 10 * kPoint;

// Gives the grid's spacing a stored unit that no unit list has.
void StoreUnknownUnit(MeasureGridDouble* grid) {
  BufferPtr b = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "Units", 99); });
  ASSERT_TRUE(grid->GetGridSpacing()->Open(b.get()));
  ASSERT_EQ(grid->GetGridSpacing()->GetUnits(), 99);
}

// The drawing of one side: the grid names only that side.
std::vector<Placed> DrawSide(MixedLabelDrawing* t, Side side) {
  t->grid_->SetLabelVisible(side == kLeft, side == kTop, side == kRight, side == kBottom);
  return t->Draw();
}

// The bottom side drawn with the zone shown: the first line's second part,
// its first part and the zone number come first, in that order.
std::vector<Placed> ZonedBottom(MixedLabelDrawing* t) {
  const std::vector<Placed> bottom = DrawSide(t, kBottom);
  std::vector<std::string> lead;
  for (std::size_t i = 0; i < bottom.size() && i < 3; ++i) lead.push_back(bottom[i].text);
  EXPECT_EQ(lead, (std::vector<std::string>{"20", "4", "39"}));
  return bottom;
}

TEST_F(MixedLabelDrawing, WritesTheLastTwoDigitsEverywhereAndTheRestWhereThePositionRuleKeepsIt) {
  // The second parts of every line; a vertical line that leaves the frame at
  // a top corner (420 and 430 km) gets its bottom label only, a horizontal
  // line through a corner both of its labels. Only the side the grid names
  // is drawn, and drawing stores nothing in the label.
  const std::vector<BYTE> before = Stored(label_.get());
  grid_->SetLabelVisible(false, false, false, false);
  EXPECT_TRUE(Draw().empty());
  const struct {
    Side side;
    std::vector<std::string> first, second;
  } rows[] = {{kBottom, {"4", "4"}, Values(20, 1, 11)},
              {kTop, {"4", "4"}, Values(21, 1, 9)},
              {kLeft, {"44", "44"}, Values(10, 1, 9)},
              {kRight, {"44", "44"}, Values(10, 1, 9)}};
  for (const auto& r : rows) {
    const std::vector<Placed> all = DrawSide(this, r.side);
    EXPECT_EQ(TextsOfSize(all, kSecondEm), r.second) << r.side;
    EXPECT_EQ(TextsOfSize(all, kFirstEm), r.first) << r.side;
    EXPECT_EQ(all.size(), r.first.size() + r.second.size()) << r.side;
  }
  EXPECT_EQ(Stored(label_.get()), before);

  // Bottom: each second part starts on its line, the first part ends there,
  // both below the frame by the offset; the larger second part reaches up
  // to it, the first part stands on the same line.
  const std::vector<Placed> bottom = DrawSide(this, kBottom);
  for (const Placed& p : bottom) {
    if (p.text == "4") continue;
    EXPECT_NEAR(p.left, kFrameLeft + (std::stod(p.text) - 20) * 2000, 1.0) << p.text;
    EXPECT_NEAR(p.top, kFrameBottom + 200, 1.0) << p.text;
  }
  ASSERT_EQ(bottom[1].text, "4");  // drawn after its second part
  EXPECT_NEAR(bottom[1].right, kFrameLeft, 1.0);
  EXPECT_NEAR(bottom[1].bottom, bottom[0].bottom, 1.0);
  // Left: the label ends at the offset point and stands on its line.
  const std::vector<Placed> left = DrawSide(this, kLeft);
  ASSERT_EQ(left[0].text, "10");
  EXPECT_NEAR(left[0].right, kFrameLeft - 200, 1.0);
  EXPECT_NEAR(left[0].bottom, kFrameBottom, 1.0);
  EXPECT_NEAR(left[1].right, left[0].left, 1.0);
  EXPECT_NEAR(left[1].top, left[0].top, 1.0);
  for (const Placed& p : DrawSide(this, kRight)) EXPECT_GE(p.left, kFrameRight + 200 - 1.0) << p.text;
}

TEST_F(MixedLabelDrawing, SplitsAsItsSettingsSay) {
  const struct {
    const char* what;
    std::function<void(CGIS_MixedFontGridLabel*)> arrange;
    std::vector<std::string> bottomFirst, bottomSecond;
  } rows[] = {
      {"all first parts", [](CGIS_MixedFontGridLabel* l) { l->SetPosition(0); },
       std::vector<std::string>(11, "4"), Values(20, 1, 11)},
      {"where they change", [](CGIS_MixedFontGridLabel* l) { l->SetPosition(2); }, {"4"}, Values(20, 1, 11)},
      {"a count of 1",
       [](CGIS_MixedFontGridLabel* l) { l->SetNumGroupedDigits(1); },
       {"42", "43"},
       {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}},
      {"at the decimal point, kept in the second part",
       [](CGIS_MixedFontGridLabel* l) {
         l->SetGroupedDigitsType(false);
         l->GetNumericFormat()->SetDigits(1);
         l->SetPosition(0);
       },
       Values(420, 1, 11), std::vector<std::string>(11, ".0")},
  };
  for (const auto& r : rows) {
    TearDown();
    SetUp();
    r.arrange(label_.get());
    const std::vector<Placed> all = DrawSide(this, kBottom);
    EXPECT_EQ(TextsOfSize(all, kFirstEm), r.bottomFirst) << r.what;
    EXPECT_EQ(TextsOfSize(all, kSecondEm), r.bottomSecond) << r.what;
  }
}

TEST_F(MixedLabelDrawing, LeavesOutOnlyTheLabelsWithoutAText) {
  // A stored origin that is not a number gives the vertical lines no text
  // (the format writes none for it): their labels alone are left out.
  BufferPtr b = BufferWith([](IGIS_PropertySet* s) {
    s->AddProperty("XOrigin", "XOrigin", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(NAN);
  });
  ASSERT_TRUE(grid_->GetGridSpacing()->Open(b.get()));
  EXPECT_TRUE(DrawSide(this, kBottom).empty());
  EXPECT_EQ(TextsOfSize(DrawSide(this, kLeft), kSecondEm), Values(10, 1, 9));
}

TEST_F(MixedLabelDrawing, WritesTheZoneNumberBeforeFirstPartsOnTheBottomAndTopOnly) {
  label_->SetShowZone(true);
  // Zone 39 of 3 degrees (central meridian 117 degrees east), beside the
  // two first parts the position rule keeps.
  const struct {
    Side side;
    std::size_t zones;
  } rows[] = {{kBottom, 2}, {kTop, 2}, {kLeft, 0}, {kRight, 0}};
  for (const auto& r : rows) {
    EXPECT_EQ(TextsOfSize(DrawSide(this, r.side), kZoneEm), std::vector<std::string>(r.zones, "39"))
        << r.side;
  }
  // It ends where its first part starts, its top level with the second part's.
  const std::vector<Placed> bottom = ZonedBottom(this);
  ASSERT_GE(bottom.size(), 3u);
  EXPECT_NEAR(bottom[2].right, bottom[1].left, 1.0);
  EXPECT_NEAR(bottom[2].top, bottom[0].top, 1.0);

  // Off, or on a grid without zones (a geographic reference has no projection): none.
  label_->SetShowZone(false);
  EXPECT_TRUE(TextsOfSize(DrawSide(this, kBottom), kZoneEm).empty());
  label_->SetShowZone(true);
  ReleasePtr<IGIS_SpatialReference> degrees(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  grid_->SetSpatialReference(degrees.get());
  grid_->GetGridSpacing()->SetUnits(0);
  EXPECT_TRUE(TextsOfSize(DrawSide(this, kBottom), kZoneEm).empty());
}

TEST_F(MixedLabelDrawing, TurnedSidesReadUpwardsOnTheirSide) {
  label_->SetLabelAlignment(true, true, true, true);
  label_->SetShowZone(true);
  for (Side side : {kBottom, kTop, kLeft, kRight}) {
    for (const Placed& p : DrawSide(this, side)) {
      EXPECT_EQ(p.angle, 90.0) << p.text;
      const bool outside = side == kBottom ? p.top >= kFrameBottom + 199
                           : side == kTop  ? p.bottom <= kFrameTop - 199
                           : side == kLeft ? p.right <= kFrameLeft - 199
                                           : p.left >= kFrameRight + 199;
      EXPECT_TRUE(outside) << side << " " << p.text;
    }
  }
  // On the bottom the zone number, first and second part follow each other
  // upwards, the second part ending at the offset point, centred on its line.
  const std::vector<Placed> bottom = ZonedBottom(this);
  ASSERT_GE(bottom.size(), 3u);
  EXPECT_NEAR(bottom[2].top, bottom[1].bottom, 1.0);
  EXPECT_NEAR(bottom[1].top, bottom[0].bottom, 1.0);
  EXPECT_NEAR(bottom[0].top, kFrameBottom + 200, 1.0);
  EXPECT_NEAR((bottom[0].left + bottom[0].right) / 2, kFrameLeft, 1.0);
  EXPECT_NEAR(bottom[1].right, bottom[0].right, 1.0);
}

TEST_F(MixedLabelDrawing, PrintingScalesItsTextsByTheSettingAboveZeroOnly) {
  // The height of the first bottom text: a second part.
  const auto emOf = [](const std::vector<Placed>& all) {
    return all.empty() ? 0.0 : all.front().bottom - all.front().top;
  };
  const double plain = emOf(DrawSide(this, kBottom));
  EXPECT_NEAR(plain, kSecondEm, 1.0);
  for (double setting : {0.0, -2.0}) {
    PrintTextScale scale(setting);
    EXPECT_NEAR(emOf(DrawSide(this, kBottom)), plain, 1e-6) << setting;
  }
  PrintTextScale scale(1.5);
  const std::vector<Placed> scaled = DrawSide(this, kBottom);
  EXPECT_NEAR(emOf(scaled), 1.5 * plain, 1.0);
  // The parts are laid out at the size they are drawn: still side by side
  // and below the frame by the offset.
  ASSERT_GE(scaled.size(), 2u);
  EXPECT_NEAR(scaled[1].right, scaled[0].left, 1.0);
  EXPECT_NEAR(scaled[0].top, kFrameBottom + 200, 1.0);
  // On the screen (y down) the setting changes nothing, and every side
  // finds its labels on its own edge as on the printed page.
  grid_->SetLabelVisible(true, true, true, true);
  const std::size_t printed = Draw().size();
  RecordingScreen screen(1200, 1000, 96, 1.0, 0.0, 20000.0);
  frame_->OnDraw(screen.hdc, false, screen.display.get());
  screen.canvas.clear();
  ASSERT_TRUE(label_->OnDraw(screen.hdc, false, screen.display.get()));
  const std::vector<Placed> onScreen = PlacedOf(screen.canvas);
  ASSERT_FALSE(onScreen.empty());
  EXPECT_NEAR(emOf(onScreen), 16 * 96 / 72.0, 0.5);
  EXPECT_EQ(onScreen.size(), printed);
}

TEST_F(MixedLabelDrawing, RefusesWhatItCannotLabelAndDrawsNothing) {
  ExpectDrawRefused(
      kDraw,
      {
          {"a graticule", [](auto* t) { t->Rebind(GIS_MAPGRID_GRATICULE); }, "pMapGrid->GetType( == NULL"},
          {"no map frame", [](auto* t) { t->grid_->SetMapElement(nullptr); }, "p_mapelement == NULL"},
          {"no map", [](auto* t) { t->frame_->SetMap(nullptr); }, "p_map == NULL"},
          {"no spacing", [](auto* t) { t->grid_->SetGridSpacingPtr(nullptr); }, "m_pGridSpacing == NULL"},
          {"no text symbol", [](auto* t) { t->label_->SetTextSymbolPtr(nullptr); }, "m_pTextSymbol == NULL"},
          {"no second symbol", [](auto* t) { t->label_->SetSecondarySymbolTextPtr(nullptr); },
           "m_pSecondarySymbolText == NULL"},
          {"no format", [](auto* t) { t->label_->SetNumericFormatPtr(nullptr); }, "m_pNumericFormat == NULL"},
          {"an unknown unit", [](auto* t) { StoreUnknownUnit(t->grid_); }, "f <= 0"},
      });
  LabelPrinter printer;
  LogMark mark;
  EXPECT_FALSE(label_->OnDraw(printer.hdc, true, nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kDraw, "p_display == NULL"));
}

// ---- Conversion ------------------------------------------------------------

using MixedLabelConversion = MixedLabelDrawing;

TEST_F(MixedLabelConversion, PutsEveryPartWhereTheDrawingPutsIt) {
  const struct {
    const char* what;
    bool turned;
    int position;
  } rows[] = {{"level", false, 3}, {"turned", true, 3}, {"first and last", false, 1}, {"all", true, 0}};
  label_->SetShowZone(true);
  for (const auto& r : rows) {
    label_->SetLabelAlignment(r.turned, r.turned, r.turned, r.turned);
    label_->SetPosition(r.position);
    label_->SetLabelOffsetX(150, 250, 350, 450);
    label_->SetLabelOffsetY(50, 60, 70, 80);
    ExpectConvertedAsDrawn(label_.get(), set_, Draw(), kLabelFrame, r.what);
  }
  // The label's own symbols are not turned.
  EXPECT_EQ(label_->GetTextSymbolPtr()->GetAngle(), 0.0);
  EXPECT_EQ(label_->GetSecondarySymbolText()->GetAngle(), 0.0);
}

TEST_F(MixedLabelConversion, RefusesBeforeMakingAnythingAndMakesAnEmptyCompoundWithoutSides) {
  ExpectEmptyCompoundWithoutSides();
  ExpectConvertRefused(
      kConvert,
      {
          {"a graticule", [](auto* t) { t->Rebind(GIS_MAPGRID_GRATICULE); }, "m_pMapGrid->GetType( == NULL"},
          {"an index grid", [](auto* t) { t->Rebind(GIS_MAPGRID_INDEX); }, "m_pMapGrid->GetType( == NULL"},
          {"no map", [](auto* t) { t->frame_->SetMap(nullptr); }, "p_map== NULL "},
          {"no second symbol", [](auto* t) { t->label_->SetSecondarySymbolTextPtr(nullptr); },
           "m_pSecondarySymbolText == NULL"},
          {"an unknown unit", [](auto* t) { StoreUnknownUnit(t->grid_); }, "f <= 0"},
      });
}

}  // namespace
}  // namespace md::test
