// The slope rule's figure: line lengths, curves and text positions.
#include "layout/graphicelement/furniture/slopefigure.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace md::layout::furniture {

namespace {

// Degrees to radians with the value of pi existing figures were drawn with.
constexpr double kPi = 3.14159265359;
constexpr int kDegreeLines = 30;
// Curves for three or more contours start at the 5-degree line.
constexpr int kFirstLengthened = 4;

int RoundHalfAway(double v) { return md::basilo::detail::RoundToInt32(v); }

double TanDegrees(double d) { return std::tan(d * kPi / 180.0); }

// tan(90 - d) of the whole degrees 0 .. 30, each computed as for any other
// angle: every figure takes its line lengths from them.
double CotWholeDegrees(int d) {
  static const std::array<double, kDegreeLines + 1> table = [] {
    std::array<double, kDegreeLines + 1> t{};
    for (int i = 0; i <= kDegreeLines; ++i) t[static_cast<std::size_t>(i)] = TanDegrees(90.0 - i);
    return t;
  }();
  return table[static_cast<std::size_t>(d)];
}

const char* SecondCaption(int n) {
  switch (n) {
    case 2:
      return "量相邻两条等高线时用";
    case 3:
      return "量相邻三条等高线时用";
    case 4:
      return "量相邻四条等高线时用";
    case 5:
      return "量相邻五条等高线时用";
    case 6:
      return "量相邻六条等高线时用";
    default:
      return "量相邻多条等高线时用";
  }
}

// Height of the highest point any of the lines reaches over x0 .. x1, the
// axis (0) at least. Segments crossing an end of the span count with their
// height at that end.
double HighestOver(const std::vector<const SlopeLine*>& lines, double x0, double x1) {
  double top = 0.0;
  for (const SlopeLine* line : lines) {
    const std::vector<SGIS_Point>& p = line->points;
    for (std::size_t i = 0; i < p.size(); ++i) {
      if (p[i].x >= x0 && p[i].x <= x1) top = std::max(top, static_cast<double>(p[i].y));
      if (i == 0) continue;
      const double ax = p[i - 1].x, ay = p[i - 1].y, bx = p[i].x, by = p[i].y;
      if (ax == bx) continue;
      for (const double edge : {x0, x1}) {
        if (edge > std::min(ax, bx) && edge < std::max(ax, bx)) {
          top = std::max(top, ay + (by - ay) * (edge - ax) / (bx - ax));
        }
      }
    }
  }
  return top;
}

}  // namespace

int SlopeLineLength(double dDegrees, int k, double dContourInterval) {
  const bool bWhole = dDegrees >= 0.0 && dDegrees <= kDegreeLines && dDegrees == std::floor(dDegrees);
  const double cot = bWhole ? CotWholeDegrees(static_cast<int>(dDegrees)) : TanDegrees(90.0 - dDegrees);
  return RoundHalfAway(cot * k * 1000.0 * dContourInterval / kSlopeDivisor);
}

const char* SlopeSettingsFault(const SlopeSettings& s) {
  if (s.nAxislineInterval <= 0) return "AxislineInterval <= 0";
  if (!std::isfinite(s.dContourInterval) || s.dContourInterval <= 0.0) return "ContourInterval <= 0";
  return nullptr;
}

SGIS_Rect SlopeFigure::Extent() const {
  bool bFirst = true;
  std::int64_t l = 0, r = 0, b = 0, t = 0;
  auto add = [&](std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    if (bFirst) {
      l = x1, r = x2, b = y1, t = y2;
      bFirst = false;
      return;
    }
    l = std::min(l, x1), r = std::max(r, x2), b = std::min(b, y1), t = std::max(t, y2);
  };
  auto addLine = [&](const SlopeLine& line) {
    for (const SGIS_Point& p : line.points) add(p.x, p.y, p.x, p.y);
  };
  auto addTexts = [&](const std::vector<SlopeText>& texts) {
    for (const SlopeText& tx : texts) add(tx.box.left, tx.box.bottom, tx.box.right, tx.box.top);
  };
  addLine(axis);
  for (const SlopeLine& line : degreeLines) addLine(line);
  addLine(twoContourCurve);
  for (const SlopeLine& line : furtherCurves) addLine(line);
  for (const SlopeLine& line : lengthenedLines) addLine(line);
  addTexts(titleAndCaptions);
  addTexts(degreeValues);
  addTexts(percentValues);
  using md::basilo::detail::ClampToInt32;
  return SGIS_Rect(ClampToInt32(l), ClampToInt32(t), ClampToInt32(r), ClampToInt32(b));
}

