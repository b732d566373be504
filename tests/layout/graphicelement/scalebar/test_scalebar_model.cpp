// The scale bar's model: a new bar's state and stored keys, the rules of
// its setters, moving and resizing.
#include <cmath>
#include <cstring>

#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using ScaleBarModel = ScaleBarTest;

TEST_F(ScaleBarModel, ANewBarHasItsDefaultsAndStoresEveryKeyWithItsDescription) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  EXPECT_EQ(bar->GetDivision(), 1.0);
  EXPECT_EQ(bar->GetResizeHint(), GIS_SCALEBAR_RESIZE_DIVISION);
  EXPECT_EQ(bar->GetDivisions(), 6);
  EXPECT_EQ(bar->GetSubDivisions(), 4);
  EXPECT_EQ(bar->GetBarHeight(), 200);
  EXPECT_EQ(bar->GetBarWidth(), 1000);
  EXPECT_EQ(bar->GetMapScale(), 1000.0);
  EXPECT_EQ(bar->GetLabelFrequency(), 3);
  EXPECT_EQ(bar->GetLabelGap(), 150);
  EXPECT_EQ(bar->GetUnitLabelGap(), 50);
  EXPECT_EQ(bar->GetUnitLabelPosition(), 2);
  EXPECT_STREQ(bar->GetUnitLabel(), "米");
  EXPECT_STREQ(bar->GetName(), "双交错图形比例尺");
  EXPECT_STREQ(bar->GetDescription(), "暂时没有定义");
  EXPECT_EQ(bar->GetMapElementID(), -10);
  EXPECT_EQ(bar->GetOrder(), -10);
  EXPECT_TRUE(bar->CanConvert());
  ASSERT_NE(bar->GetLabelSymbol(), nullptr);
  EXPECT_EQ(bar->GetLabelSymbol()->GetFontSizePtr()->lfHeight, 6);
  EXPECT_EQ(bar->GetUnitLabelSymbol()->GetFontSizePtr()->lfHeight, 10);
  ASSERT_NE(bar->GetNumericFormat(), nullptr);
  ASSERT_NE(bar->GetLatLonFormat(), nullptr);
  EXPECT_EQ(bar->GetSymbol1()->GetStyleCode(), 0xD21);
  EXPECT_EQ(bar->GetSymbol2()->GetStyleCode(), 0xD22);
  EXPECT_EQ(bar->GetBarSymbol(), bar->GetSymbol1());

  IGIS_FeatureAttributes* attr = bar->GetFeaturePtr()->GetAttributes();
  EXPECT_STREQ(attr->GetString("TYPE"), GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING);
  EXPECT_FALSE(attr->GetBool("CanConvert"));
  EXPECT_EQ(GIS_ResolveElement(attr->GetInt("InterfacePtr")), bar);
  EXPECT_EQ(bar->GetFeaturePtr()->GetKind(), 0x400);

  IGIS_PropertySet* stored = StoredCustom(bar);
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"MapElementID", "地图ID"},
      {"FrameProperty", "地图框架的属性"},
      {"Division", "单位长度"},
      {"Divisions", "刻度数"},
      {"ResizeHint", "缩放暗示"},
      {"SubDivisions", "子刻度数"},
      {"DivisionsBeforeZero", "零前是否有分区"},
      {"ScaleMarks", "分割标志"},
      {"LabelSymbol", "标注的符号"},
      {"NumericFormat", "数字格式"},
      {"LatLonFormat", "经纬度格式"},
      {"LabelFrequency", "标注的频率"},
      {"LabelGap", "标注的间隔"},
      {"LabelPosition", "标注的位置"},
      {"UnitLabelSymbol", "标注的符号"},
      {"UnitLabelGap", "单位的间隔"},
      {"UnitLabelPosition", "单位的位置"},
      {"Units", "单位的类型"},
      {"BarHeight", "比例尺的高度"},
      {"BarWidth", "比例尺的宽度"},
      {"MapScale", "比例尺的值"},
      {"BarX", "左下角点坐标X"},
      {"BarY", "左下角点坐标Y"},
      {"UnitLabel", "单位标注"},
      {"Symbol1", "符号1"},
      {"Symbol2", "符号2"},
  };
  EXPECT_EQ(KeysOf(stored), keys);
  EXPECT_EQ(stored->GetProperty("MapElementID")->GetInt(), -10);
  EXPECT_STREQ(stored->GetProperty("UnitLabel")->GetString(), "米");
  stored->Release();
}

