// The lines that the labels of a measured grid write.
#include "layout/graphicelement/grid/label/measurelabellines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/helmora/igis_map.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::label {

namespace {

// The step of the lattice of world points, degrees.
constexpr double kWorldStep = 10.0;

// The longitude-latitude reference in degrees on the datum of the map's
// reference; NULL when that is neither geographic nor projected.
IGIS_SpatialReference* DegreesOf(IGIS_SpatialReference* pMap) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  IGIS_GeographicCoordSys* pSystem = nullptr;
  switch (pMap->GetKind()) {
    case GIS_SPATIALREFERENCE_GEOGRAPHIC:
      pSystem = pMap->GetGeographicCoordSys();
      break;
    case GIS_SPATIALREFERENCE_PROJECTED:
      if (IGIS_ProjectedCoordSys* pProjected = pMap->GetProjectedCoordSys()) {
        pSystem = pProjected->GetGeographicCoordSys();
      }
      break;
    default:
      return nullptr;
  }
  if (pFactory == nullptr || pSystem == nullptr) return nullptr;
  IGIS_Unit* pDegree = pFactory->GetAngularUnit(1);
  IGIS_GeographicCoordSys* pDegrees = pFactory->CreateGeographicCoordSys(
      "degree", "degree", pSystem->GetDatum(), pSystem->GetPrimeMeridian(), pDegree);
  IGIS_Unit* pUnit = pFactory->CreateLinearUnit("mi", "mi", 1.0);
  return pFactory->CreateGeographicReference("Degree", "Degree", nullptr, pDegrees, pUnit);
}

// The bound, in the grid's reference, of the world's points that it can
// carry: a lattice of every kWorldStep degrees over the world, corners and
// edges included. The outline alone would not do: the world's outline maps
// onto one side of a transverse Mercator zone (its vertical edges are one
// meridian, its horizontal ones the poles). False when no point is carried.
bool WorldInGrid(IGIS_SpatialReference* pDegrees, IGIS_SpatialReference* pGrid, SGIS_DRect* pOut) {
  CGIS_SpatialReferenceHolder holder;
  if (!holder.Create(pDegrees, pGrid, "", "")) return false;
  bool bAny = false;
  for (double lon = -180.0; lon <= 180.0; lon += kWorldStep) {
    for (double lat = -90.0; lat <= 90.0; lat += kWorldStep) {
      SGIS_DPoint p(lon, lat);
      if (!holder.Get()->TransformPoint(1, &p, 1) || !std::isfinite(p.x) || !std::isfinite(p.y)) continue;
      if (!bAny) {
        *pOut = SGIS_DRect(p.x, p.y, p.x, p.y);
        bAny = true;
      } else {
        pOut->x1 = std::min(pOut->x1, p.x);
        pOut->x2 = std::max(pOut->x2, p.x);
        pOut->y1 = std::max(pOut->y1, p.y);
        pOut->y2 = std::min(pOut->y2, p.y);
      }
    }
  }
  return bAny;
}

// WorldInGrid's answers, keyed by the two references' keys: the lattice takes
// hundreds of transformations, and a page prints the same grids again and again.
class WorldCache {
 public:
  bool Find(const std::string& key, bool* pAny, SGIS_DRect* pWorld) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto* e = m_entries.Find([&key](const std::string& k) { return k == key; });
    if (e == nullptr) return false;
    *pAny = e->value.bAny;
    *pWorld = e->value.world;
    return true;
  }
  void Keep(std::string key, bool bAny, const SGIS_DRect& world) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.Insert(std::move(key), World{bAny, world});
  }

 private:
  struct World {
    bool bAny = false;
    SGIS_DRect world;
  };
  static constexpr std::size_t kMaxEntries = 8;
  std::mutex m_mutex;
  md::basilo::RecentRing<std::string, World, kMaxEntries> m_entries;
};

