// The clip-boundary dialog: coordinate texts in degrees, minutes and
// seconds, vertices edited point by point in both coordinate modes, and a
// frame left untouched by the dialog.
#include <gtest/gtest.h>

#include <cmath>

#include "layout/graphicelement/mapframe/dialogs/cgis_mapclipboundarydlg.h"
#include "tests/layout/graphicelement/mapframe/dialogs/mapdialogtest.h"

namespace {

using md::test::MapDialogTest;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

struct FormatCase {
  double value;
  bool geographic;
  const char* text;
};

TEST(ClipBoundaryTexts, Coordinates) {
  const FormatCase cases[] = {
      {0.0, true, "0°0'0.00\""},           {45296.25, true, "12°34'56.25\""},
      {-45296.25, true, "-12°34'56.25\""},  // the fraction kept below zero
      {-30.5, true, "-0°0'30.50\""},        // the sign kept with 0 whole degrees
      {59.999, true, "0°1'0.00\""},         // never 60 seconds
      {421000.0, false, "421000.00"},      {-12.345, false, "-12.35"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(CGIS_MapClipBoundaryDlg::FormatCoordinate(c.value, c.geographic), c.text) << c.value;
}

TEST(ClipBoundaryTexts, TypedSeconds) {
  EXPECT_DOUBLE_EQ(CGIS_MapClipBoundaryDlg::TypedSeconds("12", 34, 56.25), 45296.25);
  EXPECT_DOUBLE_EQ(CGIS_MapClipBoundaryDlg::TypedSeconds("-12", 34, 56.25), -45296.25);
  EXPECT_DOUBLE_EQ(CGIS_MapClipBoundaryDlg::TypedSeconds("-0", 0, 30.0), -30.0);
  EXPECT_DOUBLE_EQ(CGIS_MapClipBoundaryDlg::TypedSeconds("", 1, 0.0), 60.0);
}

class ClipBoundary : public MapDialogTest {
 protected:
  CGIS_MapElement* BoundFrame() {
    CGIS_MapElement* f = NewFrame();
    f->SetMap(map_);
    return f;
  }
  // The clip polygon's points.
  static std::vector<SGIS_Point> ClipPoints(CGIS_MapElement* f) {
    std::vector<SGIS_Point> points;
    IGIS_GeoPolygon* clip = f->GetClipPolygonPtr();
    for (int i = 0; clip != nullptr && i < clip->GetPointCount(); ++i) points.push_back(clip->GetPoint(i));
    return points;
  }
};

TEST_F(ClipBoundary, ListsTheFramesBoundaryAndEditsItPointByPoint) {
  CGIS_MapElement* f = BoundFrame();
  const std::vector<SGIS_Point> clip = ClipPoints(f);
  ASSERT_GE(clip.size(), 4u);
  const std::vector<BYTE> before = StoredForm(f);
  CGIS_MapClipBoundaryDlg dlg;
  dlg.m_pMapElement = f;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Checked(IDC_GIS_CB_OTHER), 1);
    EXPECT_EQ(u.Text(IDC_GIS_CB_COUNT), std::to_string(clip.size()));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_CB_X_DEGREE));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_CB_MODIFY));
    IGIS_GeoPolyline* work = dlg.GetWorkingBoundary();
    ASSERT_NE(work, nullptr);
    // Row 1 shows the second vertex; modify it.
    u.Choose(IDC_GIS_CB_LIST, 1);
    EXPECT_EQ(u.Text(IDC_GIS_CB_OTHER_X), std::to_string(clip[1].x));
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_CB_PREVIOUS));
    u.Replace(IDC_GIS_CB_OTHER_X, "423456.4");
    u.Replace(IDC_GIS_CB_OTHER_Y, "-7.5");
    u.Click(IDC_GIS_CB_MODIFY);
    EXPECT_EQ(work->GetPoint(1).x, 423456);
    EXPECT_EQ(work->GetPoint(1).y, -8);  // rounded half away from zero
    EXPECT_EQ(u.Selection(IDC_GIS_CB_LIST), 1);
    // Add at the end, insert before row 0, delete the last.
    u.Replace(IDC_GIS_CB_OTHER_X, "1");
    u.Replace(IDC_GIS_CB_OTHER_Y, "2");
    u.Click(IDC_GIS_CB_ADD);
    EXPECT_EQ(work->GetPointCount(), static_cast<int>(clip.size()) + 1);
    EXPECT_EQ(u.Text(IDC_GIS_CB_COUNT), std::to_string(clip.size() + 1));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_CB_NEXT));
    u.Choose(IDC_GIS_CB_LIST, 0);
    u.Replace(IDC_GIS_CB_OTHER_X, "5");
    u.Click(IDC_GIS_CB_INSERT);
    EXPECT_EQ(work->GetPoint(0).x, 5);
    EXPECT_EQ(work->GetPoint(1), clip[0]);
    u.Choose(IDC_GIS_CB_LIST, static_cast<int>(clip.size()) + 1);
    u.Click(IDC_GIS_CB_DELETE);
    EXPECT_EQ(work->GetPointCount(), static_cast<int>(clip.size()) + 1);
    EXPECT_EQ(u.Selection(IDC_GIS_CB_LIST), static_cast<int>(clip.size()));
    // Walking the rows.
    u.Click(IDC_GIS_CB_PREVIOUS);
    EXPECT_EQ(u.Selection(IDC_GIS_CB_LIST), static_cast<int>(clip.size()) - 1);
    u.Click(IDC_GIS_CB_NEXT);
    EXPECT_EQ(u.Selection(IDC_GIS_CB_LIST), static_cast<int>(clip.size()));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_CB_NEXT));
    u.Click(IDC_GIS_CB_CLEAR);
    EXPECT_EQ(work->GetPointCount(), 0);
    EXPECT_EQ(u.Text(IDC_GIS_CB_COUNT), "0");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  // The dialog writes nothing back into the frame.
  EXPECT_EQ(ClipPoints(f), clip);
  EXPECT_EQ(StoredForm(f), before);
}

