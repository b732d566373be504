// The arithmetic that the grid kinds and their labels share.
#include "layout/graphicelement/grid/grid/gridlines.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_mapview.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

namespace {

// Rounds half away from zero into *pOut; false when the value is not
// finite. Values beyond the index range are held to just past it, so that
// the run can tell them from indices it can place.
bool RoundedIndex(double v, long long* pOut) {
  if (!std::isfinite(v)) return false;
  const double r = v >= 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
  constexpr double kBeyond = 2.0 * static_cast<double>(kMaxGridLineIndex);
  *pOut = static_cast<long long>(std::clamp(r, -kBeyond, kBeyond));
  return true;
}

bool IsPlaceable(long long v) { return v <= kMaxGridLineIndex && v >= -kMaxGridLineIndex; }

// The factor of a unit, or 0 when there is no unit or no usable factor.
double FactorOf(IGIS_Unit* pUnit) {
  const double f = pUnit != nullptr ? pUnit->GetFactor() : 0.0;
  return std::isfinite(f) && f > 0.0 ? f : 0.0;
}

}  // namespace

void CGIS_GridCapRecord::Note(const char* szPass, long long nCap) {
  if (m_bCapped) return;
  m_bCapped = true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "%s capped at %lld", szPass, nCap);
}

void CGIS_GridCapRecord::Note(const char* szPass, const GridLineRun& run, long long nCap) {
  if (m_bCapped || !run.bCapped) return;
  if (run.bTooClose) {
    m_bCapped = true;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod,
            "%s capped at 0: closer together than %g units where they are drawn", szPass,
            kMinGridLineSpacing);
  } else if (run.bOverBudget) {
    m_bCapped = true;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "%s capped at 0: %lld of them, more than the %d one pass lays",
            szPass, run.nWanted, kGridPassBudget);
  } else {
    Note(szPass, nCap);
  }
}

void CGIS_GridCapRecord::NoteSpent(const char* szPass) {
  if (m_bCapped) return;
  m_bCapped = true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "%s capped at 0: more than is left of the grids' budget", szPass);
}

namespace {
// The innermost budget open on this thread.
thread_local CGIS_GridBudget* t_pBudget = nullptr;
}  // namespace

CGIS_GridBudget::CGIS_GridBudget(long long nBudget) : m_nLeft(std::max(nBudget, 0LL)), m_pOuter(t_pBudget) {
  t_pBudget = this;
}

CGIS_GridBudget::~CGIS_GridBudget() {
  // Unlinked wherever it stands, so that a budget closed out of turn leaves
  // the others open.
  for (CGIS_GridBudget** pp = &t_pBudget; *pp != nullptr; pp = &(*pp)->m_pOuter) {
    if (*pp == this) {
      *pp = m_pOuter;
      return;
    }
  }
}

bool CGIS_GridBudget::Take(long long nCost) {
  for (const CGIS_GridBudget* p = t_pBudget; p != nullptr; p = p->m_pOuter)
    if (p->m_nLeft < nCost) return false;
  for (CGIS_GridBudget* p = t_pBudget; p != nullptr; p = p->m_pOuter) p->m_nLeft -= nCost;
  return true;
}

namespace {

bool LayGridPass(CGIS_GridCapRecord& caps, const char* szPass, double dItems, long long nEach) {
  if (!(dItems > 0.0)) return true;
  // Held below the range of the count, which no budget reaches.
  constexpr double kMost = 1e18;
  const double dCost = std::min(dItems * static_cast<double>(nEach), kMost);
  if (CGIS_GridBudget::Take(static_cast<long long>(std::ceil(dCost)))) return true;
  caps.NoteSpent(szPass);
  return false;
}

}  // namespace

bool LayGridLines(CGIS_GridCapRecord& caps, const char* szPass, long long nLines) {
  return LayGridPass(caps, szPass, static_cast<double>(nLines), kGridLineCost);
}

bool LayGridPoints(CGIS_GridCapRecord& caps, const char* szPass, double dTried, long long nCap) {
  return LayGridPass(caps, szPass, std::min(dTried, static_cast<double>(nCap)), kGridPointCost);
}

GridResolution GridResolution::Of(double dLaidWidth, double dLaidHeight, const SGIS_DRect& shown) {
  GridResolution r;
  r.dX = dLaidWidth / std::fabs(shown.x2 - shown.x1);
  r.dY = dLaidHeight / std::fabs(shown.y1 - shown.y2);
  return r;
}

bool GridResolution::Shows(double dInterval, bool bAcrossX) const {
  const double f = bAcrossX ? dX : dY;
  if (!std::isfinite(f) || !(f > 0.0)) return true;
  // An interval that places no lines is left to the run.
  if (!std::isfinite(dInterval) || !(dInterval > 0.0)) return true;
  return dInterval * f >= kMinGridLineSpacing;
}

