// The mixed-font label's parts as plain functions: splitting, the position
// rule, the zone number and where a label's parts stand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/label/mixedlabelparts.h"

namespace md::test {
namespace {

using md::layout::label::LabelSide;
using md::layout::label::MixedLabel;
using md::layout::label::MixedPartAnchors;
using md::layout::label::MixedPartSizes;

TEST(MixedLabelParts, SplitsByCountOrAtTheDecimalPoint) {
  const struct {
    const char* text;
    bool byCount;
    int digits;
    const char* first;
    const char* second;
  } rows[] = {
      {"3456", true, 2, "34", "56"},
      {"56", true, 2, "0", "56"},
      {"4", true, 2, "0", "4"},
      {"3456", true, 0, "3456", ""},
      {"3456", true, -3, "3456", ""},  // a negative count splits as 0
      {"3456", true, 10, "0", "3456"},
      {"-3456", true, 2, "-34", "56"},
      {"1,234", true, 3, "1,", "234"},
      {"12°34", true, 2, "12°", "34"},  // characters, not bytes
      {"12°", true, 1, "12", "°"},
      {"345.78", false, 2, "345", ".78"},  // the point stays with the second
                                           // part
      {"3456", false, 2, "3456", ""},
      {".5", false, 2, ".5", ""},
      {"1.2.3", false, 2, "1", ".2.3"},
  };
  for (const auto& r : rows) {
    std::string first = "x", second = "y";
    md::layout::label::SplitLabelText(r.text, r.byCount, r.digits, &first, &second);
    EXPECT_EQ(first, r.first) << r.text << " " << r.digits;
    EXPECT_EQ(second, r.second) << r.text << " " << r.digits;
  }
}

// The indices of the labels that keep their first part.
std::vector<int> Kept(std::vector<std::string> firsts, int position) {
  std::vector<MixedLabel> labels;
  for (const std::string& f : firsts) labels.push_back({SGIS_DPoint(), f, "00"});
  md::layout::label::BlankFirstParts(&labels, position);
  std::vector<int> kept;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i].second, "00");  // never touched
    if (!labels[i].first.empty()) kept.push_back(static_cast<int>(i));
  }
  return kept;
}

TEST(MixedLabelParts, ThePositionRuleBlanksFirstParts) {
  const struct {
    int position;
    std::vector<std::string> firsts;
    std::vector<int> kept;
  } rows[] = {
      {1, {"34", "34", "35", "35", "35"}, {0, 4}},
      {2, {"34", "34", "35", "35", "35"}, {0, 2}},
      {3, {"34", "34", "35", "35", "35"}, {0, 2, 4}},
      {3, {"34", "34", "34"}, {0, 2}},
      {2, {"34", "34", "34"}, {0}},
      {0, {"34", "34", "34"}, {0, 1, 2}},
      {7, {"34", "34", "34"}, {0, 1, 2}},  // a stored value outside the rule blanks nothing
      {-1, {"34", "34", "34"}, {0, 1, 2}},
      {1, {"34"}, {0}},
      {3, {"34"}, {0}},
      {2, {"34", "35", "34"}, {0, 1, 2}},  // compared with the last one kept
  };
  for (const auto& r : rows) EXPECT_EQ(Kept(r.firsts, r.position), r.kept) << "position " << r.position;
}

TEST(MixedLabelParts, TheZoneNumberComesFromTheProjectionsOwnParameters) {
  const struct {
    double meridian, width, number;
    int zone;
  } rows[] = {
      {117, 6, 0, 20},  {3, 6, 0, 1},        {-3, 6, 0, 60},   {-177, 6, 0, 31},  // the stated 6-degree zones
      {0.5, 6, 0, 1},   {-0.5, 6, 0, 60},    {180, 6, 0, 31},  {537, 6, 0, 30},   // never outside 1 to 60
      {117, 3, 0, 39},  // the demo sheet's 3-degree zone
      {114, 3, 0, 38},  {-3, 3, 0, 119},     {0, 3, 0, 120},   {117, 3, 39, 39},
      {117, 6, 20, 20}, {117, 6, 1200, 0},   {0, 0, 0, 1},      // no zone width: 6-degree zones
      {NAN, 3, 0, 0},   {INFINITY, 6, 0, 0}, {NAN, 3, 39, 39},  // a zone number needs no meridian
  };
  for (const auto& r : rows) {
    EXPECT_EQ(md::layout::label::ZoneNumber(r.meridian, r.width, r.number), r.zone)
        << r.meridian << " " << r.width << " " << r.number;
  }
  // Through the projection of the references sferon makes.
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  const struct {
    int width, zone;
    BOOL prefix;
  } refs[] = {{3, 39, FALSE}, {3, 39, TRUE}, {6, 20, FALSE}, {6, 18, TRUE}};
  for (const auto& r : refs) {
    md::basilo::ReleasePtr<IGIS_SpatialReference> gk(
        f->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, r.width, r.zone, r.prefix));
    IGIS_Projection* p = gk->GetProjectedCoordSys()->GetProjection();
    EXPECT_TRUE(md::layout::label::ProjectionHasZones(p));
    EXPECT_EQ(md::layout::label::ZoneNumberOf(p), r.zone) << r.width << " " << r.zone;
  }
  md::basilo::ReleasePtr<IGIS_SpatialReference> demo(f->CreateSpatialReference(3));
  EXPECT_EQ(md::layout::label::ZoneNumberOf(demo->GetProjectedCoordSys()->GetProjection()), 39);
  EXPECT_FALSE(md::layout::label::ProjectionHasZones(nullptr));
  EXPECT_EQ(md::layout::label::ZoneNumberOf(nullptr), 0);
}

