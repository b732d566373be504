#include "platform/canvas/pngencode.h"

#include "platform/canvas/huffman.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <new>
#include <string>
#include <system_error>
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
  std::uint32_t crc = libdeflate_crc32(0, head + 4, 4);
  if (!sink(head, sizeof head)) return false;
  for (const Piece& p : pieces) {
    if (p.size == 0) continue;
    crc = libdeflate_crc32(crc, p.data, p.size);
    if (!sink(p.data, p.size)) return false;
  }
  std::uint8_t tail[4];
  PutBigEndian32(tail, crc);
  return sink(tail, sizeof tail);
}

// The data of the physical-size chunk: pixels per metre across and down,
// then the unit (1: the metre); false for a resolution it cannot state.
bool PhysicalChunk(double dpi, std::uint8_t out[9]) {
  const std::uint32_t perMetre = PngPixelsPerMetre(dpi);
  if (perMetre == 0) return false;
  PutBigEndian32(out, perMetre);
  PutBigEndian32(out + 4, perMetre);
  out[8] = 1;
  return true;
}

// Deflate's length symbols (RFC 1951, 3.2.5): for each match length of
// 3..258 bytes its symbol's index past the end-of-block symbol, its extra
// bits and their value.
struct LengthSymbols {
  std::uint8_t symbol[259];
  std::uint8_t extraBits[259];
  std::uint8_t extra[259];

  LengthSymbols() {
    static const int kBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    for (int n = 3; n <= 258; ++n) {
      int s = 28;
      while (kBase[s] > n) --s;
      symbol[n] = static_cast<std::uint8_t>(s + 1);
      extraBits[n] = static_cast<std::uint8_t>(s == 28 || s < 8 ? 0 : s / 4 - 1);
      extra[n] = static_cast<std::uint8_t>(n - kBase[s]);
    }
  }
};

const LengthSymbols& Lengths() {
  static const LengthSymbols lengths;
  return lengths;
}

// A distance's symbol, its extra bits and their value.
struct DistanceSymbol {
  int symbol = 0;
  int extraBits = 0;
  std::uint32_t extra = 0;
};
DistanceSymbol DistanceOf(std::uint32_t d) {
  if (d <= 4) return {static_cast<int>(d - 1), 0, 0};
  // Past 4, each power of two holds two symbols, with one extra bit fewer
  // than its bits after the leading one.
  const std::uint32_t v = d - 1;
  const int top = 31 - std::countl_zero(v), extraBits = top - 1;
  return {2 * top + static_cast<int>((v >> extraBits) & 1), extraBits, v & ((1u << extraBits) - 1)};
}

// Bits written least significant first into a growing buffer, which is
// made room for ahead (Reserve) rather than grown a word at a time.
class BitSink {
 public:
  explicit BitSink(std::vector<std::uint8_t>* out) : out_(out), size_(out->size()) {}
  // Makes room for at least `bytes` more bytes.
  void Reserve(std::size_t bytes) {
    if (out_->size() < size_ + bytes + 8) out_->resize(std::max(size_ + bytes + 8, out_->size() * 3 / 2));
  }
  // At most 32 bits at a time, into room reserved.
  void Put(std::uint64_t value, int bits) {
    acc_ |= value << count_;
    count_ += bits;
    if (count_ >= 32) {
      const auto word = static_cast<std::uint32_t>(acc_);
      std::memcpy(out_->data() + size_, &word, 4);
      size_ += 4;
      acc_ >>= 32;
      count_ -= 32;
    }
  }
  // Pads with zero bits to a byte boundary and trims the room left over.
  void Align() {
    Reserve(8);
    for (; count_ > 0; count_ -= 8, acc_ >>= 8) (*out_)[size_++] = static_cast<std::uint8_t>(acc_);
    count_ = 0;
    acc_ = 0;
    out_->resize(size_);
  }

 private:
  std::vector<std::uint8_t>* out_;
  std::size_t size_;
  std::uint64_t acc_ = 0;
  int count_ = 0;
};