SlopeFigure LayOutSlopeFigure(const SlopeSettings& s, const SlopeMeasure& measure) {
  SlopeFigure f;
  const double ai = s.nAxislineInterval;
  const double ci = s.dContourInterval;
  const int n = std::clamp(s.nSlopelineNumber, 2, kMaxSlopeLines);
  auto x = [&](int i) { return RoundHalfAway(i * ai); };
  auto text = [&](SlopeSymbol symbol, std::string t, double ax, double ay) {
    double w = 0.0, h = 0.0;
    measure(symbol, t.c_str(), &w, &h);
    SlopeText out{symbol, std::move(t), SGIS_Point(RoundHalfAway(ax), RoundHalfAway(ay)), SGIS_Rect()};
    out.box = SGIS_Rect(out.anchor.x, RoundHalfAway(out.anchor.y + h), RoundHalfAway(out.anchor.x + w),
                        out.anchor.y);
    return out;
  };
  auto height = [&](SlopeSymbol symbol, const char* t) {
    double w = 0.0, h = 0.0;
    measure(symbol, t, &w, &h);
    return h;
  };
  auto width = [&](SlopeSymbol symbol, const char* t) {
    double w = 0.0, h = 0.0;
    measure(symbol, t, &w, &h);
    return w;
  };

  f.axis = {SlopeSymbol::Axis, {SGIS_Point(0, 0), SGIS_Point(x(29), 0)}};
  f.twoContourCurve.symbol = SlopeSymbol::Contour;
  // Every list's length is known: each is made once.
  constexpr int kLengthened = kDegreeLines - kFirstLengthened;
  f.degreeLines.reserve(kDegreeLines);
  f.twoContourCurve.points.reserve(kDegreeLines);
  f.furtherCurves.reserve(static_cast<std::size_t>(n - 2));
  f.lengthenedLines.reserve(kLengthened);
  for (int i = 0; i < kDegreeLines; ++i) {
    const int len = SlopeLineLength(i + 1, 1, ci);
    f.degreeLines.push_back({SlopeSymbol::Axis, {SGIS_Point(x(i), 0), SGIS_Point(x(i), len)}});
    f.twoContourCurve.points.push_back(SGIS_Point(x(i), len));
  }
  for (int k = 2; k <= n - 1; ++k) {
    SlopeLine curve{SlopeSymbol::Contour, {}};
    curve.points.reserve(kLengthened);
    for (int i = kFirstLengthened; i < kDegreeLines; ++i) {
      curve.points.push_back(SGIS_Point(x(i), SlopeLineLength(i + 1, k, ci)));
    }
    f.furtherCurves.push_back(std::move(curve));
  }
  for (int i = kFirstLengthened; i < kDegreeLines; ++i) {
    f.lengthenedLines.push_back(
        {SlopeSymbol::Axis, {SGIS_Point(x(i), 0), SGIS_Point(x(i), SlopeLineLength(i + 1, n - 1, ci))}});
  }

  const char* kTitle = "坡  度  尺";
  const char* kFirstCaption = "量相邻两条等高线时用";
  const double wTitle = width(SlopeSymbol::Title, kTitle);
  f.titleAndCaptions.push_back(
      text(SlopeSymbol::Title, kTitle, RoundHalfAway((29 * ai - wTitle) / 2), s.nTitleGap));
  // Each caption stands the description gap above the highest line under
  // its span, so it crosses none of the lines it names.
  f.titleAndCaptions.reserve(3);
  std::vector<const SlopeLine*> lines{&f.axis, &f.twoContourCurve};
  lines.reserve(2 + f.degreeLines.size() + f.furtherCurves.size() + f.lengthenedLines.size());
  for (const SlopeLine& line : f.degreeLines) lines.push_back(&line);
  for (const SlopeLine& line : f.furtherCurves) lines.push_back(&line);
  for (const SlopeLine& line : f.lengthenedLines) lines.push_back(&line);
  auto caption = [&](const char* t, double ax) {
    const double right = RoundHalfAway(ax + width(SlopeSymbol::Description, t));
    const double y = std::ceil(HighestOver(lines, ax, right));
    f.titleAndCaptions.push_back(text(SlopeSymbol::Description, t, ax, y + s.nGapDescription));
  };
  caption(kFirstCaption, ai);
  caption(SecondCaption(n), 9 * ai);
  // The title keeps its gap above the axis unless a caption stands in its
  // way; then it stands the description gap above that caption.
  SlopeText& title = f.titleAndCaptions[0];
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t c = 1; c < f.titleAndCaptions.size(); ++c) {
      const SGIS_Rect& box = f.titleAndCaptions[c].box;
      const bool besides = title.box.right < box.left || title.box.left > box.right;
      const double clearAt = static_cast<double>(box.top) + s.nGapDescription;
      if (besides || title.box.bottom >= clearAt || title.box.top <= box.bottom) continue;
      title = text(SlopeSymbol::Title, title.text, title.anchor.x, clearAt);
    }
  }

  const double ya = -static_cast<double>(s.nAngleGap) - RoundHalfAway(height(SlopeSymbol::Angle, "12"));
  f.degreeValues.reserve(2 + kDegreeLines / 2);
  f.degreeValues.push_back(text(SlopeSymbol::Angle, "1", 0, ya));
  for (int i = 1; i < kDegreeLines; i += 2) {
    f.degreeValues.push_back(text(SlopeSymbol::Angle, std::to_string(i + 1), x(i), ya));
  }
  f.degreeValues.push_back(text(SlopeSymbol::Angle, "度", 32 * ai, ya));

  const double yp = -static_cast<double>(s.nPercentGap) - RoundHalfAway(height(SlopeSymbol::Percent, "12"));
  f.percentValues.reserve(1 + kDegreeLines / 2);
  for (int i = 1; i < kDegreeLines; i += 2) {
    const int percent = RoundHalfAway(TanDegrees(i + 1) * 100.0);
    f.percentValues.push_back(text(SlopeSymbol::Percent, std::to_string(percent), x(i), yp));
  }
  f.percentValues.push_back(text(SlopeSymbol::Percent, "%", 32 * ai, yp));
  return f;
}

}  // namespace md::layout::furniture
