// Geometric arithmetic on map points: ground distances between two points of
// a spatial reference and the part of a polyline that lies in a rectangle.
#pragma once

#include "host/basilo/sgis_types.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/win/wintypes.h"

// Units of IGIS_GeoArithmetic::Distance.
enum {
  GIS_DISTANCE_METRE = 1,   // metres along the geodesic
  GIS_DISTANCE_DEGREE = 2,  // the geodesic's arc in degrees (on the auxiliary sphere)
};

class IGIS_GeoArithmetic {
 public:
  virtual void Release() = 0;

  // The part of the polyline of count points that lies in the rectangle with
  // the corners lowerLeft and upperRight (either order; edges included),
  // written to out in the order of the points. Where the polyline crosses an
  // edge, the written point lies on that edge exactly (x equal to the left or
  // right edge, y to the bottom or top edge); its other coordinate is rounded
  // half away from zero. A polyline that leaves and re-enters gives its
  // pieces one after the other, so out[0] is where it first enters (or its
  // first point when that lies inside) and out[result - 1] where it last
  // leaves. Equal consecutive points are written once. At most 2 * count
  // points are written: out needs room for that many. Returns the number of
  // points written; 0 when nothing lies inside, and for a count below 1 or
  // NULL points (then with a log record).
  virtual int ClipPolylineToRect(SGIS_Point lowerLeft, SGIS_Point upperRight, int count,
                                 const SGIS_Point* points, SGIS_Point* out) = 0;

  // The ground distance between two map points of the reference, along the
  // geodesic on the reference's ellipsoid: projected points are first taken
  // back to longitude and latitude. unit is GIS_DISTANCE_METRE or
  // GIS_DISTANCE_DEGREE. 0.0 with a log record for a NULL reference, one
  // without a coordinate system, coordinates that are not finite or cannot
  // be taken back, and any other unit.
  virtual double Distance(double x1, double y1, double x2, double y2, IGIS_SpatialReference* reference,
                          int unit) = 0;

 protected:
  virtual ~IGIS_GeoArithmetic() = default;
};

extern "C" {
// A new object owned by the caller, who ends it with Release.
IGIS_GeoArithmetic* GIS_CreateGeoArithmeticObject();
}
