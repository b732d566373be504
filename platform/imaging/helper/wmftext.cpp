#include "platform/imaging/helper/wmftext.h"

#include <cairo-ft.h>
#include <fontconfig/fcfreetype.h>
#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace md::imaging::detail {
namespace {

// The language whose glyph forms a Chinese, Japanese or Korean character
// set asks for.
const char* Language(unsigned charset) {
  switch (charset) {
    case 128:
      return "ja";
    case 129:
    case 130:
      return "ko";
    case 134:
      return "zh-cn";
    case 136:
      return "zh-tw";
    default:
      return nullptr;
  }
}

// Whether a byte of the character set starts a character of two.
bool LeadByte(unsigned charset, unsigned char byte) {
  return (charset == 128 || charset == 129 || charset == 134 || charset == 136) && byte >= 0x81 &&
         byte != 0xFF && !(charset == 128 && byte >= 0xA0 && byte <= 0xDF);
}

// The generic family a font's pitch and family byte asks for where its
// named face is not installed: a fixed pitch or a modern family stays
// monospace.
const char* Generic(unsigned pitchAndFamily) {
  if ((pitchAndFamily & 3) == 1) return "monospace";
  switch (pitchAndFamily & 0xF0) {
    case 0x10:
      return "serif";
    case 0x30:
      return "monospace";
    case 0x40:
      return "cursive";
    default:
      return "sans-serif";
  }
}

using FaceKey = std::tuple<std::string, int, bool, std::string, std::string, std::string>;

// fontconfig's face for the font: its named family first, then the generic
// one its pitch and family ask for, of the weight and slant; of a text it
// must hold (`chars` not empty) the nearest that holds every character.
// Each is found once a run.
cairo_font_face_t* Match(const WmfFontSpec& font, const std::vector<FcChar32>& chars) {
  static std::map<FaceKey, cairo_font_face_t*> known;
  std::string needed;
  for (FcChar32 c : chars) needed += std::to_string(c) + ",";
  const char* language = Language(font.charset);
  const FaceKey key{
      font.family, font.weight, font.italic, Generic(font.pitchAndFamily), language ? language : "", needed};
  if (const auto found = known.find(key); found != known.end()) return found->second;
  FcPattern* pattern = FcPatternCreate();
  if (!font.family.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.family.c_str()));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Generic(font.pitchAndFamily)));
  if (!chars.empty()) {
    FcCharSet* set = FcCharSetCreate();
    for (FcChar32 c : chars) FcCharSetAddChar(set, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, set);
    FcCharSetDestroy(set);
  }
  if (language != nullptr) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(font.weight > 0 ? font.weight : 400));
  FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  cairo_font_face_t* face = nullptr;
  if (match != nullptr) {
    face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
  }
  return known[key] = face;
}

// Whether the face holds every character.
bool Holds(cairo_scaled_font_t* scaled, const std::vector<FcChar32>& chars) {
  FT_Face face = cairo_ft_scaled_font_lock_face(scaled);
  bool all = face != nullptr;
  for (std::size_t k = 0; all && k < chars.size(); ++k)
    all = chars[k] < 0x20 || FcFreeTypeCharIndex(face, chars[k]) != 0;
  if (face != nullptr) cairo_ft_scaled_font_unlock_face(scaled);
  return all;
}

// The code points of UTF-8 text.
std::vector<FcChar32> CodePoints(const std::string& s) {
  std::vector<FcChar32> out;
  for (std::size_t k = 0; k < s.size();) {
    FcChar32 c = 0;
    const int n =
        FcUtf8ToUcs4(reinterpret_cast<const FcChar8*>(s.data() + k), &c, static_cast<int>(s.size() - k));
    if (n <= 0) break;
    out.push_back(c);
    k += static_cast<std::size_t>(n);
  }
  return out;
}

// What GDI places and sizes a face's text by, of its em: its Windows
// ascent and descent (a TrueType face's; else FreeType's), and where its
// underline and strikeout lie and how thick.
struct FaceMetrics {
  double ascent = 0.9, descent = 0.2, underline = -0.1, underlineSize = 0.05, strikeout = 0.26,
         strikeoutSize = 0.05;
};

