// The kilometre grid over the sample sheet on a printed page rendered with
// cairo, drawn and then converted and drawn again: written to PNG for a look
// and compared with its control picture.
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::MeasurePage;

constexpr int kDpi = 150;
constexpr const char* kControls = "tests/layout/graphicelement/grid/measure/controls";

class MeasureRender : public MeasurePage {
 protected:
  // Draws every frame (with its grids) on a printed paper of w x h mm whose
  // top-left corner is the page point.
  std::unique_ptr<md::canvas::CairoCanvas> Print(const std::vector<IGIS_Element*>& extra = {}, int w = 250,
                                                 int h = 210, int dpi = kDpi,
                                                 SGIS_Point topLeft = {0, 21000}) {
    auto canvas = md::canvas::CairoCanvas::createPageImage(w, h, dpi);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = dpi;
    setup.paperWidthMm = w;
    setup.paperHeightMm = h;
    HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
    {
      CGIS_PrintDisplay display(hdc, w * 100, h * 100, topLeft);
      display.PrepareDC();
      for (CGIS_MapElement* f : frames_) EXPECT_TRUE(f->OnDraw(hdc, true, &display));
      for (IGIS_Element* e : extra) e->OnDraw(hdc, true, &display);
    }
    DeleteDC(hdc);
    return canvas;
  }
};

TEST_F(MeasureRender, KilometreGridOverTheSheet) {
  CGIS_MapElement* frame = SheetFrame();
  // Lines wide enough to have pixels of their own colour, which the check compares.
  IGIS_MeasureGrid* grid = md::test::NewMeasureGrid(frame, 0.5);
  ASSERT_TRUE(frame->GetMapGrids()->AddMapGrid(grid));
  auto canvas = Print();
  ASSERT_NE(canvas, nullptr);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/measuregrid_sheet.png"));
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas), kControls, "measuregrid_sheet"));
  // The lower-left corner close up, for a look at the ticks.
  auto corner = Print({}, 40, 30, 600, SGIS_Point(1000, 4500));
  EXPECT_TRUE(corner->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/measuregrid_sheet_corner.png"));
}

TEST_F(MeasureRender, ConvertedAndDrawnAgainItLooksTheSame) {
  CGIS_MapElement* frame = SheetFrame();
  IGIS_MeasureGrid* grid = md::test::NewMeasureGrid(frame);
  // The grid's own figure and border (the labels convert on their own).
  grid->SetLabelVisible(false, false, false, false);
  ASSERT_TRUE(frame->GetMapGrids()->AddMapGrid(grid));
  auto drawn = Print();
  IGIS_Element* converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  frame->GetMapGrids()->DeleteMapGrids(grid);
  grid->Release();
  auto again = Print({converted});
  EXPECT_TRUE(again->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/measuregrid_sheet_converted.png"));
  const md::canvas::Raster a = md::canvas::ReadRaster(*drawn);
  const md::canvas::Raster b = md::canvas::ReadRaster(*again);
  EXPECT_EQ(md::canvas::Compare(a, b, 0).differing, 0);
}

TEST_F(MeasureRender, OnAMapInDegreesTheLinesBend) {
  // 2 x 1.5 degrees of the region with a 20 km grid of zone 39.
  CGIS_MapElement* frame = Frame(region_, SGIS_DRect(116.0, 40.0, 118.0, 38.5), 1e-4, SGIS_Point(2000, 2000));
  IGIS_MeasureGrid* grid = md::test::NewMeasureGrid(frame);
  grid->GetGridSpacing()->SetXIntervalSize(20.0);
  grid->GetGridSpacing()->SetYIntervalSize(20.0);
  grid->GetGridSpacing()->SetUnits(1);
  ASSERT_TRUE(frame->GetMapGrids()->AddMapGrid(grid));
  auto canvas = Print();
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/measuregrid_region.png"));
}

}  // namespace
