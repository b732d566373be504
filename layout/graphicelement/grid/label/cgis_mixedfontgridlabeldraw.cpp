// The mixed-font grid label's drawing and its conversion into text elements.
//
// Both label the lines that the measured grid draws: for each side whose
// grid label flag is on, every line of the side's direction inside the
// labelled area is sampled across the frame, and where the crossing the side
// takes lies on the side's own edge, the line's value is formatted, split
// into its two parts and, moved by the side's offsets, laid out with the
// zone number in page units (mixedlabelparts.h). The drawing draws each part
// by the lower-left corner of its box; the conversion puts a text element
// on the same box, turned the same way.
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/label/measurelabellines.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

using md::layout::label::EdgeTest;
using md::layout::label::LabelLineWalk;
using md::layout::label::LabelSide;
using md::layout::label::MeasureLabelLines;
using md::layout::label::MixedLabel;
using md::layout::label::MixedPartAnchors;
using md::layout::label::MixedPartSizes;

namespace {

constexpr const char* kDraw = "CGIS_MixedFontGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_MixedFontGridLabel::ConvertToElement";

// The text whose box gives the height of a line of each symbol.
constexpr const char* kMeasuringText = "108";
// The global setting that scales the texts of a printed drawing.
constexpr const char* kPrintTextScale = "SYMBOL_PRINT_TEXT_SCALE";
// Two page points this far apart (1 m) give the context's pixels per page unit.
constexpr double kProbe = 100000.0;

// The factor on the texts of a printed drawing: the global setting, or 1.0
// when it is missing, not finite or not above 0.
double PrintTextScale() {
  IGIS_GlobalProperties* pProperties = GIS_GetGlobalProperties();
  IGIS_Field* pField = pProperties != nullptr ? pProperties->GetProperty(kPrintTextScale) : nullptr;
  const double d = pField != nullptr ? pField->GetDouble() : 1.0;
  return std::isfinite(d) && d > 0.0 ? d : 1.0;
}

// Page units per symbol unit of a text the annotation drawer draws at ratio
// 1 on the context: it lays texts out at LOGPIXELSY / 72 pixels per unit,
// and the view with the context's mapping gives the pixels of a page unit.
double PageUnitsPerSymbolUnit(HDC hdc, IGIS_DisplayView* pView, IGIS_SpatialReference* pPage) {
  const int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
  const SGIS_DPoint a = pView->PageToDevicePoint(SGIS_DPoint(0.0, 0.0), pPage);
  const SGIS_DPoint b = pView->PageToDevicePoint(SGIS_DPoint(kProbe, 0.0), pPage);
  POINT p[2] = {{static_cast<LONG>(std::lround(a.x)), static_cast<LONG>(std::lround(a.y))},
                {static_cast<LONG>(std::lround(b.x)), static_cast<LONG>(std::lround(b.y))}};
  LPtoDP(hdc, p, 2);
  const double pixels =
      std::hypot(static_cast<double>(p[1].x - p[0].x), static_cast<double>(p[1].y - p[0].y));
  if (dpi <= 0 || !(pixels > 0.0)) return GIS_SYMBOL_UNIT_PAGE_RATIO;
  return dpi / 72.0 * kProbe / pixels;
}

// Width and height of the text drawn with the symbol at the ratio, times k.
// The symbol measures in whole units: the text is measured this many times
// larger, so that the parts of a label abut as they are drawn.
constexpr double kFineMeasure = 100.0;
struct TextSize {
  double w = 0.0;
  double h = 0.0;
};
TextSize SizeOf(IGIS_Symbol* pSymbol, const std::string& text, double dRatio, double k) {
  if (pSymbol == nullptr || text.empty()) return TextSize();
  SGIS_Rect extent;
  if (!pSymbol->GetTextExtent(&extent, text.c_str(), 0, dRatio * kFineMeasure)) return TextSize();
  return {extent.Width() * k / kFineMeasure, extent.Height() * k / kFineMeasure};
}

// Whether the spacing's unit is a linear unit of the spatial-reference
// factory with a size: without one the values of the lines are unknown.
bool SpacingUnitKnown(IGIS_MeasureGrid* pGrid) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  const int nUnits = pGrid->GetGridSpacing()->GetUnits();
  IGIS_Unit* pUnit = pFactory != nullptr && nUnits >= 0 && nUnits < pFactory->GetLinearUnitCount()
                         ? pFactory->GetLinearUnit(nUnits)
                         : nullptr;
  const double f = pUnit != nullptr ? pUnit->GetFactor() : 0.0;
  return std::isfinite(f) && f > 0.0;
}

