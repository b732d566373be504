// Dialogs on the test template: typing with notifications, data exchange,
// validation, message boxes, file dialogs, module states.
#include <gtest/gtest.h>

#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(9001) {
    MapCommand(EN_UPDATE, 1001, [this] {
      updates.push_back(GetDlgItem(1001)->GetWindowText());
      FilterEdit(GetDlgItem(1001), "0123456789+");
    });
    MapCommand(EN_CHANGE, 1001, [this] { ++changes; });
    MapCommand(EN_KILLFOCUS, 1001, [this] { ++killFocus; });
    MapClicked(1002, [this] { ++clicks; });
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Radio(dx, 1020, appearance);
    DDX_Text(dx, 1004, angle);
    DDV_MinMaxDouble(dx, angle, -360.0, 360.0);
    DDX_Text(dx, 1008, name);
    DDV_MaxChars(dx, name, 5);
    DDX_Check(dx, 1010, draft);
    DDX_Check(dx, 1012, tri);
    DDX_CBIndex(dx, 1003, position);
    DDX_CBString(dx, 1030, scale);
    DDX_Control(dx, 1001, count);
  }
  std::vector<std::string> updates;
  int changes = 0;
  int killFocus = 0;
  int clicks = 0;
  int appearance = 1;
  double angle = 12.5;
  std::string name = "点";
  int draft = 0;
  int tri = 2;
  int position = 2;
  std::string scale = "1:25000";
  CEdit count;
};

using DialogTest = UiTest;

TEST_F(DialogTest, AFilterThatSetsTextFromItsUpdateHandlerSettles) {
  ControlsDialog dlg;
  int selStart = -1, selEnd = -1;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Type(1001, "12a3b");
    EXPECT_EQ(u.Text(1001), "123");
    dlg.count.GetSel(selStart, selEnd);
    u.Replace(1001, "1x2y3x");
    EXPECT_EQ(u.Text(1001), "123");
    u.Replace(1001, "-5");
    EXPECT_EQ(u.Text(1001), "5");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  // Each bad character raises a second, nested notification once the text is
  // set back: 1, 12, 12a (then 12), 123, 123b (then 123).
  std::vector<std::string> first(dlg.updates.begin(), dlg.updates.begin() + 7);
  EXPECT_EQ(first, (std::vector<std::string>{"1", "12", "12a", "12", "123", "123b", "123"}));
  EXPECT_EQ(selStart, 3);
  EXPECT_EQ(selEnd, 3);
  EXPECT_EQ(dlg.changes, static_cast<int>(dlg.updates.size()));
}

TEST_F(DialogTest, RadioGroupsExchangeByTemplateOrder) {
  ControlsDialog dlg;
  int shownChecked = 0;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // Template order is 1020, 1022, 1021; the second button is 1022 although
    // 1021 stands above it.
    shownChecked = dlg.GetCheckedRadioButton(1020, 1022);
    u.Click(1021);
    EXPECT_EQ(u.Checked(1021), BST_CHECKED);
    EXPECT_EQ(u.Checked(1022), BST_UNCHECKED);
    EXPECT_EQ(u.Checked(1020), BST_UNCHECKED);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownChecked, 1022);
  EXPECT_EQ(dlg.appearance, 2);
}

TEST_F(DialogTest, ExchangeMovesEveryKindOfValueBothWays) {
  ControlsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(1004), "12.5");
    EXPECT_EQ(u.Text(1008), "点");
    EXPECT_EQ(u.Checked(1012), BST_INDETERMINATE);
    EXPECT_EQ(u.Selection(1003), 2);
    EXPECT_EQ(u.Text(1030), "1:25000");  // not in the list: shown as typed text
    u.Replace(1004, "-12.25");
    u.Click(1010);
    u.Click(1012);
    u.Choose(1003, 4);
    u.Choose(1030, 1);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_DOUBLE_EQ(dlg.angle, -12.25);
  EXPECT_EQ(dlg.draft, 1);
  EXPECT_EQ(dlg.tri, 0);  // three states cycle: indeterminate, then unchecked
  EXPECT_EQ(dlg.position, 4);
  EXPECT_EQ(dlg.scale, "1:50000");
  EXPECT_FALSE(dlg.count.IsWindow());  // the bound member lets go with the window
}

