// The three-north figure: working angles, rings, arcs, marks and text paths.
#include "layout/graphicelement/furniture/threenorthlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace md::layout::furniture {

namespace {

constexpr double kK = kThreeNorthRadPerDegree;

std::int32_t Add(std::int32_t a, std::int64_t b) {
  return md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(a) + b);
}

// Bearing offset: b clockwise from straight up.
SGIS_Point Brg(SGIS_Point p, double b, double len) {
  return SGIS_Point(Add(p.x, Nearest(len * std::sin(b * kK))), Add(p.y, Nearest(len * std::cos(b * kK))), 0);
}

// Angle offset: a anticlockwise from the positive x axis.
SGIS_Point Ang(SGIS_Point p, double a, double len) {
  return SGIS_Point(Add(p.x, Nearest(len * std::cos(a * kK))), Add(p.y, Nearest(len * std::sin(a * kK))), 0);
}

// Whole degrees from `from` while below (step +1) or above (step -1) `bound`.
struct Walk {
  int from;
  int bound;
  int step;
};
Walk Up(double from, double bound) { return {Nearest(from), Nearest(bound), +1}; }
Walk Down(double from, double bound) { return {Nearest(from), Nearest(bound), -1}; }

ThreeNorthArc Trace(SGIS_Point centre, ThreeNorthAngle angle, int radius, const Walk& walk, bool* capped) {
  ThreeNorthArc arc;
  arc.angle = angle;
  arc.radius = radius;
  arc.step = walk.step;
  std::int64_t k = walk.from;
  int steps = 0;
  while (walk.step > 0 ? k < walk.bound : k > walk.bound) {
    if (steps > kThreeNorthMaxArcSteps) {
      *capped = true;
      break;
    }
    arc.points.push_back(ThreeNorthRingPoint(centre, static_cast<int>(k), radius));
    k += walk.step;
    ++steps;
  }
  return arc;
}

// The strokes of an arc arrowhead: back along the ring, 30 degrees either
// side. `anticlockwise` for an arc that reached its end turning left.
std::array<SGIS_Point, 3> ArcArrow(SGIS_Point tip, double w, bool anticlockwise, int r) {
  const double back = anticlockwise ? 90.0 + w : w - 90.0;
  const double b1 = anticlockwise ? back - 30.0 : back + 30.0;
  const double b2 = anticlockwise ? back + 30.0 : back - 30.0;
  return {Brg(tip, b1, r), tip, Brg(tip, b2, r)};
}

// The label path from radius `from` to radius `to` along bearing w, moved
// `aside` to the line's clockwise side (a negative value: anticlockwise).
std::array<SGIS_Point, 2> LabelPath(SGIS_Point o, double w, double from, double to, double aside = 0.0) {
  const double s = std::sin(w * kK), c = std::cos(w * kK);
  const double x = o.x + aside * c, y = o.y - aside * s;
  return {SGIS_Point(Nearest(x + from * s), Nearest(y + from * c), 0),
          SGIS_Point(Nearest(x + to * s), Nearest(y + to * c), 0)};
}

// The stretch an angle text is laid along: its path, from the middle point
// on when `fromMiddle` (unless that leaves fewer than two points), turned to
// run clockwise.
std::vector<SGIS_Point> TextRun(const ThreeNorthArc& path, bool fromMiddle) {
  std::size_t first = fromMiddle ? path.points.size() / 2 : 0;
  if (path.points.size() - first < 2) first = 0;
  std::vector<SGIS_Point> run(path.points.begin() + static_cast<std::ptrdiff_t>(first), path.points.end());
  if (path.step < 0) std::reverse(run.begin(), run.end());
  return run;
}

// The stretch of ring `radius` an angle text is laid along when it starts
// at the line at bearing `line`: from `clear` past the line on for
// `length`, walking in direction `step`, turned to run clockwise.
std::vector<SGIS_Point> FromLine(SGIS_Point o, double line, int step, int radius, double clear,
                                 double length) {
  const double perDegree = radius * kK;  // ring length of one degree
  const double a0 = line + step * clear / perDegree;
  const double a1 = line + step * (clear + length) / perDegree;
  const double span = std::fabs(a1 - a0);
  const int n = 1 + std::clamp(static_cast<int>(std::ceil(span)), 1, kThreeNorthMaxArcSteps);
  std::vector<SGIS_Point> run;
  for (int i = 0; i < n; ++i) run.push_back(Brg(o, a0 + (a1 - a0) * i / (n - 1), radius));
  if (step < 0) std::reverse(run.begin(), run.end());
  return run;
}

