// Clipping of an integer polyline to an axis-parallel rectangle.
#pragma once

#include "host/basilo/sgis_types.h"

namespace md::calcora::detail {

// See IGIS_GeoArithmetic::ClipPolylineToRect; count >= 1 and both pointers
// valid. Returns the number of points written (at most 2 * count).
int ClipPolyline(SGIS_Point corner1, SGIS_Point corner2, int count, const SGIS_Point* points,
                 SGIS_Point* out);

}  // namespace md::calcora::detail
