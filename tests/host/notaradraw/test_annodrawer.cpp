// The annotation drawer on the recording canvas with the fixed-metrics
// engine at 72 dpi: a 10-unit text has an em of 10 pixels, ascent 8,
// descent 2, ASCII advances of 5 and CJK advances of 10.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "host/basilo/igis_propertyset.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"

namespace {

using md::canvas::Record;

class Drawer : public ::testing::Test {
 protected:
  void SetUp() override {
    dc_ = md::win::CreateScreenDC(&canvas_, 72, &md::text::FixedMetricsEngine());
    style_ = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
    style_->GetTextStylePtr()->GetFontSizePtr()->lfHeight = -10;
  }
  void TearDown() override {
    style_->Release();
    DeleteDC(dc_);
  }
  std::vector<const md::canvas::TextRun*> Runs() const {
    std::vector<const md::canvas::TextRun*> out;
    for (const Record* r : canvas_.recordsOf(Record::Type::Text)) out.push_back(&r->text);
    return out;
  }
  BOOL DrawAt(const char* text, int x, int y, double ratio = 1.0) {
    SGIS_Point p(x, y);
    return GIS_GetAnnotationDrawerObject()->Draw(CDC::FromHandle(dc_), FALSE, ratio, style_, text, &p, 1);
  }
  md::canvas::RecordingCanvas canvas_{400, 300};
  HDC dc_ = nullptr;
  IGIS_AnnoPointStyle* style_ = nullptr;
};

// Where the anchor lies in the box of "abcd" (20 x 10): left/top offsets.
struct AlignCase {
  int code;
  double anchorFromLeft;
  double anchorFromTop;
};
const AlignCase kAlign[] = {
    {0, 10, 5}, {1, 10, 10}, {2, 0, 10}, {3, 0, 5},   {4, 0, 0},
    {5, 10, 0}, {6, 20, 0},  {7, 20, 5}, {8, 20, 10},
};

TEST_F(Drawer, EachAlignmentCodePutsTheAnchorWhereItSays) {
  for (const AlignCase& c : kAlign) {
    SCOPED_TRACE(c.code);
    canvas_.clear();
    ASSERT_TRUE(style_->SetAlignment(c.code));
    ASSERT_TRUE(DrawAt("abcd", 200, 100));
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    // The box's top-left corner is the baseline origin less the ascent.
    const double left = runs[0]->origin.x, top = runs[0]->origin.y - 8;
    EXPECT_NEAR(200 - left, c.anchorFromLeft, 0.5);
    EXPECT_NEAR(100 - top, c.anchorFromTop, 0.5);
    EXPECT_EQ(runs[0]->text, "abcd");
    EXPECT_NEAR(runs[0]->font.emHeight, 10, 1e-9);
  }
}

TEST_F(Drawer, TurnedTextTurnsItsBoxAboutTheAnchor) {
  style_->SetAlignment(4);  // top-left corner on the anchor
  style_->GetTextStylePtr()->SetAngle(90.0);
  ASSERT_TRUE(DrawAt("abcd", 200, 100));
  auto runs = Runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NEAR(runs[0]->angle, 90, 1e-9);
  // The baseline lies 8 pixels right of the anchor, running upwards.
  EXPECT_NEAR(runs[0]->origin.x, 208, 0.5);
  EXPECT_NEAR(runs[0]->origin.y, 100, 0.5);
  // lfOrientation adds to the angle (degrees).
  canvas_.clear();
  style_->GetTextStylePtr()->SetAngle(0.0);
  style_->GetTextStylePtr()->GetFontSizePtr()->lfOrientation = 90;
  ASSERT_TRUE(DrawAt("abcd", 200, 100));
  EXPECT_NEAR(Runs()[0]->angle, 90, 1e-9);
}

TEST_F(Drawer, LinesAreLaidOutAndTheRatioScales) {
  style_->SetAlignment(0);  // centre of all lines on the anchor
  ASSERT_TRUE(DrawAt("ab\r\n中文字\nx", 200, 100, 2.0));
  auto runs = Runs();
  ASSERT_EQ(runs.size(), 3u);
  // em 20: lines 20 high, box 60 high; widths 20, 60, 10, each centred.
  const double widths[] = {20, 60, 10};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(runs[i]->font.emHeight, 20, 1e-9);
    EXPECT_NEAR(runs[i]->origin.x, 200 - widths[i] / 2, 0.5) << i;
    EXPECT_NEAR(runs[i]->origin.y, 100 - 30 + 20 * i + 16, 0.5) << i;
  }
  EXPECT_EQ(runs[1]->text, "中文字");
}

