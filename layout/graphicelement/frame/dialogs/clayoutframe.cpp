// The frame page.
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/frame/dialogs/cgis_frameselectordlg.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "platform/ui/app.h"

namespace {

constexpr int kLimit = 1000000;

// The X/Y edits with their spins, in the order their spins are set up.
struct SpinPair {
  int edit;
  int spin;
};
constexpr SpinPair kSpinPairs[] = {
    {IDC_FRAME_BORDER_Y, IDC_FRAME_BORDER_Y_SPIN}, {IDC_FRAME_BORDER_X, IDC_FRAME_BORDER_X_SPIN},
    {IDC_FRAME_SHADOW_Y, IDC_FRAME_SHADOW_Y_SPIN}, {IDC_FRAME_SHADOW_X, IDC_FRAME_SHADOW_X_SPIN},
    {IDC_FRAME_BACK_Y, IDC_FRAME_BACK_Y_SPIN},     {IDC_FRAME_BACK_X, IDC_FRAME_BACK_X_SPIN},
};

// The border and background X/Y edits and spins (off in the advanced mode).
constexpr int kPlainControls[] = {IDC_FRAME_BORDER_X,      IDC_FRAME_BORDER_X_SPIN, IDC_FRAME_BORDER_Y,
                                  IDC_FRAME_BORDER_Y_SPIN, IDC_FRAME_BACK_X,        IDC_FRAME_BACK_X_SPIN,
                                  IDC_FRAME_BACK_Y,        IDC_FRAME_BACK_Y_SPIN};
// The per-side gap edits (on in the advanced mode).
constexpr int kSideEdits[] = {IDC_FRAME_BORDER_LEFT,   IDC_FRAME_BORDER_TOP, IDC_FRAME_BORDER_RIGHT,
                              IDC_FRAME_BORDER_BOTTOM, IDC_FRAME_BACK_LEFT,  IDC_FRAME_BACK_TOP,
                              IDC_FRAME_BACK_RIGHT,    IDC_FRAME_BACK_BOTTOM};
constexpr int kSideChecks[] = {IDC_FRAME_LEFT_VISIBLE, IDC_FRAME_TOP_VISIBLE, IDC_FRAME_RIGHT_VISIBLE,
                               IDC_FRAME_BOTTOM_VISIBLE};
// Every number edit of the page.
constexpr int kNumberEdits[] = {IDC_FRAME_BORDER_X,      IDC_FRAME_BORDER_Y,   IDC_FRAME_BACK_X,
                                IDC_FRAME_BACK_Y,        IDC_FRAME_SHADOW_X,   IDC_FRAME_SHADOW_Y,
                                IDC_FRAME_BORDER_LEFT,   IDC_FRAME_BORDER_TOP, IDC_FRAME_BORDER_RIGHT,
                                IDC_FRAME_BORDER_BOTTOM, IDC_FRAME_BACK_LEFT,  IDC_FRAME_BACK_TOP,
                                IDC_FRAME_BACK_RIGHT,    IDC_FRAME_BACK_BOTTOM};
constexpr int kStyleButtons[] = {IDC_FRAME_BORDER_STYLE, IDC_FRAME_BACK_STYLE, IDC_FRAME_SHADOW_STYLE};

void Number(CDataExchange* pDX, int id, int& value) {
  DDX_Text(pDX, id, value);
  DDV_MinMaxInt(pDX, value, -kLimit, kLimit);
}

}  // namespace

CLayoutFrame::CLayoutFrame(IGIS_Element* pElement, IGIS_Display* pContext)
    : CPropertyPage(IDD_LAYOUT_FRAME), m_pElement(pElement), m_pContext(pContext) {
  MapClicked(IDC_FRAME_BORDER_STYLE, [this] { OnStyle(GIS_FRAME_LIBRARY_BORDER); });
  MapClicked(IDC_FRAME_BACK_STYLE, [this] { OnStyle(GIS_FRAME_LIBRARY_BACKGROUND); });
  MapClicked(IDC_FRAME_SHADOW_STYLE, [this] { OnStyle(GIS_FRAME_LIBRARY_SHADOW); });
  MapClicked(IDC_FRAME_ADVANCED, [this] { OnAdvanced(); });
  MapClicked(IDC_FRAME_DRAFT, [this] { Toggle(m_nDraftMode); });
  MapClicked(IDC_FRAME_LEFT_VISIBLE, [this] { Toggle(m_nLeftVisible); });
  MapClicked(IDC_FRAME_TOP_VISIBLE, [this] { Toggle(m_nTopVisible); });
  MapClicked(IDC_FRAME_RIGHT_VISIBLE, [this] { Toggle(m_nRightVisible); });
  MapClicked(IDC_FRAME_BOTTOM_VISIBLE, [this] { Toggle(m_nBottomVisible); });
  for (int id : kNumberEdits) {
    MapCommand(EN_CHANGE, id, [this] {
      if (!IsExchangingData()) SetModified(TRUE);
    });
    MapEditFilter(this, id, &FilterSignedIntegerEdit);
  }
}