// The sizes of one label's parts: the heights per drawing, the widths of
// its texts and, when it shows one, of the zone number.
struct PartMeasure {
  IGIS_Symbol* pFirst;
  IGIS_Symbol* pSecond;
  IGIS_Symbol* pZone;
  double dRatio;  // the ratio the texts are measured at
  double k;       // page units per measured unit
  MixedPartSizes base;

  MixedPartSizes Of(const MixedLabel& label, const std::string& zone) const {
    MixedPartSizes s = base;
    s.dFirstWidth = SizeOf(pFirst, label.first, dRatio, k).w;
    s.dSecondWidth = SizeOf(pSecond, label.second, dRatio, k).w;
    s.dZoneWidth = zone.empty() ? 0.0 : SizeOf(pZone, zone, dRatio, k).w;
    return s;
  }
};

PartMeasure MeasureParts(IGIS_Symbol* pFirst, IGIS_Symbol* pSecond, IGIS_Symbol* pZone,
                         const std::string& zone, double dRatio, double k) {
  PartMeasure m{pFirst, pSecond, pZone, dRatio, k, MixedPartSizes()};
  m.base.dFirstHeight = SizeOf(pFirst, kMeasuringText, dRatio, k).h;
  m.base.dSecondHeight = SizeOf(pSecond, kMeasuringText, dRatio, k).h;
  m.base.dZoneHeight = SizeOf(pZone, zone, dRatio, k).h;
  return m;
}

// The zone text a label of the side shows: only on the bottom and top
// sides, only beside a first part.
const std::string& ZoneShown(LabelSide side, const MixedLabel& label, const std::string& zone) {
  static const std::string kNone;
  return md::layout::label::LabelsVerticalLines(side) && !label.first.empty() ? zone : kNone;
}

// A text symbol's copy whose font is not turned, for a conversion to turn
// by its angle; NULL for none.
md::basilo::ReleasePtr<IGIS_Symbol> LevelCopy(IGIS_Symbol* pSymbol) {
  md::basilo::ReleasePtr<IGIS_Symbol> pCopy(pSymbol != nullptr ? pSymbol->Clone() : nullptr);
  if (pCopy && pCopy->GetFontSizePtr() != nullptr) pCopy->GetFontSizePtr()->lfOrientation = 0;
  return pCopy;
}

}  // namespace

IGIS_MapElement* CGIS_MixedFontGridLabel::CheckedFrame(const char* szMethod, const char* szNoMap,
                                                       const char* szKindText) {
  auto* pGrid = dynamic_cast<IGIS_MeasureGrid*>(m_pMapGrid);
  return md::layout::label::CheckedMeasureFrame(
      m_pMapGrid, szMethod, szNoMap, szKindText,
      {{m_pTextSymbol != nullptr, "m_pTextSymbol == NULL"},
       {m_pSecondarySymbol != nullptr, "m_pSecondarySymbolText == NULL"},
       {m_pNumericFormat != nullptr, "m_pNumericFormat == NULL"},
       {pGrid == nullptr || pGrid->GetGridSpacing() == nullptr || SpacingUnitKnown(pGrid), "f <= 0"}});
}

