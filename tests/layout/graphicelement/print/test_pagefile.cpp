// A page saved and read back whole through the feature set alone: saving has
// every element store itself, loading rebuilds every element from its type;
// and a page printed through the library's print calls, or refused with a
// record that says why.
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/featra/pagehold.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/platform/imaging/imagefiles.h"
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

// A print that answers FALSE writes its file when it drew the page, an
// element that failed crossed out (its picture's file gone or refused), and
// none when it could not draw the page; each writes one record.
TEST(PagePrint, AFalsePrintWritesItsFileOnlyWhenItDrewThePage) {
  enum Page { kPage, kPictureGone, kPictureRefused, kInUse, kNoReference, kWithoutElements, kNull };
  const struct {
    const char* name;
    Page page;
    const char* file;  // in the test's folder
    int paperWidth, dpi;
    bool written;
  } rows[] = {
      {"picture file gone, PNG", kPictureGone, "gone.png", 29700, 72, true},
      {"picture file gone, PDF", kPictureGone, "gone.pdf", 29700, 72, true},
      {"picture file refused, PNG", kPictureRefused, "refused.png", 29700, 72, true},
      {"picture file refused, PNG", kPictureRefused, "refused.png", 29700, 72, true},
      {"page in use, PNG", kInUse, "used.png", 29700, 72, false},
      {"page in use, PDF", kInUse, "used.pdf", 29700, 72, false},
      {"no such folder, PNG", kPage, "missing/a.png", 29700, 72, false},
      {"no such folder, PDF", kPage, "missing/a.pdf", 29700, 72, false},
      {"unknown ending", kPage, "a.jpg", 29700, 72, false},
      {"NULL page", kNull, "null.pdf", 29700, 72, false},
      {"no spatial reference", kNoReference, "reference.pdf", 29700, 72, false},
      {"features without elements", kWithoutElements, "bare.pdf", 29700, 72, false},
      {"raster resolution", kPage, "fine.png", 29700, 601, false},
      {"vector resolution", kPage, "fine.pdf", 29700, GIS_PRINT_VECTOR_DPI + 1, false},
      {"paper without width", kPage, "flat.pdf", 0, 72, false},
      {"paper past a raster", kPage, "wide.png", 10000100, 36, false},
      {"paper past a printer", kPage, "wide.pdf", 10000100, 36, false},  // 100 m: a PDF, no printer
  };
  Folder folder;
  const std::string picture = folder.File("picture.png");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TwoElements first;
    ReleasePtr<IGIS_FeatureSet> bare(NewPage());
    IGIS_FeatureSet* page = row.page == kNull ? nullptr : first.page.get();
    if (row.page == kWithoutElements) {
      ASSERT_TRUE(first.page->SaveToFile(folder.File("page.mdfs").c_str()));
      ASSERT_TRUE(bare->LoadFromFile(folder.File("page.mdfs").c_str()));
      page = bare.get();
    }
    if (row.page == kNoReference) page->GetFeatureClass()->SetSpatialReference(nullptr);
    ReleasePtr<IGIS_Element> shown;
    if (row.page == kPictureGone || row.page == kPictureRefused) {
      namespace files = md::test::imagefiles;
      files::Bytes png = files::Png(8, 8, files::Opaque(8, 8));
      files::WriteAll(picture, png);
      shown.reset(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
      ASSERT_TRUE(dynamic_cast<IGIS_PictureElement*>(shown.get())->ImportPictureFromFile(picture.c_str()));
      shown->SetRect(SGIS_Rect(7000, 4000, 9000, 2000));
      png.resize(png.size() / 2);
      if (row.page == kPictureGone)
        fs::remove(picture);
      else
        files::WriteAll(picture, png);
    }
    std::binary_semaphore held{0}, done{0};
    std::jthread holder;
    if (row.page == kInUse) {
      holder = std::jthread([&] {
        const md::featra::PageHold hold(page, "test");
        held.release();
        done.acquire();
      });
      held.acquire();
    }
    const std::string file = folder.File(row.file);
    md::test::LogMark mark;
    EXPECT_FALSE(GIS_PrintPageToFile(page, row.paperWidth, 21000, row.dpi, file.c_str()));
    done.release();
    EXPECT_EQ(mark.Count(), 1u);
    EXPECT_EQ(fs::exists(file), row.written);
  }
}

// Paper larger than a print's output can take, in PNG as in PDF, answers
// FALSE, writes no file and names the paper and the longest side it takes.
TEST(PagePrint, PaperTooLargeIsNamedWithTheLongestSideTheOutputTakes) {
  const struct {
    const char* file;
    int paperWidth, paperHeight, dpi;
    const char* said;
  } rows[] = {
      {"wide.png", 10000000, 21000, 150,
       "paper 100000 x 210 mm is too large for a PNG: at most 5548.54 mm a side at 150 dpi"},
      {"huge.png", INT_MAX, INT_MAX, 36,
       "paper 21474836.47 x 21474836.47 mm is too large for a PNG: at most 23118.93 mm a side at 36 dpi"},
      {"wide.pdf", 10000000, 21000, GIS_PRINT_VECTOR_DPI,
       "paper 100000 x 210 mm is too large for a PDF: at most 40000 mm a side at 2540 dpi"},
      {"tall.pdf", 21000, 4000001, GIS_PRINT_VECTOR_DPI,
       "paper 210 x 40000.01 mm is too large for a PDF: at most 40000 mm a side at 2540 dpi"},
      {"huge.pdf", INT_MAX, INT_MAX, GIS_PRINT_VECTOR_DPI,
       "paper 21474836.47 x 21474836.47 mm is too large for a PDF: at most 40000 mm a side at 2540 dpi"},
  };
  Folder folder;
  TwoElements page;
  for (const auto& row : rows) {
    const std::string file = folder.File(row.file);
    md::test::LogMark mark;
    EXPECT_FALSE(GIS_PrintPageToFile(page.page.get(), row.paperWidth, row.paperHeight, row.dpi, file.c_str()))
        << row.file;
    EXPECT_EQ(mark.Count(), 1u) << row.file;
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "GIS_PrintPageToFile", row.said), 1) << row.file;
    EXPECT_FALSE(fs::exists(file)) << row.file;
  }
}

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
       "writing {F}/missing/a.png failed: cannot create {F}/missing/a.png: No such file or directory"},
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
