// Counting the lines of a grid.
#include "layout/graphicelement/grid/grid/gridlines.h"

#include <cmath>

#include "host/basilo/igis_log.h"

namespace md::layout::grid {

namespace {

// Rounds half away from zero; false when the result leaves the 32-bit range
// (or the value is not finite).
bool RoundToInt(double v, long long* pOut) {
  if (!std::isfinite(v)) return false;
  const double r = std::trunc(v >= 0.0 ? v + 0.5 : v - 0.5);
  if (r > 2147483647.0 || r < -2147483648.0) return false;
  *pOut = static_cast<long long>(r);
  return true;
}

}  // namespace

bool IsGridInterval(double dInterval) { return std::isfinite(dInterval) && dInterval > 0.0; }

GridLineRun CountGridLines(double dLow, double dSpan, double dInterval, int nExtra, int nCap) {
  GridLineRun run;
  if (!IsGridInterval(dInterval)) return run;
  long long nFirst = 0;
  long long nSpan = 0;
  if (!RoundToInt(dLow / dInterval, &nFirst) || !RoundToInt(dSpan / dInterval, &nSpan)) return run;
  long long nCount = nSpan + nExtra;
  if (nCount <= 0) return run;
  if (nCount > nCap) {
    nCount = nCap;
    run.bCapped = true;
  }
  // The last line must have an index in the 32-bit range too.
  if (nFirst + nCount - 1 > 2147483647LL) return GridLineRun();
  run.nFirst = static_cast<int>(nFirst);
  run.nCount = static_cast<int>(nCount);
  return run;
}

void GridCapNote::Note(bool bCapped, const char* szWhat, int nCap) {
  if (!bCapped || m_bNoted) return;
  m_bNoted = true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "%s capped at %d", szWhat, nCap);
}

}  // namespace md::layout::grid
