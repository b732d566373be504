// What the answers a taken-over metafile helper could give cost the host (the
// draw list is the one part of an answer the library reads beyond its
// header and pixels, which is what drawlistread.h's checks and drawlist.h's
// bounds exist for). The imaging tests' probe stands in for the helper and
// answers each: a white pixel with bytes as its draw list, or bytes as its
// whole answer. The answers: the costly SVG documents a helper could once
// answer, now answered as list bytes; the same drawings written as draw
// lists, as they are when past a bound and as large as the bounds let them
// be; a fan of masks, many transforms, groups each under its own copy of a
// long clip, and fills, each as much as the 64 MiB of a list hold; and
// random bytes. Each row (Answer/<answer>) puts one picture of the metafile
// of 4 x 2 inches (but one, over the whole page) on an A4 landscape page and
// prints it to a PDF file and to a PNG file at 300 dpi, the picture cache
// emptied and the refused metafiles forgotten before, so that each print
// runs the helper and reads its answer again: the process's own processor
// time for each print (getrusage: the helper's is its own) and the growth of
// its peak resident memory (VmHWM, reset before). Beside them, timed in this
// process on the list's bytes alone: reading and checking it (ReadDrawList),
// painting it into a cairo recording (PaintDrawList) and that recording into
// a PDF file's page. Each print is to cost the host at most 1 s of processor
// time; a table of every row is printed at the end, with the PDF file's size
// and the time a viewer (pdftoppm at 20 dpi, where installed) takes to draw
// it. Rows for what a list that passes every check makes downstream: a
// nested radial gradient crowded on one side, a gradient at the repeats'
// bound used as often as the stops' bound lets it be, 256 stops at 1,024
// repeats, a radial gradient at 1,024 repeats, 40,000 pattern fills, and
// pattern fills and gradient fills at the paints' bound, a
// dashed curve out to the coordinates' bound, 64 MB of random pixels shown
// and repeated (and 1 MB shown at fewer pixels than its box has dots), and
// an answer that claims a whole list and holds none, or its header alone.
// The cost model's rows
// (Answer/cost_*, drawlistcost.h) run the lists that cost a print, its file
// or a viewer far more than their bytes say (a picture at 16 sizes, far
// curves stroked, squeezed hairlines, a squeezed round pen, 64 MiB of noise,
// repeated gradients, a fill of 199,998 crossing curves), and each kind of
// cost pushed to the budget alone and all at once; beside each, the share of
// the budget the list takes in its box, the time Ghostscript takes to draw
// the file at 20 dpi too, and, past the budget, that it was drawn from
// pixels. A viewer is stopped after 30 s.
#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/procstatus.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/drawlistcost.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/costlylists.h"
#include "tests/platform/imaging/drawlistbuilder.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"

