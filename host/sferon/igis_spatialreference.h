// The spatial-reference library: units, ellipsoids, datums, prime meridians,
// geographic and projected coordinate systems, spatial references and the
// coordinate transformations between references.
//
// Ownership:
// - The factory (GIS_GetSpatialReferenceFactoryObject) is process-wide and
//   never released.
// - Units, coordinate systems and projections handed out by the factory or by
//   a reference belong to the library; callers never release them. Objects the
//   factory makes from a definition (CreateLinearUnit, CreateGeographicCoordSys)
//   are kept once per distinct definition, so repeated calls
//   with the same values give the same object and memory stays bounded.
// - A spatial reference from CreateSpatialReference / CreateGeographicReference
//   / CreateGaussKrugerReference and a transformation from CreateCoordTransform
//   belong to the caller, who ends them with Release.
// - Everything handed to a maker is copied: a reference or a transformation
//   never points at the objects it was made from.
//
// Coordinates of a reference: a map coordinate c relates to the value v in the
// coordinate system's unit by v = (c + origin) / unit factor, with the origin
// and unit factor of the reference (0 and 1.0 unless set).
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

// Kinds a reference answers in GetKind.
enum {
  GIS_SPATIALREFERENCE_NONE = 0,
  GIS_SPATIALREFERENCE_GEOGRAPHIC = 1,
  GIS_SPATIALREFERENCE_PROJECTED = 2,
};

// Codes of the predefined datums (GetDatum).
enum {
  GIS_DATUM_CGCS2000 = 0,
  GIS_DATUM_XIAN1980 = 1,
  GIS_DATUM_BEIJING1954 = 2,
  GIS_DATUM_WGS84 = 3,
};

// Indexes of projection parameters (IGIS_Projection::GetParameter/SetParameter).
// Angles are in degrees.
enum {
  GIS_PROJPARAM_CENTER_LATITUDE = 0,   // "投影中心点纬度"
  GIS_PROJPARAM_CENTRAL_MERIDIAN = 1,  // "中央经线"
  GIS_PROJPARAM_MAX_LONGITUDE = 2,
  GIS_PROJPARAM_MIN_LONGITUDE = 3,
  GIS_PROJPARAM_MAX_LATITUDE = 4,
  GIS_PROJPARAM_MIN_LATITUDE = 5,  // "制图区域最小纬度"
  GIS_PROJPARAM_POLE_B0 = 6,
  GIS_PROJPARAM_POLE_L0 = 7,
  GIS_PROJPARAM_STANDARD_PARALLEL1 = 8,  // "割线1"
  GIS_PROJPARAM_STANDARD_PARALLEL2 = 9,  // "割线2"
  GIS_PROJPARAM_TANGENT_PARALLEL = 10,   // "切线"
  GIS_PROJPARAM_ZONE_WIDTH = 11,         // "带宽" (3 or 6 degrees)
  GIS_PROJPARAM_ZONE_NUMBER = 12,        // "带号" (0: no zone prefix on x)
  GIS_PROJPARAM_COUNT = 28,
};

// The projection model the transformations compute: transverse Mercator at
// scale 1 (Gauss-Kruger), false easting 500 km plus the zone number in
// millions of metres when GIS_PROJPARAM_ZONE_NUMBER is above 0.
#define GIS_PROJECTION_GAUSS "高斯投影"

class IGIS_Unit {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  // Size of the unit: in radians for an angular unit, in metres for a linear one.
  virtual double GetFactor() = 0;
  virtual BOOL IsAngular() = 0;

 protected:
  virtual ~IGIS_Unit() = default;
};

class IGIS_Ellipsoid {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  virtual double GetSemiMajorAxis() = 0;  // metres
  virtual double GetSemiMinorAxis() = 0;  // metres
  // Shift of the datum to WGS 84 (metres), its rotations (seconds of arc)
  // and its scale correction (parts per million).
  virtual double GetShiftX() = 0;
  virtual double GetShiftY() = 0;
  virtual double GetShiftZ() = 0;
  virtual double GetRotationFAI() = 0;
  virtual double GetRotationOM() = 0;
  virtual double GetRotationKB() = 0;
  virtual double GetScaleCorrection() = 0;

 protected:
  virtual ~IGIS_Ellipsoid() = default;
};

class IGIS_Datum {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  virtual IGIS_Ellipsoid* GetEllipsoid() = 0;

 protected:
  virtual ~IGIS_Datum() = default;
};

class IGIS_PrimeMeridian {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  // Longitude east of Greenwich, degrees.
  virtual double GetValue() = 0;

 protected:
  virtual ~IGIS_PrimeMeridian() = default;
};