TEST_F(Drawer, TextIsDrawnAtEveryAnchorInTheSymbolsColour) {
  style_->GetTextStylePtr()->SetColor(RGB(0, 0, 200));
  style_->SetAlignment(2);
  SGIS_Point pts[2] = {SGIS_Point(10, 50), SGIS_Point(100, 150)};
  ASSERT_TRUE(GIS_GetAnnotationDrawerObject()->Draw(CDC::FromHandle(dc_), FALSE, 1.0, style_, "Aa", pts, 2));
  auto runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0]->color, RGB(0, 0, 200));
  EXPECT_NEAR(runs[1]->origin.x, 100, 0.5);
  EXPECT_NEAR(runs[1]->origin.y, 148, 0.5);  // bottom at 150: baseline 2 above
}

TEST(DrawerSize, DrawnTextKeepsTheMeasuredSize) {
  // At 96 dpi a 10-unit text is 13 1/3 pixels high; the drawing and the
  // symbol's own extent agree to a sixteenth of a pixel per em.
  const std::string engine = GIS_GetSymbolTextEngine();
  ASSERT_TRUE(GIS_SetSymbolTextEngine("fixed"));
  md::canvas::RecordingCanvas canvas(400, 300);
  HDC dc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  IGIS_AnnoPointStyle* style = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
  IGIS_Symbol* text = style->GetTextStylePtr();
  text->GetFontSizePtr()->lfHeight = -10;
  SGIS_Point p(100, 100);
  ASSERT_TRUE(
      GIS_GetAnnotationDrawerObject()->Draw(CDC::FromHandle(dc), FALSE, 1.5, style, "中文abc\nxy", &p, 1));
  auto runs = canvas.recordsOf(Record::Type::Text);
  ASSERT_EQ(runs.size(), 2u);
  const double em = 10 * 96.0 / 72 * 1.5;
  EXPECT_NEAR(runs[0]->text.font.emHeight, em, 1.0 / 16);
  double width = 0;
  for (double a : runs[0]->text.advances) width += a;
  SGIS_Rect extent;
  ASSERT_TRUE(text->GetTextExtent(&extent, "中文abc\nxy", 0, 1.5));
  EXPECT_NEAR(width, extent.Width() * 96.0 / 72, 1.0);
  EXPECT_NEAR(runs[1]->text.origin.y - runs[0]->text.origin.y, extent.Height() * 96.0 / 72 / 2, 1.0);
  style->Release();
  DeleteDC(dc);
  GIS_SetSymbolTextEngine(engine.c_str());
}

TEST_F(Drawer, ExtremeFontRecordsReadBackAndDrawBounded) {
  // Callers write the font record in place: whatever they wrote is saved,
  // read back unchanged, and drawn with bounded sizes.
  IGIS_Symbol* text = style_->GetTextStylePtr();
  LOGFONT* f = text->GetFontSizePtr();
  const struct {
    LONG height, width;
  } records[] = {{-2000000000, -7}, {2000000000, 2000000000}, {-12, 2000000000}, {0, 0}};
  for (const auto& r : records) {
    SCOPED_TRACE(r.height);
    f->lfHeight = r.height;
    f->lfWidth = r.width;
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(text->Save(b));
    IGIS_Symbol* back = GIS_GetSymbolFactoryObject()->CreateSymbolFromBuffer(b);
    b->Release();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetFontSizePtr()->lfHeight, r.height);
    EXPECT_EQ(back->GetFontSizePtr()->lfWidth, r.width);
    back->Release();
    SGIS_Rect extent;
    EXPECT_TRUE(text->GetTextExtent(&extent, "ab", 0, 1.0));
    canvas_.clear();
    ASSERT_TRUE(DrawAt("ab", 100, 100));
    auto runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_LE(runs[0]->font.emHeight, 1e5);
    EXPECT_LE(runs[0]->font.width, 64 * runs[0]->font.emHeight + 1);
  }
}

