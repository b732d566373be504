// The terra bar: body, ruler and unit labels drawn by the bar itself. The
// eight subdivisions it draws are its own: the stored SubDivisions stays.
#include "layout/graphicelement/scalebar/cgis_terrabar.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"

using namespace md::layout::detail;

namespace {

constexpr int kSubdivisions = 8;
constexpr double kStepExtra = 0.1;  // added to a division for the subdivision step
constexpr int kBase = 5;            // height of the body
constexpr int kStep = 10;           // height of the stepped line's tops

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

}  // namespace

CGIS_TerraBar::CGIS_TerraBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_DoubleFillScaleBarBase(pOwner, pFeature, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA) {}

const char* CGIS_TerraBar::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA; }

const char* CGIS_TerraBar::GetDescription() { return "暂时没有定义"; }

IGIS_Element* CGIS_TerraBar::Clone() { return CloneAsNew(this, "CGIS_TerraBar::Clone"); }

RulerLayout CGIS_TerraBar::LayOut() {
  RulerShape shape;
  shape.nSub = kSubdivisions;
  shape.step = (GetDivision() + kStepExtra) / kSubdivisions;
  shape.divisionTop = 25;
  shape.subdivisionTop = 20;
  RulerLayout ruler = LayOutRuler(this, shape);
  const SGIS_Rect r = GetRect();
  const double x0 = r.left;
  const int y0 = r.bottom;
  const int nDivisions = UsableDivisions(GetDivisions());
  for (int j = 0; j <= kSubdivisions; ++j) {
    const int x = Round(x0 + j * shape.step);
    const bool bUp = j % 2 == 0;
    ruler.body.emplace_back(x, y0 + (bUp ? kBase : kStep), 0);
    ruler.body.emplace_back(x, y0 + (bUp ? kStep : kBase), 0);
  }
  const int xEnd = Round(x0 + nDivisions * GetDivision());
  ruler.body.emplace_back(Round(x0 + GetDivision()), y0 + kBase, 0);
  ruler.body.emplace_back(xEnd, y0 + kBase, 0);
  ruler.body.emplace_back(xEnd, y0, 0);
  ruler.body.emplace_back(r.left, y0, 0);
  ruler.body.emplace_back(r.left, y0 + kBase, 0);
  return ruler;
}

BOOL CGIS_TerraBar::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const char* kMethod = "CGIS_TerraBar::OnDraw";
  BodyPen pen;
  if (!FetchBodyPen(this, hdc, bPrint, pDisplay, kMethod, false, &pen)) return FALSE;
  return DrawRuler(this, &pen, pDisplay, LayOut(), GetSymbol1(), kMethod) ? TRUE : FALSE;
}
