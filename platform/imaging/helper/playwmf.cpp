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

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/imaging/helper/charset.h"
#include "platform/imaging/helper/copies.h"
#include "platform/imaging/helper/dibpixels.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/helper/wmfobjects.h"
#include "platform/imaging/helper/wmftext.h"
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

// libwmf reads a text's alignment and places it by guesses of its own; the
// copy's alignments are all TA_BASELINE, left, without TA_UPDATECP, which
// libwmf leaves on the reference point, and carry the file's own above
// these bits, which the device places it by (wmftext.h).
constexpr unsigned kAlignShift = 9;
// libwmf keeps a font's height without its sign and gives a font of no
// width one; the copy marks a height of the cell (positive) and a width of
// the face's own (0) in the font's quality byte.
constexpr unsigned kCellHeight = 0x80, kOwnWidth = 0x40;

// The copy's alignment word for the file's.
std::uint16_t CopiedAlign(unsigned align) {
  return static_cast<std::uint16_t>(detail::kTaBaseline | ((align & 0x1F) << kAlignShift));
}

void Put16(std::vector<std::uint8_t>* b, int v) {
  b->push_back(static_cast<std::uint8_t>(v & 0xFF));
  b->push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

struct Device {
  cairo_t* cr = nullptr;
  wmfD_Coord origin{};                // the device point at the picture's top left
  double scaleX = 1.0, scaleY = 1.0;  // pixels per device point (negative: mirrored)
  double scale = 1.0;                 // the smaller of the two, unsigned
  double picturePixel = 1.0;          // pixels per pixel of the picture's own (300 dpi)
  double stretch = 1.0;               // how much more the box stretches it down than across
  // Device pixels per pixel drawn, across and down: a list's dots of 300 dpi
  // of its box (its cells are of 600 dpi); 1 for a painting.
  double dots[2] = {1.0, 1.0};
  std::vector<wmfD_Coord>* probed = nullptr;  // set: the pixels' points are kept, nothing drawn
  bool svg = false;                           // the drawing is written as SVG too
  std::vector<detail::WmfText> texts;         // the file's text records, in order (MendedRecords)
  std::size_t nextText = 0;                   // the first not drawn yet
  wmfD_Coord cp{};                            // where the last text's advance ended
  // A bitmap drawn with SRCPAINT, held to see whether the next draws its
  // image with SRCAND over the same place: a mask and its image.
  struct Mask {
    cairo_surface_t* pixels = nullptr;
    wmfD_Coord pt{};
    double pixelWidth = 0, pixelHeight = 0;
    unsigned w = 0, h = 0;
  } mask;
  // The bitmaps libwmf holds (BmpRead), until it frees them or the play
  // ends.
  std::vector<std::unique_ptr<struct HeldBitmap>> bitmaps;
  // The XOR trick that clips a drawing: drawn with R2_XORPEN, shapes filled
  // black over it, then drawn again with R2_XORPEN: what lies outside the
  // shapes is left as it was, what lies inside is the drawing.
  enum class Xor { None, First, Shapes, Second } trick = Xor::None;
  cairo_pattern_t* xorDrawing = nullptr;  // the first drawing
  cairo_path_t* xorShapes = nullptr;      // the shapes between
  // The clip libwmf set last (none: NULL), set again where a group's end
  // takes back the clips set while it was open.
  cairo_path_t* clip = nullptr;
  // The raster operations drawn as their nearest (NearestRop bits).
  std::uint32_t nearestRops = 0;
};

void Reclip(Device* d) {
  cairo_reset_clip(d->cr);
  if (d->clip == nullptr) return;
  cairo_new_path(d->cr);
  cairo_append_path(d->cr, d->clip);
  cairo_set_fill_rule(d->cr, CAIRO_FILL_RULE_WINDING);
  cairo_clip(d->cr);
}

Device* Dev(wmfAPI* api) { return static_cast<Device*>(api->device_data); }

void SetColour(cairo_t* cr, const wmfRGB* c) {
  cairo_set_source_rgb(cr, c->r / 255.0, c->g / 255.0, c->b / 255.0);
}

// GDI's binary raster operations of pens and brushes (SetROP2).
constexpr unsigned kR2Black = 1, kR2MaskNotPen = 3, kR2NotCopyPen = 4, kR2Not = 6, kR2XorPen = 7,
                   kR2MaskPen = 9, kR2Nop = 11, kR2MergeNotPen = 12, kR2MergePen = 15, kR2White = 16;

// A colour over what lies below: as it is, or as the part of it an OR
// (D | C) or an AND (D & C) with what lies below leaves visible, which is
// exact over white and black.
enum class Combine { Copy, Or, And };

// The straight colour and alpha that paint `c` (0..1) combined so.
void Combined(const double c[3], Combine how, double out[4]) {
  const double most = std::max({c[0], c[1], c[2]}), least = std::min({c[0], c[1], c[2]});
  const double alpha = how == Combine::Or ? most : how == Combine::And ? 1 - least : 1;
  for (int k = 0; k < 3; ++k) {
    const double painted = how == Combine::And ? c[k] - least : c[k];  // premultiplied
    out[k] = how == Combine::Copy ? c[k] : alpha > 0 ? painted / alpha : 0;
  }
  out[3] = alpha;
}

// The pen's or brush's colour under the DC's SetROP2 mode, drawn as the
// nearest a painting over what lies below gives; false where it leaves
// everything as it is. XOR is drawn as copy (the trick it makes is read in
// Begin); NOT as black, what it makes of a white page.
bool SetRopColour(cairo_t* cr, const wmfRGB* rgb, unsigned rop, std::uint32_t* nearest) {
  *nearest |= rop == kR2Not                                 ? detail::kNearestNotPen
              : rop == kR2MergePen || rop == kR2MergeNotPen ? detail::kNearestMergePen
              : rop == kR2MaskPen || rop == kR2MaskNotPen   ? detail::kNearestMaskPen
                                                            : 0u;
  double c[3] = {rgb->r / 255.0, rgb->g / 255.0, rgb->b / 255.0};
  Combine how = Combine::Copy;
  switch (rop) {
    case kR2Nop:
      return false;
    case kR2Black:
    case kR2Not:
      c[0] = c[1] = c[2] = 0;
      break;
    case kR2White:
      c[0] = c[1] = c[2] = 1;
      break;
    case kR2NotCopyPen:
    case kR2MergeNotPen:
    case kR2MaskNotPen:
      for (double& v : c) v = 1 - v;
      how = rop == kR2MergeNotPen ? Combine::Or : rop == kR2MaskNotPen ? Combine::And : Combine::Copy;
      break;
    case kR2MergePen:
      how = Combine::Or;
      break;
    case kR2MaskPen:
      how = Combine::And;
      break;
    default:
      break;
  }
  double out[4];
  Combined(c, how, out);
  cairo_set_source_rgba(cr, out[0], out[1], out[2], out[3]);
  return true;
}

// GDI's ternary raster operations of bitmaps and PatBlt that writers use.
constexpr std::uint32_t kSrcCopy = 0xCC0020, kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kSrcInvert = 0x660046,
                        kNotSrcCopy = 0x330008, kMergeCopy = 0xC000CA, kPatCopy = 0xF00021,
                        kPatInvert = 0x5A0049, kDstInvert = 0x550009, kBlackness = 0x000042,
                        kWhiteness = 0xFF0062, kNop = 0xAA0029;

// How a bitmap's pixels are painted under its raster operation: copied
// (SRCCOPY, and the nearest of those not read), ORed (SRCPAINT; SRCINVERT,
// whose XOR is that over black), ANDed (SRCAND), inverted (NOTSRCCOPY), or
// ANDed with the brush's colour (MERGECOPY).
struct BitmapRop {
  Combine how = Combine::Copy;
  bool invert = false;
  double tint[3] = {1, 1, 1};
};

BitmapRop RopOf(std::uint32_t rop, wmfDC* dc) {
  BitmapRop r;
  if (rop == kSrcPaint || rop == kSrcInvert) r.how = Combine::Or;
  if (rop == kSrcAnd) r.how = Combine::And;
  if (rop == kNotSrcCopy) r.invert = true;
  wmfBrush* brush = WMF_DC_BRUSH(dc);
  if (rop == kMergeCopy && brush != nullptr && WMF_BRUSH_STYLE(brush) == BS_SOLID) {
    const wmfRGB* c = WMF_BRUSH_COLOR(brush);
    r.tint[0] = c->r / 255.0;
    r.tint[1] = c->g / 255.0;
    r.tint[2] = c->b / 255.0;
  }
  return r;
}

// A bitmap libwmf holds: its DIB read here where DibPixels reads it, else
// read by libwmf (`libwmf`).
struct HeldBitmap {
  detail::DibPixels own;
  wmfBMP libwmf{};
};

// The premultiplied pixel that paints the straight 0xAARRGGBB under the
// operation; the last one asked is kept, as neighbours are mostly alike.
class RopPainter {
 public:
  explicit RopPainter(const BitmapRop& rop) : rop_(rop) {}
  std::uint32_t operator()(std::uint32_t p) {
    if (p == last_ && known_) return painted_;
    double v[3] = {((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0}, out[4];
    for (int k = 0; k < 3; ++k) v[k] = (rop_.invert ? 1 - v[k] : v[k]) * rop_.tint[k];
    Combined(v, rop_.how, out);
    const auto channel = [](double u) {
      return static_cast<unsigned>(std::lround(std::clamp(u, 0.0, 1.0) * 255));
    };
    last_ = p, known_ = true;
    painted_ = detail::PremultipliedPixel(channel(out[0]), channel(out[1]), channel(out[2]),
                                          channel(out[3]) * (p >> 24) / 255);
    return painted_;
  }

 private:
  BitmapRop rop_;
  std::uint32_t last_ = 0, painted_ = 0;
  bool known_ = false;
};

// A cairo surface of the bitmap's pixels of its part x0, y0, w x h (rows
// from the top), averaged down to tw x th (at most w x h), or NULL.
cairo_surface_t* BitmapSurface(wmfAPI* api, wmfBMP* bmp, unsigned x0, unsigned y0, unsigned w, unsigned h,
                               unsigned tw, unsigned th, const BitmapRop& rop = {}, bool attach = true) {
  auto* held = static_cast<HeldBitmap*>(bmp->data);
  if (held == nullptr || w == 0 || h == 0 || x0 + w > bmp->width || y0 + h > bmp->height) return nullptr;
  tw = std::clamp(tw, 1u, w), th = std::clamp(th, 1u, h);
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(tw), static_cast<int>(th));
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  RopPainter paint(rop);
  std::vector<std::uint32_t> pixels(w);
  const std::uint32_t painted[2] = {paint(held->own.BitColour(0)), paint(held->own.BitColour(1))};
  const auto row = [&](unsigned y, const unsigned* starts, std::uint64_t* sums) {
    std::uint32_t* out = pixels.data();
    if (held->libwmf.data == nullptr) {
      if (held->own.AddSpans(y0 + y, x0, starts, tw, painted, sums)) return;
      held->own.Row(y0 + y, x0, w, out);
    } else {
      for (unsigned x = 0; x < w; ++x) {
        wmfRGB c{};
        const int opacity = wmf_ipa_bmp_color(api, &held->libwmf, &c, x0 + x, bmp->height - 1 - (y0 + y));
        const unsigned a = opacity < 0 ? 255u : std::min(255u, static_cast<unsigned>(opacity));
        out[x] = (a << 24) | (c.r << 16) | (c.g << 8) | c.b;
      }
    }
    for (unsigned x = 0; x < w; ++x) out[x] = paint(out[x]);
    detail::AddPixels(out, starts, tw, sums);
  };
  detail::AverageDown(w, h, tw, th, row, reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s)),
                      static_cast<std::size_t>(cairo_image_surface_get_stride(s)) / 4);
  cairo_surface_mark_dirty(s);
  if (Dev(api)->svg && attach) detail::AttachPalettePng(s);
  return s;
}

