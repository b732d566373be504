// The helper's draw list of cairo's SVG of a drawing: what cairo draws comes
// out as records that the library reads and paints again, each under its
// whole transform; what
// the library drew from pixels, or past a bound, is answered with its code;
// a crafted document ends quickly with a code or a list; pictures keep at
// most the pixels they show at in a box, and shrink to fit the list.
#include <cairo-svg.h>
#include <cairo.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "platform/imaging/helper/listbounds.h"
#include "platform/imaging/helper/listwriter.h"
#include "platform/imaging/isolate.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/drawlists.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging::detail;
namespace c = md::test::costly;
namespace d = md::test::drawlists;
namespace dl = md::imaging::drawlist;

using Draw = std::function<void(cairo_t*)>;

// cairo's SVG of what `draw` draws over w x h.
std::string CairoSvg(int w, int h, const Draw& draw) {
  std::string svg;
  cairo_surface_t* surface = cairo_svg_surface_create_for_stream(
      [](void* out, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &svg, w, h);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return svg;
}

// A list written, 8-byte aligned.
struct Written {
  VectorsAnswer vectors = VectorsAnswer::None;
  std::vector<std::uint64_t> words;
  std::size_t bytes = 0;
  const std::uint8_t* data() const { return reinterpret_cast<const std::uint8_t*>(words.data()); }
  std::vector<d::Record> Records() const { return d::Records(data(), bytes); }
};

constexpr std::size_t kMemory = std::size_t{256} << 20;

// The list of the document for a drawing of w x h (at its own size, or for
// a box of cells), within `room` bytes.
Written Write(const std::string& svg, double w, double h, double boxW = 0, double boxH = 0,
              std::size_t room = std::size_t{4} << 20) {
  Written out;
  out.words.resize(room / 8);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.words.data());
  const ListAnswer a = WriteDrawList(svg, {w, h, boxW, boxH, kMemory}, bytes, room);
  out.vectors = a.vectors;
  out.bytes = a.bytes;
  return out;
}

using Pixels = std::vector<std::uint32_t>;

// What draw() paints over w x h, or (given a list) what the list does.
Pixels Painted(int w, int h, const Draw& draw) {
  Pixels pixels(static_cast<std::size_t>(w) * h);
  cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                           CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_t* cr = cairo_create(s);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return pixels;
}
// What the library reads and paints of the list over w x h, failing the
// test when it refuses it.
Pixels Painted(int w, int h, const Written& list) {
  std::string why;
  const std::shared_ptr<const md::imaging::DrawList> read =
      md::imaging::ReadDrawList(list.data(), list.bytes, &why);
  EXPECT_NE(read, nullptr) << why;
  return Painted(w, h, [&](cairo_t* cr) {
    if (read != nullptr) {
      EXPECT_TRUE(md::imaging::PaintDrawList(read, cr, w, h, 1.0));
    }
  });
}

// The pixels of which a channel differs by more than 8.
int Differing(const Pixels& a, const Pixels& b) {
  int differing = 0;
  for (std::size_t k = 0; k < a.size(); ++k)
    for (int shift = 0; shift < 32; shift += 8)
      if (std::abs(static_cast<int>((a[k] >> shift) & 0xFF) - static_cast<int>((b[k] >> shift) & 0xFF)) > 8) {
        ++differing;
        break;
      }
  return differing;
}

cairo_surface_t* Quadrants(int w, int h, double alpha = 1) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  const double colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
  for (int q = 0; q < 4; ++q) {
    cairo_set_source_rgba(cr, colours[q][0], colours[q][1], colours[q][2], alpha);
    cairo_rectangle(cr, q % 2 * w / 2.0, q / 2 * h / 2.0, w / 2.0, h / 2.0);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  return s;
}

cairo_pattern_t* Stops(cairo_pattern_t* p, cairo_extend_t extend) {
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 0, 0, 1, 0.4);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0.6, 0, 0.8);
  cairo_pattern_set_extend(p, extend);
  return p;
}

// A star crossing itself, its middle covered twice.
void Star(cairo_t* cr) {
  for (int k = 0; k < 5; ++k) {
    const double a = k * 4 * M_PI / 5 - M_PI / 2;
    (k == 0 ? cairo_move_to : cairo_line_to)(cr, 100 + 80 * std::cos(a), 100 + 80 * std::sin(a));
  }
  cairo_close_path(cr);
}

bool Has(const std::vector<d::Record>& records, dl::Kind kind) {
  return std::any_of(records.begin(), records.end(), [&](const d::Record& r) { return r.kind == kind; });
}

