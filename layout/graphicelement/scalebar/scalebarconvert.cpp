// A scale bar turned into plain elements: its frame, its marks as two-point
// polylines and its numeric and unit labels as texts, in one compound, placed
// where the drawing puts them.
#include <string>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebardraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "layout/graphicelement/text/igis_textelement.h"

using namespace md::layout::detail;

namespace {

constexpr std::size_t kConvertedLabelBytes = 131;
// The text element's anchor at the middle of its bottom edge.
constexpr int kAnchorBottomCentre = 7;

}  // namespace

BOOL AddLabelTextElement(IGIS_Element* pCompound, IGIS_ScaleBar* pBar, SGIS_Point position, double dValue) {
  auto* pTarget = dynamic_cast<IGIS_CompoundElement*>(pCompound);
  if (pTarget == nullptr || pBar == nullptr) return FALSE;
  auto* pText = NewOwnedElement<IGIS_TextElement>(pBar->GetFeatureSetPtr(), GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
  if (pText == nullptr) return FALSE;
  const std::string text = FormatNumber(pBar->GetNumericFormat(), dValue, kConvertedLabelBytes);
  pText->SetText(text.c_str());
  if (pBar->GetLabelSymbol() != nullptr) pText->SetSymbolPtr(pBar->GetLabelSymbol());
  // Drawn labels stand centred on their point: so does the text.
  pText->SetPoint(position, kAnchorBottomCentre);
  return AddOrDrop(pTarget, pText) ? TRUE : FALSE;
}

namespace md::layout::detail {

IGIS_Element* ConvertBarCommon(IGIS_ScaleBar& bar) {
  IGIS_FeatureSet* pOwner = bar.GetFeatureSetPtr();
  auto* pMain = NewOwnedElement<IGIS_CompoundElement>(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  if (pMain == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::ConvertToElement", "p_com_element == NULL");
    return nullptr;
  }
  if (IGIS_FrameProperty* pFrameProperty = bar.GetFrameProperty()) {
    if (IGIS_Element* pFrame = pFrameProperty->ConvertToElement(&bar)) AddOrDrop(pMain, pFrame);
  }
  const BarPlaces p = PlaceBar(&bar, "IGIS_ScaleBar::ConvertToElement");
  IGIS_ScaleMarks* pScaleMarks = bar.GetScaleMarks();
  if (!p.divisionMarks.empty() || !p.subdivisionMarks.empty()) {
    auto* pMarks = NewOwnedElement<IGIS_CompoundElement>(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
    if (pMarks != nullptr && AddOrDrop(pMain, pMarks)) {
      for (int x : p.divisionMarks) {
        AddSegmentElement(pMarks, SGIS_Point(x, p.divisionFrom, 0), SGIS_Point(x, p.divisionTo, 0),
                          pScaleMarks->GetDivisionMarkSymbol());
      }
      for (int x : p.subdivisionMarks) {
        AddSegmentElement(pMarks, SGIS_Point(x, p.subdivisionFrom, 0), SGIS_Point(x, p.subdivisionTo, 0),
                          pScaleMarks->GetSubdivisionMarkSymbol());
      }
    }
  }
  if (!p.labels.empty()) {
    auto* pLabels = NewOwnedElement<IGIS_CompoundElement>(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
    if (pLabels != nullptr && AddOrDrop(pMain, pLabels)) {
      for (const BarLabel& label : p.labels) {
        AddLabelTextElement(pLabels, &bar, SGIS_Point(label.x, p.labelY, 0), label.value);
      }
    }
  }
  if (auto* pUnit = NewOwnedElement<IGIS_TextElement>(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_TEXT)) {
    pUnit->SetText(bar.GetUnitLabel());
    if (bar.GetUnitLabelSymbol() != nullptr) pUnit->SetSymbolPtr(bar.GetUnitLabelSymbol());
    pUnit->SetLBpoint(SGIS_Point(p.unitBox.left, p.unitBox.bottom, 0));
    AddOrDrop(pMain, pUnit);
  }
  return pMain;
}

}  // namespace md::layout::detail
