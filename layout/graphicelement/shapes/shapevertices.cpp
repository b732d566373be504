// Moving and scaling the vertices of a vertex shape.
#include "layout/graphicelement/shapes/shapevertices.h"

#include <algorithm>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/shapes/shapebox.h"

namespace md::layout::shapes {

namespace {

// The indexes a vertex operation writes: every vertex, or in a closed ring
// every one but a last that repeats the first. That last vertex is set to the
// new first afterwards (SyncClosingPoint), so the ring stays closed whatever
// the geometry does with its points.
int MovableCount(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int n) {
  if (rules.bClosedRing && n >= 2 && pGeometry->GetPoint(n - 1, 0) == pGeometry->GetPoint(0, 0)) return n - 1;
  return n;
}

void SyncClosingPoint(IGIS_Geometry* pGeometry, int n, int nMovable) {
  if (nMovable == n - 1 && n >= 2) pGeometry->SetPoint(n - 1, pGeometry->GetPoint(0, 0), 0);
}

}  // namespace

IGIS_Geometry* UsableVertices(IGIS_Feature* pFeature, int nMin) {
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr || pGeometry->GetPointCount() < nMin) return nullptr;
  return pGeometry;
}

void OffsetVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int dx, int dy) {
  const int n = pGeometry->GetPointCount();
  const int movable = MovableCount(pGeometry, rules, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = AddClamped(p.x, dx);
    p.y = AddClamped(p.y, dy);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
}

void ScaleVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, SGIS_Rect bound,
                   SGIS_Point origin, double sx, double sy, bool bKeepRatio) {
  const double left =
      static_cast<double>(Nearest((static_cast<double>(bound.left) - origin.x) * sx)) + origin.x;
  const double bottom =
      static_cast<double>(Nearest((static_cast<double>(bound.bottom) - origin.y) * sy)) + origin.y;
  if (bKeepRatio) sx = sy = std::min(sx, sy);
  const int n = pGeometry->GetPointCount();
  const int movable = MovableCount(pGeometry, rules, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = Nearest((static_cast<double>(p.x) - bound.left) * sx + left);
    p.y = Nearest((static_cast<double>(p.y) - bound.bottom) * sy + bottom);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
}

}  // namespace md::layout::shapes