// What cairo draws, drawn again from its SVG's list over 200 x 200 the same
// but for its edges; and what each row's list holds.
TEST(ImagingListWriter, AListPaintsWhatCairoDrew) {
  const struct {
    const char* name;
    Draw draw;
    std::function<void(const std::vector<d::Record>&)> holds;
    int differing = 200;  // of 40,000 pixels, at edges
  } rows[] = {
      {"strokes of each join and cap, dashed, under a turn",
       [](cairo_t* cr) {
         cairo_translate(cr, 100, 100);
         cairo_rotate(cr, 0.3);
         cairo_scale(cr, 1.5, 0.8);
         const double dashes[] = {12, 4, 2, 4};
         for (int k = 0; k < 9; ++k) {
           cairo_move_to(cr, -50, -60 + 14 * k);
           cairo_line_to(cr, 0, -50 + 14 * k);
           cairo_line_to(cr, 50, -60 + 14 * k);
           cairo_set_line_join(cr, static_cast<cairo_line_join_t>(k % 3));
           cairo_set_line_cap(cr, static_cast<cairo_line_cap_t>(k / 3));
           cairo_set_line_width(cr, 6);
           cairo_set_dash(cr, dashes, k % 2 == 0 ? 4 : 0, 3);
           cairo_set_source_rgba(cr, 0.2, 0.1 * k, 0.7, 0.9);
           cairo_stroke(cr);
         }
       },
       [](const std::vector<d::Record>& records) {
         std::vector<std::pair<std::uint32_t, std::uint32_t>> capsJoins;
         for (const d::Record& r : records) {
           if (r.kind != dl::Kind::Stroke) continue;
           const auto head = r.Head<dl::StrokeHead>();
           capsJoins.emplace_back(head.cap, head.join);
           EXPECT_EQ(d::DashesOf(r),
                     (head.dashes == 0 ? std::vector<double>{} : std::vector<double>{12, 4, 2, 4}));
           EXPECT_NEAR(head.matrix.xx, 1.5 * std::cos(0.3), 1e-5);
         }
         EXPECT_EQ(capsJoins.size(), 9u);
         for (std::uint32_t k = 0; k < capsJoins.size(); ++k)
           EXPECT_EQ(capsJoins[k], std::pair(k / 3, k % 3)) << k;
       }},
      {"a star filled even-odd, and nonzero",
       [](cairo_t* cr) {
         Star(cr);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
         cairo_set_source_rgb(cr, 0, 0, 1);
         cairo_fill(cr);
         cairo_translate(cr, 40, 40);
         Star(cr);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
         cairo_set_source_rgba(cr, 1, 0, 0, 0.5);
         cairo_fill(cr);
       },
       [](const std::vector<d::Record>& records) {
         std::vector<std::uint32_t> rules;
         for (const d::Record& r : records)
           if (r.kind == dl::Kind::Fill) rules.push_back(r.Head<dl::FillHead>().rule);
         EXPECT_EQ(rules, (std::vector<std::uint32_t>{1, 0}));
       }},
      {"clips of a star even-odd and nonzero, one in the other",
       [](cairo_t* cr) {
         Star(cr);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
         cairo_clip(cr);
         cairo_set_source_rgb(cr, 0, 0.5, 0);
         cairo_paint(cr);
         cairo_translate(cr, 30, 10);
         cairo_scale(cr, 0.8, 1.1);
         Star(cr);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
         cairo_clip(cr);
         cairo_set_source_rgb(cr, 1, 0.5, 0);
         cairo_paint(cr);
       },
       [](const std::vector<d::Record>& records) {
         std::vector<std::uint32_t> rules;
         for (const d::Record& r : records)
           if (r.kind == dl::Kind::PushClip) rules.push_back(r.Head<dl::ClipHead>().rule);
         EXPECT_NE(std::find(rules.begin(), rules.end(), 1u), rules.end());
         EXPECT_NE(std::find(rules.begin(), rules.end(), 0u), rules.end());
       }},
      {"linear and radial gradients of each extend SVG has, their stops translucent, painted translucent",
       [](cairo_t* cr) {
         for (int e = 1; e < 4; ++e) {  // not CAIRO_EXTEND_NONE: cairo's SVG pads
           const auto extend = static_cast<cairo_extend_t>(e);
           cairo_pattern_t* linear =
               Stops(cairo_pattern_create_linear(50 * e + 15, 0, 50 * e + 35, 20), extend);
           cairo_set_source(cr, linear);
           cairo_rectangle(cr, 50 * e, 0, 50, 100);
           cairo_fill(cr);
           // Repeated, a radial gradient's first circle lies within its second.
           cairo_pattern_t* radial =
               Stops(cairo_pattern_create_radial(50 * e + 20, 145, 0, 50 * e + 25, 150, 20), extend);
           cairo_set_source(cr, radial);
           cairo_rectangle(cr, 50 * e, 100, 50, 100);
           cairo_fill_preserve(cr);
           cairo_clip(cr);
           cairo_paint_with_alpha(cr, 0.5);
           cairo_reset_clip(cr);
           cairo_pattern_destroy(linear);
           cairo_pattern_destroy(radial);
         }
       },
       [](const std::vector<d::Record>& records) {
         std::vector<std::uint32_t> extends;
         for (const d::Record& r : records)
           if (r.kind == dl::Kind::Gradient) extends.push_back(r.Head<dl::GradientHead>().extend);
         for (const dl::Extend e : {dl::Extend::Pad, dl::Extend::Repeat, dl::Extend::Reflect})
           EXPECT_NE(std::find(extends.begin(), extends.end(), static_cast<std::uint32_t>(e)), extends.end());
       }},
      {"colours through a mask of a gradient and through one of a picture",
       [](cairo_t* cr) {
         cairo_pattern_t* fade = cairo_pattern_create_linear(0, 0, 200, 0);
         cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 1);
         cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
         cairo_set_source_rgb(cr, 0.8, 0.2, 0.2);
         cairo_mask(cr, fade);
         cairo_pattern_destroy(fade);
         cairo_surface_t* holes = Quadrants(60, 40, 0.5);
         cairo_set_source_rgb(cr, 0, 0.3, 0.6);
         cairo_mask_surface(cr, holes, 120, 20);  // cairo's SVG keeps no other transform of it
         cairo_surface_destroy(holes);
       },
       [](const std::vector<d::Record>& records) {
         // Each: clip to the outline, the colour in a group through the mask.
         const std::vector<dl::Kind> masked = {dl::Kind::PushClip, dl::Kind::PushGroup, dl::Kind::PaintAll,
                                               dl::Kind::PushMask};
         const std::vector<dl::Kind> kinds = d::Kinds(records);
         int found = 0;
         for (auto at = kinds.begin();
              (at = std::search(at, kinds.end(), masked.begin(), masked.end())) != kinds.end(); ++at)
           ++found;
         EXPECT_EQ(found, 2);
         EXPECT_TRUE(Has(records, dl::Kind::Image));
       }},
      {"text in colour, its glyphs' outlines",
       [](cairo_t* cr) {
         // Outlines as they are, as the SVG holds them.
         cairo_font_options_t* options = cairo_font_options_create();
         cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
         cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
         cairo_set_font_options(cr, options);
         cairo_font_options_destroy(options);
         cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
         cairo_set_font_size(cr, 40);
         cairo_move_to(cr, 10, 90);
         cairo_set_source_rgb(cr, 0.1, 0.4, 0.9);
         cairo_rotate(cr, 0.1);
         cairo_show_text(cr, "Map 12");
       },
       [](const std::vector<d::Record>& records) {
         int glyphs = 0;
         for (const d::Record& r : records) {
           if (r.kind != dl::Kind::Fill) continue;
           const auto head = r.Head<dl::FillHead>();
           EXPECT_NEAR(head.paint.rgba[2], 0.9, 1e-5);
           glyphs += d::PathOf(r).verbs.size() > 4;
         }
         EXPECT_GE(glyphs, 5);
       },
       1000},  // cairo's own text: glyphs rasterized by FreeType
      {"a picture scaled and one repeated as a pattern, under a group's opacity of shapes",
       [](cairo_t* cr) {
         cairo_surface_t* picture = Quadrants(16, 12);
         cairo_save(cr);
         cairo_scale(cr, 5, 5);
         cairo_set_source_surface(cr, picture, 1, 1);
         cairo_paint(cr);
         cairo_restore(cr);
         cairo_set_source_surface(cr, picture, 0, 0);
         cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_REPEAT);
         cairo_rectangle(cr, 100, 100, 90, 90);
         cairo_fill(cr);
         cairo_push_group(cr);
         cairo_set_source_rgb(cr, 0, 0, 0);
         cairo_rectangle(cr, 20, 120, 60, 60);
         cairo_fill(cr);
         cairo_set_source_rgb(cr, 1, 1, 0);
         cairo_rectangle(cr, 40, 140, 60, 40);
         cairo_fill(cr);
         cairo_pop_group_to_source(cr);
         cairo_paint_with_alpha(cr, 0.6);
         cairo_surface_destroy(picture);
       },
       [](const std::vector<d::Record>& records) {
         int pictures = 0;
         for (const d::Record& r : records) pictures += r.kind == dl::Kind::Picture;
         EXPECT_EQ(pictures, 1);  // shown twice, written once
         EXPECT_TRUE(Has(records, dl::Kind::Image));
         EXPECT_TRUE(Has(records, dl::Kind::PushMask));  // cairo's SVG fades a group through a mask
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Written list = Write(CairoSvg(200, 200, row.draw), 200, 200);
    ASSERT_EQ(list.vectors, VectorsAnswer::List);
    row.holds(list.Records());
    EXPECT_LE(Differing(Painted(200, 200, list), Painted(200, 200, row.draw)), row.differing);
  }
}