// The brush as the cairo source; false for a hollow brush.
bool SetBrush(wmfAPI* api, wmfDC* dc) {
  Device* d = Dev(api);
  wmfBrush* b = WMF_DC_BRUSH(dc);
  if (b == nullptr || WMF_BRUSH_STYLE(b) == BS_NULL) return false;
  cairo_t* cr = d->cr;
  if (!SetRopColour(cr, WMF_BRUSH_COLOR(b), dc->ROPmode, &d->nearestRops)) return false;
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
    cairo_surface_t* s = BitmapSurface(api, bmp, 0, 0, bmp->width, bmp->height, bmp->width, bmp->height);
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
  if (!SetRopColour(cr, WMF_PEN_COLOR(pen), dc->ROPmode, &d->nearestRops)) return false;
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

// Paints the first drawing of an XOR trick not completed as the nearest
// GDI's records give: the drawing, and over it the shapes filled black.
void AbandonXor(Device* d) {
  cairo_t* cr = d->cr;
  if (d->trick != Device::Xor::None || d->xorDrawing != nullptr) d->nearestRops |= detail::kNearestXorPen;
  if (d->trick == Device::Xor::First || d->trick == Device::Xor::Second) {
    cairo_pattern_t* group = cairo_pop_group(cr);
    if (d->trick == Device::Xor::First)
      d->xorDrawing = group;
    else
      cairo_pattern_destroy(group);
  }
  if (d->xorDrawing != nullptr) {
    cairo_set_source(cr, d->xorDrawing);
    cairo_paint(cr);
    cairo_pattern_destroy(d->xorDrawing);
    d->xorDrawing = nullptr;
  }
  if (d->xorShapes != nullptr) {
    cairo_new_path(cr);
    cairo_append_path(cr, d->xorShapes);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
    cairo_path_destroy(d->xorShapes);
    d->xorShapes = nullptr;
  }
  d->trick = Device::Xor::None;
}

// The trick completed: its drawing painted within its shapes.
void CompleteXor(Device* d) {
  cairo_t* cr = d->cr;
  cairo_pattern_destroy(cairo_pop_group(cr));  // the second drawing, which undoes the first outside
  Reclip(d);
  if (d->xorDrawing != nullptr && d->xorShapes != nullptr) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_append_path(cr, d->xorShapes);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr);
    cairo_set_source(cr, d->xorDrawing);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  if (d->xorDrawing != nullptr) cairo_pattern_destroy(d->xorDrawing);
  if (d->xorShapes != nullptr) cairo_path_destroy(d->xorShapes);
  d->xorDrawing = nullptr;
  d->xorShapes = nullptr;
  d->trick = Device::Xor::None;
}

