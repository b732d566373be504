// The frame page on a frame property, played through the modal driver.
#include <filesystem>
#include <functional>
#include <string>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/cgis_frameselectordlg.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "tests/layout/graphicelement/frame/dialogs/framedialogtest.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace {

using md::test::Bytes;
using md::test::FillSymbol2;
using md::test::Frame;
using md::test::FrameLibraryTest;
using md::test::LineSymbol2;
using md::test::Symbol2;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr int kChooserList = 31002;

struct Gaps {
  int left, right, top, bottom;
  bool operator==(const Gaps&) const = default;
};
Gaps BorderGaps(IGIS_FrameProperty* f) {
  Gaps g{};
  f->GetBorderGaps(&g.left, &g.right, &g.top, &g.bottom);
  return g;
}
Gaps BackGaps(IGIS_FrameProperty* f) {
  Gaps g{};
  f->GetBackGaps(&g.left, &g.right, &g.top, &g.bottom);
  return g;
}

class LayoutFramePage : public FrameLibraryTest {
 protected:
  void SetUp() override {
    FrameLibraryTest::SetUp();
    frame_.reset(GIS_CreateFramePropertyObject());
  }
  // Runs a sheet of the frame page and an empty second page with the scenes.
  INT_PTR Run(std::function<void(UiUser&, CLayoutFrame&)> scene,
              std::vector<ScriptedDriver::Scene> nested = {}) {
    CPropertySheet sheet("框架测试");
    CLayoutFrame page(nullptr, nullptr);
    page.m_pFrame = frame_.get();
    CSizeAndPosition other;
    sheet.AddPage(&page);
    sheet.AddPage(&other);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) { scene(u, page); });
    for (auto& s : nested) driver.Then(s);
    return sheet.DoModal();
  }
  void GiveSymbols2() {
    Symbol2 border(LineSymbol2(RGB(0, 0, 0), 0.5)), back(FillSymbol2(RGB(250, 250, 200)));
    frame_->SetBorderSymbol2Ptr(border.p);
    frame_->SetBackSymbol2Ptr(back.p);
  }

  Frame frame_;
};

TEST_F(LayoutFramePage, ShowsTheFrameAndWithoutSymbols2DisablesTheStyleButtons) {
  frame_->SetBorderX(120);
  frame_->SetBorderY(80);
  frame_->SetBackX(-30);
  frame_->SetShadowOffSetY(-1000000);
  frame_->SetDraftMode(true);
  Run([&](UiUser& u, CLayoutFrame&) {
    EXPECT_EQ(u.Text(IDC_FRAME_BORDER_X), "120");
    EXPECT_EQ(u.Text(IDC_FRAME_BORDER_Y), "80");
    EXPECT_EQ(u.Text(IDC_FRAME_BACK_X), "-30");
    EXPECT_EQ(u.Text(IDC_FRAME_SHADOW_Y), "-1000000");
    EXPECT_EQ(u.Text(IDC_FRAME_BORDER_LEFT), "120");
    EXPECT_EQ(u.Checked(IDC_FRAME_DRAFT), 1);
    EXPECT_EQ(u.Checked(IDC_FRAME_LEFT_VISIBLE), 1);
    for (int id : {IDC_FRAME_BORDER_STYLE, IDC_FRAME_BACK_STYLE, IDC_FRAME_SHADOW_STYLE})
      EXPECT_FALSE(u.IsEnabled(id));
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_BORDER_X));
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_SHADOW_X));
    EXPECT_FALSE(u.IsEnabled(IDC_FRAME_BORDER_LEFT));
    EXPECT_FALSE(u.IsEnabled(IDC_FRAME_LEFT_VISIBLE));
    EXPECT_TRUE(u.Snapshot(md::test::SnapshotPath("frame_page")));
    u.Cancel();
  });
}

