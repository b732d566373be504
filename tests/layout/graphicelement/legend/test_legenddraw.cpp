// Drawing the legend inside its clip, draft mode, conversion into plain
// elements equal to the drawing, and a legend of the 1:50,000 sample sheet.
#include <algorithm>
#include <functional>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/legend/legendtest.h"

namespace md::test {
namespace {

using md::canvas::Record;
using LegendDraw = LegendPage;

void Fill(CGIS_LegendElement* l,
          const std::function<CGIS_LegendItem*(const char*, std::vector<std::string>)>& make) {
  l->AddItem(make("河流", {"主要河流", "小河"}));
  l->AddItem(make("居民点", {"乡镇"}));
  l->RecalcRect();
}

TEST_F(LegendDraw, EveryMarkIsDrawnInsideTheElementClipAndTheClipComesBack) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  Fill(l, [&](const char* layer, std::vector<std::string> labels) { return NewItem(l, layer, labels); });
  for (bool preset : {false, true}) {
    Printer printer;
    if (preset) IntersectClipRect(printer.hdc, 10, 10, 2500, 1900);
    const std::string before = ClipOf(printer.hdc);
    ASSERT_TRUE(l->OnDraw(printer.hdc, true, printer.display.get()));
    EXPECT_EQ(ClipOf(printer.hdc), before);
    EXPECT_EQ(TextsOf(printer.canvas),
              (std::vector<std::string>{"乡镇", "居民点", "小河", "主要河流", "河流", "图例"}));
    int lines = 0;
    for (const Record& r : printer.canvas.records()) {
      EXPECT_TRUE(r.state.clip.active);
      for (const md::canvas::Rect& c : r.state.clip.rects) {
        EXPECT_GE(c.left, 0);
        EXPECT_LE(c.right, 3000);
        if (preset) {
          EXPECT_LE(c.right, 2500);
        }
      }
      lines += r.type == Record::Type::Shape && r.Points().size() == 2;
    }
    EXPECT_EQ(lines, 2);  // the two river classes; the town's class is a point
  }
}

TEST_F(LegendDraw, EarlyEndsRestoreTheClipToo) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  Fill(l, [&](const char* layer, std::vector<std::string> labels) { return NewItem(l, layer, labels); });
  l->GetLegendFormat()->SetTitleSymbolPtr(nullptr);
  Printer printer;
  IntersectClipRect(printer.hdc, 10, 10, 2500, 1900);
  const std::string before = ClipOf(printer.hdc);
  LogMark mark;
  EXPECT_FALSE(l->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::OnDraw", "p_txtsymbol == NULL"));
  EXPECT_EQ(ClipOf(printer.hdc), before);
  EXPECT_EQ(TextsOf(printer.canvas).size(), 5u);  // the items, no title

  // No spatial reference on the page: nothing drawn, clip untouched.
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  printer.canvas.clear();
  EXPECT_FALSE(l->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(ClipOf(printer.hdc), before);
  EXPECT_TRUE(printer.canvas.records().empty());
}

TEST_F(LegendDraw, DraftModeOnScreenShowsOnlyTheDraftBoxWhilePrintingDrawsAll) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  Fill(l, [&](const char* layer, std::vector<std::string> labels) { return NewItem(l, layer, labels); });
  l->GetFrameProperty()->SetDraftMode(true);
  Screen screen;
  ASSERT_TRUE(l->OnDraw(screen.hdc, false, &screen.display));
  for (const std::string& t : TextsOf(screen.canvas)) EXPECT_NE(t, "小河");
  Printer printer;
  ASSERT_TRUE(l->OnDraw(printer.hdc, true, printer.display.get()));
  EXPECT_EQ(TextsOf(printer.canvas).size(), 6u);
}

// Converted texts and lines, in page units, as drawn on a screen of 10 page
// units per pixel.
TEST_F(LegendDraw, ConversionGivesWhatTheDrawingShows) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  Fill(l, [&](const char* layer, std::vector<std::string> labels) { return NewItem(l, layer, labels); });
  l->SetFrameProperty(nullptr);
  Screen screen;
  ASSERT_TRUE(l->OnDraw(screen.hdc, false, &screen.display));
  const int before = set_->GetFeatureCount();
  IGIS_Element* converted = l->ConvertToElement();
  ASSERT_NE(converted, nullptr);
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(compound, nullptr);
  EXPECT_GT(set_->GetFeatureCount(), before);

