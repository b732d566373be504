// What a helper taken over by a crafted file could answer, through a
// stand-in helper (the probe): the library stays alive, reads nothing but a
// checked list, and draws that one picture from its pixels where its answer
// is refused, in a vector file and on a raster alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/drawlistbuilder.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;
using md::test::ListBuilder;
using md::test::ListPath;
namespace dl = md::imaging::drawlist;

// The memory limit the metafile is decoded within.
constexpr std::size_t kLimit = std::size_t{64} << 10;

m::Bytes Text(const std::string& s) { return m::Bytes(s.begin(), s.end()); }

// An answer of a 1 x 1 drawing whose header says `vectors`, `listBytes` and
// `nearestRops`, then `list`: the import takes its size, a request for its
// list the rest.
m::Bytes Answer(std::uint32_t vectors, std::uint64_t listBytes, const m::Bytes& list = {}, int width = 1,
                std::uint32_t nearestRops = 0) {
  detail::AnswerHeader header;
  header.width = width;
  header.height = 1;
  header.dpiMilli = 300000;
  header.vectors = vectors;
  header.listBytes = listBytes;
  header.nearestRops = nearestRops;
  m::Bytes out(detail::kAnswerHeaderBytes, 0);
  std::memcpy(out.data(), &header, sizeof header);
  out.insert(out.end(), list.begin(), list.end());
  return out;
}

m::Bytes Random(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  m::Bytes b(n);
  for (auto& byte : b) byte = static_cast<std::uint8_t>(random());
  return b;
}

std::string Nested(int depth) {
  std::string s;
  for (int k = 0; k < depth; ++k) s += "<g>";
  for (int k = 0; k < depth; ++k) s += "</g>";
  return "<svg><defs>" + s + "</defs></svg>";
}

// Draws the picture over a 1-inch box of a PDF file and of a raster, as a
// print does; whether each canvas ended whole, and what fell short in the
// PDF file.
struct Printed {
  bool pdf = false, raster = false;
  MetafileShortfall shortfall, rasterShortfall;
};
Printed Print(const Bitmap& picture) {
  Printed out;
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/helper-answer.pdf";
  for (const bool vector : {true, false}) {
    auto canvas = vector ? md::canvas::CairoCanvas::createPdf(path, 25.4, 25.4, 300)
                         : md::canvas::CairoCanvas::createImage(300, 300);
    const HDC hdc = md::win::CreateScreenDC(canvas.get(), 300);
    MetafileShortfall shortfall;
    const bool drawn = DrawBitmap(hdc, picture, 0, 0, 300, 300, nullptr, &shortfall) != FALSE;
    DeleteDC(hdc);
    (vector ? out.pdf : out.raster) = drawn && canvas->finish();
    (vector ? out.shortfall : out.rasterShortfall) = shortfall;
  }
  return out;
}