TEST_F(DialogTest, BadNumbersAndLimitsAreRefusedWithTheFrameworkPrompt) {
  ControlsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    for (const char* bad : {"abc", "1e999", "nan", "12.5x", ""}) {
      u.Replace(1004, bad);
      u.Ok();
      EXPECT_FALSE(u.Ended()) << bad;
    }
    u.Replace(1004, "400");
    u.Ok();
    EXPECT_FALSE(u.Ended());
    u.Replace(1004, "360");
    dlg.SetDlgItemText(1008, "六个字的名字");
    u.Ok();
    EXPECT_FALSE(u.Ended());
    dlg.SetDlgItemText(1008, "五个字名字");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_DOUBLE_EQ(dlg.angle, 360.0);
  EXPECT_EQ(dlg.name, "五个字名字");
  ASSERT_EQ(MessageBoxLog().size(), 7u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(MessageBoxLog()[i].text, "请输入一个数字。");
  EXPECT_EQ(MessageBoxLog()[5].text, "请输入一个介于 -360 和 360 之间的数字。");
  EXPECT_EQ(MessageBoxLog()[6].text, "请输入不多于 5 个字符。");
}

TEST_F(DialogTest, EditsBehaveByTheirStylesAndTellTheirParentAboutFocus) {
  ControlsDialog dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Type(1006, "4a2.");
    EXPECT_EQ(u.Text(1006), "42");  // digits only
    u.Type(1008, "x");
    EXPECT_EQ(u.Text(1008), "点");  // read-only
    u.Type(1007, "a\nb");
    EXPECT_EQ(u.Text(1007), "a\r\nb");
    u.Type(1001, "9");
    int before = dlg.killFocus;
    u.Click(1002);
    EXPECT_EQ(dlg.killFocus, before + 1);
    EXPECT_EQ(dlg.clicks, 1);
    dlg.count.SetSel(0, -1);
    int a = 0, b = 0;
    dlg.count.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_DOUBLE_EQ(dlg.angle, 12.5);  // Cancel exchanges nothing
}

TEST_F(DialogTest, WithoutADriverDoModalAnswersCancelAfterInitialisation) {
  struct Counting : ControlsDialog {
    BOOL OnInitDialog() override {
      ++inits;
      return ControlsDialog::OnInitDialog();
    }
    int inits = 0;
  } dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.inits, 1);
  CDialog missing(4242);
  EXPECT_EQ(missing.DoModal(), -1);
}

// A library with its own application object and message box, like the
// library's: its boxes carry its caption while its module state is current.
AFX_MODULE_STATE g_libraryState("testlib");
class LibraryApp : public CWinApp {
 public:
  LibraryApp() : CWinApp("testlib", &g_libraryState) {}
  int DoMessageBox(LPCTSTR prompt, UINT type, UINT helpId) override {
    lastHelp = helpId;
    return ::MessageBox(nullptr, prompt, "整饰单元组件提示", type | MB_ICONEXCLAMATION);
  }
  UINT lastHelp = 0;
};
LibraryApp g_libraryApp;

