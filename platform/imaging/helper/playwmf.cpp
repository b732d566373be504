// The Windows metafile reader: libwmf plays the records (objects, the
// device context, the mapping to device points) and calls the drawing
// device below, which draws each shape with cairo into the picture's
// pixels. A placeable file's picture is its frame: the window its records
// set up (the frame itself when they set none) is stretched over it, as a
// placeable file is played into the frame's place. A file without the
// placeable header names no size: its picture is the box of what it draws,
// a unit a point. The helper program runs this (request.h).
#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/font.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>

#include <cairo-ft.h>
#include <fontconfig/fcfreetype.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/imaging/helper/charset.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/drawlist.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging {
namespace {

using detail::kWmfHeaderBytes;
using detail::kWmfPlaceableBytes;
using detail::MetafileS16;
using detail::MetafileU16;
using detail::MetafileU32;
using detail::WmfFrame;

void Put16(std::vector<std::uint8_t>* b, int v) {
  b->push_back(static_cast<std::uint8_t>(v & 0xFF));
  b->push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

struct Device {
  cairo_t* cr = nullptr;
  wmfD_Coord origin{};                        // the device point at the picture's top left
  double scaleX = 1.0, scaleY = 1.0;          // pixels per device point (negative: mirrored)
  double scale = 1.0;                         // the smaller of the two, unsigned
  double picturePixel = 1.0;                  // pixels per pixel of the picture's own (300 dpi)
  double stretch = 1.0;                       // how much more the box stretches it down than across
  std::vector<wmfD_Coord>* probed = nullptr;  // set: the pixels' points are kept, nothing drawn
  bool svg = false;                           // the drawing is written as SVG too
};

Device* Dev(wmfAPI* api) { return static_cast<Device*>(api->device_data); }

void SetColour(cairo_t* cr, const wmfRGB* c) {
  cairo_set_source_rgb(cr, c->r / 255.0, c->g / 255.0, c->b / 255.0);
}

// A cairo surface of the bitmap's pixels, or NULL.
cairo_surface_t* BitmapSurface(wmfAPI* api, wmfBMP* bmp, unsigned x0, unsigned y0, unsigned w, unsigned h) {
  if (bmp->data == nullptr || w == 0 || h == 0 || x0 + w > bmp->width || y0 + h > bmp->height) return nullptr;
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  auto* row = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (unsigned y = 0; y < h; ++y) {
    auto* d = reinterpret_cast<std::uint32_t*>(row + static_cast<std::size_t>(y) * stride);
    for (unsigned x = 0; x < w; ++x) {
      wmfRGB c{};
      const int opacity = wmf_ipa_bmp_color(api, bmp, &c, x0 + x, bmp->height - 1 - (y0 + y));
      const unsigned a = opacity < 0 ? 255u : std::min(255u, static_cast<unsigned>(opacity));
      d[x] = detail::PremultipliedPixel(c.r, c.g, c.b, a);
    }
  }
  cairo_surface_mark_dirty(s);
  if (Dev(api)->svg) detail::AttachPalettePng(s);
  return s;
}

// The brush as the cairo source; false for a hollow brush.
bool SetBrush(wmfAPI* api, wmfDC* dc) {
  Device* d = Dev(api);
  wmfBrush* b = WMF_DC_BRUSH(dc);
  if (b == nullptr || WMF_BRUSH_STYLE(b) == BS_NULL) return false;
  cairo_t* cr = d->cr;
  SetColour(cr, WMF_BRUSH_COLOR(b));
  if (WMF_BRUSH_STYLE(b) == BS_HATCHED) {
    // An 8-pixel cell of the hatch lines over the background (when opaque).
    cairo_surface_t* cell = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* c = cairo_create(cell);
    if (WMF_DC_OPAQUE(dc)) {
      SetColour(c, WMF_DC_BACKGROUND(dc));
      cairo_paint(c);
    }
    SetColour(c, WMF_BRUSH_COLOR(b));
    cairo_set_line_width(c, 1.0);
    const unsigned hatch = WMF_BRUSH_HATCH(b);
    if (hatch == HS_HORIZONTAL || hatch == HS_CROSS) {
      cairo_move_to(c, 0, 3.5);
      cairo_line_to(c, 8, 3.5);
    }
    if (hatch == HS_VERTICAL || hatch == HS_CROSS) {
      cairo_move_to(c, 3.5, 0);
      cairo_line_to(c, 3.5, 8);
    }
    if (hatch == HS_FDIAGONAL || hatch == HS_DIAGCROSS) {
      cairo_move_to(c, 0, 0);
      cairo_line_to(c, 8, 8);
    }
    if (hatch == HS_BDIAGONAL || hatch == HS_DIAGCROSS) {
      cairo_move_to(c, 0, 8);
      cairo_line_to(c, 8, 0);
    }
    cairo_stroke(c);
    cairo_destroy(c);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(cell);
    cairo_surface_destroy(cell);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m;
    // One cell is 8 pixels of the picture's own, whatever size it is drawn at.
    cairo_matrix_init_scale(&m, d->scale / d->picturePixel, d->scale / d->picturePixel);
    cairo_pattern_set_matrix(p, &m);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
  } else if (WMF_BRUSH_STYLE(b) == BS_PATTERN || WMF_BRUSH_STYLE(b) == BS_DIBPATTERN ||
             WMF_BRUSH_STYLE(b) == BS_DIBPATTERNPT) {
    wmfBMP* bmp = WMF_BRUSH_BITMAP(b);
    cairo_surface_t* s = BitmapSurface(api, bmp, 0, 0, bmp->width, bmp->height);
    if (s != nullptr) {
      cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
      cairo_surface_destroy(s);
      cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
      cairo_matrix_t m;
      cairo_matrix_init_scale(&m, d->scale, d->scale);
      cairo_pattern_set_matrix(p, &m);
      cairo_set_source(cr, p);
      cairo_pattern_destroy(p);
    }
  }
  cairo_set_fill_rule(cr,
                      WMF_DC_POLYFILL(dc) == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  return true;
}

// The pen as the cairo stroke in the drawing's pixels (FillAndStroke strokes
// there); false for a null pen.
bool SetPen(wmfAPI* api, wmfDC* dc) {
  Device* d = Dev(api);
  wmfPen* pen = WMF_DC_PEN(dc);
  if (pen == nullptr || WMF_PEN_STYLE(pen) == PS_NULL) return false;
  cairo_t* cr = d->cr;
  SetColour(cr, WMF_PEN_COLOR(pen));
  // The pen's width is given across, in libwmf's units of the x axis, which
  // a mapping that stretches the picture unevenly makes unlike those down.
  // A pen of no width, or thinner than a pixel, is one pixel wide, marked
  // as a hairline.
  const double pixels = WMF_PEN_WIDTH(pen) * std::fabs(d->scaleX), width = std::max(pixels, 1.0);
  cairo_set_line_width(cr, width);
  cairo_set_miter_limit(cr, pixels < 1.0 ? drawlist::kHairlineMiterLimit : 10.0);
  switch (WMF_PEN_ENDCAP(pen)) {
    case PS_ENDCAP_SQUARE:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
      break;
    case PS_ENDCAP_FLAT:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      break;
    default:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  }
  switch (WMF_PEN_JOIN(pen)) {
    case PS_JOIN_BEVEL:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
      break;
    case PS_JOIN_MITER:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      break;
    default:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  }
  const double u = width;
  const double dash[] = {3 * u, u}, dot[] = {u, u}, dashDot[] = {3 * u, u, u, u},
               dashDotDot[] = {3 * u, u, u, u, u, u};
  switch (WMF_PEN_STYLE(pen)) {
    case PS_DASH:
      cairo_set_dash(cr, dash, 2, 0);
      break;
    case PS_DOT:
    case PS_ALTERNATE:
      cairo_set_dash(cr, dot, 2, 0);
      break;
    case PS_DASHDOT:
      cairo_set_dash(cr, dashDot, 4, 0);
      break;
    case PS_DASHDOTDOT:
      cairo_set_dash(cr, dashDotDot, 6, 0);
      break;
    default:
      cairo_set_dash(cr, nullptr, 0, 0);
  }
  return true;
}

// The current path moved onto the centres of the drawing's pixels, as a
// device draws a line a pixel wide: on whole pixels, not half on two.
void OntoPixelCentres(cairo_t* cr) {
  cairo_path_t* path = cairo_copy_path(cr);
  for (int k = 0; k < path->num_data; k += path->data[k].header.length)
    for (int p = 1; p < path->data[k].header.length; ++p) {
      cairo_path_data_t& point = path->data[k + p];
      cairo_user_to_device(cr, &point.point.x, &point.point.y);
      point.point.x = std::floor(point.point.x) + 0.5;
      point.point.y = std::floor(point.point.y) + 0.5;
      cairo_device_to_user(cr, &point.point.x, &point.point.y);
    }
  cairo_new_path(cr);
  cairo_append_path(cr, path);
  cairo_path_destroy(path);
}

// Fills the current path with the brush and strokes it with the pen. A pen
// of a pixel or more is stretched down as a box of another shape than the
// picture's own stretches the picture, so that the box's pixels show it as
// the picture stretched over the box (its vectors) does; a hairline stays
// one pixel every way.
void FillAndStroke(wmfAPI* api, wmfDC* dc, bool fill = true) {
  const Device* d = Dev(api);
  cairo_t* cr = d->cr;
  if (fill && SetBrush(api, dc)) cairo_fill_preserve(cr);
  if (SetPen(api, dc)) {
    const bool hairline = drawlist::IsHairlineMiterLimit(cairo_get_miter_limit(cr));
    if (hairline) OntoPixelCentres(cr);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    if (!hairline) cairo_scale(cr, 1.0, d->stretch);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
  }
  cairo_new_path(cr);
}

void DeviceOpen(wmfAPI*) {}
void DeviceClose(wmfAPI*) {}
void DeviceBegin(wmfAPI* api) {
  Device* d = Dev(api);
  if (d->cr == nullptr) return;
  cairo_identity_matrix(d->cr);
  cairo_scale(d->cr, d->scaleX, d->scaleY);
  cairo_translate(d->cr, -d->origin.x, -d->origin.y);
}
void DeviceEnd(wmfAPI*) {}
void Flood(wmfAPI*, wmfFlood_t*) {}  // flood fills need the pixels drawn so far; not drawn

void DrawPixel(wmfAPI* api, wmfDrawPixel_t* p) {
  if (Dev(api)->probed != nullptr) {
    Dev(api)->probed->push_back(p->pt);
    return;
  }
  cairo_t* cr = Dev(api)->cr;
  SetColour(cr, &p->color);
  cairo_rectangle(cr, p->pt.x, p->pt.y, p->pixel_width, p->pixel_height);
  cairo_fill(cr);
}

// An elliptic arc from `start` to `end`, counter-clockwise as seen on the
// page (device y grows downwards).
void ArcPath(wmfAPI* api, wmfDrawArc_t* a, int kind /* 0 arc, 1 pie, 2 chord */) {
  cairo_t* cr = Dev(api)->cr;
  const double cx = (a->TL.x + a->BR.x) / 2, cy = (a->TL.y + a->BR.y) / 2;
  const double rx = std::fabs(a->BR.x - a->TL.x) / 2, ry = std::fabs(a->BR.y - a->TL.y) / 2;
  if (rx <= 0 || ry <= 0) return;
  const double a1 = std::atan2((a->start.y - cy) / ry, (a->start.x - cx) / rx);
  const double a2 = std::atan2((a->end.y - cy) / ry, (a->end.x - cx) / rx);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  if (kind == 1) cairo_move_to(cr, 0, 0);
  cairo_arc_negative(cr, 0, 0, 1, a1, a2 == a1 ? a1 - 2 * M_PI : a2);
  if (kind != 0) cairo_close_path(cr);
  cairo_restore(cr);
  FillAndStroke(api, a->dc, kind != 0);
}
void DrawPie(wmfAPI* api, wmfDrawArc_t* a) { ArcPath(api, a, 1); }
void DrawChord(wmfAPI* api, wmfDrawArc_t* a) { ArcPath(api, a, 2); }
void DrawArc(wmfAPI* api, wmfDrawArc_t* a) { ArcPath(api, a, 0); }

void DrawEllipse(wmfAPI* api, wmfDrawArc_t* a) {
  cairo_t* cr = Dev(api)->cr;
  const double rx = std::fabs(a->BR.x - a->TL.x) / 2, ry = std::fabs(a->BR.y - a->TL.y) / 2;
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, (a->TL.x + a->BR.x) / 2, (a->TL.y + a->BR.y) / 2);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
  FillAndStroke(api, a->dc);
}

void DrawLine(wmfAPI* api, wmfDrawLine_t* l) {
  cairo_t* cr = Dev(api)->cr;
  cairo_move_to(cr, l->from.x, l->from.y);
  cairo_line_to(cr, l->to.x, l->to.y);
  FillAndStroke(api, l->dc, false);
}

void Points(cairo_t* cr, const wmfD_Coord* pt, unsigned count, bool close) {
  for (unsigned k = 0; k < count; ++k) {
    if (k == 0) {
      cairo_move_to(cr, pt[k].x, pt[k].y);
    } else {
      cairo_line_to(cr, pt[k].x, pt[k].y);
    }
  }
  if (close && count > 0) cairo_close_path(cr);
}

void PolyLine(wmfAPI* api, wmfPolyLine_t* p) {
  Points(Dev(api)->cr, p->pt, p->count, false);
  FillAndStroke(api, p->dc, false);
}
void DrawPolygon(wmfAPI* api, wmfPolyLine_t* p) {
  Points(Dev(api)->cr, p->pt, p->count, true);
  FillAndStroke(api, p->dc);
}
void DrawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* p) {
  for (unsigned k = 0; k < p->npoly; ++k) {
    if (p->pt[k] != nullptr) Points(Dev(api)->cr, p->pt[k], p->count[k], true);
  }
  FillAndStroke(api, p->dc);
}

void DrawRectangle(wmfAPI* api, wmfDrawRectangle_t* r) {
  cairo_t* cr = Dev(api)->cr;
  const double x0 = std::min(r->TL.x, r->BR.x), y0 = std::min(r->TL.y, r->BR.y);
  const double x1 = std::max(r->TL.x, r->BR.x), y1 = std::max(r->TL.y, r->BR.y);
  const double rx = std::min<double>(std::fabs(r->width) / 2, (x1 - x0) / 2);
  const double ry = std::min<double>(std::fabs(r->height) / 2, (y1 - y0) / 2);
  if (rx > 0 && ry > 0) {
    // Rounded corners: quarter ellipses of the given axes.
    const double cx[4] = {x1 - rx, x1 - rx, x0 + rx, x0 + rx}, cy[4] = {y0 + ry, y1 - ry, y1 - ry, y0 + ry};
    cairo_new_sub_path(cr);
    for (int k = 0; k < 4; ++k) {
      cairo_save(cr);
      cairo_translate(cr, cx[k], cy[k]);
      cairo_scale(cr, rx, ry);
      cairo_arc(cr, 0, 0, 1, (k - 1) * M_PI / 2, k * M_PI / 2);
      cairo_restore(cr);
    }
    cairo_close_path(cr);
  } else {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  }
  FillAndStroke(api, r->dc);
}

void RopDraw(wmfAPI* api, wmfROP_Draw_t* r) {
  cairo_t* cr = Dev(api)->cr;
  cairo_rectangle(cr, r->TL.x, r->TL.y, r->BR.x - r->TL.x, r->BR.y - r->TL.y);
  bool paint = true;
  if (r->ROP == 0x00000042) {  // black
    cairo_set_source_rgb(cr, 0, 0, 0);
  } else if (r->ROP == 0x00FF0062) {  // white
    cairo_set_source_rgb(cr, 1, 1, 1);
  } else {
    paint = SetBrush(api, r->dc);
  }
  if (paint) cairo_fill(cr);
  cairo_new_path(cr);
}

void BmpDraw(wmfAPI* api, wmfBMP_Draw_t* b) {
  Device* d = Dev(api);
  cairo_surface_t* s = BitmapSurface(api, &b->bmp, b->crop.x, b->crop.y, b->crop.w, b->crop.h);
  if (s == nullptr) return;
  cairo_t* cr = d->cr;
  cairo_save(cr);
  cairo_translate(cr, b->pt.x, b->pt.y);
  cairo_scale(cr, b->pixel_width, b->pixel_height);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  // Enlarged, its edge pixels reach its edges whole, as a PDF viewer and
  // the SVG painter show a picture: not faded into what lies outside.
  if (!d->svg) cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_rectangle(cr, 0, 0, b->crop.w, b->crop.h);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

void BmpRead(wmfAPI* api, wmfBMP_Read_t* r) { wmf_ipa_bmp_read(api, r); }
void BmpFree(wmfAPI* api, wmfBMP* b) { wmf_ipa_bmp_free(api, b); }

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

// A cairo face of libwmf's font with a FreeType face of its own over the
// same bytes. libwmf sets its face's size to measure each text; cairo,
// drawing with a shared face, trusts the size it last set on it, so that a
// recording replayed at the size it was recorded at (the picture's own
// pixels) drew its glyphs at libwmf's last size. The copy ends with the
// cairo face; the bytes are libwmf's, which outlive the drawing.
cairo_font_face_t* OwnFace(FT_Face face) {
  static FT_Library library = nullptr;
  if (library == nullptr && FT_Init_FreeType(&library) != 0) library = nullptr;
  FT_Face copy = nullptr;
  if (library == nullptr || face->stream == nullptr || face->stream->base == nullptr ||
      FT_New_Memory_Face(library, face->stream->base, static_cast<FT_Long>(face->stream->size),
                         face->face_index, &copy) != 0)
    return cairo_ft_font_face_create_for_ft_face(face, 0);
  cairo_font_face_t* own = cairo_ft_font_face_create_for_ft_face(copy, 0);
  static const cairo_user_data_key_t key{};
  if (cairo_font_face_set_user_data(
          own, &key, copy, [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); }) != CAIRO_STATUS_SUCCESS)
    FT_Done_Face(copy);
  return own;
}

// The face the text is drawn in: libwmf's face for the font when it has
// every character of the text, else the face fontconfig finds for the
// font's name, weight and slant that has them (a Chinese font this system
// lacks). A symbol font keeps libwmf's face: its codes are that face's.
cairo_font_face_t* FaceFor(wmfFont* font, const std::string& text) {
  const unsigned charset = WMF_FONT_CHARSET(font);
  FT_Face face = WMF_FONT_FTFACE(font);
  const std::vector<FcChar32> chars = CodePoints(text);
  bool covered = face != nullptr;
  for (std::size_t k = 0; covered && k < chars.size(); ++k)
    covered = chars[k] < 0x20 || FcFreeTypeCharIndex(face, chars[k]) != 0;  // as cairo looks glyphs up
  if (covered || (face != nullptr && charset == detail::kSymbolCharset)) return OwnFace(face);
  FcPattern* pattern = FcPatternCreate();
  if (const char* name = WMF_FONT_NAME(font); name != nullptr) {
    const std::string family = detail::CharsetToUtf8(name, std::strlen(name), charset);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcCharSet* set = FcCharSetCreate();
  for (FcChar32 c : chars) FcCharSetAddChar(set, c);
  FcPatternAddCharSet(pattern, FC_CHARSET, set);
  FcCharSetDestroy(set);
  if (const char* language = Language(charset); language != nullptr)
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
  FcPatternAddInteger(pattern, FC_WEIGHT, WMF_FONT_WEIGHT(font) >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, WMF_FONT_ITALIC(font) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return nullptr;
  cairo_font_face_t* ff = cairo_ft_font_face_create_for_pattern(match);
  FcPatternDestroy(match);
  return ff;
}

void DrawText(wmfAPI* api, wmfDrawText_t* t) {
  cairo_t* cr = Dev(api)->cr;
  wmfFont* font = WMF_DC_FONT(t->dc);
  if (font == nullptr || t->str == nullptr || t->font_height <= 0) return;
  if (WMF_DC_OPAQUE(t->dc)) {
    SetColour(cr, WMF_DC_BACKGROUND(t->dc));
    cairo_move_to(cr, t->bbox.TL.x, t->bbox.TL.y);
    cairo_line_to(cr, t->bbox.TR.x, t->bbox.TR.y);
    cairo_line_to(cr, t->bbox.BR.x, t->bbox.BR.y);
    cairo_line_to(cr, t->bbox.BL.x, t->bbox.BL.y);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  // The text is in the code page of the font's character set.
  const std::string text = detail::CharsetToUtf8(t->str, std::strlen(t->str), WMF_FONT_CHARSET(font));
  cairo_font_face_t* ff = FaceFor(font, text);
  cairo_save(cr);
  if (ff != nullptr) {
    cairo_set_font_face(cr, ff);
  } else {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  }
  cairo_translate(cr, t->pt.x, t->pt.y);
  cairo_rotate(cr, -WMF_TEXT_ANGLE(font));
  cairo_matrix_t m;
  const double ratio = t->font_ratio > 0 ? t->font_ratio : 1.0;
  cairo_matrix_init_scale(&m, t->font_height * ratio, t->font_height);
  cairo_set_font_matrix(cr, &m);
  SetColour(cr, WMF_DC_TEXTCOLOR(t->dc));
  cairo_move_to(cr, 0, 0);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
  if (ff != nullptr) cairo_font_face_destroy(ff);
}

void UserData(wmfAPI*, wmfUserData_t*) {}

void Rects(cairo_t* cr, wmfPolyRectangle_t* p) {
  for (unsigned k = 0; k < p->count; ++k)
    cairo_rectangle(cr, p->TL[k].x, p->TL[k].y, p->BR[k].x - p->TL[k].x, p->BR[k].y - p->TL[k].y);
}
void RegionFrame(wmfAPI* api, wmfPolyRectangle_t* p) {
  cairo_t* cr = Dev(api)->cr;
  if (!SetBrush(api, p->dc)) return;
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  for (unsigned k = 0; k < p->count; ++k) {
    const wmfD_Coord a = p->TL[k], b = p->BR[k];
    cairo_rectangle(cr, a.x, a.y, b.x - a.x, b.y - a.y);
    const double w = b.x - a.x - 2 * p->width, h = b.y - a.y - 2 * p->height;
    if (w > 0 && h > 0) cairo_rectangle(cr, a.x + p->width, a.y + p->height, w, h);
  }
  cairo_fill(cr);
}
void RegionPaint(wmfAPI* api, wmfPolyRectangle_t* p) {
  cairo_t* cr = Dev(api)->cr;
  if (!SetBrush(api, p->dc)) return;
  Rects(cr, p);
  cairo_fill(cr);
}
void RegionClip(wmfAPI* api, wmfPolyRectangle_t* p) {
  cairo_t* cr = Dev(api)->cr;
  cairo_reset_clip(cr);
  if (p->count == 0) return;
  Rects(cr, p);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr);
}

Device* g_device = nullptr;  // the helper's one device, handed to libwmf

void Install(wmfAPI* api) {
  auto* fr = static_cast<wmfFunctionReference*>(wmf_malloc(api, sizeof(wmfFunctionReference)));
  if (fr == nullptr) return;
  *fr = wmfFunctionReference{DeviceOpen, DeviceClose, DeviceBegin,     DeviceEnd,     Flood,       Flood,
                             DrawPixel,  DrawPie,     DrawChord,       DrawArc,       DrawEllipse, DrawLine,
                             PolyLine,   DrawPolygon, DrawPolyPolygon, DrawRectangle, RopDraw,     BmpDraw,
                             BmpRead,    BmpFree,     DrawText,        UserData,      UserData,    UserData,
                             UserData,   RegionFrame, RegionPaint,     RegionClip};
  api->function_reference = fr;
  api->device_data = g_device;
}

// Opens the bytes with libwmf drawing into `device` and scans them, then
// hands the box of what they draw to `use`: "" or why they cannot be drawn.
template <class Use>
std::string Open(const std::uint8_t* data, std::size_t size, Device* device, Use use) {
  g_device = device;
  wmfAPI* api = nullptr;
  wmfAPI_Options options{};
  options.function = &Install;
  const unsigned long flags =
      WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None || api == nullptr)
    return "libwmf cannot start (fonts?)";
  std::string why;
  wmfD_Rect box{};
  if (wmf_mem_open(api, const_cast<unsigned char*>(data), static_cast<long>(size)) != wmf_E_None) {
    why = "damaged file";
  } else if (wmf_scan(api, 0, &box) != wmf_E_None) {
    why = "damaged records";
  } else {
    why = use(api, box);
  }
  wmf_api_destroy(api);
  return why;
}

// The records that draw; those before the first of them set the picture up.
constexpr std::uint16_t kDrawingRecords[] = {
    0x0213, 0x0325, 0x0324, 0x0538, 0x041B, 0x061C, 0x0418, 0x0817, 0x081A, 0x0830, 0x041F, 0x0521, 0x0A32,
    0x061D, 0x0922, 0x0B23, 0x0940, 0x0B41, 0x0F43, 0x0D33, 0x0228, 0x0429, 0x012B, 0x012A, 0x0419, 0x0548};
constexpr std::uint16_t kSetMapMode = 0x0103, kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C,
                        kSetViewportOrg = 0x020D, kSetViewportExt = 0x020E;

// The window the set-up records leave (the frame when they set none), and
// those of them that map it to device points, as they stand in the file.
struct Window {
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<std::uint8_t> records;
  std::uint32_t largest = 7;  // words of the largest record, a pixel's at least
};

// The records lie from `start` to `end` (CheckWmfHeader).
Window ReadWindow(const std::uint8_t* data, std::size_t start, std::size_t end, const WmfFrame& f) {
  Window w{f.left, f.top, f.Width(), f.Height(), {}, 7};
  // Every record moves on by at least its six bytes of size and function.
  for (std::size_t at = start; at + 6 <= end;) {
    const std::uint64_t bytes = std::uint64_t{MetafileU32(data + at)} * 2;
    const std::uint16_t function = static_cast<std::uint16_t>(MetafileU16(data + at + 4));
    if (bytes < 6 || bytes > end - at || function == 0 ||
        std::find(std::begin(kDrawingRecords), std::end(kDrawingRecords), function) !=
            std::end(kDrawingRecords))
      break;
    const std::uint8_t* p = data + at + 6;  // the parameters: y before x
    const bool point = bytes >= 10;
    bool mapping = function == kSetMapMode || function == kSetViewportOrg || function == kSetViewportExt;
    if (function == kSetWindowOrg && point) {
      w.x = MetafileS16(p + 2);
      w.y = MetafileS16(p);
      mapping = true;
    } else if (function == kSetWindowExt && point && MetafileS16(p) != 0 && MetafileS16(p + 2) != 0) {
      // An extent of no size is refused by the device: the window stays.
      w.width = MetafileS16(p + 2);
      w.height = MetafileS16(p);
      mapping = true;
    }
    if (mapping) {
      w.records.insert(w.records.end(), data + at, data + at + bytes);
      w.largest = std::max(w.largest, static_cast<std::uint32_t>(bytes / 2));
    }
    at += bytes;
  }
  return w;
}

// The device points libwmf maps the window's corners to: it plays the
// placeable header, the window's mapping records and two pixels, one at the
// window's origin and one at the corner across from it. A corner past the
// 16-bit range of the records is found from a nearer point of the same line.
std::string PlaceWindow(const std::uint8_t* data, const Window& w, wmfD_Coord* from, wmfD_Coord* to) {
  auto nearer = [](int origin, int extent, double* share) {
    long v = std::clamp<long>(long{origin} + extent, -32768, 32767);
    if (v == origin) v = origin - (extent > 0 ? 1 : -1);
    *share = extent / static_cast<double>(v - origin);
    return static_cast<int>(v);
  };
  double shareX = 1, shareY = 1;
  const int cornerX = nearer(w.x, w.width, &shareX), cornerY = nearer(w.y, w.height, &shareY);
  std::vector<std::uint8_t> records = w.records;
  for (const auto& [x, y] : {std::pair{w.x, w.y}, std::pair{cornerX, cornerY}})
    for (int v : {7, 0, 0x041F, 0, 0, y, x}) Put16(&records, v);  // a black pixel
  for (int v : {3, 0, 0}) Put16(&records, v);                     // the end
  std::vector<std::uint8_t> probe(data, data + kWmfPlaceableBytes);
  const std::size_t words = (kWmfHeaderBytes + records.size()) / 2;
  for (int v : {1, 9, 0x300, static_cast<int>(words & 0xFFFF), static_cast<int>(words >> 16), 0,
                static_cast<int>(w.largest & 0xFFFF), static_cast<int>(w.largest >> 16), 0})
    Put16(&probe, v);
  probe.insert(probe.end(), records.begin(), records.end());
  std::vector<wmfD_Coord> points;
  Device device;
  device.probed = &points;
  const std::string why = Open(probe.data(), probe.size(), &device, [](wmfAPI* api, wmfD_Rect box) {
    return wmf_play(api, 0, &box) == wmf_E_None ? "" : "damaged records";
  });
  if (!why.empty()) return why;
  if (points.size() != 2) return "the records' window cannot be placed";
  *from = points[0];
  to->x = points[0].x + (points[1].x - points[0].x) * shareX;
  to->y = points[0].y + (points[1].y - points[0].y) * shareY;
  if (!std::isfinite(to->x) || !std::isfinite(to->y) || to->x == from->x || to->y == from->y)
    return "the records map their window to no size";
  return "";
}

constexpr std::uint16_t kPolyPolygon = 0x0538;
constexpr unsigned kIsotropic = 7, kAnisotropic = 8;

// The copy of the file libwmf plays, mended where libwmf draws otherwise
// than the records mean. It skips a whole polypolygon when one of its
// polygons has fewer than three points (a writer may end a glyph's outlines
// with an empty one), though such a polygon bounds nothing: the copy's
// polypolygons hold only their polygons of three points or more, their
// counts and then their points moved up behind them, the record's last
// words left unread. A switch to an isotropic or anisotropic mapping leaves
// libwmf's size of a logical unit as the mapping before had it until it
// maps a point, and a pen made meanwhile is that much too thin or thick:
// the copy sets the window's extent again right after such a switch, which
// has libwmf size the unit anew. The records lie from `start` to `end`
// (CheckWmfHeader).
std::vector<std::uint8_t> MendedRecords(const std::uint8_t* data, std::size_t size, std::size_t start,
                                        std::size_t end) {
  std::vector<std::uint8_t> copy(data, data + start), extent;
  std::uint32_t added = 0;
  std::size_t at = start;
  for (; at + 6 <= end;) {
    const std::uint64_t bytes = std::uint64_t{MetafileU32(data + at)} * 2;
    if (bytes < 6 || bytes > end - at) break;
    const std::uint16_t function = static_cast<std::uint16_t>(MetafileU16(data + at + 4));
    const std::uint8_t* p = data + at + 6;
    const std::size_t words = (bytes - 6) / 2;
    copy.insert(copy.end(), data + at, data + at + bytes);
    at += bytes;
    if (function == kSetWindowExt && words >= 2) extent.assign(p - 6, p - 6 + bytes);
    if (function == kSetMapMode && words >= 1 && !extent.empty() &&
        (MetafileU16(p) == kIsotropic || MetafileU16(p) == kAnisotropic)) {
      copy.insert(copy.end(), extent.begin(), extent.end());
      added += static_cast<std::uint32_t>(extent.size() / 2);
    }
    const std::size_t polygons = function == kPolyPolygon && words > 0 ? MetafileU16(p) : 0;
    std::size_t points = 0;
    bool shortOne = false;
    for (std::size_t k = 0; k < polygons && 1 + k < words; ++k) {
      points += MetafileU16(p + 2 * (1 + k));
      shortOne = shortOne || MetafileU16(p + 2 * (1 + k)) < 3;
    }
    if (!shortOne || 1 + polygons + 2 * points > words) continue;
    std::vector<std::uint8_t> kept;
    Put16(&kept, 0);
    const std::uint8_t* point = p + 2 * (1 + polygons);
    for (std::size_t k = 0; k < polygons; ++k) {
      const unsigned count = MetafileU16(p + 2 * (1 + k));
      if (count >= 3) Put16(&kept, static_cast<int>(count));
      point += 4 * count;
    }
    const std::size_t keptPolygons = kept.size() / 2 - 1;
    kept[0] = static_cast<std::uint8_t>(keptPolygons & 0xFF);
    kept[1] = static_cast<std::uint8_t>(keptPolygons >> 8);
    point = p + 2 * (1 + polygons);
    for (std::size_t k = 0; k < polygons; ++k) {
      const unsigned count = MetafileU16(p + 2 * (1 + k));
      if (count >= 3) kept.insert(kept.end(), point, point + 4 * count);
      point += 4 * count;
    }
    kept.resize(2 * words, 0);
    std::copy(kept.begin(), kept.end(), copy.end() - static_cast<std::ptrdiff_t>(2 * words));
  }
  copy.insert(copy.end(), data + at, data + size);
  // The header's size of the file, in words, after a placeable header.
  WmfFrame frame;
  const std::size_t header = detail::ReadWmfFrame(data, size, &frame) ? kWmfPlaceableBytes : 0;
  if (added > 0) {
    const std::uint32_t total = MetafileU32(copy.data() + header + 6) + added;
    for (int k = 0; k < 4; ++k) copy[header + 6 + k] = static_cast<std::uint8_t>(total >> (8 * k));
  }
  return copy;
}

}  // namespace

namespace detail {

std::string PlayWmf(const std::uint8_t* data, std::size_t size, MetafileTarget* t) {
  std::size_t start = 0, end = 0;
  if (const std::string why = detail::CheckWmfHeader(data, size, &start, &end); !why.empty()) return why;
  WmfFrame frame;
  const bool placeable = detail::ReadWmfFrame(data, size, &frame);
  wmfD_Coord from{}, to{};  // the device points at the picture's corners
  if (placeable) {
    const std::string why = PlaceWindow(data, ReadWindow(data, start, end, frame), &from, &to);
    if (!why.empty()) return why;
  }
  Device device;
  device.svg = t->box == nullptr;
  const std::vector<std::uint8_t> copy = MendedRecords(data, size, start, end);
  return Open(copy.data(), copy.size(), &device, [&](wmfAPI* api, wmfD_Rect box) -> std::string {
    if (!placeable) {
      from = box.TL;
      to = box.BR;
    }
    const double inchesWide =
        placeable ? frame.Width() / static_cast<double>(frame.inch) : (to.x - from.x) / 72.0;
    const double inchesHigh =
        placeable ? frame.Height() / static_cast<double>(frame.inch) : (to.y - from.y) / 72.0;
    std::string why = t->Size(inchesWide, inchesHigh);
    if (!why.empty()) return why;
    if (t->SizeOnly()) {
      // The scan has read every record: what it draws is played at each
      // size it is drawn at.
      t->Finish();
      return "";
    }
    cairo_surface_t* surface = t->Surface();
    device.cr = cairo_create(surface);
    device.origin = from;
    device.scaleX = t->DrawnWidth() / static_cast<double>(to.x - from.x);
    device.scaleY = t->DrawnHeight() / static_cast<double>(to.y - from.y);
    device.scale = std::min(std::fabs(device.scaleX), std::fabs(device.scaleY));
    device.picturePixel = std::min(t->DrawnWidth() / t->header[0], t->DrawnHeight() / t->header[1]);
    device.stretch = (t->DrawnHeight() / t->header[1]) / (t->DrawnWidth() / t->header[0]);
    if (wmf_play(api, 0, &box) != wmf_E_None) why = "damaged records";
    cairo_surface_flush(surface);
    cairo_destroy(device.cr);
    cairo_surface_destroy(surface);
    if (why.empty()) t->Finish();  // while libwmf's fonts live
    return why;
  });
}

}  // namespace detail

}  // namespace md::imaging
