// The scale bar and scale text sheets driven as a user drives them: what the
// pages show, the element after typed input and OK or Apply, range prompts
// that keep a page, and Cancel leaving the stored form as it was.
#include <memory>
#include <string>
#include <vector>

#include "host/display/cgis_pageview.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarsheet.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scaletextsheet.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "platform/ui/app.h"
#include "platform/ui/driver.h"
#include "tests/layout/graphicelement/scalebar/scalebartest.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

std::vector<BYTE> StoredBytes(IGIS_Element* e) {
  e->Archive(0, 0);
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}

// The captions of a sheet's pages, visiting each in turn.
std::vector<std::string> PageCaptions(UiUser& u) {
  std::vector<std::string> captions;
  for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) {
    u.GoToPage(i);
    captions.push_back(u.Sheet()->GetActivePage()->GetCaption());
  }
  return captions;
}

// The texts an element prints, in drawing order.
std::vector<std::string> PrintedTexts(IGIS_Element* e) {
  PrintPage page;
  EXPECT_TRUE(e->OnDraw(page.hdc, true, page.display.get()));
  std::vector<std::string> texts;
  for (const md::canvas::Record* r : page.canvas->recordsOf(md::canvas::Record::Type::Text))
    texts.push_back(r->text.text);
  return texts;
}

// Chooses the second entry of the symbol chooser and confirms it.
void PickSecondSymbol(UiUser& u) {
  u.Choose(IDC_GIS_PICK_LIST, 1);
  u.Ok();
}

class ScaleBarSheets : public ScaleBarTest {
 protected:
  void SetUp() override {
    ScaleBarTest::SetUp();
    // Other tests of this program take the registrations away.
    md::layout::RegisterScaleBarSheets();
    md::layout::RegisterScaleTextSheet();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;
    ScaleBarTest::TearDown();
  }
};

TEST_F(ScaleBarSheets, UnitsPageShowsTheBarAndOkWritesWhatWasTyped) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->SetDivisions(4);
  ScriptedDriver driver;
  std::string shownDivisions, shownLabel;
  driver.Then([&](UiUser& u) {
    shownDivisions = u.Text(4153);
    shownLabel = u.Text(4035);
    EXPECT_EQ(u.Selection(4024), GIS_SCALEBAR_RESIZE_WIDTH);
    EXPECT_TRUE(u.IsEnabled(4041));
    EXPECT_TRUE(u.IsEnabled(4153));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_units_page")));
    u.Replace(4153, "7");
    u.Replace(4041, "2.5");
    u.Replace(4148, "3");
    u.Click(4159);
    u.Choose(4163, GIS_SCALEBAR_UNIT_BELOW);
    u.Replace(4184, "120");
    u.Ok();
  });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(shownDivisions, "4");
  EXPECT_EQ(shownLabel, "米");
  EXPECT_EQ(bar->GetDivisions(), 7);
  EXPECT_DOUBLE_EQ(bar->GetDivision(), 2.5);
  EXPECT_EQ(bar->GetSubDivisions(), 3);
  EXPECT_TRUE(bar->GetDivisionsBeforeZero());
  EXPECT_EQ(bar->GetUnitLabelPosition(), GIS_SCALEBAR_UNIT_BELOW);
  EXPECT_EQ(bar->GetUnitLabelGap(), 120);
}

TEST_F(ScaleBarSheets, ChoosingAUnitReplacesTheLabelAndTheResizeChoiceEnablesTheEdits) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  const int n = GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(4035, "自定");
    u.Choose(4022, n);
    EXPECT_EQ(u.Text(4035), "度");
    u.Choose(4024, GIS_SCALEBAR_RESIZE_DIVISION);
    EXPECT_FALSE(u.IsEnabled(4041));
    EXPECT_TRUE(u.IsEnabled(4153));
    u.Choose(4024, GIS_SCALEBAR_RESIZE_DIVISIONS);
    EXPECT_TRUE(u.IsEnabled(4041));
    EXPECT_FALSE(u.IsEnabled(4153));
    u.Ok();
  });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(bar->GetUnits(), n);
  EXPECT_STREQ(bar->GetUnitLabel(), "度");
  EXPECT_EQ(bar->GetResizeHint(), GIS_SCALEBAR_RESIZE_DIVISIONS);
}

