// Drawing: each object class at its extent on a printed page, the frame
// around it, draft mode, and the render check of a page of embedded objects.
#include <algorithm>
#include <cstdio>

#include "host/display/cgis_printdisplay.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/logmark.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::OlePage;

using md::test::IsGreen;
using md::test::IsRed;
using md::test::kDpi;
using md::test::kPaperH;
using md::test::kPaperW;
using md::test::PrintedPage;

class OleDraw : public OlePage {};

TEST_F(OleDraw, PictureFillsItsRectangleUprightAfterStorage) {
  // 200 x 100 px: red left half, green right half; stored and read back.
  CGIS_OleElement* e = Inserted(FileOf(md::test::WritePng("halves.png", 200, 100)), SGIS_Rect(0, 0, 0, 0));
  e->SetFramePropertyPtr(nullptr);
  const SGIS_Rect r(2000, 6000, 2000 + 5292, 6000 - 2646);  // its extent
  ASSERT_TRUE(e->Archive(0, 0));
  CGIS_OleElement* back = NewOle(set_, e->GetFeaturePtr());
  ASSERT_TRUE(back->Archive(1, 0));
  back->SetRect(r);
  EXPECT_EQ(back->GetRect().Width(), 5292);
  EXPECT_EQ(back->GetRect().Height(), 2646);
  PrintedPage page;
  ASSERT_TRUE(back->OnDraw(page.hdc, true, page.display.get()));
  const md::canvas::Raster px = page.Pixels();
  const int l = PrintedPage::X(r.left), rt = PrintedPage::X(r.right);
  const int t = PrintedPage::Y(r.top), b = PrintedPage::Y(r.bottom);
  EXPECT_TRUE(IsRed(px.at(l + 3, t + 3)));
  EXPECT_TRUE(IsRed(px.at(l + 3, b - 3)));
  EXPECT_TRUE(IsGreen(px.at(rt - 3, t + 3)));
  EXPECT_TRUE(IsGreen(px.at(rt - 3, (t + b) / 2)));
  EXPECT_EQ(px.at(l - 4, t + 3), 0xFFFFFFu);  // nothing outside
  EXPECT_EQ(px.at(rt + 4, b - 3), 0xFFFFFFu);
  EXPECT_EQ(px.at(l + 3, t - 4), 0xFFFFFFu);
}

TEST_F(OleDraw, TextDocumentDrawsDarkTextOnItsWhitePage) {
  CGIS_OleElement* e = Inserted(FileOf(md::test::WriteText("doc.txt", "MMMM\nMMMM")), SGIS_Rect(0, 0, 0, 0));
  e->SetFramePropertyPtr(nullptr);
  SIZE extent{};
  ASSERT_TRUE(e->GetClientItem()->GetExtent(&extent, -1));
  e->GetFeaturePtr()->GetGeometry()->SetRect(
      SGIS_Rect(1000, 1000 + extent.cy * 2, 1000 + extent.cx * 2, 1000), 0);
  PrintedPage page;
  // A blue page shows where the document paints.
  HBRUSH grey = CreateSolidBrush(RGB(51, 102, 204));
  const RECT all{0, 0, kPaperW, -kPaperH};
  FillRect(page.hdc, &all, grey);
  DeleteObject(grey);
  ASSERT_TRUE(e->OnDraw(page.hdc, true, page.display.get()));
  const md::canvas::Raster px = page.Pixels();
  const SGIS_Rect r = e->GetRect();
  int dark = 0, white = 0, grey_ = 0;
  for (int y = PrintedPage::Y(r.top) + 2; y < PrintedPage::Y(r.bottom) - 2; ++y)
    for (int x = PrintedPage::X(r.left) + 2; x < PrintedPage::X(r.right) - 2; ++x) {
      const std::uint32_t p = px.at(x, y);
      dark += (p & 0xFF) < 0x40;
      white += p == 0xFFFFFF;
      grey_ += p == 0x3366CC;
    }
  EXPECT_GT(dark, 50);
  EXPECT_GT(white, dark);
  EXPECT_EQ(grey_, 0);
  EXPECT_EQ(px.at(PrintedPage::X(r.left) - 3, PrintedPage::Y(r.top) + 5), 0x3366CCu);
}

