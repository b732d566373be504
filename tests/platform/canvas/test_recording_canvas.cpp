// The recording canvas keeps each call with its state, in order.
#include <gtest/gtest.h>

#include "platform/canvas/recording.h"

namespace {

using namespace md::canvas;

TEST(RecordingCanvas, KeepsCallsStatesAndQueries) {
  RecordingCanvas c(50, 40);
  EXPECT_EQ(c.width(), 50);
  EXPECT_EQ(c.height(), 40);
  State clipped;
  clipped.clip.active = true;
  clipped.clip.rects = {{0, 0, 10, 10}, {20, 0, 30, 10}};
  clipped.opaque = false;
  Shape line;
  line.kind = ShapeKind::Polyline;
  line.stroke = true;
  line.paths = {{{{1, 2}, {3, 4}}, false}, {{{5, 6}}, false}};
  Pen pen;
  pen.style = PenStyle::DashDot;
  pen.width = 2.5;
  Brush none;
  none.style = BrushStyle::Null;
  c.drawShape(line, pen, none, clipped);
  Brush red;
  red.color = 0x0000FF;
  c.fillRects({{1, 1, 2, 2}}, red, State{});
  TextRun run;
  run.text = "图例";
  run.advances = {12, 12};
  c.drawText(run, clipped);
  Shape poly = line;
  poly.kind = ShapeKind::Polygon;
  c.drawShape(poly, pen, red, State{});

  ASSERT_EQ(c.records().size(), 4u);
  const Record& first = c.records()[0];
  EXPECT_EQ(first.Points(), (std::vector<Point>{{1, 2}, {3, 4}, {5, 6}}));
  EXPECT_EQ(first.pen, pen);
  EXPECT_EQ(first.state.clip, clipped.clip);
  EXPECT_FALSE(first.state.opaque);
  EXPECT_EQ(c.recordsOf(Record::Type::Rects).size(), 1u);
  EXPECT_EQ(c.recordsOf(Record::Type::Rects)[0]->brush.color, 0x0000FFu);
  EXPECT_EQ(c.recordsOf(Record::Type::Text)[0]->text.text, "图例");
  ASSERT_EQ(c.shapesOf(ShapeKind::Polygon).size(), 1u);
  EXPECT_EQ(c.shapesOf(ShapeKind::Polygon)[0], &c.records()[3]);
  EXPECT_TRUE(c.shapesOf(ShapeKind::Ellipse).empty());
  EXPECT_FALSE(c.readPixels({0, 0, 1, 1}, nullptr));
  c.clear();
  EXPECT_TRUE(c.records().empty());
}

TEST(RecordingCanvas, ImagesKeepTheCopiedPixelsTopDown) {
  // A 3 x 2 image stored bottom-up: row 0 in memory is the bottom row.
  const std::uint32_t px[] = {4, 5, 6, 1, 2, 3};
  Image img{px, 3, 2, 12, true};
  RecordingCanvas c(10, 10);
  c.drawImage(img, {1, 0, 3, 2}, {5, 5, 7, 7}, State{});
  const Record& r = c.records().back();
  EXPECT_EQ(r.type, Record::Type::Image);
  EXPECT_EQ(r.pixels, (std::vector<std::uint32_t>{2, 3, 5, 6}));
  EXPECT_EQ(r.dst, (Rect{5, 5, 7, 7}));
  EXPECT_FALSE(r.premultiplied);
  // A source rectangle reaching outside the image keeps no pixels.
  c.drawImage(img, {2, 0, 5, 2}, {0, 0, 3, 2}, State{});
  EXPECT_TRUE(c.records().back().pixels.empty());
  // Pixels with alpha say so.
  img.premultiplied = true;
  c.drawImage(img, {0, 0, 1, 1}, {0, 0, 1, 1}, State{});
  EXPECT_TRUE(c.records().back().premultiplied);
}

}  // namespace
