// The FreeType/fontconfig text engine: maps face names to installed fonts and
// measures with unhinted design advances.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>

#include "platform/text/ftshared.h"
#include "platform/text/textengine.h"

namespace md::text {
namespace {

constexpr double kDefaultEm = 16.0;
constexpr std::size_t kFontCacheLimit = 512;

struct FaceKey {
  std::string file;
  int index;
  bool operator<(const FaceKey& o) const { return file != o.file ? file < o.file : index < o.index; }
};

// Loaded FreeType faces, kept for the life of the process.
class FtState {
 public:
  FtState() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    fcOk_ = FcInit() == FcTrue;
  }
  ~FtState() {
    for (auto& [key, face] : faces_) FT_Done_Face(face);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }
  FtState(const FtState&) = delete;
  FtState& operator=(const FtState&) = delete;

  std::mutex mutex;

  FT_Face Load(const FaceSource& src) {
    if (library_ == nullptr || src.file.empty()) return nullptr;
    FaceKey key{src.file, src.index};
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, src.file.c_str(), src.index, &face) != 0) face = nullptr;
    faces_.emplace(key, face);
    return face;
  }

  // Asks fontconfig for a family; lang biases the choice towards fonts that
  // cover that language when the family itself is missing.
  bool Resolve(const std::string& family, int weight, bool italic, const char* lang, FaceSource& out,
               int& matchedWeight, bool& matchedItalic) {
    if (!fcOk_) return false;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pat, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    if (lang != nullptr) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (match == nullptr) return false;
    bool ok = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
      out.file = reinterpret_cast<const char*>(file);
      int index = 0;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      out.index = index;
      FcChar8* fam = nullptr;
      // A collection lists several family names; prefer the one asked for.
      out.family.clear();
      for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &fam) == FcResultMatch; ++i) {
        std::string f = reinterpret_cast<const char*>(fam);
        if (i == 0) out.family = f;
        if (FcStrCmpIgnoreCase(fam, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
          out.family = f;
          break;
        }
      }
      double w = FC_WEIGHT_REGULAR;
      FcPatternGetDouble(match, FC_WEIGHT, 0, &w);
      matchedWeight = static_cast<int>(std::lround(FcWeightToOpenTypeDouble(w)));
      int slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      matchedItalic = slant != FC_SLANT_ROMAN;
      ok = true;
    }
    FcPatternDestroy(match);
    return ok;
  }

 private:
  FT_Library library_ = nullptr;
  bool fcOk_ = false;
  std::map<FaceKey, FT_Face> faces_;
};

FtState& State() {
  static FtState state;
  return state;
}

bool IsCjkFamily(const std::string& family) { return family.find("CJK") != std::string::npos; }

FaceSource ResolveFace(const std::string& family, int weight, bool italic) {
  FaceSource src;
  int matchedWeight = 400;
  bool matchedItalic = false;
  const char* lang = IsCjkFamily(family) ? "zh-cn" : nullptr;
  if (!State().Resolve(family, weight, italic, lang, src, matchedWeight, matchedItalic)) return FaceSource{};
  // fontconfig reports what it would synthesise; judge by the face itself.
  if (FT_Face face = State().Load(src)) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass > 0)
      matchedWeight = os2->usWeightClass;
    else
      matchedWeight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
    matchedItalic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  }
  src.syntheticBold = weight >= 600 && matchedWeight < 600;
  src.syntheticItalic = italic && !matchedItalic;
  return src;
}

// The average character width as the classic OS/2 rule weighs it: the
// lowercase letters and the space by their frequency in English text. Recent
// fonts store an average over all glyphs instead, which for CJK faces is the
// full em; the classic rule gives the width text layouts expect.
bool LowercaseAverage(FT_Face face, double& out) {
  static constexpr int kWeights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                       56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  double sum = 0;
  for (int i = 0; i < 27; ++i) {
    const FT_ULong ch = i < 26 ? static_cast<FT_ULong>('a' + i) : ' ';
    const FT_UInt index = FT_Get_Char_Index(face, ch);
    FT_Fixed adv = 0;
    if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &adv) != 0) return false;
    sum += static_cast<double>(adv) * kWeights[i];
  }
  out = sum / 1000.0;
  return out > 0;
}

