// The slope rule page.
#include "layout/graphicelement/furniture/dialogs/cgis_slopepage.h"

#include <cstddef>
#include <iterator>

#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/furniture/dialogs/furniturepages.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"
#include "platform/ui/app.h"

namespace {
// The edits in exchange order.
constexpr int kEdits[] = {IDC_SLOPE_ANGLE_GAP,      IDC_SLOPE_AXIS_INTERVAL, IDC_SLOPE_CONTOUR_INTERVAL,
                          IDC_SLOPE_LINE_NUMBER,    IDC_SLOPE_PERCENT_GAP,   IDC_SLOPE_TITLE_GAP,
                          IDC_SLOPE_DESCRIPTION_GAP};
// The chooser states of the six symbol buttons.
int g_nSlopeChooserStates[6] = {};
}  // namespace

CGIS_SlopePage::CGIS_SlopePage(IGIS_SlopeElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_SLOPE_PAGE), m_pElement(pElement), m_pDisplay(pDisplay) {
  ReadElement();
  using Role = md::layout::furniture::SymbolRole<IGIS_SlopeElement>;
  const Role roles[] = {
      {IDC_SLOPE_LINE_SYMBOL, GIS_CHOOSE_LINE, &IGIS_SlopeElement::GetContourLineSymbolPtr,
       &IGIS_SlopeElement::SetContourLineSymbolPtr},
      {IDC_SLOPE_AXIS_SYMBOL, GIS_CHOOSE_LINE, &IGIS_SlopeElement::GetAxisLineSymbolPtr,
       &IGIS_SlopeElement::SetAxisLineSymbolPtr},
      {IDC_SLOPE_TITLE_FONT, GIS_CHOOSE_TEXT, &IGIS_SlopeElement::GetTitleSymbolPtr,
       &IGIS_SlopeElement::SetTitleSymbolPtr},
      {IDC_SLOPE_ANGLE_FONT, GIS_CHOOSE_TEXT, &IGIS_SlopeElement::GetAngleSymbolPtr,
       &IGIS_SlopeElement::SetAngleSymbolPtr},
      {IDC_SLOPE_DESCRIPTION_FONT, GIS_CHOOSE_TEXT, &IGIS_SlopeElement::GetDescriptionSymbolPtr,
       &IGIS_SlopeElement::SetDescriptionSymbolPtr},
      {IDC_SLOPE_PERCENT_SYMBOL, GIS_CHOOSE_TEXT, &IGIS_SlopeElement::GetPercentSymbolPtr,
       &IGIS_SlopeElement::SetPercentSymbolPtr},
  };
  md::layout::furniture::MapSymbolRoles(this, m_pElement, roles, g_nSlopeChooserStates);
  md::layout::furniture::MapModifiedOnChange(
      this, {IDC_SLOPE_ANGLE_GAP, IDC_SLOPE_AXIS_INTERVAL, IDC_SLOPE_DESCRIPTION_GAP,
             IDC_SLOPE_CONTOUR_INTERVAL, IDC_SLOPE_LINE_NUMBER, IDC_SLOPE_PERCENT_GAP, IDC_SLOPE_TITLE_GAP});
  MapEditFilter(this, IDC_SLOPE_CONTOUR_INTERVAL, &FilterUnsignedDecimalEdit);
  for (int id : {IDC_SLOPE_ANGLE_GAP, IDC_SLOPE_AXIS_INTERVAL, IDC_SLOPE_DESCRIPTION_GAP,
                 IDC_SLOPE_LINE_NUMBER, IDC_SLOPE_PERCENT_GAP, IDC_SLOPE_TITLE_GAP})
    MapEditFilter(this, id, &FilterUnsignedIntegerEdit);
}

void CGIS_SlopePage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  for (std::size_t i = 0; i < std::size(kEdits); ++i) DDX_Control(pDX, kEdits[i], m_edits[i]);
  DDX_Text(pDX, IDC_SLOPE_ANGLE_GAP, m_nAngleGap);
  DDV_MinMaxInt(pDX, m_nAngleGap, 0, 10000);
  DDX_Text(pDX, IDC_SLOPE_AXIS_INTERVAL, m_nAxislineInterval);
  DDV_MinMaxInt(pDX, m_nAxislineInterval, 100, 1000);
  DDX_Text(pDX, IDC_SLOPE_CONTOUR_INTERVAL, m_dContourInterval);
  DDV_MinMaxDouble(pDX, m_dContourInterval, 0.0, 100000.0);
  // The rule draws three to six slope lines; the element keeps no other count.
  DDX_Text(pDX, IDC_SLOPE_LINE_NUMBER, m_nSlopelineNumber);
  DDV_MinMaxInt(pDX, m_nSlopelineNumber, 3, 6);
  DDX_Text(pDX, IDC_SLOPE_PERCENT_GAP, m_nPercentGap);
  DDV_MinMaxInt(pDX, m_nPercentGap, 0, 100000);
  DDX_Text(pDX, IDC_SLOPE_TITLE_GAP, m_nTitleGap);
  DDV_MinMaxInt(pDX, m_nTitleGap, 0, 50000);
  DDX_Text(pDX, IDC_SLOPE_DESCRIPTION_GAP, m_nGapDescription);
  DDV_MinMaxInt(pDX, m_nGapDescription, 0, 10000);
}

void CGIS_SlopePage::ReadElement() {
  if (m_pElement == nullptr) return;
  m_nAngleGap = m_pElement->GetAngleGap();
  m_nAxislineInterval = m_pElement->GetAxislineInterval();
  m_dContourInterval = m_pElement->GetContourInterval();
  m_nSlopelineNumber = m_pElement->GetSlopelineNumber();
  m_nPercentGap = m_pElement->GetPercentGap();
  m_nTitleGap = m_pElement->GetTitleGap();
  m_nGapDescription = m_pElement->GetGapDescription();
}

BOOL CGIS_SlopePage::OnSetActive() {
  ReadElement();
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

bool CGIS_SlopePage::WriteElement() {
  if (!UpdateData(TRUE)) return false;
  if (m_pElement == nullptr) return true;
  m_pElement->SetAngleGap(m_nAngleGap);
  m_pElement->SetAxislineInterval(m_nAxislineInterval);
  m_pElement->SetContourInterval(m_dContourInterval);
  m_pElement->SetSlopelineNumber(m_nSlopelineNumber);
  m_pElement->SetPercentGap(m_nPercentGap);
  m_pElement->SetTitleGap(m_nTitleGap);
  m_pElement->SetGapDescription(m_nGapDescription);
  m_pElement->Refresh();
  return true;
}

BOOL CGIS_SlopePage::OnKillActive() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_SlopePage::OnApply() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnApply();
}

namespace {
const md::ui::WindowClassRegistration<CGIS_SlopePage> g_slopePageClass("CGIS_SlopePage");
}  // namespace
