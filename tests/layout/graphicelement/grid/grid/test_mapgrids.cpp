// The grid list: drawing order, the name rule, ownership, the stored form
// and its reading of damaged or unknown entries.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "tests/support/logmark.h"
#include "tests/support/mapgriddouble.h"

namespace {

// What the test grids did, in order.
struct Journal {
  std::vector<std::string> events;
};

class TestGrid final : public md::test::MapGridDouble<> {
 public:
  TestGrid(Journal* j, std::string name, bool visible = true, bool saves = true)
      : MapGridDouble(77, name), j_(j), saves_(saves) {
    visible_ = visible;
  }
  void Release() override {
    j_->events.push_back("release " + name_);
    delete this;
  }
  IGIS_MapGrid* Clone() override { return new TestGrid(j_, name_, visible_, saves_); }
  bool OnDraw(HDC, bool, IGIS_Display*) override {
    j_->events.push_back("draw " + name_);
    return true;
  }
  bool Save(IGIS_DataBuffer* pBuffer) override {
    if (!saves_) return false;
    pBuffer->SetSize(static_cast<int>(name_.size()));
    if (!name_.empty()) std::memcpy(pBuffer->GetData(), name_.data(), name_.size());
    return true;
  }

 private:
  ~TestGrid() override = default;
  Journal* j_;
  bool saves_;
};

struct ListDeleter {
  void operator()(CGIS_MapGrids* p) const { p->Release(); }
};
using List = std::unique_ptr<CGIS_MapGrids, ListDeleter>;
struct SetDeleter {
  void operator()(IGIS_PropertySet* p) const { p->Release(); }
};
using Set = std::unique_ptr<IGIS_PropertySet, SetDeleter>;
struct BufferDeleter {
  void operator()(IGIS_DataBuffer* p) const { p->Release(); }
};
using Buffer = std::unique_ptr<IGIS_DataBuffer, BufferDeleter>;

Set ReadSet(IGIS_DataBuffer* b) {
  Set s(GIS_CreatePropertySetObject());
  EXPECT_TRUE(s->Archive(b, GIS_ARCHIVE_READ, 0));
  return s;
}

TEST(MapGrids, DrawsVisibleGridsFromTheLastToTheFirst) {
  Journal j;
  List list(new CGIS_MapGrids());
  ASSERT_TRUE(list->AddMapGrid(new TestGrid(&j, "A")));
  ASSERT_TRUE(list->AddMapGrid(new TestGrid(&j, "B", false)));
  ASSERT_TRUE(list->AddMapGrid(new TestGrid(&j, "C")));
  EXPECT_TRUE(list->OnDraw(nullptr, false, nullptr, nullptr));
  EXPECT_EQ(j.events, (std::vector<std::string>{"draw C", "draw A"}));
  List empty(new CGIS_MapGrids());
  EXPECT_TRUE(empty->OnDraw(nullptr, false, nullptr, nullptr));
}

TEST(MapGrids, RefusesNullAndASecondGridOfTheSameName) {
  Journal j;
  List list(new CGIS_MapGrids());
  EXPECT_FALSE(list->AddMapGrid(nullptr));
  ASSERT_TRUE(list->AddMapGrid(new TestGrid(&j, "格网")));
  auto* same = new TestGrid(&j, "格网");
  EXPECT_FALSE(list->AddMapGrid(same));
  same->Release();  // refused: still the caller's
  EXPECT_TRUE(list->AddMapGrid(new TestGrid(&j, "格网 ")));
  EXPECT_TRUE(list->AddMapGrid(new TestGrid(&j, "格网1")));
  EXPECT_EQ(list->GetCount(), 3);
}

TEST(MapGrids, OwnsItsGridsUntilTakenOut) {
  Journal j;
  {
    List list(new CGIS_MapGrids());
    auto* a = new TestGrid(&j, "A");
    auto* b = new TestGrid(&j, "B");
    list->AddMapGrid(a);
    list->AddMapGrid(b);
    auto* stranger = new TestGrid(&j, "X");
    list->DeleteMapGrids(stranger);
    EXPECT_EQ(list->GetCount(), 2);
    list->DeleteMapGrids(a);
    EXPECT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetMapGrid(0), b);
    a->Release();
    stranger->Release();
    list->AddMapGrid(new TestGrid(&j, "C"));
    list->ReleaseMapGrids();
    EXPECT_EQ(list->GetCount(), 0);
  }
  // Each grid released exactly once, the list's own last to first.
  EXPECT_EQ(j.events, (std::vector<std::string>{"release A", "release X", "release C", "release B"}));
}

TEST(MapGrids, AnIndexOutOfRangeGivesNullAndALogRecord) {
  Journal j;
  List list(new CGIS_MapGrids());
  list->AddMapGrid(new TestGrid(&j, "A"));
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  EXPECT_EQ(list->GetMapGrid(1), nullptr);
  EXPECT_EQ(list->GetMapGrid(-1), nullptr);
  EXPECT_EQ(GIS_GetLogPtr()->GetRecordsSince(mark).size(), 2u);
  EXPECT_NE(list->GetMapGrid(0), nullptr);
}

