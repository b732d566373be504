// The scale bar property sheet and its registration for the bar types.
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarsheet.h"

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/element/mapdecktables.h"
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "platform/ui/app.h"

CGIS_ScaleBarSheet::CGIS_ScaleBarSheet(IGIS_ScaleBar* pBar, IGIS_Display* pDisplay, CWnd* pParent)
    : CPropertySheet(136, pParent),
      m_pageUnit(pBar, pDisplay),
      m_pageNumberMark(pBar, pDisplay),
      m_pageFormat(pBar, pDisplay),
      m_pBar(pBar),
      m_pDisplay(pDisplay) {
  AddPage(&m_pageUnit);
  AddPage(&m_pageNumberMark);
  AddPage(&m_pageFormat);
  MapClicked(ID_APPLY_NOW, [this] { md::layout::scalebar::ApplyActivePage(this, m_pDisplay); });
}

CGIS_ScaleBarSheet::~CGIS_ScaleBarSheet() {
  m_pBar = nullptr;
  m_pDisplay = nullptr;
}

void CGIS_ScaleBarSheet::AddCommonPages() {
  m_commonPages.Add(this, m_pBar, m_pBar != nullptr ? m_pBar->GetFrameProperty() : nullptr, m_pDisplay);
}

namespace md::layout {

void RegisterScaleBarSheets() {
  auto run = [](IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle, BOOL bWithCommonPages) {
    auto* pBar = dynamic_cast<IGIS_ScaleBar*>(pElement);
    if (pBar == nullptr) return false;
    CGIS_ScaleBarSheet sheet(pBar, pDisplay);
    if (bWithCommonPages) sheet.AddCommonPages();
    sheet.SetTitle(szTitle);
    return sheet.DoModal() == IDOK;
  };
  for (const char* szType :
       {GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING,
        GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE,
        GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA,
        GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC}) {
    RegisterPagedPropertySheet(szType, run);
    // A bar's rectangle follows its layout: the size page lays it out.
    if (IsScaleBarType(szType)) {
      RegisterSizePageLayout(szType, [](IGIS_Element* pElement) {
        if (auto* pBar = dynamic_cast<IGIS_ScaleBar*>(pElement)) pBar->Refresh();
      });
    }
  }
}

}  // namespace md::layout

namespace {
const md::ui::WindowClassRegistration<CGIS_ScaleBarUnit> g_unitPageClass("CGIS_ScaleBarUnit");
const md::ui::WindowClassRegistration<CGIS_ScaleNumberMark> g_numberMarkPageClass("CGIS_ScaleNumberMark");
const md::ui::WindowClassRegistration<CGIS_ScalebarFormat> g_formatPageClass("CGIS_ScalebarFormat");
const struct Registration {
  Registration() { md::layout::RegisterScaleBarSheets(); }
} g_registration;
}  // namespace
