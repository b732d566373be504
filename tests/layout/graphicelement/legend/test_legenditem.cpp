// The legend item: labels, storage, cloning, measuring and its rows.
#include <span>
#include <string_view>

#include "host/basilo/propertyset_codec.h"
#include "layout/graphicelement/legend/legendtext.h"
#include "tests/layout/graphicelement/legend/legendtest.h"

namespace md::test {
namespace {

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using ItemPtr = md::basilo::ReleasePtr<IGIS_LegendItem>;
using md::layout::legend::LegendMarks;

std::vector<std::string> Labels(IGIS_LegendItem* item) {
  std::vector<std::string> out;
  for (int i = 0; i < item->GetLabelCount(); ++i) out.emplace_back(item->GetLabel(i));
  return out;
}

TEST(LegendItemLabels, AddRemoveAndIndexing) {
  ItemPtr item(GIS_CreateLegendItemObject(nullptr));
  EXPECT_FALSE(item->AddLabel(nullptr));
  for (const char* l : {"A", "B", "A"}) EXPECT_TRUE(item->AddLabel(l));
  EXPECT_EQ(item->GetLabel(3), nullptr);
  EXPECT_EQ(item->GetLabel(-1), nullptr);
  item->SetLabel(0, "Z");
  EXPECT_EQ(Labels(item.get()), (std::vector<std::string>{"A", "B", "A"}));
  EXPECT_TRUE(item->RemoveLabelAt(2));  // removes the first "A"
  EXPECT_EQ(Labels(item.get()), (std::vector<std::string>{"B", "A"}));
  EXPECT_FALSE(item->RemoveLabelAt(2));
  EXPECT_FALSE(item->RemoveLabelAt(-1));
  EXPECT_EQ(item->GetLabelCount(), 2);
  EXPECT_FALSE(item->RemoveLabel("C"));
  EXPECT_TRUE(item->RemoveLabel("A"));
  item->AddLabel("B");
  item->RemoveAllLabels();
  EXPECT_EQ(item->GetLabelCount(), 0);
  EXPECT_TRUE(item->IsValid());
}

TEST(LegendItemStorage, StoredItemReadsLabelsInKeyOrderAndSkipsMissingKeys) {
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("Number", "个数", GIS_FIELD_TYPE_INT, 1)->SetInt(3);
  set->AddProperty("Layer", "层名", GIS_FIELD_TYPE_STRING, 1)->SetString("河流");
  set->AddProperty("0", "0", GIS_FIELD_TYPE_STRING, 1)->SetString("甲");
  set->AddProperty("2", "2", GIS_FIELD_TYPE_STRING, 1)->SetString("丙");
  BufferPtr b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
  md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
  LogMark mark;
  EXPECT_FALSE(item->Open(b.get()));  // no legend, so no map to find the layer in
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::Open", "p_mapelement == NULL"));
  EXPECT_EQ(Labels(item.get()), (std::vector<std::string>{"甲", "丙"}));
  EXPECT_EQ(item->GetLayerName(), "河流");

  item->SetColumns(4);
  BufferPtr saved(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(item->Save(saved.get()));
  md::basilo::ReleasePtr<CGIS_LegendItem> back(new CGIS_LegendItem(nullptr));
  back->ReadStored(saved.get());
  EXPECT_EQ(Labels(back.get()), (std::vector<std::string>{"甲", "丙"}));
  EXPECT_EQ(back->GetColumns(), 4);
  EXPECT_EQ(back->GetLayerName(), "河流");
  EXPECT_FALSE(item->Save(nullptr));
}

TEST(LegendItemStorage, CloneKeepsTheLayerNameWithoutALayer) {
  md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("Layer", "层名", GIS_FIELD_TYPE_STRING, 1)->SetString("已删除的图层");
  BufferPtr b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  ASSERT_TRUE(item->ReadStored(b.get()));
  item->AddLabel("甲");
  item->SetShowHeading(false);
  item->SetColumns(2);
  ItemPtr clone(item->Clone());
  auto* c = dynamic_cast<CGIS_LegendItem*>(clone.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetLayerName(), "已删除的图层");
  EXPECT_EQ(Labels(c), (std::vector<std::string>{"甲"}));
  EXPECT_FALSE(c->GetShowHeading());
  EXPECT_EQ(c->GetColumns(), 2);
  EXPECT_NE(c->GetLayerNameSymbol(), item->GetLayerNameSymbol());
}

// Labels stored with another type read as the field getters give them.
TEST(LegendItemStorage, LabelsReadAsTheirFieldGettersGiveThem) {
  md::basilo::PropertySetEncoder encoder;
  encoder.Add(GIS_FIELD_TYPE_INT, "Number", "个数", 4, 0.0, false, {}, {});
  encoder.Add(GIS_FIELD_TYPE_STRING, "0", "0", 0, 0.0, false, "甲", {});
  encoder.Add(GIS_FIELD_TYPE_INT, "1", "1", 42, 0.0, false, {}, {});
  encoder.Add(GIS_FIELD_TYPE_STRING, "3", "3", 0, 0.0, false, "丁", {});
  std::string error;
  const std::span<const BYTE> bytes = encoder.Finished(&error);
  ASSERT_FALSE(bytes.empty()) << error;
  md::basilo::ReleasePtr<IGIS_Field> asInt(GIS_CreateFieldObject());
  asInt->SetType(GIS_FIELD_TYPE_INT);
  asInt->SetInt(42);
  const std::string intText = asInt->GetString() != nullptr ? asInt->GetString() : "";
  md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
  ASSERT_TRUE(item->ReadStored(bytes));
  EXPECT_EQ(Labels(item.get()), (std::vector<std::string>{"甲", intText, "丁"}));
}

// An item's own text symbols: a default one each until another is set,
// copied with the item; NULL clears a symbol for good.
TEST(LegendItemStorage, DefaultTextSymbolsAreMadeWhenAskedForAndCloned) {
  md::basilo::ReleasePtr<CGIS_LegendItem> item(new CGIS_LegendItem(nullptr));
  md::basilo::ReleasePtr<IGIS_Symbol> fresh(md::layout::legend::NewTextSymbol());
  ASSERT_NE(fresh, nullptr);
  for (IGIS_Symbol* (IGIS_LegendItem::*get)() :
       {&IGIS_LegendItem::GetHeadingSymbol, &IGIS_LegendItem::GetLayerNameSymbol}) {
    ItemPtr clone(item->Clone());  // taken before the item made its symbol
    for (IGIS_LegendItem* it : {static_cast<IGIS_LegendItem*>(item.get()), clone.get()}) {
      IGIS_Symbol* s = (it->*get)();
      ASSERT_NE(s, nullptr);
      EXPECT_NE(s->GetTextPart(), nullptr);
      EXPECT_EQ(s, (it->*get)());  // made once
      EXPECT_EQ(s->GetFontSizePtr()->lfHeight, fresh->GetFontSizePtr()->lfHeight);
    }
    EXPECT_NE((item.get()->*get)(), (clone.get()->*get)());
  }
  item->SetHeadingSymbolPtr(nullptr);
  EXPECT_EQ(item->GetHeadingSymbol(), nullptr);
  md::basilo::ReleasePtr<CGIS_LegendItem> unasked(new CGIS_LegendItem(nullptr));
  unasked->SetLayerNameSymbolPtr(nullptr);
  EXPECT_EQ(unasked->GetLayerNameSymbol(), nullptr);
  ItemPtr clone(unasked->Clone());
  EXPECT_EQ(clone->GetLayerNameSymbol(), nullptr);
  EXPECT_NE(clone->GetHeadingSymbol(), nullptr);
}

using LegendItemLayout = LegendPage;

// Measured sizes: label "文" is 300 high; each Chinese character 300 wide.
TEST_F(LegendItemLayout, MeasuresRowsGapsAndTheLayerName) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* legend = NewLegend(frame);
  struct Row {
    const char* name;
    const char* layer;
    std::vector<std::string> labels;
    bool showLayerName;
    double width, height;
  };
  const Row rows[] = {
      // 2000 + 1200 (主要河流) + 500; 250 + (1000 + 500) + 1000 + 300.
      {"two rows with the name", "河流", {"主要河流", "小河"}, true, 3700, 3050},
      {"two rows without the name", "河流", {"主要河流", "小河"}, false, 3700, 2500},
      {"three rows", "植被", {"林地", "林地", "林地"}, false, 3100, 4000},
      {"no labels: name only", "植被", {}, true, 2500, 550},
      {"no labels, no name", "植被", {}, false, 2500, 0},
      {"compound layer counts every label", "公路", {"主要公路", "没有的类"}, true, 3700, 3050},
  };
  for (const Row& row : rows) {
    legend->GetLegendFormat()->SetShowLayerName(row.showLayerName);
    ItemPtr item(NewItem(legend, row.layer, row.labels));
    item->CreateGraphics();
    EXPECT_EQ(item->GetWidth(), row.width) << row.name;
    EXPECT_EQ(item->GetHeight(), row.height) << row.name;
  }
  // A layer name wider than the rows sets the width.
  legend->GetLegendFormat()->SetShowLayerName(true);
  legend->GetLegendFormat()->GetLayerNameSymbol()->GetFontSizePtr()->lfHeight = -100;
  ItemPtr wide(NewItem(legend, "河流", {"小河"}));
  wide->CreateGraphics();
  EXPECT_EQ(wide->GetWidth(), 6000);
  EXPECT_EQ(wide->GetHeight(), 250 + 1000 + 3000);
}

TEST_F(LegendItemLayout, WithoutAFrameOrLayerTheItemMeasuresNothing) {
  CGIS_LegendElement* unbound = NewLegend();
  ItemPtr item(NewItem(unbound, "河流", {"小河"}));
  dynamic_cast<CGIS_LegendItem*>(item.get())->ForgetLayer();
  item->CreateGraphics();
  EXPECT_EQ(item->GetWidth(), 0.0);
  EXPECT_EQ(item->GetHeight(), 0.0);
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("Layer", "层名", GIS_FIELD_TYPE_STRING, 1)->SetString("不存在");
  BufferPtr b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  md::basilo::ReleasePtr<CGIS_LegendItem> missing(new CGIS_LegendItem(legend));
  EXPECT_TRUE(missing->Open(b.get()));
  EXPECT_EQ(missing->GetLayer(), nullptr);
  LogMark mark;
  missing->CreateGraphics();
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::CreateGraphics", "m_pLayer == NULL"));
  EXPECT_EQ(missing->GetHeight(), 0.0);
}

// One mark as a row of the table: patch or text, its first point, text.
struct MarkRow {
  bool patch;
  int category;  // patches: 2 point, 3 line, 4 area
  int x, y;
  std::string text;
  bool operator==(const MarkRow&) const = default;
};
void PrintTo(const MarkRow& m, std::ostream* os) {
  *os << (m.patch ? "patch " + std::to_string(m.category) : "text \"" + m.text + "\"") << " at " << m.x << ","
      << m.y;
}

std::vector<MarkRow> Rows(const LegendMarks& marks) {
  std::vector<MarkRow> out;
  for (const auto& m : marks) out.push_back({m.bPatch, m.nCategory, m.points[0].x, m.points[0].y, m.text});
  return out;
}

TEST_F(LegendItemLayout, RowsFromTheLastLabelUpwardsThenTheLayerName) {
  CGIS_MapElement* frame = NewFrame();
  CGIS_LegendElement* legend = NewLegend(frame);
  const SGIS_Point o(1000, 2000, 0);
  {
    SCOPED_TRACE("plain vector layer: a label without a class keeps its row as text");
    ItemPtr item(NewItem(legend, "河流", {"主要河流", "没有的类", "小河"}));
    LegendMarks marks;
    ASSERT_TRUE(dynamic_cast<CGIS_LegendItem*>(item.get())->Layout(o, &marks, "test"));
    EXPECT_EQ(Rows(marks), (std::vector<MarkRow>{
                               {true, 3, 1000, 2500, ""},  // line through the middle of 2000..3000
                               {false, 0, 3500, 2350, "小河"},
                               {false, 0, 3500, 3850, "没有的类"},
                               {true, 3, 1000, 5500, ""},
                               {false, 0, 3500, 5350, "主要河流"},
                               {false, 0, 1000, 6250, "河流"},  // 5000 + 1000 + 250
                           }));
    ASSERT_EQ(marks[0].nCount, 2);
    EXPECT_EQ(marks[0].points[1].x, 3000);
  }
  {
    SCOPED_TRACE("compound layer: rows as measured, unmatched labels take none");
    legend->GetLegendFormat()->GetLabelSymbol()->GetFontSizePtr()->lfHeight = -50;  // 1500 high
    ItemPtr item(NewItem(legend, "公路", {"主要公路", "没有的类"}));
    LegendMarks marks;
    ASSERT_TRUE(dynamic_cast<CGIS_LegendItem*>(item.get())->Layout(o, &marks, "test"));
    EXPECT_EQ(Rows(marks), (std::vector<MarkRow>{
                               {true, 3, 1000, 2750, ""},  // patch 2250..3250 in the row of 1500
                               {false, 0, 3500, 2000, "主要公路"},
                               {false, 0, 1000, 3750, "公路"},  // 2000 + 1500 + 250
                           }));
    legend->GetLegendFormat()->GetLabelSymbol()->GetFontSizePtr()->lfHeight = -10;
  }
  {
    SCOPED_TRACE("areas, points, classes without symbol or of another kind, labels hidden");
    legend->GetLegendFormat()->SetShowLabel(false);
    legend->GetLegendFormat()->SetShowLayerName(false);
    ItemPtr area(NewItem(legend, "植被", {"林地", "无符号", "注记"}));
    LegendMarks marks;
    LogMark mark;
    ASSERT_TRUE(dynamic_cast<CGIS_LegendItem*>(area.get())->Layout(o, &marks, "test"));
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "test", "p_legend_symbol == NULL"));
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "test", "符号类型不符合要求,不属于事先定义的点线面符号类型"));
    ASSERT_EQ(Rows(marks), (std::vector<MarkRow>{{true, 4, 1000, 5000, ""}}));
    EXPECT_EQ(marks[0].nCount, 5);
    EXPECT_EQ(marks[0].points[2].x, 3000);
    EXPECT_EQ(marks[0].points[2].y, 6000);
    ItemPtr point(NewItem(legend, "居民点", {"乡镇"}));
    marks.clear();
    ASSERT_TRUE(dynamic_cast<CGIS_LegendItem*>(point.get())->Layout(o, &marks, "test"));
    EXPECT_EQ(Rows(marks), (std::vector<MarkRow>{{true, 2, 2000, 2500, ""}}));
  }
}

}  // namespace
}  // namespace md::test