namespace {

namespace c = md::test::costly;
namespace dl = md::imaging::drawlist;
using md::bench::Bytes;
using md::test::ListBuilder;
using md::test::ListPath;

std::string N(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%g", v);
  return s;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// ---- the SVG documents a helper could once answer ----

// A path of `count` cubic curves whose control points lie far outside the box.
std::string FarCurves(int count) {
  std::string d = "M 50 50";
  for (int k = 0; k < count; ++k)
    d += " C " + N(k % 2 ? -9000 : 9000) + " " + N(k % 3 ? 9000 : -9000) + " " + N(k % 2 ? 9000 : -9000) +
         " " + N(k % 5 ? -9000 : 9000) + " " + N(k % 100) + " " + N(k % 97);
  return c::SvgOpen(100, 100) + "<path style=\"fill-rule:evenodd;fill:rgb(0%,0%,0%);stroke:none;\" d=\"" + d +
         " Z\"/>\n</svg>\n";
}

// A rectangle filled with a gradient of `count` stops.
std::string ManyStops(int count) {
  std::string s =
      c::SvgOpen(100, 100) +
      "<defs><linearGradient id=\"l\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" x2=\"100\" "
      "y2=\"0\" spreadMethod=\"repeat\">\n";
  for (int k = 0; k < count; ++k)
    s += "<stop offset=\"" + N(static_cast<double>(k) / count) + "\" style=\"stop-color:rgb(" +
         (k % 2 ? "100%,0%,0%" : "0%,0%,100%") + ");stop-opacity:1;\"/>\n";
  return s +
         "</linearGradient></defs>\n<rect x=\"0\" y=\"0\" width=\"100\" height=\"100\" "
         "style=\"fill:url(#l);\"/>\n</svg>\n";
}

// A rectangle under a clip path of one path of `count` curves.
std::string LongClip(int count) {
  std::string d = "M 0 0";
  for (int k = 0; k < count; ++k)
    d += " C " + N(k % 100) + " 0 " + N(100 - k % 100) + " 100 " + N(k % 99) + " " + N(k % 89);
  return c::SvgOpen(100, 100) + "<defs><clipPath id=\"c\"><path d=\"" + d +
         "\"/></clipPath></defs>\n<g clip-path=\"url(#c)\" clip-rule=\"evenodd\"><rect x=\"0\" y=\"0\" "
         "width=\"100\" height=\"100\" style=\"fill:rgb(0%,0%,0%);\"/></g>\n</svg>\n";
}

// A short path of enormous length, stroked with dashes of one unit.
std::string EndlessDashes() {
  return c::SvgOpen(100, 100) +
         "<path style=\"fill:none;stroke-width:1;stroke:rgb(0%,0%,0%);stroke-dasharray:1,1;\" d=\"M 0 0 L "
         "1000000 1000000 L 0 1000000 L 1000000 0 L -1000000 -1000000 Z\"/>\n</svg>\n";
}

// `count` groups faded, each inside the one before.
std::string NestedOpacity(int count) {
  std::string s = c::SvgOpen(100, 100);
  for (int k = 0; k < count; ++k) s += "<g style=\"opacity:0.99;\">";
  s += "<rect x=\"0\" y=\"0\" width=\"100\" height=\"100\" style=\"fill:rgb(0%,0%,100%);\"/>";
  for (int k = 0; k < count; ++k) s += "</g>";
  return s + "\n</svg>\n";
}

// `count` lines across the box, each dashed finely.
std::string DashedLines(int count) {
  std::string s = c::SvgOpen(100, 100);
  for (int k = 0; k < count; ++k)
    s += "<path style=\"fill:none;stroke-width:0.1;stroke:rgb(0%,0%,0%);stroke-dasharray:0.01,0.01;\" d=\"M "
         "0 " +
         N(k * 100.0 / count) + " L 100 " + N(100 - k * 100.0 / count) + "\"/>\n";
  return s + "</svg>\n";
}

// ---- the same drawings and others as draw lists ----

const dl::Paint kBlack = ListBuilder::Colour(0, 0, 0);

ListPath Rect(float x, float y, float w, float h) {
  ListPath p;
  p.Rect(x, y, w, h);
  return p;
}

Bytes FarCurvesList(int count) {
  ListPath p;
  p.Move(50, 50);
  for (int k = 0; k < count; ++k)
    p.Curve(k % 2 ? -9000 : 9000, k % 3 ? 9000 : -9000, k % 2 ? 9000 : -9000, k % 5 ? -9000 : 9000,
            static_cast<float>(k % 100), static_cast<float>(k % 97));
  return ListBuilder(100, 100).Fill(kBlack, p.Close(), dl::FillRule::EvenOdd).Bytes();
}

// The gradient `g` with `stops` stops, red and blue in turn, filling the
// box `uses` times.
Bytes GradientFills(const dl::GradientHead& g, int stops, int uses) {
  std::vector<dl::GradientStop> list;
  for (int k = 0; k < stops; ++k)
    list.push_back({static_cast<double>(k) / stops, {k % 2 ? 1.0 : 0.0, 0, k % 2 ? 0.0 : 1.0, 1}});
  ListBuilder b(100, 100);
  b.Gradient(g, list);
  for (int k = 0; k < uses; ++k) b.Fill(ListBuilder::Gradient(0), Rect(0, 0, 100, 100));
  return b.Bytes();
}

// A gradient of `stops` stops repeated across the box every 100 / `repeats`
// units, filling the box `uses` times.
Bytes StopsList(int stops, double repeats, int uses) {
  dl::GradientHead g;
  g.type = static_cast<std::uint32_t>(dl::GradientType::Linear);
  g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  g.points[2] = 100 / repeats;
  return GradientFills(g, stops, uses);
}

// `uses` fills of the box with a repeated radial gradient whose first
// circle, a point, lies within its second where their gap is narrowest on
// one side: the least the reader let through before its repeats were
// counted there.
Bytes NestedRadialList(int uses) {
  dl::GradientHead g;
  g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
  g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  const double off = 50 * (1 - 1 / dl::kMaxRepeats) * (1 - 1e-9);
  const double points[6] = {50 - off, 50, 0, 50, 50, 50};
  std::copy(std::begin(points), std::end(points), g.points);
  ListBuilder b(100, 100);
  b.Gradient(g, {{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 1}}});
  for (int k = 0; k < uses; ++k) b.Fill(ListBuilder::Gradient(0), Rect(0, 0, 100, 100));
  return b.Bytes();
}

// `count` fills of small squares, each with a picture of 2 x 2 pixels
// repeated as a pattern.
Bytes PatternFillsList(int count) {
  ListBuilder b(100, 100);
  b.Picture(2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u});
  for (int k = 0; k < count; ++k)
    b.Fill(ListBuilder::Pattern(0, dl::Matrix{4, 0, 0, 4, 0, 0}, dl::Extend::Repeat),
           Rect(static_cast<float>(k % 200) * 0.5f, static_cast<float>(k / 200 % 200) * 0.5f, 0.5f, 0.5f));
  return b.Bytes();
}

// `count` fills of the whole drawing, each with a picture of 2 x 2 pixels
// repeated at the most repeats across the drawing the reader lets through.
Bytes FinePatternFillsList(int count) {
  ListBuilder b(100, 100);
  b.Picture(2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u});
  const double scale = 2 * dl::kMaxRepeats / 100 * 0.999;  // the list's units to the picture's pixels
  for (int k = 0; k < count; ++k)
    b.Fill(ListBuilder::Pattern(0, dl::Matrix{scale, 0, 0, scale, 0, 0}, dl::Extend::Repeat),
           Rect(0, 0, 100, 100));
  return b.Bytes();
}

// A curve out to the coordinates' bound, stroked 8 wide with round caps in
// as many dashes as the bound lets it have.
Bytes FarDashedCurveList() {
  constexpr float kFar = 1048575;
  dl::StrokeHead pen;
  pen.paint = kBlack;
  pen.width = 8;
  pen.cap = static_cast<std::uint32_t>(dl::Cap::Round);
  ListPath p;
  p.Move(8, 8).Curve(kFar / 3, 40, kFar * 2 / 3, 20, kFar, 30);
  return ListBuilder(100, 100).Stroke(pen, {5.3, 5.3}, p).Bytes();
}

// An answer's header that claims a list of the most bytes, and nothing of
// the list.
Bytes EmptyClaimAnswer() {
  md::imaging::detail::AnswerHeader header;
  header.width = header.height = 1;
  header.dpiMilli = 300000;
  header.vectors = static_cast<std::uint32_t>(md::imaging::detail::VectorsAnswer::List);
  header.listBytes = md::imaging::detail::kListBytes;
  Bytes out(md::imaging::detail::kAnswerHeaderBytes, 0);
  std::memcpy(out.data(), &header, sizeof header);
  return out;
}

