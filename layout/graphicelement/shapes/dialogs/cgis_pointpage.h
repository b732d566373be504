// The point element's page: its symbol with a preview, the symbol's angle
// and the element's size (the height of its rectangle).
#pragma once

#include "layout/graphicelement/shapes/dialogs/cgis_shapesymbolpage.h"

enum {
  IDD_POINT_PAGE = 3021,
  IDC_POINT_SYMBOL = 3009,
  IDC_POINT_ANGLE = 1081,
  IDC_POINT_ANGLE_SPIN = 1082,
  IDC_POINT_SIZE = 1079,
  IDC_POINT_SIZE_SPIN = 1080,
  IDC_POINT_PREVIEW = 3065,
};

class CGIS_PointPage : public CGIS_ShapeSymbolPage {
 public:
  // A page with no element: it paints nothing and its button does nothing.
  CGIS_PointPage() : CGIS_PointPage(nullptr, nullptr) {}
  CGIS_PointPage(IGIS_Element* pElement, IGIS_Display* pContext);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Reads the size and the symbol's angle.
  BOOL OnSetActive() override;
  // Writes the angle into the symbol and the size into the element; FALSE
  // for a value out of range or an element without height.
  BOOL OnKillActive() override;
  // As leaving the page, except that an element without height only gets
  // the angle.
  BOOL OnApply() override;

  CEdit m_editAngle;
  CEdit m_editSize;
  CSpinButtonCtrl m_spinSize;
  CSpinButtonCtrl m_spinAngle;
  double m_dAngle = 0.0;  // degrees, -360..360
  double m_dSize = 10.0;  // height of the element's rectangle, 1..1000000

 protected:
  IGIS_Symbol* GetSymbol() override;
  void SetSymbol(IGIS_Symbol* pChosen) override;
  // The centre of the preview area.
  std::vector<POINT> PreviewPoints(const RECT& rect) override;

 private:
  // Writes angle and size; false when the element has no height.
  bool WriteElement();
};
