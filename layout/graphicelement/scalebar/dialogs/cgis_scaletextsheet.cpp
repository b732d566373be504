// The scale text property sheet and its registration.
#include "layout/graphicelement/scalebar/dialogs/cgis_scaletextsheet.h"

#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"
#include "platform/ui/app.h"

CGIS_ScaleTextSheet::CGIS_ScaleTextSheet(IGIS_ScaleTextElement* pElement, IGIS_Display* pDisplay,
                                         CWnd* pParent)
    : CPropertySheet(137, pParent),
      m_pageText(pElement, pDisplay),
      m_pElement(pElement),
      m_pDisplay(pDisplay) {
  AddPage(&m_pageText);
  MapClicked(ID_APPLY_NOW, [this] { md::layout::scalebar::ApplyActivePage(this, m_pDisplay); });
}

CGIS_ScaleTextSheet::~CGIS_ScaleTextSheet() {
  m_pElement = nullptr;
  m_pDisplay = nullptr;
}

void CGIS_ScaleTextSheet::AddCommonPages() {
  m_commonPages.Add(this, m_pElement, m_pElement != nullptr ? m_pElement->GetFramePropertyPtr() : nullptr,
                    m_pDisplay);
}

namespace md::layout {

void RegisterScaleTextSheet() {
  RegisterPagedPropertySheet(
      GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT,
      [](IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle, BOOL bWithCommonPages) {
        auto* pText = dynamic_cast<IGIS_ScaleTextElement*>(pElement);
        if (pText == nullptr) return false;
        CGIS_ScaleTextSheet sheet(pText, pDisplay);
        if (bWithCommonPages) sheet.AddCommonPages();
        sheet.SetTitle(szTitle);
        return sheet.DoModal() == IDOK;
      });
}

}  // namespace md::layout

namespace {
const md::ui::WindowClassRegistration<CGIS_ScaleText> g_textPageClass("CGIS_ScaleText");
const struct Registration {
  Registration() { md::layout::RegisterScaleTextSheet(); }
} g_registration;
}  // namespace