TEST_F(ScaleBarModel, ABarWithoutAnOwnerOrAFeatureIsLoggedAndHarmless) {
  LogMark log;
  CGIS_AlternatingScaleBar* orphan = new CGIS_AlternatingScaleBar(nullptr, nullptr);
  EXPECT_EQ(orphan->GetFeaturePtr(), nullptr);
  EXPECT_EQ(orphan->GetRect(), SGIS_Rect(0, 0, 0, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::GetRect", "m_pFeature == NULL"));
  EXPECT_FALSE(orphan->Archive(0, 0));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::Archive", "m_pFeature == NULL"));
  orphan->Refresh();
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::Refresh", "m_pFeature == NULL"));
  orphan->Release();
}

struct DivisionsRow {
  int hint;
  double division;
  int divisions;
  int width;
  int given;
  double wantDivision;
  int wantDivisions;
  int wantWidth;
};

// A bar with the division, count and width, under the hint.
CGIS_AlternatingScaleBar* BarWith(CGIS_AlternatingScaleBar* bar, const DivisionsRow& r) {
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivision(r.division);
  if (r.divisions >= 1) {
    bar->SetDivisions(r.divisions);
  } else {  // a stored count out of range, read back as stored
    bar->Archive(0, 0);
    IGIS_PropertySet* s = StoredCustom(bar);
    s->GetProperty("Divisions")->SetInt(r.divisions);
    StoreCustom(bar, s);
    s->Release();
    bar->CGIS_ScaleBarBase::Archive(1, 0);
  }
  bar->SetResizeHint(r.hint);
  bar->SetBarWidth(r.width);
  return bar;
}

TEST_F(ScaleBarModel, SetDivisionsFollowsTheResizeHint) {
  const DivisionsRow rows[] = {
      {0, 1000.0, 6, 1000, 0, 1000.0, 6, 1000},      // below 1: ignored
      {0, 1000.0, 6, 1000, 250, 1000.0, 100, 1000},  // above 100: 100
      {1, 2000.0, 4, 1000, 8, 1000.0, 8, 500},       // the bar keeps its ground length
      {2, 1000.0, 6, 1000, 8, 1000.0, 6, 1000},      // the count adjusts itself: ignored
      {1, 2000.0, 0, 1000, 4, 500.0, 4, 250},        // a stored count of 0 counts as 1
  };
  for (const DivisionsRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "hint " << r.hint << " given " << r.given);
    CGIS_AlternatingScaleBar* bar = BarWith(NewBar(), r);
    bar->SetDivisions(r.given);
    EXPECT_DOUBLE_EQ(bar->GetDivision(), r.wantDivision);
    EXPECT_EQ(bar->GetDivisions(), r.wantDivisions);
    EXPECT_EQ(bar->GetBarWidth(), r.wantWidth);
  }
}

TEST_F(ScaleBarModel, SetDivisionFollowsTheResizeHint) {
  const DivisionsRow rows[] = {
      {1, 1.0, 6, 1000, 500, 1.0, 6, 1000},  // the division adjusts itself: ignored
      {0, 1000.0, 6, 1000, 500, 500.0, 6, 500},
      {2, 1000.0, 6, 1000, 100, 100.0, 60, 100},
      {2, 1000.0, 6, 1000, 50, 50.0, 100, 50},
      {2, 1000.0, 6, 1000, 100000, 100000.0, 1, 100000},  // never 0 divisions
      {2, 1000.0, 0, 1000, 100, 100.0, 10, 100},          // a stored count of 0 counts as 1
  };
  for (const DivisionsRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "hint " << r.hint << " given " << r.given);
    CGIS_AlternatingScaleBar* bar = BarWith(NewBar(), r);
    bar->SetDivision(r.given);
    EXPECT_DOUBLE_EQ(bar->GetDivision(), r.wantDivision);
    EXPECT_EQ(bar->GetDivisions(), r.wantDivisions);
    EXPECT_EQ(bar->GetBarWidth(), r.wantWidth);
  }
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(0);
  for (double bad : {0.0, -5.0, std::nan(""), HUGE_VAL}) bar->SetDivision(bad);
  EXPECT_EQ(bar->GetDivision(), 1.0);
  EXPECT_EQ(bar->GetBarWidth(), 1000);
  // The map scale, the other number a bar is given, refuses what is not finite.
  bar->SetMapScale(0.5);
  for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) bar->SetMapScale(bad);
  EXPECT_EQ(bar->GetMapScale(), 0.5);
}

