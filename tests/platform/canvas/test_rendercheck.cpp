// The render checks' masks and comparisons on small made-up pictures.
#include <gtest/gtest.h>

#include "platform/canvas/raster.h"
#include "tests/support/rendercheck.h"

namespace {

using md::canvas::Raster;

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlue = 0x2040A0, kBlend = 0x90A0D0;

// A white 12 x 10 picture with a blue 4 x 4 square at (4, 3) whose right
// column is blended with the background, as anti-aliasing leaves it.
Raster Square(int dx = 0) {
  Raster r;
  r.width = 12;
  r.height = 10;
  r.pixels.assign(120, kWhite);
  for (int y = 3; y < 7; ++y) {
    for (int x = 4 + dx; x < 8 + dx; ++x) r.pixels[y * 12 + x] = x == 7 + dx ? kBlend : kBlue;
  }
  return r;
}

bool Masked(const Raster& mask, int x, int y) { return (mask.at(x, y) & 0xFFFFFF) != 0; }

TEST(RenderCheck, TheMaskCoversBlendedPixelsOnly) {
  // A blue block large enough to have a pixel with eight blue neighbours.
  Raster r = Square();
  const Raster mask = md::test::AntialiasMask(r);
  ASSERT_EQ(mask.pixels.size(), r.pixels.size());
  EXPECT_FALSE(Masked(mask, 0, 0));                                  // white background: flat
  EXPECT_FALSE(Masked(mask, 5, 4));                                  // blue with blue all around: flat
  EXPECT_FALSE(Masked(mask, 4, 3));                                  // a blue corner is blue, a flat colour
  for (int y = 3; y < 7; ++y) EXPECT_TRUE(Masked(mask, 7, y)) << y;  // the blended column
}

TEST(RenderCheck, OnlyUnmaskedPixelsBeyondTheToleranceCount) {
  const Raster control = Square();
  const Raster mask = md::test::AntialiasMask(control);
  Raster rendered = control;
  EXPECT_EQ(md::test::MaskedDifference(control, mask, rendered, 48), 0);

  rendered.pixels[4 * 12 + 7] = 0xFFFFFF;  // a blended pixel renders differently: masked
  EXPECT_EQ(md::test::MaskedDifference(control, mask, rendered, 48), 0);
  rendered.pixels[0] = 0xF0F0F0;  // a small change within the tolerance
  EXPECT_EQ(md::test::MaskedDifference(control, mask, rendered, 48), 0);

  // The square moved one pixel right: the column it left shows white, and
  // its blended column lands on white background, both unmasked.
  EXPECT_EQ(md::test::MaskedDifference(control, mask, Square(1), 48), 8);
  // Another colour everywhere is noticed everywhere it is not masked.
  Raster recoloured = control;
  for (auto& p : recoloured.pixels) p = p == kBlue ? 0xA02020 : p;
  EXPECT_EQ(md::test::MaskedDifference(control, mask, recoloured, 48), 12);

  Raster smaller = control;
  smaller.width = 11;
  smaller.pixels.resize(110);
  EXPECT_EQ(md::test::MaskedDifference(control, mask, smaller, 48), -1);
}

TEST(RenderCheck, AMissingControlFailsWithWhereToMakeIt) {
  if (md::test::UpdatingControls()) GTEST_SKIP() << "controls are being renewed";
  const testing::AssertionResult r =
      md::test::MatchesControl(Square(), "tests/platform/canvas/controls", "no_such_control");
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("no_such_control"), std::string::npos);
}

}  // namespace
