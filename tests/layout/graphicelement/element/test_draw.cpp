// Elements drawn with their feature's symbol through the display's view and
// the renderer, inside the clip sequence; compounds drawing their members.
#include <memory>

#include "host/display/cgis_printdisplay.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::LogMark;
using md::test::TestBoxElement;

// A 100 dpi printer page of 60 x 30 mm printed through a print display: page
// point (0, 3000) is the paper's top-left corner.
class DrawTest : public md::test::PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    reference_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    ASSERT_NE(reference_, nullptr);
    set_->GetFeatureClass()->SetSpatialReference(reference_);
  }
  void TearDown() override {
    PageTest::TearDown();
    reference_->Release();
  }
  HDC PrinterDC(md::canvas::Canvas* canvas) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 100;
    setup.paperWidthMm = 60.0;
    setup.paperHeightMm = 30.0;
    return md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
  }
  TestBoxElement* FilledBox(int l, int b, int r, int t, COLORREF color, const char* tag) {
    TestBoxElement* box = Box(l, b, r, t, tag);
    IGIS_Symbol* fill = GIS_GetSymbolFactoryObject()->CreateSymbol(12);
    fill->SetColor(color);
    set_->GetFeature(box->GetID())->SetSymbol(fill);  // the feature takes it
    return box;
  }

  IGIS_SpatialReference* reference_ = nullptr;
};

std::vector<const md::canvas::Record*> Fills(const md::canvas::RecordingCanvas& canvas) {
  std::vector<const md::canvas::Record*> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    if (r->shape.fill) out.push_back(r);
  }
  return out;
}

md::canvas::Rect Bounds(const md::canvas::Record& r) {
  md::canvas::Rect b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  for (const md::canvas::Point& p : r.Points()) {
    b.left = std::min<int>(b.left, static_cast<int>(p.x));
    b.top = std::min<int>(b.top, static_cast<int>(p.y));
    b.right = std::max<int>(b.right, static_cast<int>(p.x));
    b.bottom = std::max<int>(b.bottom, static_cast<int>(p.y));
  }
  return b;
}

TEST_F(DrawTest, TheSymbolIsDrawnAtTheDevicePointsUnderThePaperClip) {
  md::canvas::RecordingCanvas canvas(236, 118);
  HDC hdc = PrinterDC(&canvas);
  CGIS_PrintDisplay display(hdc, 6000, 3000, SGIS_Point(0, 3000));
  TestBoxElement* box = FilledBox(1000, 1000, 2000, 2000, RGB(255, 0, 0), "red");

  EXPECT_TRUE(box->OnDraw(hdc, true, &display));
  const auto fills = Fills(canvas);
  ASSERT_EQ(fills.size(), 1u);
  // 10 to 20 mm from the paper's left and top edges at 100 dpi.
  const md::canvas::Rect b = Bounds(*fills[0]);
  EXPECT_NEAR(b.left, 39, 1);
  EXPECT_NEAR(b.right, 79, 1);
  EXPECT_NEAR(b.top, 39, 1);
  EXPECT_NEAR(b.bottom, 79, 1);
  ASSERT_TRUE(fills[0]->state.clip.active);
  ASSERT_EQ(fills[0]->state.clip.rects.size(), 1u);
  EXPECT_EQ(fills[0]->state.clip.rects[0], (md::canvas::Rect{0, 0, 236, 118}));
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(hdc, after), 0);  // no clip before, none after
  DeleteObject(after);
  DeleteDC(hdc);
}

TEST_F(DrawTest, ACompoundDrawsItsMembersInOrder) {
  md::canvas::RecordingCanvas canvas(236, 118);
  HDC hdc = PrinterDC(&canvas);
  CGIS_PrintDisplay display(hdc, 6000, 3000, SGIS_Point(0, 3000));
  auto* outer = Keep(new CGIS_CompoundElement(set_, nullptr));
  auto* inner = Keep(new CGIS_CompoundElement(set_, nullptr));
  outer->AddElement(FilledBox(100, 100, 900, 900, RGB(255, 0, 0), "red"));
  inner->AddElement(FilledBox(1000, 100, 1900, 900, RGB(0, 160, 0), "green"));
  outer->AddElement(inner);
  outer->AddElement(FilledBox(2000, 100, 2900, 900, RGB(0, 0, 255), "blue"));
  EXPECT_TRUE(outer->OnDraw(hdc, false, &display));
  const auto fills = Fills(canvas);
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_LT(Bounds(*fills[0]).right, Bounds(*fills[1]).left);
  EXPECT_LT(Bounds(*fills[1]).right, Bounds(*fills[2]).left);
  EXPECT_NE(fills[0]->brush.color, fills[1]->brush.color);
  EXPECT_NE(fills[1]->brush.color, fills[2]->brush.color);
  DeleteDC(hdc);
}