// WorldInGrid for degrees on the map reference's datum, remembered.
bool WorldInGridOf(IGIS_SpatialReference* pMap, IGIS_SpatialReference* pDegrees, IGIS_SpatialReference* pGrid,
                   SGIS_DRect* pOut) {
  static WorldCache cache;
  std::string key = grid::ReferenceKey(pMap);
  const std::uint64_t nSplit = key.size();
  key.append(reinterpret_cast<const char*>(&nSplit), sizeof nSplit);
  key += grid::ReferenceKey(pGrid);
  bool bAny = false;
  if (cache.Find(key, &bAny, pOut)) return bAny;
  bAny = WorldInGrid(pDegrees, pGrid, pOut);
  cache.Keep(std::move(key), bAny, *pOut);
  return bAny;
}

}  // namespace

bool MeasureLabelLines::Prepare(IGIS_SpatialReference* pMapReference, IGIS_SpatialReference* pGridReference,
                                const SGIS_DRect& mapBound, double dRotateAngle,
                                const MeasureSpacing& spacing) {
  m_plan = grid::MeasureGridPlan();
  if (pMapReference == nullptr || pGridReference == nullptr) return false;
  m_pDegrees.reset(DegreesOf(pMapReference));
  if (!m_pDegrees) return false;

  // The part of the grid's plane that its projection covers.
  SGIS_DRect world;
  const bool bWorld = WorldInGridOf(pMapReference, m_pDegrees.get(), pGridReference, &world);

  // The map bound in grid coordinates, the grid's plan over it.
  if (!m_toMap.Create(nullptr, nullptr, "", "")) return false;
  m_toMap.Get()->SetSourceAndTarget(pMapReference, pGridReference);
  SGIS_DRect area;
  if (!grid::MeasureGridExtent(m_toMap.Get(), mapBound, dRotateAngle, bWorld ? &world : nullptr, &area))
    return false;
  m_toMap.Get()->SetSourceAndTarget(pGridReference, pMapReference);

  double dX = 0.0, dY = 0.0;
  m_dUnitFactor = grid::MeasureIntervals(spacing.dXInterval, spacing.dYInterval, spacing.nUnits, &dX, &dY);
  m_dXOrigin = spacing.dXOrigin * m_dUnitFactor;
  m_dYOrigin = spacing.dYOrigin * m_dUnitFactor;
  m_plan = grid::PlanMeasureGrid(area, dX, dY, 0, 0);
  return true;
}

bool MeasureLabelLines::PrepareFor(IGIS_MeasureGrid* pGrid, IGIS_MapElement* pFrame, double dRotateAngle,
                                   double* pScale) {
  IGIS_GridSpacing* pSpacing = pGrid->GetGridSpacing();
  MeasureSpacing spacing;
  spacing.dXInterval = pSpacing->GetXIntervalSize();
  spacing.dYInterval = pSpacing->GetYIntervalSize();
  spacing.dXOrigin = pSpacing->GetXOrigin();
  spacing.dYOrigin = pSpacing->GetYOrigin();
  spacing.nUnits = pSpacing->GetUnits();
  SGIS_DRect bound;
  pFrame->GetMapBound(&bound);
  m_frameRect = pFrame->GetRect();
  m_shown = grid::ShownMapBound(bound, m_frameRect, &m_dScale);
  m_dRotateAngle = dRotateAngle;
  *pScale = m_dScale;
  return Prepare(pFrame->GetMap()->GetSpatialReference(), pGrid->GetSpatialReference(), m_shown, dRotateAngle,
                 spacing);
}

bool MeasureLabelLines::GridToPage(SGIS_DPoint* pPoint) const {
  if (!GridToMap(pPoint)) return false;
  *pPoint = grid::MapToPage(*pPoint, m_shown, m_frameRect, m_dScale, m_dRotateAngle);
  return true;
}

CrossingFrame MeasureLabelLines::PageFrame() const {
  CrossingFrame frame;
  frame.rect = m_frameRect;
  frame.rect.Normalize();
  return frame;
}

int MeasureLabelLines::LineCount(bool bVertical) const {
  return (bVertical ? m_plan.columns : m_plan.rows).nCount;
}

