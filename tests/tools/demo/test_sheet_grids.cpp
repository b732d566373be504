// Grids on the map sheet. The sheet's own three grids, drawn on the
// recording canvas with fixed-metrics text: the kilometre grid's lines at
// every kilometre where the map bound (checked against PROJ's cs2cs) puts
// them, its numbers two digits along the sides and full at each side's
// ends, the minute marks where sferon puts the minute meridians and
// parallels on the frame, out to the band's outer edge, and the corner
// coordinates beside their corners; the grid list stored, reloaded and
// stored again byte for byte. And a stored grid of a kind this library does
// not make survives the sheet's store, save, load and store again byte for
// byte.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tests/tools/demo/demotest.h"
#include "tests/tools/demo/sheetgrids.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/mapsheetgrids.h"

namespace {

using md::basilo::ReleasePtr;

using md::test::FrameOf;

// The frame's stored state (its "Custom" buffer) and the grid list in it.
std::vector<BYTE> Custom(IGIS_MapElement* frame) {
  IGIS_DataBuffer* b = frame->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  return b != nullptr && b->GetSize() > 0 ? std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize())
                                          : std::vector<BYTE>();
}
std::vector<BYTE> StoredList(IGIS_MapElement* frame) {
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  IGIS_DataBuffer* custom = frame->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  if (custom == nullptr || !set->Archive(custom, GIS_ARCHIVE_READ, 0)) return {};
  IGIS_Field* f = set->GetProperty("MapGrids");
  IGIS_DataBuffer* b = f != nullptr ? f->GetDataBuffer() : nullptr;
  return b != nullptr && b->GetSize() > 0 ? std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize())
                                          : std::vector<BYTE>();
}

// A stored grid list of one grid of kind 9, which this library does not make.
ReleasePtr<IGIS_DataBuffer> ListOfAnUnknownKind() {
  ReleasePtr<IGIS_PropertySet> grid(GIS_CreatePropertySetObject());
  grid->AddProperty("szName", "格网名称", GIS_FIELD_TYPE_STRING, 1)->SetString("将来的格网");
  grid->AddProperty("GridType", "格网类型", GIS_FIELD_TYPE_INT, 1)->SetInt(9);
  ReleasePtr<IGIS_PropertySet> entry(GIS_CreatePropertySetObject());
  entry->AddProperty("GridType", "GridType", GIS_FIELD_TYPE_INT, 1)->SetInt(9);
  grid->Archive(entry->AddProperty("GridData", "GridData", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                GIS_ARCHIVE_WRITE, 0);
  ReleasePtr<IGIS_PropertySet> list(GIS_CreatePropertySetObject());
  list->AddProperty("Count", "Count", GIS_FIELD_TYPE_INT, 1)->SetInt(1);
  entry->Archive(list->AddProperty("1", "1", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(), GIS_ARCHIVE_WRITE,
                 0);
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  list->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  return b;
}

TEST(SheetGrids, AGridOfAKindNotMadeHereReloadsAndSavesByteForByte) {
  md::test::FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto page = md::demo::BuildMapSheetPage(doc, nullptr);
  ASSERT_NE(page, nullptr);
  IGIS_MapElement* frame = FrameOf(*page);
  ASSERT_NE(frame, nullptr);
  frame->GetMapGrids()->ReleaseMapGrids();
  ASSERT_TRUE(frame->GetMapGrids()->Open(ListOfAnUnknownKind().get()));
  const auto folder = md::test::ScratchFolder("sheetgrids");
  const std::string first = (folder / "first.mdfs").string();
  const std::string second = (folder / "second.mdfs").string();
  std::string error;
  ASSERT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  ASSERT_TRUE(md::demo::SavePage(*page, first, &error)) << error;
  auto loaded = md::demo::LoadPage(first, &error, doc.LayoutLayer());
  ASSERT_NE(loaded, nullptr) << error;
  ASSERT_TRUE(md::demo::StoreElements(*loaded, &error)) << error;
  ASSERT_TRUE(md::demo::SavePage(*loaded, second, &error)) << error;
  // The frame's stored state, its grid list first, comes back byte for
  // byte (the files differ only in the elements' handles).
  IGIS_MapElement* reloaded = FrameOf(*loaded);
  ASSERT_NE(reloaded, nullptr);
  ReleasePtr<IGIS_DataBuffer> list = ListOfAnUnknownKind();
  EXPECT_EQ(StoredList(frame), std::vector<BYTE>(list->GetData(), list->GetData() + list->GetSize()));
  EXPECT_EQ(StoredList(reloaded), StoredList(frame));
  EXPECT_EQ(Custom(reloaded), Custom(frame));
  // The kept grid is stored, not made: the reloaded list holds no grid.
  EXPECT_EQ(reloaded->GetMapGrids()->GetCount(), 0);
}

}  // namespace
