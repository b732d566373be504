#include "platform/imaging/helper/listtiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "platform/imaging/helper/svg/svgmeasure.h"
#include "platform/imaging/helper/svg/svgreader.h"

namespace md::imaging::detail {
namespace {

using svg::Document;
using svg::Paint;
using svg::Style;
constexpr std::uint32_t kNone = Document::kNone;

// The writer's bounds of nesting and visits (listwriter.cpp).
constexpr int kMaxNesting = 2 * static_cast<int>(kSvgMaxDepth);
constexpr std::uint64_t kMaxVisits = 4 * kSvgMaxInstances;

// Pictures in a tile (the cells of the helper's hatches and pattern brushes)
// are sampled smoothed, as the painting of the drawing onto a raster samples
// them: a tile smaller than its cell's pixels keeps each line's share of
// them, not every other line.
constexpr cairo_filter_t kTileFilter = CAIRO_FILTER_GOOD;

class CairoPath final : public svg::PathSink {
 public:
  explicit CairoPath(cairo_t* cr) : cr_(cr) {}
  void Move(double x, double y) override { cairo_move_to(cr_, x, y); }
  void Line(double x, double y) override { cairo_line_to(cr_, x, y); }
  void Curve(double x1, double y1, double x2, double y2, double x3, double y3) override {
    cairo_curve_to(cr_, x1, y1, x2, y2, x3, y3);
  }
  void Close() override { cairo_close_path(cr_); }

 private:
  cairo_t* const cr_;
};

// Walks a tile's content: with no cairo context, only to find whether it
// can be painted (answer_); with one, painting it.
class Tile {
 public:
  Tile(const Document& doc, ListPictures* pictures, TileBudget* budget, double side)
      : doc_(doc), pictures_(pictures), budget_(budget), side_(side) {}

  VectorsAnswer answer() const { return answer_; }

  // The pattern's tile over the context's user space (the pattern's).
  void Content(cairo_t* cr, std::uint32_t pattern, int depth) {
    if (!Visit(depth)) return;
    if (Attr(pattern, "patternUnits") != "userSpaceOnUse" || !Attr(pattern, "viewBox").empty() ||
        Attr(pattern, "patternContentUnits") == "objectBoundingBox")
      return Refuse(VectorsAnswer::Pattern);
    for (std::uint32_t c = doc_[pattern].firstChild; c != kNone && answer_ == VectorsAnswer::List;
         c = doc_[c].next)
      Element(cr, c, Style(), depth + 1);
  }

 private:
  std::string_view Attr(std::uint32_t n, std::string_view a) const { return doc_.Attribute(n, a); }
  void Refuse(VectorsAnswer why) {
    if (answer_ == VectorsAnswer::List) answer_ = why;
  }
  bool Visit(int depth) {
    if (depth > kMaxNesting || ++budget_->visits > budget_->mostVisits) Refuse(VectorsAnswer::PastBounds);
    return answer_ == VectorsAnswer::List;
  }