  std::vector<std::string> texts;
  std::vector<int> textLefts;
  std::vector<std::vector<SGIS_Point>> lines;
  int points = 0;
  for (int i = 0; i < compound->GetElementCount(); ++i) {
    IGIS_Element* e = compound->GetElementPtrByIndex(i);
    const std::string type = e->GetType();
    if (type == GIS_TYPE_GRAPHIC_ELEMENT_TEXT) {
      texts.emplace_back(dynamic_cast<IGIS_TextElement*>(e)->GetText());
      textLefts.push_back(e->GetRect().left);
    } else if (type == GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE) {
      SGIS_Point p[8];
      const int n = e->GetFeaturePtr()->GetGeometry()->GetPoints(8, p, 0, 0);
      lines.emplace_back(p, p + n);
    } else if (type == GIS_TYPE_GRAPHIC_ELEMENT_POINT) {
      ++points;
    }
  }
  EXPECT_EQ(texts, TextsOf(screen.canvas));
  const auto drawnTexts = screen.canvas.recordsOf(Record::Type::Text);
  ASSERT_EQ(drawnTexts.size(), textLefts.size());
  for (std::size_t i = 0; i < textLefts.size(); ++i) {
    EXPECT_NEAR(drawnTexts[i]->text.origin.x, Screen::X(textLefts[i]), 1.0) << texts[i];
  }
  std::vector<std::vector<SGIS_Point>> drawnLines;
  for (const Record& r : screen.canvas.records()) {
    if (r.type != Record::Type::Shape || r.Points().size() != 2) continue;
    drawnLines.push_back({});
    for (const md::canvas::Point& p : r.Points()) {
      drawnLines.back().push_back(SGIS_Point(static_cast<int>(p.x), static_cast<int>(p.y), 0));
    }
  }
  ASSERT_EQ(lines.size(), 2u);
  ASSERT_EQ(drawnLines.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_EQ(drawnLines[i][k].x, Screen::X(lines[i][k].x));
      EXPECT_EQ(drawnLines[i][k].y, Screen::Y(lines[i][k].y));
    }
  }
  EXPECT_EQ(points, 1);
  converted->Release();
}

// A text of the converted legend: its words and lower-left corner.
struct PlacedText {
  std::string text;
  int x, y;
  bool operator==(const PlacedText&) const = default;
};
void PrintTo(const PlacedText& t, std::ostream* os) { *os << t.text << " at " << t.x << "," << t.y; }

struct LayoutRow {
  const char* name;
  bool layerNames, title, heading;
  int columns;
  int height;  // of the legend; its width is 3700 (2000 + 主要河流 + 500) in every row
  std::vector<PlacedText> texts;
};

// Rows of 1000 (patch above text 300), 500 between rows, 400 between items,
// the layer name 250 above its rows, the title 600 above the stack. Headings
// and columns are kept by the items but do not change the layout.
const std::vector<PlacedText> kWithNames = {{"乡镇", 3500, 2350}, {"居民点", 1000, 3250},
                                            {"小河", 3500, 4300}, {"主要河流", 3500, 5800},
                                            {"河流", 1000, 6700}, {"图例", 1000, 7600}};
const LayoutRow kLayoutRows[] = {
    {"names and title", true, true, false, 1, 5900, kWithNames},
    {"headings and three columns change nothing", true, true, true, 3, 5900, kWithNames},
    {"without the title", true, false, false, 1, 5000,
     std::vector<PlacedText>(kWithNames.begin(), kWithNames.end() - 1)},
    {"without layer names",
     false,
     true,
     false,
     1,
     4800,
     {{"乡镇", 3500, 2350}, {"小河", 3500, 3750}, {"主要河流", 3500, 5250}, {"图例", 1000, 6500}}},
};

// A compound layer whose data or whose vector layer could not be opened:
// the drawing and the conversion skip its item, each with its record.
TEST_F(LegendDraw, ACompoundLayerWithoutItsDataIsSkippedWithARecord) {
  const struct {
    const char* layer;
    BOOL withData;
    const char* record;
  } rows[] = {{"无数据", FALSE, "p_VectorCompoundMapLayer == NULL"},
              {"无矢量", TRUE, "p_vectorMapLayer == NULL"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.layer);
    ASSERT_TRUE(map_->AddLayer(GIS_CreateEmptyVectorCompoundLayerObject(row.layer, row.withData)));
    CGIS_LegendElement* l = NewLegend(NewFrame());
    l->AddItem(NewItem(l, row.layer, {"路"}));
    l->RecalcRect();
    LogMark mark;
    Printer printer;
    ASSERT_TRUE(l->OnDraw(printer.hdc, true, printer.display.get()));
    EXPECT_EQ(TextsOf(printer.canvas), std::vector<std::string>{"图例"});
    IGIS_Element* converted = l->ConvertToElement();
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::OnDraw", row.record), 1u);
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::ConvertToElement", row.record), 1u);
  }
}

