#include "platform/imaging/svgpaint.h"

#include <cairo.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kNone = SvgDocument::kNone;
constexpr auto npos = std::string_view::npos;

// The most stops a gradient painted here has: cairo adds each one in a time
// that grows with those before.
constexpr std::size_t kMaxStops = 256;

// The transform of an attribute (matrix, translate, scale, rotate): false
// when it is none or cannot be inverted (nothing under it is painted).
bool ReadTransform(std::string_view text, cairo_matrix_t* m) {
  cairo_matrix_init_identity(m);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('(', at), close = text.find(')', at);
    if (open == npos || close == npos || close < open) break;
    std::string_view name = text.substr(at, open - at);
    name.remove_prefix(std::min(name.find_first_not_of(" \t\r\n,"), name.size()));
    name = name.substr(0, name.find_last_not_of(svg::kBlanks) + 1);
    double v[6] = {0, 0, 0, 0, 0, 0};
    int n = 0;
    svg::Numbers numbers(text.substr(open + 1, close - open - 1));
    while (n < 6 && numbers.Next(&v[n])) ++n;
    cairo_matrix_t t;
    cairo_matrix_init_identity(&t);
    if (name == "matrix" && n == 6)
      cairo_matrix_init(&t, v[0], v[1], v[2], v[3], v[4], v[5]);
    else if (name == "translate" && n >= 1)
      cairo_matrix_init_translate(&t, v[0], n > 1 ? v[1] : 0);
    else if (name == "scale" && n >= 1)
      cairo_matrix_init_scale(&t, v[0], n > 1 ? v[1] : v[0]);
    else if (name == "rotate" && n == 1)
      cairo_matrix_init_rotate(&t, v[0] * M_PI / 180);
    cairo_matrix_multiply(m, &t, m);
    at = close + 1;
  }
  cairo_matrix_t inverse = *m;
  return cairo_matrix_invert(&inverse) == CAIRO_STATUS_SUCCESS;
}

// A colour or a reference: "none", "rgb(r%,g%,b%)", "rgb(r,g,b)", "#rgb",
// "#rrggbb", a few names, "url(#id)".
struct Paint {
  enum class Kind { None, Colour, Url } kind = Kind::None;
  double r = 0, g = 0, b = 0;
  std::string_view url;
};

Paint ReadPaint(std::string_view v) {
  v.remove_prefix(std::min(v.find_first_not_of(svg::kBlanks), v.size()));
  v = v.substr(0, v.find_last_not_of(svg::kBlanks) + 1);
  Paint p;
  if (v.starts_with("url(")) {
    p.kind = Paint::Kind::Url;
    p.url = v;
    return p;
  }
  p.kind = Paint::Kind::Colour;
  if (v.starts_with("rgb(")) {
    double c[3] = {0, 0, 0};
    std::string_view rest = v.substr(4);
    for (double& channel : c) {
      svg::Numbers n(rest);
      if (!n.Next(&channel)) break;
      rest.remove_prefix(n.At());
      const bool percent = rest.starts_with('%');
      channel = std::clamp(percent ? channel / 100 : channel / 255, 0.0, 1.0);
      rest.remove_prefix(std::min(rest.find(','), rest.size()));
      if (!rest.empty()) rest.remove_prefix(1);
    }
    p.r = c[0], p.g = c[1], p.b = c[2];
    return p;
  }
  if (v.starts_with('#') && (v.size() == 4 || v.size() == 7)) {
    unsigned value = 0;
    std::from_chars(v.data() + 1, v.data() + v.size(), value, 16);
    if (v.size() == 4) value = ((value & 0xF00) * 0x1100) | ((value & 0xF0) * 0x110) | ((value & 0xF) * 0x11);
    p.r = ((value >> 16) & 0xFF) / 255.0, p.g = ((value >> 8) & 0xFF) / 255.0, p.b = (value & 0xFF) / 255.0;
    return p;
  }
  if (v == "white") {
    p.r = p.g = p.b = 1;
    return p;
  }
  if (v == "black") return p;
  p.kind = Paint::Kind::None;  // "none", or what is not read
  return p;
}

