// The new-border dialog: the kind of a new border (simple, calibrated,
// pattern), its width and four intervals, and the kind's own editor. On OK
// the opener takes a clone of the working border of the chosen kind, the
// intervals and the width.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "platform/ui/cedit.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_NEWMAPBORDER = 3015,
  IDC_GIS_NB_SIMPLE = 3133,
  IDC_GIS_NB_CALIBRATED = 3134,
  IDC_GIS_NB_PATTERN = 3135,
  IDC_GIS_NB_WIDTH = 3136,
  IDC_GIS_NB_LEFT = 3137,
  IDC_GIS_NB_RIGHT = 3138,
  IDC_GIS_NB_TOP = 3139,
  IDC_GIS_NB_BOTTOM = 3140,
  IDC_GIS_NB_SAME = 3141,
  IDC_GIS_NB_PROPERTY = 3142,
};

class CGIS_NewMapBorderDlg : public CDialog {
 public:
  explicit CGIS_NewMapBorderDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void DoDataExchange(CDataExchange* dx) override;

  // After OK: the new border (the dialog keeps it until it is destroyed).
  IGIS_MapBorder* GetResult() const { return m_pResult.get(); }
  // The working border of a kind (0 simple, 1 calibrated, 2 pattern), NULL
  // when the dialog is not open.
  IGIS_MapBorder* GetWorkingBorder(int nKind) const;

  int m_nSameInterval = 0;
  int m_nWidth = 2000;
  int m_nBottom = 0, m_nLeft = 0, m_nRight = 0, m_nTop = 0;
  int m_nKind = 0;

 private:
  void OnSameInterval();
  void OnProperty();
  void ReleaseWorkingBorders();

  md::basilo::ReleasePtr<IGIS_MapBorder> m_pResult;
  CEdit m_editWidth, m_editBottom, m_editTop, m_editRight, m_editLeft;
  md::basilo::ReleasePtr<IGIS_MapBorder> m_pPattern, m_pCalibrated, m_pSimple;
  int m_nLineState = 0;
};
