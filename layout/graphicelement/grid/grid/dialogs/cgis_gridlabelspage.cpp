#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"

#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

// The text symbol button's remembered chooser state.
int g_nTextSymbolState = 0;

constexpr int kMaxOffset = 1000000;

// The label kinds a grid kind offers: the list's entries, whose index plus
// the base is the label type.
struct LabelKinds {
  int nGridKind;
  int nBase;
  std::vector<const char*> names;
};

const LabelKinds kLabelKinds[] = {
    {GIS_MAPGRID_GRATICULE, GIS_GRIDLABEL_DMS, {"度 分 秒"}},
    {GIS_MAPGRID_GRATICULE_MN, GIS_GRIDLABEL_DMS, {"度 分 秒"}},
    {GIS_MAPGRID_MEASURE, GIS_GRIDLABEL_MIXEDFONT, {"混合字体", "固定格式"}},
    {GIS_MAPGRID_INDEX, GIS_GRIDLABEL_INDEX_BACKGROUND, {"背景标注", "按钮标注", "连续标注", "圆角标注"}},
};

const LabelKinds* KindsOf(IGIS_MapGrid* pGrid) {
  if (pGrid == nullptr) return nullptr;
  for (const LabelKinds& kinds : kLabelKinds)
    if (kinds.nGridKind == pGrid->GetType()) return &kinds;
  return nullptr;
}

// The edits of one side, in the order box, vertical box, X and Y offset.
struct SideIds {
  int nShown, nVertical, nOffsetX, nOffsetY;
};

constexpr SideIds kLeft{IDC_GIS_LB_LEFT, IDC_GIS_LB_VERTICAL_LEFT, IDC_GIS_LB_LEFT_X, IDC_GIS_LB_LEFT_Y};
constexpr SideIds kTop{IDC_GIS_LB_TOP, IDC_GIS_LB_VERTICAL_TOP, IDC_GIS_LB_TOP_X, IDC_GIS_LB_TOP_Y};
constexpr SideIds kRight{IDC_GIS_LB_RIGHT, IDC_GIS_LB_VERTICAL_RIGHT, IDC_GIS_LB_RIGHT_X, IDC_GIS_LB_RIGHT_Y};
constexpr SideIds kBottom{IDC_GIS_LB_BOTTOM, IDC_GIS_LB_VERTICAL_BOTTOM, IDC_GIS_LB_BOTTOM_X,
                          IDC_GIS_LB_BOTTOM_Y};

void Exchange(CDataExchange* pDX, const SideIds& ids, CGIS_GridLabelsPage::SideFields* pFields) {
  DDX_Check(pDX, ids.nShown, pFields->nShown);
  DDX_Check(pDX, ids.nVertical, pFields->nVertical);
  DDX_Text(pDX, ids.nOffsetX, pFields->nOffsetX);
  DDV_MinMaxInt(pDX, pFields->nOffsetX, -kMaxOffset, kMaxOffset);
  DDX_Text(pDX, ids.nOffsetY, pFields->nOffsetY);
  DDV_MinMaxInt(pDX, pFields->nOffsetY, -kMaxOffset, kMaxOffset);
}

int Flag(bool b) { return b ? 1 : 0; }

}  // namespace

CGIS_GridLabelsPage::CGIS_GridLabelsPage() : CGIS_MapGridPage(IDD_GIS_GRIDLABELS_PAGE) {
  for (const SideIds& ids : {kLeft, kTop, kRight, kBottom}) {
    MapEditFilter(this, ids.nOffsetX, &FilterSignedIntegerEdit);
    MapEditFilter(this, ids.nOffsetY, &FilterSignedIntegerEdit);
  }
  MapCommand(CBN_SELCHANGE, IDC_GIS_LB_KIND, [this] {
    if (!IsExchangingData()) OnKindChosen();
  });
  MapClicked(IDC_GIS_LB_PROPERTIES, [this] { OnLabelProperties(); });
  MapClicked(IDC_GIS_LB_TEXT_SYMBOL, [this] { OnLabelsPageTextsymbol(); });
}

void CGIS_GridLabelsPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  Exchange(pDX, kLeft, &m_left);
  Exchange(pDX, kTop, &m_top);
  Exchange(pDX, kRight, &m_right);
  Exchange(pDX, kBottom, &m_bottom);
}

bool CGIS_GridLabelsPage::FillKinds() {
  const LabelKinds* pKinds = KindsOf(m_pMapGrid);
  auto* pList = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_LB_KIND));
  if (pList != nullptr) pList->ResetContent();
  if (pKinds == nullptr) return false;
  if (pList == nullptr) return true;
  for (const char* szName : pKinds->names) pList->AddString(szName);
  IGIS_GridLabel* pLabel = m_pMapGrid->GetLabelFormat();
  // A label of a kind the list does not offer leaves it without a selection.
  pList->SetCurSel(pLabel != nullptr ? pLabel->GetType() - pKinds->nBase : -1);
  return true;
}

