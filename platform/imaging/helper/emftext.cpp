// Placing libemf2svg's texts where their alignment and turn put them.
#include "platform/imaging/helper/emftext.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/imaging/helper/emfstrings.h"
#include "platform/text/textengine.h"

namespace md::imaging::detail {
namespace {

// What libemf2svg takes a text's ascent for, of its size.
constexpr double kLibraryAscent = 0.9;

// A face's ascent and descent, of its em.
struct Heights {
  double ascent = 0, descent = 0;
};

// The heights of the face fontconfig finds for the family, weight and
// slant, as librsvg finds it: its Windows ascent and descent where it has
// them (what GDI aligns a TrueType face's text by), else FreeType's.
std::optional<Heights> Measure(const std::string& family, int weight, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  if (!family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  FcChar8* file = nullptr;
  int index = 0;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  std::optional<Heights> heights;
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && FT_Init_FreeType(&library) == 0 &&
      FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0) {
    const double em = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (em > 0 && os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      heights = Heights{os2->usWinAscent / em, os2->usWinDescent / em};
    } else if (em > 0 && face->ascender - face->descender > 0) {
      heights = Heights{face->ascender / em, -face->descender / em};
    }
    FT_Done_Face(face);
  }
  if (library != nullptr) FT_Done_FreeType(library);
  FcPatternDestroy(match);
  return heights;
}

// Measure's answers, each face measured once.
std::optional<Heights> Measured(const std::string& family, int weight, bool italic) {
  static std::mutex lock;
  static std::map<std::tuple<std::string, int, bool>, std::optional<Heights>> known;
  const std::lock_guard<std::mutex> hold(lock);
  const auto key = std::make_tuple(family, weight, italic);
  const auto found = known.find(key);
  if (found != known.end()) return found->second;
  return known[key] = Measure(family, weight, italic);
}

// The value of the tag's attribute, and where it lies in the markup.
struct Attribute {
  std::size_t at = std::string::npos, size = 0;
  std::string_view value;
};
Attribute Find(const std::string& markup, std::size_t tag, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t end = markup.find('>', tag);
  const std::size_t start = markup.find(key, tag);
  if (start == std::string::npos || start > end) return {};
  const std::size_t at = start + key.size(), close = markup.find('"', at);
  if (close == std::string::npos) return {};
  return {at, close - at, std::string_view(markup).substr(at, close - at)};
}

bool Number(std::string_view s, double* v) {
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), *v);
  return error == std::errc() && end == s.data() + s.size();
}

// The face name as written with the stand-ins of its special characters
// (emfstrings.h) written back.
std::string FamilyName(std::string_view written) {
  std::string out(written);
  constexpr std::pair<std::string_view, char> kStandIns[] = {
      {"\xEF\xB7\x90", '&'}, {"\xEF\xB7\x91", '<'}, {"\xEF\xB7\x92", '"'}};
  for (const auto& [standIn, c] : kStandIns)
    for (std::size_t at = out.find(standIn); at != std::string::npos; at = out.find(standIn, at + 1))
      out.replace(at, standIn.size(), 1, c);
  return out;
}

}  // namespace

void PlaceEmfText(std::string* markup, TextAlign align) {
  const std::size_t tag = markup->rfind("<text");
  if (tag == std::string::npos) return;
  // Turned: rotate(angle, x, y + 0.9 size) translate(0, 0.9 size) carries
  // the reference point (x, y) 0.9 of the size down the page; it turns
  // about (x, y) itself.
  const Attribute turn = Find(*markup, tag, "transform");
  int angle = 0;
  double x = 0, y = 0, down = 0;
  char rest = 0;
  if (turn.at != std::string::npos &&
      std::sscanf(std::string(turn.value).c_str(), "rotate(%d, %lf, %lf) translate(0, %lf)%c", &angle, &x, &y,
                  &down, &rest) == 4) {
    char turned[96];
    std::snprintf(turned, sizeof turned, "rotate(%d, %.9g, %.9g)", angle, x, y - down);
    markup->replace(turn.at, turn.size, turned);
  }
  if (align == TextAlign::Baseline) return;
  const Attribute baseline = Find(*markup, tag, "y"), size = Find(*markup, tag, "font-size"),
                  family = Find(*markup, tag, "font-family"), weight = Find(*markup, tag, "font-weight");
  double at = 0, em = 0, heavy = 400;
  if (!Number(baseline.value, &at) || !Number(size.value, &em) ||
      (weight.at != std::string::npos && !Number(weight.value, &heavy)))
    return;
  const bool italic = Find(*markup, tag, "font-style").value == "italic";
  const std::optional<Heights> heights =
      Measured(FamilyName(family.value), static_cast<int>(std::clamp(heavy, 1.0, 1000.0)), italic);
  if (!heights) return;
  // Bottom: the baseline lies the descent above the reference point; top:
  // the ascent below it, where the library puts it 0.9 of the size below.
  at += align == TextAlign::Bottom ? -heights->descent * em : (heights->ascent - kLibraryAscent) * em;
  char placed[32];
  std::snprintf(placed, sizeof placed, "%.9g", at);
  markup->replace(baseline.at, baseline.size, placed);
}

std::vector<double> SpaceEmfText(std::string* markup, std::string_view text, const TextSpacing& spacing) {
  const std::size_t tag = markup->rfind("<text");
  if (tag == std::string::npos) return {};
  const Attribute x = Find(*markup, tag, "x"), size = Find(*markup, tag, "font-size");
  double at = 0, em = 0;
  if (!Number(x.value, &at) || !Number(size.value, &em) || !(em > 0)) return {};
  // Each character's offset along the baseline from the first's.
  std::vector<double> places;
  double advance = 0;
  std::size_t unit = 0;
  bool fits = true;
  md::text::ForEachCodepoint(text, [&](char32_t c, std::size_t, std::size_t) {
    const std::size_t units = c > 0xFFFF ? 2 : 1;
    if (unit + units > spacing.advances.size()) {
      fits = false;
      return;
    }
    places.push_back(advance);
    for (std::size_t k = 0; k < units; ++k) advance += spacing.advances[unit + k] * em;
    unit += units;
  });
  if (!fits || places.empty() || !std::isfinite(advance)) return {};
  // The alignment across, as the library anchors it, from the advance.
  const Attribute anchor = Find(*markup, tag, "text-anchor");
  const double start = anchor.value == "middle" ? at - advance / 2
                       : anchor.value == "end"  ? at - advance
                                                : at;
  const double stretch = spacing.across > 0 ? spacing.across : 1;
  for (double& place : places) place = at + (start + place - at) / stretch;
  if (anchor.at != std::string::npos) markup->replace(anchor.at, anchor.size, "start");
  if (spacing.across > 0) {
    char scaled[128];
    std::snprintf(scaled, sizeof scaled, " translate(%.9g, 0) scale(%.9g, 1) translate(%.9g, 0)", at, stretch,
                  -at);
    const Attribute turn = Find(*markup, tag, "transform");
    if (turn.at != std::string::npos) {
      markup->insert(turn.at + turn.size, scaled);
    } else {
      const std::size_t end = markup->find('>', tag);
      if (end == std::string::npos) return {};
      markup->insert(end, std::string(" transform=\"") + (scaled + 1) + "\"");
    }
  }
  return places;
}

}  // namespace md::imaging::detail
