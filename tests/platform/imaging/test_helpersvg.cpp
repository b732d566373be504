// The helper's reading of cairo's SVG of a drawing before it writes the draw
// list: what a document draws once its references are followed, refused past
// the bounds; its pictures' pixels counted; a style sheet holding markup
// refused as referring outside.
#include <glib.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <tuple>

#include "platform/imaging/helper/svg/svgcheck.h"
#include "platform/imaging/helper/svg/svgmeasure.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/imagefiles.h"

namespace {

using namespace md::imaging::detail;
namespace c = md::test::costly;
namespace f = md::test::imagefiles;

TEST(ImagingHelperSvg, WhatADocumentDrawsIsCountedWithItsReferencesFollowed) {
  // Inside the root, which counts one element; the elements, segments and
  // layers drawn, and how deep.
  const std::pair<const char*, std::array<std::uint64_t, 4>> rows[] = {
      {"<path d='M 0 0 L 1 0 C 1 2 2 2 2 1 Z m0,0 1,0 1,1 h2v-3'/>", {2, 7, 0, 2}},
      {"<defs><g id='g'><rect/><path d='M0 0L1 1'/></g><clipPath id='c'><rect/></clipPath><pattern id='p'>"
       "<path d='M0 0L1 1'/></pattern></defs><use xlink:href='#g'/><use xlink:href='#g'/><g "
       "clip-path='url(#c)'><path style='fill:url(#p)' d='M0 0L1 1'/></g>",
       {15, 16, 0, 5}},
      {"<defs><g id='f' style='opacity:0.5'/><mask id='m'><rect/></mask></defs><use xlink:href='#f'/>"
       "<use xlink:href='#f'/><g style='opacity:1'/><rect mask='url(#m)'/><g filter='url(#x)'/>",
       {10, 8, 4, 4}},
  };
  for (const auto& [body, drawn] : rows) {
    const SvgMeasure measure = MeasureSvg(std::string("<svg>") + body + "</svg>");
    EXPECT_EQ((std::array{measure.instances, measure.segments, measure.layers, measure.depth}), drawn)
        << body;
  }
}

// PNG data of the picture, as a document's reference holds it.
std::string PngData(const f::Bytes& png) {
  const std::unique_ptr<gchar, decltype(&g_free)> base64(g_base64_encode(png.data(), png.size()), g_free);
  return "data:image/png;base64," + std::string(base64.get());
}

// An image element showing a PNG of one pixel whose header says it is side x
// side pixels (nothing decodes it), its data told apart from the others' by
// `copy` blanks at its end.
std::string PictureElement(std::uint32_t side, int copy = 0) {
  f::Bytes png = f::Png(1, 1, f::Opaque(1, 1));
  for (int k = 0; k < 8; ++k) png[16 + k] = static_cast<std::uint8_t>(side >> (24 - 8 * (k % 4)));
  return "<image width=\"100\" height=\"100\" xlink:href=\"" + PngData(png) + std::string(copy, ' ') +
         "\"/>\n";
}

// Pictures of sides each past what 32 bits of their pixels hold are not
// counted as few pixels: the sum stops growing instead of wrapping round, and
// a side past 2^31 - 1 is no PNG's.
TEST(ImagingHelperSvg, PicturesOfHugeSidesAreCountedAsHuge) {
  const auto many = [](int count, std::uint32_t side, std::uint32_t last) {
    std::string svg = c::SvgOpen(100, 100);
    for (int k = 0; k < count; ++k) svg += PictureElement(side, k);
    return svg + PictureElement(last, count) + "</svg>\n";
  };
  constexpr std::uint64_t kSide = 16384, kMost = 0x7FFFFFFF;
  // The document, the fewest pixels it may be counted at, what its refusal names.
  const std::tuple<std::string, std::uint64_t, const char*> rows[] = {
      {many(32, kSide, 0x80000000), 0, "the size of a picture it holds cannot be read"},
      {many(32, kSide, kMost), kMost * kMost, ""},
      {many(3, kMost, kMost), kMost * kMost, ""},
      {many(32, kSide, kSide), 33 * kSide * kSide, ""},
  };
  for (const auto& [svg, fewest, refusal] : rows) {
    const SvgMeasure m = MeasureSvg(svg);
    EXPECT_GE(m.picturePixels, fewest);
    EXPECT_EQ(m.refusal, refusal);
    EXPECT_NE(SvgPastBounds(m), "");
  }
}

// What cairo's SVG may hold, arranged to keep the writer or a painter busy
// for minutes or to make them hold gigabytes.
TEST(ImagingHelperSvg, ADocumentDrawingPastABoundIsRefused) {
  std::string faded = c::SvgOpen(9, 9);
  for (int k = 0; k <= static_cast<int>(kSvgMaxLayers); ++k) faded += "<g style=\"opacity:0.5;\"/>";
  std::string nested = c::SvgOpen(9, 9);
  for (int k = 0; k < 65; ++k) nested += "<g>";
  for (int k = 0; k < 65; ++k) nested += "</g>";
  const std::string picture = c::SvgOpen(100, 100) + PictureElement(20000) + "</svg>\n";
  const std::pair<std::string, const char*> rows[] = {
      {c::NestedGroups(5, 8), "draws 107667 elements (its references followed), more than the 50000 allowed"},
      {c::NestedGroups(9, 10), "draws 3222222223 elements (its references followed), more than the 50000"},
      {c::LongPath(330000), "draws 330000 path segments, more than the 200000 allowed"},
      {faded + "</svg>", "draws 101 layers"},
      {c::SvgOpen(9, 9) +
           "<defs><g id=\"a\"><use xlink:href=\"#a\"/></g></defs><use xlink:href=\"#a\"/></svg>",
       "its references run in a cycle through #a"},
      {picture, "its pictures take 1525 MiB decoded, more than the 1024 MiB the metafile helper may hold"},
      {nested + "</svg>", "draws 66 elements one inside another"},
      {c::SvgOpen(9, 9) +
           "<path style='stroke:rgb(0%,0%,0%);stroke-dasharray:1,1;' d='M 0 0 h 300000 z'/></svg>",
       "draws 600000 dashes, more than the 200000 allowed"},
      {c::SvgOpen(9, 9) + "<rect width='100000' height='50000' style='stroke-dasharray:0.5,0.5,1;'/></svg>",
       "draws 450000 dashes"},
  };
  for (const auto& [svg, refusal] : rows)
    EXPECT_THAT(SvgPastBounds(MeasureSvg(svg)), testing::HasSubstr(refusal));
}

// A style sheet is what the XML parser leaves of its element: a style holding
// markup, which could join the words the check looks for, fails the reference
// check. The documents are the check's fuzzing seeds too.
TEST(ImagingHelperSvg, AStyleHoldingMarkupIsNotRead) {
  const std::string open =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' viewBox='0 0 9 9'>";
  const struct {
    const char* name;
    bool passes;
    std::string body;  // inside the document's root, before a rectangle
  } rows[] = {
      {"import-split-by-a-comment", false, "<style>@im<!-- -->port 'data:text/css,rect{fill:red}';</style>"},
      {"import-split-by-an-empty-comment", false, "<style>@im<!---->port '/tmp/a.css';</style>"},
      {"import-split-by-cdata", false, "<style>@imp<![CDATA[ort 'data:text/css,rect{fill:red}';]]></style>"},
      {"import-across-two-cdata-sections", false,
       "<style><![CDATA[@imp]]><![CDATA[ort '/tmp/a.css';]]></style>"},
      {"import-split-by-an-element", false, "<style>@im<g/>port 'data:text/css,rect{fill:red}';</style>"},
      {"import-in-a-prefixed-style", false,
       "<svg:style xmlns:svg='http://www.w3.org/2000/svg'>@im<!---->port '/tmp/a.css';</svg:style>"},
      {"url-split-by-cdata", false, "<style>rect{fill:u<![CDATA[rl(]]>/tmp/p.svg#p)}</style>"},
      {"url-split-by-an-empty-comment", false, "<style>rect{fill:ur<!---->l(/tmp/p.svg#p)}</style>"},
      {"url-in-capitals-split-by-cdata", false,
       "<style title='a>b'>rect{fill:U<![CDATA[RL(]]>'/tmp/p.svg#p')}</style>"},
      {"url-in-a-style-attribute-behind-a-reference", false, "<rect style='fill:u&#114;l(/tmp/p.svg#p)'/>"},
      {"url-in-a-style-attribute-behind-an-escape", false, "<rect style='fill:u\\72 l(/tmp/p.svg#p)'/>"},
      {"style-of-text-only", true, "<!-- a --><style>rect{fill:url(#g)}</style><!-- b -->"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string svg = open + row.body + "<rect width='4' height='4'/></svg>";
    md::test::fuzz::WriteSeed("svgcheck", (row.passes ? "" : "refused-") + std::string(row.name),
                              {svg.begin(), svg.end()});
    EXPECT_EQ(SvgRefersOnlyToItself(svg), row.passes);
  }
}

}  // namespace