BOOL CGIS_GridLabelsPage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  if (!CheckGrid("CGIS_GridLabelsPage::OnInitDialog")) return FALSE;
  return FillKinds() ? TRUE : FALSE;
}

BOOL CGIS_GridLabelsPage::OnSetActive() {
  if (!CheckGrid("CGIS_GridLabelsPage::OnSetActive")) return FALSE;
  bool bLeft = false, bTop = false, bRight = false, bBottom = false;
  m_pMapGrid->GetLabelVisible(&bLeft, &bTop, &bRight, &bBottom);
  m_left.nShown = Flag(bLeft);
  m_top.nShown = Flag(bTop);
  m_right.nShown = Flag(bRight);
  m_bottom.nShown = Flag(bBottom);
  if (IGIS_GridLabel* pLabel = m_pMapGrid->GetLabelFormat()) {
    pLabel->GetLabelAlignment(&bLeft, &bRight, &bTop, &bBottom);
    m_left.nVertical = Flag(bLeft);
    m_right.nVertical = Flag(bRight);
    m_top.nVertical = Flag(bTop);
    m_bottom.nVertical = Flag(bBottom);
    pLabel->GetLabelOffsetX(&m_left.nOffsetX, &m_right.nOffsetX, &m_top.nOffsetX, &m_bottom.nOffsetX);
    pLabel->GetLabelOffsetY(&m_left.nOffsetY, &m_right.nOffsetY, &m_top.nOffsetY, &m_bottom.nOffsetY);
  }
  if (!FillKinds()) return FALSE;
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_GridLabelsPage::WriteGrid() {
  if (m_pMapGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  m_pMapGrid->SetLabelVisible(m_left.nShown == 1, m_top.nShown == 1, m_right.nShown == 1,
                              m_bottom.nShown == 1);
  if (IGIS_GridLabel* pLabel = m_pMapGrid->GetLabelFormat()) {
    pLabel->SetLabelAlignment(m_left.nVertical == 1, m_right.nVertical == 1, m_top.nVertical == 1,
                              m_bottom.nVertical == 1);
    pLabel->SetLabelOffsetX(m_left.nOffsetX, m_right.nOffsetX, m_top.nOffsetX, m_bottom.nOffsetX);
    pLabel->SetLabelOffsetY(m_left.nOffsetY, m_right.nOffsetY, m_top.nOffsetY, m_bottom.nOffsetY);
  }
  return true;
}

BOOL CGIS_GridLabelsPage::OnKillActive() { return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE; }

BOOL CGIS_GridLabelsPage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

void CGIS_GridLabelsPage::OnKindChosen() {
  // A refused field shows its prompt but does not stop the choice.
  UpdateData(TRUE);
  const LabelKinds* pKinds = KindsOf(m_pMapGrid);
  auto* pList = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_LB_KIND));
  if (pKinds == nullptr || pList == nullptr || pList->GetCurSel() < 0) return;
  // The graticules offer one kind only.
  if (pKinds->names.size() < 2) return;
  const int nType = pList->GetCurSel() + pKinds->nBase;
  IGIS_GridLabel* pCurrent = m_pMapGrid->GetLabelFormat();
  // Choosing the kind the label already is keeps the label and its settings.
  if (pCurrent != nullptr && pCurrent->GetType() == nType) return;
  md::basilo::ReleasePtr<IGIS_GridLabel> made(GIS_CreateMapGridLabelFormatObject(nType));
  if (made == nullptr) return;
  // A new tab style takes over the old one's settings and symbols; a
  // coordinate label starts from its class's defaults.
  auto* pNewTabs = dynamic_cast<IGIS_IndexGridTabStyle*>(made.get());
  auto* pOldTabs = dynamic_cast<IGIS_IndexGridTabStyle*>(pCurrent);
  if (pNewTabs != nullptr && pOldTabs != nullptr) pNewTabs->CopyFrom(pOldTabs);
  m_pMapGrid->SetLabelFormat(made.get());
}

void CGIS_GridLabelsPage::OnLabelProperties() {
  IGIS_GridLabel* pLabel = m_pMapGrid != nullptr ? m_pMapGrid->GetLabelFormat() : nullptr;
  if (pLabel != nullptr) pLabel->OnOpenPropertyDlg();
}

void CGIS_GridLabelsPage::OnLabelsPageTextsymbol() {
  IGIS_GridLabel* pLabel = m_pMapGrid != nullptr ? m_pMapGrid->GetLabelFormat() : nullptr;
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridLabelsPage::OnLabelsPageTextsymbol", "p_label == NULL");
    return;
  }
  md::layout::grid::ChooseSymbol(pLabel->GetTextSymbolPtr(), GIS_CHOOSE_TEXT, &g_nTextSymbolState,
                                 [pLabel](IGIS_Symbol* pText) { pLabel->SetTextSymbolPtr(pText); });
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridLabelsPage> g_class("CGIS_GridLabelsPage");
}  // namespace
