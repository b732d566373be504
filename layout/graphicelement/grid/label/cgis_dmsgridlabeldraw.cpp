// The degrees-minutes-seconds label's drawing and its conversion into text
// elements.
//
// Both label the graticule's lines (dmslabellines.h): for each side whose
// grid label switch is on, every meridian (bottom and top) or parallel (left
// and right) in the geographic extent of the map is sampled in degrees,
// carried to the map and into the frame's coordinates, and where it first
// (bottom, left) or last (top, right) meets the frame on that side's own
// edge the text of its value stands, moved by the side's offsets. Crowded
// labels at the ends of a side are skipped. The drawing places each text by
// the side's alignment code, the degrees and the rest of a stacked label by
// theirs; the conversion puts a text element where that code puts it,
// turned the same way.
#include <cmath>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/dmslabellines.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/win/cdc.h"

using md::layout::label::CrossingFrame;
using md::layout::label::CrowdRange;
using md::layout::label::DmsLabelLines;
using md::layout::label::EdgeTest;
using md::layout::label::GridLabelRecord;
using md::layout::label::LabelLineWalk;
using md::layout::label::LabelSide;

namespace {

constexpr const char* kDraw = "CGIS_DMSGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_DMSGridLabel::ConvertToElement";

// Neighbouring labels this close along a side (device or page units) crowd
// each other.
constexpr double kCrowded = 4.0;

// Whether the label writes on a map of the reference: geographic or projected.
bool IsLabelledReference(IGIS_SpatialReference* pReference) {
  if (pReference == nullptr) return false;
  const int nKind = pReference->GetKind();
  return nKind == GIS_SPATIALREFERENCE_GEOGRAPHIC || nKind == GIS_SPATIALREFERENCE_PROJECTED;
}

// The steps along a side between neighbouring labels that crowd them, in
// the order the labels were taken (west to east, south to north). On a
// device whose y grows downwards the labels of the left and right sides
// step the other way.
CrowdRange CrowdAlong(LabelSide side, bool bYDown) {
  CrowdRange range;
  if (bYDown && !md::layout::label::LabelsVerticalLines(side)) {
    range.dLow = -kCrowded;
    range.dHigh = 0.0;
  } else {
    range.dLow = 0.0;
    range.dHigh = kCrowded;
  }
  return range;
}

// What the plan of a drawing or conversion says before the label labels a
// side, its failures logged under the method: kFailed (the map's degrees
// could not be made, or the graticule has no spacing), kNothing (the map
// bound could not be carried into degrees at all: nothing is labelled),
// kOtherKind (the grid is not a graticule: nothing to label).
enum class PlanState { kReady, kNothing, kOtherKind, kFailed };

PlanState CheckPlan(const md::layout::grid::GraticulePass& plan, const char* szMethod,
                    md::layout::grid::CGIS_GridCapRecord* pCaps) {
  const int nType = plan.GridType();
  if (nType != GIS_MAPGRID_GRATICULE && nType != GIS_MAPGRID_GRATICULE_MN) return PlanState::kOtherKind;
  if (!plan.Built()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_geoSpatialRef == NULL");
    return PlanState::kFailed;
  }
  if (!plan.AllCarried()) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
  if (!plan.Carried()) return PlanState::kNothing;
  if (!plan.HasSpacing()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pGridSpacing == NULL");
    return PlanState::kFailed;
  }
  pCaps->Note("lines", plan.Meridians().run, md::layout::grid::kMaxGridLines);
  pCaps->Note("lines", plan.Parallels().run, md::layout::grid::kMaxGridLines);
  return PlanState::kReady;
}

// The plan handed over for the use (a drawing's has a map view, a
// conversion's none), or NULL.
const md::layout::grid::GraticulePass* GivenPlan(const md::layout::grid::GridLabelPlan& plan, bool bDrawing) {
  auto* pPass = dynamic_cast<const md::layout::grid::GraticulePass*>(&plan);
  return pPass != nullptr && (pPass->MapView() != nullptr) == bDrawing ? pPass : nullptr;
}

// A working copy of a text symbol for one conversion, level in its font.
md::basilo::ReleasePtr<IGIS_SymbolPart> WorkingCopy(IGIS_SymbolPart* pSymbol) {
  md::basilo::ReleasePtr<IGIS_SymbolPart> pCopy(pSymbol != nullptr ? pSymbol->Clone() : nullptr);
  if (pCopy && pCopy->GetFontSizePtr() != nullptr) pCopy->GetFontSizePtr()->lfOrientation = 0;
  return pCopy;
}

}  // namespace

