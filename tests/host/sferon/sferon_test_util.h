// Owning pointers and small helpers for tests of the spatial-reference
// library and of the libraries built on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"

namespace md::test {

using RefPtr = md::basilo::ReleasePtr<IGIS_SpatialReference>;
using TransformPtr = md::basilo::ReleasePtr<IGIS_CoordTransform>;
using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

inline IGIS_SpatialReferenceFactory* Factory() { return GIS_GetSpatialReferenceFactoryObject(); }

// Longitude/latitude in degrees (CGCS2000) to map coordinates of the target.
inline SGIS_DPoint Project(IGIS_SpatialReference* target, double lon, double lat) {
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  TransformPtr t(Factory()->CreateCoordTransform("t", "t", geographic.get(), target));
  SGIS_DPoint p(lon, lat, 0.0);
  EXPECT_TRUE(t->TransformPoint(1, &p, 1));
  return p;
}

// A datum of the caller's own implementation, with the given ellipsoid axes
// and geocentric shift to WGS 84 (metres).
class ForeignDatum final : public IGIS_Datum {
 public:
  ForeignDatum(const char* name, double a, double b, double shiftX, double shiftY, double shiftZ)
      : ellipsoid_(name, a, b, shiftX, shiftY, shiftZ), name_(name) {}
  const char* GetName() override { return name_; }
  const char* GetDescription() override { return name_; }
  IGIS_Ellipsoid* GetEllipsoid() override { return &ellipsoid_; }

 private:
  class Ellipsoid final : public IGIS_Ellipsoid {
   public:
    Ellipsoid(const char* name, double a, double b, double x, double y, double z)
        : name_(name), a_(a), b_(b), shift_{x, y, z} {}
    const char* GetName() override { return name_; }
    const char* GetDescription() override { return name_; }
    double GetSemiMajorAxis() override { return a_; }
    double GetSemiMinorAxis() override { return b_; }
    double GetShiftX() override { return shift_[0]; }
    double GetShiftY() override { return shift_[1]; }
    double GetShiftZ() override { return shift_[2]; }
    double GetRotationFAI() override { return 0.0; }
    double GetRotationOM() override { return 0.0; }
    double GetRotationKB() override { return 0.0; }
    double GetScaleCorrection() override { return 0.0; }

   private:
    const char* name_;
    double a_, b_, shift_[3];
  };
  Ellipsoid ellipsoid_;
  const char* name_;
};

}  // namespace md::test