struct VerticalUnits {
  double upem = 1000, ascent = 800, descent = 200, lineGap = 0, avgWidth = 500, maxAdvance = 1000;
  double underlinePos = -100, underlineThick = 50, strikePos = 300, strikeThick = 50;
};

// CJK faces are measured by their typographic (ideographic em box) ascender
// and descender, which span exactly one em, as the Chinese system faces
// they stand in for do; other faces by their Windows ascent and descent.
VerticalUnits ReadUnits(FT_Face face, bool ideographic) {
  VerticalUnits u;
  if (face == nullptr) return u;
  if (face->units_per_EM > 0) u.upem = face->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (ideographic && os2 != nullptr && os2->version != 0xFFFF && os2->sTypoAscender > 0 &&
      os2->sTypoDescender <= 0 && os2->sTypoAscender - os2->sTypoDescender > 0) {
    u.ascent = os2->sTypoAscender;
    u.descent = -os2->sTypoDescender;
  } else if (os2 != nullptr && os2->version != 0xFFFF && (os2->usWinAscent + os2->usWinDescent) > 0) {
    u.ascent = os2->usWinAscent;
    u.descent = os2->usWinDescent;
  } else {
    u.ascent = face->ascender;
    u.descent = -face->descender;
  }
  if (ideographic && os2 != nullptr && os2->version != 0xFFFF && u.ascent == os2->sTypoAscender) {
    u.lineGap = std::max<double>(0, os2->sTypoLineGap);
    u.maxAdvance = u.upem;  // the ideographs; a few wide symbols are not counted
  } else if (hhea != nullptr) {
    // External leading as the hhea line gap minus what the Windows metrics already include.
    double hheaHeight = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
    u.lineGap = std::max(0.0, hheaHeight - (u.ascent + u.descent));
    u.maxAdvance = hhea->advance_Width_Max;
  } else {
    u.maxAdvance = face->max_advance_width;
  }
  if (!LowercaseAverage(face, u.avgWidth) && os2 != nullptr && os2->version != 0xFFFF &&
      os2->xAvgCharWidth > 0)
    u.avgWidth = os2->xAvgCharWidth;
  if (os2 != nullptr && os2->version != 0xFFFF) {
    u.strikePos = os2->yStrikeoutPosition;
    u.strikeThick = os2->yStrikeoutSize;
  } else {
    u.strikePos = u.ascent * 0.35;
    u.strikeThick = u.upem / 20;
  }
  if (face->underline_thickness > 0) {
    u.underlinePos = face->underline_position;
    u.underlineThick = face->underline_thickness;
  }
  return u;
}

class FtFont final : public Font {
 public:
  FtFont(const FontRequest& req, FaceSource primary, const FaceSource* fallback)
      : primary_(std::move(primary)) {
    request_ = req;
    if (fallback != nullptr && !fallback->file.empty() &&
        (fallback->file != primary_.file || fallback->index != primary_.index)) {
      fallback_ = *fallback;
      fallback_.syntheticBold = req.weight >= 600;
      fallback_.syntheticItalic = req.italic;
      hasFallback_ = true;
    }
    FT_Face face = State().Load(primary_);
    VerticalUnits u = ReadUnits(face, IsCjkFamily(primary_.family));
    double em;
    if (req.height < 0)
      em = -req.height;
    else if (req.height > 0)
      em = req.height * u.upem / (u.ascent + u.descent);
    else
      em = kDefaultEm;
    const double s = em / u.upem;
    FontMetrics& m = metrics_;
    m.em = em;
    m.ascent = u.ascent * s;
    m.descent = u.descent * s;
    m.height = m.ascent + m.descent;
    m.internalLeading = m.height - em;
    m.externalLeading = u.lineGap * s;
    const double naturalAvg = u.avgWidth * s;
    m.xScale = (req.width > 0 && naturalAvg > 0) ? req.width / naturalAvg : 1.0;
    m.aveCharWidth = naturalAvg * m.xScale;
    m.maxCharWidth = u.maxAdvance * s * m.xScale;
    m.underlinePosition = -u.underlinePos * s;
    m.underlineThickness = u.underlineThick * s;
    m.strikeOutPosition = u.strikePos * s;
    m.strikeOutThickness = u.strikeThick * s;
    m.weight = req.weight;
    m.italic = req.italic;
  }

