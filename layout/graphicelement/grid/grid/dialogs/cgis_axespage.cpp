#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/gridbordereditor.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

// Remembered chooser states of the three symbol buttons.
int g_nTickSymbolState = 0;
int g_nSubTickSymbolState = 0;
int g_nBorderSymbolState = 0;

constexpr int kDirectionOutside = 1;

// The controls and grid operations of one kind of tick.
struct TickKind {
  int nTop, nRight, nLeft, nBottom, nCount, nInside, nLength;
  int nMinCount;
  void (IGIS_MapGrid::*getSides)(bool*, bool*, bool*, bool*);
  void (IGIS_MapGrid::*setSides)(bool, bool, bool, bool);
  double (IGIS_MapGrid::*getLength)();
  void (IGIS_MapGrid::*setLength)(double);
};

constexpr TickKind kMajor{IDC_GIS_AX_TICK_TOP,           IDC_GIS_AX_TICK_RIGHT,
                          IDC_GIS_AX_TICK_LEFT,          IDC_GIS_AX_TICK_BOTTOM,
                          IDC_GIS_AX_TICK_COUNT,         IDC_GIS_AX_TICK_INSIDE,
                          IDC_GIS_AX_TICK_LENGTH,        1,
                          &IGIS_MapGrid::GetTickVisible, &IGIS_MapGrid::SetTickVisible,
                          &IGIS_MapGrid::GetTickLength,  &IGIS_MapGrid::SetTickLength};
constexpr TickKind kMinor{IDC_GIS_AX_SUBTICK_TOP,           IDC_GIS_AX_SUBTICK_RIGHT,
                          IDC_GIS_AX_SUBTICK_LEFT,          IDC_GIS_AX_SUBTICK_BOTTOM,
                          IDC_GIS_AX_SUBTICK_COUNT,         IDC_GIS_AX_SUBTICK_INSIDE,
                          IDC_GIS_AX_SUBTICK_LENGTH,        0,
                          &IGIS_MapGrid::GetSubTickVisible, &IGIS_MapGrid::SetSubTickVisible,
                          &IGIS_MapGrid::GetSubTickLength,  &IGIS_MapGrid::SetSubTickLength};

void Exchange(CDataExchange* pDX, const TickKind& kind, CGIS_AxesPage::TickFields* pFields) {
  DDX_Check(pDX, kind.nTop, pFields->nTop);
  DDX_Check(pDX, kind.nRight, pFields->nRight);
  DDX_Check(pDX, kind.nLeft, pFields->nLeft);
  DDX_Check(pDX, kind.nBottom, pFields->nBottom);
  DDX_Text(pDX, kind.nCount, pFields->nCount);
  DDV_MinMaxInt(pDX, pFields->nCount, kind.nMinCount, 20);
  DDX_Radio(pDX, kind.nInside, pFields->nDirection);
  DDX_Text(pDX, kind.nLength, pFields->dLength);
  DDV_MinMaxDouble(pDX, pFields->dLength, 0.0, 100000.0);
}

void LoadSides(IGIS_MapGrid* pGrid, const TickKind& kind, CGIS_AxesPage::TickFields* pFields) {
  bool bLeft = false, bTop = false, bRight = false, bBottom = false;
  (pGrid->*kind.getSides)(&bLeft, &bTop, &bRight, &bBottom);
  pFields->nLeft = bLeft ? 1 : 0;
  pFields->nTop = bTop ? 1 : 0;
  pFields->nRight = bRight ? 1 : 0;
  pFields->nBottom = bBottom ? 1 : 0;
}

// A stored length shown as a length and a direction: above 0 points out of
// the frame and shows as it is; anything else points in and shows negated.
void LoadLength(IGIS_MapGrid* pGrid, const TickKind& kind, CGIS_AxesPage::TickFields* pFields) {
  const double dStored = (pGrid->*kind.getLength)();
  pFields->nDirection = dStored > 0.0 ? kDirectionOutside : 0;
  pFields->dLength = dStored > 0.0 ? dStored : 0.0 - dStored;
}

void WriteSides(IGIS_MapGrid* pGrid, const TickKind& kind, const CGIS_AxesPage::TickFields& fields) {
  (pGrid->*kind.setSides)(fields.nLeft == 1, fields.nTop == 1, fields.nRight == 1, fields.nBottom == 1);
}

// The stored length of a shown one (0 - x keeps an inside 0 a plain 0).
void WriteLength(IGIS_MapGrid* pGrid, const TickKind& kind, const CGIS_AxesPage::TickFields& fields) {
  (pGrid->*kind.setLength)(fields.nDirection == kDirectionOutside ? fields.dLength : 0.0 - fields.dLength);
}

// Runs the chooser for a line symbol of the grid.
void MapLineButton(CGIS_AxesPage* pPage, int nButton, int* pState, IGIS_Symbol* (IGIS_MapGrid::*get)(),
                   void (IGIS_MapGrid::*set)(IGIS_Symbol*)) {
  pPage->MapClicked(static_cast<UINT>(nButton), [pPage, pState, get, set] {
    IGIS_MapGrid* pGrid = pPage->m_pMapGrid;
    if (pGrid == nullptr) return;
    md::layout::grid::ChooseSymbol((pGrid->*get)(), GIS_CHOOSE_LINE, pState,
                                   [pGrid, set](IGIS_Symbol* pLine) { (pGrid->*set)(pLine); });
  });
}

}  // namespace

