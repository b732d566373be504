// The sheets of the plain shapes, opened through OnOpenPropertyDlg and
// played through the modal driver: the surface sheet of the rectangle,
// ellipse and polygon, the line sheet and the point sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "host/display/cgis_pageview.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/shapes/dialogs/cgis_linepage.h"
#include "layout/graphicelement/shapes/dialogs/cgis_pointpage.h"
#include "layout/graphicelement/shapes/dialogs/cgis_surfacepage.h"
#include "layout/graphicelement/shapes/igis_ellipseelement.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "platform/canvas/recording.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace {

using md::test::Page;
using md::test::StoredForm;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr int kChooserList = 31002;

using md::test::SnapshotPath;

IGIS_Symbol* SymbolOf(IGIS_Element* e) {
  if (auto* p = dynamic_cast<IGIS_RectElement*>(e)) return p->GetSymbolPtr();
  if (auto* p = dynamic_cast<IGIS_EllipseElement*>(e)) return p->GetSymbolPtr();
  if (auto* p = dynamic_cast<IGIS_PolygonElement*>(e)) return p->GetSymbolPtr();
  if (auto* p = dynamic_cast<IGIS_PolylineElement*>(e)) return p->GetSymbolPtr();
  if (auto* p = dynamic_cast<IGIS_PointElement*>(e)) return p->GetSymbolPtr();
  return nullptr;
}

// The bounding box of a recorded shape, in canvas pixels.
struct Box {
  double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
};
Box BoundsOf(const md::canvas::Record& r) {
  Box b;
  for (const md::canvas::Point& p : r.Points()) {
    b.left = std::min(b.left, p.x);
    b.right = std::max(b.right, p.x);
    b.top = std::min(b.top, p.y);
    b.bottom = std::max(b.bottom, p.y);
  }
  return b;
}

// Paints the active page of the running sheet onto a recording canvas.
std::unique_ptr<md::canvas::RecordingCanvas> PaintActivePage(UiUser& u) {
  auto canvas = std::make_unique<md::canvas::RecordingCanvas>(800, 600);
  HWND top = u.Window().GetSafeHwnd();
  md::ui::SetWindowCanvas(top, canvas.get());
  u.Surface()->Invalidate();
  u.Surface()->UpdateWindow();
  md::ui::SetWindowCanvas(top, nullptr);
  return canvas;
}

// A control's rectangle on the top-level window's surface.
RECT SurfaceRect(UiUser& u, int id) {
  RECT r;
  u.Surface()->GetDlgItem(id)->GetWindowRect(&r);
  u.Surface()->ScreenToClient(&r);
  const POINT o = md::ui::WindowSurfaceOffset(u.Surface()->GetSafeHwnd());
  return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

int PromptCount() { return static_cast<int>(md::ui::MessageBoxLog().size()); }

class ShapeSheets : public md::test::ShapeTest {
 protected:
  void SetUp() override {
    ShapeTest::SetUp();
    page_ = Page::Screen(1.0, 0.0, 0.0);
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    page_.reset();
    ShapeTest::TearDown();
  }
  IGIS_Element* Shape(const char* type) {
    IGIS_Element* e = Make<IGIS_Element>(type);
    if (e == nullptr) return nullptr;
    if (std::string(type) == GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE ||
        std::string(type) == GIS_TYPE_GRAPHIC_ELEMENT_POLYGON) {
      md::test::SetPoints(e,
                          {SGIS_Point(1000, 1000, 0), SGIS_Point(4000, 3000, 0), SGIS_Point(1000, 3000, 0)});
    } else {
      e->SetRect(SGIS_Rect(1000, 3000, 4000, 1000));
    }
    return e;
  }
  int Redraws() { return dynamic_cast<CGIS_PageView*>(page_->display->GetView())->GetRedrawCount(); }

  std::unique_ptr<Page> page_;
};

// What a surface shape's sheet looks like, per shape.
struct SurfaceCase {
  const char* type;
  const char* title;
};

class SurfaceSheet : public ShapeSheets, public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(SurfaceSheet, OkKeepsTheChosenFillAndTheSizePagesValues) {
  IGIS_Element* e = Shape(GetParam().type);
  ASSERT_NE(e, nullptr);
  IGIS_Symbol* before = SymbolOf(e);
  const int beforeCode = before != nullptr ? before->GetStyleCode() : -1;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), GetParam().title);
    EXPECT_NE(dynamic_cast<CGIS_SurfacePage*>(u.Sheet()->GetActivePage()), nullptr);
    EXPECT_EQ(u.Sheet()->GetPageCount(), 2);
    EXPECT_TRUE(u.Click(IDC_SURFACE_SYMBOL));
    EXPECT_TRUE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(u.Text(IDC_SIZEPOS_X), "1000");
    EXPECT_EQ(u.Text(IDC_SIZEPOS_WIDTH), "3000");
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "200"));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_HEIGHT, "1500"));
    u.Ok();
  });
  driver.Then([&](UiUser& u) {  // the chooser
    EXPECT_TRUE(u.Choose(kChooserList, 3));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(page_->display, TRUE));
  ASSERT_NE(SymbolOf(e), nullptr);
  EXPECT_NE(SymbolOf(e)->GetStyleCode(), beforeCode);
  const SGIS_Rect r = e->GetRect();
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.bottom, 1000);
  EXPECT_EQ(r.Height(), 1500);
  EXPECT_EQ(driver.DialogsRun(), 2);
}