CGIS_DMSGridLabel::SideCodes CGIS_DMSGridLabel::SideAlignments(LabelSide side) {
  return md::layout::label::BySide<SideCodes>(
      side, {GIS_ALIGN_TOP_CENTER, GIS_ALIGN_TOP_RIGHT, GIS_ALIGN_TOP_LEFT},
      {GIS_ALIGN_BOTTOM_CENTER, GIS_ALIGN_BOTTOM_RIGHT, GIS_ALIGN_BOTTOM_LEFT},
      {GIS_ALIGN_BOTTOM_RIGHT, GIS_ALIGN_BOTTOM_RIGHT, GIS_ALIGN_TOP_RIGHT},
      {GIS_ALIGN_BOTTOM_LEFT, GIS_ALIGN_BOTTOM_LEFT, GIS_ALIGN_TOP_LEFT});
}

CGIS_DMSGridLabel::SideCodes CGIS_DMSGridLabel::DrawnAlignments(LabelSide side) const {
  SideCodes codes = SideAlignments(side);
  if (IsTurned(side)) {
    codes.nWhole = md::layout::label::QuarterTurnedAlignment(codes.nWhole);
    codes.nDegrees = md::layout::label::QuarterTurnedAlignment(codes.nDegrees);
    codes.nRest = md::layout::label::QuarterTurnedAlignment(codes.nRest);
  }
  return codes;
}

bool CGIS_DMSGridLabel::WalkSide(LabelLineWalk& walk, LabelSide side, bool bYDown,
                                 const std::function<SGIS_Point(SGIS_Point crossing)>& standOf,
                                 const OnLabelPart& onPart) {
  std::vector<GridLabelRecord> records;
  walk.Walk(
      side, [this](double dValue) { return LabelText(dValue); },
      [&](const std::string& text, SGIS_Point crossing) {
        records.push_back({standOf(crossing), text, false});
        return true;
      });
  const CrowdRange crowd = CrowdAlong(side, bYDown);
  md::layout::label::AlignLabels(&records, side, crowd, crowd);
  const SideCodes codes = DrawnAlignments(side);
  const bool bSplit = Splits();
  std::string degrees, rest;
  for (const GridLabelRecord& r : records) {
    if (r.bSkipped) continue;
    if (bSplit && SplitDegreeText(r.text, &degrees, &rest)) {
      if (!onPart(false, codes.nDegrees, degrees, r.position) ||
          !onPart(true, codes.nRest, rest, r.position)) {
        return false;
      }
    } else if (!onPart(false, codes.nWhole, r.text, r.position)) {
      return false;
    }
  }
  return true;
}

bool CGIS_DMSGridLabel::Splits() {
  return m_nDMSLabelType == GIS_DMSLABEL_STACKED && m_pLatLonFormat && m_pLatLonFormat->GetSplitOption();
}

std::string CGIS_DMSGridLabel::LabelText(double dDegrees) {
  const char* szText = m_pLatLonFormat->Format(dDegrees);
  return szText != nullptr ? std::string(szText) : std::string();
}

bool CGIS_DMSGridLabel::HasSymbolAndFormat(const char* szMethod) {
  if (!m_pTextSymbol) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pTextSymbol == NULL");
    return false;
  }
  if (!m_pLatLonFormat) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pLatLonFormat == NULL");
    return false;
  }
  return true;
}

bool CGIS_DMSGridLabel::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return Draw(hdc, bPrint, pDisplay, nullptr);
}

bool CGIS_DMSGridLabel::DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                    const md::layout::grid::GridLabelPlan& plan) {
  return Draw(hdc, bPrint, pDisplay, GivenPlan(plan, true));
}

IGIS_Element* CGIS_DMSGridLabel::ConvertToElement() { return Convert(nullptr); }

IGIS_Element* CGIS_DMSGridLabel::ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) {
  return Convert(GivenPlan(plan, false));
}

