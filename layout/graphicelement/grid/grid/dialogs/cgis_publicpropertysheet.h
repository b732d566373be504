// The sheet of the label dialogs (degrees-minutes-seconds and mixed-font
// labels) and of the background tab style's dialog: the grid sheet's
// caption and buttons, with Apply taken by the sheet itself and doing
// nothing.
#pragma once

#include "platform/ui/propsheet.h"

class CGIS_PublicPropertySheet : public CPropertySheet {
 public:
  // No parent window, the first page shown first.
  CGIS_PublicPropertySheet();
};