// Longest match deflate allows: 258 bytes, 86 pixels.
constexpr int kMaxRunPixels = 86;
// The window a match may reach back into.
constexpr std::size_t kWindow = 32768;

// How many of the first n pixels of a and b have the same colour, two at a
// time while they do.
int SameRun(const std::uint32_t* a, const std::uint32_t* b, int n) {
  constexpr std::uint64_t kRgbPair = 0x00FFFFFF00FFFFFFull;
  int i = 0;
  for (; i + 2 <= n; i += 2) {
    std::uint64_t pa, pb;
    std::memcpy(&pa, a + i, 8);
    std::memcpy(&pb, b + i, 8);
    if (((pa ^ pb) & kRgbPair) != 0) break;
  }
  while (i < n && ((a[i] ^ b[i]) & 0x00FFFFFFu) == 0) ++i;
  return i;
}

// The Adler-32 `adler` carried on over n pixels of one colour, 3n bytes
// repeating R, G, B: byte j of the 3n (from 1) adds itself to the first sum
// and 3n - j + 1 times itself to the second.
std::uint32_t AdlerOfRun(std::uint32_t adler, std::uint32_t pixel, int n) {
  constexpr std::uint64_t kMod = 65521;
  const std::uint64_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  const std::uint64_t count = static_cast<std::uint64_t>(n), length = 3 * count;
  const std::uint64_t first = adler & 0xFFFF, second = adler >> 16;
  // The weights of the red bytes, 3n, 3n - 3, ...; green's are each one
  // less, blue's two less.
  const std::uint64_t red = count * length - 3 * count * (count - 1) / 2;
  const std::uint64_t weighted = r * red + g * (red - count) + b * (red - 2 * count);
  const std::uint64_t a = (first + count * (r + g + b)) % kMod;
  const std::uint64_t s = (second + length * first + weighted) % kMod;
  return static_cast<std::uint32_t>(s << 16 | a);
}

// Symbols gathered into a block of dynamic Huffman codes (RFC 1951,
// 3.2.7) and written out once their counts are known. A match is mostly
// one of four distances: a pixel to the left, or one row up, straight or a
// pixel to either side; others are rare.
class DynamicBlocks {
 public:
  // Symbols a block holds before it is written: enough to outweigh its
  // header, few enough for the codes to follow a page's changing content.
  static constexpr std::size_t kBlockSymbols = 1 << 15;

  enum Kind : std::uint32_t { kLeft, kUp, kUpLeft, kUpRight };

  // Rows of rowBytes bytes; the matches from the row above are made only
  // when it lies in the window.
  DynamicBlocks(std::vector<std::uint8_t>* out, std::uint32_t rowBytes)
      : bits_(out),
        lengths_(Lengths()),
        distance_{DistanceOf(3), DistanceOf(rowBytes), DistanceOf(rowBytes + 3), DistanceOf(rowBytes - 3)} {
    symbols_.reserve(kBlockSymbols + 4096);
    Clear();
  }

  void Literal(std::uint8_t byte) {
    symbols_.push_back(byte);
    ++literalCounts_[byte];
  }
  // A match of n bytes (3..258) of the kind.
  void Match(int n, Kind kind) {
    symbols_.push_back(kMatch | static_cast<std::uint32_t>(n) << 2 | kind);
    ++literalCounts_[256 + lengths_.symbol[n]];
    ++distanceCounts_[distance_[kind].symbol];
  }
  // A match of n bytes (3..258) at another distance (1..32768).
  void MatchAt(int n, std::uint32_t distance) {
    symbols_.push_back(kFar | distance << 9 | static_cast<std::uint32_t>(n));
    ++literalCounts_[256 + lengths_.symbol[n]];
    ++distanceCounts_[DistanceOf(distance).symbol];
  }
  bool Full() const { return symbols_.size() >= kBlockSymbols; }

