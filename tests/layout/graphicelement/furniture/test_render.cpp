// Render checks: the map index, north arrows of each point kind turned with
// their frame, and the slope rule, printed onto raster pages and compared
// with their control images.
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

constexpr const char* kControls = "tests/layout/graphicelement/furniture/controls";

class FurnitureRender : public FurniturePage {
 protected:
  void SetUp() override {
    FurniturePage::SetUp();
    ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));  // symbols at their real size
  }
  // Prints the elements on a paper of the size (mm) at 150 dpi and compares
  // the picture with the control of the name.
  void Check(const std::vector<IGIS_Element*>& elements, double widthMm, double heightMm, const char* name) {
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
      for (IGIS_Element* e : elements) EXPECT_TRUE(e->OnDraw(hdc, true, &display)) << e->GetType();
    }
    DeleteDC(hdc);
    EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + name + ".png"));
    EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), kControls, name));
  }
};

TEST_F(FurnitureRender, MapIndexTable) {
  auto* e = New<CGIS_MapIndexElement>();
  const char* names[] = {"东北", "正北", "西北", "正东", "正西", "东南", "正南", "西南"};
  for (int i = 0; i < CGIS_MapIndexElement::kCount; ++i) {
    e->SetText(static_cast<CGIS_MapIndexElement::Neighbour>(i), names[i]);
  }
  e->SetTextSymbolPtr(TextSymbol(-9).get());
  e->SetLBpoint(SGIS_Point(500, 500, 0));
  Check({e}, 50, 30, "furniture_mapindex");
}

TEST_F(FurnitureRender, NorthArrowsOfEachKindTurnedWithTheirFrame) {
  CGIS_MapElement* frame = NewFrame();
  frame->SetRect(SGIS_Rect(0, 100, 100, 0));
  Turn(frame, 30);
  const struct {
    int kind, code;
  } kinds[] = {{GIS_SYMBOL_POINT5, 3310}, {GIS_SYMBOL_POINT, 3302}, {GIS_SYMBOL_POINT7, 3311}};
  std::vector<IGIS_Element*> arrows;
  int x = 1500;
  for (const auto& k : kinds) {
    auto* a = New<CGIS_NorthArrowElement>();
    a->SetFramePropertyPtr(nullptr);
    SymbolPtr s = NewSymbol(k.kind, k.code);
    s->SetSize(30);
    s->SetColor2(RGB(255, 255, 255));
    a->SetSymbolPtr(s.get());
    a->SetMapElementPtr(frame);
    a->SetCalibrationAngle(15);
    a->SetRect(SGIS_Rect(x, 3500, x + 1500, 500));
    arrows.push_back(a);
    x += 2500;
  }
  Check(arrows, 90, 40, "furniture_northarrows");
}

TEST_F(FurnitureRender, SlopeRule) {
  auto* e = New<CGIS_SlopeElement>();
  e->SetFramePropertyPtr(nullptr);
  e->SetContourInterval(20.0);
  e->Refresh();
  e->SetLBpoint(SGIS_Point(500, 500, 0));
  Check({e}, 85, 50, "furniture_slope");
}

}  // namespace
}  // namespace md::test
