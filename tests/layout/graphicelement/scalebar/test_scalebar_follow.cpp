// A scale bar following its map frame: binding, scale and reference
// messages, the frame's deletion, reading the link back, and the property
// sheet's backup.
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using ScaleBarFollow = ScaleBarTest;

struct ScaleChangeRow {
  int hint;
  int divisions;
  double wantDivision;
  int wantDivisions;
  int wantWidth;  // after the change, at 1:2,000 in metres
};

TEST_F(ScaleBarFollow, AScaleChangeResizesTheBarByItsResizeHint) {
  // 1:1,000 to 1:2,000 on a map in metres: 0.01 then 0.02 m per page unit.
  const ScaleChangeRow rows[] = {
      {0, 6, 10.0, 6, 500},     // the division stays; the bar gets shorter
      {1, 6, 20.0, 6, 1000},    // the bar keeps its length and shows twice the ground
      {2, 6, 10.0, 12, 500},    // twice the divisions of half the width
      {2, 60, 10.0, 100, 500},  // never more than 100
  };
  for (const ScaleChangeRow& r : rows) {
    SCOPED_TRACE(testing::Message() << "hint " << r.hint << ", " << r.divisions << " divisions");
    FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.01);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(10.0);
    bar->SetDivisions(r.divisions);
    bar->SetUnits(0);
    bar->SetMapElement(frame);
    bar->SetMapScale(0.01);
    bar->SetResizeHint(r.hint);
    bar->Refresh();
    EXPECT_EQ(bar->GetBarWidth(), 1000);
    const int widthBefore = bar->GetRect().Width();
    frame->ChangeScale(0.02);
    EXPECT_EQ(bar->GetMapScale(), 0.02);
    EXPECT_DOUBLE_EQ(bar->GetDivision(), r.wantDivision);
    EXPECT_EQ(bar->GetDivisions(), r.wantDivisions);
    EXPECT_EQ(bar->GetBarWidth(), r.wantWidth);
    // Refreshed: the rectangle follows the bar's new length (and the last
    // label's new width, a few units).
    const int barLength = r.wantDivisions * r.wantWidth;
    const int oldLength = r.divisions * 1000;
    EXPECT_NEAR(bar->GetRect().Width() - widthBefore, barLength - oldLength, 4);
  }
}

TEST_F(ScaleBarFollow, AStoredScaleOfZeroGivesNoRatioToCarryOver) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.01);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetMapElement(frame);
  bar->SetMapScale(0.0);
  bar->SetDivision(10.0);  // hint 1 ignores it: the division stays 1.0
  frame->ChangeScale(0.02);
  EXPECT_EQ(bar->GetMapScale(), 0.02);
  EXPECT_DOUBLE_EQ(bar->GetDivision(), 1.0);
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_DIVISIONS);
  bar->SetMapScale(0.0);
  frame->ChangeScale(0.04);
  EXPECT_EQ(bar->GetDivisions(), 6);
}

TEST_F(ScaleBarFollow, TheFramesDeletionDetachesTheBarWhichKeepsTheFramesID) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  FrameStandIn* other = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetMapElement(frame);
  EXPECT_EQ(bar->GetMapElementID(), frame->GetID());
  EXPECT_EQ(bar->GetMapElement(), frame);

  bar->Update(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, other);  // another frame: ignored
  EXPECT_EQ(bar->GetMapElement(), frame);
  frame->Notify(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, frame);
  EXPECT_EQ(bar->GetMapElement(), nullptr);
  EXPECT_EQ(bar->GetMapElementID(), frame->GetID());
  // Detached: the frame's messages no longer reach it.
  const double scale = bar->GetMapScale();
  frame->ChangeScale(3.0);
  EXPECT_EQ(bar->GetMapScale(), scale);
  ASSERT_TRUE(bar->Archive(0, 0));
  IGIS_PropertySet* s = StoredCustom(bar);
  EXPECT_EQ(s->GetProperty("MapElementID")->GetInt(), frame->GetID());
  s->Release();
}

TEST_F(ScaleBarFollow, WithoutItsFrameABarDrawsWithItsStoredWidth) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetUnits(1);
  bar->SetMapElement(frame);
  EXPECT_EQ(bar->GetDivisionWidth(), 2000);
  // The frame goes without a word: the bar keeps what it last knew.
  ReleaseKept(frame);
  EXPECT_EQ(bar->GetMapElement(), nullptr);
  EXPECT_EQ(bar->GetDivisionWidth(), 2000);
  ASSERT_TRUE(bar->Archive(0, 0));
  auto* back = new CGIS_AlternatingScaleBar(set_, bar->GetFeaturePtr());
  owned_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElement(), nullptr);
  EXPECT_EQ(back->GetDivisionWidth(), 2000);
  EXPECT_EQ(back->GetMapScale(), 0.5);
}

