// The border library file: entries written and read back in order, entries
// that cannot be rebuilt carried through, a damaged file left untouched,
// and files replaced whole.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/basilo/igis_globalproperties.h"
#include "layout/graphicelement/element/libraryfile.h"
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderlibrary.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"
#include "tests/support/oddfiles.h"

namespace {

namespace fs = std::filesystem;
using md::test::LogMark;
using md::test::Owned;

std::vector<char> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class MapBorderLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(MD_TEST_OUTPUT_DIR) / "border-library" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "mapborder.ets").string();
  }
  // Two borders: a simple one and a calibrated one, named.
  void Fill(CGIS_MapBorderLibrary* lib) {
    Owned<CGIS_MapBorderSimple> s(new CGIS_MapBorderSimple());
    s->SetName("细线");
    s->SetBorderWidth(30);
    Owned<CGIS_MapBorderCalibrated> c(new CGIS_MapBorderCalibrated());
    c->SetName("分度带");
    c->SetInterval(2500);
    ASSERT_TRUE(lib->AddMapBorder(s.get()));
    ASSERT_TRUE(lib->AddMapBorder(c.get()));
  }
  fs::path dir_;
  std::string path_;
};

TEST_F(MapBorderLibrary, NoFileIsAnEmptyLibraryAndSavingWritesOne) {
  CGIS_MapBorderLibrary lib;
  EXPECT_TRUE(lib.Load(path_));
  EXPECT_EQ(lib.GetCount(), 0);
  EXPECT_TRUE(lib.SaveToFile());
  ASSERT_TRUE(fs::exists(path_));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  const std::vector<char> bytes = ReadAll(path_);
  IGIS_DataBuffer* b = md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end()));
  EXPECT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(set->GetCount(), 0);
  b->Release();
  set->Release();
}

TEST_F(MapBorderLibrary, EntriesComeBackInOrderUnderTheirIndexes) {
  {
    CGIS_MapBorderLibrary lib;
    lib.Load(path_);
    Fill(&lib);
    EXPECT_FALSE(lib.AddMapBorder(nullptr));
    EXPECT_TRUE(lib.SaveToFile());
  }
  CGIS_MapBorderLibrary again;
  EXPECT_TRUE(again.Load(path_));
  ASSERT_EQ(again.GetCount(), 2);
  EXPECT_STREQ(again.GetMapBorder(0)->GetName(), "细线");
  EXPECT_EQ(again.GetMapBorder(0)->GetBorderWidth(), 30);
  EXPECT_EQ(again.GetMapBorder(1)->GetType(), GIS_MAPBORDER_CALIBRATED);
  EXPECT_EQ(dynamic_cast<IGIS_MapBorderCalibrated*>(again.GetMapBorder(1))->GetInterval(), 2500);
  EXPECT_EQ(again.GetMapBorder(2), nullptr);

  // Removing the first renumbers the rest from "0".
  EXPECT_TRUE(again.RemoveMapBorder(0));
  EXPECT_FALSE(again.RemoveMapBorder(5));
  EXPECT_TRUE(again.SaveToFile());
  const std::vector<char> bytes = ReadAll(path_);
  IGIS_DataBuffer* b = md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end()));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  EXPECT_EQ(set->GetCount(), 1);
  EXPECT_NE(set->GetProperty("0"), nullptr);
  set->Release();
  b->Release();
  // Nothing is left beside the file.
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(MapBorderLibrary, EntriesThatCannotBeRebuiltAreCarriedThroughUnchanged) {
  // An entry of a kind this library does not know.
  IGIS_PropertySet* entry = GIS_CreatePropertySetObject();
  entry->AddProperty("MapBorderType", "MapBorderType", GIS_FIELD_TYPE_INT, 1)->SetInt(42);
  entry->AddProperty("Extra", "Extra", GIS_FIELD_TYPE_STRING, 1)->SetString("keep me");
  IGIS_PropertySet* file = GIS_CreatePropertySetObject();
  ASSERT_TRUE(entry->Archive(file->AddProperty("0", "0", GIS_FIELD_TYPE_BUFFER, 1)->GetDataBuffer(),
                             GIS_ARCHIVE_WRITE, 0));
  IGIS_DataBuffer* unknown = file->GetProperty("0")->GetDataBuffer();
  const std::vector<BYTE> unknownBytes(unknown->GetData(), unknown->GetData() + unknown->GetSize());
  IGIS_DataBuffer* out = GIS_CreateDataBufferObject(0);
  file->Archive(out, GIS_ARCHIVE_WRITE, 0);
  std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(out->GetData()), out->GetSize());
  out->Release();
  file->Release();
  entry->Release();

  CGIS_MapBorderLibrary lib;
  LogMark mark;
  EXPECT_TRUE(lib.Load(path_));
  EXPECT_EQ(lib.GetCount(), 0);
  EXPECT_EQ(lib.GetKeptCount(), 1);
  EXPECT_EQ(mark.Count(3, "CGIS_MapBorderLibrary::Init", "p_mapborder == NULL"), 1);
  Fill(&lib);
  EXPECT_TRUE(lib.SaveToFile());

  CGIS_MapBorderLibrary again;
  again.Load(path_);
  EXPECT_EQ(again.GetCount(), 2);
  ASSERT_EQ(again.GetKeptCount(), 1);
  const std::vector<char> bytes = ReadAll(path_);
  IGIS_DataBuffer* b = md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end()));
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(b, GIS_ARCHIVE_READ, 0));
  IGIS_DataBuffer* kept = set->GetProperty("2")->GetDataBuffer();
  EXPECT_EQ(std::vector<BYTE>(kept->GetData(), kept->GetData() + kept->GetSize()), unknownBytes);
  set->Release();
  b->Release();
}