TEST_F(LegendDraw, TheLayoutOfAKnownLegendAsATable) {
  for (const LayoutRow& row : kLayoutRows) {
    SCOPED_TRACE(row.name);
    CGIS_LegendElement* l = NewLegend(NewFrame());
    l->SetFrameProperty(nullptr);
    l->GetLegendFormat()->SetShowLayerName(row.layerNames);
    l->GetLegendFormat()->SetShowTitle(row.title);
    l->GetLegendFormat()->SetShowHeading(row.heading);
    Fill(l, [&](const char* layer, std::vector<std::string> labels) {
      CGIS_LegendItem* item = NewItem(l, layer, labels);
      item->SetColumns(row.columns);
      item->SetShowHeading(row.heading);
      return item;
    });
    EXPECT_EQ(l->GetRect().left, 1000);
    EXPECT_EQ(l->GetRect().bottom, 2000);
    EXPECT_EQ(l->GetRect().Width(), 3700);
    EXPECT_EQ(l->GetRect().Height(), row.height);
    IGIS_Element* converted = l->ConvertToElement();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
    ASSERT_NE(compound, nullptr);
    std::vector<PlacedText> texts;
    for (int i = 0; i < compound->GetElementCount(); ++i) {
      auto* t = dynamic_cast<IGIS_TextElement*>(compound->GetElementPtrByIndex(i));
      if (t != nullptr) texts.push_back({t->GetText(), t->GetRect().left, t->GetRect().bottom});
    }
    EXPECT_EQ(texts, row.texts);
    converted->Release();
  }
}

TEST_F(LegendDraw, TheFrameComesFirstInTheConversionAndAnItemDrawsAlone) {
  CGIS_LegendElement* l = NewLegend(NewFrame());
  Fill(l, [&](const char* layer, std::vector<std::string> labels) { return NewItem(l, layer, labels); });
  md::basilo::ReleasePtr<IGIS_Symbol> line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  l->GetFrameProperty()->SetBorderSymbolPtr(line.get());
  IGIS_Element* converted = l->ConvertToElement();
  auto* compound = dynamic_cast<IGIS_CompoundElement*>(converted);
  ASSERT_NE(compound, nullptr);
  ASSERT_GT(compound->GetElementCount(), 7);
  EXPECT_STREQ(compound->GetElementPtrByIndex(0)->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  converted->Release();

  Screen screen;
  EXPECT_TRUE(l->GetItem(1)->OnDraw(screen.hdc, false, &screen.display, SGIS_Point(3000, 4000, 0)));
  EXPECT_EQ(TextsOf(screen.canvas), (std::vector<std::string>{"乡镇", "居民点"}));
  const auto texts = screen.canvas.recordsOf(Record::Type::Text);
  EXPECT_NEAR(texts[1]->text.origin.x, Screen::X(3000), 1.0);
  l->SetMapElement(nullptr);
  screen.canvas.clear();
  EXPECT_FALSE(l->GetItem(1)->OnDraw(screen.hdc, false, &screen.display, SGIS_Point(3000, 4000, 0)));
  EXPECT_TRUE(screen.canvas.records().empty());
}

TEST_F(LegendDraw, ALegendOfTheSampleSheetListsItsLayersAndClasses) {
  IGIS_Map* sheet = LoadSampleSheet();
  ASSERT_NE(sheet, nullptr);
  CGIS_MapElement* frame = NewFrame();
  frame->SetMapName(sheet->GetName());
  ASSERT_EQ(frame->GetMap(), sheet);
  CGIS_LegendElement* l = NewLegend(frame);
  const std::vector<IGIS_MapLayer*> layers = VectorLayersOf(sheet);
  AddEveryClass(l, sheet);
  ASSERT_EQ(layers.size(), 7u);
  EXPECT_STREQ(layers[0]->GetName(), "等高线");  // the child of the group "地貌"
  l->RecalcRect();
  for (int i = 0; i < l->GetItemCount(); ++i) {
    EXPECT_EQ(l->GetItem(i)->GetLayer(), layers[static_cast<std::size_t>(i)]);
    EXPECT_GT(l->GetItem(i)->GetHeight(), 0.0);
  }
  Printer printer;
  ASSERT_TRUE(l->OnDraw(printer.hdc, true, printer.display.get()));
  const std::vector<std::string> drawn = TextsOf(printer.canvas);
  for (const char* label : {"首曲线", "计曲线", "水库", "池塘", "主要河流", "小河沟渠", "街区", "主要公路",
                            "乡村道路", "铁路", "县城", "乡镇", "村庄", "等高线", "公路", "居民点"}) {
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), label), drawn.end()) << label;
  }
  // Stored and read back: the same items, each finding its layer again.
  ASSERT_TRUE(l->Archive(0, 0));
  auto* back = new CGIS_LegendElement(set_, l->GetFeaturePtr());
  elements_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  ASSERT_EQ(back->GetItemCount(), 7);
  EXPECT_EQ(back->GetItem(3)->GetLayer(), layers[3]);
  EXPECT_EQ(back->GetRect().Height(), l->GetRect().Height());
}

}  // namespace
}  // namespace md::test
