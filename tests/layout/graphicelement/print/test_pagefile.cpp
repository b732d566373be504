// A page saved and read back whole through the feature set alone: saving has
// every element store itself, loading rebuilds every element from its type;
// and a page printed through the library's print calls, or refused with a
// record that says why.
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/support/logmark.h"

namespace {

namespace fs = std::filesystem;
using md::basilo::ReleasePtr;

struct Folder {
  Folder() : path(fs::temp_directory_path() / ("pagefile-" + std::to_string(::getpid()))) {
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::string File(const char* name) const { return (path / name).string(); }
  fs::path path;
};

IGIS_FeatureSet* NewPage() { return GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr); }

// A page of a text and a rectangle, set up through their interfaces only.
struct TwoElements {
  TwoElements() {
    text = dynamic_cast<IGIS_TextElement*>(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_TEXT));
    rect = dynamic_cast<IGIS_RectElement*>(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT));
    text->SetText("标题 Title");
    text->SetLBpoint(SGIS_Point(1000, 5000, 0));
    rect->SetRect(SGIS_Rect(1000, 4000, 6000, 1000));
  }
  ~TwoElements() {
    rect->Release();
    text->Release();
  }
  ReleasePtr<IGIS_FeatureSet> page{NewPage()};
  IGIS_TextElement* text;
  IGIS_RectElement* rect;
};

TEST(PageFile, ANewPageHasItsSpatialReference) {
  ReleasePtr<IGIS_FeatureSet> page(NewPage());
  IGIS_SpatialReference* reference = page->GetFeatureClass()->GetSpatialReference();
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(reference->GetKind(), GIS_SPATIALREFERENCE_NONE);
}

TEST(PageFile, SavedWithoutArchiveComesBackWhole) {
  Folder folder;
  TwoElements first;
  const SGIS_Rect rect = first.rect->GetRect();
  ASSERT_TRUE(first.page->SaveToFile(folder.File("page.mdfs").c_str()));

  ReleasePtr<IGIS_FeatureSet> loaded(NewPage());
  ASSERT_TRUE(loaded->LoadPageFromFile(folder.File("page.mdfs").c_str()));
  auto* text = dynamic_cast<IGIS_TextElement*>(loaded->GetElement(first.text->GetID()));
  auto* box = dynamic_cast<IGIS_RectElement*>(loaded->GetElement(first.rect->GetID()));
  ASSERT_NE(text, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(text->GetText(), "标题 Title");
  EXPECT_EQ(box->GetRect().left, rect.left);
  EXPECT_EQ(box->GetRect().top, rect.top);
}

TEST(PageFile, EndingALoadedPageEndsEveryElementItRebuilt) {
  // More elements than the ending looks ahead, so that every step of it runs.
  Folder folder;
  ReleasePtr<IGIS_FeatureSet> page(NewPage());
  std::vector<IGIS_Element*> made;
  for (int i = 0; i < 11; ++i) made.push_back(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT));
  ASSERT_TRUE(page->SaveToFile(folder.File("many.mdfs").c_str()));
  const int before = GIS_GetRegisteredElementCount();
  IGIS_FeatureSet* loaded = NewPage();
  ASSERT_TRUE(loaded->LoadPageFromFile(folder.File("many.mdfs").c_str()));
  EXPECT_EQ(GIS_GetRegisteredElementCount(), before + 11);
  loaded->Release();
  EXPECT_EQ(GIS_GetRegisteredElementCount(), before);
  for (IGIS_Element* e : made) e->Release();
}

TEST(PageFile, AnUnknownTypeRefusesTheLoadAndPutsTheFeaturesBack) {
  Folder folder;
  TwoElements first;
  // A feature of no element whose type the factory builds nothing for.
  IGIS_Feature* stray = first.page->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  stray->GetAttributes()->SetString("TYPE", "GIS_TYPE_GRAPHIC_ELEMENT_ARC");
  ASSERT_TRUE(first.page->SaveToFile(folder.File("page.mdfs").c_str()));

  ReleasePtr<IGIS_FeatureSet> loaded(NewPage());
  md::test::LogMark mark;
  EXPECT_FALSE(loaded->LoadPageFromFile(folder.File("page.mdfs").c_str()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_STORAGE, "CGIS_FeatureSet::LoadPageFromFile"));
  EXPECT_EQ(loaded->GetFeatureCount(), 0);
}

struct Refusal {
  const char* name;
  bool dropReference;
  bool withoutElements;
  int dpi;
  const char* file;
  const char* method;
};

class PagePrint : public ::testing::TestWithParam<Refusal> {};