TEST_F(MapBorderLibrary, DamagedFileIsNeverWrittenOver) {
  const std::string junk = "not a library \x01\x02\x03";
  std::ofstream(path_, std::ios::binary) << junk;
  CGIS_MapBorderLibrary lib;
  LogMark mark;
  EXPECT_FALSE(lib.Load(path_));
  EXPECT_TRUE(lib.IsUnreadable());
  EXPECT_TRUE(mark.Has(1, "CGIS_MapBorderLibrary::Init"));
  EXPECT_EQ(lib.GetCount(), 0);
  Fill(&lib);
  EXPECT_FALSE(lib.SaveToFile());
  EXPECT_TRUE(mark.Has(1, "CGIS_MapBorderLibrary::SaveToFile"));
  const std::vector<char> after = ReadAll(path_);
  EXPECT_EQ(std::string(after.begin(), after.end()), junk);
  // Another file may still be written from it.
  EXPECT_TRUE(lib.Save((dir_ / "copy.ets").string()));
}

TEST_F(MapBorderLibrary, OddFilesAreUnreadableWithoutWaitingAndNeverWrittenOver) {
  const md::test::OddPaths odd(dir_ / "odd", md::layout::kMaxLibraryFileBytes + 1);
  for (const auto& [name, path] : odd.All()) {
    SCOPED_TRACE(name);
    CGIS_MapBorderLibrary lib;
    EXPECT_TRUE(md::test::EndsWithoutWaiting(odd.pipe, [&] { EXPECT_FALSE(lib.Load(path)); }));
    EXPECT_TRUE(lib.IsUnreadable());
    Fill(&lib);
    EXPECT_FALSE(lib.SaveToFile());
  }
  EXPECT_EQ(fs::file_size(odd.big), md::layout::kMaxLibraryFileBytes + 1);
}

TEST_F(MapBorderLibrary, SavesKeepWhatTheUserSetOnTheFile) {
  md::test::ExpectSafeWrites(dir_ / "safe", [this](const std::string& path) {
    CGIS_MapBorderLibrary lib;
    Fill(&lib);
    return lib.Save(path);
  });
}

TEST_F(MapBorderLibrary, PathComesFromTheHostsSettings) {
  IGIS_GlobalProperties* globals = GIS_GetGlobalProperties();
  IGIS_Field* dir = globals->GetProperty("GLOBAL_GRAPHICELEMENT_CFG_DIR");
  if (dir == nullptr) {
    dir = GIS_CreateFieldObject();
    dir->SetName("GLOBAL_GRAPHICELEMENT_CFG_DIR");
    dir->SetType(GIS_FIELD_TYPE_STRING);
    ASSERT_TRUE(globals->AddProperty(dir));
  }
  const std::string old = dir->GetString() != nullptr ? dir->GetString() : "";
  dir->SetString(dir_.string().c_str());
  const std::string path = CGIS_MapBorderLibrary::GetFilePath();
  IGIS_Field* file = globals->GetProperty("GLOBAL_GRAPHICELEMENT_CFG_MAPBORDER");
  ASSERT_NE(file, nullptr);  // registered with its default when missing
  EXPECT_EQ(path, (dir_ / file->GetString()).string());
  CGIS_MapBorderLibrary lib;
  EXPECT_TRUE(lib.Init());
  Fill(&lib);
  EXPECT_TRUE(lib.SaveToFile());
  EXPECT_TRUE(fs::exists(path));
  dir->SetString(old.c_str());
}

}  // namespace
