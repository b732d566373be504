// The host's round: every element stored into its feature, the feature set
// saved, loaded into a fresh feature set with a fresh factory and every
// element rebuilt from its "TYPE" — and what a damaged or foreign file does.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/ole/igis_oleelement.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/support/storedform.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::test::FixedText;

std::string SavedSamplePage(const std::string& folder) {
  auto page = md::demo::BuildSamplePage(nullptr);
  EXPECT_NE(page, nullptr);
  const std::string file = (md::test::ScratchFolder(folder) / "page.mdfs").string();
  std::string error;
  EXPECT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  EXPECT_TRUE(md::demo::SavePage(*page, file, &error)) << error;
  return file;
}

TEST(PageRoundTrip, EveryElementComesBackWithItsStateAndPlace) {
  FixedText fixed;
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  const std::string file = (md::test::ScratchFolder("roundtrip") / "page.mdfs").string();
  std::string error;
  ASSERT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  ASSERT_TRUE(md::demo::SavePage(*page, file, &error)) << error;
  auto loaded = md::demo::LoadPage(file, &error);
  ASSERT_NE(loaded, nullptr) << error;

  const auto& before = page->elements();
  const auto& after = loaded->elements();
  ASSERT_EQ(before.size(), after.size());
  int texts = 0, drafts = 0, locked = 0;
  for (std::size_t i = 0; i < before.size(); ++i) {
    IGIS_Element* a = before[i];
    IGIS_Element* b = after[i];
    SCOPED_TRACE(std::to_string(i) + " " + a->GetType());
    ASSERT_STREQ(a->GetType(), b->GetType());
    EXPECT_EQ(a->GetRect(), b->GetRect());
    EXPECT_STREQ(a->GetName(), b->GetName());
    EXPECT_EQ(a->IsLock(), b->IsLock());
    EXPECT_EQ(a->GetHVScaleRatio(), b->GetHVScaleRatio());
    locked += b->IsLock() ? 1 : 0;
    if (auto* ta = dynamic_cast<IGIS_TextElement*>(a)) {
      auto* tb = dynamic_cast<IGIS_TextElement*>(b);
      ASSERT_NE(tb, nullptr);
      ++texts;
      EXPECT_STREQ(ta->GetText(), tb->GetText());
      EXPECT_EQ(ta->GetSymbolPtr()->GetColor(), tb->GetSymbolPtr()->GetColor());
      EXPECT_EQ(ta->GetSymbolPtr()->GetAngle(), tb->GetSymbolPtr()->GetAngle());
      IGIS_FrameProperty* fa = ta->GetFramePropertyPtr();
      IGIS_FrameProperty* fb = tb->GetFramePropertyPtr();
      ASSERT_EQ(fa == nullptr, fb == nullptr);
      if (fa != nullptr) {
        EXPECT_EQ(fa->GetDraftMode(), fb->GetDraftMode());
        EXPECT_EQ(fa->GetShadowOffSetX(), fb->GetShadowOffSetX());
        EXPECT_EQ(fa->GetBorderSymbolPtr() == nullptr, fb->GetBorderSymbolPtr() == nullptr);
        drafts += fb->GetDraftMode() ? 1 : 0;
      }
    }
    if (auto* ra = dynamic_cast<IGIS_RectElement*>(a)) {
      auto* rb = dynamic_cast<IGIS_RectElement*>(b);
      ASSERT_NE(rb, nullptr);
      EXPECT_EQ(ra->GetSymbolPtr()->GetStyleCode(), rb->GetSymbolPtr()->GetStyleCode());
      EXPECT_EQ(ra->GetSymbolPtr()->GetColor(), rb->GetSymbolPtr()->GetColor());
    }
    if (auto* ca = dynamic_cast<IGIS_CompoundElement*>(a)) {
      auto* cb = dynamic_cast<IGIS_CompoundElement*>(b);
      ASSERT_NE(cb, nullptr);
      ASSERT_EQ(ca->GetElementCount(), cb->GetElementCount());
      for (int m = 0; m < cb->GetElementCount(); ++m) {
        ASSERT_NE(cb->GetElementPtrByIndex(m), nullptr);
        EXPECT_EQ(cb->GetElementPtrByIndex(m)->GetID(), ca->GetElementPtrByIndex(m)->GetID());
      }
    }
  }
  // The page holds what it promises.
  EXPECT_GE(texts, 10);
  EXPECT_EQ(drafts, 1);
  EXPECT_EQ(locked, 1);
}