TEST(ImagingHelperAnswers, AHostileAnswerCostsOnlyItsPictureAsVectors) {
  // A list that paints, and what a helper could answer instead.
  const m::Bytes zigzag = m::ZigzagList(40, 100, 50);
  ListPath square = ListPath().Rect(1, 1, 8, 8);
  // A radial gradient squeezed across 16,000 times, past what a raster
  // takes in a box of an inch: left out of the list drawn, which says so.
  dl::GradientHead radial;
  radial.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
  radial.extend = static_cast<std::uint32_t>(dl::Extend::Pad);
  const double circles[6] = {512, 512, 0, 512, 512, 256};
  std::copy(std::begin(circles), std::end(circles), radial.points);
  radial.matrix.yy = 16000;
  const struct {
    const char* name;
    std::string probe;
    const char* refusal;   // part of why the list is not drawn; "" when it is
    bool partial = false;  // drawn as vectors all the same, without what `refusal` says
  } rows[] = {
      {"a paint a raster cannot take",
       m::ListProbe(ListBuilder(1024, 1024)
                        .Gradient(radial, {{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}})
                        .Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 1024, 1024))
                        .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 256, 256))
                        .Bytes()),
       "a paint squeezed past what a raster can take is left out", true},
      {"a list", m::ListProbe(zigzag), ""},
      {"an SVG group whose path's data names the group",
       m::ListProbe(Text("<svg><g id=\"a\" style=\"opacity:0.5\"><path d=\"M 0 0 L 10 10 L 0 10 Z url(#a)\"/>"
                         "</g></svg>")),
       "no draw list"},
      {"an SVG mask of a rectangle masked by the mask",
       m::ListProbe(Text("<svg><mask id=\"m\"><rect width=\"1\" height=\"1\" mask=\"#m\"/></mask>"
                         "<rect width=\"1\" height=\"1\" mask=\"#m\"/></svg>")),
       "no draw list"},
      {"100,000 nested groups", m::ListProbe(Text(Nested(100000))), "no draw list"},
      {"two transforms, each invertible, not together",
       m::ListProbe(ListBuilder()
                        .Fill(ListBuilder::Colour(0, 0, 0), square, dl::FillRule::Winding,
                              dl::Matrix{1, 1, 1, 1.0000000000001, 0, 0})
                        .Bytes()),
       "cannot be inverted"},
      {"nested scales of 1e100",
       m::ListProbe(ListBuilder()
                        .PushClip(square, dl::FillRule::Winding, dl::Matrix{1e100, 0, 0, 1e100, 0, 0})
                        .PopClip()
                        .Bytes()),
       "out of range"},
      {"random bytes as a list", m::ListProbe(Random(4096, 1)), "no draw list"},
      {"a list longer than its room", m::ProbeWith("answer:", Answer(1, std::uint64_t{1} << 40)),
       "list past its room"},
      {"a list its header does not end", m::ProbeWith("answer:", Answer(1, zigzag.size() + 8, zigzag)),
       "another length"},
      {"an answer of no kind", m::ProbeWith("answer:", Answer(99, 0)), "no drawing as vectors"},
      {"a filter, as the helper words it", m::ProbeWith("answer:", Answer(17, 0)), "holds a filter"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE}, row.probe.c_str());
    ImageCache::Shared().Clear();
    const m::Bytes file = m::SampleWmf();
    const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
    ASSERT_TRUE(r) << r.error;
    const Printed printed = Print(*r.bitmap);
    EXPECT_TRUE(printed.pdf);
    EXPECT_TRUE(printed.raster);
    // Drawn from its pixels where the list is refused, with why.
    EXPECT_EQ(printed.shortfall.why.empty(), *row.refusal == '\0');
    EXPECT_EQ(printed.shortfall.fromPixels, *row.refusal != '\0' && !row.partial);
    EXPECT_EQ(printed.shortfall.partial, row.partial);
    EXPECT_NE(printed.shortfall.why.find(row.refusal), std::string::npos) << printed.shortfall.why;
  }
}

// What the whole answer says wrongly refuses the picture, with the
// library's reason (a file played for its size draws no raster operation);
// nothing of it is read past its checks.
TEST(ImagingHelperAnswers, AnAnswerOfABadSizeRefusesThePicture) {
  const std::pair<m::Bytes, const char*> rows[] = {
      {Answer(1, 0, {}, 0), "bad size"},
      {Answer(1, 0, {}, 5000), "bad size"},
      {Random(4096, 2), "bad size"},
      {Answer(0, 0, {}, 1, detail::kNearestSrcInvert), "raster operations it did not draw"},
      {Answer(0, 0, {}, 1, 1u << 31), "raster operations it did not draw"},
  };
  for (const auto& [answer, refusal] : rows) {
    const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE},
                                        m::ProbeWith("answer:", answer).c_str());
    const m::Bytes file = m::SampleWmf();
    const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find(refusal), std::string::npos) << r.error;
  }
}

