#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging::detail {

bool ReadWmfFrame(const std::uint8_t* data, std::size_t size, WmfFrame* f) {
  if (data == nullptr || size < kWmfPlaceableBytes || MetafileU32(data) != kWmfPlaceableKey) return false;
  *f = WmfFrame{MetafileS16(data + 6), MetafileS16(data + 8), MetafileS16(data + 10), MetafileS16(data + 12),
                static_cast<int>(MetafileU16(data + 14))};
  return true;
}

std::string WmfFrameProblem(const WmfFrame& f) {
  if (f.Width() > 0 && f.Height() > 0) return "";
  return std::string(f.Width() < 0 || f.Height() < 0 ? "the placeable frame is inverted ("
                                                     : "the placeable frame has no size (") +
         std::to_string(f.Width()) + " x " + std::to_string(f.Height()) + " units)";
}

namespace {

// Where the records from `at` end: past the end record, when every record
// before it is whole within the file; 0 when one runs past the file or is
// shorter than its size and function, or the file ends first.
std::size_t WmfRecordsEnd(const std::uint8_t* data, std::size_t size, std::size_t at) {
  while (size - at >= 6) {
    const std::uint64_t bytes = std::uint64_t{MetafileU32(data + at)} * 2;
    if (bytes < 6 || bytes > size - at) return 0;
    const bool last = MetafileU16(data + at + 4) == 0;
    at += bytes;
    if (last) return at;
  }
  return 0;
}

}  // namespace

std::string CheckWmfHeader(const std::uint8_t* data, std::size_t size, std::size_t* records,
                           std::size_t* end) {
  if (data == nullptr) return "no metafile header";
  std::size_t at = 0;
  if (WmfFrame frame; ReadWmfFrame(data, size, &frame)) {
    std::uint32_t sum = 0;
    for (int k = 0; k < 10; ++k) sum ^= MetafileU16(data + 2 * k);
    if (sum != MetafileU16(data + 20)) return "the placeable header's check sum is wrong";
    if (frame.inch == 0) return "the placeable header gives no units per inch";
    if (const std::string why = WmfFrameProblem(frame); !why.empty()) return why;
    at = kWmfPlaceableBytes;
  }
  if (size < at + kWmfHeaderBytes) return "no metafile header";
  const std::uint8_t* h = data + at;
  if ((MetafileU16(h) != 1 && MetafileU16(h) != 2) || MetafileU16(h + 2) != 9 ||
      (MetafileU16(h + 4) != 0x100 && MetafileU16(h + 4) != 0x300))
    return "no metafile header";
  // The records are read to their end record whatever the header's size
  // says (some writers count the placeable header in it); without one, the
  // header's size must lie within the file.
  *records = at + kWmfHeaderBytes;
  *end = WmfRecordsEnd(data, size, *records);
  if (*end != 0) return "";
  const std::uint64_t declared = std::uint64_t{MetafileU32(h + 6)} * 2;
  if (declared < kWmfHeaderBytes + 6 || declared > size - at) return "the records end early";
  *end = at + declared;
  return "";
}

std::string ReadEmfHeader(const std::uint8_t* data, std::size_t size, EmfFrame* f) {
  if (data == nullptr || size < 88 || MetafileU32(data) != 1 || MetafileU32(data + 40) != 0x464D4520u)
    return "no metafile header";
  const auto s32 = [&](std::size_t at) { return static_cast<std::int32_t>(MetafileU32(data + at)); };
  const std::uint32_t headerSize = MetafileU32(data + 4);
  if (headerSize < 88 || headerSize > size || headerSize % 4 != 0)
    return "bad header record of " + std::to_string(headerSize) + " bytes";
  f->declared = MetafileU32(data + 48);
  if (f->declared > size) return "the records end early";
  if (f->declared < headerSize + 20) return "the file holds no records";
  const double left = s32(24), top = s32(28), right = s32(32), bottom = s32(36);
  f->width = (right - left) / 2540.0;
  f->height = (bottom - top) / 2540.0;
  if (!(f->width > 0) || !(f->height > 0))
    return std::string(f->width < 0 || f->height < 0 ? "the frame is inverted ("
                                                     : "the frame has no size (") +
           std::to_string(s32(32) - std::int64_t{s32(24)}) + " x " +
           std::to_string(s32(36) - std::int64_t{s32(28)}) + " x 0.01 mm)";
  const double pixelsX = s32(72), pixelsY = s32(76), mmX = s32(80), mmY = s32(84);
  if (!(pixelsX > 0) || !(pixelsY > 0) || !(mmX > 0) || !(mmY > 0))
    return "the header names no reference device (" + std::to_string(s32(72)) + " x " +
           std::to_string(s32(76)) + " pixels over " + std::to_string(s32(80)) + " x " +
           std::to_string(s32(84)) + " mm)";
  f->left = left / 100 * pixelsX / mmX;
  f->right = right / 100 * pixelsX / mmX;
  f->top = top / 100 * pixelsY / mmY;
  f->bottom = bottom / 100 * pixelsY / mmY;
  return "";
}

}  // namespace md::imaging::detail
