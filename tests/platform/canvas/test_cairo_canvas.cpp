#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "tests/support/oddfiles.h"

using namespace md::canvas;

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr std::uint32_t kWhitePx = 0xFFFFFF;

// A top-down or bottom-up 32-bpp buffer filled white, with a canvas on it.
struct Bitmap {
  int w, h;
  std::vector<std::uint32_t> px;
  std::unique_ptr<CairoCanvas> canvas;
  Bitmap(int width, int height, bool bottomUp = false)
      : w(width), h(height), px(static_cast<std::size_t>(width) * height, kWhitePx) {
    canvas = CairoCanvas::createOnPixels(PixelBuffer{px.data(), w, h, w * 4, bottomUp});
  }
  // Pixel as seen on the device (top-down), through the canvas.
  std::uint32_t at(int x, int y) const {
    std::uint32_t v = 0;
    EXPECT_TRUE(canvas->readPixels(Rect{x, y, x + 1, y + 1}, &v));
    return v;
  }
  int count(std::uint32_t value) const {
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += at(x, y) == value;
    return n;
  }
};

// 0x00BBGGRR colour to the 0x00RRGGBB pixel layout.
std::uint32_t Px(Color c) { return (static_cast<std::uint32_t>(red(c)) << 16) | (green(c) << 8) | blue(c); }

Shape Poly(std::vector<Point> pts, bool fill = true, bool stroke = false) {
  Shape s;
  s.kind = ShapeKind::Polygon;
  s.paths.push_back(SubPath{std::move(pts), true});
  s.fill = fill;
  s.stroke = stroke;
  return s;
}

Shape Line(Point a, Point b) {
  Shape s;
  s.kind = ShapeKind::Line;
  s.paths.push_back(SubPath{{a, b}, false});
  s.stroke = true;
  return s;
}

Brush Solid(Color c) { return Brush{BrushStyle::Solid, c, Hatch::Horizontal}; }
Pen NoPen() { return Pen{PenStyle::Null, 1, 0, LineCap::Round, LineJoin::Round}; }

TEST(CairoCanvas, FillsCoverExactlyThePixelsOfThePath) {
  Bitmap b(20, 20);
  ASSERT_TRUE(b.canvas);
  b.canvas->drawShape(Poly({{2, 3}, {12, 3}, {12, 8}, {2, 8}}), NoPen(), Solid(0x0000FF), State{});
  EXPECT_EQ(b.count(Px(0x0000FF)), 10 * 5);
  EXPECT_EQ(b.at(2, 3), 0xFF0000u);
  EXPECT_EQ(b.at(11, 7), 0xFF0000u);
  EXPECT_EQ(b.at(12, 7), kWhitePx);
  EXPECT_EQ(b.at(1, 3), kWhitePx);
  // After a flush the memory buffer holds the same pixels, top byte clear.
  b.canvas->flush();
  EXPECT_EQ(b.px[3 * 20 + 2], 0xFF0000u);
}

TEST(CairoCanvas, OnePixelLinesCoverOneRow) {
  Bitmap b(20, 10);
  Pen pen{PenStyle::Solid, 1, 0x00FF00, LineCap::Round, LineJoin::Round};
  b.canvas->drawShape(Line({2, 4}, {15, 4}), pen, Solid(kWhite), State{});
  int onRow = 0;
  for (int x = 0; x < 20; ++x) onRow += b.at(x, 4) == Px(0x00FF00);
  EXPECT_GE(onRow, 13);
  EXPECT_LE(onRow, 14);
  EXPECT_EQ(b.count(Px(0x00FF00)), onRow);
}

// Each shape draws only its own paths, whatever the shapes before it had:
// more sub-paths, a dense outline, or a fill and a stroke at once.
TEST(CairoCanvas, AShapeDrawsTheSameAfterAnyOther) {
  Shape rings = Poly({{1, 1}, {6, 1}, {6, 6}, {1, 6}}, true, true);
  rings.paths.push_back(SubPath{{{8, 1}, {13, 1}, {13, 6}, {8, 6}}, true});
  rings.paths.push_back(SubPath{{{15, 1}, {19, 1}, {19, 6}}, false});
  std::vector<Point> zigzag;
  for (int i = 0; i < 70000; ++i) zigzag.push_back(Point{1.0 + (i % 2), 1.0 + 5.0 * i / 70000});
  const Shape dense = Poly(zigzag, true, true);
  const Shape after = Poly({{3, 12}, {16, 12}, {16, 17}, {3, 17}}, true, true);  // below the others
  const Pen pen{PenStyle::Solid, 2, 0x00FF00, LineCap::Round, LineJoin::Round};
  Bitmap alone(20, 20);
  alone.canvas->drawShape(after, pen, Solid(0x0000FF), State{});
  for (const Shape* before : {static_cast<const Shape*>(&rings), &dense}) {
    Bitmap b(20, 20);
    b.canvas->drawShape(*before, pen, Solid(0xFF0000), State{});
    b.canvas->fillRects({Rect{0, 0, 20, 20}}, Solid(kWhite), State{});
    b.canvas->drawShape(after, pen, Solid(0x0000FF), State{});
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) ASSERT_EQ(b.at(x, y), alone.at(x, y)) << x << "," << y;
  }
}

