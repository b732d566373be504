// What the pages of the furniture sheets share: symbol buttons that run the
// host's chooser and hand the choice to the element at once, and edits that
// mark their page modified when the user changes them.
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>

class CPropertyPage;
class IGIS_Symbol;

namespace md::layout::furniture {

// One symbol button of a page: the chooser kind (1 point, 2 line, 4 fill,
// 8 text), the element's current symbol and its setter (which keeps a copy).
struct SymbolButton {
  int nButton = 0;
  int nKind = 0;
  std::function<IGIS_Symbol*()> get;
  std::function<void(IGIS_Symbol*)> set;
  // Whether a confirmed chooser that gave no symbol still marks the page.
  bool bMarkWithoutSymbol = true;
};

// Runs the chooser when the button is clicked, with the button's own state
// (process-wide, remembered by the chooser). A cancelled chooser changes
// nothing; a chosen symbol of the button's kind goes to the setter and is
// released; the page is marked as the button says.
void MapSymbolButton(CPropertyPage* pPage, SymbolButton button, int* pnState);

// A symbol role of an element: its button, the chooser kind, the element's
// getter and setter.
template <class TElement>
struct SymbolRole {
  int nButton;
  int nKind;
  IGIS_Symbol* (TElement::*get)();
  void (TElement::*set)(IGIS_Symbol*);
  bool bMarkWithoutSymbol = true;
};

// Maps the buttons of the roles, the i-th with the i-th chooser state. A page
// without an element (NULL) offers the current symbol NULL and keeps nothing.
template <class TElement, std::size_t N>
void MapSymbolRoles(CPropertyPage* pPage, TElement* pElement, const SymbolRole<TElement> (&roles)[N],
                    int (&states)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    const SymbolRole<TElement> r = roles[i];
    MapSymbolButton(
        pPage,
        SymbolButton{r.nButton, r.nKind,
                     [pElement, r] { return pElement != nullptr ? (pElement->*r.get)() : nullptr; },
                     [pElement, r](IGIS_Symbol* p) {
                       if (pElement != nullptr) (pElement->*r.set)(p);
                     },
                     r.bMarkWithoutSymbol},
        &states[i]);
  }
}

// Marks the page modified on every change of the edits that does not come
// from the page's own data exchange.
void MapModifiedOnChange(CPropertyPage* pPage, std::initializer_list<int> ids);

}  // namespace md::layout::furniture
