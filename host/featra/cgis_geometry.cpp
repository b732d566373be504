// Geometry of a feature: a point list, an ellipse's bounding rectangle, or
// (for a compound) nothing of its own.
#include <algorithm>

#include "host/basilo/igis_log.h"
#include "host/featra/featra_impl.h"

namespace md::featra {

bool IsPointListKind(int kind) {
  return kind == GIS_FEATURE_KIND_POINT || kind == GIS_FEATURE_KIND_POLYLINE ||
         kind == GIS_FEATURE_KIND_POLYGON || kind == GIS_FEATURE_KIND_RECTANGLE;
}

bool IsKnownKind(int kind) {
  return IsPointListKind(kind) || kind == GIS_FEATURE_KIND_ELLIPSE || kind == GIS_FEATURE_KIND_COMPOUND;
}

int CGIS_Geometry::GetPointCount() { return static_cast<int>(points_.size()); }

SGIS_Point CGIS_Geometry::GetPoint(int index, int) {
  if (index < 0 || index >= static_cast<int>(points_.size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::GetPoint", "index %d out of range (count %d)", index,
            static_cast<int>(points_.size()));
    return SGIS_Point();
  }
  return points_[static_cast<std::size_t>(index)];
}

int CGIS_Geometry::GetPoints(int max, SGIS_Point* buffer, int, int) {
  if (buffer == nullptr || max < 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::GetPoints", "buffer == NULL || max < 0");
    return -1;
  }
  const int n = std::min(max, static_cast<int>(points_.size()));
  std::copy_n(points_.begin(), n, buffer);
  return n;
}

BOOL CGIS_Geometry::SetPointCount(int count) {
  if (!IsPointListKind(kind_)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::SetPointCount", "kind %d holds no point list", kind_);
    return FALSE;
  }
  if (count < 0 || count > MaxPoints()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::SetPointCount", "count %d out of range 0..%d", count,
            MaxPoints());
    return FALSE;
  }
  points_.resize(static_cast<std::size_t>(count));
  return TRUE;
}

BOOL CGIS_Geometry::SetPoint(int index, SGIS_Point point, int) {
  if (index < 0 || index >= static_cast<int>(points_.size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::SetPoint", "index %d out of range (count %d)", index,
            static_cast<int>(points_.size()));
    return FALSE;
  }
  points_[static_cast<std::size_t>(index)] = point;
  return TRUE;
}

BOOL CGIS_Geometry::InsertPoint(int index, SGIS_Point point, int) {
  if (!IsPointListKind(kind_)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::InsertPoint", "kind %d holds no point list", kind_);
    return FALSE;
  }
  if (index < 0 || index > static_cast<int>(points_.size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::InsertPoint", "index %d out of range (count %d)", index,
            static_cast<int>(points_.size()));
    return FALSE;
  }
  if (static_cast<int>(points_.size()) >= MaxPoints()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::InsertPoint", "point list full (%d)", MaxPoints());
    return FALSE;
  }
  points_.insert(points_.begin() + index, point);
  return TRUE;
}

BOOL CGIS_Geometry::SetRect(SGIS_Rect rect, int option) {
  if (kind_ == GIS_FEATURE_KIND_ELLIPSE) return SetEllipse(rect, option);
  if (!IsPointListKind(kind_) || kind_ == GIS_FEATURE_KIND_POINT) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::SetRect", "kind %d holds no rectangle", kind_);
    return FALSE;
  }
  rect.Normalize();
  points_ = {SGIS_Point(rect.left, rect.bottom), SGIS_Point(rect.right, rect.bottom),
             SGIS_Point(rect.right, rect.top), SGIS_Point(rect.left, rect.top),
             SGIS_Point(rect.left, rect.bottom)};
  return TRUE;
}

BOOL CGIS_Geometry::SetEllipse(SGIS_Rect rect, int) {
  if (kind_ != GIS_FEATURE_KIND_ELLIPSE) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::SetEllipse", "kind %d is no ellipse", kind_);
    return FALSE;
  }
  rect.Normalize();
  ellipse_ = rect;
  hasEllipse_ = true;
  return TRUE;
}

bool CGIS_Geometry::OwnBound(SGIS_Rect* rect) const {
  *rect = SGIS_Rect();
  if (kind_ == GIS_FEATURE_KIND_ELLIPSE) {
    if (!hasEllipse_) return false;
    *rect = ellipse_;
    return true;
  }
  if (points_.empty()) return false;
  SGIS_Rect r(points_[0].x, points_[0].y, points_[0].x, points_[0].y);
  for (const SGIS_Point& p : points_) {
    r.left = std::min(r.left, p.x);
    r.right = std::max(r.right, p.x);
    r.bottom = std::min(r.bottom, p.y);
    r.top = std::max(r.top, p.y);
  }
  *rect = r;
  return true;
}

BOOL CGIS_Geometry::GetBound(SGIS_Rect* rect, int, int) {
  if (rect == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Geometry::GetBound", "rect == NULL");
    return FALSE;
  }
  if (kind_ == GIS_FEATURE_KIND_COMPOUND) return owner_->ComputeBound(rect) ? TRUE : FALSE;
  return OwnBound(rect) ? TRUE : FALSE;
}

}  // namespace md::featra