// What an element's style says, with what it inherits.
struct Style {
  Paint fill{Paint::Kind::Colour, 0, 0, 0, {}}, stroke;
  double fillOpacity = 1, strokeOpacity = 1, strokeWidth = 1, miterLimit = 4, dashOffset = 0;
  cairo_fill_rule_t fillRule = CAIRO_FILL_RULE_WINDING;
  cairo_line_cap_t cap = CAIRO_LINE_CAP_BUTT;
  cairo_line_join_t join = CAIRO_LINE_JOIN_MITER;
  std::string_view dashes;
  double opacity = 1;  // not inherited
  bool filtered = false;
};

double Opacity(std::string_view v) { return std::clamp(svg::Number(v, 1), 0.0, 1.0); }

void ApplyStyle(std::string_view style, Style* s) {
  // Not inherited: the dashes are the element's own, as the measure counts them.
  s->opacity = 1;
  s->filtered = false;
  s->dashes = {};
  svg::ForEachDeclaration(style, [&](std::string_view property, std::string_view v) {
    if (property == "fill") s->fill = ReadPaint(v);
    if (property == "stroke") s->stroke = ReadPaint(v);
    if (property == "fill-opacity") s->fillOpacity = Opacity(v);
    if (property == "stroke-opacity") s->strokeOpacity = Opacity(v);
    if (property == "opacity") s->opacity = Opacity(v);
    if (property == "stroke-width") s->strokeWidth = std::max(svg::Number(v, 1), 0.0);
    if (property == "stroke-miterlimit") s->miterLimit = std::max(svg::Number(v, 4), 1.0);
    if (property == "stroke-dashoffset") s->dashOffset = svg::Number(v);
    if (property == "stroke-dasharray") s->dashes = v;
    if (property == "fill-rule")
      s->fillRule = v.find("evenodd") != npos ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
    if (property == "stroke-linecap")
      s->cap = v.find("round") != npos    ? CAIRO_LINE_CAP_ROUND
               : v.find("square") != npos ? CAIRO_LINE_CAP_SQUARE
                                          : CAIRO_LINE_CAP_BUTT;
    if (property == "stroke-linejoin")
      s->join = v.find("round") != npos   ? CAIRO_LINE_JOIN_ROUND
                : v.find("bevel") != npos ? CAIRO_LINE_JOIN_BEVEL
                                          : CAIRO_LINE_JOIN_MITER;
    if (property == "filter") s->filtered = v.find("none") == npos;
  });
}

// Appends the path data to cr's path.
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

void AppendPath(cairo_t* cr, std::string_view d) {
  CairoPath sink(cr);
  svg::ReadPath(d, &sink);
}

// A picture decoded for a print: its pixels, which the surface paints
// straight from and which live while the surface does.
cairo_surface_t* DecodePicture(std::string_view href, std::size_t memoryLimit) {
  if (href.size() < svg::kPngData.size()) return nullptr;
  const std::string_view data = href.substr(svg::kPngData.size());
  const std::vector<std::uint8_t> bytes = svg::Base64Bytes(data, data.size(), true);
  DecodeResult r = DecodePng(bytes.data(), bytes.size(), memoryLimit);
  if (!r) return nullptr;
  auto* bitmap = new BitmapPtr(std::move(r.bitmap));
  cairo_surface_t* s = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>((*bitmap)->pixels.data())),
      CAIRO_FORMAT_ARGB32, (*bitmap)->width, (*bitmap)->height, (*bitmap)->width * 4);
  static cairo_user_data_key_t key;
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(s, &key, bitmap, [](void* b) { delete static_cast<BitmapPtr*>(b); }) !=
          CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    delete bitmap;
    return nullptr;
  }
  return s;
}

class Print final : public canvas::VectorDrawing {
 public:
  Print(std::shared_ptr<const SvgDocument> document, double width, double height)
      : doc_(std::move(document)), width_(width), height_(height) {}
  ~Print() override {
    for (const auto& [node, surface] : pictures_) cairo_surface_destroy(surface);
  }
  Print(const Print&) = delete;
  Print& operator=(const Print&) = delete;

  // Decodes the pictures (one surface for each data, however many show
  // it); one that cannot be decoded is left out.
  void Decode(std::size_t memoryLimit) {
    std::unordered_map<std::string_view, cairo_surface_t*> byData;
    for (const std::uint32_t node : doc_->Pictures()) {
      const std::string_view href = doc_->Attribute(node, "xlink:href");
      const auto [it, fresh] = byData.try_emplace(href, nullptr);
      if (fresh) it->second = DecodePicture(href, memoryLimit);
      if (it->second != nullptr) pictures_.emplace(node, cairo_surface_reference(it->second));
    }
    for (const auto& [data, surface] : byData)
      if (surface != nullptr) cairo_surface_destroy(surface);
  }