// An answer whose list is a header alone, valid and claiming the most
// bytes, the rest of the list never written.
Bytes HeaderClaimAnswer() {
  Bytes out = EmptyClaimAnswer();
  dl::Header list;
  list.width = list.height = 1;
  list.bytes = md::imaging::detail::kListBytes;
  const std::size_t at = out.size();
  out.resize(at + sizeof list);
  std::memcpy(out.data() + at, &list, sizeof list);
  return out;
}

Bytes LongClipList(int count) {
  ListPath p;
  p.Move(0, 0);
  for (int k = 0; k < count; ++k)
    p.Curve(static_cast<float>(k % 100), 0, static_cast<float>(100 - k % 100), 100,
            static_cast<float>(k % 99), static_cast<float>(k % 89));
  return ListBuilder(100, 100)
      .PushClip(p, dl::FillRule::EvenOdd)
      .Fill(kBlack, Rect(0, 0, 100, 100))
      .PopClip()
      .Bytes();
}

// The endless path stroked with dashes of `dash` units; and the dash that
// cuts it into `dashes` pieces.
ListPath EndlessPath() {
  ListPath p;
  p.Move(0, 0).Line(1e6f, 1e6f).Line(0, 1e6f).Line(1e6f, 0).Line(-1e6f, -1e6f).Close();
  return p;
}
double DashFor(const std::vector<ListPath>& paths, double dashes) {
  double length = 0, ends = 0;
  for (const ListPath& p : paths) {
    for (std::size_t k = 2; k < p.points.size(); k += 2)
      length += std::hypot(p.points[k] - p.points[k - 2], p.points[k + 1] - p.points[k - 1]);
    ends += 2;  // the reader counts a period more at each path's end
  }
  return length / (dashes - ends) * 1.01;
}
Bytes DashedList(const std::vector<ListPath>& paths, double width, double dash) {
  dl::StrokeHead h;
  h.paint = kBlack;
  h.width = width;
  ListBuilder b(100, 100);
  for (const ListPath& p : paths) b.Stroke(h, {dash, dash}, p);
  return b.Bytes();
}
std::vector<ListPath> Lines(int count) {
  std::vector<ListPath> lines(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k)
    lines[static_cast<std::size_t>(k)]
        .Move(0, static_cast<float>(k * 100.0 / count))
        .Line(100, static_cast<float>(100 - k * 100.0 / count));
  return lines;
}

Bytes NestedGroupsList(int count) {
  ListBuilder b(100, 100);
  for (int k = 0; k < count; ++k) b.PushGroup();
  b.Fill(ListBuilder::Colour(0, 0, 1), Rect(0, 0, 100, 100));
  for (int k = 0; k < count; ++k) b.PopGroup(0.99);
  return b.Bytes();
}

// A group whose content and mask each hold the level below: 2^levels fills,
// 2 x levels deep.
void Fan(ListBuilder& b, int levels) {
  if (levels == 0) {
    b.Fill(ListBuilder::Colour(0, 0, 0, 0.5), Rect(0, 0, 100, 100));
    return;
  }
  b.PushGroup();
  Fan(b, levels - 1);
  b.PushMask();
  Fan(b, levels - 1);
  b.PopMask();
}
Bytes MaskFanList(int levels) {
  ListBuilder b(100, 100);
  Fan(b, levels);
  return b.Bytes();
}

// `count` unit squares, each under a transform of its own.
Bytes TransformsList(int count) {
  ListBuilder b(100, 100);
  for (int k = 0; k < count; ++k) {
    const double a = k * 0.001, s = 1 + k % 7;
    b.Fill(kBlack, Rect(0, 0, 1, 1), dl::FillRule::Winding,
           dl::Matrix{s * std::cos(a), s * std::sin(a), -s * std::sin(a), s * std::cos(a),
                      static_cast<double>(k % 97), static_cast<double>(k % 89)});
  }
  return b.Bytes();
}

// A zigzag of `segments` segments across the box.
ListPath ZigzagPath(int segments) {
  ListPath p;
  p.Move(0, 0);
  for (const auto& [x, y] : c::Zigzag(segments, 100, 100))
    p.Line(static_cast<float>(x), static_cast<float>(y));
  return p.Close();
}

// One faded group under its own copy of the clip.
ListBuilder& ClippedGroup(ListBuilder& b, const ListPath& clip) {
  return b.PushClip(clip, dl::FillRule::EvenOdd)
      .PushGroup()
      .Fill(kBlack, Rect(0, 0, 100, 100))
      .PopGroup(0.5)
      .PopClip();
}

// How many of `groups` groups, each under its own copy of a clip of
// `segments` segments, a list's bytes hold.
int ClippedGroupsHeld(int groups, int segments) {
  ListBuilder one(100, 100);
  const std::size_t bytes = ClippedGroup(one, ZigzagPath(segments)).Bytes().size() - sizeof(dl::Header);
  return static_cast<int>(std::min<std::size_t>(groups, (dl::kMaxBytes - sizeof(dl::Header)) / bytes));
}

Bytes ClippedGroupsList(int groups, int segments) {
  const ListPath clip = ZigzagPath(segments);
  ListBuilder b(100, 100);
  for (int k = ClippedGroupsHeld(groups, segments); k > 0; --k) ClippedGroup(b, clip);
  return b.Bytes();
}

// How many groups, each under its own copy of a clip of `segments`
// segments, the verbs' bound holds (each group fills the box: 5 verbs).
int ClippedGroupsWithinVerbs(int segments) {
  return std::min(static_cast<int>(dl::kMaxGroups), static_cast<int>(dl::kMaxVerbs / (segments + 2 + 5)));
}

// Fills of zigzags of `segments` segments, `count` of them or as many as a
// list's bytes hold.
Bytes FillsList(int segments, std::size_t count = 0) {
  const ListPath p = ZigzagPath(segments);
  const std::size_t one = ListBuilder(100, 100).Fill(kBlack, p).Bytes().size() - sizeof(dl::Header);
  ListBuilder b(100, 100);
  for (std::size_t n = count > 0 ? count : (dl::kMaxBytes - sizeof(dl::Header)) / one; n > 0; --n)
    b.Fill(kBlack, p, dl::FillRule::EvenOdd);
  return b.Bytes();
}