TEST_F(DrawTest, MissingSymbolOrReferenceDrawsNothing) {
  md::canvas::RecordingCanvas canvas(236, 118);
  HDC hdc = PrinterDC(&canvas);
  CGIS_PrintDisplay display(hdc, 6000, 3000, SGIS_Point(0, 3000));
  TestBoxElement* bare = Box(0, 0, 100, 100, "bare");
  LogMark log;
  EXPECT_FALSE(bare->OnDraw(hdc, false, &display));
  EXPECT_TRUE(log.Has(3, "TestBoxElement::OnDraw", "pSymbol == NULL"));
  TestBoxElement* box = FilledBox(0, 0, 100, 100, RGB(1, 2, 3), "box");
  EXPECT_FALSE(box->OnDraw(hdc, false, nullptr));
  EXPECT_TRUE(log.Has(3, "TestBoxElement::OnDraw", "pDisplay == NULL"));
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  EXPECT_FALSE(box->OnDraw(hdc, false, &display));
  EXPECT_TRUE(log.Has(3, "TestBoxElement::OnDraw", "pSpatialReference == NULL"));
  EXPECT_TRUE(Fills(canvas).empty());
  DeleteDC(hdc);
}

TEST_F(DrawTest, NestedCompoundRendersToPng) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(60.0, 30.0, 100.0);
  ASSERT_NE(canvas, nullptr);
  HDC hdc = PrinterDC(canvas.get());
  CGIS_PrintDisplay display(hdc, 6000, 3000, SGIS_Point(0, 3000));
  auto* outer = Keep(new CGIS_CompoundElement(set_, nullptr));
  auto* inner = Keep(new CGIS_CompoundElement(set_, nullptr));
  outer->AddElement(FilledBox(300, 300, 1800, 2700, RGB(220, 40, 40), "red"));
  inner->AddElement(FilledBox(2100, 300, 3600, 1300, RGB(40, 160, 40), "green"));
  inner->AddElement(FilledBox(2100, 1700, 3600, 2700, RGB(40, 90, 220), "blue"));
  outer->AddElement(inner);
  // Half off the paper: cut at its right edge by the element clip.
  outer->AddElement(FilledBox(4000, 800, 7000, 2200, RGB(240, 180, 0), "amber"));
  EXPECT_TRUE(outer->OnDraw(hdc, true, &display));
  // Moved and halved, drawn again on top.
  auto* copy = dynamic_cast<CGIS_CompoundElement*>(outer->Clone());
  ASSERT_NE(copy, nullptr);
  copy->ScaleShape(SGIS_Point(300, 300), 0.5, 0.5);
  copy->OffsetAllPoints(200, 200);
  EXPECT_TRUE(copy->OnDraw(hdc, true, &display));
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/elements_compound.png";
  EXPECT_TRUE(canvas->writePng(path));
  DeleteDC(hdc);
  // Hand the clone's pieces back to the page.
  std::vector<IGIS_Element*> pieces;
  std::vector<IGIS_Element*> stack{copy};
  while (!stack.empty()) {
    IGIS_Element* e = stack.back();
    stack.pop_back();
    pieces.push_back(e);
    if (auto* c = dynamic_cast<CGIS_CompoundElement*>(e)) {
      for (int i = 0; i < c->GetElementCount(); ++i) stack.push_back(c->GetElementPtrByIndex(i));
    }
  }
  for (IGIS_Element* e : pieces) set_->DeleteElement(e);
}

