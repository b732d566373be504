// A page painted band by band from a BandRecording comes out as the same
// calls painted on one raster, whatever the bands' height: wide mitred
// strokes, hatches under a clip, rectangles, images and text at any angle
// across the bands' edges, with the engine's advances or without.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/canvas/banding.h"
#include "platform/canvas/cairo_canvas.h"

using namespace md::canvas;

namespace {

constexpr int kWidth = 240, kHeight = 180;

void Scene(Canvas& c) {
  State clipped;
  clipped.clip.active = true;
  clipped.clip.rects = {Rect{10, 20, 200, 150}};
  Shape zigzag;
  zigzag.stroke = true;
  zigzag.paths = {SubPath{{{20, 30}, {60, 90}, {100, 31}, {140, 95}, {220, 40}}, false}};
  c.drawShape(zigzag, Pen{PenStyle::Solid, 9, 0x2040C0, LineCap::Square, LineJoin::Miter},
              Brush{BrushStyle::Null, 0, Hatch::Horizontal}, State{});
  Shape ring;
  ring.kind = ShapeKind::Polygon;
  ring.fill = ring.stroke = true;
  ring.paths = {SubPath{{{30.5, 100.25}, {180.75, 120.5}, {90.2, 170.9}}, true}};
  c.drawShape(ring, Pen{PenStyle::Solid, 2, 0x008000, LineCap::Round, LineJoin::Round},
              Brush{BrushStyle::Hatched, 0xC00000, Hatch::DiagonalCross}, clipped);
  c.fillRects({Rect{5, 60, 235, 64}, Rect{100, 0, 104, 180}},
              Brush{BrushStyle::Solid, 0x808080, Hatch::Horizontal}, State{});
  for (double angle : {0.0, 30.0, 90.0, -135.0}) {
    TextRun run;
    run.text = "Ag图层 bands";
    run.font.engine = "freetype";
    run.font.face = "Arial";
    run.font.emHeight = 17;
    run.origin = {40 + angle / 3, 70.5 + angle / 4};
    run.angle = angle;
    run.color = 0x000080;
    if (angle < 0) run.advances.assign(10, 9.5);
    c.drawText(run, angle == 30.0 ? clipped : State{});
  }
  std::vector<std::uint32_t> pixels(12 * 9);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = 0xFF0000u + static_cast<std::uint32_t>(i) * 997u;
  c.drawImage(Image{pixels.data(), 12, 9, 48, false, false}, Rect{0, 0, 12, 9}, Rect{150, 120, 198, 156},
              State{});
}

TEST(BandRecording, PaintsEveryBandAsTheWholeRasterHasIt) {
  const auto whole = CairoCanvas::createImage(kWidth, kHeight);
  ASSERT_NE(whole, nullptr);
  Scene(*whole);
  whole->flush();
  int inked = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) inked += (whole->pixelRow(y)[x] & 0xFFFFFFu) != 0xFFFFFFu;
  EXPECT_GT(inked, 5000);
  BandRecording recording(kWidth, kHeight);
  Scene(recording);
  ASSERT_TRUE(recording.paintable());
  for (int rows : {1, 7, 32, kHeight}) {
    for (int top = 0; top < kHeight; top += rows) {
      const int n = std::min(rows, kHeight - top);
      std::vector<std::uint32_t> band(static_cast<std::size_t>(kWidth) * n, 0xFFFFFFFFu);
      const auto canvas = CairoCanvas::createBand(band.data(), kWidth * 4, kWidth, kHeight, top, n);
      ASSERT_NE(canvas, nullptr);
      recording.paintBand(*canvas);
      int differing = 0;
      for (int y = top; y < top + n; ++y)
        for (int x = 0; x < kWidth; ++x)
          differing += ((canvas->pixelRow(y)[x] ^ whole->pixelRow(y)[x]) & 0xFFFFFFu) != 0;
      EXPECT_EQ(differing, 0) << "bands of " << rows << " rows, the one at row " << top;
    }
  }
}

struct PaintableCase {
  const char* what;
  PenStyle pen;
  bool stroke;
  bool paintable;
};

TEST(BandRecording, IsNotPaintableBandByBandWithADashedStroke) {
  const PaintableCase cases[] = {{"solid stroke", PenStyle::Solid, true, true},
                                 {"dashed stroke", PenStyle::Dash, true, false},
                                 {"dotted stroke", PenStyle::Dot, true, false},
                                 {"dash-dot-dot stroke", PenStyle::DashDotDot, true, false},
                                 {"dashed pen, fill only", PenStyle::Dash, false, true}};
  for (const PaintableCase& c : cases) {
    SCOPED_TRACE(c.what);
    BandRecording recording(50, 50);
    Shape line;
    line.fill = !c.stroke;
    line.stroke = c.stroke;
    line.paths = {SubPath{{{5, 5}, {45, 40}, {5, 40}}, true}};
    recording.drawShape(line, Pen{c.pen, 1, 0, LineCap::Flat, LineJoin::Miter},
                        Brush{BrushStyle::Solid, 0, Hatch::Horizontal}, State{});
    EXPECT_EQ(recording.paintable(), c.paintable);
  }
}

struct BandCase {
  int width, pageHeight, top, rows;
  bool made;
};

TEST(CairoCanvasBand, LiesWithinItsPageAndHoldsOnlyItsRows) {
  std::vector<std::uint32_t> pixels(40 * 10, 0xFFFFFFFFu);
  const BandCase cases[] = {{40, 100, 0, 10, true},  {40, 100, 90, 10, true}, {40, 100, 91, 10, false},
                            {40, 100, -1, 5, false}, {40, 100, 5, 0, false},  {0, 100, 0, 10, false}};
  for (const BandCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.pageHeight << ", rows " << c.top << " + "
                                    << c.rows);
    const auto band = CairoCanvas::createBand(pixels.data(), 160, c.width, c.pageHeight, c.top, c.rows);
    ASSERT_EQ(band != nullptr, c.made);
    if (band == nullptr) continue;
    EXPECT_EQ(band->height(), c.pageHeight);
    EXPECT_EQ(band->pixelRow(c.top), pixels.data());
    EXPECT_EQ(band->pixelRow(c.top - 1), nullptr);
    EXPECT_EQ(band->pixelRow(c.top + c.rows), nullptr);
    EXPECT_FALSE(band->writePng("unused.png"));
  }
}

}  // namespace
