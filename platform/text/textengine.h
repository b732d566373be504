// Font matching and text metrics for the device contexts.
//
// A device context asks a text engine for a font that fits a LOGFONT-like
// request whose sizes are already in device pixels, then reads metrics and
// per-character advances from it. Two engines exist:
//
//   FreeTypeEngine()      matches faces through fontconfig and measures with
//                         FreeType (unhinted design advances, scaled). Face names
//                         map as follows:
//                           "宋体", "SimSun"      -> Noto Serif CJK SC
//                           "黑体", "SimHei"      -> Noto Sans CJK SC
//                           "Times New Roman"     -> Liberation Serif
//                           "Arial"               -> Liberation Sans
//                           any other face        -> Noto Sans CJK SC (the default
//                                                    CJK font)
//                         When a mapped family is not installed, fontconfig's best
//                         match for the family (then for Chinese text) is used.
//                         Characters the chosen face lacks are taken from the
//                         default CJK face (font linking).
//                         Vertical metrics come from the OS/2 table's Windows
//                         ascent and descent: cell height = winAscent +
//                         winDescent, the em is the character height, internal
//                         leading = cell height - em. The CJK faces use their
//                         typographic ascender and descender instead (the
//                         ideographic em box), so their cell is one em with no
//                         internal leading, as the Chinese system faces have.
//                         The average character width weighs the advances of
//                         a..z and the space by their English letter frequency
//                         (the classic OS/2 rule); the maximum is the widest
//                         advance (one em for the CJK faces).
//
//   FixedMetricsEngine()  needs no font file; every value follows this formula,
//                         with em in device pixels:
//                           em        = -height when height < 0 (character height)
//                                       height when height > 0 (cell height; the
//                                       cell equals the em here)
//                                       16 when height == 0
//                           ascent    = 0.8 em, descent = 0.2 em,
//                           cell height = em, internal leading = 0,
//                           external leading = 0
//                           advance   = 0.5 em for U+0000..U+007F,
//                                       1.0 em for every other character
//                                       (a malformed UTF-8 byte counts as one
//                                       U+FFFD, so 1.0 em)
//                           width > 0 scales advances horizontally by
//                                       width / (0.5 em): an ASCII advance then
//                                       equals the requested width
//                           average char width = 0.5 em (x scale applied),
//                           max char width = 1.0 em (x scale applied)
//                           underline: 0.1 em below the baseline, 0.05 em thick;
//                           strike-out: 0.3 em above the baseline, 0.05 em thick
//                         Weight, italic and face do not change any metric. For
//                         drawing, its glyphs come from Noto Sans Mono CJK SC
//                         (half-em Latin, full-em ideographs; the default CJK
//                         face when missing), placed at the formula's positions.
//
// All lengths are device pixels as doubles; the caller rounds as it needs.
// Rotation by escapement is applied by whoever draws (the canvas): metrics and
// advances are along the baseline.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace md::text {

// What a device context asks for. Sizes are device pixels.
struct FontRequest {
  std::string face;   // UTF-8 face name ("宋体", "Arial", ...)
  double height = 0;  // < 0: character height (em); > 0: cell height; 0: default
  double width = 0;   // average character width; 0: natural width
  int weight = 400;   // 100..900; 0 means 400
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int escapement = 0;   // baseline angle, tenths of a degree counter-clockwise
  int orientation = 0;  // character angle, tenths of a degree counter-clockwise
  int charSet = 1;

  bool operator==(const FontRequest&) const = default;
};

struct FontMetrics {
  double em = 0;               // character height (the size the glyphs are scaled to)
  double ascent = 0;           // baseline to cell top
  double descent = 0;          // baseline to cell bottom
  double height = 0;           // ascent + descent
  double internalLeading = 0;  // height - em
  double externalLeading = 0;
  double aveCharWidth = 0;
  double maxCharWidth = 0;
  double underlinePosition = 0;  // below the baseline (positive = down)
  double underlineThickness = 0;
  double strikeOutPosition = 0;  // above the baseline (positive = up)
  double strikeOutThickness = 0;
  double xScale = 1;  // horizontal glyph scale from a requested width
  int weight = 400;
  bool italic = false;
};