TEST_F(Drawer, BadRequestsDrawNothing) {
  IGIS_AnnoDrawer* d = GIS_GetAnnotationDrawerObject();
  SGIS_Point p(1, 1);
  EXPECT_FALSE(d->Draw(nullptr, FALSE, 1.0, style_, "a", &p, 1));
  EXPECT_FALSE(d->Draw(CDC::FromHandle(dc_), FALSE, 1.0, nullptr, "a", &p, 1));
  EXPECT_FALSE(d->Draw(CDC::FromHandle(dc_), FALSE, 1.0, style_, nullptr, &p, 1));
  EXPECT_FALSE(d->Draw(CDC::FromHandle(dc_), FALSE, 1.0, style_, "a", &p, 0));
  EXPECT_FALSE(d->Draw(CDC::FromHandle(dc_), FALSE, std::nan(""), style_, "a", &p, 1));
  EXPECT_FALSE(d->Draw(CDC::FromHandle(dc_), FALSE, 0.0, style_, "a", &p, 1));
  EXPECT_TRUE(canvas_.records().empty());
}

TEST_F(Drawer, TextOnPathFollowsTheSegments) {
  IGIS_AnnoDrawer* d = GIS_GetAnnotationDrawerObject();
  // A straight path of 200: "abcd" (20 wide) is centred, upright.
  SGIS_Point line[2] = {SGIS_Point(0, 100), SGIS_Point(200, 100)};
  ASSERT_TRUE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "abcd", line, 2));
  auto runs = Runs();
  ASSERT_EQ(runs.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(runs[i]->origin.x, 90 + 5 * i, 0.5);
    EXPECT_NEAR(runs[i]->origin.y, 100, 0.5);
    EXPECT_NEAR(runs[i]->angle, 0, 1e-6);
  }
  // Up a vertical path the characters turn a quarter counter-clockwise.
  canvas_.clear();
  SGIS_Point up[3] = {SGIS_Point(50, 200), SGIS_Point(50, 150), SGIS_Point(50, 100)};
  ASSERT_TRUE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "ab", up, 3));
  runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NEAR(runs[0]->angle, 90, 1e-6);
  EXPECT_NEAR(runs[0]->origin.x, 50, 0.5);
  EXPECT_NEAR(runs[0]->origin.y, 155, 0.5);
  // Around a corner each character takes the angle of its own segment.
  canvas_.clear();
  SGIS_Point corner[3] = {SGIS_Point(100, 100), SGIS_Point(110, 100), SGIS_Point(110, 90)};
  ASSERT_TRUE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "abcd", corner, 3));
  runs = Runs();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_NEAR(runs[0]->angle, 0, 1e-6);
  EXPECT_NEAR(runs[3]->angle, 90, 1e-6);
}

