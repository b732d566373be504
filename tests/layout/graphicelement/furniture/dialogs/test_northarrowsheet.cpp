// The north arrow sheet played through the modal driver: size and
// calibration written on OK, the preview turning while the calibration is
// typed, the checks of both fields, Apply, and Cancel putting everything back.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/dialogs/cgis_northarrow.h"
#include "tests/layout/graphicelement/furniture/dialogs/sheettest.h"
#include "tests/support/storedform.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using NorthArrowSheet = FurnitureSheet;

// An arrow 2000 wide and 1000 high.
CGIS_NorthArrowElement* Arrow2000x1000(CGIS_NorthArrowElement* a) {
  a->SetRect(SGIS_Rect(1000, 2000, 3000, 1000));
  return a;
}

TEST_F(NorthArrowSheet, OkWritesTheSizeInProportionAndTheCalibration) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  a->SetCalibrationAngle(12.5);
  const SGIS_Rect start = a->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "指北针属性");
    ASSERT_EQ(u.Sheet()->GetPageCount(), 3);
    EXPECT_NE(dynamic_cast<CGIS_NorthArrow*>(u.Sheet()->GetPage(0)), nullptr);
    auto* frame = dynamic_cast<CLayoutFrame*>(u.Sheet()->GetPage(1));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_pFrame, a->GetFramePropertyPtr());
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(2)), nullptr);
    EXPECT_EQ(u.Text(IDC_NORTHARROW_SIZE), std::to_string(start.Height()));
    EXPECT_EQ(u.Text(IDC_NORTHARROW_CALIBRATION), "13");  // half away from zero
    EXPECT_EQ(u.Text(IDC_NORTHARROW_ANGLE), "0");
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_SIZE, "1500"));
    // Typed, a lone "-" turns into 0 at once; the spin button goes below zero.
    EXPECT_TRUE(u.Spin(IDC_NORTHARROW_CALIBRATION_SPIN, -33));
    EXPECT_EQ(u.Text(IDC_NORTHARROW_CALIBRATION), "-20");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("northarrow_page")));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("northarrow_frame_page")));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("northarrow_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
  // The width follows the height in proportion.
  EXPECT_EQ(a->GetRect().Width(), std::lround(start.Width() * 1500.0 / start.Height()));
  EXPECT_EQ(a->GetRect().Height(), 1500);
  EXPECT_DOUBLE_EQ(a->GetCalibrationAngle(), -20.0);
  EXPECT_EQ(driver.DialogsRun(), 1);
}

TEST_F(NorthArrowSheet, ThePreviewTurnsAsTheCalibrationIsTypedAndCancelTurnsItBack) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  a->SetCalibrationAngle(5);
  ASSERT_TRUE(a->Archive(0, 0));
  const std::string before = StoredForm(a);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    const int prompts = PromptCount();
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_CALIBRATION, "40"));
    auto canvas = PaintActivePage(u);
    EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 40.0);
    EXPECT_FALSE(canvas->recordsOf(md::canvas::Record::Type::Shape).empty());
    EXPECT_EQ(PromptCount(), prompts);
    EXPECT_TRUE(u.Type(IDC_NORTHARROW_CALIBRATION, "0"));  // 400: the range prompt, then back to 40
    EXPECT_EQ(PromptCount(), prompts + 1);
    EXPECT_EQ(u.Text(IDC_NORTHARROW_CALIBRATION), "40");
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_CALIBRATION, "-"));  // a number prompt; atoi gives 0
    EXPECT_EQ(u.Text(IDC_NORTHARROW_CALIBRATION), "0");
    EXPECT_EQ(PromptCount(), prompts + 2);
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_CALIBRATION, "75"));
    PaintActivePage(u);
    EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 75.0);
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_TRUE(u.Snapshot(SnapshotPath("northarrow_page_turned")));
    u.Cancel();
  });
  EXPECT_FALSE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 5.0);
  EXPECT_DOUBLE_EQ(a->GetCalibrationAngle(), 5.0);
  EXPECT_EQ(StoredForm(a), before);
}

