// The map frame's geometry, scale, extent and extent history: how frame
// rectangle, bound and scale follow each other.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"

// ---- Double rectangles
// ---------------------------------------------------------

void NormalizeDoubleRect(SGIS_DRect* pRect) {
  if (pRect == nullptr) return;
  if (pRect->x1 > pRect->x2) std::swap(pRect->x1, pRect->x2);
  if (pRect->y1 > pRect->y2) std::swap(pRect->y1, pRect->y2);
}

bool IsEqualDoubleRect(const SGIS_DRect& a, const SGIS_DRect& b) {
  auto near = [](double va, double vb) { return std::fabs(va - vb) <= std::fabs(va * 1e-15); };
  return near(a.x1, b.x1) && near(a.x2, b.x2) && near(a.y1, b.y1) && near(a.y2, b.y2);
}

SGIS_Rect DoubleRectToIntRect(double x1, double x2, double y1, double y2) {
  SGIS_Rect r;
  r.left = md::basilo::detail::RoundToInt32(x1);
  r.right = md::basilo::detail::RoundToInt32(x2);
  r.top = md::basilo::detail::RoundToInt32(y1);
  r.bottom = md::basilo::detail::RoundToInt32(y2);
  return r;
}

namespace {

// Page coordinates are 0.01 mm.
constexpr double kPageUnitMetres = 1e-5;
// The map scale is measured along the bound's vertical centre line between
// points kMeasuredInset of its height in from the top and the bottom edge,
// against the same kMeasuredShare of the frame's height, so that the ends of
// the line stay inside the map where a projection may stop at its edge.
constexpr double kMeasuredInset = 0.001;
constexpr double kMeasuredShare = 0.998;

SGIS_DRect FromIntRect(const SGIS_Rect& r) {
  return SGIS_DRect::MakeFromRect(r.left, r.right, r.top, r.bottom);
}

bool IsFiniteRect(const SGIS_DRect& r) {
  return std::isfinite(r.x1) && std::isfinite(r.x2) && std::isfinite(r.y1) && std::isfinite(r.y2);
}

// Gives the bound the frame's proportions about its centre, changing one
// axis: widened so that the whole bound stays visible (the larger of the
// map-units-per-page-unit ratios wins), or cropped (the smaller wins).
// Returns the ratio kept, 0 for an empty frame (the bound unchanged).
double FitBoundToFrame(SGIS_DRect* pBound, const SGIS_Rect& rect, bool bWiden) {
  const double w = rect.Width();
  const double h = rect.Height();
  if (!(w * h > 0.0)) return 0.0;
  const double sW = pBound->Width() / w;
  const double sH = pBound->Height() / h;
  const SGIS_DPoint c = pBound->CenterPoint();
  const bool bKeepHeight = bWiden ? sW <= sH : !(sW < sH);
  if (bKeepHeight) {
    pBound->x1 = c.x - w * sH / 2.0;
    pBound->x2 = c.x + w * sH / 2.0;
    return sH;
  }
  pBound->y1 = c.y + h * sW / 2.0;
  pBound->y2 = c.y - h * sW / 2.0;
  return sW;
}

}  // namespace

// ---- Frame geometry
// -------------------------------------------------------------------

SGIS_Rect CGIS_MapElement::GetRect() {
  SGIS_Rect rect;
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return rect;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry != nullptr) pGeometry->GetBound(&rect, 0, 0);
  return rect;
}

void CGIS_MapElement::CommitGeometry(IGIS_Feature* pFeature, const SGIS_Rect& rect) {
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry != nullptr) pGeometry->SetRect(rect, 0);
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  if (pClass != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void CGIS_MapElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  EnsureMainObject("SetWidthAndHeight");
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  SGIS_Rect rect = GetRect();
  if (!m_bFrameSized) {
    rect.right = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.left) + nWidth);
    rect.top = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.bottom) + nHeight);
    CommitGeometry(pFeature, rect);
    m_bFrameSized = true;
    return;
  }
  const int W = rect.Width();
  const int H = rect.Height();
  if (nWidth == W && nHeight == H) return;
  std::int64_t newWidth = nWidth;
  std::int64_t newHeight = nHeight;
  if (GetHVScaleRatio()) {
    const double rx = W < 1 ? 1.0 : static_cast<double>(nWidth) / W;
    const double ry = H < 1 ? 1.0 : static_cast<double>(nHeight) / H;
    const double r = (rx > 1.0 || ry > 1.0 || rx == 1.0 || ry == 1.0) ? std::min(rx, ry) : std::max(rx, ry);
    newWidth = md::basilo::detail::RoundToInt32(W * r);
    newHeight = md::basilo::detail::RoundToInt32(H * r);
  }
  rect.right = md::basilo::detail::ClampToInt32(rect.left + newWidth);
  rect.top = md::basilo::detail::ClampToInt32(rect.bottom + newHeight);
  CommitGeometry(pFeature, rect);
  if (m_pMap != nullptr) {
    UpdateScale(ScaleChange::Frame);
    PushExtentHistory();
  }
}

