// The scale text's composition: the text from the followed frame's scale and
// the units, the ground distance across the frame, and the rectangle sized
// to the text.
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"

using namespace md::layout::detail;

namespace {

constexpr const char* kBuildMethod = "CGIS_ScaleTextElement::BuildText";
constexpr std::size_t kTextMax = 2999;
constexpr std::size_t kNumberMax = 512;
// Page coordinates are 0.01 mm: page units per metre when the page's
// reference names no linear unit of its own.
constexpr double kPageUnitsPerMetre = 1e5;

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

double FactorOf(IGIS_Unit* pUnit) { return pUnit != nullptr ? pUnit->GetFactor() : 0.0; }

bool Usable(double d) { return d != 0.0 && std::isfinite(d); }

}  // namespace

double CGIS_ScaleTextElement::GetMapDistancePerPageUnit(int nMode) {
  return GetGroundDistancePerPageUnit(BoundFrame(), nMode);
}

void CGIS_ScaleTextElement::BuildText() {
  std::string text;
  auto format = [this](double v) { return FormatNumber(m_pNumericFormat.get(), v, kNumberMax); };
  auto relative = [&](double v) { return "1" + m_strPageUnitLabel + "等于" + format(v) + m_strMapUnitLabel; };
  auto absolute = [&](double v) {
    return v < 100000.0 ? "1:" + format(v) : "1:" + format(v / 10000.0) + "万";
  };
  auto finish = [this](std::string composed) {
    m_strText.assign(composed, 0, md::layout::Utf8CutLength(composed.c_str(), composed.size(), kTextMax));
  };

  IGIS_MapElement* pFrame = BoundFrame();
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  // A frame that shows no map (none bound, or the one it names cannot be
  // found) gives no scale: the text stays as it is, the stored one after a
  // read, and is composed again once the map is there.
  if (pFrame != nullptr && pMap == nullptr) return;
  if (pMap == nullptr) {
    finish(m_nScaleTextStyle == 1 ? relative(m_dMapScale) : "1:" + format(m_dMapScale));
    return;
  }
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pPage = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  m_dMapScale = pFrame->GetScale();
  if (pPage == nullptr || pMapReference == nullptr || pFactory == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kBuildMethod, "spatial reference == NULL");
    finish("");
    return;
  }
  const double a = pMapReference->GetUnitFactor();
  // Page units per page metre (q) and per page centimetre (q / 100): the
  // quotients by the page's metres per unit r and by K = 100 r, kept as
  // products so that round scales stay exact.
  IGIS_ProjectedCoordSys* pPageSystem = pPage->GetProjectedCoordSys();
  const double c = pPageSystem != nullptr ? FactorOf(pPageSystem->GetLinearUnit()) : 0.0;
  const double q = c != 0.0 ? pPage->GetUnitFactor() / c : kPageUnitsPerMetre;
  const double qk = q / 100.0;
  const int t = pMapReference->GetKind();
  const int n = pFactory->GetLinearUnitCount();
  const bool bLinear = m_nMapUnit >= 0 && m_nMapUnit < n;
  const bool bDegree = m_nMapUnit == n;
  const bool bRelative = m_nScaleTextStyle == 1;
  const double s = m_dMapScale;

  // Each value is a quotient; one of its divisors being 0 or not finite
  // makes no text.
  double v = 0.0;
  bool bOk = Usable(a) && Usable(q);
  auto over = [&bOk](double x, double d) {
    if (!Usable(d)) bOk = false;
    return bOk ? x / d : 0.0;
  };
  IGIS_ProjectedCoordSys* pProjected = pMapReference->GetProjectedCoordSys();
  IGIS_GeographicCoordSys* pGeographic = pMapReference->GetGeographicCoordSys();
  const double l = pProjected != nullptr ? FactorOf(pProjected->GetLinearUnit()) : 0.0;
  const double g = pGeographic != nullptr ? FactorOf(pGeographic->GetAngularUnit()) : 0.0;
  const double u = bLinear ? FactorOf(pFactory->GetLinearUnit(m_nMapUnit)) : 0.0;
  if (t == GIS_SPATIALREFERENCE_NONE) {
    v = over(s * qk, a);
  } else if (t == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    if (!bRelative) {
      v = GetMapDistancePerPageUnit(GIS_DISTANCE_METRE) * q;
    } else if (bDegree) {
      v = over(over(g, a) * s, FactorOf(pFactory->GetUnitByName("度"))) * qk;
    } else if (bLinear) {
      v = over(GetMapDistancePerPageUnit(GIS_DISTANCE_METRE) * qk, u);
    } else {
      v = over(1.0, a) * s * qk;
    }
  } else if (t == GIS_SPATIALREFERENCE_PROJECTED) {
    if (!bRelative) {
      v = over(l, a) * s * q;
    } else if (bDegree) {
      v = GetMapDistancePerPageUnit(GIS_DISTANCE_DEGREE) * qk;
    } else if (bLinear) {
      // Per centimetre of the page, as every other relative text.
      v = over(over(l, a) * s * qk, u);
    } else {
      v = over(1.0, a) * s * qk;
    }
  } else {
    finish("");  // a reference of no known kind
    return;
  }
  if (!bOk || !std::isfinite(v)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kBuildMethod, "divisor == 0");
    finish("");
    return;
  }
  finish(bRelative ? relative(v) : absolute(v));
}

SGIS_Rect CGIS_ScaleTextElement::PageTextExtent() {
  IGIS_Symbol* pSymbol = GetSymbolPtr();
  SGIS_Rect e(0, 0, 0, 0);
  if (pSymbol == nullptr || !pSymbol->GetTextExtent(&e, m_strText.c_str(), 0, 1.0))
    return SGIS_Rect(0, 0, 0, 0);
  const double ratio = md::layout::SymbolUnitRatio(m_core.m_pFeatureSet);
  const int w = Round(std::fabs(static_cast<double>(e.right) - e.left) * ratio);
  const int h = Round(std::fabs(static_cast<double>(e.top) - e.bottom) * ratio);
  return SGIS_Rect(0, h, w, 0);
}

void CGIS_ScaleTextElement::GetScaleRect() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetScaleRect");
  if (pFeature == nullptr) return;
  const SGIS_Rect extent = PageTextExtent();
  const SGIS_Rect r = GetRect();
  const SGIS_Rect sized(
      r.left, md::basilo::detail::ClampToInt32(static_cast<long long>(r.bottom) + extent.top),
      md::basilo::detail::ClampToInt32(static_cast<long long>(r.left) + extent.right), r.bottom);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(sized, 0);
  CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
}
