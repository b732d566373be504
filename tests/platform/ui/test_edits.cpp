// Edge cases of edits, combo-box edits, numbers and focus.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

using EditsTest = UiTest;

class NumbersDialog : public CDialog {
 public:
  NumbersDialog() : CDialog(9001) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, count);
    DDX_Text(dx, 1006, positive);
  }
  int count = 0;
  UINT positive = 3;
};

TEST_F(EditsTest, IntegersOutsideTheirTypeAreRefused) {
  NumbersDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(1001), "0");
    EXPECT_EQ(u.Text(1006), "3");
    for (const char* bad : {"2147483648", "99999999999999999999", "1.5", "+", " 12 3"}) {
      u.Replace(1001, bad);
      u.Ok();
      EXPECT_FALSE(u.Ended()) << bad;
    }
    u.Replace(1001, " -2147483648 ");
    dlg.SetDlgItemText(1006, "-1");  // typing cannot enter a sign here
    u.Ok();
    EXPECT_FALSE(u.Ended());
    u.Replace(1006, "4294967295");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.count, -2147483647 - 1);
  EXPECT_EQ(dlg.positive, 4294967295u);
  ASSERT_EQ(MessageBoxLog().size(), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(MessageBoxLog()[i].text, "请输入一个整数。");
  // An unsigned value asks for a positive integer.
  EXPECT_EQ(MessageBoxLog()[5].text, "请输入一个正整数。");
}

TEST_F(EditsTest, AnUpdateHandlerThatNeverSettlesIsStopped) {
  CDialog dlg(9001);
  int updates = 0;
  dlg.MapCommand(EN_UPDATE, 1001, [&] {
    ++updates;
    CWnd* e = dlg.GetDlgItem(1001);
    e->SetWindowText((e->GetWindowText() + "x").c_str());
  });
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Type(1001, "a");
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(updates, 64);
}

TEST_F(EditsTest, LimitsBackspaceAndSelectionWorkInCharacters) {
  CDialog dlg(9001);
  int maxText = 0;
  dlg.MapCommand(EN_MAXTEXT, 1001, [&] { ++maxText; });
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto* edit = static_cast<CEdit*>(dlg.GetDlgItem(1001));
    edit->LimitText(3);
    u.Type(1001, "中文字符");
    EXPECT_EQ(u.Text(1001), "中文字");
    EXPECT_EQ(maxText, 1);
    u.Backspace(1001);
    EXPECT_EQ(u.Text(1001), "中文");
    edit->SetSel(0, 1);
    edit->ReplaceSel("英");
    EXPECT_EQ(u.Text(1001), "英文");
    int a = 0, b = 0;
    edit->GetSel(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(edit->GetSel(), static_cast<DWORD>(MAKELONG(1, 1)));
    char small[4];
    EXPECT_EQ(edit->GetWindowText(small, sizeof small), 3);  // one whole character fits
    EXPECT_STREQ(small, "英");
    u.Cancel();
  });
  dlg.DoModal();
}

TEST_F(EditsTest, DropDownCombosTakeTypedTextWithTheirOwnNotifications) {
  CDialog dlg(9001);
  std::vector<UINT> codes;
  for (UINT code : {CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_SELCHANGE})
    dlg.MapCommand(code, 1030, [&codes, code] { codes.push_back(code); });
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Type(1030, "1:5");
    EXPECT_EQ(u.Text(1030), "1:5");
    EXPECT_FALSE(u.Type(1003, "x"));  // a drop-down list has no edit
    u.Choose(1030, 0);
    EXPECT_EQ(u.Text(1030), "1:10000");
    u.Cancel();
  });
  dlg.DoModal();
  std::vector<UINT> expected{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE,
                             CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_SELCHANGE};
  EXPECT_EQ(codes, expected);
  ClearDriverErrors();  // the refused typing
}

TEST_F(EditsTest, FocusMovesRaiseKillThenSetAndComeBackAfterTheDialog) {
  CDialog outer(9001);
  CDialog inner(9001);
  std::vector<std::string> events;
  outer.MapCommand(EN_KILLFOCUS, 1001, [&] { events.push_back("kill 1001"); });
  outer.MapCommand(EN_SETFOCUS, 1004, [&] { events.push_back("set 1004"); });
  outer.MapClicked(1002, [&] { inner.DoModal(); });
  ScriptedDriver driver;
  HWND focusAfterInner = nullptr;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(CWnd::GetFocus(), outer.GetDlgItem(1001));  // the first tab stop
    u.Focus(1004);
    u.Click(1002);
    focusAfterInner = ::GetFocus();
    u.Cancel();
  });
  driver.Then([](UiUser& u) { u.Cancel(); });
  outer.DoModal();
  EXPECT_EQ(events, (std::vector<std::string>{"kill 1001", "set 1004"}));
  EXPECT_NE(focusAfterInner, nullptr);
  EXPECT_EQ(driver.DialogsRun(), 2);
}

TEST_F(EditsTest, DialogItemHelpersReadAndWriteThroughTheControls) {
  CDialog dlg;
  ASSERT_TRUE(dlg.Create(9001, nullptr));
  dlg.SetDlgItemInt(1001, static_cast<UINT>(-42), TRUE);
  BOOL ok = FALSE;
  EXPECT_EQ(static_cast<int>(dlg.GetDlgItemInt(1001, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  dlg.GetDlgItemInt(1001, &ok, FALSE);
  EXPECT_FALSE(ok);
  dlg.CheckRadioButton(1020, 1022, 1021);
  EXPECT_EQ(dlg.GetCheckedRadioButton(1020, 1022), 1021);
  EXPECT_EQ(dlg.IsDlgButtonChecked(1020), 0u);
  dlg.CheckDlgButton(1012, BST_INDETERMINATE);
  dlg.CheckDlgButton(1010, BST_INDETERMINATE);  // two-state boxes take it as checked
  EXPECT_EQ(dlg.IsDlgButtonChecked(1012), static_cast<UINT>(BST_INDETERMINATE));
  EXPECT_EQ(dlg.IsDlgButtonChecked(1010), static_cast<UINT>(BST_CHECKED));
  char name[32];
  EXPECT_EQ(GetClassName(dlg.GetDlgItem(1005)->m_hWnd, name, sizeof name), 15);
  EXPECT_STREQ(name, "msctls_updown32");
  EXPECT_EQ(dlg.GetDlgItem(1001)->GetClassName(), "Edit");
  dlg.DestroyWindow();
  EXPECT_EQ(GetClassName(nullptr, name, sizeof name), 0);
}

}  // namespace
}  // namespace md::test
