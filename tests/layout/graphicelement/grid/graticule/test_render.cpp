// A graticule with ticks, hatches and interior labels over the 1:50 000
// sample sheet, printed with cairo: written to PNG for a look and compared
// with its control picture; converted into plain elements and printed
// again, it looks the same.
#include <functional>
#include <string>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::Owned;

constexpr int kDpi = 100;
constexpr int kPageW = 40000, kPageH = 30000;
constexpr const char* kControls = "tests/layout/graphicelement/grid/graticule/controls";
constexpr double kMinute = 1.0 / 60;

class GraticuleRender : public md::test::SheetPage {
 protected:
  // The page printed by `draw` with cairo at 100 dpi.
  std::unique_ptr<md::canvas::CairoCanvas> Print(const std::function<void(HDC, IGIS_Display*)>& draw) {
    auto canvas = md::canvas::CairoCanvas::createPageImage(400.0, 300.0, kDpi);
    EXPECT_NE(canvas, nullptr);
    if (canvas == nullptr) return canvas;
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = 400.0;
    setup.paperHeightMm = 300.0;
    HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
    EXPECT_NE(hdc, nullptr);
    {
      CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
      display.PrepareDC();
      EXPECT_TRUE(frame_->OnDraw(hdc, true, &display));
      draw(hdc, &display);
    }
    DeleteDC(hdc);
    return canvas;
  }
};

TEST_F(GraticuleRender, SheetWithHatchesAndInteriorLabelsAndItsConversion) {
  // Lines wide enough to keep a core of flat pixels that the check compares.
  Owned<IGIS_Symbol> line(md::test::NewLineSymbol(RGB(30, 60, 160), 1.0));
  Owned<IGIS_Symbol> tick(md::test::NewLineSymbol(RGB(0, 0, 0), 0.8));
  Owned<IGIS_Symbol> hatch(md::test::NewLineSymbol(RGB(180, 30, 30), 0.8));
  Owned<IGIS_Symbol> text(md::test::NewTextSymbol(8));
  Owned<CGIS_GraticuleGrid> grid(NewGraticule(5.0));
  grid->SetLineSymbol(line.get());
  grid->SetTickLineSymbol(tick.get());
  grid->SetSubTickLineSymbol(tick.get());
  grid->SetSubTickCount(5);
  grid->SetHatchIntervalX(kMinute);
  grid->SetHatchIntervalY(kMinute);
  grid->SetHatchLineSymbolPtr(hatch.get());
  grid->SetMainHatchLineSymbolPtr(hatch.get());
  grid->SetSubHatchLineSymbolPtr(hatch.get());
  grid->SetMainHatchCount(2);
  grid->SetSubHatchCount(3);
  grid->SetHatchLength(150.0);
  grid->SetMainHatchLength(100);
  grid->SetSubHatchLength(50);
  grid->SetSubHatchDirectional(false);
  grid->SetShowInteriorLabels(true);
  grid->SetInteriorLabelIntervalX(5 * kMinute);
  grid->SetInteriorLabelIntervalY(5 * kMinute);
  Owned<md::test::DmsLabelDouble> label(new md::test::DmsLabelDouble());
  label->text = text.get();
  label->seconds = false;
  grid->SetLabelFormat(label.get());

  auto drawn = Print([&](HDC hdc, IGIS_Display* display) { EXPECT_TRUE(grid->OnDraw(hdc, true, display)); });
  ASSERT_NE(drawn, nullptr);
  EXPECT_TRUE(drawn->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/graticule_print.png"));
  const md::canvas::Raster picture = md::canvas::ReadRaster(*drawn);
  EXPECT_TRUE(md::test::MatchesControl(picture, kControls, "graticule_sheet"));

  IGIS_Element* converted = grid->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  // The result holds the hatch group, the label group, then the lines group;
  // printed in the order the grid draws its pieces (lines and ticks, hatches,
  // labels) the pieces lie on each other as they did.
  auto* result = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(result, nullptr);
  ASSERT_EQ(result->GetElementCount(), 3);
  auto again = Print([&](HDC hdc, IGIS_Display* display) {
    for (int i : {2, 0, 1}) EXPECT_TRUE(result->GetElementPtrByIndex(i)->OnDraw(hdc, true, display));
  });
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/graticule_converted.png"));
  const md::canvas::Raster reprinted = md::canvas::ReadRaster(*again);
  // The conversion's curves take other samples and its texts are placed in
  // page units: a few pixels along edges may differ, nothing more.
  const long long differing =
      md::test::MaskedDifference(picture, md::test::AntialiasMask(picture), reprinted, 96);
  EXPECT_GE(differing, 0);
  EXPECT_LE(differing, 400);
  DropCompound(dynamic_cast<IGIS_CompoundElement*>(converted));
}

}  // namespace
