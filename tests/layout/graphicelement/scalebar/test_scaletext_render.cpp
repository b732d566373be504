// Render check: scale texts, absolute and relative, with and without a
// bordered frame, printed onto a raster page and compared with the control.
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "scalebartest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

using ScaleTextRender = ScaleBarTest;

TEST_F(ScaleTextRender, AbsoluteAndRelativeTextsInAndOutOfTheirFrame) {
  ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));  // symbols at their real size
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 2.5);
  const struct {
    int style;
    bool bordered;
    int x, y;
  } texts[] = {{0, false, 500, 2300}, {1, false, 500, 1300}, {0, true, 4500, 2300}, {1, true, 4500, 500}};
  std::vector<IGIS_Element*> drawn;
  for (const auto& t : texts) {
    auto* e = new CGIS_ScaleTextElement(set_, nullptr);
    owned_.push_back(e);
    e->SetMapElement(frame);
    e->SetScaleTextStyle(t.style);
    e->GetSymbolPtr()->GetFontSizePtr()->lfHeight = 12;
    if (t.bordered) {
      SymbolPtr line = NewSymbol(GIS_SYMBOL_LINE, RGB(0, 0, 160));
      e->GetFramePropertyPtr()->SetBorderSymbolPtr(line.get());
      e->GetFramePropertyPtr()->SetBorderVisible(true, true, true, true);
      e->GetFramePropertyPtr()->SetBorderX(100);
      e->GetFramePropertyPtr()->SetBorderY(100);
    }
    e->RebuildText();
    e->SetLBpoint(SGIS_Point(t.x, t.y, 0));
    drawn.push_back(e);
  }
  const double widthMm = 90, heightMm = 35;
  auto canvas = md::canvas::CairoCanvas::createPageImage(widthMm, heightMm, 150.0);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 150;
  setup.paperWidthMm = widthMm;
  setup.paperHeightMm = heightMm;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  const int w = static_cast<int>(widthMm * 100), h = static_cast<int>(heightMm * 100);
  {
    CGIS_PrintDisplay display(hdc, w, h, SGIS_Point(0, h, 0));
    for (IGIS_Element* e : drawn) EXPECT_TRUE(e->OnDraw(hdc, true, &display));
  }
  DeleteDC(hdc);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/scaletext_render.png"));
  EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), "tests/layout/graphicelement/scalebar/controls",
                             "scaletext_texts"));
}

}  // namespace
}  // namespace md::test
