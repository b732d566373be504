#include "layout/graphicelement/grid/border/dialogs/borderdialogs.h"

#include "host/basilo/releaseptr.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderpatterndlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/igis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "platform/ui/dialog.h"

namespace md::layout::border {

namespace {

// Runs a kind's dialog on the border (given to the dialog's member) with a
// clone kept as backup; anything but OK copies the backup back.
template <class TBorder, class TDialog>
bool RunKindEditor(IGIS_MapBorder* pBorder, TBorder* TDialog::*pEdited) {
  auto* pKind = dynamic_cast<TBorder*>(pBorder);
  if (pKind == nullptr) return false;
  md::basilo::ReleasePtr<IGIS_MapBorder> backup(pBorder->Clone());
  TDialog dlg;
  dlg.*pEdited = pKind;
  const bool bOk = dlg.DoModal() == IDOK;
  auto* pBackup = dynamic_cast<TBorder*>(backup.get());
  if (!bOk && pBackup != nullptr) pKind->CopyFrom(pBackup);
  return bOk;
}

}  // namespace

bool RunPatternEditor(IGIS_MapBorder* pBorder) {
  return RunKindEditor(pBorder, &CGIS_MapBorderPatternDlg::m_pMapBorderPattern);
}

bool RunCalibratedEditor(IGIS_MapBorder* pBorder, int* pWidth) {
  if (dynamic_cast<IGIS_MapBorderCalibrated*>(pBorder) == nullptr || pWidth == nullptr) return false;
  pBorder->SetBorderWidth(*pWidth);
  if (!RunKindEditor(pBorder, &CGIS_CalibratedBorderDlg::m_pMapBorder)) return false;
  *pWidth = pBorder->GetBorderWidth();
  return true;
}

bool ChooseSimpleBorderLine(IGIS_MapBorder* pBorder, int* pState) {
  auto* pSimple = dynamic_cast<IGIS_MapBorderSimple*>(pBorder);
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pSimple == nullptr || pChooser == nullptr) return false;
  if (pChooser->Run(pSimple->GetLineSymbolPtr(), GIS_CHOOSE_LINE, pState, 0, 0) != 1) return false;
  md::basilo::ReleasePtr<IGIS_Symbol> chosen(pChooser->GetResult());
  if (chosen == nullptr) return false;
  pSimple->SetLineSymbolPtr(chosen->GetLinePart());
  return true;
}

void ApplySameInterval(CWnd* pDialog, int left, std::initializer_list<int> others, bool bSame) {
  if (bSame) CopyIntervalText(pDialog, left, others);
  for (int id : others)
    if (CWnd* pEdit = pDialog->GetDlgItem(id)) pEdit->EnableWindow(!bSame);
  if (CWnd* pLeft = pDialog->GetDlgItem(left)) pLeft->EnableWindow(TRUE);
}

void OnSameIntervalBox(CDialog* pDialog, int box, int left, std::initializer_list<int> others, int* pFlag) {
  const bool bSame = pDialog->IsDlgButtonChecked(box) == BST_CHECKED;
  if (bSame && !pDialog->UpdateData(TRUE)) return;
  *pFlag = bSame ? 1 : 0;
  ApplySameInterval(pDialog, left, others, bSame);
}

void CopyIntervalText(CWnd* pDialog, int left, std::initializer_list<int> others) {
  CWnd* pLeft = pDialog->GetDlgItem(left);
  if (pLeft == nullptr) return;
  const std::string text = pLeft->GetWindowText();
  for (int id : others)
    if (CWnd* pEdit = pDialog->GetDlgItem(id)) pEdit->SetWindowText(text.c_str());
}

}  // namespace md::layout::border