class IGIS_GeographicCoordSys {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  virtual IGIS_Datum* GetDatum() = 0;
  virtual IGIS_PrimeMeridian* GetPrimeMeridian() = 0;
  virtual IGIS_Unit* GetAngularUnit() = 0;

 protected:
  virtual ~IGIS_GeographicCoordSys() = default;
};

class IGIS_Projection {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  virtual const char* GetModelName() = 0;
  // Index 0 .. GIS_PROJPARAM_COUNT-1; FALSE (and *value untouched) otherwise.
  virtual BOOL GetParameter(int index, double* value) = 0;
  // FALSE for a bad index or a non-finite value.
  virtual BOOL SetParameter(int index, double value) = 0;

 protected:
  virtual ~IGIS_Projection() = default;
};

class IGIS_ProjectedCoordSys {
 public:
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  virtual IGIS_GeographicCoordSys* GetGeographicCoordSys() = 0;
  virtual IGIS_Projection* GetProjection() = 0;
  virtual IGIS_Unit* GetLinearUnit() = 0;

 protected:
  virtual ~IGIS_ProjectedCoordSys() = default;
};

class IGIS_SpatialReference {
 public:
  virtual void Release() = 0;
  virtual const char* GetName() = 0;
  virtual const char* GetDescription() = 0;
  // GIS_SPATIALREFERENCE_NONE, _GEOGRAPHIC or _PROJECTED.
  virtual int GetKind() = 0;
  // The system of a geographic reference, or NULL.
  virtual IGIS_GeographicCoordSys* GetGeographicCoordSys() = 0;
  // The system of a projected reference, or NULL.
  virtual IGIS_ProjectedCoordSys* GetProjectedCoordSys() = 0;
  // Map coordinates divided by this factor are in the system's unit.
  virtual double GetUnitFactor() = 0;
  // FALSE (and nothing changed) for a value that is not finite and above 0.
  virtual BOOL SetUnitFactor(double factor) = 0;
  virtual void GetOrigin(SGIS_DPoint* origin) = 0;
  virtual BOOL SetOrigin(SGIS_DPoint origin) = 0;
  // Takes over the whole definition of the source (NULL: nothing changes).
  virtual void CopyFrom(IGIS_SpatialReference* source) = 0;
  // Mode GIS_ARCHIVE_WRITE (0) stores the whole definition into the buffer,
  // replacing its content; GIS_ARCHIVE_READ (1) takes the definition stored
  // there (host/sferon/FORMAT.md). FALSE with a log record, and the reference
  // and the buffer unchanged, for a NULL buffer, another mode or a stored form
  // that is damaged or of an unknown version.
  virtual BOOL Archive(IGIS_DataBuffer* buffer, int mode) = 0;
  // Heights: map z values divided by this factor are in the vertical unit.
  // This library keeps no vertical system: 1.0.
  virtual double GetVerticalUnitFactor() = 0;
  // The unit of heights, or NULL (always NULL in this library).
  virtual IGIS_Unit* GetVerticalUnit() = 0;

 protected:
  virtual ~IGIS_SpatialReference() = default;
};

// A transformation from a source to a target reference. Made with NULL
// references it is empty: it carries points unchanged until both are set.
class IGIS_CoordTransform {
 public:
  // Later calls transform from source to target. The definitions are copied.
  virtual void SetSourceAndTarget(IGIS_SpatialReference* source, IGIS_SpatialReference* target) = 0;
  // Transforms count points in place; direction non-zero: source to target,
  // 0: target to source. A point that cannot be transformed is left as it
  // was; TRUE only when every point was transformed.
  virtual BOOL TransformPoint(int count, SGIS_DPoint* points, int direction) = 0;
  virtual void Release() = 0;
  // Replaces the rectangle by the extent (x1 left, x2 right, y1 top, y2
  // bottom) of its outline after transformation, sampling pointsPerEdge points
  // on each edge (at least 2, at most 4096). FALSE when some samples failed;
  // the extent then covers those that succeeded, and when none succeeded the
  // rectangle is left unchanged.
  virtual BOOL TransformRect(SGIS_DRect* rect, int pointsPerEdge, int direction) = 0;

 protected:
  virtual ~IGIS_CoordTransform() = default;
};

