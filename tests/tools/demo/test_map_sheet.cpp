// The map sheet page: the whole sheet at true scale on its paper, the
// furniture beside it with nothing overlapping, and its title from the
// sheet's number.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "host/display/cgis_screendisplay.h"
#include "host/helmora/igis_map.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::demo::kSheetPaperHeight;
using md::demo::kSheetPaperWidth;

// Rectangles as left < right, bottom < top.
struct Box {
  int left, bottom, right, top;
};

Box BoxOf(const SGIS_Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

TEST(MapSheet, ShowsTheWholeSheetAtTrueScale) {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  // The number names the sheet of the sample map: 116°00′-116°15′E, 39°50′-40°00′N at 1:50,000.
  IGIS_TilingRule* rule = GIS_GetTilingRuleManagerPtr()->GetTilingRule(GIS_TILINGRULE_NATIONAL);
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->GetSheetScale(md::demo::kSheetNumber), 50000);
  SGIS_DRect degrees;
  ASSERT_TRUE(rule->GetSheetBounds(md::demo::kSheetNumber, &degrees));
  EXPECT_DOUBLE_EQ(degrees.x1, 116.0);
  EXPECT_DOUBLE_EQ(degrees.x2, 116.25);
  EXPECT_NEAR(std::max(degrees.y1, degrees.y2), 40.0, 1e-9);
  EXPECT_NEAR(std::min(degrees.y1, degrees.y2), 39.0 + 50.0 / 60.0, 1e-9);

  SGIS_DRect extent;
  ASSERT_TRUE(md::demo::SheetExtent(doc.sheet(), &extent));
  // About 21.4 km by 18.5 km of ground, a little more for the grid's turn.
  EXPECT_NEAR(extent.x2 - extent.x1, 21560, 250);
  EXPECT_NEAR(extent.y2 - extent.y1, 18700, 250);

  md::demo::BuildReport report;
  auto page = md::demo::BuildMapSheetPage(doc, &report);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(report.missingTypes.empty());
  EXPECT_EQ(page->width(), kSheetPaperWidth);
  EXPECT_EQ(page->height(), kSheetPaperHeight);
  IGIS_MapElement* frame = md::test::FrameOf(*page);
  ASSERT_NE(frame, nullptr);
  EXPECT_DOUBLE_EQ(frame->GetScale(), md::demo::kSheetScale);
  // The frame is the sheet's extent at 1:50,000 (0.5 m a page unit) and shows all of it.
  const Box f = BoxOf(frame->GetRect());
  EXPECT_NEAR(f.right - f.left, (extent.x2 - extent.x1) / md::demo::kSheetScale, 1);
  EXPECT_NEAR(f.top - f.bottom, (extent.y2 - extent.y1) / md::demo::kSheetScale, 1);
  SGIS_DRect shown;
  ASSERT_NE(frame->GetMapBound(&shown), nullptr);
  EXPECT_NEAR(std::min(shown.x1, shown.x2), extent.x1, 1.0);
  EXPECT_NEAR(std::max(shown.x1, shown.x2), extent.x2, 1.0);
  EXPECT_NEAR(std::min(shown.y1, shown.y2), extent.y1, 1.0);
  EXPECT_NEAR(std::max(shown.y1, shown.y2), extent.y2, 1.0);
}

// With either text engine (the demo's and the render check's), every element
// lies on the paper with a margin, clear of the frame's band and of every
// other element.
TEST(MapSheet, EveryElementIsOnThePaperAndClearOfTheOthers) {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  for (const char* engine : {"fixed", "freetype"}) {
    SCOPED_TRACE(engine);
    GIS_SetSymbolTextEngine(engine);
    auto page = md::demo::BuildMapSheetPage(doc, nullptr);
    GIS_SetSymbolTextEngine("freetype");
    ASSERT_NE(page, nullptr);
    IGIS_MapElement* frame = md::test::FrameOf(*page);
    ASSERT_NE(frame, nullptr);
    Box band = BoxOf(frame->GetRect());
    const int out = md::demo::kSheetBorderOffset + md::demo::kSheetBorderWidth;
    band = {band.left - out, band.bottom - out, band.right + out, band.top + out};
    constexpr int kMargin = 500;  // 5 mm
    EXPECT_GE(band.left, kMargin);
    EXPECT_GE(band.bottom, kMargin);
    EXPECT_LE(band.top, kSheetPaperHeight - kMargin);

    std::vector<std::pair<std::string, Box>> boxes;
    for (IGIS_Element* e : page->TopLevel()) {
      if (e == frame) continue;
      const Box b = BoxOf(e->GetRect());
      SCOPED_TRACE(e->GetType());
      EXPECT_GT(b.right - b.left, 0);
      EXPECT_GT(b.top - b.bottom, 0);
      EXPECT_GE(b.left, kMargin);
      EXPECT_GE(b.bottom, kMargin);
      EXPECT_LE(b.right, kSheetPaperWidth - kMargin);
      EXPECT_LE(b.top, kSheetPaperHeight - kMargin);
      EXPECT_FALSE(Overlap(b, band));
      for (const auto& [type, other] : boxes) EXPECT_FALSE(Overlap(b, other)) << "overlaps a " << type;
      boxes.emplace_back(e->GetType(), b);
    }
    EXPECT_GE(boxes.size(), 10u);
  }
}