  // Writes the symbols gathered as one block, the stream's last or not.
  void Flush(bool last) {
    ++literalCounts_[256];  // end of block
    std::uint8_t literalLengths[286], distanceLengths[30];
    BuildCodeLengths(literalCounts_, 286, 15, literalLengths);
    BuildCodeLengths(distanceCounts_, 30, 15, distanceLengths);
    std::uint16_t literalCodes[286], distanceCodes[30];
    CanonicalCodes(literalLengths, 286, literalCodes);
    CanonicalCodes(distanceLengths, 30, distanceCodes);
    // The header takes at most 17 + 19 * 3 + 316 * 14 bits, a symbol 48.
    bits_.Reserve(640 + symbols_.size() * 6);
    bits_.Put(last ? 1 : 0, 1);
    bits_.Put(2, 2);  // dynamic codes
    WriteCodeLengths(literalLengths, distanceLengths);
    // Each match length's code with its extra bits, and the two distances'.
    std::uint32_t length[259];
    std::uint8_t lengthBits[259];
    for (int n = 3; n <= 258; ++n) {
      const int symbol = 256 + lengths_.symbol[n];
      length[n] = literalCodes[symbol] | std::uint32_t{lengths_.extra[n]} << literalLengths[symbol];
      lengthBits[n] = static_cast<std::uint8_t>(literalLengths[symbol] + lengths_.extraBits[n]);
    }
    const auto distance = [&](const DistanceSymbol& d, int* bits) {
      *bits = distanceLengths[d.symbol] + d.extraBits;
      return distanceCodes[d.symbol] | d.extra << distanceLengths[d.symbol];
    };
    int distanceBits[4];
    std::uint32_t distanceCode[4];
    for (int k = 0; k < 4; ++k) {
      // Rows wider than the window make no matches from above: their
      // distances have no symbol and are never written.
      if (distance_[k].symbol >= 30) {
        distanceCode[k] = 0;
        distanceBits[k] = 0;
        continue;
      }
      distanceCode[k] = distance(distance_[k], &distanceBits[k]);
    }
    for (const std::uint32_t s : symbols_) {
      if (s < kMatch) {
        bits_.Put(literalCodes[s], literalLengths[s]);
      } else if (s >= kFar) {
        const std::uint32_t n = s & 0x1FF;
        bits_.Put(length[n], lengthBits[n]);
        int bits = 0;
        const std::uint32_t code = distance(DistanceOf((s >> 9) & 0xFFFF), &bits);
        bits_.Put(code, bits);
      } else {
        const std::uint32_t n = (s >> 2) & 0x1FF, kind = s & 3;
        bits_.Put(length[n], lengthBits[n]);
        bits_.Put(distanceCode[kind], distanceBits[kind]);
      }
    }
    bits_.Put(literalCodes[256], literalLengths[256]);
    Clear();
  }

  BitSink& bits() { return bits_; }

 private:
  static constexpr std::uint32_t kMatch = 0x800, kFar = 0x80000000u;

  void Clear() {
    symbols_.clear();
    std::fill(std::begin(literalCounts_), std::end(literalCounts_), 0u);
    std::fill(std::begin(distanceCounts_), std::end(distanceCounts_), 0u);
  }