bool CGIS_DMSGridLabel::Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                             const md::layout::grid::GraticulePass* pGiven) {
  IGIS_MapElement* pFrame = md::layout::label::LabelledFrame(m_pMapGrid, kDraw);
  if (pFrame == nullptr) return false;
  IGIS_SpatialReference* pMapReference = pFrame->GetMap()->GetSpatialReference();
  if (!IsLabelledReference(pMapReference)) return false;
  if (!HasSymbolAndFormat(kDraw)) return false;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_display == NULL");
    return false;
  }
  IGIS_MapView* pMapView = md::layout::label::LabelledMapView(pFrame, kDraw);
  if (pMapView == nullptr) return false;
  IGIS_SpatialReference* pPage = PageReferenceOf(pFrame->GetFeatureSetPtr());
  CGIS_ElementClipScope clip(hdc, pDisplay);

  // The grid's plan; only a label drawn on its own builds one.
  std::optional<md::layout::grid::GraticulePass> own;
  if (pGiven == nullptr) own.emplace().Make(m_pMapGrid, pDisplay, &m_geoCache);
  const md::layout::grid::GraticulePass& plan = pGiven != nullptr ? *pGiven : *own;
  md::layout::grid::CGIS_GridCapRecord caps(kDraw);
  switch (CheckPlan(plan, kDraw, &caps)) {
    case PlanState::kFailed:
      return false;
    case PlanState::kNothing:
    case PlanState::kOtherKind:
      return true;
    case PlanState::kReady:
      break;
  }
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic(GIS_CreateGeoArithmeticObject());
  if (!pArithmetic) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_geoArithmetic == NULL");
    return false;
  }
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_drawer == NULL");
    return false;
  }
  // One style for whole texts and degrees, one for the minutes and seconds.
  IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject();
  const auto newStyle = [pStyles] {
    IGIS_AnnoStyleSet* pSet = pStyles != nullptr ? pStyles->CreateStyleSet(1) : nullptr;
    return md::basilo::ReleasePtr<IGIS_AnnoPointStyle>(pSet != nullptr ? pSet->GetPointStyle() : nullptr);
  };
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pWhole = newStyle();
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pRest = newStyle();
  if (!pWhole || !pRest) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "p_style == NULL");
    return false;
  }
  pWhole->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
  pWhole->SetTextStyle(m_pTextSymbol.get());
  pRest->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
  pRest->SetTextStyle(m_pSecondsSymbol ? m_pSecondsSymbol.get() : m_pTextSymbol.get());

  CrossingFrame frame;
  frame.rect = pView->PageToDeviceRect(pFrame->GetRect(), pPage);
  frame.rect.Normalize();
  // Where the page's y grows on the device: down on a screen, up on a
  // printer's page mapping.
  md::layout::grid::GeoDeviceSpace space(plan.Geo(), pMapView, pView, pPage);
  frame.bYDown = space.FromPage(SGIS_DPoint(0.0, 1000.0)).y < space.FromPage(SGIS_DPoint(0.0, 0.0)).y;
  const md::layout::grid::GridPointCarrier toDevice = [&space](SGIS_DPoint* p) {
    return space.FromDegrees(p->x, p->y, p);
  };
  const double dRatio = GetDisplayRatio(pDisplay);
  CDC* pDC = CDC::FromHandle(hdc);

  try {
    const DmsLabelLines lines(plan);
    LabelLineWalk walk(lines, pArithmetic.get(), frame, EdgeTest::kOnSide,
                       bPrint ? md::layout::label::kFineLabelSteps : md::layout::label::kCoarseLabelSteps,
                       toDevice, caps);
    for (LabelSide side : md::layout::label::kLabelSides) {
      if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
      // Both parts of a stacked label turn with their side.
      const LONG nTurn = IsTurned(side) ? static_cast<LONG>(md::layout::label::kTurnedLabelAngle) : 0;
      for (IGIS_AnnoPointStyle* pStyle : {pWhole.get(), pRest.get()}) {
        if (LOGFONT* pFont = pStyle->GetTextStylePtr()->GetFontSizePtr()) pFont->lfOrientation = nTurn;
      }
      const auto standOf = [&](SGIS_Point crossing) {
        const SGIS_DPoint device = space.FromPage(
            md::layout::label::OffsetForSide(side, space.ToPage(SGIS_DPoint(crossing)), m_offsets));
        return SGIS_Point::FromDoubles(device.x, device.y);
      };
      WalkSide(walk, side, frame.bYDown, standOf,
               [&](bool bRest, int nAlignment, const std::string& text, SGIS_Point at) {
                 IGIS_AnnoPointStyle* pStyle = bRest ? pRest.get() : pWhole.get();
                 pStyle->SetAlignment(nAlignment);
                 SelectElementClipRgn(pDisplay, hdc, clip.Region());
                 DrawWithDrawer(pDrawer, pDisplay, pDC, bPrint, dRatio, pStyle, text.c_str(), &at, 1,
                                pFrame->GetFeatureSetPtr());
                 return true;
               });
    }
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

IGIS_Element* CGIS_DMSGridLabel::Convert(const md::layout::grid::GraticulePass* pGiven) {
  if (GIS_GetSpatialReferenceFactoryObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_spatialFactory == NULL");
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic(GIS_CreateGeoArithmeticObject());
  if (!pArithmetic) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_geoArithmetic == NULL");
    return nullptr;
  }
  IGIS_MapElement* pFrame = md::layout::label::LabelledFrame(m_pMapGrid, kConvert);
  if (pFrame == nullptr) return nullptr;
  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_graphicLayer == NULL");
    return nullptr;
  }
  // The map's reference is checked before anything is made in the feature set.
  IGIS_SpatialReference* pMapReference = pFrame->GetMap()->GetSpatialReference();
  if (pMapReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_mapSpatialRef == NULL");
    return nullptr;
  }
  if (!IsLabelledReference(pMapReference)) return nullptr;
  if (!HasSymbolAndFormat(kConvert)) return nullptr;

  // The texts are placed on the page as the graticule converts its lines:
  // the map not turned in its frame, on the conversion's plan.
  std::optional<md::layout::grid::GraticulePass> own;
  if (pGiven == nullptr) own.emplace().Make(m_pMapGrid, nullptr);
  const md::layout::grid::GraticulePass& plan = pGiven != nullptr ? *pGiven : *own;
  md::layout::grid::CGIS_GridCapRecord caps(kConvert);
  const PlanState state = CheckPlan(plan, kConvert, &caps);
  if (state == PlanState::kFailed) return nullptr;
  // The texts are turned on working copies: the label's own symbols stay as they are.
  md::basilo::ReleasePtr<IGIS_SymbolPart> pWhole = WorkingCopy(m_pTextSymbol.get());
  md::basilo::ReleasePtr<IGIS_SymbolPart> pRest =
      WorkingCopy(m_pSecondsSymbol ? m_pSecondsSymbol.get() : m_pTextSymbol.get());
  if (!pWhole || !pRest) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "m_pTextSymbol == NULL");
    return nullptr;
  }
  IGIS_CompoundElement* pCompound = CreateCompoundElement(pOwner);
  if (pCompound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_comElement == NULL");
    return nullptr;
  }
  if (state == PlanState::kOtherKind) GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "b_ret == NULL");
  if (state != PlanState::kReady) return pCompound;

  const double dRatio = md::layout::SymbolUnitRatio(pOwner);
  const SGIS_Rect rect = pFrame->GetRect();
  CrossingFrame frame;
  frame.rect = rect;
  frame.rect.Normalize();
  md::layout::grid::GeoPageSpace space(plan.Geo(), plan.Shown().bound, rect, plan.Shown().dScale);
  const md::layout::grid::GridPointCarrier toPage = [&space](SGIS_DPoint* p) {
    return space.FromDegrees(p->x, p->y, p);
  };
  // The drawer turns a text by its symbol's angle and its font's turn; a
  // text element by its angle alone.
  const double dWholeAngle = pWhole->GetAngle();
  const double dRestAngle = pRest->GetAngle();
  try {
    const DmsLabelLines lines(plan);
    LabelLineWalk walk(lines, pArithmetic.get(), frame, EdgeTest::kOnSide, md::layout::label::kFineLabelSteps,
                       toPage, caps);
    for (LabelSide side : md::layout::label::kLabelSides) {
      if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
      const double dTurn = IsTurned(side) ? md::layout::label::kTurnedLabelAngle : 0.0;
      pWhole->SetAngle(dWholeAngle + dTurn);
      pRest->SetAngle(dRestAngle + dTurn);
      const auto standOf = [&](SGIS_Point crossing) {
        const SGIS_DPoint at = md::layout::label::OffsetForSide(side, SGIS_DPoint(crossing), m_offsets);
        return SGIS_Point::FromDoubles(at.x, at.y);
      };
      // The degrees of a split label before the rest.
      const bool bMade = WalkSide(walk, side, false, standOf,
                                  [&](bool bRest, int nAlignment, const std::string& text, SGIS_Point at) {
                                    return md::layout::label::CreateAlignedText(
                                        pCompound, bRest ? pRest.get() : pWhole.get(), nAlignment,
                                        SGIS_DPoint(at), text.c_str(), dRatio);
                                  });
      if (!bMade) {
        // Nothing of a conversion that failed part-way stays in the feature set.
        GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_textElement == NULL");
        DropCompound(pCompound);
        return nullptr;
      }
    }
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "conversion cut short: %s", e.what());
    DropCompound(pCompound);
    return nullptr;
  }
  return pCompound;
}
