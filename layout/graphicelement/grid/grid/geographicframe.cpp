// The geographic frame of the grids that follow longitude and latitude.
#include "layout/graphicelement/grid/grid/geographicframe.h"

#include <cmath>
#include <cstring>

#include "layout/graphicelement/grid/grid/gridlines.h"

namespace md::layout::grid {

namespace {

constexpr int kDegreeUnit = 1;
constexpr int kSamplesPerEdge = 64;

}  // namespace

namespace {

bool SameBits(const SGIS_DRect& a, const SGIS_DRect& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::uint64_t Bits(double d) {
  std::uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

void Append(std::string* pKey, double d) { pKey->append(reinterpret_cast<const char*>(&d), sizeof d); }

void AppendSystem(std::string* pKey, IGIS_GeographicCoordSys* pSystem) {
  if (pSystem == nullptr) {
    pKey->push_back('-');
    return;
  }
  IGIS_Datum* pDatum = pSystem->GetDatum();
  IGIS_Ellipsoid* pEllipsoid = pDatum != nullptr ? pDatum->GetEllipsoid() : nullptr;
  if (pEllipsoid != nullptr) {
    for (double d :
         {pEllipsoid->GetSemiMajorAxis(), pEllipsoid->GetSemiMinorAxis(), pEllipsoid->GetShiftX(),
          pEllipsoid->GetShiftY(), pEllipsoid->GetShiftZ(), pEllipsoid->GetRotationFAI(),
          pEllipsoid->GetRotationOM(), pEllipsoid->GetRotationKB(), pEllipsoid->GetScaleCorrection()})
      Append(pKey, d);
  } else {
    pKey->push_back('-');
  }
  IGIS_PrimeMeridian* pMeridian = pSystem->GetPrimeMeridian();
  Append(pKey, pMeridian != nullptr ? pMeridian->GetValue() : 0.0);
  IGIS_Unit* pUnit = pSystem->GetAngularUnit();
  Append(pKey, pUnit != nullptr ? pUnit->GetFactor() : 0.0);
}

}  // namespace

std::unique_ptr<GeographicFrameCache::Values> GeographicFrameCache::CheckOut(const std::string& reference) {
  std::unique_ptr<Values> pValues;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pValues && m_pValues->reference == reference) pValues = std::move(m_pValues);
  }
  if (!pValues) {
    pValues = std::make_unique<Values>();
    pValues->reference = reference;
  }
  return pValues;
}

void GeographicFrameCache::CheckIn(std::unique_ptr<Values> pValues) {
  std::lock_guard<std::mutex> lock(m_mutex);
  // Another drawing may have checked its values in meanwhile: the newer
  // reference wins, and of two on the same one those that hold more.
  if (!m_pValues || m_pValues->reference != pValues->reference ||
      m_pValues->toMap.size() <= pValues->toMap.size())
    m_pValues = std::move(pValues);
}

std::string ReferenceKey(IGIS_SpatialReference* pReference) {
  std::string key;
  if (pReference == nullptr) return key;
  const int nKind = pReference->GetKind();
  key.append(reinterpret_cast<const char*>(&nKind), sizeof nKind);
  Append(&key, pReference->GetUnitFactor());
  SGIS_DPoint origin;
  pReference->GetOrigin(&origin);
  Append(&key, origin.x);
  Append(&key, origin.y);
  if (nKind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    AppendSystem(&key, pReference->GetGeographicCoordSys());
  } else if (nKind == GIS_SPATIALREFERENCE_PROJECTED) {
    IGIS_ProjectedCoordSys* pProjected = pReference->GetProjectedCoordSys();
    if (pProjected == nullptr) {
      key.push_back('-');
      return key;
    }
    AppendSystem(&key, pProjected->GetGeographicCoordSys());
    IGIS_Unit* pUnit = pProjected->GetLinearUnit();
    Append(&key, pUnit != nullptr ? pUnit->GetFactor() : 0.0);
    if (IGIS_Projection* pProjection = pProjected->GetProjection()) {
      const char* szModel = pProjection->GetModelName();
      key += szModel != nullptr ? szModel : "";
      key.push_back('\0');
      for (int i = 0; i < GIS_PROJPARAM_COUNT; ++i) {
        double d = 0.0;
        if (pProjection->GetParameter(i, &d) == FALSE) d = -0.0;
        Append(&key, d);
      }
    } else {
      key.push_back('-');
    }
  }
  return key;
}

GeographicFrame::~GeographicFrame() {
  if (m_pCache != nullptr && m_pValues) m_pCache->CheckIn(std::move(m_pValues));
}

bool GeographicFrame::Build(IGIS_SpatialReference* pMapReference, GeographicFrameCache* pCache) {
  if (m_pCache != nullptr && m_pValues) m_pCache->CheckIn(std::move(m_pValues));
  m_pCache = nullptr;
  m_pTransform.reset();
  m_pDegrees.reset();
  m_pMap = nullptr;
  m_bMade = m_bPending = m_bToMap = false;
  if (GeographicSystemOf(pMapReference) == nullptr) return false;
  m_pMap = pMapReference;
  if (pCache != nullptr) {
    m_pCache = pCache;
    m_pValues = pCache->CheckOut(ReferenceKey(pMapReference));
    if (m_pValues->bBuilt) {
      m_bPending = true;
      return true;
    }
  }
  if (!Make()) {
    m_pMap = nullptr;
    return false;
  }
  if (m_pValues) m_pValues->bBuilt = true;
  return true;
}

bool GeographicFrame::Make() {
  m_bPending = false;
  IGIS_GeographicCoordSys* pBase = GeographicSystemOf(m_pMap);
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pBase == nullptr || pFactory == nullptr) return false;
  IGIS_GeographicCoordSys* pSystem = pFactory->CreateGeographicCoordSys(
      "度", "angle", pBase->GetDatum(), pBase->GetPrimeMeridian(), pFactory->GetAngularUnit(kDegreeUnit));
  if (pSystem == nullptr) return false;
  m_pDegrees.reset(
      pFactory->CreateGeographicReference("度", "angle", nullptr, pSystem, pFactory->GetLinearUnit(0)));
  if (!m_pDegrees) return false;
  m_pTransform.reset(pFactory->CreateCoordTransform("度1", "angle1", m_pMap, m_pDegrees.get()));
  if (!m_pTransform) {
    m_pDegrees.reset();
    return false;
  }
  if (m_bToMap) m_pTransform->SetSourceAndTarget(m_pDegrees.get(), m_pMap);
  m_bMade = true;
  return true;
}

