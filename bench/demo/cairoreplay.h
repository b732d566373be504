// What one recorded drawing painted, drawn again straight into cairo: the
// baseline the printing benchmarks compare their drawing with (the same
// shapes, rectangles, texts, images and vectors at the same device places under the
// same clips, with pens, hatches, fonts, glyphs and picture surfaces made
// beforehand).
#pragma once

#include <benchmark/benchmark.h>
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"

namespace md::bench {

inline void Rgb(cairo_t* cr, md::canvas::Color c) {
  cairo_set_source_rgb(cr, md::canvas::red(c) / 255.0, md::canvas::green(c) / 255.0,
                       md::canvas::blue(c) / 255.0);
}

struct GlyphRun {
  cairo_font_face_t* face = nullptr;
  cairo_matrix_t matrix{};
  std::vector<cairo_glyph_t> glyphs;
};

// One recorded call, with what cairo needs made beforehand.
struct Prepared {
  const md::canvas::Record* record = nullptr;
  cairo_pattern_t* hatch = nullptr;
  std::vector<double> dashes;
  std::vector<GlyphRun> runs;
  cairo_surface_t* image = nullptr;  // Type::Image: the recorded pixels
};

class Replay {
 public:
  explicit Replay(const md::canvas::RecordingCanvas& recording) {
    for (const md::canvas::Record& r : recording.records()) {
      Prepared p;
      p.record = &r;
      if ((r.type == md::canvas::Record::Type::Shape || r.type == md::canvas::Record::Type::Rects) &&
          r.brush.style == md::canvas::BrushStyle::Hatched)
        p.hatch = Hatch(r.brush);
      if (r.type == md::canvas::Record::Type::Shape) p.dashes = Dashes(r.pen);
      if (r.type == md::canvas::Record::Type::Text) PrepareText(r.text, &p);
      if (r.type == md::canvas::Record::Type::Image) p.image = ImageOf(r);
      calls_.push_back(std::move(p));
    }
  }
  ~Replay() {
    for (Prepared& p : calls_) {
      if (p.hatch != nullptr) cairo_pattern_destroy(p.hatch);
      if (p.image != nullptr) cairo_surface_destroy(p.image);
    }
    for (auto& [key, face] : faces_) cairo_font_face_destroy(face);
  }
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;

  void Draw(cairo_t* cr) const {
    for (const Prepared& p : calls_) {
      const md::canvas::Record& r = *p.record;
      cairo_save(cr);
      if (r.state.clip.active) {
        for (const md::canvas::Rect& c : r.state.clip.rects)
          cairo_rectangle(cr, c.left, c.top, c.right - c.left, c.bottom - c.top);
        cairo_clip(cr);
      }
      switch (r.type) {
        case md::canvas::Record::Type::Shape:
          Shape(cr, p);
          break;
        case md::canvas::Record::Type::Rects:
          for (const md::canvas::Rect& x : r.rects)
            cairo_rectangle(cr, x.left, x.top, x.right - x.left, x.bottom - x.top);
          Source(cr, p);
          cairo_fill(cr);
          break;
        case md::canvas::Record::Type::Text:
          Text(cr, p);
          break;
        case md::canvas::Record::Type::Image:
          Image(cr, p);
          break;
        case md::canvas::Record::Type::Vectors:
          cairo_translate(cr, r.from.x, r.from.y);
          cairo_scale(cr, r.to.x < r.from.x ? -1.0 : 1.0, r.to.y < r.from.y ? -1.0 : 1.0);
          r.vectors->paint(cr, std::abs(r.to.x - r.from.x), std::abs(r.to.y - r.from.y));
          break;
      }
      cairo_restore(cr);
    }
  }

