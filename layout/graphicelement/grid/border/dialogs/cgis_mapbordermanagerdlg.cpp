#include "layout/graphicelement/grid/border/dialogs/cgis_mapbordermanagerdlg.h"

#include <utility>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/border/dialogs/borderdialogs.h"

namespace border = md::layout::border;

namespace {
constexpr int kMaxInterval = 1000000;
}

CGIS_MapBorderManagerDlg::CGIS_MapBorderManagerDlg(CWnd* pParent)
    : CDialog(IDD_GIS_MAPBORDER_MANAGER, pParent) {
  MapClicked(IDC_GIS_BM_NONE, [this] { OnKind(0, "CGIS_MapBorderManagerDlg::OnMapborderNull"); });
  MapClicked(IDC_GIS_BM_SIMPLE, [this] { OnKind(1, "CGIS_MapBorderManagerDlg::OnMapborderSimple"); });
  MapClicked(IDC_GIS_BM_CALIBRATED, [this] { OnKind(2, "CGIS_MapBorderManagerDlg::OnMapborderCalibrated"); });
  MapClicked(IDC_GIS_BM_PATTERN, [this] { OnKind(3, "CGIS_MapBorderManagerDlg::OnMapborderPattern"); });
  MapClicked(IDC_GIS_BM_PROPERTY, [this] { OnProperty(); });
  MapClicked(IDC_GIS_BM_SAME, [this] { OnSameInterval(); });
  MapCommand(EN_UPDATE, IDC_GIS_BM_LEFT, [this] {
    FilterSignedIntegerEdit(&m_editLeft);
    if (m_nSameInterval != 0 && !IsExchangingData())
      border::CopyIntervalText(this, IDC_GIS_BM_LEFT, {IDC_GIS_BM_RIGHT, IDC_GIS_BM_TOP, IDC_GIS_BM_BOTTOM});
  });
  MapCommand(EN_KILLFOCUS, IDC_GIS_BM_LEFT, [this] { OnLeftKillFocus(); });
  MapCommand(EN_UPDATE, IDC_GIS_BM_RIGHT, [this] { FilterSignedIntegerEdit(&m_editRight); });
  MapCommand(EN_UPDATE, IDC_GIS_BM_TOP, [this] { FilterSignedIntegerEdit(&m_editTop); });
  MapCommand(EN_UPDATE, IDC_GIS_BM_BOTTOM, [this] { FilterSignedIntegerEdit(&m_editBottom); });
  MapCommand(EN_UPDATE, IDC_GIS_BM_WIDTH, [this] { FilterUnsignedIntegerEdit(&m_editWidth); });
}

void CGIS_MapBorderManagerDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_BM_LEFT, m_editLeft);
  DDX_Control(dx, IDC_GIS_BM_RIGHT, m_editRight);
  DDX_Control(dx, IDC_GIS_BM_TOP, m_editTop);
  DDX_Control(dx, IDC_GIS_BM_BOTTOM, m_editBottom);
  DDX_Control(dx, IDC_GIS_BM_WIDTH, m_editWidth);
  // The radio group runs in template order: none, simple, calibrated, pattern.
  DDX_Radio(dx, IDC_GIS_BM_NONE, m_nType);
  // The intervals and the width are checked only when a border takes them.
  const bool bChecked = m_pMapBorderManager != nullptr && m_nType != 0;
  for (auto [id, pValue] : {std::pair{IDC_GIS_BM_LEFT, &m_nLeft}, std::pair{IDC_GIS_BM_RIGHT, &m_nRight},
                            std::pair{IDC_GIS_BM_TOP, &m_nTop}, std::pair{IDC_GIS_BM_BOTTOM, &m_nBottom},
                            std::pair{IDC_GIS_BM_WIDTH, &m_nWidth}}) {
    DDX_Text(dx, id, *pValue);
    if (bChecked) DDV_MinMaxInt(dx, *pValue, 1, kMaxInterval);
  }
  DDX_Check(dx, IDC_GIS_BM_SAME, m_nSameInterval);
}

BOOL CGIS_MapBorderManagerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_pMapBorderManager != nullptr) {
    m_nType = m_pMapBorderManager->GetMapBorderType();
    IGIS_MapBorder* pBorder = m_pMapBorderManager->GetMapBorder();
    if (m_nType != 0 && pBorder != nullptr) {
      m_nLeft = pBorder->GetLeftOffset();
      m_nRight = pBorder->GetRightOffset();
      m_nTop = pBorder->GetTopOffset();
      m_nBottom = pBorder->GetBottomOffset();
      m_nWidth = pBorder->GetBorderWidth();
      m_nSameInterval = 0;
    }
  }
  UpdateData(FALSE);
  if (CWnd* pProperty = GetDlgItem(IDC_GIS_BM_PROPERTY)) pProperty->EnableWindow(m_nType != 0);
  return TRUE;
}

void CGIS_MapBorderManagerDlg::OnKind(int nType, const char* szHandler) {
  m_nType = nType;
  if (CWnd* pProperty = GetDlgItem(IDC_GIS_BM_PROPERTY)) pProperty->EnableWindow(nType != 0);
  if (m_pMapBorderManager == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szHandler, "m_pMapBorderManager == NULL");
    return;
  }
  m_pMapBorderManager->SetMapBorderType(nType);
}

void CGIS_MapBorderManagerDlg::OnProperty() {
  if (!UpdateData(TRUE)) return;
  if (m_pMapBorderManager == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapBorderManagerDlg::OnMapborderProperty",
            "m_pMapBorderManager == NULL");
    return;
  }
  if (m_nType != m_pMapBorderManager->GetMapBorderType()) return;
  IGIS_MapBorder* pBorder = m_pMapBorderManager->GetMapBorder();
  if (pBorder == nullptr) return;
  if (m_nType == 1) {
    border::ChooseSimpleBorderLine(pBorder, &m_nLineState);
  } else if (m_nType == 2) {
    if (border::RunCalibratedEditor(pBorder, &m_nWidth)) UpdateData(FALSE);
  } else if (m_nType == 3) {
    border::RunPatternEditor(pBorder);
  }
}

void CGIS_MapBorderManagerDlg::OnSameInterval() {
  border::OnSameIntervalBox(this, IDC_GIS_BM_SAME, IDC_GIS_BM_LEFT,
                            {IDC_GIS_BM_RIGHT, IDC_GIS_BM_TOP, IDC_GIS_BM_BOTTOM}, &m_nSameInterval);
}

void CGIS_MapBorderManagerDlg::OnLeftKillFocus() {
  if (m_nSameInterval == 0 || IsExchangingData()) return;
  border::CopyIntervalText(this, IDC_GIS_BM_LEFT, {IDC_GIS_BM_RIGHT, IDC_GIS_BM_TOP, IDC_GIS_BM_BOTTOM});
}

void CGIS_MapBorderManagerDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (m_pMapBorderManager != nullptr) {
    m_nType = m_pMapBorderManager->GetMapBorderType();
    IGIS_MapBorder* pBorder = m_pMapBorderManager->GetMapBorder();
    if (m_nType != 0 && pBorder != nullptr) {
      pBorder->SetLeftOffset(m_nLeft);
      pBorder->SetRightOffset(m_nRight);
      pBorder->SetTopOffset(m_nTop);
      pBorder->SetBottomOffset(m_nBottom);
      pBorder->SetBorderWidth(m_nWidth);
    }
  }
  EndDialog(IDOK);
}
