// The straight scale line: its line drawn before the marks and labels of the
// base and converted into one polyline after them.
#include "layout/graphicelement/scalebar/cgis_scaleline.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"

using namespace md::layout::detail;

CGIS_ScaleLine::CGIS_ScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ScaleLineBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE) {
  SetName("图形比例尺");
  m_nBarHeight = 0;
}

const char* CGIS_ScaleLine::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE; }

const char* CGIS_ScaleLine::GetDescription() { return "暂时没有定义"; }

void CGIS_ScaleLine::Refresh() { CGIS_ScaleBarBase::Refresh(); }

IGIS_Element* CGIS_ScaleLine::Clone() { return CloneBar(this); }

void CGIS_ScaleLine::LineEnds(SGIS_Point* pFrom, SGIS_Point* pTo, bool bConverted) {
  const SGIS_Rect r = GetRect();
  const double x0 = static_cast<double>(r.left) + GetBarX();
  const double y0 = static_cast<double>(r.bottom) + GetBarY();
  const double x1 = x0 + static_cast<double>(UsableDivisions(GetDivisions())) * PeekDivisionWidth();
  const double y = bConverted ? y0 + GetBarHeight() / 2.0 : y0;
  *pFrom = SGIS_Point::FromDoubles(x0, y);
  *pTo = SGIS_Point::FromDoubles(x1, y);
}

BOOL CGIS_ScaleLine::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, "CGIS_ScaleLine::OnDraw", false, &pen)) return FALSE;
  if (DrawFrameUnder(this, hdc, bPrint, pDisplay, pen)) return TRUE;
  {
    SGIS_Point line[2];
    LineEnds(&line[0], &line[1], false);
    CGIS_ElementClipScope clip(hdc, pDisplay);
    DrawPagePoints(&pen, line, 2, GetSymbolPtr());
  }
  CGIS_ScaleBarBase::OnDraw(hdc, bPrint, pDisplay);
  return TRUE;
}

IGIS_Element* CGIS_ScaleLine::ConvertToElement() {
  IGIS_CompoundElement* pMain = ConvertBarBase(this, "CGIS_ScaleLine::ConvertToElement");
  if (pMain == nullptr) return nullptr;
  IGIS_CompoundElement* pBody = NewBodyCompound(this);
  if (pBody == nullptr) return pMain;
  SGIS_Point from, to;
  LineEnds(&from, &to, true);
  AddSegmentElement(pBody, from, to, GetSymbolPtr());
  AppendBody(pMain, pBody);
  return pMain;
}
