// Clipping of device-space geometry to an axis-aligned rectangle, before it
// is rounded to integer points for the renderer.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"

namespace md::helmora::detail {

struct ClipBox {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool Contains(double x, double y) const { return x >= minX && x <= maxX && y >= minY && y <= maxY; }
  bool Empty() const { return !(minX < maxX && minY < maxY); }
};

// Whether every point lies in the box, edges included: then ClipPolyline
// gives the line back as one piece and ClipRing the ring as it is.
bool AllInside(const std::vector<SGIS_DPoint>& points, const ClipBox& box);

// The box of a rectangle whatever the order of its corners, grown by margin.
ClipBox MakeClipBox(double x1, double y1, double x2, double y2, double margin);

// The pieces of a polyline inside the box (each of two points at least),
// appended to pieces. Segments along the box edges count as inside.
void ClipPolyline(const std::vector<SGIS_DPoint>& line, const ClipBox& box,
                  std::vector<std::vector<SGIS_DPoint>>* pieces);

// The part of a ring inside the box, as one ring (open: its last point is
// not repeated); empty when nothing or less than a triangle is left.
std::vector<SGIS_DPoint> ClipRing(const std::vector<SGIS_DPoint>& ring, const ClipBox& box);

}  // namespace md::helmora::detail
