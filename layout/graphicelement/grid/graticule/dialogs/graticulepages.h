// What the graticule's own pages (fine tick lines, inside labels) share:
// their graticule, and intervals in degrees shown as a row of degrees,
// minutes and seconds.
#pragma once

#include "platform/ui/dialog.h"

class IGIS_GraticuleGrid;
class IGIS_MapGrid;

namespace md::layout::graticule {

// The page's grid as a graticule; without a grid, or for another kind, NULL
// with a level-3 record under szMethod ("m_pMapGrid == NULL" or
// "p_graticule == NULL").
IGIS_GraticuleGrid* GraticuleOf(IGIS_MapGrid* pGrid, const char* szMethod);

// An interval as shown: whole degrees, whole minutes and seconds.
struct DmsRow {
  int nDegrees = 0;
  int nMinutes = 0;
  double dSeconds = 0.0;
};

// Splits degrees with a longitude-latitude format, the seconds to four
// decimals. With bZeroTinySeconds, seconds below 0.0001 show as 0. A value
// the format cannot split leaves the row as it was.
void SplitDegrees(double dDegrees, bool bZeroTinySeconds, DmsRow* pRow);
// Degrees + minutes / 60 + seconds / 3600.
double JoinDegrees(const DmsRow& row);

// The edits of one row, in the order degrees, minutes, seconds.
struct DmsRowIds {
  int nDegrees;
  int nMinutes;
  int nSeconds;
};
// Exchanges a row: degrees 0 to nMaxDegrees, minutes 0 to 60, seconds 0 to
// 60.
void ExchangeDmsRow(CDataExchange* pDX, const DmsRowIds& ids, DmsRow* pRow, int nMaxDegrees = 360);
// Filters the row's edits as they are typed: digits and "+" in degrees and
// minutes, also "." in seconds.
void MapDmsRowFilters(CDialog* pDialog, const DmsRowIds& ids);

}  // namespace md::layout::graticule