  void Element(cairo_t* cr, std::uint32_t n, Style style, int depth) {
    if (!Visit(depth)) return;
    const std::string_view name = doc_[n].name;
    svg::ApplyStyle(Attr(n, "style"), &style);
    if (style.filtered || !Attr(n, "filter").empty() || !Attr(n, "mask").empty())
      return Refuse(VectorsAnswer::Pattern);
    cairo_matrix_t m;
    if (!svg::ReadTransform(Attr(n, "transform"), &m)) return;  // nothing under it shows
    if (cr != nullptr) {
      cairo_save(cr);
      cairo_transform(cr, &m);
    }
    if (const std::string_view clip = Attr(n, "clip-path"); !clip.empty())
      Clip(cr, n, doc_.Named(clip), depth);
    const bool group = style.opacity < 1;
    if (group && cr != nullptr) cairo_push_group(cr);
    if (name == "path" || name == "rect") {
      Shape(cr, n, style, depth);
    } else if (name == "image") {
      Picture(cr, n);
    } else if (name == "use") {
      if (cr != nullptr) cairo_translate(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
      const std::uint32_t used = doc_.Named(Attr(n, "xlink:href"));
      if (used != kNone && doc_[used].name == "symbol")
        Children(cr, used, style, depth);
      else if (used != kNone)
        Element(cr, used, style, depth + 1);
    } else if (name == "g" || name == "symbol") {
      Children(cr, n, style, depth);
    } else if (!svg::PaintedByReference(name)) {
      Refuse(VectorsAnswer::Pattern);  // text, or what else cairo does not write in a tile
    }
    if (group && cr != nullptr) {
      cairo_pop_group_to_source(cr);
      cairo_paint_with_alpha(cr, style.opacity);
    }
    if (cr != nullptr) cairo_restore(cr);
  }

  void Children(cairo_t* cr, std::uint32_t n, const Style& style, int depth) {
    for (std::uint32_t c = doc_[n].firstChild; c != kNone && answer_ == VectorsAnswer::List; c = doc_[c].next)
      if (!svg::PaintedByReference(doc_[c].name)) Element(cr, c, style, depth + 1);
  }

  // The outline of a path or rectangle as the context's path.
  void Outline(cairo_t* cr, std::uint32_t n) {
    if (doc_[n].name == "path") {
      CairoPath sink(cr);
      svg::ReadPath(Attr(n, "d"), &sink);
      return;
    }
    const double w = svg::Number(Attr(n, "width")), h = svg::Number(Attr(n, "height"));
    if (w > 0 && h > 0) cairo_rectangle(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")), w, h);
  }

  // Narrows the clip to the outlines of the clip path's paths and
  // rectangles (anything else in it is refused); a clip path of none, or a
  // reference to no clip path, shows nothing, as the list's clips do.
  void Clip(cairo_t* cr, std::uint32_t n, std::uint32_t clip, int depth) {
    if (cr != nullptr) cairo_new_path(cr);
    const bool named = clip != kNone && doc_[clip].name == "clipPath";
    for (std::uint32_t c = named ? doc_[clip].firstChild : kNone;
         c != kNone && answer_ == VectorsAnswer::List; c = doc_[c].next) {
      if (!Visit(depth + 1)) return;
      cairo_matrix_t m;
      if (doc_[c].name != "path" && doc_[c].name != "rect") return Refuse(VectorsAnswer::Pattern);
      if (!svg::ReadTransform(Attr(c, "transform"), &m) || cr == nullptr) continue;
      cairo_matrix_t saved;
      cairo_get_matrix(cr, &saved);
      cairo_transform(cr, &m);
      Outline(cr, c);
      cairo_set_matrix(cr, &saved);
    }
    if (cr == nullptr) return;
    cairo_set_fill_rule(
        cr, Attr(n, "clip-rule") == "evenodd" ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr);
  }

  void Shape(cairo_t* cr, std::uint32_t n, const Style& s, int depth) {
    const bool filled = s.fill.kind != Paint::Kind::None;
    const bool stroked = s.stroke.kind != Paint::Kind::None && s.strokeWidth > 0;
    const bool fillSource = filled && Source(cr, s.fill, s.fillOpacity, depth);
    if (fillSource && cr != nullptr) {
      cairo_new_path(cr);
      Outline(cr, n);
      cairo_set_fill_rule(
          cr, s.fillRule == drawlist::FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
      cairo_fill(cr);
    }
    if (stroked && Source(cr, s.stroke, s.strokeOpacity, depth) && cr != nullptr) {
      cairo_new_path(cr);
      Outline(cr, n);
      cairo_set_line_width(cr, s.strokeWidth);
      cairo_set_miter_limit(cr, s.miterLimit);
      cairo_set_line_cap(cr, static_cast<cairo_line_cap_t>(s.cap));
      cairo_set_line_join(cr, static_cast<cairo_line_join_t>(s.join));
      // Dashed as the list dashes: solid where an entry is negative or
      // they add up to nothing.
      std::vector<double> dashes;
      double v = 0, period = 0;
      bool valid = true;
      for (svg::Numbers numbers(s.dashes); numbers.Next(&v) && dashes.size() < drawlist::kMaxDashCount;)
        valid = valid && v >= 0, period += v, dashes.push_back(v);
      if (valid && period > 0)
        cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), s.dashOffset);
      cairo_stroke(cr);
    }
  }

  // Sets the paint as the context's source; false when it paints nothing.
  bool Source(cairo_t* cr, const Paint& paint, double opacity, int depth) {
    if (paint.kind == Paint::Kind::Colour) {
      if (cr != nullptr) cairo_set_source_rgba(cr, paint.r, paint.g, paint.b, opacity);
      return true;
    }
    const std::uint32_t target = paint.kind == Paint::Kind::Url ? doc_.Named(paint.url) : kNone;
    if (target == kNone) return false;
    if (doc_[target].name != "pattern") {
      Refuse(VectorsAnswer::Pattern);  // a gradient: painted from pixels, as before
      return false;
    }
    const std::uint32_t first = doc_[target].firstChild;
    if (first != kNone && doc_[first].next == kNone && doc_.OnePicture(first)) {
      if (!Visit(depth + 1) || cr == nullptr) return answer_ == VectorsAnswer::List;
      return RepeatedPicture(cr, target, first, opacity);
    }
    if (cr == nullptr) {
      Content(nullptr, target, depth + 1);
      return answer_ == VectorsAnswer::List;
    }
    return RepeatedTile(cr, target, opacity, depth);
  }

  // The size of a pattern's tile (from its space's origin: the document
  // holds no other), and its transform; false when it has none.
  bool TileOf(std::uint32_t pattern, double size[2], cairo_matrix_t* m) const {
    size[0] = svg::Number(Attr(pattern, "width")), size[1] = svg::Number(Attr(pattern, "height"));
    return size[0] > 0 && size[1] > 0 && svg::ReadTransform(Attr(pattern, "patternTransform"), m);
  }

  // A pattern of one picture as the source, repeated.
  bool RepeatedPicture(cairo_t* cr, std::uint32_t pattern, std::uint32_t shown, double opacity) {
    double size[2];
    cairo_matrix_t m, use;
    if (!TileOf(pattern, size, &m)) return false;
    cairo_matrix_init_identity(&use);
    std::uint32_t image = shown;
    if (doc_[shown].name == "use") {
      if (!svg::ReadTransform(Attr(shown, "transform"), &use)) return false;
      cairo_matrix_translate(&use, svg::Number(Attr(shown, "x")), svg::Number(Attr(shown, "y")));
      image = doc_.Named(Attr(shown, "xlink:href"));
    }
    cairo_matrix_multiply(&m, &use, &m);
    cairo_surface_t* pixels = PixelsOf(image, &m);
    if (pixels == nullptr) return false;
    SetRepeated(cr, pixels, m, opacity);
    return true;
  }

  // A pattern of drawn content as the source: its tile painted at the
  // pixels it covers on the context's target, repeated.
  bool RepeatedTile(cairo_t* cr, std::uint32_t pattern, double opacity, int depth) {
    double size[2];
    cairo_matrix_t m, device;
    if (!TileOf(pattern, size, &m)) return false;
    cairo_get_matrix(cr, &device);
    cairo_matrix_t toDevice;
    cairo_matrix_multiply(&toDevice, &m, &device);
    const double across = std::hypot(toDevice.xx, toDevice.yx) * size[0];
    const double down = std::hypot(toDevice.xy, toDevice.yy) * size[1];
    // At most the pixels of the tile it is painted into, a side.
    const auto pixels = [&](double n) {
      return static_cast<int>(std::clamp(std::ceil(n - 1e-6), 1.0, side_));
    };
    const int w = pixels(across), h = pixels(down);
    if ((budget_->pixels += static_cast<double>(w) * h) > budget_->mostPixels) {
      Refuse(VectorsAnswer::PastBounds);
      return false;
    }
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* inner = cairo_create(tile);
    cairo_scale(inner, w / size[0], h / size[1]);
    Content(inner, pattern, depth + 1);
    cairo_destroy(inner);
    // From the pixels to the tile, to the space it paints in.
    cairo_matrix_t toSpace;
    cairo_matrix_init_scale(&toSpace, size[0] / w, size[1] / h);
    cairo_matrix_multiply(&toSpace, &toSpace, &m);
    SetRepeated(cr, tile, toSpace, opacity);
    return answer_ == VectorsAnswer::List;
  }

  // Makes the pixels repeated the source (`m` from them to the space it
  // paints in), faded by the opacity; it takes the surface.
  static void SetRepeated(cairo_t* cr, cairo_surface_t* pixels, cairo_matrix_t m, double opacity) {
    cairo_pattern_t* source = cairo_pattern_create_for_surface(pixels);
    cairo_matrix_invert(&m);
    cairo_pattern_set_matrix(source, &m);
    cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(source, kTileFilter);
    Set(cr, source, opacity);
    cairo_surface_destroy(pixels);
  }

  // Makes the pattern the source, faded by the opacity.
  static void Set(cairo_t* cr, cairo_pattern_t* source, double opacity) {
    if (opacity >= 1) {
      cairo_set_source(cr, source);
      cairo_pattern_destroy(source);
      return;
    }
    // Faded: the pattern painted through the alpha into a group taken as
    // the source.
    cairo_push_group(cr);
    cairo_reset_clip(cr);
    cairo_set_source(cr, source);
    cairo_paint_with_alpha(cr, opacity);
    cairo_pattern_destroy(source);
    cairo_pattern_t* faded = cairo_pop_group(cr);
    cairo_set_source(cr, faded);
    cairo_pattern_destroy(faded);
  }

  // The pixels of an image element (a new surface), *m then from them to
  // the space the image stands in; null when it shows none.
  cairo_surface_t* PixelsOf(std::uint32_t image, cairo_matrix_t* m) {
    if (image == kNone || doc_[image].name != "image") return nullptr;
    const std::uint32_t picture = pictures_->Find(Attr(image, "xlink:href"));
    if (picture == ListPictures::kNone) return nullptr;
    const int sw = pictures_->Width(picture), sh = pictures_->Height(picture);
    const double w = svg::Number(Attr(image, "width"), sw), h = svg::Number(Attr(image, "height"), sh);
    if (!(w > 0) || !(h > 0)) return nullptr;
    cairo_matrix_t scale;
    cairo_matrix_init_scale(&scale, w / sw, h / sh);
    cairo_matrix_multiply(m, &scale, m);
    return pictures_->Decode(picture);
  }

  void Picture(cairo_t* cr, std::uint32_t image) {
    if (cr == nullptr) return;
    cairo_matrix_t m;
    cairo_matrix_init_identity(&m);
    cairo_surface_t* pixels = PixelsOf(image, &m);
    if (pixels == nullptr) return;
    cairo_transform(cr, &m);
    cairo_set_source_surface(cr, pixels, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), kTileFilter);
    cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(pixels), cairo_image_surface_get_height(pixels));
    cairo_fill(cr);
    cairo_surface_destroy(pixels);
  }

