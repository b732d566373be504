// The library's application object and message boxes, and the number edit
// filters and spin set-up, played through the dialog framework's driver.
#include <gtest/gtest.h>

#include <cstring>

#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/dialogs/cgis_mapdeckapp.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/mapdeckmessage.h"
#include "layout/graphicelement/element/libraryunload.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/resources.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

const char kTemplates[] = R"(
DIALOG 39001 160 60 "数字"
  FONT 9 "宋体"
  STYLE POPUP CAPTION MODALFRAME
  EDITTEXT 1001 "" 7 7 60 14 AUTOHSCROLL
  SPIN 1002 "" 70 7 10 14 ARROWKEYS
  EDITTEXT 1003 "" 7 25 60 14 AUTOHSCROLL
  LTEXT 1004 "标签" 90 7 40 8
  DEFPUSHBUTTON 1 "确定" 70 40 32 14
  PUSHBUTTON 2 "取消" 110 40 32 14
END
)";

const bool kRegistered = [] {
  md::ui::RegisterResourceText("tests/layout/graphicelement/elements.dlg", kTemplates,
                               std::strlen(kTemplates));
  return true;
}();

// A dialog whose edit 1001 runs one of the filters on every change.
class NumberDialog : public CDialog {
 public:
  explicit NumberDialog(void (*filter)(CEdit*)) : CDialog(39001), filter_(filter) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    edit_.SubclassDlgItem(1001, this);
    MapCommand(EN_CHANGE, 1001, [this] { filter_(&edit_); });
    return TRUE;
  }
  CEdit edit_;

 private:
  void (*filter_)(CEdit*);
};

struct FilterRow {
  void (*filter)(CEdit*);
  const char* name;
  const char* typed;
  const char* left;
};

TEST(NumberEdits, TypedTextKeepsOnlyTheCharactersOfItsKind) {
  ASSERT_TRUE(kRegistered);
  for (const std::string& e : md::ui::ResourceErrors()) ADD_FAILURE() << e;
  const md::ui::DialogTemplate* t = md::ui::FindDialogTemplate(39001);
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->controls.size(), 6u);
  const FilterRow rows[] = {
      {&FilterUnsignedIntegerEdit, "unsigned integer", "12a3b", "123"},
      {&FilterUnsignedIntegerEdit, "unsigned integer", "-5", "5"},
      {&FilterUnsignedIntegerEdit, "unsigned integer", "+1.5", "+15"},
      {&FilterUnsignedIntegerEdit, "unsigned integer", "7中8", "78"},
      {&FilterSignedIntegerEdit, "signed integer", "-1.5e", "-15"},
      {&FilterSignedDecimalEdit, "signed decimal", "-1.5e2", "-1.52"},
      {&FilterUnsignedDecimalEdit, "unsigned decimal", "-1.5x", "1.5"},
  };
  for (const FilterRow& row : rows) {
    NumberDialog dlg(row.filter);
    std::string seen;
    md::ui::ScriptedDriver driver;
    driver.Then([&](md::ui::UiUser& u) {
      u.Type(1001, row.typed);
      seen = u.Text(1001);
      for (auto& e : u.Errors()) ADD_FAILURE() << e;
      u.Ok();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen, row.left) << row.name << " typed " << row.typed;
  }
}

TEST(NumberEdits, PastedTextIsCleanedOneKindPerNotificationWithTheCaretWhereItWasFound) {
  NumberDialog dlg(&FilterUnsignedIntegerEdit);
  std::string seen, single;
  int start = -1, end = -1, singleStart = -1;
  md::ui::ScriptedDriver driver;
  driver.Then([&](md::ui::UiUser& u) {
    // One bad kind: removed everywhere, the caret at the index where the
    // rightmost one was found.
    dlg.edit_.SetWindowText("1x2x3x456");
    single = u.Text(1001);
    int e = 0;
    dlg.edit_.GetSel(singleStart, e);
    // Setting the whole text at once: "b" (the rightmost bad kind) goes
    // first, then "a", each through its own change notification; the caret
    // of the outer removal is set last.
    dlg.edit_.SetWindowText("1a2b3b");
    seen = u.Text(1001);
    dlg.edit_.GetSel(start, end);
    u.Ok();
  });
  dlg.DoModal();
  EXPECT_EQ(single, "123456");
  EXPECT_EQ(singleStart, 5);
  EXPECT_EQ(seen, "123");
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 3);
}

