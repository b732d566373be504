// The north arrow: turning once by calibration and frame rotation, following
// and leaving a frame, fitting each point-symbol kind, resizing, storage.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using NorthArrow = FurniturePage;

constexpr double kPi = 3.14159265358979323846;

// Every device point the symbol was drawn with, in call order.
std::vector<md::canvas::Point> DrawnPoints(const Screen& screen) {
  std::vector<md::canvas::Point> out;
  for (const md::canvas::Record& r : screen.canvas.records()) {
    if (r.type != md::canvas::Record::Type::Shape) continue;
    for (const md::canvas::Point& p : r.Points()) out.push_back(p);
  }
  return out;
}

// An arrow without frame property at a fixed place, drawn on a fresh screen.
std::vector<md::canvas::Point> Draw(CGIS_NorthArrowElement* arrow) {
  Screen screen;
  EXPECT_TRUE(arrow->OnDraw(screen.hdc, false, &screen.display));
  return DrawnPoints(screen);
}

TEST_F(NorthArrow, NewArrowTakesTheDefaultSymbolAndItsSize) {
  auto* a = New<CGIS_NorthArrowElement>();
  ASSERT_NE(a->GetSymbolPtr(), nullptr);
  EXPECT_EQ(a->GetSymbolPtr()->GetType(), GIS_SYMBOL_POINT);
  EXPECT_EQ(a->GetSymbolPtr()->GetStyleCode(), 0xce6);
  // The box of the style (12 x 30 units) times ten page units per unit.
  EXPECT_EQ(a->GetRect(), SGIS_Rect(0, 300, 120, 0));
  EXPECT_EQ(a->GetMapElementID(), -10);
  EXPECT_STREQ(a->GetName(), "指北针");
  IGIS_FeatureAttributes* attr = a->GetFeaturePtr()->GetAttributes();
  EXPECT_TRUE(attr->GetBool("IsLock"));
  EXPECT_TRUE(attr->GetBool("CanConvert"));
  PropertySetPtr set = CustomOf(a);
  const char* keys[] = {"SymbolPoint", "MapElementID", "CalibrationAngle", "Angle", "FrameProperty"};
  IGIS_Field* f = set->GetFirstPosition();
  for (const char* key : keys) {
    ASSERT_NE(f, nullptr) << key;
    EXPECT_STREQ(f->GetLabel(), key);
    f = set->GetNext(f);
  }
  EXPECT_EQ(set->GetProperty("MapElementID")->GetInt(), -10);
}

// The arrow turns once: by its calibration plus the frame's rotation. Each
// drawn point is the unturned drawing's point turned about the anchor by
// that sum, counter-clockwise on the page (clockwise in y-down pixels).
TEST_F(NorthArrow, TurnsOnceByCalibrationAndFrameRotation) {
  CGIS_MapElement* frame = NewFrame();
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetFramePropertyPtr(nullptr);
  a->SetRect(SGIS_Rect(2000, 5000, 4000, 1000));
  a->SetMapElementPtr(frame);
  Screen screen;
  SGIS_Rect device = screen.display.GetView()->PageToDeviceRect(a->GetRect(), page_);
  device.Normalize();
  const double cx = (device.left + device.right) / 2, cy = (device.top + device.bottom) / 2;
  const std::vector<md::canvas::Point> level = Draw(a);
  ASSERT_GT(level.size(), 4u);
  // The tip: the highest point of the level arrow.
  const auto tipIt = std::min_element(level.begin(), level.end(), [](auto& p, auto& q) { return p.y < q.y; });
  const std::size_t tip = static_cast<std::size_t>(tipIt - level.begin());

  struct Row {
    double rotation, calibration, turn;
  };
  const Row rows[] = {{0, 0, 0}, {30, 0, 30}, {-90, 0, -90}, {0, 15, 15}, {30, 15, 45}, {-90, 15, -75}};
  for (const Row& row : rows) {
    Turn(frame, row.rotation);
    a->SetCalibrationAngle(row.calibration);
    EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), row.turn) << row.rotation << " + " << row.calibration;
    const std::vector<md::canvas::Point> turned = Draw(a);
    ASSERT_EQ(turned.size(), level.size());
    const double t = row.turn * kPi / 180.0;
    for (std::size_t i = 0; i < level.size(); ++i) {
      const double u = level[i].x - cx, v = level[i].y - cy;
      const double ex = cx + u * std::cos(t) + v * std::sin(t);
      const double ey = cy - u * std::sin(t) + v * std::cos(t);
      ASSERT_NEAR(turned[i].x, ex, 1.0)
          << "point " << i << " at " << row.rotation << " + " << row.calibration;
      ASSERT_NEAR(turned[i].y, ey, 1.0)
          << "point " << i << " at " << row.rotation << " + " << row.calibration;
    }
    // Where the tip lands: its direction from the anchor turns by the sum
    // (counter-clockwise on the page), never by the rotation twice.
    const double before = std::atan2(-(level[tip].y - cy), level[tip].x - cx);
    const double after = std::atan2(-(turned[tip].y - cy), turned[tip].x - cx);
    double turnedBy = (after - before) * 180.0 / kPi;
    while (turnedBy > 180.0) turnedBy -= 360.0;
    while (turnedBy <= -180.0) turnedBy += 360.0;
    EXPECT_NEAR(turnedBy, row.turn, 2.0) << row.rotation << " + " << row.calibration;
  }
}