void CLayoutFrame::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  Number(pDX, IDC_FRAME_BACK_Y, m_nBackY);
  Number(pDX, IDC_FRAME_BACK_X, m_nBackX);
  Number(pDX, IDC_FRAME_SHADOW_X, m_nShadowX);
  Number(pDX, IDC_FRAME_SHADOW_Y, m_nShadowY);
  Number(pDX, IDC_FRAME_BORDER_X, m_nBorderX);
  Number(pDX, IDC_FRAME_BORDER_Y, m_nBorderY);
  DDX_Check(pDX, IDC_FRAME_DRAFT, m_nDraftMode);
  DDX_Check(pDX, IDC_FRAME_ADVANCED, m_nAdvanced);
  DDX_Check(pDX, IDC_FRAME_BOTTOM_VISIBLE, m_nBottomVisible);
  DDX_Check(pDX, IDC_FRAME_LEFT_VISIBLE, m_nLeftVisible);
  DDX_Check(pDX, IDC_FRAME_RIGHT_VISIBLE, m_nRightVisible);
  DDX_Check(pDX, IDC_FRAME_TOP_VISIBLE, m_nTopVisible);
  Number(pDX, IDC_FRAME_BACK_BOTTOM, m_nBackBottom);
  Number(pDX, IDC_FRAME_BORDER_BOTTOM, m_nBorderBottom);
  Number(pDX, IDC_FRAME_BACK_LEFT, m_nBackLeft);
  Number(pDX, IDC_FRAME_BACK_RIGHT, m_nBackRight);
  Number(pDX, IDC_FRAME_BACK_TOP, m_nBackTop);
  Number(pDX, IDC_FRAME_BORDER_RIGHT, m_nBorderRight);
  Number(pDX, IDC_FRAME_BORDER_LEFT, m_nBorderLeft);
  Number(pDX, IDC_FRAME_BORDER_TOP, m_nBorderTop);
}

BOOL CLayoutFrame::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  for (const SpinPair& p : kSpinPairs) {
    InitSpinButton(static_cast<CEdit*>(GetDlgItem(p.edit)), static_cast<CSpinButtonCtrl*>(GetDlgItem(p.spin)),
                   -kLimit, kLimit, 0);
  }
  return TRUE;
}

void CLayoutFrame::EnableForMode(bool bSideChecks) {
  const BOOL bAdvanced = m_nAdvanced == 1 ? TRUE : FALSE;
  for (int id : kSideEdits) {
    if (CWnd* p = GetDlgItem(id)) p->EnableWindow(bAdvanced);
  }
  for (int id : kPlainControls) {
    if (CWnd* p = GetDlgItem(id)) p->EnableWindow(!bAdvanced);
  }
  if (!bSideChecks) return;
  for (int id : kSideChecks) {
    if (CWnd* p = GetDlgItem(id)) p->EnableWindow(bAdvanced);
  }
}

BOOL CLayoutFrame::OnSetActive() {
  for (int id : kStyleButtons) {
    if (CWnd* p = GetDlgItem(id)) p->EnableWindow(TRUE);
  }
  if (m_pFrame != nullptr) {
    m_pBorderSymbol = m_pFrame->GetBorderSymbol2Ptr();
    m_pBackSymbol = m_pFrame->GetBackSymbol2Ptr();
    m_pShadowSymbol = m_pFrame->GetShadowSymbol2Ptr();
    // A frame drawn in the first symbol form has no symbols to pick here.
    if (m_pBorderSymbol == nullptr && m_pBackSymbol == nullptr) {
      for (int id : kStyleButtons) {
        if (CWnd* p = GetDlgItem(id)) p->EnableWindow(FALSE);
      }
    }
    m_nBorderX = m_pFrame->GetBorderX();
    m_nBorderY = m_pFrame->GetBorderY();
    m_nBackX = m_pFrame->GetBackX();
    m_nBackY = m_pFrame->GetBackY();
    m_nShadowX = m_pFrame->GetShadowOffSetX();
    m_nShadowY = m_pFrame->GetShadowOffSetY();
    m_nDraftMode = m_pFrame->GetDraftMode() ? 1 : 0;
    bool l = false, r = false, t = false, b = false;
    m_pFrame->GetBorderVisible(&l, &r, &t, &b);
    m_nLeftVisible = l ? 1 : 0;
    m_nRightVisible = r ? 1 : 0;
    m_nTopVisible = t ? 1 : 0;
    m_nBottomVisible = b ? 1 : 0;
    m_pFrame->GetBorderGaps(&m_nBorderLeft, &m_nBorderRight, &m_nBorderTop, &m_nBorderBottom);
    m_pFrame->GetBackGaps(&m_nBackLeft, &m_nBackRight, &m_nBackTop, &m_nBackBottom);
  }
  EnableForMode(false);
  if (m_nAdvanced == 0) {
    for (int id : kSideChecks) {
      if (CWnd* p = GetDlgItem(id)) p->EnableWindow(FALSE);
    }
  }
  UpdateData(FALSE);
  SetModified(FALSE);
  return TRUE;
}

