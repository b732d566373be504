// Clipping device geometry to the drawn box: a shape wholly inside it (edges
// included) comes back as it is, which is what lets a map draw it unclipped.
#include <gtest/gtest.h>

#include <vector>

#include "host/helmora/gis_mapclip.h"

namespace {

using md::helmora::detail::AllInside;
using md::helmora::detail::ClipBox;
using md::helmora::detail::ClipPolyline;
using md::helmora::detail::ClipRing;

bool SameXY(const std::vector<SGIS_DPoint>& a, const std::vector<SGIS_DPoint>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
  return true;
}

TEST(MapClip, ShapesWhollyInsideComeBackAsTheyAre) {
  const ClipBox box = md::helmora::detail::MakeClipBox(0.0, 0.0, 100.0, 50.0, 0.5);
  const struct {
    const char* what;
    std::vector<SGIS_DPoint> points;
    bool inside;
  } rows[] = {
      {"inside", {{10, 10}, {20.3, 30.7}, {90.1, 0.2}, {10, 10}}, true},
      {"on the edges", {{-0.5, -0.5}, {100.5, -0.5}, {100.5, 50.5}, {-0.5, 50.5}}, true},
      {"fractions near an edge", {{0.1, 0.3}, {100.4999, 0.7}, {33.3333, 50.4999}}, true},
      {"one point beyond", {{10, 10}, {20, 20}, {100.6, 30}, {10, 40}}, false},
      {"wholly outside", {{-10, -10}, {-20, -5}, {-30, -8}}, false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(AllInside(r.points, box), r.inside) << r.what;
    std::vector<std::vector<SGIS_DPoint>> pieces;
    ClipPolyline(r.points, box, &pieces);
    const bool lineKept = pieces.size() == 1 && SameXY(pieces[0], r.points);
    EXPECT_EQ(lineKept, r.inside) << r.what;
    std::vector<SGIS_DPoint> open = r.points;
    if (open.front().x == open.back().x && open.front().y == open.back().y) open.pop_back();
    EXPECT_EQ(SameXY(ClipRing(r.points, box), open), r.inside) << r.what;
  }
}

}  // namespace