TEST_F(ScaleBarFollow, ReadingBindsOnlyAMapFrameOfTheStoredID) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetMapElement(frame);
  ASSERT_TRUE(bar->Archive(0, 0));

  auto* back = new CGIS_AlternatingScaleBar(set_, bar->GetFeaturePtr());
  owned_.push_back(back);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElement(), frame);
  frame->ChangeScale(0.25);  // attached: the scale reaches it
  EXPECT_EQ(back->GetMapScale(), 0.25);

  // The ID of an element that is not a map frame binds nothing.
  CGIS_AlternatingScaleBar* notAFrame = NewBar();
  IGIS_PropertySet* s = StoredCustom(bar);
  s->GetProperty("MapElementID")->SetInt(notAFrame->GetID());
  StoreCustom(bar, s);
  s->Release();
  auto* third = new CGIS_AlternatingScaleBar(set_, bar->GetFeaturePtr());
  owned_.push_back(third);
  ASSERT_TRUE(third->Archive(1, 0));
  EXPECT_EQ(third->GetMapElement(), nullptr);

  // Unlinking stores -100, which binds nothing when read.
  back->SetMapElement(nullptr);
  EXPECT_EQ(back->GetMapElementID(), -100);
  EXPECT_EQ(back->GetMapElement(), nullptr);
  ASSERT_TRUE(back->Archive(0, 0));
  auto* fourth = new CGIS_AlternatingScaleBar(set_, back->GetFeaturePtr());
  owned_.push_back(fourth);
  ASSERT_TRUE(fourth->Archive(1, 0));
  EXPECT_EQ(fourth->GetMapElement(), nullptr);
  EXPECT_EQ(fourth->GetMapElementID(), -100);
}

TEST_F(ScaleBarFollow, AMapWithoutUnitMakesTheUnitUnknown) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 0, 1.0);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetMapElement(frame);
  frame->Notify(GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED, 0, frame);
  const int n = GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount();
  EXPECT_EQ(bar->GetUnits(), n + 2);
  // An unknown unit takes map units as they are: 1.0 per page unit.
  EXPECT_EQ(bar->GetDivisionWidth(), 1);
}

TEST_F(ScaleBarFollow, AReleasedBarNoLongerHearsItsFrame) {
  FrameStandIn* frame = NewFrame(SGIS_Rect(0, 10000, 10000, 0), 2, 0.5);
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetMapElement(frame);
  CGIS_AlternatingScaleBar* stays = NewBar();
  stays->SetMapElement(frame);
  ReleaseKept(bar);
  frame->ChangeScale(0.25);  // reaches the remaining follower only
  EXPECT_EQ(stays->GetMapScale(), 0.25);
  EXPECT_TRUE(frame->Detach(stays, 0));
  EXPECT_FALSE(frame->Detach(stays, 0));
}

// The sheet changes the bar in place; the test plays the user.
struct SheetPlay {
  static bool confirm;
  static int calls;
  static bool Run(IGIS_Element* element, IGIS_Display*, const char* szTitle) {
    ++calls;
    EXPECT_STREQ(szTitle, "图形比例尺属性");
    auto* bar = dynamic_cast<IGIS_ScaleBar*>(element);
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->SetDivision(5.0);
    bar->SetDivisions(3);
    bar->SetUnitLabel("千米");
    bar->SetLabelGap(10);
    bar->SetBarHeight(90);
    bar->SetName("改过");
    SymbolPtr fill = NewSymbol(GIS_SYMBOL_FILL, RGB(9, 9, 9));
    bar->SetBarSymbol(fill.get());
    bar->GetScaleMarks()->SetMarkFrequency(1);
    bar->OffsetAllPoints(500, 500);
    return confirm;
  }
};
bool SheetPlay::confirm = false;
int SheetPlay::calls = 0;

TEST_F(ScaleBarFollow, CancellingTheSheetLeavesTheStoredFormAsItWas) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(1000, 1000, 2000, 500), 0);
  bar->Refresh();
  ASSERT_TRUE(bar->Archive(0, 0));
  auto snapshot = [&] {
    bar->Archive(0, 0);
    IGIS_DataBuffer* b = bar->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
    std::vector<BYTE> bytes(b->GetData(), b->GetData() + b->GetSize());
    SGIS_Rect r = bar->GetRect();
    return std::make_pair(bytes, r);
  };
  const auto before = snapshot();
  const int elements = set_->GetFeatureCount();

  // Without a sheet the bar counts as cancelled.
  md::layout::RegisterPropertySheet(bar->GetType(), nullptr);
  EXPECT_FALSE(bar->OnOpenPropertyDlg(nullptr, TRUE));

  md::layout::RegisterPropertySheet(bar->GetType(), &SheetPlay::Run);
  SheetPlay::confirm = false;
  EXPECT_FALSE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(SheetPlay::calls, 1);
  EXPECT_EQ(set_->GetFeatureCount(), elements);  // the backup is gone
  const auto after = snapshot();
  EXPECT_EQ(after.second, before.second);
  EXPECT_TRUE(after.first == before.first);

  SheetPlay::confirm = true;
  EXPECT_TRUE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(set_->GetFeatureCount(), elements);
  EXPECT_STREQ(bar->GetUnitLabel(), "千米");
  EXPECT_EQ(bar->GetDivisions(), 3);
  md::layout::RegisterPropertySheet(bar->GetType(), nullptr);
}

}  // namespace
}  // namespace md::test
