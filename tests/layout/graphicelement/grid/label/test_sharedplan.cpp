// A grid and its label read one plan: drawn (or converted and drawn) through
// the grids' own code, every line a grid lays that meets the bottom or the
// top edge of the frame gets a label there and every label there stands on
// such a line, for each kind with coordinate labels, on a map in its frame
// and on one turned in it. The plan leaves out the passes whose lines lie
// too close to be drawn, or are more than one pass or the drawing's budget
// lays, before any of their lines is carried.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"

namespace md::test {
namespace {

constexpr COLORREF kLineColor = RGB(200, 0, 0);

// Where the lines of the colour that run up the page (meridians, columns;
// the map is turned by less than half a right angle) cross the side's
// edge, along it: the first point of a line on the bottom edge, the last on
// the top one (they run from the south up).
std::vector<double> LineEnds(const md::canvas::RecordingCanvas& canvas, Side side) {
  std::vector<double> out;
  const double edge = side == kBottom ? kLabelFrame.bottom : kLabelFrame.top;
  auto on = [edge](const md::canvas::Point& p) { return std::fabs(p.y - edge) <= 1.0; };
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    const std::vector<md::canvas::Point> points = r->Points();
    if (!r->shape.stroke || r->pen.color != kLineColor || points.size() < 2) continue;
    const md::canvas::Point& end = side == kBottom ? points.front() : points.back();
    const md::canvas::Point& other = side == kBottom ? points.back() : points.front();
    const bool bUp = std::fabs(other.y - end.y) > std::fabs(other.x - end.x);
    if (bUp && on(end)) out.push_back(end.x);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The middles of the texts beyond the side, along it.
std::vector<double> LabelMiddles(const md::canvas::RecordingCanvas& canvas, Side side) {
  std::vector<double> out;
  for (const Placed& p : OnSide(PlacedOf(canvas), side)) out.push_back((p.left + p.right) / 2.0);
  return out;
}

enum class Kind { kMeasured, kGraticule, kFixedCount };

struct Row {
  const char* name;
  Kind kind;
  double turn;    // of the map in its frame, degrees
  bool bConvert;  // converted, then the conversion drawn
};

class SharedGridPlan : public LabelPage {
 protected:
  // A grid of the kind on the label page's frame with its default label:
  // red lines, no border, ticks or sub-ticks, the labels' sides on without
  // offsets along them.
  IGIS_MapGrid* NewGrid(Kind kind) {
    IGIS_MapGrid* grid = nullptr;
    if (kind == Kind::kMeasured) {
      grid = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE);
      static_cast<IGIS_MeasureGrid*>(grid)->SetSpatialReference(map_->GetSpatialReference());
    } else if (kind == Kind::kGraticule) {
      grid = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE);
      IGIS_GridSpacing* spacing = static_cast<IGIS_GraticuleGrid*>(grid)->GetGridSpacing();
      spacing->SetUnits(2);  // minutes
      spacing->SetXIntervalSize(1);
      spacing->SetYIntervalSize(1);
    } else {
      grid = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE_MN);
      static_cast<IGIS_GraticuleMNGrid*>(grid)->SetLatitudeCount(4);
      static_cast<IGIS_GraticuleMNGrid*>(grid)->SetLongitudeCount(4);
    }
    grid->SetMapElement(frame_);
    grid->SetBorder(nullptr);
    grid->SetGridlineType(GIS_GRIDLINE_LINES);
    ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
    line->SetColor(kLineColor);
    grid->SetLineSymbol(line.get());
    grid->SetTickVisible(false, false, false, false);
    grid->SetSubTickVisible(false, false, false, false);
    grid->SetLabelVisible(true, true, true, true);
    grid->GetLabelFormat()->SetLabelOffsetX(0, 0, 0, 0);
    if (auto* dms = dynamic_cast<IGIS_DMSGridLabel*>(grid->GetLabelFormat())) dms->SetShowSeconds(false);
    return grid;
  }
};

