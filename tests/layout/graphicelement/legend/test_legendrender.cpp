// The render check of the legend: the 1:50,000 sample sheet's legend printed
// with the fixed-metrics text engine, against its control image.
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/layout/graphicelement/legend/legendtest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

using LegendRender = LegendPage;

TEST_F(LegendRender, TheSampleSheetsLegendMatchesItsControl) {
  IGIS_Map* sheet = LoadSampleSheet();
  ASSERT_NE(sheet, nullptr);
  CGIS_MapElement* frame = NewFrame();
  frame->SetMapName(sheet->GetName());
  CGIS_LegendElement* l = NewLegend(frame);
  IGIS_LegendFormat* f = l->GetLegendFormat();
  f->SetDefaultPatchWidth(1200);
  f->SetDefaultPatchHeight(500);
  f->SetVerticalItemGap(150);
  f->SetItemGap(300);
  f->SetLayerNameGap(100);
  f->SetPatchAndLabelsGap(300);
  f->SetTitleAndLegendGap(300);
  f->GetTitleSymbol()->GetFontSizePtr()->lfHeight = -14;
  AddEveryClass(l, sheet);
  l->SetLBpoint(SGIS_Point(500, 500, 0));
  l->RecalcRect();
  const SGIS_Rect r = l->GetRect();
  ASSERT_LT(r.top, 14000);
  ASSERT_LT(r.right, 8000);

  auto canvas = md::canvas::CairoCanvas::createPageImage(80.0, 140.0, 150.0);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 150;
  setup.paperWidthMm = 80.0;
  setup.paperHeightMm = 140.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  {
    CGIS_PrintDisplay display(hdc, 8000, 14000, SGIS_Point(0, 14000));
    EXPECT_TRUE(l->OnDraw(hdc, true, &display));
  }
  DeleteDC(hdc);
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                       "tests/layout/graphicelement/legend/controls", "legend_sheet_50k"));
}

}  // namespace
}  // namespace md::test
