// The frame selector, played through the modal driver: the library it shows,
// new and edited symbols, naming, deleting, and the file it writes on close.
#include <filesystem>
#include <string>

#include "layout/graphicelement/frame/dialogs/cgis_frameselectordlg.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/frame/dialogs/framedialogtest.h"
#include "tests/support/rendercheck.h"
#include "tests/support/snapshots.h"

namespace {

using md::test::Bytes;
using md::test::FillSymbol2;
using md::test::FrameLibraryTest;
using md::test::LineSymbol2;
using md::test::Symbol2;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr int kChooserList = 31002;
constexpr int kNameEdit = 31013;

using md::test::SnapshotPath;

class FrameSelector : public FrameLibraryTest {
 protected:
  // Scenes of the symbol2 chooser and the naming dialog.
  static void Pick(ScriptedDriver& d, int entry) {
    d.Then([entry](UiUser& u) {
      EXPECT_TRUE(u.Choose(kChooserList, entry));
      u.Ok();
    });
  }
  static void Name(ScriptedDriver& d, const std::string& name) {
    d.Then([name](UiUser& u) {
      if (!name.empty()) {
        EXPECT_TRUE(u.Type(kNameEdit, name));
      }
      u.Ok();
    });
  }
  std::string LastBox() {
    const auto& log = md::ui::MessageBoxLog();
    return log.empty() ? std::string() : log.back().caption + ":" + log.back().text;
  }
};

TEST_F(FrameSelector, FirstUseCreatesTheFileAndCancelWritesAnEmptyLibrary) {
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_FILL;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BACKGROUND;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Window().GetWindowText(), "背景样式");
    EXPECT_TRUE(std::filesystem::exists(Path(1)));
    EXPECT_EQ(static_cast<CListCtrl*>(u.Control(IDC_FRAMESEL_LIST))->GetItemCount(), 0);
    EXPECT_FALSE(u.IsEnabled(IDC_FRAMESEL_DELETE));
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_GT(std::filesystem::file_size(Path(1)), 0u);
  EXPECT_TRUE(Fields(Path(1)).empty());
}

TEST_F(FrameSelector, NewSymbolsAreNamedIntoTheLibraryAndWrittenOnOk) {
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_LINE;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BORDER;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Window().GetWindowText(), "边框样式");
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_SAVE));  // no current symbol: nothing happens
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_NEW));
    ASSERT_NE(dlg.GetSymbolPtr(), nullptr);
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_SAVE));
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_SAVE));  // the same name, other case: refused
    EXPECT_EQ(LastBox(), "错误:名称重复，请重新输入！");
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_SAVE));  // an empty name: refused
    EXPECT_EQ(LastBox(), "错误:名称不能为空，请重新输入！");
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_NEW));
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_SAVE));
    auto* list = static_cast<CListCtrl*>(u.Control(IDC_FRAMESEL_LIST));
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0, 0), "Corner");
    EXPECT_EQ(list->GetItemText(1, 0), "虚线");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("frame_selector")));
    u.Ok();
  });
  Pick(driver, 1);
  Name(driver, "Corner");
  Name(driver, "corner");
  Name(driver, "");
  Pick(driver, 2);
  Name(driver, "虚线");
  EXPECT_EQ(dlg.DoModal(), IDOK);
  const auto fields = Fields(Path(0));
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].first, "Corner");
  EXPECT_EQ(fields[1].first, "虚线");
  EXPECT_EQ(fields[1].second, Bytes(dlg.GetSymbolPtr()));  // the current symbol, cloned in
}