TEST_P(PagePrint, IsRefusedWithARecordAndNoFile) {
  const Refusal& r = GetParam();
  Folder folder;
  TwoElements first;
  ReleasePtr<IGIS_FeatureSet> page(NewPage());
  IGIS_FeatureSet* printed = first.page.get();
  if (r.withoutElements) {
    ASSERT_TRUE(first.page->SaveToFile(folder.File("page.mdfs").c_str()));
    ASSERT_TRUE(page->LoadFromFile(folder.File("page.mdfs").c_str()));
    printed = page.get();
  }
  if (r.dropReference) printed->GetFeatureClass()->SetSpatialReference(nullptr);
  md::test::LogMark mark;
  EXPECT_FALSE(GIS_PrintPageToFile(printed, 29700, 21000, r.dpi, folder.File(r.file).c_str()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, r.method));
  EXPECT_FALSE(fs::exists(folder.File(r.file)));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, PagePrint,
    ::testing::Values(Refusal{"NoSpatialReference", true, false, 100, "a.png", "GIS_PrintPageToFile"},
                      Refusal{"FeaturesWithoutElements", false, true, 100, "a.png", "GIS_PrintPageToFile"},
                      Refusal{"RasterResolution", false, false, 601, "a.png", "GIS_PrintPageToFile"},
                      Refusal{"UnknownEnding", false, false, 100, "a.jpg", "GIS_PrintPageToFile"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// A bad path given to printing, saving or loading, and the one record it
// writes: NULL or empty named as such, a file that cannot be written with the
// system's reason. "{F}" stands for the test's folder, "*" for any text.
TEST(PageFile, ABadPathWritesWhatIsWrong) {
  enum Call { kPrint, kSave, kLoad, kLoadPage };
  const char* const kMethods[] = {"GIS_PrintPageToFile", "CGIS_FeatureSet::SaveToFile",
                                  "CGIS_FeatureSet::LoadFromFile", "CGIS_FeatureSet::LoadPageFromFile"};
  const struct {
    Call call;
    const char* path;  // NULL: none
    int level;
    const char* text;
  } rows[] = {
      {kPrint, nullptr, GIS_LOG_LEVEL_CHECK, "szPath == NULL"},
      {kPrint, "", GIS_LOG_LEVEL_CHECK, "szPath is empty"},
      {kPrint, "{F}/missing/a.png", GIS_LOG_LEVEL_STORAGE,
       "writing {F}/missing/a.png failed: cannot create {F}/missing/a.png.tmp.*: No such file or directory"},
      {kPrint, "{F}/ro.png", GIS_LOG_LEVEL_STORAGE, "writing {F}/ro.png failed: {F}/ro.png is read-only"},
      {kPrint, "{F}/dir.pdf", GIS_LOG_LEVEL_STORAGE,
       "writing {F}/dir.pdf failed: {F}/dir.pdf is not a regular file"},
      {kSave, nullptr, GIS_LOG_LEVEL_STORAGE, "szPath == NULL"},
      {kSave, "", GIS_LOG_LEVEL_STORAGE, "szPath is empty"},
      {kLoad, "", GIS_LOG_LEVEL_STORAGE, "szPath is empty"},
      {kLoadPage, "", GIS_LOG_LEVEL_STORAGE, "szPath is empty"},
  };
  Folder folder;
  fs::create_directory(folder.path / "dir.pdf");
  std::ofstream(folder.File("ro.png")) << "kept";
  fs::permissions(folder.File("ro.png"), fs::perms::owner_read);
  TwoElements first;
  IGIS_FeatureSet* page = first.page.get();
  const auto inFolder = [&folder](std::string text) {
    for (std::size_t at; (at = text.find("{F}")) != std::string::npos;) text.replace(at, 3, folder.path);
    return text;
  };
  for (const auto& row : rows) {
    const std::string path = inFolder(row.path != nullptr ? row.path : "");
    const char* p = row.path != nullptr ? path.c_str() : nullptr;
    SCOPED_TRACE(std::string(kMethods[row.call]) + " " + (p != nullptr ? "\"" + path + "\"" : "NULL"));
    md::test::LogMark mark;
    EXPECT_FALSE(row.call == kPrint  ? GIS_PrintPageToFile(page, 29700, 21000, 72, p)
                 : row.call == kSave ? page->SaveToFile(p)
                 : row.call == kLoad ? page->LoadFromFile(p)
                                     : page->LoadPageFromFile(p));
    const std::vector<SGIS_LogRecord> records = mark.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, row.level);
    EXPECT_EQ(records[0].method, kMethods[row.call]);
    EXPECT_EQ(fnmatch(inFolder(row.text).c_str(), records[0].text.c_str(), 0), 0) << records[0].text;
  }
  EXPECT_FALSE(fs::exists(folder.path / "missing"));
}

TEST(PagePrint, PrintsToPngAndPdf) {
  Folder folder;
  TwoElements first;
  EXPECT_TRUE(GIS_PrintPageToFile(first.page.get(), 29700, 21000, 72, folder.File("a.png").c_str()));
  EXPECT_TRUE(GIS_PrintPageToFile(first.page.get(), 29700, 21000, GIS_PRINT_VECTOR_DPI,
                                  folder.File("a.pdf").c_str()));
  EXPECT_GT(fs::file_size(folder.File("a.png")), 0u);
  EXPECT_GT(fs::file_size(folder.File("a.pdf")), 0u);
}

}  // namespace
