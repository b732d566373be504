// Where drawn text stands, for the tests of what draws it.
#pragma once

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

}  // namespace md::test
