// The demo's map sheet read where its frame's map is missing: what follows
// the frame keeps its stored values through drawing, saving and an unedited
// sheet, draws what it can, and one record names the missing map.
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/ui/driver.h"
#include "tests/support/logmark.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::basilo::ReleasePtr;

// Every kind on the sheet that follows the frame, the frame itself (its
// grids) and the map index, which follows none.
const char* const kFollowers[] = {
    GIS_TYPE_GRAPHIC_ELEMENT_MAP,
    GIS_TYPE_GRAPHIC_ELEMENT_LEGEND,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE,
    GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW,
    GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH,
    GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE,
    GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX,
};
constexpr const char* kMissing = "FindMap(西山幅 1:5万) == NULL";

// The index of the page's first element of the type.
std::size_t IndexOf(md::demo::Page& page, const std::string& type) {
  std::size_t i = 0;
  while (i < page.elements().size() && type != page.elements()[i]->GetType()) ++i;
  return i;
}

// The element printed alone onto the sheet's paper.
md::canvas::Raster PrintOnly(md::demo::Page& page, IGIS_Element* e) {
  auto canvas = md::demo::NewPaperRaster(md::demo::kSheetPaperWidth / 100.0,
                                         md::demo::kSheetPaperHeight / 100.0, md::demo::kMinDpi, 1);
  std::string error;
  EXPECT_TRUE(md::demo::PrintElements(page, {e}, canvas.get(), md::demo::kMinDpi,
                                      &md::text::FixedMetricsEngine(), &error))
      << error;
  return md::canvas::ReadRaster(*canvas);
}

// The demo's map sheet, its scale bars in divisions of 1000 m, saved (and
// changed by `tamper` as read outside any document); what each element stored.
struct SavedSheet {
  md::demo::MapDocument doc{md::demo::SampleMapsFolder()};
  std::unique_ptr<md::demo::Page> page;
  std::filesystem::path file;
  std::vector<std::vector<BYTE>> stored;
  std::vector<SGIS_Rect> rects;

  explicit SavedSheet(const std::string& folder,
                      const std::function<void(md::demo::Page&)>& tamper = nullptr) {
    page = md::demo::BuildMapSheetPage(doc, nullptr);
    if (page == nullptr) return;
    for (IGIS_Element* e : page->elements()) {
      if (auto* bar = dynamic_cast<IGIS_ScaleBar*>(e)) {
        bar->SetUnits(md::demo::LinearUnitIndex("米"));
        bar->SetDivision(1000.0);
        bar->SetUnitLabel("米");
        bar->Refresh();
      }
    }
    file = md::test::ScratchFolder(folder) / "sheet.mdfs";
    std::string error;
    EXPECT_TRUE(md::demo::SavePage(*page, file.string(), &error)) << error;
    md::demo::Page* saved = page.get();
    // Changed as read outside any document, and saved again.
    std::unique_ptr<md::demo::Page> changed = tamper ? md::demo::LoadPage(file.string(), &error) : nullptr;
    if (changed != nullptr) {
      tamper(*changed);
      EXPECT_TRUE(md::demo::SavePage(*changed, file.string(), &error)) << error;
      saved = changed.get();
    }
    for (IGIS_Element* e : saved->elements()) {
      stored.push_back(md::test::CustomBytes(e));
      rects.push_back(e->GetRect());
    }
  }
  std::unique_ptr<md::demo::Page> Load(IGIS_MapLayer* layer) {
    std::string error;
    auto loaded = md::demo::LoadPage(file.string(), &error, layer);
    EXPECT_NE(loaded, nullptr) << error;
    if (loaded != nullptr) loaded->SetPaper(md::demo::kSheetPaperWidth, md::demo::kSheetPaperHeight);
    return loaded;
  }
  // Whether the loaded page's element stores what the sheet's stored.
  void ExpectStoredAsSaved(md::demo::Page& loaded, std::size_t k) {
    EXPECT_EQ(md::test::CustomBytes(loaded.elements()[k]), stored[k]);
    EXPECT_EQ(loaded.elements()[k]->GetRect(), rects[k]);
  }
};

TEST(MissingMap, WhatFollowsTheFrameKeepsItsStoredFormAndOneRecordNamesTheMap) {
  md::test::FixedText fixed;
  SavedSheet sheet("missing-map");
  ASSERT_NE(sheet.page, nullptr);
  ReleasePtr<IGIS_Document> elsewhere(GIS_CreateDocumentObject());
  const struct {
    const char* action;
    std::function<void(SavedSheet&, md::demo::Page&, std::size_t)> act;
  } rows[] = {
      {"drawn: as it was drawn with its map, but the frame and the legend, which need it",
       [](SavedSheet& s, md::demo::Page& loaded, std::size_t k) {
         const md::canvas::Raster drawn = PrintOnly(loaded, loaded.elements()[k]);
         const std::string type = loaded.elements()[k]->GetType();
         if (type == GIS_TYPE_GRAPHIC_ELEMENT_MAP || type == GIS_TYPE_GRAPHIC_ELEMENT_LEGEND) return;
         EXPECT_EQ(md::canvas::Compare(drawn, PrintOnly(*s.page, s.page->elements()[k]), 0).differing, 0);
       }},
      {"confirmed unedited",
       [](SavedSheet&, md::demo::Page& loaded, std::size_t k) {
         md::ui::ScriptedDriver driver;
         driver.Then([](md::ui::UiUser& u) { u.Ok(); });
         EXPECT_TRUE(loaded.elements()[k]->OnOpenPropertyDlg(nullptr, TRUE));
       }},
      {"saved, and read back where its map is", [](SavedSheet&, md::demo::Page&, std::size_t) {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.action);
    md::test::LogMark load;
    auto loaded = sheet.Load(elsewhere->GetLayoutLayer());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(load.Count(), 1u);
    EXPECT_TRUE(load.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MapElement::Archive", kMissing));
    // The frame's map controller, made once with its own record of the
    // program's component list.
    md::test::FrameOf(*loaded)->GetMainObject();
    md::test::LogMark after;
    for (const char* type : kFollowers) {
      SCOPED_TRACE(type);
      const std::size_t k = IndexOf(*loaded, type);
      ASSERT_LT(k, loaded->elements().size());
      row.act(sheet, *loaded, k);
    }
    std::string error;
    ASSERT_TRUE(md::demo::StoreElements(*loaded, &error)) << error;
    const auto folder = md::test::ScratchFolder("missing-map-again");
    ASSERT_TRUE(md::demo::SavePage(*loaded, (folder / "sheet.mdfs").string(), &error)) << error;
    EXPECT_EQ(after.Count(), 0u);
    auto back = md::demo::LoadPage((folder / "sheet.mdfs").string(), &error, sheet.doc.LayoutLayer());
    ASSERT_NE(back, nullptr) << error;
    for (const char* type : kFollowers) {
      SCOPED_TRACE(type);
      const std::size_t k = IndexOf(*loaded, type);
      sheet.ExpectStoredAsSaved(*loaded, k);
      sheet.ExpectStoredAsSaved(*back, k);
    }
  }
}

}  // namespace
