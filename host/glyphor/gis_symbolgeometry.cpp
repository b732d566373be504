#include "host/glyphor/gis_symbolgeometry.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "host/glyphor/igis_symbol.h"

namespace md::glyphor {

COLORREF SlotColor(int kind, int slot, const COLORREF colors[3]) {
  if (kind == GIS_SYMBOL_POINT5 || slot < 1 || slot > 3) return colors[0];
  if (kind == GIS_SYMBOL_POINT && slot == 3) return colors[0];
  return colors[slot - 1];
}

std::vector<PlacedOp> PlacePoint(const md::glyphor::Style& style, int kind, const COLORREF colors[3],
                                 double sizeUnits, double angleDeg, XY anchor, double pixelsPerUnit) {
  std::vector<PlacedOp> out;
  if (style.height <= 0 || !(sizeUnits > 0) || !(pixelsPerUnit > 0) || !std::isfinite(angleDeg)) return out;
  const double k = sizeUnits / style.height * pixelsPerUnit;
  const double a = angleDeg * 3.14159265358979323846 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  auto place = [&](XY p) {
    return XY{anchor.x + k * (p.x * c - p.y * s), anchor.y - k * (p.x * s + p.y * c)};
  };
  for (const auto& op : style.ops) {
    PlacedOp o;
    o.type = op.type;
    for (const auto& p : op.pts) o.pts.push_back(place(p));
    o.center = place(op.center);
    o.radius = op.radius * k;
    o.fill = op.fillSlot != 0 && op.type != md::glyphor::PointOp::Polyline;
    if (o.fill) o.fillColor = SlotColor(kind, op.fillSlot, colors);
    o.stroke = op.strokeSlot != 0;
    if (o.stroke) o.strokeColor = SlotColor(kind, op.strokeSlot, colors);
    o.strokeWidth = op.strokeWidth * k;
    out.push_back(std::move(o));
  }
  return out;
}

void ForEachDash(const std::vector<XY>& line, const std::vector<double>& pattern,
                 const std::function<void(const std::vector<XY>&)>& piece) {
  double period = 0;
  for (double d : pattern) period += (d > 0 && std::isfinite(d)) ? d : 0;
  if (pattern.size() < 2 || period <= 0.0) {
    piece(line);
    return;
  }
  // Each dash at least 1/64 of a pixel long keeps the piece count bounded.
  std::vector<double> pat;
  for (double d : pattern) pat.push_back((d > 0 && std::isfinite(d)) ? std::max(d, 1.0 / 64) : 1.0 / 64);
  // Too many pieces for the device (a huge line or tiny dashes): solid.
  double total = 0, minPeriod = 0;
  for (std::size_t i = 1; i < line.size(); ++i)
    total += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
  for (double d : pat) minPeriod += d;
  if (!std::isfinite(total) || total / minPeriod * static_cast<double>(pat.size()) > 1e6) {
    piece(line);
    return;
  }
  std::size_t idx = 0;
  double left = pat[0];
  bool on = true;
  std::vector<XY> cur;
  if (!line.empty()) cur.push_back(line[0]);
  for (std::size_t i = 1; i < line.size(); ++i) {
    XY p = line[i - 1];
    const XY q = line[i];
    double segLen = std::hypot(q.x - p.x, q.y - p.y);
    while (segLen > left) {
      const double t = left / segLen;
      const XY m{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
      if (on) {
        cur.push_back(m);
        piece(cur);
        cur.clear();
      } else {
        cur.assign(1, m);
      }
      segLen -= left;
      p = m;
      idx = (idx + 1) % pat.size();
      left = pat[idx];
      on = !on;
    }
    left -= segLen;
    if (on) cur.push_back(q);
  }
  if (on && cur.size() >= 2) piece(cur);
}

std::vector<std::vector<XY>> Dash(const std::vector<XY>& line, const std::vector<double>& pattern) {
  std::vector<std::vector<XY>> out;
  ForEachDash(line, pattern, [&out](const std::vector<XY>& p) { out.push_back(p); });
  return out;
}

}  // namespace md::glyphor