TEST_P(SurfaceSheet, CancelLeavesTheStoredFormByteIdentical) {
  IGIS_Element* e = Shape(GetParam().type);
  ASSERT_NE(e, nullptr);
  const std::string before = StoredForm(e);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_SURFACE_SYMBOL));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_Y, "777"));
    EXPECT_TRUE(u.Click(IDC_SIZEPOS_KEEPRATIO));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_WIDTH, "9000"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().bottom, 777);  // applied ...
    u.Cancel();                           // ... and undone
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 2));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(StoredForm(e), before);
}

TEST_P(SurfaceSheet, ApplyWritesTheActivePageRedrawsAndClearsTheMarks) {
  IGIS_Element* e = Shape(GetParam().type);
  ASSERT_NE(e, nullptr);
  const int redraws = Redraws();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Replace(IDC_SIZEPOS_X, "2500"));
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().left, 2500);
    EXPECT_EQ(Redraws(), redraws + 1);
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) EXPECT_FALSE(u.Sheet()->GetPage(i)->IsModified());
    EXPECT_TRUE(u.Snapshot(SnapshotPath(std::string("surface_size_") + GetParam().type)));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(e->GetRect().left, 2500);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SurfaceSheet,
                         ::testing::Values(SurfaceCase{GIS_TYPE_GRAPHIC_ELEMENT_RECT, "矩形属性"},
                                           SurfaceCase{GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, "椭圆属性"},
                                           SurfaceCase{GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, "面属性"}));

TEST_F(ShapeSheets, TheSurfacePreviewFillsTheWholeFrameAsAClosedRing) {
  IGIS_Element* e = Shape(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto canvas = PaintActivePage(u);
    const RECT f = SurfaceRect(u, IDC_SURFACE_PREVIEW);
    bool filled = false;
    for (const md::canvas::Record* r : canvas->recordsOf(md::canvas::Record::Type::Shape)) {
      const Box b = BoundsOf(*r);
      filled = filled || (std::abs(b.left - f.left) <= 1 && std::abs(b.top - f.top) <= 1 &&
                          std::abs(b.right - f.right) <= 1 && std::abs(b.bottom - f.bottom) <= 1);
    }
    EXPECT_TRUE(filled);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("surface_page")));
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
}

TEST_F(ShapeSheets, TheLineSheetChangesTheSymbolAtOnceAndCancelRestoresIt) {
  IGIS_Element* e = Shape(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  const std::string before = StoredForm(e);
  const int code = SymbolOf(e)->GetStyleCode();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "线属性");
    EXPECT_NE(dynamic_cast<CGIS_LinePage*>(u.Sheet()->GetActivePage()), nullptr);
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(1)), nullptr);
    EXPECT_TRUE(u.Click(IDC_LINE_SYMBOL));
    EXPECT_NE(SymbolOf(e)->GetStyleCode(), code);
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Click(IDC_LINE_SYMBOL));  // cancelled chooser: nothing changes
    EXPECT_TRUE(u.Snapshot(SnapshotPath("line_page")));
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 2));
    u.Ok();
  });
  driver.Then([&](UiUser& u) { u.Cancel(); });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(SymbolOf(e)->GetStyleCode(), code);
  EXPECT_EQ(StoredForm(e), before);
}

