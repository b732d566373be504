// The legend element: construction, items, stack layout, sizing, storage,
// cloning, the sheet and the wizard seams.
#include <cstring>

#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/legend/cgis_legendclassformat.h"
#include "layout/graphicelement/legend/legendwizard.h"
#include "tests/layout/graphicelement/legend/legendtest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using SetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

// An item of fixed size that records where it was asked to draw.
class FixedItem final : public IGIS_LegendItem {
 public:
  FixedItem(double w, double h, std::vector<SGIS_Point>* origins) : w_(w), h_(h), origins_(origins) {}
  int GetColumns() override { return 0; }
  void SetColumns(int) override {}
  bool GetItemFlag() override { return true; }
  void SetItemFlag(bool) override {}
  void CreateGraphics() override {}
  void SetClassFormat(IGIS_LegendClassFormat*) override {}
  IGIS_LegendClassFormat* GetClassFormat() override { return nullptr; }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  const char* GetLabel(int) override { return nullptr; }
  void SetLabel(int, const char*) override {}
  void Release() override { delete this; }
  IGIS_LegendItem* Clone() override { return new FixedItem(w_, h_, origins_); }
  void SetShowHeading(bool) override {}
  void SetShowLayerName(bool) override {}
  bool GetShowHeading() override { return false; }
  bool GetShowLayerName() override { return false; }
  IGIS_Symbol* GetHeadingSymbol() override { return nullptr; }
  IGIS_Symbol* GetLayerNameSymbol() override { return nullptr; }
  void SetHeadingSymbolPtr(IGIS_Symbol*) override {}
  void SetLayerNameSymbolPtr(IGIS_Symbol*) override {}
  // Any non-NULL layer: the item counts as found.
  IGIS_MapLayer* GetLayer() override { return reinterpret_cast<IGIS_MapLayer*>(this); }
  void SetLayer(IGIS_MapLayer*) override {}
  bool AddLabel(const char*) override { return false; }
  bool RemoveLabel(const char*) override { return false; }
  bool RemoveLabelAt(int) override { return false; }
  int GetLabelCount() override { return 0; }
  bool OnDraw(HDC, bool, IGIS_Display*, SGIS_Point origin) override {
    origins_->push_back(origin);
    return true;
  }
  bool IsValid() override { return true; }
  void RemoveAllLabels() override {}
  double GetWidth() override { return w_; }
  double GetHeight() override { return h_; }

 private:
  ~FixedItem() override = default;
  double w_, h_;
  std::vector<SGIS_Point>* origins_;
};

using LegendElement = LegendPage;

TEST_F(LegendElement, ANewLegendHasItsDefaultsStoredAndTheFactoryBuildsIt) {
  IGIS_Element* made = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND);
  ASSERT_NE(made, nullptr);
  elements_.push_back(made);
  auto* l = dynamic_cast<CGIS_LegendElement*>(made);
  ASSERT_NE(l, nullptr);
  EXPECT_STREQ(l->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_LEGEND);
  EXPECT_STREQ(l->GetName(), "图例整饰单元");
  EXPECT_STREQ(l->GetTitle(), "图例");
  EXPECT_STREQ(l->GetDescription(), "暂时没有定义");
  EXPECT_TRUE(l->GetFlag());
  EXPECT_FALSE(l->GetDirector());
  EXPECT_TRUE(l->CanConvert());
  EXPECT_EQ(l->GetMapElementID(), -10);
  IGIS_FeatureAttributes* attr = l->GetFeaturePtr()->GetAttributes();
  EXPECT_TRUE(attr->GetBool("IsLock"));
  EXPECT_TRUE(attr->GetBool("CanConvert"));
  EXPECT_STREQ(attr->GetString("TYPE"), GIS_TYPE_GRAPHIC_ELEMENT_LEGEND);
  SetPtr custom(CustomOf(l));
  for (const char* key : {"MapElementID", "FrameProperty", "Title", "Director", "ItemNum", "Format"}) {
    EXPECT_NE(custom->GetProperty(key), nullptr) << key;
  }
  EXPECT_EQ(custom->GetProperty("MapElementID")->GetInt(), -10);

  // Told either way, it keeps its proportions and its stored flag.
  l->SetHVScaleRatio(true);
  l->SetHVScaleRatio(false);
  EXPECT_TRUE(l->GetHVScaleRatio());
  ASSERT_TRUE(l->Archive(0, 0));
  EXPECT_FALSE(attr->GetBool("KeepHVScaleRatio"));
}

