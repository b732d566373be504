// One input of the map grids' stored-state readers: the bytes as a stored
// grid (rebuilt by the grid factory, and opened by a grid of every kind the
// factory makes and by a grid of the common keys only), as a stored grid
// list, as a stored grid spacing and as a stored grid border. What each read
// is stored again, and the stored form of that is stable: read back and
// stored once more it gives the same bytes. A grid read is also drawn round
// a map frame on a printer page and converted. Shared by the fuzz targets and
// the regular test that replays seeds and crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/printerpage.h"
#include "tests/support/commongrid.h"

namespace md::test::mapgridinput {

using md::test::fuzz::Check;

using md::test::CommonGrid;

// The bytes that write(buffer) leaves in a new buffer, and whether it
// answered success.
template <class Write>
std::vector<std::uint8_t> Written(Write write, bool* pOk) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  *pOk = write(b);
  std::vector<std::uint8_t> bytes = md::test::fuzz::BufferBytes(b);
  b->Release();
  return bytes;
}

// Stores the object, reads that into a new object of the same make and
// stores it again: when the first store succeeded, both stored forms match.
template <class T, class Make>
void CheckStable(T* object, Make make) {
  bool ok = false;
  const std::vector<std::uint8_t> first = Written([&](IGIS_DataBuffer* b) { return object->Save(b); }, &ok);
  T* again = make();
  Check(again != nullptr);
  IGIS_DataBuffer* b = md::test::fuzz::BufferOf(first.data(), first.size());
  again->Open(b);
  b->Release();
  bool okAgain = false;
  const std::vector<std::uint8_t> second =
      Written([&](IGIS_DataBuffer* out) { return again->Save(out); }, &okAgain);
  Check(!ok || second == first);
  again->Release();
}

// A page with one map frame, for drawing and converting what a grid read.
struct Page {
  Page() {
    md::layout::InstallElementHooks();
    factory = GIS_CreateGraphicElementFactoryObject();
    set = GIS_CreateFeatureSetObject(nullptr, "fuzz", 0, 0, 0, 0, nullptr);
    frame =
        dynamic_cast<IGIS_MapElement*>(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP, set, nullptr));
    if (frame == nullptr) std::abort();
    // A small frame: every grid, label and band piece still lies on it, but
    // the bars of a band (one every 20 units at least) stay few.
    frame->SetRect(SGIS_Rect(2000, 2100, 2200, 2000));
  }
  ~Page() {
    if (!set->DeleteElement(frame)) frame->Release();
    set->Release();
    factory->Release();
  }
  // Draws the grid on a printer page and converts it, each when asked; both
  // finish within their caps.
  void Exercise(IGIS_MapGrid* grid, bool bDraw = true, bool bConvert = true) {
    grid->SetMapElement(frame);
    if (bDraw) {
      md::test::fuzz::DrawOnPrinterPage(
          1000000, [grid](HDC hdc, CGIS_PrintDisplay* display) { grid->OnDraw(hdc, true, display); });
    }
    if (bConvert) {
      if (IGIS_Element* converted = grid->ConvertToElement()) md::test::fuzz::DropElement(set, converted);
    }
    grid->SetMapElement(nullptr);
  }
  IGIS_ElementFactory* factory;
  IGIS_FeatureSet* set;
  IGIS_MapElement* frame;
};

// The parts of FeedGrid: the grid the factory rebuilds, a grid of each kind,
// and the grid of the common keys, each read and stored, then drawn (even
// parts) or converted (odd parts).
constexpr unsigned kGridKinds = GIS_MAPGRID_GRATICULE_MN - GIS_MAPGRID_GRATICULE + 1;
constexpr unsigned kGridReaders = kGridKinds + 2;
constexpr unsigned kGridParts = 2 * kGridReaders;

inline void FeedGrid(const std::uint8_t* data, std::size_t size, unsigned part = md::test::fuzz::kEveryPart) {
  const bool bEvery = part == md::test::fuzz::kEveryPart;
  const unsigned reader = bEvery ? part : part / 2;
  const bool bDraw = bEvery || part % 2 == 0;
  const bool bConvert = bEvery || part % 2 == 1;
  auto reads = [&](unsigned which) { return md::test::fuzz::Does(reader, which); };
  Page page;
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  IGIS_MapGrid* rebuilt = reads(0) ? GIS_CreateMapGridPropertyObjectFromBuffer(bytes) : nullptr;
  if (rebuilt != nullptr) {
    const int type = rebuilt->GetType();
    CheckStable(rebuilt, [type] { return GIS_CreateMapGridPropertyObject(type); });
    page.Exercise(rebuilt, bDraw, bConvert);
    rebuilt->Release();
  }
  for (int type = GIS_MAPGRID_GRATICULE; type <= GIS_MAPGRID_GRATICULE_MN; ++type) {
    if (!reads(1 + static_cast<unsigned>(type - GIS_MAPGRID_GRATICULE))) continue;
    IGIS_MapGrid* grid = GIS_CreateMapGridPropertyObject(type);
    if (grid == nullptr) continue;
    grid->Open(bytes);
    CheckStable(grid, [type] { return GIS_CreateMapGridPropertyObject(type); });
    page.Exercise(grid, bDraw, bConvert);
    grid->Release();
  }
  if (!reads(kGridReaders - 1)) {
    bytes->Release();
    return;
  }
  auto* common = new CommonGrid();
  common->Open(bytes);
  CheckStable(common, [] { return new CommonGrid(); });
  // A copy stores what the grid stores, unless the grid read a label of a
  // type its kind does not take, which a copy leaves out.
  IGIS_MapGrid* copy = common->Clone();
  Check(copy != nullptr);
  bool ok = false, okCopy = false;
  const std::vector<std::uint8_t> stored = Written([&](IGIS_DataBuffer* b) { return common->Save(b); }, &ok);
  const bool bLabelLeftOut = common->GetLabelFormat() != nullptr && copy->GetLabelFormat() == nullptr;
  Check(bLabelLeftOut || Written([&](IGIS_DataBuffer* b) { return copy->Save(b); }, &okCopy) == stored);
  copy->Release();
  page.Exercise(common, bDraw, bConvert);
  common->Release();
  bytes->Release();
}

inline void FeedGridList(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  auto* list = new CGIS_MapGrids();
  list->Open(bytes);
  CheckStable(list, [] { return new CGIS_MapGrids(); });
  list->Release();
  bytes->Release();
}

inline void FeedSpacing(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  auto* spacing = new CGIS_GridSpacing();
  spacing->Open(bytes);
  CheckStable(spacing, [] { return new CGIS_GridSpacing(); });
  IGIS_GridSpacing* copy = spacing->Clone();
  Check(copy != nullptr);
  copy->Release();
  spacing->Release();
  bytes->Release();
}

inline void FeedBorder(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  auto* grid = new CommonGrid();
  auto* border = new CGIS_MapGridBorder();
  border->Open(bytes);
  CheckStable(border, [] { return new CGIS_MapGridBorder(); });
  // Drawn and converted as a grid's border round a frame.
  grid->SetBorder(border);
  border->Release();
  Page page;
  page.Exercise(grid);
  grid->Release();
  bytes->Release();
}

}  // namespace md::test::mapgridinput