TEST_F(FrameSelector, ADoubleClickChoosesAnEntryAndDeleteRemovesIt) {
  Symbol2 a(FillSymbol2(RGB(200, 0, 0))), b(FillSymbol2(RGB(0, 200, 0))), c(FillSymbol2(RGB(0, 0, 200)));
  WriteAll(Path(2), LibraryBytes({{"红", Bytes(a.p)}, {"绿", Bytes(b.p)}, {"蓝", Bytes(c.p)}}));
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_FILL;
  dlg.m_nMode = GIS_FRAME_LIBRARY_SHADOW;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto* list = static_cast<CListCtrl*>(u.Control(IDC_FRAMESEL_LIST));
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_TRUE(u.DoubleClick(IDC_FRAMESEL_LIST, 1));
    EXPECT_EQ(Bytes(dlg.GetSymbolPtr()), Bytes(b.p));
    EXPECT_TRUE(u.IsEnabled(IDC_FRAMESEL_DELETE));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("frame_selector_chosen")));
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_DELETE));
    EXPECT_FALSE(u.IsEnabled(IDC_FRAMESEL_DELETE));
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(1, 0), "蓝");
    EXPECT_EQ(Bytes(dlg.GetSymbolPtr()), Bytes(b.p));  // the current symbol stays
    // A double-click on empty space clears the choice but leaves the button.
    EXPECT_TRUE(u.DoubleClick(IDC_FRAMESEL_LIST, 0));
    EXPECT_TRUE(u.DoubleClickAt(IDC_FRAMESEL_LIST, POINT{300, 300}));
    EXPECT_EQ(dlg.GetSelectedIndex(), -1);
    EXPECT_TRUE(u.IsEnabled(IDC_FRAMESEL_DELETE));
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_DELETE));  // removes nothing
    EXPECT_EQ(list->GetItemCount(), 2);
    u.Cancel();  // the library is written on Cancel too
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(ReadAll(Path(2)), LibraryBytes({{"红", Bytes(a.p)}, {"蓝", Bytes(c.p)}}));
}

TEST_F(FrameSelector, OkWithoutActionGivesACopyOfTheSymbolHandedIn) {
  Symbol2 s(LineSymbol2(RGB(1, 1, 1), 0.35));
  for (IGIS_SymbolV2* given : {static_cast<IGIS_SymbolV2*>(nullptr), s.p}) {
    CGIS_FrameSelectorDlg dlg;
    dlg.m_nKind = GIS_FRAME_KIND_LINE;
    dlg.m_nMode = GIS_FRAME_LIBRARY_BORDER;
    dlg.SetSymbolPtr(given);
    ScriptedDriver driver;
    driver.Then([](UiUser& u) { u.Ok(); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    if (given == nullptr) {
      EXPECT_EQ(dlg.GetSymbolPtr(), nullptr);
    } else {
      ASSERT_NE(dlg.GetSymbolPtr(), nullptr);
      EXPECT_NE(dlg.GetSymbolPtr(), given);
      EXPECT_EQ(Bytes(dlg.GetSymbolPtr()), Bytes(given));
    }
  }
}

TEST_F(FrameSelector, EditingTheCurrentSymbolReplacesItAndACancelledChooserChangesNothing) {
  Symbol2 s(LineSymbol2(RGB(1, 1, 1), 0.35));
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_LINE;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BORDER;
  dlg.SetSymbolPtr(s.p);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_EDIT));
    EXPECT_EQ(Bytes(dlg.GetSymbolPtr()), Bytes(s.p));
    EXPECT_TRUE(u.Click(IDC_FRAMESEL_EDIT));
    EXPECT_NE(Bytes(dlg.GetSymbolPtr()), Bytes(s.p));
    u.Ok();
  });
  driver.Then([](UiUser& u) { u.Cancel(); });
  Pick(driver, 3);
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

// Entries that cannot be rebuilt and unreadable files survive whatever
// closes the dialog.
struct Closing {
  const char* name;
  bool ok;
};

class FrameSelectorKeeps : public FrameSelector, public ::testing::WithParamInterface<Closing> {};

TEST_P(FrameSelectorKeeps, AnEntryThatCannotBeRebuiltByteForByte) {
  Symbol2 a(LineSymbol2(RGB(1, 2, 3), 0.4));
  const std::string file = LibraryBytes({{"坏", {1, 2, 3}}, {"好", Bytes(a.p)}});
  WriteAll(Path(0), file);
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_LINE;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BORDER;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto* list = static_cast<CListCtrl*>(u.Control(IDC_FRAMESEL_LIST));
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(list->GetItemText(0, 0), "好");
    EXPECT_TRUE(u.DoubleClick(IDC_FRAMESEL_LIST, 0));
    GetParam().ok ? u.Ok() : u.Cancel();
  });
  dlg.DoModal();
  EXPECT_EQ(ReadAll(Path(0)), file);
}

