// The three-north page.
#include "layout/graphicelement/furniture/dialogs/cgis_threenorth.h"

#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/furniture/dialogs/furniturepages.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "platform/ui/app.h"

namespace {
int g_nThreeNorthChooserStates[5] = {};
}  // namespace

CGIS_ThreeNorth::CGIS_ThreeNorth(IGIS_ThreeNorthElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_THREENORTH_PAGE), m_pElement(pElement), m_pDisplay(pDisplay) {
  ReadElement();
  using Role = md::layout::furniture::SymbolRole<IGIS_ThreeNorthElement>;
  const Role roles[] = {
      {IDC_THREENORTH_AXIS_LINE, GIS_CHOOSE_LINE, &IGIS_ThreeNorthElement::GetAxisLineSymbolPtr,
       &IGIS_ThreeNorthElement::SetAxisLineSymbolPtr},
      {IDC_THREENORTH_ANGLE_LINE, GIS_CHOOSE_LINE, &IGIS_ThreeNorthElement::GetAngleLineSymbolPtr,
       &IGIS_ThreeNorthElement::SetAngleLineSymbolPtr},
      {IDC_THREENORTH_AXIS_FONT, GIS_CHOOSE_TEXT, &IGIS_ThreeNorthElement::GetAxisTextSymbolPtr,
       &IGIS_ThreeNorthElement::SetAxisTextSymbolPtr},
      {IDC_THREENORTH_ANGLE_FONT, GIS_CHOOSE_TEXT, &IGIS_ThreeNorthElement::GetAngleTextSymbolPtr,
       &IGIS_ThreeNorthElement::SetAngleTextSymbolPtr},
      {IDC_THREENORTH_FILL, GIS_CHOOSE_FILL, &IGIS_ThreeNorthElement::GetFillSymbolPtr,
       &IGIS_ThreeNorthElement::SetFillSymbolPtr},
  };
  md::layout::furniture::MapSymbolRoles(this, m_pElement, roles, g_nThreeNorthChooserStates);
  md::layout::furniture::MapModifiedOnChange(
      this, {IDC_THREENORTH_LENGTH, IDC_THREENORTH_COORDINATE, IDC_THREENORTH_MAGNET, IDC_THREENORTH_OFFSET});
  MapEditFilter(this, IDC_THREENORTH_LENGTH, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_THREENORTH_OFFSET, &FilterSignedIntegerEdit);
  MapEditFilter(this, IDC_THREENORTH_COORDINATE, &FilterSignedDecimalEdit);
  MapEditFilter(this, IDC_THREENORTH_MAGNET, &FilterSignedDecimalEdit);
}

void CGIS_ThreeNorth::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_THREENORTH_MAGNET, m_dMagnetAngle);
  DDV_MinMaxDouble(pDX, m_dMagnetAngle, -90.0, 90.0);
  DDX_Text(pDX, IDC_THREENORTH_COORDINATE, m_dCoordinateAngle);
  DDV_MinMaxDouble(pDX, m_dCoordinateAngle, -90.0, 90.0);
  DDX_Text(pDX, IDC_THREENORTH_OFFSET, m_nTxtOffset);
  DDV_MinMaxInt(pDX, m_nTxtOffset, 0, 10000);
  // The element keeps no axis shorter than 1000.
  DDX_Text(pDX, IDC_THREENORTH_LENGTH, m_nAxisLength);
  DDV_MinMaxInt(pDX, m_nAxisLength, 1000, 50000);
  DDX_Control(pDX, IDC_THREENORTH_MAGNET, m_editMagnet);
  DDX_Control(pDX, IDC_THREENORTH_COORDINATE, m_editCoordinate);
  DDX_Control(pDX, IDC_THREENORTH_OFFSET, m_editOffset);
  DDX_Control(pDX, IDC_THREENORTH_LENGTH, m_editLength);
}

void CGIS_ThreeNorth::ReadElement() {
  if (m_pElement == nullptr) return;
  m_dMagnetAngle = m_pElement->GetMagnetAngle();
  m_dCoordinateAngle = m_pElement->GetCoordinateAngle();
  m_nTxtOffset = m_pElement->GetTxtOffset();
  m_nAxisLength = m_pElement->GetAxisLength();
}

BOOL CGIS_ThreeNorth::OnSetActive() {
  if (m_pElement != nullptr) m_pElement->Refresh();
  ReadElement();
  UpdateData(FALSE);
  m_strMagnetShown = m_editMagnet.GetWindowText();
  m_strCoordinateShown = m_editCoordinate.GetWindowText();
  return CPropertyPage::OnSetActive();
}

bool CGIS_ThreeNorth::WriteElement() {
  if (!UpdateData(TRUE)) return false;
  if (m_pElement == nullptr) return true;
  if (m_editMagnet.GetWindowText() != m_strMagnetShown) m_pElement->SetMagnetAngle(m_dMagnetAngle);
  if (m_editCoordinate.GetWindowText() != m_strCoordinateShown)
    m_pElement->SetCoordinateAngle(m_dCoordinateAngle);
  m_pElement->SetTxtOffset(m_nTxtOffset);
  m_pElement->SetAxisLength(m_nAxisLength);
  m_pElement->Refresh();
  return true;
}

BOOL CGIS_ThreeNorth::OnKillActive() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_ThreeNorth::OnApply() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnApply();
}

namespace {
const md::ui::WindowClassRegistration<CGIS_ThreeNorth> g_threeNorthPageClass("CGIS_ThreeNorth");
}  // namespace
