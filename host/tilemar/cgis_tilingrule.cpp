// The tiling-rule manager and the national-series rule.
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/sferon_degrees.h"
#include "host/tilemar/igis_tilingrule.h"
#include "host/tilemar/sheetnumber.h"

namespace md::tilemar {

namespace {

constexpr int kDenseSamples = 64;

bool InIntRange(double v) {
  return std::isfinite(v) && v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

class CNationalRule final : public IGIS_TilingRule {
 public:
  int GetNumber() override { return GIS_TILINGRULE_NATIONAL; }
  const char* GetName() override { return "国家基本比例尺地形图分幅"; }

  int GetSheetScale(const char* sheetNumber) override {
    detail::Sheet sheet;
    return Parse("CGIS_TilingRule::GetSheetScale", sheetNumber, &sheet) ? sheet.scale : 0;
  }

  BOOL GetSheetBounds(const char* sheetNumber, SGIS_DRect* bounds) override {
    detail::Sheet sheet;
    if (bounds == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_TilingRule::GetSheetBounds", "bounds == NULL");
      return FALSE;
    }
    if (!Parse("CGIS_TilingRule::GetSheetBounds", sheetNumber, &sheet)) return FALSE;
    *bounds = SGIS_DRect(sheet.west, sheet.north, sheet.east, sheet.south);
    return TRUE;
  }

  BOOL GetSheetExtent(const char* sheetNumber, IGIS_SpatialReference* reference, int flag,
                      SGIS_Rect* extent) override {
    const char* method = "CGIS_TilingRule::GetSheetExtent";
    if (extent == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "extent == NULL");
      return FALSE;
    }
    *extent = SGIS_Rect();
    detail::Sheet sheet;
    if (!Parse(method, sheetNumber, &sheet)) return FALSE;
    md::basilo::ReleasePtr<IGIS_SpatialReference> degrees(sferon::CreateDegreesReferenceFor(reference));
    if (degrees == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "reference without a coordinate system");
      return FALSE;
    }
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    md::basilo::ReleasePtr<IGIS_CoordTransform> transform(
        f->CreateCoordTransform("图幅", "sheet", degrees.get(), reference));
    SGIS_DRect r(sheet.west, sheet.north, sheet.east, sheet.south);
    if (transform == nullptr || !transform->TransformRect(&r, flag != 0 ? kDenseSamples : 2, 1)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "sheet outline cannot be transformed");
      return FALSE;
    }
    r.Normalize();
    const double left = std::floor(r.x1), right = std::ceil(r.x2);
    const double top = std::ceil(r.y1), bottom = std::floor(r.y2);
    if (!InIntRange(left) || !InIntRange(right) || !InIntRange(top) || !InIntRange(bottom)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "sheet extent beyond the integer range");
      return FALSE;
    }
    *extent = SGIS_Rect(static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                        static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom));
    return TRUE;
  }

 private:
  static bool Parse(const char* method, const char* number, detail::Sheet* sheet) {
    if (number == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "sheet number == NULL");
      return false;
    }
    std::string why;
    if (!detail::ParseSheetNumber(number, sheet, &why)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "malformed sheet number: %s", why.c_str());
      return false;
    }
    return true;
  }
};

class CTilingRuleManager final : public IGIS_TilingRuleManager {
 public:
  IGIS_TilingRule* GetTilingRule(int number) override {
    if (number == GIS_TILINGRULE_NATIONAL) return &national_;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_TilingRuleManager::GetTilingRule", "no tiling rule %d", number);
    return nullptr;
  }

 private:
  CNationalRule national_;
};

}  // namespace

}  // namespace md::tilemar

extern "C" IGIS_TilingRuleManager* GIS_GetTilingRuleManagerPtr() {
  static md::tilemar::CTilingRuleManager manager;
  return &manager;
}
