// The slope rule: line lengths and curves for a known contour interval,
// captions by line count, the rectangle holding the whole figure, drawing
// and conversion agreeing, bad stored settings, storage and the sheet.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "host/helmora/gis_mapclip.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using md::layout::furniture::SlopeFigure;
using md::layout::furniture::SlopeLineLength;
using Slope = FurniturePage;

std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  std::vector<SGIS_Point> out;
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
  return out;
}

IGIS_CompoundElement* Group(IGIS_CompoundElement* outer, int i) {
  return dynamic_cast<IGIS_CompoundElement*>(outer->GetElementPtrByIndex(i));
}

// Replaces stored keys of an element's "Custom" set.
void Store(IGIS_Element* e, const std::map<std::string, double>& values) {
  PropertySetPtr set(GIS_CreatePropertySetObject());
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  set->Archive(a->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  for (const auto& [key, value] : values) {
    IGIS_Field* f = set->GetProperty(key.c_str());
    if (f == nullptr) continue;
    if (f->GetType() == GIS_FIELD_TYPE_DOUBLE) {
      f->SetDouble(value);
    } else {
      f->SetInt(static_cast<int>(value));
    }
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  a->SetDataBuffer("Custom", b.get(), 0);
}

TEST_F(Slope, NewElementHoldsItsDefaults) {
  auto* e = New<CGIS_SlopeElement>();
  EXPECT_EQ(e->GetAngleGap(), 100);
  EXPECT_EQ(e->GetPercentGap(), 700);
  EXPECT_EQ(e->GetTitleGap(), 2500);
  EXPECT_EQ(e->GetSlopelineNumber(), 6);
  EXPECT_EQ(e->GetAxislineInterval(), 200);
  EXPECT_DOUBLE_EQ(e->GetContourInterval(), 50.0);
  EXPECT_EQ(e->GetGapDescription(), 100);
  EXPECT_EQ(e->GetMapElementID(), -10);
  EXPECT_STREQ(e->GetName(), "坡度尺");
  EXPECT_EQ(e->GetTitleSymbolPtr()->GetFontSizePtr()->lfHeight, 8);
  EXPECT_EQ(e->GetAngleSymbolPtr()->GetFontSizePtr()->lfHeight, 8);
  EXPECT_EQ(e->GetAxisLineSymbolPtr()->GetStyleCode(), 3331);
  PropertySetPtr set = CustomOf(e);
  const char* keys[] = {"MapElementID",
                        "ContourInterval",
                        "AngleGap",
                        "AxislineInterval",
                        "TitleGap",
                        "PercentGap",
                        "SlopelineNumber",
                        "GapDescription",
                        "FrameProperty",
                        "X",
                        "Y",
                        "TitleSymbol",
                        "DescriptionSymbol",
                        "PercentSymbol",
                        "AngleSymbol",
                        "AxisLineSymbol",
                        "ContourLineSymbol"};
  IGIS_Field* f = set->GetFirstPosition();
  for (const char* key : keys) {
    ASSERT_NE(f, nullptr) << key;
    EXPECT_STREQ(f->GetLabel(), key);
    f = set->GetNext(f);
  }
  EXPECT_EQ(set->GetProperty("PercentGap")->GetInt(), 700);
  EXPECT_STREQ(set->GetProperty("PercentGap")->GetDescription(), "百分率间隔");
}

TEST_F(Slope, LineLengthsForTheContourInterval) {
  struct Row {
    double degrees;
    int k;
    double ci;
    int length;
  };
  const Row rows[] = {{1, 1, 50, 5729}, {2, 1, 50, 2864}, {5, 1, 50, 1143},   {10, 1, 50, 567},
                      {30, 1, 50, 173}, {5, 2, 50, 2286}, {1, 1, 100, 11458}, {30, 5, 50, 866}};
  for (const Row& row : rows) {
    EXPECT_EQ(SlopeLineLength(row.degrees, row.k, row.ci), row.length) << row.degrees << " " << row.k;
  }
}

TEST_F(Slope, FigureOfTheDefaults) {
  auto* e = New<CGIS_SlopeElement>();
  const SlopeFigure f = e->Figure();
  EXPECT_EQ(f.axis.points, (std::vector<SGIS_Point>{{0, 0}, {5800, 0}}));
  ASSERT_EQ(f.degreeLines.size(), 30u);
  EXPECT_EQ(f.degreeLines[0].points, (std::vector<SGIS_Point>{{0, 0}, {0, 5729}}));
  EXPECT_EQ(f.degreeLines[29].points, (std::vector<SGIS_Point>{{5800, 0}, {5800, 173}}));
  ASSERT_EQ(f.twoContourCurve.points.size(), 30u);
  const std::vector<std::pair<int, SGIS_Point>> curve = {
      {0, {0, 5729}}, {1, {200, 2864}}, {4, {800, 1143}}, {9, {1800, 567}}, {29, {5800, 173}}};
  for (const auto& [i, p] : curve) EXPECT_EQ(f.twoContourCurve.points[static_cast<std::size_t>(i)], p) << i;
  ASSERT_EQ(f.furtherCurves.size(), 4u);  // three to six contours
  for (std::size_t c = 0; c < f.furtherCurves.size(); ++c) {
    const int k = static_cast<int>(c) + 2;
    ASSERT_EQ(f.furtherCurves[c].points.size(), 26u);
    EXPECT_EQ(f.furtherCurves[c].points.front(), SGIS_Point(800, SlopeLineLength(5, k, 50)));
    EXPECT_EQ(f.furtherCurves[c].points.back(), SGIS_Point(5800, SlopeLineLength(30, k, 50)));
  }
  ASSERT_EQ(f.lengthenedLines.size(), 26u);
  EXPECT_EQ(f.lengthenedLines.front().points.back(), SGIS_Point(800, SlopeLineLength(5, 5, 50)));
  // Degree values under 1, 2, 4 ... 30 and the unit; percent values under the even degrees.
  ASSERT_EQ(f.degreeValues.size(), 17u);
  EXPECT_EQ(f.degreeValues.front().text, "1");
  EXPECT_EQ(f.degreeValues[1].text, "2");
  EXPECT_EQ(f.degreeValues[15].text, "30");
  EXPECT_EQ(f.degreeValues.back().text, "度");
  EXPECT_EQ(f.degreeValues.back().anchor.x, 6400);
  const char* percents[] = {"3",  "7",  "11", "14", "18", "21", "25", "29",
                            "32", "36", "40", "45", "49", "53", "58", "%"};
  ASSERT_EQ(f.percentValues.size(), 16u);
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(f.percentValues[i].text, percents[i]) << i;
  // "12" is 8 units high, ten page units each: the values hang 80 below their gaps.
  EXPECT_EQ(f.degreeValues.front().anchor, SGIS_Point(0, -180));
  EXPECT_EQ(f.percentValues.front().anchor, SGIS_Point(200, -780));
  ASSERT_EQ(f.titleAndCaptions.size(), 3u);
  EXPECT_EQ(f.titleAndCaptions[0].text, "坡  度  尺");
  EXPECT_EQ(f.titleAndCaptions[0].anchor.y, 2500);
  EXPECT_EQ(f.titleAndCaptions[2].text, "量相邻六条等高线时用");
  // Each caption stands the 100 gap above the highest line under its span:
  // the second above the five-interval line at 10 degrees, the first (wider
  // than three axis intervals) above the five-interval line at 5 degrees.
  EXPECT_EQ(f.titleAndCaptions[2].anchor, SGIS_Point(1800, 2836 + 100));
  EXPECT_GT(f.titleAndCaptions[1].box.right, 800);
  EXPECT_EQ(f.titleAndCaptions[1].anchor, SGIS_Point(200, 5715 + 100));
}

TEST_F(Slope, LineCountsFromSettingsAndFromStoredData) {
  struct Row {
    int n;
    bool stored;
    std::size_t furtherCurves;
    const char* caption;
  };
  const Row rows[] = {{3, false, 1, "量相邻三条等高线时用"},
                      {6, false, 4, "量相邻六条等高线时用"},
                      {2, true, 0, "量相邻两条等高线时用"},
                      {7, true, 5, "量相邻多条等高线时用"}};
  for (const Row& row : rows) {
    auto* e = New<CGIS_SlopeElement>();
    if (row.stored) {
      ASSERT_TRUE(e->Archive(0, 0));
      Store(e, {{"SlopelineNumber", row.n}});
      ASSERT_TRUE(e->Archive(1, 0));
    } else {
      e->SetSlopelineNumber(row.n);
    }
    EXPECT_EQ(e->GetSlopelineNumber(), row.n);
    const SlopeFigure f = e->Figure();
    EXPECT_EQ(f.furtherCurves.size(), row.furtherCurves) << row.n;
    EXPECT_EQ(f.titleAndCaptions[2].text, row.caption) << row.n;
    EXPECT_EQ(f.titleAndCaptions[1].text, "量相邻两条等高线时用");
    // The lengthened lines reach the highest curve.
    EXPECT_EQ(f.lengthenedLines[0].points.back().y, SlopeLineLength(5, row.n - 1, 50)) << row.n;
  }
}

TEST_F(Slope, RectangleHoldsEveryDrawnPiece) {
  auto* e = New<CGIS_SlopeElement>();
  // Captions far larger than the lines: the rectangle must still hold them.
  e->SetDescriptionSymbolPtr(TextSymbol(300).get());
  e->OffsetAllPoints(1000, 2000);
  e->Refresh();
  const SGIS_Rect r = e->GetRect();
  EXPECT_EQ(r.left, 1000);
  EXPECT_EQ(r.bottom, 2000);
  const SGIS_Point o(r.left + e->GetAnchorOffset().x, r.bottom + e->GetAnchorOffset().y);
  const SlopeFigure f = e->Figure();
  for (const auto& t : f.titleAndCaptions) {
    EXPECT_GE(o.x + t.box.left, r.left) << t.text;
    EXPECT_LE(o.x + t.box.right, r.right) << t.text;
    EXPECT_GE(o.y + t.box.bottom, r.bottom) << t.text;
    EXPECT_LE(o.y + t.box.top, r.top) << t.text;
  }
  const SGIS_Rect u = f.Extent();
  EXPECT_EQ(r.Width(), u.Width());
  EXPECT_EQ(r.Height(), u.Height());
  // The first caption is the highest piece: 3000 high, 100 above the
  // five-interval line at 5 degrees (5715).
  EXPECT_EQ(r.top, o.y + 5715 + 100 + 3000);
  // The lowest piece is the percent row; the axis origin sits above it.
  EXPECT_EQ(e->GetAnchorOffset().y, 780);
  EXPECT_EQ(e->GetAnchorOffset().x, 0);
}

// How many of the lines meet the closed box.
int LinesMeeting(const std::vector<const md::layout::furniture::SlopeLine*>& lines, const SGIS_Rect& box) {
  using md::helmora::detail::ClipPolyline;
  const auto clip = md::helmora::detail::MakeClipBox(box.left, box.bottom, box.right, box.top, 0.0);
  int count = 0;
  for (const auto* line : lines) {
    std::vector<SGIS_DPoint> points;
    for (const SGIS_Point& p : line->points) points.emplace_back(p.x, p.y, 0);
    std::vector<std::vector<SGIS_DPoint>> pieces;
    ClipPolyline(points, clip, &pieces);
    count += pieces.empty() ? 0 : 1;
  }
  return count;
}

TEST_F(Slope, NoCaptionCrossesADrawnLine) {
  struct Row {
    int n;
    double ci;
    int ai;
    int descriptionHeight;  // 0: the default symbol
  };
  const Row rows[] = {{6, 50, 200, 0},  {2, 50, 200, 0},   {3, 10, 200, 20},
                      {6, 10, 200, 20}, {20, 50, 200, 0},  {6, 50, 500, 300},
                      {4, 5, 100, 40},  {6, 50, 200, 300}, {6, 20, 200, 0}};
  for (const Row& row : rows) {
    auto* e = New<CGIS_SlopeElement>();
    e->SetSlopelineNumber(row.n);
    e->SetContourInterval(row.ci);
    e->SetAxislineInterval(row.ai);
    if (row.descriptionHeight != 0) e->SetDescriptionSymbolPtr(TextSymbol(row.descriptionHeight).get());
    const SlopeFigure f = e->Figure();
    std::vector<const md::layout::furniture::SlopeLine*> lines{&f.axis, &f.twoContourCurve};
    for (const auto& l : f.degreeLines) lines.push_back(&l);
    for (const auto& l : f.furtherCurves) lines.push_back(&l);
    for (const auto& l : f.lengthenedLines) lines.push_back(&l);
    ASSERT_EQ(f.titleAndCaptions.size(), 3u);
    for (std::size_t c = 1; c < 3; ++c) {
      const auto& caption = f.titleAndCaptions[c];
      ASSERT_GT(caption.box.Width(), 0) << caption.text;
      EXPECT_EQ(LinesMeeting(lines, caption.box), 0)
          << caption.text << " n " << row.n << " ci " << row.ci << " ai " << row.ai;
      // Clear by no more than the gap: lowered one unit further it meets a line.
      SGIS_Rect lowered = caption.box;
      lowered.top -= 101;
      lowered.bottom -= 101;
      EXPECT_GT(LinesMeeting(lines, lowered), 0) << caption.text << " n " << row.n;
      // Nor does the title stand over a caption.
      const SGIS_Rect& t = f.titleAndCaptions[0].box;
      const bool apart = t.right < caption.box.left || t.left > caption.box.right ||
                         t.bottom > caption.box.top || t.top < caption.box.bottom;
      EXPECT_TRUE(apart) << caption.text << " n " << row.n << " ci " << row.ci;
    }
    // The title leaves its gap only to clear a caption.
    if (f.titleAndCaptions[0].anchor.y != 2500) {
      EXPECT_EQ(f.titleAndCaptions[0].anchor.y, f.titleAndCaptions[1].box.top + 100) << row.ci;
    }
  }
}

TEST_F(Slope, DrawnAndConvertedIdentically) {
  auto* e = New<CGIS_SlopeElement>();
  e->SetFramePropertyPtr(nullptr);
  e->SetSlopelineNumber(4);
  e->OffsetAllPoints(1000, 5000);
  Screen screen;
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  std::vector<std::vector<std::pair<long, long>>> drawn;
  for (const md::canvas::Record* r : screen.canvas.shapesOf(md::canvas::ShapeKind::Polyline)) {
    std::vector<std::pair<long, long>> pts;
    for (const auto& p : r->Points()) pts.emplace_back(std::lround(p.x), std::lround(p.y));
    drawn.push_back(pts);
  }
  ASSERT_EQ(drawn.size(), 1u + 30u + 1u + 2u + 26u);

  auto* outer = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
  ASSERT_NE(outer, nullptr);
  owned_.push_back(outer);
  ASSERT_EQ(outer->GetElementCount(), 5);
  IGIS_CompoundElement* lines = Group(outer, 0);
  IGIS_CompoundElement* curves = Group(outer, 1);
  IGIS_CompoundElement* percents = Group(outer, 2);
  IGIS_CompoundElement* degrees = Group(outer, 3);
  IGIS_CompoundElement* texts = Group(outer, 4);
  ASSERT_TRUE(lines && curves && percents && degrees && texts);
  EXPECT_EQ(lines->GetElementCount(), 57);
  EXPECT_EQ(curves->GetElementCount(), 3);
  EXPECT_EQ(percents->GetElementCount(), 16);
  EXPECT_EQ(degrees->GetElementCount(), 17);
  EXPECT_EQ(texts->GetElementCount(), 3);

  std::vector<std::vector<std::pair<long, long>>> converted;
  for (IGIS_CompoundElement* g : {lines, curves}) {
    for (int i = 0; i < g->GetElementCount(); ++i) {
      std::vector<std::pair<long, long>> pts;
      for (const SGIS_Point& p : PointsOf(g->GetElementPtrByIndex(i))) {
        const SGIS_DPoint d = screen.Device(p.x, p.y);
        pts.emplace_back(std::lround(d.x), std::lround(d.y));
      }
      converted.push_back(pts);
    }
  }
  std::sort(drawn.begin(), drawn.end());
  std::sort(converted.begin(), converted.end());
  EXPECT_EQ(drawn, converted);

  // The same texts at the same lower-left anchors.
  const SGIS_Rect r = e->GetRect();
  const SGIS_Point o(r.left + e->GetAnchorOffset().x, r.bottom + e->GetAnchorOffset().y);
  const SlopeFigure f = e->Figure();
  std::vector<std::string> drawnTexts;
  for (const auto* run : screen.Runs()) drawnTexts.push_back(run->text);
  std::vector<std::string> convertedTexts;
  auto check = [&](IGIS_CompoundElement* g, const std::vector<md::layout::furniture::SlopeText>& expected) {
    ASSERT_EQ(g->GetElementCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < g->GetElementCount(); ++i) {
      auto* t = dynamic_cast<IGIS_TextElement*>(g->GetElementPtrByIndex(i));
      ASSERT_NE(t, nullptr);
      const auto& x = expected[static_cast<std::size_t>(i)];
      EXPECT_EQ(t->GetText(), x.text);
      EXPECT_EQ(t->GetRect().left, o.x + x.anchor.x) << x.text;
      EXPECT_EQ(t->GetRect().bottom, o.y + x.anchor.y) << x.text;
      convertedTexts.push_back(t->GetText());
    }
  };
  check(texts, f.titleAndCaptions);
  check(degrees, f.degreeValues);
  check(percents, f.percentValues);
  std::sort(drawnTexts.begin(), drawnTexts.end());
  std::sort(convertedTexts.begin(), convertedTexts.end());
  EXPECT_EQ(drawnTexts, convertedTexts);
}

TEST_F(Slope, IntervalsThatMakeNoFigureDrawNothing) {
  struct Row {
    const char* key;
    double value;
    const char* log;
  };
  const Row rows[] = {{"AxislineInterval", 0, "AxislineInterval <= 0"},
                      {"AxislineInterval", -200, "AxislineInterval <= 0"},
                      {"ContourInterval", 0.0, "ContourInterval <= 0"},
                      {"ContourInterval", std::nan(""), "ContourInterval <= 0"},
                      {"ContourInterval", INFINITY, "ContourInterval <= 0"}};
  for (const Row& row : rows) {
    auto* e = New<CGIS_SlopeElement>();
    e->SetFramePropertyPtr(nullptr);
    ASSERT_TRUE(e->Archive(0, 0));
    Store(e, {{row.key, row.value}});
    const SGIS_Rect before = e->GetRect();
    LogMark mark;
    ASSERT_TRUE(e->Archive(1, 0));
    EXPECT_TRUE(mark.Has(3, "CGIS_SlopeElement::Refresh", row.log)) << row.key << " " << row.value;
    EXPECT_EQ(e->GetRect(), before);
    Screen screen;
    EXPECT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
    EXPECT_TRUE(screen.canvas.records().empty()) << row.key << " " << row.value;
    EXPECT_TRUE(mark.Has(3, "CGIS_SlopeElement::OnDraw", row.log));
    EXPECT_EQ(e->ConvertToElement(), nullptr);
  }
}

TEST_F(Slope, HugeStoredLineCountIsCapped) {
  auto* e = New<CGIS_SlopeElement>();
  ASSERT_TRUE(e->Archive(0, 0));
  Store(e, {{"SlopelineNumber", 100000000}});
  LogMark mark;
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetSlopelineNumber(), 100000000);  // kept as stored
  const SlopeFigure f = e->Figure();
  EXPECT_EQ(f.furtherCurves.size(), static_cast<std::size_t>(md::layout::furniture::kMaxSlopeLines - 2));
  EXPECT_TRUE(mark.Has(3, "CGIS_SlopeElement::Refresh", "SlopelineNumber 100000000 drawn as 20"));
}

TEST_F(Slope, SettersKeepTheirRanges) {
  auto* e = New<CGIS_SlopeElement>();
  e->SetSlopelineNumber(2);
  e->SetSlopelineNumber(7);
  EXPECT_EQ(e->GetSlopelineNumber(), 6);
  e->SetSlopelineNumber(3);
  EXPECT_EQ(e->GetSlopelineNumber(), 3);
  e->SetTitleGap(-1);
  e->SetGapDescription(-1);
  EXPECT_EQ(e->GetTitleGap(), 2500);
  EXPECT_EQ(e->GetGapDescription(), 100);
  e->SetAngleGap(-1);
  EXPECT_EQ(e->GetAngleGap(), -1);
  LogMark mark;
  IGIS_Symbol* title = e->GetTitleSymbolPtr();
  e->SetTitleSymbolPtr(nullptr);
  EXPECT_EQ(e->GetTitleSymbolPtr(), title);
  EXPECT_TRUE(mark.Has(4, "CGIS_SlopeElement::SetTitleSymbolPtr", "pSymbol == NULL"));
}

TEST_F(Slope, ResizingScalesGapsAndTexts) {
  auto* e = New<CGIS_SlopeElement>();
  const SGIS_Rect r = e->GetRect();
  e->SetWidthAndHeight(r.Width() * 2, r.Height() * 3);
  EXPECT_EQ(e->GetAxislineInterval(), 400);
  EXPECT_EQ(e->GetTitleGap(), 5000);
  EXPECT_EQ(e->GetTitleSymbolPtr()->GetFontSizePtr()->lfHeight, 16);
  auto* f = New<CGIS_SlopeElement>();
  const SGIS_Rect q = f->GetRect();
  f->SetWidthAndHeight(q.Width() / 2, q.Height() / 3);
  EXPECT_EQ(f->GetAxislineInterval(), 100);
  auto* g = New<CGIS_SlopeElement>();
  g->ScaleShape(SGIS_Point(0, 0, 0), 0.1, 0.1);
  EXPECT_EQ(g->GetAxislineInterval(), 50);
  EXPECT_DOUBLE_EQ(g->GetContourInterval(), 50.0);
}

TEST_F(Slope, StoredFormRoundTrips) {
  CGIS_MapElement* frame = NewFrame();
  auto* e = New<CGIS_SlopeElement>();
  e->SetMapElementPtr(frame);
  e->SetAngleGap(150);
  e->SetPercentGap(1200);
  e->SetTitleGap(3000);
  e->SetSlopelineNumber(4);
  e->SetAxislineInterval(250);
  e->SetContourInterval(20.0);
  e->SetGapDescription(300);
  e->SetTitleSymbolPtr(TextSymbol(12).get());
  e->SetContourLineSymbolPtr(NewSymbol(GIS_SYMBOL_LINE, 3332).get());
  e->Refresh();
  ASSERT_TRUE(e->Archive(0, 0));
  auto* back = Bound<CGIS_SlopeElement>(e);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetAngleGap(), 150);
  EXPECT_EQ(back->GetPercentGap(), 1200);  // stored like the other gaps
  EXPECT_EQ(back->GetTitleGap(), 3000);
  EXPECT_EQ(back->GetSlopelineNumber(), 4);
  EXPECT_EQ(back->GetAxislineInterval(), 250);
  EXPECT_DOUBLE_EQ(back->GetContourInterval(), 20.0);
  EXPECT_EQ(back->GetGapDescription(), 300);
  EXPECT_EQ(back->GetTitleSymbolPtr()->GetFontSizePtr()->lfHeight, 12);
  EXPECT_EQ(back->GetContourLineSymbolPtr()->GetStyleCode(), 3332);
  EXPECT_EQ(back->GetMapElementPtr(), frame);
  EXPECT_EQ(back->GetRect(), e->GetRect());
  EXPECT_EQ(back->GetAnchorOffset().x, e->GetAnchorOffset().x);
  EXPECT_EQ(back->GetAnchorOffset().y, e->GetAnchorOffset().y);
  // A store written before the percent gap was kept reads the current gap.
  auto* old = New<CGIS_SlopeElement>();
  ASSERT_TRUE(e->Archive(0, 0));
  PropertySetPtr set = CustomOf(e);
  PropertySetPtr without(GIS_CreatePropertySetObject());
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    if (std::strcmp(f->GetLabel(), "PercentGap") == 0 || f->GetType() != GIS_FIELD_TYPE_INT) continue;
    without->AddProperty(f->GetLabel(), f->GetDescription(), GIS_FIELD_TYPE_INT, 1)->SetInt(f->GetInt());
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  without->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  old->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b.get(), 0);
  ASSERT_TRUE(old->Archive(1, 0));
  EXPECT_EQ(old->GetPercentGap(), 700);
  EXPECT_EQ(old->GetAngleGap(), 150);
}

