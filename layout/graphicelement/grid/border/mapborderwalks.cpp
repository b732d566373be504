// The layouts of the calibrated and the pattern band.
#include <cmath>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"

namespace md::layout::border {

namespace {

// One side of the outer rectangle as the walk sees it: the corner where its
// walk starts, the direction along it (u) and the outward normal (v).
struct Side {
  std::int64_t cx, cy;
  int ux, uy, vx, vy;
  std::int64_t length;
  bool bInnerEdgeFirst;  // point order of the top and right sides
};

// The piece of a side between positions p0 and p1, lying a to b outside the
// rectangle; a piece that reaches a corner takes that corner square's
// triangle on its side, so its edges run on to the diagonal.
BorderRing SidePiece(const Side& s, std::int64_t p0, std::int64_t p1, bool bStartCorner, bool bEndCorner,
                     std::int64_t a, std::int64_t b) {
  auto at = [&s](std::int64_t p, std::int64_t d, std::int64_t* x, std::int64_t* y) {
    *x = s.cx + p * s.ux + d * s.vx;
    *y = s.cy + p * s.uy + d * s.vy;
  };
  std::int64_t in0x, in0y, in1x, in1y, out0x, out0y, out1x, out1y;
  at(p0 - (bStartCorner ? a : 0), a, &in0x, &in0y);
  at(p1 + (bEndCorner ? a : 0), a, &in1x, &in1y);
  at(p0 - (bStartCorner ? b : 0), b, &out0x, &out0y);
  at(p1 + (bEndCorner ? b : 0), b, &out1x, &out1y);
  if (s.bInnerEdgeFirst) return MakeRing(in0x, in0y, in1x, in1y, out1x, out1y, out0x, out0y);
  return MakeRing(in0x, in0y, out0x, out0y, out1x, out1y, in1x, in1y);
}

// Lays the pieces of the calibrated walk and keeps the turn of the symbols.
class CalibratedWalk {
 public:
  CalibratedWalk(std::int64_t nWidth, bool bAlternating, IGIS_Symbol* pBackground, IGIS_Symbol* pForeground,
                 const PieceSink& sink)
      : m_nWidth(nWidth),
        m_bAlternating(bAlternating),
        m_pBack(pBackground),
        m_pFore(pForeground),
        m_sink(sink) {}

  void Toggle() { m_bFore = !m_bFore; }
  void Lay(const Side& s, std::int64_t p0, std::int64_t p1, bool bStart, bool bEnd) {
    IGIS_Symbol* pNow = m_bFore ? m_pFore : m_pBack;
    IGIS_Symbol* pOther = m_bFore ? m_pBack : m_pFore;
    if (!m_bAlternating) {
      m_sink(SidePiece(s, p0, p1, bStart, bEnd, 0, m_nWidth), pNow);
      return;
    }
    const std::int64_t h = m_nWidth / 2;
    m_sink(SidePiece(s, p0, p1, bStart, bEnd, 0, h), pNow);
    m_sink(SidePiece(s, p0, p1, bStart, bEnd, h, 2 * h), pOther);
  }

 private:
  std::int64_t m_nWidth;
  bool m_bAlternating;
  IGIS_Symbol* m_pBack;
  IGIS_Symbol* m_pFore;
  const PieceSink& m_sink;
  bool m_bFore = false;  // the background symbol starts
};

std::int64_t Nearest(double v) {
  return v >= 0.0 ? static_cast<std::int64_t>(v + 0.5) : static_cast<std::int64_t>(v - 0.5);
}

}  // namespace

void WalkCalibratedBand(const SGIS_Rect& r, int nWidth, int nInterval, bool bAlternating,
                        IGIS_Symbol* pBackground, IGIS_Symbol* pForeground, const PieceSink& sink,
                        const char* szMethod, ShortSides shortSides) {
  const std::int64_t width = r.Width(), height = r.Height();
  const Side sides[4] = {
      {r.left, r.top, 1, 0, 0, 1, width, true},         // top, left to right
      {r.right, r.top, 0, -1, 1, 0, height, true},      // right, downwards
      {r.right, r.bottom, -1, 0, 0, -1, width, false},  // bottom, right to left
      {r.left, r.bottom, 0, 1, -1, 0, height, false},   // left, upwards
  };
  const std::int64_t I = nInterval;
  CalibratedWalk walk(nWidth, bAlternating, pBackground, pForeground, sink);
  bool bCapped = false;
  std::int64_t carry = 0;  // length of the piece that continues round the corner
  for (int i = 0; i < 4; ++i) {
    const Side& s = sides[i];
    const std::int64_t S = s.length;
    const bool bFresh = carry == 0;
    std::int64_t n = 0;
    bool bFits = I >= 1;
    if (bFits) {
      n = bFresh ? S / I : (S - carry) / I;
      if (shortSides == ShortSides::kOnePiece) bFits = bFresh ? n >= 2 : (S - carry >= 0 && n >= 1);
    }
    if (bFits && n > kMaxCalibratedPieces) {
      if (!bCapped)
        GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%lld pieces on a side: laid as one piece",
                static_cast<long long>(n));
      bCapped = true;
      bFits = false;
    }
    if (!bFits) {
      // The side as one piece from corner to corner; a carried piece keeps
      // its symbol.
      if (bFresh && i > 0) walk.Toggle();
      walk.Lay(s, 0, S, true, true);
      carry = 0;
      continue;
    }
    // Lead piece and middle bars; pos is where the next bar would start.
    std::int64_t pos = 0;
    if (bFresh) {
      if (i > 0) walk.Toggle();  // the top side's lead bar opens the walk
      walk.Lay(s, 0, I, true, false);
      pos = I;
      for (std::int64_t k = 1; k <= n - 2; ++k, pos += I) {
        walk.Toggle();
        walk.Lay(s, pos, pos + I, false, false);
      }
    } else {
      walk.Lay(s, 0, carry, true, false);
      pos = carry;
      for (std::int64_t k = 1; k <= n - 1; ++k, pos += I) {
        walk.Toggle();
        walk.Lay(s, pos, pos + I, false, false);
      }
    }
    // What is left after the whole bars: the last bar absorbs a leftover
    // under 10 units; a longer one ends in a whole bar and a remainder that
    // the next side completes.
    const std::int64_t rest = S - (n - 1) * I - carry;
    carry = 0;
    walk.Toggle();
    if (rest < I + 10) {
      walk.Lay(s, S - rest, S, false, true);
      continue;
    }
    // On a side long enough for its counts both starts are S - rest; on a
    // shorter one the top side's bar starts at (n - 1) I, the others' at pos.
    const std::int64_t start = i == 0 ? (n - 1) * I : pos;
    walk.Lay(s, start, start + I, false, false);
    const std::int64_t rEnd = rest - I;
    walk.Toggle();
    walk.Lay(s, S - rEnd, S, false, true);
    if (i < 3) carry = I - rEnd;  // the top-left corner is already whole
  }
}