  void paint(cairo_t* cr, double width, double height) const override {
    const std::vector<SvgDocument::Node>& nodes = doc_->Nodes();
    if (nodes.empty() || !(width_ > 0) || !(height_ > 0)) return;
    cairo_save(cr);
    // Stretched as the pixels would be: the view box onto the whole box.
    cairo_scale(cr, width / width_, height / height_);
    svg::Numbers box(doc_->Attribute(0, "viewBox"));
    double v[4];
    if (box.Next(&v[0]) && box.Next(&v[1]) && box.Next(&v[2]) && box.Next(&v[3]) && v[2] > 0 && v[3] > 0) {
      cairo_scale(cr, width_ / v[2], height_ / v[3]);
      cairo_translate(cr, -v[0], -v[1]);
    }
    cairo_new_path(cr);
    Children(cr, 0, Style());
    cairo_restore(cr);
  }

 private:
  std::string_view Attr(std::uint32_t n, std::string_view name) const { return doc_->Attribute(n, name); }
  const SvgDocument::Node& Node(std::uint32_t n) const { return doc_->Nodes()[n]; }

  void Children(cairo_t* cr, std::uint32_t n, const Style& style) const {
    for (std::uint32_t c = Node(n).firstChild; c != kNone; c = Node(c).next)
      if (!svg::PaintedByReference(Node(c).name)) Element(cr, c, style);
  }