  const Document& doc_;
  ListPictures* const pictures_;
  TileBudget* const budget_;
  const double side_;  // the most pixels of a tile painted inside, a side
  VectorsAnswer answer_ = VectorsAnswer::List;
};

}  // namespace

VectorsAnswer TilePaintable(const svg::Document& doc, std::uint32_t pattern, TileBudget* budget) {
  Tile tile(doc, nullptr, budget, 0);
  tile.Content(nullptr, pattern, 0);
  return tile.answer();
}

bool PaintTile(const svg::Document& doc, std::uint32_t pattern, ListPictures* pictures, int w, int h,
               TileBudget* budget, std::vector<std::uint32_t>* pixels) {
  const double tw = svg::Number(doc.Attribute(pattern, "width")),
               th = svg::Number(doc.Attribute(pattern, "height"));
  if (!(tw > 0) || !(th > 0) || w < 1 || h < 1) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, w / tw, h / th);
  Tile tile(doc, pictures, budget, std::max(w, h));
  tile.Content(cr, pattern, 0);
  bool painted = tile.answer() == VectorsAnswer::List && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  painted = painted && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (painted) {
    pixels->assign(std::size_t(w) * h, 0);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < h; ++y)
      std::memcpy(pixels->data() + std::size_t(y) * w,
                  data + std::ptrdiff_t{y} * cairo_image_surface_get_stride(surface), std::size_t(w) * 4);
  }
  cairo_surface_destroy(surface);
  return painted;
}

}  // namespace md::imaging::detail