TEST(CairoCanvas, ClipRectanglesLimitEveryCall) {
  Bitmap b(30, 30);
  State clipped;
  clipped.clip.active = true;
  clipped.clip.rects = {Rect{0, 0, 10, 10}, Rect{20, 20, 30, 30}};
  const Shape all = Poly({{0, 0}, {30, 0}, {30, 30}, {0, 30}});
  b.canvas->drawShape(all, NoPen(), Solid(0), clipped);
  EXPECT_EQ(b.count(0), 200);
  EXPECT_EQ(b.at(5, 5), 0u);
  EXPECT_EQ(b.at(25, 25), 0u);
  EXPECT_EQ(b.at(15, 15), kWhitePx);

  // A changed clip replaces the previous one; no clip paints everywhere.
  clipped.clip.rects = {Rect{10, 10, 20, 20}};
  b.canvas->fillRects({Rect{0, 0, 30, 30}}, Solid(0x0000FF), clipped);
  EXPECT_EQ(b.count(Px(0x0000FF)), 100);
  EXPECT_EQ(b.at(5, 5), 0u);
  b.canvas->drawShape(all, NoPen(), Solid(0x00FF00), State{});
  EXPECT_EQ(b.count(Px(0x00FF00)), 900);

  // An active clip without rectangles paints nothing.
  State empty;
  empty.clip.active = true;
  b.canvas->drawShape(all, NoPen(), Solid(0), empty);
  b.canvas->fillRects({Rect{0, 0, 30, 30}}, Solid(0), empty);
  EXPECT_EQ(b.count(Px(0x00FF00)), 900);
}

TEST(CairoCanvas, ClipBandsAreHonouredRowByRow) {
  // One-pixel bands as a sloped polygon edge gives, a gap between two bands,
  // and a band narrower than the shape.
  State st;
  st.clip.active = true;
  for (int y = 0; y < 10; ++y) st.clip.rects.push_back(Rect{0, y, 20 + y, y + 1});
  st.clip.rects.push_back(Rect{0, 12, 40, 16});
  st.clip.rects.push_back(Rect{5, 16, 8, 17});
  st.clip.rects.push_back(Rect{0, 17, 40, 20});
  Bitmap b(40, 20);
  b.canvas->drawShape(Poly({{2, 0}, {18, 0}, {18, 10}, {2, 10}}), NoPen(), Solid(0),
                      st);  // inside every band
  EXPECT_EQ(b.count(0), 160);
  b.canvas->drawShape(Poly({{0, 8}, {40, 8}, {40, 20}, {0, 20}}), NoPen(), Solid(0x0000FF), st);
  EXPECT_EQ(b.at(27, 8), 0xFF0000u);  // band 8 reaches x = 28
  EXPECT_EQ(b.at(28, 8), kWhitePx);
  EXPECT_EQ(b.at(10, 11), kWhitePx);  // the gap
  EXPECT_EQ(b.at(10, 16), kWhitePx);  // the narrow band
  EXPECT_EQ(b.at(6, 16), 0xFF0000u);
  EXPECT_EQ(b.count(Px(0x0000FF)), 28 + 29 + 4 * 40 + 3 + 3 * 40);
}

TEST(CairoCanvas, FillRulesDifferOnSelfOverlappingPaths) {
  // A square wound twice in the same direction: winding fills the inner
  // square, alternate leaves it empty.
  Shape s;
  s.fill = true;
  s.paths.push_back(SubPath{{{0, 0}, {20, 0}, {20, 20}, {0, 20}}, true});
  s.paths.push_back(SubPath{{{5, 5}, {15, 5}, {15, 15}, {5, 15}}, true});
  Bitmap alt(20, 20), wind(20, 20);
  s.rule = FillRule::Alternate;
  alt.canvas->drawShape(s, NoPen(), Solid(0), State{});
  s.rule = FillRule::Winding;
  wind.canvas->drawShape(s, NoPen(), Solid(0), State{});
  EXPECT_EQ(alt.at(10, 10), kWhitePx);
  EXPECT_EQ(alt.count(0), 400 - 100);
  EXPECT_EQ(wind.at(10, 10), 0u);
  EXPECT_EQ(wind.count(0), 400);
}

