// Wizard mode: pages choose their neighbours by template ID.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/driver.h"
#include "platform/ui/propsheet.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

std::vector<UINT> g_shown;

class StartPage : public CPropertyPage {
 public:
  StartPage() : CPropertyPage(9201) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Radio(dx, 3001, type);
    DDX_Text(dx, 3003, name);
  }
  BOOL OnSetActive() override {
    g_shown.push_back(9201);
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardNext() override {
    UpdateData(TRUE);
    if (name.empty()) {
      AfxMessageBox("名称为空");
      return 9201;  // its own ID: stay
    }
    return type == 0 ? 9202 : 9203;
  }
  int type = 0;
  std::string name;
};

class BranchPage : public CPropertyPage {
 public:
  explicit BranchPage(UINT id) : CPropertyPage(id), id_(id) {}
  BOOL OnSetActive() override {
    g_shown.push_back(id_);
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardBack() override { return 9201; }
  LRESULT OnWizardNext() override { return 9204; }

 private:
  UINT id_;
};

class FinishPage : public CPropertyPage {
 public:
  explicit FinishPage(StartPage* start) : CPropertyPage(9204), start_(start) {}
  void DoDataExchange(CDataExchange* dx) override { DDX_Check(dx, 3401, border); }
  BOOL OnSetActive() override {
    g_shown.push_back(9204);
    static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardBack() override { return start_->type == 0 ? 9202 : 9203; }
  BOOL OnWizardFinish() override {
    ++finishes;
    return UpdateData(TRUE);
  }
  int border = 0;
  int finishes = 0;

 private:
  StartPage* start_;
};

class Wizard : public CPropertySheet {
 public:
  Wizard() : CPropertySheet("向导"), first(9202), second(9203), finish(&start) {
    // Sheet order differs from the path the pages choose.
    AddPage(&start);
    AddPage(&finish);
    AddPage(&first);
    AddPage(&second);
    SetWizardMode();
  }
  StartPage start;
  BranchPage first;
  BranchPage second;
  FinishPage finish;
};

using WizardTest = UiTest;

UINT ActiveTemplate(CPropertySheet& sheet) { return sheet.GetActivePage()->GetTemplateId(); }

TEST_F(WizardTest, NextAndBackFollowTheJumpIdsAndFinishAnswers12325) {
  g_shown.clear();
  Wizard wizard;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_FALSE(u.IsEnabled(static_cast<int>(ID_WIZBACK)));
    EXPECT_FALSE(u.IsVisible(static_cast<int>(ID_WIZFINISH)));
    u.Next();  // no name yet: the page stays
    EXPECT_EQ(ActiveTemplate(wizard), 9201u);
    u.Type(3003, "格网");
    u.Click(3002);
    u.Next();
    EXPECT_EQ(ActiveTemplate(wizard), 9203u);
    u.Back();
    EXPECT_EQ(ActiveTemplate(wizard), 9201u);
    u.Click(3001);
    u.Next();
    EXPECT_EQ(ActiveTemplate(wizard), 9202u);
    u.Next();
    EXPECT_EQ(ActiveTemplate(wizard), 9204u);
    EXPECT_TRUE(u.IsVisible(static_cast<int>(ID_WIZFINISH)));
    EXPECT_FALSE(u.IsVisible(static_cast<int>(ID_WIZNEXT)));
    EXPECT_TRUE(u.Snapshot(std::string(MD_TEST_OUTPUT_DIR) + "/ui_wizard_finish.png"));
    u.Back();
    EXPECT_EQ(ActiveTemplate(wizard), 9202u);
    u.Next();
    u.Click(3401);
    u.Finish();
  });
  EXPECT_EQ(wizard.DoModal(), static_cast<INT_PTR>(ID_WIZFINISH));
  std::vector<UINT> expected{9201, 9203, 9201, 9202, 9204, 9202, 9204};
  EXPECT_EQ(g_shown, expected);
  EXPECT_EQ(wizard.start.type, 0);
  EXPECT_EQ(wizard.start.name, "格网");
  EXPECT_EQ(wizard.finish.border, 1);
  EXPECT_EQ(wizard.finish.finishes, 1);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(MessageBoxLog()[0].text, "名称为空");
}

TEST_F(WizardTest, DefaultNavigationFollowsSheetOrderAndCancelEndsWithoutFinishing) {
  g_shown.clear();
  CPropertySheet sheet("顺序");
  BranchPage a(9202), b(9203);
  struct PlainPage : CPropertyPage {
    PlainPage() : CPropertyPage(9204) {}
  } c;
  sheet.AddPage(&a);
  sheet.AddPage(&c);
  sheet.AddPage(&b);
  sheet.SetWizardMode();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // Page a jumps to 9204 (c); c has no jump of its own: Next goes on in sheet order.
    u.Next();
    EXPECT_EQ(ActiveTemplate(sheet), 9204u);
    u.Next();
    EXPECT_EQ(ActiveTemplate(sheet), 9203u);
    sheet.SetFinishText("完成");
    EXPECT_TRUE(u.IsEnabled(static_cast<int>(ID_WIZFINISH)));
    u.Cancel();
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST_F(WizardTest, PagesThatRefuseActivationArePassedOverInTheDirectionOfTravel) {
  struct Refusing : CPropertyPage {
    explicit Refusing(UINT id) : CPropertyPage(id) {}
    BOOL OnSetActive() override { return refuse ? FALSE : CPropertyPage::OnSetActive(); }
    bool refuse = false;
  } a(9201), b(9202), c(9203);
  b.refuse = true;
  CPropertySheet sheet("跳过");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  sheet.AddPage(&c);
  sheet.SetWizardMode();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Next();
    EXPECT_EQ(ActiveTemplate(sheet), 9203u);
    EXPECT_FALSE(b.IsCreated() && b.IsWindowVisible());
    u.Back();
    EXPECT_EQ(ActiveTemplate(sheet), 9201u);
    EXPECT_FALSE(u.Ok());     // a wizard has no OK button
    EXPECT_FALSE(u.Apply());  // nor Apply
    sheet.PressButton(PSBTN_FINISH);
  });
  EXPECT_EQ(sheet.DoModal(), static_cast<INT_PTR>(ID_WIZFINISH));
  EXPECT_EQ(DriverErrors().size(), 2u);
  ClearDriverErrors();
}

}  // namespace
}  // namespace md::test
