// Shared helpers of the demo tests: the sample page printed with the
// fixed-metrics text engine, and a scratch folder under the test output.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace md::test {

// The resolution of the render check and its reference picture.
constexpr int kCheckDpi = 100;

// Measures and draws text with the fixed-metrics engine while it lives.
class FixedText {
 public:
  FixedText() { GIS_SetSymbolTextEngine("fixed"); }
  ~FixedText() { GIS_SetSymbolTextEngine("freetype"); }
  FixedText(const FixedText&) = delete;
  FixedText& operator=(const FixedText&) = delete;
};

// The page printed at `dpi` with the fixed-metrics engine; empty on failure
// (the failure is recorded).
inline md::canvas::Raster Print(md::demo::Page& page, int dpi = kCheckDpi) {
  std::string error;
  auto canvas = md::demo::PrintRaster(page, dpi, &md::text::FixedMetricsEngine(), &error);
  EXPECT_NE(canvas, nullptr) << error;
  if (canvas == nullptr) return {};
  return md::canvas::ReadRaster(*canvas);
}

// The page's (first) map frame, or NULL.
inline IGIS_MapElement* FrameOf(md::demo::Page& page) {
  for (IGIS_Element* e : page.elements())
    if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) return frame;
  return nullptr;
}

// The bytes of an element's stored state (its feature's "Custom" buffer).
inline std::vector<BYTE> CustomBytes(IGIS_Element* element) {
  IGIS_DataBuffer* b = element->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  return b != nullptr && b->GetSize() > 0 ? std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize())
                                          : std::vector<BYTE>();
}

// An empty folder of its own under the test output.
inline std::filesystem::path ScratchFolder(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "demo" / name;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir);
  return dir;
}

// The page stored and saved to <folder>/first.mdfs, read back (showing
// `mapLayer`), and the copy stored and saved to <folder>/second.mdfs; the
// copy, or NULL with the failure recorded.
inline std::unique_ptr<md::demo::Page> SavedAndReloaded(md::demo::Page& page,
                                                        const std::filesystem::path& folder,
                                                        IGIS_MapLayer* mapLayer) {
  std::string error;
  if (!md::demo::StoreElements(page, &error) ||
      !md::demo::SavePage(page, (folder / "first.mdfs").string(), &error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  auto loaded = md::demo::LoadPage((folder / "first.mdfs").string(), &error, mapLayer);
  if (loaded == nullptr || !md::demo::StoreElements(*loaded, &error) ||
      !md::demo::SavePage(*loaded, (folder / "second.mdfs").string(), &error)) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  return loaded;
}

// SavedAndReloaded for a page with a map frame: the copy's frame holds
// `grids` grids and stores the same (non-empty) bytes as the page's.
inline std::unique_ptr<md::demo::Page> ReloadedSheet(md::demo::Page& page,
                                                     const std::filesystem::path& folder,
                                                     IGIS_MapLayer* mapLayer, int grids) {
  auto loaded = SavedAndReloaded(page, folder, mapLayer);
  IGIS_MapElement* frame = FrameOf(page);
  IGIS_MapElement* reloaded = loaded != nullptr ? FrameOf(*loaded) : nullptr;
  if (frame == nullptr || reloaded == nullptr) {
    ADD_FAILURE() << "no frame on the page or its copy";
    return nullptr;
  }
  EXPECT_EQ(reloaded->GetMapGrids()->GetCount(), grids);
  EXPECT_FALSE(CustomBytes(frame).empty());
  EXPECT_EQ(CustomBytes(reloaded), CustomBytes(frame));
  return loaded;
}

}  // namespace md::test