TEST(CairoCanvas, HatchesRepeatEveryEightPixelsOverTheBackground) {
  struct Row {
    Hatch hatch;
    int inkPerTile;
  };
  const Row rows[] = {{Hatch::Horizontal, 8},       {Hatch::Vertical, 8}, {Hatch::ForwardDiagonal, 8},
                      {Hatch::BackwardDiagonal, 8}, {Hatch::Cross, 15},   {Hatch::DiagonalCross, 16}};
  for (const Row& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.hatch));
    Bitmap b(16, 16);
    State st;
    st.opaque = true;
    st.background = 0x00FFFF;  // yellow
    b.canvas->fillRects({Rect{0, 0, 16, 16}}, Brush{BrushStyle::Hatched, 0xFF0000, r.hatch}, st);
    EXPECT_EQ(b.count(Px(0xFF0000)), 4 * r.inkPerTile);
    EXPECT_EQ(b.count(Px(0x00FFFF)), 256 - 4 * r.inkPerTile);
    // The same pixel of neighbouring tiles matches.
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(b.at(x, y), b.at(x + 8, y + 8));

    Bitmap t(16, 16);
    st.opaque = false;
    t.canvas->fillRects({Rect{0, 0, 16, 16}}, Brush{BrushStyle::Hatched, 0xFF0000, r.hatch}, st);
    EXPECT_EQ(t.count(kWhitePx), 256 - 4 * r.inkPerTile);
  }
}

TEST(CairoCanvas, StyledPensLeaveGapsThatOpaqueModeFills) {
  for (PenStyle style : {PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot, PenStyle::DashDotDot}) {
    SCOPED_TRACE(static_cast<int>(style));
    Pen pen{style, 1, 0xFF0000, LineCap::Flat, LineJoin::Round};
    State transparent;
    transparent.opaque = false;
    Bitmap t(100, 5);
    t.canvas->drawShape(Line({0, 2}, {100, 2}), pen, Solid(kWhite), transparent);
    const int ink = t.count(Px(0xFF0000));
    EXPECT_GT(ink, 20);
    EXPECT_LT(ink, 90);
    EXPECT_EQ(t.count(kWhitePx), 500 - ink);

    State opaque;
    opaque.background = 0x00FF00;
    Bitmap o(100, 5);
    o.canvas->drawShape(Line({0, 2}, {100, 2}), pen, Solid(kWhite), opaque);
    EXPECT_EQ(o.count(Px(0xFF0000)), ink);
    EXPECT_EQ(o.count(Px(0x00FF00)), 100 - ink);
  }
  // Solid and null pens.
  Bitmap s(100, 5);
  s.canvas->drawShape(Line({0, 2}, {100, 2}), Pen{PenStyle::Solid, 1, 0, LineCap::Flat, LineJoin::Round},
                      Solid(kWhite), State{});
  EXPECT_EQ(s.count(0), 100);
  s.canvas->drawShape(Line({0, 0}, {100, 0}), Pen{PenStyle::Null, 1, 0, LineCap::Flat, LineJoin::Round},
                      Solid(kWhite), State{});
  EXPECT_EQ(s.count(0), 100);
}

TEST(CairoCanvas, BottomUpBuffersStoreTheTopRowLast) {
  Bitmap b(8, 4, true);
  b.canvas->fillRects({Rect{0, 0, 8, 1}}, Solid(0x0000FF), State{});
  b.canvas->flush();
  EXPECT_EQ(b.px[3 * 8 + 0], 0xFF0000u);  // last stored row
  EXPECT_EQ(b.px[0], kWhitePx);
  EXPECT_EQ(b.at(0, 0), 0xFF0000u);
  EXPECT_EQ(b.at(0, 3), kWhitePx);
}

TEST(CairoCanvas, TextLooksTheSameOnBottomUpAndTopDownBitmaps) {
  Bitmap down(80, 30), up(80, 30, true);
  TextRun run;
  run.text = "Ag图";
  run.font.engine = "freetype";
  run.font.face = "Arial";
  run.font.emHeight = 20;
  run.font.underline = true;
  run.origin = {4, 22};
  down.canvas->drawText(run, State{});
  up.canvas->drawText(run, State{});
  // Anti-aliased edges may round differently when rasterised mirrored; the
  // shapes must match to a few levels of grey.
  int ink = 0, worst = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      ink += down.at(x, y) != kWhitePx;
      worst = std::max(
          worst, std::abs(static_cast<int>(down.at(x, y) & 0xFF) - static_cast<int>(up.at(x, y) & 0xFF)));
    }
  EXPECT_GT(ink, 60);
  EXPECT_LE(worst, 24);
  // Glyphs stand on the baseline: ink above it, the underline just below.
  int above = 0, below = 0;
  for (int x = 0; x < 80; ++x) {
    for (int y = 4; y < 21; ++y) above += down.at(x, y) != kWhitePx;
    for (int y = 27; y < 30; ++y) below += down.at(x, y) != kWhitePx;
  }
  EXPECT_GT(above, 40);
  EXPECT_EQ(below, 0);
}

