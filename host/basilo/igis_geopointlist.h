// Geo polygons and polylines: lists of integer points in the coordinates of
// a spatial reference (map coordinates).
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_SpatialReference;  // the spatial-reference library's interface

class IGIS_GeoPointList {
 public:
  // Ends the object; the flag is not used (callers pass 0).
  virtual void Release(int flag) = 0;
  virtual int GetPointCount() const = 0;
  // Keeps the first points; new ones are (0, 0, 0). Negative counts and
  // more than 16M points are refused.
  virtual BOOL SetPointCount(int count) = 0;
  // The point at index; (0, 0, 0) and a log record when out of range.
  virtual SGIS_Point GetPoint(int index) const = 0;
  virtual BOOL SetPoint(int index, const SGIS_Point& point) = 0;
  // Inserts before index; index equal to the count appends.
  virtual BOOL InsertPoint(int index, const SGIS_Point& point) = 0;
  virtual BOOL RemovePoint(int index) = 0;
  virtual void Clear() = 0;
  // Takes the points of another polygon or polyline; the spatial reference
  // given at creation stays.
  virtual BOOL CopyFrom(const IGIS_GeoPointList* other) = 0;
  // The reference given at creation; not owned (it must outlive the object).
  virtual IGIS_SpatialReference* GetSpatialReference() const = 0;

 protected:
  virtual ~IGIS_GeoPointList() = default;
};

// A closed ring: callers repeat the first point at the end.
class IGIS_GeoPolygon : public IGIS_GeoPointList {};

class IGIS_GeoPolyline : public IGIS_GeoPointList {};

extern "C" {
// The dimension (callers pass 2) is recorded only; points keep the z they get.
IGIS_GeoPolygon* GIS_CreateGeoPolygonObject(IGIS_SpatialReference* spatialReference, int dimension);
IGIS_GeoPolyline* GIS_CreateGeoPolyLineObject(IGIS_SpatialReference* spatialReference, int dimension);
}
