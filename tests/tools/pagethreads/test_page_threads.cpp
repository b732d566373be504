// Pages drawn, stored and read on several threads at once, and the objects they share.
#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/ole/igis_oleelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "platform/imaging/picturecache.h"
#include "tests/support/oddfiles.h"
#include "tests/support/onthreads.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

// Low enough to keep the run short under ThreadSanitizer, fine enough that
// the sheet's grids and every text are drawn.
constexpr int kDpi = 50, kRounds = 3, kPrinters = 4, kStorers = 2, kThreads = 4;

// The type and stored bytes of each of the page's elements, in order.
std::vector<std::pair<std::string, std::vector<BYTE>>> Contents(const md::demo::Page& page) {
  std::vector<std::pair<std::string, std::vector<BYTE>>> contents;
  for (IGIS_Element* e : page.elements()) contents.emplace_back(e->GetType(), md::test::CustomBytes(e));
  return contents;
}

// Four threads print the sample page and the map sheet over one document
// (each its own copy) in three rounds, while two more save a page, read it
// back and convert its elements: every print is the page printed alone, and
// every copy read back stores what was saved.
TEST(PageThreads, PagesPrintedStoredAndReadAtOnceAreThePagesAlone) {
  md::test::FixedText fixed;
  const md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto build = [&doc](int t) {  // the map sheet for odd t
    return t % 2 == 1 ? md::demo::BuildMapSheetPage(doc, nullptr) : md::demo::BuildSamplePage(nullptr);
  };
  std::vector<std::vector<md::canvas::Raster>> prints(kPrinters);
  // All pages are built before any draws: the first drawings, which fill the
  // process's caches, meet.
  std::barrier<> built(kPrinters + kStorers);
  md::test::OnThreads(kPrinters + kStorers, [&](int t) {
    auto page = build(t);
    built.arrive_and_wait();
    ASSERT_NE(page, nullptr) << "thread " << t;
    for (int round = 0; round < kRounds; ++round) {
      SCOPED_TRACE("thread " + std::to_string(t) + ", round " + std::to_string(round));
      if (t < kPrinters) {
        prints[t].push_back(md::test::Print(*page, kDpi));
        continue;
      }
      auto loaded =
          md::test::SavedAndReloaded(*page, md::test::ScratchFolder("page-threads-" + std::to_string(t)),
                                     t % 2 == 1 ? doc.LayoutLayer() : nullptr);
      ASSERT_NE(loaded, nullptr);
      EXPECT_EQ(Contents(*loaded), Contents(*page));
      const std::vector<IGIS_Element*> top = loaded->TopLevel();
      EXPECT_TRUE(std::ranges::any_of(top, [](IGIS_Element* e) { return e->CanConvert(); }));
      for (IGIS_Element* e : top)
        EXPECT_TRUE(!e->CanConvert() || md::basilo::ReleasePtr<IGIS_Element>(e->ConvertToElement()))
            << e->GetType();
    }
  });
  for (int t : {0, 1}) {  // each page printed alone, once every thread has ended
    auto page = build(t);
    ASSERT_NE(page, nullptr);
    const md::canvas::Raster alone = md::test::Print(*page, kDpi);  // its failure is recorded
    for (int p = t; p < kPrinters; p += 2)
      for (std::size_t round = 0; round < prints[p].size(); ++round) {
        const md::canvas::Difference d = md::canvas::Compare(alone, prints[p][round], 0);
        EXPECT_TRUE(d.sameSize && d.differing == 0)
            << "thread " << p << ", round " << round << ": " << d.differing << " pixels differ";
      }
  }
}

// What the library's print call (FreeType text) writes to <name>.png and
// <name>.pdf, but the PDF's creation date, the one thing two prints of a page
// differ in.
std::string PrintedFiles(md::demo::Page& page, const std::string& name) {
  std::string files;
  for (const auto& [ending, dpi] : {std::pair{".png", kDpi}, {".pdf", GIS_PRINT_VECTOR_DPI}}) {
    EXPECT_TRUE(
        GIS_PrintPageToFile(page.featureSet(), page.width(), page.height(), dpi, (name + ending).c_str()));
    files += md::test::FileText(name + ending);
  }
  const std::size_t at = files.find("/CreationDate (");
  return at == std::string::npos ? files : files.erase(at, files.find(')', at) + 1 - at);
}

// The same four threads printing to PNG and to PDF with the FreeType engine
// the print call uses, while two change the pictures' capacity (to nothing
// kept, and back) as the others print: every file is the page's printed alone.
TEST(PageThreads, PagesPrintedToFilesAtOnceAreThePagesAlone) {
  const md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto build = [&doc](int t) {
    return t % 2 == 1 ? md::demo::BuildMapSheetPage(doc, nullptr) : md::demo::BuildSamplePage(nullptr);
  };
  const std::string folder = md::test::ScratchFolder("page-threads-files").string() + "/";
  const std::size_t capacity = md::imaging::PictureCacheCapacity();
  std::vector<std::string> printed(kPrinters);
  std::barrier<> built(kPrinters);
  md::test::OnThreads(kPrinters, [&](int t) {
    auto page = build(t);
    built.arrive_and_wait();
    ASSERT_NE(page, nullptr) << "thread " << t;
    if (t < 2) md::imaging::SetPictureCacheCapacity(0);
    printed[t] = PrintedFiles(*page, folder + std::to_string(t));
    if (t < 2) md::imaging::SetPictureCacheCapacity(capacity);
  });
  for (int t : {0, 1}) {  // each page printed alone, once every thread has ended
    auto page = build(t);
    ASSERT_NE(page, nullptr);
    const std::string alone = PrintedFiles(*page, folder + "alone" + std::to_string(t));
    for (int p = t; p < kPrinters; p += 2)
      EXPECT_TRUE(printed[p] == alone) << "thread " << p << "'s files differ";
  }
}

// Frames asking first on several threads at once get the one border factory.
TEST(MapBorderFactoryThreads, FramesAskingFirstOnSeveralThreadsGetOneFactory) {
  std::vector<IGIS_MapBorderFactory*> got(kThreads);
  std::barrier<> start(kThreads);
  md::test::OnThreads(kThreads,
                      [&](int t) { start.arrive_and_wait(), got[t] = GIS_GetMapBorderFactoryObject(); });
  EXPECT_NE(got[0], nullptr);
  EXPECT_EQ(got, std::vector<IGIS_MapBorderFactory*>(kThreads, GIS_GetMapBorderFactoryObject()));
}

// Object elements of pages on other threads end while one thread opens the
// object of its own element, the one last opened (it holds none: each fails).
TEST(OleElementThreads, ElementsEndWhileAnotherThreadOpensItsObject) {
  md::demo::Page edited;
  auto* opened = dynamic_cast<IGIS_OleElement*>(edited.Create(GIS_TYPE_GRAPHIC_ELEMENT_OLE));
  ASSERT_NE(opened, nullptr);
  md::test::OnThreads(kThreads, [opened](int t) {  // each other element ends with its page
    for (int i = 0; i < 50; ++i)
      EXPECT_TRUE(t == 0 ? !opened->ActivateObject(nullptr)
                         : md::demo::Page().Create(GIS_TYPE_GRAPHIC_ELEMENT_OLE) != nullptr);
  });
}

}  // namespace
