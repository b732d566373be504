// Reading a draw list (platform/imaging/protocol/drawlist.h) back in tests:
// its records one by one, their paths, and a plain cairo replay of them.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/imaging/protocol/drawlist.h"

namespace md::test::drawlists {

namespace dl = md::imaging::drawlist;

struct Record {
  dl::Kind kind{};
  const std::uint8_t* payload = nullptr;
  std::uint32_t bytes = 0;
  // The payload's head as a T.
  template <typename T>
  T Head() const {
    T t;
    std::memcpy(static_cast<void*>(&t), payload, sizeof t);
    return t;
  }
};

// The records of a list of `size` bytes, failing the test where the list
// does not hold what its header says.
inline std::vector<Record> Records(const std::uint8_t* list, std::size_t size) {
  std::vector<Record> out;
  dl::Header header;
  if (size < sizeof header) {
    ADD_FAILURE() << "a list of " << size << " bytes";
    return out;
  }
  std::memcpy(&header, list, sizeof header);
  EXPECT_EQ(header.magic, dl::kMagic);
  EXPECT_EQ(header.bytes, size);
  for (std::size_t at = sizeof header; at < size;) {
    dl::RecordHead head;
    std::memcpy(&head, list + at, sizeof head);
    if (head.bytes % 8 != 0 || head.bytes > size - at - sizeof head) {
      ADD_FAILURE() << "a record of " << head.bytes << " bytes at " << at;
      break;
    }
    out.push_back({static_cast<dl::Kind>(head.kind), list + at + sizeof head, head.bytes});
    at += sizeof head + head.bytes;
  }
  return out;
}

// The kinds of the records, in order.
inline std::vector<dl::Kind> Kinds(const std::vector<Record>& records) {
  std::vector<dl::Kind> kinds;
  for (const Record& r : records) kinds.push_back(r.kind);
  return kinds;
}

struct Path {
  std::vector<dl::Verb> verbs;
  std::vector<float> points;  // x, y
};

// The path a fill, stroke or clip record ends with.
inline Path PathOf(const Record& r) {
  std::size_t at = r.kind == dl::Kind::Fill ? sizeof(dl::FillHead)
                   : r.kind == dl::Kind::PushClip
                       ? sizeof(dl::ClipHead)
                       : sizeof(dl::StrokeHead) + 8 * r.Head<dl::StrokeHead>().dashes;
  dl::PathHead head;
  std::memcpy(&head, r.payload + at, sizeof head);
  at += sizeof head;
  Path path;
  for (std::uint32_t k = 0; k < head.verbs; ++k)
    path.verbs.push_back(static_cast<dl::Verb>(r.payload[at + k]));
  at += dl::Padded(head.verbs);
  path.points.resize(std::size_t{head.points} * 2);
  std::memcpy(path.points.data(), r.payload + at, path.points.size() * sizeof(float));
  return path;
}

// The dashes of a stroke record.
inline std::vector<double> DashesOf(const Record& r) {
  std::vector<double> dashes(r.Head<dl::StrokeHead>().dashes);
  std::memcpy(dashes.data(), r.payload + sizeof(dl::StrokeHead), dashes.size() * sizeof(double));
  return dashes;
}

inline cairo_matrix_t CairoMatrix(const dl::Matrix& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

// Paints the list onto cr, the drawing's space under cr's transform: each
// record as drawlist.h says, with no check (the writer's tests check it).
class Replay {
 public:
  Replay(cairo_t* cr, const std::vector<Record>& records) : cr_(cr) {
    cairo_get_matrix(cr, &base_);
    for (const Record& r : records) Paint(r);
  }
  ~Replay() {
    for (cairo_surface_t* s : pictures_) cairo_surface_destroy(s);
    for (cairo_pattern_t* p : gradients_) cairo_pattern_destroy(p);
  }
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;

 private:
  void Under(const dl::Matrix& m) {
    const cairo_matrix_t c = CairoMatrix(m);
    cairo_set_matrix(cr_, &base_);
    cairo_transform(cr_, &c);
  }
  void SetPath(const Record& r) {
    const Path p = PathOf(r);
    cairo_new_path(cr_);
    std::size_t k = 0;
    for (const dl::Verb v : p.verbs) {
      const float* q = p.points.data() + k;
      if (v == dl::Verb::Move) cairo_move_to(cr_, q[0], q[1]), k += 2;
      if (v == dl::Verb::Line) cairo_line_to(cr_, q[0], q[1]), k += 2;
      if (v == dl::Verb::Curve) cairo_curve_to(cr_, q[0], q[1], q[2], q[3], q[4], q[5]), k += 6;
      if (v == dl::Verb::Close) cairo_close_path(cr_);
    }
  }
  void SetSource(const dl::Paint& p) {
    const cairo_matrix_t m = CairoMatrix(p.matrix);
    if (p.kind == static_cast<std::uint32_t>(dl::PaintKind::Colour)) {
      cairo_set_source_rgba(cr_, p.rgba[0], p.rgba[1], p.rgba[2], p.rgba[3]);
    } else if (p.kind == static_cast<std::uint32_t>(dl::PaintKind::Picture)) {
      cairo_pattern_t* pattern = cairo_pattern_create_for_surface(pictures_.at(p.index));
      cairo_pattern_set_matrix(pattern, &m);
      cairo_pattern_set_extend(pattern, static_cast<cairo_extend_t>(p.extend));
      cairo_set_source(cr_, pattern);
      cairo_pattern_destroy(pattern);
    } else {  // the gradient made anew, its stops' alpha times the paint's
      cairo_pattern_t* g = gradients_.at(p.index);
      double x0, y0, r0, x1, y1, r1;
      cairo_pattern_t* made = cairo_pattern_get_type(g) == CAIRO_PATTERN_TYPE_LINEAR
                                  ? (cairo_pattern_get_linear_points(g, &x0, &y0, &x1, &y1),
                                     cairo_pattern_create_linear(x0, y0, x1, y1))
                                  : (cairo_pattern_get_radial_circles(g, &x0, &y0, &r0, &x1, &y1, &r1),
                                     cairo_pattern_create_radial(x0, y0, r0, x1, y1, r1));
      int count = 0;
      cairo_pattern_get_color_stop_count(g, &count);
      for (int k = 0; k < count; ++k) {
        double o, r, gr, b, a;
        cairo_pattern_get_color_stop_rgba(g, k, &o, &r, &gr, &b, &a);
        cairo_pattern_add_color_stop_rgba(made, o, r, gr, b, a * p.rgba[3]);
      }
      cairo_matrix_t gm;
      cairo_pattern_get_matrix(g, &gm);
      cairo_pattern_set_matrix(made, &gm);
      cairo_pattern_set_extend(made, cairo_pattern_get_extend(g));
      cairo_set_source(cr_, made);
      cairo_pattern_destroy(made);
    }
  }
  void Paint(const Record& r) {
    switch (r.kind) {
      case dl::Kind::Picture: {
        const auto head = r.Head<dl::PictureHead>();
        pictures_.push_back(cairo_image_surface_create_for_data(
            const_cast<unsigned char*>(r.payload + sizeof head), CAIRO_FORMAT_ARGB32,
            static_cast<int>(head.width), static_cast<int>(head.height), static_cast<int>(head.width) * 4));
        break;
      }
      case dl::Kind::Gradient: {
        const auto head = r.Head<dl::GradientHead>();
        const double* v = head.points;
        cairo_pattern_t* g = head.type == static_cast<std::uint32_t>(dl::GradientType::Linear)
                                 ? cairo_pattern_create_linear(v[0], v[1], v[2], v[3])
                                 : cairo_pattern_create_radial(v[0], v[1], v[2], v[3], v[4], v[5]);
        for (std::uint32_t k = 0; k < head.stops; ++k) {
          dl::GradientStop s;
          std::memcpy(&s, r.payload + sizeof head + k * sizeof s, sizeof s);
          cairo_pattern_add_color_stop_rgba(g, s.offset, s.rgba[0], s.rgba[1], s.rgba[2], s.rgba[3]);
        }
        const cairo_matrix_t m = CairoMatrix(head.matrix);
        cairo_pattern_set_matrix(g, &m);
        cairo_pattern_set_extend(g, static_cast<cairo_extend_t>(head.extend));
        gradients_.push_back(g);
        break;
      }
      case dl::Kind::Fill: {
        const auto head = r.Head<dl::FillHead>();
        Under(head.matrix);
        SetPath(r);
        SetSource(head.paint);
        cairo_set_fill_rule(cr_, head.rule == 1 ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr_);
        break;
      }
      case dl::Kind::Stroke: {
        const auto head = r.Head<dl::StrokeHead>();
        Under(head.matrix);
        SetPath(r);
        SetSource(head.paint);
        cairo_set_line_width(cr_, head.width);
        cairo_set_miter_limit(cr_, head.miterLimit);
        cairo_set_line_cap(cr_, static_cast<cairo_line_cap_t>(head.cap));
        cairo_set_line_join(cr_, static_cast<cairo_line_join_t>(head.join));
        const std::vector<double> dashes = DashesOf(r);
        cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), head.dashOffset);
        cairo_stroke(cr_);
        cairo_set_dash(cr_, nullptr, 0, 0);
        break;
      }
      case dl::Kind::PushClip: {
        const auto head = r.Head<dl::ClipHead>();
        cairo_save(cr_);
        Under(head.matrix);
        SetPath(r);
        cairo_set_fill_rule(cr_, head.rule == 1 ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
        break;
      }
      case dl::Kind::PopClip:
        cairo_restore(cr_);
        break;
      case dl::Kind::PushGroup:
      case dl::Kind::PushMask:
        cairo_set_matrix(cr_, &base_);
        cairo_push_group(cr_);
        break;
      case dl::Kind::PopGroup:
        cairo_set_matrix(cr_, &base_);
        cairo_pop_group_to_source(cr_);
        cairo_paint_with_alpha(cr_, r.Head<dl::PopGroupBody>().alpha);
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
        const auto body = r.Head<dl::ImageBody>();
        Under(body.matrix);
        cairo_set_source_surface(cr_, pictures_.at(body.picture), 0, 0);
        cairo_paint_with_alpha(cr_, body.alpha);
        break;
      }
      case dl::Kind::PaintAll:
        cairo_set_matrix(cr_, &base_);
        SetSource(r.Head<dl::Paint>());
        cairo_paint(cr_);
        break;
    }
    cairo_set_matrix(cr_, &base_);
  }

  cairo_t* const cr_;
  cairo_matrix_t base_;
  std::vector<cairo_surface_t*> pictures_;
  std::vector<cairo_pattern_t*> gradients_;
};

}  // namespace md::test::drawlists