void CGIS_MapElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  const SGIS_Rect rect = GetRect();
  const double W = rect.Width();
  const double H = rect.Height();
  SGIS_Rect out;
  out.left = md::basilo::detail::RoundToInt32((static_cast<double>(rect.left) - origin.x) * sx + origin.x);
  out.bottom =
      md::basilo::detail::RoundToInt32((static_cast<double>(rect.bottom) - origin.y) * sy + origin.y);
  if (GetHVScaleRatio()) sx = sy = std::min(sx, sy);
  out.right = md::basilo::detail::RoundToInt32(out.left + W * sx);
  out.top = md::basilo::detail::RoundToInt32(out.bottom + H * sy);
  CommitGeometry(pFeature, out);
  UpdateScale(ScaleChange::Frame);
}

void CGIS_MapElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  SGIS_Rect rect = GetRect();
  rect.left = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.left) + dx);
  rect.right = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.right) + dx);
  rect.top = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.top) + dy);
  rect.bottom = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.bottom) + dy);
  CommitGeometry(pFeature, rect);
}

void CGIS_MapElement::SetLBpoint(SGIS_Point point) {
  const SGIS_Rect rect = GetRect();
  OffsetAllPoints(md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(point.x) - rect.left),
                  md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(point.y) - rect.bottom));
}

void CGIS_MapElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

// ---- Scale and bound
// ---------------------------------------------------------------------

