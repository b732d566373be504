// The map grids: drawing, converting, storing and reading.
//
// The measured (kilometre) grid over the whole 1:50,000 sample sheet (a
// frame of about 427 x 370 mm: 23 x 19 kilometre lines), drawn at 300 dpi
// into a cairo raster:
//   Draw/200, Draw/20   the grid's own lines, ticks and sub-ticks through a
//                       printer display (lines sampled with 200 segments)
//                       and through a screen display at 300 dpi (20
//                       segments): tracing, carrying every sample through
//                       the spatial-reference library and the map view,
//                       cutting at the frame, the renderer, the device
//                       context and cairo;
//   RawCairo/200, RawCairo/20
//                       the same polylines (taken from one recording-canvas
//                       run of that drawing) stroked straight into cairo on
//                       the same surface, pens ready, every sample point
//                       kept;
//   RawCairoReduced/200, RawCairoReduced/20
//                       the same, each polyline cut down beforehand to the
//                       points where it turns (the sheet's lines are
//                       straight: two points each), as a hand-written cairo
//                       drawing would stroke them; the ratios of Draw to
//                       both baselines are printed at the end;
//   Interval/I          the printer drawing with an interval of I metres
//                       (1000, 500, 250, 100, 50, 10): how the cost grows
//                       with the number of lines ("lines" counts the lines
//                       and ticks stroked). At 50 m a direction has nearly
//                       as many lines as one pass lays (500). At 10 m they
//                       lie 2.4 device pixels apart, but each direction has
//                       more of them (about 2,300 and 1,900) than one pass
//                       lays: both are left out, with one record, and only
//                       the ticks are drawn;
//   DenseInterval/1     the same at 1 m: 0.24 device pixels apart, too close
//                       to be drawn, so lines and ticks are left out before
//                       any is carried (run only when asked for, as the
//                       other dense benchmarks);
//   Convert             the grid turned into plain elements (the compound is
//                       dropped outside the timing); "elements" counts them.
//
// The graticule of fixed rows and columns over the same frame (its interval
// found anew at each drawing from the counts; lines, ticks and sub-ticks):
//   FixedCount/C/S      C columns and rows (1, 4, 20) through a printer
//                       (S = 200 segments a line) or a 300-dpi screen (20);
//   FixedCountRawCairo/C/S
//                       the same polylines stroked straight into cairo;
//   FixedCountConvert/C the grid turned into plain elements.
//
// Capped passes: grids whose interval puts far more lines across the sheet
// than can be drawn (a millionth of a degree is about a four-hundredth of a
// device pixel at 300 dpi, a fifth of a page unit), so that every pass is
// left out, with one record, before any of its lines is carried:
//   CappedPass/0        the measured grid in a geographic reference every
//                       millionth of a degree, drawn through the printer;
//   CappedPass/1        the same grid converted;
//   CappedPass/2        the graticule every millionth of a degree, drawn
//                       through the printer;
//   CappedPass/3        the same graticule converted;
//   CappedPass/4        a grid list of 64 such grids (the most a frame
//                       keeps; measured grids and graticules by turns, their
//                       labels and ticks on), drawn through the printer;
//   CappedPass/5        a grid list of 64 grids whose every pass can be drawn
//                       (measured grids every 50 m, 465 columns and 385 rows
//                       4.7 pixels apart, and graticules every 2″, about 450
//                       meridians and 300 parallels, by turns; labels and
//                       ticks on), drawn through the printer: the budget the
//                       grids of one frame share leaves out the passes past
//                       it ("lines" counts the lines, ticks and labels'
//                       crossings traced).
//
// Storing and reading map grids, beside the per-element figures of
// bench_demo's StoreAndRead:
//
//   Grid/Store, Grid/Read
//                     one measured grid with its border, a formatted label and
//                     a spacing: its Save into a data buffer, and a new grid's
//                     Open of those bytes (border, label and spacing rebuilt);
//   Kind/StoreRead/T  a grid of kind T (0 graticule, 1 measured, 2 index,
//                     3 fixed rows-and-columns graticule) as the factory
//                     makes it, with its default label, border and spacing:
//                     Save and a grid rebuilt from the bytes, as
//                     bench_demo's StoreAndRead times each grid of a frame;
//   Grids/Store, Grids/Read
//                     a grid list of four such grids: the list's Save (the
//                     map frame's "MapGrids" entry), and a new list's Open of
//                     those bytes. The list rebuilds its grids through the
//                     grid factory; a kind the factory cannot make is kept
//                     as its stored bytes instead (the "rebuilt" counter says
//                     how many grids were rebuilt).
//
// The counter "bytes" is the size of what was stored.
//
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "bench/grid/gridstoreread.h"
#include "bench/ratio_reporter.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

