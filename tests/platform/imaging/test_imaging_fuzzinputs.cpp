// The picture fuzz targets' seeds are small pictures of every format the
// loader reads (icons, cursors and metafiles with targets of their own, some of them the files of
// tests/platform/imaging/data), and damaged files named "refused-..." that lead the fuzzers to the
// branches that refuse them (the BMP run-length and bit-field ones, icons' damaged images, metafiles'
// frames); the SVG check's seeds are a document cairo wrote and documents it refuses. Every seed and
// every input that once broke a reader goes through the targets' checks.
#include <cairo-svg.h>
#include <gtest/gtest.h>

#include <map>

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/image_input.h"
#include "tests/fuzz/svgcheck_input.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;
using md::test::fuzz::AllInputs;
using md::test::fuzz::Input;
using md::test::fuzz::WriteSeed;

f::Bytes BytesOf(const std::string& s) { return f::Bytes(s.begin(), s.end()); }

// An SVG document as cairo writes one of a drawing: a clipped path, a
// picture and a line of text.
f::Bytes CairoSvg() {
  std::string out;
  cairo_surface_t* document = cairo_svg_surface_create_for_stream(
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &out, 40, 20);
  cairo_t* cr = cairo_create(document);
  cairo_rectangle(cr, 1, 1, 30, 15);
  cairo_clip(cr);
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, 40, 20);
  cairo_stroke(cr);
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 2);
  cairo_set_source_surface(cr, picture, 5, 5);
  cairo_paint(cr);
  cairo_surface_destroy(picture);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_move_to(cr, 2, 14);
  cairo_show_text(cr, "Map");
  cairo_destroy(cr);
  cairo_surface_finish(document);
  cairo_surface_destroy(document);
  return BytesOf(out);
}

TEST(ImagingFuzzInputs, SeedsArePicturesAndEveryInputPassesTheChecks) {
  WriteSeed("imagebmp", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imagebmp", "bmp8", f::Bmp(11, 4, 8, 150));
  WriteSeed("imagebmp", "bmp32-topdown", f::Bmp(8, 6, 32, 0, true));
  WriteSeed("imagebmp", "bmp-rle8", f::RleBmp(4, 2, 8, {4, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 0, 0, 1}));
  WriteSeed("imagebmp", "refused-rle8-moves-past-the-row",
            f::RleBmp(1, 1, 8, {0, 2, 255, 0, 0, 3, 1, 1, 1, 0, 0, 1}));
  WriteSeed("imagebmp", "refused-alpha-mask-past-the-header", f::BitFieldsBmp(52, 6, true));
  WriteSeed("imageloader", "bmp24", f::Bmp(5, 3, 24, 96));
  WriteSeed("imageloader", "png", f::Png(16, 12, f::Opaque(16, 12), 300));
  WriteSeed("imageloader", "png-alpha",
            f::Png(2, 1, [](int x, int) { return x == 0 ? 0x80FF0000u : 0x0000FF00u; }));
  WriteSeed("imageloader", "jpeg", f::Jpeg(32, 16, f::Opaque(32, 16), 72));
  WriteSeed("imageloader", "gif", f::Gif(10, 8));
  WriteSeed("imageloader", "gif-interlaced-transparent", f::Gif(9, 17, true, true));
  WriteSeed("imageloader", "tiff", f::Tiff(12, 10, f::Opaque(12, 10), 200));

  WriteSeed("imageico", "ico-png-and-dib",
            m::Icon(1, {{16, 16, 24, m::IconDib(16, 16, 24, f::Opaque(16, 16))},
                        {32, 32, 32, f::Png(32, 32, f::Opaque(32, 32))}}));
  WriteSeed(
      "imageico", "ico-dib32-alpha",
      m::Icon(1, {{8, 8, 32, m::IconDib(8, 8, 32, [](int x, int) { return x < 4 ? 0x80FF0000u : 0u; })}}));
  WriteSeed(
      "imageico", "cur-dib24-mask",
      m::Icon(2, {{6, 4, 24, m::IconDib(6, 4, 24, [](int x, int y) { return x == y ? 0u : 0xFF00FF00u; })}}));
  WriteSeed("imagewmf", "wmf", m::SampleWmf());
  WriteSeed("imageemf", "emf", m::SampleEmf());

  const std::string svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">";
  WriteSeed("svgcheck", "cairo", CairoSvg());
  WriteSeed("svgcheck", "refused-import", BytesOf(svg + "<style>@import 'a.css';</style></svg>"));
  WriteSeed("svgcheck", "refused-doctype", BytesOf("<!DOCTYPE svg SYSTEM \"a.dtd\">" + svg + "</svg>"));
  WriteSeed("svgcheck", "refused-base", BytesOf(svg + "<use xml:base=\"/tmp/\" xlink:href=\"#a\"/></svg>"));
  WriteSeed("svgcheck", "refused-encoding",
            BytesOf("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + svg + "</svg>"));
  WriteSeed("svgcheck", "refused-png-holding-text",
            BytesOf(svg + "<image xlink:href=\"data:image/png;base64,PHN2Zz4=\"/></svg>"));

  int seeds = 0;
  const std::map<std::string, bool (*)(const std::uint8_t*, std::size_t)> readers = {
      {"imagebmp", &md::test::ReadImageBmpInput}, {"imageloader", &md::test::ReadImageLoaderInput},
      {"imageico", &md::test::ReadImageIcoInput}, {"imagewmf", &md::test::ReadImageWmfInput},
      {"imageemf", &md::test::ReadImageEmfInput}, {"svgcheck", &md::test::ReadSvgCheckInput}};
  for (const auto& [target, read] : readers) {
    for (const Input& in : AllInputs(target.c_str())) {
      SCOPED_TRACE(in.file);
      const bool picture = read(in.bytes.data(), in.bytes.size());
      if (!in.seed) continue;
      // Every seed is a whole picture but those named as refused.
      EXPECT_EQ(picture, in.file.find("/refused-") == std::string::npos);
      ++seeds;
    }
  }
  EXPECT_GE(seeds, 24);
}

}  // namespace
