#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderpatterndlg.h"

#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"

namespace {

const char* CornerHandler(int n) {
  static const char* const kNames[] = {
      "CGIS_MapBorderPatternDlg::OnLefttopProperty", "CGIS_MapBorderPatternDlg::OnLeftbottomProperty",
      "CGIS_MapBorderPatternDlg::OnRighttopProperty", "CGIS_MapBorderPatternDlg::OnRightbottomProperty"};
  return kNames[n];
}

const char* SideHandler(int n) {
  static const char* const kNames[] = {
      "CGIS_MapBorderPatternDlg::OnLeftProperty", "CGIS_MapBorderPatternDlg::OnRightProperty",
      "CGIS_MapBorderPatternDlg::OnTopProperty", "CGIS_MapBorderPatternDlg::OnBottomProperty"};
  return kNames[n];
}

// The chooser state of each symbol button, kept for the life of the process.
int g_cornerState[4] = {0, 0, 0, 0};
int g_sideState[4] = {0, 0, 0, 0};

}  // namespace

CGIS_MapBorderPatternDlg::CGIS_MapBorderPatternDlg(CWnd* pParent)
    : CDialog(IDD_GIS_MAPBORDER_PATTERN, pParent) {
  MapClicked(IDC_GIS_PB_LEFTTOP, [this] { OnCorner(Corner::LeftTop); });
  MapClicked(IDC_GIS_PB_LEFTBOTTOM, [this] { OnCorner(Corner::LeftBottom); });
  MapClicked(IDC_GIS_PB_RIGHTTOP, [this] { OnCorner(Corner::RightTop); });
  MapClicked(IDC_GIS_PB_RIGHTBOTTOM, [this] { OnCorner(Corner::RightBottom); });
  MapClicked(IDC_GIS_PB_LEFT, [this] { OnSide(Side::Left); });
  MapClicked(IDC_GIS_PB_RIGHT, [this] { OnSide(Side::Right); });
  MapClicked(IDC_GIS_PB_TOP, [this] { OnSide(Side::Top); });
  MapClicked(IDC_GIS_PB_BOTTOM, [this] { OnSide(Side::Bottom); });
  MapClicked(IDC_GIS_PB_SAME_CORNER, [this] { OnCheckCornerSymbol(); });
  MapClicked(IDC_GIS_PB_SAME_SIDE, [this] { OnCheckSideSymbol(); });
  MapClicked(IDC_GIS_PB_SAME_SCALE, [this] { OnCheckSymbolScale(); });
  MapCommand(EN_UPDATE, IDC_GIS_PB_LEFT_SCALE, [this] {
    FilterUnsignedDecimalEdit(&m_editLeft);
    if (m_nSameScale != 0 && !IsExchangingData()) {
      const std::string text = m_editLeft.GetWindowText();
      for (CEdit* pEdit : {&m_editRight, &m_editTop, &m_editBottom}) pEdit->SetWindowText(text.c_str());
    }
  });
  MapCommand(EN_UPDATE, IDC_GIS_PB_RIGHT_SCALE, [this] { FilterUnsignedDecimalEdit(&m_editRight); });
  MapCommand(EN_UPDATE, IDC_GIS_PB_TOP_SCALE, [this] { FilterUnsignedDecimalEdit(&m_editTop); });
  MapCommand(EN_UPDATE, IDC_GIS_PB_BOTTOM_SCALE, [this] { FilterUnsignedDecimalEdit(&m_editBottom); });
}

void CGIS_MapBorderPatternDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  const int kButtons[8] = {IDC_GIS_PB_LEFTTOP,     IDC_GIS_PB_LEFTBOTTOM, IDC_GIS_PB_RIGHTTOP,
                           IDC_GIS_PB_RIGHTBOTTOM, IDC_GIS_PB_LEFT,       IDC_GIS_PB_RIGHT,
                           IDC_GIS_PB_TOP,         IDC_GIS_PB_BOTTOM};
  for (int i = 0; i < 8; ++i) DDX_Control(dx, kButtons[i], m_buttons[i]);
  DDX_Control(dx, IDC_GIS_PB_LEFT_SCALE, m_editLeft);
  DDX_Control(dx, IDC_GIS_PB_RIGHT_SCALE, m_editRight);
  DDX_Control(dx, IDC_GIS_PB_TOP_SCALE, m_editTop);
  DDX_Control(dx, IDC_GIS_PB_BOTTOM_SCALE, m_editBottom);
  // One maximum for the four sides: a side's scale has no reason to differ.
  DDX_Text(dx, IDC_GIS_PB_LEFT_SCALE, m_dLeftScale);
  DDV_MinMaxDouble(dx, m_dLeftScale, 0.0, kMaxScale);
  DDX_Text(dx, IDC_GIS_PB_RIGHT_SCALE, m_dRightScale);
  DDV_MinMaxDouble(dx, m_dRightScale, 0.0, kMaxScale);
  DDX_Text(dx, IDC_GIS_PB_TOP_SCALE, m_dTopScale);
  DDV_MinMaxDouble(dx, m_dTopScale, 0.0, kMaxScale);
  DDX_Text(dx, IDC_GIS_PB_BOTTOM_SCALE, m_dBottomScale);
  DDV_MinMaxDouble(dx, m_dBottomScale, 0.0, kMaxScale);
  DDX_Check(dx, IDC_GIS_PB_SAME_SCALE, m_nSameScale);
  DDX_Check(dx, IDC_GIS_PB_SAME_CORNER, m_nSameCorner);
  DDX_Check(dx, IDC_GIS_PB_SAME_SIDE, m_nSameSide);
}

