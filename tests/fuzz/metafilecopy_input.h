// The checks of the metafile helper's copies of a file's records
// (platform/imaging/helper/copies.h) and of its own DIB reader
// (dibpixels.h), for their fuzz targets and for the regular tests that
// replay their inputs: whatever the bytes, a copy of whole records is whole
// records, no larger than the passes make it, and a DIB read averages down
// to the pixels asked for.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/imaging/helper/copies.h"
#include "platform/imaging/helper/dibpixels.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/metafileheader.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

using imaging::detail::MetafileU16;
using imaging::detail::MetafileU32;

namespace metafilecopy {

// Whether `b` is whole EMF records: each of a size a multiple of 4 of at
// least 8, within the bytes, the last an end record (EMR_EOF) ending them,
// the header's count of bytes theirs and its count of records (`counted`)
// as many.
inline bool EmfWhole(const std::uint8_t* b, std::size_t size, bool* counted) {
  constexpr std::uint32_t kEof = 14;
  std::size_t at = 0, records = 0;
  std::uint32_t type = 0;
  while (at < size && type != kEof) {
    if (size - at < 8) return false;
    type = MetafileU32(b + at);
    const std::uint32_t bytes = MetafileU32(b + at + 4);
    if (bytes < 8 || bytes % 4 != 0 || bytes > size - at) return false;
    at += bytes;
    ++records;
  }
  *counted = size >= 56 && MetafileU32(b + 52) == records;
  return type == kEof && at == size && size >= 56 && MetafileU32(b + 48) == size;
}

// Whether the WMF records from `at` are whole: each of at least 3 words,
// within the bytes, the last an end record (function 0) ending at `end`.
inline bool WmfWhole(const std::uint8_t* b, std::size_t at, std::size_t end) {
  while (end - at >= 6) {
    const std::uint64_t bytes = std::uint64_t{MetafileU32(b + at)} * 2;
    if (bytes < 6 || bytes > end - at) return false;
    const std::uint32_t function = MetafileU16(b + at + 4);
    at += bytes;
    if (function == 0) return at == end;
  }
  return false;
}

}  // namespace metafilecopy

// The EMF's copy libemf2svg reads, its bitmaps averaged down to one of
// three sizes the input's length picks. False when the header holds no
// picture.
inline bool ReadEmfCopyInput(const std::uint8_t* data, std::size_t size) {
  namespace d = imaging::detail;
  d::EmfFrame f;
  if (!d::ReadEmfHeader(data, size, &f).empty()) return false;
  // The helper draws only frames within the reference device's range.
  if (std::floor(f.left) < INT32_MIN || std::floor(f.top) < INT32_MIN || std::ceil(f.right) > INT32_MAX ||
      std::ceil(f.bottom) > INT32_MAX)
    return false;
  constexpr double kDots[] = {0.05, 0.5, 4};
  constexpr std::size_t kMostBytes = std::size_t{1} << 16;
  const double dots = kDots[size % 3];
  const d::EmfCopy copy = d::CopyEmf(data, f.declared, f, dots, dots, kMostBytes);
  const std::vector<std::uint8_t>& b = copy.records;
  bool counted = false, copyCounted = false;
  const bool whole = metafilecopy::EmfWhole(data, f.declared, &counted);
  fuzz::Check(!whole || metafilecopy::EmfWhole(b.data(), b.size(), &copyCounted));
  fuzz::Check(!whole || !counted || copyCounted);
  // The bitmaps expand by at most kMostBytes; a bitmap averaged down to 24
  // bits takes at most 32 times the bytes of its rows; the first extents
  // add 32 bytes, a transform restored at most 32 bytes after a record of
  // 12; each of the three passes of marks at most doubles the copy, and the
  // clip's records add at most the copy's bytes or a MiB.
  const std::size_t most = 32 * (std::size_t{f.declared} + kMostBytes) + 32;
  fuzz::Check(b.size() <= 2 * 8 * 4 * most + (std::size_t{1} << 20));
  return true;
}