  // Paints the element, where it stands or through a reference.
  void Element(cairo_t* cr, std::uint32_t n, Style style) const {
    const std::string_view name = Node(n).name;
    ApplyStyle(Attr(n, "style"), &style);
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "transform"), &m)) return;
    cairo_save(cr);
    cairo_transform(cr, &m);
    if (const std::string_view clip = Attr(n, "clip-path"); !clip.empty()) Clip(cr, n, doc_->Named(clip));
    std::uint32_t used = kNone;
    if (name == "use") {
      used = doc_->Named(Attr(n, "xlink:href"));
      cairo_translate(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
    }
    const std::uint32_t mask = doc_->Named(Attr(n, "mask"));
    const bool shape = name == "path" || name == "rect";
    if (mask != kNone && shape) {
      // Its fill through the mask (cairo's mask of a source).
      Outline(cr, n);
      cairo_clip(cr);
      if (SetSource(cr, style.fill, style.fillOpacity)) Mask(cr, mask);
    } else {
      const bool group = style.opacity < 1 || mask != kNone;
      if (group) cairo_push_group(cr);
      if (shape) {
        Shape(cr, n, style);
      } else if (name == "image") {
        Picture(cr, n);
      } else if (name == "use") {
        if (used != kNone) {
          if (Node(used).name == "symbol")
            Children(cr, used, style);
          else
            Element(cr, used, style);
        }
      } else {
        Children(cr, n, style);
      }
      if (group) {
        cairo_pop_group_to_source(cr);
        if (mask != kNone)
          Mask(cr, mask);
        else
          cairo_paint_with_alpha(cr, style.opacity);
      }
    }
    cairo_restore(cr);
  }

  // The outline of a path or rectangle, as cr's path.
  void Outline(cairo_t* cr, std::uint32_t n) const {
    cairo_new_path(cr);
    if (Node(n).name == "path") {
      AppendPath(cr, Attr(n, "d"));
    } else {
      const double w = svg::Number(Attr(n, "width")), h = svg::Number(Attr(n, "height"));
      if (w > 0 && h > 0) cairo_rectangle(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")), w, h);
    }
  }

  // The width of a hairline the helper marked, in the user's units: a
  // device pixel on a raster; on a vector file (whose units are points) a
  // dot of a printer of kVectorDotDpi, as the thinnest line of the
  // platform's own drawing there (cairo draws no line of no width, which a
  // PDF viewer would draw a pixel wide).
  static double HairlineWidth(cairo_t* cr) {
    const bool raster = cairo_surface_get_type(cairo_get_target(cr)) == CAIRO_SURFACE_TYPE_IMAGE;
    double dx = raster ? 1.0 : 72.0 / canvas::CairoCanvas::kVectorDotDpi, dy = 0;
    cairo_device_to_user_distance(cr, &dx, &dy);
    return std::hypot(dx, dy);
  }

  void Shape(cairo_t* cr, std::uint32_t n, const Style& s) const {
    Outline(cr, n);
    if (s.fill.kind != Paint::Kind::None && SetSource(cr, s.fill, s.fillOpacity)) {
      cairo_set_fill_rule(cr, s.fillRule);
      cairo_fill_preserve(cr);
    }
    if (s.stroke.kind != Paint::Kind::None && s.strokeWidth > 0 && SetSource(cr, s.stroke, s.strokeOpacity)) {
      cairo_set_line_width(cr,
                           drawlist::IsHairlineMiterLimit(s.miterLimit) ? HairlineWidth(cr) : s.strokeWidth);
      cairo_set_line_cap(cr, s.cap);
      cairo_set_line_join(cr, s.join);
      cairo_set_miter_limit(cr, s.miterLimit);
      std::vector<double> dashes;
      double v = 0, sum = 0;
      bool valid = true;
      for (svg::Numbers numbers(s.dashes); numbers.Next(&v);) {
        valid = valid && v >= 0;
        sum += v;
        dashes.push_back(v);
      }
      if (valid && sum > 0)
        cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), s.dashOffset);
      else
        cairo_set_dash(cr, nullptr, 0, 0);
      cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
  }

  cairo_surface_t* SurfaceOf(std::uint32_t image) const {
    const auto it = pictures_.find(image);
    return it != pictures_.end() ? it->second : nullptr;
  }

  // The pattern of a picture as an element shows it, over its width and
  // height, under `m` (NULL when it has no picture).
  cairo_pattern_t* PicturePattern(std::uint32_t image, cairo_matrix_t m) const {
    cairo_surface_t* s = SurfaceOf(image);
    if (s == nullptr) return nullptr;
    const int sw = cairo_image_surface_get_width(s), sh = cairo_image_surface_get_height(s);
    const double w = svg::Number(Attr(image, "width"), sw), h = svg::Number(Attr(image, "height"), sh);
    if (!(w > 0) || !(h > 0)) return nullptr;
    cairo_matrix_t scale;
    cairo_matrix_init_scale(&scale, w / sw, h / sh);
    cairo_matrix_multiply(&m, &scale, &m);
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
    cairo_pattern_set_matrix(p, &m);
    return p;
  }

  void Picture(cairo_t* cr, std::uint32_t n) const {
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    if (cairo_pattern_t* p = PicturePattern(n, identity)) {
      cairo_set_source(cr, p);
      cairo_paint(cr);
      cairo_pattern_destroy(p);
    }
  }

  // The picture an element shows by itself (an image, or a use of one) and
  // the transform it shows it under; kNone when it is something else.
  std::uint32_t ShownPicture(std::uint32_t n, cairo_matrix_t* m) const {
    cairo_matrix_init_identity(m);
    if (Node(n).name == "image") return n;
    if (Node(n).name != "use" || !ReadTransform(Attr(n, "transform"), m)) return kNone;
    cairo_matrix_translate(m, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
    const std::uint32_t target = doc_->Named(Attr(n, "xlink:href"));
    return target != kNone && Node(target).name == "image" ? target : kNone;
  }

  // Sets the paint as cr's source; false when it paints nothing.
  bool SetSource(cairo_t* cr, const Paint& paint, double opacity) const {
    if (paint.kind == Paint::Kind::Colour) {
      cairo_set_source_rgba(cr, paint.r, paint.g, paint.b, opacity);
      return true;
    }
    const std::uint32_t target = paint.kind == Paint::Kind::Url ? doc_->Named(paint.url) : kNone;
    if (target == kNone) return false;
    cairo_pattern_t* p = nullptr;
    const std::string_view name = Node(target).name;
    if (name == "pattern") {
      // One picture, repeated (SvgDocument::Read refused other patterns).
      cairo_matrix_t m, shown;
      if (!ReadTransform(Attr(target, "patternTransform"), &m)) return false;
      const std::uint32_t first = Node(target).firstChild;
      const std::uint32_t image = first == kNone ? kNone : ShownPicture(first, &shown);
      if (image == kNone) return false;
      cairo_matrix_multiply(&m, &shown, &m);
      p = PicturePattern(image, m);
      if (p != nullptr) cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    } else if (name == "linearGradient" || name == "radialGradient") {
      p = Gradient(target, opacity);
    }
    if (p == nullptr) return false;
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    return true;
  }

  cairo_pattern_t* Gradient(std::uint32_t n, double opacity) const {
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "gradientTransform"), &m) || cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
      return nullptr;
    const auto at = [&](std::string_view a, double otherwise) { return svg::Number(Attr(n, a), otherwise); };
    cairo_pattern_t* p = nullptr;
    if (Node(n).name == "linearGradient") {
      p = cairo_pattern_create_linear(at("x1", 0), at("y1", 0), at("x2", 1), at("y2", 0));
    } else {
      const double cx = at("cx", 0.5), cy = at("cy", 0.5);
      p = cairo_pattern_create_radial(at("fx", cx), at("fy", cy), 0, cx, cy, std::max(at("r", 0.5), 0.0));
    }
    cairo_pattern_set_matrix(p, &m);
    const std::string_view spread = Attr(n, "spreadMethod");
    cairo_pattern_set_extend(p, spread == "repeat"    ? CAIRO_EXTEND_REPEAT
                                : spread == "reflect" ? CAIRO_EXTEND_REFLECT
                                                      : CAIRO_EXTEND_PAD);
    double last = 0;
    for (std::uint32_t s = Node(n).firstChild; s != kNone; s = Node(s).next) {
      if (Node(s).name != "stop") continue;
      const std::string_view offset = Attr(s, "offset");
      double o = svg::Number(offset);
      if (offset.find('%') != npos) o /= 100;
      last = std::max(last, std::clamp(o, 0.0, 1.0));  // never before the stop before
      Paint colour{Paint::Kind::Colour, 0, 0, 0, {}};
      double alpha = 1;
      svg::ForEachDeclaration(Attr(s, "style"), [&](std::string_view property, std::string_view v) {
        // cairo writes one stop-opacity without its colon.
        if (v.empty() && property.starts_with("stop-opacity"))
          v = property.substr(12), property = "stop-opacity";
        if (property == "stop-color") colour = ReadPaint(v);
        if (property == "stop-opacity") alpha = Opacity(v);
      });
      cairo_pattern_add_color_stop_rgba(p, last, colour.r, colour.g, colour.b, alpha * opacity);
    }
    return p;
  }

  // Intersects the clip with the clip path's outlines, under the clip rule
  // of `n` (the element naming it).
  void Clip(cairo_t* cr, std::uint32_t n, std::uint32_t clip) const {
    cairo_new_path(cr);
    if (clip != kNone && Node(clip).name == "clipPath")
      for (std::uint32_t c = Node(clip).firstChild; c != kNone; c = Node(c).next) ClipOutline(cr, c);
    cairo_set_fill_rule(
        cr, Attr(n, "clip-rule") == "evenodd" ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr);
  }

  // Adds what the element outlines to cr's path, without clearing it.
  void ClipOutline(cairo_t* cr, std::uint32_t n) const {
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "transform"), &m)) return;
    cairo_save(cr);  // the path is not part of what it saves
    cairo_transform(cr, &m);
    const std::string_view name = Node(n).name;
    if (name == "path") {
      AppendPath(cr, Attr(n, "d"));
    } else if (name == "rect") {
      const double w = svg::Number(Attr(n, "width")), h = svg::Number(Attr(n, "height"));
      if (w > 0 && h > 0) cairo_rectangle(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")), w, h);
    } else if (name == "use") {
      cairo_translate(cr, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
      const std::uint32_t target = doc_->Named(Attr(n, "xlink:href"));
      if (target != kNone && (Node(target).name == "symbol" || Node(target).name == "g")) {
        for (std::uint32_t c = Node(target).firstChild; c != kNone; c = Node(c).next) ClipOutline(cr, c);
      } else if (target != kNone) {
        ClipOutline(cr, target);
      }
    } else if (name == "g") {
      for (std::uint32_t c = Node(n).firstChild; c != kNone; c = Node(c).next) ClipOutline(cr, c);
    }
    cairo_restore(cr);
  }

  // Paints cr's source through the mask's alpha: a picture straight from
  // its surface; anything else as a group.
  void Mask(cairo_t* cr, std::uint32_t mask) const {
    // Past the groups cairo wraps its content in (the filter turning alpha
    // into luminance, which a mask's alpha is here).
    std::uint32_t content = Node(mask).firstChild;
    cairo_matrix_t outer;
    cairo_matrix_init_identity(&outer);
    while (content != kNone && Node(content).next == kNone && Node(content).name == "g") {
      cairo_matrix_t m;
      if (!ReadTransform(Attr(content, "transform"), &m)) return;
      cairo_matrix_multiply(&outer, &m, &outer);
      content = Node(content).firstChild;
    }
    cairo_matrix_t shown;
    const std::uint32_t image =
        content != kNone && Node(content).next == kNone ? ShownPicture(content, &shown) : kNone;
    cairo_pattern_t* p = nullptr;
    if (image != kNone) {
      cairo_matrix_multiply(&shown, &shown, &outer);
      p = PicturePattern(image, shown);
    } else {
      cairo_pattern_t* source = cairo_pattern_reference(cairo_get_source(cr));
      cairo_push_group(cr);
      Style unfiltered;
      for (std::uint32_t c = Node(mask).firstChild; c != kNone; c = Node(c).next)
        if (!svg::PaintedByReference(Node(c).name)) Element(cr, c, unfiltered);
      p = cairo_pop_group(cr);
      cairo_set_source(cr, source);
      cairo_pattern_destroy(source);
    }
    if (p == nullptr) return;
    cairo_mask(cr, p);
    cairo_pattern_destroy(p);
  }

  const std::shared_ptr<const SvgDocument> doc_;
  const double width_, height_;
  std::unordered_map<std::uint32_t, cairo_surface_t*> pictures_;  // an image element, its surface
};

}  // namespace

