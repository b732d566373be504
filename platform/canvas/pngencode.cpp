#include "platform/canvas/pngencode.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace md::canvas {
namespace {

// Largest width and height the format allows.
constexpr std::uint32_t kMaxSide = 0x7FFFFFFFu;
// Rows below which a stripe of its own is not worth a thread.
constexpr int kMinRowsPerStripe = 64;
constexpr unsigned kMaxThreads = 8;

void PutBigEndian32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

// A chunk whose data is the pieces one after the other, handed to the sink:
// length, type, data and check sum.
struct Piece {
  const std::uint8_t* data;
  std::size_t size;
};
bool EmitChunk(const PngSink& sink, const char* type, std::initializer_list<Piece> pieces) {
  std::size_t size = 0;
  for (const Piece& p : pieces) size += p.size;
  if (size > 0x7FFFFFFFu) return false;
  std::uint8_t head[8];
  PutBigEndian32(head, static_cast<std::uint32_t>(size));
  std::memcpy(head + 4, type, 4);
  uLong crc = crc32(crc32(0L, Z_NULL, 0), head + 4, 4);
  if (!sink(head, sizeof head)) return false;
  for (const Piece& p : pieces) {
    if (p.size == 0) continue;
    crc = crc32_z(crc, p.data, p.size);
    if (!sink(p.data, p.size)) return false;
  }
  std::uint8_t tail[4];
  PutBigEndian32(tail, static_cast<std::uint32_t>(crc));
  return sink(tail, sizeof tail);
}

// One stripe of rows: its raw deflate data (ending on a byte boundary, the
// last stripe closing the stream), the Adler-32 of its filtered bytes and
// their count.
struct Stripe {
  int first = 0;
  int end = 0;
  bool last = false;
  std::vector<std::uint8_t> deflated;
  uLong adler = 1;
  std::size_t rawBytes = 0;
  bool ok = false;
};

void CompressStripe(const PngRows& rows, Stripe* s) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  const std::size_t rowBytes = 1 + static_cast<std::size_t>(rows.width) * 3;
  std::vector<std::uint8_t> line(rowBytes);
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(rowBytes)) + 64);
  s->adler = 1;  // the Adler-32 of nothing
  bool ok = true;
  for (int y = s->first; y < s->end && ok; ++y) {
    const std::uint32_t* px = rows.row(rows.context, y);
    if (px == nullptr) {
      ok = false;
      break;
    }
    line[0] = 0;  // filter: none
    std::uint8_t* d = line.data() + 1;
    for (int x = 0; x < rows.width; ++x, d += 3) {
      const std::uint32_t p = px[x];
      d[0] = static_cast<std::uint8_t>(p >> 16);
      d[1] = static_cast<std::uint8_t>(p >> 8);
      d[2] = static_cast<std::uint8_t>(p);
    }
    s->adler = libdeflate_adler32(static_cast<std::uint32_t>(s->adler), line.data(), rowBytes);
    s->rawBytes += rowBytes;
    const bool lastRow = y + 1 == s->end;
    const int flush = !lastRow ? Z_NO_FLUSH : (s->last ? Z_FINISH : Z_SYNC_FLUSH);
    z.next_in = line.data();
    z.avail_in = static_cast<uInt>(rowBytes);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int r = deflate(&z, flush);
      if (r == Z_STREAM_ERROR) {
        ok = false;
        break;
      }
      s->deflated.insert(s->deflated.end(), out.data(), out.data() + (out.size() - z.avail_out));
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  s->ok = ok;
}

}  // namespace

bool EncodePng(const PngRows& rows, const PngSink& sink, unsigned threads) {
  static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");
  if (rows.width <= 0 || rows.height <= 0 || rows.row == nullptr ||
      static_cast<std::uint32_t>(rows.width) > kMaxSide / 3 ||
      static_cast<std::uint32_t>(rows.height) > kMaxSide)
    return false;
  if (threads == 0) threads = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
  const int stripes = static_cast<int>(
      std::clamp<long long>(rows.height / kMinRowsPerStripe, 1, static_cast<long long>(threads)));

  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::uint8_t header[13];
  PutBigEndian32(header, static_cast<std::uint32_t>(rows.width));
  PutBigEndian32(header + 4, static_cast<std::uint32_t>(rows.height));
  header[8] = 8;   // bits per sample
  header[9] = 2;   // RGB
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering (every row uses "none")
  header[12] = 0;  // not interlaced
  if (!sink(kSignature, sizeof kSignature) || !EmitChunk(sink, "IHDR", {{header, sizeof header}}))
    return false;

  std::vector<Stripe> parts(static_cast<std::size_t>(stripes));
  for (int i = 0; i < stripes; ++i) {
    parts[i].first = static_cast<int>(static_cast<long long>(rows.height) * i / stripes);
    parts[i].end = static_cast<int>(static_cast<long long>(rows.height) * (i + 1) / stripes);
    parts[i].last = i + 1 == stripes;
  }
  {
    std::vector<std::thread> workers;
    for (int i = 1; i < stripes; ++i) workers.emplace_back(CompressStripe, std::cref(rows), &parts[i]);
    CompressStripe(rows, &parts[0]);
    for (std::thread& t : workers) t.join();
  }

  // The zlib stream, one image-data chunk a stripe: its header (deflate,
  // 32 KiB window, fastest level) before the first stripe's deflate data,
  // the stripes' combined Adler-32 after the last's.
  static const std::uint8_t kZlibHeader[2] = {0x78, 0x01};
  uLong adler = adler32(0L, Z_NULL, 0);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Stripe& s = parts[i];
    if (!s.ok) return false;
    adler = adler32_combine(adler, s.adler, static_cast<z_off_t>(s.rawBytes));
    std::uint8_t sum[4];
    PutBigEndian32(sum, static_cast<std::uint32_t>(adler));
    if (!EmitChunk(sink, "IDAT",
                   {{kZlibHeader, i == 0 ? sizeof kZlibHeader : 0},
                    {s.deflated.data(), s.deflated.size()},
                    {sum, s.last ? sizeof sum : 0}}))
      return false;
  }
  return EmitChunk(sink, "IEND", {});
}

}  // namespace md::canvas