GridLineRun TooCloseGridLineRun() {
  GridLineRun run;
  run.bCapped = true;
  run.bTooClose = true;
  return run;
}

GridLineRun MakeShownGridLineRun(const GridResolution& resolution, bool bAcrossX, double dLow, double dSpan,
                                 double dInterval, double dCountMargin, double dStartMargin,
                                 GridRunRounding rounding, int nCap, int nBudget) {
  if (!resolution.Shows(dInterval, bAcrossX)) return TooCloseGridLineRun();
  GridLineRun run = MakeGridLineRun(dLow, dSpan, dInterval, dCountMargin, dStartMargin, rounding, nCap);
  if (nBudget <= 0 || run.nWanted <= nBudget) return run;
  GridLineRun over;
  over.bCapped = true;
  over.bOverBudget = true;
  over.nWanted = run.nWanted;
  return over;
}

namespace {
thread_local long long t_nLinesTraced = 0;
thread_local long long t_nPlansBuilt = 0;
}  // namespace

long long GridLinesTraced() { return t_nLinesTraced; }
void CountGridLineTraced() { ++t_nLinesTraced; }
long long GridPlansBuilt() { return t_nPlansBuilt; }
void CountGridPlanBuilt() { ++t_nPlansBuilt; }

GridLineRun MakeGridLineRun(double dLow, double dSpan, double dInterval, double dCountMargin,
                            double dStartMargin, GridRunRounding rounding, int nCap) {
  GridLineRun run;
  if (!(dInterval > 0.0) || !std::isfinite(dInterval)) return run;
  long long nCount = 0;
  long long nFirst = 0;
  if (rounding == GridRunRounding::kQuotientFirst) {
    long long nQuotient = 0, nLow = 0;
    if (!RoundedIndex(dSpan / dInterval, &nQuotient) || !RoundedIndex(dLow / dInterval, &nLow)) return run;
    nCount = nQuotient + static_cast<long long>(dCountMargin);
    nFirst = nLow - static_cast<long long>(dStartMargin);
  } else if (!RoundedIndex(dSpan / dInterval + dCountMargin, &nCount) ||
             !RoundedIndex(dLow / dInterval - dStartMargin, &nFirst)) {
    return run;
  }
  if (nCount <= 0) return run;
  run.nWanted = nCount;
  if (nCount > nCap) {
    nCount = std::max(nCap, 0);
    run.bCapped = true;
  }
  // The last line's index stays placeable too.
  if (!IsPlaceable(nFirst) || !IsPlaceable(nFirst + nCount - 1)) {
    run.nCount = 0;
    run.bCapped = true;
    return run;
  }
  run.nFirst = nFirst;
  run.nCount = static_cast<int>(nCount);
  return run;
}

double SpacingUnitFactor(int nUnits, bool bAngular) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr || nUnits < 0) return 1.0;
  auto unitAt = [&](int i) { return bAngular ? pFactory->GetAngularUnit(i) : pFactory->GetLinearUnit(i); };
  const int nCount = bAngular ? pFactory->GetAngularUnitCount() : pFactory->GetLinearUnitCount();
  if (nUnits >= nCount) return 1.0;
  const double dUnit = FactorOf(unitAt(nUnits));
  if (dUnit == 0.0) return 1.0;
  const double dBase = FactorOf(unitAt(0));
  return dBase > 0.0 ? dUnit / dBase : dUnit;
}

GridLineSampler::GridLineSampler(SGIS_DPoint from, SGIS_DPoint to, int nSteps)
    : m_from(from), m_to(to), m_nSteps(nSteps) {
  if (nSteps < 1) return;
  m_sx = (to.x - from.x) / nSteps;
  m_sy = (to.y - from.y) / nSteps;
}

SGIS_DPoint GridLineSampler::Input(int j) const {
  // The last sample is the end itself, free of the steps' rounding.
  return j == m_nSteps ? m_to : SGIS_DPoint(m_from.x + j * m_sx, m_from.y + j * m_sy, m_from.z);
}

bool GridLineSampler::Carry(SGIS_DPoint p, const GridPointCarrier& carry, SGIS_Point* pOut) {
  if (carry && !carry(&p)) return false;
  return Round(p, pOut);
}

bool GridLineSampler::Round(SGIS_DPoint p, SGIS_Point* pOut) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  *pOut = SGIS_Point::FromDoubles(p.x, p.y);
  return true;
}

int SampleGridLine(SGIS_DPoint from, SGIS_DPoint to, int nSteps, const GridPointCarrier& carry,
                   std::vector<SGIS_Point>* pOut) {
  pOut->clear();
  const GridLineSampler samples(from, to, nSteps);
  SGIS_Point p;
  for (int j = 0; j < samples.Count(); ++j)
    if (samples.At(j, carry, &p)) pOut->push_back(p);
  return static_cast<int>(pOut->size());
}