int CGIS_MapElement::UpdateScale(ScaleChange change) {
  if (!m_bFrameSized) return 0;
  const SGIS_Rect rect = GetRect();
  const double w = rect.Width();
  const double h = rect.Height();
  if (w <= 0.0 || h <= 0.0) return -1;
  if (m_nExtentType < GIS_MAP_EXTENT_AUTOMATIC || m_nExtentType > GIS_MAP_EXTENT_FIXED_EXTENT) return -1;
  const double hw = w / 2.0;
  const double hh = h / 2.0;
  const SGIS_DPoint c = m_bound.CenterPoint();
  const double s = std::max(m_bound.Width() / w, m_bound.Height() / h);

  bool bRecentre = true;
  bool bNormalise = true;
  if (m_nExtentType == GIS_MAP_EXTENT_AUTOMATIC) {
    if (change != ScaleChange::Scale) m_dFixScale = s;
  } else if (m_nExtentType == GIS_MAP_EXTENT_FIXED_SCALE) {
    bNormalise = change != ScaleChange::Bound;
  } else {
    m_dFixScale = s;
    bRecentre = change == ScaleChange::Frame;
  }
  if (bRecentre) {
    m_bound.x1 = c.x - hw * m_dFixScale;
    m_bound.x2 = c.x + hw * m_dFixScale;
    m_bound.y1 = c.y + hh * m_dFixScale;
    m_bound.y2 = c.y - hh * m_dFixScale;
    if (bNormalise) m_bound.Normalize();
  }
  if (m_pMainObject != nullptr) {
    if (IGIS_MapView* pView = m_pMainObject->GetMapView()) {
      pView->SetExtent(m_bound);
      pView->SetScale(CalcMapScale());
    }
  }
  if (!bRecentre) return 0;
  const double dArgument = std::trunc(m_dFixScale);
  const int nArgument = std::isfinite(dArgument) && std::fabs(dArgument) < 2147483647.0
                            ? static_cast<int>(dArgument)
                            : (dArgument < 0 ? INT32_MIN : INT32_MAX);
  Notify(GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED, nArgument, this);
  IGIS_Feature* pFeature = m_core.m_pFeature;
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  if (pClass != nullptr && pFeature != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
  return 1;
}

double CGIS_MapElement::CalcMapScale() {
  if (m_pMap == nullptr || m_pMap->GetLayerCount() < 1) return 1.0;
  const int h = GetRect().Height();
  SGIS_DRect bound = m_bound;
  bound.Normalize();
  const SGIS_DPoint c = bound.CenterPoint();
  const double d = bound.Height() * kMeasuredInset;
  IGIS_GeoArithmetic* pArithmetic = GIS_CreateGeoArithmeticObject();
  if (pArithmetic == nullptr) return 1.0;
  const double distance =
      pArithmetic->Distance(c.x, bound.y1 - d, c.x, bound.y2 + d, m_pSpatialReference.get(), 1);
  pArithmetic->Release();
  // Metres per page unit: what the page reference's projected system and
  // unit factor say, else the page's own unit of 0.01 mm.
  double u = kPageUnitMetres;
  if (IGIS_SpatialReference* pPage = PageReference()) {
    double f1 = pPage->GetUnitFactor();
    if (!std::isfinite(f1) || f1 <= 0.0) f1 = 1.0;
    IGIS_ProjectedCoordSys* pProjected = pPage->GetProjectedCoordSys();
    IGIS_Unit* pUnit = pProjected != nullptr ? pProjected->GetLinearUnit() : nullptr;
    const double f2 = pUnit != nullptr ? pUnit->GetFactor() : 0.0;
    if (std::isfinite(f2) && f2 > 0.0) u = f2 / f1;
  }
  const double H = h * kMeasuredShare;
  if (H == 0.0 || !std::isfinite(distance)) return 1.0;
  return distance / (H * u);
}

// The scale the bound shows in the frame now, widened to the frame's
// proportions; the kept scale for an empty frame. A query: the bound and the
// kept scale stay as they are.
double CGIS_MapElement::GetScale() {
  if (m_pMap == nullptr) return 0.0;
  SGIS_DRect bound = m_bound;
  const double dRatio = FitBoundToFrame(&bound, GetRect(), true);
  return dRatio > 0.0 ? dRatio : m_dFixScale;
}

void CGIS_MapElement::SetScale(double dScale) {
  if (!(dScale > 0.0) || !std::isfinite(dScale) || m_pMap == nullptr) return;
  m_dFixScale = dScale;
  UpdateScale(ScaleChange::Scale);
  PushExtentHistory();
}

void CGIS_MapElement::SetMapBound(SGIS_DRect bound) {
  const SGIS_Rect rect = GetRect();
  if (m_pMap != nullptr && IsFiniteRect(bound)) {
    bound.Normalize();
    if (bound.Height() > 0.0 && bound.Width() > 0.0) {
      m_bound = bound;
      UpdateScale(ScaleChange::Bound);
      PushExtentHistory();
      return;
    }
  }
  m_bound = FromIntRect(rect);
}

// ---- Extent history
// ----------------------------------------------------------------------------

void CGIS_MapElement::PushExtentHistory() {
  if (m_pMap == nullptr || m_pMap->GetLayerCount() <= 0) return;
  if (!m_history.empty() && m_nHistoryIndex + 1 < static_cast<int>(m_history.size())) {
    m_history.erase(m_history.begin() + (m_nHistoryIndex + 1), m_history.end());
  }
  if (!m_history.empty() && IsEqualDoubleRect(m_history.back(), m_bound)) return;
  m_history.push_back(m_bound);
  if (static_cast<int>(m_history.size()) > kMaxExtentHistory) m_history.erase(m_history.begin());
  m_nHistoryIndex = static_cast<int>(m_history.size()) - 1;
}

bool CGIS_MapElement::CanGoPreviousExtent() { return m_nHistoryIndex > 0; }

bool CGIS_MapElement::CanGoNextExtent() { return m_nHistoryIndex < static_cast<int>(m_history.size()) - 1; }

bool CGIS_MapElement::MoveInHistory(int nStep) {
  EnsureMainObject(nStep < 0 ? "GoPreviousExtent" : "GoNextExtent");
  const int nTarget = m_nHistoryIndex + nStep;
  if (nTarget < 0 || nTarget >= static_cast<int>(m_history.size())) return false;
  m_bound = m_history[static_cast<std::size_t>(nTarget)];
  if (m_pMainObject != nullptr) {
    if (IGIS_MapView* pView = m_pMainObject->GetMapView()) pView->ZoomToExtent(m_bound, 0, nullptr, 1);
  }
  m_nHistoryIndex = nTarget;
  UpdateScale(ScaleChange::Bound);
  return true;
}

bool CGIS_MapElement::GoPreviousExtent() { return CanGoPreviousExtent() && MoveInHistory(-1); }

bool CGIS_MapElement::GoNextExtent() { return CanGoNextExtent() && MoveInHistory(1); }

bool CGIS_MapElement::FullExtent() {
  if (m_pMap == nullptr || m_pMap->GetLayerCount() < 1) return false;
  EnsureMainObject("FullExtent");
  IGIS_MapView* pView = m_pMainObject != nullptr ? m_pMainObject->GetMapView() : nullptr;
  if (pView == nullptr) return false;
  SGIS_DRect full;
  pView->GetFullExtent(&full, 0);
  pView->ZoomFullExtent(0);
  pView->GetFullExtent(&full, 0);
  if (!IsFiniteRect(full)) return false;
  m_bound = full;
  FitBoundToFrame(&m_bound, GetRect(), false);
  UpdateScale(ScaleChange::Bound);
  PushExtentHistory();
  return true;
}