IGIS_SpatialReference* GeographicFrame::Degrees() { return Made() ? m_pDegrees.get() : nullptr; }

bool GeographicFrame::ToDegrees(SGIS_DRect* pRect) {
  if (pRect == nullptr || (!m_bMade && !m_bPending)) return false;
  // Kept extents are those of the transformation aimed at degrees.
  const bool bKeep = m_pValues && !m_bToMap;
  if (bKeep) {
    const auto* e = m_pValues->extents.Find([pRect](const SGIS_DRect& map) { return SameBits(map, *pRect); });
    if (e != nullptr) {
      *pRect = e->value;
      return true;
    }
  }
  if (!Made()) return false;
  const SGIS_DRect map = *pRect;
  const bool bAll = m_pTransform->TransformRect(pRect, kSamplesPerEdge, 1) != FALSE;
  // Only extents every sample reached are kept: the others are logged each time.
  if (bKeep && bAll) m_pValues->extents.Insert(map, *pRect);
  return bAll;
}

void GeographicFrame::AimToMap() {
  if (!m_bMade && !m_bPending) return;
  m_bToMap = true;
  if (m_bMade) m_pTransform->SetSourceAndTarget(m_pDegrees.get(), m_pMap);
}

bool GeographicFrame::ToMap(SGIS_DPoint* pPoint) {
  if (pPoint == nullptr || (!m_bMade && !m_bPending)) return false;
  if (!std::isfinite(pPoint->x) || !std::isfinite(pPoint->y)) return false;
  const bool bKeep = m_pValues && m_bToMap;
  const GeographicFrameCache::PointKey key{Bits(pPoint->x), Bits(pPoint->y)};
  if (bKeep) {
    const auto found = m_pValues->toMap.find(key);
    if (found != m_pValues->toMap.end()) {
      pPoint->x = found->second.x;
      pPoint->y = found->second.y;
      return found->second.bCarried;
    }
  }
  if (!Made()) return false;
  const bool bCarried = m_pTransform->TransformPoint(1, pPoint, 1) != FALSE && std::isfinite(pPoint->x) &&
                        std::isfinite(pPoint->y);
  if (bKeep && m_pValues->toMap.size() < GeographicFrameCache::kMaxPoints)
    m_pValues->toMap.emplace(key, GeographicFrameCache::MapPoint{bCarried, pPoint->x, pPoint->y});
  return bCarried;
}

IGIS_GeographicCoordSys* GeographicSystemOf(IGIS_SpatialReference* pReference) {
  if (pReference == nullptr) return nullptr;
  switch (pReference->GetKind()) {
    case GIS_SPATIALREFERENCE_GEOGRAPHIC:
      return pReference->GetGeographicCoordSys();
    case GIS_SPATIALREFERENCE_PROJECTED: {
      IGIS_ProjectedCoordSys* pProjected = pReference->GetProjectedCoordSys();
      return pProjected != nullptr ? pProjected->GetGeographicCoordSys() : nullptr;
    }
    default:
      return nullptr;
  }
}

double DegreesPerAngularUnit(int nUnitIndex) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr || nUnitIndex < 0 || nUnitIndex >= pFactory->GetAngularUnitCount()) return 1.0;
  return SpacingUnitFactor(nUnitIndex, true) / SpacingUnitFactor(kDegreeUnit, true);
}

}  // namespace md::layout::grid
