// The slope rule sheet played through the modal driver: the seven values
// shown and written with one layout, the ranges, Apply, the symbol buttons
// and Cancel putting the stored form back.
#include <string>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/furniture/dialogs/cgis_slopepage.h"
#include "tests/layout/graphicelement/furniture/dialogs/sheettest.h"
#include "tests/support/storedform.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using SlopeSheet = FurnitureSheet;

TEST_F(SlopeSheet, ShowsTheElementsValuesAndOkWritesEveryOne) {
  auto* e = New<CGIS_SlopeElement>();
  e->SetGapDescription(123);
  e->SetContourInterval(2.5);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "坡度尺属性");
    ASSERT_EQ(u.Sheet()->GetPageCount(), 3);
    EXPECT_NE(dynamic_cast<CGIS_SlopePage*>(u.Sheet()->GetPage(0)), nullptr);
    auto* frame = dynamic_cast<CLayoutFrame*>(u.Sheet()->GetPage(1));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_pFrame, e->GetFramePropertyPtr());
    EXPECT_EQ(u.Text(IDC_SLOPE_DESCRIPTION_GAP), "123");
    EXPECT_EQ(u.Text(IDC_SLOPE_LINE_NUMBER), std::to_string(e->GetSlopelineNumber()));
    EXPECT_EQ(std::stod(u.Text(IDC_SLOPE_CONTOUR_INTERVAL)), 2.5);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("slope_page")));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_LINE_NUMBER, "4"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_AXIS_INTERVAL, "1000"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_CONTOUR_INTERVAL, "-0.5"));  // the filter drops the sign
    EXPECT_EQ(u.Text(IDC_SLOPE_CONTOUR_INTERVAL), "0.5");
    EXPECT_TRUE(u.Replace(IDC_SLOPE_TITLE_GAP, "50000"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_ANGLE_GAP, "70"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_PERCENT_GAP, "80"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_DESCRIPTION_GAP, "90"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("slope_frame_page")));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("slope_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(e->GetSlopelineNumber(), 4);
  EXPECT_EQ(e->GetAxislineInterval(), 1000);
  EXPECT_DOUBLE_EQ(e->GetContourInterval(), 0.5);
  EXPECT_EQ(e->GetTitleGap(), 50000);
  EXPECT_EQ(e->GetAngleGap(), 70);
  EXPECT_EQ(e->GetPercentGap(), 80);
  EXPECT_EQ(e->GetGapDescription(), 90);
}

TEST_F(SlopeSheet, LeavingThePageLaysTheRuleOutAgain) {
  auto* e = New<CGIS_SlopeElement>();
  const SGIS_Rect before = e->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_SLOPE_AXIS_INTERVAL, "900"));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_NE(e->GetRect().Width(), before.Width());  // laid out with the new spacing
    EXPECT_EQ(e->GetRect().left, before.left);
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(e->GetAxislineInterval(), 900);
}

TEST_F(SlopeSheet, CancelAfterApplyAndASymbolChoiceRestoresTheStoredForm) {
  auto* e = New<CGIS_SlopeElement>();
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string before = StoredForm(e);
  const int elements = set_->GetFeatureCount();
  const COLORREF contour = e->GetContourLineSymbolPtr()->GetColor();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_SLOPE_LINE_SYMBOL));
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_TRUE(u.Replace(IDC_SLOPE_DESCRIPTION_GAP, "777"));
    EXPECT_TRUE(u.Replace(IDC_SLOPE_LINE_NUMBER, "6"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetGapDescription(), 777);
    EXPECT_EQ(e->GetSlopelineNumber(), 6);
    for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) EXPECT_FALSE(u.Sheet()->GetPage(i)->IsModified());
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 3));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(e->GetGapDescription(), 100);
  EXPECT_EQ(e->GetContourLineSymbolPtr()->GetColor(), contour);
  EXPECT_EQ(StoredForm(e), before);
  EXPECT_EQ(set_->GetFeatureCount(), elements);
}

TEST_F(SlopeSheet, ACancelledChooserChangesNothingAndLeavesThePageUnmarked) {
  auto* e = New<CGIS_SlopeElement>();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_SLOPE_TITLE_FONT));
    EXPECT_FALSE(u.Sheet()->GetActivePage()->IsModified());
    u.Ok();
  });
  driver.Then([&](UiUser& u) { u.Cancel(); });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(driver.DialogsRun(), 2);
}

class SlopeRange : public FurnitureSheet, public ::testing::WithParamInterface<BadInput> {};

TEST_P(SlopeRange, IsRefusedWithAPromptAndNothingWritten) {
  ExpectRefused(New<CGIS_SlopeElement>(), GetParam().control, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SlopeRange,
    ::testing::Values(BadInput{IDC_SLOPE_LINE_NUMBER, "2"}, BadInput{IDC_SLOPE_LINE_NUMBER, "7"},
                      BadInput{IDC_SLOPE_LINE_NUMBER, "1"}, BadInput{IDC_SLOPE_AXIS_INTERVAL, "99"},
                      BadInput{IDC_SLOPE_AXIS_INTERVAL, "1001"}, BadInput{IDC_SLOPE_TITLE_GAP, "50001"},
                      BadInput{IDC_SLOPE_CONTOUR_INTERVAL, "100000.5"},
                      BadInput{IDC_SLOPE_DESCRIPTION_GAP, ""}));

}  // namespace
}  // namespace md::test
