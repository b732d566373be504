// The compound element on real member elements: membership, geometry,
// drawing and cloning, nested compounds included.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/support/owned.h"

namespace {

using md::test::LogMark;
using md::test::Owned;
using md::test::PageTest;
using md::test::TestBoxElement;

class CompoundTest : public PageTest {
 protected:
  CGIS_CompoundElement* Compound() { return Keep(new CGIS_CompoundElement(set_, nullptr)); }
};

// A box that counts on its thread its draws, moves and scales (each sets its
// rectangle) and copies, with no journal for threads to share; m_before runs at each draw.
class CountingBox : public TestBoxElement {
 public:
  using TestBoxElement::TestBoxElement;
  BOOL OnDraw(HDC, bool, IGIS_Display*) override {
    if (m_before) m_before();
    return ++t_touched, TRUE;
  }
  void SetRect(SGIS_Rect rect) override { ++t_touched, TestBoxElement::SetRect(rect); }
  IGIS_Element* Clone() override { return ++t_touched, TestBoxElement::Clone(); }
  static inline thread_local long t_touched = 0;
  std::function<void()> m_before;
};

// A page of its own: `depth` + 1 compounds nested, the innermost holding box b.
// The compounds of every such page have the same IDs.
struct CompoundPage {
  explicit CompoundPage(int depth) {
    md::layout::InstallElementHooks();
    for (int i = 0; i <= depth; ++i) chain.emplace_back(new CGIS_CompoundElement(set.get(), nullptr));
    for (std::size_t i = 1; i < chain.size(); ++i) chain[i - 1]->AddElement(chain[i].get());
    chain.back()->AddElement(b.get());
  }
  // The boxes drawn and moved by drawing and moving the compound, or -1 if the drawing failed.
  long DrawAndMove() {
    const long before = CountingBox::t_touched;
    const bool drawn = chain[0]->OnDraw(nullptr, false, nullptr);
    chain[0]->OffsetAllPoints(1, 2);
    return drawn ? CountingBox::t_touched - before : -1;
  }

  Owned<IGIS_FeatureSet> set{GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr)};
  Owned<CountingBox> b{new CountingBox(set.get(), nullptr)};
  std::deque<Owned<CGIS_CompoundElement>> chain;
};

class ElementList : public IGIS_ElementSet {
 public:
  explicit ElementList(std::vector<IGIS_Element*> items) : items_(std::move(items)) {}
  int GetCount() override { return static_cast<int>(items_.size()); }
  IGIS_Element* GetElementPtr(int i) override { return items_[static_cast<std::size_t>(i)]; }

 private:
  std::vector<IGIS_Element*> items_;
};

TEST_F(CompoundTest, AddFindAndRemoveMembers) {
  CGIS_CompoundElement* c = Compound();
  TestBoxElement* a = Box(0, 0, 10, 10, "a");
  TestBoxElement* b = Box(20, 0, 30, 10, "b");
  a->SetOrder(5);
  EXPECT_TRUE(c->AddElement(a));
  EXPECT_TRUE(c->AddElement(b));
  EXPECT_EQ(a->GetOrder(), -10);
  ASSERT_EQ(c->GetElementCount(), 2);
  EXPECT_EQ(c->GetElementPtrByIndex(0), a);
  EXPECT_EQ(c->GetElementPtrByIndex(1), b);

  LogMark log;
  EXPECT_EQ(c->GetElementPtrByIndex(2), nullptr);
  EXPECT_EQ(c->GetElementPtrByIndex(-1), nullptr);
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::GetElementPtrByIndex", "pFeature == NULL"));

  EXPECT_TRUE(c->RemoveElement(a));
  EXPECT_FALSE(c->RemoveElement(a));  // no longer a member
  EXPECT_FALSE(c->RemoveElement(nullptr));
  ASSERT_EQ(c->GetElementCount(), 1);
  EXPECT_EQ(c->GetElementPtrByIndex(0), b);
  EXPECT_NE(set_->GetFeature(a->GetID()), nullptr);  // removed, not deleted
}

