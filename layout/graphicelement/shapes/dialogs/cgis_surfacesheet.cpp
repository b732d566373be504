// The surface sheet and its registration for the three fill shapes.
#include "layout/graphicelement/shapes/dialogs/cgis_surfacesheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/dialogs/cgis_surfacepage.h"

CGIS_SurfaceSheet::CGIS_SurfaceSheet(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ElementPropertySheet(IDS_SURFACE_SHEET, pElement, pContext),
      m_pSurfacePage(AddOwnedPage(std::make_unique<CGIS_SurfacePage>(pElement, pContext))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pContext))) {}

namespace {
bool RunSurfaceSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  CGIS_SurfaceSheet sheet(pElement, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() {
    for (const char* szType :
         {GIS_TYPE_GRAPHIC_ELEMENT_RECT, GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON})
      md::layout::RegisterPropertySheet(szType, &RunSurfaceSheet);
  }
} g_registration;
}  // namespace
