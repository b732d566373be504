// The demo page's costs:
//   PrintPage         the whole pipeline: elements, renderer, annotation
//                     drawer, device context and cairo canvas, into a
//                     300-dpi A4 raster;
//   RawCairo          the same primitives (taken from one recording-canvas
//                     run) drawn straight into cairo, fonts, glyphs and
//                     picture surfaces ready;
//                     the ratio PrintPage / RawCairo is printed at the end
//                     (target: at most 1.10);
//   StoreAndRead/all  Archive(0) and Archive(1) of every element of the page;
//   StoreAndRead/KIND the same for the elements of one kind, for every kind
//                     of either page (the map sheet's where it has the kind),
//                     printed at the end as a table of microseconds per
//                     element against the target (5; 10 for a map frame);
//   SaveFile/LoadFile the feature-set file, per megabyte;
//   DenseElement/Polygon/N, DenseElement/Polyline/N
//                     one element of N points printed at 300 dpi;
//   DenseElement/RawCairo/Polygon/N
//                     what the cairo canvas hands cairo for the polygon (the
//                     reduced fill, the outline's distinct segments in runs)
//                     drawn straight into cairo: the same drawing work, the
//                     floor (its ratio is printed at the end);
//   DenseElement/RawCairoEveryPoint/Polygon/N
//                     the polygon's recorded path, every point, filled and
//                     stroked straight into cairo (the raw stroke grows far
//                     faster than the points: about two seconds at 10,000,
//                     minutes at 100,000, so the row is kept at 10,000);
//   Compound/AddElement/N
//                     N rectangles made members of one new compound, one
//                     AddElement each; the time per member is the
//                     "per_element" counter (it stays flat as N grows);
//   PageCycle/N       a page of up to N mixed elements (the sample page's
//                     elements, compounds included, over and over) built,
//                     stored, saved, loaded and read back; the time per
//                     element is the "per_element" counter;
//   PagePart/STEP/N   one step of PageCycle/N timed alone (Build, Save for
//                     store and save, Load, FreeLoaded, FreeBuilt), by the
//                     main thread's clock as PageCycle is (per_element as
//                     above);
//   PageCycle/Evicted/N
//                     PageCycle/N with the caches emptied before each of
//                     its steps (outside the timing): the same work with
//                     every step starting from memory.
//
//   Sheet/Print, Sheet/RawCairo
//                     the same two for the map sheet (A2 landscape, the whole
//                     1:50,000 sample sheet with its furniture); its ratio is
//                     printed too;
//   SheetWithoutGrids/Print, SheetWithoutGrids/RawCairo
//                     the same two for the sheet without its grids; the
//                     grids' share of the sheet's printing is printed too;
//   Sheet/Draw/KIND   the sheet's elements of one kind printed alone at
//                     300 dpi (the map frame draws the whole map);
//
//   Png/Sample/T, Png/Sheet/T
//                     the page's 300-dpi raster encoded as a PNG in memory
//                     (nothing else), on one thread (T 1) or on as many as
//                     the machine has (T 0); "bytes" is the file's size.
//
//   Pdf/Sample, Pdf/Sheet
//                     the page printed into a PDF file, as the demo writes it
//                     (drawing, font embedding, image and stream compression);
//   Pdf/Sample/PART, Pdf/Sheet/PART
//                     only the page's text runs, images or shapes (recorded
//                     once) drawn into a PDF file and the file written, to
//                     show where the time of a PDF goes.
//
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures. For a ratio on a shared machine, run both rows with
//   --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
// so that their repetitions alternate and load drift touches both alike (the
// ratio is taken from the medians). Under callgrind the two rows hand cairo
// the same work (the same instructions inside cairo_stroke, cairo_fill and
// the glyphs); the difference is the pipeline's own.
#include <benchmark/benchmark.h>
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench/demo/cairoreplay.h"
#include "bench/ratio_reporter.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pathreduce.h"
#include "platform/canvas/pngencode.h"
#include "platform/canvas/raster.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

constexpr int kDpi = 300;
constexpr double kWidthMm = md::demo::kPageWidth / 100.0;
constexpr double kHeightMm = md::demo::kPageHeight / 100.0;

md::demo::Page& SamplePage() {
  static std::unique_ptr<md::demo::Page> page = md::demo::BuildSamplePage(nullptr);
  return *page;
}

// The map sheet over its document; NULL when either cannot be made.
md::demo::Page* SheetPage() {
  static md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  static std::unique_ptr<md::demo::Page> page =
      doc.ok() ? md::demo::BuildMapSheetPage(doc, nullptr) : nullptr;
  return page.get();
}

