// The plan of a measured grid, built once by its drawing or conversion and
// read by its walk and its labels.
#include "layout/graphicelement/grid/grid/measuregridplan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "host/basilo/recentring.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

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
  std::string key = ReferenceKey(pMap);
  const std::uint64_t nSplit = key.size();
  key.append(reinterpret_cast<const char*>(&nSplit), sizeof nSplit);
  key += ReferenceKey(pGrid);
  bool bAny = false;
  if (cache.Find(key, &bAny, pOut)) return bAny;
  bAny = WorldInGrid(pDegrees, pGrid, pOut);
  cache.Keep(std::move(key), bAny, *pOut);
  return bAny;
}

}  // namespace

MeasureGridPlan PlanMeasureGrid(SGIS_DRect extent, double dXInterval, double dYInterval, int nTickDivision,
                                int nSubTickCount, GridRunRounding rounding,
                                const GridResolution& resolution) {
  MeasureGridPlan plan;
  extent.Normalize();
  plan.extent = extent;
  plan.nSubTickCount = nSubTickCount;
  plan.resolution = resolution;
  const double w = extent.x2 - extent.x1;
  const double h = extent.y1 - extent.y2;
  auto run = [&](bool bAcrossX, double dInterval, int nCap, int nBudget) {
    return MakeShownGridLineRun(resolution, bAcrossX, bAcrossX ? extent.x1 : extent.y2, bAcrossX ? w : h,
                                dInterval, kMeasureCountMargin, kMeasureStartMargin, rounding, nCap, nBudget);
  };
  plan.dXInterval = dXInterval;
  plan.dYInterval = dYInterval;
  plan.columns = run(true, dXInterval, kMaxGridLines, kGridPassBudget);
  plan.rows = run(false, dYInterval, kMaxGridLines, kGridPassBudget);
  plan.dXTick = nTickDivision > 0 ? dXInterval / nTickDivision : dXInterval;
  plan.dYTick = nTickDivision > 0 ? dYInterval / nTickDivision : dYInterval;
  // A tick only finds where its line meets the frame: its count is cut to
  // the cap instead.
  plan.tickColumns = run(true, plan.dXTick, kMaxGridTicks, 0);
  plan.tickRows = run(false, plan.dYTick, kMaxGridTicks, 0);
  return plan;
}

double MeasureIntervals(double dXStored, double dYStored, int nUnits, double* pX, double* pY) {
  const double dFactor = SpacingUnitFactor(nUnits, false);
  *pX = dXStored * dFactor;
  *pY = dYStored * dFactor;
  return dFactor;
}

bool MeasureGridExtent(IGIS_CoordTransform* pMapToGrid, const SGIS_DRect& shown, double dRotateAngle,
                       const SGIS_DRect* pWorld, SGIS_DRect* pOut, SGIS_DRect* pCarried) {
  SGIS_DRect extent = shown;
  const bool bAll = pMapToGrid->TransformRect(&extent, kMeasureExtentSamples, 1) != FALSE;
  bool bCarried = bAll || !(extent == shown);
  bCarried = bCarried && std::isfinite(extent.x1) && std::isfinite(extent.x2) && std::isfinite(extent.y1) &&
             std::isfinite(extent.y2);
  if (pCarried != nullptr) {
    *pCarried = extent;
    pCarried->Normalize();
  }
  if (pWorld != nullptr) extent = IntersectDRect(*pWorld, extent);
  extent.Normalize();
  const bool bArea = extent.Width() != 0.0 || extent.Height() != 0.0;
  if (dRotateAngle != 0.0 && std::isfinite(dRotateAngle)) extent = GetRotatedRectBound(extent, dRotateAngle);
  *pOut = extent;
  return bCarried && bArea;
}

