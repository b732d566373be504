// Property sheets driven as a user drives them: pages, Apply, OK, Cancel,
// validation that keeps a page.
#include <gtest/gtest.h>

#include "platform/ui/driver.h"
#include "platform/ui/propsheet.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

class ValuePage : public CPropertyPage {
 public:
  ValuePage() : CPropertyPage(9101) {
    MapCommand(EN_CHANGE, 2001, [this] {
      if (!IsExchangingData()) SetModified(TRUE);
    });
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 2001, size);
    DDV_MinMaxInt(dx, size, 1, 1000);
    DDX_Check(dx, 2003, keep);
  }
  BOOL OnKillActive() override {
    ++kills;
    if (refuseLeave) return FALSE;
    return CPropertyPage::OnKillActive();
  }
  BOOL OnApply() override {
    ++applies;
    return CPropertyPage::OnApply();
  }
  void OnReset() override { ++resets; }
  int size = 10;
  int keep = 0;
  int kills = 0;
  int applies = 0;
  int resets = 0;
  bool refuseLeave = false;
};

class TextPage : public CPropertyPage {
 public:
  TextPage() : CPropertyPage(9102) {
    MapCommand(EN_CHANGE, 2101, [this] {
      if (!IsExchangingData()) SetModified(TRUE);
    });
  }
  void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, 2101, text); }
  BOOL OnApply() override {
    ++applies;
    return CPropertyPage::OnApply();
  }
  std::string text = "旧";
  int applies = 0;
};

class PreviewPage : public CPropertyPage {
 public:
  PreviewPage() : CPropertyPage(9103) {}
  BOOL OnSetActive() override {
    ++shows;
    if (refuseShow) return FALSE;
    return CPropertyPage::OnSetActive();
  }
  BOOL OnApply() override {
    ++applies;
    return CPropertyPage::OnApply();
  }
  int shows = 0;
  int applies = 0;
  bool refuseShow = false;
};

// A sheet that handles Apply itself, the way element sheets do: the active
// page applies, then every page loses its modified mark.
class ApplySheet : public CPropertySheet {
 public:
  ApplySheet() : CPropertySheet(9500) {
    AddPage(&value);
    AddPage(&text);
    AddPage(&preview);
    MapClicked(ID_APPLY_NOW, [this] {
      GetActivePage()->OnApply();
      for (int i = 0; i < GetPageCount(); ++i) GetPage(i)->SetModified(FALSE);
    });
  }
  ValuePage value;
  TextPage text;
  PreviewPage preview;
};

using SheetTest = UiTest;

TEST_F(SheetTest, ApplyRunsOnlyTheActivePageAndClearsEveryModifiedMark) {
  ApplySheet sheet;
  bool applyWasEnabled = true, applyEnabledAfter = true, modifiedAfter = true;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    applyWasEnabled = u.IsEnabled(static_cast<int>(ID_APPLY_NOW));
    u.Type(2001, "5");  // "10" becomes "105"
    u.GoToPage(1);
    u.Type(2101, "新");
    EXPECT_TRUE(sheet.value.IsModified());
    EXPECT_TRUE(sheet.text.IsModified());
    u.Apply();
    applyEnabledAfter = u.IsEnabled(static_cast<int>(ID_APPLY_NOW));
    modifiedAfter = sheet.value.IsModified() || sheet.text.IsModified() || sheet.preview.IsModified();
    EXPECT_EQ(sheet.value.applies, 0);
    EXPECT_EQ(sheet.text.applies, 1);
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_FALSE(applyWasEnabled);
  EXPECT_FALSE(applyEnabledAfter);
  EXPECT_FALSE(modifiedAfter);
  // OK leaves the active page and applies every page that was shown, and
  // only those.
  EXPECT_EQ(sheet.value.applies, 1);
  EXPECT_EQ(sheet.text.applies, 2);
  EXPECT_EQ(sheet.preview.applies, 0);
  EXPECT_EQ(sheet.preview.shows, 0);
  EXPECT_EQ(sheet.value.size, 105);
  EXPECT_EQ(sheet.text.text, "旧新");
}