std::string CGIS_MixedFontGridLabel::ZoneText() const {
  if (!m_bShowZone || !m_pZoneSymbol) return std::string();
  auto* pGrid = dynamic_cast<IGIS_MeasureGrid*>(m_pMapGrid);
  IGIS_SpatialReference* pReference = pGrid != nullptr ? pGrid->GetSpatialReference() : nullptr;
  IGIS_ProjectedCoordSys* pSystem = pReference != nullptr ? pReference->GetProjectedCoordSys() : nullptr;
  IGIS_Projection* pProjection = pSystem != nullptr ? pSystem->GetProjection() : nullptr;
  if (!md::layout::label::ProjectionHasZones(pProjection)) return std::string();
  const int nZone = md::layout::label::ZoneNumberOf(pProjection);
  return nZone > 0 ? std::to_string(nZone) : std::string();
}

std::vector<MixedLabel> CGIS_MixedFontGridLabel::SideLabels(
    LabelLineWalk* pWalk, LabelSide side, const std::function<SGIS_DPoint(SGIS_Point)>& toPoint) {
  std::vector<MixedLabel> labels;
  const auto textOf = [this](double dValue) {
    const char* szText = m_pNumericFormat->Format(dValue);
    return szText != nullptr ? std::string(szText) : std::string();
  };
  pWalk->Walk(side, textOf, [&](const std::string& text, SGIS_Point crossing) {
    MixedLabel label;
    label.point = md::layout::label::OffsetForSide(side, toPoint(crossing), m_offsets);
    md::layout::label::SplitLabelText(text, m_bGroupedDigitsType, m_nNumGroupedDigits, &label.first,
                                      &label.second);
    labels.push_back(std::move(label));
    return true;
  });
  md::layout::label::BlankFirstParts(&labels, m_nPosition);
  return labels;
}

bool CGIS_MixedFontGridLabel::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return Draw(hdc, bPrint, pDisplay, nullptr);
}

bool CGIS_MixedFontGridLabel::DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                          const md::layout::grid::GridLabelPlan& plan) {
  return Draw(hdc, bPrint, pDisplay, md::layout::label::MeasurePlanOf(&plan));
}

IGIS_Element* CGIS_MixedFontGridLabel::ConvertToElement() { return Convert(nullptr); }

IGIS_Element* CGIS_MixedFontGridLabel::ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) {
  return Convert(md::layout::label::MeasurePlanOf(&plan));
}