TEST(CairoCanvas, TextDrawsTheCallersGlyphsWhereTheirFontFits) {
  TextRun run;
  run.text = "Ag图";
  run.font.engine = "freetype";
  run.font.face = "Arial";
  run.font.emHeight = 20;
  run.origin = {4, 22};
  auto pixels = [&](const std::string& shapedText, double shapedHeight) {
    TextRun r = run;
    if (!shapedText.empty()) {
      md::text::FontRequest req;
      req.face = "Arial";
      req.height = shapedHeight;
      req.escapement = 300;
      r.shapedFont = md::text::FreeTypeEngine().Match(req);
      r.glyphs = std::make_shared<const std::vector<md::text::Glyph>>(r.shapedFont->Shape(shapedText));
    }
    Bitmap b(80, 30);
    b.canvas->drawText(r, State{});
    return b.px;
  };
  const auto own = pixels("", 0);
  EXPECT_EQ(pixels("Ag图", -20), own);  // the caller's glyphs, the same font
  EXPECT_NE(pixels("xx图", -20), own);  // the caller's glyphs are the ones drawn
  EXPECT_EQ(pixels("xx图", -30), own);  // another size: the canvas shapes the text itself
}

TEST(CairoCanvas, ImagesCopyExactlyAndScaleByNearestPixel) {
  std::vector<std::uint32_t> src = {0x112233, 0x445566, 0x778899, 0xAABBCC};  // 2 x 2
  Image img{src.data(), 2, 2, 8, false};
  Bitmap b(10, 10);
  b.canvas->drawImage(img, Rect{0, 0, 2, 2}, Rect{1, 1, 3, 3}, State{});
  EXPECT_EQ(b.at(1, 1), 0x112233u);
  EXPECT_EQ(b.at(2, 1), 0x445566u);
  EXPECT_EQ(b.at(1, 2), 0x778899u);
  EXPECT_EQ(b.at(2, 2), 0xAABBCCu);
  b.canvas->drawImage(img, Rect{0, 0, 2, 2}, Rect{4, 4, 8, 8}, State{});
  EXPECT_EQ(b.at(4, 4), 0x112233u);
  EXPECT_EQ(b.at(5, 5), 0x112233u);
  EXPECT_EQ(b.at(7, 7), 0xAABBCCu);
  EXPECT_EQ(b.at(6, 5), 0x445566u);
  EXPECT_EQ(b.at(8, 8), kWhitePx);

  // A bottom-up source is read top-down; source pixels outside the image
  // leave the destination alone.
  Image flipped{src.data(), 2, 2, 8, true};
  Bitmap c(4, 4);
  c.canvas->drawImage(flipped, Rect{0, 0, 3, 2}, Rect{0, 0, 3, 2}, State{});
  EXPECT_EQ(c.at(0, 0), 0x778899u);
  EXPECT_EQ(c.at(0, 1), 0x112233u);
  EXPECT_EQ(c.at(2, 0), kWhitePx);
}

TEST(CairoCanvas, ReadPixelsOutsideTheSurfaceGivesBlack) {
  Bitmap b(4, 4);
  std::vector<std::uint32_t> out(9, 0x123456);
  ASSERT_TRUE(b.canvas->readPixels(Rect{3, 3, 6, 6}, out.data()));
  EXPECT_EQ(out[0], kWhitePx);
  EXPECT_EQ(out[1], 0u);
  EXPECT_EQ(out[8], 0u);
  EXPECT_FALSE(b.canvas->readPixels(Rect{2, 2, 2, 5}, out.data()));
}

TEST(CairoCanvas, NonFiniteGeometryIsIgnored) {
  Bitmap b(10, 10);
  b.canvas->drawShape(Poly({{0, 0}, {NAN, 5}, {10, 10}}), NoPen(), Solid(0), State{});
  TextRun run;
  run.text = "x";
  run.origin = {INFINITY, 0};
  run.font.emHeight = 10;
  b.canvas->drawText(run, State{});
  EXPECT_TRUE(b.canvas->ok());
  EXPECT_EQ(b.count(kWhitePx), 100);
  b.canvas->drawShape(Poly({{0, 0}, {1e12, 0}, {1e12, 1e12}, {0, 1e12}}), NoPen(), Solid(0), State{});
  EXPECT_TRUE(b.canvas->ok());
  EXPECT_EQ(b.count(0), 100);
}