TEST_F(OleDraw, EachClassReadInAFreshFeatureSetDrawsAtItsExtent) {
  const md::layout::SGIS_OleInsertChoice choices[] = {NewOf("Mapdeck.Picture"),
                                                      NewOf("Mapdeck.TextDocument")};
  for (const auto& choice : choices) {
    SCOPED_TRACE(choice.progId);
    CGIS_OleElement* e = Inserted(choice, SGIS_Rect(0, 0, 0, 0));
    e->SetFramePropertyPtr(nullptr);
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/ole_draw_page.mdfs";
    ASSERT_TRUE(set_->SaveToFile(path.c_str()));
    IGIS_FeatureSet* fresh = NewSet();
    ASSERT_TRUE(fresh->LoadFromFile(path.c_str()));
    std::remove(path.c_str());
    CGIS_OleElement* back = NewOle(fresh, fresh->GetFeature(e->GetID()));
    ASSERT_TRUE(back->Archive(1, 0));
    SIZE extent{};
    ASSERT_TRUE(back->GetClientItem()->GetExtent(&extent, -1));
    back->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 1000 + extent.cy, 1000 + extent.cx, 1000),
                                                  0);
    PrintedPage page;
    HBRUSH grey = CreateSolidBrush(RGB(51, 102, 204));
    const RECT all{0, 0, kPaperW, -kPaperH};
    FillRect(page.hdc, &all, grey);
    DeleteObject(grey);
    ASSERT_TRUE(back->OnDraw(page.hdc, true, page.display.get()));
    const md::canvas::Raster px = page.Pixels();
    const SGIS_Rect r = back->GetRect();
    int covered = 0, total = 0;
    for (int y = PrintedPage::Y(r.top) + 2; y < PrintedPage::Y(r.bottom) - 2; ++y)
      for (int x = PrintedPage::X(r.left) + 2; x < PrintedPage::X(r.right) - 2; ++x) {
        ++total;
        covered += px.at(x, y) != 0x3366CCu;
      }
    EXPECT_GT(total, 1000);
    EXPECT_GT(covered, total * 9 / 10);  // the object fills its rectangle
    EXPECT_EQ(px.at(PrintedPage::X(r.right) + 3, PrintedPage::Y(r.bottom) - 3), 0x3366CCu);  // and no more
    EXPECT_EQ(px.at(PrintedPage::X(r.left) + 3, PrintedPage::Y(r.top) - 3), 0x3366CCu);
  }
}

TEST_F(OleDraw, DraftModeOnScreenDrawsOnlyTheFrame) {
  CGIS_OleElement* e =
      Inserted(FileOf(md::test::WritePng("draft.png", 40, 40)), SGIS_Rect(1000, 3000, 3000, 1000));
  e->GetFramePropertyPtr()->SetDraftMode(true);
  {
    PrintedPage page;
    ASSERT_TRUE(e->OnDraw(page.hdc, false, page.display.get()));
    const md::canvas::Raster px = page.Pixels();
    EXPECT_FALSE(IsRed(px.at(PrintedPage::X(1200), PrintedPage::Y(2000))));
  }
  PrintedPage printed;
  ASSERT_TRUE(e->OnDraw(printed.hdc, true, printed.display.get()));
  EXPECT_TRUE(IsRed(printed.Pixels().at(PrintedPage::X(1200), PrintedPage::Y(2000))));
}

TEST_F(OleDraw, WithoutAReferenceNothingIsDrawn) {
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(0, 100, 100, 0));
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  PrintedPage page;
  md::test::LogMark mark;
  EXPECT_FALSE(e->OnDraw(page.hdc, true, page.display.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_OleElement::OnDraw", "p_spatialreference== NULL "));
}

TEST_F(OleDraw, RenderCheckOfBothClassesInFrames) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(kPaperW / 100.0, kPaperH / 100.0, kDpi);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = kPaperW / 100.0;
  setup.paperHeightMm = kPaperH / 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  {
    CGIS_PrintDisplay display(hdc, kPaperW, kPaperH, SGIS_Point(0, kPaperH, 0));
    CGIS_OleElement* picture = Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(0, 0, 0, 0));
    picture->SetRect(SGIS_Rect(800, 7200, 5800, 1000));
    CGIS_OleElement* doc =
        Inserted(FileOf(md::test::WriteText("render.txt", "Embedded text\n嵌入的文本文档\nline three")),
                 SGIS_Rect(0, 0, 0, 0));
    doc->SetRect(SGIS_Rect(6400, 7200, 11200, 1000));
    picture->GetFramePropertyPtr()->SetBorderX(150);
    EXPECT_TRUE(picture->OnDraw(hdc, true, &display));
    EXPECT_TRUE(doc->OnDraw(hdc, true, &display));
  }
  DeleteDC(hdc);
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                       "tests/layout/graphicelement/ole/controls", "ole_objects"));
}

}  // namespace
