// Every border kind drawn round map frames that show the sample maps, on a
// printed page rendered with cairo: written to PNG for a look and compared
// with its control picture.
#include <string>

#include "host/basilo/releaseptr.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::BorderPage;

constexpr int kDpi = 100;
constexpr int kPageW = 30000, kPageH = 20000;  // 300 x 200 mm
constexpr const char* kControls = "tests/layout/graphicelement/grid/border/controls";

class BorderRender : public BorderPage {
 protected:
  void SetUp() override {
    BorderPage::SetUp();
    doc_ = GIS_CreateDocumentObject();
    const std::string maps = std::string(MD_SOURCE_DIR) + "/host/helmora/maps/";
    region_ = GIS_LoadMapFile(doc_, (maps + "region_1m.geojson").c_str());
    sheet_ = GIS_LoadMapFile(doc_, (maps + "sheet_50k.geojson").c_str());
    ASSERT_NE(region_, nullptr);
    ASSERT_NE(sheet_, nullptr);
    ASSERT_TRUE(set_->SetMapLayer(doc_->GetLayoutLayer()));
  }
  void TearDown() override {
    for (CGIS_MapElement* f : frames_) f->Release();
    BorderPage::TearDown();
    set_ = nullptr;
    if (doc_ != nullptr) doc_->Release();
  }
  // A frame showing the map, with an inner simple border and the outer one.
  CGIS_MapElement* FrameWith(IGIS_Map* map, SGIS_Rect rect, IGIS_MapBorder* outer) {
    auto* f = new CGIS_MapElement(set_, nullptr);
    frames_.push_back(f);
    f->SetRect(rect);
    f->SetMapName(map->GetName());
    ReleasePtr<CGIS_MapBorderSimple> inner(new CGIS_MapBorderSimple());
    ReleasePtr<IGIS_Symbol> thin(md::test::NewLine(RGB(40, 40, 40), 0.25));
    inner->SetLineSymbolPtr(thin.get());
    f->SetInnerMapBorder(inner.get());
    f->SetOuterMapBorder(outer);
    outer->Release();
    return f;
  }
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* region_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  std::vector<CGIS_MapElement*> frames_;
};

TEST_F(BorderRender, EveryKindRoundTheSampleMaps) {
  // Top left: a simple outer line 3 mm out.
  auto* simple = new CGIS_MapBorderSimple();
  ReleasePtr<IGIS_Symbol> dark(md::test::NewLine(RGB(20, 20, 90), 0.8));
  simple->SetLineSymbolPtr(dark.get());
  for (auto set : {&CGIS_MapBorderSimple::SetLeftOffset, &CGIS_MapBorderSimple::SetRightOffset,
                   &CGIS_MapBorderSimple::SetTopOffset, &CGIS_MapBorderSimple::SetBottomOffset}) {
    (simple->*set)(300);
  }
  FrameWith(region_, SGIS_Rect(1500, 18500, 13500, 11000), simple);

  // Top right: the calibrated band of a topographic sheet, 1 km pieces.
  auto* band = new CGIS_MapBorderCalibrated();
  ReleasePtr<IGIS_Symbol> black(md::test::NewFill(RGB(0, 0, 0)));
  band->SetForegroundSymbolPtr(black.get());
  band->SetBorderWidth(400);
  band->SetInterval(1000);
  for (auto set : {&CGIS_MapBorderCalibrated::SetLeftOffset, &CGIS_MapBorderCalibrated::SetRightOffset,
                   &CGIS_MapBorderCalibrated::SetTopOffset, &CGIS_MapBorderCalibrated::SetBottomOffset}) {
    (band->*set)(200);
  }
  FrameWith(sheet_, SGIS_Rect(16000, 18500, 28500, 11000), band);

  // Bottom left: the alternating chequer.
  auto* chequer = new CGIS_MapBorderCalibrated();
  ReleasePtr<IGIS_Symbol> red(md::test::NewFill(RGB(190, 30, 30)));
  chequer->SetForegroundSymbolPtr(red.get());
  chequer->SetAlternating(true);
  chequer->SetBorderWidth(600);
  chequer->SetInterval(900);
  chequer->SetLeftOffset(150);
  chequer->SetTopOffset(150);
  chequer->SetRightOffset(150);
  chequer->SetBottomOffset(150);
  FrameWith(region_, SGIS_Rect(1500, 8500, 13500, 1200), chequer);

  // Bottom right: the pattern with its own corner squares.
  auto* pattern = new CGIS_MapBorderPattern();
  ReleasePtr<IGIS_Symbol> corner(md::test::NewFill(RGB(30, 90, 40)));
  ReleasePtr<IGIS_Symbol> tileA(md::test::NewFill(RGB(230, 200, 90)));
  ReleasePtr<IGIS_Symbol> tileB(md::test::NewFill(RGB(120, 170, 220)));
  for (auto set :
       {&CGIS_MapBorderPattern::SetLeftTopSymbolPtr, &CGIS_MapBorderPattern::SetLeftBottomSymbolPtr,
        &CGIS_MapBorderPattern::SetRightTopSymbolPtr, &CGIS_MapBorderPattern::SetRightBottomSymbolPtr}) {
    (pattern->*set)(corner.get());
  }
  ReleasePtr<IGIS_Symbol> outlined(tileA->Clone());
  outlined->SetColor2(RGB(60, 60, 60));
  outlined->SetLineWidth(0.2);
  pattern->SetTopSymbolPtr(outlined.get());
  pattern->SetBottomSymbolPtr(outlined.get());
  pattern->SetLeftSymbolPtr(tileB.get());
  pattern->SetRightSymbolPtr(tileB.get());
  pattern->SetBorderWidth(500);
  pattern->SetTopScale(2.0);
  pattern->SetBottomScale(2.0);
  pattern->SetLeftOffset(100);
  pattern->SetRightOffset(100);
  pattern->SetTopOffset(100);
  pattern->SetBottomOffset(100);
  FrameWith(sheet_, SGIS_Rect(16000, 8500, 28500, 1200), pattern);

  auto canvas = md::canvas::CairoCanvas::createPageImage(300.0, 200.0, kDpi);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = 300.0;
  setup.paperHeightMm = 200.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(hdc, nullptr);
  {
    CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
    display.PrepareDC();
    for (CGIS_MapElement* f : frames_) EXPECT_TRUE(f->OnDraw(hdc, true, &display));
  }
  DeleteDC(hdc);
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/borders_print.png"));
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas), kControls, "borders_print"));
}

}  // namespace