std::size_t SvgDocument::Bytes() const {
  return text_.capacity() + nodes_.capacity() * sizeof(Node) +
         attributes_.capacity() * sizeof(svg::Attribute) +
         ids_.size() * (sizeof(std::pair<std::string_view, std::uint32_t>) + 2 * sizeof(void*)) +
         pictures_.capacity() * sizeof(std::uint32_t);
}

std::string_view SvgDocument::Attribute(std::uint32_t node, std::string_view name) const {
  const Node& n = nodes_[node];
  for (std::uint32_t a = n.firstAttribute; a < n.firstAttribute + n.attributes; ++a)
    if (attributes_[a].name == name) return attributes_[a].value;
  return {};
}

bool SvgDocument::OnePicture(std::uint32_t n) const {
  if (nodes_[n].name == "image") return true;
  const std::uint32_t target = nodes_[n].name == "use" ? Named(Attribute(n, "xlink:href")) : kNone;
  return target != kNone && nodes_[target].name == "image";
}

bool SvgDocument::MaskedByOnePicture(std::uint32_t mask) const {
  std::uint32_t c = nodes_[mask].firstChild;
  while (c != kNone && nodes_[c].next == kNone && nodes_[c].name == "g") c = nodes_[c].firstChild;
  return c != kNone && nodes_[c].next == kNone && OnePicture(c);
}

