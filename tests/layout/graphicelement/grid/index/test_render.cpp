// Index grids over the sample maps, one framed by a calibrated band and one
// by an alternating band, each with the continuous tabs, on a printed page
// rendered with cairo: written to PNG for a look and compared with their
// control picture; converted into plain elements and drawn again, they give
// the same picture.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/index/indexgridfigure.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/recordeddrawing.h"
#include "tests/support/rendercheck.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::grid::IndexGridPiece;

constexpr int kDpi = 100;
constexpr int kPageW = 30000, kPageH = 20000;  // 300 x 200 mm
constexpr const char* kControls = "tests/layout/graphicelement/grid/index/controls";

IGIS_Symbol* Fill(COLORREF colour, COLORREF outline, double widthMm) {
  IGIS_Symbol* s = md::test::NewSymbol(GIS_SYMBOL_FILL, colour);
  s->SetColor2(outline);
  s->SetLineWidth(widthMm);
  return s;
}
IGIS_Symbol* Line(COLORREF colour, double widthMm) {
  IGIS_Symbol* s = md::test::NewSymbol(GIS_SYMBOL_LINE, colour);
  s->SetLineWidth(widthMm);
  return s;
}

// The grids' test page with the sample maps' document behind it.
class IndexGridRender : public md::test::GridPage {
 protected:
  void SetUp() override {
    GIS_SetSymbolTextEngine("fixed");
    GridPage::SetUp();
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
    GridPage::TearDown();
    if (doc_ != nullptr) doc_->Release();
    GIS_SetSymbolTextEngine("freetype");
  }

  // A frame showing the map with an index grid of the counts whose border
  // is a band of the form; the grid is the frame's.
  IGIS_IndexGrid* FrameWithGrid(IGIS_Map* map, SGIS_Rect rect, int columns, int rows, bool alternating) {
    auto* f = new CGIS_MapElement(set_, nullptr);
    frames_.push_back(f);
    f->SetRect(rect);
    f->SetMapName(map->GetName());
    f->SetFramePropertyPtr(nullptr);
    auto* grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
    EXPECT_NE(grid, nullptr);
    if (grid == nullptr) return nullptr;
    grid->SetColumnCount(columns);
    grid->SetRowCount(rows);
    grid->SetGridlineType(alternating ? GIS_GRIDLINE_MARKS : GIS_GRIDLINE_LINES);
    ReleasePtr<IGIS_Symbol> line(Line(RGB(200, 30, 30), 0.3));
    ReleasePtr<IGIS_Symbol> tick(Line(RGB(20, 20, 20), 0.3));
    grid->SetLineSymbol(line.get());
    grid->SetTickLineSymbol(tick.get());
    grid->SetTickLength(alternating ? 600.0 : 400.0);
    IGIS_MapGridBorder* border = grid->GetBorder();
    border->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
    border->SetAlternating(alternating);
    border->SetBorderWidth(alternating ? 401 : 300);
    border->SetInterval(alternating ? 700 : 1000);
    ReleasePtr<IGIS_Symbol> dark(Fill(alternating ? RGB(30, 60, 150) : RGB(0, 0, 0), RGB(0, 0, 0), 0.0));
    ReleasePtr<IGIS_Symbol> light(Fill(RGB(255, 255, 255), RGB(0, 0, 0), 0.1));
    border->SetBackgroundSymbolPtr(dark.get());
    border->SetForegroundSymbolPtr(light.get());
    f->GetMapGrids()->AddMapGrid(grid);
    grid->SetMapElement(f);
    grids_.push_back(grid);
    return grid;
  }

