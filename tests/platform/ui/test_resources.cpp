// The resource format, the embedded test template, and snapshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/canvas/cairo_canvas.h"
#include "platform/ui/dialog.h"
#include "platform/ui/paint.h"
#include "platform/ui/propsheet.h"
#include "platform/ui/resources.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

using ResourcesTest = UiTest;

TEST_F(ResourcesTest, TheEmbeddedTemplateLoadsWithoutAnyFileAtRunTime) {
  for (const std::string& e : ResourceErrors()) EXPECT_NE(e.rfind("resources/test/uitest.dlg", 0), 0u) << e;
  const DialogTemplate* t = FindDialogTemplate(9001);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->caption, "控件测试");
  EXPECT_EQ(t->fontFace, "宋体");
  EXPECT_EQ(t->fontPoints, 9);
  EXPECT_EQ(t->cx, 240);
  const ControlTemplate* spin = nullptr;
  const ControlTemplate* combo = nullptr;
  for (const ControlTemplate& c : t->controls) {
    if (c.id == 1005) spin = &c;
    if (c.id == 1003) combo = &c;
  }
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->style & (UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_NOTHOUSANDS),
            UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_NOTHOUSANDS);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->items.size(), 6u);
  EXPECT_EQ(combo->style & 0x3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(combo->style & CBS_SORT);
  EXPECT_EQ(AfxLoadString(9501), "第二行\n含换行");
  EXPECT_EQ(AfxLoadString(123456), "");
}

TEST_F(ResourcesTest, ParsingReportsEveryMistakeWithItsLine) {
  const char* text =
      "DIALOG 1 100 50 \"ok\"\n"
      "  FONT 9 \"宋体\"\n"
      "  EDITTEXT 10 \"\" 1 2 3 4 NUMBER RIGHT\n"
      "  EDITTEXT 10 \"\" 1 2 3 4\n"           // 4: duplicate ID
      "  LTEXT 11 \"x\" 1 2 3 4 SORT\n"        // 5: flag of another kind
      "  ITEM \"lost\"\n"                      // 6: no combo before it
      "  WIDGET 12 \"\" 1 2 3 4\n"             // 7: unknown kind
      "  EDITTEXT 13 \"open 1 2 3 4\n"         // 8: unterminated string
      "  EDITTEXT 99999999999 \"\" 1 2 3 4\n"  // 9: number out of range
      "  EDITTEXT 14 \"\\q\" 1 2 3 4\n"        // 10: unknown escape
      "  EDITTEXT 15 \"\xff\xfe\" 1 2 3 4\n"   // 11: not UTF-8
      "END\n"
      "STRINGTABLE\n"
      "  7 \"seven\"\n"
      "  eight \"8\"\n"  // 15
      "END\n"
      "DIALOG 2 10 10 \"never closed\"\n";  // 17: missing END at the end
  ParsedResources out;
  std::vector<std::string> errors;
  EXPECT_FALSE(ParseResourceText("bad.dlg", text, &out, &errors));
  std::vector<int> lines;
  for (const std::string& e : errors) lines.push_back(std::stoi(e.substr(e.find(':') + 1)));
  EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 15, 18}));
  ASSERT_EQ(out.dialogs.size(), 1u);
  ASSERT_EQ(out.dialogs[0].controls.size(), 1u);
  EXPECT_EQ(out.dialogs[0].controls[0].style & (ES_NUMBER | ES_RIGHT), ES_NUMBER | ES_RIGHT);
  ASSERT_EQ(out.strings.size(), 1u);
  EXPECT_EQ(out.strings[0].second, "seven");
}

TEST_F(ResourcesTest, ArbitraryBytesNeverBreakTheReader) {
  std::string noise;
  unsigned seed = 7;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const char* pieces[] = {"DIALOG ", "END\n", "\"", "\\",          "ITEM ",        "COMBOBOX ",
                            "1 ",      "-1 ",   "\n", "0x7FFFFFFF ", "STRINGTABLE\n"};
    if (seed % 3 == 0)
      noise += pieces[(seed >> 8) % 11];
    else
      noise.push_back(static_cast<char>(seed >> 16));
  }
  ParsedResources out;
  std::vector<std::string> errors;
  ParseResourceText("noise", noise, &out, &errors);
  EXPECT_FALSE(errors.empty());
}

