// Different pages drawn, stored and read on different threads at once: four
// threads print the demo's two pages (each thread its own copy, the map
// sheets over one document) in three rounds while two more save pages,
// read them back and convert their elements. Every print is the page printed
// alone, pixel for pixel, and every page read back holds the elements saved,
// each storing the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <barrier>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

// Low enough to keep the run short under ThreadSanitizer, fine enough that
// the sheet's grids and every text are drawn.
constexpr int kDpi = 50;
constexpr int kRounds = 3;
constexpr int kPrinters = 4;
constexpr int kStorers = 2;

// The two pages: the sample page and the map sheet over the document.
std::unique_ptr<md::demo::Page> Build(bool sheet, const md::demo::MapDocument& doc) {
  return sheet ? md::demo::BuildMapSheetPage(doc, nullptr) : md::demo::BuildSamplePage(nullptr);
}

// The page's print, empty with the reason in `error`.
md::canvas::Raster Print(md::demo::Page& page, std::string* error) {
  auto canvas = md::demo::PrintRaster(page, kDpi, &md::text::FixedMetricsEngine(), error);
  return canvas != nullptr ? md::canvas::ReadRaster(*canvas) : md::canvas::Raster{};
}

// One thread's rounds: what went wrong, one line each.
using Failures = std::vector<std::string>;

// Prints its own copy of a page in every round, once every thread has built
// its page: the first drawings, which fill the process's caches, meet.
void PrintRounds(bool sheet, const md::demo::MapDocument& doc, std::barrier<>* built,
                 std::vector<md::canvas::Raster>* prints, Failures* failures) {
  auto page = Build(sheet, doc);
  built->arrive_and_wait();
  if (page == nullptr) return failures->push_back("the page could not be built");
  for (int round = 0; round < kRounds; ++round) {
    std::string error;
    prints->push_back(Print(*page, &error));
    if (prints->back().pixels.empty()) failures->push_back("round " + std::to_string(round) + ": " + error);
  }
}

// Saves its own copy of a page and reads it into a fresh page, which is
// stored again, in every round: the copy holds elements of the same types in
// the same order, each storing the bytes its original stored. Then converts
// the copy's elements into plain ones.
void StoreRounds(bool sheet, const md::demo::MapDocument& doc, std::barrier<>* built,
                 const std::filesystem::path& folder, Failures* failures) {
  auto page = Build(sheet, doc);
  built->arrive_and_wait();
  if (page == nullptr) return failures->push_back("the page could not be built");
  for (int round = 0; round < kRounds; ++round) {
    const std::string r = "round " + std::to_string(round) + ": ";
    const std::string file = (folder / ("page" + std::to_string(round) + ".mdfs")).string();
    std::string error;
    if (!md::demo::SavePage(*page, file, &error)) return failures->push_back(r + error);
    auto loaded = md::demo::LoadPage(file, &error, sheet ? doc.LayoutLayer() : nullptr);
    if (loaded == nullptr || !md::demo::StoreElements(*loaded, &error)) return failures->push_back(r + error);
    const std::vector<IGIS_Element*>& saved = page->elements();
    const std::vector<IGIS_Element*>& read = loaded->elements();
    if (read.size() != saved.size())
      failures->push_back(r + "the copy holds " + std::to_string(read.size()) + " elements, not " +
                          std::to_string(saved.size()));
    for (std::size_t i = 0; i < std::min(read.size(), saved.size()); ++i) {
      if (std::string(read[i]->GetType()) != saved[i]->GetType() ||
          md::test::CustomBytes(read[i]) != md::test::CustomBytes(saved[i]))
        failures->push_back(r + "element " + std::to_string(i) + " (" + saved[i]->GetType() +
                            ") reads back otherwise");
    }
    int converted = 0;
    for (IGIS_Element* e : loaded->TopLevel()) {
      if (!e->CanConvert()) continue;
      IGIS_Element* plain = e->ConvertToElement();
      if (plain == nullptr) failures->push_back(r + e->GetType() + " was not converted");
      if (plain != nullptr) plain->Release();
      ++converted;
    }
    if (converted == 0) failures->push_back(r + "no element was converted");
  }
}

TEST(PageThreads, PagesPrintedStoredAndReadAtOnceAreThePagesAlone) {
  md::test::FixedText fixed;
  const md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());

  std::vector<std::vector<md::canvas::Raster>> prints(kPrinters);
  std::vector<Failures> failures(kPrinters + kStorers);
  {
    std::barrier<> built(kPrinters + kStorers);
    std::vector<std::jthread> threads;
    for (int t = 0; t < kPrinters; ++t)
      threads.emplace_back(PrintRounds, t % 2 == 1, std::cref(doc), &built, &prints[t], &failures[t]);
    for (int s = 0; s < kStorers; ++s)
      threads.emplace_back(StoreRounds, s % 2 == 1, std::cref(doc), &built,
                           md::test::ScratchFolder("page-threads-" + std::to_string(s)),
                           &failures[kPrinters + s]);
  }
  for (std::size_t t = 0; t < failures.size(); ++t)
    for (const std::string& f : failures[t]) ADD_FAILURE() << "thread " << t << ", " << f;

  // Each page printed alone, once every thread has finished.
  for (bool sheet : {false, true}) {
    SCOPED_TRACE(sheet ? "map sheet" : "sample page");
    auto page = Build(sheet, doc);
    ASSERT_NE(page, nullptr);
    std::string error;
    const md::canvas::Raster alone = Print(*page, &error);
    ASSERT_FALSE(alone.pixels.empty()) << error;
    for (int t = sheet ? 1 : 0; t < kPrinters; t += 2) {
      for (std::size_t round = 0; round < prints[t].size(); ++round) {
        const md::canvas::Difference d = md::canvas::Compare(alone, prints[t][round], 0);
        EXPECT_TRUE(d.sameSize && d.differing == 0)
            << "thread " << t << ", round " << round << ": " << d.differing << " pixels differ";
      }
    }
  }
}

}  // namespace
