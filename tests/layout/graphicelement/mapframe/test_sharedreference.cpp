// Spatial references shared within a stored frame: what each grid entry
// stores, what reads back, and frames stored with a reference per grid.
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::StoredSetView;
using md::test::MapFramePage;

using Bytes = std::vector<BYTE>;

ReleasePtr<IGIS_DataBuffer> BufferOf(std::span<const BYTE> bytes) {
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  b->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), b->GetData());
  return b;
}

Bytes BytesOf(IGIS_DataBuffer* b) { return Bytes(b->GetData(), b->GetData() + b->GetSize()); }

Bytes ReferenceBytes(IGIS_SpatialReference* r) {
  ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  r->Archive(b.get(), GIS_ARCHIVE_WRITE);
  return BytesOf(b.get());
}

Bytes StoredKey(std::span<const BYTE> set, const char* szKey) {
  ReleasePtr<IGIS_DataBuffer> b = BufferOf(set);
  const StoredSetView view(b.get());
  const md::basilo::StoredFieldView* f = view.Find(szKey);
  return f != nullptr ? Bytes(f->bytes.begin(), f->bytes.end()) : Bytes();
}

// Per stored grid entry: "full" (its reference's bytes), "shared N" or "none".
std::vector<std::string> StoredReferences(IGIS_Feature* feature) {
  const Bytes custom = BytesOf(feature->GetAttributes()->GetDataBuffer("Custom"));
  const Bytes list = StoredKey(custom, "MapGrids");
  ReleasePtr<IGIS_DataBuffer> listBuffer = BufferOf(list);
  const StoredSetView listView(listBuffer.get());
  int nCount = 0;
  listView.Read("Count", &nCount);
  std::vector<std::string> out;
  for (int k = 1; k <= nCount; ++k) {
    const Bytes data = StoredKey(StoredKey(list, std::to_string(k).c_str()), "GridData");
    ReleasePtr<IGIS_DataBuffer> dataBuffer = BufferOf(data);
    const StoredSetView grid(dataBuffer.get());
    int nSource = -1;
    if (grid.Find("SpatialReference") != nullptr) {
      out.push_back("full");
    } else if (grid.Read("SharedSpatialReference", &nSource)) {
      out.push_back("shared " + std::to_string(nSource));
    } else {
      out.push_back("none");
    }
  }
  return out;
}

// The reference a test grid is given; Kind77 is a grid of a kind the
// library has no class for.
enum class Ref { Frame, Geographic, Unknown, NoGrid, Kind77 };

class SharedReferences : public MapFramePage {
 protected:
  // A frame bound to the test map holding a measured grid per entry (a
  // graticule for NoGrid).
  CGIS_MapElement* FrameWith(const std::vector<Ref>& refs) {
    CGIS_MapElement* f = NewFrame();
    f->SetMapName("测试地图");
    IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
    for (std::size_t i = 0; i < refs.size(); ++i) {
      if (refs[i] == Ref::Kind77) {
        EXPECT_TRUE(f->GetMapGrids()->AddMapGrid(new md::test::TestGrid(&journal_, "k" + std::to_string(i))));
        continue;
      }
      IGIS_MapGrid* grid = GIS_CreateMapGridPropertyObject(refs[i] == Ref::NoGrid ? GIS_MAPGRID_GRATICULE
                                                                                  : GIS_MAPGRID_MEASURE);
      grid->SetName(("g" + std::to_string(i)).c_str());
      if (auto* measured = dynamic_cast<IGIS_MeasureGrid*>(grid)) {
        ReleasePtr<IGIS_SpatialReference> other(
            factory->CreateSpatialReference(refs[i] == Ref::Geographic ? 1 : 0));
        measured->SetSpatialReference(refs[i] == Ref::Frame ? f->GetSpatialReference() : other.get());
      }
      EXPECT_TRUE(f->GetMapGrids()->AddMapGrid(grid));
    }
    return f;
  }

  // The references of a frame's measured grids, as bytes, in list order.
  static std::vector<Bytes> GridReferences(CGIS_MapElement* f) {
    std::vector<Bytes> out;
    for (int i = 0; i < f->GetMapGrids()->GetCount(); ++i) {
      if (auto* m = dynamic_cast<IGIS_MeasureGrid*>(f->GetMapGrids()->GetMapGrid(i)))
        out.push_back(ReferenceBytes(m->GetSpatialReference()));
    }
    return out;
  }

  // A second frame reading the first's feature, as a host loading the page.
  CGIS_MapElement* ReadBack(CGIS_MapElement* f) {
    auto* g = new CGIS_MapElement(set_, f->GetFeaturePtr());
    frames_.push_back(g);
    EXPECT_TRUE(g->Archive(1, 0));
    return g;
  }
};