// The index of the neighbouring sheets reads as a map does: what lies
// north-west of the sheet is printed in the top-left cell, and so on.
TEST(MapSheet, TheNeighbouringSheetsArePrintedWhereTheyLie) {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  md::demo::BuildReport report;
  auto page = md::demo::BuildMapSheetPage(doc, &report);
  ASSERT_NE(page, nullptr);
  IGIS_MapIndexElement* index = nullptr;
  for (IGIS_Element* e : page->elements())
    if (auto* i = dynamic_cast<IGIS_MapIndexElement*>(e)) index = i;
  ASSERT_NE(index, nullptr);
  index->SetLBpoint(SGIS_Point(0, 0, 0));
  md::canvas::RecordingCanvas canvas(1000, 1000);
  HDC hdc = md::win::CreateScreenDC(&canvas, 254, &md::text::FixedMetricsEngine());
  {
    CGIS_ScreenDisplay display(hdc, 1.0, 0.0, 5000.0);
    ASSERT_TRUE(index->OnDraw(hdc, false, &display));
  }
  DeleteDC(hdc);
  // Column and row of each printed name (device y down).
  std::map<std::string, std::pair<double, double>> at;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text))
    at[r->text.text] = {r->text.origin.x, r->text.origin.y};
  const char* rows[3][3] = {{"青石岭", "北岭", "石门"}, {"龙泉", nullptr, "东沟"}, {"西峪", "河口", "南河"}};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (rows[row][col] == nullptr) continue;
      SCOPED_TRACE(rows[row][col]);
      ASSERT_EQ(at.count(rows[row][col]), 1u);
      const auto [x, y] = at[rows[row][col]];
      if (col > 0 && rows[row][col - 1] != nullptr) {
        EXPECT_GT(x, at[rows[row][col - 1]].first);
      }
      if (row > 0 && rows[row - 1][col] != nullptr) {
        EXPECT_GT(y, at[rows[row - 1][col]].second);
      }
    }
  }
}

TEST(MapSheet, TitleAndNumberNameTheSheet) {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto page = md::demo::BuildMapSheetPage(doc, nullptr);
  ASSERT_NE(page, nullptr);
  std::vector<std::pair<std::string, int>> texts;  // text, top
  for (IGIS_Element* e : page->elements()) {
    if (auto* t = dynamic_cast<IGIS_TextElement*>(e))
      texts.emplace_back(t->GetText(), BoxOf(e->GetRect()).top);
  }
  ASSERT_GE(texts.size(), 2u);
  // The name first and highest, the number right under it.
  EXPECT_EQ(texts[0].first, "西山幅");
  EXPECT_EQ(texts[1].first, md::demo::kSheetNumber);
  EXPECT_GT(texts[0].second, texts[1].second);
  for (std::size_t i = 2; i < texts.size(); ++i) EXPECT_LT(texts[i].second, texts[1].second);
}

// Ink (non-white pixels) of a raster inside a box of page units.
long long InkIn(const md::canvas::Raster& raster, const Box& b, int dpi) {
  const auto px = [dpi](int units) { return static_cast<int>(units / 2540.0 * dpi); };
  long long ink = 0;
  for (int y = std::max(0, raster.height - px(b.top));
       y < std::min(raster.height, raster.height - px(b.bottom)); ++y)
    for (int x = std::max(0, px(b.left)); x < std::min(raster.width, px(b.right)); ++x)
      if ((raster.at(x, y) & 0xFFFFFF) != 0xFFFFFF) ++ink;
  return ink;
}

// Printing some elements of the sheet draws those alone, on the sheet's paper.
TEST(MapSheet, PrintsTheElementsItIsGivenOnItsPaper) {
  md::test::FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto page = md::demo::BuildMapSheetPage(doc, nullptr);
  ASSERT_NE(page, nullptr);
  IGIS_MapElement* frame = md::test::FrameOf(*page);
  ASSERT_NE(frame, nullptr);
  std::vector<IGIS_Element*> others;
  for (IGIS_Element* e : page->TopLevel())
    if (e != frame) others.push_back(e);
  constexpr int kDpi = 50;
  const Box inFrame = BoxOf(frame->GetRect());
  const Box panel = {inFrame.right + 2500, 500, kSheetPaperWidth - 500, kSheetPaperHeight - 500};
  for (const bool frameOnly : {true, false}) {
    SCOPED_TRACE(frameOnly ? "the frame" : "the rest");
    auto canvas = md::canvas::CairoCanvas::createPageImage(594.0, 420.0, kDpi);
    ASSERT_NE(canvas, nullptr);
    std::string error;
    ASSERT_TRUE(md::demo::PrintElements(*page, frameOnly ? std::vector<IGIS_Element*>{frame} : others,
                                        canvas.get(), kDpi, &md::text::FixedMetricsEngine(), &error))
        << error;
    const md::canvas::Raster raster = md::canvas::ReadRaster(*canvas);
    EXPECT_EQ(InkIn(raster, inFrame, kDpi) > 1000, frameOnly);
    EXPECT_EQ(InkIn(raster, panel, kDpi) > 1000, !frameOnly);
  }
  // The paper stays as it is for sides that are not positive.
  page->SetPaper(0, 100);
  page->SetPaper(100, -1);
  EXPECT_EQ(page->width(), kSheetPaperWidth);
  EXPECT_EQ(page->height(), kSheetPaperHeight);
}

}  // namespace