// Where the glyphs of a font come from, for renderers (the cairo canvas).
struct FaceSource {
  std::string file;              // font file path; empty: no outline source
  int index = 0;                 // face index inside a collection (.ttc)
  std::string family;            // resolved family name
  bool syntheticBold = false;    // request is bold but the face is not
  bool syntheticItalic = false;  // request is italic but the face is upright
};

// One character of a laid-out string.
struct Glyph {
  char32_t ch = 0;             // the decoded character (U+FFFD for a malformed byte)
  std::uint32_t index = 0;     // glyph index inside the face of `slot` (0: missing)
  std::uint8_t slot = 0;       // which face: 0 primary, 1 fallback (see Font::Face)
  std::size_t byteOffset = 0;  // offset of the character in the UTF-8 input
  std::size_t byteLength = 0;  // its length in bytes
  double x = 0;                // pen position along the baseline from the string start
  double advance = 0;
};

struct Extent {
  double width = 0;   // sum of the advances
  double height = 0;  // cell height of the font
};

class Font {
 public:
  virtual ~Font() = default;

  const FontRequest& Request() const { return request_; }
  const FontMetrics& Metrics() const { return metrics_; }

  // Lays out a UTF-8 string along the baseline, one glyph per character.
  virtual std::vector<Glyph> Shape(std::string_view utf8) const = 0;
  // Advance of one character.
  virtual double Advance(char32_t ch) const = 0;
  // Face of slot 0 (primary) or 1 (fallback); nullptr when the slot is unused.
  virtual const FaceSource* Face(int slot) const = 0;

  // Whether the engine that made this font answers `req` with one that
  // measures and draws as this one: the same faces, em, horizontal scale,
  // weight and slant. Escapement, orientation, underline, strike-out and
  // character set change none of these.
  bool DrawsAs(const FontRequest& req) const;

  Extent Measure(std::string_view utf8) const;
  // Advances of every character, in order (what GetCharWidth / lpDx use).
  std::vector<double> Advances(std::string_view utf8) const;

 protected:
  FontRequest request_;
  FontMetrics metrics_;
};

using FontPtr = std::shared_ptr<const Font>;

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  // "freetype" or "fixed".
  virtual const char* Name() const = 0;
  // Never returns null: an unknown face falls back as documented above.
  virtual FontPtr Match(const FontRequest& request) = 0;
};

// Process-wide engines (thread-safe, never destroyed before exit).
TextEngine& FreeTypeEngine();
TextEngine& FixedMetricsEngine();
// Looks an engine up by Name(); nullptr when unknown.
TextEngine* EngineByName(std::string_view name);

// The family the FreeType engine asks fontconfig for, given a face name
// (the mapping table above).
std::string MappedFamily(std::string_view face);

// UTF-8 decoding shared by the engines and the device contexts: calls
// fn(codepoint, byteOffset, byteLength) for each character; a malformed or
// truncated sequence yields U+FFFD for one byte.
template <typename Fn>
void ForEachCodepoint(std::string_view s, Fn&& fn);

std::u32string DecodeUtf8(std::string_view s);
std::string EncodeUtf8(std::u32string_view s);

// ---- inline implementation ----
namespace detail {
// Decodes one character at s[i]; returns its length (>= 1) and stores the code point.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& cp);
}  // namespace detail

template <typename Fn>
void ForEachCodepoint(std::string_view s, Fn&& fn) {
  std::size_t i = 0;
  while (i < s.size()) {
    char32_t cp = 0;
    std::size_t n = detail::DecodeOne(s, i, cp);
    fn(cp, i, n);
    i += n;
  }
}

}  // namespace md::text
