// The three-north diagram element (IGIS_ThreeNorthElement).
//
// The feature (kind 1024) holds the diagram's rectangle; its state lies in
// the "Custom" property set (FORMAT.md). The centre point is CenterX,
// CenterY from the rectangle's left-bottom corner; Refresh lays the diagram
// out and writes the rectangle, drawing and conversion use what it left.
#pragma once

#include <cmath>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "layout/graphicelement/furniture/threenorthlayout.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"

class IGIS_AnnoPointStyle;
class IGIS_CompoundElement;
class IGIS_PropertySet;

class CGIS_ThreeNorthElement final : public CGIS_ElementImpl<IGIS_ThreeNorthElement> {
 public:
  // No owner leaves the element unusable. No feature makes a new one whose
  // "Custom" set holds every key with its default; a given feature is bound
  // and read back by Archive with a non-zero flag.
  CGIS_ThreeNorthElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override;
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

  // IGIS_ThreeNorthElement
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  // The number setters keep their value when given one that is not finite.
  void SetAngle(double dAngle) override {
    if (std::isfinite(dAngle)) m_dAngle = dAngle;
  }
  void SetAxisTextSymbolPtr(IGIS_Symbol* pSymbol) override;
  double GetAngle() override { return m_dAngle; }
  IGIS_Symbol* GetAxisLineSymbolPtr() override { return m_pAxisLineSymbol.get(); }
  void SetAxisLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  void SetAngleLineSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetAngleLineSymbolPtr() override { return m_pAngleLineSymbol.get(); }
  IGIS_Symbol* GetAxisTextSymbolPtr() override { return m_pAxisTextSymbol.get(); }
  void SetMapElementPtr(IGIS_MapElement* pMap) override;
  IGIS_MapElement* GetMapElementPtr() override;
  int GetTxtOffset() override { return m_nTxtOffset; }
  void SetTxtOffset(int nOffset) override { m_nTxtOffset = nOffset; }
  void SetCoordinateAngle(double dAngle) override {
    if (std::isfinite(dAngle)) m_dCoordinateAngle = dAngle;
  }
  double GetCoordinateAngle() override { return m_dCoordinateAngle; }
  void SetMagnetAngle(double dAngle) override {
    if (std::isfinite(dAngle)) m_dMagnetAngle = dAngle;
  }
  double GetMagnetAngle() override { return m_dMagnetAngle; }
  void SetAngleTextSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetAngleTextSymbolPtr() override { return m_pAngleTextSymbol.get(); }
  void SetFillSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetFillSymbolPtr() override { return m_pFillSymbol.get(); }
  void SetFlag(int nFlag) override { m_nFlag = nFlag; }
  int GetFlag() override { return m_nFlag; }
  void Refresh() override;
  int GetAxisLength() override { return m_nAxisLength; }
  void SetAxisLength(int nLength) override;

  // IGIS_Observer: the deletion of the followed map frame ends the link.
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // Read-only views for drawing, conversion and tests.
  int GetMapElementID() const { return m_link.GetMapElementID(); }
  int GetCenterX() const { return m_center.x; }
  int GetCenterY() const { return m_center.y; }
  double GetCoordinateDrawAngle() const { return m_dCoordinateDrawAngle; }
  double GetMagnetDrawAngle() const { return m_dMagnetDrawAngle; }
  IGIS_AnnoPointStyle* GetTextStylePtr() { return m_pTextStyle.get(); }
  // Whether the element follows (observes) a map frame.
  bool IsObservingMap() const { return m_link.Frame() != nullptr; }

  // The figure as the drawing shows it: around the centre point (the
  // rectangle's corner plus CenterX, CenterY), with the working angles and
  // the fonts measured now.
  md::layout::furniture::ThreeNorthFigure BuildFigure();
  // The same figure around another centre (the conversion's).
  md::layout::furniture::ThreeNorthFigure FigureAt(SGIS_Point centre);

 protected:
  ~CGIS_ThreeNorthElement() override;

 private:
  using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

  // Every value a sheet can change, with copies of the owned objects.
  struct State;
  State Capture() const;
  void Apply(const State& state);

  // Lays the diagram out and writes its rectangle, raising a length too
  // short for the fonts' rings; with bFitTexts (Refresh: an edit, a
  // resize, a conversion, the host's request) one too short for the rings
  // the texts want. Reading and copying keep a length the fonts' rings fit.
  void LayOut(bool bFitTexts);
  // Label width ("真"), digit height ("2") and, when asked, label height
  // ("真") in page units.
  void MeasureFonts(double* pLabelWidth, double* pDigitHeight, double* pLabelHeight = nullptr);
  // What the figure is built from: the working angles, lengths and fonts as
  // they are now, the angle texts and the sizes of every text, around the
  // centre given.
  md::layout::furniture::ThreeNorthInput LayoutInput(SGIS_Point centre);
  void ComputeDrawAngles();
  void WriteDefaults(IGIS_Feature* pFeature);
  void WriteCustom(md::layout::CustomSetWriter& set, bool bDescribe);
  void ReadCustom(const md::layout::StoredSetView& set);
  // Adds the characters of a text to the compound as text elements in the
  // font, laid along the page path as the drawing lays them.
  void AddPathCharacters(IGIS_CompoundElement* pLabels, std::vector<SGIS_Point> path, IGIS_Symbol* pFont,
                         const char* szText, double dRatio);

  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  SymbolPtr m_pAngleTextSymbol;
  // The followed map frame and its stored ID.
  CGIS_MapFrameLink m_link{this};
  int m_nTxtOffset = 50;
  double m_dCoordinateAngle = -10.0;
  double m_dMagnetAngle = 30.0;
  double m_dAngle = 30.0;
  SymbolPtr m_pAxisLineSymbol;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> m_pTextStyle;
  double m_dCoordinateDrawAngle = 0.0;
  double m_dMagnetDrawAngle = 0.0;
  int m_nFlag = 0;
  SymbolPtr m_pAxisTextSymbol;
  SymbolPtr m_pFillSymbol;
  int m_nAxisLength = 3000;
  SGIS_Point m_center;
  SymbolPtr m_pAngleLineSymbol;
};
