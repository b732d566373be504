// The places of a scale bar's marks and labels on the page.
#include "layout/graphicelement/scalebar/scalebarplaces.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"

namespace md::layout::detail {

namespace {

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// Marks and labels at every subdivision are bounded for the whole bar: a
// stored bar of 100 divisions of 1000 subdivisions would otherwise ask for a
// hundred thousand of each. Past the bound, each division gets fewer.
constexpr int kMaxBarSubDivisions = 2000;

int EverySubDivisions(const BarPlaces& p) { return std::min(p.s, std::max(1, kMaxBarSubDivisions / p.n)); }

// The y span [from, to] of marks of height h against a bar at oy of height H.
void MarkSpan(int nPosition, int oy, int H, int h, int* pFrom, int* pTo) {
  switch (UsablePosition(nPosition)) {
    case GIS_SCALEBAR_POSITION_MIDDLE:
      *pFrom = Round(oy + Round((static_cast<double>(H) - h) * 0.5));
      *pTo = Round(static_cast<double>(*pFrom) + h);
      break;
    case GIS_SCALEBAR_POSITION_BOTTOM:
    case GIS_SCALEBAR_POSITION_BELOW:
      *pFrom = oy;
      *pTo = Round(static_cast<double>(oy) - h);
      break;
    default:
      *pFrom = Round(static_cast<double>(oy) + H);
      *pTo = Round(static_cast<double>(*pFrom) + h);
      break;
  }
}

void PlaceMarks(IGIS_ScaleBar* pBar, BarPlaces& p) {
  IGIS_ScaleMarks* pMarks = pBar->GetScaleMarks();
  if (pMarks == nullptr) return;
  const int H = pBar->GetBarHeight();
  MarkSpan(pMarks->GetMarkPosition(), p.oy, H, pMarks->GetDivisionMarkHeight(), &p.divisionFrom,
           &p.divisionTo);
  MarkSpan(pMarks->GetMarkPosition(), p.oy, H, pMarks->GetSubdivisionMarkHeight(), &p.subdivisionFrom,
           &p.subdivisionTo);
  const int f = pMarks->GetMarkFrequency();
  const double dw = p.dw;
  const double subW = dw / p.s;
  switch (f) {
    case GIS_SCALEMARKS_ENDS:
      p.divisionMarks = {p.ox, p.xr};
      return;
    case GIS_SCALEMARKS_ENDS_AND_ZERO:
      p.divisionMarks.push_back(p.ox);
      if (pBar->GetDivisionsBeforeZero() && p.n > 1) p.divisionMarks.push_back(Round(p.ox + dw));
      p.divisionMarks.push_back(p.xr);
      return;
    case GIS_SCALEMARKS_DIVISIONS:
    case GIS_SCALEMARKS_FIRST_MIDPOINT:
    case GIS_SCALEMARKS_FIRST_SUBDIVISIONS:
    case GIS_SCALEMARKS_ALL_SUBDIVISIONS:
      for (int i = 0; i <= p.n; ++i) p.divisionMarks.push_back(Round(p.ox + i * dw));
      break;
    default:
      return;  // none, or a frequency no bar knows
  }
  if (f == GIS_SCALEMARKS_FIRST_MIDPOINT) p.subdivisionMarks.push_back(Round(p.ox + dw * 0.5));
  if (f == GIS_SCALEMARKS_FIRST_SUBDIVISIONS) {
    for (int i = 1; i < p.s; ++i) p.subdivisionMarks.push_back(Round(p.ox + i * subW));
  }
  if (f == GIS_SCALEMARKS_ALL_SUBDIVISIONS) {
    const int s = EverySubDivisions(p);
    const double everyW = dw / s;
    for (int j = 0; j < p.n; ++j) {
      const int xj = Round(p.ox + j * dw);
      for (int i = 1; i < s; ++i) p.subdivisionMarks.push_back(Round(xj + i * everyW));
    }
  }
}

void PlaceLabels(IGIS_ScaleBar* pBar, BarPlaces& p) {
  const int f = pBar->GetLabelFrequency();
  if (f < GIS_SCALEBAR_LABELS_ENDS || f > GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS) return;
  const bool bBefore = pBar->GetDivisionsBeforeZero();
  const double V = pBar->GetDivision();
  const double dw = p.dw;
  const double subW = dw / p.s;
  const double subValue = V / p.s;
  const int n = p.n;
  auto add = [&p](double x, double value) { p.labels.push_back({Round(x), value}); };
  if (f == GIS_SCALEBAR_LABELS_ENDS || f == GIS_SCALEBAR_LABELS_ENDS_AND_ZERO) {
    if (!bBefore) {
      add(p.ox, 0.0);
      add(p.ox + n * dw, n * V);
    } else {
      add(p.ox, V);
      if (f == GIS_SCALEBAR_LABELS_ENDS_AND_ZERO) add(p.ox + dw, 0.0);
      add(p.ox + n * dw, (n - 1) * V);
    }
    return;
  }
  for (int i = 0; i <= n; ++i) add(Round(p.ox + i * dw), (bBefore ? std::abs(i - 1) : i) * V);
  if (f == GIS_SCALEBAR_LABELS_FIRST_MIDPOINT) add(p.ox + dw * 0.5, V * 0.5);
  if (f == GIS_SCALEBAR_LABELS_FIRST_SUBDIVISIONS) {
    for (int i = 1; i < p.s; ++i) add(p.ox + i * subW, (bBefore ? p.s - i : i) * subValue);
  }
  if (f == GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS) {
    const int s = EverySubDivisions(p);
    const double everyW = dw / s, everyValue = V / s;
    if (bBefore) {
      for (int i = 1; i < s; ++i) add(p.ox + i * everyW, V - i * everyValue);
    }
    for (int j = bBefore ? 1 : 0; j < n; ++j) {
      const int xj = Round(p.ox + j * dw);
      for (int i = 1; i < s; ++i) add(xj + i * everyW, i * everyValue + (bBefore ? j - 1 : j) * V);
    }
  }
}

void PlaceUnitLabel(IGIS_ScaleBar* pBar, BarPlaces& p, const SGIS_Rect& element, double k) {
  const SGIS_Rect u = TextExtent(pBar->GetUnitLabelSymbol(), pBar->GetUnitLabel());
  const double uw = u.Width() * k;
  const double uh = u.Height() * k;
  SGIS_Rect e = element;
  e.Normalize();
  const double centre = (static_cast<double>(e.left) + e.right) / 2.0;
  double x = 0.0, y = 0.0;
  switch (UsableUnitPosition(pBar->GetUnitLabelPosition())) {
    case GIS_SCALEBAR_UNIT_ABOVE:
      x = centre;
      y = e.top - uh;
      break;
    case GIS_SCALEBAR_UNIT_BEFORE_LABELS:
      x = e.left;
      y = p.labelY;
      break;
    case GIS_SCALEBAR_UNIT_BEFORE_BAR:
      x = static_cast<double>(p.ox) - pBar->GetUnitLabelGap() - uw;
      y = p.oy;
      break;
    case GIS_SCALEBAR_UNIT_AFTER_BAR:
      x = static_cast<double>(p.xr) + pBar->GetUnitLabelGap();
      y = p.oy;
      break;
    case GIS_SCALEBAR_UNIT_BELOW:
      x = centre;
      y = e.bottom;
      break;
    default:  // after the numeric labels
      x = e.right - uw;
      y = p.labelY;
      break;
  }
  p.unitBox.left = Round(x);
  p.unitBox.right = Round(x + uw);
  p.unitBox.bottom = Round(y);
  p.unitBox.top = Round(y + uh);
}

}  // namespace

int UsableDivisions(int n) { return std::clamp(n, 1, 100); }

int UsableSubDivisions(int s, const char* szMethod) {
  if (s > kMaxSubDivisions) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "SubDivisions > %d", kMaxSubDivisions);
    return kMaxSubDivisions;
  }
  return std::max(s, 1);
}