// A list at every count bound at once: 100 faded groups one after another,
// each under its own clip of 320 verbs; in the first a fill of the box with
// a gradient of 256 stops repeated 1,000 times across it, in each of the
// others two fills with a gradient of 24 stops (the stops painted 260,752
// times in all); in each a line dashed into a hundredth of 200,000 dashes,
// and faded paints of the whole clip to 500 records that draw (499 in the
// first; the clips' verbs counted 16,031,680 times at what is done within
// them); then one fill of the verbs left: 50,000 records that draw, 200,000
// verbs.
Bytes EveryBoundList() {
  dl::GradientHead repeated, plain;
  repeated.type = plain.type = static_cast<std::uint32_t>(dl::GradientType::Linear);
  repeated.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  repeated.points[2] = 100.0 / 1000;
  plain.points[2] = 100;
  const auto stops = [](int count) {
    std::vector<dl::GradientStop> list;
    for (int k = 0; k < count; ++k)
      list.push_back({static_cast<double>(k) / count, {k % 2 ? 1.0 : 0.0, 0, k % 2 ? 0.0 : 1.0, 1}});
    return list;
  };
  const ListPath clip = ZigzagPath(318);  // a move, 318 lines and a close
  ListPath line;
  line.Move(0, 50).Line(100, 50);
  dl::StrokeHead pen;
  pen.paint = kBlack;
  pen.width = 0.5;
  const double dash = DashFor({line}, dl::kMaxDashes / 100.0);
  ListBuilder b(100, 100);
  b.Gradient(repeated, stops(256)).Gradient(plain, stops(24));
  for (int k = 0; k < 100; ++k) {
    b.PushClip(clip, dl::FillRule::EvenOdd).PushGroup();
    if (k == 0)
      b.Fill(ListBuilder::Gradient(0), Rect(0, 0, 100, 100)).PaintAll(kBlack);
    else
      b.Fill(ListBuilder::Gradient(1), Rect(0, 0, 100, 100))
          .Fill(ListBuilder::Gradient(1, 0.5), Rect(0, 0, 50, 50));
    b.Stroke(pen, {dash, dash}, line);
    for (int n = k == 0 ? 1 : 0; n < 497; ++n)
      b.PaintAll(ListBuilder::Colour(n % 3 == 0, n % 3 == 1, n % 3 == 2, 0.1));
    b.PopGroup(0.9).PopClip();
  }
  // 100 x (320 + 5 + 5 + 2) verbs so far (the first group's paint has none).
  b.Fill(kBlack, ZigzagPath(static_cast<int>(dl::kMaxVerbs) - 100 * 332 + 5 - 2), dl::FillRule::EvenOdd);
  return b.Bytes();
}

// Paints of the whole clip within a clip of 199,000 segments.
Bytes PaintsInALongClipList(int paints) {
  ListBuilder b(100, 100);
  b.PushClip(ZigzagPath(199000), dl::FillRule::EvenOdd);
  for (int n = 0; n < paints; ++n) b.PaintAll(ListBuilder::Colour(n % 3 == 0, n % 3 == 1, n % 3 == 2, 0.1));
  return b.PopClip().Bytes();
}

// How many fills of a zigzag of `segments` segments (closed: `segments` + 2
// verbs) the verbs' bound holds.
int FillsWithinVerbs(int segments) { return static_cast<int>(dl::kMaxVerbs / (segments + 2)); }

Bytes Random(std::size_t bytes) {
  Bytes out(bytes);
  std::uint64_t s = 88172645463325252ull;
  for (std::uint8_t& b : out) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    b = static_cast<std::uint8_t>(s >> 32);
  }
  return out;
}

// Four opaque pictures of side x side random pixels (64 MB of the list at
// 2,000), each shown over a quarter of the drawing, or repeated over it in
// tiles of half that.
Bytes RandomPicturesList(std::uint32_t side = 2000, bool repeated = false) {
  const Bytes noise = Random(std::size_t{side} * side * 4);
  std::vector<std::uint32_t> pixels(std::size_t{side} * side);
  std::memcpy(pixels.data(), noise.data(), noise.size());
  for (std::uint32_t& pixel : pixels) pixel |= 0xFF000000u;
  ListBuilder b(100, 100);
  for (int k = 0; k < 4; ++k) b.Picture(side, side, pixels);
  for (int k = 0; k < 4; ++k) {
    const double x = 50.0 * (k % 2), y = 50.0 * (k / 2);
    if (repeated)
      b.Fill(ListBuilder::Pattern(static_cast<std::uint32_t>(k),
                                  dl::Matrix{side / 25.0, 0, 0, side / 25.0, 0, 0}, dl::Extend::Repeat),
             Rect(static_cast<float>(x), static_cast<float>(y), 50, 50));
    else
      b.Image(static_cast<std::uint32_t>(k), dl::Matrix{50.0 / side, 0, 0, 50.0 / side, x, y});
  }
  return b.Bytes();
}

// `uses` fills of the drawing with a radial gradient of `stops` stops
// repeated 1,024 times across it, its circles about its middle.
Bytes RepeatedRadialList(int stops, int uses) {
  dl::GradientHead g;
  g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
  g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  const double points[6] = {50, 50, 0, 50, 50, 100 / 1024.0 * 1.0001};
  std::copy(std::begin(points), std::end(points), g.points);
  return GradientFills(g, stops, uses);
}

// ---- the cost model's families ----

