// Grids on the map sheet: a stored grid of a kind this library does not make
// survives the sheet's store, save, load and store again byte for byte.
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::basilo::ReleasePtr;

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
  IGIS_MapElement* frame = md::test::FrameOf(*page);
  ASSERT_NE(frame, nullptr);
  // In place of the sheet's own grids (a list read from bytes adds to the list).
  frame->GetMapGrids()->ReleaseMapGrids();
  ASSERT_TRUE(frame->GetMapGrids()->Open(ListOfAnUnknownKind().get()));
  const auto folder = md::test::ScratchFolder("sheetgrids");
  // The frame's stored state, its grid list first, comes back byte for
  // byte (the files differ only in the elements' handles); the kept grid
  // is stored, not made: the reloaded list holds no grid.
  auto loaded = md::test::ReloadedSheet(*page, folder, doc.LayoutLayer(), 0);
  ASSERT_NE(loaded, nullptr);
  IGIS_MapElement* reloaded = md::test::FrameOf(*loaded);
  ReleasePtr<IGIS_DataBuffer> list = ListOfAnUnknownKind();
  EXPECT_EQ(StoredList(frame), std::vector<BYTE>(list->GetData(), list->GetData() + list->GetSize()));
  EXPECT_EQ(StoredList(reloaded), StoredList(frame));
}

}  // namespace
