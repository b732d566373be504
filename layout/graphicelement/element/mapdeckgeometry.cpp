// Rotations, rectangle tests and hit tests in page coordinates.
#include "layout/graphicelement/element/mapdeckgeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The value of pi the stored geometry of rotated elements was made with.
constexpr double kPi = 3.14159265359;

}  // namespace

void RotatePoint(double cx, double cy, double px, double py, double* pOutX, double* pOutY, double dAngle) {
  const double a = dAngle * kPi / 180.0;
  const double dx = px - cx;
  const double e = cy - py;
  const double c = std::cos(a);
  const double s = std::sin(a);
  if (pOutX != nullptr) *pOutX = cx + dx * c - e * s;
  if (pOutY != nullptr) *pOutY = cy - (e * c + dx * s);
}

SGIS_DRect GetRotatedRectBound(SGIS_DRect rect, double dAngle) {
  const double cx = (rect.x1 + rect.x2) / 2.0;
  const double cy = (rect.y1 + rect.y2) / 2.0;
  const double corners[4][2] = {
      {rect.x1, rect.y1}, {rect.x2, rect.y1}, {rect.x1, rect.y2}, {rect.x2, rect.y2}};
  // Start from the given rectangle, normalised, so that the result always
  // holds the unrotated rectangle too.
  SGIS_DRect out = rect;
  out.Normalize();
  for (const auto& corner : corners) {
    double x = 0.0;
    double y = 0.0;
    RotatePoint(cx, cy, corner[0], corner[1], &x, &y, dAngle);
    out.x1 = std::min(out.x1, x);
    out.x2 = std::max(out.x2, x);
    out.y1 = std::max(out.y1, y);
    out.y2 = std::min(out.y2, y);
  }
  return out;
}

SGIS_DRect IntersectDRect(const SGIS_DRect& a, const SGIS_DRect& b) {
  SGIS_DRect out;
  out.Intersect(&a, &b);
  return out;
}

bool IsInDRect(const SGIS_DRect& rect, double x, double y) { return rect.Contains(x, y); }

int HitTestRectEdge(const SGIS_Rect& rect, int x, int y, int nTolerance) {
  return rect.HitTest(x, y, nTolerance);
}
