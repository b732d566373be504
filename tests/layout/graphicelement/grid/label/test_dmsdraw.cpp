// The degrees-minutes-seconds label's drawing and conversion on a map frame
// in degrees, with the graticule and a fixed-count graticule double: which
// lines are labelled, where each part of a label stands, crowded ends, the
// refusals, and that a converted text lies where the drawing puts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/grid/label/dmslabeltest.h"
#include "tests/support/graticulemngriddouble.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

constexpr const char* kDraw = "CGIS_DMSGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_DMSGridLabel::ConvertToElement";

// The distance of the labels from the frame (the default offsets).
constexpr double kOff = 200;

class DmsDrawing : public DmsPage {};

TEST_F(DmsDrawing, WritesEachLineWhereItMeetsItsSideByTheSidesCode) {
  ShowDegrees();
  const std::vector<Placed> all = Draw();
  // The lines beyond the map, tried because the extent is widened, give
  // nothing; the frame's corners lie on no line.
  EXPECT_EQ(TextsOn(all, kBottom, kDmsFrame), Degrees(100, 10, 4));
  EXPECT_EQ(TextsOn(all, kTop, kDmsFrame), Degrees(100, 10, 4));
  EXPECT_EQ(TextsOn(all, kLeft, kDmsFrame), Degrees(20, 10, 4));
  EXPECT_EQ(TextsOn(all, kRight, kDmsFrame), Degrees(20, 10, 4));
  EXPECT_EQ(all.size(), 16u);
  // Codes 5 (bottom: centred below), 1 (top: centred above), 8 (left: ending
  // at the point, above it), 2 (right: starting there, above it).
  for (const Placed& p : OnSide(all, kBottom, kDmsFrame)) {
    EXPECT_NEAR((p.left + p.right) / 2, XOfLongitude(std::stod(p.text)), 1.0) << p.text;
    EXPECT_NEAR(p.top, kDmsFrame.bottom + kOff, 1.0) << p.text;
  }
  for (const Placed& p : OnSide(all, kTop, kDmsFrame)) {
    EXPECT_NEAR((p.left + p.right) / 2, XOfLongitude(std::stod(p.text)), 1.0) << p.text;
    EXPECT_NEAR(p.bottom, kDmsFrame.top - kOff, 1.0) << p.text;
  }
  for (const Placed& p : OnSide(all, kLeft, kDmsFrame)) {
    EXPECT_NEAR(p.right, kDmsFrame.left - kOff, 1.0) << p.text;
    EXPECT_NEAR(p.bottom, YOfLatitude(std::stod(p.text)), 1.0) << p.text;
  }
  for (const Placed& p : OnSide(all, kRight, kDmsFrame)) {
    EXPECT_NEAR(p.left, kDmsFrame.right + kOff, 1.0) << p.text;
    EXPECT_NEAR(p.bottom, YOfLatitude(std::stod(p.text)), 1.0) << p.text;
  }
}

