// The element fuzz target's seeds are stored pages holding each element kind
// (and one holding all), and every seed and every input that once broke a
// reader goes through the target's checks.
#include <cstring>
#include <set>

#include "host/featra/featureset_image.h"
#include "host/featra/gis_elementregistry.h"
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "tests/fuzz/element_input.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

struct Seed {
  const char* file;
  std::vector<const char*> types;
};

// Places one element of the type on the page, with state worth reading.
void Place(IGIS_FeatureSet* set, const char* type, std::vector<IGIS_Element*>* made) {
  IGIS_Element* e = set->CreateElement(type);
  ASSERT_NE(e, nullptr) << type;
  made->push_back(e);
  if (auto* c = dynamic_cast<CGIS_CompoundElement*>(e)) {
    for (const SGIS_Rect& r : {SGIS_Rect(0, 200, 300, 0), SGIS_Rect(400, 500, 900, 100)}) {
      IGIS_Element* member = set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
      member->SetRect(r);
      member->SetName("图例 1");
      ASSERT_TRUE(member->Archive(0, 0));
      made->push_back(member);
      ASSERT_TRUE(c->AddElement(member));
    }
  } else {
    e->SetRect(SGIS_Rect(120, 780, 640, 230));
  }
  e->SetName("图例 1");
  e->SetLock(true);
  e->SetOrder(3);
  ASSERT_TRUE(e->Archive(0, 0));
}

TEST(ElementFuzzInputs, SeedsHoldEveryKindAndEveryInputPassesTheChecks) {
  md::layout::InstallElementHooks();
  const std::vector<const char*> all = {GIS_TYPE_GRAPHIC_ELEMENT_POINT,   GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE,
                                        GIS_TYPE_GRAPHIC_ELEMENT_RECT,    GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE,
                                        GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, GIS_TYPE_GRAPHIC_ELEMENT_TEXT,
                                        GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND};
  std::vector<Seed> seeds = {{"page", all}};
  for (const char* type : all) seeds.push_back({type + std::strlen("GIS_TYPE_GRAPHIC_ELEMENT_"), {type}});
  for (const Seed& seed : seeds) {
    IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "seed", 0, 0, 0, 0, nullptr);
    std::vector<IGIS_Element*> made;
    for (const char* type : seed.types) Place(set, type, &made);
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(md::featra::WriteFeatureSetImage(set, &image));
    md::test::fuzz::WriteSeed("element", seed.file, image);
    for (IGIS_Element* e : made) e->Release();
    set->Release();
  }

  std::set<std::string> kinds;
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("element")) {
    SCOPED_TRACE(in.file);
    md::test::ReadElementInput(in.bytes.data(), in.bytes.size());
    if (!in.seed) continue;
    // A seed is a whole page whose elements read their state.
    IGIS_FeatureSet* set = GIS_CreateFeatureSetObject(nullptr, "replay", 0, 0, 0, 0, nullptr);
    ASSERT_TRUE(md::featra::ReadFeatureSetImage(set, in.bytes.data(), in.bytes.size(), true));
    for (int i = 0; i < set->GetFeatureCount(); ++i) {
      IGIS_Feature* f = set->GetFeatureByIndex(i);
      const std::string type = f->GetAttributes()->GetString("TYPE");  // binding may rewrite it
      IGIS_Element* e = CGIS_ElementFactory::Create(type.c_str(), set, f);
      ASSERT_NE(e, nullptr) << type;
      EXPECT_TRUE(e->Archive(1, 0)) << type;
      EXPECT_STREQ(e->GetName(), "图例 1");
      kinds.insert(type);
      e->Release();
    }
    set->Release();
  }
  EXPECT_EQ(kinds.size(), all.size());
}

// An input ends every element it made, the copies of a compound's members
// included: one left behind makes the fuzz target check the whole heap for
// leaks after every input.
TEST(ElementFuzzInputs, AnInputLeavesNoElementBehind) {
  md::layout::InstallElementHooks();
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("element")) {
    SCOPED_TRACE(in.file);
    const int before = GIS_GetRegisteredElementCount();
    md::test::ReadElementInput(in.bytes.data(), in.bytes.size());
    EXPECT_EQ(GIS_GetRegisteredElementCount(), before);
  }
}

}  // namespace
