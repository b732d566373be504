#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardlabelandaxe.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

// The buttons' remembered chooser states.
int g_nTickSymbolState = 0;
int g_nSubTickSymbolState = 0;
int g_nFontState = 0;

constexpr LONG kDefaultTextHeight = -8;
constexpr int kLowestCount = 1;
constexpr int kHighestCount = 20;
constexpr int kDefaultCount = 2;

// What the page shows for a grid type: its own text and the sheet's title.
struct TypeTexts {
  int nType;
  const char* szText;
  const char* szTitle;
};

const TypeTexts kTexts[] = {
    {GIS_MAPGRID_GRATICULE, "创建一个经纬网", "经纬网向导"},
    {GIS_MAPGRID_GRATICULE_MN, "创建一个经纬网(固定行列数)", "经纬网向导(固定行列数)"},
    {GIS_MAPGRID_MEASURE, "创建一个方里网", "方里网向导"},
    {GIS_MAPGRID_INDEX, "创建一个索引格网", "索引网向导"},
};

}  // namespace

CGIS_GridWizardLabelAndAxe::CGIS_GridWizardLabelAndAxe() : CPropertyPage(IDD_GIS_GRID_WIZARD_AXES) {
  MapClicked(IDC_GIS_GL_TICKS, [this] { OnTicks(); });
  MapClicked(IDC_GIS_GL_SUBTICKS, [this] { OnSubTicks(); });
  MapClicked(IDC_GIS_GL_TICK_SYMBOL, [this] {
    md::layout::grid::ChooseHeldSymbol(&m_pTickSymbol, GIS_CHOOSE_LINE, &g_nTickSymbolState);
  });
  MapClicked(IDC_GIS_GL_SUBTICK_SYMBOL, [this] {
    md::layout::grid::ChooseHeldSymbol(&m_pSubTickSymbol, GIS_CHOOSE_LINE, &g_nSubTickSymbolState);
  });
  MapClicked(IDC_GIS_GL_FONT,
             [this] { md::layout::grid::ChooseHeldSymbol(&m_pTextSymbol, GIS_CHOOSE_TEXT, &g_nFontState); });
  MapEditFilter(this, IDC_GIS_GL_SUBTICK_COUNT, &FilterUnsignedIntegerEdit);
}

void CGIS_GridWizardLabelAndAxe::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_GIS_GL_TICKS, m_nTicks);
  DDX_Check(pDX, IDC_GIS_GL_SUBTICKS, m_nSubTicks);
  DDX_Text(pDX, IDC_GIS_GL_SUBTICK_COUNT, m_nSubTickCount);
  DDV_MinMaxInt(pDX, m_nSubTickCount, kLowestCount, kHighestCount);
}

BOOL CGIS_GridWizardLabelAndAxe::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  for (int id : {IDC_GIS_GL_SUBTICK_COUNT_SPIN, IDC_GIS_GL_SUBTICK_SYMBOL, IDC_GIS_GL_TICK_SYMBOL,
                 IDC_GIS_GL_SUBTICK_COUNT}) {
    if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(FALSE);
  }
  m_editCount.SubclassDlgItem(IDC_GIS_GL_SUBTICK_COUNT, this);
  m_spinCount.SubclassDlgItem(IDC_GIS_GL_SUBTICK_COUNT_SPIN, this);
  InitSpinButton(&m_editCount, &m_spinCount, kLowestCount, kHighestCount, 10);
  m_nSubTickCount = kDefaultCount;
  m_nTicks = 1;
  m_nSubTicks = 1;
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GL_TICK_SYMBOL)) pButton->EnableWindow(m_nTicks == 1);
  for (int id : {IDC_GIS_GL_SUBTICK_COUNT_SPIN, IDC_GIS_GL_SUBTICK_SYMBOL, IDC_GIS_GL_SUBTICK_COUNT}) {
    if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(m_nSubTicks == 1);
  }
  UpdateData(FALSE);
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  if (pFactory == nullptr) return FALSE;
  if (!m_pTextSymbol) {
    m_pTextSymbol.reset(
        md::layout::SymbolPartOf(pFactory->CreateSymbol(GIS_SYMBOL_TEXT), md::layout::SymbolKind::Text));
    if (m_pTextSymbol && m_pTextSymbol->GetFontSizePtr() != nullptr)
      m_pTextSymbol->GetFontSizePtr()->lfHeight = kDefaultTextHeight;
  }
  md::basilo::ReleasePtr<IGIS_Symbol> line(md::layout::grid::NewDefaultLineSymbol());
  if (line && !m_pTickSymbol)
    m_pTickSymbol.reset(md::layout::SymbolPartOf(line->Clone(), md::layout::SymbolKind::Line));
  if (line && !m_pSubTickSymbol) m_pSubTickSymbol = std::move(line);
  return TRUE;
}

BOOL CGIS_GridWizardLabelAndAxe::OnSetActive() {
  const int nType = md::layout::grid::GridWizardType(this);
  for (const TypeTexts& texts : kTexts) {
    if (texts.nType != nType) continue;
    SetWindowText(texts.szText);
    if (CPropertySheet* pSheet = GetSheet()) pSheet->SetTitle(texts.szTitle);
  }
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridWizardLabelAndAxe::OnWizardBack() {
  switch (md::layout::grid::GridWizardType(this)) {
    case GIS_MAPGRID_GRATICULE:
      return IDD_GIS_GRID_WIZARD_GRATICULE;
    case GIS_MAPGRID_MEASURE:
      return IDD_GIS_GRID_WIZARD_MEASURED;
    case GIS_MAPGRID_GRATICULE_MN:
      return IDD_GIS_GRID_WIZARD_FIXED_COUNT;
    default:
      return CPropertyPage::OnWizardBack();
  }
}

LRESULT CGIS_GridWizardLabelAndAxe::OnWizardNext() { return IDD_GIS_GRID_WIZARD_FINISH; }

void CGIS_GridWizardLabelAndAxe::OnTicks() {
  m_nTicks = m_nTicks == 0 ? 1 : 0;
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GL_TICK_SYMBOL)) pButton->EnableWindow(m_nTicks == 1);
}

void CGIS_GridWizardLabelAndAxe::OnSubTicks() {
  m_nSubTicks = m_nSubTicks == 0 ? 1 : 0;
  for (int id : {IDC_GIS_GL_SUBTICK_SYMBOL, IDC_GIS_GL_SUBTICK_COUNT_SPIN, IDC_GIS_GL_SUBTICK_COUNT}) {
    if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(m_nSubTicks == 1);
  }
}