TEST_F(DmsDrawing, StacksTheDegreesBesideTheRestOnlyWhenSplitting) {
  label_->SetShowSeconds(false);
  label_->SetDecimalDigits(0);
  label_->GetSecondsSymbolText()->GetFontSizePtr()->lfHeight = -6;
  const struct {
    const char* what;
    int type;
    bool split;
    std::size_t texts;
  } rows[] = {
      {"stacked and split", GIS_DMSLABEL_STACKED, true, 32},
      {"stacked without the split option", GIS_DMSLABEL_STACKED, false, 16},
      {"standard", GIS_DMSLABEL_STANDARD, true, 16},
  };
  for (const auto& r : rows) {
    label_->SetDMSLabelType(r.type);
    label_->GetLatLonFormat()->SetSplitOption(r.split);
    const std::vector<Placed> all = Draw();
    EXPECT_EQ(all.size(), r.texts) << r.what;
    if (r.texts == 16) {
      EXPECT_EQ(TextsOn(all, kBottom, kDmsFrame)[0], "100°00′") << r.what;
      continue;
    }
    // The degrees part in the text symbol, the rest in the smaller seconds
    // symbol, meeting at the point: below it at the bottom, above at the
    // top; one above the other on the left (ending there) and right
    // (starting there).
    const std::vector<Placed> bottom = OnSide(all, kBottom, kDmsFrame);
    ASSERT_EQ(bottom.size(), 8u);
    for (std::size_t i = 0; i < bottom.size(); i += 2) {
      const Placed& d = bottom[i];
      const Placed& m = bottom[i + 1];
      const double x = XOfLongitude(100 + 10 * static_cast<int>(i / 2));
      EXPECT_EQ(d.text, std::to_string(100 + 10 * (i / 2)) + "°");
      EXPECT_EQ(m.text, "00′");
      EXPECT_NEAR(d.right, x, 1.0);
      EXPECT_NEAR(m.left, x, 1.0);
      EXPECT_NEAR(d.top, kDmsFrame.bottom + kOff, 1.0);
      EXPECT_NEAR(m.top, kDmsFrame.bottom + kOff, 1.0);
      EXPECT_LT(m.bottom - m.top, d.bottom - d.top);
    }
    for (const Placed& p : OnSide(all, kTop, kDmsFrame)) EXPECT_NEAR(p.bottom, kDmsFrame.top - kOff, 1.0);
    const std::vector<Placed> left = OnSide(all, kLeft, kDmsFrame);
    ASSERT_EQ(left.size(), 8u);
    for (std::size_t i = 0; i < left.size(); i += 2) {
      // Sorted downwards: the degrees above, the rest below the point.
      const Placed& d = left[i + 1];
      const Placed& m = left[i];
      EXPECT_EQ(d.text.back(), "°"[1]) << d.text;
      EXPECT_NEAR(d.right, kDmsFrame.left - kOff, 1.0);
      EXPECT_NEAR(m.right, kDmsFrame.left - kOff, 1.0);
      EXPECT_NEAR(d.bottom, m.top, 1.0);
    }
    for (const Placed& p : OnSide(all, kRight, kDmsFrame)) EXPECT_NEAR(p.left, kDmsFrame.right + kOff, 1.0);
  }
  // A stored type other than the two draws as standard.
  BufferPtr b = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "DMSLabelType", 2); });
  EXPECT_TRUE(label_->Open(b.get()));
  label_->GetLatLonFormat()->SetSplitOption(true);
  EXPECT_EQ(Draw().size(), 16u);
}

TEST_F(DmsDrawing, TheOriginMovesTheTextsNotTheirPlaces) {
  ShowDegrees();
  grid_->GetGridSpacing()->SetXOrigin(1);
  const std::vector<Placed> bottom = OnSide(Draw(), kBottom, kDmsFrame);
  ASSERT_EQ(bottom.size(), 4u);
  for (std::size_t i = 0; i < bottom.size(); ++i) {
    EXPECT_EQ(bottom[i].text, std::to_string(101 + 10 * i) + "°");
    EXPECT_NEAR((bottom[i].left + bottom[i].right) / 2, XOfLongitude(100 + 10.0 * i), 1.0);
  }
}

