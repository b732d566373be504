// Every kind of scale bar printed at 1:50,000 and at 1:10,000 on one page,
// compared with its control picture.
#include <memory>
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/scalebar/cgis_doublealternatingscalebar.h"
#include "layout/graphicelement/scalebar/cgis_hollowscalebar.h"
#include "layout/graphicelement/scalebar/cgis_scaleline.h"
#include "layout/graphicelement/scalebar/cgis_steppedscaleline.h"
#include "layout/graphicelement/scalebar/cgis_terrabar.h"
#include "layout/graphicelement/scalebar/cgis_topographicbar.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "scalebartest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

constexpr int kDpi = 150;
constexpr int kPageW = 20000, kPageH = 16000;  // 200 x 160 mm
constexpr double kDivisionMetres = 200.0;      // 4 mm at 1:50,000, 20 mm at 1:10,000

class ScaleBarRender : public ScaleBarTest {
 protected:
  void SetUp() override {
    ScaleBarTest::SetUp();
    ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
  }
  // A bar laid out at the scale, its rectangle's lower-left corner moved to
  // (x, y).
  template <class T>
  IGIS_ScaleBar* Place(double denominator, int x, int y) {
    IGIS_ScaleBar* bar = BarAtScale<T>(denominator, kDivisionMetres);
    bar->SetUnitLabel("m");
    bar->Refresh();
    bar->SetLBpoint(SGIS_Point(x, y, 0));
    return bar;
  }
  // A bar that takes its division as a page width, at the width the others
  // have at the scale.
  template <class T>
  IGIS_ScaleBar* PlaceRuler(double denominator, int x, int y) {
    IGIS_ScaleBar* bar = NewBarOf<T>();
    bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(x, y + 600, x + 1000, y), 0);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(kDivisionMetres / (denominator * 1e-5));
    bar->SetUnitLabel("m");
    return bar;
  }
};

TEST_F(ScaleBarRender, EveryKindAtTwoScales) {
  std::vector<IGIS_ScaleBar*> bars;
  const double scales[] = {50000.0, 10000.0};
  for (int s = 0; s < 2; ++s) {
    const int x = s == 0 ? 1500 : 5000;
    int y = kPageH - 1800;
    auto next = [&](IGIS_ScaleBar* bar) {
      bars.push_back(bar);
      y -= 1300;
    };
    next(Place<CGIS_DoubleAlternatingScaleBar>(scales[s], x, y));
    next(Place<CGIS_HollowScaleBar>(scales[s], x, y));
    next(Place<CGIS_ScaleLine>(scales[s], x, y));
    next(Place<CGIS_SteppedScaleLine>(scales[s], x, y));
    next(PlaceRuler<CGIS_TerraBar>(scales[s], x, y));
    next(PlaceRuler<CGIS_TopoGraphicBar>(scales[s], x, y));
  }
  auto canvas = md::canvas::CairoCanvas::createPageImage(200.0, 160.0, kDpi);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = 200.0;
  setup.paperHeightMm = 160.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(hdc, nullptr);
  {
    CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
    for (IGIS_ScaleBar* bar : bars) EXPECT_TRUE(bar->OnDraw(hdc, true, &display)) << bar->GetType();
  }
  DeleteDC(hdc);
  EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), "tests/layout/graphicelement/scalebar/controls",
                             "scalebar_kinds"));
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/scalebar_kinds.png"));
}

}  // namespace
}  // namespace md::test