TEST_F(LegendElement, TitlesAndFramesFollowTheirSetters) {
  CGIS_LegendElement* l = NewLegend();
  LogMark mark;
  l->SetTitle(nullptr);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::SetTitle", "cTitle"));
  EXPECT_STREQ(l->GetTitle(), "图例");
  std::string longTitle(400, 'x');
  for (int i = 0; i < 300; ++i) longTitle += "图";  // 400 + 900 bytes
  l->SetTitle(longTitle.c_str());
  EXPECT_EQ(std::strlen(l->GetTitle()), 400u + 3 * 199);  // whole characters within 999 bytes
  IGIS_FrameProperty* own = l->GetFrameProperty();
  ASSERT_NE(own, nullptr);
  EXPECT_TRUE(l->SetFrameProperty(own));
  EXPECT_EQ(l->GetFrameProperty(), own);
  EXPECT_TRUE(l->SetFrameProperty(nullptr));
  EXPECT_EQ(l->GetFrameProperty(), nullptr);
  l->SetLegendFormat(nullptr);
  EXPECT_NE(l->GetLegendFormat(), nullptr);
}

TEST_F(LegendElement, ItemListOperations) {
  CGIS_LegendElement* l = NewLegend();
  std::vector<SGIS_Point> origins;
  IGIS_LegendItem* a = new FixedItem(1, 1, &origins);
  IGIS_LegendItem* b = new FixedItem(2, 2, &origins);
  IGIS_LegendItem* c = new FixedItem(3, 3, &origins);
  IGIS_LegendItem* d = new FixedItem(4, 4, &origins);
  EXPECT_FALSE(l->AddItem(nullptr));
  EXPECT_TRUE(l->AddItem(a));
  EXPECT_TRUE(l->AddItem(b));
  l->InsertItem(0, c);    // the top of the stack
  l->InsertItem(100, d);  // appended
  ASSERT_EQ(l->GetItemCount(), 4);
  EXPECT_EQ(l->GetItem(0), c);
  EXPECT_EQ(l->GetItem(3), d);
  EXPECT_EQ(l->GetItem(-1), nullptr);
  EXPECT_EQ(l->GetItem(4), nullptr);
  EXPECT_FALSE(l->RemoveItem(-1));
  EXPECT_FALSE(l->RemoveItem(4));
  IGIS_LegendItem* taken = l->GetItem(1);
  EXPECT_TRUE(l->RemoveItem(1));
  EXPECT_EQ(taken, a);
  taken->Release();  // the caller owns what it took out
  EXPECT_EQ(l->GetItemCount(), 3);
  l->RemoveAllItems();
  EXPECT_EQ(l->GetItemCount(), 0);
}

TEST_F(LegendElement, TheStackRoundsWhileLaidOutAndTruncatesWhileDrawn) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  l->GetLegendFormat()->SetShowTitle(false);
  l->GetLegendFormat()->SetItemGap(40);
  std::vector<SGIS_Point> origins;
  l->AddItem(new FixedItem(500, 100.6, &origins));  // top
  l->AddItem(new FixedItem(300, 100.4, &origins));  // bottom
  l->RecalcRect();
  const SGIS_Rect r = l->GetRect();
  EXPECT_EQ(r.left, 1000);
  EXPECT_EQ(r.bottom, 2000);
  EXPECT_EQ(r.Height(), 241);
  EXPECT_EQ(r.Width(), 500);
  Screen screen;
  ASSERT_TRUE(l->OnDraw(screen.hdc, false, &screen.display));
  ASSERT_EQ(origins.size(), 2u);
  EXPECT_EQ(origins[0].y, 2000);
  EXPECT_EQ(origins[1].y, 2140);
  EXPECT_EQ(origins[1].x, 1000);

  // The title measured 30 x 10 symbol units at a symbol scale of 100.
  ASSERT_TRUE(set_->SetUnitRatio(100.0));
  l->GetLegendFormat()->SetShowTitle(true);
  l->SetTitle("ABCDEF");
  l->RecalcRect();
  EXPECT_EQ(l->GetRect().Width(), 3000);
  EXPECT_EQ(l->GetRect().Height(), 241 + 1000 + 600);

  // Without items and title the legend is empty: no gap is taken off.
  l->RemoveAllItems();
  l->GetLegendFormat()->SetShowTitle(false);
  l->RecalcRect();
  EXPECT_EQ(l->GetRect().Height(), 0);
}

