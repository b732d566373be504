#include "layout/graphicelement/grid/border/dialogs/cgis_newmapborderdlg.h"

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/border/dialogs/borderdialogs.h"

namespace border = md::layout::border;

CGIS_NewMapBorderDlg::CGIS_NewMapBorderDlg(CWnd* pParent) : CDialog(IDD_GIS_NEWMAPBORDER, pParent) {
  MapClicked(IDC_GIS_NB_SIMPLE, [this] { m_nKind = 0; });
  MapClicked(IDC_GIS_NB_CALIBRATED, [this] { m_nKind = 1; });
  MapClicked(IDC_GIS_NB_PATTERN, [this] { m_nKind = 2; });
  MapClicked(IDC_GIS_NB_SAME, [this] { OnSameInterval(); });
  MapClicked(IDC_GIS_NB_PROPERTY, [this] { OnProperty(); });
  MapCommand(EN_UPDATE, IDC_GIS_NB_WIDTH, [this] { FilterUnsignedIntegerEdit(&m_editWidth); });
  MapCommand(EN_UPDATE, IDC_GIS_NB_LEFT, [this] {
    FilterSignedIntegerEdit(&m_editLeft);
    if (m_nSameInterval != 0 && !IsExchangingData())
      border::CopyIntervalText(this, IDC_GIS_NB_LEFT, {IDC_GIS_NB_RIGHT, IDC_GIS_NB_TOP, IDC_GIS_NB_BOTTOM});
  });
  MapCommand(EN_UPDATE, IDC_GIS_NB_RIGHT, [this] { FilterSignedIntegerEdit(&m_editRight); });
  MapCommand(EN_UPDATE, IDC_GIS_NB_TOP, [this] { FilterSignedIntegerEdit(&m_editTop); });
  MapCommand(EN_UPDATE, IDC_GIS_NB_BOTTOM, [this] { FilterSignedIntegerEdit(&m_editBottom); });
}

void CGIS_NewMapBorderDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_NB_WIDTH, m_editWidth);
  DDX_Control(dx, IDC_GIS_NB_BOTTOM, m_editBottom);
  DDX_Control(dx, IDC_GIS_NB_TOP, m_editTop);
  DDX_Control(dx, IDC_GIS_NB_RIGHT, m_editRight);
  DDX_Control(dx, IDC_GIS_NB_LEFT, m_editLeft);
  DDX_Check(dx, IDC_GIS_NB_SAME, m_nSameInterval);
  DDX_Text(dx, IDC_GIS_NB_WIDTH, m_nWidth);
  DDV_MinMaxInt(dx, m_nWidth, 1, 1000000000);
  DDX_Text(dx, IDC_GIS_NB_BOTTOM, m_nBottom);
  DDX_Text(dx, IDC_GIS_NB_LEFT, m_nLeft);
  DDX_Text(dx, IDC_GIS_NB_RIGHT, m_nRight);
  DDX_Text(dx, IDC_GIS_NB_TOP, m_nTop);
  DDX_Radio(dx, IDC_GIS_NB_SIMPLE, m_nKind);
}

BOOL CGIS_NewMapBorderDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  IGIS_MapBorderFactory* pFactory = GIS_GetMapBorderFactoryObject();
  if (pFactory == nullptr) return FALSE;
  if (m_pPattern == nullptr) m_pPattern.reset(pFactory->CreateMapBorder(3));
  if (m_pCalibrated == nullptr) m_pCalibrated.reset(pFactory->CreateMapBorder(2));
  if (m_pSimple == nullptr) m_pSimple.reset(pFactory->CreateMapBorder(1));
  return TRUE;
}

IGIS_MapBorder* CGIS_NewMapBorderDlg::GetWorkingBorder(int nKind) const {
  switch (nKind) {
    case 0:
      return m_pSimple.get();
    case 1:
      return m_pCalibrated.get();
    case 2:
      return m_pPattern.get();
    default:
      return nullptr;
  }
}

void CGIS_NewMapBorderDlg::OnSameInterval() {
  border::OnSameIntervalBox(this, IDC_GIS_NB_SAME, IDC_GIS_NB_LEFT,
                            {IDC_GIS_NB_RIGHT, IDC_GIS_NB_TOP, IDC_GIS_NB_BOTTOM}, &m_nSameInterval);
}

void CGIS_NewMapBorderDlg::OnProperty() {
  IGIS_MapBorder* pBorder = GetWorkingBorder(m_nKind);
  if (pBorder == nullptr) return;
  if (m_nKind == 0) {
    border::ChooseSimpleBorderLine(pBorder, &m_nLineState);
  } else if (m_nKind == 1) {
    // The band's width starts from the width field as typed.
    if (UpdateData(TRUE) && border::RunCalibratedEditor(pBorder, &m_nWidth)) UpdateData(FALSE);
  } else if (m_nKind == 2) {
    border::RunPatternEditor(pBorder);
  }
}

void CGIS_NewMapBorderDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  IGIS_MapBorder* pBorder = GetWorkingBorder(m_nKind);
  m_pResult.reset(pBorder != nullptr ? pBorder->Clone() : nullptr);
  ReleaseWorkingBorders();
  EndDialog(IDOK);
}

void CGIS_NewMapBorderDlg::OnCancel() {
  ReleaseWorkingBorders();
  CDialog::OnCancel();
}

void CGIS_NewMapBorderDlg::ReleaseWorkingBorders() {
  m_pPattern.reset();
  m_pCalibrated.reset();
  m_pSimple.reset();
}
