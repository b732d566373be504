// Draw lists that pass every check of the reader and cost the host, its
// vector file or a viewer of it far more than their bytes say, one kind of
// cost each: a picture shown at many sizes, curves stroked far past the box,
// hairlines squeezed across themselves, a round-capped pen squeezed by its
// matrix, gradients repeated across the box, a fill crossing itself at
// every curve. Each in a drawing of 100 x 100 units, of a size given by a
// count, for the tests, the bench of their costs and the fuzzer's seeds.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/platform/imaging/drawlistbuilder.h"

namespace md::test::costly {

namespace cdl = md::imaging::drawlist;

inline cdl::Paint Black() { return ListBuilder::Colour(0, 0, 0); }

// Opaque pixels of noise.
inline std::vector<std::uint32_t> Noise(std::size_t count, std::uint64_t seed = 88172645463325252ull) {
  std::vector<std::uint32_t> pixels(count);
  for (std::uint32_t& p : pixels) {
    seed ^= seed << 13;
    seed ^= seed >> 7;
    seed ^= seed << 17;
    p = static_cast<std::uint32_t>(seed >> 32) | 0xFF000000u;
  }
  return pixels;
}

// One picture of side x side pixels of noise shown `shows` times over the
// drawing, each a little smaller than the one before.
inline std::vector<std::uint8_t> PictureSizesList(std::uint32_t side, int shows) {
  ListBuilder b(100, 100);
  b.Picture(side, side, Noise(std::size_t{side} * side));
  for (int k = 0; k < shows; ++k) {
    const double s = 100.0 / side * (1 - k / 64.0);
    b.Image(0, cdl::Matrix{s, 0, 0, s, 0, 0});
  }
  return b.Bytes();
}

// One stroke, a pixel of the drawing wide, of `curves` curves whose control
// points lie `far` units out of the drawing, their ends within it.
inline std::vector<std::uint8_t> FarCurvesStrokedList(int curves, float far = 1000000) {
  ListPath p;
  p.Move(50, 50);
  for (int k = 0; k < curves; ++k)
    p.Curve(k % 2 ? -far : far, k % 3 ? far : -far, k % 2 ? far : -far, k % 5 ? -far : far,
            static_cast<float>(k % 100), static_cast<float>(k % 97));
  cdl::StrokeHead pen;
  pen.paint = Black();
  pen.width = 1;
  return ListBuilder(100, 100).Stroke(pen, {}, p).Bytes();
}

// `count` dashed hairlines across the drawing, each squeezed across itself
// `squeeze` times by its matrix (its points spread as much), each in as many
// dashes along its own length as the reader's bound on dashes shares out:
// painted a dot wide at the matrix's mean scale, each is cut into some
// `squeeze` times more.
inline std::vector<std::uint8_t> SqueezedHairlinesList(int count, double squeeze = 1024) {
  cdl::StrokeHead pen;
  pen.paint = Black();
  pen.width = 0;
  pen.flags = cdl::kStrokeHairline;
  const double across = squeeze * squeeze;
  // The reader counts each entry of the array at each period along a
  // line's own length, and once more.
  const double dash = 100.0 / (static_cast<double>(cdl::kMaxDashes) / count / 2 - 1) / 2 * 1.01;
  ListBuilder b(100, 100);
  for (int k = 0; k < count; ++k) {
    const float y = static_cast<float>((k + 0.5) * 100 / count * across);
    b.Stroke(pen, {dash, dash}, ListPath().Move(0, y).Line(100, y));
  }
  // Each record under the matrix that squeezes its y.
  std::vector<std::uint8_t> bytes = b.Bytes();
  for (std::size_t at = sizeof(cdl::Header); at < bytes.size();) {
    cdl::RecordHead head;
    std::memcpy(&head, bytes.data() + at, sizeof head);
    const cdl::Matrix m{1, 0, 0, 1 / across, 0, 0};
    std::memcpy(bytes.data() + at + sizeof head + offsetof(cdl::StrokeHead, matrix), &m, sizeof m);
    at += sizeof head + head.bytes;
  }
  return bytes;
}

// A curve dashed with round caps (or `cap`), `width` wide (8 unless given),
// its matrix squeezing its length `squeeze` times (1,024 unless given) and
// stretching its width as much: a pen of the box's size for each of a
// hundred thousand dashes.
inline std::vector<std::uint8_t> SqueezedDashesList(double width = 8, double squeeze = 1024,
                                                    cdl::Cap cap = cdl::Cap::Round) {
  constexpr float kFar = 1048575;
  cdl::StrokeHead pen;
  pen.paint = Black();
  pen.width = width;
  pen.cap = static_cast<std::uint32_t>(cap);
  pen.matrix = cdl::Matrix{1 / squeeze, 0, 0, squeeze, 0, 0};
  const float y = static_cast<float>(8 / squeeze);
  ListPath p;
  p.Move(8, y).Curve(kFar / 3, 5 * y, kFar * 2 / 3, 2.5f * y, kFar, 3.75f * y);
  return ListBuilder(100, 100).Stroke(pen, {5.3, 5.3}, p).Bytes();
}

// `uses` fills of the drawing with a linear gradient of `stops` stops, red
// and blue in turn, repeated `repeats` times across it.
inline std::vector<std::uint8_t> RepeatedStopsList(int stops, double repeats, int uses) {
  cdl::GradientHead g;
  g.type = static_cast<std::uint32_t>(cdl::GradientType::Linear);
  g.extend = static_cast<std::uint32_t>(cdl::Extend::Repeat);
  g.points[2] = 100 / repeats;
  std::vector<cdl::GradientStop> list;
  for (int k = 0; k < stops; ++k)
    list.push_back({static_cast<double>(k) / stops, {k % 2 ? 1.0 : 0.0, 0, k % 2 ? 0.0 : 1.0, 1}});
  ListBuilder b(100, 100);
  b.Gradient(g, list);
  for (int k = 0; k < uses; ++k) b.Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 100, 100));
  return b.Bytes();
}

