// Alternating scale bars of several settings rendered to a PNG with real
// fonts, for looking at.
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using ScaleBarRender = ScaleBarTest;

TEST_F(ScaleBarRender, APageOfBarsRendersToPng) {
  GIS_SetSymbolTextEngine("freetype");
  ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
  auto canvas = md::canvas::CairoCanvas::createPageImage(150.0, 100.0, 200.0);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 200;
  setup.paperWidthMm = 150.0;
  setup.paperHeightMm = 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup);
  CGIS_PrintDisplay display(hdc, 15000, 10000, SGIS_Point(0, 10000));

  // 1:50,000 in kilometres: 0 to 2 km in divisions of 20 mm, with a second fill.
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  std::vector<CGIS_AlternatingScaleBar*> bars;
  for (int i = 0; i < 4; ++i) {
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 8500 - i * 2300, 2000, 8000 - i * 2300), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bars.push_back(bar);
  }
  CGIS_AlternatingScaleBar* km = bars[0];
  km->SetMapElement(frame);
  km->SetUnits(1);
  km->SetDivisions(2);
  km->SetDivision(1.0);
  km->SetUnitLabel("千米");
  SymbolPtr grey = NewSymbol(GIS_SYMBOL_FILL, RGB(255, 255, 255));
  km->SetSymbol2(grey.get());

  CGIS_AlternatingScaleBar* before = bars[1];  // a division before zero, numbers at every subdivision
  before->SetDivisionsBeforeZero(true);
  before->SetDivision(100.0);
  before->SetBarWidth(1500);
  before->SetLabelFrequency(5);
  before->GetScaleMarks()->SetMarkFrequency(6);

  CGIS_AlternatingScaleBar* below = bars[2];  // labels and marks below, the unit before the bar
  below->SetLabelPosition(GIS_SCALEBAR_POSITION_BELOW);
  below->GetScaleMarks()->SetMarkPosition(GIS_SCALEBAR_POSITION_BELOW);
  below->SetUnitLabelPosition(GIS_SCALEBAR_UNIT_BEFORE_BAR);
  below->SetDivisions(4);
  below->SetSubDivisions(2);

  CGIS_AlternatingScaleBar* middle = bars[3];  // marks across the middle, the unit above
  middle->GetScaleMarks()->SetMarkPosition(GIS_SCALEBAR_POSITION_MIDDLE);
  middle->GetScaleMarks()->SetMarkFrequency(3);
  middle->SetUnitLabelPosition(GIS_SCALEBAR_UNIT_ABOVE);
  middle->SetBarHeight(120);
  middle->SetLabelFrequency(2);

  for (CGIS_AlternatingScaleBar* bar : bars) {
    bar->Refresh();
    EXPECT_TRUE(bar->OnDraw(hdc, true, &display));
  }
  EXPECT_EQ(km->GetDivisionWidth(), 2000);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/scalebars.png"));
  DeleteDC(hdc);
}

}  // namespace
}  // namespace md::test