TEST_F(DmsDrawing, KeepsOneLabelOfASideThatIsOneCrowdedRun) {
  // A frame of 0.4 mm showing 40°: lines 2° apart meet it 0.02 mm apart.
  ShowDegrees();
  frame_->SetRect(SGIS_Rect(2000, 2040, 2040, 2000));
  frame_->SetMapBound(SGIS_DRect(95, 55, 135, 15));
  grid_->GetGridSpacing()->SetXIntervalSize(2);
  grid_->GetGridSpacing()->SetYIntervalSize(2);
  const CanvasFrame tiny{2000, 2040, 17960, 18000};
  const std::vector<Placed> printed = Draw(true);
  EXPECT_EQ(TextsOn(printed, kBottom, tiny), Degrees(134, 0, 1));
  EXPECT_EQ(TextsOn(printed, kTop, tiny), Degrees(134, 0, 1));
  EXPECT_EQ(TextsOn(printed, kLeft, tiny), Degrees(54, 0, 1));
  EXPECT_EQ(TextsOn(printed, kRight, tiny), Degrees(54, 0, 1));
  // On a screen, whose y grows downwards, the left and right sides too: the
  // whole frame at 254 dpi (1600 pixels), lines 0.1° (4 pixels) apart, no
  // more of them than one pass lays.
  frame_->SetRect(kDmsFrameRect);
  frame_->SetMapBound(SGIS_DRect(95, 55, 135, 15));
  grid_->GetGridSpacing()->SetXIntervalSize(0.1);
  grid_->GetGridSpacing()->SetYIntervalSize(0.1);
  Screen screen;
  frame_->OnDraw(screen.hdc, false, &screen.display);
  screen.canvas.clear();
  EXPECT_TRUE(label_->OnDraw(screen.hdc, false, &screen.display));
  const CanvasFrame pixels{200, 1800, 200, 1800};
  const std::vector<Placed> shown = PlacedOf(screen.canvas);
  EXPECT_EQ(shown.size(), 4u);
  // The last of each side: the north-east corner's meridian and parallel.
  EXPECT_EQ(TextsOn(shown, kBottom, pixels), Degrees(135, 0, 1));
  EXPECT_EQ(TextsOn(shown, kRight, pixels), Degrees(55, 0, 1));
  std::vector<std::string> texts;
  for (const Placed& p : shown) texts.push_back(p.text);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(texts, (std::vector<std::string>{"135°", "135°", "55°", "55°"}));
}

TEST_F(DmsDrawing, DropsTheRepeatedPoleAtTheEndOfASide) {
  // Up to the pole with parallels 2° apart: the one at 92° is drawn at 90°,
  // on the pole's own label, which stays the only one.
  ShowDegrees();
  frame_->SetMapBound(SGIS_DRect(95, 90, 135, 50));
  grid_->GetGridSpacing()->SetYIntervalSize(2);
  const std::vector<Placed> all = Draw();
  EXPECT_EQ(TextsOn(all, kLeft, kDmsFrame), Degrees(50, 2, 21));
  EXPECT_EQ(TextsOn(all, kRight, kDmsFrame), Degrees(50, 2, 21));
}