int SampleGridLine(SGIS_DPoint from, SGIS_DPoint to, int nSteps, const GridPointsCarrier& carry,
                   std::vector<SGIS_DPoint>* pWork, std::vector<char>* pCarried,
                   std::vector<SGIS_Point>* pOut) {
  pOut->clear();
  const GridLineSampler samples(from, to, nSteps);
  const int n = samples.Count();
  pWork->resize(static_cast<std::size_t>(n));
  pCarried->assign(static_cast<std::size_t>(n), 1);
  for (int j = 0; j < n; ++j) (*pWork)[j] = samples.Input(j);
  if (carry && n > 0) carry(pWork->data(), n, pCarried->data());
  SGIS_Point p;
  for (int j = 0; j < n; ++j)
    if ((*pCarried)[j] && GridLineSampler::Round((*pWork)[j], &p)) pOut->push_back(p);
  return static_cast<int>(pOut->size());
}

SGIS_DRect ShownMapBound(const SGIS_DRect& bound, const SGIS_Rect& frame, double* pScale) {
  SGIS_DRect shown = bound;
  shown.Normalize();
  *pScale = 0.0;
  const double w = frame.Width();
  const double h = frame.Height();
  if (!(w > 0.0) || !(h > 0.0)) return shown;
  const double s = std::max(shown.Width() / w, shown.Height() / h);
  if (!(s > 0.0) || !std::isfinite(s)) return shown;
  const SGIS_DPoint c = shown.CenterPoint();
  shown = SGIS_DRect(c.x - w * s / 2.0, c.y + h * s / 2.0, c.x + w * s / 2.0, c.y - h * s / 2.0);
  *pScale = s;
  return shown;
}

FrameShown ShownByFrame(IGIS_MapElement* pFrame) {
  FrameShown shown;
  // The scale first, as the frame works it out before its bound.
  shown.dScale = pFrame->GetScale();
  shown.rect = pFrame->GetRect();
  SGIS_DRect stored;
  pFrame->GetMapBound(&stored);
  double dFitted = 0.0;
  shown.bound = ShownMapBound(stored, shown.rect, &dFitted);
  return shown;
}

bool LayFrame(IGIS_MapElement* pFrame, const FrameShown& shown, IGIS_Display* pDisplay, LaidFrame* pOut) {
  *pOut = LaidFrame();
  SGIS_Rect laid = shown.rect;
  if (pDisplay != nullptr) {
    IGIS_DisplayView* pView = pDisplay->GetView();
    IGIS_MainObject* pMain = pFrame->GetMainObject();
    pOut->pMapView = pMain != nullptr ? pMain->GetMapView() : nullptr;
    if (pView == nullptr || pOut->pMapView == nullptr) return false;
    pOut->dRotateAngle = pOut->pMapView->GetRotateAngle();
    laid = pView->PageToDeviceRect(shown.rect, PageReferenceOf(pFrame->GetFeatureSetPtr()));
    // The corners in the context's pixels: a printing display lays in the
    // context's logical units, a screen's are its pixels already.
    POINT corner{laid.left, laid.bottom}, across{laid.right, laid.bottom}, up{laid.left, laid.top};
    if (pView->LogicalToDevice(&corner) && pView->LogicalToDevice(&across) && pView->LogicalToDevice(&up)) {
      pOut->dWidth =
          std::hypot(static_cast<double>(across.x) - corner.x, static_cast<double>(across.y) - corner.y);
      pOut->dHeight = std::hypot(static_cast<double>(up.x) - corner.x, static_cast<double>(up.y) - corner.y);
      return true;
    }
  }
  pOut->dWidth = std::fabs(static_cast<double>(laid.Width()));
  pOut->dHeight = std::fabs(static_cast<double>(laid.Height()));
  return true;
}

SGIS_DPoint MapToPage(SGIS_DPoint map, const SGIS_DRect& bound, const SGIS_Rect& frame, double dScale,
                      double dRotateAngle) {
  const bool bDivide = dScale > 0.0 && std::isfinite(dScale);
  const double x = frame.left + (bDivide ? (map.x - bound.x1) / dScale : map.x - bound.x1);
  const double y = frame.bottom + (bDivide ? (map.y - bound.y2) / dScale : map.y - bound.y2);
  if (dRotateAngle == 0.0 || !std::isfinite(dRotateAngle)) return SGIS_DPoint(x, y);
  const double cx = (static_cast<double>(frame.left) + frame.right) / 2.0;
  const double cy = (static_cast<double>(frame.bottom) + frame.top) / 2.0;
  SGIS_DPoint out;
  // RotatePoint turns clockwise for positive angles; the map turns the other way.
  RotatePoint(cx, cy, x, y, &out.x, &out.y, -dRotateAngle);
  return out;
}

}  // namespace md::layout::grid