// The raster operations a list (in a PDF file) or a painting (on a raster)
// says it drew as their nearest are kept with its picture and said with what
// it drew; one that names a bit no operation has is refused, as a size
// answer that names any is, its bits not kept and its picture not drawn.
TEST(ImagingHelperAnswers, AListOrPaintingNamingNoRasterOperationIsRefused) {
  const struct {
    std::uint32_t rops;
    const char* refusal;  // "" when drawn
  } rows[] = {
      {0, ""},
      {detail::kNearestSrcInvert, ""},
      {detail::kNearestRopsAll, ""},
      {detail::kNearestRopsAll + 1, "raster operation it does not name"},
      {1u << 31 | detail::kNearestSrcInvert, "raster operation it does not name"},
  };
  const m::Bytes file = m::SampleWmf();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rops);
    const m::MetafileLimitsScope limits(
        {5000, 10000, MD_IMAGING_PROBE},
        ("rops:" + std::to_string(row.rops) + ":" + m::ListProbe(m::ZigzagList(40, 100, 50))).c_str());
    ImageCache::Shared().Clear();
    const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
    ASSERT_TRUE(r) << r.error;
    const Printed printed = Print(*r.bitmap);
    const bool drawn = *row.refusal == '\0';
    EXPECT_EQ(printed.pdf, drawn);
    EXPECT_EQ(printed.raster, drawn);
    for (const MetafileShortfall& s : {printed.shortfall, printed.rasterShortfall}) {
      EXPECT_NE(s.why.find(row.refusal), std::string::npos) << s.why;
      EXPECT_EQ(s.why.empty(), drawn) << s.why;
      EXPECT_EQ(s.nearestRops, drawn ? row.rops : 0u);
    }
  }
}

// This process's peak of resident memory in KiB (VmHWM), or -1.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// An answer that claims a list of 64 MiB and holds none of it, or one whose
// list's own header says another length, is refused on its headers, and one
// that writes a valid header claiming 64 MiB and nothing after it is refused
// at its first record: the host copies none of the claim, and its peak of
// resident memory grows by less than 16 MiB. In a process of its own, whose
// peak is set back to what it holds before the list is asked for (the
// kernel's clear_refs, Linux 4.0 on; a kernel without it says so).
TEST(ImagingHelperAnswers, AListIsRefusedOnItsHeadersBeforeItIsCopied) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::uint64_t claimed = detail::kListBytes;
  const m::Bytes zigzag = m::ZigzagList(40, 100, 50);
  m::Bytes header = ListBuilder(1, 1).Bytes();
  std::memcpy(header.data() + offsetof(dl::Header, bytes), &claimed, sizeof claimed);
  const std::pair<m::Bytes, const char*> rows[] = {
      {Answer(1, claimed), "it is no draw list of this version"},
      {Answer(1, claimed, zigzag), "its header gives another length than it has"},
      {Answer(1, claimed, header), "its record 1 is of no known kind"},
  };
  for (const auto& [answer, refusal] : rows) {
    SCOPED_TRACE(refusal);
    const std::string probe = m::ProbeWith("answer:", answer);
    EXPECT_EXIT(
        {
          const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE}, probe.c_str());
          const m::Bytes file = m::SampleWmf();
          const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
          if (!r) {
            std::fprintf(stderr, "not decoded: %s", r.error.c_str());
            ::_exit(1);
          }
          std::ofstream reset("/proc/self/clear_refs");
          if (!(reset << "5" << std::flush)) {
            std::fprintf(stderr, "this kernel does not set the peak back (clear_refs)");
            ::_exit(2);
          }
          const long start = PeakKiB();
          std::string error;
          bool spent = false;
          const auto vectors = detail::ListMetafile(*r.bitmap, 300, 300, &error, &spent);
          const long grown = PeakKiB() - start;
          std::fprintf(stderr, "%s; grown %s\n",
                       vectors == nullptr ? error.c_str() : vectors->Refusal().c_str(),
                       grown < 16 * 1024 ? "little" : std::to_string(grown).c_str());
          ::_exit(0);
        },
        testing::ExitedWithCode(0), std::string("draw list is refused: ") + refusal + "; grown little");
  }
}

