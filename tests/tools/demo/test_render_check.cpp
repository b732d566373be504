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
// On failure the rendered page and a difference picture (differing pixels in
// red) are written to <build>/test-output/demo/render-check/.
#include <cstdlib>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/raster.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::test::FixedText;

// Largest channel difference a pixel may show and still count as equal, and
// how many pixels may differ beyond it.
constexpr int kTolerance = 48;
constexpr long long kAllowedPixels = 100;

std::string ReferencePath(const std::string& name = "sample-page") {
  return std::string(MD_SOURCE_DIR) + "/tests/tools/demo/reference/" + name + ".png";
}

bool UpdatingReference() {
  const char* v = std::getenv("MAPDECK_UPDATE_REFERENCE");
  return v != nullptr && std::string(v) == "1";
}

// Compares a printed page with the committed reference picture of that
// name, or rewrites the reference when asked to.
void CheckAgainstReference(const std::string& name, const md::canvas::Raster& rendered) {
  if (UpdatingReference()) {
    std::string error;
    ASSERT_TRUE(md::canvas::WritePng(rendered, ReferencePath(name), &error)) << error;
    GTEST_SKIP() << "reference written: " << ReferencePath(name);
  }
  md::canvas::Raster reference;
  std::string error;
  ASSERT_TRUE(md::canvas::ReadPng(ReferencePath(name), &reference, &error)) << error;
  const md::canvas::Difference d = md::canvas::Compare(reference, rendered, kTolerance);
  const bool same = d.sameSize && d.differing <= kAllowedPixels;
  if (!same) {
    const auto dir = md::test::ScratchFolder("render-check");
    const std::string renderedPath = (dir / (name + "-rendered.png")).string();
    const std::string diffPath = (dir / (name + "-difference.png")).string();
    md::canvas::WritePng(rendered, renderedPath, nullptr);
    if (d.sameSize)
      md::canvas::WritePng(md::canvas::DifferenceImage(reference, rendered, kTolerance), diffPath, nullptr);
    ADD_FAILURE() << "the page differs from " << ReferencePath(name) << ": "
                  << (d.sameSize ? std::to_string(d.differing) + " pixels beyond the tolerance (allowed " +
                                       std::to_string(kAllowedPixels) + ")"
                                 : std::string("the sizes differ"))
                  << "\n  rendered:   " << renderedPath << "\n  difference: " << diffPath
                  << "\n  if the change is meant, regenerate the reference (tests/tools/demo/README.md)";
  }
}

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

  CheckAgainstReference("sample-page", rendered);
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
  CheckAgainstReference("map-sheet", rendered);
}

// The check must notice a real change: one rectangle moved by a millimetre,
// or one fill in another colour, is far beyond what it allows.
TEST(RenderCheck, NoticesAMovedOrRecolouredElement) {
  if (UpdatingReference()) GTEST_SKIP() << "the reference is being rewritten";
  FixedText fixed;
  md::canvas::Raster reference;
  std::string error;
  ASSERT_TRUE(md::canvas::ReadPng(ReferencePath(), &reference, &error)) << error;

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
    const md::canvas::Difference d = md::canvas::Compare(reference, md::test::Print(*page), kTolerance);
    ASSERT_TRUE(d.sameSize);
    EXPECT_GT(d.differing, kAllowedPixels * 3);
  }
}

}  // namespace
