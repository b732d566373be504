// The map index: defaults, stored keys, geometry rules, the drawn and the
// converted 3 x 3 table, copies and a cancelled sheet.
#include <cstring>

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using MapIndex = FurniturePage;

// Each neighbour's key, default text, and the page point of its cell centre
// in the default table at (0, 0): East in the left column, West in the right.
struct CellRow {
  CGIS_MapIndexElement::Neighbour n;
  const char* key;
  const char* text;
  int x, y;
};
constexpr CellRow kCells[] = {
    {CGIS_MapIndexElement::kNorthEast, "NorthEast", "1", 650, 1750},
    {CGIS_MapIndexElement::kNorth, "North", "2", 1950, 1750},
    {CGIS_MapIndexElement::kNorthWest, "NorthWest", "3", 3250, 1750},
    {CGIS_MapIndexElement::kEast, "East", "4", 650, 1050},
    {CGIS_MapIndexElement::kWest, "West", "6", 3250, 1050},
    {CGIS_MapIndexElement::kSouthEast, "SouthEast", "7", 650, 350},
    {CGIS_MapIndexElement::kSouth, "South", "8", 1950, 350},
    {CGIS_MapIndexElement::kSouthWest, "SouthWest", "9", 3250, 350},
};

std::vector<SGIS_Point> PointsOf(IGIS_Element* e) {
  std::vector<SGIS_Point> out;
  IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
  for (int i = 0; i < g->GetPointCount(); ++i) out.push_back(g->GetPoint(i, 0));
  return out;
}

TEST_F(MapIndex, NewElementStoresItsDefaults) {
  auto* e = New<CGIS_MapIndexElement>();
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 2100, 3900, 0));
  EXPECT_STREQ(e->GetName(), "接图表");
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_TRUE(a->GetBool("CanConvert"));
  EXPECT_STREQ(a->GetString("TYPE"), GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX);
  PropertySetPtr set = CustomOf(e);
  EXPECT_EQ(set->GetCount(), 15);
  for (const CellRow& row : kCells) {
    EXPECT_STREQ(e->Text(row.n), row.text) << row.key;
    ASSERT_NE(set->GetProperty(row.key), nullptr) << row.key;
    EXPECT_STREQ(set->GetProperty(row.key)->GetString(), row.text) << row.key;
  }
  EXPECT_EQ(set->GetProperty("ColWidth")->GetInt(), 1300);
  EXPECT_EQ(set->GetProperty("RowHeight")->GetInt(), 700);
  EXPECT_STREQ(set->GetProperty("FrameProperty")->GetDescription(), "框架的属性");
  EXPECT_EQ(e->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, 15);
  EXPECT_EQ(e->GetBorderLineSymbolPtr()->GetStyleCode(), 3331);
  EXPECT_EQ(e->GetInsideLineSymbolPtr()->GetStyleCode(), 3331);
  EXPECT_EQ(e->GetFillSymbolPtr()->GetStyleCode(), 3361);
  EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderSymbolPtr()->GetStyleCode(), 3332);
}

TEST_F(MapIndex, StoredKeysAsStated) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetNorthEastText("J-50-1");
  e->SetWestText("J-50-6");
  ASSERT_TRUE(e->Archive(0, 0));
  PropertySetPtr set = CustomOf(e);
  struct Key {
    const char* key;
    int type;
    const char* description;
  };
  const Key keys[] = {{"NorthEast", GIS_FIELD_TYPE_STRING, "东北"},
                      {"North", GIS_FIELD_TYPE_STRING, "正北"},
                      {"NorthWest", GIS_FIELD_TYPE_STRING, "西北"},
                      {"East", GIS_FIELD_TYPE_STRING, "正东"},
                      {"West", GIS_FIELD_TYPE_STRING, "正西"},
                      {"SouthEast", GIS_FIELD_TYPE_STRING, "东南"},
                      {"South", GIS_FIELD_TYPE_STRING, "正南"},
                      {"SouthWest", GIS_FIELD_TYPE_STRING, "西南"},
                      {"ColWidth", GIS_FIELD_TYPE_INT, "列宽"},
                      {"RowHeight", GIS_FIELD_TYPE_INT, "行高"},
                      {"FrameProperty", GIS_FIELD_TYPE_BUFFER, "框架的属性"},
                      {"TextSymbol", GIS_FIELD_TYPE_BUFFER, "文本"},
                      {"BorderPolylineSymbol", GIS_FIELD_TYPE_BUFFER, "边界线的属性"},
                      {"FillSymbol", GIS_FIELD_TYPE_BUFFER, "填充的属性"},
                      {"InsidePolylineSymbol", GIS_FIELD_TYPE_BUFFER, "内部线的属性"}};
  IGIS_Field* f = set->GetFirstPosition();
  for (const Key& k : keys) {
    ASSERT_NE(f, nullptr) << k.key;
    EXPECT_STREQ(f->GetLabel(), k.key);
    EXPECT_EQ(f->GetType(), k.type) << k.key;
    EXPECT_STREQ(f->GetDescription(), k.description) << k.key;
    f = set->GetNext(f);
  }
  EXPECT_STREQ(set->GetProperty("NorthEast")->GetString(), "J-50-1");
  EXPECT_STREQ(set->GetProperty("West")->GetString(), "J-50-6");
}