// A read fits the rectangle to the figure and commits it once, whatever was
// read before: rows follow each other so that one row's stored form differs
// from the last only in what the row names.
TEST_F(Slope, AReadFitsTheRectangleAsLayingTheFigureOutDoes) {
  struct Row {
    const char* name;
    int titleHeight;
    int angleHeight;
    int titleGap;
    int lines;
    const char* engine;
  };
  const Row rows[] = {
      {"defaults", 8, 8, 2500, 6, "freetype"},       {"title symbol", 30, 8, 2500, 6, "freetype"},
      {"angle symbol", 30, 20, 2500, 6, "freetype"}, {"title gap", 30, 20, 6000, 6, "freetype"},
      {"line count", 30, 20, 6000, 3, "freetype"},   {"defaults, other engine", 8, 8, 2500, 6, "fixed"},
  };
  const std::string engineBefore = GIS_GetSymbolTextEngine();
  IGIS_FeatureClass* features = set_->GetFeatureClass();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(GIS_SetSymbolTextEngine(row.engine));
    auto* e = New<CGIS_SlopeElement>();
    e->OffsetAllPoints(1000, 2000);
    // Set without a refresh: the stored rectangle no longer fits the figure.
    e->SetTitleSymbolPtr(TextSymbol(row.titleHeight).get());
    e->SetAngleSymbolPtr(TextSymbol(row.angleHeight).get());
    e->SetTitleGap(row.titleGap);
    e->SetSlopelineNumber(row.lines);
    ASSERT_TRUE(e->Archive(0, 0));
    const SGIS_Rect u = e->Figure().Extent();
    const SGIS_Rect fitted(1000, 2000 + u.Height(), 1000 + u.Width(), 2000);
    for (int read = 0; read < 2; ++read) {
      features->ClearUpdateRecords();
      ASSERT_TRUE(e->Archive(1, 0));
      EXPECT_EQ(e->GetRect(), fitted) << read;
      SGIS_Rect bound;
      e->GetFeaturePtr()->GetBound(&bound, 1, 0);
      EXPECT_EQ(bound, fitted) << read;
      EXPECT_EQ(e->GetAnchorOffset().x, -u.left) << read;
      EXPECT_EQ(e->GetAnchorOffset().y, -u.bottom) << read;
      int id = 0, flags = 0;
      ASSERT_EQ(features->GetUpdateCount(), 1) << read;
      ASSERT_TRUE(features->GetUpdateRecord(0, &id, &flags));
      EXPECT_EQ(id, e->GetID());
      EXPECT_EQ(flags, GIS_UPDATE_GEOMETRY);
    }
    // Stored again, the read rule writes what a rule laid out anew writes.
    ASSERT_TRUE(e->Archive(0, 0));
    const std::vector<unsigned char> afterRead = CustomBytes(e);
    e->Refresh();
    EXPECT_EQ(e->GetRect(), fitted);
    ASSERT_TRUE(e->Archive(0, 0));
    EXPECT_EQ(CustomBytes(e), afterRead);
  }
  GIS_SetSymbolTextEngine(engineBefore.c_str());
}

