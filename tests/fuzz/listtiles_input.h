// The checks of the list writer's tiles (platform/imaging/helper/listtiles.h)
// for their fuzz target and the regular tests that replay its inputs:
// whatever a document's patterns hold, each tile found paintable paints the
// pixels asked for, premultiplied, within the budget of visits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/imaging/helper/listtiles.h"
#include "platform/imaging/helper/svg/svgmeasure.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// Each pattern of the SVG document checked, and painted when paintable at
// a size of at most 48 x 48 pixels its place picks. False when the document
// cannot be read or holds no tile painted.
inline bool ReadListTilesInput(const std::uint8_t* data, std::size_t size) {
  namespace d = imaging::detail;
  d::svg::Document doc;
  if (!doc.Read(std::string_view(reinterpret_cast<const char*>(data), size))) return false;
  d::ListTarget target;
  target.width = target.height = 100;
  target.memoryLimit = std::size_t{1} << 22;
  d::ListPictures pictures(target);
  const std::uint64_t visits = 4 * d::kSvgMaxInstances;
  d::TileBudget checks{0, visits, 0, 0}, paints{0, visits, 0, 1 << 16};
  bool painted = false;
  for (std::uint32_t n = 0; n < doc.size(); ++n) {
    if (doc[n].name != "pattern" || d::TilePaintable(doc, n, &checks) != d::VectorsAnswer::List) continue;
    fuzz::Check(checks.visits <= visits);
    const int w = 1 + static_cast<int>(n * 7 % 48), h = 1 + static_cast<int>(n * 13 % 48);
    std::vector<std::uint32_t> pixels;
    if (!d::PaintTile(doc, n, &pictures, w, h, &paints, &pixels)) continue;
    painted = true;
    fuzz::Check(pixels.size() == static_cast<std::size_t>(w) * h && paints.visits <= visits);
    for (const std::uint32_t p : pixels) {
      const unsigned a = p >> 24;
      fuzz::Check(((p >> 16) & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && (p & 0xFF) <= a);
    }
  }
  return painted;
}

}  // namespace md::test