struct SizeRow {
  const char* name;
  int w, h;         // asked size, from 1000 x 2000
  double expected;  // factor applied (0: nothing)
};
const SizeRow kSizeRows[] = {
    {"twice the width, three times the height: the smaller", 2000, 6000, 2.0},
    {"half the width, twice the height: the larger", 500, 4000, 2.0},
    {"the current width: nothing", 1000, 5000, 0.0},
    {"a zero size: nothing", 0, 5000, 0.0},
};

TEST_F(LegendElement, SizingScalesTheFormatAndReLaysTheStack) {
  for (const SizeRow& row : kSizeRows) {
    CGIS_LegendElement* l = NewLegend(NewFrame());
    std::vector<SGIS_Point> origins;
    l->AddItem(new FixedItem(1000, 2000, &origins));
    l->GetLegendFormat()->SetShowTitle(false);
    l->RecalcRect();
    ASSERT_EQ(l->GetRect().Width(), 1000);
    ASSERT_EQ(l->GetRect().Height(), 2000);
    l->SetWidthAndHeight(row.w, row.h);
    const int patch = row.expected > 0 ? static_cast<int>(2000 * row.expected) : 2000;
    EXPECT_EQ(l->GetLegendFormat()->GetDefaultPatchWidth(), patch) << row.name;
    // The fixed items keep their size: the stack lays out to them again.
    EXPECT_EQ(l->GetRect().Height(), 2000) << row.name;
    EXPECT_EQ(l->GetRect().left, 1000) << row.name;
    EXPECT_EQ(l->GetRect().bottom, 2000) << row.name;
  }
  CGIS_LegendElement* l = NewLegend();
  l->RecalcRect();
  const SGIS_Rect before = l->GetRect();
  l->SetRect(SGIS_Rect(0, 500, 800, 500));  // zero height
  EXPECT_EQ(l->GetRect().left, before.left);
  l->OffsetAllPoints(100, -50);
  EXPECT_EQ(l->GetRect().left, before.left + 100);
  EXPECT_EQ(l->GetRect().bottom, before.bottom - 50);
  l->SetLBpoint(SGIS_Point(7, 9, 0));
  EXPECT_EQ(l->GetRect().left, 7);
  EXPECT_EQ(l->GetRect().bottom, 9);
}

TEST_F(LegendElement, ScaleShapeKeepsTheCornerAndScalesTheFormatByTheSmallerFactor) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  l->AddItem(NewItem(l, "河流", {"小河"}));
  l->RecalcRect();
  const SGIS_Rect before = l->GetRect();
  l->ScaleShape(SGIS_Point(before.left, before.bottom, 0), 2.0, 3.0);
  const SGIS_Rect after = l->GetRect();
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.bottom, before.bottom);
  EXPECT_EQ(l->GetLegendFormat()->GetDefaultPatchHeight(), 2000);
  EXPECT_EQ(l->GetLegendFormat()->GetItemGap(), 800);
  // Everything doubled, texts included: the stack is twice as high.
  EXPECT_EQ(after.Height(), 2 * before.Height());
  EXPECT_EQ(after.Width(), 2 * before.Width());
  l->ScaleShape(SGIS_Point(0, 0, 0), -1.0, 2.0);
  EXPECT_EQ(l->GetRect().left, after.left);
}

