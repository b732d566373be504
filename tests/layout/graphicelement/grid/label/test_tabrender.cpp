// The four index tab styles, one index grid each over the sample maps, on a
// printed page rendered with cairo: compared with their control picture,
// and drawn again with real fonts at 400 dpi for a look at full size.
#include <cstring>
#include <string>
#include <vector>

#include "host/helmora/gis_mapfile.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"
#include "platform/canvas/cairo_canvas.h"
#include "tests/layout/graphicelement/grid/label/tabtest.h"
#include "tests/support/rendercheck.h"

namespace md::test {
namespace {

constexpr const char* kControls = "tests/layout/graphicelement/grid/label/controls";
constexpr double kPaperW = 300.0, kPaperH = 200.0;  // mm; the paper's top-left is the page point (0, 20000)

ReleasePtr<IGIS_Symbol> Symbol(int type, COLORREF colour, double widthMm) {
  ReleasePtr<IGIS_Symbol> s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  s->SetColor(colour);
  s->SetLineWidth(widthMm);
  return s;
}

class TabRender : public MapFramePage {
 protected:
  void SetUp() override {
    MapFramePage::SetUp();
    const std::string maps = std::string(MD_SOURCE_DIR) + "/host/helmora/maps/";
    region_ = GIS_LoadMapFile(doc_, (maps + "region_1m.geojson").c_str());
    sheet_ = GIS_LoadMapFile(doc_, (maps + "sheet_50k.geojson").c_str());
    ASSERT_NE(region_, nullptr);
    ASSERT_NE(sheet_, nullptr);
  }
  // A frame over the rectangle showing the map, with an index grid of the
  // counts (the frame's) whose label is a style of the type in the colours
  // given.
  IGIS_IndexGridTabStyle* GridWithStyle(IGIS_Map* map, SGIS_Rect rect, int columns, int rows, int type,
                                        COLORREF fill, COLORREF outline) {
    CGIS_MapElement* frame = NewFrame(rect);
    frame->SetMapName(map->GetName());
    frame->SetFramePropertyPtr(nullptr);
    auto* grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
    EXPECT_NE(grid, nullptr);
    if (grid == nullptr) return nullptr;
    grid->SetColumnCount(columns);
    grid->SetRowCount(rows);
    grid->SetLineSymbol(Symbol(GIS_SYMBOL_LINE, RGB(150, 150, 150), 0.15).get());
    grid->SetTickVisible(false, false, false, false);
    TabStylePtr style = NewTabStyle(type);
    style->SetForegroundSymbolPtr(Symbol(GIS_SYMBOL_FILL, fill, 0.0).get());
    style->SetOutLineSymbolPtr(Symbol(GIS_SYMBOL_LINE, outline, 0.25).get());
    LOGFONT* font = style->GetTextSymbolPtr()->GetFontSizePtr();
    font->lfHeight = -6;
    font->lfWeight = 700;
    std::strncpy(font->lfFaceName, "黑体", sizeof(font->lfFaceName) - 1);
    grid->SetLabelFormat(style.get());
    grid->SetMapElement(frame);
    frame->GetMapGrids()->AddMapGrid(grid);
    return dynamic_cast<IGIS_IndexGridTabStyle*>(grid->GetLabelFormat());
  }

  // The frames (with their grids) printed into the canvas at the resolution.
  void Print(md::canvas::Canvas* canvas, int dpi, md::text::TextEngine* engine) {
    PrintOn(canvas, kPaperW, kPaperH, dpi, engine, [this](HDC hdc, IGIS_Display* display) {
      for (CGIS_MapElement* f : frames_) EXPECT_TRUE(f->OnDraw(hdc, true, display));
    });
  }

  IGIS_Map* region_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
};

TEST_F(TabRender, EachStyleRoundASampleMap) {
  // Top left: the continuous band inside the frame; top right: buttons
  // outside; bottom left: rounded tabs; bottom right: background boxes
  // outside, 3 mm deep.
  const struct {
    IGIS_Map* map;
    SGIS_Rect rect;
    int columns;
    int type;
    COLORREF fill, outline;
    bool outside;
    int thickness;
  } rows[] = {
      {region_, SGIS_Rect(1500, 19000, 13500, 11000), 6, GIS_GRIDLABEL_INDEX_CONTINUOUS, RGB(255, 236, 160),
       RGB(30, 50, 120), false, 200},
      {sheet_, SGIS_Rect(16500, 18500, 28500, 11500), 5, GIS_GRIDLABEL_INDEX_BOTTON, RGB(200, 220, 245),
       RGB(30, 50, 120), true, 200},
      {region_, SGIS_Rect(2000, 8500, 13500, 1500), 6, GIS_GRIDLABEL_INDEX_ROUNDED, RGB(200, 235, 200),
       RGB(20, 110, 50), false, 200},
      {sheet_, SGIS_Rect(16500, 8500, 28500, 1500), 5, GIS_GRIDLABEL_INDEX_BACKGROUND, RGB(250, 200, 150),
       RGB(160, 60, 20), true, 300},
  };
  for (const auto& r : rows) {
    IGIS_IndexGridTabStyle* style = GridWithStyle(r.map, r.rect, r.columns, 4, r.type, r.fill, r.outline);
    ASSERT_NE(style, nullptr);
    style->SetInside(r.outside);
    style->SetThickness(r.thickness);
  }

  auto canvas = md::canvas::CairoCanvas::createPageImage(kPaperW, kPaperH, 150);
  ASSERT_NE(canvas, nullptr);
  Print(canvas.get(), 150, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/tabstyles_print.png"));
  EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), kControls, "tabstyles_print"));

  // With real fonts at full size: the mitres, the empty corner squares, the
  // cut corners and the texts in the middle of their tabs.
  GIS_SetSymbolTextEngine("freetype");
  auto look = md::canvas::CairoCanvas::createPageImage(kPaperW, kPaperH, 400);
  ASSERT_NE(look, nullptr);
  Print(look.get(), 400, &md::text::FreeTypeEngine());
  EXPECT_TRUE(look->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/tabstyles_400dpi.png"));
  GIS_SetSymbolTextEngine("fixed");
}

}  // namespace
}  // namespace md::test
