// Controls through their classes and messages: lists, list views, spin
// buttons, geometry and painting.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

class ListsDialog : public CDialog {
 public:
  ListsDialog() : CDialog(9001) {
    MapCommand(CBN_SELCHANGE, 1003, [this] { comboSeen.push_back(combo.GetCurSel()); });
    MapCommand(LBN_SELCHANGE, 1040, [this] { ++listChanges; });
    MapCommand(LBN_DBLCLK, 1040, [this] { listDouble = list.GetCurSel(); });
    MapNotify(LVN_ITEMCHANGED, 1050, [this](NMHDR* h, LRESULT*) {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
      changed.push_back({nm->iItem, (nm->uNewState & LVIS_SELECTED) != 0});
    });
    MapNotify(NM_DBLCLK, 1050, [this](NMHDR* h, LRESULT*) {
      POINT p;
      GetCursorPos(&p);
      view.ScreenToClient(&p);
      hits.push_back({reinterpret_cast<NMITEMACTIVATE*>(h)->iItem, view.HitTest(p)});
    });
    MapNotify(UDN_DELTAPOS, 1005, [this](NMHDR* h, LRESULT* result) {
      auto* nm = reinterpret_cast<NMUPDOWN*>(h);
      *result = nm->iPos + nm->iDelta == 13 ? 1 : 0;  // 13 is skipped
    });
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, 1003, combo);
    DDX_Control(dx, 1040, list);
    DDX_Control(dx, 1041, multi);
    DDX_Control(dx, 1050, view);
    DDX_Control(dx, 1005, spin);
    DDX_Control(dx, 1004, spinBuddy);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    for (const char* name : {"甲", "乙", "丙"}) view.InsertItem(view.GetItemCount(), name, 0);
    return TRUE;
  }
  CComboBox combo;
  CListBox list;
  CListBox multi;
  CListCtrl view;
  CSpinButtonCtrl spin;
  CEdit spinBuddy;
  std::vector<int> comboSeen;
  int listChanges = 0;
  int listDouble = -1;
  std::vector<std::pair<int, bool>> changed;
  std::vector<std::pair<int, int>> hits;
};

using ControlsTest = UiTest;

std::vector<std::string> Entries(CComboBox& c) {
  std::vector<std::string> out;
  for (int i = 0; i < c.GetCount(); ++i) {
    std::string t;
    c.GetLBText(i, t);
    out.push_back(t);
  }
  return out;
}

TEST_F(ControlsTest, SortedCombosKeepAFixedOrderAndTheirItemData) {
  ListsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(Entries(dlg.combo),
              (std::vector<std::string>{"alpha", "Beta", "上边", "下边", "右边", "左边"}));
    dlg.combo.SetItemData(1, 77);
    EXPECT_EQ(dlg.combo.AddString("Aardvark"), 0);
    EXPECT_EQ(dlg.combo.GetItemData(2), 77u);  // "Beta" moved down with its data
    EXPECT_EQ(dlg.combo.FindStringExact(-1, "beta"), 2);
    EXPECT_EQ(dlg.combo.FindString(-1, "上"), 3);
    EXPECT_EQ(dlg.combo.InsertString(-1, "z"), 7);  // inserting does not sort
    u.Choose(1003, 3);
    u.ChooseText(1003, "左边");
    EXPECT_EQ(dlg.combo.GetWindowText(), "左边");
    dlg.combo.SetCurSel(0);  // the program's own choice raises nothing
    EXPECT_EQ(dlg.combo.DeleteString(0), 7);
    EXPECT_EQ(dlg.combo.GetCurSel(), -1);
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(dlg.comboSeen, (std::vector<int>{3, 6}));
}

TEST_F(ControlsTest, ListBoxesSelectSinglyOrExtendedAndReportDoubleClicks) {
  ListsDialog dlg;
  std::vector<int> selected;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Choose(1040, 2);
    u.DoubleClick(1040, 1);
    u.Choose(1041, 1);
    u.CtrlClick(1041, 3);
    int items[8];
    int n = dlg.multi.GetSelItems(8, items);
    selected.assign(items, items + n);
    u.ShiftClick(1041, 0);  // from the anchor 3 down to 0
    EXPECT_EQ(dlg.multi.GetSelCount(), 4);
    EXPECT_EQ(dlg.multi.SetCurSel(1), LB_ERR);
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(dlg.listChanges, 2);
  EXPECT_EQ(dlg.listDouble, 1);
  EXPECT_EQ(selected, (std::vector<int>{1, 3}));
}

TEST_F(ControlsTest, ListViewDoubleClicksHitTheItemUnderTheCursor) {
  ListsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.DoubleClick(1050, 1);
    EXPECT_EQ(dlg.view.GetNextItem(-1, LVNI_SELECTED), 1);
    RECT r;
    dlg.view.GetClientRect(&r);
    u.DoubleClickAt(1050, POINT{r.right - 2, r.bottom - 2});  // empty space
    EXPECT_EQ(dlg.view.GetSelectedCount(), 0u);
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(dlg.hits, (std::vector<std::pair<int, int>>{{1, 1}, {-1, -1}}));
  EXPECT_EQ(dlg.changed, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}}));
}

