// The three-north figure: working angles, rings, arcs, marks and text paths.
#include "layout/graphicelement/furniture/threenorthlayout.h"

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

// The label path from radius `outer` in to radius `inner` along bearing w.
std::array<SGIS_Point, 2> LabelPath(SGIS_Point o, double w, int outer, int inner) {
  const double s = std::sin(w * kK), c = std::cos(w * kK);
  return {SGIS_Point(Nearest(o.x + outer * s), Nearest(o.y + outer * c), 0),
          SGIS_Point(Nearest(o.x + inner * s), Nearest(o.y + inner * c), 0)};
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

std::string ThreeNorthDegreesText(double degrees) {
  if (!std::isfinite(degrees)) return "0";
  const double cut = std::trunc(degrees);
  char text[48];
  if (cut >= 2147483647.0 || cut <= -2147483648.0) {
    std::snprintf(text, sizeof text, "%.0f", cut);
  } else {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(cut));
  }
  return text;
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
  f.r1 = Nearest(in.txtOffset + 6.0 * in.labelWidth);
  f.r2 = Nearest(f.r1 + 2.0 * in.digitHeight);
  const int r = in.axisLength / 15;
  f.markSize = r;
  f.gridEnd = Brg(o, w1, in.axisLength);
  f.magnetEnd = Brg(o, w2, in.axisLength);
  f.trueEnd = SGIS_Point(o.x, Add(o.y, in.axisLength), 0);

  // Arcs and text paths by case. The difference arc and text of case C lie
  // on the outer ring, as in the other same-side cases, so that the
  // difference text keeps clear of the convergence text on the inner ring.
  struct Plan {
    ThreeNorthAngle angle;
    bool outer;
    Walk walk;
  };
  std::array<Plan, 3> arcs{};
  std::array<Plan, 3> texts{};  // in the order conv (TG), decl (TM), diff (GM)
  const int n1 = f.r1, n2 = f.r2;
  switch (f.kase) {
    case ThreeNorthCase::kZeroPlus:
      arcs = {Plan{kAngleGM, false, Up(w1, w2 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
              Plan{kAngleTG, true, Down(0, w1 - 1)}};
      texts = {Plan{kAngleTG, true, Up(w1 - 1, 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
               Plan{kAngleGM, false, Up(w1 - 1, w2 + 1)}};
      break;
    case ThreeNorthCase::kZeroMinus:
      arcs = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, false, Down(0, w2 - 1)},
              Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      texts = {Plan{kAngleTG, true, Up(0, w1)}, Plan{kAngleTM, true, Down(0, w2 - 1)},
               Plan{kAngleGM, false, Up(w2 - 1, w1 + 1)}};
      break;
    case ThreeNorthCase::kA:
      arcs = {Plan{kAngleTM, false, Up(0, w2 + 1)}, Plan{kAngleTG, true, Up(0, w1 + 1)},
              Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      texts = {Plan{kAngleTG, true, Up(0, w1 + 1)}, Plan{kAngleTM, false, Up(0, w2 + 1)},
               Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      break;
    case ThreeNorthCase::kB:
      arcs = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
              Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      texts = {Plan{kAngleTG, false, Up(0, w1 + 1)}, Plan{kAngleTM, true, Up(0, w2 + 1)},
               Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      break;
    case ThreeNorthCase::kC:
      arcs = {Plan{kAngleTG, false, Down(0, w1 - 1)}, Plan{kAngleTM, true, Down(0, w2 - 1)},
              Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      texts = {Plan{kAngleTG, false, Up(w1 - 1, 1)}, Plan{kAngleTM, true, Up(w2 - 1, 1)},
               Plan{kAngleGM, true, Up(w1, w2 + 1)}};
      break;
    case ThreeNorthCase::kD:
      arcs = {Plan{kAngleTM, false, Down(0, w2 - 1)}, Plan{kAngleTG, true, Down(0, w1 - 1)},
              Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      texts = {Plan{kAngleTG, true, Down(0, w1 - 1)}, Plan{kAngleTM, false, Up(w2 - 1, 1)},
               Plan{kAngleGM, true, Down(w1, w2 - 1)}};
      break;
  }
  for (std::size_t i = 0; i < arcs.size(); ++i)
    f.arcs[i] = Trace(o, arcs[i].angle, arcs[i].outer ? n2 : n1, arcs[i].walk, &f.capped);
  f.convPath = Trace(o, texts[0].angle, texts[0].outer ? n2 : n1, texts[0].walk, &f.capped);
  f.declPath = Trace(o, texts[1].angle, texts[1].outer ? n2 : n1, texts[1].walk, &f.capped);
  f.diffPath = Trace(o, texts[2].angle, texts[2].outer ? n2 : n1, texts[2].walk, &f.capped);

  // Arrowhead tips: where the arcs reach the grid line (T1) and the magnetic
  // meridian (T2, T3), on the rings each case gives them.
  struct Tips {
    int t1, t2, t3;  // ring of each tip: 1 inner, 2 outer
  };
  Tips tips{2, 2, 1};
  switch (f.kase) {
    case ThreeNorthCase::kZeroPlus:
    case ThreeNorthCase::kZeroMinus:
      tips = {2, 2, 1};
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
  return f;
}

}  // namespace md::layout::furniture