// The WMF's copy libwmf plays. False when the header holds no picture.
inline bool ReadWmfCopyInput(const std::uint8_t* data, std::size_t size) {
  namespace d = imaging::detail;
  std::size_t start = 0, end = 0;
  if (!d::CheckWmfHeader(data, size, &start, &end).empty()) return false;
  std::vector<d::WmfText> texts;
  const std::vector<std::uint8_t> b = d::CopyWmf(data, size, start, end, &texts);
  // Words added, or taken out of texts' records.
  const std::int64_t added = static_cast<std::int64_t>(b.size()) - static_cast<std::int64_t>(size);
  fuzz::Check(added % 2 == 0 && b.size() >= start && b.size() - start >= size - end);
  // The bytes after the records, and the header's size in words grown by
  // the words added.
  fuzz::Check(std::equal(data + end, data + size, b.end() - static_cast<std::ptrdiff_t>(size - end)));
  const std::size_t header = start - d::kWmfHeaderBytes;
  fuzz::Check(MetafileU32(b.data() + header + 6) ==
              static_cast<std::uint32_t>(MetafileU32(data + header + 6) + added / 2));
  fuzz::Check(!metafilecopy::WmfWhole(data, start, end) ||
              metafilecopy::WmfWhole(b.data(), start, static_cast<std::size_t>(end + added)));
  return true;
}

// A DIB of any header (its first 8 bytes: the width and height standing for
// the header's, 0 for its own, and the size averaged down to, 16 bits each)
// read whole or apart and averaged down as the WMF reader does. False when
// it is not read.
inline bool ReadDibInput(const std::uint8_t* data, std::size_t size) {
  namespace d = imaging::detail;
  if (size < 8) return false;
  const unsigned width = MetafileU16(data), height = MetafileU16(data + 2);
  const std::uint8_t* dib = data + 8;
  const std::size_t bytes = size - 8;
  d::DibPixels pixels;
  // Apart: the rows after the header and the colours it counts.
  const bool apart = width == 1;
  const std::size_t infoBytes =
      bytes < 40 ? bytes : std::min<std::size_t>(bytes, 40 + 4 * std::min(MetafileU32(dib + 32), 256u));
  const bool read = apart ? pixels.ReadApart(dib, infoBytes, dib + infoBytes, bytes - infoBytes)
                          : pixels.Read(dib, bytes, width, height);
  if (!read) return false;
  const unsigned w = pixels.Width(), h = pixels.Height();
  const unsigned tw = std::clamp(MetafileU16(data + 4), 1u, w), th = std::clamp(MetafileU16(data + 6), 1u, h);
  const std::uint32_t painted[2] = {pixels.BitColour(0), pixels.BitColour(1)};
  std::vector<std::uint32_t> row(w), out(std::size_t{tw} * th, 0xDEADBEEFu);
  const auto premultiplied = [](std::uint32_t p) {
    return d::PremultipliedPixel((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24);
  };
  const std::uint32_t paintedBits[2] = {premultiplied(painted[0]), premultiplied(painted[1])};
  d::AverageDown(
      w, h, tw, th,
      [&](unsigned y, const unsigned* starts, std::uint64_t* sums) {
        fuzz::Check(y < h && starts[tw] == w);
        if (pixels.AddSpans(y, 0, starts, tw, paintedBits, sums)) return;
        pixels.Row(y, 0, w, row.data());
        for (std::uint32_t& p : row) p = premultiplied(p);
        d::AddPixels(row.data(), starts, tw, sums);
      },
      out.data(), tw);
  // Every pixel written, and premultiplied: no channel past its alpha.
  for (const std::uint32_t p : out) {
    const unsigned a = p >> 24;
    fuzz::Check(((p >> 16) & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && (p & 0xFF) <= a);
  }
  return true;
}

}  // namespace md::test