// The share of the budget a list takes in the bench's box (4 x 2 inches at
// 300 dpi), or -1 where the reader refuses it.
double ShareOf(const Bytes& bytes) {
  std::string why;
  const auto list = md::imaging::ReadDrawList(bytes.data(), bytes.size(), &why);
  return list == nullptr ? -1 : md::imaging::CostOfList(*list, 1200, 600, 1).Share();
}

// The largest count for which `make` makes a list the reader lets through
// whose share of the budget is at most 1; and that list.
int BudgetCount(const std::function<Bytes(int)>& make) {
  int within = 0, past = 1;
  for (double share = 0; share >= 0 && share <= 1 && past < (1 << 24); past *= 2) {
    share = ShareOf(make(past));
    if (share >= 0 && share <= 1) within = past;
  }
  while (past - within > std::max(1, within / 64)) {
    const int mid = within + (past - within) / 2;
    const double share = ShareOf(make(mid));
    (share >= 0 && share <= 1 ? within : past) = mid;
  }
  return std::max(within, 1);
}
Bytes AtBudget(const std::function<Bytes(int)>& make) { return make(BudgetCount(make)); }

// `count` lines across the drawing dashed with round caps, 2 wide.
Bytes RoundDashesList(int count) {
  dl::StrokeHead pen;
  pen.paint = kBlack;
  pen.width = 2;
  pen.cap = static_cast<std::uint32_t>(dl::Cap::Round);
  ListBuilder b(100, 100);
  for (const ListPath& line : Lines(count)) b.Stroke(pen, {0.5, 0.5}, line);
  return b.Bytes();
}

// Every kind of cost at about a sixth of the budget, in one list.
Bytes MixedList() {
  Bytes out = ListBuilder(100, 100).Bytes();
  const auto add = [&out](const Bytes& list) {
    out.insert(out.end(), list.begin() + sizeof(dl::Header), list.end());
  };
  const auto sixth = [](const std::function<Bytes(int)>& make) { return make(BudgetCount(make) / 6 + 1); };
  add(sixth([](int n) { return c::FarCurvesStrokedList(n, 3000); }));
  add(sixth([](int n) { return c::CrossingCurvesList(n); }));
  add(sixth([](int n) { return RoundDashesList(n); }));
  add(sixth([](int n) { return FinePatternFillsList(n); }));
  // The gradient's and picture's records come first: their indices are 0.
  Bytes gradients = sixth([](int n) { return c::RepeatedStopsList(16, 256, n); });
  Bytes rest = Bytes(gradients.begin() + sizeof(dl::Header), gradients.end());
  out.insert(out.begin() + sizeof(dl::Header), rest.begin(), rest.end());
  const std::uint64_t size = out.size();
  std::memcpy(out.data() + offsetof(dl::Header, bytes), &size, sizeof size);
  return out;
}

// ---- the rows ----

struct Answer {
  const char* key;    // the benchmark's name after Answer/
  std::string label;  // what the table says
  const char* mode;   // the probe's: "list:" (bytes as the draw list) or "answer:" (the whole answer)
  std::function<Bytes()> bytes;
  bool wholePage = false;  // the picture over the page, else 4 x 2 inches
};

