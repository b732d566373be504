// Geometry of symbols in device space, shared by the renderer and the
// painter: point styles placed at an anchor (scaled and turned) and dash
// patterns cut out of polylines. Device space is y down.
#pragma once

#include <functional>
#include <vector>

#include "host/glyphor/gis_symbolstyles.h"

namespace md::glyphor {

using md::glyphor::XY;

struct PlacedOp {
  md::glyphor::PointOp::Type type = md::glyphor::PointOp::Polygon;
  std::vector<XY> pts;  // device
  XY center;            // device (circles)
  double radius = 0;    // device pixels (circles)
  bool fill = false;
  COLORREF fillColor = 0;
  bool stroke = false;
  COLORREF strokeColor = 0;
  double strokeWidth = 0;  // device pixels
};

// The colour of a slot (1..3) for a point symbol of kind 5, 6 or 7.
COLORREF SlotColor(int kind, int slot, const COLORREF colors[3]);

// Places a point style: its box drawn `sizeUnits` high at `pixelsPerUnit`,
// centred on `anchor`, turned counter-clockwise by `angleDeg` as seen on the
// device.
std::vector<PlacedOp> PlacePoint(const md::glyphor::Style& style, int kind, const COLORREF colors[3],
                                 double sizeUnits, double angleDeg, XY anchor, double pixelsPerUnit);

// Cuts a polyline into the "on" pieces of a dash pattern (lengths in device
// pixels, on/off pairs). An empty or all-zero pattern gives the whole line.
std::vector<std::vector<XY>> Dash(const std::vector<XY>& line, const std::vector<double>& pattern);
// The same pieces handed one at a time, in order (each valid during the call).
void ForEachDash(const std::vector<XY>& line, const std::vector<double>& pattern,
                 const std::function<void(const std::vector<XY>&)>& piece);

}  // namespace md::glyphor
