// The demo's map sheet with a grid of every kind on its frame, for the
// tests of the grids' and labels' sheets: the sheet printed onto a recording
// canvas, strokes of one colour read back, and the sheet written for looking.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/ui/driver.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace md::test {

// The demo's map sheet without the sheet's own grids (frame NULL when the
// sheet could not be built).
struct SheetWithoutGrids {
  SheetWithoutGrids() : doc(md::demo::SampleMapsFolder()) {
    page = md::demo::BuildMapSheetPage(doc, nullptr);
    frame = page != nullptr ? FrameOf(*page) : nullptr;
    if (frame != nullptr) frame->GetMapGrids()->ReleaseMapGrids();
  }

  md::test::FixedText fixed;
  md::demo::MapDocument doc;
  std::unique_ptr<md::demo::Page> page;
  IGIS_MapElement* frame = nullptr;
};

// The demo's map sheet with a graticule every 5′ and a kilometre grid in
// the map's own projection on its frame, in place of the sheet's own grids.
struct SheetWithGrids : SheetWithoutGrids {
  SheetWithGrids() {
    if (frame == nullptr) return;
    graticule = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE);
    graticule->SetName("经纬网");
    graticule->SetMapElement(frame);
    auto* spacing = dynamic_cast<IGIS_GraticuleGrid*>(graticule)->GetGridSpacing();
    spacing->SetUnits(2);  // minutes
    spacing->SetXIntervalSize(5.0);
    spacing->SetYIntervalSize(5.0);
    measure = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE);
    measure->SetName("方里网");
    measure->SetMapElement(frame);
    measure->SetGridlineType(GIS_GRIDLINE_NONE);
    dynamic_cast<IGIS_MeasureGrid*>(measure)->SetSpatialReference(doc.sheet()->GetSpatialReference());
    index = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX);
    index->SetName("索引格网");
    index->SetMapElement(frame);
    rowsAndColumns = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE_MN);
    rowsAndColumns->SetName("经纬网2");
    rowsAndColumns->SetMapElement(frame);
    frame->GetMapGrids()->AddMapGrid(graticule);
    frame->GetMapGrids()->AddMapGrid(measure);
    frame->GetMapGrids()->AddMapGrid(index);
    frame->GetMapGrids()->AddMapGrid(rowsAndColumns);
  }
  IGIS_MapGrid* Grid(int kind) const {
    switch (kind) {
      case GIS_MAPGRID_GRATICULE:
        return graticule;
      case GIS_MAPGRID_MEASURE:
        return measure;
      case GIS_MAPGRID_INDEX:
        return index;
      default:
        return rowsAndColumns;
    }
  }

  IGIS_MapGrid* graticule = nullptr;  // owned by the frame's grid list
  IGIS_MapGrid* measure = nullptr;
  IGIS_MapGrid* index = nullptr;
  IGIS_MapGrid* rowsAndColumns = nullptr;
};

inline  // A line symbol of a colour no other part of the sheet draws in.
    md::basilo::ReleasePtr<IGIS_Symbol>
    LineOfColour(COLORREF colour) {
  md::basilo::ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  line->SetColor(colour);
  line->SetLineWidth(0.1);
  return line;
}

// The sheet printed at 254 dpi (a pixel is 0.1 mm) onto a recording canvas.
struct RecordedSheet {
  static constexpr int kDpi = 254;
  explicit RecordedSheet(md::demo::Page& page)
      : canvas(md::demo::kSheetPaperWidth / 10, md::demo::kSheetPaperHeight / 10) {
    std::string error;
    EXPECT_TRUE(md::demo::PrintPage(page, &canvas, kDpi, &md::text::FixedMetricsEngine(), &error)) << error;
  }
  // The positions across their run of the strokes of the colour that run
  // more up than across (vertical) or the other way, each once, in order.
  std::vector<double> Lines(COLORREF colour, bool vertical) const {
    std::vector<double> at;
    for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
      if (!r->shape.stroke || r->pen.color != colour) continue;
      const std::vector<md::canvas::Point> points = r->Points();
      if (points.size() < 2) continue;
      const double dx = std::fabs(points.back().x - points.front().x);
      const double dy = std::fabs(points.back().y - points.front().y);
      if ((dy > dx) != vertical) continue;
      const double across =
          vertical ? (points.front().x + points.back().x) / 2 : (points.front().y + points.back().y) / 2;
      if (std::none_of(at.begin(), at.end(), [across](double a) { return std::fabs(a - across) < 0.5; }))
        at.push_back(across);
    }
    std::sort(at.begin(), at.end());
    return at;
  }
  md::canvas::RecordingCanvas canvas;
};

// The sheet printed at 150 dpi and written for looking; the picture (empty
// on failure, which is recorded).
inline md::canvas::Raster WriteSheet(md::demo::Page& page, const std::string& name) {
  std::string error;
  auto canvas = md::demo::PrintRaster(page, 150, &md::text::FixedMetricsEngine(), &error);
  EXPECT_NE(canvas, nullptr) << error;
  if (canvas == nullptr) return {};
  EXPECT_TRUE(canvas->writePng((md::test::ScratchFolder("gridpages-" + name) / "sheet.png").string()));
  return md::canvas::ReadRaster(*canvas);
}

// The scene that presses the button and confirms the window.
inline md::ui::ScriptedDriver::Scene ClickThenOk(int button) {
  return [button](md::ui::UiUser& u) {
    u.Click(button);
    u.Ok();
  };
}

// What `open` answers with the scripted user playing `scenes`, one a window
// in the order they open; every scene is played and no message box shown.
template <class Open>
bool Played(const std::vector<md::ui::ScriptedDriver::Scene>& scenes, Open open) {
  md::ui::ClearMessageBoxLog();
  md::ui::ScriptedDriver driver;
  for (const md::ui::ScriptedDriver::Scene& s : scenes) driver.Then(s);
  const bool answer = open();
  EXPECT_EQ(driver.ScenesLeft(), 0u);
  EXPECT_TRUE(md::ui::MessageBoxLog().empty());
  return answer;
}

}  // namespace md::test