TEST_F(LegendElement, StoredLegendReadsBackItsItemsInOrderAndKeepsItemsOfMissingLayers) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->SetTitle("西山图例");
  l->SetDirector(true);
  l->GetLegendFormat()->SetItemGap(333);
  l->AddItem(NewItem(l, "河流", {"主要河流", "小河"}));
  l->AddItem(NewItem(l, "植被", {"林地"}));
  l->AddItem(NewItem(l, "居民点", {"乡镇"}));
  ASSERT_TRUE(l->Archive(0, 0));
  {
    SetPtr custom(CustomOf(l));
    EXPECT_EQ(custom->GetProperty("ItemNum")->GetInt(), 3);
    for (const char* key : {"0", "1", "2"}) EXPECT_NE(custom->GetProperty(key), nullptr) << key;
    EXPECT_EQ(custom->GetProperty("MapElementID")->GetInt(), frame->GetID());
  }
  // The same feature read by a new legend.
  auto* back = new CGIS_LegendElement(set_, l->GetFeaturePtr());
  elements_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElement(), frame);
  EXPECT_STREQ(back->GetTitle(), "西山图例");
  EXPECT_TRUE(back->GetDirector());
  EXPECT_EQ(back->GetLegendFormat()->GetItemGap(), 333);
  ASSERT_EQ(back->GetItemCount(), 3);
  EXPECT_EQ(back->GetItem(1)->GetLayer(), Layer("植被"));
  EXPECT_STREQ(back->GetItem(0)->GetLabel(1), "小河");

  // A stored item whose layer the map does not have: kept, not stacked,
  // written back unchanged.
  auto* lost = dynamic_cast<CGIS_LegendItem*>(NewItem(l, "河流", {"甲"}));
  lost->ForgetLayer();
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("Layer", "层名", GIS_FIELD_TYPE_STRING, 1)->SetString("已删除的图层");
  BufferPtr b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  lost->ReadStored(b.get());
  l->InsertItem(1, lost);
  ASSERT_TRUE(l->Archive(0, 0));
  const std::vector<unsigned char> stored = CustomBytes(l);
  ASSERT_TRUE(back->Archive(1, 0));
  ASSERT_EQ(back->GetItemCount(), 4);
  EXPECT_EQ(back->GetItem(1)->GetLayer(), nullptr);
  EXPECT_EQ(dynamic_cast<CGIS_LegendItem*>(back->GetItem(1))->GetLayerName(), "已删除的图层");
  const SGIS_Rect laidOut = back->GetRect();
  l->RemoveItem(1);
  lost->Release();
  l->RecalcRect();
  EXPECT_EQ(laidOut.Height(), l->GetRect().Height());  // the lost item takes no room
  ASSERT_TRUE(back->Archive(0, 0));
  EXPECT_EQ(CustomBytes(back), stored);
}

// The state of an item that a read gives it.
std::string ItemState(IGIS_LegendItem* item) {
  auto* own = dynamic_cast<CGIS_LegendItem*>(item);
  std::string out = own != nullptr ? own->GetLayerName() : "?";
  out += "|" + std::to_string(item->GetColumns()) + std::to_string(item->GetItemFlag()) +
         std::to_string(item->GetShowHeading()) + std::to_string(item->GetShowLayerName()) +
         std::to_string(item->GetClassFormat() != nullptr) + std::to_string(item->GetLayer() != nullptr);
  for (IGIS_Symbol* s : {item->GetHeadingSymbol(), item->GetLayerNameSymbol()})
    out += s != nullptr ? "|" + std::to_string(s->GetFontSizePtr()->lfHeight) : "|none";
  for (int i = 0; i < item->GetLabelCount(); ++i) out += std::string("|") + item->GetLabel(i);
  return out;
}

