// Holds one coordinate transformation of the spatial-reference library for
// the length of a computation, and releases it at the end.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_CoordTransform;
class IGIS_SpatialReference;

class CGIS_SpatialReferenceHolder {
 public:
  CGIS_SpatialReferenceHolder() = default;
  ~CGIS_SpatialReferenceHolder();
  CGIS_SpatialReferenceHolder(const CGIS_SpatialReferenceHolder&) = delete;
  CGIS_SpatialReferenceHolder& operator=(const CGIS_SpatialReferenceHolder&) = delete;

  // Makes the transformation from source to target through the factory's
  // transformation maker, which receives (name, description, source,
  // target). NULL references make an empty transformation that the caller
  // aims later. A transformation held before is released first. TRUE when
  // one is held afterwards.
  BOOL Create(IGIS_SpatialReference* pSource, IGIS_SpatialReference* pTarget, const char* szName,
              const char* szDescription);
  // The held transformation, or NULL.
  IGIS_CoordTransform* Get() const { return m_pTransform; }
  // Releases the held transformation, if any.
  void Release();

 private:
  IGIS_CoordTransform* m_pTransform = nullptr;
};
