// The formatted grid label's drawing and its conversion into text elements.
//
// Both label the lines that the measured grid draws: for each side whose
// grid label flag is on, every line of the side's direction inside the
// labelled area is sampled across the frame, and the text of its value
// stands where the line meets the frame, moved by the side's offsets. The
// drawing places the text by the side's alignment code; the conversion puts
// a text element where that code puts it, turned the same way.
#include <cmath>
#include <functional>
#include <string>
#include <utility>
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
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/measurelabellines.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/win/cdc.h"

using md::layout::label::CrossingFrame;
using md::layout::label::EdgeTest;
using md::layout::label::LabelSide;
using md::layout::label::MeasureLabelLines;

namespace {

constexpr const char* kDraw = "CGIS_FormattedGridLabel::OnDraw";
constexpr const char* kConvert = "CGIS_FormattedGridLabel::ConvertToElement";

// Samples per line: finer while the view clips (printing), and always in
// conversions.
using md::layout::label::kCoarseLabelSteps;
using md::layout::label::kFineLabelSteps;
using md::layout::label::kTurnedLabelAngle;

}  // namespace

int CGIS_FormattedGridLabel::SideAlignment(LabelSide side) {
  return md::layout::label::BySide<int>(side, GIS_ALIGN_TOP_CENTER, GIS_ALIGN_BOTTOM_CENTER,
                                        GIS_ALIGN_RIGHT_CENTER, GIS_ALIGN_LEFT_CENTER);
}

int CGIS_FormattedGridLabel::DrawnAlignment(LabelSide side) const {
  // A turned side keeps its texts on the same side of their points: the
  // code names the point of the turned text's box.
  const int nCode = SideAlignment(side);
  return IsTurned(side) ? md::layout::label::QuarterTurnedAlignment(nCode) : nCode;
}

IGIS_MapElement* CGIS_FormattedGridLabel::CheckedFrame(const char* szMethod, const char* szKindText) {
  return md::layout::label::CheckedMeasureFrame(m_pMapGrid, szMethod, "p_map == NULL", szKindText,
                                                {{m_pTextSymbol != nullptr, "m_pTextSymbol == NULL"},
                                                 {m_pNumericFormat != nullptr, "m_pNumericFormat == NULL"}});
}

std::string CGIS_FormattedGridLabel::LabelText(double dValue) {
  const char* szText = m_pNumericFormat->Format(dValue);
  return szText != nullptr ? std::string(szText) : std::string();
}

bool CGIS_FormattedGridLabel::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return Draw(hdc, bPrint, pDisplay, nullptr);
}

bool CGIS_FormattedGridLabel::DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                          const md::layout::grid::GridLabelPlan& plan) {
  return Draw(hdc, bPrint, pDisplay, md::layout::label::MeasurePlanOf(&plan));
}

IGIS_Element* CGIS_FormattedGridLabel::ConvertToElement() { return Convert(nullptr); }

IGIS_Element* CGIS_FormattedGridLabel::ConvertPlanned(const md::layout::grid::GridLabelPlan& plan) {
  return Convert(md::layout::label::MeasurePlanOf(&plan));
}