// A metafile's list is asked for at each box size it is printed into, once
// (kept with the pictures), and a list refused there draws that picture
// from its pixels, saying why.
TEST(ImagingHelperAnswers, AListAskedForAtABoxIsAskedOnceAndCheckedToo) {
  const m::Bytes file = m::SampleWmf();
  for (const auto& [list, refusal] : {std::pair{m::ZigzagList(40, 100, 50), ""},
                                      std::pair{ListBuilder().PushGroup().Bytes(), "leaves a clip"}}) {
    const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE}, m::ListProbe(list).c_str());
    ImageCache::Shared().Clear();
    const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
    ASSERT_TRUE(r) << r.error;
    const std::size_t before = ImageCache::Shared().PaintingCount();
    for (int print = 0; print < 2; ++print) {
      const Printed printed = Print(*r.bitmap);
      EXPECT_TRUE(printed.pdf);
      EXPECT_NE(printed.shortfall.why.find(refusal), std::string::npos) << printed.shortfall.why;
      EXPECT_EQ(printed.shortfall.why.empty(), *refusal == '\0') << printed.shortfall.why;
      // A helper asked again would crash now.
      ::setenv("MD_PROBE_METAFILE", "crash", 1);
    }
    // The box's answer (its list, or why it has none) kept, and the raster's
    // painting; for a refused list, its painting at its own size.
    EXPECT_EQ(ImageCache::Shared().PaintingCount() - before, *refusal == '\0' ? 2u : 3u);
  }
}

}  // namespace

// The bytes of the PDF file of an A4 page that shows the picture of a
// metafile whose list the stand-in answers, in a square box `mm` a side.
std::size_t PdfBytes(const m::Bytes& list, double mm) {
  const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE}, m::ListProbe(list).c_str());
  ImageCache::Shared().Clear();
  const m::Bytes file = m::SampleWmf();
  const DecodeResult r = DecodeWmf(file.data(), file.size(), kLimit);
  EXPECT_TRUE(r) << r.error;
  if (!r) return 0;
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/repeats-in-a-box.pdf";
  auto canvas = md::canvas::CairoCanvas::createPdf(path, 210, 297, 300);
  const HDC hdc = md::win::CreateScreenDC(canvas.get(), 300);
  const int side = static_cast<int>(mm / 25.4 * 300);
  MetafileShortfall shortfall;
  EXPECT_TRUE(DrawBitmap(hdc, *r.bitmap, 300, 300, side, side, nullptr, &shortfall));
  EXPECT_EQ(shortfall.why, "");
  DeleteDC(hdc);
  EXPECT_TRUE(canvas->finish());
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return static_cast<std::size_t>(in.tellg());
}

// A linear gradient repeated at the most repeats the reader lets through,
// painted twice (in a box of 100 mm, more would cost a viewer past the
// budget, and be drawn from pixels): its PDF file
// writes the repeats across the drawing the reader counted, whatever part of
// the page the box takes (a repeating source spans the page in the file: 0.75
// MB in a 10 mm box, 72 KB in a 100 mm one, were its repeats not laid out
// over the drawing).
TEST(ImagingHelperAnswers, ARepeatingPaintCostsAPdfWhatItsDrawingShows) {
  constexpr double kSide = 1024;
  dl::GradientHead linear;
  linear.type = static_cast<std::uint32_t>(dl::GradientType::Linear);
  linear.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  linear.points[2] = kSide / dl::kMaxRepeats * 1.0001;
  ListBuilder list(kSide, kSide);
  list.Gradient(linear, {{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}});
  for (int k = 0; k < 2; ++k) list.Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, kSide, kSide));
  const m::Bytes bytes = list.Bytes();
  const std::size_t small = PdfBytes(bytes, 10), large = PdfBytes(bytes, 100);
  for (const std::size_t pdf : {small, large}) EXPECT_LT(pdf, std::size_t{256} << 10);
  EXPECT_LT(std::max(small, large), std::min(small, large) * 11 / 10);
}