 private:
  static cairo_pattern_t* Hatch(const md::canvas::Brush& b) {
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* t = cairo_create(tile);
    Rgb(t, b.color);
    cairo_set_line_width(t, 1);
    cairo_move_to(t, 0, 0);
    cairo_line_to(t, 8, 8);
    cairo_stroke(t);
    cairo_destroy(t);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    return p;
  }
  static std::vector<double> Dashes(const md::canvas::Pen& pen) {
    const double s = std::max(1.0, pen.width / 2);
    switch (pen.style) {
      case md::canvas::PenStyle::Dash:
        return {18 * s, 6 * s};
      case md::canvas::PenStyle::Dot:
        return {3 * s, 3 * s};
      case md::canvas::PenStyle::DashDot:
        return {9 * s, 6 * s, 3 * s, 6 * s};
      case md::canvas::PenStyle::DashDotDot:
        return {9 * s, 3 * s, 3 * s, 3 * s, 3 * s, 3 * s};
      default:
        return {};
    }
  }
  void PrepareText(const md::canvas::TextRun& run, Prepared* p) {
    md::text::FontRequest req;
    req.face = run.font.face;
    req.height = -run.font.emHeight;
    req.width = run.font.width;
    req.weight = run.font.weight;
    req.italic = run.font.italic;
    req.charSet = run.font.charSet;
    md::text::TextEngine* engine = md::text::EngineByName(run.font.engine);
    const md::text::FontPtr font = (engine != nullptr ? engine : &md::text::FreeTypeEngine())->Match(req);
    const std::vector<md::text::Glyph> glyphs = font->Shape(run.text);
    const md::text::FontMetrics& m = font->Metrics();
    for (int slot = 0; slot < 2; ++slot) {
      const md::text::FaceSource* src = font->Face(slot);
      if (src == nullptr) continue;
      GlyphRun g;
      g.face = Face(*src);
      cairo_matrix_init(&g.matrix, m.em * m.xScale, 0, 0, m.em, 0, 0);
      double x = 0;
      for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].slot == slot && glyphs[i].ch >= 0x20)
          g.glyphs.push_back(cairo_glyph_t{glyphs[i].index, x, 0});
        x += i < run.advances.size() ? run.advances[i] : glyphs[i].advance;
      }
      if (g.face != nullptr && !g.glyphs.empty()) p->runs.push_back(std::move(g));
    }
  }
  cairo_font_face_t* Face(const md::text::FaceSource& src) {
    const auto key = std::make_pair(src.file, src.index);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src.file.c_str()));
    FcPatternAddInteger(pat, FC_INDEX, src.index);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
    FcPatternDestroy(pat);
    faces_[key] = face;
    return face;
  }
  static void Source(cairo_t* cr, const Prepared& p) {
    if (p.hatch != nullptr) {
      cairo_set_source(cr, p.hatch);
    } else {
      Rgb(cr, p.record->brush.color);
    }
  }
  static void Path(cairo_t* cr, const md::canvas::Shape& shape, bool close, double offset) {
    cairo_new_path(cr);
    for (const md::canvas::SubPath& sp : shape.paths) {
      if (sp.points.empty()) continue;
      cairo_move_to(cr, sp.points[0].x + offset, sp.points[0].y + offset);
      for (std::size_t i = 1; i < sp.points.size(); ++i)
        cairo_line_to(cr, sp.points[i].x + offset, sp.points[i].y + offset);
      if (close || sp.closed) cairo_close_path(cr);
    }
  }
  static void Shape(cairo_t* cr, const Prepared& p) {
    const md::canvas::Record& r = *p.record;
    if (r.shape.fill && r.brush.style != md::canvas::BrushStyle::Null) {
      Path(cr, r.shape, true, 0.0);
      cairo_set_fill_rule(cr, r.shape.rule == md::canvas::FillRule::Winding ? CAIRO_FILL_RULE_WINDING
                                                                            : CAIRO_FILL_RULE_EVEN_ODD);
      Source(cr, p);
      cairo_fill(cr);
    }
    if (r.shape.stroke && r.pen.style != md::canvas::PenStyle::Null) {
      Path(cr, r.shape, false, 0.5);
      cairo_set_line_width(cr, r.pen.width);
      cairo_set_line_cap(cr, r.pen.width <= 1.5 ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      if (!p.dashes.empty()) cairo_set_dash(cr, p.dashes.data(), static_cast<int>(p.dashes.size()), 0);
      Rgb(cr, r.pen.color);
      cairo_stroke(cr);
    }
  }
  // The recorded pixels in a surface of their own, opaque unless they carry
  // alpha, as the canvas paints them.
  static cairo_surface_t* ImageOf(const md::canvas::Record& r) {
    const int w = r.src.right - r.src.left, h = r.src.bottom - r.src.top;
    if (w <= 0 || h <= 0 || r.pixels.size() != static_cast<std::size_t>(w) * h) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < w; ++x) {
        const std::uint32_t px = r.pixels[static_cast<std::size_t>(y) * w + x];
        row[x] = r.premultiplied ? px : (0xFF000000u | (px & 0x00FFFFFFu));
      }
    }
    cairo_surface_mark_dirty(s);
    return s;
  }
  static void Image(cairo_t* cr, const Prepared& p) {
    const md::canvas::Record& r = *p.record;
    if (p.image == nullptr || r.dst.empty()) return;
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, r.dst.left, r.dst.top, r.dst.right - r.dst.left, r.dst.bottom - r.dst.top);
    cairo_clip(cr);
    cairo_translate(cr, r.dst.left, r.dst.top);
    cairo_scale(cr, static_cast<double>(r.dst.right - r.dst.left) / cairo_image_surface_get_width(p.image),
                static_cast<double>(r.dst.bottom - r.dst.top) / cairo_image_surface_get_height(p.image));
    cairo_set_source_surface(cr, p.image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
  }
  static void Text(cairo_t* cr, const Prepared& p) {
    const md::canvas::TextRun& run = p.record->text;
    cairo_translate(cr, run.origin.x, run.origin.y);
    cairo_rotate(cr, -run.angle * 3.14159265358979 / 180.0);
    Rgb(cr, run.color);
    for (const GlyphRun& g : p.runs) {
      cairo_set_font_face(cr, g.face);
      cairo_set_font_matrix(cr, &g.matrix);
      cairo_show_glyphs(cr, g.glyphs.data(), static_cast<int>(g.glyphs.size()));
    }
  }

  std::vector<Prepared> calls_;
  std::map<std::pair<std::string, int>, cairo_font_face_t*> faces_;
};

// Times the recording replayed into a white raster of w x h pixels, once
// per iteration of the state; the counter "calls" counts the recorded calls.
inline void TimeReplay(benchmark::State& state, const md::canvas::RecordingCanvas& recording, int w, int h) {
  const Replay replay(recording);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (auto _ : state) {
    replay.Draw(cr);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters["calls"] = static_cast<double>(recording.records().size());
}

}  // namespace md::bench