TEST(MapGrids, StoresCountAndOneNumberedEntryPerSavedGrid) {
  Journal j;
  List list(new CGIS_MapGrids());
  list->AddMapGrid(new TestGrid(&j, "A"));
  list->AddMapGrid(new TestGrid(&j, "B", true, /*saves=*/false));
  list->AddMapGrid(new TestGrid(&j, "C"));
  Buffer b(GIS_CreateDataBufferObject(0));
  // A grid that failed to save makes the list's Save fail; the others are written.
  EXPECT_FALSE(list->Save(b.get()));
  Set outer = ReadSet(b.get());
  ASSERT_NE(outer->GetProperty("Count"), nullptr);
  EXPECT_EQ(outer->GetProperty("Count")->GetInt(), 3);
  EXPECT_NE(outer->GetProperty("1"), nullptr);
  EXPECT_EQ(outer->GetProperty("2"), nullptr);
  ASSERT_NE(outer->GetProperty("3"), nullptr);
  Set nested = ReadSet(outer->GetProperty("3")->GetDataBuffer());
  EXPECT_EQ(nested->GetProperty("GridType")->GetInt(), 77);
  IGIS_DataBuffer* data = nested->GetProperty("GridData")->GetDataBuffer();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data->GetData()), data->GetSize()), "C");
}

