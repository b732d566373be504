// The map sheet's own three grids, drawn on the recording canvas with
// fixed-metrics text: the kilometre lines where the map bound (checked
// against PROJ's cs2cs on EPSG:4548) puts them, their numbers in the gap
// between the frame and the band, the minute marks where sferon puts the
// minute meridians and parallels on the frame, the corner coordinates
// beside the corners; and the grid list stored, read back and stored again.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/recording.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/mapsheetgrids.h"
#include "tools/demo/pagedraw.h"

namespace {

using md::basilo::ReleasePtr;
using md::demo::kSheetBorderOffset;
using md::demo::kSheetBorderWidth;

// Printed at 254 dpi a pixel is 0.1 mm: ten page units.
constexpr int kDpi = 254;
constexpr double kUnitsPerPixel = 10.0;
// What one device pixel of rounding may move a drawn point, page units.
constexpr double kPixel = 10.0;
constexpr double kBandOut = kSheetBorderOffset + kSheetBorderWidth;
constexpr double kMarkFrom = kSheetBorderOffset - 100;  // where the minute marks begin

enum Side { kBottom, kTop, kLeft, kRight };
const char* const kSideNames[] = {"bottom", "top", "left", "right"};

struct Text {
  std::string text;
  double x, y;  // the baseline's start, page units
  double left, bottom, right, top;
};

struct Segment {
  SGIS_DPoint a, b;
};

// The sheet, its frame in page units and the map bound it shows, and what
// the frame draws, in page units (y up).
class SheetOwnGrids : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(doc_.ok());
    page_ = md::demo::BuildMapSheetPage(doc_, nullptr);
    ASSERT_NE(page_, nullptr);
    frame_ = md::test::FrameOf(*page_);
    ASSERT_NE(frame_, nullptr);
    const SGIS_Rect r = frame_->GetRect();
    left_ = std::min(r.left, r.right), right_ = std::max(r.left, r.right);
    bottom_ = std::min(r.top, r.bottom), top_ = std::max(r.top, r.bottom);
    SGIS_DRect b;
    ASSERT_NE(frame_->GetMapBound(&b), nullptr);
    x1_ = std::min(b.x1, b.x2), x2_ = std::max(b.x1, b.x2);
    y1_ = std::min(b.y1, b.y2), y2_ = std::max(b.y1, b.y2);

    md::canvas::RecordingCanvas rec(md::demo::kSheetPaperWidth / 10, md::demo::kSheetPaperHeight / 10);
    std::string error;
    ASSERT_TRUE(md::demo::PrintElements(*page_, {frame_}, &rec, kDpi, nullptr, &error)) << error;
    const auto toPage = [](md::canvas::Point p) {
      return SGIS_DPoint(p.x * kUnitsPerPixel, md::demo::kSheetPaperHeight - p.y * kUnitsPerPixel);
    };
    for (const md::canvas::Record* s : rec.recordsOf(md::canvas::Record::Type::Shape)) {
      if (s->pen.color != md::demo::kSheetGridColor) continue;
      const std::vector<md::canvas::Point> p = s->Points();
      // Straight strokes only: every point on the line through the ends.
      if (p.size() < 2) continue;
      const bool vertical =
          std::all_of(p.begin(), p.end(), [&](auto q) { return std::fabs(q.x - p[0].x) < 0.5; });
      const bool level =
          std::all_of(p.begin(), p.end(), [&](auto q) { return std::fabs(q.y - p[0].y) < 0.5; });
      if (vertical || level) strokes_.push_back({toPage(p.front()), toPage(p.back())});
    }
    for (const md::canvas::Record* t : rec.recordsOf(md::canvas::Record::Type::Text)) {
      double width = 0;
      for (double a : t->text.advances) width += a;
      const SGIS_DPoint o = toPage(t->text.origin);
      const double em = t->text.font.emHeight * kUnitsPerPixel;
      // The fixed engine's ascent and descent: 0.8 and 0.2 em.
      texts_.push_back(
          {t->text.text, o.x, o.y, o.x, o.y - 0.2 * em, o.x + width * kUnitsPerPixel, o.y + 0.8 * em});
    }
  }

  // Page position of a map easting or northing.
  double PageX(double e) const { return (e - x1_) / md::demo::kSheetScale + left_; }
  double PageY(double n) const { return (n - y1_) / md::demo::kSheetScale + bottom_; }

  // Strokes running the frame's whole width or height: the kilometre lines,
  // as their page x (vertical) or y (level), in order.
  std::vector<double> KilometreLines(bool vertical) const {
    std::vector<double> at;
    for (const Segment& s : strokes_) {
      const double along = vertical ? std::fabs(s.a.y - s.b.y) : std::fabs(s.a.x - s.b.x);
      const double across = vertical ? std::fabs(s.a.x - s.b.x) : std::fabs(s.a.y - s.b.y);
      if (across < kPixel && along > 0.9 * (vertical ? top_ - bottom_ : right_ - left_))
        at.push_back(vertical ? s.a.x : s.a.y);
    }
    std::sort(at.begin(), at.end());
    return at;
  }

  // The side of the frame a text outside it stands on.
  Side SideOf(const Text& t) const {
    if (t.left >= right_) return kRight;
    if (t.right <= left_) return kLeft;
    return t.y < bottom_ ? kBottom : kTop;
  }

  // How far the text stands outside the frame on that side.
  double Beyond(const Text& t, Side side) const {
    return side == kBottom ? bottom_ - t.top
           : side == kTop  ? t.bottom - top_
           : side == kLeft ? left_ - t.right
                           : t.left - right_;
  }

  // The texts outside the frame on one side, in order along it.
  std::vector<Text> TextsOn(Side side) const {
    std::vector<Text> out;
    for (const Text& t : texts_) {
      const bool inside = t.left > left_ && t.right < right_ && t.bottom > bottom_ && t.top < top_;
      if (!inside && SideOf(t) == side) out.push_back(t);
    }
    std::sort(out.begin(), out.end(), [side](const Text& a, const Text& b) {
      return side == kBottom || side == kTop ? a.x < b.x : a.y < b.y;
    });
    return out;
  }

  md::test::FixedText fixed_;
  md::demo::MapDocument doc_{md::demo::SampleMapsFolder()};
  std::unique_ptr<md::demo::Page> page_;
  IGIS_MapElement* frame_ = nullptr;
  double left_ = 0, right_ = 0, bottom_ = 0, top_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
  std::vector<Segment> strokes_;
  std::vector<Text> texts_;
};

