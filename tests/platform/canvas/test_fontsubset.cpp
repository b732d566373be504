// Faces cut down to the glyphs a PDF file draws: the glyphs kept look as in
// the whole face, the rest is gone, and what cannot be cut is refused.
#include "platform/canvas/fontsubset.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace {

using md::canvas::detail::FaceSubset;
using md::canvas::detail::SubsetFace;

// The face the FreeType engine draws `family` with, and the glyphs of `text`.
struct Drawn {
  md::text::FaceSource source;
  std::vector<std::uint32_t> glyphs;
};

Drawn DrawnWith(const char* family, const char* text) {
  md::text::FontRequest req;
  req.face = family;
  req.height = -40;
  const md::text::FontPtr font = md::text::FreeTypeEngine().Match(req);
  Drawn d;
  if (font == nullptr || font->Face(0) == nullptr) return d;
  d.source = *font->Face(0);
  for (const md::text::Glyph& g : font->Shape(text))
    if (g.slot == 0 && g.index != 0) d.glyphs.push_back(g.index);
  return d;
}

// The glyphs drawn with the face at 40 pixels into a grey image, row by row.
std::vector<unsigned char> Render(cairo_font_face_t* face, const std::vector<std::uint32_t>& glyphs) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_A8, 60 * static_cast<int>(glyphs.size()) + 20, 70);
  cairo_t* cr = cairo_create(s);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, 40);
  std::vector<cairo_glyph_t> list;
  for (std::size_t i = 0; i < glyphs.size(); ++i) list.push_back({glyphs[i], 10.0 + 60.0 * i, 50.0});
  cairo_show_glyphs(cr, list.data(), static_cast<int>(list.size()));
  cairo_surface_flush(s);
  const int stride = cairo_image_surface_get_stride(s), h = cairo_image_surface_get_height(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  std::vector<unsigned char> pixels(data, data + static_cast<std::size_t>(stride) * h);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return pixels;
}

// The whole face, as the canvas opens it for pages and screens.
cairo_font_face_t* WholeFace(const md::text::FaceSource& src) {
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src.file.c_str()));
  FcPatternAddInteger(pat, FC_INDEX, src.index);
  if (src.syntheticBold) FcPatternAddBool(pat, FC_EMBOLDEN, FcTrue);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
  FcPatternDestroy(pat);
  return face;
}

std::size_t Inked(const std::vector<unsigned char>& pixels) {
  std::size_t n = 0;
  for (unsigned char v : pixels) n += v != 0;
  return n;
}

TEST(FontSubset, KeepsTheGlyphsDrawnRenumberedWithTheirOutlines) {
  for (const char* family : {"黑体", "宋体", "Arial"}) {
    SCOPED_TRACE(family);
    const Drawn d = DrawnWith(family, "示例地图 Map 1:50000");
    ASSERT_FALSE(d.source.file.empty());
    ASSERT_GE(d.glyphs.size(), 10u);
    FaceSubset subset;
    ASSERT_TRUE(SubsetFace(d.source, {d.glyphs.begin(), d.glyphs.end()}, &subset));
    ASSERT_NE(subset.face, nullptr);
    // Every glyph drawn has a place in the cut face; the places are distinct
    // and the cut face holds little more than them (glyph 0 comes first).
    std::set<std::uint32_t> places;
    for (std::uint32_t g : d.glyphs) {
      ASSERT_EQ(subset.index.count(g), 1u) << g;
      places.insert(subset.index.at(g));
    }
    const std::set<std::uint32_t> distinct(d.glyphs.begin(), d.glyphs.end());
    EXPECT_EQ(places.size(), distinct.size());
    EXPECT_GE(*places.begin(), 1u);
    EXPECT_LE(*places.rbegin(), distinct.size() + 4);
    // Drawn from the cut face at their new places, the glyphs look as drawn
    // from the whole face at the old ones.
    std::vector<std::uint32_t> renumbered;
    for (std::uint32_t g : d.glyphs) renumbered.push_back(subset.index.at(g));
    cairo_font_face_t* whole = WholeFace(d.source);
    const std::vector<unsigned char> cut = Render(subset.face, renumbered);
    EXPECT_GT(Inked(cut), 500u);
    EXPECT_TRUE(cut == Render(whole, d.glyphs));
    // At the old places the cut face has other glyphs or none.
    EXPECT_FALSE(Render(subset.face, d.glyphs) == cut);
    cairo_font_face_destroy(whole);
    cairo_font_face_destroy(subset.face);
  }
}

TEST(FontSubset, ASyntheticBoldFaceStaysBold) {
  Drawn d = DrawnWith("黑体", "粗体示例");
  ASSERT_FALSE(d.source.file.empty());
  const std::set<std::uint32_t> glyphs(d.glyphs.begin(), d.glyphs.end());
  FaceSubset plain, bold;
  ASSERT_TRUE(SubsetFace(d.source, glyphs, &plain));
  d.source.syntheticBold = true;
  ASSERT_TRUE(SubsetFace(d.source, glyphs, &bold));
  std::vector<std::uint32_t> places;
  for (std::uint32_t g : d.glyphs) places.push_back(bold.index.at(g));
  cairo_font_face_t* whole = WholeFace(d.source);
  const std::vector<unsigned char> boldCut = Render(bold.face, places);
  EXPECT_GT(Inked(boldCut), Inked(Render(plain.face, places)) * 11 / 10);
  EXPECT_TRUE(boldCut == Render(whole, d.glyphs));
  cairo_font_face_destroy(whole);
  cairo_font_face_destroy(plain.face);
  cairo_font_face_destroy(bold.face);
}

TEST(FontSubset, WhatCannotBeCutIsRefused) {
  const Drawn d = DrawnWith("黑体", "示例");
  ASSERT_FALSE(d.source.file.empty());
  const std::set<std::uint32_t> glyphs(d.glyphs.begin(), d.glyphs.end());
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "fontsubset";
  std::filesystem::create_directories(dir);
  const std::string notAFont = (dir / "not-a-font.ttf").string();
  std::ofstream(notAFont) << "this is no font file at all";
  const std::string empty = (dir / "empty.ttf").string();
  std::ofstream(empty).close();

  md::text::FaceSource bad = d.source;
  for (const std::string& file : {std::string(), std::string("/nonexistent/face.otf"), notAFont, empty}) {
    SCOPED_TRACE(file);
    bad.file = file;
    FaceSubset out;
    EXPECT_FALSE(SubsetFace(bad, glyphs, &out));
    EXPECT_EQ(out.face, nullptr);
  }
  // A face number past the faces of the collection.
  bad = d.source;
  bad.index = 999;
  FaceSubset out;
  EXPECT_FALSE(SubsetFace(bad, glyphs, &out));
  bad.index = -1;
  EXPECT_FALSE(SubsetFace(bad, glyphs, &out));
  // A glyph number past the face's glyphs.
  std::set<std::uint32_t> past = glyphs;
  past.insert(0xFFFFFFu);
  EXPECT_FALSE(SubsetFace(d.source, past, &out));
  EXPECT_EQ(out.face, nullptr);
  EXPECT_FALSE(SubsetFace(d.source, glyphs, nullptr));
}

}  // namespace