int UsablePosition(int nPosition) {
  return nPosition >= GIS_SCALEBAR_POSITION_ABOVE && nPosition <= GIS_SCALEBAR_POSITION_BELOW
             ? nPosition
             : GIS_SCALEBAR_POSITION_ABOVE;
}

int UsableUnitPosition(int nPosition) {
  return nPosition >= GIS_SCALEBAR_UNIT_ABOVE && nPosition <= GIS_SCALEBAR_UNIT_BELOW
             ? nPosition
             : GIS_SCALEBAR_UNIT_AFTER_LABELS;
}

double SymbolScale(IGIS_ScaleBar* pBar) { return md::layout::SymbolUnitRatio(pBar->GetFeatureSetPtr()); }

int TextHeight(IGIS_Symbol* pTextSymbol, double k) {
  LOGFONT* pFont = pTextSymbol != nullptr ? pTextSymbol->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) return 0;
  const int h = Round(k * pFont->lfHeight);
  return h == INT32_MIN ? INT32_MAX : std::abs(h);
}

SGIS_Rect TextExtent(IGIS_Symbol* pTextSymbol, const char* szText) {
  SGIS_Rect r(0, 0, 0, 0);
  if (pTextSymbol != nullptr) pTextSymbol->GetTextExtent(&r, szText != nullptr ? szText : "", 0, 1.0);
  r.Normalize();
  return r;
}

BarPlaces PlaceBar(IGIS_ScaleBar* pBar, const char* szMethod) {
  BarPlaces p;
  const SGIS_Rect element = pBar->GetRect();
  p.ox = Round(static_cast<double>(element.left) + pBar->GetBarX());
  p.oy = Round(static_cast<double>(element.bottom) + pBar->GetBarY());
  p.dw = pBar->PeekDivisionWidth();
  p.n = UsableDivisions(pBar->GetDivisions());
  p.s = UsableSubDivisions(pBar->GetSubDivisions(), szMethod);
  p.xr = Round(p.ox + static_cast<double>(p.n) * p.dw);
  PlaceMarks(pBar, p);
  const double k = SymbolScale(pBar);
  const double H = pBar->GetBarHeight();
  const double gap = pBar->GetLabelGap();
  switch (UsablePosition(pBar->GetLabelPosition())) {
    case GIS_SCALEBAR_POSITION_MIDDLE:
      p.labelY = Round(p.oy + H * 0.5 + gap);
      break;
    case GIS_SCALEBAR_POSITION_BOTTOM:
    case GIS_SCALEBAR_POSITION_BELOW:
      p.labelY = Round(p.oy - (gap + TextHeight(pBar->GetLabelSymbol(), k)));
      break;
    default:
      p.labelY = Round(p.oy + H + gap);
      break;
  }
  PlaceLabels(pBar, p);
  PlaceUnitLabel(pBar, p, element, k);
  return p;
}

}  // namespace md::layout::detail
