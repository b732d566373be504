// The copies of a metafile's records the helper has libemf2svg and libwmf
// read, mended where the libraries draw otherwise than the records mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/helper/emfbitmaps.h"
#include "platform/imaging/helper/emfdashes.h"
#include "platform/imaging/helper/emftext.h"
#include "platform/imaging/helper/emftranslucent.h"
#include "platform/imaging/helper/wmftext.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging::detail {

// An EMF's copy and what its marks stand for in libemf2svg's SVG.
struct EmfCopy {
  std::vector<std::uint8_t> records;
  std::vector<BrushHatch> hatches;
  std::vector<TranslucentFill> translucent;
  std::vector<PenDashes> dashes;
  std::vector<TextSpacing> spacings;
  std::uint32_t nearestRops = 0;  // the raster operations composed as their nearest
};

// The copy of the EMF's `size` bytes (its header read into `f`) libemf2svg
// reads: its bitmaps expanded within `mostBytes` and averaged down to
// `across` x `down` pixels a device pixel, its bounds the frame rounded out
// to whole device pixels (which lie within 32 bits), and each pass of
// playemf.cpp's done on it.
EmfCopy CopyEmf(const std::uint8_t* data, std::size_t size, const EmfFrame& f, double across, double down,
                std::size_t mostBytes);

// The copy of the WMF libwmf plays (playwmf.cpp); its records lie from
// `start` to `end` (CheckWmfHeader), and its texts' mends go to `texts`.
std::vector<std::uint8_t> CopyWmf(const std::uint8_t* data, std::size_t size, std::size_t start,
                                  std::size_t end, std::vector<WmfText>* texts);

}  // namespace md::imaging::detail