// A legend read over items it held, whatever was done to them, holds what a
// new legend reading the same stored form holds.
TEST_F(LegendElement, AReadOverHeldItemsGivesWhatANewLegendReads) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* stored = NewLegend(frame);
  stored->AddItem(NewItem(stored, "河流", {"主要河流", "小河"}));
  stored->AddItem(NewItem(stored, "植被", {}));
  stored->AddItem(NewItem(stored, "居民点", {"乡镇", "村庄", "独立房屋"}));
  ASSERT_TRUE(stored->Archive(0, 0));
  const std::vector<unsigned char> bytes = CustomBytes(stored);
  auto* fresh = new CGIS_LegendElement(set_, stored->GetFeaturePtr());
  elements_.push_back(fresh);
  ASSERT_TRUE(fresh->Archive(1, 0));

  struct Row {
    const char* name;
    int heldItems;
  };
  for (const Row& row : {Row{"fewer held", 1}, Row{"as many", 3}, Row{"more held", 5}}) {
    CGIS_LegendElement* l = NewLegend(frame);
    for (int i = 0; i < row.heldItems; ++i) {
      CGIS_LegendItem* item = NewItem(l, "植被", {"甲", "乙", "丙", "丁", "一个很长很长很长的说明文字"});
      item->SetColumns(7);
      item->SetItemFlag(false);
      item->SetShowHeading(false);
      item->SetShowLayerName(false);
      item->GetHeadingSymbol()->GetFontSizePtr()->lfHeight = 999;
      item->SetLayerNameSymbolPtr(nullptr);
      CGIS_LegendClassFormat classFormat;
      item->SetClassFormat(&classFormat);
      l->AddItem(item);
    }
    l->AddItem(new FixedItem(10, 10, nullptr));  // not ours: released by the read
    ASSERT_TRUE(l->Archive(0, 0));
    BufferPtr custom(GIS_CreateDataBufferObject(static_cast<int>(bytes.size())));
    std::memcpy(custom->GetData(), bytes.data(), bytes.size());
    ASSERT_TRUE(l->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", custom.get(), 0));
    ASSERT_TRUE(l->Archive(1, 0)) << row.name;
    ASSERT_EQ(l->GetItemCount(), fresh->GetItemCount()) << row.name;
    for (int i = 0; i < l->GetItemCount(); ++i)
      EXPECT_EQ(ItemState(l->GetItem(i)), ItemState(fresh->GetItem(i))) << row.name << " item " << i;
    EXPECT_EQ(l->GetRect().Width(), fresh->GetRect().Width()) << row.name;
    EXPECT_EQ(l->GetRect().Height(), fresh->GetRect().Height()) << row.name;
  }
}