bool IsDms(const std::string& s) { return s.find("°") != std::string::npos; }

// The list, as built and as stored with the sheet, read back into a fresh
// feature set and stored again byte for byte.
TEST_F(SheetOwnGrids, TheListHoldsTheKilometreGridInTheMapsReferenceFirstAndReadsBack) {
  auto loaded =
      md::test::ReloadedSheet(*page_, md::test::ScratchFolder("sheetowngrids"), doc_.LayoutLayer(), 3);
  ASSERT_NE(loaded, nullptr);
  const struct {
    const char* name;
    int kind;
  } rows[] = {{md::demo::kKilometreGridName, GIS_MAPGRID_MEASURE},
              {md::demo::kMinuteMarksName, GIS_MAPGRID_GRATICULE},
              {md::demo::kCornerCoordinatesName, GIS_MAPGRID_GRATICULE}};
  for (IGIS_MapElement* frame : {frame_, md::test::FrameOf(*loaded)}) {
    IGIS_MapGrids* grids = frame->GetMapGrids();
    ASSERT_EQ(grids->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_STREQ(grids->GetMapGrid(i)->GetName(), rows[i].name);
      EXPECT_EQ(grids->GetMapGrid(i)->GetType(), rows[i].kind);
    }
  }
  // A new measured grid's reference, 3° zone 39, is the sheet map's own.
  ReleasePtr<IGIS_MapGrid> fresh(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE));
  auto* measured = dynamic_cast<IGIS_MeasureGrid*>(fresh.get());
  ASSERT_NE(measured, nullptr);
  IGIS_SpatialReference* map = doc_.sheet()->GetSpatialReference();
  EXPECT_TRUE(md::demo::SameReference(measured->GetSpatialReference(), map));
  ReleasePtr<IGIS_SpatialReference> degrees(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  EXPECT_FALSE(md::demo::SameReference(degrees.get(), map));
  EXPECT_FALSE(md::demo::SameReference(nullptr, map));
}

// Every kilometre of easting and northing inside the frame, 2000 page units
// apart, where the bound puts it; three of them where cs2cs puts the sheet's
// corners (EPSG:4548: SW 414398.105 E, SE 4411292.692 N).
TEST_F(SheetOwnGrids, KilometreLinesLieEveryTwentyMillimetresWhereTheBoundPutsThem) {
  for (bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "eastings" : "northings");
    const double lo = vertical ? x1_ : y1_, hi = vertical ? x2_ : y2_;
    std::vector<double> want;
    for (double v = std::ceil(lo / 1000.0) * 1000.0; v <= hi; v += 1000.0)
      want.push_back(vertical ? PageX(v) : PageY(v));
    const std::vector<double> got = KilometreLines(vertical);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(got.size(), vertical ? 21u : 19u);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i], want[i], kPixel) << i;
      if (i > 0) {
        EXPECT_NEAR(got[i] - got[i - 1], 2000.0, 2 * kPixel) << i;
      }
    }
  }
  const struct {
    bool vertical;
    double value;  // metres
    double page;   // from cs2cs's corners
  } rows[] = {{true, 415000, (415000 - 414398.105) / 0.5 + md::demo::kSheetFrameLeft},
              {true, 435000, (435000 - 414398.105) / 0.5 + md::demo::kSheetFrameLeft},
              {false, 4420000, (4420000 - 4411292.692) / 0.5 + md::demo::kSheetFrameBottom}};
  for (const auto& r : rows) {
    const std::vector<double> got = KilometreLines(r.vertical);
    const bool found =
        std::any_of(got.begin(), got.end(), [&](double v) { return std::fabs(v - r.page) < kPixel; });
    EXPECT_TRUE(found) << r.value;
    EXPECT_NEAR(r.vertical ? PageX(r.value) : PageY(r.value), r.page, 2.0) << r.value;
  }
}

