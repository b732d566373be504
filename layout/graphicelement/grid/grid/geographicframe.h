// The geographic frame of the grids that follow longitude and latitude: the
// map's own geographic base in degrees (its datum and prime meridian), and
// the transformation between it and the map's coordinates. A drawing or
// conversion builds one, carries the map bound into degrees, aims the
// transformation back and then carries geographic points to the map.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/gridintervals.h"

class IGIS_GraticuleMNGrid;

namespace md::layout::grid {

class GeographicFrame {
 public:
  // Makes the geographic system "度" on the datum and prime meridian under
  // the map's reference (its own system for a geographic reference, that of
  // its projected system for a projected one) in the angular unit of index 1,
  // the reference "度" on it, and the transformation "度1" from the map's
  // reference to it. False for a NULL reference, one of kind 0, or when any
  // of them cannot be made.
  bool Build(IGIS_SpatialReference* pMapReference);

  // Replaces a rectangle of map coordinates by its extent in degrees (x1
  // west, x2 east, y1 north, y2 south), 64 samples an edge. False when some
  // samples failed: the rectangle is then as the transformation left it.
  bool ToDegrees(SGIS_DRect* pRect);
  // Aims the transformation from degrees to the map's coordinates.
  void AimToMap();
  // Carries one point in place (after AimToMap: degrees to map
  // coordinates). False when it cannot be carried or is not finite after.
  bool ToMap(SGIS_DPoint* pPoint);

  // The reference in degrees (NULL before a successful Build).
  IGIS_SpatialReference* Degrees() const { return m_pDegrees.get(); }

 private:
  IGIS_SpatialReference* m_pMap = nullptr;
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pDegrees;
  md::basilo::ReleasePtr<IGIS_CoordTransform> m_pTransform;
};

// The geographic system under a map's reference: its own for a geographic
// reference, that of its projected system for a projected one; NULL for
// NULL, a reference of another kind or one without a system.
IGIS_GeographicCoordSys* GeographicSystemOf(IGIS_SpatialReference* pReference);

// How many degrees one unit of a spacing's angular unit (its position in
// the factory's angular units) makes; 1.0 for a position without a unit.
double DegreesPerAngularUnit(int nUnitIndex);

// The plan of a graticule of fixed rows and columns over the part of the
// map its frame shows (the shown bound, in the map's coordinates): the
// bound carried into degrees through the frame (a record "b_ret == NULL"
// under szMethod when some samples failed; the extent is then as the
// transformation left it), planned with the grid's columns and rows and the
// unit ratio of its spacing (1 without one). The grid's drawing and
// conversion and the label that labels it all take their lines from here;
// the frame is left aimed at degrees.
FixedCountGraticule PlanGraticuleOfFixedCounts(IGIS_GraticuleMNGrid* pGrid, GeographicFrame& geo,
                                               const SGIS_DRect& shownBound, const char* szMethod);

}  // namespace md::layout::grid