TEST_F(DialogTest, MessageBoxesAreRecordedWithCaptionAndTypeAndAnsweredByTheDriver) {
  ScriptedDriver driver;
  driver.AnswerMessageBox(IDNO);
  EXPECT_EQ(AfxMessageBox("复合目标，没有属性", MB_YESNO), IDNO);
  {
    AFX_MANAGE_STATE(&g_libraryState);
    EXPECT_EQ(AfxMessageBox("重名", MB_OK), IDOK);
  }
  ControlsDialog dlg;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(dlg.MessageBox("纬度间隔大于20!", "错误提示", MB_OKCANCEL), IDOK);
    u.Cancel();
  });
  dlg.DoModal();
  const auto& log = MessageBoxLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].caption, "GIS");
  EXPECT_EQ(log[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(log[0].answer, IDNO);
  EXPECT_EQ(log[1].text, "重名");
  EXPECT_EQ(log[1].caption, "整饰单元组件提示");
  EXPECT_EQ(log[1].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(log[2].caption, "错误提示");
  EXPECT_EQ(log[2].type, MB_OKCANCEL);
  EXPECT_NE(log[2].owner, nullptr);
}

TEST_F(DialogTest, ModuleStateGuardsNestAndRestore) {
  AFX_MODULE_STATE* app = AfxGetModuleState();
  AFX_MODULE_STATE other("other");
  {
    AFX_MANAGE_STATE(&g_libraryState);
    EXPECT_EQ(AfxGetApp(), &g_libraryApp);
    {
      AFX_MANAGE_STATE(&other);
      EXPECT_EQ(AfxGetModuleState(), &other);
      EXPECT_NE(AfxGetApp(), &g_libraryApp);  // a module without an application uses the program's
    }
    EXPECT_EQ(AfxGetModuleState(), &g_libraryState);
  }
  EXPECT_EQ(AfxGetModuleState(), app);
  EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
}

TEST_F(DialogTest, WithoutADriverMessageBoxesTakeTheirCancellingButton) {
  EXPECT_EQ(AfxMessageBox("a", MB_OK), IDOK);
  EXPECT_EQ(AfxMessageBox("b", MB_YESNO), IDNO);
  EXPECT_EQ(AfxMessageBox("c", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxLog().size(), 3u);
}

TEST_F(DialogTest, FileDialogsAreAnsweredByTheDriverWithTheirFilters) {
  const char* filter =
      "Supported Types  (*.txt;*.ini;*.dat;)|*.txt;*.ini;*.dat;|text (*.txt)|*.txt|ini Files "
      "(*.ini)|*.ini|Dat Files (*.dat)|*.dat|";
  CFileDialog none(TRUE, nullptr, nullptr, 6, filter);
  EXPECT_EQ(none.DoModal(), IDCANCEL);
  ScriptedDriver driver;
  driver.AnswerFile("/data/lines.txt", 2).CancelFile();
  CFileDialog open(TRUE, nullptr, nullptr, 6, filter);
  ASSERT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName(), "/data/lines.txt");
  EXPECT_EQ(open.GetFileName(), "lines.txt");
  EXPECT_EQ(open.GetFileExt(), "txt");
  EXPECT_EQ(open.m_ofn.nFilterIndex, 2u);
  ASSERT_EQ(driver.FileDialogFilters().size(), 4u);
  EXPECT_EQ(driver.FileDialogFilters()[0], "Supported Types  (*.txt;*.ini;*.dat;)|*.txt;*.ini;*.dat;");
  EXPECT_EQ(driver.FileDialogFilters()[3], "Dat Files (*.dat)|*.dat");
  CFileDialog second(TRUE, nullptr, nullptr, 6, filter);
  EXPECT_EQ(second.DoModal(), IDCANCEL);
  EXPECT_EQ(second.GetPathName(), "");
}

TEST_F(DialogTest, NestedModalDialogsTakeTheNextScene) {
  ControlsDialog outer;
  ControlsDialog inner;
  outer.MapClicked(1002, [&] { outer.clicks = static_cast<int>(inner.DoModal()); });
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(1002);
    u.Ok();
  });
  driver.Then([&](UiUser& u) {
    u.Replace(1004, "1.5");
    u.Ok();
  });
  EXPECT_EQ(outer.DoModal(), IDOK);
  EXPECT_EQ(outer.clicks, IDOK);
  EXPECT_DOUBLE_EQ(inner.angle, 1.5);
  EXPECT_EQ(driver.DialogsRun(), 2);
}

class RegisteredPage : public CPropertyPage {
 public:
  RegisteredPage() : CPropertyPage(9101) {}
};
WindowClassRegistration<RegisteredPage> g_registeredPage("CRegisteredPage");

TEST_F(DialogTest, PagesCanBeMadeFromTheirClassName) {
  std::unique_ptr<CWnd> made(CreateWindowObject("CRegisteredPage"));
  ASSERT_NE(dynamic_cast<RegisteredPage*>(made.get()), nullptr);
  EXPECT_EQ(dynamic_cast<RegisteredPage*>(made.get())->GetTemplateId(), 9101u);
  EXPECT_EQ(CreateWindowObject("CNoSuchPage"), nullptr);
  EXPECT_EQ(CreateWindowObject(nullptr), nullptr);
}

// A library loading on a worker thread registers its classes under its own
// module state while the UI thread makes windows: the UI thread keeps its
// state and finds every class.
TEST(UiThreads, ALibraryLoadingOnAWorkerLeavesTheUiThreadsStateAndClasses) {
  AFX_MODULE_STATE library("library");
  std::latch loaded(1), checked(1);
  std::thread loader([&] {
    AFX_MAINTAIN_STATE2 state(&library);
    for (int i = 0; i < 200; ++i)
      RegisterWindowClass(("CLoaded" + std::to_string(i)).c_str(), [] { return new CWnd; });
    loaded.count_down(), checked.wait();
  });
  int made = 0;
  for (int i = 0; i < 200; ++i)
    made += std::unique_ptr<CWnd>(CreateWindowObject("CRegisteredPage")) != nullptr;
  loaded.wait();
  EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
  checked.count_down(), loader.join();
  EXPECT_EQ(made, 200);
  EXPECT_NE(std::unique_ptr<CWnd>(CreateWindowObject("CLoaded199")), nullptr);
}

}  // namespace
}  // namespace md::test
