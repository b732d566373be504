// An enhanced metafile's dashed pens as GDI draws them. libemf2svg scales
// every dash style by the pen's width (a cosmetic pen, of no width, draws
// no dash at all) and draws a PS_USERSTYLE pen solid. A cosmetic pen
// (CreatePen of width 0 or 1, ExtCreatePen's PS_COSMETIC) dashes in
// pixels of the reference device, whatever its width; a geometric one in
// multiples of its width, and a user style's in its own lengths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace md::imaging::detail {

// A dashed pen: its colour (0x00BBGGRR) and its dashes, on and off in turn:
// of the reference device's pixels (cosmetic) or of the pen's width.
struct PenDashes {
  std::uint32_t colour = 0;
  std::vector<double> dashes;
  bool cosmetic = false;
  bool operator==(const PenDashes&) const = default;
};

// The copy's dashed pens are made solid, of the colour DashMarker gives the
// pen's index in the answer (at most kDashMarkers of them; the rest as the
// library draws them), which DashSvg turns back into the pen's colour and
// dashes. A pen of the file's own in a marker's colour is drawn in the
// colour next to it.
std::vector<PenDashes> ReplaceEmfDashedPens(std::vector<std::uint8_t>* copy);
constexpr std::size_t kDashMarkers = 100;
// The marker's colour as the library writes a stroke's ("#01380k", digits
// only).
std::string DashMarker(std::size_t index);
// The SVG with each stroke of a marker's colour in its pen's colour and
// dashes; `unit` is the SVG's units of a pixel of the reference device.
std::string DashSvg(const std::string& svg, const std::vector<PenDashes>& pens, double unit);

}  // namespace md::imaging::detail
