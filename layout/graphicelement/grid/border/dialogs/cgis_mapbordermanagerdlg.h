// The border-manager dialog: the kind of border a manager draws (none,
// simple, calibrated, pattern), its intervals and width, and the kind's own
// editor. Each kind keeps its settings while the user switches between them.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapbordermanager.h"
#include "platform/ui/cedit.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_MAPBORDER_MANAGER = 3011,
  IDC_GIS_BM_NONE = 3120,
  IDC_GIS_BM_SIMPLE = 3117,
  IDC_GIS_BM_CALIBRATED = 3118,
  IDC_GIS_BM_PATTERN = 3119,
  IDC_GIS_BM_PROPERTY = 3114,
  IDC_GIS_BM_LEFT = 1002,
  IDC_GIS_BM_RIGHT = 1003,
  IDC_GIS_BM_TOP = 1004,
  IDC_GIS_BM_BOTTOM = 1005,
  IDC_GIS_BM_SAME = 3076,
  IDC_GIS_BM_WIDTH = 1010,
};

class CGIS_MapBorderManagerDlg : public CDialog {
 public:
  explicit CGIS_MapBorderManagerDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

  IGIS_MapBorderManager* m_pMapBorderManager = nullptr;
  int m_nType = 0;
  int m_nLeft = 0, m_nRight = 0, m_nTop = 0, m_nBottom = 0;
  int m_nWidth = 0;
  int m_nSameInterval = 0;

 private:
  void OnKind(int nType, const char* szHandler);
  void OnProperty();
  void OnSameInterval();
  void OnLeftKillFocus();

  CEdit m_editLeft, m_editRight, m_editTop, m_editBottom, m_editWidth;
  int m_nLineState = 0;
};