  // The block's header after its type: how many codes of each alphabet,
  // the code-length code and the lengths coded with it, runs shortened
  // with the repeat symbols 16 (previous length), 17 and 18 (zeros).
  void WriteCodeLengths(const std::uint8_t* literalLengths, const std::uint8_t* distanceLengths) {
    int literals = 286, distances = 30;
    while (literals > 257 && literalLengths[literals - 1] == 0) --literals;
    while (distances > 1 && distanceLengths[distances - 1] == 0) --distances;
    std::uint8_t all[286 + 30];
    std::memcpy(all, literalLengths, static_cast<std::size_t>(literals));
    std::memcpy(all + literals, distanceLengths, static_cast<std::size_t>(distances));
    const int total = literals + distances;
    // Each entry: symbol (0..18) and its extra bits' value.
    std::uint8_t symbol[286 + 30], extra[286 + 30];
    int count = 0;
    std::uint32_t counts[19] = {};
    const auto put = [&](int s, int e) {
      symbol[count] = static_cast<std::uint8_t>(s);
      extra[count++] = static_cast<std::uint8_t>(e);
      ++counts[s];
    };
    for (int i = 0; i < total;) {
      const std::uint8_t v = all[i];
      int run = 1;
      while (i + run < total && all[i + run] == v) ++run;
      i += run;
      if (v == 0) {
        for (; run >= 11; run -= std::min(run, 138)) put(18, std::min(run, 138) - 11);
        if (run >= 3) put(17, run - 3), run = 0;
      } else {
        put(v, 0), --run;
        for (; run >= 3; run -= std::min(run, 6)) put(16, std::min(run, 6) - 3);
      }
      for (; run > 0; --run) put(v, 0);
    }
    std::uint8_t codeLengths[19];
    std::uint16_t codes[19];
    BuildCodeLengths(counts, 19, 7, codeLengths);
    CanonicalCodes(codeLengths, 19, codes);
    static const std::uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    int sent = 19;
    while (sent > 4 && codeLengths[kOrder[sent - 1]] == 0) --sent;
    bits_.Put(static_cast<std::uint32_t>(literals - 257), 5);
    bits_.Put(static_cast<std::uint32_t>(distances - 1), 5);
    bits_.Put(static_cast<std::uint32_t>(sent - 4), 4);
    for (int i = 0; i < sent; ++i) bits_.Put(codeLengths[kOrder[i]], 3);
    static const std::uint8_t kExtraBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    for (int i = 0; i < count; ++i) {
      const int s = symbol[i];
      bits_.Put(codes[s], codeLengths[s]);
      if (kExtraBits[s] != 0) bits_.Put(extra[i], kExtraBits[s]);
    }
  }

  BitSink bits_;
  const LengthSymbols& lengths_;
  const DistanceSymbol distance_[4];
  std::vector<std::uint32_t> symbols_;
  std::uint32_t literalCounts_[286];
  std::uint32_t distanceCounts_[30];
};

