#include "layout/graphicelement/grid/label/dialogs/cgis_indextabpagebase.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"

namespace {
constexpr int kMinThickness = 1;
constexpr int kMaxThickness = 1000000;
}  // namespace

template <class TStyle>
int CGIS_IndexTabPageBase<TStyle>::s_nForegroundState = 0;
template <class TStyle>
int CGIS_IndexTabPageBase<TStyle>::s_nOutlineState = 0;

template <class TStyle>
CGIS_IndexTabPageBase<TStyle>::CGIS_IndexTabPageBase(UINT nTemplateId, int nInsideId, const char* szClass)
    : CPropertyPage(nTemplateId), m_nInsideId(nInsideId), m_class(szClass) {
  MapEditFilter(this, IDC_GIS_TAB_THICKNESS, &FilterUnsignedIntegerEdit);
  this->MapClicked(IDC_GIS_TAB_FILL, [this] { OnForeground(); });
  this->MapClicked(IDC_GIS_TAB_OUTLINE, [this] { OnOutline(); });
}

template <class TStyle>
void CGIS_IndexTabPageBase<TStyle>::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_TAB_THICKNESS, m_nThickness);
  DDV_MinMaxInt(pDX, m_nThickness, kMinThickness, kMaxThickness);
  DDX_Check(pDX, m_nInsideId, m_nInside);
}

template <class TStyle>
BOOL CGIS_IndexTabPageBase<TStyle>::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  return m_pIndexGridTabStyle != nullptr ? TRUE : FALSE;
}

template <class TStyle>
BOOL CGIS_IndexTabPageBase<TStyle>::OnSetActive() {
  if (m_pIndexGridTabStyle == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, (m_class + "::OnSetActive").c_str(), "m_pIndexGridTabStyle == NULL");
    return FALSE;
  }
  m_nInside = m_pIndexGridTabStyle->GetInside() ? 1 : 0;
  m_nThickness = m_pIndexGridTabStyle->GetThickness();
  ReadOwn();
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

template <class TStyle>
bool CGIS_IndexTabPageBase<TStyle>::WriteStyle() {
  if (m_pIndexGridTabStyle == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  m_pIndexGridTabStyle->SetInside(m_nInside == 1);
  m_pIndexGridTabStyle->SetThickness(m_nThickness);
  WriteOwn();
  return true;
}

template <class TStyle>
BOOL CGIS_IndexTabPageBase<TStyle>::OnKillActive() {
  return WriteStyle() ? CPropertyPage::OnKillActive() : FALSE;
}

template <class TStyle>
BOOL CGIS_IndexTabPageBase<TStyle>::OnApply() {
  return WriteStyle() ? CPropertyPage::OnApply() : FALSE;
}

template <class TStyle>
void CGIS_IndexTabPageBase<TStyle>::OnForeground() {
  TStyle* pStyle = m_pIndexGridTabStyle;
  if (pStyle == nullptr) return;
  md::layout::grid::ChooseSymbol(pStyle->GetForegroundSymbolPtr(), GIS_CHOOSE_FLAGGED_FILL,
                                 &s_nForegroundState,
                                 [pStyle](IGIS_Symbol* pFill) { pStyle->SetForegroundSymbolPtr(pFill); });
}

template <class TStyle>
void CGIS_IndexTabPageBase<TStyle>::OnOutline() {
  TStyle* pStyle = m_pIndexGridTabStyle;
  if (pStyle == nullptr) return;
  md::layout::grid::ChooseSymbol(pStyle->GetOutLineSymbolPtr(), GIS_CHOOSE_FLAGGED_LINE, &s_nOutlineState,
                                 [pStyle](IGIS_Symbol* pLine) { pStyle->SetOutLineSymbolPtr(pLine); });
}

template class CGIS_IndexTabPageBase<IGIS_IndexGridTabStyle>;
template class CGIS_IndexTabPageBase<IGIS_IndexBackGroundTabStyle>;
