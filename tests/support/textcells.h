// The cells of drawn characters and whether they meet a stroke or each
// other: the four corners of a recorded text run's cell on the device, and
// a separating-axes test of two convex outlines (a segment is an outline of
// two points).
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "platform/canvas/canvas.h"

namespace md::test {

// The four corners of a drawn character's cell on the device.
inline std::vector<SGIS_DPoint> Cell(const md::canvas::TextRun& run) {
  double w = 0;
  for (double a : run.advances) w += a;
  const double t = run.angle * 3.14159265358979 / 180.0;
  const double ux = std::cos(t), uy = -std::sin(t);   // along the baseline
  const double vx = -std::sin(t), vy = -std::cos(t);  // up the glyph
  const double a = run.font.ascent, d = run.font.descent;
  const double ox = run.origin.x, oy = run.origin.y;
  return {
      SGIS_DPoint(ox - vx * d, oy - vy * d, 0), SGIS_DPoint(ox + ux * w - vx * d, oy + uy * w - vy * d, 0),
      SGIS_DPoint(ox + ux * w + vx * a, oy + uy * w + vy * a, 0), SGIS_DPoint(ox + vx * a, oy + vy * a, 0)};
}

// Whether two convex polygons overlap by more than a hair (separating axes).
inline bool Overlap(const std::vector<SGIS_DPoint>& p, const std::vector<SGIS_DPoint>& q) {
  for (const auto* poly : {&p, &q}) {
    for (std::size_t i = 0; i < poly->size(); ++i) {
      const SGIS_DPoint& a = (*poly)[i];
      const SGIS_DPoint& b = (*poly)[(i + 1) % poly->size()];
      const double nx = a.y - b.y, ny = b.x - a.x;
      double pmin = 1e300, pmax = -1e300, qmin = 1e300, qmax = -1e300;
      for (const auto& v : p)
        pmin = std::min(pmin, v.x * nx + v.y * ny), pmax = std::max(pmax, v.x * nx + v.y * ny);
      for (const auto& v : q)
        qmin = std::min(qmin, v.x * nx + v.y * ny), qmax = std::max(qmax, v.x * nx + v.y * ny);
      const double len = std::hypot(nx, ny);
      if (len > 0 && (pmax - qmin < 0.5 * len || qmax - pmin < 0.5 * len)) return false;
    }
  }
  return true;
}

}  // namespace md::test