// Whatever is done to an item after a write, the next write stores it as it
// is then, and a read of the written bytes gives what a new legend reads.
TEST_F(LegendElement, AReadOfWhatWasWrittenUndoesAnyChangeSince) {
  struct Row {
    const char* name;
    void (*change)(CGIS_LegendItem*, IGIS_MapLayer*);
    bool bStored;  // the change alters the stored form
  };
  const Row rows[] = {
      {"nothing", [](CGIS_LegendItem*, IGIS_MapLayer*) {}, false},
      {"label added", [](CGIS_LegendItem* i, IGIS_MapLayer*) { i->AddLabel("新增"); }, true},
      {"label removed", [](CGIS_LegendItem* i, IGIS_MapLayer*) { i->RemoveLabelAt(0); }, true},
      {"labels cleared", [](CGIS_LegendItem* i, IGIS_MapLayer*) { i->RemoveAllLabels(); }, true},
      {"columns", [](CGIS_LegendItem* i, IGIS_MapLayer*) { i->SetColumns(3); }, true},
      {"layer", [](CGIS_LegendItem* i, IGIS_MapLayer* l) { i->SetLayer(l); }, true},
      {"unstored state",
       [](CGIS_LegendItem* i, IGIS_MapLayer*) {
         i->SetShowHeading(false);
         i->SetItemFlag(false);
         i->GetHeadingSymbol()->GetFontSizePtr()->lfHeight = 999;
         CGIS_LegendClassFormat classFormat;
         i->SetClassFormat(&classFormat);
       },
       false},
  };
  CGIS_MapElement* frame = NewFrame();
  for (const Row& row : rows) {
    CGIS_LegendElement* l = NewLegend(frame);
    l->AddItem(NewItem(l, "河流", {"主要河流", "小河"}));
    l->AddItem(NewItem(l, "居民点", {"乡镇", "村庄"}));
    ASSERT_TRUE(l->Archive(0, 0));
    const std::vector<unsigned char> written = CustomBytes(l);
    auto* fresh = new CGIS_LegendElement(set_, l->GetFeaturePtr());
    elements_.push_back(fresh);
    ASSERT_TRUE(fresh->Archive(1, 0));
    row.change(dynamic_cast<CGIS_LegendItem*>(l->GetItem(0)), Layer("植被"));
    ASSERT_TRUE(l->Archive(0, 0));
    EXPECT_EQ(CustomBytes(l) != written, row.bStored) << row.name;
    BufferPtr custom(GIS_CreateDataBufferObject(static_cast<int>(written.size())));
    std::memcpy(custom->GetData(), written.data(), written.size());
    ASSERT_TRUE(l->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", custom.get(), 0));
    ASSERT_TRUE(l->Archive(1, 0)) << row.name;
    for (int i = 0; i < 2; ++i) EXPECT_EQ(ItemState(l->GetItem(i)), ItemState(fresh->GetItem(i))) << row.name;
    ASSERT_TRUE(l->Archive(0, 0));
    EXPECT_EQ(CustomBytes(l), written) << row.name;
  }
}

// A read stacks the legend, commits its rectangle once and writes the same
// records as laying it out again does; stored again, the bytes are as read.
TEST_F(LegendElement, AReadStacksAsLayingTheLegendOutAgainDoes) {
  struct Row {
    const char* name;
    bool withFrame;
    bool withLostItem;
    int labelHeight;  // 0: the format's own
    const char* title;
  };
  // The first rows differ from the one before only in what they name.
  const Row rows[] = {
      {"layers found", true, false, 0, "图例"},
      {"larger labels", true, false, -20, "图例"},
      {"another title", true, false, -20, "西山图例说明"},
      {"a layer missing", true, true, 0, "图例"},
      {"no frame", false, false, 0, "图例"},
  };
  IGIS_FeatureClass* features = set_->GetFeatureClass();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CGIS_MapElement* frame = NewFrame();
    CGIS_LegendElement* l = NewLegend(frame);
    l->SetTitle(row.title);
    if (row.labelHeight != 0)
      l->GetLegendFormat()->GetLabelSymbol()->GetFontSizePtr()->lfHeight = row.labelHeight;
    l->AddItem(NewItem(l, "河流", {"主要河流", "小河"}));
    l->AddItem(NewItem(l, "植被", {"林地"}));
    if (row.withLostItem) {
      auto* lost = dynamic_cast<CGIS_LegendItem*>(NewItem(l, "河流", {"甲"}));
      lost->ForgetLayer();
      SetPtr set(GIS_CreatePropertySetObject());
      set->AddProperty("Layer", "层名", GIS_FIELD_TYPE_STRING, 1)->SetString("已删除的图层");
      BufferPtr b(GIS_CreateDataBufferObject(0));
      set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
      lost->ReadStored(b.get());
      l->InsertItem(1, lost);
    }
    if (!row.withFrame) l->SetMapElement(nullptr);
    l->RecalcRect();
    // Moved without a new stack: the read lays it out from this corner.
    l->OffsetAllPoints(500, 700);
    ASSERT_TRUE(l->Archive(0, 0));
    const std::vector<unsigned char> stored = CustomBytes(l);
    // Read twice: the second read meets a stored form it has read before.
    for (int pass = 0; pass < 2; ++pass) {
      SCOPED_TRACE(pass);
      features->ClearUpdateRecords();
      const int readLost = [&] {
        const LogMark read;
        EXPECT_TRUE(l->Archive(1, 0));
        return read.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::CreateGraphics", "m_pLayer == NULL");
      }();
      const SGIS_Rect rect = l->GetRect();
      SGIS_Rect bound;
      l->GetFeaturePtr()->GetBound(&bound, 1, 0);
      EXPECT_EQ(bound, rect);
      int id = 0, flags = 0;
      ASSERT_EQ(features->GetUpdateCount(), 1);
      ASSERT_TRUE(features->GetUpdateRecord(0, &id, &flags));
      EXPECT_EQ(id, l->GetID());
      EXPECT_EQ(flags, GIS_UPDATE_GEOMETRY);
      std::vector<std::pair<double, double>> sizes;
      for (int i = 0; i < l->GetItemCount(); ++i)
        sizes.emplace_back(l->GetItem(i)->GetWidth(), l->GetItem(i)->GetHeight());
      // Laid out again: the same stack and the records of its own lookups.
      const LogMark again;
      l->RecalcRect();
      EXPECT_EQ(l->GetRect(), rect);
      for (int i = 0; i < l->GetItemCount(); ++i) {
        EXPECT_EQ(l->GetItem(i)->GetWidth(), sizes[static_cast<std::size_t>(i)].first) << i;
        EXPECT_EQ(l->GetItem(i)->GetHeight(), sizes[static_cast<std::size_t>(i)].second) << i;
      }
      const int againLost =
          again.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::CreateGraphics", "m_pLayer == NULL");
      EXPECT_EQ(readLost, againLost);
      EXPECT_EQ(againLost, row.withLostItem ? 1 : 0);
      ASSERT_TRUE(l->Archive(0, 0));
      EXPECT_EQ(CustomBytes(l), stored);
    }
  }
}