double MeasureLabelLines::LineAt(bool bVertical, int i) const {
  return bVertical ? m_plan.columns.At(i, m_plan.dXInterval) : m_plan.rows.At(i, m_plan.dYInterval);
}

bool MeasureLabelLines::Accepts(LabelSide side, double c) const {
  const SGIS_DRect& a = m_plan.extent;
  return LabelsVerticalLines(side) ? grid::WithinGridEdges(c, a.x1, a.x2, m_plan.dXInterval)
                                   : grid::WithinGridEdges(c, a.y2, a.y1, m_plan.dYInterval);
}

double MeasureLabelLines::LabelValue(LabelSide side, double c) const {
  return (c + (LabelsVerticalLines(side) ? m_dXOrigin : m_dYOrigin)) / m_dUnitFactor;
}

void MeasureLabelLines::LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const {
  // A direction without lines widens nothing.
  const double dx = std::max(m_plan.dXInterval, 0.0);
  const double dy = std::max(m_plan.dYInterval, 0.0);
  const SGIS_DRect& a = m_plan.extent;
  if (LabelsVerticalLines(side)) {
    *pFrom = SGIS_DPoint(c, a.y2 - dy);
    *pTo = SGIS_DPoint(c, a.y1 + dy);
  } else {
    *pFrom = SGIS_DPoint(a.x1 - dx, c);
    *pTo = SGIS_DPoint(a.x2 + dx, c);
  }
}

bool MeasureLabelLines::GridToMap(SGIS_DPoint* pPoint) const {
  IGIS_CoordTransform* t = m_toMap.Get();
  return t != nullptr && t->TransformPoint(1, pPoint, 1) != FALSE;
}

bool MeasureLabelPass::Set(IGIS_MeasureGrid* pGrid, IGIS_MapElement* pFrame, double dRotateAngle,
                           const char* szMethod, const char* szNoArithmetic) {
  if (!lines.PrepareFor(pGrid, pFrame, dRotateAngle, &dScale)) return false;
  grid::CGIS_GridCapRecord caps(szMethod);
  if (lines.Capped()) caps.Note("lines", grid::kMaxGridLines);
  pArithmetic.reset(GIS_CreateGeoArithmeticObject());
  if (!pArithmetic) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoArithmetic);
    return false;
  }
  return true;
}

IGIS_FeatureSet* MeasureLabelPass::SetForConversion(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame,
                                                    const char* szMethod) {
  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graphicLayer == NULL");
    return nullptr;
  }
  if (!Set(dynamic_cast<IGIS_MeasureGrid*>(pGrid), pFrame, pFrame->GetRotateAngle(), szMethod,
           "p_geoArithmetic == NULL ")) {
    return nullptr;
  }
  return pOwner;
}

IGIS_MapView* MeasureLabelPass::SetForDrawing(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame,
                                              const char* szMethod, const char* szNoArithmetic) {
  IGIS_MapView* pMapView = LabelledMapView(pFrame, szMethod);
  if (pMapView == nullptr) return nullptr;
  if (!Set(dynamic_cast<IGIS_MeasureGrid*>(pGrid), pFrame, pMapView->GetRotateAngle(), szMethod,
           szNoArithmetic)) {
    return nullptr;
  }
  return pMapView;
}

IGIS_MapElement* CheckedMeasureFrame(IGIS_MapGrid* pGrid, const char* szMethod, const char* szNoMap,
                                     const char* szKindText, std::initializer_list<HeldPart> parts) {
  IGIS_MapElement* pFrame = LabelledFrame(pGrid, szMethod, szNoMap);
  if (pFrame == nullptr) return nullptr;
  auto* pMeasure = dynamic_cast<IGIS_MeasureGrid*>(pGrid);
  if (pGrid->GetType() != GIS_MAPGRID_MEASURE || pMeasure == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szKindText);
    return nullptr;
  }
  if (pMeasure->GetGridSpacing() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pGridSpacing == NULL");
    return nullptr;
  }
  for (const HeldPart& part : parts) {
    if (!part.bHeld) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", part.szMissing);
      return nullptr;
    }
  }
  return pFrame;
}

}  // namespace md::layout::label