// Between the trick's two drawings, a shape filled solid black is one of
// its shapes: its path is kept, nothing drawn. Any other ends the trick.
bool XorShape(Device* d, wmfDC* dc) {
  wmfBrush* b = WMF_DC_BRUSH(dc);
  const wmfRGB* c = b != nullptr ? WMF_BRUSH_COLOR(b) : nullptr;
  if (b == nullptr || WMF_BRUSH_STYLE(b) != BS_SOLID || c->r != 0 || c->g != 0 || c->b != 0) {
    cairo_path_t* path = cairo_copy_path(d->cr);
    AbandonXor(d);
    cairo_new_path(d->cr);
    cairo_append_path(d->cr, path);
    cairo_path_destroy(path);
    return false;
  }
  cairo_path_t* path = cairo_copy_path(d->cr);
  cairo_new_path(d->cr);
  if (d->xorShapes != nullptr) cairo_append_path(d->cr, d->xorShapes);
  cairo_append_path(d->cr, path);
  cairo_path_destroy(path);
  if (d->xorShapes != nullptr) cairo_path_destroy(d->xorShapes);
  d->xorShapes = cairo_copy_path(d->cr);
  cairo_new_path(d->cr);
  return true;
}

// Fills the current path with the brush and strokes it with the pen. A pen
// of a pixel or more is stretched down as a box of another shape than the
// picture's own stretches the picture, so that the box's pixels show it as
// the picture stretched over the box (its vectors) does; a hairline stays
// one pixel every way.
void FillAndStroke(wmfAPI* api, wmfDC* dc, bool fill = true) {
  Device* d = Dev(api);
  cairo_t* cr = d->cr;
  if (d->trick == Device::Xor::Shapes && fill && XorShape(d, dc)) return;
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

// Before anything is drawn: a held mask is painted unless the bitmap
// drawn is its image, and the DC's SetROP2 mode moves the XOR trick on.
enum class Draws { Shape, Bitmap, Other };
void Begin(wmfAPI* api, wmfDC* dc, Draws what);
void ModeSet(wmfAPI* api, wmfDC* dc);

void DeviceOpen(wmfAPI*) {}
void DeviceClose(wmfAPI*) {}
void DeviceBegin(wmfAPI* api) {
  Device* d = Dev(api);
  d->nextText = 0;
  if (d->cr == nullptr) return;
  cairo_identity_matrix(d->cr);
  cairo_scale(d->cr, d->scaleX, d->scaleY);
  cairo_translate(d->cr, -d->origin.x, -d->origin.y);
}
void FlushMask(Device* d);
void DeviceEnd(wmfAPI* api) {
  Device* d = Dev(api);
  if (d->cr == nullptr) return;
  FlushMask(d);
  if (d->trick == Device::Xor::Second) CompleteXor(d);
  AbandonXor(d);
  if (d->clip != nullptr) cairo_path_destroy(d->clip);
  d->clip = nullptr;
}
void Flood(wmfAPI*, wmfFlood_t*) {}  // flood fills need the pixels drawn so far; not drawn

void DrawPixel(wmfAPI* api, wmfDrawPixel_t* p) {
  Begin(api, p->dc, Draws::Other);
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
  Begin(api, a->dc, kind == 0 ? Draws::Other : Draws::Shape);
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
  Begin(api, a->dc, Draws::Shape);
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
  Begin(api, l->dc, Draws::Other);
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
  Begin(api, p->dc, Draws::Other);
  Points(Dev(api)->cr, p->pt, p->count, false);
  FillAndStroke(api, p->dc, false);
}
void DrawPolygon(wmfAPI* api, wmfPolyLine_t* p) {
  Begin(api, p->dc, Draws::Shape);
  Points(Dev(api)->cr, p->pt, p->count, true);
  FillAndStroke(api, p->dc);
}
void DrawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* p) {
  Begin(api, p->dc, Draws::Shape);
  for (unsigned k = 0; k < p->npoly; ++k) {
    if (p->pt[k] != nullptr) Points(Dev(api)->cr, p->pt[k], p->count[k], true);
  }
  FillAndStroke(api, p->dc);
}

