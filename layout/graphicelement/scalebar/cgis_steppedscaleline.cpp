// The stepped scale line: its stepped line drawn before the marks and labels
// of the base and converted into one polyline after them.
#include "layout/graphicelement/scalebar/cgis_steppedscaleline.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"

using namespace md::layout::detail;

CGIS_SteppedScaleLine::CGIS_SteppedScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ScaleLineBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE) {
  SetName("步进图形比例尺");
}

const char* CGIS_SteppedScaleLine::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE; }

const char* CGIS_SteppedScaleLine::GetDescription() { return "暂时没有定义"; }

void CGIS_SteppedScaleLine::Refresh() { CGIS_ScaleBarBase::Refresh(); }

IGIS_Element* CGIS_SteppedScaleLine::Clone() { return CloneBar(this); }

std::vector<SGIS_Point> CGIS_SteppedScaleLine::Outline() {
  return SteppedOutline(this, "CGIS_SteppedScaleLine::OnDraw");
}

BOOL CGIS_SteppedScaleLine::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, "CGIS_SteppedScaleLine::OnDraw", true, &pen)) return FALSE;
  if (DrawFrameUnder(this, hdc, bPrint, pDisplay, pen)) return TRUE;
  {
    const std::vector<SGIS_Point> outline = Outline();
    CGIS_ElementClipScope clip(hdc, pDisplay);
    DrawPagePoints(&pen, outline.data(), static_cast<int>(outline.size()), GetSymbolPtr());
  }
  CGIS_ScaleBarBase::OnDraw(hdc, bPrint, pDisplay);
  return TRUE;
}

IGIS_Element* CGIS_SteppedScaleLine::ConvertToElement() {
  IGIS_CompoundElement* pMain = ConvertBarBase(this, "CGIS_SteppedScaleLine::ConvertToElement");
  if (pMain == nullptr) return nullptr;
  IGIS_CompoundElement* pBody = NewBodyCompound(this);
  if (pBody == nullptr) return pMain;
  const std::vector<SGIS_Point> outline = Outline();
  CreatePolylineElement(pBody, outline.data(), static_cast<int>(outline.size()), GetSymbolPtr());
  AppendBody(pMain, pBody);
  return pMain;
}