TEST(MapGrids, ReadingSkipsEntriesItCannotBuildAndBoundsTheCount) {
  // Stored counts and kinds that make nothing: negative, absurd, unknown
  // kinds, entries that are not property sets.
  for (int count : {-5, 0, 2, INT_MAX}) {
    Set outer(GIS_CreatePropertySetObject());
    outer->AddProperty("Count", "Count", GIS_FIELD_TYPE_INT, 1)->SetInt(count);
    Set nested(GIS_CreatePropertySetObject());
    nested->AddProperty("GridType", "GridType", GIS_FIELD_TYPE_INT, 1)->SetInt(9);
    nested->AddProperty("GridData", "GridData", GIS_FIELD_TYPE_BUFFER, 1);
    nested->Archive(outer->AddProperty("1", "1", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                    GIS_ARCHIVE_WRITE, 0);
    IGIS_DataBuffer* junk = outer->AddProperty("2", "2", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer();
    junk->SetSize(3);
    std::memcpy(junk->GetData(), "xyz", 3);
    Buffer b(GIS_CreateDataBufferObject(0));
    outer->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
    List list(new CGIS_MapGrids());
    EXPECT_TRUE(list->Open(b.get())) << count;
    EXPECT_EQ(list->GetCount(), 0) << count;
  }
  List list(new CGIS_MapGrids());
  EXPECT_FALSE(list->Open(nullptr));
  EXPECT_FALSE(list->Save(nullptr));
}

// The entry names of a stored list and the data of each, in order.
std::vector<std::string> Entries(IGIS_DataBuffer* b) {
  Set outer = ReadSet(b);
  std::vector<std::string> out;
  for (IGIS_Field* f = outer->GetFirstPosition(); f != nullptr; f = outer->GetNext(f)) {
    std::string entry = f->GetLabel();
    if (entry == "Count") {
      entry += "=" + std::to_string(f->GetInt());
    } else {
      Set nested = ReadSet(f->GetDataBuffer());
      IGIS_DataBuffer* data = nested->GetProperty("GridData")->GetDataBuffer();
      entry += "=" + std::string(reinterpret_cast<const char*>(data->GetData()), data->GetSize());
    }
    out.push_back(entry);
  }
  return out;
}

TEST(MapGrids, EntriesOfKindsWithoutAClassAreWrittenBackWhereTheyWere) {
  Journal j;
  // Stored: A, B (B fails, no entry), C, all of a kind this library lacks.
  Buffer stored(GIS_CreateDataBufferObject(0));
  {
    List list(new CGIS_MapGrids());
    list->AddMapGrid(new TestGrid(&j, "A"));
    list->AddMapGrid(new TestGrid(&j, "B", true, false));
    list->AddMapGrid(new TestGrid(&j, "C"));
    list->Save(stored.get());
  }
  List list(new CGIS_MapGrids());
  list->AddMapGrid(new TestGrid(&j, "first"));
  EXPECT_TRUE(list->Open(stored.get()));
  EXPECT_EQ(list->GetCount(), 1);
  list->AddMapGrid(new TestGrid(&j, "last"));
  Buffer again(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(list->Save(again.get()));
  EXPECT_EQ(Entries(again.get()), (std::vector<std::string>{"Count=4", "1=first", "2=A", "3=C", "4=last"}));
  // Taking out a grid before them keeps them behind the grids that were before.
  IGIS_MapGrid* first = list->GetMapGrid(0);
  list->DeleteMapGrids(first);
  first->Release();  // taken out: the caller's to end
  j.events.clear();
  EXPECT_TRUE(list->Save(again.get()));
  EXPECT_EQ(Entries(again.get()), (std::vector<std::string>{"Count=3", "1=A", "2=C", "3=last"}));
  // Read alone, the list writes the kept entries back byte for byte.
  List alone(new CGIS_MapGrids());
  alone->Open(again.get());
  EXPECT_EQ(alone->GetCount(), 0);
  Buffer third(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(alone->Save(third.get()));
  EXPECT_EQ(std::vector<BYTE>(third->GetData(), third->GetData() + third->GetSize()),
            std::vector<BYTE>(again->GetData(), again->GetData() + again->GetSize()));
  alone->ReleaseMapGrids();
  alone->Save(third.get());
  EXPECT_EQ(Entries(third.get()), (std::vector<std::string>{"Count=0"}));
}

TEST(MapGrids, TheTenthGridIsStoredUnderTen) {
  Journal j;
  List list(new CGIS_MapGrids());
  for (int i = 1; i <= 10; ++i) list->AddMapGrid(new TestGrid(&j, "g" + std::to_string(i)));
  Buffer b(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(list->Save(b.get()));
  const std::vector<std::string> entries = Entries(b.get());
  ASSERT_EQ(entries.size(), 11u);
  EXPECT_EQ(entries[0], "Count=10");
  EXPECT_EQ(entries[10], "10=g10");
}

// A stored list of n index grids named "g1", "g2", ...
std::vector<BYTE> StoredIndexGrids(int n) {
  Set outer(GIS_CreatePropertySetObject());
  outer->AddProperty("Count", "Count", GIS_FIELD_TYPE_INT, 1)->SetInt(n);
  for (int i = 1; i <= n; ++i) {
    IGIS_MapGrid* grid = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX);
    grid->SetName(("g" + std::to_string(i)).c_str());
    Set nested(GIS_CreatePropertySetObject());
    nested->AddProperty("GridType", "GridType", GIS_FIELD_TYPE_INT, 1)->SetInt(GIS_MAPGRID_INDEX);
    grid->Save(nested->AddProperty("GridData", "GridData", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer());
    grid->Release();
    const std::string key = std::to_string(i);
    nested->Archive(outer->AddProperty(key.c_str(), key.c_str(), GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                    GIS_ARCHIVE_WRITE, 0);
  }
  Buffer b(GIS_CreateDataBufferObject(0));
  outer->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

// A list holds at most kMaxGrids grids: the entries read beyond are kept as
// stored and written back unchanged, with one record.
TEST(MapGrids, EntriesBeyondTheGridsAListHoldsAreKeptAsStored) {
  constexpr int kMax = CGIS_MapGrids::kMaxGrids;
  struct Row {
    int stored;
    const char* record;  // "" for none
  };
  for (const Row& row : {Row{kMax, ""}, Row{kMax + 6, "6 grids beyond 64 kept as stored, not drawn"}}) {
    SCOPED_TRACE(row.stored);
    const std::vector<BYTE> stored = StoredIndexGrids(row.stored);
    Buffer b(GIS_CreateDataBufferObject(0));
    b->SetSize(static_cast<int>(stored.size()));
    std::memcpy(b->GetData(), stored.data(), stored.size());
    md::test::LogMark mark;
    List list(new CGIS_MapGrids());
    ASSERT_TRUE(list->Open(b.get()));
    EXPECT_EQ(list->GetCount(), kMax);
    EXPECT_EQ(mark.Count(), *row.record != '\0' ? 1u : 0u);
    if (*row.record != '\0') {
      EXPECT_TRUE(mark.Has(3, "CGIS_MapGrids::Open", row.record));
    }
    Buffer again(GIS_CreateDataBufferObject(0));
    ASSERT_TRUE(list->Save(again.get()));
    EXPECT_EQ(std::vector<BYTE>(again->GetData(), again->GetData() + again->GetSize()), stored);
  }
}

TEST(MapGrids, AFullListRefusesAnotherGridWithARecord) {
  Journal j;
  List list(new CGIS_MapGrids());
  for (int i = 0; i < CGIS_MapGrids::kMaxGrids; ++i)
    ASSERT_TRUE(list->AddMapGrid(new TestGrid(&j, "g" + std::to_string(i))));
  auto* extra = new TestGrid(&j, "extra");
  md::test::LogMark mark;
  EXPECT_FALSE(list->AddMapGrid(extra));
  EXPECT_TRUE(mark.Has(3, "CGIS_MapGrids::AddMapGrid", "64 grids held already"));
  EXPECT_EQ(list->GetCount(), CGIS_MapGrids::kMaxGrids);
  extra->Release();  // refused: still the caller's
  // Taking one out makes room again.
  IGIS_MapGrid* first = list->GetMapGrid(0);
  list->DeleteMapGrids(first);
  first->Release();
  EXPECT_TRUE(list->AddMapGrid(new TestGrid(&j, "after")));
}

}  // namespace