TEST_F(SharedReferences, EachDistinctReferenceIsStoredOnceAndReadsBackEqual) {
  struct Case {
    std::vector<Ref> refs;
    std::vector<std::string> stored;
  };
  const Case cases[] = {
      {{Ref::Frame}, {"shared 0"}},
      {{Ref::Geographic}, {"full"}},
      {{Ref::Geographic, Ref::Unknown}, {"full", "full"}},
      {{Ref::NoGrid, Ref::Geographic, Ref::Frame, Ref::Geographic}, {"none", "full", "shared 0", "shared 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.stored));
    CGIS_MapElement* f = FrameWith(c.refs);
    ASSERT_TRUE(f->Archive(0, 0));
    EXPECT_EQ(StoredReferences(f->GetFeaturePtr()), c.stored);
    const Bytes first = BytesOf(f->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"));
    // The frame stores the list as the list saves itself sharing the frame's reference.
    md::layout::grid::ReferenceShare share;
    share.Add(md::layout::grid::ReferenceShare::kFrame, ReferenceBytes(f->GetSpatialReference()));
    ReleasePtr<IGIS_DataBuffer> list(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(static_cast<CGIS_MapGrids*>(f->GetMapGrids())->Save(list.get(), &share));
    EXPECT_EQ(BytesOf(list.get()), StoredKey(first, "MapGrids"));

    CGIS_MapElement* g = ReadBack(f);
    EXPECT_EQ(GridReferences(g), GridReferences(f));
    ASSERT_TRUE(g->Archive(0, 0));
    EXPECT_EQ(BytesOf(f->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom")), first);
  }
}

TEST_F(SharedReferences, AFrameStoredWithAReferencePerGridReadsAsStoredAndIsWrittenShared) {
  CGIS_MapElement* f = FrameWith({Ref::Frame, Ref::Geographic, Ref::Geographic});
  ASSERT_TRUE(f->Archive(0, 0));
  // The list as a frame stored it before references were shared: each grid
  // with its own bytes.
  ReleasePtr<IGIS_DataBuffer> list(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(static_cast<IGIS_MapGrids*>(f->GetMapGrids())->Save(list.get()));
  md::basilo::ReleasePtr<IGIS_PropertySet> custom(CustomOf(f));
  IGIS_DataBuffer* stored = custom->GetProperty("MapGrids")->GetDataBuffer();
  ASSERT_TRUE(stored->SetSize(list->GetSize()));
  std::copy(list->GetData(), list->GetData() + list->GetSize(), stored->GetData());
  ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  custom->Archive(out.get(), GIS_ARCHIVE_WRITE, 0);
  f->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", out.get(), 0);
  ASSERT_EQ(StoredReferences(f->GetFeaturePtr()), (std::vector<std::string>{"full", "full", "full"}));

  CGIS_MapElement* g = ReadBack(f);
  EXPECT_EQ(GridReferences(g), GridReferences(f));
  ASSERT_TRUE(g->Archive(0, 0));
  EXPECT_EQ(StoredReferences(f->GetFeaturePtr()), (std::vector<std::string>{"shared 0", "full", "shared 2"}));
}

// The stored grid list of a frame's feature.
Bytes StoredList(IGIS_Feature* feature) {
  return StoredKey(BytesOf(feature->GetAttributes()->GetDataBuffer("Custom")), "MapGrids");
}

// A frame read with entries it keeps as stored bytes (a kind without a
// class, entries beyond the grids a list holds, some sharing references)
// gives a copy that stores the same grid list.
TEST_F(SharedReferences, ACloneStoresTheEntriesKeptAsStoredWhereTheyWere) {
  std::vector<Ref> many;
  for (int i = 0; i < CGIS_MapGrids::kMaxGrids; ++i)
    many.push_back(i % 2 == 0 ? Ref::Frame : Ref::Geographic);
  struct Case {
    const char* name;
    std::vector<Ref> refs;
    int nAppended;  // copies of entries 1, 2, ... appended to the stored list
    int nBuilt;     // grids the read frame holds
  };
  const Case cases[] = {
      {"unknown kind", {Ref::Frame, Ref::Kind77, Ref::Geographic, Ref::Geographic}, 0, 3},
      {"beyond the cap", many, 3, CGIS_MapGrids::kMaxGrids},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CGIS_MapElement* f = FrameWith(c.refs);
    ASSERT_TRUE(f->Archive(0, 0));
    if (c.nAppended > 0) {
      // Entries past the cap, as a list written elsewhere stores them.
      md::basilo::ReleasePtr<IGIS_PropertySet> custom(CustomOf(f));
      IGIS_DataBuffer* stored = custom->GetProperty("MapGrids")->GetDataBuffer();
      ReleasePtr<IGIS_PropertySet> list(GIS_CreatePropertySetObject());
      ASSERT_TRUE(list->Archive(stored, GIS_ARCHIVE_READ, 0));
      const int nCount = static_cast<int>(c.refs.size());
      list->GetProperty("Count")->SetInt(nCount + c.nAppended);
      for (int k = 1; k <= c.nAppended; ++k) {
        const std::string key = std::to_string(nCount + k);
        IGIS_DataBuffer* from = list->GetProperty(std::to_string(k).c_str())->GetDataBuffer();
        const Bytes entry = BytesOf(from);
        IGIS_DataBuffer* to =
            list->AddProperty(key.c_str(), key.c_str(), GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer();
        ASSERT_TRUE(to->SetSize(static_cast<int>(entry.size())));
        std::copy(entry.begin(), entry.end(), to->GetData());
      }
      ASSERT_TRUE(list->Archive(stored, GIS_ARCHIVE_WRITE, 0));
      ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
      custom->Archive(out.get(), GIS_ARCHIVE_WRITE, 0);
      f->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", out.get(), 0);
    }
    CGIS_MapElement* g = ReadBack(f);
    ASSERT_EQ(g->GetMapGrids()->GetCount(), c.nBuilt);
    ASSERT_TRUE(g->Archive(0, 0));
    const Bytes original = StoredList(g->GetFeaturePtr());
    ASSERT_EQ(StoredReferences(g->GetFeaturePtr()).size(), c.refs.size() + c.nAppended);

    IGIS_Element* e = g->Clone();
    ASSERT_NE(e, nullptr);
    ASSERT_TRUE(e->Archive(0, 0));
    EXPECT_EQ(StoredList(e->GetFeaturePtr()), original);
    EXPECT_EQ(StoredReferences(e->GetFeaturePtr()), StoredReferences(g->GetFeaturePtr()));
    if (!set_->DeleteElement(e)) e->Release();
  }
}

}  // namespace