TEST_F(ScaleBarSheets, OutOfRangeValuesPromptAndKeepThePage) {
  struct Row {
    int id;
    const char* typed;
  };
  const Row rows[] = {{4153, "101"}, {4153, "0"}, {4148, "101"}, {4184, "10001"}, {4041, "20000000000"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    CGIS_AlternatingScaleBar* bar = NewBar();
    bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
    bar->Refresh();
    const std::vector<BYTE> before = StoredBytes(bar);
    md::ui::ClearMessageBoxLog();
    ScriptedDriver driver;
    bool stayed = false;
    driver.Then([&](UiUser& u) {
      u.Replace(r.id, r.typed);
      u.GoToPage(1);
      stayed = u.Sheet()->GetActiveIndex() == 0;
      u.Cancel();
    });
    EXPECT_FALSE(bar->OnOpenPropertyDlg(nullptr, TRUE));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(md::ui::MessageBoxLog().size(), 1u);
    EXPECT_EQ(StoredBytes(bar), before);
  }
}

TEST_F(ScaleBarSheets, CancelAfterEditsOnEveryPageLeavesTheStoredForm) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->Refresh();
  const std::vector<BYTE> before = StoredBytes(bar);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(4153, "9");
    u.Click(4164);  // the unit label font, taken at once
    u.GoToPage(1);
    u.Choose(4166, 6);
    u.Click(4171);
    u.GoToPage(2);
    u.Replace(1002, "555");
    u.Click(4063);
    u.Apply();
    u.Cancel();
  });
  driver.Then(PickSecondSymbol).Then(PickSecondSymbol).Then(PickSecondSymbol);
  EXPECT_FALSE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(driver.DialogsRun(), 4);
  EXPECT_EQ(StoredBytes(bar), before);
}

TEST_F(ScaleBarSheets, NumbersPageWritesLabelsAndMarksAndNoDivisionLinesDisablesTheMarks) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  PrintPage page;
  auto* view = static_cast<CGIS_PageView*>(page.display->GetView());
  const int redraws = view->GetRedrawCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    EXPECT_EQ(u.Selection(4166), bar->GetLabelFrequency());
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_numbers_page")));
    u.Choose(4168, 0);
    for (int id : {4030, 4032, 4067, 4028, 4161}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    u.Choose(4168, 3);
    for (int id : {4030, 4032, 4067, 4028, 4161}) EXPECT_TRUE(u.IsEnabled(id)) << id;
    u.Choose(4166, GIS_SCALEBAR_LABELS_ENDS);
    u.Choose(4170, GIS_SCALEBAR_POSITION_BELOW);
    u.Replace(4172, "321");
    u.Replace(4067, "250");
    u.Replace(4028, "-40");  // the filter keeps the sign out
    EXPECT_EQ(u.Text(4028), "40");
    u.Apply();
    EXPECT_FALSE(u.Sheet()->GetPage(1)->IsModified());
    EXPECT_EQ(bar->GetLabelGap(), 321);
    u.GoToPage(2);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_format_page")));
    u.Replace(1002, "0");  // passes the page, ignored by the bar
    u.Ok();
  });
  const int height = bar->GetBarHeight();
  EXPECT_TRUE(bar->OnOpenPropertyDlg(page.display.get(), TRUE));
  EXPECT_EQ(view->GetRedrawCount(), redraws + 1);
  EXPECT_EQ(bar->GetLabelFrequency(), GIS_SCALEBAR_LABELS_ENDS);
  EXPECT_EQ(bar->GetLabelPosition(), GIS_SCALEBAR_POSITION_BELOW);
  EXPECT_EQ(bar->GetScaleMarks()->GetMarkFrequency(), 3);
  EXPECT_EQ(bar->GetScaleMarks()->GetDivisionMarkHeight(), 250);
  EXPECT_EQ(bar->GetScaleMarks()->GetSubdivisionMarkHeight(), 40);
  EXPECT_EQ(bar->GetBarHeight(), height);
}

