// The host's round: every element stored into its feature, the feature set
// saved, loaded into a fresh feature set with a fresh factory and every
// element rebuilt from its "TYPE" — and what a damaged or foreign file does.
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/tools/demo/demotest.h"

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

}  // namespace