TEST(PageRoundTrip, TheHostDrawsOnlyWhatNoCompoundHolds) {
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  std::set<int> members;
  int compounds = 0;
  for (IGIS_Element* e : page->elements()) {
    if (auto* c = dynamic_cast<IGIS_CompoundElement*>(e)) {
      ++compounds;
      for (int i = 0; i < c->GetElementCount(); ++i) members.insert(c->GetElementPtrByIndex(i)->GetID());
    }
  }
  EXPECT_EQ(compounds, 1);
  EXPECT_GE(members.size(), 5u);
  const auto top = page->TopLevel();
  EXPECT_EQ(top.size(), page->elements().size() - members.size());
  for (IGIS_Element* e : top) EXPECT_EQ(members.count(e->GetID()), 0u) << e->GetType();
}

TEST(PageRoundTrip, UnreadableOrForeignFilesAreRefusedWithAMessage) {
  std::string error;
  const std::string missing = (md::test::ScratchFolder("refused") / "no-such-page.mdfs").string();
  EXPECT_EQ(md::demo::LoadPage(missing, &error), nullptr);
  EXPECT_NE(error.find(missing), std::string::npos) << error;

  // A truncated file.
  const std::string file = SavedSamplePage("refused-truncated");
  std::vector<char> bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_GT(bytes.size(), 100u);
  const std::string cut = file + ".cut";
  {
    std::ofstream out(cut, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
  }
  error.clear();
  EXPECT_EQ(md::demo::LoadPage(cut, &error), nullptr);
  EXPECT_NE(error.find("cannot read"), std::string::npos) << error;

  // A feature whose type no factory knows.
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(md::demo::StoreElements(*page, &error)) << error;
  IGIS_Feature* f = page->featureSet()->GetFeatureByIndex(3);
  ASSERT_NE(f, nullptr);
  f->GetAttributes()->SetString("TYPE", "GIS_TYPE_GRAPHIC_ELEMENT_NOSUCHTHING");
  const std::string foreign = (md::test::ScratchFolder("refused-foreign") / "page.mdfs").string();
  ASSERT_TRUE(md::demo::SavePage(*page, foreign, &error)) << error;
  error.clear();
  EXPECT_EQ(md::demo::LoadPage(foreign, &error), nullptr);
  EXPECT_NE(error.find("GIS_TYPE_GRAPHIC_ELEMENT_NOSUCHTHING"), std::string::npos) << error;

  // Saving where no file can be written.
  error.clear();
  EXPECT_FALSE(md::demo::SavePage(*page, file + "/inside-a-file.mdfs", &error));
  EXPECT_FALSE(error.empty());
}

// The "Custom" set an element stored.
md::basilo::ReleasePtr<IGIS_PropertySet> CustomOf(IGIS_Element* e) {
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->Archive(e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  return set;
}

// Stored, saved, loaded and stored again, an element's stored form is what it
// was: a frame stored absent stays absent, and the printed scale a map frame
// was stored with survives binding its map. A frame stored without a map, or
// over a map whose reference changed, takes the map's name and reference on
// the first load; from then on its stored form stays.
TEST(PageRoundTrip, SaveLoadSaveKeepsTheStoredForm) {
  FixedText fixed;
  md::demo::MapDocument sample(md::demo::SampleMapsFolder());
  ASSERT_TRUE(sample.ok());
  IGIS_SpatialReferenceFactory* refs = GIS_GetSpatialReferenceFactoryObject();
  md::basilo::ReleasePtr<IGIS_SpatialReference> metres(refs->CreateSpatialReference(2));
  IGIS_ProjectedCoordSys* gk = metres->GetProjectedCoordSys();
  md::basilo::ReleasePtr<IGIS_SpatialReference> feet(refs->CreateGeographicReference(
      "高斯英尺", "feet", gk->GetProjection(), gk->GetGeographicCoordSys(), refs->GetUnitByName("英尺")));
  md::basilo::ReleasePtr<IGIS_Document> inFeet(GIS_CreateDocumentObject()),
      inMetres(GIS_CreateDocumentObject());
  inFeet->CreateMap("测试地图", feet.get());
  inMetres->CreateMap("测试地图", metres.get());

  // A scale text of the style following a frame over the sample sheet.
  auto scaleText = [&sample](int style) {
    return [&sample, style](md::demo::Page& page) {
      auto* frame = dynamic_cast<IGIS_MapElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
      auto* text = dynamic_cast<IGIS_ScaleTextElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT));
      if (frame == nullptr || text == nullptr) return static_cast<IGIS_Element*>(nullptr);
      frame->SetRect(SGIS_Rect(2000, 12000, 10000, 2000));
      frame->SetMapName(sample.sheet()->GetName());
      frame->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
      frame->SetScale(5.0);
      text->SetMapElement(frame);
      text->SetScaleTextStyle(style);
      text->SetRect(SGIS_Rect(12000, 3000, 13000, 2000));
      text->RebuildText();
      return static_cast<IGIS_Element*>(text);
    };
  };
  auto frameless = [](const char* type) {
    return [type](md::demo::Page& page) {
      IGIS_Element* e = page.Create(type);
      if (auto* legend = dynamic_cast<IGIS_LegendElement*>(e)) legend->SetFrameProperty(nullptr);
      if (auto* slope = dynamic_cast<IGIS_SlopeElement*>(e)) slope->SetFramePropertyPtr(nullptr);
      if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) frame->SetFramePropertyPtr(nullptr);
      if (auto* arrow = dynamic_cast<IGIS_NorthArrowElement*>(e)) arrow->SetFramePropertyPtr(nullptr);
      if (auto* index = dynamic_cast<IGIS_MapIndexElement*>(e)) index->SetFramePropertyPtr(nullptr);
      if (auto* text = dynamic_cast<IGIS_ScaleTextElement*>(e)) text->SetFramePropertyPtr(nullptr);
      if (auto* ole = dynamic_cast<IGIS_OleElement*>(e)) ole->SetFramePropertyPtr(nullptr);
      return e;
    };
  };
  // The frame an element holds.
  auto heldFrame = [](IGIS_Element* e) -> IGIS_FrameProperty* {
    if (auto* legend = dynamic_cast<IGIS_LegendElement*>(e)) return legend->GetFrameProperty();
    if (auto* slope = dynamic_cast<IGIS_SlopeElement*>(e)) return slope->GetFramePropertyPtr();
    if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) return frame->GetFramePropertyPtr();
    if (auto* arrow = dynamic_cast<IGIS_NorthArrowElement*>(e)) return arrow->GetFramePropertyPtr();
    if (auto* index = dynamic_cast<IGIS_MapIndexElement*>(e)) return index->GetFramePropertyPtr();
    if (auto* text = dynamic_cast<IGIS_ScaleTextElement*>(e)) return text->GetFramePropertyPtr();
    if (auto* ole = dynamic_cast<IGIS_OleElement*>(e)) return ole->GetFramePropertyPtr();
    ADD_FAILURE() << e->GetType();
    return nullptr;
  };
  const struct {
    const char* name;
    IGIS_MapLayer* savedWith;  // the document the page shows when first stored
    IGIS_MapLayer* loadedWith;
    std::function<IGIS_Element*(md::demo::Page&)> make;
    // The stored scale after loading; otherwise the first load keeps the
    // stored form, 0: without a frame, -1: with its frame.
    double scale;
  } rows[] = {
      {"legend without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND), 0.0},
      {"slope rule without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE), 0.0},
      {"map frame without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_MAP), 0.0},
      {"north arrow without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW), 0.0},
      {"map index without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX), 0.0},
      {"scale text without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT), 0.0},
      {"embedded object without a frame", nullptr, nullptr, frameless(GIS_TYPE_GRAPHIC_ELEMENT_OLE), 0.0},
      {"embedded object with its frame", nullptr, nullptr,
       [](md::demo::Page& page) { return page.Create(GIS_TYPE_GRAPHIC_ELEMENT_OLE); }, -1.0},
      {"absolute scale text of a frame", sample.LayoutLayer(), sample.LayoutLayer(), scaleText(0), -1.0},
      {"relative scale text of a frame", sample.LayoutLayer(), sample.LayoutLayer(), scaleText(1), -1.0},
      {"scale text of a frame, read without its map", sample.LayoutLayer(), nullptr, scaleText(0), -1.0},
      {"the sample page's frame, read with its maps", nullptr, sample.LayoutLayer(),
       [](md::demo::Page& page) {
         md::demo::AddSampleElements(page, nullptr);
         return static_cast<IGIS_Element*>(md::test::FrameOf(page));
       },
       10.0},
      {"a frame over a map in feet, read where it is in metres", inFeet->GetLayoutLayer(),
       inMetres->GetLayoutLayer(),
       [](md::demo::Page& page) {
         auto* frame = dynamic_cast<IGIS_MapElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
         frame->SetRect(SGIS_Rect(2000, 12000, 10000, 2000));
         frame->SetMapName("测试地图");
         frame->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
         frame->SetScale(0.5);
         return static_cast<IGIS_Element*>(frame);
       },
       0.5},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    md::demo::Page page;
    page.featureSet()->SetMapLayer(row.savedWith);
    IGIS_Element* e = row.make(page);
    ASSERT_NE(e, nullptr);
    const auto k = std::find(page.elements().begin(), page.elements().end(), e) - page.elements().begin();
    const std::string folder = "storedform" + std::to_string(n++);
    auto once = md::test::SavedAndReloaded(page, md::test::ScratchFolder(folder + "-once"), row.loadedWith);
    ASSERT_NE(once, nullptr);
    auto twice =
        md::test::SavedAndReloaded(*once, md::test::ScratchFolder(folder + "-twice"), row.loadedWith);
    ASSERT_NE(twice, nullptr);
    IGIS_Element* second = once->elements()[k];
    EXPECT_EQ(md::test::CustomBytes(twice->elements()[k]), md::test::CustomBytes(second));
    if (row.scale > 0.0) {
      EXPECT_NEAR(CustomOf(second)->GetProperty("FixScale")->GetDouble(), row.scale, row.scale * 1e-9);
    } else {
      EXPECT_EQ(md::test::CustomBytes(second), md::test::CustomBytes(page.elements()[k]));
    }
    EXPECT_EQ(heldFrame(second) == nullptr, row.scale == 0.0);
    EXPECT_EQ(heldFrame(twice->elements()[k]) == nullptr, row.scale == 0.0);
  }
}

// Each element of `page` stores what its copy in `loaded` stores.
void ExpectSameStoredForms(md::demo::Page& page, md::demo::Page& loaded) {
  ASSERT_EQ(page.elements().size(), loaded.elements().size());
  for (std::size_t i = 0; i < page.elements().size(); ++i) {
    IGIS_Element* e = page.elements()[i];
    EXPECT_TRUE(md::test::StoredForm(e) == md::test::StoredForm(loaded.elements()[i]))
        << i << " " << e->GetType() << " " << e->GetName();
  }
}

// The demo's two pages, saved, read back and saved again: the first save is
// every later one.
TEST(PageRoundTrip, TheDemoPagesStoreWhatTheyRead) {
  FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto sample = md::demo::BuildSamplePage(nullptr);
  auto sheet = md::demo::BuildMapSheetPage(doc, nullptr);
  ASSERT_TRUE(sample != nullptr && sheet != nullptr);
  auto sampleCopy =
      md::test::SavedAndReloaded(*sample, md::test::ScratchFolder("demostored-sample"), nullptr);
  auto sheetCopy =
      md::test::SavedAndReloaded(*sheet, md::test::ScratchFolder("demostored-sheet"), doc.LayoutLayer());
  ASSERT_TRUE(sampleCopy != nullptr && sheetCopy != nullptr);
  ExpectSameStoredForms(*sample, *sampleCopy);
  ExpectSameStoredForms(*sheet, *sheetCopy);
}

// Every kind the factory makes, given a rectangle of its own, stored, read
// back and stored again twice: each time it stores what it first stored.
TEST(PageRoundTrip, EveryKindStoresWhatItReadAtItsOwnSize) {
  FixedText fixed;
  const struct {
    const char* type;
    SGIS_Rect rect;
  } rows[] = {
      {GIS_TYPE_GRAPHIC_ELEMENT_POINT, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_LINE, SGIS_Rect(1500, 2900, 2250, 1500)},
      {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_RECT, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_TEXT, SGIS_Rect(1000, 2234, 4677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_MAP, SGIS_Rect(1000, 9234, 12677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, SGIS_Rect(1000, 5234, 4677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING, SGIS_Rect(1000, 1634, 8677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT, SGIS_Rect(1000, 1634, 4677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, SGIS_Rect(1000, 1634, 8677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, SGIS_Rect(1000, 1634, 8677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE, SGIS_Rect(1000, 1634, 8677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, SGIS_Rect(1000, 1634, 8677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, SGIS_Rect(1000, 4234, 3677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE, SGIS_Rect(1000, 3234, 6677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_OLE, SGIS_Rect(1000, 2234, 1677, 1000)},
      {GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX, SGIS_Rect(1000, 4234, 4677, 1000)},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.type);
    md::demo::Page page;
    IGIS_Element* e = page.Create(row.type);
    ASSERT_NE(e, nullptr);
    e->SetRect(row.rect);
    const std::string folder = "kindstored" + std::to_string(n++);
    auto once = md::test::SavedAndReloaded(page, md::test::ScratchFolder(folder + "-once"), nullptr);
    ASSERT_NE(once, nullptr);
    auto twice = md::test::SavedAndReloaded(*once, md::test::ScratchFolder(folder + "-twice"), nullptr);
    ASSERT_NE(twice, nullptr);
    ExpectSameStoredForms(page, *once);
    ExpectSameStoredForms(page, *twice);
  }
}

}  // namespace