TEST_F(NorthArrow, FollowsAFrameUntilItIsDeleted) {
  CGIS_MapElement* frame = NewFrame();
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetFramePropertyPtr(nullptr);
  a->SetCalibrationAngle(5);
  // The first drawing follows the layout's map frame.
  Screen screen;
  ASSERT_TRUE(a->OnDraw(screen.hdc, false, &screen.display));
  ASSERT_EQ(a->GetMapElementPtr(), frame);
  EXPECT_EQ(a->GetMapElementID(), frame->GetID());
  Turn(frame, 30);
  EXPECT_DOUBLE_EQ(a->GetAngle(), 30);
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 35);
  // Another frame's deletion leaves the link alone.
  auto* other = New<CGIS_MapElement>();
  other->Notify(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, other);
  EXPECT_EQ(a->GetMapElementPtr(), frame);
  // The followed frame's deletion detaches the arrow and keeps the stored ID.
  const int id = frame->GetID();
  Drop(frame);
  EXPECT_EQ(a->GetMapElementPtr(), nullptr);
  EXPECT_EQ(a->GetMapElementID(), id);
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 5);
  // It does not take the next frame on its own: it followed one before.
  CGIS_MapElement* next = NewFrame();
  ASSERT_TRUE(a->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(a->GetMapElementPtr(), nullptr);
  Turn(next, 10);
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 5);
}

TEST_F(NorthArrow, ReleasedArrowHearsNothing) {
  CGIS_MapElement* frame = NewFrame();
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetMapElementPtr(frame);
  Drop(a);
  Turn(frame, 45);  // would reach a released arrow if it had stayed attached
  SUCCEED();
}