TEST(CairoCanvas, RefusesBadSurfaces) {
  EXPECT_EQ(CairoCanvas::createImage(0, 10), nullptr);
  EXPECT_EQ(CairoCanvas::createImage(10, 40000), nullptr);
  auto a4 = CairoCanvas::createPageImage(210, 297, 300);
  ASSERT_TRUE(a4);
  EXPECT_EQ(a4->width(), 2480);
  EXPECT_EQ(a4->height(), 3508);
  EXPECT_EQ(CairoCanvas::createPageImage(2100, 2970, 600), nullptr);
  EXPECT_EQ(CairoCanvas::createPageImage(210, INFINITY, 300), nullptr);
  std::vector<std::uint32_t> px(16);
  EXPECT_EQ(CairoCanvas::createOnPixels(PixelBuffer{px.data(), 4, 4, 15, false}), nullptr);
  EXPECT_EQ(CairoCanvas::createOnPixels(PixelBuffer{nullptr, 4, 4, 16, false}), nullptr);
  EXPECT_EQ(CairoCanvas::createPdf("/nonexistent-dir/x.pdf", 210, 297, 300), nullptr);
  const std::string out = std::string(MD_TEST_OUTPUT_DIR) + "/cairo-bad.pdf";
  EXPECT_EQ(CairoCanvas::createPdf(out, -1, 297, 300), nullptr);
  EXPECT_EQ(CairoCanvas::createPdf(out, 210, NAN, 300), nullptr);
  EXPECT_EQ(CairoCanvas::createSvg(out, 210, 297, 0), nullptr);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// PNG, PDF and SVG files replace what is at their path the safe way: the
// permission bits and a symbolic link stay, a read-only file is refused.
TEST(CairoCanvas, FilesAreWrittenKeepingWhatTheUserSetOnThem) {
  const std::filesystem::path root = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "cairo-safe-writes";
  md::test::ExpectSafeWrites(root / "png", [](const std::string& path) {
    auto c = CairoCanvas::createImage(8, 4);
    return c != nullptr && c->writePng(path);
  });
  for (const char* kind : {"pdf", "svg"}) {
    SCOPED_TRACE(kind);
    md::test::ExpectSafeWrites(root / kind, [kind](const std::string& path) {
      auto c = std::string(kind) == "pdf" ? CairoCanvas::createPdf(path, 20, 10, 254)
                                          : CairoCanvas::createSvg(path, 20, 10, 254);
      if (c == nullptr) return false;
      c->drawShape(Poly({{10, 10}, {90, 10}, {50, 40}}), NoPen(), Solid(0x0000FF), State{});
      return c->finish();
    });
  }
}

TEST(CairoCanvas, VectorPagesHaveTheirSizeInMillimetres) {
  std::filesystem::create_directories(MD_TEST_OUTPUT_DIR);
  const std::string pdf = std::string(MD_TEST_OUTPUT_DIR) + "/cairo-page.pdf";
  const std::string svg = std::string(MD_TEST_OUTPUT_DIR) + "/cairo-page.svg";
  for (const std::string& path : {pdf, svg}) {
    auto c =
        path == pdf ? CairoCanvas::createPdf(path, 100, 50, 254) : CairoCanvas::createSvg(path, 100, 50, 254);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->width(), 1000);  // 100 mm at 10 pixels per mm
    EXPECT_EQ(c->height(), 500);
    c->drawShape(Poly({{100, 100}, {900, 100}, {500, 400}}), NoPen(), Solid(0x0000FF), State{});
    TextRun run;
    run.text = "图例";
    run.font.engine = "freetype";
    run.font.face = "宋体";
    run.font.emHeight = 50;
    run.origin = {100, 450};
    c->drawText(run, State{});
    EXPECT_TRUE(c->finish());
  }
  const std::string p = ReadFile(pdf);
  EXPECT_EQ(p.rfind("%PDF", 0), 0u);
  // 100 x 50 mm is 283.46 x 141.73 points.
  EXPECT_NE(p.find("283.46"), std::string::npos);
  const std::string s = ReadFile(svg);
  EXPECT_NE(s.find("<svg"), std::string::npos);
  EXPECT_NE(s.find("width=\"283.46"), std::string::npos);
}

}  // namespace