  // Prints the frames (with their grids, or without them and then the
  // elements) into the canvas, a picture of the page at 100 dpi.
  void PrintInto(md::canvas::Canvas* canvas, const std::vector<IGIS_Element*>& elements, bool bGrids) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = 300.0;
    setup.paperHeightMm = 200.0;
    HDC hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
    {
      CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
      display.PrepareDC();
      for (IGIS_IndexGrid* g : grids_) g->SetVisible(bGrids);
      for (CGIS_MapElement* f : frames_) EXPECT_TRUE(f->OnDraw(hdc, true, &display));
      for (IGIS_IndexGrid* g : grids_) g->SetVisible(true);
      for (IGIS_Element* e : elements) e->OnDraw(hdc, true, &display);
    }
    DeleteDC(hdc);
  }

  // The same into a raster, written to the PNG.
  md::canvas::Raster Print(const std::vector<IGIS_Element*>& elements, bool bGrids, const std::string& png) {
    auto canvas = md::canvas::CairoCanvas::createPageImage(300.0, 200.0, kDpi);
    EXPECT_NE(canvas, nullptr);
    PrintInto(canvas.get(), elements, bGrids);
    EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/" + png));
    return md::canvas::ReadRaster(*canvas);
  }

  // The frames and grids printed into a recording of the same picture.
  md::canvas::RecordingCanvas& RecordedTexts() {
    auto sizer = md::canvas::CairoCanvas::createPageImage(300.0, 200.0, kDpi);
    recording_ = std::make_unique<md::canvas::RecordingCanvas>(sizer->width(), sizer->height());
    PrintInto(recording_.get(), {}, true);
    return *recording_;
  }

  std::unique_ptr<md::canvas::RecordingCanvas> recording_;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* region_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  std::vector<CGIS_MapElement*> frames_;
  std::vector<IGIS_IndexGrid*> grids_;
};

TEST_F(IndexGridRender, CalibratedAndAlternatingBandsRoundTheSampleMaps) {
  ASSERT_NE(FrameWithGrid(region_, SGIS_Rect(1500, 18000, 14000, 2500), 6, 8, false), nullptr);
  ASSERT_NE(FrameWithGrid(sheet_, SGIS_Rect(16500, 17500, 28300, 3000), 5, 6, true), nullptr);
  const md::canvas::Raster drawn = Print({}, true, "indexgrids_print.png");
  EXPECT_TRUE(md::test::MatchesControl(drawn, kControls, "indexgrids_print"));

  // The grids as plain elements, drawn over the same frames without grids.
  std::vector<IGIS_Element*> converted;
  for (IGIS_IndexGrid* g : grids_) {
    IGIS_Element* e = g->ConvertToElement();
    ASSERT_NE(e, nullptr);
    converted.push_back(e);
  }
  const md::canvas::Raster again = Print(converted, false, "indexgrids_converted.png");
  // Everything but the marks and the tabs' texts matches exactly; a
  // converted mark is a point element, which fits its symbol into its own
  // rectangle, and a converted text is placed from its page position where
  // the drawing rounds its anchor to a pixel first, so both may land a pixel
  // apart: the pixels round each mark and each text are not compared.
  md::canvas::Raster marks{drawn.width, drawn.height, std::vector<std::uint32_t>(drawn.pixels.size(), 0)};
  for (const md::canvas::Record* r : RecordedTexts().recordsOf(md::canvas::Record::Type::Text)) {
    double w = 0;
    for (double a : r->text.advances) w += a;
    const double em = r->text.font.emHeight;
    for (int y = static_cast<int>(r->text.origin.y - em) - 2; y <= r->text.origin.y + 0.3 * em + 2; ++y)
      for (int x = static_cast<int>(r->text.origin.x) - 2; x <= r->text.origin.x + w + 2; ++x)
        marks.pixels[static_cast<std::size_t>(y) * marks.width + x] = 0xFFFFFF;
  }
  md::layout::grid::CGIS_GridCapRecord caps("test");
  for (IGIS_IndexGrid* g : grids_) {
    for (const IndexGridPiece& p : md::layout::grid::LayIndexGrid(g, g->GetMapElement()->GetRect(), caps)) {
      if (p.nCount != 1) continue;
      const int cx = p.points[0].x * kDpi / 2540, cy = (kPageH - p.points[0].y) * kDpi / 2540;
      for (int y = cy - 8; y <= cy + 8; ++y)
        for (int x = cx - 8; x <= cx + 8; ++x)
          marks.pixels[static_cast<std::size_t>(y) * marks.width + x] = 0xFFFFFF;
    }
  }
  EXPECT_EQ(md::test::MaskedDifference(drawn, marks, again, 8), 0);
  for (IGIS_Element* e : converted) DropCompound(dynamic_cast<IGIS_CompoundElement*>(e));
}

}  // namespace