TEST_F(ScaleBarSheets, FormatFontGoesToBothLabelsAndTheNumbersFontOnlyToTheNumbers) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  const std::vector<BYTE> unitBefore = Bytes(bar->GetUnitLabelSymbol());
  const std::vector<BYTE> labelBefore = Bytes(bar->GetLabelSymbol());
  const std::vector<BYTE> fill2Before = Bytes(bar->GetSymbol2());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    u.Click(4171);
    EXPECT_EQ(Bytes(bar->GetUnitLabelSymbol()), unitBefore);
    EXPECT_NE(Bytes(bar->GetLabelSymbol()), labelBefore);
    u.GoToPage(2);
    EXPECT_TRUE(u.IsEnabled(4064));
    u.Click(4060);
    EXPECT_NE(Bytes(bar->GetUnitLabelSymbol()), unitBefore);
    EXPECT_EQ(Bytes(bar->GetUnitLabelSymbol()), Bytes(bar->GetLabelSymbol()));
    u.Click(4064);
    u.Ok();
  });
  driver.Then(PickSecondSymbol).Then(PickSecondSymbol);
  // A cancelled chooser changes nothing.
  driver.Then([](UiUser& u) { u.Cancel(); });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(Bytes(bar->GetSymbol2()), fill2Before);
}

TEST_F(ScaleBarSheets, FrameAndSizePagesWriteTheBarOnOk) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->Refresh();
  const SGIS_Rect before = bar->GetRect();
  ScriptedDriver driver;
  std::string shownX, shownWidth;
  driver.Then([&](UiUser& u) {
    u.GoToPage(3);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_frame_page")));
    u.Replace(IDC_FRAME_BORDER_X, "400");
    u.Replace(IDC_FRAME_BACK_Y, "120");
    u.GoToPage(4);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_size_page")));
    shownX = u.Text(IDC_SIZEPOS_X);
    shownWidth = u.Text(IDC_SIZEPOS_WIDTH);
    u.Replace(IDC_SIZEPOS_X, std::to_string(before.left + 1000));
    u.Replace(IDC_SIZEPOS_Y, std::to_string(before.bottom + 500));
    u.Ok();
  });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(shownX, std::to_string(before.left));
  EXPECT_EQ(shownWidth, std::to_string(before.right - before.left));
  EXPECT_EQ(bar->GetFrameProperty()->GetBorderX(), 400);
  EXPECT_EQ(bar->GetFrameProperty()->GetBackY(), 120);
  const SGIS_Rect after = bar->GetRect();
  EXPECT_EQ(after.left, before.left + 1000);
  EXPECT_EQ(after.bottom, before.bottom + 500);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(ScaleBarSheets, ApplyOnTheFramePageAppliesItAloneAndCancelLeavesTheStoredForm) {
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->SetResizeHint(GIS_SCALEBAR_RESIZE_WIDTH);
  bar->GetFrameProperty()->SetBorderX(250);
  bar->Refresh();
  const std::string before = StoredForm(bar);
  const SGIS_Rect rect = bar->GetRect();
  PrintPage page;
  auto* view = static_cast<CGIS_PageView*>(page.display->GetView());
  const int redraws = view->GetRedrawCount();
  ScriptedDriver driver;
  int appliedBorder = 0, redrawsAfterApply = -1;
  SGIS_Rect rectAfterApply;
  bool numbersModified = false, frameModified = true;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    u.Click(4196);
    u.Replace(4172, "999");  // waits for the page's own apply
    u.GoToPage(4);
    u.Replace(IDC_SIZEPOS_X, "7777");
    u.GoToPage(3);
    u.Replace(IDC_FRAME_BORDER_X, "640");
    u.Click(IDC_FRAME_DRAFT);
    u.Apply();
    appliedBorder = bar->GetFrameProperty()->GetBorderX();
    redrawsAfterApply = view->GetRedrawCount();
    rectAfterApply = bar->GetRect();
    numbersModified = u.Sheet()->GetPage(1)->IsModified();
    frameModified = u.Sheet()->GetPage(3)->IsModified();
    u.Cancel();
  });
  driver.Then([](UiUser& u) {
    u.Replace(IDC_NUMFMT_DIGITS, "3");
    u.Click(IDC_NUMFMT_SEPARATOR);
    u.Ok();
  });
  EXPECT_FALSE(bar->OnOpenPropertyDlg(page.display.get(), TRUE));
  EXPECT_EQ(driver.DialogsRun(), 2);
  EXPECT_EQ(appliedBorder, 640);
  EXPECT_EQ(redrawsAfterApply, redraws + 1);
  EXPECT_EQ(rectAfterApply.left, 7777);  // the size page was left before
  EXPECT_FALSE(numbersModified);
  EXPECT_FALSE(frameModified);
  EXPECT_EQ(bar->GetRect(), rect);
  EXPECT_EQ(bar->GetFrameProperty()->GetBorderX(), 250);
  EXPECT_EQ(StoredForm(bar), before);
}