TEST_F(LayoutFramePage, LeavingWithoutAdvancedGivesEverySideTheXOrYGap) {
  frame_->SetBorderGaps(1, 2, 3, 4);
  frame_->SetBackGaps(5, 6, 7, 8);
  Run([&](UiUser& u, CLayoutFrame&) {
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_X, "40"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_Y, "-15"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BACK_X, "70"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BACK_Y, "90"));
    EXPECT_EQ(BorderGaps(frame_.get()), (Gaps{1, 2, 3, 4}));  // nothing before leaving
    EXPECT_TRUE(u.GoToPage(1));
    u.Ok();
  });
  EXPECT_EQ(BorderGaps(frame_.get()), (Gaps{40, 40, -15, -15}));
  EXPECT_EQ(BackGaps(frame_.get()), (Gaps{70, 70, 90, 90}));
  EXPECT_EQ(frame_->GetBorderX(), 40);
}

TEST_F(LayoutFramePage, WithAdvancedThePerSideGapsAndVisibleSidesWin) {
  Run([&](UiUser& u, CLayoutFrame& page) {
    EXPECT_TRUE(u.Click(IDC_FRAME_ADVANCED));
    EXPECT_EQ(page.m_nAdvanced, 1);
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_BORDER_LEFT));
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_TOP_VISIBLE));
    EXPECT_FALSE(u.IsEnabled(IDC_FRAME_BORDER_X));
    EXPECT_FALSE(u.IsEnabled(IDC_FRAME_BACK_Y_SPIN));
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_SHADOW_X));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_LEFT, "11"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_RIGHT, "22"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_TOP, "33"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_BOTTOM, "44"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BACK_LEFT, "-5"));
    EXPECT_TRUE(u.Replace(IDC_FRAME_BACK_BOTTOM, "6"));
    EXPECT_TRUE(u.Click(IDC_FRAME_TOP_VISIBLE));
    EXPECT_TRUE(u.Click(IDC_FRAME_DRAFT));
    bool l, r, t, b;
    frame_->GetBorderVisible(&l, &r, &t, &b);
    EXPECT_TRUE(t);  // clicks reach the frame when the page is left
    EXPECT_FALSE(frame_->GetDraftMode());
    EXPECT_TRUE(u.Apply());
    frame_->GetBorderVisible(&l, &r, &t, &b);
    EXPECT_FALSE(t);
    EXPECT_TRUE(l && r && b);
    EXPECT_TRUE(frame_->GetDraftMode());
    EXPECT_EQ(BorderGaps(frame_.get()), (Gaps{11, 22, 33, 44}));
    EXPECT_EQ(BackGaps(frame_.get()), (Gaps{-5, 0, 0, 6}));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.GoToPage(0));
    EXPECT_EQ(page.m_nAdvanced, 1);  // the page's own switch stays
    EXPECT_TRUE(u.IsEnabled(IDC_FRAME_BORDER_LEFT));
    u.Ok();
  });
  EXPECT_EQ(BorderGaps(frame_.get()), (Gaps{11, 22, 33, 44}));
}

// Values out of range or not integers: the prompt, the page stays, the frame
// keeps its values.
struct BadGap {
  int id;
  const char* typed;
  const char* prompt;
};

class FrameGapRange : public LayoutFramePage, public ::testing::WithParamInterface<BadGap> {};

TEST_P(FrameGapRange, IsRefusedWithThePromptAndThePageStays) {
  const std::string before = md::test::StoredForm(frame_.get());
  Run([&](UiUser& u, CLayoutFrame&) {
    EXPECT_TRUE(u.Replace(GetParam().id, GetParam().typed));
    u.GoToPage(1);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    ASSERT_FALSE(md::ui::MessageBoxLog().empty());
    EXPECT_EQ(md::ui::MessageBoxLog().back().text, GetParam().prompt);
    u.Apply();
    EXPECT_EQ(md::test::StoredForm(frame_.get()), before);
    u.Cancel();
  });
  EXPECT_EQ(md::test::StoredForm(frame_.get()), before);
}

INSTANTIATE_TEST_SUITE_P(Fields, FrameGapRange,
                         ::testing::Values(BadGap{IDC_FRAME_SHADOW_X, "1000001",
                                                  "请输入一个介于 -1000000 和 1000000 之间的整数。"},
                                           BadGap{IDC_FRAME_BORDER_Y, "-2000000",
                                                  "请输入一个介于 -1000000 和 1000000 之间的整数。"},
                                           BadGap{IDC_FRAME_BACK_X, "", "请输入一个整数。"},
                                           BadGap{IDC_FRAME_BORDER_X, "-", "请输入一个整数。"}));