  std::vector<Glyph> Shape(std::string_view utf8) const override {
    std::vector<Glyph> out;
    out.reserve(utf8.size());  // a glyph per code point, and no code point is shorter than a byte
    std::lock_guard lock(detail::FreeTypeMutex());
    double x = 0;
    ForEachCodepoint(utf8, [&](char32_t cp, std::size_t off, std::size_t len) {
      Glyph g;
      g.ch = cp;
      g.byteOffset = off;
      g.byteLength = len;
      g.x = x;
      const Entry& e = LookupLocked(cp);
      g.index = e.index;
      g.slot = e.slot;
      g.advance = e.advance;
      x += e.advance;
      out.push_back(g);
    });
    return out;
  }

  double Advance(char32_t ch) const override {
    std::lock_guard lock(detail::FreeTypeMutex());
    return LookupLocked(ch).advance;
  }

  const FaceSource* Face(int slot) const override {
    if (slot == 0) return primary_.file.empty() ? nullptr : &primary_;
    if (slot == 1 && hasFallback_) return &fallback_;
    return nullptr;
  }

 private:
  struct Entry {
    std::uint32_t index = 0;
    std::uint8_t slot = 0;
    double advance = 0;
  };

  const Entry& LookupLocked(char32_t ch) const {
    // The first code points, which most labels are written in, look up without hashing.
    if (ch < kDirect) {
      if (!direct_[ch].known) direct_[ch] = Direct{Lookup(ch), true};
      return direct_[ch].entry;
    }
    auto it = cache_.find(ch);
    if (it != cache_.end()) return it->second;
    const Entry e = Lookup(ch);
    // The cache is per font; strings of a font rarely use more than a few
    // thousand distinct characters, but stop growing at a generous bound.
    if (cache_.size() > 65536) cache_.clear();
    return cache_.emplace(ch, e).first->second;
  }

  Entry Lookup(char32_t ch) const {
    Entry e;
    double adv = 0;
    std::uint32_t index = 0;
    bool have = detail::LookupGlyphLocked(primary_, ch, index, adv);
    if ((!have || index == 0) && hasFallback_) {
      std::uint32_t fbIndex = 0;
      double fbAdv = 0;
      if (detail::LookupGlyphLocked(fallback_, ch, fbIndex, fbAdv) && fbIndex != 0) {
        index = fbIndex;
        adv = fbAdv;
        e.slot = 1;
        have = true;
      }
    }
    e.index = index;
    e.advance = have ? adv * metrics_.em * metrics_.xScale : 0.5 * metrics_.em * metrics_.xScale;
    return e;
  }

  struct Direct {
    Entry entry;
    bool known = false;
  };
  static constexpr char32_t kDirect = 256;

  FaceSource primary_;
  FaceSource fallback_;
  bool hasFallback_ = false;
  mutable std::unordered_map<char32_t, Entry> cache_;
  mutable std::array<Direct, kDirect> direct_{};
};