TEST_F(ScaleBarSheets, TheNumberFormatButtonEditsTheBarsFormatAndTheLabelsFollow) {
  ASSERT_TRUE(set_->SetUnitRatio(GIS_SYMBOL_UNIT_PAGE_RATIO));
  CGIS_AlternatingScaleBar* bar = NewBar();
  bar->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(3000, 4000, 4000, 3000), 0);
  bar->SetFrameProperty(nullptr);
  bar->SetUnitLabel("km");
  bar->Refresh();
  EXPECT_EQ(PrintedTexts(bar), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "km"}));
  IGIS_NumericFormat* format = bar->GetNumericFormat();
  ASSERT_NE(format, nullptr);
  const int digitsBefore = format->GetDigits();
  PrintPage page;
  ScriptedDriver driver;
  bool enabled = false, modifiedBefore = true, modifiedAfter = false;
  std::string shownDigits;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    enabled = u.IsEnabled(4196);
    u.Apply();  // no page marked modified
    modifiedBefore = u.Sheet()->GetPage(1)->IsModified();
    u.Click(4196);
    modifiedAfter = u.Sheet()->GetPage(1)->IsModified();
    u.Ok();
  });
  driver.Then([&](UiUser& u) {
    shownDigits = u.Text(IDC_NUMFMT_DIGITS);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scalebar_number_format")));
    u.Replace(IDC_NUMFMT_DIGITS, "1");
    u.Click(IDC_NUMFMT_PLUS);
    u.Ok();
  });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(page.display.get(), TRUE));
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(modifiedBefore);
  EXPECT_TRUE(modifiedAfter);
  EXPECT_EQ(shownDigits, std::to_string(digitsBefore));
  EXPECT_EQ(bar->GetNumericFormat()->GetDigits(), 1);
  EXPECT_TRUE(bar->GetNumericFormat()->GetShowPlusSign());
  EXPECT_EQ(PrintedTexts(bar),
            (std::vector<std::string>{"0.0", "+1.0", "+2.0", "+3.0", "+4.0", "+5.0", "+6.0", "km"}));

  // Cancelling the dialog leaves the format and the page's mark.
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    u.Apply();
    u.Click(4196);
    modifiedAfter = u.Sheet()->GetPage(1)->IsModified();
    u.Ok();
  });
  driver.Then([](UiUser& u) {
    u.Replace(IDC_NUMFMT_DIGITS, "4");
    u.Cancel();
  });
  EXPECT_TRUE(bar->OnOpenPropertyDlg(page.display.get(), TRUE));
  EXPECT_FALSE(modifiedAfter);
  EXPECT_EQ(bar->GetNumericFormat()->GetDigits(), 1);
}

class ScaleTextSheet : public ScaleBarSheets {
 protected:
  CGIS_ScaleTextElement* NewText() {
    auto* t = new CGIS_ScaleTextElement(set_, nullptr);
    owned_.push_back(t);
    return t;
  }
};

