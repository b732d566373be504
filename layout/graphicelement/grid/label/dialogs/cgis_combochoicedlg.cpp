#include "layout/graphicelement/grid/label/dialogs/cgis_combochoicedlg.h"

#include "platform/ui/ccombobox.h"

CGIS_ComboChoiceDlg::CGIS_ComboChoiceDlg(CWnd* pParent) : CDialog(IDD_GIS_COMBOCHOICE, pParent) {}

BOOL CGIS_ComboChoiceDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (auto* pList = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_CC_LIST))) pList->SetCurSel(1);
  return TRUE;
}
