// What the drawing and the conversion of a graticule both take from the grid.
#include "layout/graphicelement/grid/graticule/graticulepieces.h"

#include <cmath>

#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::graticule {

GraticuleSymbols GraticuleSymbols::Of(IGIS_GraticuleGrid* pGrid) {
  GraticuleSymbols s;
  s.pLine = pGrid->GetLineSymbol();
  s.pMark = pGrid->GetMarkSymbol();
  s.pTick = pGrid->GetTickLineSymbol();
  s.pSubTick = pGrid->GetSubTickLineSymbol();
  s.pHatch[static_cast<int>(HatchRank::Sub)] = pGrid->GetSubHatchLineSymbol();
  s.pHatch[static_cast<int>(HatchRank::Main)] = pGrid->GetMainHatchLineSymbol();
  s.pHatch[static_cast<int>(HatchRank::Interval)] = pGrid->GetHatchLineSymbol();
  return s;
}

void GridIntervals(IGIS_GraticuleGrid* pGrid, double* pX, double* pY) {
  grid::GraticuleIntervals(pGrid->GetGridSpacing(), pX, pY);
}

LinePass LinesOf(IGIS_GraticuleGrid* pGrid, const grid::GraticulePass& plan, int nSamples, LineReach reach,
                 bool bMarkersInFrame) {
  LinePass pass;
  pass.extent = plan.Extent();
  pass.dX = plan.Meridians().dStep;
  pass.dY = plan.Parallels().dStep;
  pass.lines = plan.Lines();
  pass.nSamples = nSamples;
  pass.reach = reach;
  pass.nGridlineType = pGrid->GetGridlineType();
  pass.bMarkersInFrame = bMarkersInFrame;
  return pass;
}

TickPass TicksOf(IGIS_GraticuleGrid* pGrid, const SGIS_DRect& extent, double dX, double dY, int nSamples) {
  TickPass pass;
  pass.extent = extent;
  const int nDivision = pGrid->GetTickDivision();
  pass.dX = nDivision > 0 ? dX / nDivision : dX;
  pass.dY = nDivision > 0 ? dY / nDivision : dY;
  pass.nSamples = nSamples;
  auto& m = pass.bMain;
  auto& s = pass.bSub;
  pGrid->GetTickVisible(&m[static_cast<int>(TickSide::Left)], &m[static_cast<int>(TickSide::Top)],
                        &m[static_cast<int>(TickSide::Right)], &m[static_cast<int>(TickSide::Bottom)]);
  pGrid->GetSubTickVisible(&s[static_cast<int>(TickSide::Left)], &s[static_cast<int>(TickSide::Top)],
                           &s[static_cast<int>(TickSide::Right)], &s[static_cast<int>(TickSide::Bottom)]);
  pass.dLength = pGrid->GetTickLength();
  pass.dSubLength = pGrid->GetSubTickLength();
  const double dOffset = pGrid->GetTickOffset();
  pass.dOffset = std::isfinite(dOffset) ? dOffset : 0.0;
  pass.nSubCount = pGrid->GetSubTickCount();
  return pass;
}

HatchPass HatchesOf(IGIS_GraticuleGrid* pGrid, const SGIS_DRect& extent, double dX, double dY) {
  HatchPass pass;
  pass.extent = extent;
  pass.dX = dX;
  pass.dY = dY;
  pass.dIntervalX = pGrid->GetHatchIntervalX();
  pass.dIntervalY = pGrid->GetHatchIntervalY();
  pass.nMainCount = pGrid->GetMainHatchCount();
  pass.nSubCount = pGrid->GetSubHatchCount();
  pass.rank[static_cast<int>(HatchRank::Sub)] = {static_cast<double>(pGrid->GetSubHatchLength()),
                                                 pGrid->GetSubHatchDirectional(), true};
  pass.rank[static_cast<int>(HatchRank::Main)] = {static_cast<double>(pGrid->GetMainHatchLength()),
                                                  pGrid->GetMainHatchDirectional(), true};
  pass.rank[static_cast<int>(HatchRank::Interval)] = {pGrid->GetHatchLength(), pGrid->GetHatchDirectional(),
                                                      false};
  return pass;
}

bool HasHatchPass(const HatchPass& pass) {
  return (IsInterval(pass.dIntervalX) && IsInterval(pass.dY)) ||
         (IsInterval(pass.dIntervalY) && IsInterval(pass.dX));
}

InteriorLabelTexts::InteriorLabelTexts(IGIS_DMSGridLabel* pLabel) {
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  if (pLabel == nullptr || pFactory == nullptr) return;
  m_pFormat.reset(pFactory->CreateNumericFormat(GIS_NUMERICFORMAT_LATLON));
  if (!m_pFormat) return;
  m_pFormat->SetRoundingMode(0);
  m_pFormat->SetDigits(pLabel->GetDecimalDigits());
  const int nMode = !pLabel->IsShowMinutes()  ? GIS_LATLON_DEGREES
                    : pLabel->IsShowSeconds() ? GIS_LATLON_DMS
                                              : GIS_LATLON_DM;
  m_pFormat->SetDisplayMode(nMode);
}

std::string InteriorLabelTexts::Of(double dDegrees) {
  if (!m_pFormat) return std::string();
  const char* sz = m_pFormat->Format(dDegrees);
  return sz != nullptr ? std::string(sz) : std::string();
}

}  // namespace md::layout::graticule