// Where the cell of each character drawn along a path stands, measured
// across the path as given (positive: on its left, y down): the bottom- and
// top-centre alignments put the cell's bottom or top on the path, the others
// the baseline; a path given right to left is read from its other end and
// the cell stays on the same side. The cell is as high as the symbol's own
// extent says, with the fixed metrics and with real faces whose ascent and
// descent differ (a Chinese face's em box, a Latin face's taller cell).
TEST(DrawerOnPath, TheCellStandsWhereTheAlignmentSaysOnEitherSideOfThePath) {
  const std::string engine = GIS_GetSymbolTextEngine();
  struct Face {
    const char* name;
    bool real;
  };
  for (const Face& face : {Face{"", false}, Face{"宋体", true}, Face{"Times New Roman", true}}) {
    SCOPED_TRACE(face.name);
    ASSERT_TRUE(GIS_SetSymbolTextEngine(face.real ? "freetype" : "fixed"));
    md::canvas::RecordingCanvas canvas(400, 300);
    HDC dc = md::win::CreateScreenDC(&canvas, 72, face.real ? nullptr : &md::text::FixedMetricsEngine());
    IGIS_AnnoPointStyle* style = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
    IGIS_Symbol* symbol = style->GetTextStylePtr();
    symbol->GetFontSizePtr()->lfHeight = -40;
    std::strcpy(symbol->GetFontSizePtr()->lfFaceName, face.name);
    SGIS_Rect extent;
    ASSERT_TRUE(symbol->GetTextExtent(&extent, "2线", 0, 100.0));
    const double cell = extent.Height() / 100.0;  // pixels at 72 dpi
    struct Case {
      int code;
      double fromBottom;  // where the path runs, from the cell's bottom, in cell heights
    };
    struct Path {
      SGIS_Point a, b;
    };
    // Left to right, right to left, down and up the page.
    const Path paths[] = {{SGIS_Point(50, 150), SGIS_Point(350, 150)},
                          {SGIS_Point(350, 150), SGIS_Point(50, 150)},
                          {SGIS_Point(200, 20), SGIS_Point(230, 280)},
                          {SGIS_Point(230, 280), SGIS_Point(200, 20)}};
    // Characters are placed at whole device pixels.
    const double kWholePixel = std::sqrt(0.5);
    for (const Case& c : {Case{GIS_ALIGN_BOTTOM_CENTER, 0.0}, Case{GIS_ALIGN_TOP_CENTER, 1.0}}) {
      for (const Path& path : paths) {
        SCOPED_TRACE(std::to_string(c.code) + " from (" + std::to_string(path.a.x) + ", " +
                     std::to_string(path.a.y) + ")");
        canvas.clear();
        ASSERT_TRUE(style->SetAlignment(c.code));
        const SGIS_Point points[2] = {path.a, path.b};
        ASSERT_TRUE(GIS_GetAnnotationDrawerObject()->DrawTextOnPath(CDC::FromHandle(dc), 0, 1.0, style, "2线",
                                                                    points, 2));
        const auto runs = canvas.recordsOf(Record::Type::Text);
        ASSERT_EQ(runs.size(), 2u);
        const double len = std::hypot(path.b.x - path.a.x, path.b.y - path.a.y);
        const double leftX = (path.b.y - path.a.y) / len, leftY = -(path.b.x - path.a.x) / len;
        for (const Record* r : runs) {
          const md::canvas::TextRun& run = r->text;
          EXPECT_NEAR(run.font.ascent + run.font.descent, cell, 0.05);
          // Up the glyphs, y down.
          const double t = run.angle * 3.14159265358979 / 180.0;
          const double upX = -std::sin(t), upY = -std::cos(t);
          const double bottomX = run.origin.x - upX * run.font.descent;
          const double bottomY = run.origin.y - upY * run.font.descent;
          const double topX = run.origin.x + upX * run.font.ascent;
          const double topY = run.origin.y + upY * run.font.ascent;
          const double bottom = (bottomX - path.a.x) * leftX + (bottomY - path.a.y) * leftY;
          const double top = (topX - path.a.x) * leftX + (topY - path.a.y) * leftY;
          // The cell keeps to one side of the path whichever way the text
          // reads; read from the other end, its top and bottom swap.
          const bool reads = path.b.x >= path.a.x;
          EXPECT_NEAR(std::min(bottom, top), -c.fromBottom * cell, kWholePixel);
          EXPECT_NEAR(std::max(bottom, top), (1.0 - c.fromBottom) * cell, kWholePixel);
          EXPECT_EQ(bottom < top, reads);
        }
      }
    }
    style->Release();
    DeleteDC(dc);
  }
  GIS_SetSymbolTextEngine(engine.c_str());
}

TEST_F(Drawer, EmptyOrOnePointPathsDrawNothing) {
  IGIS_AnnoDrawer* d = GIS_GetAnnotationDrawerObject();
  SGIS_Point one(5, 5);
  SGIS_Point same[3] = {SGIS_Point(5, 5), SGIS_Point(5, 5), SGIS_Point(5, 5)};
  EXPECT_FALSE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "abc", nullptr, 0));
  EXPECT_FALSE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "abc", &one, 1));
  EXPECT_FALSE(d->DrawTextOnPath(CDC::FromHandle(dc_), 0, 1.0, style_, "abc", same, 3));
  EXPECT_TRUE(canvas_.records().empty());
}

}  // namespace