TEST_F(ScaleBarModel, SettersOfEnumerationsAndCountsKeepTheirRanges) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetSubDivisions(0);
  EXPECT_EQ(bar->GetSubDivisions(), 1);
  bar->SetSubDivisions(500);
  EXPECT_EQ(bar->GetSubDivisions(), 500);
  bar->SetLabelGap(-30);
  EXPECT_EQ(bar->GetLabelGap(), 30);
  bar->SetLabelFrequency(7);
  EXPECT_EQ(bar->GetLabelFrequency(), 3);
  bar->SetUnitLabelPosition(6);
  EXPECT_EQ(bar->GetUnitLabelPosition(), 2);
  bar->SetResizeHint(3);
  EXPECT_EQ(bar->GetResizeHint(), 1);
  bar->SetLabelPosition(5);
  EXPECT_EQ(bar->GetLabelPosition(), 5);
  bar->SetBarHeight(0);
  EXPECT_EQ(bar->GetBarHeight(), 200);
  bar->SetBarHeight(300);
  EXPECT_EQ(bar->GetBarHeight(), 300);
  bar->SetUnitLabelGap(-7);
  EXPECT_EQ(bar->GetUnitLabelGap(), -7);
}

TEST_F(ScaleBarModel, UnitsAcceptTheUnitListAndTheUnknownUnitOnlyForAMapWithoutUnit) {
  const int n = GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount();
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetUnits(n + 1);
  EXPECT_EQ(bar->GetUnits(), n + 1);
  bar->SetUnits(-1);
  EXPECT_EQ(bar->GetUnits(), n + 1);
  bar->SetUnits(n);
  EXPECT_EQ(bar->GetUnits(), n);
  bar->SetUnits(n + 2);
  EXPECT_EQ(bar->GetUnits(), n);
  FrameStandIn* projected = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  bar->SetMapElement(projected);
  bar->SetUnits(n + 2);
  EXPECT_EQ(bar->GetUnits(), n);
  FrameStandIn* plain = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 0, 1.0);
  bar->SetMapElement(plain);
  bar->SetUnits(n + 7);
  EXPECT_EQ(bar->GetUnits(), n + 1);
}

TEST_F(ScaleBarModel, ABarHeightIsRefusedByAStraightScaleLineOnly) {
  struct Straight : TestScaleLine {
    using TestScaleLine::TestScaleLine;
    const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE; }
  };
  auto* line = new Straight(set_, nullptr);
  owned_.push_back(line);
  line->SetBarHeight(300);
  EXPECT_EQ(line->GetBarHeight(), 200);
  auto* other = new TestScaleLine(set_, nullptr);
  owned_.push_back(other);
  other->SetBarHeight(300);
  EXPECT_EQ(other->GetBarHeight(), 300);
}

TEST_F(ScaleBarModel, NamesAndUnitLabelsAreCutAtTheirLimit) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  const std::string longText(1200, 'x');
  bar->SetName(longText.c_str());
  EXPECT_EQ(std::strlen(bar->GetName()), 999u);
  bar->SetUnitLabel(longText.c_str());
  EXPECT_EQ(std::string(bar->GetUnitLabel()), longText.substr(0, 999));
  std::string chinese;
  for (int i = 0; i < 400; ++i) chinese += "千";  // 3 bytes each
  bar->SetUnitLabel(chinese.c_str());
  EXPECT_EQ(std::string(bar->GetUnitLabel()), chinese.substr(0, 999));
  LogMark log;
  bar->SetUnitLabel(nullptr);
  bar->SetName(nullptr);
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::SetUnitLabel", "left为NULL"));
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::SetName", "szName为NULL"));
  EXPECT_EQ(std::string(bar->GetUnitLabel()), chinese.substr(0, 999));
}

