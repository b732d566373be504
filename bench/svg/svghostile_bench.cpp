// What a helper's answer crafted to cost the host (a compromised helper,
// which is what the check and the measure of svgdrawing.h exist for) costs
// a PDF print here: each document, made of what cairo's SVG holds only and
// within the measure's bounds, is made into a drawing and painted once into
// a PDF file of 10 x 5 inches, which is then finished (Hostile/<document>):
// the process's own CPU time for it, the growth of its peak resident memory
// (VmHWM, reset before) and whether the drawing was read or refused (its
// pixels drawn instead). Each is to cost at most 1 s of CPU and no more
// memory than the drawing counts (Bytes).
#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/procstatus.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/platform/imaging/costlydrawings.h"

namespace {

namespace c = md::test::costly;

std::string N(double v) {
  char s[32];
  std::snprintf(s, sizeof s, "%g", v);
  return s;
}

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

const std::vector<std::pair<const char*, std::string>>& Documents() {
  static const std::vector<std::pair<const char*, std::string>> documents = {
      {"far curves (1,999 cubics)", FarCurves(1999)},      {"a gradient of 49,000 stops", ManyStops(49000)},
      {"a clip path of 150,000 curves", LongClip(150000)}, {"a path of endless 1,1 dashes", EndlessDashes()},
      {"99 nested faded groups", NestedOpacity(99)},       {"1,999 dashed lines", DashedLines(1999)},
  };
  return documents;
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

using md::bench::StatusKb;

void Hostile(benchmark::State& state) {
  const auto& [name, svg] = Documents()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(name);
  for (auto _ : state) {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM from here
    const double peak = StatusKb("VmHWM"), cpu = CpuSeconds();
    const md::imaging::SvgDrawing drawing(svg, 100, 100, md::imaging::kDefaultMemoryLimit);
    const bool readable = drawing.Readable();
    cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
        [](void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }, nullptr, 720, 360);
    cairo_t* cr = cairo_create(pdf);
    if (readable) drawing.paint(cr, 720, 360);
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    cairo_surface_destroy(pdf);
    const double spent = CpuSeconds() - cpu, grown = (StatusKb("VmHWM") - peak) / 1e3;
    const double counted = static_cast<double>(drawing.Bytes()) / 1e6;
    state.counters["CPU_s"] = spent;
    state.counters["HWM_MB"] = grown;
    state.counters["counted_MB"] = counted;
    std::printf("%-32s %8zu bytes  %s  CPU %6.2f s (%s 1 s)  peak +%7.1f MB, counted %6.1f MB  %s\n", name,
                svg.size(), readable ? "painted as paths" : "refused         ", spent,
                spent <= 1 ? "within" : "OVER", grown, counted, readable ? "" : drawing.Refusal().c_str());
  }
}
BENCHMARK(Hostile)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