// The map sheet without its grids (its kilometre grid, minute marks and
// corner coordinates); NULL when it cannot be made.
md::demo::Page* SheetPageWithoutGrids() {
  static md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  static std::unique_ptr<md::demo::Page> page = [] {
    auto made = doc.ok() ? md::demo::BuildMapSheetPage(doc, nullptr) : nullptr;
    for (IGIS_Element* e : made != nullptr ? made->elements() : std::vector<IGIS_Element*>())
      if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) frame->GetMapGrids()->ReleaseMapGrids();
    return made;
  }();
  return page.get();
}

// The page's elements of one type ("" for all the host draws).
std::vector<IGIS_Element*> ElementsOf(md::demo::Page& page, const std::string& kind) {
  std::vector<IGIS_Element*> out;
  for (IGIS_Element* e : page.TopLevel())
    if (kind.empty() || kind == e->GetType()) out.push_back(e);
  return out;
}

// Prints those elements of the page into a 300-dpi raster of its paper.
void PrintOf(benchmark::State& state, md::demo::Page* page, const std::string& kind) {
  if (page == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  auto canvas = md::canvas::CairoCanvas::createPageImage(page->width() / 100.0, page->height() / 100.0, kDpi);
  if (canvas == nullptr) {
    state.SkipWithError("no raster");
    return;
  }
  const std::vector<IGIS_Element*> elements = ElementsOf(*page, kind);
  std::string error;
  for (auto _ : state) {
    if (!md::demo::PrintElements(*page, elements, canvas.get(), kDpi, nullptr, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void PrintPage(benchmark::State& state) { PrintOf(state, &SamplePage(), ""); }

// ---- The same primitives straight into cairo ---------------------------------

// The page's recorded primitives replayed straight into a cairo raster.
void RawCairoOf(benchmark::State& state, md::demo::Page* pagePtr) {
  if (pagePtr == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  md::demo::Page& page = *pagePtr;
  // Device size of the 300-dpi page, as the raster canvas rounds it.
  auto sizer = md::canvas::CairoCanvas::createPageImage(page.width() / 100.0, page.height() / 100.0, kDpi);
  if (sizer == nullptr) {
    state.SkipWithError("no raster");
    return;
  }
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  md::canvas::RecordingCanvas recording(w, h);
  std::string error;
  if (!md::demo::PrintPage(page, &recording, kDpi, nullptr, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  md::bench::TimeReplay(state, recording, w, h);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(page.elements().size()));
}

void RawCairo(benchmark::State& state) { RawCairoOf(state, &SamplePage()); }
void SheetPrint(benchmark::State& state) { PrintOf(state, SheetPage(), ""); }
void SheetRawCairo(benchmark::State& state) { RawCairoOf(state, SheetPage()); }
void SheetPrintWithoutGrids(benchmark::State& state) { PrintOf(state, SheetPageWithoutGrids(), ""); }
void SheetRawCairoWithoutGrids(benchmark::State& state) { RawCairoOf(state, SheetPageWithoutGrids()); }

// ---- PDF files ---------------------------------------------------------------

std::string BenchPath(const char* ending);

void PdfOf(benchmark::State& state, md::demo::Page* page) {
  if (page == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  const std::string file = BenchPath(".pdf");
  std::string error;
  for (auto _ : state) {
    if (!md::demo::PrintVector(*page, file, nullptr, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  std::error_code ec;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file, ec));
  std::filesystem::remove(file, ec);
}

// The page's primitives of one type, recorded on the vector device grid,
// drawn into a PDF file of the page.
void PdfPartOf(benchmark::State& state, md::demo::Page* page, md::canvas::Record::Type type) {
  using md::canvas::CairoCanvas;
  if (page == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  const double w = page->width() / 100.0, h = page->height() / 100.0;
  const std::string file = BenchPath(".pdf");
  auto sizer = CairoCanvas::createPdf(file, w, h, CairoCanvas::kVectorDpi);
  if (sizer == nullptr) {
    state.SkipWithError("no PDF");
    return;
  }
  md::canvas::RecordingCanvas recording(sizer->width(), sizer->height());
  sizer.reset();
  std::string error;
  if (!md::demo::PrintPage(*page, &recording, static_cast<int>(CairoCanvas::kVectorDpi), nullptr, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::vector<const md::canvas::Record*> records = recording.recordsOf(type);
  for (auto _ : state) {
    auto pdf = CairoCanvas::createPdf(file, w, h, CairoCanvas::kVectorDpi);
    for (const md::canvas::Record* r : records) {
      switch (r->type) {
        case md::canvas::Record::Type::Shape:
          pdf->drawShape(r->shape, r->pen, r->brush, r->state);
          break;
        case md::canvas::Record::Type::Rects:
          pdf->fillRects(r->rects, r->brush, r->state);
          break;
        case md::canvas::Record::Type::Text:
          pdf->drawText(r->text, r->state);
          break;
        case md::canvas::Record::Type::Image: {
          md::canvas::Image image;
          image.pixels = r->pixels.data();
          image.width = r->src.right - r->src.left;
          image.height = r->src.bottom - r->src.top;
          image.stride = image.width * 4;
          // Drawn opaque: the recording keeps no alpha flag.
          if (r->pixels.size() != static_cast<std::size_t>(image.width) * image.height) break;
          pdf->drawImage(image, md::canvas::Rect{0, 0, image.width, image.height}, r->dst, r->state);
          break;
        }
        case md::canvas::Record::Type::Vectors:
          r->DrawVectorsOn(*pdf);
          break;
      }
    }
    if (!pdf->finish()) {
      state.SkipWithError("writing the PDF failed");
      break;
    }
  }
  std::error_code ec;
  state.counters["calls"] = static_cast<double>(records.size());
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file, ec));
  std::filesystem::remove(file, ec);
}

// ---- PNG encoding ------------------------------------------------------------

// The page printed once at 300 dpi, then only its PNG encoding, into memory:
// on one thread, or on as many as the machine has (range 0); the file's size
// is the "bytes" counter.
void PngOf(benchmark::State& state, md::demo::Page* page) {
  if (page == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  auto canvas = md::canvas::CairoCanvas::createPageImage(page->width() / 100.0, page->height() / 100.0, kDpi);
  std::string error;
  if (canvas == nullptr || !md::demo::PrintPage(*page, canvas.get(), kDpi, nullptr, &error)) {
    state.SkipWithError(error.empty() ? "no raster" : error.c_str());
    return;
  }
  const md::canvas::Raster raster = md::canvas::ReadRaster(*canvas);
  canvas.reset();
  struct Rows {
    static const std::uint32_t* Row(const void* c, int y) {
      const auto* r = static_cast<const md::canvas::Raster*>(c);
      return r->pixels.data() + static_cast<std::size_t>(y) * r->width;
    }
  };
  const md::canvas::PngRows rows{raster.width, raster.height, &raster, &Rows::Row};
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    if (!md::canvas::EncodePng(
            rows,
            [&](const std::uint8_t*, std::size_t n) {
              bytes += n;
              return true;
            },
            static_cast<unsigned>(state.range(0)))) {
      state.SkipWithError("encoding failed");
      break;
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(raster.pixels.size()) * 3);
}

// ---- Storing and reading elements ---------------------------------------------

// Archive(0) then Archive(1) of the elements of one kind ("" for all); the
// time per element is the "per_element" counter.
void StoreAndReadOf(benchmark::State& state, md::demo::Page* page, const std::string& kind) {
  if (page == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  std::vector<IGIS_Element*> elements;
  for (IGIS_Element* e : page->elements())
    if (kind.empty() || kind == e->GetType()) elements.push_back(e);
  for (auto _ : state) {
    for (IGIS_Element* e : elements) {
      e->Archive(0, 0);
      e->Archive(1, 0);
    }
  }
  state.counters["per_element"] =
      benchmark::Counter(static_cast<double>(elements.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(elements.size()));
}

void StoreAndRead(benchmark::State& state, const std::string& kind) {
  StoreAndReadOf(state, &SamplePage(), kind);
}

// ---- The feature-set file ---------------------------------------------------------

// A page of twelve sample pages (about a megabyte of file), stored.
md::demo::Page& BigPage() {
  static std::unique_ptr<md::demo::Page> page = [] {
    auto p = md::demo::BuildSamplePage(nullptr);
    for (int i = 1; i < 12; ++i) md::demo::AddSampleElements(*p, nullptr);
    md::demo::StoreElements(*p, nullptr);
    return p;
  }();
  return *page;
}

std::string BenchPath(const char* ending) {
  return (std::filesystem::temp_directory_path() / ("mapdeck-bench-" + std::to_string(getpid()) + ending))
      .string();
}

std::string BenchFile() { return BenchPath(".mdfs"); }

void PerMegabyte(benchmark::State& state, std::uintmax_t bytes) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["per_MB"] =
      benchmark::Counter(static_cast<double>(bytes) / (1024.0 * 1024.0),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void SaveFile(benchmark::State& state) {
  md::demo::Page& page = BigPage();
  const std::string file = BenchFile();
  for (auto _ : state) {
    if (!page.featureSet()->SaveToFile(file.c_str())) {
      state.SkipWithError("save failed");
      break;
    }
  }
  std::error_code ec;
  PerMegabyte(state, std::filesystem::file_size(file, ec));
  std::filesystem::remove(file, ec);
}

void LoadFile(benchmark::State& state) {
  const std::string file = BenchFile();
  if (!BigPage().featureSet()->SaveToFile(file.c_str())) {
    state.SkipWithError("save failed");
    return;
  }
  IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "bench", 0, 0, 0, 0, nullptr);
  for (auto _ : state) {
    if (!set->LoadFromFile(file.c_str())) {
      state.SkipWithError("load failed");
      break;
    }
  }
  set->Release();
  std::error_code ec;
  PerMegabyte(state, std::filesystem::file_size(file, ec));
  std::filesystem::remove(file, ec);
}

// ---- A page of N elements, round trip -------------------------------------------

// Whole sample pages, as many as fit in `wanted` (a file holds at most
// 100,000 features); NULL when none can be made.
std::unique_ptr<md::demo::Page> BuildCyclePage(std::size_t wanted) {
  auto page = md::demo::BuildSamplePage(nullptr);
  const std::size_t batch = page != nullptr ? page->elements().size() : 0;
  while (batch > 0 && page->elements().size() + batch <= wanted) md::demo::AddSampleElements(*page, nullptr);
  return page;
}

// The "per_element" counter: the time of one iteration over `count`.
benchmark::Counter PerElement(std::size_t count) {
  return benchmark::Counter(static_cast<double>(count),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The main thread's processor time, the clock Google Benchmark counts.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The steps of one PageCycle round.
enum class CycleStep { Build, Save, Load, FreeLoaded, FreeBuilt, Count };

// One round, built, stored and saved to `file`, loaded and read back, both
// pages ended; each step's time added to spent[step], the caches emptied
// before each step (outside the timing) with `evict`. False with *error set.
bool CycleSteps(std::size_t wanted, const std::string& file, bool evict, double* spent, std::size_t* count,
                std::string* error) {
  static std::vector<unsigned char> sweep;
  const auto timed = [&](CycleStep step, auto&& work) {
    if (evict) {
      sweep.resize(std::size_t{64} << 20);  // twice the last-level cache
      for (std::size_t i = 0; i < sweep.size(); i += 64) sweep[i] = static_cast<unsigned char>(sweep[i] + 1);
      benchmark::ClobberMemory();
    }
    const double start = ThreadSeconds();
    const bool ok = work();
    spent[static_cast<int>(step)] += ThreadSeconds() - start;
    return ok;
  };
  std::unique_ptr<md::demo::Page> page, loaded;
  bool ok = timed(CycleStep::Build, [&] { return (page = BuildCyclePage(wanted)) != nullptr; }) &&
            timed(CycleStep::Save, [&] {
              return md::demo::StoreElements(*page, error) && md::demo::SavePage(*page, file, error);
            });
  if (ok) {
    *count = page->elements().size();
    ok = timed(CycleStep::Load, [&] {
      loaded = md::demo::LoadPage(file, error);
      return loaded != nullptr && loaded->elements().size() == *count;
    });
  }
  timed(CycleStep::FreeLoaded, [&] {
    loaded.reset();
    return true;
  });
  timed(CycleStep::FreeBuilt, [&] {
    page.reset();
    return true;
  });
  if (!ok && error->empty()) *error = "the page did not come back whole";
  return ok;
}

// `step` of the round timed alone; Count: the whole round, the caches
// emptied before each step.
void PageSteps(benchmark::State& state, CycleStep step) {
  const bool evict = step == CycleStep::Count;
  const std::string file = BenchFile();
  std::size_t count = 0;
  std::string error;
  for (auto _ : state) {
    double spent[static_cast<int>(CycleStep::Count)] = {};
    if (!CycleSteps(static_cast<std::size_t>(state.range(0)), file, evict, spent, &count, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    double total = 0;
    for (double s : spent) total += s;
    state.SetIterationTime(evict ? total : spent[static_cast<int>(step)]);
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
  state.counters["per_element"] = PerElement(count);
}

void PageCycle(benchmark::State& state) {
  const std::string file = BenchFile();
  std::size_t count = 0;
  std::string error;
  for (auto _ : state) {
    double spent[static_cast<int>(CycleStep::Count)] = {};
    if (!CycleSteps(static_cast<std::size_t>(state.range(0)), file, false, spent, &count, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
  state.counters["elements"] = static_cast<double>(count);
  state.counters["per_element"] = PerElement(count);
}

// ---- Compounds of many members --------------------------------------------------

void CompoundAdd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  md::demo::Page page;
  std::vector<IGIS_Element*> members;
  for (int i = 0; i < n; ++i)
    if (IGIS_Element* e = page.Create(GIS_TYPE_GRAPHIC_ELEMENT_RECT)) members.push_back(e);
  if (static_cast<int>(members.size()) != n) {
    state.SkipWithError("no elements");
    return;
  }
  IGIS_FeatureSet* set = page.featureSet();
  for (auto _ : state) {
    state.PauseTiming();
    auto* compound =
        dynamic_cast<IGIS_CompoundElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
    state.ResumeTiming();
    if (compound == nullptr) {
      state.SkipWithError("no compound");
      break;
    }
    bool added = true;
    for (IGIS_Element* e : members) {
      if (!compound->AddElement(e)) {
        added = false;
        break;
      }
    }
    state.PauseTiming();
    // Deleting a compound takes its members with it: they leave the list
    // first, so that the next round adds the same elements again.
    for (IGIS_Element* e : members) compound->RemoveElement(e);
    set->DeleteElement(compound);
    state.ResumeTiming();
    if (!added) {
      state.SkipWithError("AddElement refused");
      break;
    }
  }
  state.counters["per_element"] = benchmark::Counter(
      static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---- Dense stored geometry ---------------------------------------------------------

// One polygon or polyline element of n points (a star of n/2 spikes about the
// page's centre, in page units) printed at 300 dpi.
// Makes the star element of n points on the page; false when it cannot.
bool MakeStar(md::demo::Page& page, const char* type, int n) {
  IGIS_Element* e = page.Create(type);
  IGIS_Feature* f = e != nullptr ? e->GetFeaturePtr() : nullptr;
  IGIS_Geometry* g = f != nullptr ? f->GetGeometry() : nullptr;
  if (g == nullptr || !g->SetPointCount(n)) return false;
  const double cx = md::demo::kPageWidth / 2.0, cy = md::demo::kPageHeight / 2.0;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * 3.14159265358979 * i / n, r = i % 2 ? 3000 : 9000;
    g->SetPoint(i,
                SGIS_Point(static_cast<int>(std::lround(cx + r * std::cos(a))),
                           static_cast<int>(std::lround(cy + r * std::sin(a))), 0),
                0);
  }
  f->GetFeatureClass()->UpdateFeature(f, GIS_UPDATE_GEOMETRY);
  return true;
}

void DenseElement(benchmark::State& state, const char* type) {
  md::demo::Page page;
  const int n = static_cast<int>(state.range(0));
  if (!MakeStar(page, type, n)) {
    state.SkipWithError("no element");
    return;
  }
  auto canvas = md::canvas::CairoCanvas::createPageImage(kWidthMm, kHeightMm, kDpi);
  std::string error;
  for (auto _ : state) {
    if (!md::demo::PrintPage(page, canvas.get(), kDpi, nullptr, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// The same star's recorded primitives (one recording-canvas run, the path as
// the device context hands it on) replayed straight into a 300-dpi cairo
// raster: the floor of DenseElement with the same N.
void DenseElementRawCairo(benchmark::State& state, const char* type) {
  md::demo::Page page;
  const int n = static_cast<int>(state.range(0));
  if (!MakeStar(page, type, n)) {
    state.SkipWithError("no element");
    return;
  }
  RawCairoOf(state, &page);
  state.SetItemsProcessed(state.iterations() * n);
}

// What the cairo canvas hands cairo for the star on a raster, drawn straight
// into a 300-dpi cairo raster: each recorded path in device pixels without
// the points that change nothing drawn, the fill in one cairo_fill, a dense
// round-joined outline as its distinct segments stroked in runs
// (platform/canvas/pathreduce.h), everything worked out beforehand. It
// paints the same pixels as DenseElement, only the fill through cairo's own
// scan converter where the canvas may take its coverage rasterizer: the
// floor of DenseElement with the same N.
void DenseElementRawCairoReduced(benchmark::State& state, const char* type) {
  namespace mc = md::canvas;
  namespace dt = md::canvas::detail;
  md::demo::Page page;
  const int n = static_cast<int>(state.range(0));
  if (!MakeStar(page, type, n)) {
    state.SkipWithError("no element");
    return;
  }
  auto sizer = mc::CairoCanvas::createPageImage(kWidthMm, kHeightMm, kDpi);
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  mc::RecordingCanvas recording(w, h);
  std::string error;
  if (!md::demo::PrintPage(page, &recording, kDpi, nullptr, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  struct Prepared {
    const mc::Record* record;
    std::vector<std::vector<mc::Point>> fill, stroke;
    std::vector<bool> closed;
    dt::StrokePieces pieces;
    bool split = false;
    cairo_line_cap_t cap = CAIRO_LINE_CAP_ROUND;
  };
  std::vector<Prepared> shapes;
  for (const mc::Record* r : recording.recordsOf(mc::Record::Type::Shape)) {
    if ((r->shape.fill && r->brush.style == mc::BrushStyle::Hatched) ||
        (r->shape.stroke && r->pen.style != mc::PenStyle::Null &&
         (r->pen.style != mc::PenStyle::Solid || r->pen.join != mc::LineJoin::Round))) {
      state.SkipWithError("the star is drawn with solid pens and brushes, round joins");
      return;
    }
    Prepared p{r, {}, {}, {}, {}, false, CAIRO_LINE_CAP_ROUND};
    const auto reduce = [&](double offset, dt::PathUse use, std::vector<std::vector<mc::Point>>* out) {
      for (const mc::SubPath& sp : r->shape.paths) {
        if (sp.points.empty()) continue;
        std::vector<mc::Point> device;
        for (const mc::Point& q : sp.points) device.push_back(mc::Point{q.x + offset, q.y + offset});
        out->emplace_back();
        dt::ReducePath(device, use, &out->back());
        if (use != dt::PathUse::Fill) p.closed.push_back(sp.closed);
      }
    };
    if (r->shape.fill && r->brush.style != mc::BrushStyle::Null) reduce(0.0, dt::PathUse::Fill, &p.fill);
    if (r->shape.stroke && r->pen.style != mc::PenStyle::Null) {
      reduce(0.5, dt::PathUse::SolidStroke, &p.stroke);
      // Thin pens have no caps.
      const mc::LineCap cap = r->pen.width <= 1.5 ? mc::LineCap::Flat : r->pen.cap;
      p.cap = cap == mc::LineCap::Round    ? CAIRO_LINE_CAP_ROUND
              : cap == mc::LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                           : CAIRO_LINE_CAP_BUTT;
      p.split = dt::SplitRoundJoinedStroke(p.stroke, p.closed, cap, r->pen.width, &p.pieces);
    }
    shapes.push_back(std::move(p));
  }
  const auto addPath = [](cairo_t* cr, const std::vector<mc::Point>& points, bool close) {
    cairo_move_to(cr, points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
    if (close) cairo_close_path(cr);
  };
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (auto _ : state) {
    for (const Prepared& p : shapes) {
      const mc::Record& r = *p.record;
      cairo_save(cr);
      if (r.state.clip.active) {
        for (const mc::Rect& c : r.state.clip.rects)
          cairo_rectangle(cr, c.left, c.top, c.right - c.left, c.bottom - c.top);
        cairo_clip(cr);
      }
      if (!p.fill.empty()) {
        for (const auto& ring : p.fill) addPath(cr, ring, true);
        cairo_set_fill_rule(
            cr, r.shape.rule == mc::FillRule::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        md::bench::Rgb(cr, r.brush.color);
        cairo_fill(cr);
      }
      if (!p.stroke.empty()) {
        cairo_set_line_width(cr, r.pen.width);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        md::bench::Rgb(cr, r.pen.color);
        if (p.split) {
          cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
          const auto& segments = p.pieces.segments;
          for (std::size_t i = 0; i < segments.size(); ++i) {
            cairo_move_to(cr, segments[i].first.x, segments[i].first.y);
            cairo_line_to(cr, segments[i].second.x, segments[i].second.y);
            if ((i + 1) % dt::kStrokeRunSegments == 0 || i + 1 == segments.size()) cairo_stroke(cr);
          }
          for (const mc::SubPath& sp : p.pieces.ends) addPath(cr, sp.points, sp.closed);
        } else {
          for (std::size_t k = 0; k < p.stroke.size(); ++k) addPath(cr, p.stroke[k], p.closed[k]);
        }
        cairo_set_line_cap(cr, p.cap);
        cairo_stroke(cr);
      }
      cairo_restore(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(PrintPage)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Unit(benchmark::kMillisecond);
BENCHMARK(SheetPrint)->Name("Sheet/Print")->Unit(benchmark::kMillisecond);
BENCHMARK(SheetRawCairo)->Name("Sheet/RawCairo")->Unit(benchmark::kMillisecond);
BENCHMARK(SheetPrintWithoutGrids)->Name("SheetWithoutGrids/Print")->Unit(benchmark::kMillisecond);
BENCHMARK(SheetRawCairoWithoutGrids)->Name("SheetWithoutGrids/RawCairo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PdfOf, Sample, &SamplePage())->Name("Pdf/Sample")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PdfOf, Sheet, SheetPage())->Name("Pdf/Sheet")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PngOf, Sample, &SamplePage())
    ->Name("Png/Sample")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PngOf, Sheet, SheetPage())
    ->Name("Png/Sheet")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DenseElement, Polygon, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1048576)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DenseElementRawCairoReduced, Polygon, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON)
    ->Name("DenseElement/RawCairo/Polygon")
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1048576)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DenseElementRawCairo, Polygon, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON)
    ->Name("DenseElement/RawCairoEveryPoint/Polygon")
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DenseElement, Polyline, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1048576)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CompoundAdd)
    ->Name("Compound/AddElement")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond);
// The page sizes of the PageCycle rows.
void PageSizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}
BENCHMARK(PageCycle)->Apply(PageSizes);
BENCHMARK_CAPTURE(PageSteps, Build, CycleStep::Build)
    ->Name("PagePart/Build")
    ->Apply(PageSizes)
    ->UseManualTime();
BENCHMARK_CAPTURE(PageSteps, Save, CycleStep::Save)->Name("PagePart/Save")->Apply(PageSizes)->UseManualTime();
BENCHMARK_CAPTURE(PageSteps, Load, CycleStep::Load)->Name("PagePart/Load")->Apply(PageSizes)->UseManualTime();
BENCHMARK_CAPTURE(PageSteps, FreeLoaded, CycleStep::FreeLoaded)
    ->Name("PagePart/FreeLoaded")
    ->Apply(PageSizes)
    ->UseManualTime();
BENCHMARK_CAPTURE(PageSteps, FreeBuilt, CycleStep::FreeBuilt)
    ->Name("PagePart/FreeBuilt")
    ->Apply(PageSizes)
    ->UseManualTime();
BENCHMARK_CAPTURE(PageSteps, Evicted, CycleStep::Count)
    ->Name("PageCycle/Evicted")
    ->Apply(PageSizes)
    ->UseManualTime();

// N elements registered, then ended first-made first (a page cleared front
// to back); the time per element is the "per_element" counter. The registry
// only keeps the addresses, so blocks of memory stand in for elements.
void RegistryFrontToBack(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  std::vector<std::array<char, 64>> blocks(n);
  const auto element = [&](std::size_t i) { return reinterpret_cast<IGIS_Element*>(blocks[i].data()); };
  for (auto _ : state) {
    for (std::size_t i = 0; i < n; ++i) benchmark::DoNotOptimize(GIS_RegisterElement(element(i)));
    for (std::size_t i = 0; i < n; ++i) GIS_UnregisterElement(element(i));
  }
  state.counters["per_element"] = benchmark::Counter(
      static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(RegistryFrontToBack)
    ->Name("Registry/FrontToBack")
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const auto shortName = [](const std::string& kind) {
    return kind.substr(std::strlen("GIS_TYPE_GRAPHIC_ELEMENT_"));
  };
  // Storing and reading: all the sample page's elements, then every kind of
  // either page, one row each (the map sheet's elements where it has the
  // kind: they follow their map frame, which carries its map and borders).
  benchmark::RegisterBenchmark("StoreAndRead/all", StoreAndRead, std::string())
      ->Unit(benchmark::kMicrosecond);
  md::demo::Page* sheet = SheetPage();
  std::map<std::string, std::pair<md::demo::Page*, std::size_t>> kinds;  // page and element count
  for (md::demo::Page* page : {&SamplePage(), sheet}) {
    if (page == nullptr) continue;
    std::map<std::string, std::size_t> counts;
    for (IGIS_Element* e : page->elements()) ++counts[e->GetType()];
    for (const auto& [kind, count] : counts) kinds[kind] = {page, count};
  }
  for (const auto& [kind, where] : kinds) {
    benchmark::RegisterBenchmark(("StoreAndRead/" + shortName(kind)).c_str(), StoreAndReadOf, where.first,
                                 kind)
        ->Unit(benchmark::kMicrosecond);
  }
  // The map frame with its map and borders alone, as before it carried grids.
  const std::string mapKind = GIS_TYPE_GRAPHIC_ELEMENT_MAP;
  std::size_t framesWithoutGrids = 0;
  if (md::demo::Page* bare = SheetPageWithoutGrids())
    for (IGIS_Element* e : bare->elements()) framesWithoutGrids += mapKind == e->GetType() ? 1 : 0;
  benchmark::RegisterBenchmark("StoreAndRead/MAP_WITHOUT_GRIDS", StoreAndReadOf, SheetPageWithoutGrids(),
                               mapKind)
      ->Unit(benchmark::kMicrosecond);
  // Drawing each kind of the map sheet's elements.
  std::set<std::string> sheetKinds;
  if (sheet != nullptr)
    for (IGIS_Element* e : sheet->elements()) sheetKinds.insert(e->GetType());
  for (const std::string& kind : sheetKinds) {
    benchmark::RegisterBenchmark(("Sheet/Draw/" + shortName(kind)).c_str(), PrintOf, sheet, kind)
        ->Unit(benchmark::kMillisecond);
  }

  using md::canvas::Record;
  const std::pair<const char*, Record::Type> parts[] = {
      {"text", Record::Type::Text}, {"images", Record::Type::Image}, {"shapes", Record::Type::Shape}};
  for (const auto& [part, type] : parts) {
    benchmark::RegisterBenchmark((std::string("Pdf/Sample/") + part).c_str(), PdfPartOf, &SamplePage(), type)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Pdf/Sheet/") + part).c_str(), PdfPartOf, SheetPage(), type)
        ->Unit(benchmark::kMillisecond);
  }

  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  for (const char* n : {"10000", "100000", "1048576"})
    reporter->PrintRatio(std::string("DenseElement/Polygon/") + n,
                         std::string("DenseElement/RawCairo/Polygon/") + n,
                         (std::string(n) + "-point polygon: whole pipeline / raw cairo").c_str(), 1.10);
  reporter->PrintRatio("DenseElement/Polygon/10000", "DenseElement/RawCairoEveryPoint/Polygon/10000",
                       "10000-point polygon: whole pipeline / raw cairo of every point", 1.0);
  reporter->PrintRatio("PrintPage", "RawCairo", "whole pipeline / raw cairo", 1.10);
  reporter->PrintRatio("Sheet/Print", "Sheet/RawCairo", "map sheet: whole pipeline / raw cairo", 1.05);
  reporter->PrintRatio("SheetWithoutGrids/Print", "SheetWithoutGrids/RawCairo",
                       "map sheet without its grids: whole pipeline / raw cairo", 1.10);
  const double with = reporter->PerIteration("Sheet/Print");
  const double without = reporter->PerIteration("SheetWithoutGrids/Print");
  if (with > 0 && without > 0)
    std::printf("map sheet: the grids' share of its printing = %.1f%%\n", 100.0 * (with - without) / with);
  // Store + read per element of each kind that ran, against its target.
  bool header = false;
  for (const auto& [kind, where] : kinds) {
    const double seconds = reporter->PerIteration("StoreAndRead/" + shortName(kind));
    if (seconds <= 0 || where.second == 0) continue;
    if (!header) std::printf("%-28s %12s %8s\n", "store + read per element", "microseconds", "target");
    header = true;
    const double us = seconds * 1e6 / static_cast<double>(where.second);
    const double target = kind == GIS_TYPE_GRAPHIC_ELEMENT_MAP ? 10.0 : 5.0;
    std::printf("%-28s %12.2f %8.0f%s\n", shortName(kind).c_str(), us, target, us <= target ? "" : "  over");
  }
  const double bareSeconds = reporter->PerIteration("StoreAndRead/MAP_WITHOUT_GRIDS");
  if (bareSeconds > 0 && framesWithoutGrids > 0) {
    const double us = bareSeconds * 1e6 / static_cast<double>(framesWithoutGrids);
    std::printf("%-28s %12.2f %8.0f%s\n", "MAP_WITHOUT_GRIDS", us, 10.0, us <= 10.0 ? "" : "  over");
  }
  return 0;
}
