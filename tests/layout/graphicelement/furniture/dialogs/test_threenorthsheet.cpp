// The three-north sheet played through the modal driver: the angles, text
// offset and axis length shown and written, their ranges, Apply, the symbol
// buttons and Cancel putting the stored form back.
#include <string>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "layout/graphicelement/furniture/dialogs/cgis_threenorth.h"
#include "tests/layout/graphicelement/furniture/dialogs/sheettest.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using ThreeNorthSheet = FurnitureSheet;

CGIS_ThreeNorthElement* Diagram(CGIS_ThreeNorthElement* e) {
  e->SetCoordinateAngle(-10.5);
  e->SetMagnetAngle(30.0);
  e->SetTxtOffset(50);
  e->SetAxisLength(3000);
  e->Refresh();
  return e;
}

TEST_F(ThreeNorthSheet, ShowsTheValuesAndOkWritesThemAndLaysTheDiagramOut) {
  auto* e = Diagram(New<CGIS_ThreeNorthElement>());
  const SGIS_Rect before = e->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "三北针属性");
    ASSERT_EQ(u.Sheet()->GetPageCount(), 3);
    EXPECT_NE(dynamic_cast<CGIS_ThreeNorth*>(u.Sheet()->GetPage(0)), nullptr);
    auto* frame = dynamic_cast<CLayoutFrame*>(u.Sheet()->GetPage(1));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_pFrame, e->GetFramePropertyPtr());
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(2)), nullptr);
    EXPECT_EQ(std::stod(u.Text(IDC_THREENORTH_COORDINATE)), -10.5);
    EXPECT_EQ(std::stod(u.Text(IDC_THREENORTH_MAGNET)), 30.0);
    EXPECT_EQ(u.Text(IDC_THREENORTH_OFFSET), "50");
    EXPECT_EQ(u.Text(IDC_THREENORTH_LENGTH), "3000");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("threenorth_page")));
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_COORDINATE, "90"));
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_MAGNET, "-90"));
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_OFFSET, "80"));
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_LENGTH, "6000"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(e->GetAxisLength(), 6000);  // written on leaving the page
    EXPECT_NE(e->GetRect(), before);      // and laid out again
    EXPECT_TRUE(u.Snapshot(SnapshotPath("threenorth_frame_page")));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("threenorth_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_DOUBLE_EQ(e->GetCoordinateAngle(), 90.0);
  EXPECT_DOUBLE_EQ(e->GetMagnetAngle(), -90.0);
  EXPECT_EQ(e->GetTxtOffset(), 80);
  EXPECT_EQ(e->GetAxisLength(), 6000);
}

TEST_F(ThreeNorthSheet, CancelAfterApplyAndASymbolChoiceRestoresTheStoredForm) {
  auto* e = Diagram(New<CGIS_ThreeNorthElement>());
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string before = StoredForm(e);
  const int elements = set_->GetFeatureCount();
  const COLORREF fill = e->GetFillSymbolPtr()->GetColor();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_THREENORTH_FILL));
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_MAGNET, "45.5"));
    EXPECT_TRUE(u.Replace(IDC_THREENORTH_LENGTH, "8000"));
    EXPECT_TRUE(u.Apply());
    EXPECT_DOUBLE_EQ(e->GetMagnetAngle(), 45.5);
    EXPECT_EQ(e->GetAxisLength(), 8000);
    for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) EXPECT_FALSE(u.Sheet()->GetPage(i)->IsModified());
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 2));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_DOUBLE_EQ(e->GetMagnetAngle(), 30.0);
  EXPECT_EQ(e->GetAxisLength(), 3000);
  EXPECT_EQ(e->GetFillSymbolPtr()->GetColor(), fill);
  EXPECT_EQ(StoredForm(e), before);
  EXPECT_EQ(set_->GetFeatureCount(), elements);
}

TEST_F(ThreeNorthSheet, AConfirmedChooserMarksThePageAndACancelledOneDoesNot) {
  auto* e = Diagram(New<CGIS_ThreeNorthElement>());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_THREENORTH_AXIS_FONT));
    EXPECT_FALSE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_TRUE(u.Click(IDC_THREENORTH_AXIS_LINE));
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    u.Ok();
  });
  driver.Then([&](UiUser& u) { u.Cancel(); });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 1));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(driver.DialogsRun(), 3);
}

// Without the shared pages the sheet shows the three-north page alone; the
// same is true of the slope rule's sheet.
TEST_F(ThreeNorthSheet, WithoutTheCommonPagesOnlyTheElementsOwnPagesShow) {
  IGIS_Element* elements[] = {Diagram(New<CGIS_ThreeNorthElement>()), New<CGIS_SlopeElement>()};
  for (IGIS_Element* e : elements) {
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Sheet()->GetPageCount(), 1) << e->GetType();
      u.Ok();
    });
    EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, FALSE));
  }
}

class ThreeNorthRange : public FurnitureSheet, public ::testing::WithParamInterface<BadInput> {};

TEST_P(ThreeNorthRange, IsRefusedWithAPromptAndNothingWritten) {
  ExpectRefused(Diagram(New<CGIS_ThreeNorthElement>()), GetParam().control, GetParam().text);
}

// An axis shorter than 1000 is refused by the page as by the element; a
// minus sign passes the offset's filter and fails its range.
INSTANTIATE_TEST_SUITE_P(
    Inputs, ThreeNorthRange,
    ::testing::Values(BadInput{IDC_THREENORTH_LENGTH, "999"}, BadInput{IDC_THREENORTH_LENGTH, "10"},
                      BadInput{IDC_THREENORTH_LENGTH, "50001"}, BadInput{IDC_THREENORTH_OFFSET, "-5"},
                      BadInput{IDC_THREENORTH_OFFSET, "10001"}, BadInput{IDC_THREENORTH_MAGNET, "-90.5"},
                      BadInput{IDC_THREENORTH_COORDINATE, "90.1"},
                      BadInput{IDC_THREENORTH_COORDINATE, "abc"}));

}  // namespace
}  // namespace md::test