// Every row is written unfiltered. A run of pixels equal to the pixel on
// their left, or to the pixels above them, is a match at a distance of 3
// bytes or of one row (the row above may lie in the stripe before: the
// stripes form one stream, whose window carries on); other pixels are
// literals. Pages are mostly flat paper with thin lines: these runs are
// what compresses, and finding them takes one compare a pixel. Where there
// is neither run, the pixels above shifted by one to either side are tried
// too: slanting lines and hatches repeat so; failing that, the last place
// in this row or the one above where the same two pixels were written as
// literals (a glyph, a pattern, repeated along the row).
void CompressStripe(const PngRows& rows, PngStripe* s) {
  const std::size_t rowBytes = 1 + static_cast<std::size_t>(rows.width) * 3;
  const bool upReaches = rowBytes <= kWindow, slantReaches = rowBytes + 3 <= kWindow;
  std::vector<std::uint8_t> line(rowBytes + 1);
  s->deflated.reserve(rowBytes * static_cast<std::size_t>(s->end - s->first) / 24 + 64);
  DynamicBlocks blocks(&s->deflated, static_cast<std::uint32_t>(rowBytes));
  const auto emitRun = [&](int pixels, DynamicBlocks::Kind kind) {
    while (pixels > 0) {
      const int n = std::min(pixels, kMaxRunPixels);
      blocks.Match(3 * n, kind);
      pixels -= n;
    }
  };
  const std::uint32_t* above = s->first > 0 ? rows.row(rows.context, s->first - 1) : nullptr;
  if (s->first > 0 && above == nullptr) return;
  constexpr int kSeenBits = 13;
  constexpr std::uint64_t kNotSeen = ~std::uint64_t{0};
  std::vector<std::uint64_t> seen(std::size_t{1} << kSeenBits, kNotSeen);
  s->adler = 1;  // the Adler-32 of nothing
  const int width = rows.width;
  for (int y = s->first; y < s->end; ++y) {
    const std::uint32_t* px = rows.row(rows.context, y);
    if (px == nullptr) return;
    // The row's bytes not yet in the check sum: literals and runs from
    // above. A run leftwards is added to it by its sum alone.
    std::size_t pending = 0;
    line[pending++] = 0;  // filter: none
    const auto append = [&](int from, int count) {
      std::uint8_t* d = line.data() + pending;
      // 0x..RRGGBB becomes the bytes R, G, B, 0: one store a pixel, each
      // overwriting the last one's spare byte (the line has one to spare).
      for (int x = from; x < from + count; ++x, d += 3) {
        const std::uint32_t rgb = __builtin_bswap32(px[x]) >> 8;
        std::memcpy(d, &rgb, 4);
      }
      pending += 3 * static_cast<std::size_t>(count);
    };
    const auto sum = [&] {
      if (pending > 0) s->adler = libdeflate_adler32(s->adler, line.data(), pending);
      pending = 0;
    };
    s->rawBytes += rowBytes;
    blocks.Literal(0);
    const std::uint32_t* up = upReaches ? above : nullptr;
    // The top byte of a pixel is not written.
    constexpr std::uint32_t kRgb = 0x00FFFFFFu;
    for (int x = 0; x < width;) {
      int left = 0, same = 0;
      if (x > 0) {
        const std::uint32_t c = px[x - 1] & kRgb;
        while (x + left < width && (px[x + left] & kRgb) == c) ++left;
      }
      // The run from above matters only when it is longer.
      if (up != nullptr && x + left < width) same = SameRun(px + x, up + x, width - x);
      int slant = 0;
      auto kind = DynamicBlocks::kUp;
      if (slantReaches && up != nullptr && left == 0 && same == 0) {
        if (x > 0) slant = SameRun(px + x, up + x - 1, width - x), kind = DynamicBlocks::kUpLeft;
        if (x + 1 < width) {
          const int right = SameRun(px + x, up + x + 1, width - x - 1);
          if (right > slant) slant = right, kind = DynamicBlocks::kUpRight;
        }
        if (slant > same)
          same = slant;
        else
          kind = DynamicBlocks::kUp;
      }
      if (left == 0 && same == 0 && x + 1 < width) {
        // Where the pair was last seen: row and column.
        const std::uint32_t a = px[x] & kRgb, b = px[x + 1] & kRgb;
        std::uint64_t& slot = seen[((a * 0x9E3779B1u) ^ (b * 0x85EBCA77u)) >> (32 - kSeenBits)];
        const std::uint64_t at = slot;
        slot = static_cast<std::uint64_t>(y) << 32 | static_cast<std::uint32_t>(x);
        const int atY = static_cast<int>(at >> 32), atX = static_cast<int>(at & 0xFFFFFFFFu);
        const std::uint32_t* from = nullptr;
        std::size_t distance = 0;
        if (at != kNotSeen && atY == y) {
          from = px + atX, distance = 3 * static_cast<std::size_t>(x - atX);
        } else if (at != kNotSeen && atY + 1 == y && up != nullptr) {
          from = up + atX,
          distance = rowBytes + 3 * static_cast<std::size_t>(x) - 3 * static_cast<std::size_t>(atX);
        }
        if (from != nullptr && distance <= kWindow) {
          const int n = SameRun(px + x, from, width - std::max(x, atX));
          if (n >= 2) {
            append(x, n);
            for (int done = 0; done < n;) {
              const int part = std::min(n - done, kMaxRunPixels);
              blocks.MatchAt(3 * part, static_cast<std::uint32_t>(distance));
              done += part;
            }
            x += n;
            continue;
          }
        }
      }
      if (left == 0 && same == 0) {
        append(x, 1);
        const std::uint8_t* q = line.data() + pending - 3;
        for (int i = 0; i < 3; ++i) blocks.Literal(q[i]);
        ++x;
      } else if (left >= same) {
        sum();
        s->adler = AdlerOfRun(s->adler, px[x - 1], left);
        emitRun(left, DynamicBlocks::kLeft);
        x += left;
      } else {
        append(x, same);
        emitRun(same, kind);
        x += same;
      }
    }
    sum();
    above = px;
    if (blocks.Full() && y + 1 < s->end) blocks.Flush(false);
  }
  blocks.Flush(s->last);
  BitSink& bits = blocks.bits();
  if (!s->last) {
    // An empty stored block brings the stream to a byte boundary, where the
    // next stripe's block begins.
    bits.Put(0, 3);
    bits.Align();
    static const std::uint8_t kEmptyStored[4] = {0x00, 0x00, 0xFF, 0xFF};
    s->deflated.insert(s->deflated.end(), kEmptyStored, kEmptyStored + 4);
  } else {
    bits.Align();
  }
  s->ok = true;
}