// The preview draws the turned arrow inside its box and clipped to it, as
// large as the box lets it be.
TEST_F(NorthArrowSheet, ThePreviewFitsTheTurnedArrowInsideItsBox) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    CWnd* preview = u.Sheet()->GetActivePage()->GetDlgItem(IDC_NORTHARROW_PREVIEW);
    ASSERT_NE(preview, nullptr);
    RECT box{};
    preview->GetWindowRect(&box);
    const int boxW = box.right - box.left, boxH = box.bottom - box.top;
    for (const char* calibration : {"-20", "0", "45", "75"}) {
      SCOPED_TRACE(calibration);
      EXPECT_TRUE(u.Replace(IDC_NORTHARROW_CALIBRATION, calibration));
      auto canvas = PaintActivePage(u);
      int drawn = 0;
      int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
      for (const md::canvas::Record* r : canvas->recordsOf(md::canvas::Record::Type::Shape)) {
        const md::canvas::Clip& clip = r->state.clip;
        if (!clip.active || clip.rects.size() != 1) continue;
        const md::canvas::Rect c = clip.rects[0];
        if (c.right - c.left != boxW || c.bottom - c.top != boxH) continue;
        ++drawn;
        for (const md::canvas::Point& p : r->Points()) {
          EXPECT_GE(p.x, c.left - 1.0);
          EXPECT_LE(p.x, c.right + 1.0);
          EXPECT_GE(p.y, c.top - 1.0);
          EXPECT_LE(p.y, c.bottom + 1.0);
          left = std::min(left, static_cast<int>(p.x));
          right = std::max(right, static_cast<int>(p.x));
          top = std::min(top, static_cast<int>(p.y));
          bottom = std::max(bottom, static_cast<int>(p.y));
        }
      }
      ASSERT_GT(drawn, 0);
      // Fitted on its tighter side: at least half the box.
      EXPECT_GE(std::max(static_cast<double>(right - left) / boxW, static_cast<double>(bottom - top) / boxH),
                0.5);
    }
    u.Cancel();
  });
  EXPECT_FALSE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
}

TEST_F(NorthArrowSheet, CancelAfterLeavingThePageAndChoosingASymbolRestoresTheStoredForm) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  ASSERT_TRUE(a->Archive(0, 0));
  const std::string before = StoredForm(a);
  const int code = a->GetSymbolPtr()->GetStyleCode();
  const int elements = set_->GetFeatureCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_NORTHARROW_SYMBOL));
    EXPECT_NE(a->GetSymbolPtr()->GetStyleCode(), code);  // at once
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_SIZE, "2222"));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_EQ(a->GetRect().Height(), 2222);
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 2));
    u.Ok();
  });
  EXPECT_FALSE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(a->GetSymbolPtr()->GetStyleCode(), code);
  EXPECT_EQ(StoredForm(a), before);
  EXPECT_EQ(set_->GetFeatureCount(), elements);  // the backup is gone
}

TEST_F(NorthArrowSheet, ApplyWritesTheActivePageAndClearsTheMarks) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  const SGIS_Rect start = a->GetRect();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_SIZE, "500"));
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(a->GetRect().Height(), 500);
    EXPECT_EQ(a->GetRect().Width(), std::lround(start.Width() * 500.0 / start.Height()));
    for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) EXPECT_FALSE(u.Sheet()->GetPage(i)->IsModified());
    u.Ok();
  });
  EXPECT_TRUE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(a->GetRect().Height(), 500);
}

// The map's rotation is shown rounded half away from zero and turns the
// preview together with the calibration.
TEST_F(NorthArrowSheet, ShowsTheLinkedMapsRotationRoundedAndTurnsThePreviewByBoth) {
  auto* a = Arrow2000x1000(New<CGIS_NorthArrowElement>());
  CGIS_MapElement* frame = NewFrame();
  a->SetMapElementPtr(frame);
  Turn(frame, 12.5);
  const double angle = a->GetAngle();
  ASSERT_DOUBLE_EQ(std::abs(angle), 12.5);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_NORTHARROW_ANGLE), angle > 0 ? "13" : "-13");
    EXPECT_TRUE(u.Replace(IDC_NORTHARROW_CALIBRATION, "10"));
    PaintActivePage(u);
    EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), (angle > 0 ? 13.0 : -13.0) + 10.0);
    u.Ok();
  });
  EXPECT_TRUE(a->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_DOUBLE_EQ(a->GetCalibrationAngle(), 10.0);
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), angle + 10.0);
}

class NorthArrowRange : public FurnitureSheet, public ::testing::WithParamInterface<BadInput> {};

TEST_P(NorthArrowRange, IsRefusedWithAPromptAndNothingWritten) {
  ExpectRefused(Arrow2000x1000(New<CGIS_NorthArrowElement>()), GetParam().control, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Inputs, NorthArrowRange,
                         ::testing::Values(BadInput{IDC_NORTHARROW_SIZE, "0"},
                                           BadInput{IDC_NORTHARROW_SIZE, "1000001"},
                                           BadInput{IDC_NORTHARROW_SIZE, ""}));

}  // namespace
}  // namespace md::test