// A compound of the library's own shapes, made through the owner's factory
// hooks: moved, resized about its left-bottom corner, cloned and drawn.
TEST_F(DrawTest, ACompoundOfRealShapesMovesResizesClonesAndDraws) {
  auto* group = Keep(new CGIS_CompoundElement(set_, nullptr));
  IGIS_Element* rect = Keep(set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT"));
  IGIS_Element* ellipse = Keep(set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE"));
  ASSERT_NE(rect, nullptr);
  ASSERT_NE(ellipse, nullptr);
  rect->SetRect(SGIS_Rect(200, 1200, 1200, 200));
  ellipse->SetRect(SGIS_Rect(1400, 1200, 2400, 400));
  ASSERT_TRUE(group->AddElement(rect));
  ASSERT_TRUE(group->AddElement(ellipse));
  IGIS_Symbol* line = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  line->SetColor(RGB(0, 0, 200));
  line->SetLineWidth(0.5);
  ASSERT_TRUE(AddSegmentElement(group, SGIS_Point(200, 100), SGIS_Point(2400, 100), line));
  line->Release();
  IGIS_Element* segment = group->GetElementPtrByIndex(2);
  ASSERT_NE(segment, nullptr);
  Keep(segment);
  ASSERT_EQ(group->GetElementCount(), 3);
  EXPECT_EQ(group->GetRect(), SGIS_Rect(200, 1200, 2400, 100));

  // Moved: every member by the same offset.
  group->OffsetAllPoints(300, 500);
  EXPECT_EQ(rect->GetRect(), SGIS_Rect(500, 1700, 1500, 700));
  EXPECT_EQ(ellipse->GetRect(), SGIS_Rect(1700, 1700, 2700, 900));
  EXPECT_EQ(group->GetRect(), SGIS_Rect(500, 1700, 2700, 600));

  // Resized from 2200 x 1100 to 1100 x 2200 about the left-bottom corner.
  group->SetWidthAndHeight(1100, 2200);
  EXPECT_EQ(group->GetRect(), SGIS_Rect(500, 2800, 1600, 600));
  EXPECT_EQ(rect->GetRect(), SGIS_Rect(500, 2800, 1000, 800));
  EXPECT_EQ(ellipse->GetRect(), SGIS_Rect(1100, 2800, 1600, 1200));
  // Placed by its left-bottom corner.
  group->SetLBpoint(SGIS_Point(100, 100));
  EXPECT_EQ(group->GetRect(), SGIS_Rect(100, 2300, 1200, 100));

  // The clone holds clones of the members, in order, as separate elements.
  auto* copy = dynamic_cast<CGIS_CompoundElement*>(group->Clone());
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->GetElementCount(), 3);
  for (int i = 0; i < 3; ++i) {
    IGIS_Element* mine = group->GetElementPtrByIndex(i);
    IGIS_Element* theirs = copy->GetElementPtrByIndex(i);
    ASSERT_NE(theirs, nullptr);
    EXPECT_NE(theirs, mine);
    EXPECT_STREQ(theirs->GetType(), mine->GetType());
    EXPECT_EQ(theirs->GetRect(), mine->GetRect()) << i;
  }
  copy->OffsetAllPoints(3000, 0);
  EXPECT_EQ(group->GetRect(), SGIS_Rect(100, 2300, 1200, 100));
  EXPECT_EQ(copy->GetRect(), SGIS_Rect(3100, 2300, 4200, 100));

  // Both drawn: each member through its own symbol, inside the paper clip,
  // and the context's clip left as it was.
  md::canvas::RecordingCanvas canvas(236, 118);
  HDC hdc = PrinterDC(&canvas);
  CGIS_PrintDisplay display(hdc, 6000, 3000, SGIS_Point(0, 3000));
  EXPECT_TRUE(group->OnDraw(hdc, true, &display));
  const std::size_t oneGroup = canvas.recordsOf(md::canvas::Record::Type::Shape).size();
  EXPECT_GE(oneGroup, 3u);
  EXPECT_TRUE(copy->OnDraw(hdc, true, &display));
  const auto shapes = canvas.recordsOf(md::canvas::Record::Type::Shape);
  EXPECT_EQ(shapes.size(), 2 * oneGroup);
  for (const md::canvas::Record* r : shapes) {
    ASSERT_TRUE(r->state.clip.active);
    EXPECT_EQ(r->state.clip.rects[0], (md::canvas::Rect{0, 0, 236, 118}));
  }
  // The copy lies 30 mm (118 pixels at 100 dpi) right of the original.
  EXPECT_NEAR(Bounds(*shapes[oneGroup]).left - Bounds(*shapes[0]).left, 118, 1);
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(hdc, after), 0);
  DeleteObject(after);
  DeleteDC(hdc);

  // Rendered for a look.
  auto image = md::canvas::CairoCanvas::createPageImage(60.0, 30.0, 100.0);
  ASSERT_NE(image, nullptr);
  HDC png = PrinterDC(image.get());
  CGIS_PrintDisplay pngDisplay(png, 6000, 3000, SGIS_Point(0, 3000));
  EXPECT_TRUE(group->OnDraw(png, true, &pngDisplay));
  EXPECT_TRUE(copy->OnDraw(png, true, &pngDisplay));
  EXPECT_TRUE(image->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/elements_compound_shapes.png"));
  DeleteDC(png);

  for (int i = copy->GetElementCount() - 1; i >= 0; --i) set_->DeleteElement(copy->GetElementPtrByIndex(i));
  set_->DeleteElement(copy);
}

}  // namespace