// A document of a 9 x 9 view box holding `body`.
std::string In(const std::string& body) { return c::SvgOpen(9, 9) + body + "</svg>"; }

// PNG data of a w x h picture of quadrants.
std::string PngData(int w, int h) {
  std::string png;
  cairo_surface_t* s = Quadrants(w, h);
  cairo_surface_write_to_png_stream(
      s,
      [](void* out, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(s);
  gchar* base64 = g_base64_encode(reinterpret_cast<const guchar*>(png.data()), png.size());
  const std::string data = "data:image/png;base64," + std::string(base64);
  g_free(base64);
  return data;
}

// An image element of a w x h picture shown over its width and height.
std::string Image(int w, int h, const std::string& id = "i", double width = 1, double height = 1) {
  return "<image id='" + id + "' width='" + std::to_string(width) + "' height='" + std::to_string(height) +
         "' xlink:href='" + PngData(w, h) + "'/>";
}

// What cairo writes, and what it might write, paints as the library's
// painter of its SVG painted it: each row a document of a 100 x 100 view box
// painted over 100 x 100 pixels and the pixel (ARGB, premultiplied) at a
// point, give or take 8 a channel for the edges' antialiasing.
TEST(ImagingListWriter, AListPaintsWhatTheSvgsPainterPainted) {
  const std::string picture = PngData(2, 2);  // red, green / blue, white
  const std::string red = "style='fill:rgb(100%,0%,0%);stroke:none;'";
  // Definitions each inside the one before, far deeper than a paint goes.
  std::string deep;
  for (int k = 0; k < 100000; ++k) deep += "<defs>";
  for (int k = 0; k < 100000; ++k) deep += "</defs>";
  const std::string masked =
      "<defs><image id='h' width='2' height='2' xlink:href='" + picture +
      "'/><mask id='m'><g filter='url(#alpha)'><use xlink:href='#h' "
      "transform='matrix(25,0,0,50,0,0)'/></g></mask></defs><rect width='100' height='100' " +
      red + " mask='url(#m)'/>";
  const std::string holed =
      "<path style='fill-rule:evenodd;fill:rgb(0%,0%,100%);' d='M 10 10 L 90 10 L 90 90 L 10 90 Z M 30 30 L "
      "70 30 L 70 70 L 30 70 Z'/>";
  const std::string scaled =
      "<g transform='matrix(2,0,0,2,40,40)'><rect width='10' height='10' " + red + "/></g>";
  // Two squares, the second inside the first, under transforms of their own.
  const std::string twice =
      "<defs><clipPath id='c'><path d='M 0 0 H 80 V 80 H 0 Z' transform='translate(10,10)'/><path d='M 0 0 "
      "H 20 V 20 H 0 Z' transform='matrix(2,0,0,2,30,30)'/></clipPath></defs><g clip-path='url(#c)' "
      "clip-rule='";
  const std::string twiceEnd = "'><rect width='100' height='100' " + red + "/></g>";
  const std::string gradient =
      "<defs><linearGradient id='l' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='100' y2='0'><stop "
      "offset='0' style='stop-color:rgb(100%,0%,0%);stop-opacity:1;'/><stop offset='1' "
      "style='stop-color:rgb(0%,0%,100%);stop-opacity 0.5;'/></linearGradient></defs><rect width='100' "
      "height='100' style='fill:url(#l);fill-opacity:0.5;'/>";
  const std::tuple<std::string, int, int, std::uint32_t> rows[] = {
      {"<rect x='10' y='10' width='80' height='80' " + red + "/>", 50, 50, 0xFFFF0000},
      {holed, 50, 50, 0},
      {holed, 20, 20, 0xFF0000FF},
      {"<path style='fill:#00ff00;fill-opacity:0.5;' d='M 0 0 h 100 v 100 h -100 z'/>", 50, 50, 0x80008000},
      {"<g style='fill:rgb(0%,100%,0%);'><path d='M 0 0 H 100 V 100 H 0 Z'/></g>", 50, 50, 0xFF00FF00},
      {scaled, 55, 55, 0xFFFF0000},
      {scaled, 65, 65, 0},
      {twice + "nonzero" + twiceEnd, 50, 50, 0xFFFF0000},
      {twice + "evenodd" + twiceEnd, 50, 50, 0},
      {twice + "evenodd" + twiceEnd, 20, 20, 0xFFFF0000},
      {"<defs><symbol id='s'><path d='M 0 0 L 10 0 L 10 10 L 0 10 Z'/></symbol></defs><use xlink:href='#s' "
       "x='60' y='20'/>",
       65, 25, 0xFF000000},
      {gradient, 1, 50, 0x7F7F0000},   // red, its stop opaque, the fill half
      {gradient, 99, 50, 0x4000003F},  // blue, its stop half, the fill half
      {"<defs><image id='i' width='2' height='2' xlink:href='" + picture +
           "'/><pattern id='p' patternUnits='userSpaceOnUse' width='2' height='2' "
           "patternTransform='matrix(40,0,0,40,0,0)'><use xlink:href='#i'/></pattern></defs><rect "
           "width='100' height='100' style='fill:url(#p);'/>",
       60, 20, 0xFF00FF00},
      {"<defs><image id='i' width='2' height='2' xlink:href='" + picture +
           "'/></defs><use xlink:href='#i' transform='matrix(50,0,0,50,0,0)'/>",
       25, 75, 0xFF0000FF},
      {deep + "<rect width='100' height='100' " + red + "/>", 50, 50, 0xFFFF0000},
      {masked, 25, 75, 0xFFFF0000},  // the mask's blue quadrant, opaque
      {"<g transform='matrix(0,0,0,0,0,0)'><rect width='100' height='100' " + red + "/></g>", 50, 50, 0},
      {"<path style='fill:none;stroke:rgb(0%,0%,0%);stroke-width:20;stroke-dasharray:-1,2;' d='M 0 50 L 100 "
       "50'/>",
       50, 50, 0xFF000000},
  };
  for (const auto& [body, x, y, expected] : rows) {
    const Written list = Write(c::SvgOpen(100, 100) + body + "</svg>", 100, 100);
    ASSERT_EQ(list.vectors, VectorsAnswer::List) << body.substr(0, 300);
    const std::uint32_t got = Painted(100, 100, list)[static_cast<std::size_t>(y) * 100 + x];
    for (int shift = 0; shift < 32; shift += 8)
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 8)
          << std::hex << got << " for " << expected << " at " << std::dec << x << "," << y << ": "
          << body.substr(0, 300);
  }
}

// A pattern of drawn content is painted into a picture the list repeats:
// each row a document of a 100 x 100 view box painted over 100 x 100 pixels
// and the pixel (ARGB, premultiplied) at a point, give or take 8 a channel.
TEST(ImagingListWriter, APatternOfDrawnContentIsRepeatedAsAPicture) {
  // A hatch as cairo writes a brush's cell: a pattern of a use of a clipped
  // group filling its tile with a pattern of one picture (of quadrants, red,
  // green, blue and white, 20 x 20).
  const std::string hatch =
      "<defs>" + Image(8, 8, "i", 20, 20) +
      "<pattern id='p1' patternUnits='userSpaceOnUse' width='20' height='20'><use xlink:href='#i'/></pattern>"
      "<clipPath id='c'><rect x='0' y='0' width='20' height='20'/></clipPath><g id='s' clip-path='url(#c)'>"
      "<rect x='0' y='0' width='20' height='20' style='fill:url(#p1);stroke:none;'/></g><pattern id='p' "
      "patternUnits='userSpaceOnUse' width='20' height='20'><use xlink:href='#s'/></pattern></defs>"
      "<rect width='100' height='100' style='fill:url(#p);'/>";
  // Lines: a stroke over the upper half of a 10 x 10 tile, doubled.
  const std::string lines =
      "<defs><pattern id='p' patternUnits='userSpaceOnUse' width='10' height='10' "
      "patternTransform='matrix(2,0,0,2,0,0)'><path d='M 0 2.5 H 10' "
      "style='fill:none;stroke:rgb(100%,0%,0%);stroke-width:5;'/></pattern></defs><rect width='100' "
      "height='100' style='fill:url(#p);'/>";
  // A faded blue left half of a tile.
  const std::string faded =
      "<defs><pattern id='p' patternUnits='userSpaceOnUse' width='10' height='10'><g "
      "style='opacity:0.5;'><rect width='5' height='10' style='fill:rgb(0%,0%,100%);'/></g>"
      "</pattern></defs><rect width='100' height='100' style='fill:url(#p);'/>";
  // A tile of a square filled with a pattern of lines (a green stroke over
  // the left half of a 4 x 4 tile) in its upper left quarter.
  const std::string nested =
      "<defs><pattern id='q' patternUnits='userSpaceOnUse' width='4' height='4'><path d='M 1 0 V 4' "
      "style='fill:none;stroke:rgb(0%,100%,0%);stroke-width:2;'/></pattern><pattern id='p' "
      "patternUnits='userSpaceOnUse' width='20' height='20'><rect width='8' height='8' "
      "style='fill:url(#q);'/></pattern></defs><rect width='100' height='100' style='fill:url(#p);'/>";
  // A blue left half, and a red right half clipped by a clip path of
  // nothing; a red line dashed with a negative entry, drawn solid.
  const std::string clipped =
      "<defs><clipPath id='c'/><pattern id='p' patternUnits='userSpaceOnUse' width='10' height='10'><rect "
      "width='5' height='10' style='fill:rgb(0%,0%,100%);'/><g clip-path='url(#c)'><rect x='5' width='5' "
      "height='10' style='fill:rgb(100%,0%,0%);'/></g></pattern></defs><rect width='100' height='100' "
      "style='fill:url(#p);'/>";
  const std::string dashed =
      "<defs><pattern id='p' patternUnits='userSpaceOnUse' width='10' height='10'><path d='M 0 5 H 10' "
      "style='fill:none;stroke:rgb(100%,0%,0%);stroke-width:4;stroke-dasharray:2,-1;'/></pattern></defs>"
      "<rect width='100' height='100' style='fill:url(#p);'/>";
  const std::tuple<std::string, int, int, std::uint32_t> rows[] = {
      {clipped, 2, 2, 0xFF0000FF}, {clipped, 7, 2, 0},
      {dashed, 3, 5, 0xFFFF0000},  {nested, 1, 1, 0xFF00FF00},
      {nested, 3, 1, 0},           {nested, 25, 5, 0xFF00FF00},
      {nested, 10, 10, 0},         {hatch, 5, 5, 0xFFFF0000},
      {hatch, 15, 5, 0xFF00FF00},  {hatch, 25, 15, 0xFF0000FF},
      {hatch, 35, 35, 0xFFFFFFFF}, {lines, 5, 5, 0xFFFF0000},
      {lines, 5, 15, 0},           {lines, 45, 25, 0xFFFF0000},
      {faded, 2, 7, 0x80000080},   {faded, 7, 7, 0},
      {faded, 12, 27, 0x80000080},
  };
  for (const auto& [body, x, y, expected] : rows) {
    const Written list = Write(c::SvgOpen(100, 100) + body + "</svg>", 100, 100);
    EXPECT_EQ(list.vectors, VectorsAnswer::List) << x << "," << y << ": " << body.substr(0, 300);
    if (list.vectors != VectorsAnswer::List) continue;
    const std::uint32_t got = Painted(100, 100, list)[static_cast<std::size_t>(y) * 100 + x];
    for (int shift = 0; shift < 32; shift += 8)
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 8)
          << std::hex << got << " for " << expected << " at " << std::dec << x << "," << y << ": "
          << body.substr(0, 300);
  }
}

