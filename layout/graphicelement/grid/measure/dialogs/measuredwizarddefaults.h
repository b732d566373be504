// The defaults the kilometre grid's wizard page works out for a map frame:
// the central meridian of the zone holding the map's centre (for a map in
// geographic coordinates) and a round interval for the map's extent. The
// series-map page takes its zone the same way, with a ratio of its own.
#pragma once

#include "host/basilo/sgis_types.h"

class IGIS_MapElement;
class IGIS_SpatialReference;

namespace md::layout::measure {

// The zone of a geographic map shown in a frame.
struct ZoneChoice {
  double dMeridian = 0.0;  // the zone's central meridian, degrees
  int nWidth = 6;          // the zone's width: 6 or 3 degrees
};

// Frame-to-map ratios up to which the pages choose 6-degree zones.
constexpr double kKilometreSixDegreeRatio = 1000.0;
constexpr double kSeriesSixDegreeRatio = 200.0;

// The zone for a frame nFrameWidth page units wide (0.01 mm) over the map
// bound (map coordinates; the reference's origin X and unit factor turn
// them into degrees): when the frame's width in whole centimetres (the
// width / 1000, truncated) divided by the bound's width in degrees is at
// most dSixDegreeRatio, a 6-degree zone, else a 3-degree zone. Zone numbers
// round down, so 1°W lies in the 6-degree zone of 3°W. False, the choice
// untouched, for a unit factor or a bound width that is not finite and
// above 0, or a centre that is not finite.
bool ChooseZone(int nFrameWidth, const SGIS_DRect& bound, double dUnitFactor, double dOriginX,
                double dSixDegreeRatio, ZoneChoice* pZone);

// The zone of the frame's map (in the geographic pMapReference) as
// ChooseZone finds it, written into the projection of pReference: its
// central meridian and its zone width, which the labels read. False, with a
// record under szMethod and pReference untouched, when no zone is found.
bool SetFrameZone(IGIS_SpatialReference* pReference, IGIS_MapElement* pFrame,
                  IGIS_SpatialReference* pMapReference, double dSixDegreeRatio, const char* szMethod);

// The interval for an extent whose larger side is dSide: the smallest power
// of ten that divides it into at most ten parts after rounding (45000 gives
// 10000, 105000 gives 100000); 1000 for a side that is not finite and
// above 0.
double DefaultInterval(double dSide);

}  // namespace md::layout::measure