std::uint32_t SvgDocument::Named(std::string_view reference) const {
  // As the measure follows them: "#id" whole, or "url(#id)" up to a blank,
  // a quote or the parenthesis.
  std::string_view id;
  if (reference.starts_with('#')) {
    id = reference.substr(1);
  } else if (reference.starts_with("url(")) {
    const std::size_t at = reference.find_first_not_of(" \t\r\n'\"", 4);
    if (at == npos || reference[at] != '#') return kNone;
    id = reference.substr(at + 1);
    id = id.substr(0, id.find_first_of(") \t\r\n'\""));
  } else {
    return kNone;
  }
  const auto it = ids_.find(id);
  return it != ids_.end() ? it->second : kNone;
}

std::shared_ptr<const SvgDocument> SvgDocument::Read(std::string text, std::string* why) {
  auto doc = std::make_shared<SvgDocument>();
  doc->text_ = std::move(text);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> open;  // an element, its last child
  svg::Reader reader(doc->text_);
  svg::Piece tag;
  std::vector<bool> inMask;
  while (reader.Next(&tag)) {
    if (tag.kind == svg::Piece::Kind::End && !open.empty()) open.pop_back();
    if (tag.kind != svg::Piece::Kind::Start) continue;
    const auto self = static_cast<std::uint32_t>(doc->nodes_.size());
    Node node;
    node.name = tag.name;
    node.firstAttribute = static_cast<std::uint32_t>(doc->attributes_.size());
    node.attributes = static_cast<std::uint32_t>(tag.attributes.size());
    doc->attributes_.insert(doc->attributes_.end(), tag.attributes.begin(), tag.attributes.end());
    if (!open.empty()) {
      auto& [parent, last] = open.back();
      (last == kNone ? doc->nodes_[parent].firstChild : doc->nodes_[last].next) = self;
      last = self;
    }
    inMask.push_back(tag.name == "mask" || (!open.empty() && inMask[open.back().first]));
    doc->nodes_.push_back(node);
    if (const std::string_view id = svg::AttributeOf(tag, "id"); !id.empty()) doc->ids_.emplace(id, self);
    if (tag.name == "image") doc->pictures_.push_back(self);
    if (!tag.empty) open.emplace_back(self, kNone);
  }
  if (!reader.error().empty() || doc->nodes_.empty()) {
    *why = reader.error().empty() ? "it holds no element" : reader.error();
    return nullptr;
  }

  // Whether each element shows a picture, itself, by what it holds where
  // it stands or by what it names: the measure's edges, which run in no
  // cycle and no deeper than it allows.
  std::vector<std::uint8_t> shows(doc->nodes_.size(), 0);  // 0 not known, 1 no, 2 yes
  const auto picture = [&](const auto& self, std::uint32_t n) -> bool {
    if (shows[n] != 0) return shows[n] == 2;
    bool yes = doc->nodes_[n].name == "image";
    for (std::uint32_t c = doc->nodes_[n].firstChild; c != kNone && !yes; c = doc->nodes_[c].next)
      if (!svg::PaintedByReference(doc->nodes_[c].name)) yes = self(self, c);
    const Node& node = doc->nodes_[n];
    for (std::uint32_t a = node.firstAttribute; a < node.firstAttribute + node.attributes && !yes; ++a) {
      const auto& [attribute, v] = doc->attributes_[a];
      if (attribute == "xlink:href" || attribute == "href") {
        if (const std::uint32_t target = doc->Named(v); target != kNone) yes = self(self, target);
        continue;
      }
      for (std::size_t u = v.find("url("); u != npos && !yes; u = v.find("url(", u + 4))
        if (const std::uint32_t target = doc->Named(v.substr(u)); target != kNone) yes = self(self, target);
    }
    shows[n] = yes ? 2 : 1;
    return yes;
  };
  for (std::uint32_t n = 0; n < doc->nodes_.size(); ++n) {
    const std::string_view name = doc->nodes_[n].name;
    Style style;
    ApplyStyle(doc->Attribute(n, "style"), &style);
    const bool filtered = style.filtered || !doc->Attribute(n, "filter").empty();
    if (filtered && !inMask[n]) {
      *why = "it holds a filter, which is drawn from its pixels";
      return nullptr;
    }
    if (name == "pattern") {
      const std::uint32_t first = doc->nodes_[n].firstChild;
      const bool onePicture = first != kNone && doc->nodes_[first].next == kNone && doc->OnePicture(first);
      if (!onePicture) {
        *why = "it holds a pattern of more than one picture, which is drawn from its pixels";
        return nullptr;
      }
    }
    if (name == "linearGradient" || name == "radialGradient") {
      std::size_t stops = 0;
      for (std::uint32_t c = doc->nodes_[n].firstChild; c != kNone; c = doc->nodes_[c].next) ++stops;
      if (stops > kMaxStops) {
        *why = "it holds a gradient of " + std::to_string(stops) + " stops, more than the " +
               std::to_string(kMaxStops) + " painted as vectors";
        return nullptr;
      }
    }
    if (name == "mask" && picture(picture, n) && !doc->MaskedByOnePicture(n)) {
      *why = "it holds a mask of more than one picture, which is drawn from its pixels";
      return nullptr;
    }
    const bool layer =
        style.opacity < 1 || (!doc->Attribute(n, "mask").empty() && name != "path" && name != "rect");
    if (layer && picture(picture, n)) {
      *why = "it holds a picture in a group painted with opacity or a mask, which is drawn from its pixels";
      return nullptr;
    }
  }
  return doc;
}

std::shared_ptr<const canvas::VectorDrawing> PrintSvg(std::shared_ptr<const SvgDocument> document,
                                                      double width, double height, std::size_t memoryLimit) {
  auto print = std::make_shared<Print>(std::move(document), width, height);
  print->Decode(memoryLimit);
  return print;
}

}  // namespace md::imaging::detail