void WalkPatternBand(const SGIS_Rect& outer, int nWidth, const PatternBand& band, const PieceSink& sink,
                     const char* szMethod, IGIS_PerformanceLog* pPerformance) {
  SGIS_Rect r = outer;
  r.Normalize();
  const std::int64_t w = nWidth > 0 ? nWidth : 0;
  const std::int64_t h = w / 2;
  const std::int64_t left = r.left - h, right = r.right + h, top = r.top + h, bottom = r.bottom - h;
  const double dh = static_cast<double>(h);

  auto corner = [&](std::int64_t cx, std::int64_t cy, IGIS_Symbol* pSymbol) {
    sink(MakeRing(cx - h, cy + h, cx + h, cy + h, cx + h, cy - h, cx - h, cy - h), pSymbol);
  };
  // The tile count of a side of length S at scale k; 0 when there is none.
  // The count is a 32-bit number: a quotient that is not finite or lies
  // outside that range gives no tiles; within it, the cap applies.
  auto tiles = [&](std::int64_t S, double k) -> std::int64_t {
    const double q = static_cast<double>(S - w) / (static_cast<double>(w) * k);
    if (!std::isfinite(q) || q < static_cast<double>(INT32_MIN) || q > static_cast<double>(INT32_MAX))
      return 0;
    const std::int64_t n = Nearest(q);
    if (n > kMaxPatternTiles) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%g tiles on a side: capped at %lld", q,
              static_cast<long long>(kMaxPatternTiles));
      return kMaxPatternTiles;
    }
    return n > 0 ? n : 0;
  };
  auto horizontal = [&](std::int64_t cx, std::int64_t cy, std::int64_t S, double k, IGIS_Symbol* pSymbol) {
    const std::int64_t n = tiles(S, k);
    if (n == 0) return;
    const double step = static_cast<double>(S - w) / static_cast<double>(n);
    const std::int64_t yU = cy + h, yD = cy - h;
    for (std::int64_t i = 0; i < n; ++i) {
      const std::int64_t x0 = Nearest(cx + dh + i * step), x1 = Nearest(cx + dh + (i + 1) * step);
      sink(MakeRing(x0, yU, x1, yU, x1, yD, x0, yD), pSymbol);
    }
  };
  auto vertical = [&](std::int64_t cx, std::int64_t cy, std::int64_t S, double k, IGIS_Symbol* pSymbol) {
    const std::int64_t n = tiles(S, k);
    if (n == 0) return;
    const double step = static_cast<double>(S - w) / static_cast<double>(n);
    const std::int64_t xA = cx - h, xB = cx + h;
    for (std::int64_t i = 0; i < n; ++i) {
      const std::int64_t yA = Nearest(cy - dh - i * step), yB = Nearest(cy - dh - (i + 1) * step);
      sink(MakeRing(xA, yA, xB, yA, xB, yB, xA, yB), pSymbol);
    }
  };

  if (pPerformance != nullptr) pPerformance->Begin(121);
  corner(left, top, band.corners[0]);
  if (pPerformance != nullptr) pPerformance->End(121);
  corner(left, bottom, band.corners[1]);
  corner(right, top, band.corners[2]);
  corner(right, bottom, band.corners[3]);
  const std::int64_t width = right - left, height = top - bottom;
  if (pPerformance != nullptr) pPerformance->Begin(122);
  horizontal(left, top, width, band.scales[0], band.sides[0]);
  if (pPerformance != nullptr) pPerformance->End(122);
  horizontal(left, bottom, width, band.scales[1], band.sides[1]);
  vertical(left, top, height, band.scales[2], band.sides[2]);
  vertical(right, top, height, band.scales[3], band.sides[3]);
}

}  // namespace md::layout::border