struct RequestHash {
  std::size_t operator()(const FontRequest& r) const {
    std::size_t h = std::hash<std::string>()(r.face);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(std::hash<double>()(r.height));
    mix(std::hash<double>()(r.width));
    mix(static_cast<std::size_t>(r.weight));
    mix(static_cast<std::size_t>(r.italic) | (static_cast<std::size_t>(r.underline) << 1) |
        (static_cast<std::size_t>(r.strikeOut) << 2));
    mix(static_cast<std::size_t>(r.escapement + 3600) * 7919 +
        static_cast<std::size_t>(r.orientation + 3600));
    mix(static_cast<std::size_t>(r.charSet));
    return h;
  }
};

class FreeTypeEngineImpl final : public TextEngine {
 public:
  const char* Name() const override { return "freetype"; }

  FontPtr Match(const FontRequest& request) override {
    std::lock_guard lock(detail::FreeTypeMutex());
    auto it = fonts_.find(request);
    if (it != fonts_.end()) return it->second;
    const std::string family = MappedFamily(request.face);
    const FaceKeyBySpec spec{family, request.weight >= 600, request.italic};
    auto fit = faces_.find(spec);
    if (fit == faces_.end())
      fit = faces_.emplace(spec, ResolveFace(family, request.weight, request.italic)).first;
    FaceSource primary = fit->second;
    if (primary.file.empty()) {
      const FaceSource* def = DefaultLocked();
      if (def != nullptr) primary = *def;
    }
    auto font = std::make_shared<FtFont>(request, primary, DefaultLocked());
    if (fonts_.size() >= kFontCacheLimit) fonts_.clear();
    fonts_.emplace(request, font);
    return font;
  }

  // A monospaced CJK face whose Latin is half an em wide: the look of the
  // fixed-metrics engine. The default face when it is not installed.
  const FaceSource* MonoLocked() {
    if (!monoResolved_) {
      monoResolved_ = true;
      const std::string family = "Noto Sans Mono CJK SC";
      monoFace_ = ResolveFace(family, 400, false);
      if (monoFace_.family != family) monoFace_ = FaceSource{};
    }
    return monoFace_.file.empty() ? DefaultLocked() : &monoFace_;
  }

  const FaceSource* DefaultLocked() {
    if (!defaultResolved_) {
      defaultResolved_ = true;
      defaultFace_ = ResolveFace(MappedFamily(""), 400, false);
    }
    return defaultFace_.file.empty() ? nullptr : &defaultFace_;
  }

 private:
  struct FaceKeyBySpec {
    std::string family;
    bool bold;
    bool italic;
    bool operator<(const FaceKeyBySpec& o) const {
      if (family != o.family) return family < o.family;
      if (bold != o.bold) return bold < o.bold;
      return italic < o.italic;
    }
  };
  std::unordered_map<FontRequest, FontPtr, RequestHash> fonts_;
  std::map<FaceKeyBySpec, FaceSource> faces_;
  FaceSource defaultFace_;
  bool defaultResolved_ = false;
  FaceSource monoFace_;
  bool monoResolved_ = false;
};

FreeTypeEngineImpl& Impl() {
  static FreeTypeEngineImpl engine;
  return engine;
}

}  // namespace

namespace detail {

std::mutex& FreeTypeMutex() { return State().mutex; }

const FaceSource* MonospacedCjkFace() {
  std::lock_guard lock(FreeTypeMutex());
  return Impl().MonoLocked();
}

bool LookupGlyphLocked(const FaceSource& src, char32_t ch, std::uint32_t& index, double& advanceInEm) {
  index = 0;
  advanceInEm = 0;
  FT_Face face = State().Load(src);
  if (face == nullptr) return false;
  index = FT_Get_Char_Index(face, ch);
  FT_Fixed adv = 0;
  if (FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &adv) != 0) return false;
  const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
  advanceInEm = static_cast<double>(adv) / upem;
  return true;
}

}  // namespace detail

TextEngine& FreeTypeEngine() { return Impl(); }

}  // namespace md::text
