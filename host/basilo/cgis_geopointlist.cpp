#include <new>
#include <vector>

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"

namespace {

// More points than any map boundary needs; larger counts are refused rather
// than allocated.
constexpr int kMaxPoints = 16 * 1024 * 1024;

template <class Interface>
class CGIS_GeoPointList final : public Interface {
 public:
  // The dimension callers give (2) is not needed: points keep the z they get.
  CGIS_GeoPointList(IGIS_SpatialReference* reference, int /*dimension*/, const char* className)
      : reference_(reference), class_(className) {}

  void Release(int /*flag*/) override { delete this; }

  int GetPointCount() const override { return static_cast<int>(points_.size()); }

  BOOL SetPointCount(int count) override {
    if (count < 0 || count > kMaxPoints) {
      Log("SetPointCount", "count out of range");
      return FALSE;
    }
    try {
      points_.resize(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
      Log("SetPointCount", "cannot allocate the points");
      return FALSE;
    }
    return TRUE;
  }

  SGIS_Point GetPoint(int index) const override {
    if (!InRange(index)) {
      Log("GetPoint", "index out of range");
      return SGIS_Point();
    }
    return points_[static_cast<std::size_t>(index)];
  }

  BOOL SetPoint(int index, const SGIS_Point& point) override {
    if (!InRange(index)) {
      Log("SetPoint", "index out of range");
      return FALSE;
    }
    points_[static_cast<std::size_t>(index)] = point;
    return TRUE;
  }

  BOOL InsertPoint(int index, const SGIS_Point& point) override {
    if (index < 0 || index > GetPointCount()) {
      Log("InsertPoint", "index out of range");
      return FALSE;
    }
    if (GetPointCount() >= kMaxPoints) {
      Log("InsertPoint", "too many points");
      return FALSE;
    }
    try {
      points_.insert(points_.begin() + index, point);
    } catch (const std::bad_alloc&) {
      Log("InsertPoint", "cannot allocate the points");
      return FALSE;
    }
    return TRUE;
  }

  BOOL RemovePoint(int index) override {
    if (!InRange(index)) {
      Log("RemovePoint", "index out of range");
      return FALSE;
    }
    points_.erase(points_.begin() + index);
    return TRUE;
  }

  void Clear() override { points_.clear(); }

  BOOL CopyFrom(const IGIS_GeoPointList* other) override {
    if (other == nullptr) {
      Log("CopyFrom", "pOther == NULL");
      return FALSE;
    }
    if (other == this) return TRUE;
    try {
      std::vector<SGIS_Point> copy;
      const int n = other->GetPointCount();
      if (n > kMaxPoints) {
        Log("CopyFrom", "too many points");
        return FALSE;
      }
      copy.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
      for (int i = 0; i < n; ++i) copy.push_back(other->GetPoint(i));
      points_.swap(copy);
    } catch (const std::bad_alloc&) {
      Log("CopyFrom", "cannot allocate the points");
      return FALSE;
    }
    return TRUE;
  }

  IGIS_SpatialReference* GetSpatialReference() const override { return reference_; }

 private:
  bool InRange(int index) const { return index >= 0 && index < GetPointCount(); }
  void Log(const char* op, const char* text) const {
    std::string method = std::string(class_) + "::" + op;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s", text);
  }

  std::vector<SGIS_Point> points_;
  IGIS_SpatialReference* reference_;
  const char* class_;
};

template <class Interface>
Interface* Make(IGIS_SpatialReference* reference, int dimension, const char* className, const char* factory) {
  return md::basilo::MakeOrNull<CGIS_GeoPointList<Interface>>(factory, reference, dimension, className);
}

}  // namespace

extern "C" IGIS_GeoPolygon* GIS_CreateGeoPolygonObject(IGIS_SpatialReference* spatialReference,
                                                       int dimension) {
  return Make<IGIS_GeoPolygon>(spatialReference, dimension, "CGIS_GeoPolygon", "GIS_CreateGeoPolygonObject");
}

extern "C" IGIS_GeoPolyline* GIS_CreateGeoPolyLineObject(IGIS_SpatialReference* spatialReference,
                                                         int dimension) {
  return Make<IGIS_GeoPolyline>(spatialReference, dimension, "CGIS_GeoPolyline",
                                "GIS_CreateGeoPolyLineObject");
}