TEST_F(LegendElement, StoredSetsWithoutFrameOrItemsReadBackEmpty) {
  CGIS_LegendElement* l = NewLegend();
  ASSERT_TRUE(l->Archive(0, 0));
  SetPtr custom(CustomOf(l));
  EXPECT_EQ(custom->GetProperty("MapElementID")->GetInt(), -10);
  auto* back = new CGIS_LegendElement(set_, l->GetFeaturePtr());
  elements_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElement(), nullptr);

  // A set without "ItemNum" leaves the legend without items.
  back->AddItem(NewItem(back, "河流", {"小河"}));
  SetPtr bare(GIS_CreatePropertySetObject());
  bare->AddProperty("Title", "标题", GIS_FIELD_TYPE_STRING, 1)->SetString("只有标题");
  BufferPtr buffer(GIS_CreateDataBufferObject(0));
  bare->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0);
  back->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", buffer.get(), 0);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetItemCount(), 0);
  EXPECT_STREQ(back->GetTitle(), "只有标题");
  EXPECT_NE(back->GetLegendFormat(), nullptr);
}

TEST_F(LegendElement, ACloneFollowsTheSameFrameWithCopiesOfEverything) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* l = NewLegend(frame);
  l->SetTitle("副本");
  l->SetFlag(false);
  l->GetLegendFormat()->SetVerticalItemGap(123);
  l->AddItem(NewItem(l, "河流", {"小河"}));
  l->RecalcRect();
  auto* c = dynamic_cast<CGIS_LegendElement*>(l->Clone());
  ASSERT_NE(c, nullptr);
  elements_.push_back(c);
  EXPECT_EQ(c->GetMapElement(), frame);
  EXPECT_STREQ(c->GetTitle(), "副本");
  EXPECT_FALSE(c->GetFlag());
  EXPECT_NE(c->GetLegendFormat(), l->GetLegendFormat());
  EXPECT_EQ(c->GetLegendFormat()->GetVerticalItemGap(), 123);
  ASSERT_EQ(c->GetItemCount(), 1);
  EXPECT_NE(c->GetItem(0), l->GetItem(0));
  EXPECT_EQ(c->GetItem(0)->GetLayer(), Layer("河流"));
  EXPECT_EQ(c->GetRect().left, l->GetRect().left);
  EXPECT_EQ(c->GetRect().Height(), l->GetRect().Height());
  // The clone's items belong to the clone: they still measure after the source ends.
  std::erase(elements_, static_cast<IGIS_Element*>(l));
  l->Release();
  c->RecalcRect();
  EXPECT_GT(c->GetItem(0)->GetHeight(), 0.0);
}

// A sheet that edits title, format and items, then ends as the test says.
bool g_sheetConfirms = false;
bool EditingSheet(IGIS_Element* e, IGIS_Display*, const char* title) {
  EXPECT_STREQ(title, "图例属性");
  auto* l = dynamic_cast<CGIS_LegendElement*>(e);
  l->SetTitle("改过的标题");
  l->GetLegendFormat()->SetItemGap(1);
  l->GetLegendFormat()->SetLabelSymbolPtr(nullptr);
  l->RemoveAllItems();
  l->SetFrameProperty(nullptr);
  l->SetDirector(true);
  l->OffsetAllPoints(500, 500);
  return g_sheetConfirms;
}

TEST_F(LegendElement, CancelLeavesTheStoredFormByteIdenticalAndOkKeepsTheEdits) {
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, &EditingSheet);
  CGIS_LegendElement* l = NewLegend(NewFrame());
  l->AddItem(NewItem(l, "河流", {"主要河流", "小河"}));
  l->AddItem(NewItem(l, "居民点", {"乡镇"}));
  l->RecalcRect();
  ASSERT_TRUE(l->Archive(0, 0));
  const std::vector<unsigned char> before = CustomBytes(l);
  const SGIS_Rect rect = l->GetRect();
  const int features = set_->GetFeatureCount();

  IGIS_FeatureAttributes* attr = l->GetFeaturePtr()->GetAttributes();
  ASSERT_FALSE(attr->GetBool("KeepHVScaleRatio"));

  g_sheetConfirms = false;
  EXPECT_FALSE(l->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(set_->GetFeatureCount(), features);  // no backup left behind
  ASSERT_TRUE(l->Archive(0, 0));
  EXPECT_EQ(CustomBytes(l), before);
  EXPECT_FALSE(attr->GetBool("KeepHVScaleRatio"));  // as stored, whatever its setter makes of it
  EXPECT_EQ(l->GetRect().left, rect.left);
  EXPECT_EQ(l->GetRect().top, rect.top);

  g_sheetConfirms = true;
  EXPECT_TRUE(l->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(set_->GetFeatureCount(), features);
  EXPECT_STREQ(l->GetTitle(), "改过的标题");
  EXPECT_EQ(l->GetItemCount(), 0);
  EXPECT_EQ(l->GetFrameProperty(), nullptr);
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, nullptr);
}