TEST_F(CompoundTest, RefusedAdditions) {
  CGIS_CompoundElement* c = Compound();
  LogMark log;
  EXPECT_FALSE(c->AddElement(nullptr));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::AddElement", "pElement == NULL"));

  IGIS_FeatureSet* other = GIS_CreateFeatureSetObject(nullptr, "other", 0, 0, 0, 0, nullptr);
  auto* stranger = new TestBoxElement(other, nullptr);
  stranger->SetOrder(3);
  EXPECT_FALSE(c->AddElement(stranger));
  EXPECT_EQ(stranger->GetOrder(), 3);
  EXPECT_EQ(c->GetElementCount(), 0);
  stranger->Release();
  other->Release();

  // A compound never contains itself, directly or through a member.
  EXPECT_FALSE(c->AddElement(c));
  CGIS_CompoundElement* inner = Compound();
  EXPECT_TRUE(c->AddElement(inner));
  EXPECT_FALSE(inner->AddElement(c));
  EXPECT_EQ(inner->GetElementCount(), 0);

  // A member listed twice would be moved twice: it is listed once.
  TestBoxElement* box = Box(0, 0, 10, 10);
  EXPECT_TRUE(c->AddElement(box));
  EXPECT_FALSE(c->AddElement(box));
  ElementList again({box});
  c->AddElementSet(&again);
  EXPECT_EQ(c->GetElementCount(), 2);
  c->OffsetAllPoints(5, 0);
  EXPECT_EQ(box->GetRect(), SGIS_Rect(5, 10, 15, 0));
}

TEST_F(CompoundTest, AddElementSetSkipsNullsAndKeepsOrders) {
  CGIS_CompoundElement* c = Compound();
  TestBoxElement* a = Box(0, 0, 10, 10);
  TestBoxElement* b = Box(0, 0, 10, 10);
  a->SetOrder(4);
  ElementList list({a, nullptr, b});
  LogMark log;
  EXPECT_TRUE(c->AddElementSet(&list));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::AddElementSet", "pElement == NULL"));
  EXPECT_EQ(c->GetElementCount(), 2);
  EXPECT_EQ(a->GetOrder(), 4);
  EXPECT_FALSE(c->AddElementSet(nullptr));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::AddElementSet", "pElementSet == NULL"));
}

TEST_F(CompoundTest, EmptyCompoundHasTheZeroRectangleAndDoesNotMove) {
  CGIS_CompoundElement* c = Compound();
  EXPECT_EQ(c->GetRect(), SGIS_Rect());
  set_->GetFeatureClass()->ClearUpdateRecords();
  c->SetWidthAndHeight(100, 100);
  c->OffsetAllPoints(5, 5);
  EXPECT_EQ(c->GetRect(), SGIS_Rect());
  EXPECT_EQ(set_->GetFeatureClass()->GetUpdateCount(), 0);
}

TEST_F(CompoundTest, RectangleIsTheUnionOfMembers) {
  CGIS_CompoundElement* c = Compound();
  c->AddElement(Box(0, 0, 10, 10));
  c->AddElement(Box(50, -20, 60, 5));
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 10, 60, -20));
}

TEST_F(CompoundTest, MovesAndScalesMembersAndCommitsGeometry) {
  CGIS_CompoundElement* c = Compound();
  TestBoxElement* a = Box(0, 0, 50, 50);
  TestBoxElement* b = Box(50, 0, 100, 25);
  c->AddElement(a);
  c->AddElement(b);

  set_->GetFeatureClass()->ClearUpdateRecords();
  c->OffsetAllPoints(10, 20);
  EXPECT_EQ(a->GetRect(), SGIS_Rect(10, 70, 60, 20));
  EXPECT_EQ(b->GetRect(), SGIS_Rect(60, 45, 110, 20));
  int id = 0, flags = 0;
  ASSERT_EQ(set_->GetFeatureClass()->GetUpdateCount(), 1);
  set_->GetFeatureClass()->GetUpdateRecord(0, &id, &flags);
  EXPECT_EQ(id, c->GetID());
  EXPECT_EQ(flags, 0x40);

  c->SetLBpoint(SGIS_Point(0, 0));
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 50, 100, 0));

  c->ScaleShape(SGIS_Point(0, 0), 2.0, 0.5);
  EXPECT_EQ(a->GetRect(), SGIS_Rect(0, 25, 100, 0));
  EXPECT_EQ(b->GetRect(), SGIS_Rect(100, 13, 200, 0));

  // Factors that are not positive finite numbers change nothing.
  const SGIS_Rect before = c->GetRect();
  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    c->ScaleShape(SGIS_Point(0, 0), bad, 1.0);
    c->ScaleShape(SGIS_Point(0, 0), 1.0, bad);
  }
  EXPECT_EQ(c->GetRect(), before);
}

