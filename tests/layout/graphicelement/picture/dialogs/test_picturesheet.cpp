// The picture sheet played through the modal driver: its caption and pages,
// the keep-in-document check box, the frame and size-and-position pages, OK,
// Apply and Cancel, and what the element does with the result.
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/picture/dialogs/cgis_picturesheet.h"
#include "platform/ui/driver.h"
#include "tests/layout/graphicelement/picture/picturetest.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace md::test {
namespace {

class PictureSheet : public PicturePage {
 protected:
  void SetUp() override {
    PicturePage::SetUp();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    PicturePage::TearDown();
  }
  // A picture of the file, 20 x 10 mm at (10 mm, 10 mm).
  CGIS_PictureElement* Imported(const std::string& name) {
    CGIS_PictureElement* e = NewPicture();
    EXPECT_TRUE(e->ImportPictureFromFile(Write(name, files::Bmp(40, 20, 24)).c_str()));
    e->SetRect(SGIS_Rect(1000, 2000, 3000, 1000));
    EXPECT_TRUE(e->Archive(0, 0));
    return e;
  }
};

TEST_F(PictureSheet, ShowsTheTitleThePictureTabAndAReadOnlyDescription) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  std::string title, description;
  int pages = 0, checked = -1;
  bool descriptionEnabled = false, keepEnabled = false;
  driver.Then([&](md::ui::UiUser& u) {
    CPropertySheet* sheet = u.Sheet();
    ASSERT_NE(sheet, nullptr);
    title = sheet->GetTitle();
    pages = sheet->GetPageCount();
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_EQ(sheet->GetActivePage()->GetCaption(), "图片");
    // The picture tab, then the frame and the size-and-position tabs.
    EXPECT_NE(dynamic_cast<CGIS_PicturePage*>(sheet->GetPage(0)), nullptr);
    EXPECT_NE(dynamic_cast<CLayoutFrame*>(sheet->GetPage(1)), nullptr);
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(sheet->GetPage(2)), nullptr);
    description = u.Text(IDC_GIS_PICTURE_DESCRIPTION);
    checked = u.Checked(IDC_GIS_PICTURE_KEEP);
    keepEnabled = u.IsEnabled(IDC_GIS_PICTURE_KEEP);
    // Typing into the read-only description changes nothing.
    u.Type(IDC_GIS_PICTURE_DESCRIPTION, "x");
    descriptionEnabled = u.Text(IDC_GIS_PICTURE_DESCRIPTION) != description;
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  md::ui::ClearDriverErrors();
  EXPECT_EQ(title, "图片属性");
  EXPECT_EQ(pages, 3);
  EXPECT_EQ(description, "BMP  Image");
  EXPECT_FALSE(descriptionEnabled);
  EXPECT_EQ(checked, 0);
  EXPECT_TRUE(keepEnabled);
}

TEST_F(PictureSheet, OkWithTheBoxCheckedKeepsThePictureInTheDocument) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  const std::string original = e->GetFileName();
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  driver.Then([](md::ui::UiUser& u) {
    u.Click(IDC_GIS_PICTURE_KEEP);
    EXPECT_EQ(u.Checked(IDC_GIS_PICTURE_KEEP), 1);
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_TRUE(e->IsSaveInDoc());
  EXPECT_NE(e->GetFileName(), original);
  EXPECT_EQ(PictureData(e), files::ReadAll(original));

  // Opened again: the box shows its mark and cannot be cleared.
  int checked = -1;
  bool enabled = true;
  driver.Then([&](md::ui::UiUser& u) {
    checked = u.Checked(IDC_GIS_PICTURE_KEEP);
    enabled = u.IsEnabled(IDC_GIS_PICTURE_KEEP);
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(checked, 1);
  EXPECT_FALSE(enabled);
  EXPECT_TRUE(e->IsSaveInDoc());
}

TEST_F(PictureSheet, OkWithTheBoxClearKeepsReferringToTheFile) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  const std::string original = e->GetFileName();
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  bool applyEnabled = false;
  int keep = -1;
  driver.Then([&](md::ui::UiUser& u) {
    // Twice: back at the start value, the page still marked modified.
    u.Click(IDC_GIS_PICTURE_KEEP);
    u.Click(IDC_GIS_PICTURE_KEEP);
    keep = u.Checked(IDC_GIS_PICTURE_KEEP);
    applyEnabled = u.IsEnabled(static_cast<int>(ID_APPLY_NOW));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(keep, 0);
  EXPECT_TRUE(applyEnabled);
  EXPECT_FALSE(e->IsSaveInDoc());
  EXPECT_EQ(e->GetFileName(), original);
  EXPECT_TRUE(PictureData(e).empty());
}

TEST_F(PictureSheet, ApplyRedrawsTheViewAndClearsTheModifiedMark) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  bool modifiedBefore = false, modifiedAfter = true, applyAfter = true;
  driver.Then([&](md::ui::UiUser& u) {
    u.Click(IDC_GIS_PICTURE_KEEP);
    modifiedBefore = u.Sheet()->GetPage(0)->IsModified();
    u.Apply();
    modifiedAfter = u.Sheet()->GetPage(0)->IsModified();
    applyAfter = u.IsEnabled(static_cast<int>(ID_APPLY_NOW));
    u.Cancel();
  });
  const int redraws = screen.display.GetPageView()->GetRedrawCount();
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_TRUE(modifiedBefore);
  EXPECT_FALSE(modifiedAfter);
  EXPECT_FALSE(applyAfter);
  EXPECT_EQ(screen.display.GetPageView()->GetRedrawCount(), redraws + 1);
  // The picture page writes nothing: after the cancel the picture is not kept.
  EXPECT_FALSE(e->IsSaveInDoc());

  // Without a display Apply leaves the marks.
  driver.Then([&](md::ui::UiUser& u) {
    u.Click(IDC_GIS_PICTURE_KEEP);
    u.Apply();
    modifiedAfter = u.Sheet()->GetPage(0)->IsModified();
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_TRUE(modifiedAfter);
}

TEST_F(PictureSheet, CancelPutsTheElementBackByteForByte) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  e->GetFramePropertyPtr()->SetBorderX(250);
  ASSERT_TRUE(e->Archive(0, 0));
  const SGIS_Rect rect = e->GetRect();
  const files::Bytes custom = CustomBytes(e);
  const std::string file = e->GetFileName();
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  driver.Then([&](md::ui::UiUser& u) {
    // What the frame and size pages do while the sheet is open: change the
    // element directly (here with the ratio freed, then a stored write).
    e->SetHVScaleRatio(false);
    e->SetRect(SGIS_Rect(0, 9000, 7000, 0));
    e->SetLock(true);
    e->GetFramePropertyPtr()->SetBorderX(999);
    e->Archive(0, 0);
    u.Click(IDC_GIS_PICTURE_KEEP);
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(e->GetRect(), rect);
  EXPECT_TRUE(e->GetHVScaleRatio());
  EXPECT_FALSE(e->IsLock());
  EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderX(), 250);
  EXPECT_EQ(CustomBytes(e), custom);
  EXPECT_EQ(e->GetFileName(), file);
  EXPECT_FALSE(e->IsSaveInDoc());
}

TEST_F(PictureSheet, FrameAndSizePagesWriteTheElementOnOk) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  ASSERT_TRUE(e->GetHVScaleRatio());
  ScreenOnRecording screen;
  md::ui::ScriptedDriver driver;
  std::string shownX, shownWidth, shownHeight;
  driver.Then([&](md::ui::UiUser& u) {
    u.GoToPage(1);
    EXPECT_EQ(u.Sheet()->GetActivePage()->GetCaption(), "框架");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("picture_frame_page")));
    u.Replace(IDC_FRAME_BORDER_X, "300");
    u.Replace(IDC_FRAME_SHADOW_Y, "-150");
    u.GoToPage(2);
    EXPECT_EQ(u.Sheet()->GetActivePage()->GetCaption(), "大小和位置");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("picture_size_page")));
    shownX = u.Text(IDC_SIZEPOS_X);
    shownWidth = u.Text(IDC_SIZEPOS_WIDTH);
    shownHeight = u.Text(IDC_SIZEPOS_HEIGHT);
    u.Replace(IDC_SIZEPOS_X, "1500");
    u.Replace(IDC_SIZEPOS_Y, "2500");
    // The ratio is kept: leaving the width scales the height with it.
    u.Replace(IDC_SIZEPOS_WIDTH, "4000");
    u.Focus(IDC_SIZEPOS_X);
    EXPECT_EQ(u.Text(IDC_SIZEPOS_HEIGHT), "2000");
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(shownX, "1000");
  EXPECT_EQ(shownWidth, "2000");
  EXPECT_EQ(shownHeight, "1000");
  EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderX(), 300);
  EXPECT_EQ(e->GetFramePropertyPtr()->GetShadowOffSetY(), -150);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(1500, 4500, 5500, 2500));

  // The edits reach the stored form: a fresh element on the feature reads them.
  ASSERT_TRUE(e->Archive(0, 0));
  auto* reread = new CGIS_PictureElement(set_, e->GetFeaturePtr());
  owned_.push_back(reread);
  ASSERT_TRUE(reread->Archive(1, 0));
  EXPECT_EQ(StoredForm(reread->GetFramePropertyPtr()), StoredForm(e->GetFramePropertyPtr()));
  EXPECT_EQ(reread->GetRect(), e->GetRect());
}

TEST_F(PictureSheet, ApplyOnTheSizePageMovesAtOnceAndCancelPutsEverythingBack) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  e->GetFramePropertyPtr()->SetBorderX(250);
  const std::string before = StoredForm(e);
  const std::string frameBefore = StoredForm(e->GetFramePropertyPtr());
  ScreenOnRecording screen;
  const int redraws = screen.display.GetPageView()->GetRedrawCount();
  md::ui::ScriptedDriver driver;
  SGIS_Rect applied;
  int redrawsAfterApply = -1;
  bool sizeModified = true;
  driver.Then([&](md::ui::UiUser& u) {
    u.GoToPage(2);
    u.Replace(IDC_SIZEPOS_X, "5000");
    u.Click(IDC_SIZEPOS_KEEPRATIO);
    u.Apply();
    applied = e->GetRect();
    redrawsAfterApply = screen.display.GetPageView()->GetRedrawCount();
    sizeModified = u.Sheet()->GetPage(2)->IsModified();
    // Frame edits are written when the page is left.
    u.GoToPage(1);
    u.Replace(IDC_FRAME_BORDER_X, "777");
    u.Click(IDC_FRAME_DRAFT);
    u.GoToPage(0);
    u.Click(IDC_GIS_PICTURE_KEEP);
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(applied, SGIS_Rect(5000, 2000, 7000, 1000));
  EXPECT_EQ(redrawsAfterApply, redraws + 1);
  EXPECT_FALSE(sizeModified);
  EXPECT_EQ(StoredForm(e->GetFramePropertyPtr()), frameBefore);
  EXPECT_EQ(StoredForm(e), before);
  EXPECT_TRUE(e->GetHVScaleRatio());
  EXPECT_FALSE(e->IsSaveInDoc());
}

TEST_F(PictureSheet, WithoutASheetTheDialogCountsAsCancelled) {
  CGIS_PictureElement* e = Imported("logo.bmp");
  ASSERT_TRUE(md::layout::HasPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, nullptr);
  ScreenOnRecording screen;
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, &CGIS_PictureSheet::Run);
  // No driver: the sheet is cancelled too.
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_FALSE(e->IsSaveInDoc());
}

}  // namespace
}  // namespace md::test
