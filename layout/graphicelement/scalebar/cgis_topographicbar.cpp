// The topographic bar: band, ruler and unit labels drawn by the bar itself.
#include "layout/graphicelement/scalebar/cgis_topographicbar.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"

using namespace md::layout::detail;

namespace {

constexpr int kBand = 5;  // height of the band

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

}  // namespace

CGIS_TopoGraphicBar::CGIS_TopoGraphicBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_DoubleFillScaleBarBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC) {}

const char* CGIS_TopoGraphicBar::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC; }

const char* CGIS_TopoGraphicBar::GetDescription() { return "暂时没有定义"; }

IGIS_Element* CGIS_TopoGraphicBar::Clone() { return CloneAsNew(this, "CGIS_TopoGraphicBar::Clone"); }

RulerLayout CGIS_TopoGraphicBar::LayOut() {
  RulerShape shape;
  shape.nSub = UsableSubDivisions(GetSubDivisions(), "CGIS_TopoGraphicBar::OnDraw");
  shape.step = GetDivision() / shape.nSub;
  shape.divisionTop = 30;
  shape.subdivisionTop = 20;
  RulerLayout ruler = LayOutRuler(this, shape);
  const SGIS_Rect r = GetRect();
  const int xEnd = Round(static_cast<double>(r.left) + UsableDivisions(GetDivisions()) * GetDivision());
  ruler.body = {SGIS_Point(r.left, r.bottom, 0), SGIS_Point(xEnd, r.bottom, 0),
                SGIS_Point(xEnd, r.bottom + kBand, 0), SGIS_Point(r.left, r.bottom + kBand, 0),
                SGIS_Point(r.left, r.bottom, 0)};
  return ruler;
}

BOOL CGIS_TopoGraphicBar::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const char* kMethod = "CGIS_TopoGraphicBar::OnDraw";
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, kMethod, false, &pen)) return FALSE;
  return DrawRuler(this, &pen, pDisplay, LayOut(), GetSymbol1(), kMethod) ? TRUE : FALSE;
}