// What the library drew from pixels, or could not read, is answered with
// its code instead of a list.
TEST(ImagingListWriter, WhatWasDrawnFromPixelsIsAnsweredWithItsCode) {
  std::string stops;
  for (int k = 0; k < 257; ++k) stops += "<stop offset='0' style='stop-color:rgb(0%,0%,0%);'/>";
  const std::string rect = "<rect width='1' height='1'/>";
  const std::string pen = "style='fill:rgb(0%,0%,0%);stroke:rgb(0%,0%,100%);stroke-width:0.1;'";
  const auto outlined = [&](int lines) {
    std::string body;
    for (int k = 0; k < lines; ++k) body += "<path d='M 0 0 L 1 1' " + pen + "/>";
    return body;
  };
  const auto twice = [&](int lines) {  // a move and `lines` lines, filled and stroked
    std::string d = "M 0 0";
    for (int k = 0; k < lines; ++k)
      d += k % 2 ? " L 0 " + std::to_string(k % 9) : " L 9 " + std::to_string(k % 9);
    return "<path " + pen + " d='" + d + "'/>";
  };
  const auto clipped = [&](int rects) {  // within a clip of 1,000 verbs
    std::string d = "M 0 0";
    for (int k = 0; k < 998; ++k)
      d += k % 2 ? " L 0 " + std::to_string(k % 9) : " L 9 " + std::to_string(k % 9);
    std::string body =
        "<defs><clipPath id='c'><path d='" + d + " Z'/></clipPath></defs><g clip-path='url(#c)'>";
    for (int k = 0; k < rects; ++k) body += rect;
    return body + "</g>";
  };
  const std::pair<std::string, VectorsAnswer> rows[] = {
      {In("<defs><filter id='f'><feColorMatrix type='saturate' values='0'/></filter></defs><g "
          "filter='url(#f)'/>"),
       VectorsAnswer::Filter},
      {In("<defs><pattern id='p' width='2' height='2'><path d='M 0 0 L 1 1'/></pattern></defs>"),
       VectorsAnswer::Pattern},
      {In("<defs>" + Image(1, 1) + "</defs><g style='opacity:0.5;'><use xlink:href='#i'/></g>"),
       VectorsAnswer::PictureInLayer},
      {In("<defs>" + Image(1, 1) + "<mask id='m'>" + rect +
          "</mask></defs><use xlink:href='#i' mask='url(#m)'/>"),
       VectorsAnswer::PictureInLayer},
      {In("<defs><linearGradient id='l'>" + stops + "</linearGradient></defs>"),
       VectorsAnswer::GradientStops},
      {In("<defs><radialGradient id='r' gradientUnits='userSpaceOnUse' cx='5' cy='5' fx='5' fy='0' r='4' "
          "spreadMethod='repeat'><stop offset='0' style='stop-color:rgb(0%,0%,0%);'/></radialGradient></defs>"
          "<rect width='9' height='9' style='fill:url(#r);'/>"),
       VectorsAnswer::PastBounds},  // its focus outside its circle: its repeats crowd without end
      {In("<defs>" + Image(1, 1) +
          "<mask id='m'><use xlink:href='#i'/><use xlink:href='#i'/></mask></defs><rect width='1' height='1' "
          "mask='url(#m)'/>"),
       VectorsAnswer::MaskOfPictures},
      {c::LongPath(330000), VectorsAnswer::PastBounds},
      // Within what the document may draw, but past the reader's counts:
      // each shape filled and stroked is two records that draw, its path
      // written twice.
      {In(outlined(25000)), VectorsAnswer::List},
      {In(outlined(25001)), VectorsAnswer::PastBounds},
      {In(twice(99999)), VectorsAnswer::List},
      {In(twice(100000)), VectorsAnswer::PastBounds},
      // Each fill within the clip counts the clip's verbs.
      {In(clipped(16777)), VectorsAnswer::List},
      {In(clipped(16778)), VectorsAnswer::PastBounds},
      {In("<image xlink:href='file:///etc/hosts'/>"), VectorsAnswer::Unreadable},
      {In("<g>map</g>"), VectorsAnswer::Unreadable},
      {In("<filter id='f'><feTurbulence baseFrequency='0.05'/></filter>"), VectorsAnswer::Unreadable},
      {"GIF89a", VectorsAnswer::Unreadable},
      {In(std::string(kMetafileSvgBytes, ' ')), VectorsAnswer::TooLarge},
      {In(rect), VectorsAnswer::List},
  };
  // Room for 50,000 records that draw.
  for (const auto& [svg, answer] : rows)
    EXPECT_EQ(Write(svg, 9, 9, 0, 0, std::size_t{16} << 20).vectors, answer) << svg.substr(0, 300);
}