MeasureSpacing MeasureSpacing::Of(IGIS_GridSpacing* pSpacing) {
  MeasureSpacing s;
  s.dXInterval = pSpacing->GetXIntervalSize();
  s.dYInterval = pSpacing->GetYIntervalSize();
  s.dXOrigin = pSpacing->GetXOrigin();
  s.dYOrigin = pSpacing->GetYOrigin();
  s.nUnits = pSpacing->GetUnits();
  return s;
}

bool MeasureGridPass::Make(IGIS_MeasureGrid* pGrid, IGIS_Display* pDisplay) {
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  IGIS_GridSpacing* pSpacing = pMap != nullptr ? pGrid->GetGridSpacing() : nullptr;
  if (pSpacing == nullptr) return false;
  const FrameShown shown = ShownByFrame(pFrame);
  LaidFrame laid;
  if (!LayFrame(pFrame, shown, pDisplay, &laid)) return false;
  m_pMapView = laid.pMapView;
  return Make(pMap->GetSpatialReference(), pGrid->GetSpatialReference(), shown, laid.dRotateAngle,
              MeasureSpacing::Of(pSpacing), pGrid->GetTickDivision(), pGrid->GetSubTickCount(), laid.dWidth,
              laid.dHeight);
}

bool MeasureGridPass::Make(IGIS_SpatialReference* pMapReference, IGIS_SpatialReference* pGridReference,
                           const FrameShown& shown, double dRotateAngle, const MeasureSpacing& spacing,
                           int nTickDivision, int nSubTickCount, double dLaidWidth, double dLaidHeight) {
  m_plan = MeasureGridPlan();
  m_bLabelled = false;
  m_shown = shown;
  m_dRotateAngle = dRotateAngle;
  m_pMapReference = pMapReference;
  if (pMapReference == nullptr || pGridReference == nullptr) return false;
  if (!m_toMap.Create(nullptr, nullptr, "", "")) return false;

  // The part of the grid's plane that its projection covers, where the
  // map's reference has degrees to lay the world out in.
  md::basilo::ReleasePtr<IGIS_SpatialReference> pDegrees(DegreesOf(pMapReference));
  SGIS_DRect world;
  const bool bWorld = pDegrees && WorldInGridOf(pMapReference, pDegrees.get(), pGridReference, &world);

  // The map bound in grid coordinates, then the transformation aimed back.
  IGIS_CoordTransform* pTransform = m_toMap.Get();
  pTransform->SetSourceAndTarget(pMapReference, pGridReference);
  SGIS_DRect extent, carried;
  const bool bCarried =
      MeasureGridExtent(pTransform, shown.bound, dRotateAngle, bWorld ? &world : nullptr, &extent, &carried);
  pTransform->SetSourceAndTarget(pGridReference, pMapReference);
  m_bLabelled = pDegrees && bCarried;

  double dX = 0.0, dY = 0.0;
  m_dUnitFactor = MeasureIntervals(spacing.dXInterval, spacing.dYInterval, spacing.nUnits, &dX, &dY);
  m_dXOrigin = spacing.dXOrigin * m_dUnitFactor;
  m_dYOrigin = spacing.dYOrigin * m_dUnitFactor;
  m_plan = PlanMeasureGrid(extent, dX, dY, nTickDivision, nSubTickCount, kMeasureRounding,
                           GridResolution::Of(dLaidWidth, dLaidHeight, carried));
  return true;
}

bool MeasureGridPass::GridToMap(SGIS_DPoint* pPoint) const {
  IGIS_CoordTransform* t = m_toMap.Get();
  return t != nullptr && t->TransformPoint(1, pPoint, 1) != FALSE;
}

bool MeasureGridPass::GridToPage(SGIS_DPoint* pPoint) const {
  if (!GridToMap(pPoint)) return false;
  const double z = pPoint->z;
  *pPoint = MapToPage(*pPoint, m_shown.bound, m_shown.rect, m_shown.dScale, m_dRotateAngle);
  pPoint->z = z;
  return true;
}

}  // namespace md::layout::grid
