// Counting the lines of a grid: which whole multiples of an interval one
// pass of a drawing or conversion visits, bounded so that stored, typed or
// geometric values never make a pass run without end.
#pragma once

namespace md::layout::grid {

// Most lines of one direction that one pass visits (grid lines, tick lines,
// columns or rows of labels).
inline constexpr int kMaxGridLines = 4096;
// Most marks that one pass makes (intersection markers, hatches, labels).
inline constexpr int kMaxGridMarks = 200000;

// True for an interval that can place lines: a finite number above 0.
bool IsGridInterval(double dInterval);

// The lines k = nFirst .. nFirst + nCount - 1 of one direction, line k at
// k * interval.
struct GridLineRun {
  int nFirst = 0;
  int nCount = 0;
  bool bCapped = false;  // the count was cut to the cap

  // The coordinate of the i-th line of the run.
  double At(int i, double dInterval) const { return (static_cast<double>(nFirst) + i) * dInterval; }
};

// nFirst = R(low / interval) and nCount = R(span / interval) + nExtra, R
// rounding half away from zero. No lines for an interval that is not a grid
// interval, for values that are not finite, and for lines beyond the 32-bit
// range. A count above nCap is cut to nCap (bCapped).
GridLineRun CountGridLines(double dLow, double dSpan, double dInterval, int nExtra, int nCap = kMaxGridLines);

// Writes one record when a pass of a drawing or conversion was cut to a cap,
// however many passes were: the first Note with bCapped set logs (level 3,
// under the method), later ones stay silent.
class GridCapNote {
 public:
  explicit GridCapNote(const char* szMethod) : m_szMethod(szMethod) {}
  // szWhat names what was counted ("grid lines", "hatch marks"...).
  void Note(bool bCapped, const char* szWhat, int nCap);
  bool Noted() const { return m_bNoted; }

 private:
  const char* m_szMethod;
  bool m_bNoted = false;
};

}  // namespace md::layout::grid