TEST_F(ResourcesTest, FilesRegisteredLaterAddTemplatesButNeverReplaceOnes) {
  const char text[] =
      "DIALOG 9901 50 20 \"later\"\n  PUSHBUTTON 1 \"OK\" 1 1 20 10\nEND\n"
      "DIALOG 9001 50 20 \"impostor\"\nEND\n";
  RegisterResourceText("later.dlg", text, sizeof text - 1);
  const DialogTemplate* later = FindDialogTemplate(9901);
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->controls.size(), 1u);
  EXPECT_EQ(FindDialogTemplate(9001)->caption, "控件测试");
  bool reported = false;
  for (const std::string& e : ResourceErrors())
    reported = reported || e == "later.dlg: dialog 9001 is already defined in resources/test/uitest.dlg";
  EXPECT_TRUE(reported);
  std::vector<UINT> ids = DialogTemplateIds();
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 9901u), 1);
}

// A page that paints its own preview into its frame control.
class PreviewPage : public CPropertyPage {
 public:
  PreviewPage() : CPropertyPage(9103) {}
  void OnPaint() override {
    CPaintDC paint(this);
    HDC dc = paint.m_hDC;
    RECT r;
    GetDlgItem(2201)->GetWindowRect(&r);
    ScreenToClient(&r);
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 30));
    RECT inner{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
    FillRect(dc, &inner, brush);
    DeleteObject(brush);
    ++paints;
  }
  int paints = 0;
};

std::uint32_t PixelAt(md::canvas::Canvas& c, int x, int y) {
  std::uint32_t px = 0;
  c.readPixels(md::canvas::Rect{x, y, x + 1, y + 1}, &px);
  return px & 0xFFFFFF;
}

TEST_F(ResourcesTest, TemplatesSnapshotToPngWithControlsAtTheirPlaces) {
  std::filesystem::create_directories(MD_TEST_OUTPUT_DIR);
  std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/ui_template_9001.png";
  ASSERT_TRUE(SnapshotTemplateToPng(9001, path));
  EXPECT_GT(std::filesystem::file_size(path), 1000u);

  CDialog dlg;
  ASSERT_TRUE(dlg.Create(9001, nullptr));
  RECT frame;
  dlg.GetWindowRect(&frame);
  auto canvas =
      md::canvas::CairoCanvas::createImage(frame.right - frame.left, frame.bottom - frame.top, 0x000000);
  ASSERT_TRUE(PaintWindowTree(dlg, canvas.get()));
  RECT edit;
  dlg.GetDlgItem(1001)->GetWindowRect(&edit);
  // Inside the edit: white; the face of the dialog: light grey.
  EXPECT_EQ(PixelAt(*canvas, (edit.left + edit.right) / 2 - frame.left, edit.top + 3 - frame.top), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(*canvas, edit.left - 3 - frame.left, edit.top + 3 - frame.top) & 0xFFFFFF, 0xF0F0F0u);
  dlg.DestroyWindow();
}

TEST_F(ResourcesTest, SheetSnapshotsIncludeWhatPagesPaint) {
  CPropertySheet sheet("预览属性");
  PreviewPage page;
  sheet.AddPage(&page);
  ScriptedDriver driver;
  std::uint32_t previewPixel = 0;
  bool wrote = false;
  driver.Then([&](UiUser& u) {
    RECT frame, preview;
    sheet.GetWindowRect(&frame);
    page.GetDlgItem(2201)->GetWindowRect(&preview);
    auto canvas =
        md::canvas::CairoCanvas::createImage(frame.right - frame.left, frame.bottom - frame.top, 0xFFFFFF);
    PaintWindowTree(sheet, canvas.get());
    previewPixel = PixelAt(*canvas, (preview.left + preview.right) / 2 - frame.left,
                           (preview.top + preview.bottom) / 2 - frame.top);
    wrote = canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/ui_sheet_preview.png");
    u.Cancel();
  });
  sheet.DoModal();
  EXPECT_TRUE(wrote);
  EXPECT_GE(page.paints, 2);  // once by the modal loop, once for the snapshot
  EXPECT_EQ(previewPixel, static_cast<std::uint32_t>(0xC81E1E));
}

}  // namespace
}  // namespace md::test
