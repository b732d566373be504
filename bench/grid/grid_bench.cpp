// Storing and reading map grids, beside the per-element figures of
// bench_demo's StoreAndRead:
//
//   Grid/Store, Grid/Read
//                     one grid with its border, a formatted label and a
//                     spacing: its Save into a data buffer, and a new grid's
//                     Open of those bytes (border, label and spacing rebuilt);
//   Grids/Store, Grids/Read
//                     a grid list of four such grids: the list's Save (the
//                     map frame's "MapGrids" entry), and a new list's Open of
//                     those bytes. The list rebuilds its grids through the
//                     grid factory; a kind the factory cannot make yet is kept
//                     as its stored bytes instead (the "rebuilt" counter says
//                     how many grids were rebuilt).
//
// The counter "bytes" is the size of what was stored.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"

namespace {

using md::basilo::ReleasePtr;

// A grid of the measured kind's stored shape: its spacing under
// "GridSpacing" before the common keys, a formatted label.
class BenchGrid final : public CGIS_MapGridBase<IGIS_MapGrid> {
 public:
  BenchGrid() : m_pSpacing(new CGIS_GridSpacing()) {
    m_pSpacing->SetUnitsType(GIS_GRIDSPACING_UNITS_LINEAR);
    m_pSpacing->SetXIntervalSize(1000.0);
    m_pSpacing->SetYIntervalSize(1000.0);
  }
  void SetLabelFormat(IGIS_GridLabel* pLabel) override {
    ReplaceLabel(pLabel, {GIS_GRIDLABEL_FORMATTED, GIS_GRIDLABEL_MIXEDFONT}, "BenchGrid::SetLabelFormat",
                 true);
  }
  int GetType() override { return GIS_MAPGRID_MEASURE; }
  void Release() override { delete this; }
  IGIS_MapGrid* Clone() override {
    auto* copy = new BenchGrid();
    copy->CopyFrom(this);
    copy->m_pSpacing->Copy(m_pSpacing.get());
    return copy;
  }
  bool Save(IGIS_DataBuffer* pBuffer) override {
    ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    IGIS_Field* f = set->AddProperty("GridSpacing", "GridSpacing", GIS_FIELD_TYPE_BUFFER, 1);
    m_pSpacing->Save(f->GetDataBuffer());
    set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0);
    return CGIS_MapGridBase::Save(pBuffer);
  }
  bool Open(IGIS_DataBuffer* pBuffer) override {
    ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
    if (set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
      if (IGIS_Field* f = set->GetProperty("GridSpacing")) m_pSpacing->Open(f->GetDataBuffer());
    }
    return CGIS_MapGridBase::Open(pBuffer);
  }
  bool OnOpenPropertyDlg() override { return false; }

 private:
  ~BenchGrid() = default;
  ReleasePtr<IGIS_GridSpacing> m_pSpacing;
};

BenchGrid* MakeGrid(int i) {
  auto* grid = new BenchGrid();
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
  ReleasePtr<BenchGrid> grid(MakeGrid(1));
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  for (auto _ : state) {
    if (!grid->Save(b.get())) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = b->GetSize();
}

void GridRead(benchmark::State& state) {
  ReleasePtr<BenchGrid> grid(MakeGrid(1));
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  grid->Save(b.get());
  for (auto _ : state) {
    ReleasePtr<BenchGrid> read(new BenchGrid());
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

BENCHMARK(GridStore)->Name("Grid/Store")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridRead)->Name("Grid/Read")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridsStore)->Name("Grids/Store")->Unit(benchmark::kMicrosecond);
BENCHMARK(GridsRead)->Name("Grids/Read")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
