// An EMF+ file's translucent fills. A file of both kinds of records follows
// each EMF+ fill with the plain records that draw it for a reader of those
// only, opaque; libemf2svg draws those. The brush such records make after
// an EMF+ fill of a colour less than opaque (a solid brush of its own in the
// record, until the next EMF+ records) is made of the colour
// TranslucentMarker gives its index in the answer (at most
// kTranslucentMarkers of them; the rest opaque), which TranslucentSvg
// turns back into the brush's colour at the EMF+ fill's opacity. A brush of
// the file's own in a marker's colour is drawn in the colour next to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace md::imaging::detail {

// A fill: its colour (0x00BBGGRR) and opacity (0 to 255).
struct TranslucentFill {
  std::uint32_t colour = 0;
  std::uint32_t alpha = 255;
  bool operator==(const TranslucentFill&) const = default;
};

std::vector<TranslucentFill> ReplaceTranslucentFills(std::vector<std::uint8_t>* copy);
constexpr std::size_t kTranslucentMarkers = 100;
// The SVG with each fill of a marker's colour in its brush's colour and
// opacity.
std::string TranslucentSvg(const std::string& svg, const std::vector<TranslucentFill>& fills);

}  // namespace md::imaging::detail