BOOL CGIS_MapBorderPatternDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_pMapBorderPattern != nullptr) {
    m_dBottomScale = m_pMapBorderPattern->GetBottomScale();
    m_dTopScale = m_pMapBorderPattern->GetTopScale();
    m_dLeftScale = m_pMapBorderPattern->GetLeftScale();
    m_dRightScale = m_pMapBorderPattern->GetRightScale();
  }
  UpdateData(FALSE);
  return TRUE;
}

bool CGIS_MapBorderPatternDlg::RequireBorder(const char* szHandler) {
  if (m_pMapBorderPattern != nullptr) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szHandler, "m_pMapBorderPattern == NULL");
  return false;
}

void CGIS_MapBorderPatternDlg::SetCorner(Corner corner, IGIS_Symbol* pSymbol) {
  switch (corner) {
    case Corner::LeftTop:
      m_pMapBorderPattern->SetLeftTopSymbolPtr(pSymbol);
      break;
    case Corner::LeftBottom:
      m_pMapBorderPattern->SetLeftBottomSymbolPtr(pSymbol);
      break;
    case Corner::RightTop:
      m_pMapBorderPattern->SetRightTopSymbolPtr(pSymbol);
      break;
    case Corner::RightBottom:
      m_pMapBorderPattern->SetRightBottomSymbolPtr(pSymbol);
      break;
  }
}

void CGIS_MapBorderPatternDlg::SetSide(Side side, IGIS_Symbol* pSymbol) {
  switch (side) {
    case Side::Left:
      m_pMapBorderPattern->SetLeftSymbolPtr(pSymbol);
      break;
    case Side::Right:
      m_pMapBorderPattern->SetRightSymbolPtr(pSymbol);
      break;
    case Side::Top:
      m_pMapBorderPattern->SetTopSymbolPtr(pSymbol);
      break;
    case Side::Bottom:
      m_pMapBorderPattern->SetBottomSymbolPtr(pSymbol);
      break;
  }
}

void CGIS_MapBorderPatternDlg::OnCorner(Corner corner) {
  const int n = static_cast<int>(corner);
  const char* szHandler = CornerHandler(n);
  if (!RequireBorder(szHandler)) return;
  IGIS_Symbol* const kCurrent[4] = {
      m_pMapBorderPattern->GetLeftTopSymbolPtr(), m_pMapBorderPattern->GetLeftBottomSymbolPtr(),
      m_pMapBorderPattern->GetRightTopSymbolPtr(), m_pMapBorderPattern->GetRightBottomSymbolPtr()};
  if (kCurrent[n] == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szHandler, "p_symbol == NULL");
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pChooser == nullptr || !pChooser->Run(kCurrent[n], GIS_CHOOSE_FILL, &g_cornerState[n], 0, 0)) return;
  md::basilo::ReleasePtr<IGIS_Symbol> chosen(pChooser->GetResult());
  if (chosen == nullptr) return;
  IGIS_Symbol* pFill = chosen->GetFillPart();
  SetCorner(corner, pFill);
  if (corner == Corner::LeftTop && m_nSameCorner != 0) {
    SetCorner(Corner::RightBottom, pFill);
    SetCorner(Corner::RightTop, pFill);
    SetCorner(Corner::LeftBottom, pFill);
  }
}