// What a legend holds is what it reads back: counts the reading could not
// take are refused where they enter, with a record, and never silently lost.
TEST_F(LegendElement, CountsTheReadingCannotTakeAreRefusedWhereTheyEnter) {
  CGIS_LegendElement* l = NewLegend();
  // Items: the last one that fits, then one by each way in.
  for (int i = 0; i < CGIS_LegendElement::kMaxStoredItems; ++i) {
    ASSERT_TRUE(l->AddItem(new CGIS_LegendItem(l)));
  }
  LogMark mark;
  EXPECT_FALSE(l->AddItem(new CGIS_LegendItem(l)));  // the legend releases what it refuses
  l->InsertItem(0, new CGIS_LegendItem(l));
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::AddItem", "ItemNum == 16384: no more items"),
            1);
  EXPECT_EQ(
      mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::InsertItem", "ItemNum == 16384: no more items"),
      1);
  // Labels of one item.
  auto* item = dynamic_cast<CGIS_LegendItem*>(l->GetItem(0));
  for (int i = 0; i < CGIS_LegendItem::kMaxStoredLabels; ++i) ASSERT_TRUE(item->AddLabel("类"));
  EXPECT_FALSE(item->AddLabel("多"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::AddLabel", "Number == 65536: no more labels"));

  ASSERT_TRUE(l->Archive(0, 0));
  const std::vector<unsigned char> stored = CustomBytes(l);
  auto* back = new CGIS_LegendElement(set_, l->GetFeaturePtr());
  elements_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  ASSERT_EQ(back->GetItemCount(), CGIS_LegendElement::kMaxStoredItems);
  EXPECT_EQ(back->GetItem(0)->GetLabelCount(), CGIS_LegendItem::kMaxStoredLabels);
  ASSERT_TRUE(back->Archive(0, 0));
  EXPECT_EQ(CustomBytes(back), stored);
}

IGIS_MapLayer* g_wizardLayer = nullptr;
bool FinishingWizard(IGIS_LegendElement* legend, md::layout::SGIS_LegendWizardResult* result) {
  result->format.reset(GIS_CreateLegendFormatObject());
  result->format->SetPatchAndLabelsGap(77);
  result->titleSymbol.reset(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  result->titleSymbol->GetFontSizePtr()->lfHeight = -21;
  result->title = "图例说明";
  IGIS_LegendItem* item = GIS_CreateLegendItemObject(legend);
  item->SetLayer(g_wizardLayer);
  item->AddLabel("小河");
  result->items.emplace_back(item);
  return true;
}

TEST_F(LegendElement, TheWizardSeamAppendsWhatAFinishedWizardChose) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  md::layout::LegendWizardRunner previous = md::layout::SetLegendWizardRunner(nullptr);
  EXPECT_FALSE(l->RunWizard());
  EXPECT_EQ(l->GetItemCount(), 0);
  g_wizardLayer = Layer("河流");
  md::layout::SetLegendWizardRunner(&FinishingWizard);
  EXPECT_TRUE(l->RunWizard());
  EXPECT_TRUE(l->RunWizard());
  ASSERT_EQ(l->GetItemCount(), 2);
  EXPECT_EQ(l->GetItem(1)->GetLayer(), g_wizardLayer);
  EXPECT_STREQ(l->GetTitle(), "图例说明");
  EXPECT_EQ(l->GetLegendFormat()->GetPatchAndLabelsGap(), 77);
  EXPECT_EQ(l->GetLegendFormat()->GetTitleSymbol()->GetFontSizePtr()->lfHeight, -21);
  EXPECT_GT(l->GetRect().Height(), 0);
  md::layout::SetLegendWizardRunner(previous);
}

}  // namespace
}  // namespace md::test