TEST_F(ScaleTextSheet, RelativeStyleEnablesTheUnitsAndChangesThePreviewAtOnce) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetScaleTextStyle(0);
  t->RebuildText();
  const int n = GIS_GetSpatialReferenceFactoryObject()->GetLinearUnitCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    for (int id : {4193, 4180, 4195, 4051}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    EXPECT_EQ(u.Text(3084), "1:1000.00");
    u.Click(4197);  // already absolute: nothing
    EXPECT_FALSE(u.Sheet()->GetPage(0)->IsModified());
    u.Click(4198);
    for (int id : {4193, 4180, 4195, 4051}) EXPECT_TRUE(u.IsEnabled(id)) << id;
    EXPECT_EQ(u.Text(3084), "1厘米等于1000.00未知单位");
    u.Choose(4195, n);
    EXPECT_EQ(u.Text(4051), "度");
    EXPECT_EQ(u.Text(3084), "1厘米等于1000.00度");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scaletext_page")));
    u.Replace(4180, "公分");
    u.Apply();  // the label reaches the element without leaving the edit
    EXPECT_STREQ(t->GetPageUnitLabel(), "公分");
    u.Ok();
  });
  EXPECT_TRUE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(t->GetScaleTextStyle(), 1);
  EXPECT_EQ(t->GetMapUnit(), n);
  EXPECT_EQ(std::string(t->GetText()), "1公分等于1000.00度");
}

TEST_F(ScaleTextSheet, CancelRestoresEverythingThePageChanged) {
  CGIS_ScaleTextElement* t = NewText();
  t->RebuildText();
  const std::vector<BYTE> before = StoredBytes(t);
  const SGIS_Rect rect = t->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Choose(4195, 0);
    u.Replace(4051, "公里");
    u.Focus(4180);
    u.Click(3017);
    u.Click(4197);
    u.Cancel();
  });
  driver.Then(PickSecondSymbol);
  EXPECT_FALSE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(StoredBytes(t), before);
  EXPECT_EQ(t->GetRect(), rect);
}

TEST_F(ScaleTextSheet, LabelsTakeAtMostFiftyCharacters) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetScaleTextStyle(1);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(4051, std::string(49, 'x') + "千米");
    EXPECT_EQ(u.Text(4051), std::string(49, 'x') + "千");
    u.Ok();
  });
  EXPECT_TRUE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(std::string(t->GetMapUnitLabel()), std::string(49, 'x') + "千");
  EXPECT_TRUE(md::ui::MessageBoxLog().empty());
}

TEST_F(ScaleTextSheet, TheFlagAddsTheFrameAndSizePagesAfterTheSheetsOwn) {
  struct Row {
    IGIS_Element* element;
    std::vector<std::string> own;
  };
  for (BOOL bWith : {TRUE, FALSE}) {
    const Row rows[] = {{NewBar(), {"比例和单位", "数字和标记", "格式"}}, {NewText(), {"比例尺文本"}}};
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message() << r.element->GetType() << " " << bWith);
      ScriptedDriver driver;
      std::vector<std::string> captions;
      driver.Then([&](UiUser& u) {
        captions = PageCaptions(u);
        u.Cancel();
      });
      EXPECT_FALSE(r.element->OnOpenPropertyDlg(nullptr, bWith));
      std::vector<std::string> want = r.own;
      if (bWith) want.insert(want.end(), {"框架", "大小和位置"});
      EXPECT_EQ(captions, want);
    }
  }
}

TEST_F(ScaleTextSheet, FrameAndSizePagesWriteTheElementOnOk) {
  CGIS_ScaleTextElement* t = NewText();
  t->RebuildText();
  const SGIS_Rect before = t->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scaletext_frame_page")));
    u.Replace(IDC_FRAME_SHADOW_X, "60");
    u.Click(IDC_FRAME_ADVANCED);
    u.Replace(IDC_FRAME_BORDER_TOP, "35");
    u.GoToPage(2);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scaletext_size_page")));
    u.Replace(IDC_SIZEPOS_X, std::to_string(before.left + 2000));
    u.Ok();
  });
  EXPECT_TRUE(t->OnOpenPropertyDlg(nullptr, TRUE));
  IGIS_FrameProperty* frame = t->GetFramePropertyPtr();
  EXPECT_EQ(frame->GetShadowOffSetX(), 60);
  int left = 0, right = 0, top = 0, bottom = 0;
  frame->GetBorderGaps(&left, &right, &top, &bottom);
  EXPECT_EQ(top, 35);
  EXPECT_EQ(t->GetRect().left, before.left + 2000);
  EXPECT_EQ(t->GetRect().right - t->GetRect().left, before.right - before.left);
}

