// What the two pages of the graticule of fixed rows and columns share: the
// number of columns (the grid's LatitudeCount) and of rows (its
// LongitudeCount), each 1 to 20, typed as digits or stepped with an up-down.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/dialog.h"

namespace md::layout::graticulemn {

// The controls of the counts on a page.
struct CountIds {
  int nColumns;
  int nColumnsSpin;
  int nRows;
  int nRowsSpin;
};

// The two counts of a page and their controls.
class CountFields {
 public:
  // Filters the edits as they are typed (digits only).
  CountFields(CDialog* pPage, const CountIds& ids);
  // Buddies each up-down to its edit with the range 1 to 20; from the page's
  // initialisation.
  void Init();
  // Exchanges both counts, each validated to 1 to 20.
  void Exchange(CDataExchange* pDX);

  int m_nColumns = 0;
  int m_nRows = 0;

 private:
  CDialog* m_pPage;
  CountIds m_ids;
  CEdit m_editColumns, m_editRows;
  CSpinButtonCtrl m_spinColumns, m_spinRows;
};

}  // namespace md::layout::graticulemn