TEST_F(DmsDrawing, PrintingFollowsCurvedParallelsCloser) {
  // The Gauss-Kruger test map over 2000 km: the parallels bend, and the
  // labels' lines are sampled 201 times when printing, 21 times otherwise.
  ShowDegrees();
  frame_->SetMapName(map_->GetName());
  frame_->SetMapBound(SGIS_DRect(-500000, 5200000, 1500000, 3200000));
  grid_->SetLabelVisible(true, false, false, false);  // left only
  const std::vector<Placed> printed = OnSide(Draw(true), kLeft, kDmsFrame);
  const std::vector<Placed> plain = OnSide(Draw(false), kLeft, kDmsFrame);
  ASSERT_EQ(printed.size(), plain.size());
  ASSERT_GE(printed.size(), 2u);
  // Where each parallel truly meets the left edge: found on the map.
  ReleasePtr<IGIS_SpatialReference> degrees(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  ReleasePtr<IGIS_CoordTransform> toMap(GIS_GetSpatialReferenceFactoryObject()->CreateCoordTransform(
      "", "", degrees.get(), map_->GetSpatialReference()));
  double worst = 0;
  for (std::size_t i = 0; i < printed.size(); ++i) {
    const double lat = std::stod(printed[i].text);
    double lo = 90, hi = 117;  // the edge's easting lies between these longitudes
    for (int k = 0; k < 60; ++k) {
      SGIS_DPoint p((lo + hi) / 2, lat);
      toMap->TransformPoint(1, &p, 1);
      (p.x < -500000 ? lo : hi) = (lo + hi) / 2;
    }
    SGIS_DPoint edge(lo, lat);
    toMap->TransformPoint(1, &edge, 1);
    // 16000 page units for 2000 km.
    const double y = kDmsFrame.bottom - (edge.y - 3200000) / 125.0;
    EXPECT_NEAR(printed[i].bottom, y, 1.0) << printed[i].text;
    worst = std::max(worst, std::fabs(plain[i].bottom - y));
  }
  EXPECT_GT(worst, 1.0);
}

TEST_F(DmsDrawing, DrawsTheSidesTheGridNamesAndChangesNothingOfItsOwn) {
  ShowDegrees();
  const std::vector<BYTE> before = Stored(label_.get());
  grid_->SetLabelVisible(false, false, false, false);
  EXPECT_TRUE(Draw().empty());
  grid_->SetLabelVisible(false, true, true, false);  // left, top, right, bottom
  const std::vector<Placed> all = Draw();
  EXPECT_TRUE(TextsOn(all, kBottom, kDmsFrame).empty());
  EXPECT_TRUE(TextsOn(all, kLeft, kDmsFrame).empty());
  EXPECT_EQ(TextsOn(all, kTop, kDmsFrame).size(), 4u);
  EXPECT_EQ(TextsOn(all, kRight, kDmsFrame).size(), 4u);
  EXPECT_EQ(Stored(label_.get()), before);
  // An interval that is not a number leaves its direction unlabelled.
  grid_->GetGridSpacing()->SetXIntervalSize(std::numeric_limits<double>::quiet_NaN());
  grid_->SetLabelVisible(true, true, true, true);
  const std::vector<Placed> parallels = Draw();
  EXPECT_TRUE(TextsOn(parallels, kBottom, kDmsFrame).empty());
  EXPECT_EQ(TextsOn(parallels, kLeft, kDmsFrame).size(), 4u);
}

TEST_F(DmsDrawing, CapsItsLinesWithOneRecordAndFinishes) {
  ShowDegrees();
  // 400,000 meridians over 40°, a twenty-fifth of a device unit apart: none
  // can be told apart, and none is labelled.
  grid_->GetGridSpacing()->SetXIntervalSize(0.0001);
  grid_->SetLabelVisible(false, false, false, true);
  LogMark mark;
  const std::vector<Placed> all = Draw(false);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, kDraw,
                       "lines capped at 0: closer together than 2 units where they are drawn"),
            1);
  EXPECT_TRUE(all.empty());
}

// Each graticule draws its own label before its own lines, and converts it
// into texts where they were drawn.
TEST_F(DmsDrawing, TheGraticulesDrawAndConvertTheirOwnLabels) {
  ReleasePtr<CGIS_GraticuleMNGrid> fixed(new CGIS_GraticuleMNGrid);
  fixed->SetMapElement(frame_);
  fixed->SetBorder(nullptr);
  const struct {
    const char* what;
    IGIS_MapGrid* grid;
    std::vector<std::string> bottom, left;
  } rows[] = {
      {"graticule at 10°", grid_, Degrees(100, 10, 4), Degrees(20, 10, 4)},
      // 40° by 40° in four columns and rows: 10° across, 5° up: both 5°.
      {"fixed rows and columns", fixed.get(), Degrees(95, 5, 9), Degrees(15, 5, 9)},
  };
  for (const auto& r : rows) {
    auto* own = dynamic_cast<CGIS_DMSGridLabel*>(r.grid->GetLabelFormat());
    ASSERT_NE(own, nullptr) << r.what;
    own->SetShowMinutes(false);
    own->SetDecimalDigits(0);
    r.grid->SetTickVisible(false, false, false, false);
    r.grid->SetSubTickVisible(false, false, false, false);
    LabelPrinter printer;
    frame_->OnDraw(printer.hdc, true, printer.display.get());
    printer.canvas.clear();
    EXPECT_TRUE(r.grid->OnDraw(printer.hdc, true, printer.display.get())) << r.what;
    const std::vector<Placed> all = PlacedOf(printer.canvas);
    EXPECT_EQ(TextsOn(all, kBottom, kDmsFrame), r.bottom) << r.what;
    EXPECT_EQ(TextsOn(all, kLeft, kDmsFrame), r.left) << r.what;
    const auto& records = printer.canvas.records();
    ASSERT_FALSE(records.empty()) << r.what;
    EXPECT_EQ(records.front().type, md::canvas::Record::Type::Text) << r.what;
    // The grid's compound holds its label's compound first.
    IGIS_Element* converted = r.grid->ConvertToElement();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
    ASSERT_NE(compound, nullptr) << r.what;
    ASSERT_GT(compound->GetElementCount(), 0) << r.what;
    std::vector<Placed> texts = DrawnMembers(compound->GetElementPtrByIndex(0));
    EXPECT_EQ(texts.size(), all.size()) << r.what;
    EXPECT_EQ(TextsOn(texts, kBottom, kDmsFrame), r.bottom) << r.what;
    DropCompound(compound);
  }
}

