#include "platform/imaging/helper/emfbitmaps.h"

#include <algorithm>

#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/protocol/rle.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kSetDIBitsToDevice = 80, kStretchDIBits = 81;
// Both records name their bitmap's header and bits by offset and size from
// the record's start at these places, after their fixed fields.
constexpr std::size_t kBmiAt = 48, kBmiBytesAt = 52, kBitsAt = 56, kBitsBytesAt = 60;
constexpr std::size_t kFixedBytes[] = {76, 80};  // SetDIBitsToDevice, StretchDIBits
constexpr std::uint32_t kRle8 = 1, kRle4 = 2;

// The record at `r` of `bytes` bytes, its bitmap expanded, appended to
// `out`; false (nothing appended) when it is not compressed or does not
// expand within `*left` bytes, which it spends.
bool AppendExpanded(const std::uint8_t* r, std::size_t bytes, std::size_t fixed, std::size_t* left,
                    std::vector<std::uint8_t>* out) {
  const std::size_t bmi = EmfU32(r + kBmiAt), bmiBytes = EmfU32(r + kBmiBytesAt);
  const std::size_t bits = EmfU32(r + kBitsAt), bitsBytes = EmfU32(r + kBitsBytesAt);
  if (bmi < fixed || bmiBytes < 40 || bmi > bytes || bmiBytes > bytes - bmi || bits > bytes ||
      bitsBytes > bytes - bits)
    return false;
  const std::uint8_t* info = r + bmi;
  const std::uint32_t compression = EmfU32(info + 16), bitCount = EmfU32(info + 14) & 0xFFFF;
  const auto width = static_cast<std::int32_t>(EmfU32(info + 4)),
             height = static_cast<std::int32_t>(EmfU32(info + 8));
  if (!((compression == kRle8 && bitCount == 8) || (compression == kRle4 && bitCount == 4)) || width <= 0 ||
      height <= 0)
    return false;
  const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  const std::size_t stride = (w + 3) / 4 * 4;
  if (w > *left || h > *left / stride) return false;
  std::vector<std::uint8_t> indices(w * h, 0);
  if (ExpandRle(r + bits, bitsBytes, w, h, compression == kRle4, indices.data()) != nullptr) return false;
  *left -= stride * h;
  // The fixed fields, the bitmap's header and colours, then the rows.
  const std::size_t start = out->size(), newBits = (fixed + bmiBytes + 3) / 4 * 4;
  const std::size_t total = newBits + stride * h;
  out->insert(out->end(), r, r + fixed);
  out->insert(out->end(), info, info + bmiBytes);
  out->resize(start + total, 0);
  std::uint8_t* record = out->data() + start;
  for (std::size_t y = 0; y < h; ++y) std::copy_n(indices.data() + y * w, w, record + newBits + y * stride);
  EmfPut32(record + 4, static_cast<std::uint32_t>(total));
  EmfPut32(record + kBmiAt, static_cast<std::uint32_t>(fixed));
  EmfPut32(record + kBitsAt, static_cast<std::uint32_t>(newBits));
  EmfPut32(record + kBitsBytesAt, static_cast<std::uint32_t>(stride * h));
  std::uint8_t* newInfo = record + fixed;
  newInfo[14] = 8;
  newInfo[15] = 0;
  EmfPut32(newInfo + 16, 0);
  EmfPut32(newInfo + 20, static_cast<std::uint32_t>(stride * h));
  if (compression == kRle4 && EmfU32(newInfo + 32) == 0) EmfPut32(newInfo + 32, 16);  // its 16 colours
  return true;
}

}  // namespace

std::vector<std::uint8_t> ExpandEmfBitmaps(const std::uint8_t* data, std::size_t size,
                                           std::size_t mostBytes) {
  std::vector<std::uint8_t> out;
  std::size_t copied = 0, left = mostBytes;
  const std::size_t headerBytes = EmfU32(data + 4);
  for (std::size_t at = headerBytes; size - at >= 8;) {
    const std::uint32_t type = EmfU32(data + at);
    const std::size_t bytes = EmfU32(data + at + 4);
    if (bytes < 8 || bytes > size - at) break;
    if ((type == kSetDIBitsToDevice || type == kStretchDIBits) &&
        bytes >= kFixedBytes[type - kSetDIBitsToDevice]) {
      std::vector<std::uint8_t> record;
      if (AppendExpanded(data + at, bytes, kFixedBytes[type - kSetDIBitsToDevice], &left, &record)) {
        if (out.empty()) out.reserve(size + record.size());
        out.insert(out.end(), data + copied, data + at);
        out.insert(out.end(), record.begin(), record.end());
        copied = at + bytes;
      }
    }
    at += bytes;
  }
  if (out.empty()) return out;
  out.insert(out.end(), data + copied, data + size);
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace md::imaging::detail
