// The north arrow element (IGIS_NorthArrowElement) over a feature of kind
// 1024 whose geometry is the arrow's rectangle, and an observer of the map
// frame it follows. Its own state lies in the "Custom" property set
// (FORMAT.md).
#pragma once

#include "host/basilo/igis_subject.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/furniture/furniturestore.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"

class CGIS_NorthArrowElement final : public CGIS_ElementImpl<IGIS_NorthArrowElement>, public IGIS_Observer {
 public:
  // The extent of a point symbol in symbol units by its kind: kind 6 the
  // renderer's box of its style, kinds 5 and 7 their own extent at factor 1.
  // Empty for NULL and other kinds.
  static SGIS_Rect SymbolExtent(IGIS_Symbol* pSymbol);
  // The renderer's scale that fits a point symbol, turned by dAngle degrees,
  // into a box of pxWidth x pxHeight pixels of a context of nDpi (the
  // renderer draws a symbol `size` units high at nDpi / 72 pixels a unit
  // times the scale, centred on its point).
  static double FitScale(IGIS_Symbol* pSymbol, double pxWidth, double pxHeight, int nDpi, double dAngle);

  CGIS_NorthArrowElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW; }
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override { return true; }
  // The ratio is fixed whatever it is told; the stored flag stays as it was.
  void SetHVScaleRatio(bool) override {}
  bool CanConvert() override { return true; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override { return "暂时没有定义"; }

  // IGIS_NorthArrowElement
  void SetCalibrationAngle(double dAngle) override;
  double GetCalibrationAngle() override { return m_dCalibrationAngle; }
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetSymbolPtr() override { return m_pSymbol.get(); }
  double GetAngle() override;
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  void SetMapElementPtr(IGIS_MapElement* pFrame) override;
  IGIS_MapElement* GetMapElementPtr() override { return m_link.Frame(); }

  // IGIS_Observer: the frame's rotation turns the arrow; its deletion unlinks it.
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  int GetMapElementID() const { return m_link.GetMapElementID(); }

 protected:
  ~CGIS_NorthArrowElement() override = default;

 private:
  // Writes the rectangle into the feature's geometry and commits it.
  void StoreRect(IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags) {
    md::layout::furniture::StoreFeatureRect(m_core.m_pFeatureSet, pFeature, rect, nFlags);
  }
  // Takes the followed frame's rotation (0 without one) as Angle and turns
  // the held symbol by CalibrationAngle + Angle.
  void Turn();

  double m_dCalibrationAngle = 0.0;
  double m_dAngle = 0.0;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbol;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  CGIS_MapFrameLink m_link{this};
};