// ---- Conversion ------------------------------------------------------------

class DmsConversion : public DmsPage {
 public:
  // The texts of the compound's members, in its order.
  static std::vector<std::string> TextsOf(IGIS_Element* compound) {
    std::vector<std::string> out;
    auto* c = dynamic_cast<IGIS_CompoundElement*>(compound);
    for (int i = 0; c != nullptr && i < c->GetElementCount(); ++i) {
      out.push_back(dynamic_cast<IGIS_TextElement*>(c->GetElementPtrByIndex(i))->GetText());
    }
    return out;
  }
};

TEST_F(DmsConversion, PutsEveryTextWhereTheDrawingPutsIt) {
  label_->GetSecondsSymbolText()->GetFontSizePtr()->lfHeight = -6;
  label_->SetLabelOffsetX(150, 250, 350, 450);
  label_->SetLabelOffsetY(50, 60, 70, 80);
  const struct {
    const char* what;
    int type;
    bool turned;
  } rows[] = {
      {"standard, level", GIS_DMSLABEL_STANDARD, false},
      {"standard, turned", GIS_DMSLABEL_STANDARD, true},
      {"stacked, level", GIS_DMSLABEL_STACKED, false},
      {"stacked, turned", GIS_DMSLABEL_STACKED, true},
  };
  for (const auto& r : rows) {
    label_->SetDMSLabelType(r.type);
    label_->SetLabelAlignment(r.turned, r.turned, r.turned, r.turned);
    ExpectConvertedAsDrawn(label_.get(), set_, Draw(), kDmsFrame, r.what);
  }
  // The label's own symbols are not turned.
  EXPECT_EQ(label_->GetTextSymbolPtr()->GetAngle(), 0.0);
  EXPECT_EQ(label_->GetSecondsSymbolText()->GetAngle(), 0.0);
  EXPECT_EQ(label_->GetTextSymbolPtr()->GetFontSizePtr()->lfOrientation, 0);
}

TEST_F(DmsConversion, MakesTheDegreesBeforeTheRest) {
  // Half degrees in whole seconds: 116°30′00″.
  frame_->SetRect(SGIS_Rect(2000, 14000, 20000, 2000));
  frame_->SetMapBound(SGIS_DRect(114, 40, 120, 36));
  grid_->GetGridSpacing()->SetXIntervalSize(0.5);
  grid_->SetLabelVisible(false, false, false, true);  // bottom only
  label_->SetDecimalDigits(0);
  label_->SetDMSLabelType(GIS_DMSLABEL_STACKED);
  IGIS_Element* compound = label_->ConvertToElement();
  const std::vector<std::string> order = TextsOf(compound);
  // Pairs: the degrees with their sign, then the minutes and seconds.
  ASSERT_EQ(order.size(), 2u * 13);
  bool found = false;
  for (std::size_t i = 0; i < order.size(); i += 2) {
    EXPECT_EQ(order[i].substr(order[i].size() - 2), "°") << order[i];
    EXPECT_EQ(order[i + 1].find("°"), std::string::npos) << order[i + 1];
    found = found || (order[i] == "116°" && order[i + 1] == "30′00″");
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(set_->DeleteElement(compound));
}

// The record of the method with the text, or none at all when text is NULL.
void ExpectRecord(const LogMark& mark, const char* method, const char* text, const char* what) {
  if (text != nullptr) {
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, method, text)) << what;
  } else {
    EXPECT_EQ(mark.Count(), 0u) << what;
  }
}