TEST_F(MapIndex, StoredFormRoundTrips) {
  auto* e = New<CGIS_MapIndexElement>();
  const char* texts[] = {"东北图", "北图", "西北图", "东图", "西图", "东南图", "南图", "西南图"};
  for (int i = 0; i < CGIS_MapIndexElement::kCount; ++i)
    e->SetText(static_cast<CGIS_MapIndexElement::Neighbour>(i), texts[i]);
  e->SetColWidth(2000);
  e->SetRowHeight(900);
  e->UpdateGeometry();
  e->SetTextSymbolPtr(TextSymbol(22).get());
  e->SetFillSymbolPtr(NewSymbol(GIS_SYMBOL_FILL, 3362).get());
  e->SetLock(false);
  e->SetName("接图表甲");
  e->OffsetAllPoints(500, 700);
  ASSERT_TRUE(e->Archive(0, 0));

  auto* back = Bound<CGIS_MapIndexElement>(e);
  ASSERT_TRUE(back->Archive(1, 0));
  for (int i = 0; i < CGIS_MapIndexElement::kCount; ++i) {
    EXPECT_STREQ(back->Text(static_cast<CGIS_MapIndexElement::Neighbour>(i)), texts[i]);
  }
  EXPECT_EQ(back->GetColWidth(), 2000);
  EXPECT_EQ(back->GetRowHeight(), 900);
  EXPECT_EQ(back->GetRect(), SGIS_Rect(500, 3400, 6500, 700));
  EXPECT_EQ(back->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, 22);
  EXPECT_EQ(back->GetFillSymbolPtr()->GetStyleCode(), 3362);
  EXPECT_FALSE(back->IsLock());
  EXPECT_STREQ(back->GetName(), "接图表甲");
  // Writing what was read gives the same bytes.
  const std::vector<unsigned char> before = CustomBytes(e);
  ASSERT_TRUE(back->Archive(0, 0));
  EXPECT_EQ(CustomBytes(back), before);
}

TEST_F(MapIndex, ReadingKeepsWhatTheStoreLacks) {
  auto* e = New<CGIS_MapIndexElement>();
  PropertySetPtr set(GIS_CreatePropertySetObject());
  set->AddProperty("North", "正北", GIS_FIELD_TYPE_STRING, 1)->SetString("北邻");
  set->AddProperty("Unknown", "Unknown", GIS_FIELD_TYPE_INT, 1)->SetInt(7);
  md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  e->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b.get(), 0);
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_STREQ(e->GetNorthText(), "北邻");
  EXPECT_EQ(e->GetColWidth(), 1300);
  ASSERT_NE(e->GetTextSymbolPtr(), nullptr);  // a missing symbol key keeps the symbol
  ASSERT_TRUE(e->Archive(0, 0));
  PropertySetPtr after = CustomOf(e);
  ASSERT_NE(after->GetProperty("Unknown"), nullptr);  // unknown keys survive a write
  EXPECT_EQ(after->GetProperty("Unknown")->GetInt(), 7);
}

TEST_F(MapIndex, TextsAndCellSizesFollowTheirRules) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetColWidth(0);
  e->SetRowHeight(-5);
  EXPECT_EQ(e->GetColWidth(), 1300);
  EXPECT_EQ(e->GetRowHeight(), 700);
  e->SetColWidth(2000);
  EXPECT_EQ(e->GetRect().right, 6000);
  const std::string longText(1500, 'x');
  e->SetSouthText(longText.c_str());
  EXPECT_EQ(std::strlen(e->GetSouthText()), 999u);
  LogMark mark;
  e->SetSouthText(nullptr);
  EXPECT_EQ(std::strlen(e->GetSouthText()), 999u);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapIndexElement::SetText", "right为NULL"));
  e->SetHVScaleRatio(false);
  EXPECT_TRUE(e->GetHVScaleRatio());
}

