// The plain text element: one text drawn with an annotation point style at
// one of nine anchor positions of its rectangle, optionally inside a frame.
//
// The feature (kind 4) holds the text's outline, a closed ring of five points
// P0..P4 in page units: P0 the text's origin corner, P1 along the baseline,
// P2 the far corner, P3 along the up direction, P4 = P0. The element's
// rectangle is the bound of that ring. Text, style, frame and anchor live in
// the "Custom" property set of the feature (FORMAT.md).
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/text/igis_textelement.h"

class IGIS_AnnoPointStyle;

// Anchor positions: the point of the element's rectangle the text is drawn at.
enum GIS_TextAnchor {
  vexaTopLeftCorner = 0,
  vexaTopCenter = 1,
  vexaTopRightCorner = 2,
  vexaLeftCenter = 3,
  vexaCenter = 4,
  vexaRightCenter = 5,
  vexaBottomLeftCorner = 6,
  vexaBottomCenter = 7,
  vexaBottomRightCorner = 8,
};

class CGIS_TextElement : public CGIS_ElementImpl<IGIS_TextElement> {
 public:
  // The constructor convention of every element: no owner leaves the element
  // unbound; no feature makes a new one (kind 4) with the "Custom" keys and
  // the outline of the default text; a given feature is bound, and its
  // stored state is read by Archive with a non-zero flag.
  CGIS_TextElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override;
  void SetHVScaleRatio(bool bKeep) override;
  bool CanConvert() override;
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;

  // IGIS_TextElement
  const char* GetText() override;
  void SetText(const char* szText) override;
  IGIS_FrameProperty* GetFramePropertyPtr() override;
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  IGIS_SymbolPart* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_SymbolPart* pTextSymbol) override;
  SGIS_Point GetPoint(int nPosition) override;
  void SetPoint(SGIS_Point point, int nPosition) override;

  // Rewrites the outline from P0 and the measured text. The arguments are
  // the element's own feature, point style and text.
  void ComputeTextPolygon(IGIS_Feature* pFeature, IGIS_AnnoPointStyle* pStyle, const char* szText);

  // The anchor position (0..8) the text is drawn at.
  int GetAnchorType() const { return m_nAnchorType; }
  // The point style the text is drawn with (owned by the element; may be NULL
  // for an element made without an owner).
  IGIS_AnnoPointStyle* GetPointStylePtr() { return m_pPointStyle.get(); }

 protected:
  ~CGIS_TextElement() override;

 private:
  void CommitFeature(IGIS_Feature* pFeature, int nFlags);
  // The anchor-table point of a position on the rectangle; false (point
  // untouched) for a position outside 0..8.
  static bool AnchorOf(const SGIS_Rect& rect, int nPosition, SGIS_Point* pPoint, int* pAlignment);
  // The page point the drawer places the text on.
  SGIS_Point DrawingAnchor(const SGIS_Rect& rect, int* pAlignment);
  // Scales the font size of the text style in place.
  bool ScaleFont(double s);

  std::string m_strText;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> m_pPointStyle;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  int m_nAnchorType = vexaBottomLeftCorner;
};