const std::vector<Answer>& Answers() {
  static const std::vector<Answer> answers = {
      {"none", "a white pixel, no list (the baseline)", "list:", [] { return Bytes(); }},
      {"none_page", "a white pixel, no list, over the whole page", "list:", [] { return Bytes(); }, true},
      {"svg_far_curves", "SVG: far curves (1,999 cubics)", "list:", [] { return Text(FarCurves(1999)); }},
      {"svg_stops", "SVG: a gradient of 49,000 stops", "list:", [] { return Text(ManyStops(49000)); }},
      {"svg_clip", "SVG: a clip of 150,000 curves", "list:", [] { return Text(LongClip(150000)); }},
      {"svg_dashes", "SVG: endless 1,1 dashes", "list:", [] { return Text(EndlessDashes()); }},
      {"svg_groups", "SVG: 99 nested faded groups", "list:", [] { return Text(NestedOpacity(99)); }},
      {"svg_dashed_lines", "SVG: 1,999 dashed lines", "list:", [] { return Text(DashedLines(1999)); }},
      {"far_curves", "list: far curves (1,999 cubics)", "list:", [] { return FarCurvesList(1999); }},
      {"stops", "list: a gradient of 49,000 stops", "list:", [] { return StopsList(49000, 1, 1); }},
      {"LargeStopUses", "list: 256 stops x 1,000 repeats, 4,096 uses",
       "list:", [] { return StopsList(256, 1000, 4096); }},
      {"stop_uses_bound", "list: 256 stops x 1,000 repeats, 1 use",
       "list:", [] { return StopsList(256, 1000, 1); }},
      {"plain_stop_uses_bound", "list: 256 stops, " + std::to_string(dl::kMaxStopUses / 256) + " uses",
       "list:", [] { return StopsList(256, 1, static_cast<int>(dl::kMaxStopUses / 256)); }},
      {"clip", "list: a clip of 150,000 curves", "list:", [] { return LongClipList(150000); }},
      {"dashes", "list: endless 1,1 dashes", "list:", [] { return DashedList({EndlessPath()}, 1, 1); }},
      {"dashes_bound", "list: the endless path in 200,000 dashes",
       "list:", [] { return DashedList({EndlessPath()}, 1, DashFor({EndlessPath()}, dl::kMaxDashes)); }},
      {"groups", "list: 99 nested faded groups", "list:", [] { return NestedGroupsList(99); }},
      {"groups_bound", "list: 64 nested faded groups", "list:", [] { return NestedGroupsList(64); }},
      {"dashed_lines", "list: 1,999 lines in 0.01 dashes",
       "list:", [] { return DashedList(Lines(1999), 0.1, 0.01); }},
      {"dashed_lines_bound", "list: 1,999 lines in 200,000 dashes",
       "list:", [] { return DashedList(Lines(1999), 0.1, DashFor(Lines(1999), dl::kMaxDashes)); }},
      {"LargeMaskFan", "list: a fan of masks 18 levels deep", "list:", [] { return MaskFanList(18); }},
      {"mask_fan_bound", "list: a fan of masks 6 levels deep (63 groups)",
       "list:", [] { return MaskFanList(6); }},
      {"LargeTransforms", "list: 250,000 transforms", "list:", [] { return TransformsList(250000); }},
      {"transforms_bound", "list: 40,000 transforms (200,000 verbs)",
       "list:", [] { return TransformsList(40000); }},
      {"LargeClippedGroups",
       "list: " + std::to_string(ClippedGroupsHeld(2000, 20000)) +
           " of 2,000 groups, each clipped by 20,000 segments",
       "list:", [] { return ClippedGroupsList(2000, 20000); }},
      {"clipped_groups_bound",
       "list: " + std::to_string(ClippedGroupsWithinVerbs(20000)) +
           " groups, each clipped by 20,000 segments",
       "list:", [] { return ClippedGroupsList(ClippedGroupsWithinVerbs(20000), 20000); }},
      {"LargeFills", "list: 64 MiB of fills of 1,000 segments", "list:", [] { return FillsList(1000); }},
      {"fills_bound", "list: " + std::to_string(FillsWithinVerbs(1000)) + " fills of 1,000 segments",
       "list:", [] { return FillsList(1000, FillsWithinVerbs(1000)); }},
      {"clipped_paints", "list: 5,000 paints within a clip of 199,000 segments",
       "list:", [] { return PaintsInALongClipList(5000); }},
      {"clipped_paints_bound", "list: 84 paints within a clip of 199,000 segments",
       "list:", [] { return PaintsInALongClipList(84); }},
      {"every_bound", "list: every count at its bound at once", "list:", [] { return EveryBoundList(); }},
      {"nested_radial", "list: 8 fills of a nested radial crowded on one side",
       "list:", [] { return NestedRadialList(8); }},
      {"repeat_bound_uses",
       "list: a gradient at 1,024 repeats, " + std::to_string(dl::kMaxStopUses / 2048) + " uses",
       "list:", [] { return StopsList(2, 1024 / 1.0001, static_cast<int>(dl::kMaxStopUses / 2048)); }},
      {"stops_repeats_bound", "list: 256 stops x 1,024 repeats, 1 use",
       "list:", [] { return StopsList(256, 1024 / 1.0001, 1); }},
      {"repeated_stops_bound",
       "list: 64 stops x 64 repeats, " + std::to_string(dl::kMaxStopUses / 4096) + " uses",
       "list:", [] { return StopsList(64, 64 / 1.0001, static_cast<int>(dl::kMaxStopUses / 4096)); }},
      {"fine_pattern_fills", "list: 40,000 fills of a pattern at 1,024 repeats",
       "list:", [] { return FinePatternFillsList(40000); }},
      {"fine_pattern_fill", "list: a fill of a pattern at 1,024 repeats",
       "list:", [] { return FinePatternFillsList(1); }},
      {"fine_pattern_fills_16", "list: 16 fills of a pattern at 1,024 repeats",
       "list:", [] { return FinePatternFillsList(16); }},
      {"pattern_fills", "list: 40,000 pattern fills", "list:", [] { return PatternFillsList(40000); }},
      {"pattern_fills_bound", "list: " + std::to_string(dl::kMaxPatternPaints) + " pattern fills",
       "list:", [] { return PatternFillsList(static_cast<int>(dl::kMaxPatternPaints)); }},
      {"gradient_fills_bound", "list: " + std::to_string(dl::kMaxPatternPaints) + " fills of a gradient",
       "list:", [] { return StopsList(2, 1, static_cast<int>(dl::kMaxPatternPaints)); }},
      {"far_dashed_curve", "list: a round-capped dashed curve out to 2^20",
       "list:", [] { return FarDashedCurveList(); }},
      {"random_pictures", "list: 4 pictures of 2,000 x 2,000 random pixels",
       "list:", [] { return RandomPicturesList(); }},
      {"random_patterns", "list: 4 pictures of 2,000 x 2,000 random pixels, repeated",
       "list:", [] { return RandomPicturesList(2000, true); }},
      {"small_random_pictures", "list: 4 pictures of 250 x 250 random pixels",
       "list:", [] { return RandomPicturesList(250); }},
      {"radial_repeats", "list: a radial of 4 stops at 1,024 repeats, 1 use",
       "list:", [] { return RepeatedRadialList(4, 1); }},
      {"radial_repeats_uses",
       "list: a radial of 4 stops at 1,024 repeats, " + std::to_string(dl::kMaxStopUses / 4096) + " uses",
       "list:", [] { return RepeatedRadialList(4, static_cast<int>(dl::kMaxStopUses / 4096)); }},
      // The cost model's families: each kind of cost as the lists that
      // passed the reader made it, and each pushed to the budget alone.
      {"cost_picture_sizes", "cost: a 2,048^2 noise picture at 16 sizes",
       "list:", [] { return c::PictureSizesList(2048, 16); }},
      {"cost_far_curves", "cost: 3,000 far curves stroked",
       "list:", [] { return c::FarCurvesStrokedList(3000); }},
      {"cost_hairlines", "cost: 1,000 squeezed dashed hairlines",
       "list:", [] { return c::SqueezedHairlinesList(1000); }},
      {"cost_hairlines_24000", "cost: 24,000 squeezed dashed hairlines",
       "list:", [] { return c::SqueezedHairlinesList(24000); }},
      {"cost_round_dashes", "cost: a dashed round-capped curve, its pen squeezed",
       "list:", [] { return c::SqueezedDashesList(); }},
      {"cost_noise", "cost: 4 pictures of 2,000^2 noise (64 MiB)",
       "list:", [] { return RandomPicturesList(); }},
      {"cost_noise_page", "cost: 4 pictures of 2,000^2 noise over the page",
       "list:", [] { return RandomPicturesList(); }, true},
      {"cost_stops", "cost: 32 fills of 16 stops x 256 repeats",
       "list:", [] { return c::RepeatedStopsList(16, 256, 32); }},
      {"cost_radials", "cost: 32 fills of a radial at 1,024 repeats",
       "list:", [] { return c::RepeatedRadialsList(32); }},
      {"cost_crossings", "cost: an even-odd fill of 199,998 curves",
       "list:", [] { return c::CrossingCurvesList(199998); }},
      {"cost_far_curves_budget", "cost: far curves stroked at the budget",
       "list:", [] { return AtBudget([](int n) { return c::FarCurvesStrokedList(n, 3000); }); }},
      {"cost_hairlines_budget", "cost: 1,000 dashed hairlines squeezed to the budget",
       "list:", [] { return AtBudget([](int n) { return c::SqueezedHairlinesList(1000, n); }); }},
      {"cost_crossings_budget", "cost: crossing curves at the budget",
       "list:", [] { return AtBudget([](int n) { return c::CrossingCurvesList(n); }); }},
      {"cost_stops_budget", "cost: fills of 16 stops x 256 repeats at the budget",
       "list:", [] { return AtBudget([](int n) { return c::RepeatedStopsList(16, 256, n); }); }},
      {"cost_radials_budget", "cost: repeated radial fills at the budget",
       "list:", [] { return AtBudget([](int n) { return c::RepeatedRadialsList(n); }); }},
      {"cost_round_dashes_budget", "cost: round-capped dashes at the budget",
       "list:", [] { return AtBudget([](int n) { return RoundDashesList(n); }); }},
      {"cost_tiles_budget", "cost: pattern fills at the budget",
       "list:", [] { return AtBudget([](int n) { return FinePatternFillsList(n); }); }},
      {"cost_mixed_budget", "cost: every kind at a sixth of the budget", "list:", [] { return MixedList(); }},
      {"empty_claim", "an answer claiming 64 MiB of list, holding none",
       "answer:", [] { return EmptyClaimAnswer(); }},
      {"header_claim", "an answer of a list's header alone, claiming 64 MiB",
       "answer:", [] { return HeaderClaimAnswer(); }},
      {"random_list", "random bytes (1 MiB) as the list",
       "list:", [] { return Random(std::size_t{1} << 20); }},
      {"random_answer", "random bytes (1 MiB) as the whole answer",
       "answer:", [] { return Random(std::size_t{1} << 20); }},
  };
  return answers;
}

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

