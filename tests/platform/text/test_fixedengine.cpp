#include <gtest/gtest.h>

#include <cmath>

#include "platform/text/textengine.h"

using md::text::FixedMetricsEngine;
using md::text::FontRequest;

namespace {

FontRequest Req(double height, double width = 0) {
  FontRequest r;
  r.face = "Arial";
  r.height = height;
  r.width = width;
  return r;
}

struct MetricsRow {
  double height, width;
  double em, ascent, descent, ave, max;
};

TEST(FixedMetricsEngine, MetricsFollowTheFormula) {
  const MetricsRow rows[] = {
      // character height, cell height and the default size
      {-20, 0, 20, 16, 4, 10, 20},
      {30, 0, 30, 24, 6, 15, 30},
      {0, 0, 16, 12.8, 3.2, 8, 16},
      // a requested width scales every horizontal value
      {-20, 5, 20, 16, 4, 5, 10},
      {-10, 10, 10, 8, 2, 10, 20},
  };
  for (const MetricsRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << "height " << row.height << " width " << row.width);
    auto font = FixedMetricsEngine().Match(Req(row.height, row.width));
    const auto& m = font->Metrics();
    EXPECT_DOUBLE_EQ(m.em, row.em);
    EXPECT_DOUBLE_EQ(m.ascent, row.ascent);
    EXPECT_DOUBLE_EQ(m.descent, row.descent);
    EXPECT_DOUBLE_EQ(m.height, row.em);
    EXPECT_DOUBLE_EQ(m.internalLeading, 0);
    EXPECT_DOUBLE_EQ(m.aveCharWidth, row.ave);
    EXPECT_DOUBLE_EQ(m.maxCharWidth, row.max);
  }
}

TEST(FixedMetricsEngine, AdvancesAreHalfEmForAsciiAndFullEmOtherwise) {
  auto font = FixedMetricsEngine().Match(Req(-24));
  const std::string s = "Ab 中文\xC3\xA9";  // A, b, space, two Chinese characters, e-acute
  const std::vector<double> adv = font->Advances(s);
  ASSERT_EQ(adv.size(), 6u);
  EXPECT_DOUBLE_EQ(adv[0], 12);
  EXPECT_DOUBLE_EQ(adv[1], 12);
  EXPECT_DOUBLE_EQ(adv[2], 12);
  EXPECT_DOUBLE_EQ(adv[3], 24);
  EXPECT_DOUBLE_EQ(adv[4], 24);
  EXPECT_DOUBLE_EQ(adv[5], 24);
  const auto e = font->Measure(s);
  EXPECT_DOUBLE_EQ(e.width, 3 * 12 + 3 * 24);
  EXPECT_DOUBLE_EQ(e.height, 24);

  // Glyph positions accumulate the advances and keep the byte offsets.
  const auto glyphs = font->Shape(s);
  ASSERT_EQ(glyphs.size(), 6u);
  EXPECT_DOUBLE_EQ(glyphs[3].x, 36);
  EXPECT_EQ(glyphs[3].byteOffset, 3u);
  EXPECT_EQ(glyphs[3].byteLength, 3u);
  EXPECT_DOUBLE_EQ(glyphs[5].x, 36 + 48);
  EXPECT_EQ(glyphs[5].byteOffset, 9u);
}

TEST(FixedMetricsEngine, MalformedBytesCountAsOneFullEmEach) {
  auto font = FixedMetricsEngine().Match(Req(-10));
  // A lone continuation byte, a truncated three-byte sequence at the end.
  const std::string s =
      "a\x80"
      "b\xE4\xB8";
  const auto glyphs = font->Shape(s);
  ASSERT_EQ(glyphs.size(), 5u);
  EXPECT_EQ(glyphs[1].ch, U'\xFFFD');
  EXPECT_EQ(glyphs[3].ch, U'\xFFFD');
  EXPECT_EQ(glyphs[4].ch, U'\xFFFD');
  EXPECT_DOUBLE_EQ(font->Measure(s).width, 2 * 5 + 3 * 10);
}

TEST(FixedMetricsEngine, WeightItalicAndFaceDoNotChangeMetrics) {
  FontRequest a = Req(-18);
  FontRequest b = a;
  b.face = "宋体";
  b.weight = 700;
  b.italic = true;
  auto fa = FixedMetricsEngine().Match(a);
  auto fb = FixedMetricsEngine().Match(b);
  EXPECT_DOUBLE_EQ(fa->Measure("Map 地图").width, fb->Measure("Map 地图").width);
  EXPECT_DOUBLE_EQ(fa->Metrics().ascent, fb->Metrics().ascent);
  // Drawing still needs glyphs: they come from an installed face.
  ASSERT_NE(fb->Face(0), nullptr);
  EXPECT_EQ(fb->Face(0)->family, "Noto Sans Mono CJK SC");
  EXPECT_TRUE(fb->Face(0)->syntheticBold);
  EXPECT_TRUE(fb->Face(0)->syntheticItalic);
  EXPECT_NE(fb->Shape("地")[0].index, 0u);
}

TEST(TextEngines, AreFoundByName) {
  EXPECT_EQ(md::text::EngineByName("fixed"), &FixedMetricsEngine());
  EXPECT_EQ(md::text::EngineByName("freetype"), &md::text::FreeTypeEngine());
  EXPECT_EQ(md::text::EngineByName("nonesuch"), nullptr);
}

}  // namespace