TEST(NumberEdits, FiltersAndSpinSetUpLeaveOtherControlsAlone) {
  CDialog dlg(39001);
  std::string label;
  int lower = 0, upper = 0;
  UINT base = 0;
  CWnd* buddy = nullptr;
  CWnd* buddyBefore = nullptr;
  CEdit labelAsEdit, edit;
  CSpinButtonCtrl spin, labelAsSpin;
  md::ui::ScriptedDriver driver;
  driver.Then([&](md::ui::UiUser& u) {
    // A static control is neither an edit nor a spin button.
    ASSERT_TRUE(labelAsEdit.SubclassDlgItem(1004, &dlg));
    labelAsEdit.SetWindowText("a-b");
    FilterUnsignedIntegerEdit(&labelAsEdit);
    label = u.Text(1004);
    FilterUnsignedIntegerEdit(nullptr);
    labelAsEdit.Detach();
    ASSERT_TRUE(labelAsSpin.SubclassDlgItem(1004, &dlg));
    ASSERT_TRUE(edit.SubclassDlgItem(1003, &dlg));
    ASSERT_TRUE(spin.SubclassDlgItem(1002, &dlg));
    InitSpinButton(&edit, nullptr, 0, 50, 10);
    InitSpinButton(&edit, &labelAsSpin, 0, 50, 10);
    InitSpinButton(nullptr, &spin, 0, 50, 10);
    buddyBefore = spin.GetBuddy();
    InitSpinButton(&edit, &spin, -20, 3000, 10);
    buddy = spin.GetBuddy();
    spin.GetRange32(lower, upper);
    base = spin.GetBase();
    u.Ok();
  });
  dlg.DoModal();
  EXPECT_EQ(label, "a-b");
  EXPECT_EQ(buddyBefore, nullptr);
  EXPECT_EQ(buddy, &edit);
  EXPECT_EQ(lower, -20);
  EXPECT_EQ(upper, 3000);
  EXPECT_EQ(base, 10u);
}

// A driver that notes the help context while each box is shown.
class ContextDriver : public md::ui::ScriptedDriver {
 public:
  int AnswerMessageBox(const md::ui::MessageBoxRecord& box) override {
    DWORD context = md::layout::TheApp().m_dwPromptContext;
    if (CWnd* owner = CWnd::FromHandle(box.owner)) {
      context = *reinterpret_cast<DWORD*>(owner->SendMessage(WM_HELPPROMPTADDR));
    }
    contexts.push_back(context);
    return ScriptedDriver::AnswerMessageBox(box);
  }
  std::vector<DWORD> contexts;
};

TEST(LibraryMessageBox, CaptionIconAndHelpContext) {
  struct Row {
    UINT type;
    UINT shown;
  } rows[] = {
      {MB_OK, MB_OK | MB_ICONEXCLAMATION},
      {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
      {MB_RETRYCANCEL, MB_RETRYCANCEL},
      {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
      {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
  };
  ContextDriver driver;
  for (const Row& row : rows) {
    md::ui::ClearMessageBoxLog();
    md::layout::LibraryMessageBox("参数错误", row.type);
    ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
    const md::ui::MessageBoxRecord& box = md::ui::MessageBoxLog()[0];
    EXPECT_EQ(box.caption, "整饰单元组件提示");
    EXPECT_EQ(box.text, "参数错误");
    EXPECT_EQ(box.type, row.shown) << row.type;
  }
  const DWORD before = md::layout::TheApp().m_dwPromptContext;
  driver.contexts.clear();
  md::layout::LibraryMessageBox("帮助", MB_OK, 0x21);
  md::layout::LibraryMessageBox("无帮助", MB_OK, 0);
  ASSERT_EQ(driver.contexts.size(), 2u);
  EXPECT_EQ(driver.contexts[0], 0x30021u);
  EXPECT_EQ(driver.contexts[1], before);
  EXPECT_EQ(md::layout::TheApp().m_dwPromptContext, before);

  // Inside a running dialog the box belongs to it, and so does the context.
  NumberDialog dlg(&FilterUnsignedIntegerEdit);
  driver.contexts.clear();
  md::ui::ClearMessageBoxLog();
  driver.Then([&](md::ui::UiUser& u) {
    md::layout::LibraryMessageBox("帮助", MB_OK, 0x22);
    u.Ok();
  });
  dlg.DoModal();
  ASSERT_EQ(driver.contexts.size(), 1u);
  EXPECT_EQ(driver.contexts[0], 0x30022u);
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_NE(md::ui::MessageBoxLog()[0].owner, nullptr);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].caption, "整饰单元组件提示");
}

using CompoundMessage = md::test::PageTest;

TEST_F(CompoundMessage, CompoundPropertiesShowTheHostsBoxNotTheLibrarys) {
  AfxSetHostAppName("宿主程序");
  md::ui::ScriptedDriver driver;
  md::ui::ClearMessageBoxLog();
  auto* c = Keep(new CGIS_CompoundElement(set_, nullptr));
  EXPECT_TRUE(c->OnOpenPropertyDlg(nullptr, TRUE));
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  const md::ui::MessageBoxRecord& box = md::ui::MessageBoxLog()[0];
  EXPECT_EQ(box.text, "复合目标，没有属性");
  EXPECT_NE(box.caption, "整饰单元组件提示");
  EXPECT_EQ(box.type & MB_TYPEMASK, MB_OK);
}

int g_borderReleases = 0;
void CountRelease() { ++g_borderReleases; }

TEST(LibraryUnload, ExitRunsWhatThePartsLeftForTheUnloadOnce) {
  g_borderReleases = 0;
  EXPECT_EQ(md::layout::TheApp().ExitInstance(), 0);  // none made: nothing to release
  md::layout::AtLibraryUnload(&CountRelease);
  md::layout::AtLibraryUnload(&CountRelease);  // registered twice, run once
  md::layout::TheApp().ExitInstance();
  md::layout::TheApp().ExitInstance();
  EXPECT_EQ(g_borderReleases, 1);
  EXPECT_TRUE(md::layout::TheApp().InitInstance());
}

}  // namespace
