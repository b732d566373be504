// The text element's sheet, opened through OnOpenPropertyDlg and played
// through the modal driver: the content page (text, font, import) and the
// size-and-position page.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/display/cgis_pageview.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/text/dialogs/cgis_dlgelementtext.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/text/texttest.h"
#include "tests/support/oddfiles.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace {

using md::test::StoredForm;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr int kChooserList = 31002;

using md::test::SnapshotPath;

// A file of the test output's "snapshots" folder (made when missing).
std::string OutputPath(const std::string& name) {
  const std::string dir = std::string(MD_TEST_OUTPUT_DIR) + "/snapshots";
  std::filesystem::create_directories(dir);
  return dir + "/" + name;
}

class TextSheetRun : public md::test::TextPage {
 protected:
  void SetUp() override {
    TextPage::SetUp();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    TextPage::TearDown();
  }
  int Redraws() { return dynamic_cast<CGIS_PageView*>(screen_.display.GetView())->GetRedrawCount(); }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = OutputPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  md::test::ScreenOnRecording screen_;
};

TEST_F(TextSheetRun, TheContentPageShowsTheTextAndApplyWritesIt) {
  CGIS_TextElement* e = NewText("旧文本", 20);
  const int redraws = Redraws();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "文本属性");
    ASSERT_NE(dynamic_cast<CGIS_DlgElementText*>(u.Sheet()->GetActivePage()), nullptr);
    EXPECT_EQ(u.Sheet()->GetActivePage()->GetCaption(), "内容");
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(1)), nullptr);
    EXPECT_EQ(u.Text(IDC_ELEMENT_TEXT_EDIT), "旧文本");
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Type(IDC_ELEMENT_TEXT_EDIT, "和新的"));
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_STREQ(e->GetText(), "旧文本");  // not before the page is left or applied
    EXPECT_TRUE(u.Apply());
    EXPECT_STREQ(e->GetText(), "旧文本和新的");
    EXPECT_EQ(Redraws(), redraws + 1);
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("text_content_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_STREQ(e->GetText(), "旧文本和新的");
}

TEST_F(TextSheetRun, OkWritesTheContentPageAndTheSizePage) {
  CGIS_TextElement* e = NewText("ABC", 20);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_ELEMENT_TEXT_EDIT, "XYZW"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_STREQ(e->GetText(), "XYZW");  // leaving the page wrote it
    // A text keeps its ratio whatever it is told: the box is ticked and fixed.
    EXPECT_EQ(u.Checked(IDC_SIZEPOS_KEEPRATIO), 1);
    EXPECT_FALSE(u.IsEnabled(IDC_SIZEPOS_KEEPRATIO));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "1234"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "4321"));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("text_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_TRUE(e->GetHVScaleRatio());
  EXPECT_EQ(e->GetRect().left, 1234);
  EXPECT_EQ(e->GetRect().bottom, 4321);
}

TEST_F(TextSheetRun, CancelAfterFontTextAndSizeEditsLeavesTheStoredFormByteIdentical) {
  CGIS_TextElement* e = NewText("不变", 20);
  const std::string before = StoredForm(e);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_ELEMENT_TEXT_FONT));
    EXPECT_TRUE(u.Replace(IDC_ELEMENT_TEXT_EDIT, "变了"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "-300"));
    EXPECT_TRUE(u.Apply());
    EXPECT_STREQ(e->GetText(), "变了");
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {  // the text-symbol chooser
    EXPECT_TRUE(u.Choose(kChooserList, 1));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(StoredForm(e), before);
}

// Import: the file's lines, each ending in one line feed.
struct ImportCase {
  const char* name;
  const char* bytes;
  const char* text;
};

class TextImport : public TextSheetRun, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(TextImport, ReplacesThePagesTextAndMarksItModified) {
  CGIS_TextElement* e = NewText("旧的", 20);
  const std::string path = WriteFile(GetParam().name, GetParam().bytes);
  ScriptedDriver driver;
  driver.AnswerFile(path);
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_ELEMENT_TEXT_IMPORT));
    EXPECT_EQ(u.Text(IDC_ELEMENT_TEXT_EDIT), GetParam().text);
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_STREQ(e->GetText(), "旧的");  // reaches the element when the page is left or applied
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(std::string(e->GetText()), GetParam().text);
  ASSERT_FALSE(driver.FileDialogFilters().empty());
  EXPECT_EQ(driver.FileDialogFilters().front(), "Supported Types  (*.txt;*.ini;*.dat;)|*.txt;*.ini;*.dat;");
  EXPECT_EQ(driver.FileDialogFilters().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TextImport,
    ::testing::Values(ImportCase{"three.txt", "a\nb\nc", "a\nb\nc\n"},
                      ImportCase{"crlf.ini", "a\r\nb\r\nc\r\n", "a\nb\nc\n"}, ImportCase{"empty.dat", "", ""},
                      ImportCase{"chinese.txt", "第一行\n第二行\n", "第一行\n第二行\n"}));

TEST_F(TextSheetRun, ACancelledOrUnreadableImportKeepsTheText) {
  CGIS_TextElement* e = NewText("留着", 20);
  ScriptedDriver driver;
  driver.CancelFile();
  driver.AnswerFile(OutputPath("no-such-folder/missing.txt"));
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_ELEMENT_TEXT_IMPORT));
    EXPECT_EQ(u.Text(IDC_ELEMENT_TEXT_EDIT), "留着");
    EXPECT_TRUE(u.Click(IDC_ELEMENT_TEXT_IMPORT));
    EXPECT_EQ(u.Text(IDC_ELEMENT_TEXT_EDIT), "留着");
    EXPECT_FALSE(u.Sheet()->GetActivePage()->IsModified());
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_STREQ(e->GetText(), "留着");
}

TEST(TextFileLines, ReadsLinesAndRefusesAMissingFile) {
  std::string text = "kept";
  EXPECT_FALSE(md::layout::ReadTextFileLines("/nonexistent/file.txt", &text));
  EXPECT_EQ(text, "kept");
}

TEST(TextFileLines, OddFilesAreRefusedWithoutWaiting) {
  const md::test::OddPaths odd(std::filesystem::path(MD_TEST_OUTPUT_DIR) / "textfile-odd",
                               md::layout::kMaxTextFileBytes + 1);
  for (const auto& [name, path] : odd.All()) {
    SCOPED_TRACE(name);
    std::string text = "kept";
    EXPECT_TRUE(md::test::EndsWithoutWaiting(
        odd.pipe, [&] { EXPECT_FALSE(md::layout::ReadTextFileLines(path, &text)); }));
    EXPECT_EQ(text, "kept");
  }
}

}  // namespace