bool CGIS_FormattedGridLabel::Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                   const md::layout::grid::MeasureGridPass* pGiven) {
  if (m_pMapGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraw, "m_pMapGrid == NULL");
    return false;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) return false;
  IGIS_MapElement* pFrame = CheckedFrame(kDraw, "pMapGrid->GetType( == NULL");
  if (pFrame == nullptr) return false;
  md::layout::label::MeasureLabelPass pass;
  IGIS_MapView* pMapView =
      pass.SetForDrawing(m_pMapGrid, pFrame, pDisplay, kDraw, "p_geoArithmetic == NULL ", pGiven);
  if (pMapView == nullptr) return false;
  IGIS_SpatialReference* pPage = PageReferenceOf(pFrame->GetFeatureSetPtr());
  const MeasureLabelLines& lines = pass.Lines();
  const int nSteps = pView->IsClipping() ? kFineLabelSteps : kCoarseLabelSteps;
  CrossingFrame frame;
  frame.rect = pView->PageToDeviceRect(pFrame->GetRect(), pPage);
  frame.rect.Normalize();

  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pStyle =
      md::layout::label::NewLabelPointStyle(m_pTextSymbol.get(), kDraw);
  if (!pStyle) return false;
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  const double dRatio = GetDisplayRatio(pDisplay);
  CDC* pDC = CDC::FromHandle(hdc);
  IGIS_SpatialReference* pMapReference = pFrame->GetMap()->GetSpatialReference();
  const md::layout::grid::GridPointCarrier toDevice = [&](SGIS_DPoint* p) {
    if (!lines.GridToMap(p)) return false;
    *p = pMapView->PageToDevicePoint(*p, pMapReference);
    return true;
  };

  CGIS_ElementClipScope clip(hdc, pDisplay);
  md::layout::label::LabelLineWalk labels(lines, pass.Arithmetic(), frame, EdgeTest::kAny, nSteps, toDevice,
                                          pass.Caps());
  const auto textOf = [this](double dValue) { return LabelText(dValue); };
  for (LabelSide side : md::layout::label::kLabelSides) {
    if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
    if (LOGFONT* pFont = pStyle->GetTextStylePtr()->GetFontSizePtr()) {
      pFont->lfOrientation = IsTurned(side) ? static_cast<LONG>(kTurnedLabelAngle) : 0;
    }
    pStyle->SetAlignment(DrawnAlignment(side));
    labels.Walk(side, textOf, [&](const std::string& text, SGIS_Point crossing) {
      const SGIS_DPoint page = md::layout::label::OffsetForSide(
          side, pView->DeviceToPagePoint(SGIS_DPoint(crossing), pPage), m_offsets);
      const SGIS_DPoint device = pView->PageToDevicePoint(page, pPage);
      const SGIS_Point anchor = SGIS_Point::FromDoubles(device.x, device.y);
      SelectElementClipRgn(pDisplay, hdc, clip.Region());
      DrawWithDrawer(pDrawer, pDisplay, pDC, bPrint, dRatio, pStyle.get(), text.c_str(), &anchor, 1,
                     pFrame->GetFeatureSetPtr());
      return true;
    });
  }
  return true;
}

IGIS_Element* CGIS_FormattedGridLabel::Convert(const md::layout::grid::MeasureGridPass* pGiven) {
  IGIS_MapElement* pFrame = CheckedFrame(kConvert, "m_pMapGrid->GetType( == NULL");
  if (pFrame == nullptr) return nullptr;
  md::layout::label::MeasureLabelPass pass;
  IGIS_FeatureSet* pOwner = pass.SetForConversion(m_pMapGrid, pFrame, kConvert, pGiven);
  if (pOwner == nullptr) return nullptr;
  const MeasureLabelLines& lines = pass.Lines();
  // The texts are turned on a working copy: the label's own symbol stays as it is.
  md::basilo::ReleasePtr<IGIS_SymbolPart> pSymbol(m_pTextSymbol->Clone());
  LOGFONT* pFont = pSymbol ? pSymbol->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "m_pTextSymbol == NULL");
    return nullptr;
  }
  // The drawer turns a text by its symbol's angle and its font's turn; a
  // text element by its angle alone.
  const double dBaseAngle = pSymbol->GetAngle();
  pFont->lfOrientation = 0;

  IGIS_CompoundElement* pCompound = CreateCompoundElement(pOwner);
  if (pCompound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_comElement == NULL");
    return nullptr;
  }

  const double dRatio = md::layout::SymbolUnitRatio(pOwner);
  const md::layout::grid::GridPointCarrier toPage = [&lines](SGIS_DPoint* p) { return lines.GridToPage(p); };
  md::layout::label::LabelLineWalk labels(lines, pass.Arithmetic(), lines.PageFrame(), EdgeTest::kAny,
                                          kFineLabelSteps, toPage, pass.Caps());
  const auto textOf = [this](double dValue) { return LabelText(dValue); };
  for (LabelSide side : md::layout::label::kLabelSides) {
    if (!md::layout::label::GridLabelsSide(m_pMapGrid, side)) continue;
    const double dAngle = dBaseAngle + (IsTurned(side) ? kTurnedLabelAngle : 0.0);
    pSymbol->SetAngle(dAngle);
    const bool bMade = labels.Walk(side, textOf, [&](const std::string& text, SGIS_Point crossing) {
      const SGIS_DPoint anchor = md::layout::label::OffsetForSide(side, SGIS_DPoint(crossing), m_offsets);
      return md::layout::label::CreateAlignedText(pCompound, pSymbol.get(), DrawnAlignment(side), anchor,
                                                  text.c_str(), dRatio);
    });
    if (!bMade) {
      // Nothing of a conversion that failed part-way stays in the feature set.
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_textElement == NULL");
      DropCompound(pCompound);
      return nullptr;
    }
  }
  return pCompound;
}