void CLayoutFrame::WriteFrame(bool bBackFirst) {
  if (m_pFrame == nullptr) return;
  if (bBackFirst) {
    m_pFrame->SetBackX(m_nBackX);
    m_pFrame->SetBackY(m_nBackY);
  }
  m_pFrame->SetBorderX(m_nBorderX);
  m_pFrame->SetBorderY(m_nBorderY);
  if (!bBackFirst) {
    m_pFrame->SetBackX(m_nBackX);
    m_pFrame->SetBackY(m_nBackY);
  }
  m_pFrame->SetShadowOffSetX(m_nShadowX);
  m_pFrame->SetShadowOffSetY(m_nShadowY);
  m_pFrame->SetDraftMode(m_nDraftMode == 1);
  m_pFrame->SetBorderVisible(m_nLeftVisible == 1, m_nRightVisible == 1, m_nTopVisible == 1,
                             m_nBottomVisible == 1);
  // The per-side gaps come after X and Y (which set the sides too) and win.
  if (m_nAdvanced == 1) {
    m_pFrame->SetBorderGaps(m_nBorderLeft, m_nBorderRight, m_nBorderTop, m_nBorderBottom);
    m_pFrame->SetBackGaps(m_nBackLeft, m_nBackRight, m_nBackTop, m_nBackBottom);
  }
}

BOOL CLayoutFrame::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteFrame(false);
  return TRUE;
}

BOOL CLayoutFrame::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pFrame == nullptr) return TRUE;
  WriteFrame(true);
  return CPropertyPage::OnApply();
}

void CLayoutFrame::Toggle(int& nField) {
  if (IsExchangingData()) return;
  nField = 1 - nField;
  SetModified(TRUE);
}

void CLayoutFrame::OnAdvanced() {
  if (IsExchangingData()) return;
  if (!UpdateData(TRUE)) {
    m_nAdvanced = 1;
    UpdateData(FALSE);
    return;
  }
  SetModified(TRUE);
  EnableForMode(true);
}

void CLayoutFrame::OnStyle(int nMode) {
  if (m_pFrame == nullptr) return;
  IGIS_SymbolV2* pCurrent = nullptr;
  int nKind = GIS_FRAME_KIND_FILL;
  switch (nMode) {
    case GIS_FRAME_LIBRARY_BORDER:
      pCurrent = m_pBorderSymbol = m_pFrame->GetBorderSymbol2Ptr();
      nKind = GIS_FRAME_KIND_LINE;
      break;
    case GIS_FRAME_LIBRARY_BACKGROUND:
      pCurrent = m_pBackSymbol = m_pFrame->GetBackSymbol2Ptr();
      break;
    default:
      pCurrent = m_pShadowSymbol = m_pFrame->GetShadowSymbol2Ptr();
      break;
  }
  CGIS_FrameSelectorDlg selector(nullptr);
  selector.SetSymbolPtr(pCurrent);
  selector.m_nKind = nKind;
  selector.m_nMode = nMode;
  if (selector.DoModal() != IDOK) return;
  IGIS_SymbolV2* pChosen = selector.GetSymbolPtr();
  switch (nMode) {
    case GIS_FRAME_LIBRARY_BORDER:
      m_pFrame->SetBorderSymbol2Ptr(pChosen != nullptr ? pChosen->AsLineSymbol() : nullptr);
      break;
    case GIS_FRAME_LIBRARY_BACKGROUND:
      m_pFrame->SetBackSymbol2Ptr(pChosen != nullptr ? pChosen->AsFillSymbol() : nullptr);
      break;
    default:
      m_pFrame->SetShadowSymbol2Ptr(pChosen != nullptr ? pChosen->AsFillSymbol() : nullptr);
      break;
  }
  SetModified(TRUE);
}

namespace {
const md::ui::WindowClassRegistration<CLayoutFrame> g_layoutFrameClass("CLayoutFrame");
}  // namespace