TEST_F(SheetTest, FrameworkApplyLeavesTheActivePageAndAppliesEveryCreatedPage) {
  CPropertySheet sheet("默认");
  ValuePage value;
  TextPage text;
  sheet.AddPage(&value);
  sheet.AddPage(&text);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(2001, "42");
    u.Apply();
    EXPECT_EQ(value.applies, 1);
    EXPECT_EQ(text.applies, 0);  // never shown
    EXPECT_EQ(value.size, 42);
    EXPECT_FALSE(value.IsModified());
    u.Cancel();
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST_F(SheetTest, OkWithAPageThatRefusesToBeLeftKeepsTheSheetOpen) {
  ApplySheet sheet;
  sheet.value.refuseLeave = true;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Ok();
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(sheet.value.kills, 1);
    EXPECT_EQ(sheet.value.applies, 0);
    EXPECT_FALSE(u.GoToPage(1));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.value.refuseLeave = false;
    u.Ok();
    EXPECT_TRUE(u.Ended());
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(sheet.value.applies, 1);
}

TEST_F(SheetTest, CancelAppliesNothing) {
  ApplySheet sheet;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(2001, "77");
    u.GoToPage(1);
    u.Replace(2101, "改过");
    u.Cancel();
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(sheet.value.applies, 0);
  EXPECT_EQ(sheet.text.applies, 0);
  EXPECT_EQ(sheet.text.text, "旧");
  EXPECT_EQ(sheet.value.resets, 1);
}

TEST_F(SheetTest, WithoutADriverASheetAnswersCancel) {
  ApplySheet sheet;
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(sheet.value.applies, 0);
  EXPECT_EQ(sheet.value.resets, 1);  // it was shown, then cancelled
}

TEST_F(SheetTest, RangeFailureRecordsThePromptFocusesTheEditAndKeepsThePage) {
  AfxSetHostAppName("主程序");
  ApplySheet sheet;
  int focusAfterFailure = 0;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(2001, "0");
    u.Ok();
    EXPECT_FALSE(u.Ended());
    CWnd* focus = CWnd::GetFocus();
    focusAfterFailure = focus ? focus->GetDlgCtrlID() : 0;
    EXPECT_FALSE(u.GoToPage(2));  // the page cannot be left either
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    u.Replace(2001, "abc");
    u.Ok();
    u.Replace(2001, "7");
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(focusAfterFailure, 2001);
  ASSERT_EQ(MessageBoxLog().size(), 3u);  // Ok, the page switch, then "abc"
  EXPECT_EQ(MessageBoxLog()[0].text, "请输入一个介于 1 和 1000 之间的整数。");
  EXPECT_EQ(MessageBoxLog()[0].caption, "主程序");
  EXPECT_EQ(MessageBoxLog()[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(MessageBoxLog()[1].text, MessageBoxLog()[0].text);
  EXPECT_EQ(MessageBoxLog()[2].text, "请输入一个整数。");
  EXPECT_EQ(sheet.value.size, 7);
  EXPECT_EQ(sheet.preview.shows, 0);
  AfxSetHostAppName("GIS");
}

TEST_F(SheetTest, APageThatRefusesActivationLeavesThePreviousPageInFront) {
  ApplySheet sheet;
  sheet.preview.refuseShow = true;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_FALSE(u.GoToPage(2));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_TRUE(u.IsVisible(2001));
    sheet.preview.refuseShow = false;
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_FALSE(sheet.value.IsWindowVisible());
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(sheet.preview.shows, 2);
  EXPECT_EQ(sheet.preview.applies, 1);
}

TEST_F(SheetTest, PagesAreMadeOnFirstShowAndFindTheirSheetAsParent) {
  ApplySheet sheet;
  CWnd* parentOfPage = nullptr;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(sheet.value.IsCreated());
    EXPECT_FALSE(sheet.text.IsCreated());
    parentOfPage = sheet.value.GetParent();
    EXPECT_EQ(sheet.GetWindowText(), "Property Sheet");
    sheet.SetTitle("点属性");
    EXPECT_EQ(sheet.GetWindowText(), "点属性");
    u.Cancel();
  });
  sheet.DoModal();
  EXPECT_EQ(parentOfPage, &sheet);
  // After the run the windows are gone; the members keep their values.
  EXPECT_FALSE(sheet.value.IsCreated());
  EXPECT_EQ(sheet.value.size, 10);
}

}  // namespace
}  // namespace md::test