// A document no cairo writes, crafted to run the writer in a cycle, fan it
// out, take it deep or past the list's transforms: each ends with a code, or
// a list the reader takes.
TEST(ImagingListWriter, ACraftedDocumentEndsWithACodeOrAList) {
  std::string nested = "<defs>";
  for (int k = 0; k < 100000; ++k) nested += "<g>";
  for (int k = 0; k < 100000; ++k) nested += "</g>";
  nested += "</defs>";
  // Masks each using the one below twice, named bare: no measure counts them.
  std::string fan = "<defs><mask id='m0'><rect width='1' height='1'/></mask>";
  for (int k = 1; k <= 30; ++k) {
    const std::string below = "#m" + std::to_string(k - 1);
    fan += "<mask id='m" + std::to_string(k) + "'><rect width='1' height='1' mask='" + below +
           "'/><rect width='1' height='1' mask='" + below + "'/></mask>";
  }
  fan += "</defs><rect width='9' height='9' mask='#m30'/>";
  // `uses` fills by a gradient of 16 stops repeated 64 times across the
  // drawing: 1,024 stops painted at each, 102,400 within the stops' bound,
  // 153,600 past it.
  const auto stopUses = [](int uses) {
    std::string body =
        "<defs><linearGradient id='l' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='0.140625' y2='0' "
        "spreadMethod='repeat'>";
    for (int k = 0; k < 16; ++k)
      body += "<stop offset='" + std::to_string(k / 16.0) + "' style='stop-color:rgb(" +
              std::to_string(k % 2 * 100) + "%,0%,0%);'/>";
    body += "</linearGradient></defs>";
    for (int k = 0; k < uses; ++k) body += "<rect width='9' height='9' style='fill:url(#l);'/>";
    return In(body);
  };
  // `fills` fills by a gradient of one stop: each a paint of a gradient.
  const auto gradientFills = [](int fills) {
    std::string body =
        "<defs><linearGradient id='g'><stop offset='0' style='stop-color:rgb(0%,0%,0%);'/></linearGradient>"
        "</defs>";
    for (int k = 0; k < fills; ++k) body += "<rect width='9' height='9' style='fill:url(#g);'/>";
    return In(body);
  };
  const std::pair<std::string, VectorsAnswer> rows[] = {
      {In("<g id='a' style='opacity:0.5'><path d='M 0 0 L url(#a) 1 1'/></g>"), VectorsAnswer::List},
      {stopUses(100), VectorsAnswer::List},
      {stopUses(150), VectorsAnswer::PastBounds},
      {gradientFills(8192), VectorsAnswer::List},
      {gradientFills(8193), VectorsAnswer::PastBounds},
      {In("<defs><mask id='m'><rect width='1' height='1' mask='#m'/></mask></defs><rect width='9' height='9' "
          "mask='#m'/>"),
       VectorsAnswer::PastBounds},
      {In(nested + "<rect width='9' height='9'/>"), VectorsAnswer::List},
      {In(fan), VectorsAnswer::PastBounds},
      {In("<g transform='scale(1e100)'><g transform='scale(1e100)'><rect width='1' height='1'/></g></g>"),
       VectorsAnswer::BadTransform},
      {In("<g transform='scale(1e-200)'><g transform='scale(1e-200)'><rect width='1' height='1'/></g></g>"),
       VectorsAnswer::BadTransform},
      {In("<g transform='scale(1e7)'><rect width='1' height='1'/></g>"), VectorsAnswer::BadTransform},
      {In("<path d='M 0 0 L 2e6 0 L 0 1 Z'/>"), VectorsAnswer::PastBounds},
      {In("<path style='stroke:rgb(0%,0%,0%);stroke-width:2000000;' d='M 0 0 L 1 1'/>"),
       VectorsAnswer::PastBounds},
      {In("<path "
          "style='stroke:rgb(0%,0%,0%);stroke-dasharray:1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"
          "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;' d='M 0 0 L 1 "
          "1'/>"),
       VectorsAnswer::PastBounds},
      {In("<g transform='matrix(0,0,0,0,0,0)'><rect width='1' height='1'/></g>"), VectorsAnswer::List},
      // A gradient far from the drawing, and one beside it.
      {In("<defs><linearGradient id='g' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='20' y2='0' "
          "gradientTransform='translate(100000,0)'><stop offset='0' style='stop-color:rgb(0%,0%,0%);'/>"
          "</linearGradient></defs><rect width='9' height='9' style='fill:url(#g);'/>"),
       VectorsAnswer::PastBounds},
      {In("<defs><linearGradient id='g' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='20' y2='0' "
          "gradientTransform='translate(10,0)'><stop offset='0' style='stop-color:rgb(0%,0%,0%);'/>"
          "</linearGradient></defs><rect width='9' height='9' style='fill:url(#g);'/>"),
       VectorsAnswer::List},
  };
  for (const auto& [svg, answer] : rows) {
    const Written list = Write(svg, 9, 9);
    EXPECT_EQ(list.vectors, answer) << svg.substr(0, 200);
    if (list.vectors == VectorsAnswer::List) list.Records();
  }
}