TEST_F(SharedGridPlan, EveryLineMeetingASideIsLabelledThereAndEveryLabelStandsOnALine) {
  const Row rows[] = {
      {"kilometre grid, formatted label", Kind::kMeasured, 0.0, false},
      {"kilometre grid on a turned map", Kind::kMeasured, 30.0, false},
      {"kilometre grid on a turned map, converted", Kind::kMeasured, 30.0, true},
      {"graticule every minute, DMS label", Kind::kGraticule, 0.0, false},
      {"graticule on a turned map", Kind::kGraticule, 30.0, false},
      {"graticule converted", Kind::kGraticule, 0.0, true},
      {"fixed rows and columns, DMS label", Kind::kFixedCount, 0.0, false},
      {"fixed rows and columns on a turned map", Kind::kFixedCount, 30.0, false},
      {"fixed rows and columns converted", Kind::kFixedCount, 0.0, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    map_->SetRotateAngle(r.turn);
    ReleasePtr<IGIS_MapGrid> grid(NewGrid(r.kind));
    LabelPrinter printer;
    DrawFrame(&printer);
    if (r.bConvert) {
      IGIS_Element* converted = grid->ConvertToElement();
      auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
      ASSERT_NE(compound, nullptr);
      compound->OnDraw(printer.hdc, true, printer.display.get());
      DropCompound(compound);
    } else {
      ASSERT_TRUE(grid->OnDraw(printer.hdc, true, printer.display.get()));
    }
    for (Side side : {kBottom, kTop}) {
      const std::vector<double> lines = LineEnds(printer.canvas, side);
      const std::vector<double> labels = LabelMiddles(printer.canvas, side);
      ASSERT_FALSE(lines.empty()) << "side " << side;
      ASSERT_EQ(labels.size(), lines.size()) << "side " << side;
      for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_NEAR(labels[i], lines[i], 2.0) << "side " << side;
    }
  }
  map_->SetRotateAngle(0.0);
}

// A drawing or a conversion builds one plan, which the grid and its label share.
TEST_F(SharedGridPlan, EachDrawingAndConversionBuildsOnePlanForTheGridAndItsLabel) {
  std::vector<long long> plans;  // each kind drawn, then converted and drawn; -1: no label text
  for (const Kind kind : {Kind::kMeasured, Kind::kGraticule, Kind::kFixedCount}) {
    for (const bool convert : {false, true}) {
      ReleasePtr<IGIS_MapGrid> grid(NewGrid(kind));
      LabelPrinter printer;
      DrawFrame(&printer);
      const long long built = md::layout::grid::GridPlansBuilt();
      auto* compound = convert ? dynamic_cast<IGIS_CompoundElement*>(grid->ConvertToElement()) : nullptr;
      if (compound != nullptr) compound->OnDraw(printer.hdc, true, printer.display.get());
      if (!convert) grid->OnDraw(printer.hdc, true, printer.display.get());
      plans.push_back(PlacedOf(printer.canvas).empty() ? -1 : md::layout::grid::GridPlansBuilt() - built);
      if (compound != nullptr) DropCompound(compound);
    }
  }
  EXPECT_EQ(plans, std::vector<long long>(6, 1));
}

TEST_F(SharedGridPlan, PassesTooCloseToDrawCarryNoLineAndSaySoOnce) {
  const struct {
    const char* name;
    Kind kind;
    bool bConvert;
    const char* method;
  } rows[] = {
      {"kilometre grid in degrees every millionth", Kind::kMeasured, false, "CGIS_MeasureGrid::OnDraw"},
      {"the same converted", Kind::kMeasured, true, "CGIS_MeasureGrid::ConvertToElement"},
      {"graticule every millionth of a degree", Kind::kGraticule, false, "CGIS_GraticuleGrid::OnDraw"},
      {"the same converted", Kind::kGraticule, true, "CGIS_GraticuleGrid::ConvertToElement"},
  };
  ReleasePtr<IGIS_SpatialReference> degrees(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    ReleasePtr<IGIS_MapGrid> grid(NewGrid(r.kind));
    grid->SetTickVisible(true, true, true, true);
    grid->SetSubTickVisible(true, true, true, true);
    IGIS_GridSpacing* spacing = nullptr;
    if (auto* measured = dynamic_cast<IGIS_MeasureGrid*>(grid.get())) {
      measured->SetSpatialReference(degrees.get());
      spacing = measured->GetGridSpacing();
      spacing->SetUnits(0);
    } else {
      spacing = static_cast<IGIS_GraticuleGrid*>(grid.get())->GetGridSpacing();
      spacing->SetUnits(1);  // degrees
    }
    spacing->SetXIntervalSize(1e-6);
    spacing->SetYIntervalSize(1e-6);
    LabelPrinter printer;
    DrawFrame(&printer);
    LogMark mark;
    const long long traced = md::layout::grid::GridLinesTraced();
    if (r.bConvert) {
      IGIS_Element* converted = grid->ConvertToElement();
      ASSERT_NE(converted, nullptr);
      DropCompound(dynamic_cast<IGIS_CompoundElement*>(converted));
    } else {
      EXPECT_TRUE(grid->OnDraw(printer.hdc, true, printer.display.get()));
    }
    // No line, tick or label line was carried, and nothing of them drawn.
    EXPECT_EQ(md::layout::grid::GridLinesTraced() - traced, 0);
    EXPECT_TRUE(LineEnds(printer.canvas, kBottom).empty());
    int capped = 0;
    for (const SGIS_LogRecord& rec : mark.Records())
      capped += rec.method == r.method && rec.text.find("capped at 0") != std::string::npos;
    EXPECT_EQ(capped, 1);
  }
}

TEST_F(SharedGridPlan, PassesBeyondTheDevicesPixelsOrTheBudgetsCarryNoLineAndSaySo) {
  using md::layout::grid::GridLinesTraced;
  constexpr long long kFrameLines = md::layout::grid::kGridFrameBudget / md::layout::grid::kGridLineCost;
  // Kilometre grids without labels over the page's 10 x 8 km at 1:50,000
  // (0.5 m a page unit), their record under the grid's drawing.
  const struct {
    const char* name;
    int dpi;
    bool bScreen;   // else a printer
    double dX, dY;  // the intervals, metres
    int nTicks;     // ticks on every side at the intervals divided by it; 0: none
    int nGrids;     // drawn as one frame's list when above 1
    long long minTraced, maxTraced;
    const char* record;  // written once by each drawing that leaves a pass out
    int minRecords, maxRecords;
  } rows[] = {
      {"a metre apart: 0.24 printer pixels", 300, false, 1, 1, 0, 1, 0, 0, "closer together than 2 units", 1,
       1},
      {"10 m apart on a screen: 0.76 pixels", 96, true, 10, 10, 0, 1, 0, 0, "closer together than 2 units", 1,
       1},
      {"10 m apart: 2.4 printer pixels, 1005 columns", 300, false, 10, 25, 0, 1, 300,
       md::layout::grid::kGridPassBudget, "1005 of them, more than the 500 one pass lays", 1, 1},
      {"730 lines and 14,420 ticks 5 pixels apart", 2540, false, 25, 25, 10, 1, 700,
       md::layout::grid::kGridBudget / md::layout::grid::kGridPointCost,
       "more than is left of the grids' budget", 1, 1},
      {"64 grids of 730 lines on one frame", 300, false, 25, 25, 0, CGIS_MapGrids::kMaxGrids, kFrameLines / 2,
       kFrameLines, "more than is left of the grids' budget", 1, CGIS_MapGrids::kMaxGrids},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    RecordingPrinter printer(300.0, 200.0, r.dpi, SGIS_Point(0, 20000));
    RecordingScreen screen(1200, 800, r.dpi, 1.0, 0.0, 20000.0);
    HDC hdc = r.bScreen ? screen.hdc : printer.hdc;
    IGIS_Display* display =
        r.bScreen ? static_cast<IGIS_Display*>(screen.display.get()) : printer.display.get();
    frame_->OnDraw(hdc, !r.bScreen, display);
    std::unique_ptr<CGIS_MapGrids, void (*)(CGIS_MapGrids*)> list(new CGIS_MapGrids(),
                                                                  [](CGIS_MapGrids* p) { p->Release(); });
    for (int i = 0; i < r.nGrids; ++i) {
      IGIS_MapGrid* grid = NewGrid(Kind::kMeasured);
      grid->SetLabelVisible(false, false, false, false);
      grid->SetTickVisible(r.nTicks > 0, r.nTicks > 0, r.nTicks > 0, r.nTicks > 0);
      grid->SetTickDivision(std::max(r.nTicks, 1));
      grid->SetName(std::to_string(i).c_str());  // a list holds one grid of a name
      IGIS_GridSpacing* spacing = static_cast<IGIS_MeasureGrid*>(grid)->GetGridSpacing();
      spacing->SetXIntervalSize(r.dX);
      spacing->SetYIntervalSize(r.dY);
      ASSERT_TRUE(list->AddMapGrid(grid));
    }
    LogMark mark;
    const long long traced = GridLinesTraced();
    if (r.nGrids > 1) {
      EXPECT_TRUE(list->OnDraw(hdc, !r.bScreen, display, frame_));
    } else {
      EXPECT_TRUE(list->GetMapGrid(0)->OnDraw(hdc, !r.bScreen, display));
    }
    EXPECT_GE(GridLinesTraced() - traced, r.minTraced);
    EXPECT_LE(GridLinesTraced() - traced, r.maxTraced);
    int records = 0;
    for (const SGIS_LogRecord& rec : mark.Records())
      records += rec.method == "CGIS_MeasureGrid::OnDraw" && rec.text.find(r.record) != std::string::npos;
    EXPECT_GE(records, r.minRecords);
    EXPECT_LE(records, r.maxRecords);
  }
}

}  // namespace
}  // namespace md::test
