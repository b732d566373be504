// The ellipse element: a bounding rectangle in its feature, drawn as the
// flattened outline filled with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_ellipseelement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "platform/win/wingdi.h"

using namespace md::layout::shapes;

namespace {

// Segments of the outline: enough that no chord strays more than a quarter
// pixel from the curve, at least 16 and at most 4096.
int OutlineSegments(HDC hdc, const SGIS_Rect& device) {
  POINT corners[2] = {{device.left, device.bottom}, {device.right, device.top}};
  if (hdc != nullptr) LPtoDP(hdc, corners, 2);
  const double rx = std::fabs(static_cast<double>(corners[1].x) - corners[0].x) / 2.0;
  const double ry = std::fabs(static_cast<double>(corners[1].y) - corners[0].y) / 2.0;
  const double r = std::max(rx, ry);
  if (!(r > 0.25)) return 16;
  const double n = std::ceil(3.14159265358979323846 / std::acos(1.0 - 0.25 / r));
  if (!std::isfinite(n)) return 4096;
  return static_cast<int>(std::clamp(n, 16.0, 4096.0));
}

}  // namespace

CGIS_EllipseElement::CGIS_EllipseElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_BoxShapeImpl("CGIS_EllipseElement", "椭圆整饰单元", GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE) {
  const SGIS_ShapeBinding binding{.szType = GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE,
                                  .nKind = GIS_FEATURE_KIND_ELLIPSE,
                                  .nSymbolType = GIS_SYMBOL_FILL,
                                  .nSymbolCode = 3361,
                                  .bLogCreateFailure = false};
  // A stored ellipse brings its flags, order and name at once.
  if (BindShape(m_core, pOwner, pFeature, binding) == CGIS_ElementCore::Binding::Bound) Archive(1, 0);
}

bool CGIS_EllipseElement::FitSize(IGIS_Feature* /*pFeature*/, int w, int h, int& nWidth, int& nHeight) {
  // No ratio to keep: a circle of the smaller size.
  if (GetHVScaleRatio() && !KeepRatioSize(w, h, nWidth, nHeight))
    nWidth = nHeight = std::min(nWidth, nHeight);
  return true;
}

BOOL CGIS_EllipseElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  SGIS_DrawInputs in;
  if (!GatherDrawInputs(m_core, pDisplay, {}, in)) return FALSE;
  SGIS_Rect r;
  in.pGeometry->GetBound(&r, 0, 0);
  SGIS_Rect d = in.pView->PageToDeviceRect(r, in.pReference);
  d.Normalize();

  // The outline as a closed ring of device points around the rectangle.
  const int n = OutlineSegments(hdc, d);
  const double cx = (static_cast<double>(d.left) + d.right) / 2.0;
  const double cy = (static_cast<double>(d.bottom) + d.top) / 2.0;
  const double rx = (static_cast<double>(d.right) - d.left) / 2.0;
  const double ry = (static_cast<double>(d.top) - d.bottom) / 2.0;
  std::vector<POINT> ring;
  ring.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * 3.14159265358979323846 * i / n;
    AppendDistinct(ring, Nearest(cx + rx * std::cos(a)), Nearest(cy + ry * std::sin(a)));
  }
  if (!ring.empty()) AppendDistinct(ring, ring.front().x, ring.front().y);
  DrawDevicePoints(hdc, bPrint, pDisplay, in.pSymbol, ring.data(), static_cast<int>(ring.size()));
  return TRUE;
}

IGIS_Symbol* CGIS_EllipseElement::GetSymbolPtr() { return FeatureSymbol(m_core, true); }

// The feature's own symbol given again (or NULL to a feature without one)
// changes and commits nothing; NULL clears the symbol.
void CGIS_EllipseElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == pFeature->GetSymbol()) return;
  CommitSymbolCopy(m_core, pFeature, pSymbol, GIS_UPDATE_SYMBOL);
}

IGIS_Element* CGIS_EllipseElement::Clone() {
  auto* pCopy = NewSibling<IGIS_EllipseElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetRect(GetRect());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  return pCopy;
}

BOOL CGIS_EllipseElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "椭圆属性", "p_element == NULL");
}