// `uses` fills of the drawing with a radial gradient of 4 stops repeated
// 1,024 times across it, its circles about its middle.
inline std::vector<std::uint8_t> RepeatedRadialsList(int uses) {
  cdl::GradientHead g;
  g.type = static_cast<std::uint32_t>(cdl::GradientType::Radial);
  g.extend = static_cast<std::uint32_t>(cdl::Extend::Repeat);
  const double points[6] = {50, 50, 0, 50, 50, 100 / 1024.0 * 1.0001};
  std::memcpy(g.points, points, sizeof points);
  ListBuilder b(100, 100);
  b.Gradient(g, {{0, {1, 0, 0, 1}}, {0.3, {0, 1, 0, 1}}, {0.6, {0, 0, 1, 1}}, {1, {1, 0, 0, 1}}});
  for (int k = 0; k < uses; ++k) b.Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 100, 100));
  return b.Bytes();
}

// One even-odd fill of a path of `curves` curves from one side of the
// drawing to the other and back, each crossing hundreds of the others.
inline std::vector<std::uint8_t> CrossingCurvesList(int curves) {
  ListPath p;
  p.Move(0, 0);
  std::uint64_t r = 88172645463325252ull;
  for (int k = 0; k < curves; ++k) {
    r ^= r << 13;
    r ^= r >> 7;
    r ^= r << 17;
    const float y = static_cast<float>(std::fmod(k * 100.0 / curves + (r % 1000) * 0.03, 100.0));
    const float x = k % 2 == 0 ? 100.0f : 0.0f;
    p.Curve(33, y, 66, 100 - y, x, y);
  }
  return ListBuilder(100, 100).Fill(Black(), p.Close(), cdl::FillRule::EvenOdd).Bytes();
}

}  // namespace md::test::costly
