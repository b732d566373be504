// The size-and-position page on a test box, and the Apply button every
// element sheet shares, played through the modal driver.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "host/display/cgis_pageview.h"
#include "host/display/cgis_screendisplay.h"
#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/scalebar/cgis_alternatingscalebar.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/ui/ui.h"
#include "platform/win/gdidevice.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/support/storedform.h"

namespace {

using md::test::PageTest;
using md::test::TestBoxElement;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

// A page that counts what the sheet asks of it.
class CountingPage : public CPropertyPage {
 public:
  CountingPage() : CPropertyPage(IDD_SIZE_AND_POSITION) {}
  BOOL OnApply() override {
    ++applies;
    return CPropertyPage::OnApply();
  }
  int applies = 0;
};

// An element sheet with the size page first and a counting page second.
class TestSheet : public CGIS_ElementPropertySheet {
 public:
  TestSheet(IGIS_Element* e, IGIS_Display* d) : CGIS_ElementPropertySheet(0, e, d) {
    size = AddOwnedPage(std::make_unique<CSizeAndPosition>(e, d));
    counting = AddOwnedPage(std::make_unique<CountingPage>());
    SetTitle("测试");
  }
  CSizeAndPosition* size;
  CountingPage* counting;
};

int Prompts() { return static_cast<int>(md::ui::MessageBoxLog().size()); }
std::string LastPrompt() {
  return md::ui::MessageBoxLog().empty() ? std::string() : md::ui::MessageBoxLog().back().text;
}

class SizePage : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    hdc_ = md::win::CreateScreenDC(&canvas_, 96, &md::text::FixedMetricsEngine());
    display_ = std::make_unique<CGIS_ScreenDisplay>(hdc_, 1.0, 0.0, 0.0);
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    display_.reset();
    DeleteDC(hdc_);
    PageTest::TearDown();
  }
  // Runs the test sheet on the box with one scene; answers the sheet's result.
  INT_PTR Run(IGIS_Element* box, std::function<void(UiUser&, TestSheet&)> scene,
              IGIS_Display* display = nullptr) {
    TestSheet sheet(box, display);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) { scene(u, sheet); });
    return sheet.DoModal();
  }
  int Redraws() { return dynamic_cast<CGIS_PageView*>(display_->GetView())->GetRedrawCount(); }

  md::canvas::RecordingCanvas canvas_{400, 300};
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_ScreenDisplay> display_;
};

TEST_F(SizePage, ShowsTheLowerLeftCornerAndTheSizeAndWritesThemWhenLeft) {
  TestBoxElement* box = Box(100, 50, 400, 250);
  Run(box, [&](UiUser& u, TestSheet&) {
    EXPECT_EQ(u.Text(IDC_SIZEPOS_X), "100");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_Y), "50");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_WIDTH), "300");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_HEIGHT), "200");
    EXPECT_EQ(u.Checked(IDC_SIZEPOS_KEEPRATIO), 0);
    EXPECT_TRUE(u.IsEnabled(IDC_SIZEPOS_KEEPRATIO));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "120"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "70"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_WIDTH, "500"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_HEIGHT, "90"));
    EXPECT_EQ(box->GetRect(), SGIS_Rect(100, 250, 400, 50));  // nothing before leaving
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(box->GetRect(), SGIS_Rect(120, 160, 620, 70));
    u.Cancel();
  });
}

// Keep-ratio steps: the other side follows the edited one by the same factor.
struct RatioCase {
  int width, height;  // the box
  int edited;         // the edit typed into
  const char* typed;
  int otherId;
  const char* other;  // what the other edit shows afterwards
};

class KeepRatio : public SizePage, public ::testing::WithParamInterface<RatioCase> {};

TEST_P(KeepRatio, ScalesTheOtherSideRoundingHalfAwayFromZero) {
  const RatioCase& c = GetParam();
  TestBoxElement* box = Box(0, 0, c.width, c.height);
  box->SetHVScaleRatio(true);
  Run(box, [&](UiUser& u, TestSheet&) {
    EXPECT_EQ(u.Checked(IDC_SIZEPOS_KEEPRATIO), 1);
    EXPECT_TRUE(u.Replace(c.edited, c.typed));
    EXPECT_TRUE(u.Focus(IDC_SIZEPOS_X));
    EXPECT_EQ(u.Text(c.otherId), c.other);
    u.Cancel();
  });
}

INSTANTIATE_TEST_SUITE_P(
    Steps, KeepRatio,
    ::testing::Values(RatioCase{100, 200, IDC_SIZEPOS_HEIGHT, "300", IDC_SIZEPOS_WIDTH, "150"},
                      RatioCase{333, 200, IDC_SIZEPOS_HEIGHT, "300", IDC_SIZEPOS_WIDTH, "500"},
                      RatioCase{300, 100, IDC_SIZEPOS_WIDTH, "150", IDC_SIZEPOS_HEIGHT, "50"},
                      RatioCase{3, 2, IDC_SIZEPOS_WIDTH, "4", IDC_SIZEPOS_HEIGHT, "3"}));

TEST_F(SizePage, WithoutKeepRatioTheOtherSideStays) {
  TestBoxElement* box = Box(0, 0, 100, 200);
  Run(box, [&](UiUser& u, TestSheet&) {
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_HEIGHT, "400"));
    EXPECT_TRUE(u.Focus(IDC_SIZEPOS_X));
    EXPECT_EQ(u.Text(IDC_SIZEPOS_WIDTH), "100");
    u.Cancel();
  });
}

// Typing into X: the canonical number at once, the last good value for a
// number out of the typing range.
struct TypedCase {
  const char* typed;
  const char* shown;
};