TEST_F(ControlsTest, SpinRangesPositionsBaseAndBuddyText) {
  ListsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // The buddy given by the template shrank to make room at its right.
    RECT edit, spin;
    dlg.spinBuddy.GetWindowRect(&edit);
    dlg.spin.GetWindowRect(&spin);
    EXPECT_EQ(edit.right, spin.left);
    EXPECT_EQ(dlg.spin.GetBuddy(), &dlg.spinBuddy);
    // Setting the same buddy again, as number fields do in their set-up,
    // leaves both where they are.
    dlg.spin.SetBuddy(&dlg.spinBuddy);
    RECT edit2;
    dlg.spinBuddy.GetWindowRect(&edit2);
    EXPECT_EQ(edit2.right, edit.right);
    EXPECT_EQ(edit2.right - edit2.left, edit.right - edit.left);
    dlg.spin.SendMessage(UDM_SETRANGE, 0, MAKELPARAM(50, static_cast<WORD>(-5)));  // upper in the low word
    int lo = 0, hi = 0;
    dlg.spin.GetRange32(lo, hi);
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 50);
    dlg.spin.SetPos32(12);
    EXPECT_EQ(u.Text(1004), "12");
    u.Spin(1005, 2);  // both presses ask for 13, which the handler refuses
    EXPECT_EQ(u.Text(1004), "12");
    u.Replace(1004, "14");
    u.Spin(1005, 1);
    EXPECT_EQ(u.Text(1004), "15");
    EXPECT_EQ(dlg.spin.GetPos32(), 15);
    u.Replace(1004, "x");
    BOOL error = FALSE;
    EXPECT_EQ(dlg.spin.GetPos32(&error), 15);
    EXPECT_TRUE(error);
    dlg.spin.SetRange32(-1000000, 1000000);
    dlg.spin.SetPos32(-1234567);
    EXPECT_EQ(u.Text(1004), "-1000000");
    EXPECT_EQ(dlg.spin.SetBase(8), 0);
    EXPECT_EQ(dlg.spin.SetBase(16), 10);
    dlg.spin.SetPos32(255);
    EXPECT_EQ(u.Text(1004), "0x00FF");
    u.Cancel();
  });
  dlg.DoModal();
}

TEST_F(ControlsTest, GeometryFollowsDialogUnitsAndConvertsBetweenClientAndScreen) {
  CDialog dlg;
  ASSERT_TRUE(dlg.Create(9001, nullptr));
  CWnd* edit = dlg.GetDlgItem(1001);
  ASSERT_NE(edit, nullptr);
  RECT r;
  edit->GetWindowRect(&r);
  dlg.ScreenToClient(&r);
  // 9-point font: 6 x 12 pixel base units; (50, 7, 60, 14) dialog units.
  EXPECT_EQ(r.left, 75);
  EXPECT_EQ(r.top, 11);
  EXPECT_EQ(r.right - r.left, 90);
  EXPECT_EQ(r.bottom - r.top, 21);
  RECT units{50, 7, 110, 21};
  dlg.MapDialogRect(&units);
  EXPECT_EQ(units.left, 75);
  EXPECT_EQ(units.right, 165);
  POINT p{0, 0};
  edit->ClientToScreen(&p);
  RECT frame;
  dlg.GetWindowRect(&frame);
  EXPECT_EQ(p.x, r.left + frame.left + 3);
  HWND editHandle = edit->m_hWnd;
  dlg.DestroyWindow();
  EXPECT_FALSE(IsWindow(editHandle));
}

TEST_F(ControlsTest, InvalidatedWindowsPaintOnceOnUpdate) {
  struct Painted : CDialog {
    void OnPaint() override {
      PAINTSTRUCT ps;
      BeginPaint(&ps);
      areas.push_back(ps.rcPaint);
      EndPaint(&ps);
    }
    std::vector<RECT> areas;
  } dlg;
  ASSERT_TRUE(dlg.Create(9001, nullptr));
  dlg.UpdateWindow();
  size_t first = dlg.areas.size();
  RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
  dlg.InvalidateRect(&a);
  dlg.InvalidateRect(&b);
  dlg.UpdateWindow();
  dlg.UpdateWindow();  // nothing left to paint
  ASSERT_EQ(dlg.areas.size(), first + 1);
  RECT got = dlg.areas.back();
  EXPECT_EQ(got.left, 10);
  EXPECT_EQ(got.top, 5);
  EXPECT_EQ(got.right, 40);
  EXPECT_EQ(got.bottom, 20);
  dlg.DestroyWindow();
}

TEST_F(ControlsTest, HiddenAndDisabledControlsCannotBeUsed) {
  CDialog dlg(9001);
  ScriptedDriver driver;
  std::vector<std::string> errors;
  driver.Then([&](UiUser& u) {
    dlg.GetDlgItem(1002)->EnableWindow(FALSE);
    dlg.GetDlgItem(1006)->ShowWindow(SW_HIDE);
    EXPECT_FALSE(u.Click(1002));
    EXPECT_FALSE(u.Type(1006, "1"));
    EXPECT_FALSE(u.Click(4444));
    EXPECT_FALSE(u.Choose(1003, 99));
    errors = u.Errors();
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(errors.size(), 4u);
  ClearDriverErrors();  // expected here
}

}  // namespace
}  // namespace md::test
