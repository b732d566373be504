// Rotations, rectangle tests and the classification tables.
#include "layout/graphicelement/element/mapdeckfunction.h"

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

bool IsScaleBarType(const char* szType) {
  if (szType == nullptr) return false;
  static const char* const kTypes[] = {
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE"};
  for (const char* t : kTypes) {
    if (std::strcmp(t, szType) == 0) return true;
  }
  return false;
}

int GetLegendSymbolCategory(int nCode) {
  switch (nCode) {
    case 0:
      return 0;
    case 20:
    case 21:
    case 22:
      return 1;
    case 5:
    case 6:
    case 7:
    case 25:
      return 2;
    case 8:
    case 9:
    case 10:
    case 23:
      return 3;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
      return 4;
    case 19:
    case 24:
      return 19;
    default:
      return -1;
  }
}
