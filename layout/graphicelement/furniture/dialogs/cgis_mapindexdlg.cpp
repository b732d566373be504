// The map index's names page.
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexdlg.h"

#include "layout/graphicelement/furniture/dialogs/furniturepages.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "platform/ui/app.h"

namespace {
constexpr int kMaxNameChars = 25;
}  // namespace

CGIS_MapIndexDlg::CGIS_MapIndexDlg(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_MAPINDEX_NAMES_PAGE), m_pElement(pElement), m_pDisplay(pDisplay) {
  md::layout::furniture::MapModifiedOnChange(
      this, {IDC_MAPINDEX_CENTRE, IDC_MAPINDEX_EAST, IDC_MAPINDEX_NORTH, IDC_MAPINDEX_NORTHEAST,
             IDC_MAPINDEX_NORTHWEST, IDC_MAPINDEX_SOUTH, IDC_MAPINDEX_SOUTHEAST, IDC_MAPINDEX_SOUTHWEST,
             IDC_MAPINDEX_WEST});
}

void CGIS_MapIndexDlg::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  const struct {
    int id;
    std::string* text;
  } fields[] = {{IDC_MAPINDEX_CENTRE, &m_strCentre},
                {IDC_MAPINDEX_EAST, &m_strEast},
                {IDC_MAPINDEX_NORTHEAST, &m_strNorthEast},
                {IDC_MAPINDEX_NORTHWEST, &m_strNorthWest},
                {IDC_MAPINDEX_SOUTHEAST, &m_strSouthEast},
                {IDC_MAPINDEX_NORTH, &m_strNorth},
                {IDC_MAPINDEX_SOUTHWEST, &m_strSouthWest},
                {IDC_MAPINDEX_SOUTH, &m_strSouth},
                {IDC_MAPINDEX_WEST, &m_strWest}};
  for (const auto& f : fields) {
    DDX_Text(pDX, f.id, *f.text);
    DDV_MaxChars(pDX, *f.text, kMaxNameChars);
  }
}

BOOL CGIS_MapIndexDlg::OnSetActive() {
  if (m_pElement == nullptr) return FALSE;
  m_strEast = m_pElement->GetEastText();
  m_strWest = m_pElement->GetWestText();
  m_strNorth = m_pElement->GetNorthText();
  m_strSouth = m_pElement->GetSouthText();
  m_strNorthEast = m_pElement->GetNorthEastText();
  m_strSouthEast = m_pElement->GetSouthEastText();
  m_strNorthWest = m_pElement->GetNorthWestText();
  m_strSouthWest = m_pElement->GetSouthWestText();
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

void CGIS_MapIndexDlg::WriteElement() {
  if (m_pElement == nullptr) return;
  m_pElement->SetEastText(m_strEast.c_str());
  m_pElement->SetWestText(m_strWest.c_str());
  m_pElement->SetNorthText(m_strNorth.c_str());
  m_pElement->SetSouthText(m_strSouth.c_str());
  m_pElement->SetNorthEastText(m_strNorthEast.c_str());
  m_pElement->SetSouthEastText(m_strSouthEast.c_str());
  m_pElement->SetNorthWestText(m_strNorthWest.c_str());
  m_pElement->SetSouthWestText(m_strSouthWest.c_str());
}

BOOL CGIS_MapIndexDlg::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_MapIndexDlg::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  if (m_pElement != nullptr) m_pElement->UpdateGeometry();
  return CPropertyPage::OnApply();
}

namespace {
const md::ui::WindowClassRegistration<CGIS_MapIndexDlg> g_namesPageClass("CGIS_MapIndexDlg");
}  // namespace