// Joins the threads it is given when it goes, whichever way their block is
// left (a thread still joinable when destroyed ends the process).
struct Joiner {
  explicit Joiner(std::vector<std::thread>* t) : threads(t) {}
  std::vector<std::thread>* threads;
  Joiner(const Joiner&) = delete;
  Joiner& operator=(const Joiner&) = delete;
  ~Joiner() {
    for (std::thread& t : *threads)
      if (t.joinable()) t.join();
  }
};

bool ValidSize(int width, int height) {
  return width > 0 && height > 0 && static_cast<std::uint32_t>(width) <= kMaxSide / 3 &&
         static_cast<std::uint32_t>(height) <= kMaxSide;
}

}  // namespace

bool CompressPngStripe(const PngRows& rows, int first, int end, bool last, PngStripe* stripe) {
  if (stripe == nullptr) return false;
  *stripe = PngStripe{};
  stripe->first = first;
  stripe->end = end;
  stripe->last = last;
  if (!ValidSize(rows.width, rows.height) || rows.row == nullptr || first < 0 || end <= first ||
      end > rows.height)
    return false;
  CompressStripe(rows, stripe);
  return stripe->ok;
}

std::uint32_t PngPixelsPerMetre(double dpi) {
  const double perMetre = std::round(dpi / 0.0254);
  return perMetre >= 1.0 && perMetre <= 2147483647.0 ? static_cast<std::uint32_t>(perMetre) : 0;
}