// The pixels each picture is written at for a box of cells.
std::vector<std::pair<std::uint32_t, std::uint32_t>> PictureSizes(const Written& list) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
  for (const d::Record& r : list.Records())
    if (r.kind == dl::Kind::Picture)
      sizes.emplace_back(r.Head<dl::PictureHead>().width, r.Head<dl::PictureHead>().height);
  return sizes;
}

// A picture in a box keeps at most the pixels it spans in the box's cells;
// pictures past the room shrink alike until the list fits; at its own size
// a drawing's pictures are kept whole, and past a megapixel it is asked for
// at each box; a picture squeezed finer than the reader takes keeps the
// pixels it takes.
TEST(ImagingListWriter, PicturesKeepThePixelsTheyShowAt) {
  const std::string whole = In("<defs>" + Image(800, 600, "i", 9, 9) + "</defs><use xlink:href='#i'/>");
  const std::string quarter = In("<defs>" + Image(800, 600, "i", 4.5, 4.5) + "</defs><use xlink:href='#i'/>");
  const std::string two = In("<defs>" + Image(400, 400, "i", 9, 9) + Image(200, 100, "j", 9, 9) +
                             "</defs><use xlink:href='#i'/><use xlink:href='#j'/>");
  const std::string big = In("<defs>" + Image(1200, 900, "i", 9, 9) + "</defs><use xlink:href='#i'/>");
  // Each pixel a 4,000th of the drawing's unit, past the least the reader takes.
  const std::string squeezed =
      In("<defs>" + Image(2000, 1000, "i", 0.5, 0.25) + "</defs><use xlink:href='#i'/>");
  using Sizes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  const struct {
    std::string svg;
    double boxW, boxH;
    std::size_t room;
    VectorsAnswer answer;
    Sizes sizes;
  } rows[] = {
      {whole, 40, 30, std::size_t{4} << 20, VectorsAnswer::List, {{40, 30}}},
      {quarter, 40, 30, std::size_t{4} << 20, VectorsAnswer::List, {{20, 15}}},
      {whole, 4000, 3000, std::size_t{4} << 20, VectorsAnswer::List, {{800, 600}}},
      {two, 100, 100, std::size_t{4} << 20, VectorsAnswer::List, {{100, 100}, {100, 100}}},
      {two, 1000, 1000, 200000, VectorsAnswer::List, {{210, 210}, {105, 52}}},  // both at 0.525
      {two, 1000, 1000, 400, VectorsAnswer::List, {{6, 6}, {3, 1}}},
      {two, 1000, 1000, 120, VectorsAnswer::TooLarge, {}},
      {whole, 0, 0, std::size_t{4} << 20, VectorsAnswer::List, {{800, 600}}},
      {big, 0, 0, std::size_t{4} << 20, VectorsAnswer::TooLarge, {}},
      {squeezed, 0, 0, std::size_t{8} << 20, VectorsAnswer::List, {{511, 255}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.boxW << " x " << row.boxH << " in " << row.room);
    const Written list = Write(row.svg, 9, 9, row.boxW, row.boxH, row.room);
    ASSERT_EQ(list.vectors, row.answer);
    if (list.vectors != VectorsAnswer::List) continue;
    EXPECT_EQ(PictureSizes(list), row.sizes);
    EXPECT_LE(list.bytes, row.room);
    // Shown over the same place whatever its pixels: the top left quadrant
    // red.
    if (row.sizes.front().first < 10 || row.svg == squeezed) continue;  // too few pixels, or not there
    const Pixels drawn = Painted(90, 90, list);
    EXPECT_EQ(drawn[10 * 90 + 10] & 0xFFFFFF, 0xFF0000u);
  }
}

// A pattern's tile is painted once for each size it shows at: at 300 dpi of
// a box of cells of 600 dpi, at its own size a pixel a unit of the drawing.
TEST(ImagingListWriter, ATileIsPaintedAtThePixelsItCovers) {
  const std::string pattern =
      "<defs><pattern id='p' patternUnits='userSpaceOnUse' width='10' height='10' "
      "patternTransform='matrix(2,0,0,2,0,0)'><path d='M 0 2.5 H 10' "
      "style='fill:none;stroke:rgb(100%,0%,0%);stroke-width:5;'/></pattern></defs>";
  const std::string fill = "<rect width='100' height='100' style='fill:url(#p);'/>";
  const std::string once = c::SvgOpen(100, 100) + pattern + fill + "</svg>";
  const std::string twice = c::SvgOpen(100, 100) + pattern + fill + fill + "</svg>";
  const std::string scaled =
      c::SvgOpen(100, 100) + pattern + fill + "<g transform='scale(0.5)'>" + fill + "</g></svg>";
  using Sizes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  const std::tuple<std::string, double, double, Sizes> rows[] = {
      {once, 0, 0, {{20, 20}}},   {once, 100, 100, {{10, 10}}},  {once, 400, 400, {{40, 40}}},
      {once, 100, 50, {{10, 5}}}, {twice, 400, 400, {{40, 40}}}, {scaled, 400, 400, {{40, 40}, {20, 20}}},
  };
  for (const auto& [svg, boxW, boxH, sizes] : rows) {
    SCOPED_TRACE(testing::Message() << boxW << " x " << boxH << ": " << svg.substr(svg.size() - 90));
    const Written list = Write(svg, 100, 100, boxW, boxH);
    EXPECT_EQ(list.vectors, VectorsAnswer::List);
    EXPECT_EQ(PictureSizes(list), list.vectors == VectorsAnswer::List ? sizes : Sizes());
  }
}

// Runs the helper on the file with the request's arguments (after the
// format, the most pixels and the memory limit) and a buffer of `bytes`:
// its answer's header and, at `at`, the list it says follows (none when its
// run failed, or it answered no list).
struct HelperList {
  AnswerHeader header;
  Written list;
  std::string error;
};
HelperList RunHelper(const md::test::metafiles::Bytes& file, const std::vector<std::string>& request,
                     std::size_t bytes, std::size_t at) {
  std::vector<std::string> args = {"wmf", "90000", std::to_string(kMemory)};
  args.insert(args.end(), request.begin(), request.end());
  HelperList out;
  RunIsolated(
      ProgramBesideLibrary(kMetafileHelper), args, file.data(), file.size(), bytes,
      [&](const void* buffer) {
        std::memcpy(static_cast<void*>(&out.header), buffer, sizeof out.header);
        out.list.vectors = static_cast<VectorsAnswer>(out.header.vectors);
        if (out.list.vectors == VectorsAnswer::List && out.header.listBytes <= kListBytes) {
          out.list.bytes = out.header.listBytes;
          out.list.words.resize((out.list.bytes + 7) / 8);
          std::memcpy(out.list.words.data(), static_cast<const std::uint8_t*>(buffer) + at, out.list.bytes);
        }
        return std::string();
      },
      IsolationLimits(), &out.error);
  return out;
}

// Each bound the writer keeps within, by the predicate the reader calls:
// what lies at the reader's limit the writer does not write, for the
// reader's rounding; what lies twice its margin inside, it does.
TEST(ImagingListWriter, TheWriterKeepsItsMarginInsideEachBound) {
  using listbounds::kMargin;
  constexpr double kIn = 1 - 2 * kMargin, kOut = 1 + 2 * kMargin;
  constexpr double kMost = 1048576;  // 2^20
  const auto scale = [](double s) { return dl::Matrix{s, 0, 0, s, 0, 0}; };
  const auto linear = [](double x1, dl::Extend extend, std::uint32_t stops = 2) {
    dl::GradientHead g;
    g.extend = static_cast<std::uint32_t>(extend);
    g.points[2] = x1;
    g.stops = stops;
    return g;
  };
  const auto radial = [](double r0) {
    dl::GradientHead g;
    g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
    const double points[6] = {0, 0, r0, 0, 0, 1024};
    std::copy(std::begin(points), std::end(points), g.points);
    return g;
  };
  // Each bound with a margin, by how far inside it its figure lies (1 at
  // the limit, then kIn or kOut, the side that passes): whether it passes.
  const struct {
    const char* name;
    std::function<bool(double inside, double margin)> within;
    double inside;
  } rows[] = {
      {"a transform's entry",
       [&](double f, double m) {
         return dl::EntriesWithin({kMost * f, 0, 0, 1, 0, 0}, m);
       },
       kIn},
      {"a determinant's least",
       [&](double f, double m) { return dl::InvertibleWithin(scale(f / 1048576), m); }, kOut},
      {"a determinant's most", [&](double f, double m) { return dl::InvertibleWithin(scale(kMost * f), m); },
       kIn},
      {"a coordinate", [&](double f, double m) { return dl::CoordinateWithin(-kMost * f, m); }, kIn},
      {"a pixel shown", [&](double f, double m) { return dl::PixelShown(scale(f / 1024), m); }, kOut},
      {"a gradient's run",
       [&](double f, double m) { return dl::RunShown(linear(f, dl::Extend::Pad), scale(1.0 / 1024), m); },
       kOut},
      {"a gradient's reach",
       [&](double f, double m) {
         return dl::GradientWithinReach(linear(256 * f, dl::Extend::Pad), {}, 64, 64, m);
       },
       kIn},
      {"a gradient's space stretched along one axis",
       [&](double f, double m) {
         return dl::GradientWithinReach(linear(0, dl::Extend::Pad), {16384 * f, 0, 0, 1, 0, 0}, 64, 64, m);
       },
       kIn},
      {"a radial gradient's radius",
       [&](double f, double m) {
         dl::GradientHead g = radial(0);
         g.points[5] = 256 * f;
         return dl::GradientWithinReach(g, {}, 64, 64, m);
       },
       kIn},
      {"a repeated radial's circles nested",
       [&](double f, double m) { return dl::CirclesNested(radial(1023 * f), m); }, kIn},
      {"a paint's repeats", [&](double f, double m) { return dl::RepeatsWithin(0.0625 * f, {}, 64, m); },
       kOut},
      {"a pattern's pixels across the drawing",
       [&](double f, double m) { return dl::PatternPixelsWithin(8, 8, scale(f / 128), 64, m); }, kOut},
      {"the pattern tiles", [&](double f, double m) { return dl::PatternTilesWithin(16777216 * f, m); }, kIn},
      {"the dashes", [&](double f, double m) { return dl::DashesWithin(200000 * f, m); }, kIn},
      // 64 stops at each of 64 repeats across the drawing.
      {"a repeated gradient's stops",
       [&](double f, double m) {
         return dl::RepeatedStopsWithin(
             dl::GradientStopsPainted(linear(f, dl::Extend::Repeat, 64), {}, 64, 64, m));
       },
       kOut},
      // 64 stops at each of 64 repeats out from a corner of a drawing of
      // 48 x 64 to the farthest, 80 away.
      {"a repeated radial gradient's stops",
       [&](double f, double m) {
         dl::GradientHead g = radial(0);
         g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
         g.stops = 64;
         g.points[5] = 1.25 * f;
         return dl::RepeatedStopsWithin(dl::GradientStopsPainted(g, {}, 48, 64, m));
       },
       kOut},
      // The same from a circle whose radius is its period: one repeat
      // within it, and 62.5 out to that corner.
      {"a repeated radial gradient's stops from a circle",
       [&](double f, double m) {
         constexpr double kRadius = 80 / 63.5;
         dl::GradientHead g = radial(kRadius);
         g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
         g.stops = 64;
         g.points[5] = kRadius + kRadius * f;
         return dl::RepeatedStopsWithin(dl::GradientStopsPainted(g, {}, 48, 64, m));
       },
       kOut},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(row.within(1, 0)) << row.name << ": the reader refuses its limit";
    EXPECT_FALSE(row.within(1, kMargin)) << row.name << ": the writer writes at the reader's limit";
    EXPECT_TRUE(row.within(row.inside, kMargin)) << row.name << ": the writer refuses what lies inside";
  }
}

// Asked to play the file the helper answers its size alone; asked for the
// list at a box of cells, the list, its bitmap averaged down to the dots of
// 300 dpi its place spans in the box (a dot two cells, a part one whole):
// here a 40 x 30 bitmap over a drawing of 300 x 300.
TEST(ImagingListWriter, TheHelperAnswersItsSizeOrItsListForABox) {
  namespace m = md::test::metafiles;
  const m::Bytes file = m::DibWmf(40, 30, md::test::imagefiles::Opaque(40, 30));
  const struct {
    std::vector<std::string> request;
    std::size_t bytes, at;
    const char* error;
    std::pair<std::uint32_t, std::uint32_t> picture;
  } rows[] = {
      {{}, kAnswerHeaderBytes, kAnswerHeaderBytes, "", {}},
      {{kListRequest, "30", "30"}, kAnswerHeaderBytes + kListBytes, kAnswerHeaderBytes, "", {15, 15}},
      {{kListRequest, "10", "5"}, kAnswerHeaderBytes + kListBytes, kAnswerHeaderBytes, "", {5, 3}},
      {{kListRequest, "0", "5"}, kAnswerHeaderBytes + kListBytes, kAnswerHeaderBytes, "asked wrongly", {}},
      {{kListRequest, "5"}, kAnswerHeaderBytes + kListBytes, kAnswerHeaderBytes, "asked wrongly", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.request.empty() ? "at its own size" : row.request.at(1));
    const HelperList answer = RunHelper(file, row.request, row.bytes, row.at);
    EXPECT_NE(answer.error.find(row.error), std::string::npos) << answer.error;
    if (*row.error != '\0') continue;
    EXPECT_EQ(answer.header.width, 300);
    EXPECT_EQ(answer.header.height, 300);
    if (row.request.empty()) {
      EXPECT_EQ(answer.list.vectors, VectorsAnswer::None);
      continue;
    }
    ASSERT_EQ(answer.list.vectors, VectorsAnswer::List);
    EXPECT_EQ(PictureSizes(answer.list), (std::vector{row.picture}));
    std::string why;
    EXPECT_NE(md::imaging::ReadDrawList(answer.list.data(), answer.list.bytes, &why), nullptr) << why;
  }
}

// Every metafile of the tests' and the fuzz corpora's seeds answers a list
// for a box of its own size at 600 dpi that the library reads.
TEST(ImagingListWriter, EveryRealMetafilesListIsRead) {
  // The seeds of the fuzz corpora, and the files of other programs.
  std::vector<std::pair<bool, md::test::fuzz::Input>> inputs;  // WMF or not, the file
  for (const char* target : {"imagewmf", "imageemf"})
    for (md::test::fuzz::Input& in : md::test::fuzz::AllInputs(target))
      if (in.seed && in.file.find("/refused-") == std::string::npos)
        inputs.emplace_back(target == std::string("imagewmf"), std::move(in));
  const auto outside = std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/outside/files";
  for (const auto& entry : std::filesystem::directory_iterator(outside)) {
    md::test::fuzz::Input in;
    in.file = entry.path().string();
    in.bytes = md::test::fuzz::ReadInput(entry.path());
    inputs.emplace_back(entry.path().extension() == ".wmf", std::move(in));
  }
  int files = 0;
  for (const auto& [wmf, in] : inputs) {
    SCOPED_TRACE(in.file);
    ++files;
    const std::size_t maxPixels = std::size_t{kMetafileMaxSide} * kMetafileMaxSide;  // the most it may take
    std::vector<std::string> args = {
        wmf ? "wmf" : "emf", std::to_string(maxPixels), std::to_string(kMemory), kListRequest, "1200", "900"};
    Written list;
    std::string error;
    ASSERT_TRUE(RunIsolated(
        ProgramBesideLibrary(kMetafileHelper), args, in.bytes.data(), in.bytes.size(),
        kAnswerHeaderBytes + kListBytes,
        [&](const void* buffer) {
          AnswerHeader header;
          std::memcpy(static_cast<void*>(&header), buffer, sizeof header);
          list.vectors = static_cast<VectorsAnswer>(header.vectors);
          list.bytes = std::min<std::size_t>(header.listBytes, kListBytes);
          list.words.resize((list.bytes + 7) / 8);
          if (list.bytes > 0)  // none where it answers a drawing from pixels
            std::memcpy(list.words.data(), static_cast<const std::uint8_t*>(buffer) + kAnswerHeaderBytes,
                        list.bytes);
          return std::string();
        },
        IsolationLimits(), &error))
        << error;
    // A hatched brush of an EMF (gnuplot's and fig2dev's pattern fills) is
    // a pattern of a drawn cell in cairo's SVG of librsvg's drawing, its
    // cell painted into a picture the list repeats. LibreOffice's texts of
    // many scripts, in fourteen sizes each, pass the SVG's 4 MiB as glyphs
    // drawn: they are drawn from pixels, which the answer says.
    if (in.file.ends_with("/libreoffice-scripts.emf")) {
      EXPECT_EQ(list.vectors, VectorsAnswer::TooLarge);
      continue;
    }
    ASSERT_EQ(list.vectors, VectorsAnswer::List);
    std::string why;
    EXPECT_NE(md::imaging::ReadDrawList(list.data(), list.bytes, &why), nullptr) << why;
  }
  EXPECT_GE(files, 13 + 28);
}

}  // namespace
