#include "host/helmora/cgis_spatialreferencedlg.h"

#include <cstring>

#include "host/helmora/gis_references.h"

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
  const std::vector<std::string> names = GIS_SpatialReferenceCatalogue();
  const char* currentName = current && current->GetName() ? current->GetName() : "";
  // The entry whose reference bears the current one's name starts selected.
  int selected = -1;
  for (size_t i = 0; *currentName && selected < 0 && i < names.size(); ++i) {
    IGIS_SpatialReference* r = GIS_MakeCatalogueReference(static_cast<int>(i));
    if (r && r->GetName() && std::strcmp(r->GetName(), currentName) == 0) selected = static_cast<int>(i);
    if (r) r->Release();
  }
  CGIS_SpatialReferenceDlg dlg(names, selected, *currentName ? currentName : "未定义");
  if (dlg.DoModal() != IDOK || dlg.GetChosen() < 0) return nullptr;
  return GIS_MakeCatalogueReference(dlg.GetChosen());
}
