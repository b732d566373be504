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

namespace {

struct CatalogueEntry {
  std::string name;
  int datum;
  int zoneWidth;  // 0: geographic
  int zone;
};

const char* DatumName(int code) {
  switch (code) {
    case GIS_DATUM_CGCS2000:
      return "CGCS2000";
    case GIS_DATUM_XIAN1980:
      return "西安1980";
    case GIS_DATUM_BEIJING1954:
      return "北京1954";
    default:
      return "WGS 84";
  }
}

// Geographic references on every datum, then the Gauss-Kruger zones that
// cover China (3-degree zones 25 to 45, 6-degree zones 13 to 23).
const std::vector<CatalogueEntry>& Catalogue() {
  static const std::vector<CatalogueEntry> entries = [] {
    std::vector<CatalogueEntry> out;
    const int datums[] = {GIS_DATUM_CGCS2000, GIS_DATUM_XIAN1980, GIS_DATUM_BEIJING1954, GIS_DATUM_WGS84};
    for (int d : datums) out.push_back({std::string(DatumName(d)) + " 地理坐标系", d, 0, 0});
    for (int d : datums) {
      for (int z = 25; z <= 45; ++z)
        out.push_back({std::string(DatumName(d)) + " 3度带高斯投影 " + std::to_string(z) + "带 中央经线" +
                           std::to_string(z * 3) + "°",
                       d, 3, z});
      for (int z = 13; z <= 23; ++z)
        out.push_back({std::string(DatumName(d)) + " 6度带高斯投影 " + std::to_string(z) + "带 中央经线" +
                           std::to_string(z * 6 - 3) + "°",
                       d, 6, z});
    }
    return out;
  }();
  return entries;
}

IGIS_SpatialReference* MakeGeographic(int datum) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  IGIS_GeographicCoordSys* system =
      f->CreateGeographicCoordSys(DatumName(datum), DatumName(datum), f->GetDatum(datum), nullptr, nullptr);
  const std::string name = std::string(DatumName(datum)) + " 地理坐标系";
  return system ? f->CreateGeographicReference(name.c_str(), name.c_str(), nullptr, system, nullptr)
                : nullptr;
}

}  // namespace

std::vector<std::string> GIS_SpatialReferenceCatalogue() {
  std::vector<std::string> names;
  for (const auto& e : Catalogue()) names.push_back(e.name);
  return names;
}

IGIS_SpatialReference* GIS_MakeCatalogueReference(int index) {
  const auto& c = Catalogue();
  if (index < 0 || index >= static_cast<int>(c.size())) return nullptr;
  const CatalogueEntry& e = c[index];
  if (e.zoneWidth == 0) return MakeGeographic(e.datum);
  return GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(e.datum, e.zoneWidth, e.zone,
                                                                            FALSE);
}

IGIS_SpatialReference* GIS_ChooseSpatialReference(IGIS_SpatialReference* current) {
  const std::vector<std::string> names = GIS_SpatialReferenceCatalogue();
  const char* currentName = current && current->GetName() ? current->GetName() : "";
  int selected = -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == currentName) selected = static_cast<int>(i);
  CGIS_SpatialReferenceDlg dlg(names, selected, *currentName ? currentName : "未定义");
  if (dlg.DoModal() != IDOK || dlg.GetChosen() < 0) return nullptr;
  return GIS_MakeCatalogueReference(dlg.GetChosen());
}