TEST_F(MapIndex, ResizingKeepsThreeEqualCells) {
  struct Row {
    int w, h;
    int colWidth, rowHeight, textSize;
    int rectW, rectH;
  };
  const Row rows[] = {
      {7800, 4200, 2600, 1400, 30, 7800, 4200},  // doubles everything
      {6000, 2100, 1300, 700, 15, 3900, 2100},   // the height factor 1 wins
      {1950, 2100, 650, 350, 8, 1950, 1050},     // halves everything
      {3000, 1050, 1000, 538, 12, 3000, 1614},   // shrinking both: the milder factor
      {3900, 1400, 867, 467, 10, 2601, 1401},    // the width factor 1 loses to 2/3
  };
  for (const Row& row : rows) {
    auto* e = New<CGIS_MapIndexElement>();
    e->SetWidthAndHeight(row.w, row.h);
    EXPECT_EQ(e->GetColWidth(), row.colWidth) << row.w << " x " << row.h;
    EXPECT_EQ(e->GetRowHeight(), row.rowHeight) << row.w << " x " << row.h;
    EXPECT_EQ(e->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, row.textSize) << row.w << " x " << row.h;
    EXPECT_EQ(e->GetRect(), SGIS_Rect(0, row.rectH, row.rectW, 0)) << row.w << " x " << row.h;
  }
  auto* e = New<CGIS_MapIndexElement>();
  e->ScaleShape(SGIS_Point(0, 0, 0), 0.0, 2.0);
  e->ScaleShape(SGIS_Point(0, 0, 0), -1.0, 2.0);
  e->OffsetAllPoints(0, 0);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 2100, 3900, 0));
}

TEST_F(MapIndex, DrawsTheTableAndTheNeighbourNames) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetFramePropertyPtr(nullptr);
  Screen screen;
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  // Border, four inside lines, the filled centre cell.
  const auto lines = screen.canvas.shapesOf(md::canvas::ShapeKind::Polyline);
  ASSERT_EQ(lines.size(), 5u);
  const double y700 = screen.Device(0, 700).y, y1400 = screen.Device(0, 1400).y;
  const double x1300 = screen.Device(1300, 0).x, x2600 = screen.Device(2600, 0).x;
  auto ends = [](const md::canvas::Record* r) { return r->Points(); };
  EXPECT_NEAR(ends(lines[1]).front().y, y700, 0.51);
  EXPECT_NEAR(ends(lines[2]).front().y, y1400, 0.51);
  EXPECT_NEAR(ends(lines[3]).front().x, x1300, 0.51);
  EXPECT_NEAR(ends(lines[4]).front().x, x2600, 0.51);
  const auto fills = screen.canvas.shapesOf(md::canvas::ShapeKind::Polygon);
  ASSERT_GE(fills.size(), 1u);
  EXPECT_NEAR(fills[0]->Points().front().x, x1300, 0.51);
  EXPECT_NEAR(fills[0]->Points().front().y, y1400, 0.51);

  // The eight names, cells 0 to 8 from the bottom row up, each centred on its cell.
  const char* order[] = {"7", "8", "9", "4", "6", "1", "2", "3"};
  const auto runs = screen.Runs();
  ASSERT_EQ(runs.size(), 8u);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i]->text, order[i]);
    const CellRow* cell = nullptr;
    for (const CellRow& row : kCells) {
      if (std::strcmp(row.text, order[i]) == 0) cell = &row;
    }
    ASSERT_NE(cell, nullptr);
    double width = 0;
    for (double a : runs[i]->advances) width += a;
    const SGIS_DPoint centre = screen.Device(cell->x, cell->y);
    EXPECT_NEAR(runs[i]->origin.x + width / 2, centre.x, 1.0) << order[i];
    EXPECT_NEAR(runs[i]->origin.y, centre.y, 35.0 / 2 + 1) << order[i];  // within its row
  }
}

TEST_F(MapIndex, SymbolsItLacksAreNotDrawn) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetFramePropertyPtr(nullptr);
  LogMark mark;
  e->SetInsideLineSymbolPtr(nullptr);
  EXPECT_TRUE(mark.Has(4, "CGIS_MapIndexElement::SetInsideLineSymbolPtr", "pSymbol == NULL"));
  e->SetFillSymbolPtr(nullptr);
  Screen screen;
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(screen.canvas.shapesOf(md::canvas::ShapeKind::Polyline).size(), 1u);  // the border only
  EXPECT_EQ(screen.canvas.shapesOf(md::canvas::ShapeKind::Polygon).size(), 0u);
  EXPECT_EQ(screen.Runs().size(), 8u);
}

