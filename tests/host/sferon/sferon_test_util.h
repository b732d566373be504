// Owning pointers and small helpers for tests of the spatial-reference
// library and of the libraries built on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/sferon/igis_spatialreference.h"

namespace md::test {

struct ReleaseDeleter {
  template <class T>
  void operator()(T* object) const {
    if (object != nullptr) object->Release();
  }
};
using RefPtr = std::unique_ptr<IGIS_SpatialReference, ReleaseDeleter>;
using TransformPtr = std::unique_ptr<IGIS_CoordTransform, ReleaseDeleter>;
using BufferPtr = std::unique_ptr<IGIS_DataBuffer, ReleaseDeleter>;

inline IGIS_SpatialReferenceFactory* Factory() { return GIS_GetSpatialReferenceFactoryObject(); }

// Longitude/latitude in degrees (CGCS2000) to map coordinates of the target.
inline SGIS_DPoint Project(IGIS_SpatialReference* target, double lon, double lat) {
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  TransformPtr t(Factory()->CreateCoordTransform("t", "t", geographic.get(), target));
  SGIS_DPoint p(lon, lat, 0.0);
  EXPECT_TRUE(t->TransformPoint(1, &p, 1));
  return p;
}

}  // namespace md::test
