// The property sheet every element sheet derives from: it keeps the element
// and the host display, owns the pages it is given, and answers the Apply
// button itself.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_Element;

class CGIS_ElementPropertySheet : public CPropertySheet {
 public:
  // A sheet on the caption string, with no parent window and the first page
  // selected.
  CGIS_ElementPropertySheet(UINT nCaptionId, IGIS_Element* pElement, IGIS_Display* pDisplay);
  ~CGIS_ElementPropertySheet() override;

  IGIS_Element* GetElement() const { return m_pElement; }
  IGIS_Display* GetDisplay() const { return m_pDisplay; }

 protected:
  // Adds a page the sheet owns (deleted with the sheet, in reverse order).
  template <class TPage>
  TPage* AddOwnedPage(std::unique_ptr<TPage> page) {
    TPage* p = page.get();
    AddPage(p);
    m_pages.push_back(std::move(page));
    return p;
  }

 private:
  // Apply: the active page only, a redraw of the display's view, then every
  // page unmarked. Without a display or a view only the active page applies.
  void OnApplyNow();

  IGIS_Element* m_pElement;
  IGIS_Display* m_pDisplay;
  std::vector<std::unique_ptr<CPropertyPage>> m_pages;
};
