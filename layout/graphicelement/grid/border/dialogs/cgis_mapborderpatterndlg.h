// The pattern-border dialog: the four corner symbols, the four side symbols
// and side scales of a pattern border, with boxes that make the corners, the
// sides or the scales follow the left-top corner, the left side and the left
// scale. Symbol choices write into the border at once; the caller keeps a
// clone and copies it back when the dialog does not end with OK.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborderpattern.h"
#include "platform/ui/cbutton.h"
#include "platform/ui/cedit.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_MAPBORDER_PATTERN = 3012,
  IDC_GIS_PB_LEFTTOP = 3114,
  IDC_GIS_PB_LEFTBOTTOM = 3115,
  IDC_GIS_PB_RIGHTTOP = 3116,
  IDC_GIS_PB_RIGHTBOTTOM = 3117,
  IDC_GIS_PB_LEFT = 3071,
  IDC_GIS_PB_RIGHT = 3072,
  IDC_GIS_PB_TOP = 3073,
  IDC_GIS_PB_BOTTOM = 3074,
  IDC_GIS_PB_LEFT_SCALE = 1002,
  IDC_GIS_PB_RIGHT_SCALE = 1003,
  IDC_GIS_PB_TOP_SCALE = 1004,
  IDC_GIS_PB_BOTTOM_SCALE = 1005,
  IDC_GIS_PB_SAME_SCALE = 3118,
  IDC_GIS_PB_SAME_CORNER = 3076,
  IDC_GIS_PB_SAME_SIDE = 3121,
};

class CGIS_MapBorderPatternDlg : public CDialog {
 public:
  // Largest side scale the edits accept.
  static constexpr double kMaxScale = 1e8;

  explicit CGIS_MapBorderPatternDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

  IGIS_MapBorderPattern* m_pMapBorderPattern = nullptr;

 private:
  enum class Corner { LeftTop, LeftBottom, RightTop, RightBottom };
  enum class Side { Left, Right, Top, Bottom };
  void OnCorner(Corner corner);
  void OnSide(Side side);
  void OnCheckCornerSymbol();
  void OnCheckSideSymbol();
  void OnCheckSymbolScale();
  // Writes a symbol into the border's corner or side (NULL clears it).
  void SetCorner(Corner corner, IGIS_Symbol* pSymbol);
  void SetSide(Side side, IGIS_Symbol* pSymbol);
  // FALSE with a record naming the handler when there is no border.
  bool RequireBorder(const char* szHandler);

  double m_dLeftScale = 0.0, m_dRightScale = 0.0, m_dTopScale = 0.0, m_dBottomScale = 0.0;
  int m_nSameScale = 0, m_nSameCorner = 0, m_nSameSide = 0;
  CButton m_buttons[8];
  CEdit m_editLeft, m_editRight, m_editTop, m_editBottom;
};