TEST_F(CompoundTest, ResizingKeepsRatioWhenAnyMemberAsksForIt) {
  CGIS_CompoundElement* c = Compound();
  TestBoxElement* a = Box(0, 0, 50, 50);
  TestBoxElement* b = Box(50, 0, 100, 50);
  c->AddElement(a);
  c->AddElement(b);
  EXPECT_FALSE(c->GetHVScaleRatio());
  b->SetHVScaleRatio(true);
  EXPECT_TRUE(c->GetHVScaleRatio());

  // 100 x 50 to 200 x 200: both directions scale by the smaller factor, 2.
  c->SetWidthAndHeight(200, 200);
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 100, 200, 0));
  EXPECT_EQ(a->GetRect(), SGIS_Rect(0, 100, 100, 0));
  EXPECT_EQ(b->GetRect(), SGIS_Rect(100, 100, 200, 0));

  b->SetHVScaleRatio(false);
  c->SetWidthAndHeight(100, 300);
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 300, 100, 0));
}

TEST_F(CompoundTest, SetRectMovesThenResizes) {
  CGIS_CompoundElement* c = Compound();
  c->AddElement(Box(0, 0, 10, 10));
  c->AddElement(Box(10, 10, 20, 20));
  c->SetRect(SGIS_Rect(100, 40, 140, 0));  // left, top, right, bottom
  EXPECT_EQ(c->GetRect(), SGIS_Rect(100, 40, 140, 0));
  // Given upside down, it is normalised; an empty rectangle does nothing.
  c->SetRect(SGIS_Rect(160, 0, 100, 60));
  EXPECT_EQ(c->GetRect(), SGIS_Rect(100, 60, 160, 0));
  c->SetRect(SGIS_Rect(0, 0, 0, 10));
  EXPECT_EQ(c->GetRect(), SGIS_Rect(100, 60, 160, 0));
}

TEST_F(CompoundTest, NestedCompoundsMoveScaleAndDrawAsAWhole) {
  CGIS_CompoundElement* outer = Compound();
  CGIS_CompoundElement* inner = Compound();
  inner->AddElement(Box(0, 0, 10, 10, "i1"));
  inner->AddElement(Box(10, 0, 20, 10, "i2"));
  outer->AddElement(Box(-10, -10, 0, 0, "o1"));
  outer->AddElement(inner);
  outer->AddElement(Box(20, 10, 30, 20, "o2"));
  EXPECT_EQ(outer->GetRect(), SGIS_Rect(-10, 20, 30, -10));

  EXPECT_TRUE(outer->OnDraw(nullptr, true, nullptr));
  const std::vector<std::string> order = {"o1:print", "i1:print", "i2:print", "o2:print"};
  EXPECT_EQ(TestBoxElement::Journal(), order);

  outer->ScaleShape(SGIS_Point(-10, -10), 2.0, 2.0);
  EXPECT_EQ(outer->GetRect(), SGIS_Rect(-10, 50, 70, -10));
  EXPECT_EQ(inner->GetRect(), SGIS_Rect(10, 30, 50, 10));
  outer->SetLBpoint(SGIS_Point(0, 0));
  EXPECT_EQ(inner->GetRect(), SGIS_Rect(20, 40, 60, 20));
}

