// Drawing a metafile into pixels: the shared part of the WMF and EMF
// readers. The libraries that draw them run in a child process (isolate.h),
// so that a damaged file is refused with a reason instead of crashing or
// hanging the host.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/imaging/bitmap.h"

namespace md::imaging::detail {

// A metafile is drawn at 300 dpi of its own size, its longest side at most
// 4096 pixels and its pixels within the memory limit: lower when it is
// larger.
constexpr double kMetafileDpi = 300.0;
constexpr int kMetafileMaxSide = 4096;
// The time one drawing may take.
constexpr int kMetafileMilliseconds = 5000;

// Where the drawing goes: the child fills in the pixel size it chose and
// the resolution, then draws into a surface of that size.
struct MetafileTarget {
  std::size_t maxPixels = 0;
  std::size_t memoryLimit = 0;
  // Chooses the pixel size for a drawing of width x height inches; "" or
  // why it cannot be drawn.
  std::string Size(double widthInches, double heightInches);
  // An ARGB32 surface over the shared pixels, once Size has answered "".
  cairo_surface_t* Surface() const;

  std::int32_t* header = nullptr;  // width, height, dots per inch x 1000
  std::uint32_t* pixels = nullptr;
};

using MetafileWork = std::function<std::string(MetafileTarget* target)>;

// Runs the work in a child process and makes a picture of what it drew.
DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const MetafileWork& work);

}  // namespace md::imaging::detail