TEST_F(ShapeSheets, TheLinePreviewIsAStrokeTwoPixelsInsideOnTheMiddleLine) {
  IGIS_Element* e = Shape(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto canvas = PaintActivePage(u);
    const RECT f = SurfaceRect(u, IDC_LINE_PREVIEW);
    const double m = (f.top + f.bottom) / 2;
    bool stroked = false;
    for (const md::canvas::Record* r : canvas->recordsOf(md::canvas::Record::Type::Shape)) {
      const Box b = BoundsOf(*r);
      stroked = stroked || (std::abs(b.left - (f.left + 2)) <= 1 && std::abs(b.right - (f.right - 2)) <= 1 &&
                            std::abs(b.top - m) <= 1 && std::abs(b.bottom - m) <= 1);
    }
    EXPECT_TRUE(stroked);
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
}

TEST_F(ShapeSheets, ThePointPageWritesAngleAndProportionalSizeWhenLeft) {
  auto* e = dynamic_cast<IGIS_PointElement*>(Shape(GIS_TYPE_GRAPHIC_ELEMENT_POINT));
  ASSERT_NE(e, nullptr);
  ScriptedDriver driver;
  SGIS_Rect left;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "点属性");
    EXPECT_NE(dynamic_cast<CGIS_PointPage*>(u.Sheet()->GetActivePage()), nullptr);
    const SGIS_Rect r = e->GetRect();
    EXPECT_EQ(u.Text(IDC_POINT_SIZE), std::to_string(r.Height()));
    EXPECT_TRUE(u.Replace(IDC_POINT_SIZE, "-4.5x00"));  // only digits and "+" stay
    EXPECT_EQ(u.Text(IDC_POINT_SIZE), "4500");
    EXPECT_TRUE(u.Replace(IDC_POINT_ANGLE, "-12.5a"));
    EXPECT_EQ(u.Text(IDC_POINT_ANGLE), "-12.5");
    EXPECT_TRUE(u.GoToPage(1));
    left = e->GetRect();
    EXPECT_TRUE(u.Snapshot(SnapshotPath("point_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(left.Height(), 4500);
  EXPECT_DOUBLE_EQ(e->GetSymbolPtr()->GetAngle(), -12.5);
}

// Out-of-range input: the framework's prompt, the page stays.
struct BadPointInput {
  int control;
  const char* text;
};

class PointPageRange : public ShapeSheets, public ::testing::WithParamInterface<BadPointInput> {};

TEST_P(PointPageRange, IsRefusedWithAPromptAndThePageStays) {
  IGIS_Element* e = Shape(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  const std::string before = StoredForm(e);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    const int prompts = PromptCount();
    EXPECT_TRUE(u.Replace(GetParam().control, GetParam().text));
    u.GoToPage(1);
    EXPECT_EQ(PromptCount(), prompts + 1);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    u.Ok();
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(PromptCount(), prompts + 2);
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(StoredForm(e), before);
}

INSTANTIATE_TEST_SUITE_P(Inputs, PointPageRange,
                         ::testing::Values(BadPointInput{IDC_POINT_ANGLE, "400"},
                                           BadPointInput{IDC_POINT_SIZE, "0"},
                                           BadPointInput{IDC_POINT_SIZE, ""},
                                           BadPointInput{IDC_POINT_ANGLE, "-"}));

TEST_F(ShapeSheets, CancellingThePointSheetAfterLeavingThePageRestoresEverything) {
  auto* e = dynamic_cast<IGIS_PointElement*>(Shape(GIS_TYPE_GRAPHIC_ELEMENT_POINT));
  const std::string before = StoredForm(e);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_POINT_SYMBOL));
    EXPECT_TRUE(u.Replace(IDC_POINT_ANGLE, "45"));
    EXPECT_TRUE(u.Replace(IDC_POINT_SIZE, "2222"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(e->GetRect().Height(), 2222);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("point_page_left")));
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 1));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
  EXPECT_EQ(StoredForm(e), before);
}

TEST_F(ShapeSheets, PointPageSnapshot) {
  IGIS_Element* e = Shape(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Snapshot(SnapshotPath("point_page")));
    EXPECT_FALSE(u.IsVisible(IDC_POINT_PREVIEW));
    u.Cancel();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(page_->display, TRUE));
}

}  // namespace