bool CGIS_MixedFontGridLabel::Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                   const md::layout::grid::MeasureGridPass* pGiven) {
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_display == NULL");
    return false;
  }
  IGIS_MapElement* pFrame = CheckedFrame(kDraw, "p_map == NULL", "pMapGrid->GetType( == NULL");
  if (pFrame == nullptr) return false;
  md::layout::label::MeasureLabelPass pass;
  IGIS_MapView* pMapView =
      pass.SetForDrawing(m_pMapGrid, pFrame, pDisplay, kDraw, "p_geoArithmetic ==  NULL", pGiven);
  if (pMapView == nullptr) return false;
  IGIS_SpatialReference* pPage = PageReferenceOf(pFrame->GetFeatureSetPtr());
  const MeasureLabelLines& lines = pass.Lines();

  // The frame in device units; which of its edges is the bottom follows the
  // view (y grows downwards on a screen, upwards on a printed page).
  const SGIS_Rect rect = pFrame->GetRect();
  md::layout::label::CrossingFrame frame;
  frame.rect = pView->PageToDeviceRect(rect, pPage);
  frame.bYDown = (frame.rect.top < frame.rect.bottom) == (rect.top > rect.bottom);
  frame.rect.Normalize();

  // The three styles: the first part's, and from its set the second part's
  // and the zone number's; each places a text by its box's lower-left corner.
  IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pStyleSet = pStyles != nullptr ? pStyles->CreateStyleSet(1) : nullptr;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pFirstStyle(pStyleSet != nullptr ? pStyleSet->GetPointStyle()
                                                                               : nullptr);
  IGIS_AnnoStyleSet* pMoreStyles = pFirstStyle ? pFirstStyle->GetStyleSet() : nullptr;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pSecondStyle(
      pMoreStyles != nullptr ? pMoreStyles->GetPointStyle() : nullptr);
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pZoneStyle(pMoreStyles != nullptr ? pMoreStyles->GetPointStyle()
                                                                                : nullptr);
  if (!pFirstStyle || !pSecondStyle || !pZoneStyle) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_style == NULL");
    return false;
  }
  IGIS_AnnoPointStyle* const styles[3] = {pFirstStyle.get(), pSecondStyle.get(), pZoneStyle.get()};
  IGIS_Symbol* const symbols[3] = {m_pTextSymbol.get(), m_pSecondarySymbol.get(), m_pZoneSymbol.get()};
  for (int i = 0; i < 3; ++i) {
    styles[i]->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
    if (symbols[i] != nullptr) styles[i]->SetTextStyle(symbols[i]);
  }

  // The texts are measured and drawn at one ratio, at the sizes the page's
  // unit ratio gives them; a printed drawing scales them by the print
  // setting.
  const double dRatio = GetDisplayRatio(pDisplay) * md::layout::SymbolDrawFactor(pFrame->GetFeatureSetPtr()) *
                        (bPrint ? PrintTextScale() : 1.0);
  const std::string zone = ZoneText();
  const PartMeasure measure = MeasureParts(m_pTextSymbol.get(), m_pSecondarySymbol.get(), m_pZoneSymbol.get(),
                                           zone, dRatio, PageUnitsPerSymbolUnit(hdc, pView, pPage));
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  CDC* pDC = CDC::FromHandle(hdc);
  IGIS_SpatialReference* pMapReference = pFrame->GetMap()->GetSpatialReference();
  const md::layout::grid::GridPointCarrier toDevice = [&](SGIS_DPoint* p) {
    if (!lines.GridToMap(p)) return false;
    *p = pMapView->PageToDevicePoint(*p, pMapReference);
    return true;
  };
  const auto toPage = [&](SGIS_Point crossing) {
    return pView->DeviceToPagePoint(SGIS_DPoint(crossing), pPage);
  };

  CGIS_ElementClipScope clip(hdc, pDisplay);
  LabelLineWalk walk(lines, pass.Arithmetic(), frame, EdgeTest::kOnSide,
                     bPrint ? md::layout::label::kFineLabelSteps : md::layout::label::kCoarseLabelSteps,
                     toDevice, pass.Caps());
  const auto drawPart = [&](IGIS_AnnoPointStyle* pStyle, const std::string& text, SGIS_DPoint anchor) {
    if (text.empty() || pDrawer == nullptr) return;
    const SGIS_DPoint device = pView->PageToDevicePoint(anchor, pPage);
    const SGIS_Point at = SGIS_Point::FromDoubles(device.x, device.y);
    SelectElementClipRgn(pDisplay, hdc, clip.Region());
    pDrawer->Draw(pDC, bPrint ? TRUE : FALSE, dRatio, pStyle, text.c_str(), &at, 1);
  };
  for (LabelSide side : md::layout::label::kLabelSides) {
    if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
    const bool bTurned = IsTurned(side);
    for (IGIS_AnnoPointStyle* pStyle : styles) {
      if (LOGFONT* pFont = pStyle->GetTextStylePtr()->GetFontSizePtr()) {
        pFont->lfOrientation = bTurned ? static_cast<LONG>(md::layout::label::kTurnedLabelAngle) : 0;
      }
    }
    for (const MixedLabel& label : SideLabels(&walk, side, toPage)) {
      const std::string& zoneShown = ZoneShown(side, label, zone);
      const MixedPartAnchors at =
          md::layout::label::PlaceMixedParts(side, bTurned, label.point, measure.Of(label, zoneShown));
      drawPart(pSecondStyle.get(), label.second, at.second);
      drawPart(pFirstStyle.get(), label.first, at.first);
      drawPart(pZoneStyle.get(), zoneShown, at.zone);
    }
  }
  return true;
}