TEST_F(NorthArrow, UnlinkingStoresTheUnlinkedID) {
  CGIS_MapElement* frame = NewFrame();
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetMapElementPtr(nullptr);
  EXPECT_EQ(a->GetMapElementID(), -10);  // an unlinked arrow changes nothing
  a->SetMapElementPtr(frame);
  a->SetMapElementPtr(nullptr);
  EXPECT_EQ(a->GetMapElementID(), -100);
  Turn(frame, 20);
  EXPECT_DOUBLE_EQ(a->GetSymbolPtr()->GetAngle(), 0);
  // An explicit unlink is not undone by drawing.
  Screen screen;
  ASSERT_TRUE(a->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(a->GetMapElementPtr(), nullptr);
}

// Kinds 5, 6 and 7: the rectangle takes the symbol's proportions, and the
// drawing fills the rectangle on its tighter side, centred in it.
TEST_F(NorthArrow, FitsAndCentresEachPointKind) {
  struct Row {
    int kind, code;
  };
  const Row rows[] = {{GIS_SYMBOL_POINT5, 3310}, {GIS_SYMBOL_POINT, 3302}, {GIS_SYMBOL_POINT7, 3311}};
  for (const Row& row : rows) {
    auto* a = New<CGIS_NorthArrowElement>();
    a->SetFramePropertyPtr(nullptr);
    a->SetRect(SGIS_Rect(1000, 3000, 3000, 1000));
    SymbolPtr s = NewSymbol(row.kind, row.code);
    s->SetSize(30);  // the chooser's size: the style's box height, measured without rounding
    a->SetSymbolPtr(s.get());
    const SGIS_Rect extent = CGIS_NorthArrowElement::SymbolExtent(s.get());
    ASSERT_GT(extent.Width() * extent.Height(), 0) << row.kind;
    const SGIS_Rect r = a->GetRect();
    EXPECT_EQ(r.left, 1000);
    EXPECT_EQ(r.bottom, 1000);
    EXPECT_NEAR(static_cast<double>(r.Width()) / r.Height(),
                static_cast<double>(extent.Width()) / extent.Height(), 0.01)
        << row.kind;

    Screen screen;
    ASSERT_TRUE(a->OnDraw(screen.hdc, false, &screen.display));
    const std::vector<md::canvas::Point> pts = DrawnPoints(screen);
    ASSERT_FALSE(pts.empty()) << row.kind;
    SGIS_Rect d = screen.display.GetView()->PageToDeviceRect(r, page_);
    d.Normalize();
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const auto& p : pts) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    EXPECT_GE(minX, d.left - 1.5) << row.kind;
    EXPECT_LE(maxX, d.right + 1.5) << row.kind;
    EXPECT_GE(minY, d.bottom - 1.5) << row.kind;
    EXPECT_LE(maxY, d.top + 1.5) << row.kind;
    EXPECT_GE(maxY - minY, 0.8 * d.Height()) << row.kind;
    EXPECT_NEAR((minY + maxY) / 2, (d.top + d.bottom) / 2.0, 0.1 * d.Height()) << row.kind;
    EXPECT_NEAR((minX + maxX) / 2, (d.left + d.right) / 2.0, 0.1 * d.Width()) << row.kind;
  }
}

TEST_F(NorthArrow, SymbolsThatCannotBeFittedLeaveTheRectangle) {
  auto* a = New<CGIS_NorthArrowElement>();
  const SGIS_Rect before = a->GetRect();
  LogMark mark;
  a->SetSymbolPtr(NewSymbol(GIS_SYMBOL_LINE).get());
  EXPECT_EQ(a->GetSymbolPtr()->GetStyleCode(), 0xce6);  // a line symbol is refused
  SymbolPtr flat = NewSymbol(GIS_SYMBOL_POINT5, 3310);
  flat->SetSize(0);
  a->SetSymbolPtr(flat.get());
  EXPECT_TRUE(mark.Has(4, "CGIS_NorthArrowElement::SetSymbolPtr", "该符号的宽度和高度有一个为零"));
  EXPECT_EQ(a->GetRect(), before);
  a->SetSymbolPtr(nullptr);
  EXPECT_EQ(a->GetSymbolPtr(), nullptr);
  EXPECT_TRUE(mark.Has(4, "CGIS_NorthArrowElement::SetSymbolPtr", "pSymbol == NULL"));
}

TEST_F(NorthArrow, ResizingKeepsItsProportions) {
  struct Row {
    int w, h, expectW, expectH;
  };
  const Row rows[] = {{2000, 3000, 2000, 2000}, {500, 800, 800, 800}, {2000, 500, 500, 500}};
  for (const Row& row : rows) {
    auto* a = New<CGIS_NorthArrowElement>();
    a->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(0, 1000, 1000, 0), 0);
    a->SetWidthAndHeight(row.w, row.h);
    EXPECT_EQ(a->GetRect(), SGIS_Rect(0, row.expectH, row.expectW, 0)) << row.w << " x " << row.h;
  }
  auto* a = New<CGIS_NorthArrowElement>();
  a->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(100, 1100, 1100, 100), 0);
  a->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 3.0);
  EXPECT_EQ(a->GetRect(), SGIS_Rect(200, 2300, 2200, 300));
  // Told either way, it keeps its proportions and its stored flag.
  a->SetHVScaleRatio(true);
  a->SetHVScaleRatio(false);
  EXPECT_TRUE(a->GetHVScaleRatio());
  ASSERT_TRUE(a->Archive(0, 0));
  EXPECT_FALSE(a->GetFeaturePtr()->GetAttributes()->GetBool("KeepHVScaleRatio"));
}