constexpr int kDpi = 300;
constexpr int kPaperW = 45000, kPaperH = 40000;  // 450 x 400 mm
constexpr double kScale = 0.5;                   // 1:50,000 in map metres per 0.01 mm

// The sheet in a frame at 1:50,000 with a grid of the kind (a measured grid
// in its own reference, or a graticule), labels and border off (only the
// grid's figure is drawn).
class SheetScene {
 public:
  explicit SheetScene(int nKind) {
    GIS_SetSymbolTextEngine("fixed");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    doc_ = GIS_CreateDocumentObject();
    IGIS_Map* sheet = GIS_LoadMapFile(doc_, MAPDECK_SAMPLE_MAPS_DIR "/sheet_50k.geojson");
    set_->SetMapLayer(doc_->GetLayoutLayer());
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(1000, 39000, 40000, 1000));
    frame_->SetMapName(sheet->GetName());
    SGIS_DRect bound;
    frame_->GetMapBound(&bound);
    bound.Normalize();
    const int w = static_cast<int>(std::lround(bound.Width() / kScale));
    const int h = static_cast<int>(std::lround(bound.Height() / kScale));
    frame_->SetRect(SGIS_Rect(1500, 1500 + h, 1500 + w, 1500));
    frame_->SetMapBound(bound);
    grid_ = GIS_CreateMapGridPropertyObject(nKind);
    grid_->SetMapElement(frame_);
    grid_->SetBorder(nullptr);
    grid_->SetLabelVisible(false, false, false, false);
    SetSymbol(&IGIS_MapGrid::SetLineSymbol, RGB(200, 0, 0), 0.15);
    SetSymbol(&IGIS_MapGrid::SetTickLineSymbol, RGB(0, 0, 0), 0.2);
    SetSymbol(&IGIS_MapGrid::SetSubTickLineSymbol, RGB(0, 0, 0), 0.15);
  }
  ~SheetScene() {
    grid_->Release();
    frame_->Release();
    set_->Release();
    doc_->Release();
    page_->Release();
  }
  SheetScene(const SheetScene&) = delete;
  SheetScene& operator=(const SheetScene&) = delete;

  IGIS_MapGrid* grid() { return grid_; }
  CGIS_MapElement* frame() { return frame_; }
  IGIS_FeatureSet* page() { return set_; }
  // The measured grid's interval.
  void SetInterval(double metres) {
    IGIS_GridSpacing* spacing = static_cast<IGIS_MeasureGrid*>(grid_)->GetGridSpacing();
    spacing->SetXIntervalSize(metres);
    spacing->SetYIntervalSize(metres);
  }
  // The graticule's columns and rows.
  void SetCounts(int n) {
    auto* graticule = static_cast<IGIS_GraticuleMNGrid*>(grid_);
    graticule->SetLatitudeCount(n);
    graticule->SetLongitudeCount(n);
  }

 private:
  void SetSymbol(void (IGIS_MapGrid::*set)(IGIS_Symbol*), COLORREF color, double widthMm) {
    md::basilo::ReleasePtr<IGIS_Symbol> s(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
    s->SetColor(color);
    s->SetLineWidth(widthMm);
    (grid_->*set)(s.get());
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
  IGIS_MapGrid* grid_ = nullptr;
};

SheetScene& Scene() {
  static SheetScene scene(GIS_MAPGRID_MEASURE);
  return scene;
}

SheetScene& FixedCountScene() {
  static SheetScene scene(GIS_MAPGRID_GRATICULE_MN);
  return scene;
}

// Sets the grid to every millionth of a degree: the measured grid in a
// geographic reference (its spacing in the reference's base unit), or the
// graticule.
bool EveryMillionthDegree(IGIS_MapGrid* grid) {
  IGIS_GridSpacing* spacing = nullptr;
  if (auto* measured = dynamic_cast<IGIS_MeasureGrid*>(grid)) {
    md::basilo::ReleasePtr<IGIS_SpatialReference> degrees(
        GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
    measured->SetSpatialReference(degrees.get());
    spacing = measured->GetGridSpacing();
    spacing->SetUnits(0);
  } else if (auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(grid)) {
    spacing = graticule->GetGridSpacing();
    spacing->SetUnits(1);  // degrees
  }
  if (spacing == nullptr) return false;
  spacing->SetXIntervalSize(1e-6);
  spacing->SetYIntervalSize(1e-6);
  return true;
}

SheetScene& CappedMeasureScene() {
  static SheetScene scene(GIS_MAPGRID_MEASURE);
  static const bool set = EveryMillionthDegree(scene.grid());
  (void)set;
  return scene;
}

SheetScene& CappedGraticuleScene() {
  static SheetScene scene(GIS_MAPGRID_GRATICULE);
  static const bool set = EveryMillionthDegree(scene.grid());
  (void)set;
  return scene;
}

// A 300-dpi device over a canvas: a printer (which clips, so lines take 200
// segments) or a screen at the same resolution (20 segments). The frame is
// drawn once, so that its map view is set for the grid.
class Device {
 public:
  Device(md::canvas::Canvas* canvas, bool bPrinter, SheetScene& scene = Scene()) : scene_(scene) {
    if (bPrinter) {
      md::win::PrinterSetup setup;
      setup.dpiX = setup.dpiY = kDpi;
      setup.paperWidthMm = kPaperW / 100.0;
      setup.paperHeightMm = kPaperH / 100.0;
      hdc_ = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
      printer_ = std::make_unique<CGIS_PrintDisplay>(hdc_, kPaperW, kPaperH, SGIS_Point(0, kPaperH));
      printer_->PrepareDC();
      display_ = printer_.get();
    } else {
      hdc_ = md::win::CreateScreenDC(canvas, kDpi, &md::text::FixedMetricsEngine());
      screen_ = std::make_unique<CGIS_ScreenDisplay>(hdc_, 1.0, 0.0, static_cast<double>(kPaperH));
      display_ = screen_.get();
    }
    scene_.frame()->OnDraw(hdc_, true, display_);
  }
  ~Device() {
    printer_.reset();
    screen_.reset();
    DeleteDC(hdc_);
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  bool DrawGrid() { return scene_.grid()->OnDraw(hdc_, true, display_); }
  bool DrawGrids(IGIS_MapGrids* grids) { return grids->OnDraw(hdc_, true, display_, scene_.frame()); }

 private:
  SheetScene& scene_;
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> printer_;
  std::unique_ptr<CGIS_ScreenDisplay> screen_;
  IGIS_Display* display_ = nullptr;
};

std::unique_ptr<md::canvas::CairoCanvas> NewCanvas() {
  return md::canvas::CairoCanvas::createPageImage(kPaperW / 100.0, kPaperH / 100.0, kDpi);
}

void DrawScene(benchmark::State& state, bool bPrinter, SheetScene& scene) {
  auto canvas = NewCanvas();
  Device device(canvas.get(), bPrinter, scene);
  for (auto _ : state) {
    if (!device.DrawGrid()) state.SkipWithError("grid not drawn");
  }
}

void Draw(benchmark::State& state) { DrawScene(state, state.range(0) == 200, Scene()); }

// The polylines one drawing of the grid strokes, as the canvas received them.
struct Stroke {
  std::vector<md::canvas::Point> points;
  md::canvas::Pen pen;
};
std::vector<Stroke> RecordedStrokes(bool bPrinter, SheetScene& scene = Scene()) {
  md::canvas::RecordingCanvas recording(static_cast<int>(kPaperW * kDpi / 2540),
                                        static_cast<int>(kPaperH * kDpi / 2540));
  Device device(&recording, bPrinter, scene);
  recording.clear();
  device.DrawGrid();
  std::vector<Stroke> out;
  for (const md::canvas::Record* r : recording.recordsOf(md::canvas::Record::Type::Shape)) {
    if (r->shape.stroke) out.push_back({r->Points(), r->pen});
  }
  return out;
}

// The polyline without the points where it runs straight on.
std::vector<md::canvas::Point> Turns(const std::vector<md::canvas::Point>& p) {
  std::vector<md::canvas::Point> out;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i > 0 && i + 1 < p.size()) {
      const md::canvas::Point& a = out.back();
      const md::canvas::Point& c = p[i + 1];
      if ((p[i].x - a.x) * (c.y - a.y) == (p[i].y - a.y) * (c.x - a.x)) continue;
    }
    out.push_back(p[i]);
  }
  return out;
}

void StrokeAll(benchmark::State& state, const std::vector<Stroke>& strokes) {
  // The raster the canvas of Draw paints into: RGB pixels of the same size.
  auto canvas = NewCanvas();
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, canvas->width(), canvas->height());
  cairo_t* cr = cairo_create(surface);
  for (auto _ : state) {
    for (const Stroke& s : strokes) {
      cairo_new_path(cr);
      cairo_move_to(cr, s.points[0].x + 0.5, s.points[0].y + 0.5);
      for (std::size_t i = 1; i < s.points.size(); ++i)
        cairo_line_to(cr, s.points[i].x + 0.5, s.points[i].y + 0.5);
      cairo_set_line_width(cr, s.pen.width);
      cairo_set_line_cap(cr, s.pen.width <= 1.5 ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_set_source_rgb(cr, md::canvas::red(s.pen.color) / 255.0, md::canvas::green(s.pen.color) / 255.0,
                           md::canvas::blue(s.pen.color) / 255.0);
      cairo_stroke(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters["lines"] = static_cast<double>(strokes.size());
}

void RawCairo(benchmark::State& state) { StrokeAll(state, RecordedStrokes(state.range(0) == 200)); }

void RawCairoReduced(benchmark::State& state) {
  std::vector<Stroke> strokes = RecordedStrokes(state.range(0) == 200);
  for (Stroke& s : strokes) s.points = Turns(s.points);
  StrokeAll(state, strokes);
}

void Interval(benchmark::State& state) {
  Scene().SetInterval(static_cast<double>(state.range(0)));
  {
    auto canvas = NewCanvas();
    Device device(canvas.get(), true);
    for (auto _ : state) benchmark::DoNotOptimize(device.DrawGrid());
  }
  // The lines and ticks of one such drawing.
  state.counters["lines"] = static_cast<double>(RecordedStrokes(true).size());
  Scene().SetInterval(1000.0);
}

void ConvertScene(benchmark::State& state, SheetScene& scene) {
  int elements = 0;
  for (auto _ : state) {
    IGIS_Element* made = scene.grid()->ConvertToElement();
    state.PauseTiming();
    elements = 0;
    for (IGIS_Element* part : {made}) {
      auto* compound = dynamic_cast<IGIS_CompoundElement*>(part);
      for (int i = 0; compound != nullptr && i < compound->GetElementCount(); ++i) {
        auto* inner = dynamic_cast<IGIS_CompoundElement*>(compound->GetElementPtrByIndex(i));
        elements += inner != nullptr ? inner->GetElementCount() : 1;
      }
      if (compound != nullptr) DropCompound(compound);
    }
    state.ResumeTiming();
  }
  state.counters["elements"] = elements;
}

void Convert(benchmark::State& state) { ConvertScene(state, Scene()); }

// ---- The graticule of fixed rows and columns --------------------------------

void FixedCount(benchmark::State& state) {
  FixedCountScene().SetCounts(static_cast<int>(state.range(0)));
  DrawScene(state, state.range(1) == 200, FixedCountScene());
}

void FixedCountRawCairo(benchmark::State& state) {
  FixedCountScene().SetCounts(static_cast<int>(state.range(0)));
  StrokeAll(state, RecordedStrokes(state.range(1) == 200, FixedCountScene()));
}

void FixedCountConvert(benchmark::State& state) {
  FixedCountScene().SetCounts(static_cast<int>(state.range(0)));
  ConvertScene(state, FixedCountScene());
}

// ---- Capped passes ----------------------------------------------------------

// Sets the grid to lines a few pixels apart that one pass can still lay:
// the measured grid every 50 m in the sheet's own reference, the graticule
// every 2″.
bool DenseButDrawable(IGIS_MapGrid* grid, SheetScene& scene) {
  if (auto* measured = dynamic_cast<IGIS_MeasureGrid*>(grid)) {
    measured->SetSpatialReference(static_cast<IGIS_MeasureGrid*>(scene.grid())->GetSpatialReference());
    measured->GetGridSpacing()->SetXIntervalSize(50.0);
    measured->GetGridSpacing()->SetYIntervalSize(50.0);
    return true;
  }
  auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(grid);
  if (graticule == nullptr) return false;
  IGIS_GridSpacing* spacing = graticule->GetGridSpacing();
  spacing->SetUnits(3);  // seconds of arc
  spacing->SetXIntervalSize(2.0);
  spacing->SetYIntervalSize(2.0);
  return true;
}

// The 64 grids of CappedPass/4 (bDrawable false) or CappedPass/5 on the
// capped measured grid's frame, measured grids and graticules by turns with
// their labels and ticks on.
IGIS_MapGrids* GridList(bool bDrawable) {
  SheetScene& scene = CappedMeasureScene();
  auto* grids = new CGIS_MapGrids();
  for (int i = 0; i < CGIS_MapGrids::kMaxGrids; ++i) {
    IGIS_MapGrid* grid =
        GIS_CreateMapGridPropertyObject(i % 2 == 0 ? GIS_MAPGRID_MEASURE : GIS_MAPGRID_GRATICULE);
    if (bDrawable) {
      DenseButDrawable(grid, Scene());
    } else {
      EveryMillionthDegree(grid);
    }
    grid->SetMapElement(scene.frame());
    grid->SetLabelVisible(true, true, true, true);
    grid->SetTickVisible(true, true, true, true);
    grid->SetName(("grid " + std::to_string(i)).c_str());
    grids->AddMapGrid(grid);
  }
  return grids;
}

void CappedPass(benchmark::State& state) {
  switch (state.range(0)) {
    case 0:
      DrawScene(state, true, CappedMeasureScene());
      break;
    case 1:
      ConvertScene(state, CappedMeasureScene());
      break;
    case 2:
      DrawScene(state, true, CappedGraticuleScene());
      break;
    case 3:
      ConvertScene(state, CappedGraticuleScene());
      break;
    default: {
      static IGIS_MapGrids* capped = GridList(false);
      static IGIS_MapGrids* drawable = GridList(true);
      IGIS_MapGrids* grids = state.range(0) == 4 ? capped : drawable;
      auto canvas = NewCanvas();
      Device device(canvas.get(), true, CappedMeasureScene());
      long long traced = 0;
      for (auto _ : state) {
        const long long before = md::layout::grid::GridLinesTraced();
        if (!device.DrawGrids(grids)) state.SkipWithError("grids not drawn");
        traced = md::layout::grid::GridLinesTraced() - before;
      }
      state.counters["grids"] = grids->GetCount();
      state.counters["lines"] = static_cast<double>(traced);
      break;
    }
  }
}

// ---- Storing and reading -------------------------------------------------

using md::basilo::ReleasePtr;

CGIS_MeasureGrid* MakeGrid(int i) {
  auto* grid = new CGIS_MeasureGrid();
  grid->SetName(("方里网 " + std::to_string(i)).c_str());
  ReleasePtr<CGIS_FormattedGridLabel> label(new CGIS_FormattedGridLabel());
  grid->SetLabelFormat(label.get());
  grid->GetBorder()->SetBorderType(1);
  return grid;
}

std::vector<BYTE> BytesOf(IGIS_DataBuffer* b) {
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

void GridStore(benchmark::State& state) {
  ReleasePtr<CGIS_MeasureGrid> grid(MakeGrid(1));
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  for (auto _ : state) {
    if (!grid->Save(b.get())) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = b->GetSize();
}

void GridRead(benchmark::State& state) {
  ReleasePtr<CGIS_MeasureGrid> grid(MakeGrid(1));
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  grid->Save(b.get());
  for (auto _ : state) {
    ReleasePtr<CGIS_MeasureGrid> read(new CGIS_MeasureGrid());
    read->Open(b.get());
    benchmark::DoNotOptimize(read->GetLabelFormat());
  }
  state.counters["bytes"] = b->GetSize();
}

struct ListDeleter {
  void operator()(CGIS_MapGrids* p) const { p->Release(); }
};
using ListPtr = std::unique_ptr<CGIS_MapGrids, ListDeleter>;

ListPtr FourGrids() {
  ListPtr list(new CGIS_MapGrids());
  for (int i = 1; i <= 4; ++i) list->AddMapGrid(MakeGrid(i));
  return list;
}

void GridsStore(benchmark::State& state) {
  ListPtr list = FourGrids();
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  for (auto _ : state) {
    if (!list->Save(b.get())) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = b->GetSize();
}

void GridsRead(benchmark::State& state) {
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  FourGrids()->Save(b.get());
  const std::vector<BYTE> bytes = BytesOf(b.get());
  int rebuilt = 0;
  for (auto _ : state) {
    ListPtr read(new CGIS_MapGrids());
    read->Open(b.get());
    rebuilt = read->GetCount();
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["rebuilt"] = rebuilt;
}

void KindStoreRead(benchmark::State& state) {
  ReleasePtr<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(static_cast<int>(state.range(0))));
  if (!grid) {
    state.SkipWithError("no grid of the kind");
    return;
  }
  md::bench::TimeGridStoreRead(state, grid.get());
}

BENCHMARK(KindStoreRead)->Name("Kind/StoreRead")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridStore)->Name("Grid/Store")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridRead)->Name("Grid/Read")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridsStore)->Name("Grids/Store")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridsRead)->Name("Grids/Read")->Unit(benchmark::kMicrosecond);

BENCHMARK(Draw)->Arg(200)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Arg(200)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairoReduced)->Arg(200)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(Interval)->Arg(1000)->Arg(500)->Arg(250)->Arg(100)->Arg(50)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(Interval)->Name("DenseInterval")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Convert)->Unit(benchmark::kMillisecond);
BENCHMARK(FixedCount)->ArgsProduct({{1, 4, 20}, {200, 20}})->Unit(benchmark::kMillisecond);
BENCHMARK(FixedCountRawCairo)->ArgsProduct({{1, 4, 20}, {200, 20}})->Unit(benchmark::kMillisecond);
BENCHMARK(FixedCountConvert)->Arg(1)->Arg(4)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(CappedPass)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio("Draw/200", "RawCairo/200", "Draw/200 / RawCairo/200", 1.5);
  reporter->PrintRatio("Draw/20", "RawCairo/20", "Draw/20 / RawCairo/20", 1.5);
  reporter->PrintRatio("Draw/200", "RawCairoReduced/200", "Draw/200 / RawCairoReduced/200", 1.5);
  reporter->PrintRatio("Draw/20", "RawCairoReduced/20", "Draw/20 / RawCairoReduced/20", 1.5);
  reporter->PrintRatio("FixedCount/4/200", "FixedCountRawCairo/4/200",
                       "FixedCount/4/200 / FixedCountRawCairo/4/200", 1.5);
  reporter->PrintRatio("FixedCount/4/20", "FixedCountRawCairo/4/20",
                       "FixedCount/4/20 / FixedCountRawCairo/4/20", 1.5);
  return 0;
}