void DrawRectangle(wmfAPI* api, wmfDrawRectangle_t* r) {
  Begin(api, r->dc, Draws::Shape);
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

// PatBlt: black, white, the brush (PATCOPY; PATINVERT, whose XOR is that
// over black); DSTINVERT, inverting what lies below, is drawn as black,
// what it makes of a white page.
void RopDraw(wmfAPI* api, wmfROP_Draw_t* r) {
  if (r->ROP == kNop) {
    ModeSet(api, r->dc);
    return;
  }
  Begin(api, r->dc, Draws::Other);
  cairo_t* cr = Dev(api)->cr;
  cairo_rectangle(cr, r->TL.x, r->TL.y, r->BR.x - r->TL.x, r->BR.y - r->TL.y);
  bool paint = true;
  Dev(api)->nearestRops |= r->ROP == kDstInvert   ? detail::kNearestDstInvert
                           : r->ROP == kPatInvert ? detail::kNearestPatInvert
                                                  : 0u;
  if (r->ROP == kBlackness || r->ROP == kDstInvert) {
    cairo_set_source_rgb(cr, 0, 0, 0);
  } else if (r->ROP == kWhiteness) {
    cairo_set_source_rgb(cr, 1, 1, 1);
  } else {
    paint = SetBrush(api, r->dc);
  }
  if (paint) cairo_fill(cr);
  cairo_new_path(cr);
}

// Paints the pixels over the place of the bitmap's w x h pixels (the
// surface holds them, or fewer averaged from them).
void PaintBitmap(Device* d, cairo_surface_t* s, wmfD_Coord pt, double pixelWidth, double pixelHeight,
                 unsigned w, unsigned h) {
  cairo_t* cr = d->cr;
  const int sw = cairo_image_surface_get_width(s), sh = cairo_image_surface_get_height(s);
  cairo_save(cr);
  cairo_translate(cr, pt.x, pt.y);
  cairo_scale(cr, pixelWidth * w / sw, pixelHeight * h / sh);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  // Enlarged, its edge pixels reach its edges whole, as a PDF viewer and
  // the SVG painter show a picture: not faded into what lies outside.
  if (!d->svg) cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_rectangle(cr, 0, 0, sw, sh);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A mask held and not followed by its image is painted as SRCPAINT alone.
void FlushMask(Device* d) {
  Device::Mask& m = d->mask;
  if (m.pixels == nullptr) return;
  d->nearestRops |= detail::kNearestSrcPaint;
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(m.pixels));
  const int stride = cairo_image_surface_get_stride(m.pixels) / 4;
  for (int y = 0; y < cairo_image_surface_get_height(m.pixels); ++y)
    for (int x = 0; x < cairo_image_surface_get_width(m.pixels); ++x) {
      std::uint32_t& p = data[static_cast<std::size_t>(y) * stride + x];
      const unsigned most = std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
      p = (std::min(most, p >> 24) << 24) | (p & 0xFFFFFF);
    }
  cairo_surface_mark_dirty(m.pixels);
  if (d->svg) detail::AttachPalettePng(m.pixels);
  PaintBitmap(d, m.pixels, m.pt, m.pixelWidth, m.pixelHeight, m.w, m.h);
  cairo_surface_destroy(m.pixels);
  m = {};
}

// A bitmap under its raster operation. A mask drawn with SRCPAINT, then an
// image with SRCAND over the same place (how writers put a transparent
// bitmap) are painted as one: the image with the mask's white as opaque.
void BmpDraw(wmfAPI* api, wmfBMP_Draw_t* b) {
  Begin(api, b->dc, Draws::Bitmap);
  Device* d = Dev(api);
  Device::Mask& m = d->mask;
  const bool image = m.pixels != nullptr && b->type == kSrcAnd && b->crop.w == m.w && b->crop.h == m.h &&
                     std::fabs(b->pt.x - m.pt.x) < 0.5 && std::fabs(b->pt.y - m.pt.y) < 0.5 &&
                     std::fabs(b->pixel_width - m.pixelWidth) < 1e-6 &&
                     std::fabs(b->pixel_height - m.pixelHeight) < 1e-6;
  if (!image) FlushMask(d);
  const bool mask = b->type == kSrcPaint;
  if (!image) {
    d->nearestRops |= b->type == kSrcInvert   ? detail::kNearestSrcInvert
                      : b->type == kSrcAnd    ? detail::kNearestSrcAnd
                      : b->type == kMergeCopy ? detail::kNearestMergeCopy
                                              : 0u;
  }
  // A bitmap of more pixels than its place spans on the device (a list's
  // at 300 dpi of its box) is averaged down to those.
  double across[2] = {b->crop.w * b->pixel_width, 0}, down[2] = {0, b->crop.h * b->pixel_height};
  unsigned tw = b->crop.w, th = b->crop.h;
  if (d->cr != nullptr) {
    cairo_user_to_device_distance(d->cr, &across[0], &across[1]);
    cairo_user_to_device_distance(d->cr, &down[0], &down[1]);
    const auto spans = [](double pixels, unsigned own) {
      return std::isfinite(pixels) && pixels < own
                 ? static_cast<unsigned>(std::max(1.0, std::ceil(pixels - 1e-6)))
                 : own;
    };
    tw = spans(std::hypot(across[0], across[1]) * d->dots[0], b->crop.w);
    th = spans(std::hypot(down[0], down[1]) * d->dots[1], b->crop.h);
  }
  cairo_surface_t* s = BitmapSurface(api, &b->bmp, b->crop.x, b->crop.y, b->crop.w, b->crop.h, tw, th,
                                     image || mask ? BitmapRop{} : RopOf(b->type, b->dc), !(image || mask));
  if (s == nullptr) return;
  if (mask) {
    m = {s, b->pt, b->pixel_width, b->pixel_height, b->crop.w, b->crop.h};
    return;
  }
  // The mask averaged to other pixels than its image (its place changed
  // between them) is painted alone, as the image is.
  if (image && (cairo_image_surface_get_width(s) != cairo_image_surface_get_width(m.pixels) ||
                cairo_image_surface_get_height(s) != cairo_image_surface_get_height(m.pixels))) {
    FlushMask(d);
    d->nearestRops |= detail::kNearestSrcAnd;
    cairo_surface_destroy(s);
    s = BitmapSurface(api, &b->bmp, b->crop.x, b->crop.y, b->crop.w, b->crop.h, tw, th,
                      RopOf(b->type, b->dc));
    if (s == nullptr) return;
  } else if (image) {
    auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
    const auto* alpha = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(m.pixels));
    const int stride = cairo_image_surface_get_stride(s) / 4,
              maskStride = cairo_image_surface_get_stride(m.pixels) / 4;
    // Both of the same part over the same place: averaged alike.
    for (int y = 0; y < cairo_image_surface_get_height(s); ++y)
      for (int x = 0; x < cairo_image_surface_get_width(s); ++x) {
        std::uint32_t& p = pixels[static_cast<std::size_t>(y) * stride + x];
        const std::uint32_t q = alpha[static_cast<std::size_t>(y) * maskStride + x];
        const unsigned a = std::max({(q >> 16) & 0xFF, (q >> 8) & 0xFF, q & 0xFF});
        const auto scaled = [a](unsigned c) { return (c * a + 127) / 255; };
        p = (scaled(p >> 24) << 24) | (scaled((p >> 16) & 0xFF) << 16) | (scaled((p >> 8) & 0xFF) << 8) |
            scaled(p & 0xFF);
      }
    cairo_surface_mark_dirty(s);
    cairo_surface_destroy(m.pixels);
    m = {};
  }
  PaintBitmap(d, s, b->pt, b->pixel_width, b->pixel_height, b->crop.w, b->crop.h);
  cairo_surface_destroy(s);
}