void CGIS_MapBorderPatternDlg::OnSide(Side side) {
  const int n = static_cast<int>(side);
  const char* szHandler = SideHandler(n);
  if (!RequireBorder(szHandler)) return;
  if ((side == Side::Left || side == Side::Bottom) && GIS_GetSymbolFactoryObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szHandler, "p_symbol_factory == NULL");
    return;
  }
  IGIS_Symbol* const kCurrent[4] = {
      m_pMapBorderPattern->GetLeftSymbolPtr(), m_pMapBorderPattern->GetRightSymbolPtr(),
      m_pMapBorderPattern->GetTopSymbolPtr(), m_pMapBorderPattern->GetBottomSymbolPtr()};
  if (kCurrent[n] == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szHandler, "p_symbol == NULL");
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pChooser != nullptr && pChooser->Run(kCurrent[n], GIS_CHOOSE_FILL, &g_sideState[n], 0, 0)) {
    md::basilo::ReleasePtr<IGIS_Symbol> chosen(pChooser->GetResult());
    if (chosen == nullptr) return;
    IGIS_Symbol* pFill = chosen->GetFillPart();
    SetSide(side, pFill);
    if (side == Side::Left && m_nSameSide != 0) {
      SetSide(Side::Right, pFill);
      SetSide(Side::Top, pFill);
      SetSide(Side::Bottom, pFill);
      m_dRightScale = m_dTopScale = m_dBottomScale = m_dLeftScale;
    }
  }
  UpdateData(FALSE);
}

void CGIS_MapBorderPatternDlg::OnCheckCornerSymbol() {
  m_nSameCorner = m_nSameCorner != 0 ? 0 : 1;
  for (int i : {2, 3, 1}) m_buttons[i].EnableWindow(m_nSameCorner == 0);
  if (m_nSameCorner == 0) return;
  if (!RequireBorder("CGIS_MapBorderPatternDlg::OnCheckCornerSymbol")) return;
  IGIS_Symbol* pSymbol = m_pMapBorderPattern->GetLeftTopSymbolPtr();
  if (pSymbol == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapBorderPatternDlg::OnCheckCornerSymbol", "p_symbol == NULL");
  SetCorner(Corner::RightBottom, pSymbol);
  SetCorner(Corner::RightTop, pSymbol);
  SetCorner(Corner::LeftBottom, pSymbol);
}

void CGIS_MapBorderPatternDlg::OnCheckSideSymbol() {
  m_nSameSide = m_nSameSide != 0 ? 0 : 1;
  for (int i : {6, 5, 7}) m_buttons[i].EnableWindow(m_nSameSide == 0);
  if (m_nSameSide == 0) return;
  if (!RequireBorder("CGIS_MapBorderPatternDlg::OnCheckSideSymbol")) return;
  IGIS_Symbol* pSymbol = m_pMapBorderPattern->GetLeftSymbolPtr();
  if (pSymbol == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapBorderPatternDlg::OnCheckSideSymbol", "p_symbol == NULL");
  SetSide(Side::Right, pSymbol);
  SetSide(Side::Top, pSymbol);
  SetSide(Side::Bottom, pSymbol);
}

void CGIS_MapBorderPatternDlg::OnCheckSymbolScale() {
  m_nSameScale = IsDlgButtonChecked(IDC_GIS_PB_SAME_SCALE) == BST_CHECKED ? 1 : 0;
  if (m_nSameScale != 0) {
    if (!UpdateData(TRUE)) return;
    for (CEdit* pEdit : {&m_editBottom, &m_editTop, &m_editRight}) pEdit->EnableWindow(FALSE);
    if (RequireBorder("CGIS_MapBorderPatternDlg::OnCheckSymbolScale")) {
      m_pMapBorderPattern->SetBottomScale(m_dBottomScale);
      m_pMapBorderPattern->SetTopScale(m_dTopScale);
      m_pMapBorderPattern->SetLeftScale(m_dLeftScale);
      m_pMapBorderPattern->SetRightScale(m_dRightScale);
    }
    m_dBottomScale = m_dTopScale = m_dRightScale = m_dLeftScale;
    UpdateData(FALSE);
  } else {
    for (CEdit* pEdit : {&m_editBottom, &m_editTop, &m_editRight}) pEdit->EnableWindow(TRUE);
  }
  m_editLeft.EnableWindow(TRUE);
}

void CGIS_MapBorderPatternDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (!RequireBorder("CGIS_MapBorderPatternDlg::OnOK")) {
    EndDialog(IDCANCEL);
    return;
  }
  const bool bSame = m_nSameScale != 0;
  m_pMapBorderPattern->SetLeftScale(m_dLeftScale);
  m_pMapBorderPattern->SetRightScale(bSame ? m_dLeftScale : m_dRightScale);
  m_pMapBorderPattern->SetTopScale(bSame ? m_dLeftScale : m_dTopScale);
  m_pMapBorderPattern->SetBottomScale(bSame ? m_dLeftScale : m_dBottomScale);
  EndDialog(IDOK);
}