TEST_F(NorthArrow, StoredFormRoundTrips) {
  CGIS_MapElement* frame = NewFrame();
  Turn(frame, 30);
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetMapElementPtr(frame);
  a->SetCalibrationAngle(15);
  a->SetSymbolPtr(NewSymbol(GIS_SYMBOL_POINT7, 3311).get());
  a->SetLock(false);
  a->SetName("北");
  ASSERT_TRUE(a->Archive(0, 0));
  PropertySetPtr set = CustomOf(a);
  EXPECT_EQ(set->GetProperty("MapElementID")->GetInt(), frame->GetID());
  EXPECT_DOUBLE_EQ(set->GetProperty("CalibrationAngle")->GetDouble(), 15);
  EXPECT_DOUBLE_EQ(set->GetProperty("Angle")->GetDouble(), 30);

  auto* back = Bound<CGIS_NorthArrowElement>(a);
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ(back->GetMapElementPtr(), frame);
  EXPECT_DOUBLE_EQ(back->GetCalibrationAngle(), 15);
  EXPECT_DOUBLE_EQ(back->GetSymbolPtr()->GetAngle(), 45);
  EXPECT_EQ(back->GetSymbolPtr()->GetStyleCode(), 3311);
  EXPECT_EQ(back->GetRect(), a->GetRect());
  EXPECT_FALSE(back->IsLock());
  EXPECT_STREQ(back->GetName(), "北");
  // The read arrow follows the frame too.
  Turn(frame, -90);
  EXPECT_DOUBLE_EQ(back->GetSymbolPtr()->GetAngle(), -75);
}

TEST_F(NorthArrow, StoredIdOfAnotherKindIsNotFollowed) {
  auto* a = New<CGIS_NorthArrowElement>();
  auto* other = New<CGIS_NorthArrowElement>();
  ASSERT_TRUE(a->Archive(0, 0));
  PropertySetPtr set = CustomOf(a);
  set->GetProperty("MapElementID")->SetInt(other->GetID());
  md::basilo::ReleasePtr<IGIS_DataBuffer> b(GIS_CreateDataBufferObject(0));
  set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0);
  a->GetFeaturePtr()->GetAttributes()->SetDataBuffer("Custom", b.get(), 0);
  ASSERT_TRUE(a->Archive(1, 0));
  EXPECT_EQ(a->GetMapElementPtr(), nullptr);
}

TEST_F(NorthArrow, ConvertsIntoAPointElement) {
  auto* a = New<CGIS_NorthArrowElement>();
  a->SetFramePropertyPtr(nullptr);
  a->SetCalibrationAngle(20);
  IGIS_Element* e = a->ConvertToElement();
  ASSERT_NE(e, nullptr);
  owned_.push_back(e);
  auto* point = dynamic_cast<IGIS_PointElement*>(e);
  ASSERT_NE(point, nullptr);
  EXPECT_DOUBLE_EQ(point->GetSymbolPtr()->GetAngle(), 20);
  EXPECT_EQ(point->GetRect(), a->GetRect());
}

TEST_F(NorthArrow, CancelledSheetLeavesTheStoredFormAsItWas) {
  auto* a = New<CGIS_NorthArrowElement>();
  ASSERT_TRUE(a->Archive(0, 0));
  const std::vector<unsigned char> before = CustomBytes(a);
  const SGIS_Rect rect = a->GetRect();
  a->SetLock(true);
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW,
                                    [](IGIS_Element* p, IGIS_Display*, const char*) {
                                      auto* arrow = dynamic_cast<CGIS_NorthArrowElement*>(p);
                                      arrow->SetCalibrationAngle(33);
                                      arrow->SetWidthAndHeight(900, 900);
                                      arrow->SetSymbolPtr(NewSymbol(GIS_SYMBOL_POINT, 3312).get());
                                      arrow->SetLock(false);
                                      arrow->GetFramePropertyPtr()->SetBorderX(77);
                                      return false;
                                    });
  EXPECT_FALSE(a->OnOpenPropertyDlg(nullptr, TRUE));
  md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW, nullptr);
  ASSERT_TRUE(a->Archive(0, 0));
  EXPECT_EQ(CustomBytes(a), before);
  EXPECT_EQ(a->GetRect(), rect);
  EXPECT_TRUE(a->IsLock());
}

}  // namespace
}  // namespace md::test