// What cannot be labelled: the drawing's answer and record, and what the
// conversion gives (nothing, or an empty compound) with its record; neither
// draws a text nor leaves an element it made.
TEST_F(DmsConversion, RefusesWhatItCannotLabel) {
  enum Made { kNothing, kEmpty };
  const struct {
    const char* what;
    std::function<void(DmsConversion*)> arrange;
    bool drawn;
    const char* drawText;  // NULL: no record
    Made made;
    const char* convertText;  // NULL: no record
  } rows[] = {
      {"no map frame", [](DmsConversion* t) { t->grid_->SetMapElement(nullptr); }, false,
       "p_mapelement == NULL", kNothing, "p_mapelement == NULL"},
      {"no map", [](DmsConversion* t) { t->frame_->SetMap(nullptr); }, false, "p_map == NULL", kNothing,
       "p_map == NULL"},
      {"a map without a coordinate system",
       [](DmsConversion* t) {
         ReleasePtr<IGIS_SpatialReference> none(
             GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
         t->region_->GetSpatialReference()->CopyFrom(none.get());
       },
       false, nullptr, kNothing, nullptr},
      {"no text symbol", [](DmsConversion* t) { t->label_->SetTextSymbolPtr(nullptr); }, false,
       "m_pTextSymbol == NULL", kNothing, "m_pTextSymbol == NULL"},
      {"a fixed-count graticule without its spacing",
       [](DmsConversion* t) {
         auto* fixed = new GraticuleMNGridDouble();
         fixed->SetGridSpacingPtr(nullptr);
         t->Bind(fixed);
       },
       false, "m_pGridSpacing == NULL", kNothing, "m_pGridSpacing == NULL"},
      {"no side shown", [](DmsConversion* t) { t->grid_->SetLabelVisible(false, false, false, false); }, true,
       nullptr, kEmpty, nullptr},
      {"a measured grid", [](DmsConversion* t) { t->Bind(new MapGridDouble<>(GIS_MAPGRID_MEASURE)); }, true,
       nullptr, kEmpty, "b_ret == NULL"},
      {"an index grid", [](DmsConversion* t) { t->Bind(new MapGridDouble<>(GIS_MAPGRID_INDEX)); }, true,
       nullptr, kEmpty, "b_ret == NULL"},
      {"a map bound no point of which reaches degrees",
       [](DmsConversion* t) {
         t->frame_->SetMapName(t->map_->GetName());
         t->frame_->SetMapBound(SGIS_DRect(1e300, 2e300, 2e300, 1e300));
       },
       true, "b_ret == NULL", kEmpty, "b_ret == NULL"},
  };
  for (const auto& r : rows) {
    TearDown();
    SetUp();
    LabelPrinter printer;
    frame_->OnDraw(printer.hdc, true, printer.display.get());
    printer.canvas.clear();
    r.arrange(this);
    {
      LogMark mark;
      EXPECT_EQ(label_->OnDraw(printer.hdc, true, printer.display.get()), r.drawn) << r.what;
      ExpectRecord(mark, kDraw, r.drawText, r.what);
      EXPECT_TRUE(printer.canvas.recordsOf(md::canvas::Record::Type::Text).empty()) << r.what;
    }
    const int before = set_->GetFeatureCount();
    LogMark mark;
    IGIS_Element* compound = label_->ConvertToElement();
    ExpectRecord(mark, kConvert, r.convertText, r.what);
    if (r.made == kNothing) {
      EXPECT_EQ(compound, nullptr) << r.what;
      EXPECT_EQ(set_->GetFeatureCount(), before) << r.what;
    } else {
      ASSERT_NE(compound, nullptr) << r.what;
      EXPECT_TRUE(TextsOf(compound).empty()) << r.what;
      EXPECT_TRUE(set_->DeleteElement(compound)) << r.what;
    }
  }
  ReleasePtr<CGIS_DMSGridLabel> unbound(new CGIS_DMSGridLabel);
  LabelPrinter printer;
  LogMark mark;
  EXPECT_FALSE(unbound->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(unbound->ConvertToElement(), nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kDraw, "m_pMapGrid == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kConvert, "m_pMapGrid == NULL"));
}

}  // namespace
}  // namespace md::test
