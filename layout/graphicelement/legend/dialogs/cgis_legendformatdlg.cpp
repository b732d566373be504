// The format page of the legend sheet.
#include "layout/graphicelement/legend/dialogs/cgis_legendformatdlg.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "platform/ui/app.h"

namespace {
constexpr int kShowLayerName = 3058, kLayerNameFont = 3061, kShowLabel = 3060, kLabelFont = 3063,
              kShowHeading = 3059, kHeadingFont = 3062;
constexpr int kGapEdits[] = {1002, 3056, 3055, 4243, 1010, 3029, 3057};
constexpr int kMaxGap = 100000;
// The font buttons' remembered chooser states, one each for the process.
int g_nLayerNameFontState = 0;
int g_nLabelFontState = 0;
int g_nHeadingFontState = 0;
const md::ui::WindowClassRegistration<CGIS_LegendFormatDlg> g_pageClass("CGIS_LegendFormatDlg");

using Getter = IGIS_Symbol* (IGIS_LegendFormat::*)();
using Setter = void (IGIS_LegendFormat::*)(IGIS_Symbol*);
void ChooseFont(IGIS_LegendFormat* pFormat, Getter get, Setter set, int* pState) {
  if (pFormat == nullptr) return;
  md::layout::ChooseSymbol((pFormat->*get)(), GIS_CHOOSE_TEXT, pState,
                           [pFormat, set](IGIS_Symbol* pChosen) { (pFormat->*set)(pChosen); });
}
}  // namespace

CGIS_LegendFormatDlg::CGIS_LegendFormatDlg(IGIS_LegendElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(3005), m_pElement(pElement), m_pDisplay(pDisplay) {
  for (int id : kGapEdits) MapEditFilter(this, id, &FilterUnsignedIntegerEdit);
  MapClicked(kShowLayerName, [this] { OnFlag(&m_nShowLayerName, kLayerNameFont); });
  MapClicked(kShowLabel, [this] { OnFlag(&m_nShowLabel, kLabelFont); });
  MapClicked(kShowHeading, [this] { OnFlag(&m_nShowHeading, kHeadingFont); });
  MapClicked(kLayerNameFont, [this] {
    ChooseFont(Format(), &IGIS_LegendFormat::GetLayerNameSymbol, &IGIS_LegendFormat::SetLayerNameSymbolPtr,
               &g_nLayerNameFontState);
  });
  MapClicked(kLabelFont, [this] {
    ChooseFont(Format(), &IGIS_LegendFormat::GetLabelSymbol, &IGIS_LegendFormat::SetLabelSymbolPtr,
               &g_nLabelFontState);
  });
  MapClicked(kHeadingFont, [this] {
    ChooseFont(Format(), &IGIS_LegendFormat::GetHeadingSymbol, &IGIS_LegendFormat::SetHeadingSymbolPtr,
               &g_nHeadingFontState);
  });
}

IGIS_LegendFormat* CGIS_LegendFormatDlg::Format() const {
  return m_pElement != nullptr ? m_pElement->GetLegendFormat() : nullptr;
}

void CGIS_LegendFormatDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Radio(pDX, 6336, m_nLabelPosition);
  // Rows are VerticalItemGap apart and columns HorizontalItemGap.
  const struct {
    int nId;
    int* pValue;
  } gaps[] = {{1010, &m_nVerticalItemGap}, {3055, &m_nHeadingGap},        {3057, &m_nItemGap},
              {3056, &m_nLayerNameGap},    {4243, &m_nPatchAndLabelsGap}, {3029, &m_nHorizontalItemGap},
              {1002, &m_nTitleGap}};
  for (const auto& g : gaps) {
    DDX_Text(pDX, g.nId, *g.pValue);
    DDV_MinMaxInt(pDX, *g.pValue, 0, kMaxGap);
  }
  DDX_Check(pDX, kShowHeading, m_nShowHeading);
  DDX_Check(pDX, kShowLabel, m_nShowLabel);
  DDX_Check(pDX, kShowLayerName, m_nShowLayerName);
}

BOOL CGIS_LegendFormatDlg::OnInitDialog() { return CPropertyPage::OnInitDialog(); }

void CGIS_LegendFormatDlg::EnableFontButtons() {
  GetDlgItem(kHeadingFont)->EnableWindow(m_nShowHeading == 1);
  GetDlgItem(kLabelFont)->EnableWindow(m_nShowLabel == 1);
  GetDlgItem(kLayerNameFont)->EnableWindow(m_nShowLayerName == 1);
}

BOOL CGIS_LegendFormatDlg::OnSetActive() {
  IGIS_LegendFormat* pFormat = Format();
  // A page made by its class name alone has nothing to show.
  if (pFormat == nullptr) return FALSE;
  m_nLabelPosition = pFormat->GetLabelPosition();
  m_nHorizontalItemGap = pFormat->GetHorizontalItemGap();
  m_nHeadingGap = pFormat->GetHeadingGap();
  m_nItemGap = pFormat->GetItemGap();
  m_nLayerNameGap = pFormat->GetLayerNameGap();
  m_nPatchAndLabelsGap = pFormat->GetPatchAndLabelsGap();
  m_nVerticalItemGap = pFormat->GetVerticalItemGap();
  m_nTitleGap = pFormat->GetTitleAndLegendGap();
  m_nShowHeading = pFormat->GetShowHeading() ? 1 : 0;
  m_nShowLabel = pFormat->GetShowLabel() ? 1 : 0;
  m_nShowLayerName = pFormat->GetShowLayerName() ? 1 : 0;
  UpdateData(FALSE);
  EnableFontButtons();
  return CPropertyPage::OnSetActive();
}

bool CGIS_LegendFormatDlg::WriteFormat() {
  if (!UpdateData(TRUE)) return false;
  IGIS_LegendFormat* pFormat = Format();
  if (pFormat == nullptr) return true;
  // A stored label position that names neither button is carried through.
  if (m_nLabelPosition >= 0) pFormat->SetLabelPosition(m_nLabelPosition);
  pFormat->SetHorizontalItemGap(m_nHorizontalItemGap);
  pFormat->SetHeadingGap(m_nHeadingGap);
  pFormat->SetItemGap(m_nItemGap);
  pFormat->SetLayerNameGap(m_nLayerNameGap);
  pFormat->SetPatchAndLabelsGap(m_nPatchAndLabelsGap);
  pFormat->SetVerticalItemGap(m_nVerticalItemGap);
  pFormat->SetTitleAndLegendGap(m_nTitleGap);
  pFormat->SetShowHeading(m_nShowHeading == 1);
  pFormat->SetShowLabel(m_nShowLabel == 1);
  pFormat->SetShowLayerName(m_nShowLayerName == 1);
  return true;
}

BOOL CGIS_LegendFormatDlg::OnKillActive() { return WriteFormat() ? TRUE : FALSE; }

BOOL CGIS_LegendFormatDlg::OnApply() {
  if (!WriteFormat()) return FALSE;
  return CPropertyPage::OnApply();
}

void CGIS_LegendFormatDlg::OnFlag(int* pValue, int nButton) {
  *pValue = *pValue == 1 ? 0 : 1;
  GetDlgItem(nButton)->EnableWindow(*pValue == 1);
}