TEST_F(ScaleTextSheet, CancelAfterEditsOnEveryPageLeavesTheStoredForm) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetScaleTextStyle(1);
  t->SetMapUnitLabel("公里");
  t->SetPageUnitLabel("公分");
  t->SetHVScaleRatio(true);
  t->GetFramePropertyPtr()->SetBorderX(250);
  t->GetFramePropertyPtr()->SetDraftMode(true);
  t->RebuildText();
  const std::string before = StoredForm(t);
  const std::string frameBefore = StoredForm(t->GetFramePropertyPtr());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(4051, "英里");
    u.Click(4196);
    u.GoToPage(1);
    u.Replace(IDC_FRAME_BORDER_X, "900");
    u.Click(IDC_FRAME_DRAFT);
    u.GoToPage(2);
    EXPECT_FALSE(u.IsEnabled(IDC_SIZEPOS_KEEPRATIO));  // the text always keeps its ratio
    u.Replace(IDC_SIZEPOS_WIDTH, "9000");
    u.Apply();
    u.GoToPage(0);
    u.Click(4197);
    u.Cancel();
  });
  driver.Then([](UiUser& u) {
    u.Replace(IDC_NUMFMT_DIGITS, "5");
    u.Ok();
  });
  EXPECT_FALSE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(StoredForm(t->GetFramePropertyPtr()), frameBefore);
  EXPECT_STREQ(t->GetMapUnitLabel(), "公里");
  EXPECT_STREQ(t->GetPageUnitLabel(), "公分");
  EXPECT_TRUE(t->GetHVScaleRatio());
  EXPECT_EQ(StoredForm(t), before);
}

TEST_F(ScaleTextSheet, TheNumberFormatButtonEditsTheFormatAndTheTextFollows) {
  CGIS_ScaleTextElement* t = NewText();
  t->SetScaleTextStyle(0);
  t->RebuildText();
  ScriptedDriver driver;
  std::string shownDigits, preview;
  bool enabled = false, modified = false;
  driver.Then([&](UiUser& u) {
    enabled = u.IsEnabled(4196);
    EXPECT_EQ(u.Text(3084), "1:1000.00");
    u.Click(4196);
    preview = u.Text(3084);
    modified = u.Sheet()->GetPage(0)->IsModified();
    EXPECT_TRUE(u.Snapshot(SnapshotPath("scaletext_page_after_format")));
    u.Ok();
  });
  driver.Then([&](UiUser& u) {
    shownDigits = u.Text(IDC_NUMFMT_DIGITS);
    u.Replace(IDC_NUMFMT_DIGITS, "0");
    u.Click(IDC_NUMFMT_SEPARATOR);
    u.Ok();
  });
  EXPECT_TRUE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_TRUE(enabled);
  EXPECT_EQ(shownDigits, "2");
  EXPECT_EQ(preview, "1:1,000");
  EXPECT_TRUE(modified);
  EXPECT_EQ(t->GetNumericFormatPtr()->GetDigits(), 0);
  EXPECT_TRUE(t->GetNumericFormatPtr()->GetShowThousandsSeparator());
  EXPECT_EQ(std::string(t->GetText()), "1:1,000");

  // A cancelled dialog leaves the preview and the page's mark.
  driver.Then([&](UiUser& u) {
    u.Click(4196);
    preview = u.Text(3084);
    modified = u.Sheet()->GetPage(0)->IsModified();
    u.Ok();
  });
  driver.Then([](UiUser& u) {
    u.Replace(IDC_NUMFMT_DIGITS, "3");
    u.Cancel();
  });
  EXPECT_TRUE(t->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(preview, "1:1,000");
  EXPECT_FALSE(modified);
  EXPECT_EQ(t->GetNumericFormatPtr()->GetDigits(), 0);
}

TEST_F(ScaleTextSheet, PagesMadeByClassNameAloneAreNeverShown) {
  for (const char* name :
       {"CGIS_ScaleBarUnit", "CGIS_ScaleNumberMark", "CGIS_ScalebarFormat", "CGIS_ScaleText"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<CWnd> made(md::ui::CreateWindowObject(name));
    auto* page = dynamic_cast<CPropertyPage*>(made.get());
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->OnSetActive());
  }
}

}  // namespace
}  // namespace md::test