class TypedX : public SizePage, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedX, ShowsTheCanonicalNumber) {
  TestBoxElement* box = Box(100, 50, 400, 250);
  Run(box, [&](UiUser& u, TestSheet&) {
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, GetParam().typed));
    EXPECT_EQ(u.Text(IDC_SIZEPOS_X), GetParam().shown);
    u.Cancel();
  });
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedX,
                         ::testing::Values(TypedCase{"-", "0"}, TypedCase{"+12", "12"}, TypedCase{"007", "7"},
                                           TypedCase{"4x2", "42"}, TypedCase{"600000", "600000"},
                                           TypedCase{"5000000", "5000000"}, TypedCase{"5000001", "500000"}));

// Out-of-range and empty fields on leaving: the framework's prompt, the page
// stays and the element keeps its rectangle.
struct BadField {
  int id;
  const char* typed;
  const char* prompt;
};

class RefusedOnLeaving : public SizePage, public ::testing::WithParamInterface<BadField> {};

TEST_P(RefusedOnLeaving, WithThePromptAndThePageKept) {
  TestBoxElement* box = Box(100, 50, 400, 250);
  const std::string before = md::test::StoredForm(box);
  const INT_PTR result = Run(box, [&](UiUser& u, TestSheet&) {
    EXPECT_TRUE(u.Replace(GetParam().id, GetParam().typed));
    const int prompts = Prompts();
    u.GoToPage(1);
    EXPECT_EQ(Prompts(), prompts + 1);
    EXPECT_EQ(LastPrompt(), GetParam().prompt);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    u.Ok();
    EXPECT_FALSE(u.Ended());
    u.Cancel();
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(md::test::StoredForm(box), before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedOnLeaving,
    ::testing::Values(BadField{IDC_SIZEPOS_X, "600000", "请输入一个介于 -500000 和 500000 之间的整数。"},
                      BadField{IDC_SIZEPOS_WIDTH, "0", "请输入一个介于 1 和 5000000 之间的整数。"},
                      BadField{IDC_SIZEPOS_HEIGHT, "", "请输入一个整数。"},
                      BadField{IDC_SIZEPOS_HEIGHT, "5000001", "请输入一个介于 1 和 5000000 之间的整数。"}));

TEST_F(SizePage, TheKeepRatioBoxWritesTheElementAtOnceWithoutMarkingThePage) {
  TestBoxElement* box = Box(0, 0, 100, 100);
  Run(box, [&](UiUser& u, TestSheet& sheet) {
    EXPECT_TRUE(u.Click(IDC_SIZEPOS_KEEPRATIO));
    EXPECT_TRUE(box->GetHVScaleRatio());
    EXPECT_FALSE(sheet.size->IsModified());
    EXPECT_TRUE(u.Click(IDC_SIZEPOS_KEEPRATIO));
    EXPECT_FALSE(box->GetHVScaleRatio());
    u.Cancel();
  });
}

TEST_F(SizePage, ApplyRunsOnlyTheActivePageRedrawsAndClearsEveryMark) {
  TestBoxElement* box = Box(0, 0, 100, 100);
  const int redraws = Redraws();
  Run(
      box,
      [&](UiUser& u, TestSheet& sheet) {
        EXPECT_TRUE(u.GoToPage(1));
        EXPECT_TRUE(u.GoToPage(0));
        sheet.counting->SetModified(TRUE);
        EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "33"));
        EXPECT_TRUE(u.Apply());
        EXPECT_EQ(box->GetRect().left, 33);
        EXPECT_EQ(sheet.counting->applies, 0);  // the other page is not applied
        EXPECT_EQ(Redraws(), redraws + 1);
        EXPECT_FALSE(sheet.size->IsModified());
        EXPECT_FALSE(sheet.counting->IsModified());
        u.Ok();
        EXPECT_EQ(sheet.counting->applies, 1);  // OK applies every page
      },
      display_.get());
}

TEST_F(SizePage, WithoutADisplayApplyOnlyAppliesTheActivePage) {
  TestBoxElement* box = Box(0, 0, 100, 100);
  Run(box, [&](UiUser& u, TestSheet& sheet) {
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "44"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(box->GetRect().bottom, 44);
    EXPECT_TRUE(sheet.size->IsModified());  // marks stay without a view to redraw
    u.Cancel();
  });
}

// A scale bar that counts its layouts.
class CountingBar : public CGIS_AlternatingScaleBar {
 public:
  using CGIS_AlternatingScaleBar::CGIS_AlternatingScaleBar;
  void Refresh() override {
    ++refreshes;
    CGIS_AlternatingScaleBar::Refresh();
  }
  int refreshes = 0;
};

TEST_F(SizePage, AScaleBarIsLaidOutBeforeItIsReadAndAfterEveryWrite) {
  auto* bar = new CountingBar(set_, nullptr);
  Run(bar, [&](UiUser& u, TestSheet&) {
    EXPECT_EQ(bar->refreshes, 1);
    const SGIS_Rect r = bar->GetRect();
    EXPECT_EQ(u.Text(IDC_SIZEPOS_X), std::to_string(r.left));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "2000"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(bar->refreshes, 2);
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(bar->refreshes, 3);
    EXPECT_EQ(bar->GetRect().left, 2000);
    u.Cancel();
  });
  bar->Release();
}

TEST_F(SizePage, APageWithoutAnElementShowsItsStartValues) {
  CPropertySheet sheet("无元素");
  CSizeAndPosition page;
  sheet.AddPage(&page);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_SIZEPOS_X), "0");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_WIDTH), "10");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_HEIGHT), "10");
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_WIDTH, "30"));
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(page.m_nWidth, 30);
  std::unique_ptr<CWnd> byName(md::ui::CreateWindowObject("CSizeAndPosition"));
  EXPECT_NE(dynamic_cast<CSizeAndPosition*>(byName.get()), nullptr);
}

}  // namespace
