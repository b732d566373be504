#include "host/helmora/cgis_spatialreferencedlg.h"

#include <cstring>

CGIS_SpatialReferenceDlg::CGIS_SpatialReferenceDlg(const std::vector<std::string>& entries, int selected,
                                                   const std::string& current)
    : CDialog(IDD_GIS_SPATIALREFERENCE), entries_(entries), selected_(selected), current_(current) {}

void CGIS_SpatialReferenceDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_SR_LIST, list_);
}

BOOL CGIS_SpatialReferenceDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const auto& e : entries_) list_.AddString(e.c_str());
  if (selected_ >= 0 && selected_ < static_cast<int>(entries_.size())) list_.SetCurSel(selected_);
  SetDlgItemText(IDC_GIS_SR_CURRENT, ("当前：" + current_).c_str());
  return TRUE;
}

void CGIS_SpatialReferenceDlg::OnOK() {
  chosen_ = list_.GetCurSel();
  CDialog::OnOK();
}

IGIS_SpatialReference* GIS_ChooseSpatialReference(IGIS_SpatialReference* current) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  std::vector<std::string> names;
  const int count = f->GetPredefinedReferenceCount();
  for (int i = 0; i < count; ++i) {
    const char* name = f->GetPredefinedReferenceName(i);
    names.emplace_back(name ? name : "");
  }
  // The entry the current reference is starts selected.
  const int selected = current ? f->FindPredefinedReference(current) : -1;
  const char* currentName =
      current && current->GetName() && *current->GetName() ? current->GetName() : "未定义";
  CGIS_SpatialReferenceDlg dlg(names, selected, currentName);
  if (dlg.DoModal() != IDOK || dlg.GetChosen() < 0) return nullptr;
  return f->CreatePredefinedReference(dlg.GetChosen());
}