IGIS_Element* CGIS_MixedFontGridLabel::Convert(const md::layout::grid::MeasureGridPass* pGiven) {
  IGIS_MapElement* pFrame = CheckedFrame(kConvert, "p_map== NULL ", "m_pMapGrid->GetType( == NULL");
  if (pFrame == nullptr) return nullptr;
  md::layout::label::MeasureLabelPass pass;
  IGIS_FeatureSet* pOwner = pass.SetForConversion(m_pMapGrid, pFrame, kConvert, pGiven);
  if (pOwner == nullptr) return nullptr;
  // Without a scale no crossing has a place on the page: nothing is made.
  const double dScale = pass.Pass().Shown().dScale;
  if (!(dScale > 0.0) || !std::isfinite(dScale)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "s <= 0");
    return nullptr;
  }
  const MeasureLabelLines& lines = pass.Lines();
  // The texts are turned on working copies, by their own angle and the
  // side's turn: the label's symbols stay as they are.
  md::basilo::ReleasePtr<IGIS_Symbol> copies[3] = {
      LevelCopy(m_pTextSymbol.get()), LevelCopy(m_pSecondarySymbol.get()), LevelCopy(m_pZoneSymbol.get())};
  if (!copies[0] || !copies[1]) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "m_pTextSymbol == NULL");
    return nullptr;
  }
  double baseAngles[3] = {0.0, 0.0, 0.0};
  for (int i = 0; i < 3; ++i) baseAngles[i] = copies[i] ? copies[i]->GetAngle() : 0.0;
  const std::string zone = copies[2] ? ZoneText() : std::string();
  const PartMeasure measure = MeasureParts(copies[0].get(), copies[1].get(), copies[2].get(), zone, 1.0,
                                           md::layout::SymbolUnitRatio(pOwner));

  IGIS_CompoundElement* pCompound = CreateCompoundElement(pOwner);
  if (pCompound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_comElement == NULL");
    return nullptr;
  }
  const md::layout::grid::GridPointCarrier toPage = [&lines](SGIS_DPoint* p) { return lines.GridToPage(p); };
  LabelLineWalk walk(lines, pass.Arithmetic(), lines.PageFrame(), EdgeTest::kOnSide,
                     md::layout::label::kFineLabelSteps, toPage, pass.Caps());
  const auto asPage = [](SGIS_Point crossing) { return SGIS_DPoint(crossing); };
  // One text element on the box the drawing fills with the part (the
  // copies carry the side's turn).
  const auto makePart = [&](IGIS_Symbol* pSymbol, const std::string& text, SGIS_DPoint anchor) {
    return text.empty() || md::layout::label::CreateAlignedText(pCompound, pSymbol, GIS_ALIGN_BOTTOM_LEFT,
                                                                anchor, text.c_str(), measure.k);
  };
  for (LabelSide side : md::layout::label::kLabelSides) {
    if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
    const double dTurn = IsTurned(side) ? md::layout::label::kTurnedLabelAngle : 0.0;
    for (int i = 0; i < 3; ++i) {
      if (copies[i]) copies[i]->SetAngle(baseAngles[i] + dTurn);
    }
    for (const MixedLabel& label : SideLabels(&walk, side, asPage)) {
      const std::string& zoneShown = ZoneShown(side, label, zone);
      const MixedPartSizes sizes = measure.Of(label, zoneShown);
      const MixedPartAnchors at = md::layout::label::PlaceMixedParts(side, dTurn != 0.0, label.point, sizes);
      const bool bMade = makePart(copies[0].get(), label.first, at.first) &&
                         makePart(copies[1].get(), label.second, at.second) &&
                         makePart(copies[2].get(), zoneShown, at.zone);

      if (!bMade) {
        // Nothing of a conversion that failed part-way stays in the feature set.
        GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_textElement == NULL");
        DropCompound(pCompound);
        return nullptr;
      }
    }
  }
  return pCompound;
}