class IGIS_SpatialReferenceFactory {
 public:
  // Angular units: 0 radian, 1 degree ("度"), 2 minute, 3 second, 4 grad.
  virtual int GetAngularUnitCount() = 0;
  virtual IGIS_Unit* GetAngularUnit(int index) = 0;
  // Linear units: 0 metre ("米"), then kilometre, decimetre, centimetre,
  // millimetre, foot, inch, yard, mile, nautical mile.
  virtual int GetLinearUnitCount() = 0;
  virtual IGIS_Unit* GetLinearUnit(int index) = 0;
  // A unit of either table by exact name, or NULL.
  virtual IGIS_Unit* GetUnitByName(const char* name) = 0;
  // A linear unit of the given size in metres; NULL for a factor that is not
  // finite and above 0.
  virtual IGIS_Unit* CreateLinearUnit(const char* name, const char* description, double factor) = 0;

  // Predefined datums (GIS_DATUM_*) and the Greenwich meridian (index 0).
  virtual int GetDatumCount() = 0;
  virtual IGIS_Datum* GetDatum(int code) = 0;
  virtual IGIS_PrimeMeridian* GetPrimeMeridian(int index) = 0;

  // A new reference: 0 none, 1 geographic (CGCS2000, degrees), 2 and 3
  // projected (CGCS2000 Gauss-Kruger 3-degree zone 39, central meridian 117
  // degrees east in parameter 1, x without zone prefix, metres); 1 to 3 are
  // entries of the catalogue below. NULL for any other code.
  virtual IGIS_SpatialReference* CreateSpatialReference(int code) = 0;
  // A geographic system on the given datum and prime meridian (Greenwich when
  // NULL) in the given angular unit (degree when NULL). NULL without a datum.
  virtual IGIS_GeographicCoordSys* CreateGeographicCoordSys(const char* name, const char* description,
                                                            IGIS_Datum* datum,
                                                            IGIS_PrimeMeridian* primeMeridian,
                                                            IGIS_Unit* angularUnit) = 0;
  // A new reference on the geographic system: geographic when projection is
  // NULL, else projected with (a copy of) that projection, for example the
  // projection of another reference, in the linear unit (metre when NULL).
  // NULL without a geographic system.
  virtual IGIS_SpatialReference* CreateGeographicReference(const char* name, const char* description,
                                                           IGIS_Projection* projection,
                                                           IGIS_GeographicCoordSys* system,
                                                           IGIS_Unit* linearUnit) = 0;
  // A Gauss-Kruger reference on a predefined datum: zoneWidth 3 or 6, zone
  // 1..120 (3-degree) or 1..60 (6-degree); the central meridian is zone x 3
  // or zone x 6 - 3 degrees. With zonePrefix the x coordinates carry the zone
  // number in their millions. NULL for bad arguments.
  virtual IGIS_SpatialReference* CreateGaussKrugerReference(int datumCode, int zoneWidth, int zone,
                                                            BOOL zonePrefix) = 0;
  // A transformation from source to target (either may be NULL: an empty
  // transformation), owned by the caller.
  virtual IGIS_CoordTransform* CreateCoordTransform(const char* name, const char* description,
                                                    IGIS_SpatialReference* source,
                                                    IGIS_SpatialReference* target) = 0;
  // A new reference read from what Archive wrote, owned by the caller; NULL
  // (and a log record) for a NULL, empty or damaged buffer.
  virtual IGIS_SpatialReference* CreateFromBuffer(IGIS_DataBuffer* buffer) = 0;

  // The catalogue of references this library makes, in a fixed order: for
  // each datum (CGCS2000, Xian 1980, Beijing 1954, WGS 84) its geographic
  // reference in degrees, then the Gauss-Kruger 3-degree zones 25..45 and the
  // 6-degree zones 13..23 (the zones over China), each first without and then
  // with the zone number in front of x. Names are unique.
  virtual int GetPredefinedReferenceCount() = 0;
  // The entry's name (what a chooser lists), or NULL for a bad index.
  virtual const char* GetPredefinedReferenceName(int index) = 0;
  // A new reference of that entry, owned by the caller; NULL for a bad index.
  virtual IGIS_SpatialReference* CreatePredefinedReference(int index) = 0;
  // The index of the entry whose definition equals the reference's (name
  // included), or -1.
  virtual int FindPredefinedReference(IGIS_SpatialReference* reference) = 0;

 protected:
  virtual ~IGIS_SpatialReferenceFactory() = default;
};

extern "C" {
// The process-wide factory; never NULL, never released.
IGIS_SpatialReferenceFactory* GIS_GetSpatialReferenceFactoryObject();
// Whether two references of this library hold the same definition, every
// number to the bit: copying or reading one into the other changes nothing,
// and a transformation between them is the identity. FALSE for NULL and for
// references of another implementation.
BOOL GIS_SpatialReferencesIdentical(IGIS_SpatialReference* pFirst, IGIS_SpatialReference* pSecond);
}