using md::bench::StatusKb;

struct Print {
  bool printed = false;
  double cpu = 0, peakMb = 0;
  double fileMb = 0;            // the file's size
  double viewS = -1, gsS = -1;  // the viewers' times to draw it (pdftoppm, gs -r20), where there are
};

// The wall-clock seconds a viewer takes to draw the PDF file at 20 dpi
// (pdftoppm, or Ghostscript as `gs`), up to kViewLimit; -1 where it is not
// installed or failed, kViewLimit + 1 where it was stopped then.
constexpr int kViewLimit = 30;
double ViewSeconds(const std::string& path, bool gs) {
  if (std::system(gs ? "command -v gs >/dev/null 2>&1" : "command -v pdftoppm >/dev/null 2>&1") != 0)
    return -1;
  const auto start = std::chrono::steady_clock::now();
  const std::string limit = "timeout " + std::to_string(kViewLimit) + " ";
  const std::string command =
      gs ? limit + "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r20 -sOutputFile=/dev/null '" + path +
               "' >/dev/null 2>&1"
         : limit + "pdftoppm -r 20 -png '" + path + "' '" + path + ".view' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::system(("rm -f '" + path + ".view'*").c_str());
  if (WIFEXITED(status) && WEXITSTATUS(status) == 124) return kViewLimit + 1;
  return status == 0 ? seconds : -1;
}

// One print of the page to PDF or PNG, its picture decoded anew.
Print Printed(md::demo::Page& page, bool pdf) {
  md::imaging::ImageCache::Shared().Clear();
  md::imaging::ForgetRefusedMetafiles();
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM from here
  const std::string path = md::bench::TempPath(pdf ? "answer.pdf" : "answer.png");
  const double peak = StatusKb("VmHWM"), cpu = CpuSeconds();
  Print p;
  std::string error;
  if (pdf) {
    p.printed = md::demo::PrintVector(page, path, nullptr, &error);
  } else {
    const std::unique_ptr<md::canvas::CairoCanvas> raster = md::demo::PrintRaster(page, 300, nullptr, &error);
    p.printed = raster != nullptr && raster->writePng(path, &error);
  }
  p.cpu = CpuSeconds() - cpu;
  p.peakMb = (StatusKb("VmHWM") - peak) / 1e3;
  std::error_code ignored;
  p.fileMb = static_cast<double>(std::filesystem::file_size(path, ignored)) / 1e6;
  if (pdf && p.printed) p.viewS = ViewSeconds(path, false), p.gsS = ViewSeconds(path, true);
  std::remove(path.c_str());
  return p;
}

// Seconds of processor time `work` takes.
double Timed(const std::function<void()>& work) {
  const double cpu = CpuSeconds();
  work();
  return CpuSeconds() - cpu;
}

