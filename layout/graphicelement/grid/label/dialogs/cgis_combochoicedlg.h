// A dialog with one drop-down list, its second entry selected when it
// opens. Nothing in the library opens it.
#pragma once

#include "platform/ui/dialog.h"

enum {
  IDD_GIS_COMBOCHOICE = 2003,
  IDC_GIS_CC_LIST = 2007,
};

class CGIS_ComboChoiceDlg : public CDialog {
 public:
  explicit CGIS_ComboChoiceDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
};
