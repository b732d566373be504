// The embedded-object element's sheet through the modal driver: its pages,
// Apply, OK and Cancel.
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/ole/dialogs/cgis_oleobjectpage.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/storedform.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

class OleSheet : public md::test::OleScreenPage {};

TEST_F(OleSheet, FramePageFirstAndApplyMovesTheElementAtOnce) {
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(1000, 4000, 5000, 1000));
  const int redraws = Redraws();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "OLE对象属性");
    ASSERT_EQ(u.Sheet()->GetPageCount(), 3);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    auto* frame = dynamic_cast<CLayoutFrame*>(u.Sheet()->GetPage(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_pFrame, e->GetFramePropertyPtr());  // edited in place
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(1)), nullptr);
    EXPECT_NE(dynamic_cast<CGIS_OleObjectPage*>(u.Sheet()->GetPage(2)), nullptr);
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "2000"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "3000"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().left, 2000);
    EXPECT_EQ(e->GetRect().bottom, 3000);
    EXPECT_EQ(Redraws(), redraws + 1);
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&display_, TRUE));
  EXPECT_EQ(e->GetRect().left, 2000);
  EXPECT_EQ(e->GetRect().bottom, 3000);
}

TEST_F(OleSheet, CancelAfterAppliedEditsLeavesTheStoredFormByteIdentical) {
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.TextDocument"), SGIS_Rect(1000, 4000, 5000, 1000));
  e->SetHVScaleRatio(true);
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string before = md::test::StoredForm(e);
  const SGIS_Rect rect = e->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "300"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_WIDTH, "900"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().left, 300);
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&display_, TRUE));
  EXPECT_EQ(e->GetRect(), rect);
  ASSERT_TRUE(e->Archive(0, 0));
  EXPECT_EQ(md::test::StoredForm(e), before);
}

TEST_F(OleSheet, ApplyWithoutADisplayKeepsTheApplyButton) {
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(1000, 4000, 5000, 1000));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "2500"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().bottom, 2500);
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(nullptr, TRUE));
}

}  // namespace
