// Shared pieces of the scale bar and scale text sheets.
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"

#include "host/display/igis_display.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "platform/ui/propsheet.h"

namespace md::layout::scalebar {

CommonPages::CommonPages() = default;
CommonPages::~CommonPages() = default;

void CommonPages::Add(CPropertySheet* pSheet, IGIS_Element* pElement, IGIS_FrameProperty* pFrame,
                      IGIS_Display* pDisplay) {
  if (frame) return;
  frame = std::make_unique<CLayoutFrame>(pElement, pDisplay);
  frame->m_pFrame = pFrame;
  size = std::make_unique<CSizeAndPosition>(pElement, pDisplay);
  pSheet->AddPage(frame.get());
  pSheet->AddPage(size.get());
}

void ApplyActivePage(CPropertySheet* pSheet, IGIS_Display* pDisplay) {
  if (CPropertyPage* pPage = pSheet->GetActivePage()) pPage->OnApply();
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) return;
  pView->Redraw(0, TRUE);
  for (int i = 0; i < pSheet->GetPageCount(); ++i) pSheet->GetPage(i)->SetModified(FALSE);
}

}  // namespace md::layout::scalebar