TEST_F(MapIndex, ConvertsIntoTheSameTable) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetFramePropertyPtr(nullptr);
  auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
  ASSERT_NE(result, nullptr);
  owned_.push_back(result);
  ASSERT_EQ(result->GetElementCount(), 2);  // lines, texts: no frame
  auto* lines = dynamic_cast<IGIS_CompoundElement*>(result->GetElementPtrByIndex(0));
  auto* texts = dynamic_cast<IGIS_CompoundElement*>(result->GetElementPtrByIndex(1));
  ASSERT_NE(lines, nullptr);
  ASSERT_NE(texts, nullptr);
  ASSERT_EQ(lines->GetElementCount(), 6);
  const std::vector<std::vector<SGIS_Point>> expected = {
      {{0, 2100}, {0, 0}, {3900, 0}, {3900, 2100}, {0, 2100}},
      {{0, 700}, {3900, 700}},
      {{0, 1400}, {3900, 1400}},
      {{1300, 0}, {1300, 2100}},
      {{2600, 0}, {2600, 2100}},
      {{1300, 1400}, {1300, 700}, {2600, 700}, {2600, 1400}, {1300, 1400}},
  };
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(PointsOf(lines->GetElementPtrByIndex(i)), expected[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_STREQ(lines->GetElementPtrByIndex(5)->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  const char* order[] = {"7", "8", "9", "4", "6", "1", "2", "3"};
  ASSERT_EQ(texts->GetElementCount(), 8);
  for (int i = 0; i < 8; ++i) {
    auto* t = dynamic_cast<IGIS_TextElement*>(texts->GetElementPtrByIndex(i));
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->GetText(), order[i]);
    const CellRow* cell = nullptr;
    for (const CellRow& row : kCells) {
      if (std::strcmp(row.text, order[i]) == 0) cell = &row;
    }
    const SGIS_Rect r = t->GetRect();
    EXPECT_NEAR((r.left + r.right) / 2.0, cell->x, 1.0) << order[i];
    EXPECT_NEAR((r.top + r.bottom) / 2.0, cell->y, 1.0) << order[i];
  }
  // With a frame property the frame comes first.
  auto* framed = New<CGIS_MapIndexElement>();
  auto* withFrame = dynamic_cast<IGIS_CompoundElement*>(framed->ConvertToElement());
  ASSERT_NE(withFrame, nullptr);
  owned_.push_back(withFrame);
  EXPECT_EQ(withFrame->GetElementCount(), 3);
}

TEST_F(MapIndex, OddColumnWidthCentresByIntegerHalves) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetFramePropertyPtr(nullptr);
  e->SetColWidth(1301);
  auto* result = dynamic_cast<IGIS_CompoundElement*>(e->ConvertToElement());
  ASSERT_NE(result, nullptr);
  owned_.push_back(result);
  auto* texts = dynamic_cast<IGIS_CompoundElement*>(result->GetElementPtrByIndex(1));
  const SGIS_Rect r = texts->GetElementPtrByIndex(0)->GetRect();
  EXPECT_NEAR((r.left + r.right) / 2.0, 650, 1.0);
}

TEST_F(MapIndex, CloneCopiesEverythingButTheOrder) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetEastText("东邻");
  e->SetColWidth(1500);
  e->UpdateGeometry();
  e->SetOrder(4);
  e->OffsetAllPoints(100, 200);
  IGIS_Element* c = e->Clone();
  ASSERT_NE(c, nullptr);
  owned_.push_back(c);
  auto* copy = dynamic_cast<CGIS_MapIndexElement*>(c);
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy->GetEastText(), "东邻");
  EXPECT_EQ(copy->GetColWidth(), 1500);
  EXPECT_EQ(copy->GetRect(), e->GetRect());
  EXPECT_NE(copy->GetTextSymbolPtr(), e->GetTextSymbolPtr());
  EXPECT_EQ(copy->GetOrder(), -10);
}

TEST_F(MapIndex, CancelledSheetLeavesTheStoredFormAsItWas) {
  auto* e = New<CGIS_MapIndexElement>();
  e->SetHVScaleRatio(false);
  ASSERT_TRUE(e->Archive(0, 0));
  const std::vector<unsigned char> before = CustomBytes(e);
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX,
                                    [](IGIS_Element* p, IGIS_Display*, const char*) {
                                      auto* m = dynamic_cast<CGIS_MapIndexElement*>(p);
                                      m->SetNorthText("改过");
                                      m->SetColWidth(3000);
                                      m->SetRowHeight(100);
                                      m->SetTextSymbolPtr(TextSymbol(40).get());
                                      m->SetFillSymbolPtr(nullptr);
                                      return false;
                                    });
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX, nullptr);
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);  // no backup left behind
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(CustomBytes(e), before);
  EXPECT_FALSE(e->GetFeaturePtr()->GetAttributes()->GetBool("KeepHVScaleRatio"));
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 2100, 3900, 0));
}

}  // namespace
}  // namespace md::test