bool EmitPngStripes(int width, int height, const std::vector<PngStripe>& stripes, const PngSink& sink,
                    double dpi) {
  static_assert(std::endian::native == std::endian::little, "pixel words are stored little-endian");
  std::uint8_t physical[9];
  if (!ValidSize(width, height) || stripes.empty() || !PhysicalChunk(dpi, physical)) return false;
  int next = 0;
  for (std::size_t i = 0; i < stripes.size(); ++i) {
    const PngStripe& s = stripes[i];
    if (!s.ok || s.first != next || s.last != (i + 1 == stripes.size())) return false;
    next = s.end;
  }
  if (next != height) return false;

  std::uint8_t header[13];
  PutBigEndian32(header, static_cast<std::uint32_t>(width));
  PutBigEndian32(header + 4, static_cast<std::uint32_t>(height));
  header[8] = 8;   // bits per sample
  header[9] = 2;   // RGB
  header[10] = 0;  // deflate
  header[11] = 0;  // adaptive filtering (every row uses "none")
  header[12] = 0;  // not interlaced
  if (!sink(kPngSignature, sizeof kPngSignature) || !EmitChunk(sink, "IHDR", {{header, sizeof header}}) ||
      !EmitChunk(sink, "pHYs", {{physical, sizeof physical}}))
    return false;

  // The zlib stream, one image-data chunk a stripe: its header (deflate,
  // 32 KiB window, fastest codes) before the first stripe's deflate data,
  // the stripes' combined Adler-32 after the last's.
  static const std::uint8_t kZlibHeader[2] = {0x78, 0x01};
  uLong adler = adler32(0L, Z_NULL, 0);
  for (std::size_t i = 0; i < stripes.size(); ++i) {
    const PngStripe& s = stripes[i];
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

bool EncodePng(const PngRows& rows, const PngSink& sink, unsigned threads) {
  if (!ValidSize(rows.width, rows.height) || rows.row == nullptr) return false;
  if (threads == 0) threads = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
  const int stripes = static_cast<int>(
      std::clamp<long long>(rows.height / kMinRowsPerStripe, 1, static_cast<long long>(threads)));
  std::vector<PngStripe> parts(static_cast<std::size_t>(stripes));
  for (int i = 0; i < stripes; ++i) {
    parts[i].first = static_cast<int>(static_cast<long long>(rows.height) * i / stripes);
    parts[i].end = static_cast<int>(static_cast<long long>(rows.height) * (i + 1) / stripes);
    parts[i].last = i + 1 == stripes;
  }
  // Each stripe's failure (no memory on the thread that compressed it) is
  // kept beside it and thrown on this thread once every worker has ended.
  std::vector<std::exception_ptr> failures(static_cast<std::size_t>(stripes));
  const auto compress = [&rows, &parts, &failures](int i) noexcept {
    try {
      CompressStripe(rows, &parts[static_cast<std::size_t>(i)]);
    } catch (...) {
      failures[static_cast<std::size_t>(i)] = std::current_exception();
    }
  };
  {
    // Where a thread cannot be started (a process limit, a control group's
    // pids limit, no memory for its stack), this thread compresses the
    // stripes left: the same bytes, later. The workers are joined on every
    // way out of the block.
    std::vector<std::thread> workers;
    const Joiner joiner(&workers);
    int started = 1;
    try {
      workers.reserve(static_cast<std::size_t>(stripes - 1));
      for (; started < stripes; ++started) workers.emplace_back(compress, started);
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    compress(0);
    for (int i = started; i < stripes; ++i) compress(i);
  }
  for (const std::exception_ptr& failure : failures)
    if (failure != nullptr) std::rethrow_exception(failure);
  return EmitPngStripes(rows.width, rows.height, parts, sink, rows.dpi);
}

bool SetPngResolution(std::vector<std::uint8_t>* png, double dpi) {
  std::uint8_t physical[9];
  if (png == nullptr || !PhysicalChunk(dpi, physical) || png->size() < 33 ||
      std::memcmp(png->data(), kPngSignature, 8) != 0 || std::memcmp(png->data() + 12, "IHDR", 4) != 0)
    return false;
  // The chunks after the header are walked first, so that bytes that are no
  // PNG stay as they are; the resolutions they hold are counted.
  const std::size_t afterHeader = 8 + 12 + 13;
  const auto lengthAt = [png](std::size_t at) {
    const std::uint8_t* p = png->data() + at;
    return (std::size_t{p[0]} << 24) | (std::size_t{p[1]} << 16) | (std::size_t{p[2]} << 8) | p[3];
  };
  const auto isResolution = [png](std::size_t at) {
    return std::memcmp(png->data() + at + 4, "pHYs", 4) == 0;
  };
  std::size_t resolutionBytes = 0;
  for (std::size_t at = afterHeader; at < png->size();) {
    if (png->size() - at < 12) return false;
    const std::size_t length = lengthAt(at);
    if (length > png->size() - at - 12) return false;
    if (isResolution(at)) resolutionBytes += 12 + length;
    at += 12 + length;
  }
  std::uint8_t chunk[12 + sizeof physical];
  std::size_t chunkSize = 0;
  const PngSink into = [&chunk, &chunkSize](const std::uint8_t* data, std::size_t size) {
    if (size > sizeof chunk - chunkSize) return false;
    std::memcpy(chunk + chunkSize, data, size);
    chunkSize += size;
    return true;
  };
  if (!EmitChunk(into, "pHYs", {{physical, sizeof physical}})) return false;
  const auto at = png->begin() + static_cast<std::ptrdiff_t>(afterHeader);
  if (resolutionBytes == 0) {
    // Inserted in place: the rest moves once (or is copied once when the
    // vector has to grow).
    png->insert(at, chunk, chunk + chunkSize);
    return true;
  }
  // The resolutions it had give way to the new one: the other chunks are
  // copied once, in one pass.
  std::vector<std::uint8_t> out;
  out.reserve(png->size() - resolutionBytes + chunkSize);
  out.insert(out.end(), png->begin(), at);
  out.insert(out.end(), chunk, chunk + chunkSize);
  for (std::size_t from = afterHeader; from < png->size();) {
    const std::size_t size = 12 + lengthAt(from);
    if (!isResolution(from)) out.insert(out.end(), png->data() + from, png->data() + from + size);
    from += size;
  }
  png->swap(out);
  return true;
}

}  // namespace md::canvas