TEST_F(Slope, FollowsAFrameUntilItIsDeleted) {
  CGIS_MapElement* frame = NewFrame();
  auto* e = New<CGIS_SlopeElement>();
  e->SetMapElementPtr(frame);
  EXPECT_EQ(e->GetMapElementID(), frame->GetID());
  Drop(frame);
  EXPECT_EQ(e->GetMapElementPtr(), nullptr);
  CGIS_MapElement* next = NewFrame();
  e->SetMapElementPtr(next);
  e->SetMapElementPtr(nullptr);
  EXPECT_EQ(e->GetMapElementID(), -100);
  ASSERT_TRUE(e->Archive(0, 0));
  auto* back = Bound<CGIS_SlopeElement>(e);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElementPtr(), nullptr);
}

TEST_F(Slope, CancelledSheetLeavesTheStoredFormAsItWas) {
  auto* e = New<CGIS_SlopeElement>();
  ASSERT_TRUE(e->Archive(0, 0));
  const std::vector<unsigned char> before = CustomBytes(e);
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE,
                                    [](IGIS_Element* p, IGIS_Display*, const char*) {
                                      auto* s = dynamic_cast<CGIS_SlopeElement*>(p);
                                      s->SetGapDescription(900);
                                      s->SetTitleSymbolPtr(TextSymbol(30).get());
                                      s->SetSlopelineNumber(3);
                                      s->SetPercentGap(50);
                                      s->Refresh();
                                      return false;
                                    });
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE, nullptr);
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(CustomBytes(e), before);
  EXPECT_EQ(e->GetGapDescription(), 100);
  EXPECT_EQ(e->GetTitleSymbolPtr()->GetFontSizePtr()->lfHeight, 8);
}

}  // namespace
}  // namespace md::test