CGIS_AxesPage::CGIS_AxesPage() : CGIS_MapGridPage(IDD_GIS_AXES_PAGE) {
  for (const TickKind& kind : {kMajor, kMinor}) {
    MapEditFilter(this, kind.nCount, &FilterSignedIntegerEdit);
    MapEditFilter(this, kind.nLength, &FilterSignedIntegerEdit);
  }
  MapLineButton(this, IDC_GIS_AX_TICK_SYMBOL, &g_nTickSymbolState, &IGIS_MapGrid::GetTickLineSymbol,
                &IGIS_MapGrid::SetTickLineSymbol);
  MapLineButton(this, IDC_GIS_AX_SUBTICK_SYMBOL, &g_nSubTickSymbolState, &IGIS_MapGrid::GetSubTickLineSymbol,
                &IGIS_MapGrid::SetSubTickLineSymbol);
  MapCommand(CBN_SELCHANGE, IDC_GIS_AX_BORDER_KIND, [this] {
    if (!IsExchangingData() && m_pMapGrid != nullptr) WriteBorderKind();
  });
  MapClicked(IDC_GIS_AX_BORDER_PROPERTY, [this] { OnBorderProperty(); });
}

void CGIS_AxesPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  Exchange(pDX, kMajor, &m_ticks);
  Exchange(pDX, kMinor, &m_subTicks);
}

void CGIS_AxesPage::LoadLengths() {
  LoadLength(m_pMapGrid, kMajor, &m_ticks);
  LoadLength(m_pMapGrid, kMinor, &m_subTicks);
}

BOOL CGIS_AxesPage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  if (!CheckGrid("CGIS_AxesPage::OnInitDialog")) return FALSE;
  m_ticks.nCount = m_pMapGrid->GetTickDivision();
  m_subTicks.nCount = m_pMapGrid->GetSubTickCount();
  LoadLengths();
  m_editTickCount.SubclassDlgItem(IDC_GIS_AX_TICK_COUNT, this);
  m_editSubTickCount.SubclassDlgItem(IDC_GIS_AX_SUBTICK_COUNT, this);
  m_spinTickCount.SubclassDlgItem(IDC_GIS_AX_TICK_COUNT_SPIN, this);
  m_spinSubTickCount.SubclassDlgItem(IDC_GIS_AX_SUBTICK_COUNT_SPIN, this);
  InitSpinButton(&m_editSubTickCount, &m_spinSubTickCount, 1, 10, 10);
  InitSpinButton(&m_editTickCount, &m_spinTickCount, 1, 10, 10);
  m_spinSubTickCount.SetPos32(m_subTicks.nCount);
  m_spinTickCount.SetPos32(m_ticks.nCount);
  if (auto* pKinds = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_AX_BORDER_KIND))) {
    pKinds->ResetContent();
    pKinds->AddString("简单边框");
    pKinds->AddString("校准边框");
    pKinds->SetCurSel(0);
  }
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_AxesPage::OnSetActive() {
  if (!CheckGrid("CGIS_AxesPage::OnSetActive")) return FALSE;
  // The counts keep what was typed; sides, lengths and the border are read again.
  LoadSides(m_pMapGrid, kMajor, &m_ticks);
  LoadSides(m_pMapGrid, kMinor, &m_subTicks);
  LoadLengths();
  UpdateData(FALSE);
  if (auto* pKinds = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_AX_BORDER_KIND))) {
    IGIS_MapGridBorder* pBorder = m_pMapGrid->GetBorder();
    pKinds->SetCurSel(pBorder == nullptr ? -1 : pBorder->GetBorderType() == GIS_GRIDBORDER_SIMPLE ? 0 : 1);
  }
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_AxesPage::WriteGrid() {
  if (m_pMapGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  WriteSides(m_pMapGrid, kMajor, m_ticks);
  WriteSides(m_pMapGrid, kMinor, m_subTicks);
  WriteLength(m_pMapGrid, kMajor, m_ticks);
  WriteLength(m_pMapGrid, kMinor, m_subTicks);
  m_pMapGrid->SetSubTickCount(m_subTicks.nCount);
  m_pMapGrid->SetTickDivision(m_ticks.nCount);
  WriteBorderKind();
  return true;
}

void CGIS_AxesPage::WriteBorderKind() {
  auto* pKinds = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_AX_BORDER_KIND));
  IGIS_MapGridBorder* pBorder = m_pMapGrid->GetBorder();
  if (pKinds != nullptr && pBorder != nullptr && pKinds->GetCurSel() >= 0)
    pBorder->SetBorderType(pKinds->GetCurSel());
}

BOOL CGIS_AxesPage::OnKillActive() { return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE; }

BOOL CGIS_AxesPage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

void CGIS_AxesPage::OnBorderProperty() {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_MapGridBorder* pBorder = m_pMapGrid != nullptr ? m_pMapGrid->GetBorder() : nullptr;
  if (pBorder == nullptr) return;
  if (pBorder->GetBorderType() == GIS_GRIDBORDER_SIMPLE) {
    md::layout::grid::ChooseSymbol(pBorder->GetSimpleSymbol(), GIS_CHOOSE_FLAGGED_LINE, &g_nBorderSymbolState,
                                   [pBorder](IGIS_Symbol* pLine) { pBorder->SetSimpleSymbolPtr(pLine); });
    return;
  }
  md::basilo::ReleasePtr<IGIS_MapGridBorder> backup(pBorder->Clone());
  if (!md::layout::grid::EditGridBorder(pBorder) && backup != nullptr) pBorder->CopyFrom(backup.get());
}

namespace {
const md::ui::WindowClassRegistration<CGIS_AxesPage> g_class("CGIS_AxesPage");
}  // namespace