// Two-digit numbers along each side, full numbers (with the zone number on
// the bottom and top) at the first and last; none touches the frame or the
// band.
TEST_F(SheetOwnGrids, KilometreNumbersAreTwoDigitsAlongTheSidesAndFullAtTheirEnds) {
  const struct {
    Side side;
    const char* first;  // the full numbers' leading part
    int from, to;       // two-digit kilometres along the side
    const char* fullFirst;
    const char* fullLast;
    int zones;
  } rows[] = {{kBottom, "4", 15, 35, "415", "435", 2},
              {kTop, "4", 15, 35, "415", "435", 2},
              {kLeft, "44", 12, 30, "4412", "4430", 0},
              {kRight, "44", 12, 30, "4412", "4430", 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(kSideNames[r.side]);
    std::vector<Text> seconds, firsts;
    int zones = 0;
    for (const Text& t : TextsOn(r.side)) {
      if (IsDms(t.text)) continue;
      if (t.text == "39")
        ++zones;
      else if (t.text == r.first)
        firsts.push_back(t);
      else
        seconds.push_back(t);
      // Clear of the frame and of the band's inner edge by 0.2 mm.
      const double out = Beyond(t, r.side);
      const double depth = r.side == kBottom || r.side == kTop ? t.top - t.bottom : t.right - t.left;
      EXPECT_GE(out, 20.0) << t.text;
      EXPECT_LE(out + depth, kSheetBorderOffset - 20.0) << t.text;
    }
    EXPECT_EQ(zones, r.zones);
    ASSERT_EQ(seconds.size(), static_cast<std::size_t>(r.to - r.from + 1));
    for (int k = r.from; k <= r.to; ++k) EXPECT_EQ(seconds[k - r.from].text, std::to_string(k));
    // The leading parts stand just before the first and the last number.
    ASSERT_EQ(firsts.size(), 2u);
    for (int end = 0; end < 2; ++end) {
      const Text& lead = firsts[end];
      const Text& digits = end == 0 ? seconds.front() : seconds.back();
      EXPECT_NEAR(lead.right, digits.left, 30.0);
      EXPECT_EQ(lead.text + digits.text, end == 0 ? r.fullFirst : r.fullLast);
    }
  }
}

// Where a minute meridian meets a horizontal edge, or a minute parallel a
// vertical edge: bisection on the line through sferon, as a page position
// along the edge.
class MinuteCrossings {
 public:
  explicit MinuteCrossings(IGIS_SpatialReference* map) {
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    degrees_.reset(f->CreateSpatialReference(1));
    toMap_.reset(f->CreateCoordTransform("", "", degrees_.get(), map));
  }
  // The easting where the meridian reaches the northing.
  double Easting(double lon, double northing) const { return Solve(lon, northing, true); }
  // The northing where the parallel reaches the easting.
  double Northing(double lat, double easting) const { return Solve(lat, easting, false); }

 private:
  double Solve(double fixed, double target, bool meridian) const {
    double lo = meridian ? 39.5 : 115.5, hi = meridian ? 40.5 : 116.5;
    SGIS_DPoint p;
    for (int k = 0; k < 60; ++k) {
      const double mid = (lo + hi) / 2;
      p = meridian ? SGIS_DPoint(fixed, mid) : SGIS_DPoint(mid, fixed);
      toMap_->TransformPoint(1, &p, 1);
      ((meridian ? p.y : p.x) < target ? lo : hi) = mid;
    }
    return meridian ? p.x : p.y;
  }
  ReleasePtr<IGIS_SpatialReference> degrees_;
  ReleasePtr<IGIS_CoordTransform> toMap_;
};

// A mark at every minute where its line meets the frame, from 1 mm short of
// the band to its outer edge. The sheet's corners lie on one edge each
// (the frame is the sheet's Gauss-Krüger bound), so a corner's other line
// enters through the neighbouring side and gets no mark there: 15 marks on
// the bottom and top, 10 on the left and right.
TEST_F(SheetOwnGrids, MinuteMarksStandWhereSferonPutsTheMinutesAndCrossTheBand) {
  const MinuteCrossings crossings(doc_.sheet()->GetSpatialReference());
  const struct {
    Side side;
    int from, to;  // minutes east of 116° (bottom, top) or north of 39° (left, right)
  } rows[] = {{kBottom, 1, 15}, {kTop, 0, 14}, {kLeft, 50, 59}, {kRight, 51, 60}};
  for (const auto& r : rows) {
    SCOPED_TRACE(kSideNames[r.side]);
    const bool level = r.side == kBottom || r.side == kTop;
    const double edge = r.side == kBottom ? bottom_
                        : r.side == kTop  ? top_
                        : r.side == kLeft ? left_
                                          : right_;
    const double outward = r.side == kBottom || r.side == kLeft ? -1.0 : 1.0;
    std::vector<double> marks;  // along the edge
    for (const Segment& s : strokes_) {
      const double a = level ? s.a.y : s.a.x, b = level ? s.b.y : s.b.x;
      const double near = std::fabs(a - edge) < std::fabs(b - edge) ? a : b, far = near == a ? b : a;
      if (std::fabs(near - (edge + outward * kMarkFrom)) > kPixel ||
          std::fabs(far - (edge + outward * kBandOut)) > kPixel)
        continue;
      marks.push_back(level ? s.a.x : s.a.y);
    }
    std::sort(marks.begin(), marks.end());
    ASSERT_EQ(marks.size(), static_cast<std::size_t>(r.to - r.from + 1));
    for (int m = r.from; m <= r.to; ++m) {
      const double want = level ? PageX(crossings.Easting(116.0 + m / 60.0, r.side == kBottom ? y1_ : y2_))
                                : PageY(crossings.Northing(39.0 + m / 60.0, r.side == kLeft ? x1_ : x2_));
      EXPECT_NEAR(marks[m - r.from], want, kPixel) << m << "′";
    }
  }
}

// No minute mark (a stroke wholly beyond the frame) crosses a number beside it.
TEST_F(SheetOwnGrids, NoMinuteMarkCrossesANumber) {
  std::vector<std::string> crossed;
  for (const Segment& s : strokes_) {
    const double x1 = std::min(s.a.x, s.b.x), x2 = std::max(s.a.x, s.b.x);
    const double y1 = std::min(s.a.y, s.b.y), y2 = std::max(s.a.y, s.b.y);
    if (y1 < top_ - kPixel && y2 > bottom_ + kPixel && x1 < right_ - kPixel && x2 > left_ + kPixel) continue;
    for (const Side side : {kBottom, kTop, kLeft, kRight})
      for (const Text& t : TextsOn(side))
        if (x1 < t.right && x2 > t.left && y1 < t.top && y2 > t.bottom) crossed.push_back(t.text);
  }
  EXPECT_EQ(crossed, std::vector<std::string>{});
}

// The corner coordinates stand beyond the band, a few millimetres from the
// band's corners. Of the eight, four cannot be placed: each sheet corner
// lies on one edge of the frame, and a line is written only on the side
// where it first (bottom, left) or last (top, right) crosses the frame.
TEST_F(SheetOwnGrids, CornerCoordinatesStandBesideTheirCorners) {
  const struct {
    const char* text;
    Side side;
    bool atStart;  // the corner at the side's start (left or bottom end)
    bool placed;
  } rows[] = {{"116°00′", kTop, true, true},     {"116°15′", kBottom, false, true},
              {"39°50′", kLeft, true, true},     {"40°00′", kRight, false, true},
              {"116°00′", kBottom, true, false}, {"116°15′", kTop, false, false},
              {"39°50′", kRight, true, false},   {"40°00′", kLeft, false, false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.text) + " " + kSideNames[r.side]);
    std::vector<Text> found;
    for (const Text& t : TextsOn(r.side))
      if (t.text == r.text) found.push_back(t);
    ASSERT_EQ(found.size(), r.placed ? 1u : 0u);
    if (!r.placed) continue;
    const Text& t = found.front();
    const bool level = r.side == kBottom || r.side == kTop;
    // Beyond the band's outer edge.
    const double out = Beyond(t, r.side);
    EXPECT_GE(out, kBandOut);
    EXPECT_LE(out, kBandOut + 300);
    // Its middle along the side within 6 mm of the frame's corner.
    const double middle = level ? (t.left + t.right) / 2 : (t.bottom + t.top) / 2;
    const double corner = level ? (r.atStart ? left_ : right_) : (r.atStart ? bottom_ : top_);
    EXPECT_LE(std::fabs(middle - corner), 600.0);
  }
}

}  // namespace