TEST_F(ClipBoundary, DegreesMinutesSecondsRoundTrip) {
  CGIS_MapElement* f = BoundFrame();
  CGIS_MapClipBoundaryDlg dlg;
  dlg.m_pMapElement = f;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    IGIS_GeoPolyline* work = dlg.GetWorkingBoundary();
    ASSERT_NE(work, nullptr);
    const int n = work->GetPointCount();
    u.Click(IDC_GIS_CB_GEOGRAPHIC);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_CB_X_DEGREE));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_CB_OTHER_X));
    EXPECT_EQ(u.Selection(IDC_GIS_CB_LIST), n - 1);
    // The map lies near 117 degrees east, 40 degrees north.
    const SGIS_DPoint first = dlg.GetVertices()[0];
    EXPECT_NEAR(first.x / 3600.0, 117.0, 2.0);
    EXPECT_NEAR(first.y / 3600.0, 40.0, 1.0);
    // Type a vertex and read it back from the working boundary.
    u.Replace(IDC_GIS_CB_X_DEGREE, "117");
    u.Replace(IDC_GIS_CB_X_MINUTE, "5");
    u.Replace(IDC_GIS_CB_X_SECOND, "30.25");
    u.Replace(IDC_GIS_CB_Y_DEGREE, "39");
    u.Replace(IDC_GIS_CB_Y_MINUTE, "59");
    u.Replace(IDC_GIS_CB_Y_SECOND, "1.5");
    u.Click(IDC_GIS_CB_ADD);
    ASSERT_EQ(work->GetPointCount(), n + 1);
    // Switching modes rebuilds the rows from the working boundary.
    u.Click(IDC_GIS_CB_OTHER);
    u.Click(IDC_GIS_CB_GEOGRAPHIC);
    const SGIS_DPoint back = dlg.GetVertices()[static_cast<size_t>(n)];
    EXPECT_NEAR(back.x, 117 * 3600 + 5 * 60 + 30.25, 0.05);  // 1 cm of the map is about 0.0004"
    EXPECT_NEAR(back.y, 39 * 3600 + 59 * 60 + 1.5, 0.05);
    EXPECT_EQ(u.Text(IDC_GIS_CB_X_DEGREE), "117");
    EXPECT_EQ(u.Text(IDC_GIS_CB_X_MINUTE), "5");
    EXPECT_EQ(u.Text(IDC_GIS_CB_Y_MINUTE), "59");
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(ClipBoundary, OutOfRangeValuesArePromptedAndNothingIsAdded) {
  CGIS_MapElement* f = BoundFrame();
  CGIS_MapClipBoundaryDlg dlg;
  dlg.m_pMapElement = f;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    const int n = dlg.GetWorkingBoundary()->GetPointCount();
    u.Click(IDC_GIS_CB_GEOGRAPHIC);
    u.Replace(IDC_GIS_CB_X_MINUTE, "61");
    u.Click(IDC_GIS_CB_ADD);
    EXPECT_EQ(Prompts(), 1u);
    EXPECT_EQ(dlg.GetWorkingBoundary()->GetPointCount(), n);
    u.Replace(IDC_GIS_CB_X_MINUTE, "0");
    u.Replace(IDC_GIS_CB_ANGLE, "361");
    u.Click(IDC_GIS_CB_ADD);
    EXPECT_EQ(Prompts(), 2u);
    EXPECT_FALSE(u.Ended());
    u.Cancel();
  });
  dlg.DoModal();
}

TEST_F(ClipBoundary, WithoutABoundaryTheVertexButtonsDoNothing) {
  CGIS_MapElement* f = NewFrame();
  ASSERT_EQ(f->GetClipPolygonPtr(), nullptr);
  CGIS_MapClipBoundaryDlg dlg;
  dlg.m_pMapElement = f;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_CB_ADD);
    u.Click(IDC_GIS_CB_CLEAR);
    u.Click(IDC_GIS_CB_GEOGRAPHIC);
    EXPECT_EQ(dlg.GetWorkingBoundary(), nullptr);
    EXPECT_EQ(u.Text(IDC_GIS_CB_COUNT), "0");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(ClipBoundary, Snapshot) {
  CGIS_MapElement* f = BoundFrame();
  CGIS_MapClipBoundaryDlg dlg;
  dlg.m_pMapElement = f;
  const std::string path = SnapshotPath("mapclipboundary");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_CB_GEOGRAPHIC);
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