// The turned box of a level box w x h whose lower-left corner is the anchor:
// x from anchor.x - h to anchor.x, y from anchor.y to anchor.y + w.
struct Box {
  double left, right, bottom, top;
};
Box LevelBox(SGIS_DPoint a, double w, double h) { return {a.x, a.x + w, a.y, a.y + h}; }
Box TurnedBox(SGIS_DPoint a, double w, double h) { return {a.x - h, a.x, a.y, a.y + w}; }
bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right - 1e-9 && b.left < a.right - 1e-9 && a.bottom < b.top - 1e-9 &&
         b.bottom < a.top - 1e-9;
}

TEST(MixedLabelParts, PlacesThePartsBesideEachOtherOnTheirSide) {
  // First part 2 units wide, second 3 (taller), zone 1.5; heights 1, 2, 1.2.
  MixedPartSizes s;
  s.dFirstWidth = 200;
  s.dSecondWidth = 300;
  s.dZoneWidth = 150;
  s.dFirstHeight = 100;
  s.dSecondHeight = 200;
  s.dZoneHeight = 120;
  const SGIS_DPoint p(1000, 1000);
  const struct {
    LabelSide side;
    bool turned;
    // Expected lower-left corners.
    SGIS_DPoint first, second, zone;
  } rows[] = {
      {LabelSide::Bottom, false, {800, 800}, {1000, 800}, {650, 880}},
      {LabelSide::Top, false, {800, 1000}, {1000, 1000}, {650, 1080}},
      {LabelSide::Left, false, {500, 1100}, {700, 1000}, p},
      {LabelSide::Right, false, {1000, 1100}, {1200, 1000}, p},
      {LabelSide::Bottom, true, {1100, 500}, {1100, 700}, {1100, 350}},
      {LabelSide::Top, true, {1100, 1150}, {1100, 1350}, {1100, 1000}},
      {LabelSide::Left, true, {1000, 800}, {1000, 1000}, p},
      {LabelSide::Right, true, {1200, 800}, {1200, 1000}, p},
  };
  for (const auto& r : rows) {
    const MixedPartAnchors a = md::layout::label::PlaceMixedParts(r.side, r.turned, p, s);
    const std::string what = std::to_string(static_cast<int>(r.side)) + (r.turned ? " turned" : " level");
    for (const auto& [got, want] : {std::pair{a.first, r.first}, {a.second, r.second}, {a.zone, r.zone}}) {
      EXPECT_DOUBLE_EQ(got.x, want.x) << what;
      EXPECT_DOUBLE_EQ(got.y, want.y) << what;
    }
    // The parts never cover each other, and stand on the side's outer side
    // of the point.
    const auto box = r.turned ? TurnedBox : LevelBox;
    const Box f = box(a.first, s.dFirstWidth, s.dFirstHeight);
    const Box sec = box(a.second, s.dSecondWidth, s.dSecondHeight);
    EXPECT_FALSE(Overlap(f, sec)) << what;
    if (md::layout::label::LabelsVerticalLines(r.side)) {
      const Box z = box(a.zone, s.dZoneWidth, s.dZoneHeight);
      EXPECT_FALSE(Overlap(z, f) || Overlap(z, sec)) << what;
    }
    for (const Box& b : {f, sec}) {
      switch (r.side) {
        case LabelSide::Bottom:
          EXPECT_LE(b.top, p.y + 1e-9) << what;
          break;
        case LabelSide::Top:
          EXPECT_GE(b.bottom, p.y - 1e-9) << what;
          break;
        case LabelSide::Left:
          EXPECT_LE(b.right, p.x + 1e-9) << what;
          break;
        case LabelSide::Right:
          EXPECT_GE(b.left, p.x - 1e-9) << what;
          break;
      }
    }
  }
}

}  // namespace
}  // namespace md::test