TEST_F(LayoutFramePage, AnInvalidFieldForcesTheAdvancedSwitchOn) {
  Run([&](UiUser& u, CLayoutFrame& page) {
    EXPECT_TRUE(u.Replace(IDC_FRAME_SHADOW_Y, "5000000"));
    EXPECT_TRUE(u.Click(IDC_FRAME_ADVANCED));
    EXPECT_EQ(page.m_nAdvanced, 1);
    EXPECT_EQ(u.Checked(IDC_FRAME_ADVANCED), 1);
    u.Cancel();
  });
}

TEST_F(LayoutFramePage, TypingKeepsOnlySignedIntegers) {
  Run([&](UiUser& u, CLayoutFrame&) {
    EXPECT_TRUE(u.Replace(IDC_FRAME_SHADOW_X, "-1.5e3"));
    EXPECT_EQ(u.Text(IDC_FRAME_SHADOW_X), "-153");
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    u.Ok();
  });
  EXPECT_EQ(frame_->GetShadowOffSetX(), -153);
}

TEST_F(LayoutFramePage, TheStyleButtonsPutTheSelectorsSymbolIntoTheFrame) {
  GiveSymbols2();
  const std::vector<BYTE> back = Bytes(frame_->GetBackSymbol2Ptr());
  Run(
      [&](UiUser& u, CLayoutFrame& page) {
        EXPECT_TRUE(u.IsEnabled(IDC_FRAME_SHADOW_STYLE));
        EXPECT_TRUE(u.Click(IDC_FRAME_BORDER_STYLE));  // cancelled: nothing changes
        EXPECT_FALSE(page.IsModified());
        EXPECT_TRUE(u.Click(IDC_FRAME_SHADOW_STYLE));  // a new fill symbol
        EXPECT_TRUE(page.IsModified());
        u.Ok();
      },
      {[](UiUser& u) {
         EXPECT_EQ(u.Window().GetWindowText(), "边框样式");
         u.Cancel();
       },
       [](UiUser& u) {
         EXPECT_EQ(u.Window().GetWindowText(), "阴影样式");
         EXPECT_TRUE(u.Click(IDC_FRAMESEL_NEW));
         u.Ok();
       },
       [](UiUser& u) {
         EXPECT_TRUE(u.Choose(kChooserList, 1));
         u.Ok();
       }});
  ASSERT_NE(frame_->GetShadowSymbol2Ptr(), nullptr);
  EXPECT_NE(frame_->GetShadowSymbol2Ptr()->AsFillSymbol(), nullptr);
  EXPECT_EQ(Bytes(frame_->GetBackSymbol2Ptr()), back);
  EXPECT_NE(frame_->GetBorderSymbol2Ptr(), nullptr);
}

TEST_F(LayoutFramePage, AnOkSelectorWithoutSymbolLeavesTheOtherSymbols) {
  GiveSymbols2();
  const std::vector<BYTE> border = Bytes(frame_->GetBorderSymbol2Ptr());
  const std::vector<BYTE> back = Bytes(frame_->GetBackSymbol2Ptr());
  Run(
      [&](UiUser& u, CLayoutFrame&) {
        EXPECT_TRUE(u.Click(IDC_FRAME_SHADOW_STYLE));
        u.Ok();
      },
      {[](UiUser& u) { u.Ok(); }});
  EXPECT_EQ(frame_->GetShadowSymbol2Ptr(), nullptr);
  EXPECT_EQ(Bytes(frame_->GetBorderSymbol2Ptr()), border);
  EXPECT_EQ(Bytes(frame_->GetBackSymbol2Ptr()), back);
}

TEST_F(LayoutFramePage, APageWithoutAFrameWritesNothing) {
  CPropertySheet sheet("无框架");
  CLayoutFrame page;
  sheet.AddPage(&page);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_FRAME_BORDER_X), "0");
    EXPECT_TRUE(u.Replace(IDC_FRAME_BORDER_X, "5"));
    EXPECT_TRUE(u.Click(IDC_FRAME_BORDER_STYLE));
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(page.m_nBorderX, 5);
  std::unique_ptr<CWnd> byName(md::ui::CreateWindowObject("CLayoutFrame"));
  EXPECT_NE(dynamic_cast<CLayoutFrame*>(byName.get()), nullptr);
}

}  // namespace
