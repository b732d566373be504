// The render check: the sample page, printed with the fixed-metrics text
// engine after a store-and-reload round, compared with the committed
// reference picture. A small per-pixel tolerance and a small allowed count
// of differing pixels absorb anti-aliasing differences between machines.
//
// When the picture is meant to change, regenerate the reference with (see
// README.md here):
//
//   MAPDECK_UPDATE_REFERENCE=1 build/tests/tools/demo/demo_tests --gtest_filter='RenderCheck.*'
//
// The check is the render check of every drawing feature
// (tests/support/rendercheck.h). On failure the rendered page and a
// difference picture (differing pixels in red) are written to
// <build>/test-output/render-checks/.

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/raster.h"
#include "tests/support/rendercheck.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::test::FixedText;

// A pixel counts as different when one of its channels differs by more
// than 48; at most 100 may. The whole pages have no masks.
constexpr md::test::RenderTolerance kPageTolerance{48, 100, false};
constexpr const char* kReferenceFolder = "tests/tools/demo/reference";

// The page as the check sees it: built, stored, saved, loaded into a fresh
// page and printed from there.
md::canvas::Raster PrintReloadedPage(md::canvas::Raster* firstPrint) {
  md::demo::BuildReport report;
  auto page = md::demo::BuildSamplePage(&report);
  EXPECT_NE(page, nullptr);
  if (page == nullptr) return {};
  std::string missing;
  for (const std::string& t : report.missingTypes) missing += " " + t;
  EXPECT_TRUE(report.missingTypes.empty()) << "the element factory builds no element of:" << missing;
  if (firstPrint != nullptr) *firstPrint = md::test::Print(*page);

  const std::string file = (md::test::ScratchFolder("render-check-page") / "page.mdfs").string();
  std::string error;
  EXPECT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  EXPECT_TRUE(md::demo::SavePage(*page, file, &error)) << error;
  page.reset();
  auto loaded = md::demo::LoadPage(file, &error);
  EXPECT_NE(loaded, nullptr) << error;
  if (loaded == nullptr) return {};
  return md::test::Print(*loaded);
}

TEST(RenderCheck, SamplePageMatchesTheReferencePicture) {
  FixedText fixed;
  md::canvas::Raster first;
  const md::canvas::Raster rendered = PrintReloadedPage(&first);
  ASSERT_FALSE(rendered.pixels.empty());

  // The page read back prints exactly as the page stored.
  const md::canvas::Difference self = md::canvas::Compare(first, rendered, 0);
  EXPECT_TRUE(self.sameSize);
  EXPECT_EQ(self.differing, 0);

  EXPECT_TRUE(md::test::MatchesControl(rendered, kReferenceFolder, "sample-page", kPageTolerance));
}

// The map sheet: the whole 1:50,000 sample sheet in its frame on A2 with its
// furniture, printed after a store-and-reload round through the same document.
TEST(RenderCheck, MapSheetMatchesTheReferencePicture) {
  FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  md::demo::BuildReport report;
  auto page = md::demo::BuildMapSheetPage(doc, &report);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(report.missingTypes.empty());
  const md::canvas::Raster first = md::test::Print(*page);
  const std::string file = (md::test::ScratchFolder("render-check-sheet") / "sheet.mdfs").string();
  std::string error;
  ASSERT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  ASSERT_TRUE(md::demo::SavePage(*page, file, &error)) << error;
  page.reset();
  auto loaded = md::demo::LoadPage(file, &error, doc.LayoutLayer());
  ASSERT_NE(loaded, nullptr) << error;
  loaded->SetPaper(md::demo::kSheetPaperWidth, md::demo::kSheetPaperHeight);
  const md::canvas::Raster rendered = md::test::Print(*loaded);
  const md::canvas::Difference self = md::canvas::Compare(first, rendered, 0);
  EXPECT_TRUE(self.sameSize);
  EXPECT_EQ(self.differing, 0);
  EXPECT_TRUE(md::test::MatchesControl(rendered, kReferenceFolder, "map-sheet", kPageTolerance));
}

// The check must notice a real change: one rectangle moved by a millimetre,
// or one fill in another colour, is far beyond what it allows.
TEST(RenderCheck, NoticesAMovedOrRecolouredElement) {
  if (md::test::UpdatingControls()) GTEST_SKIP() << "the reference is being rewritten";
  FixedText fixed;
  for (int variant = 0; variant < 2; ++variant) {
    SCOPED_TRACE(variant == 0 ? "moved" : "recoloured");
    auto page = md::demo::BuildSamplePage(nullptr);
    ASSERT_NE(page, nullptr);
    IGIS_Element* rect = nullptr;
    for (IGIS_Element* e : page->elements()) {
      if (std::string(e->GetType()) == GIS_TYPE_GRAPHIC_ELEMENT_RECT) {
        rect = e;
        break;
      }
    }
    ASSERT_NE(rect, nullptr);
    if (variant == 0) {
      rect->OffsetAllPoints(100, 0);
    } else {
      // Through the feature, as a host's symbol editor would change it.
      IGIS_Feature* f = rect->GetFeaturePtr();
      ASSERT_NE(f, nullptr);
      IGIS_Symbol* s = f->GetSymbol();
      ASSERT_NE(s, nullptr);
      s->SetColor(RGB(255, 0, 255));
    }
    EXPECT_FALSE(md::test::MatchesControl(md::test::Print(*page), kReferenceFolder, "sample-page",
                                          {kPageTolerance.channel, kPageTolerance.pixels * 3, false}));
  }
}

}  // namespace