// The list's bytes read here (ReadDrawList), painted into a recording and
// that recording into a PDF page of 10 x 5 inches: the seconds of each (-1
// for what was not done, the list refused).
struct InProcess {
  double read = -1, paint = -1, pdf = -1;
  double share = -1;  // of the cost budget, in the picture's box of the print
};
InProcess OnItsOwn(const Bytes& bytes, bool wholePage) {
  InProcess t;
  std::shared_ptr<const md::imaging::DrawList> list;
  std::string why;
  t.read = Timed([&] { list = md::imaging::ReadDrawList(bytes.data(), bytes.size(), &why); });
  if (list == nullptr) return t;
  // The picture's box in dots: 4 x 2 inches, or 250 x 165 mm over the page.
  t.share = wholePage ? md::imaging::CostOfList(*list, 2953, 1949, 1).Share()
                      : md::imaging::CostOfList(*list, 1200, 600, 1).Share();
  const cairo_rectangle_t extents{0, 0, 720, 360};
  cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  t.paint = Timed([&] {
    cairo_t* cr = cairo_create(recording);
    md::imaging::PaintDrawList(list, cr, 720, 360, 1.0);
    cairo_destroy(cr);
  });
  t.pdf = Timed([&] {
    cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
        [](void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }, nullptr, 720, 360);
    cairo_t* cr = cairo_create(pdf);
    cairo_set_source_surface(cr, recording, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_surface_destroy(pdf);
  });
  cairo_surface_destroy(recording);
  return t;
}

struct Result {
  std::string label, fate;
  std::size_t bytes = 0;
  Print pdf, png;
  InProcess own;
};
std::vector<Result> g_results;

// A small metafile the probe answers for, written once a run.
const std::string& Metafile() {
  static const struct File {
    File() : path(md::bench::TempPath("answered.wmf")) {
      if (!md::bench::WriteFile(path, md::test::metafiles::SampleWmf())) path.clear();
    }
    ~File() { std::remove(path.c_str()); }
    std::string path;
  } file;
  return file.path;
}

void Row(benchmark::State& state, std::size_t index) {
  const Answer& a = Answers()[index];
  Result result;
  result.label = a.label;
  const Bytes bytes = a.bytes();
  result.bytes = bytes.size();
  // The answer lies beside the probe, where its sandbox lets it read.
  const std::string file = std::filesystem::path(MD_BENCH_PROBE).parent_path().string() + "/answer-" +
                           std::to_string(::getpid()) + "-" + a.key + ".bin";
  if (!md::bench::WriteFile(file, bytes)) return state.SkipWithError(("cannot write " + file).c_str());
  ::setenv("MD_PROBE_METAFILE", (std::string(a.mode) + file).c_str(), 1);
  // What the library makes of the answer for the picture's box (4 x 2
  // inches in cells of 600 dpi).
  const Bytes wmf = md::test::metafiles::SampleWmf();
  const md::imaging::DecodeResult r = md::imaging::Decode(wmf.data(), wmf.size());
  if (!r) {
    result.fate = "refused: " + r.error;
  } else {
    std::string why;
    bool spent = false;
    const auto vectors = md::imaging::detail::ListMetafile(*r.bitmap, 2400, 1200, &why, &spent);
    result.fate = vectors == nullptr    ? "not asked: " + why
                  : vectors->Readable() ? "read as a list"
                                        : "pixels: " + vectors->Refusal();
  }
  md::demo::Page page;
  if (!md::bench::Add(page, Metafile(), 2350, 18850, a.wholePage ? 27350 : 12510,
                      a.wholePage ? 2350 : 13770)) {
    std::remove(file.c_str());
    return state.SkipWithError("cannot import the metafile");
  }
  for (auto _ : state) {
    result.pdf = Printed(page, true);
    result.png = Printed(page, false);
  }
  std::remove(file.c_str());
  if (a.mode == std::string("list:")) result.own = OnItsOwn(bytes, a.wholePage);
  if (result.own.share > 1) result.fate = "pixels: past the cost budget";
  state.SetLabel(result.label);
  state.counters["pdf_CPU_s"] = result.pdf.cpu;
  state.counters["pdf_HWM_MB"] = result.pdf.peakMb;
  state.counters["pdf_file_MB"] = result.pdf.fileMb;
  state.counters["pdf_view_s"] = result.pdf.viewS;
  state.counters["pdf_gs_s"] = result.pdf.gsS;
  state.counters["cost_share"] = result.own.share;
  state.counters["png_CPU_s"] = result.png.cpu;
  state.counters["png_HWM_MB"] = result.png.peakMb;
  g_results.push_back(std::move(result));
}

void PrintTable() {
  if (g_results.empty()) return;
  const auto ms = [](double s) { return s < 0 ? std::string("-") : N(std::round(s * 1e4) / 10); };
  std::printf("\n%-56s %10s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s  %s\n", "the helper's answer",
              "bytes", "PDF s", "PDF MB", "file MB", "view s", "gs s", "share", "PNG s", "PNG MB", "read ms",
              "paint ms", "pdf ms", "the library made of it");
  bool within = true;
  for (const Result& r : g_results) {
    const bool ok = r.pdf.cpu <= 1 && r.png.cpu <= 1;
    within = within && ok;
    std::printf("%-56s %10zu %8.3f %8.1f %8.2f %8.2f %8.2f %8.3f %8.3f %8.1f %8s %8s %8s  %s%s%s\n",
                r.label.c_str(), r.bytes, r.pdf.cpu, r.pdf.peakMb, r.pdf.fileMb, r.pdf.viewS, r.pdf.gsS,
                r.own.share, r.png.cpu, r.png.peakMb, ms(r.own.read).c_str(), ms(r.own.paint).c_str(),
                ms(r.own.pdf).c_str(), ok ? "" : "OVER 1 s; ",
                r.pdf.printed && r.png.printed ? "" : "FALSE; ", r.fate.c_str());
  }
  std::printf("every print within 1 s of the host's processor time: %s\n", within ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
  md::imaging::SetMetafileLimits({5000, 10000, MD_BENCH_PROBE});
  // The probe's orders reach it beside the environment a helper gets.
  md::imaging::detail::SetIsolatedVariablePassed("MD_PROBE_METAFILE");
  for (std::size_t k = 0; k < Answers().size(); ++k)
    benchmark::RegisterBenchmark((std::string("Answer/") + Answers()[k].key).c_str(), Row, k)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintTable();
  return 0;
}
