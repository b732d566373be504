// The demo's map sheet read where its frame's map is missing, and a frame
// read over its map in other units: what follows the frame keeps its stored
// values through drawing, saving and an unedited sheet, draws what it can,
// and one record names the missing map; the frame keeps its printed scale.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
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
    // The frame's map controller, made once.
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

// The frame read with the reference's bytes for its stored
// "SpatialReference", its stored bound's coordinates and its printed scale
// multiplied by the factor (a frame stored over the map in other units).
void ReadFrameWithReference(md::demo::Page& page, IGIS_SpatialReference* reference, double factor) {
  IGIS_MapElement* frame = md::test::FrameOf(page);
  IGIS_FeatureAttributes* attributes = frame->GetFeaturePtr()->GetAttributes();
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  set->Archive(attributes->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  reference->Archive(set->GetProperty("SpatialReference")->GetDataBuffer(), GIS_ARCHIVE_WRITE);
  IGIS_DataBuffer* bound = set->GetProperty("MapBound")->GetDataBuffer();
  double xy[4];
  ASSERT_EQ(bound->GetSize(), static_cast<int>(sizeof xy));
  std::memcpy(xy, bound->GetData(), sizeof xy);
  for (double& v : xy) v *= factor;
  std::memcpy(bound->GetData(), xy, sizeof xy);
  IGIS_Field* scale = set->GetProperty("FixScale");
  scale->SetDouble(scale->GetDouble() * factor);
  set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0);
  attributes->SetDataBuffer("Custom", buffer.get(), 0);
  frame->Archive(1, 0);
}

double FixScaleOf(IGIS_Element* frame) {
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->Archive(frame->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  return set->GetProperty("FixScale")->GetDouble();
}

TEST(MissingMap, AFrameReadOverItsMapInOtherUnitsKeepsItsPrintedScale) {
  md::test::FixedText fixed;
  IGIS_SpatialReferenceFactory* refs = GIS_GetSpatialReferenceFactoryObject();
  md::demo::MapDocument sample(md::demo::SampleMapsFolder());
  ASSERT_TRUE(sample.ok());
  IGIS_ProjectedCoordSys* gk = sample.sheet()->GetSpatialReference()->GetProjectedCoordSys();
  ReleasePtr<IGIS_SpatialReference> feet(refs->CreateGeographicReference(
      "高斯英尺", "feet", gk->GetProjection(), gk->GetGeographicCoordSys(), refs->GetUnitByName("英尺")));
  // A reference whose projection cannot be built: its central meridian lies
  // beyond any longitude.
  ReleasePtr<IGIS_SpatialReference> broken(
      refs->CreateGeographicReference("坏的", "", gk->GetProjection(), gk->GetGeographicCoordSys(), nullptr));
  ASSERT_TRUE(
      broken->GetProjectedCoordSys()->GetProjection()->SetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, 1000));
  const double kFeet = 1.0 / 0.3048;
  const struct {
    const char* name;
    IGIS_SpatialReference* stored;  // the frame's stored reference
    double factor;                  // of its stored bound and printed scale
    const char* record;             // NULL: none of the frame's
  } rows[] = {
      // The stored numbers are the map's own: nothing moves.
      {"stored in feet over the map's coordinates", feet.get(), 1.0, nullptr},
      // Its centre is carried to where the map has that place; its size and
      // printed scale stay as stored.
      {"stored in feet, bound and scale in feet", feet.get(), kFeet, nullptr},
      {"stored in a reference that cannot be related to the map's", broken.get(), 1.0,
       "the stored bound cannot be carried into the reference of map 西山幅 1:5万"},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SavedSheet sheet("other-units-" + std::to_string(n++),
                     [&row](md::demo::Page& page) { ReadFrameWithReference(page, row.stored, row.factor); });
    ASSERT_NE(sheet.page, nullptr);
    md::test::LogMark mark;
    auto loaded = sheet.Load(sheet.doc.LayoutLayer());
    ASSERT_NE(loaded, nullptr);
    std::string error;
    ASSERT_TRUE(md::demo::StoreElements(*loaded, &error)) << error;
    IGIS_MapElement* frame = md::test::FrameOf(*loaded);
    EXPECT_DOUBLE_EQ(FixScaleOf(frame), md::demo::kSheetScale * row.factor);
    EXPECT_EQ(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MapElement::Archive"), row.record != nullptr);
    if (row.record != nullptr) {
      // Nothing of the frame changes, its reference included.
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MapElement::Archive", row.record));
      sheet.ExpectStoredAsSaved(*loaded, IndexOf(*loaded, GIS_TYPE_GRAPHIC_ELEMENT_MAP));
    }
    SGIS_DRect bound, saved;
    frame->GetMapBound(&bound);
    md::test::FrameOf(*sheet.page)->GetMapBound(&saved);
    EXPECT_NEAR(bound.CenterPoint().x, saved.CenterPoint().x, 1e-6);
    EXPECT_NEAR(bound.CenterPoint().y, saved.CenterPoint().y, 1e-6);
    EXPECT_NEAR(bound.Width(), saved.Width() * row.factor, 1e-6);
    if (row.factor != 1.0) continue;
    // At the scale it was saved with, what follows the frame stores what it
    // did.
    for (const char* type : kFollowers) {
      SCOPED_TRACE(type);
      if (type != std::string(GIS_TYPE_GRAPHIC_ELEMENT_MAP))
        sheet.ExpectStoredAsSaved(*loaded, IndexOf(*loaded, type));
    }
    if (row.record != nullptr) continue;
    // The page prints as it did, the map where it was. (Grids that share the
    // frame's stored reference keep it, and are left out.)
    frame->GetMapGrids()->ReleaseMapGrids();
    md::test::FrameOf(*sheet.page)->GetMapGrids()->ReleaseMapGrids();
    sheet.page->SetPaper(md::demo::kSheetPaperWidth, md::demo::kSheetPaperHeight);
    EXPECT_EQ(md::canvas::Compare(md::test::Print(*loaded, md::demo::kMinDpi),
                                  md::test::Print(*sheet.page, md::demo::kMinDpi), 0)
                  .differing,
              0);
  }
}

}  // namespace