// The DIB read here (its rows as they are) where DibPixels reads it, else
// by libwmf; held by the device.
void BmpRead(wmfAPI* api, wmfBMP_Read_t* r) {
  auto held = std::make_unique<HeldBitmap>();
  r->bmp.data = nullptr;
  if (held->own.Read(r->buffer, r->length < 0 ? 0 : static_cast<std::size_t>(r->length), r->width,
                     r->height)) {
    r->bmp.width = static_cast<U16>(held->own.Width());
    r->bmp.height = static_cast<U16>(held->own.Height());
  } else {
    wmf_ipa_bmp_read(api, r);
    if (r->bmp.data == nullptr) return;
    held->libwmf = r->bmp;
  }
  r->bmp.data = held.get();
  Dev(api)->bitmaps.push_back(std::move(held));
}

void BmpFree(wmfAPI* api, wmfBMP* b) {
  // Mostly the last one read (a bitmap record's own).
  auto& bitmaps = Dev(api)->bitmaps;
  const auto it =
      std::find_if(bitmaps.rbegin(), bitmaps.rend(), [b](const auto& h) { return h.get() == b->data; });
  if (it == bitmaps.rend()) return;
  if ((*it)->libwmf.data != nullptr) wmf_ipa_bmp_free(api, &(*it)->libwmf);
  bitmaps.erase(std::next(it).base());
  b->data = nullptr;
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

// Draws the text by GDI's rules (wmftext.h): the record it comes from is
// the next of the file's texts of its bytes, which gives its widths.
void DrawText(wmfAPI* api, wmfDrawText_t* t) {
  Begin(api, t->dc, Draws::Other);
  Device* d = Dev(api);
  wmfFont* font = WMF_DC_FONT(t->dc);
  if (font == nullptr || t->str == nullptr) return;
  const std::string bytes = t->str;
  const detail::WmfText* record = nullptr;
  for (std::size_t k = d->nextText; k < d->texts.size() && k < d->nextText + 8 && record == nullptr; ++k) {
    if (d->texts[k].bytes != bytes) continue;
    record = &d->texts[k];
    d->nextText = k + 1;
  }
  const unsigned charset = WMF_FONT_CHARSET(font);
  detail::WmfFontSpec spec;
  if (const char* name = WMF_FONT_NAME(font); name != nullptr)
    spec.family = detail::CharsetToUtf8(name, std::strlen(name), charset);
  spec.charset = charset;
  spec.weight = WMF_FONT_WEIGHT(font);
  spec.italic = WMF_FONT_ITALIC(font) != 0;
  spec.underline = WMF_TEXT_UNDERLINE(font) != 0;
  spec.strikeout = WMF_TEXT_STRIKEOUT(font) != 0;
  spec.pitchAndFamily = WMF_FONT_PITCH(font);
  if (charset == detail::kSymbolCharset && WMF_FONT_FTFACE(font) != nullptr)
    spec.symbolFace = OwnFace(WMF_FONT_FTFACE(font));
  detail::WmfTextCall call;
  call.align = (t->dc->textalign >> kAlignShift) & 0x1F;
  const bool continues = (call.align & detail::kTaUpdateCp) != 0 && record != nullptr && record->continues;
  call.x = continues ? d->cp.x : t->pt.x;
  call.y = continues ? d->cp.y : t->pt.y;
  call.unitX = t->dc->pixel_width;
  call.unitY = t->dc->pixel_height;
  call.stretch = d->stretch;
  const int height = WMF_FONT_HEIGHT(font);
  call.height = (WMF_FONT_QUALITY(font) & kCellHeight) != 0 ? height : -height;
  call.width = (WMF_FONT_QUALITY(font) & kOwnWidth) != 0 ? 0 : WMF_FONT_WIDTH(font);
  call.escapement = WMF_TEXT_ANGLE(font);
  call.charExtra = t->dc->charextra;
  call.opaque = WMF_DC_OPAQUE(t->dc);
  const wmfRGB* ink = WMF_DC_TEXTCOLOR(t->dc);
  const wmfRGB* paper = WMF_DC_BACKGROUND(t->dc);
  for (int k = 0; k < 3; ++k) {
    call.text[k] = (k == 0 ? ink->r : k == 1 ? ink->g : ink->b) / 255.0;
    call.background[k] = (k == 0 ? paper->r : k == 1 ? paper->g : paper->b) / 255.0;
  }
  call.hasRect = record != nullptr && record->options != 0;
  call.rect[0] = t->TL.x;
  call.rect[1] = t->TL.y;
  call.rect[2] = t->BR.x;
  call.rect[3] = t->BR.y;
  const std::string text = detail::CharsetToUtf8(t->str, bytes.size(), charset);
  double endX = 0, endY = 0;
  DrawWmfText(d->cr, spec, text, record, call, &endX, &endY);
  d->cp.x = static_cast<float>(endX);
  d->cp.y = static_cast<float>(endY);
  if (spec.symbolFace != nullptr) cairo_font_face_destroy(spec.symbolFace);
}

void UserData(wmfAPI*, wmfUserData_t*) {}

void Rects(cairo_t* cr, wmfPolyRectangle_t* p) {
  for (unsigned k = 0; k < p->count; ++k)
    cairo_rectangle(cr, p->TL[k].x, p->TL[k].y, p->BR[k].x - p->TL[k].x, p->BR[k].y - p->TL[k].y);
}
void RegionFrame(wmfAPI* api, wmfPolyRectangle_t* p) {
  Begin(api, p->dc, Draws::Other);
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
  Begin(api, p->dc, Draws::Other);
  cairo_t* cr = Dev(api)->cr;
  if (!SetBrush(api, p->dc)) return;
  Rects(cr, p);
  cairo_fill(cr);
}
void RegionClip(wmfAPI* api, wmfPolyRectangle_t* p) {
  Device* d = Dev(api);
  if (d->cr == nullptr) return;
  if (d->clip != nullptr) cairo_path_destroy(d->clip);
  d->clip = nullptr;
  if (p->count > 0) {
    cairo_new_path(d->cr);
    Rects(d->cr, p);
    d->clip = cairo_copy_path(d->cr);
  }
  Reclip(d);
}

void Begin(wmfAPI* api, wmfDC* dc, Draws what) {
  Device* d = Dev(api);
  if (d->cr == nullptr || dc == nullptr) return;
  if (what != Draws::Bitmap) FlushMask(d);
  const bool xorMode = dc->ROPmode == kR2XorPen;
  switch (d->trick) {
    case Device::Xor::None:
      break;
    case Device::Xor::First:
      if (!xorMode) {
        d->xorDrawing = cairo_pop_group(d->cr);
        Reclip(d);
        d->trick = Device::Xor::Shapes;
      }
      break;
    case Device::Xor::Shapes:
      if (xorMode) {
        cairo_push_group(d->cr);
        d->trick = Device::Xor::Second;
      } else if (what != Draws::Shape) {
        AbandonXor(d);
      }
      break;
    case Device::Xor::Second:
      if (!xorMode) CompleteXor(d);
      break;
  }
  if (d->trick == Device::Xor::None && xorMode) {
    cairo_push_group(d->cr);
    d->trick = Device::Xor::First;
  }
}

// The copy's mark after each SetROP2 and RestoreDC of a placeable file (a
// PatBlt that leaves the page as it is): a mode other than R2_XORPEN ends
// the trick's drawing then, not at the next thing drawn, which may be the
// next trick's first drawing in R2_XORPEN again.
void ModeSet(wmfAPI* api, wmfDC* dc) {
  Device* d = Dev(api);
  if (d->cr == nullptr || dc == nullptr || dc->ROPmode == kR2XorPen) return;
  if (d->trick == Device::Xor::First) {
    d->xorDrawing = cairo_pop_group(d->cr);
    Reclip(d);
    d->trick = Device::Xor::Shapes;
  } else if (d->trick == Device::Xor::Second) {
    CompleteXor(d);
  }
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

constexpr std::uint16_t kPolyPolygon = 0x0538, kSaveDc = 0x001E, kRestoreDc = 0x0127, kSetTextAlign = 0x012E,
                        kCreateFont = 0x02FB, kTextOut = 0x0521, kExtTextOut = 0x0A32, kMoveTo = 0x0214,
                        kLineTo = 0x0213, kSetRop2 = 0x0104, kPatBlt = 0x061D;
constexpr unsigned kIsotropic = 7, kAnisotropic = 8;
// A RestoreDC's count applied to the states saved: a negative one goes
// back that many saves, a positive one to that save counted from the
// first; one naming no save changes nothing.
template <class State>
void Restore(std::vector<State>* saved, int which, State* now) {
  const long keep = which < 0 ? static_cast<long>(saved->size()) + which : long{which} - 1;
  if (keep >= 0 && keep < static_cast<long>(saved->size())) {
    *now = (*saved)[static_cast<std::size_t>(keep)];
    saved->resize(static_cast<std::size_t>(keep));
  }
}

// The text records' mends (CopyWmf): the alignment as the copy's,
// a text under TA_UPDATECP given the current position as its point, an
// ExtTextOut's widths taken out (libwmf would draw it a character at a
// time) and kept in `texts`, with its bytes and options, in order.
// The DC's settings of one word or a colour, by the record that sets them:
// libwmf's SaveDC leaves the DC it goes on drawing with at libwmf's first
// settings (TA_TOP, black text on an opaque white background, R2_COPYPEN,
// ALTERNATE, no extra space), where GDI keeps them; the copy sets them
// again after each SaveDC and RestoreDC.
constexpr std::uint16_t kKeptSettings[] = {0x012E, 0x0209, 0x0201, 0x0102, 0x0106, 0x0104, 0x0108};
constexpr std::size_t kSettings = std::size(kKeptSettings);
struct Settings {
  std::uint16_t words[kSettings][2] = {{static_cast<std::uint16_t>(CopiedAlign(0)), 0},
                                       {0, 0},
                                       {0xFFFF, 0xFF},
                                       {2, 0},
                                       {1, 0},
                                       {13, 0},
                                       {0, 0}};
};

struct TextMends {
  std::vector<unsigned> saved;
  std::vector<Settings> savedSettings;
  Settings settings;
  unsigned align = 0;
  int cpX = 0, cpY = 0;
  bool cpFromText = false;
  std::vector<detail::WmfText>* texts = nullptr;

  // The records setting the DC's settings as they stand.
  void PutSettings(std::vector<std::uint8_t>* copy) const {
    for (std::size_t k = 0; k < kSettings; ++k) {
      const bool colour = kKeptSettings[k] == 0x0209 || kKeptSettings[k] == 0x0201;
      for (int v : {colour ? 5 : 4, 0, int{kKeptSettings[k]}, int{settings.words[k][0]}}) Put16(copy, v);
      if (colour) Put16(copy, settings.words[k][1]);
    }
  }

  // Mends the record just copied to the end of `copy`; answers the words it
  // added (negative: took out).
  std::int64_t Mend(std::uint16_t function, std::vector<std::uint8_t>* copy, std::size_t bytes) {
    std::uint8_t* r = copy->data() + copy->size() - bytes;
    std::uint8_t* p = r + 6;
    const std::size_t words = (bytes - 6) / 2;
    const auto put = [](std::uint8_t* at, int v) {
      at[0] = static_cast<std::uint8_t>(v & 0xFF);
      at[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    };
    for (std::size_t k = 0; k < kSettings; ++k)
      if (function == kKeptSettings[k] && words >= 1) {
        settings.words[k][0] = static_cast<std::uint16_t>(
            function == kSetTextAlign ? CopiedAlign(MetafileU16(p) & 0x1F) : MetafileU16(p));
        settings.words[k][1] = static_cast<std::uint16_t>(words >= 2 ? MetafileU16(p + 2) : 0);
      }
    if (function == kSaveDc || (function == kRestoreDc && words >= 1)) {
      if (function == kSaveDc) {
        saved.push_back(align);
        savedSettings.push_back(settings);
      } else {
        Restore(&saved, MetafileS16(p), &align);
        Restore(&savedSettings, MetafileS16(p), &settings);
      }
      const std::size_t before = copy->size();
      PutSettings(copy);
      return static_cast<std::int64_t>((copy->size() - before) / 2);
    } else if (function == kSetTextAlign && words >= 1) {
      align = MetafileU16(p) & 0x1F;
      put(p, CopiedAlign(align));
    } else if (function == kCreateFont && words >= 9) {
      p[16] = static_cast<std::uint8_t>(p[16] | (MetafileS16(p) > 0 ? kCellHeight : 0) |
                                        (MetafileS16(p + 2) == 0 ? kOwnWidth : 0));
    } else if ((function == kMoveTo || function == kLineTo) && words >= 2) {
      cpX = MetafileS16(p + 2);
      cpY = MetafileS16(p);
      cpFromText = false;
    } else if (function == kTextOut && words >= 1) {
      const std::size_t count = MetafileU16(p), strWords = (count + 1) / 2;
      if (count == 0 || words < 3 + strWords) return 0;
      detail::WmfText text{std::string(reinterpret_cast<const char*>(p + 2), count), {}, 0, false};
      Place(&text, p + 2 * (words - 1), p + 2 * (words - 2), put);
    } else if (function == kExtTextOut && words >= 4) {
      const std::size_t count = MetafileU16(p + 4), strWords = (count + 1) / 2;
      unsigned options = MetafileU16(p + 6);
      if ((options & (detail::kEtoOpaque | detail::kEtoClipped)) == 0) {
        options = 0;  // no rectangle follows
        put(p + 6, 0);
      }
      const std::size_t string = 4 + (options != 0 ? 4 : 0);
      if (count == 0 || words < string + strWords) return 0;
      detail::WmfText text{
          std::string(reinterpret_cast<const char*>(p + 2 * string), count), {}, options, false};
      if (words >= string + strWords + count)
        for (std::size_t k = 0; k < count; ++k)
          text.dx.push_back(MetafileS16(p + 2 * (string + strWords + k)));
      Place(&text, p + 2, p, put);
      const std::size_t kept = 3 + string + strWords, cut = words + 3 - kept;
      for (int k = 0; k < 4; ++k) r[k] = static_cast<std::uint8_t>(kept >> (8 * k));
      copy->resize(copy->size() - 2 * cut);
      return -static_cast<std::int64_t>(cut);
    }
    return 0;
  }

  // Keeps the text, its point the current position under TA_UPDATECP.
  template <class Put>
  void Place(detail::WmfText* text, std::uint8_t* x, std::uint8_t* y, Put put) {
    if ((align & detail::kTaUpdateCp) != 0) {
      put(x, cpX);
      put(y, cpY);
      text->continues = cpFromText;
      cpFromText = true;
    }
    texts->push_back(std::move(*text));
  }
};

}  // namespace

namespace detail {

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
// has libwmf size the unit anew. Its texts are mended as TextMends says,
// the first alignment (GDI's TA_TOP, left) set before its first record, and
// its objects kept and selected as WmfObjects says. The
// records lie from `start` to `end` (CheckWmfHeader).

std::vector<std::uint8_t> CopyWmf(const std::uint8_t* data, std::size_t size, std::size_t start,
                                  std::size_t end, std::vector<WmfText>* texts) {
  std::vector<std::uint8_t> copy(data, data + start), extent;
  for (int v : {4, 0, int{kSetTextAlign}, int{CopiedAlign(0)}}) Put16(&copy, v);
  std::int64_t added = 4;
  TextMends mends;
  mends.texts = texts;
  // The header's count of objects, after a placeable header.
  WmfFrame frame;
  const std::size_t header = detail::ReadWmfFrame(data, size, &frame) ? kWmfPlaceableBytes : 0;
  detail::WmfObjects objects(MetafileU16(data + header + 10));
  std::vector<std::uint8_t> after;
  std::size_t at = start;
  for (; at + 6 <= end;) {
    const std::uint64_t bytes = std::uint64_t{MetafileU32(data + at)} * 2;
    if (bytes < 6 || bytes > end - at) break;
    const std::uint16_t function = static_cast<std::uint16_t>(MetafileU16(data + at + 4));
    const std::uint8_t* p = data + at + 6;
    const std::size_t words = (bytes - 6) / 2;
    copy.insert(copy.end(), data + at, data + at + bytes);
    at += bytes;
    after.clear();
    if (!objects.Mend(copy.data() + copy.size() - bytes, bytes, &after)) {
      copy.resize(copy.size() - bytes);
      added -= static_cast<std::int64_t>(bytes / 2);
      continue;
    }
    added += mends.Mend(function, &copy, bytes);
    // (Only in a placeable file: libwmf's scan bounds another by the points
    // drawn, the mark's among them.)
    if (header != 0 && (function == kSetRop2 || function == kRestoreDc))
      for (int v : {9, 0, int{kPatBlt}, int{kNop & 0xFFFF}, int{kNop >> 16}, 0, 0, 0, 0}) Put16(&after, v);
    copy.insert(copy.end(), after.begin(), after.end());
    added += static_cast<std::int64_t>(after.size() / 2);
    if (function == kSetWindowExt && words >= 2) extent.assign(p - 6, p - 6 + bytes);
    if (function == kSetMapMode && words >= 1 && !extent.empty() &&
        (MetafileU16(p) == kIsotropic || MetafileU16(p) == kAnisotropic)) {
      copy.insert(copy.end(), extent.begin(), extent.end());
      added += static_cast<std::int64_t>(extent.size() / 2);
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
  // The header's size of the file, in words.
  const std::uint32_t total =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(MetafileU32(copy.data() + header + 6)) + added);
  for (int k = 0; k < 4; ++k) copy[header + 6 + k] = static_cast<std::uint8_t>(total >> (8 * k));
  // The header's count of objects, the places the copy's table needs.
  copy[header + 10] = static_cast<std::uint8_t>(objects.Count() & 0xFF);
  copy[header + 11] = static_cast<std::uint8_t>(objects.Count() >> 8);
  return copy;
}

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
  const std::vector<std::uint8_t> copy = CopyWmf(data, size, start, end, &device.texts);
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
    for (int k = 0; k < 2 && device.svg; ++k)
      if (t->cells[k] > 0) device.dots[k] = t->cells[k] / 2 / (k == 0 ? t->DrawnWidth() : t->DrawnHeight());
    if (wmf_play(api, 0, &box) != wmf_E_None) why = "damaged records";
    cairo_surface_flush(surface);
    cairo_destroy(device.cr);
    cairo_surface_destroy(surface);
    t->nearestRops = device.nearestRops;
    if (why.empty()) t->Finish();  // while libwmf's fonts live
    return why;
  });
}

}  // namespace detail

}  // namespace md::imaging