TEST_F(CompoundTest, DrawingFailsButDrawsTheOthersWhenAMembersElementIsGone) {
  CGIS_CompoundElement* c = Compound();
  c->AddElement(Box(0, 0, 1, 1, "first"));
  auto* gone = new TestBoxElement(set_, nullptr, "gone");
  c->AddElement(gone);
  c->AddElement(Box(0, 0, 1, 1, "last"));
  gone->Release();  // the feature stays, its element does not
  EXPECT_FALSE(c->OnDraw(nullptr, false, nullptr));
  const std::vector<std::string> order = {"first:screen", "last:screen"};
  EXPECT_EQ(TestBoxElement::Journal(), order);
}

TEST_F(CompoundTest, CloneCopiesMembersAndTheLockFlag) {
  CGIS_CompoundElement* c = Compound();
  CGIS_CompoundElement* inner = Compound();
  inner->AddElement(Box(0, 0, 5, 5, "deep"));
  c->AddElement(Box(0, 0, 10, 10, "a"));
  c->AddElement(inner);
  c->SetLock(true);
  c->SetName("named");
  c->SetHVScaleRatio(true);

  auto* copy = dynamic_cast<CGIS_CompoundElement*>(c->Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->GetID(), c->GetID());
  EXPECT_TRUE(copy->IsLock());
  EXPECT_STREQ(copy->GetName(), "复合整饰单元");  // the name is not copied
  ASSERT_EQ(copy->GetElementCount(), 2);
  IGIS_Element* a2 = copy->GetElementPtrByIndex(0);
  ASSERT_NE(a2, nullptr);
  EXPECT_NE(a2, c->GetElementPtrByIndex(0));
  EXPECT_EQ(a2->GetRect(), SGIS_Rect(0, 10, 10, 0));
  EXPECT_EQ(a2->GetOrder(), -10);
  auto* inner2 = dynamic_cast<CGIS_CompoundElement*>(copy->GetElementPtrByIndex(1));
  ASSERT_NE(inner2, nullptr);
  EXPECT_NE(inner2, inner);
  ASSERT_EQ(inner2->GetElementCount(), 1);

  // Moving the copy leaves the original alone.
  copy->OffsetAllPoints(100, 0);
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 10, 10, 0));
  EXPECT_EQ(copy->GetRect(), SGIS_Rect(100, 10, 110, 0));

  // The copies were made in the owner through its element hooks: hand them back.
  IGIS_Element* deep = inner2->GetElementPtrByIndex(0);
  EXPECT_TRUE(set_->DeleteElement(deep));
  EXPECT_TRUE(set_->DeleteElement(inner2));
  EXPECT_TRUE(set_->DeleteElement(a2));
  EXPECT_TRUE(set_->DeleteElement(copy));
}