TEST_P(FrameSelectorKeeps, AnUnreadableFileUntouched) {
  const std::string junk = "damaged library";
  WriteAll(Path(1), junk);
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_FILL;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BACKGROUND;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) { GetParam().ok ? u.Ok() : u.Cancel(); });
  dlg.DoModal();
  EXPECT_EQ(ReadAll(Path(1)), junk);
}

INSTANTIATE_TEST_SUITE_P(Closings, FrameSelectorKeeps,
                         ::testing::Values(Closing{"ok", true}, Closing{"cancel", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameSelector, LineImagesShowTheCornerAtTheirSize) {
  Symbol2 black(LineSymbol2(RGB(0, 0, 0), 0.3));
  WriteAll(Path(0), LibraryBytes({{"黑", Bytes(black.p)}}));
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_LINE;
  dlg.m_nMode = GIS_FRAME_LIBRARY_BORDER;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    int w = 0, h = 0;
    ASSERT_TRUE(dlg.GetImageList().GetIconSize(w, h));
    EXPECT_EQ(w, 66);
    EXPECT_EQ(h, 20);
    const std::vector<std::uint32_t>* px = dlg.GetImageList().GetImagePixels(0);
    ASSERT_NE(px, nullptr);
    auto dark = [&](int x, int y) { return ((*px)[static_cast<std::size_t>(y * w + x)] & 0xFF) < 0x80; };
    EXPECT_TRUE(dark(2, 10));    // the left side, d = 2
    EXPECT_TRUE(dark(33, 2));    // the top side
    EXPECT_FALSE(dark(33, 10));  // inside the corner
    EXPECT_FALSE(dark(64, 18));  // no right or bottom side
    u.Cancel();
  });
  dlg.DoModal();
}

TEST_F(FrameSelector, DrawingWithoutASymbolOrOfAnotherKindIsRecorded) {
  CGIS_FrameSelectorDlg dlg;
  md::test::LogMark log;
  EXPECT_FALSE(dlg.DrawSymbol(nullptr, nullptr, 0, RECT{0, 0, 10, 10}));
  EXPECT_TRUE(log.Has(3, "CGIS_FrameSelectorDlg::DrawSymbol", "符号为空，绘制出来的符号是黑色图案"));
  Symbol2 s(LineSymbol2(RGB(0, 0, 0), 0.3));
  dlg.m_nKind = 7;
  HDC dc = CreateCompatibleDC(nullptr);
  dlg.DrawSymbol(dc, s.p, 7, RECT{0, 0, 10, 10});
  DeleteDC(dc);
  EXPECT_TRUE(log.Has(3, "CGIS_FrameSelectorDlg::DrawSymbol", "符号类型不对，绘制出来的符号是黑色图案"));
}

TEST_F(FrameSelector, AnotherModeReadsAndWritesNothing) {
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GIS_FRAME_KIND_FILL;
  dlg.m_nMode = 5;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Window().GetWindowText(), "边框选择器");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

}  // namespace

namespace {

// The selector's drawing of a symbol of each kind, against its control.
struct KindPicture {
  const char* name;
  int kind;
};

class FrameSelectorRender : public ::testing::TestWithParam<KindPicture> {};

TEST_P(FrameSelectorRender, DrawsTheKindsGeometryOverTheRectangle) {
  Symbol2 line(LineSymbol2(RGB(0, 0, 160), 0.8));
  Symbol2 fill(FillSymbol2(RGB(40, 160, 40)));
  fill.p->SetColor2(RGB(0, 0, 0));
  fill.p->SetLineWidth(0.5);
  auto canvas = md::canvas::CairoCanvas::createImage(200, 100);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FixedMetricsEngine());
  CGIS_FrameSelectorDlg dlg;
  dlg.m_nKind = GetParam().kind;
  EXPECT_TRUE(
      dlg.DrawSymbol(hdc, GetParam().kind == GIS_FRAME_KIND_LINE ? line.p : fill.p, 0, RECT{0, 0, 200, 100}));
  DeleteDC(hdc);
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                       "tests/layout/graphicelement/frame/dialogs/controls",
                                       GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Kinds, FrameSelectorRender,
                         ::testing::Values(KindPicture{"selector_line", GIS_FRAME_KIND_LINE},
                                           KindPicture{"selector_fill", GIS_FRAME_KIND_FILL}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