FaceMetrics Metrics(cairo_scaled_font_t* scaled) {
  FaceMetrics m;
  FT_Face face = cairo_ft_scaled_font_lock_face(scaled);
  if (face == nullptr) return m;
  const double em = face->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (em > 0) {
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      m.ascent = os2->usWinAscent / em;
      m.descent = os2->usWinDescent / em;
      if (os2->yStrikeoutSize > 0) {
        m.strikeout = os2->yStrikeoutPosition / em;
        m.strikeoutSize = os2->yStrikeoutSize / em;
      }
    } else if (face->ascender - face->descender > 0) {
      m.ascent = face->ascender / em;
      m.descent = -face->descender / em;
    }
    if (face->underline_thickness > 0) {
      m.underline = face->underline_position / em;
      m.underlineSize = face->underline_thickness / em;
    }
  }
  cairo_ft_scaled_font_unlock_face(scaled);
  return m;
}

// The scaled font of the face at an em of 1, unhinted, its advances those
// of its outlines on every output.
cairo_scaled_font_t* Scaled(cairo_font_face_t* face) {
  cairo_matrix_t unit, identity;
  cairo_matrix_init_identity(&unit);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &unit, &identity, options);
  cairo_font_options_destroy(options);
  return scaled;
}

void Rectangle(cairo_t* cr, double x0, double y0, double x1, double y1, const double* colour) {
  cairo_set_source_rgb(cr, colour[0], colour[1], colour[2]);
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_fill(cr);
}

}  // namespace