TEST_F(CompoundTest, OrderGoesToTheFeatureAndFixedAnswers) {
  CGIS_CompoundElement* c = Compound();
  c->SetOrder(0x1234);
  EXPECT_EQ(c->GetOrder(), 0x1234);
  EXPECT_EQ(set_->GetFeature(c->GetID())->GetOrder(), 0x34);
  EXPECT_FALSE(c->CanConvert());
  EXPECT_EQ(c->ConvertToElement(), nullptr);
  EXPECT_STREQ(c->GetDescription(), "暂时没有定义");
  EXPECT_STREQ(c->GetType(), "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
}

TEST_F(CompoundTest, ACompoundWhoseFeatureIsGoneRefusesWithRecords) {
  CGIS_CompoundElement* c = Compound();
  TestBoxElement* box = Box(0, 0, 10, 10);
  ASSERT_TRUE(c->AddElement(box));
  c->SetOrder(3);
  ASSERT_TRUE(set_->GetFeatureClass()->DeleteFeature(c->GetID()));
  LogMark log;
  c->SetOrder(7);
  EXPECT_EQ(c->GetOrder(), 3);
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::SetOrder", "m_pFeature == NULL"));
  EXPECT_FALSE(c->AddElement(Box(0, 0, 5, 5)));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::AddElement", "m_pFeature == NULL"));
  EXPECT_EQ(c->GetElementCount(), 0);
  EXPECT_EQ(c->GetElementPtrByIndex(0), nullptr);
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::GetElementPtrByIndex", "m_pFeature == NULL"));
  EXPECT_FALSE(c->OnDraw(nullptr, false, nullptr));
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::OnDraw", "m_pFeature == NULL"));
  EXPECT_EQ(c->GetRect(), SGIS_Rect(0, 100, 100, 0));
  c->ScaleShape(SGIS_Point(0, 0), 2.0, 2.0);
  EXPECT_TRUE(log.Has(3, "CGIS_CompoundElement::ScaleShape", "m_pFeature == NULL"));
  EXPECT_FALSE(c->RemoveElement(box));
  EXPECT_EQ(box->GetRect(), SGIS_Rect(0, 10, 10, 0));  // the former member is untouched
}

TEST_F(CompoundTest, ACycleInStoredMembersDoesNotHang) {
  // Two compounds whose stored member lists name each other (as a damaged or
  // foreign file could hold): walking them stops instead of recursing forever.
  CGIS_CompoundElement* a = Compound();
  CGIS_CompoundElement* b = Compound();
  set_->GetFeature(a->GetID())->AddMember(b->GetID());
  set_->GetFeature(b->GetID())->AddMember(a->GetID());
  EXPECT_TRUE(a->OnDraw(nullptr, false, nullptr));
  (void)a->GetRect();
  (void)a->GetHVScaleRatio();
  a->OffsetAllPoints(1, 1);
  a->ScaleShape(SGIS_Point(0, 0), 2.0, 2.0);
  EXPECT_EQ(a->GetElementCount(), 1);
}

// Page zero's walk is held open 256 compounds deep (its box's draw waits) while
// pages one to three, each on a thread of its own, walk their compounds of the
// same IDs many times, page one drawing page four inside its own. Every walk
// reaches its page's box, but those of page three, whose thread lowered its
// budget (and whose higher one within does not raise it again).
TEST(CompoundThreads, PagesWalkTheirCompoundsOfOneIdAtOnce) {
  CompoundPage pages[] = {CompoundPage(255), CompoundPage(1), CompoundPage(1), CompoundPage(1),
                          CompoundPage(1)};
  ASSERT_EQ(pages[4].chain[1]->GetID(), pages[0].chain[1]->GetID());
  std::vector<long> touched(5);
  pages[1].b->m_before = [&] { touched[4] = pages[4].DrawAndMove(); };
  pages[0].b->m_before = [&] {
    std::vector<std::jthread> threads;
    for (int i = 1; i < 4; ++i)
      threads.emplace_back([&, i] {
        std::optional<md::layout::detail::CompoundWalkBudget> lowered, higher;
        if (i == 3) lowered.emplace(1, 1), higher.emplace(1000, 1000);
        for (int r = 0; r < 200; ++r) touched[i] += pages[i].DrawAndMove();
      });
  };
  touched[0] = pages[0].DrawAndMove();
  EXPECT_EQ(touched, (std::vector<long>{2, 800, 400, -200, 2}));
}

TEST_F(CompoundTest, MembersSharedAtEveryLevelEndWithinTheWalksBudget) {
  // Two compounds per level, each listing both of the next level, 40 levels
  // deep: a full walk would visit 2^40 members.
  constexpr int kLevels = 40;
  std::vector<std::pair<CGIS_CompoundElement*, CGIS_CompoundElement*>> levels;
  for (int i = 0; i < kLevels; ++i) levels.emplace_back(Compound(), Compound());
  for (int i = 0; i + 1 < kLevels; ++i) {
    for (CGIS_CompoundElement* c : {levels[i].first, levels[i].second}) {
      ASSERT_TRUE(c->AddElement(levels[i + 1].first));
      ASSERT_TRUE(c->AddElement(levels[i + 1].second));
    }
  }
  levels.back().first->AddElement(Box(0, 0, 10, 10, "leaf"));
  EXPECT_FALSE(levels[0].first->OnDraw(nullptr, false, nullptr));
  // It did draw, and stopped within the walk's budget of 250,000 member
  // visits, far short of the 2^39 draws of the leaf a full walk makes.
  EXPECT_GT(TestBoxElement::Journal().size(), 1000u);
  EXPECT_LE(TestBoxElement::Journal().size(), 250000u);
}

// Stored member lists a walk cannot follow to the end: a rectangle 300
// compounds deep; compounds a level each listing both of the next (about 2^n
// visits, or copies, for n levels); more rectangles than the budget in one
// compound; a member whose element is gone. Every walk says so once under the
// host's call, having touched no more boxes than its budgets (lowered on this
// thread, then as they were) allow; a drawing and a copy fail and leave nothing.
TEST_F(CompoundTest, AWalkCutShortSaysSoOnce) {
  using Walk = int (*)(CGIS_CompoundElement*);  // drawing and copying answer 1 when they succeed
  const std::tuple<const char*, const char*, Walk> walks[] = {
      {"OnDraw", "drawn", [](auto* c) { return c->OnDraw(nullptr, false, nullptr); }},
      {"GetRect", "measured", [](auto* c) { return (void)c->GetRect(), 0; }},
      {"GetHVScaleRatio", "consulted", [](auto* c) { return (void)c->GetHVScaleRatio(), 0; }},
      {"ScaleShape", "scaled", [](auto* c) { return c->ScaleShape(SGIS_Point(0, 0, 0), 2, 2), 0; }},
      {"OffsetAllPoints", "moved", [](auto* c) { return c->OffsetAllPoints(5, 5), 0; }},
      {"SetLBpoint", "moved", [](auto* c) { return c->SetLBpoint(SGIS_Point(7, 7, 0)), 0; }},
      {"Clone", "copied", [](auto* c) { return c->Clone() != nullptr ? 1 : 0; }}};
  constexpr long kKeep = std::numeric_limits<long>::max();  // the budget as it is
  const std::tuple<std::string, int, std::size_t, int, long, long, const char*> rows[] = {
      {"members nested deeper than 256 compounds not ", 300, 1, 1, kKeep, kKeep, nullptr},
      {"member feature # has no element, not ", 1, 1, 1, kKeep, kKeep, nullptr},
      {"members past 100 member visits not ", 10, 2, 1, 100, kKeep, nullptr},
      {"members past 100 member visits not ", 1, 1, 150, 100, kKeep, nullptr},
      {"members past 50 member copies not ", 10, 2, 1, kKeep, 50, "Clone"}};
  for (const auto& [kind, levels, width, boxes, visits, copies, only] : rows) {
    const md::layout::detail::CompoundWalkBudget budget(visits, copies);
    std::vector<CGIS_CompoundElement*> level{Compound()};
    CGIS_CompoundElement* const top = level[0];
    for (int i = 1; i < levels; ++i) {
      std::vector<CGIS_CompoundElement*> next;
      while (next.size() < width) next.push_back(Compound());
      for (CGIS_CompoundElement* x : level)
        for (CGIS_CompoundElement* c : next) ASSERT_TRUE(x->AddElement(c));
      level = next;
    }
    for (int i = 0; i < boxes; ++i) level[0]->AddElement(Keep(new CountingBox(set_, nullptr)));
    auto* gone = new TestBoxElement(set_, nullptr);
    const std::string goneId = std::to_string(gone->GetID());
    if (kind.find('#') != std::string::npos) top->AddElement(gone);
    gone->Release();
    const int features = set_->GetFeatureCount();
    for (const auto& [op, done, walk] : walks) {
      if (only != nullptr && std::string(only) != op) continue;
      SCOPED_TRACE(op + (" " + kind));
      LogMark log;
      CountingBox::t_touched = 0;
      EXPECT_EQ(walk(top), 0);
      EXPECT_LE(CountingBox::t_touched, std::min(visits, copies));
      EXPECT_EQ(set_->GetFeatureCount(), features);
      std::string text = kind;
      if (const auto at = text.find('#'); at != std::string::npos) text.replace(at, 1, goneId);
      std::vector<std::string> records;
      for (const SGIS_LogRecord& r : log.Records()) records.push_back(r.method + " " + r.text);
      const std::string want = std::string("CGIS_CompoundElement::") + op + " compound " +
                               std::to_string(top->GetID()) + ": " + text + done;
      EXPECT_EQ(records, std::vector<std::string>{want});
    }
  }
}

// What the holder of a deleted compound's members does with them afterwards.
enum class Then { Nothing, Delete, DeleteOrRelease, Release };

TEST_F(CompoundTest, DeletingACompoundTakesItsMembersOffThePage) {
  // outer {a, b}, or outer {a, inner {b, deep}} when nested; shared: a
  // compound that stays lists a too; fromFile: the page is saved and made
  // again by a load, its elements the set's own.
  const struct {
    bool nested, shared, fromFile;
    Then then;
  } cases[] = {{false, false, false, Then::Delete},
               {true, false, false, Then::Delete},
               {true, false, false, Then::DeleteOrRelease},
               {true, false, false, Then::Release},
               {true, false, false, Then::Nothing},
               {true, true, false, Then::DeleteOrRelease},
               {true, false, true, Then::Delete}};
  const std::string file = ::testing::TempDir() + "compound-delete-" + std::to_string(::getpid());
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nested << c.shared << c.fromFile << static_cast<int>(c.then));
    const int registered = GIS_GetRegisteredElementCount();
    IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    std::vector<IGIS_Element*> made;
    auto make = [&](const char* kind) {
      const std::string type = std::string("GIS_TYPE_GRAPHIC_ELEMENT_") + kind;
      return made.emplace_back(page->CreateElement(type.c_str()));
    };
    auto group = [&](std::vector<IGIS_Element*> members) {
      auto* compound = dynamic_cast<IGIS_CompoundElement*>(make("COMPOUND"));
      for (IGIS_Element* m : members) EXPECT_TRUE(compound->AddElement(m));
      return compound;
    };
    IGIS_Element *loose = make("RECT"), *a = make("RECT"), *b = make("RECT");
    IGIS_Element* deep = c.nested ? make("RECT") : nullptr;
    IGIS_Element* second = c.nested ? group({b, deep}) : b;
    IGIS_Element* outer = group({a, second});
    std::vector<int> gone{outer->GetID(), b->GetID()}, kept{loose->GetID()};  // by ID
    if (c.nested) gone.insert(gone.end(), {second->GetID(), deep->GetID()});
    if (c.shared) kept.insert(kept.end(), {group({a})->GetID(), a->GetID()});
    if (!c.shared) gone.push_back(a->GetID());
    if (c.fromFile) {
      ASSERT_TRUE(page->SaveToFile(file.c_str()));
      for (IGIS_Element* e : made) e->Release();
      page->Release();
      page = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
      ASSERT_TRUE(page->LoadPageFromFile(file.c_str()));
    }
    std::vector<IGIS_Element*> members;  // found before the compound goes
    for (std::size_t i = 1; i < gone.size(); ++i) members.push_back(page->GetElement(gone[i]));
    ASSERT_TRUE(page->DeleteElement(page->GetElement(gone[0])));
    for (IGIS_Element* m : members) {
      ASSERT_NE(m, nullptr);
      if (c.then == Then::Delete) {
        EXPECT_FALSE(page->DeleteElement(m));
      }
      if (c.then == Then::DeleteOrRelease && !page->DeleteElement(m)) m->Release();
      if (c.then == Then::Release) m->Release();
    }

    ASSERT_TRUE(page->SaveToFile(file.c_str()));
    IGIS_FeatureSet* read = GIS_CreateFeatureSetObject(nullptr, "read", 0, 0, 0, 0, nullptr);
    ASSERT_TRUE(read->LoadFromFile(file.c_str()));
    EXPECT_EQ(read->GetFeatureCount(), static_cast<int>(kept.size()));
    for (int id : kept) EXPECT_NE(read->GetFeature(id), nullptr) << id;
    read->Release();
    // The survivors the test made end with DeleteElement, members before
    // their compound; the set ends the rest.
    for (auto id = kept.rbegin(); !c.fromFile && id != kept.rend(); ++id)
      EXPECT_TRUE(page->DeleteElement(page->GetElement(*id)));
    page->Release();
    EXPECT_EQ(GIS_GetRegisteredElementCount(), registered);
  }
  std::remove(file.c_str());
}

}  // namespace
