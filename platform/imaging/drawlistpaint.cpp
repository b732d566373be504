#include "platform/imaging/drawlistpaint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/imaging/drawlistcost.h"

namespace md::imaging {
namespace {

namespace dl = drawlist;

using drawlist::Take;

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

// A raster takes a paint's pattern in pixman's 16.16 fixed point: the
// entries of the map from its pixels into the pattern's space must stay well
// inside its 32,767 (past it cairo puts the context in error, for the rest
// of the page on a vector surface's fallback images). The map is taken from
// the `dot` a paint is made for, a device pixel or a vector file's dot,
// which is no finer than what a fallback image is painted at; a quarter of
// the range leaves room for the whole pixels cairo moves its translation by.
constexpr double kMaxDeviceToPattern = 8192;
// A gradient's points past this are scaled into it by cairo first (half
// pixman's range), and its map with them.
constexpr double kGradientFit = 16383;

// The largest entry of the map from cr's target's units into the pattern's
// space, for the pattern `toPattern` (user to pattern) under cr's matrix.
double DeviceToPatternEntry(cairo_t* cr, const cairo_matrix_t& toPattern) {
  cairo_matrix_t toDevice;
  cairo_get_matrix(cr, &toDevice);
  if (cairo_matrix_invert(&toDevice) != CAIRO_STATUS_SUCCESS) return HUGE_VAL;
  cairo_matrix_t m;
  cairo_matrix_multiply(&m, &toDevice, &toPattern);  // device to user, then user to pattern
  return std::max({std::fabs(m.xx), std::fabs(m.xy), std::fabs(m.yx), std::fabs(m.yy)});
}

// The factor cairo scales a gradient's space by to fit its points into
// kGradientFit (1 when they fit).
double GradientFit(const dl::GradientHead& g) {
  const double* v = g.points;
  double dim = 0;
  if (g.type == static_cast<std::uint32_t>(dl::GradientType::Radial)) {
    for (const double a : {v[0], v[1], v[2], v[3], v[4], v[5], v[0] - v[3], v[1] - v[4], v[2] - v[5]})
      dim = std::max(dim, std::fabs(a));
  } else {
    for (const double a : {v[0], v[1], v[2], v[3], v[0] - v[2], v[1] - v[3]})
      dim = std::max(dim, std::fabs(a));
  }
  return dim > kGradientFit ? kGradientFit / dim : 1;
}

// The linear gradient from (x0, y0) to (x1, y1) of its space, which
// `toPattern` maps user space into, made anew in the target's units (its
// map under cr's matrix the identity): the same colour at every point,
// whatever the user space squeezes. Its start is put near `near` (target
// units), whole periods away where it repeats. NULL where it has no
// direction there.
cairo_pattern_t* LinearInDeviceSpace(cairo_t* cr, const double* v, const cairo_matrix_t& toPattern,
                                     cairo_extend_t extend, double nearX, double nearY) {
  cairo_matrix_t toDevice, fromDevice;
  cairo_get_matrix(cr, &toDevice);
  fromDevice = toDevice;
  if (cairo_matrix_invert(&fromDevice) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_matrix_t m;
  cairo_matrix_multiply(&m, &fromDevice, &toPattern);  // device to pattern
  const double vx = v[2] - v[0], vy = v[3] - v[1], run = vx * vx + vy * vy;
  if (!(run > 0)) return nullptr;
  // t(p) = g . p + t0 for a device point p.
  const double gx = (m.xx * vx + m.yx * vy) / run, gy = (m.xy * vx + m.yy * vy) / run;
  const double t0 = ((m.x0 - v[0]) * vx + (m.y0 - v[1]) * vy) / run;
  const double g2 = gx * gx + gy * gy;
  if (!(g2 > 0) || !std::isfinite(g2)) return nullptr;
  double tNear = gx * nearX + gy * nearY + t0;
  // Repeated, t is the same a whole period (reflected, two) away.
  if (extend == CAIRO_EXTEND_REPEAT) tNear -= std::floor(tNear);
  if (extend == CAIRO_EXTEND_REFLECT) tNear -= 2 * std::floor(tNear / 2);
  const double sx = nearX - tNear * gx / g2, sy = nearY - tNear * gy / g2;
  cairo_pattern_t* pattern = cairo_pattern_create_linear(sx, sy, sx + gx / g2, sy + gy / g2);
  cairo_pattern_set_matrix(pattern, &toDevice);
  return pattern;
}

class Painter {
 public:
  // Dry, it only follows the records' transforms and counts the paints it
  // would leave out, painting nothing.
  Painter(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double dot, bool dry = false)
      : list_(list),
        data_(list->Data()),
        cr_(cr),
        dot_(dot),
        dry_(dry),
        vector_(cairo_surface_get_type(cairo_get_target(cr)) != CAIRO_SURFACE_TYPE_IMAGE),
        surfaces_(list->Pictures().size(), nullptr),
        reduced_(list->Pictures().size(), nullptr) {
    cairo_get_matrix(cr_, &base_);
    if (vector_ && !dry_)
      copies_ =
          PictureCopies(*list, dl::Matrix{base_.xx, base_.yx, base_.xy, base_.yy, base_.x0, base_.y0}, dot_);
  }
  ~Painter() {
    for (cairo_surface_t* s : surfaces_)
      if (s != nullptr) cairo_surface_destroy(s);
    for (cairo_surface_t* s : reduced_)
      if (s != nullptr) cairo_surface_destroy(s);
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // The paints left out, squeezed past what a raster takes.
  std::size_t LeftOut() const { return leftOut_; }

  void Paint() {
    for (const DrawList::Record& r : list_->Records()) {
      const std::uint8_t* p = data_ + r.at;
      if (dry_) {
        Follow(r.kind, p);
        continue;
      }
      switch (r.kind) {
        case dl::Kind::Fill: {
          const auto h = Take<dl::FillHead>(p);
          Transform(h.matrix);
          Path(p + sizeof h);
          cairo_set_fill_rule(cr_, CairoRule(h.rule));
          if (Source(h.paint))
            cairo_fill(cr_);
          else
            cairo_new_path(cr_);
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
          if (!Shown()) break;
          cairo_matrix_t toPicture;
          cairo_matrix_init_identity(&toPicture);
          cairo_pattern_t* pattern = PicturePattern(b.picture, &toPicture);
          cairo_pattern_set_matrix(pattern, &toPicture);
          cairo_pattern_set_filter(pattern, b.filter == static_cast<std::uint32_t>(dl::Filter::Nearest)
                                                ? CAIRO_FILTER_NEAREST
                                                : CAIRO_FILTER_GOOD);
          cairo_set_source(cr_, pattern);
          cairo_pattern_destroy(pattern);
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
  // A record followed dry: each paint's transform, and whether it is taken.
  void Follow(dl::Kind kind, const std::uint8_t* p) {
    switch (kind) {
      case dl::Kind::Fill: {
        const auto h = Take<dl::FillHead>(p);
        Transform(h.matrix);
        Source(h.paint);
        break;
      }
      case dl::Kind::Stroke: {
        const auto h = Take<dl::StrokeHead>(p);
        Transform(h.matrix);
        Source(h.paint);
        break;
      }
      case dl::Kind::Image:
        Transform(Take<dl::ImageBody>(p).matrix);
        Shown();
        break;
      case dl::Kind::PaintAll:
        cairo_set_matrix(cr_, &base_);
        Source(Take<dl::Paint>(p));
        break;
      default:  // clips, groups and tables paint nothing of their own
        break;
    }
  }

  // Whether a picture shown under cr's matrix is one a raster takes;
  // counted as left out otherwise.
  bool Shown() {
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    if (DeviceToPatternEntry(cr_, identity) * dot_ <= kMaxDeviceToPattern) return true;
    ++leftOut_;
    return false;
  }

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
    double width = h.width, mean = 0;
    if ((h.flags & dl::kStrokeHairline) != 0) {
      // One device pixel, whatever the transform: the dot over the
      // transform's mean scale, stroked (below) under that scale alone.
      cairo_matrix_t m;
      cairo_get_matrix(cr_, &m);
      mean = std::sqrt(std::fabs(m.xx * m.yy - m.yx * m.xy));
      width = dot_ / mean;
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
    if (!Source(h.paint)) {
      cairo_new_path(cr_);
      return;
    }
    cairo_matrix_t placed;
    cairo_get_matrix(cr_, &placed);
    if (mean > 0) {
      // The path and the paint are placed: a transform that stretches one
      // way more than another would widen the hairline that way.
      cairo_matrix_t uniform;
      cairo_matrix_init_scale(&uniform, mean, mean);
      cairo_set_matrix(cr_, &uniform);
    }
    if (dashes.empty())
      cairo_stroke(cr_);
    else
      StrokeDashedWhereShown(dashes, h.dashOffset, width / 2 * std::max(h.miterLimit, 1.0));
    cairo_new_path(cr_);
    cairo_set_matrix(cr_, &placed);
  }

  // The drawing's corners (its space's, the list's) under `m`.
  std::array<std::pair<double, double>, 4> DrawingCorners(const cairo_matrix_t& m) const {
    std::array<std::pair<double, double>, 4> corners = {std::pair{0.0, 0.0},
                                                        {list_->Width(), 0.0},
                                                        {0.0, list_->Height()},
                                                        {list_->Width(), list_->Height()}};
    for (auto& [x, y] : corners) cairo_matrix_transform_point(&m, &x, &y);
    return corners;
  }

  // Strokes cr's path with its dashes where they may show: the segments of
  // its flattened path that come within `reach` (in user space) of the
  // drawing, each run of them stroked on its own, its dashes begun where the
  // whole path's are at its start. A path that runs far past the drawing
  // costs what the drawing shows of it, not the dashes cut along the whole
  // of it; one that stays near is stroked whole, as it is. (A closed part
  // that runs far past the drawing from a start within it has its first and
  // last dashes capped there where cairo would join them.)
  void StrokeDashedWhereShown(const std::vector<double>& dashes, double offset, double reach) {
    // The drawing's rectangle in user space, widened by `reach`.
    cairo_matrix_t toUser;
    cairo_get_matrix(cr_, &toUser);
    if (cairo_matrix_invert(&toUser) != CAIRO_STATUS_SUCCESS) return;
    cairo_matrix_t fromDrawing;
    cairo_matrix_multiply(&fromDrawing, &base_, &toUser);
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (const auto& [x, y] : DrawingCorners(fromDrawing))
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    x0 -= reach, y0 -= reach, x1 += reach, y1 += reach;
    double px0, py0, px1, py1;
    cairo_path_extents(cr_, &px0, &py0, &px1, &py1);
    if (px0 >= x0 && py0 >= y0 && px1 <= x1 && py1 <= y1) {
      cairo_stroke(cr_);
      return;
    }
    cairo_path_t* flat = cairo_copy_path_flat(cr_);
    cairo_new_path(cr_);
    // The part [*t0, *t1] of the segment from (ax, ay) to (bx, by) within
    // the widened rectangle; false when none is.
    const auto within = [&](double ax, double ay, double bx, double by, double* t0, double* t1) {
      *t0 = 0, *t1 = 1;
      const double dx = bx - ax, dy = by - ay;
      for (const auto& [d, lo, hi, from] : {std::tuple{dx, x0, x1, ax}, {dy, y0, y1, ay}}) {
        if (d == 0) {
          if (from < lo || from > hi) return false;
          continue;
        }
        double a0 = (lo - from) / d, a1 = (hi - from) / d;
        if (a0 > a1) std::swap(a0, a1);
        *t0 = std::max(*t0, a0), *t1 = std::min(*t1, a1);
      }
      return *t0 <= *t1;
    };
    double along = 0, x = 0, y = 0, startX = 0, startY = 0;
    bool open = false;       // a run is on cr's path
    bool fromStart = false;  // and it began at its part's start
    const auto end = [&] {
      if (open) cairo_stroke(cr_);
      open = false;
    };
    const auto segment = [&](double toX, double toY) {
      const double length = std::hypot(toX - x, toY - y);
      double t0 = 0, t1 = 0;
      if (within(x, y, toX, toY, &t0, &t1)) {
        if (open && t0 > 0) end();
        if (!open) {
          cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), offset + along + t0 * length);
          cairo_move_to(cr_, x + t0 * (toX - x), y + t0 * (toY - y));
          open = true;
          fromStart = along == 0 && t0 == 0;
        }
        cairo_line_to(cr_, x + t1 * (toX - x), y + t1 * (toY - y));
        if (t1 < 1) end();
      } else {
        end();
      }
      along += length;
      x = toX, y = toY;
    };
    for (int i = 0; flat->status == CAIRO_STATUS_SUCCESS && i < flat->num_data;
         i += flat->data[i].header.length) {
      const cairo_path_data_t& d = flat->data[i];
      switch (d.header.type) {
        case CAIRO_PATH_MOVE_TO:
          // Each part of a path starts its dashes anew.
          end();
          along = 0;
          x = startX = flat->data[i + 1].point.x;
          y = startY = flat->data[i + 1].point.y;
          break;
        case CAIRO_PATH_LINE_TO:
          segment(flat->data[i + 1].point.x, flat->data[i + 1].point.y);
          break;
        case CAIRO_PATH_CLOSE_PATH:
          // A part shown whole stays closed, its start joined.
          if (double t0, t1;
              open && fromStart && within(x, y, startX, startY, &t0, &t1) && t0 == 0 && t1 == 1)
            cairo_close_path(cr_);
          else
            segment(startX, startY);
          end();
          along = 0;
          break;
        default:  // flat: no curves
          break;
      }
    }
    end();
    cairo_path_destroy(flat);
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

  // The picture as a pattern shown under `*toPicture` (user space to its
  // pixels). Into a vector file, a picture of more pixels either way than
  // its copy (PictureCopies: the dots the records show of it, at most the
  // box's) is averaged down to that copy first, once for the list, and
  // *toPicture scaled to match: a file at the dot holds what a print at it
  // shows, one copy of each picture, not the helper's every pixel. A raster
  // samples the picture itself, as ever.
  cairo_pattern_t* PicturePattern(std::uint32_t index, cairo_matrix_t* toPicture) {
    cairo_surface_t* source = Surface(index);
    if (!vector_ || index >= copies_.size()) return cairo_pattern_create_for_surface(source);
    const DrawList::Picture& pic = list_->Pictures()[index];
    const PictureCopy& copy = copies_[index];
    if (copy.cols == 0 || (copy.cols >= pic.width && copy.rows >= pic.height))
      return cairo_pattern_create_for_surface(source);
    const double w = pic.width, h = pic.height;
    cairo_surface_t*& reduced = reduced_[index];
    if (reduced == nullptr) {
      reduced = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(copy.cols),
                                           static_cast<int>(copy.rows));
      cairo_t* cr = cairo_create(reduced);
      cairo_scale(cr, copy.cols / w, copy.rows / h);
      cairo_set_source_surface(cr, source, 0, 0);
      // Its edges averaged with what lies past them as shown: its own edge
      // pixels, or the repeat beyond where it is only repeated.
      cairo_pattern_set_extend(cairo_get_source(cr), copy.repeated ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      cairo_paint(cr);
      cairo_destroy(cr);
    }
    cairo_matrix_t scale;
    cairo_matrix_init_scale(&scale, copy.cols / w, copy.rows / h);
    cairo_matrix_multiply(toPicture, toPicture, &scale);
    return cairo_pattern_create_for_surface(reduced);
  }

  // The paint as cr's source (dry, only whether it is taken); false when it
  // paints nothing.
  bool Source(const dl::Paint& paint) {
    cairo_pattern_t* pattern = nullptr;
    switch (static_cast<dl::PaintKind>(paint.kind)) {
      case dl::PaintKind::Colour:
        if (dry_) return true;
        cairo_set_source_rgba(cr_, paint.rgba[0], paint.rgba[1], paint.rgba[2], paint.rgba[3]);
        return true;
      case dl::PaintKind::Gradient: {
        const std::uint8_t* g = data_ + list_->Gradients()[paint.index];
        const auto h = Take<dl::GradientHead>(g);
        const double* v = h.points;
        const bool radial = h.type == static_cast<std::uint32_t>(dl::GradientType::Radial);
        const cairo_matrix_t m = CairoMatrix(h.matrix);
        const cairo_extend_t extend = CairoExtend(h.extend);
        bool taken = DeviceToPatternEntry(cr_, m) * dot_ * GradientFit(h) <= kMaxDeviceToPattern;
        if (!taken && radial) break;
        if (dry_) return true;
        if (taken && extend != CAIRO_EXTEND_NONE && extend != CAIRO_EXTEND_PAD) {
          if (radial ? RadialRepeatsOverDrawing(g, h, m, paint.rgba[3])
                     : LinearRepeatsOverDrawing(g, h, m, paint.rgba[3]))
            return true;
          taken = radial;  // a linear one of no direction: as cairo would fail it
        }
        if (taken) {
          pattern = radial ? cairo_pattern_create_radial(v[0], v[1], v[2], v[3], v[4], v[5])
                           : cairo_pattern_create_linear(v[0], v[1], v[2], v[3]);
          cairo_pattern_set_matrix(pattern, &m);
        } else {
          // Squeezed past a raster's range: the same gradient in the
          // target's own units, started near the drawing's middle.
          double cx = list_->Width() / 2, cy = list_->Height() / 2;
          cairo_matrix_transform_point(&base_, &cx, &cy);
          pattern = LinearInDeviceSpace(cr_, v, m, extend, cx, cy);
          if (pattern == nullptr) break;
        }
        for (std::uint32_t k = 0; k < h.stops; ++k) {
          const auto s = Take<dl::GradientStop>(g + sizeof h + k * sizeof(dl::GradientStop));
          cairo_pattern_add_color_stop_rgba(pattern, s.offset, s.rgba[0], s.rgba[1], s.rgba[2],
                                            s.rgba[3] * paint.rgba[3]);
        }
        cairo_pattern_set_extend(pattern, extend);
        break;
      }
      case dl::PaintKind::Picture: {
        // A repeated picture shifted by whole pictures is the same: its shift
        // is kept within one, for the fixed-point range it is sampled in.
        cairo_matrix_t m = CairoMatrix(paint.matrix);
        const DrawList::Picture& picture = list_->Pictures()[paint.index];
        m.x0 = std::fmod(m.x0, picture.width);
        m.y0 = std::fmod(m.y0, picture.height);
        if (!(DeviceToPatternEntry(cr_, m) * dot_ <= kMaxDeviceToPattern)) break;
        if (dry_) return true;
        pattern = PicturePattern(paint.index, &m);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
        cairo_pattern_set_matrix(pattern, &m);
        break;
      }
    }
    if (pattern == nullptr) {
      ++leftOut_;  // a paint of a known kind not taken: the reader let no other through
      return false;
    }
    cairo_set_source(cr_, pattern);
    cairo_pattern_destroy(pattern);
    return true;
  }

  // A linear gradient repeated or reflected as cr's source, its repeats laid
  // out one by one over the drawing's rectangle and padded past it: a vector
  // file writes the repeats a source spans, which for a repeating one is the
  // whole page, however small the box the drawing is printed in. `g` is the
  // gradient's record, `m` its map from user space. False when it has no
  // direction.
  bool LinearRepeatsOverDrawing(const std::uint8_t* g, const dl::GradientHead& h, const cairo_matrix_t& m,
                                double alpha) {
    const double* v = h.points;
    const double vx = v[2] - v[0], vy = v[3] - v[1], run = vx * vx + vy * vy;
    cairo_matrix_t toUser;
    cairo_get_matrix(cr_, &toUser);
    if (!(run > 0) || cairo_matrix_invert(&toUser) != CAIRO_STATUS_SUCCESS) return false;
    cairo_matrix_t toPattern;  // the drawing's space (the list's) to the gradient's
    cairo_matrix_multiply(&toPattern, &base_, &toUser);
    cairo_matrix_multiply(&toPattern, &toPattern, &m);
    // The gradient's parameter over the drawing's corners: its least and most.
    double least = HUGE_VAL, most = -HUGE_VAL;
    for (const auto& [x, y] : DrawingCorners(toPattern)) {
      const double t = ((x - v[0]) * vx + (y - v[1]) * vy) / run;
      least = std::min(least, t);
      most = std::max(most, t);
    }
    if (!std::isfinite(least) || !std::isfinite(most)) return false;
    const double first = std::floor(least), periods = std::max(1.0, std::ceil(most) - first);
    // The reader lets a repeating paint span at most kMaxRepeats periods
    // across the drawing's larger side: its diagonal, and a period begun on
    // either side, take a few more.
    if (periods > 2 * dl::kMaxRepeats) return false;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(
        v[0] + first * vx, v[1] + first * vy, v[0] + (first + periods) * vx, v[1] + (first + periods) * vy);
    SetLaidOutSource(pattern, m, g, h, first, periods, first, alpha);
    return true;
  }

  // The drawing's corners in the space of a gradient mapped from user space
  // by `m`.
  bool DrawingInGradient(const cairo_matrix_t& m, std::array<std::pair<double, double>, 4>* corners) const {
    cairo_matrix_t toUser;
    cairo_get_matrix(cr_, &toUser);
    if (cairo_matrix_invert(&toUser) != CAIRO_STATUS_SUCCESS) return false;
    cairo_matrix_t toPattern;
    cairo_matrix_multiply(&toPattern, &base_, &toUser);
    cairo_matrix_multiply(&toPattern, &toPattern, &m);
    *corners = DrawingCorners(toPattern);
    return true;
  }

  // The stops of the gradient `g` (head `h`) for one period, forwards or
  // (reflected) backwards, their offsets within it, in order.
  std::vector<dl::GradientStop> PeriodStops(const std::uint8_t* g, const dl::GradientHead& h,
                                            bool backwards) const {
    std::vector<dl::GradientStop> stops;
    for (std::uint32_t n = 0; n < h.stops; ++n) {
      auto s =
          Take<dl::GradientStop>(g + sizeof h + (backwards ? h.stops - 1 - n : n) * sizeof(dl::GradientStop));
      if (backwards) s.offset = 1 - s.offset;
      stops.push_back(s);
    }
    return stops;
  }

  // The colour at `u` of a period of `stops` (PeriodStops): between the stops
  // on either side; before the first or past the last, repeated, between
  // the last and the first of the next period, as cairo repeats it, and
  // reflected, that stop's own.
  static std::array<double, 4> ColourAt(const std::vector<dl::GradientStop>& stops, double u, bool repeated) {
    const dl::GradientStop* a = &stops.front();
    const dl::GradientStop* b = &stops.back();
    double from = a->offset, to = b->offset;
    if (u < stops.front().offset) {
      if (!repeated) return std::to_array(a->rgba);
      from = b->offset - 1, to = a->offset, std::swap(a, b);
    } else if (u > stops.back().offset) {
      if (!repeated) return std::to_array(b->rgba);
      from = b->offset, to = a->offset + 1, std::swap(a, b);
    } else {
      for (std::size_t n = 1; n < stops.size(); ++n)
        if (u <= stops[n].offset) {
          a = &stops[n - 1], b = &stops[n], from = a->offset, to = b->offset;
          break;
        }
    }
    const double f = to > from ? (u - from) / (to - from) : 1;
    std::array<double, 4> rgba;
    for (int i = 0; i < 4; ++i) rgba[i] = a->rgba[i] + f * (b->rgba[i] - a->rgba[i]);
    return rgba;
  }

  // Makes `pattern`, mapped from user space by `m`, the source: its stops
  // the gradient's periods (AddPeriods), padded past them. Takes `pattern`.
  void SetLaidOutSource(cairo_pattern_t* pattern, const cairo_matrix_t& m, const std::uint8_t* g,
                        const dl::GradientHead& h, double first, double periods, double start,
                        double alpha) const {
    cairo_pattern_set_matrix(pattern, &m);
    AddPeriods(pattern, g, h, first, periods, start, alpha);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_set_source(cr_, pattern);
    cairo_pattern_destroy(pattern);
  }

  // Adds to `pattern`, running over its parameter from `start` (within the
  // first period) to first + periods, the stops of the gradient `g` (head
  // `h`) repeated or reflected over those periods one by one, faded by
  // `alpha`; its ends take the colours the gradient has there.
  void AddPeriods(cairo_pattern_t* pattern, const std::uint8_t* g, const dl::GradientHead& h, double first,
                  double periods, double start, double alpha) const {
    if (h.stops == 0) return;
    const bool repeated = h.extend == static_cast<std::uint32_t>(dl::Extend::Repeat);
    const double end = first + periods;
    const auto add = [&](double t, const double* rgba) {
      cairo_pattern_add_color_stop_rgba(pattern, (t - start) / (end - start), rgba[0], rgba[1], rgba[2],
                                        rgba[3] * alpha);
    };
    for (int k = 0; k < static_cast<int>(periods); ++k) {
      // Reflected, every other period runs backwards from the one before.
      const std::vector<dl::GradientStop> stops =
          PeriodStops(g, h, !repeated && (static_cast<long long>(first) + k) % 2 != 0);
      const double cut = k == 0 ? start - first : 0;  // what of the period lies before the start
      if (k == 0) add(start, ColourAt(stops, cut, repeated).data());
      for (const dl::GradientStop& stop : stops)
        if (k > 0 || stop.offset > cut) add(first + k + stop.offset, stop.rgba);
      if (k + 1 == static_cast<int>(periods)) add(end, ColourAt(stops, 1, repeated).data());
    }
  }

  // A radial gradient (its first circle within its second, as the reader
  // lets one repeat) repeated or reflected as cr's source, its repeats laid
  // out one by one over the drawing as LinearRepeatsOverDrawing lays out a
  // linear one's, between the circles of the least and the most of its
  // parameter there and padded past them. Its parameter at a point is that
  // of the one circle through it, growing outward: its most over the
  // drawing is at a corner, its least where the circles, grown from the
  // point they start at, first meet the drawing. A period cut by that point
  // starts with the colour it has there. False where that takes more than
  // the reader's repeats, or more than a raster takes.
  bool RadialRepeatsOverDrawing(const std::uint8_t* g, const dl::GradientHead& h, const cairo_matrix_t& m,
                                double alpha) {
    const double* v = h.points;
    const double dx = v[3] - v[0], dy = v[4] - v[1], dr = v[5] - v[2];
    if (!(dr > std::hypot(dx, dy))) return false;
    std::array<std::pair<double, double>, 4> corners;
    if (!DrawingInGradient(m, &corners)) return false;
    const auto circle = [&](double t) {
      return std::array<double, 3>{v[0] + t * dx, v[1] + t * dy, v[2] + t * dr};
    };
    // The parameter of the circle through (x, y): the larger root of
    // |p - c(t)| = r(t).
    const double a = dx * dx + dy * dy - dr * dr;  // < 0
    const auto at = [&](double x, double y) {
      const double qx = x - v[0], qy = y - v[1];
      const double b = -2 * (qx * dx + qy * dy + v[2] * dr), c = qx * qx + qy * qy - v[2] * v[2];
      return (-b - std::sqrt(std::max(0.0, b * b - 4 * a * c))) / (2 * a);
    };
    double most = -HUGE_VAL;
    for (const auto& [x, y] : corners) most = std::max(most, at(x, y));
    // The distance from (x, y) to the drawing (a parallelogram here): 0
    // within it.
    const auto apart = [&](double x, double y) {
      double inside = 0, nearest = HUGE_VAL;
      const int order[4] = {0, 1, 3, 2};  // around its edges
      for (int k = 0; k < 4; ++k) {
        const auto [ax, ay] = corners[order[k]];
        const auto [bx, by] = corners[order[(k + 1) % 4]];
        const double ex = bx - ax, ey = by - ay, e2 = ex * ex + ey * ey;
        const double u = e2 > 0 ? std::clamp(((x - ax) * ex + (y - ay) * ey) / e2, 0.0, 1.0) : 0;
        nearest = std::min(nearest, std::hypot(x - ax - u * ex, y - ay - u * ey));
        const double side = ex * (y - ay) - ey * (x - ax);
        inside += side > 0 ? 1 : side < 0 ? -1 : 0;
      }
      return std::fabs(inside) == 4 ? 0.0 : nearest;
    };
    const double apex = -v[2] / dr;  // where the circles start, a point
    double least = apex;
    if (apart(circle(apex)[0], circle(apex)[1]) > 0) {
      double reaches = most;  // the least circle known to meet the drawing
      for (int k = 0; k < 64 && reaches > least; ++k) {
        const double mid = least + (reaches - least) / 2;
        const auto c = circle(mid);
        (apart(c[0], c[1]) <= c[2] ? reaches : least) = mid;
      }
    }
    if (!std::isfinite(least) || !std::isfinite(most)) return false;
    const double first = std::floor(least), periods = std::max(1.0, std::ceil(most) - first);
    if (periods > 2 * dl::kMaxRepeats) return false;
    const double start = std::max(first, apex), end = first + periods;
    dl::GradientHead laid = h;
    const auto from = circle(start), to = circle(end);
    std::copy(from.begin(), from.end(), laid.points);
    std::copy(to.begin(), to.end(), laid.points + 3);
    if (!(DeviceToPatternEntry(cr_, m) * dot_ * GradientFit(laid) <= kMaxDeviceToPattern)) return false;
    cairo_pattern_t* pattern = cairo_pattern_create_radial(from[0], from[1], from[2], to[0], to[1], to[2]);
    SetLaidOutSource(pattern, m, g, h, first, periods, start, alpha);
    return true;
  }

  const std::shared_ptr<const DrawList>& list_;
  const std::uint8_t* const data_;
  cairo_t* const cr_;
  const double dot_;
  const bool dry_;
  cairo_matrix_t base_{};
  const bool vector_;  // cr's target is no raster (a vector file or a recording for one)
  std::vector<cairo_surface_t*> surfaces_;
  // For a vector file: the one copy of each picture it holds, and those made
  // of pictures averaged down to it.
  std::vector<PictureCopy> copies_;
  std::vector<cairo_surface_t*> reduced_;
  std::size_t leftOut_ = 0;
};

}  // namespace

std::size_t PaintsLeftOut(const std::shared_ptr<const DrawList>& list, double width, double height,
                          double dot) {
  if (list == nullptr || !(width > 0) || !(height > 0)) return 0;
  cairo_surface_t* none = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(none);
  cairo_scale(cr, width / list->Width(), height / list->Height());
  std::size_t leftOut = 0;
  if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
    Painter painter(list, cr, dot, true);
    painter.Paint();
    leftOut = painter.LeftOut();
  }
  cairo_destroy(cr);
  cairo_surface_destroy(none);
  return leftOut;
}

bool PaintDrawList(const std::shared_ptr<const DrawList>& list, cairo_t* cr, double width, double height,
                   double dot, std::size_t* leftOut) {
  if (leftOut != nullptr) *leftOut = 0;
  if (list == nullptr || cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
  if (!(width > 0) || !(height > 0)) return true;
  cairo_save(cr);
  cairo_scale(cr, width / list->Width(), height / list->Height());
  {
    Painter painter(list, cr, dot);
    painter.Paint();
    if (leftOut != nullptr) *leftOut = painter.LeftOut();
  }
  cairo_restore(cr);
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

}  // namespace md::imaging