void DrawWmfText(cairo_t* cr, const WmfFontSpec& font, const std::string& utf8, const WmfText* record,
                 const WmfTextCall& call, double* endX, double* endY) {
  *endX = call.x;
  *endY = call.y;
  const std::vector<FcChar32> chars = CodePoints(utf8);
  if (chars.empty()) return;
  cairo_font_face_t* face = font.symbolFace;
  if (face == nullptr) {
    face = Match(font, {});
    cairo_scaled_font_t* probe = face != nullptr ? Scaled(face) : nullptr;
    if (probe == nullptr || !Holds(probe, chars)) face = Match(font, chars);
    if (probe != nullptr) cairo_scaled_font_destroy(probe);
  }
  if (face == nullptr) return;
  cairo_scaled_font_t* scaled = Scaled(face);
  if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
    cairo_scaled_font_destroy(scaled);
    return;
  }
  const FaceMetrics metrics = Metrics(scaled);
  // The text is drawn in the device's pixels, upright whatever the mapping
  // (GDI's compatible mode), as unstretched as the picture's own pixels:
  // down, a pixel of the box over `stretch`. Sizes in them: the em from the
  // height (a cell's holds the ascent and descent); a width stretches the
  // glyphs by its share of the height, as libwmf and LibreOffice read it.
  cairo_matrix_t ctm;
  cairo_get_matrix(cr, &ctm);
  const double unitX = std::fabs(call.unitX * ctm.xx), unitY = std::fabs(call.unitY * ctm.yy) / call.stretch;
  double em = std::abs(call.height) * unitY;
  if (call.height > 0) em /= std::max(metrics.ascent + metrics.descent, 0.01);
  const double across = call.width != 0 && call.height != 0
                            ? std::abs(call.width) * unitX / (std::abs(call.height) * unitY)
                            : 1.0;
  if (!(em > 0) || !(across > 0) || !std::isfinite(em * across)) {
    cairo_scaled_font_destroy(scaled);
    return;  // a font of no size draws nothing
  }
  // The glyphs at an em of 1, then placed in device points along the
  // baseline: at the record's widths, or the face's advances and the DC's
  // extra space.
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8.c_str(), static_cast<int>(utf8.size()), &glyphs,
                                       &count, nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS ||
      count <= 0) {
    cairo_scaled_font_destroy(scaled);
    return;
  }
  std::vector<double> widths;
  if (record != nullptr && !record->dx.empty()) {
    for (std::size_t k = 0; k < record->bytes.size() && k < record->dx.size(); ++k) {
      const bool pair = LeadByte(font.charset, static_cast<unsigned char>(record->bytes[k])) &&
                        k + 1 < record->bytes.size() && k + 1 < record->dx.size();
      widths.push_back((record->dx[k] + (pair ? record->dx[k + 1] : 0)) * unitX);
      if (pair) ++k;
    }
    if (widths.size() != static_cast<std::size_t>(count)) widths.clear();
  }
  double advance = 0;
  for (int k = 0; k < count; ++k) {
    cairo_text_extents_t e;
    if (widths.empty()) {
      cairo_scaled_font_glyph_extents(scaled, &glyphs[k], 1, &e);
      const double w = e.x_advance * em * across + call.charExtra * unitX;
      glyphs[k].x = advance;
      advance += w;
    } else {
      glyphs[k].x = advance;
      advance += widths[static_cast<std::size_t>(k)];
    }
    glyphs[k].y = 0;
  }
  const unsigned horizontal = call.align & kTaCentre, vertical = call.align & kTaBaseline;
  const double start = horizontal == kTaCentre ? -advance / 2 : horizontal == kTaRight ? -advance : 0;
  const double baseline = vertical == kTaBaseline ? 0
                          : vertical == kTaBottom ? -metrics.descent * em
                                                  : metrics.ascent * em;
  if (call.hasRect && (record == nullptr || (record->options & kEtoOpaque) != 0)) {
    Rectangle(cr, std::min(call.rect[0], call.rect[2]), std::min(call.rect[1], call.rect[3]),
              std::max(call.rect[0], call.rect[2]), std::max(call.rect[1], call.rect[3]), call.background);
  }
  cairo_save(cr);
  if (call.hasRect && record != nullptr && (record->options & kEtoClipped) != 0) {
    cairo_rectangle(cr, std::min(call.rect[0], call.rect[2]), std::min(call.rect[1], call.rect[3]),
                    std::fabs(call.rect[2] - call.rect[0]), std::fabs(call.rect[3] - call.rect[1]));
    cairo_clip(cr);
  }
  // Turned by the escapement, counter-clockwise on the page.
  double px = call.x, py = call.y;
  cairo_user_to_device(cr, &px, &py);
  cairo_identity_matrix(cr);
  cairo_translate(cr, px, py);
  cairo_scale(cr, 1, call.stretch);
  cairo_rotate(cr, -call.escapement);
  // Where the advance ends, for TA_UPDATECP: past the text left aligned,
  // before it right aligned, the reference point centred.
  double ex = horizontal == kTaCentre ? 0 : horizontal == kTaRight ? -advance : advance, ey = 0;
  cairo_user_to_device(cr, &ex, &ey);
  if (call.opaque) {
    Rectangle(cr, start, baseline - metrics.ascent * em, start + advance, baseline + metrics.descent * em,
              call.background);
  }
  cairo_translate(cr, start, baseline);
  cairo_set_source_rgb(cr, call.text[0], call.text[1], call.text[2]);
  for (int k = 0; k < count; ++k) glyphs[k].x /= em * across;
  cairo_scale(cr, em * across, em);
  cairo_set_scaled_font(cr, scaled);
  cairo_show_glyphs(cr, glyphs, count);
  cairo_glyph_free(glyphs);
  // Underline and strikeout across the advance, as thick as the face says.
  const double line = advance / (em * across);
  if (font.underline) {
    const double y = -metrics.underline;
    cairo_rectangle(cr, 0, y - metrics.underlineSize / 2, line, metrics.underlineSize);
    cairo_fill(cr);
  }
  if (font.strikeout) {
    cairo_rectangle(cr, 0, -metrics.strikeout, line, metrics.strikeoutSize);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  cairo_device_to_user(cr, &ex, &ey);
  *endX = ex;
  *endY = ey;
  cairo_scaled_font_destroy(scaled);
}

}  // namespace md::imaging::detail
