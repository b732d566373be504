// The headers of the metafile formats, as the library reads them before it
// asks the helper to draw a file and as the helper reads them again: bounded
// reads of fixed fields, nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace md::imaging::detail {

// The little-endian words of the records.
inline std::uint32_t MetafileU16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}
inline std::uint32_t MetafileU32(const std::uint8_t* p) {
  return MetafileU16(p) | (MetafileU16(p + 2) << 16);
}
inline int MetafileS16(const std::uint8_t* p) { return static_cast<std::int16_t>(MetafileU16(p)); }

// ---- WMF ----

constexpr std::uint32_t kWmfPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kWmfPlaceableBytes = 22, kWmfHeaderBytes = 18;

// The placeable header's frame, in the file's units, and its units an inch.
struct WmfFrame {
  int left = 0, top = 0, right = 0, bottom = 0, inch = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Whether the bytes start with a placeable header; its frame then.
bool ReadWmfFrame(const std::uint8_t* data, std::size_t size, WmfFrame* f);

// "" or why the frame holds no picture.
std::string WmfFrameProblem(const WmfFrame& f);

// "" when the bytes start with a WMF header (after a placeable one, whose
// check sum and units it checks) and records that end within them, or why
// not; *records and *end, then, are where the records start and end (past
// the end record when they hold one: see FORMAT.md, "The metafiles'
// headers").
std::string CheckWmfHeader(const std::uint8_t* data, std::size_t size, std::size_t* records,
                           std::size_t* end);

// ---- EMF ----

// The header record's frame: the bytes the records take, the frame's size in
// inches and its corners in pixels of the reference device.
struct EmfFrame {
  std::uint32_t declared = 0;
  double width = 0, height = 0;
  double left = 0, top = 0, right = 0, bottom = 0;
};

// The header record: type 1, its size, the bounds in device pixels, the
// frame in 0.01 mm, the signature " EMF", the version, the file's size, the
// reference device's size in pixels and in millimetres. "" or why it holds
// no picture.
std::string ReadEmfHeader(const std::uint8_t* data, std::size_t size, EmfFrame* f);

}  // namespace md::imaging::detail
