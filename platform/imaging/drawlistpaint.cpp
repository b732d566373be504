#include "platform/imaging/drawlistpaint.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace md::imaging {
namespace {

namespace dl = drawlist;

template <typename T>
T Take(const std::uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

cairo_matrix_t CairoMatrix(const dl::Matrix& m) { return cairo_matrix_t{m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

cairo_extend_t CairoExtend(std::uint32_t extend) {
  switch (static_cast<dl::Extend>(extend)) {
    case dl::Extend::Repeat:
      return CAIRO_EXTEND_REPEAT;
    case dl::Extend::Reflect:
      return CAIRO_EXTEND_REFLECT;
    case dl::Extend::Pad:
      return CAIRO_EXTEND_PAD;
    default:
      return CAIRO_EXTEND_NONE;
  }
}

cairo_fill_rule_t CairoRule(std::uint32_t rule) {
  return rule == static_cast<std::uint32_t>(dl::FillRule::EvenOdd) ? CAIRO_FILL_RULE_EVEN_ODD
                                                                   : CAIRO_FILL_RULE_WINDING;
}

class Painter {
 public:
  Painter(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double dot)
      : list_(list), data_(list->Data()), cr_(cr), dot_(dot), surfaces_(list->Pictures().size(), nullptr) {
    cairo_get_matrix(cr_, &base_);
  }
  ~Painter() {
    for (cairo_surface_t* s : surfaces_)
      if (s != nullptr) cairo_surface_destroy(s);
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void Paint() {
    for (const DrawList::Record& r : list_->Records()) {
      const std::uint8_t* p = data_ + r.at;
      switch (r.kind) {
        case dl::Kind::Fill: {
          const auto h = Take<dl::FillHead>(p);
          Transform(h.matrix);
          Path(p + sizeof h);
          cairo_set_fill_rule(cr_, CairoRule(h.rule));
          if (Source(h.paint)) cairo_fill(cr_);
          break;
        }
        case dl::Kind::Stroke:
          Stroke(p);
          break;
        case dl::Kind::PushClip: {
          const auto h = Take<dl::ClipHead>(p);
          cairo_save(cr_);
          Transform(h.matrix);
          Path(p + sizeof h);
          cairo_set_fill_rule(cr_, CairoRule(h.rule));
          cairo_clip(cr_);
          break;
        }
        case dl::Kind::PopClip:
          cairo_restore(cr_);
          break;
        case dl::Kind::PushGroup:
        case dl::Kind::PushMask:
          // Groups open and close under the list's own space, so that what
          // they make lands where it was drawn.
          cairo_set_matrix(cr_, &base_);
          cairo_push_group(cr_);
          break;
        case dl::Kind::PopGroup:
          cairo_set_matrix(cr_, &base_);
          cairo_pop_group_to_source(cr_);
          cairo_paint_with_alpha(cr_, Take<dl::PopGroupBody>(p).alpha);
          break;
        case dl::Kind::PopMask: {
          cairo_set_matrix(cr_, &base_);
          cairo_pattern_t* mask = cairo_pop_group(cr_);
          cairo_pop_group_to_source(cr_);
          cairo_mask(cr_, mask);
          cairo_pattern_destroy(mask);
          break;
        }
        case dl::Kind::Image: {
          const auto b = Take<dl::ImageBody>(p);
          Transform(b.matrix);
          cairo_set_source_surface(cr_, Surface(b.picture), 0, 0);
          cairo_pattern_set_filter(cairo_get_source(cr_),
                                   b.filter == static_cast<std::uint32_t>(dl::Filter::Nearest)
                                       ? CAIRO_FILTER_NEAREST
                                       : CAIRO_FILTER_GOOD);
          cairo_paint_with_alpha(cr_, b.alpha);
          break;
        }
        case dl::Kind::PaintAll:
          cairo_set_matrix(cr_, &base_);
          if (Source(Take<dl::Paint>(p))) cairo_paint(cr_);
          break;
        default:  // pictures and gradients: tables, used by index
          break;
      }
    }
  }

 private:
  // The record's transform after the list's own.
  void Transform(const dl::Matrix& m) {
    const cairo_matrix_t t = CairoMatrix(m);
    cairo_matrix_t r;
    cairo_matrix_multiply(&r, &t, &base_);
    cairo_set_matrix(cr_, &r);
  }

  // The path at p (a PathHead and what follows it) as cr's path.
  void Path(const std::uint8_t* p) {
    const auto h = Take<dl::PathHead>(p);
    const std::uint8_t* verbs = p + sizeof h;
    const std::uint8_t* points = verbs + dl::Padded(h.verbs);
    const auto point = [&](std::size_t k) {
      return Take<std::array<float, 2>>(points + k * 2 * sizeof(float));
    };
    cairo_new_path(cr_);
    std::size_t at = 0;
    for (std::uint32_t k = 0; k < h.verbs; ++k) {
      switch (static_cast<dl::Verb>(verbs[k])) {
        case dl::Verb::Move: {
          const auto a = point(at++);
          cairo_move_to(cr_, a[0], a[1]);
          break;
        }
        case dl::Verb::Line: {
          const auto a = point(at++);
          cairo_line_to(cr_, a[0], a[1]);
          break;
        }
        case dl::Verb::Curve: {
          const auto a = point(at), b = point(at + 1), c = point(at + 2);
          at += 3;
          cairo_curve_to(cr_, a[0], a[1], b[0], b[1], c[0], c[1]);
          break;
        }
        case dl::Verb::Close:
          cairo_close_path(cr_);
          break;
      }
    }
  }

  void Stroke(const std::uint8_t* p) {
    const auto h = Take<dl::StrokeHead>(p);
    Transform(h.matrix);
    std::vector<double> dashes(h.dashes);
    if (h.dashes > 0) std::memcpy(dashes.data(), p + sizeof h, dashes.size() * sizeof(double));
    Path(p + sizeof h + dashes.size() * sizeof(double));
    double width = h.width;
    if ((h.flags & dl::kStrokeHairline) != 0) {
      // One device pixel, whatever the transform: the dot over the
      // transform's mean scale.
      cairo_matrix_t m;
      cairo_get_matrix(cr_, &m);
      width = dot_ / std::sqrt(std::fabs(m.xx * m.yy - m.yx * m.xy));
    }
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, h.cap == 1   ? CAIRO_LINE_CAP_ROUND
                            : h.cap == 2 ? CAIRO_LINE_CAP_SQUARE
                                         : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, h.join == 1   ? CAIRO_LINE_JOIN_ROUND
                             : h.join == 2 ? CAIRO_LINE_JOIN_BEVEL
                                           : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr_, h.miterLimit);
    cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), h.dashOffset);
    if (Source(h.paint)) cairo_stroke(cr_);
    cairo_new_path(cr_);
  }

  // The picture as a surface of its pixels in the list, which it holds.
  cairo_surface_t* Surface(std::uint32_t index) {
    if (surfaces_[index] != nullptr) return surfaces_[index];
    const DrawList::Picture& pic = list_->Pictures()[index];
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        const_cast<std::uint8_t*>(data_ + pic.at), CAIRO_FORMAT_ARGB32, static_cast<int>(pic.width),
        static_cast<int>(pic.height), static_cast<int>(pic.width) * 4);
    static cairo_user_data_key_t key;
    auto* held = new std::shared_ptr<const DrawList>(list_);
    if (cairo_surface_set_user_data(s, &key, held, [](void* h) {
          delete static_cast<std::shared_ptr<const DrawList>*>(h);
        }) != CAIRO_STATUS_SUCCESS)
      delete held;
    surfaces_[index] = s;
    return s;
  }

  // The paint as cr's source; false when it paints nothing.
  bool Source(const dl::Paint& paint) {
    cairo_pattern_t* pattern = nullptr;
    switch (static_cast<dl::PaintKind>(paint.kind)) {
      case dl::PaintKind::Colour:
        cairo_set_source_rgba(cr_, paint.rgba[0], paint.rgba[1], paint.rgba[2], paint.rgba[3]);
        return true;
      case dl::PaintKind::Gradient: {
        const std::uint8_t* g = data_ + list_->Gradients()[paint.index];
        const auto h = Take<dl::GradientHead>(g);
        const double* v = h.points;
        pattern = h.type == static_cast<std::uint32_t>(dl::GradientType::Radial)
                      ? cairo_pattern_create_radial(v[0], v[1], v[2], v[3], v[4], v[5])
                      : cairo_pattern_create_linear(v[0], v[1], v[2], v[3]);
        for (std::uint32_t k = 0; k < h.stops; ++k) {
          const auto s = Take<dl::GradientStop>(g + sizeof h + k * sizeof(dl::GradientStop));
          cairo_pattern_add_color_stop_rgba(pattern, s.offset, s.rgba[0], s.rgba[1], s.rgba[2],
                                            s.rgba[3] * paint.rgba[3]);
        }
        cairo_pattern_set_extend(pattern, CairoExtend(h.extend));
        const cairo_matrix_t m = CairoMatrix(h.matrix);
        cairo_pattern_set_matrix(pattern, &m);
        break;
      }
      case dl::PaintKind::Picture: {
        pattern = cairo_pattern_create_for_surface(Surface(paint.index));
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
        // A repeated picture shifted by whole pictures is the same: its shift
        // is kept within one, for the fixed-point range it is sampled in.
        cairo_matrix_t m = CairoMatrix(paint.matrix);
        const DrawList::Picture& picture = list_->Pictures()[paint.index];
        m.x0 = std::fmod(m.x0, picture.width);
        m.y0 = std::fmod(m.y0, picture.height);
        cairo_pattern_set_matrix(pattern, &m);
        break;
      }
    }
    if (pattern == nullptr) return false;
    cairo_set_source(cr_, pattern);
    cairo_pattern_destroy(pattern);
    return true;
  }

  const std::shared_ptr<const DrawList>& list_;
  const std::uint8_t* const data_;
  cairo_t* const cr_;
  const double dot_;
  cairo_matrix_t base_{};
  std::vector<cairo_surface_t*> surfaces_;
};

}  // namespace

bool PaintDrawList(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double width, double height,
                   double dot) {
  if (list == nullptr || cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
  if (!(width > 0) || !(height > 0)) return true;
  cairo_save(cr);
  cairo_scale(cr, width / list->Width(), height / list->Height());
  {
    Painter painter(list, cr, dot);
    painter.Paint();
  }
  cairo_restore(cr);
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

}  // namespace md::imaging