TEST_F(ScaleBarModel, SymbolAndFormatSettersKeepCopies) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  SymbolPtr text = TextSymbol(12);
  bar->SetLabelSymbolPtr(text.get());
  EXPECT_NE(bar->GetLabelSymbol(), text.get());
  EXPECT_EQ(bar->GetLabelSymbol()->GetFontSizePtr()->lfHeight, 12);
  LogMark log;
  bar->SetUnitLabelSymbolPtr(nullptr);
  EXPECT_EQ(bar->GetUnitLabelSymbol(), nullptr);
  EXPECT_TRUE(log.Has(4, "IGIS_ScaleBar::SetUnitLabelSymbolPtr", "left == NULL"));
  bar->SetNumericFormatPtr(nullptr);
  EXPECT_TRUE(log.Has(3, "IGIS_ScaleBar::SetNumericFormatPtr", "right == NULL"));
  EXPECT_EQ(bar->GetNumericFormat(), nullptr);

  SymbolPtr fill = NewSymbol(GIS_SYMBOL_FILL, RGB(1, 2, 3));
  EXPECT_TRUE(bar->SetSymbol1(fill.get()));
  EXPECT_NE(bar->GetSymbol1(), fill.get());
  IGIS_Symbol* held = bar->GetSymbol1();
  EXPECT_TRUE(bar->SetSymbol1(held));
  EXPECT_EQ(bar->GetSymbol1(), held);
  EXPECT_TRUE(bar->SetSymbol2(nullptr));
  EXPECT_EQ(bar->GetSymbol2(), nullptr);
  bar->SetBarSymbol(nullptr);
  EXPECT_EQ(bar->GetSymbol1(), nullptr);

  IGIS_FrameProperty* frame = bar->GetFrameProperty();
  EXPECT_FALSE(bar->SetFrameProperty(frame));
  EXPECT_TRUE(bar->SetFrameProperty(nullptr));
  EXPECT_EQ(bar->GetFrameProperty(), nullptr);
}

TEST_F(ScaleBarModel, MovingAndResizingScaleTheBarsSettings) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 1200, 2000, 1000), 0);
  bar->SetRect(SGIS_Rect(0, 1, 500, 0));  // a height of 1: nothing
  EXPECT_EQ(bar->GetRect(), SGIS_Rect(1000, 1200, 2000, 1000));
  bar->OffsetAllPoints(100, -50);
  EXPECT_EQ(bar->GetRect(), SGIS_Rect(1100, 1150, 2100, 950));
  bar->SetLBpoint(SGIS_Point(0, 0, 0));
  EXPECT_EQ(bar->GetRect(), SGIS_Rect(0, 200, 1000, 0));

  // Factors of exactly 1.0 change nothing.
  bar->ScaleShape(SGIS_Point(0, 0, 0), 1.0, 1.0);
  EXPECT_EQ(bar->GetBarHeight(), 200);
  EXPECT_EQ(bar->GetLabelGap(), 150);
  EXPECT_EQ(bar->GetUnitLabelGap(), 50);

  // The factors (the division follows the width's), and the rectangle the
  // bar is laid out at afterwards, the one reading it lays it out at.
  struct SizeRow {
    bool keep;
    int w, h;
    double division;
    int barHeight;
  };
  const SizeRow rows[] = {
      {true, 2000, 300, 1.5, 300},
      {true, 500, 150, 0.75, 150},
      {false, 2000, 300, 2.0, 300},
      {false, 500, 150, 0.5, 150},
  };
  for (const SizeRow& r : rows) {
    SCOPED_TRACE(testing::Message() << r.w << " x " << r.h << (r.keep ? " kept" : ""));
    CGIS_AlternatingScaleBar* b = NewBar();
    b->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(0, 200, 1000, 0), 0);
    b->SetHVScaleRatio(r.keep);
    b->SetWidthAndHeight(r.w, r.h);
    EXPECT_DOUBLE_EQ(b->GetDivision(), r.division);
    EXPECT_EQ(b->GetBarHeight(), r.barHeight);
    const SGIS_Rect scaled = b->GetRect();
    b->Refresh();
    EXPECT_EQ(b->GetRect(), scaled);
  }

  // Hint 1 scales the division (and the width without a frame); the text
  // heights, gaps and marks scale with the height.
  CGIS_AlternatingScaleBar* b = NewBar();
  b->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(0, 200, 1000, 0), 0);
  b->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 1.5);
  EXPECT_DOUBLE_EQ(b->GetDivision(), 2.0);
  EXPECT_EQ(b->GetBarWidth(), 2000);
  EXPECT_EQ(b->GetLabelGap(), 225);
  EXPECT_EQ(b->GetUnitLabelGap(), 100);  // beside the labels: with the width
  EXPECT_EQ(b->GetLabelSymbol()->GetFontSizePtr()->lfHeight, 9);
  EXPECT_EQ(b->GetUnitLabelSymbol()->GetFontSizePtr()->lfHeight, 15);
  EXPECT_EQ(b->GetScaleMarks()->GetDivisionMarkHeight(), 150);
  EXPECT_EQ(b->GetScaleMarks()->GetSubdivisionMarkHeight(), 75);
  b->SetResizeHint(2);
  b->ScaleShape(SGIS_Point(0, 0, 0), 50.0, 1.0);
  EXPECT_EQ(b->GetDivisions(), 100);
}

}  // namespace
}  // namespace md::test