// The arcs and text paths of an arrangement: for each, its angle, whether it
// lies on the outer ring, and its walk. Texts in the order conv (TG), decl
// (TM), diff (GM).
struct Plan {
  ThreeNorthAngle angle;
  bool outer;
  Walk walk;
};
struct CasePlans {
  std::array<Plan, 3> arcs{};
  std::array<Plan, 3> texts{};
};

// The difference arc and text of case C lie on the outer ring, as in the
// other same-side cases, so that the difference text keeps clear of the
// convergence text on the inner ring.
CasePlans PlansOf(ThreeNorthCase kase, double w1, double w2) {
  CasePlans p;
  switch (kase) {
    case ThreeNorthCase::kZeroPlus:
      p.arcs = {Plan{kAngleGM, false, Up(w1, w2 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
                Plan{kAngleTG, true, Down(0, w1 - 1)}};
      p.texts = {Plan{kAngleTG, true, Up(w1 - 1, 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
                 Plan{kAngleGM, false, Up(w1 - 1, w2 + 1)}};
      break;
    case ThreeNorthCase::kZeroMinus:
      p.arcs = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, false, Down(0, w2 - 1)},
                Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      p.texts = {Plan{kAngleTG, true, Up(0, w1)}, Plan{kAngleTM, true, Down(0, w2 - 1)},
                 Plan{kAngleGM, false, Up(w2 - 1, w1 + 1)}};
      break;
    case ThreeNorthCase::kA:
      p.arcs = {Plan{kAngleTM, false, Up(0, w2 + 1)}, Plan{kAngleTG, true, Up(0, w1 + 1)},
                Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      p.texts = {Plan{kAngleTG, true, Up(0, w1 + 1)}, Plan{kAngleTM, false, Up(0, w2 + 1)},
                 Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      break;
    case ThreeNorthCase::kB:
      p.arcs = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
                Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      p.texts = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
                 Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      break;
    case ThreeNorthCase::kC:
      p.arcs = {Plan{kAngleTG, false, Down(0, w1 - 1)}, Plan{kAngleTM, true, Down(0, w2 - 1)},
                Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      p.texts = {Plan{kAngleTG, false, Up(w1 - 1, 1)}, Plan{kAngleTM, true, Up(w2 - 1, 1)},
                 Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      break;
    case ThreeNorthCase::kD:
      p.arcs = {Plan{kAngleTM, false, Down(0, w2 - 1)}, Plan{kAngleTG, true, Down(0, w1 - 1)},
                Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      p.texts = {Plan{kAngleTG, true, Down(0, w1 - 1)}, Plan{kAngleTM, false, Up(w2 - 1, 1)},
                 Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      break;
  }
  return p;
}

// How far past its middle line the text on the inner ring starts: half a
// digit height, or, where an arrowhead on the outer ring at that line
// reaches down into the band the text stands in (half its stroke past the
// quarter digit height between that band and the outer ring), beyond the
// arrowhead's stroke along the ring and a quarter digit height more.
double InnerTextStart(const ThreeNorthInput& in) {
  const double digit = std::max(0.0, in.digitHeight);
  const double mark = in.axisLength / 15;
  const double band = 2.0 * digit - kThreeNorthRingClearance * digit - digit;
  return 0.5 * mark > band ? mark * std::cos(30.0 * kK) + digit / 4.0 : digit / 2.0;
}

// How far a label's cell keeps from its line (the gap) and from the inner
// ring: the label ring clearance, or, where the arrowheads on the ring
// reach further in (half their stroke), that reach and the gap.
double LabelGap(const ThreeNorthInput& in) {
  return kThreeNorthLabelLineClearance * std::max(0.0, in.labelHeight);
}
double LabelRingGap(const ThreeNorthInput& in) {
  const double h = std::max(0.0, in.labelHeight);
  return std::max(kThreeNorthLabelRingClearance * h, 0.5 * (in.axisLength / 15) + LabelGap(in));
}

}  // namespace

int Nearest(double v) { return md::basilo::detail::RoundToInt32(v); }

ThreeNorthDrawAngles ComputeThreeNorthDrawAngles(double c, double m, double a) {
  const double p = c * m;
  if (p > 0) {
    if (c > 0) return c > m ? ThreeNorthDrawAngles{2 * a, a} : ThreeNorthDrawAngles{a, 2 * a};
    return c < m ? ThreeNorthDrawAngles{-2 * a, -a} : ThreeNorthDrawAngles{-a, -2 * a};
  }
  if (p < 0) return c < 0 ? ThreeNorthDrawAngles{-a, a} : ThreeNorthDrawAngles{a, -a};
  if (c == 0) return m > 0 ? ThreeNorthDrawAngles{-a, a} : ThreeNorthDrawAngles{a, -a};
  if (m == 0) return c > 0 ? ThreeNorthDrawAngles{a, -a} : ThreeNorthDrawAngles{-a, a};
  // Only NaN arrives here: the layout of two zero angles.
  return ThreeNorthDrawAngles{a, -a};
}

ThreeNorthCase ThreeNorthCaseOf(double w1, double w2) {
  const int sum = Nearest(w1 + w2);
  if (sum == 0) return w2 > 0 ? ThreeNorthCase::kZeroPlus : ThreeNorthCase::kZeroMinus;
  if (sum > 0) return w1 < w2 ? ThreeNorthCase::kA : ThreeNorthCase::kB;
  return w1 < w2 ? ThreeNorthCase::kC : ThreeNorthCase::kD;
}

const char* ThreeNorthCaseName(ThreeNorthCase c) {
  switch (c) {
    case ThreeNorthCase::kZeroPlus:
      return "Z+";
    case ThreeNorthCase::kZeroMinus:
      return "Z-";
    case ThreeNorthCase::kA:
      return "A";
    case ThreeNorthCase::kB:
      return "B";
    case ThreeNorthCase::kC:
      return "C";
    case ThreeNorthCase::kD:
      return "D";
  }
  return "?";
}

std::string ThreeNorthAngleText(double degrees) {
  if (!std::isfinite(degrees)) degrees = 0.0;
  // Whole minutes, half away from zero; past 2^53 minutes every double is a
  // whole number of them and none is left over.
  const double minutes = std::round(std::fabs(degrees) * 60.0);
  const double whole = std::floor(minutes / 60.0);
  const double rest = minutes < 9007199254740992.0 ? minutes - whole * 60.0 : 0.0;
  char text[400];
  std::snprintf(text, sizeof text, "%s%.0f°%02d′", degrees < 0 && minutes > 0 ? "−" : "", whole,
                static_cast<int>(std::clamp(rest, 0.0, 59.0)));
  return text;
}

namespace {

// The inner ring the fonts give: the text offset and six label widths.
double FontRing(const ThreeNorthInput& in) { return in.txtOffset + 6.0 * in.labelWidth; }

// The inner ring grown until the labels and the angle texts fit (at most
// kThreeNorthMaxRingGrowth times the fonts' ring), whatever the lines' length.
double GrownRing(const ThreeNorthInput& in) {
  const double base = FontRing(in);
  const double digit = std::max(0.0, in.digitHeight);
  double need = base;
  // The spacing between neighbouring lines, as drawn (1.57 / 90 a degree).
  const double spacing = std::min(std::fabs(in.w1), std::fabs(in.w2));
  // Labels: along their line, the far side of the cell short of the next
  // line by the gap; the outer corner the ring gap inside the ring.
  const double sector = spacing * kThreeNorthRadPerDegree;
  if (std::isfinite(sector) && sector > 0.0) {
    const double gap = LabelGap(in), across = gap + std::max(0.0, in.labelHeight);
    const double fromCentre =
        sector < 1.5 ? (across * std::cos(sector) + gap) / std::sin(sector) : gap;  // 1.5 rad: nearly square
    for (int i = 0; i < 3; ++i) {
      const double length = in.labelLength[i] > 0 ? in.labelLength[i] : 4.0 * in.labelWidth;
      const double inner = std::max(fromCentre, static_cast<double>(in.txtOffset));
      need = std::max(need, std::hypot(inner + length, across) + LabelRingGap(in));
    }
  }
  // Angle texts: one sector less a degree (a path reaches a degree past its
  // line), the ring clearance above the ring; clear of the arrowheads at the
  // ends by their stroke along the ring and a quarter of a digit height; a
  // text on the inner ring starts past the middle line (InnerTextStart).
  const double textSector = (spacing - 1.0) * kThreeNorthRadPerDegree;
  if (std::isfinite(textSector) && textSector > 0.0) {
    const double lift = kThreeNorthRingClearance * digit;
    const double end = (in.axisLength / 15) * std::cos(30.0 * kK) + digit / 4.0;
    const CasePlans plans = PlansOf(ThreeNorthCaseOf(in.w1, in.w2), in.w1, in.w2);
    for (int i = 0; i < 3; ++i) {
      const double length = in.angleTextLength[i];
      if (!(length > 0.0)) continue;
      need = plans.texts[i].outer ? std::max(need, (length + 2.0 * end) / textSector - lift - 2.0 * digit)
                                  : std::max(need, (InnerTextStart(in) + length + end) / textSector - lift);
    }
  }
  return base > 0.0 ? std::min(need, kThreeNorthMaxRingGrowth * base) : base;
}

}  // namespace

ThreeNorthRings ThreeNorthRingsOf(const ThreeNorthInput& in) {
  const double digit = std::max(0.0, in.digitHeight);
  ThreeNorthRings rings;
  rings.exact = GrownRing(in);
  // Lines shorter than the grown rings want keep their length: the rings
  // grow only as far as the lines leave room (five digit heights short of
  // their ends), never below the fonts' ring, and the texts stand where
  // they fall.
  if (ThreeNorthMinimumAxisLength(in) > in.axisLength)
    rings.exact = std::max(FontRing(in), std::min(rings.exact, in.axisLength - 5.0 * digit));
  rings.r1 = Nearest(rings.exact);
  rings.r2 = Nearest(rings.r1 + 2.0 * digit);
  return rings;
}

int ThreeNorthMinimumAxisLength(const ThreeNorthInput& in) {
  return Nearest(GrownRing(in) + 5.0 * in.digitHeight);
}

int ThreeNorthFontAxisLength(const ThreeNorthInput& in) {
  return Nearest(FontRing(in) + 5.0 * in.digitHeight);
}

SGIS_Point ThreeNorthRingPoint(SGIS_Point centre, int k, int r) {
  return SGIS_Point(Add(centre.x, Nearest(r * std::sin(k * kK))),
                    Add(centre.y, Nearest(r * std::cos(k * kK))), 0);
}

const ThreeNorthArc& ThreeNorthFigure::Arc(ThreeNorthAngle angle) const {
  for (const ThreeNorthArc& a : arcs)
    if (a.angle == angle) return a;
  return arcs[0];
}

ThreeNorthFigure BuildThreeNorthFigure(const ThreeNorthInput& in) {
  ThreeNorthFigure f;
  const SGIS_Point o = in.centre;
  const double w1 = in.w1, w2 = in.w2;
  f.centre = o;
  f.kase = ThreeNorthCaseOf(w1, w2);
  const ThreeNorthRings rings = ThreeNorthRingsOf(in);
  f.r1 = rings.r1;
  f.r2 = rings.r2;
  f.angleTexts = in.angleTexts;
  const int r = in.axisLength / 15;
  f.markSize = r;
  f.gridEnd = Brg(o, w1, in.axisLength);
  f.magnetEnd = Brg(o, w2, in.axisLength);
  f.trueEnd = SGIS_Point(o.x, Add(o.y, in.axisLength), 0);

  // Arcs and text paths by case.
  const CasePlans plans = PlansOf(f.kase, w1, w2);
  const std::array<Plan, 3>& arcs = plans.arcs;
  const std::array<Plan, 3>& texts = plans.texts;  // conv (TG), decl (TM), diff (GM)
  const int n1 = f.r1, n2 = f.r2;
  for (std::size_t i = 0; i < arcs.size(); ++i)
    f.arcs[i] = Trace(o, arcs[i].angle, arcs[i].outer ? n2 : n1, arcs[i].walk, &f.capped);
  f.convPath = Trace(o, texts[0].angle, texts[0].outer ? n2 : n1, texts[0].walk, &f.capped);
  f.declPath = Trace(o, texts[1].angle, texts[1].outer ? n2 : n1, texts[1].walk, &f.capped);
  f.diffPath = Trace(o, texts[2].angle, texts[2].outer ? n2 : n1, texts[2].walk, &f.capped);
  std::vector<SGIS_Point>* runs[3] = {&f.convRun, &f.declRun, &f.diffRun};
  const ThreeNorthArc* paths[3] = {&f.convPath, &f.declPath, &f.diffPath};
  for (int i = 0; i < 3; ++i) {
    // The text's cell stands the ring clearance off its ring, so that the
    // digits, only the font's descent above the cell's bottom, keep clear
    // of the ring's stroke.
    const double lift = kThreeNorthRingClearance * std::max(0.0, in.digitHeight);
    const int radius = Nearest(paths[i]->radius + lift);
    *runs[i] = TextRun(Trace(o, texts[i].angle, radius, texts[i].walk, &f.capped), !texts[i].outer);
    // The text on the inner ring starts past the middle line of its path,
    // where the plain text element starts too, clear of an arrowhead there;
    // the rings leave room to the arrowhead at the far end of its sector.
    const double length = in.angleTextLength[i];
    const std::size_t n = paths[i]->points.size();
    const double clear = InnerTextStart(in);
    if (!texts[i].outer && length > 0 && n - n / 2 >= 2 && radius > 0 && std::isfinite(length + clear)) {
      const double line =
          texts[i].walk.from + static_cast<double>(texts[i].walk.step) * static_cast<double>(n / 2);
      *runs[i] = FromLine(o, line, texts[i].walk.step, radius, clear, length);
    }
  }

  // Arrowhead tips: where the arcs reach the grid line (T1) and the magnetic
  // meridian (T2, T3), on the rings each case gives them.
  struct Tips {
    int t1, t2, t3;  // ring of each tip: 1 inner, 2 outer
  };
  Tips tips{2, 2, 1};
  switch (f.kase) {
    case ThreeNorthCase::kZeroPlus:
      tips = {2, 2, 1};
      break;
    case ThreeNorthCase::kZeroMinus:
      // The arcs from north to both lines lie on the inner ring here, the
      // arc between the lines on the outer one, and so do their heads.
      tips = {1, 1, 2};
      break;
    case ThreeNorthCase::kA:
    case ThreeNorthCase::kD:
      tips = {2, 1, 2};
      break;
    case ThreeNorthCase::kB:
    case ThreeNorthCase::kC:
      tips = {1, 2, 2};
      break;
  }
  auto ring = [&](int which) { return which == 1 ? n1 : n2; };
  const SGIS_Point t1 = ThreeNorthRingPoint(o, Nearest(w1), ring(tips.t1));
  const SGIS_Point t2 = ThreeNorthRingPoint(o, Nearest(w2), ring(tips.t2));
  const SGIS_Point t3 = ThreeNorthRingPoint(o, Nearest(w2), ring(tips.t3));
  f.arrowheads[0] = ArcArrow(t1, w1, w1 < 0, r);
  f.arrowheads[1] = ArcArrow(t2, w2, w2 < 0, r);
  f.arrowheads[2] = ArcArrow(t3, w2, w2 < w1, r);

  // The star: outer points at r, inner points at r x q, one tip straight up.
  const double q = std::sin(0.314) / std::sin(2.198);
  const SGIS_Point s = f.trueEnd;
  for (int i = 0; i < 6; ++i) {
    f.star[2 * i] = Ang(s, 72.0 * i + 18.0, r);
    const double a = (72.0 * i + 54.0) * kK;
    f.star[2 * i + 1] =
        SGIS_Point(Add(s.x, Nearest(std::cos(a) * r * q)), Add(s.y, Nearest(std::sin(a) * r * q)), 0);
  }
  f.gridMark = {Ang(f.gridEnd, (270.0 - w1) + 30.0, r), f.gridEnd, Ang(f.gridEnd, (270.0 - w1) - 30.0, r)};
  f.magnetMark = {Ang(f.magnetEnd, (270.0 - w2) - 15.0, 2.0 * r), f.magnetEnd,
                  Ang(f.magnetEnd, (270.0 - w2) + 15.0, 2.0 * r)};

  f.labels[0] = {SGIS_Point(o.x, Add(o.y, n2), 0), SGIS_Point(o.x, Add(o.y, in.txtOffset), 0)};
  f.labels[1] = LabelPath(o, w1, n2, in.txtOffset);
  f.labels[2] = LabelPath(o, w2, n2, in.txtOffset);

  // The text drawer stands a text on the left of its path. A label stands
  // on the side of its line away from the true meridian (the true
  // meridian's own on its clockwise side), where no arc ends in an
  // arrowhead inside the inner ring: its path runs in toward the centre on
  // the right, out from it on the left. Moved a clearance off its line, the
  // cell has its far corners at sqrt(end^2 + (clearance + h)^2) from the
  // centre; they stay the ring clearance inside the inner ring.
  const double h = std::max(0.0, in.labelHeight);
  const double gap = LabelGap(in);
  const double reach = std::max(0.0, n1 - LabelRingGap(in));
  const double end = std::sqrt(std::max(0.0, reach * reach - (h + gap) * (h + gap)));
  const double bearings[3] = {0.0, w1, w2};
  for (int i = 0; i < 3; ++i) {
    const double length = in.labelLength[i] > 0 ? in.labelLength[i] : 4.0 * in.labelWidth;
    f.labelRuns[i] = bearings[i] < 0 ? LabelPath(o, bearings[i], end - length, end, -gap)
                                     : LabelPath(o, bearings[i], end, end - length, gap);
  }
  return f;
}

}  // namespace md::layout::furniture
