// The scale text element (see igis_scaletextelement.h). Its feature (kind
// 0x400) holds the rectangle; style, units, labels, formats, text and frame
// live in the "Custom" property set (FORMAT.md).
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "host/notara/igis_annostyle.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"

class IGIS_AnnoPointStyle;
class IGIS_MapElement;
class IGIS_PropertySet;
class IGIS_SpatialReference;

class CGIS_ScaleTextElement : public CGIS_ElementImpl<IGIS_ScaleTextElement> {
 public:
  // No owner leaves the element unbound; no feature makes a new one with the
  // stored defaults; a given feature is only bound (Archive reads it).
  CGIS_ScaleTextElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // ---- IGIS_Element ----
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override { return true; }
  // The ratio is fixed whatever it is told; the stored flag stays as it was.
  void SetHVScaleRatio(bool) override {}
  bool CanConvert() override { return true; }
  void SetOrder(int nOrder) override;
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  void SetName(const char* szName) override;
  const char* GetDescription() override { return "暂时没有定义"; }

  // ---- IGIS_ScaleTextElement ----
  void SetScaleTextStyle(int nStyle) override { m_nScaleTextStyle = nStyle; }
  int GetScaleTextStyle() override { return m_nScaleTextStyle; }
  void SetMapUnit(int nUnit) override;
  int GetMapUnit() override { return m_nMapUnit; }
  void SetPageUnit(int nUnit) override;
  int GetPageUnit() override { return m_nPageUnit; }
  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Element* GetMapElement() override;
  void SetMapElement(IGIS_Element* pMap) override;
  void SetMapUnitLabel(const char* szLabel) override;
  const char* GetMapUnitLabel() override { return m_strMapUnitLabel.c_str(); }
  void SetPageUnitLabel(const char* szLabel) override;
  const char* GetPageUnitLabel() override { return m_strPageUnitLabel.c_str(); }
  const char* GetText() override { return m_strText.c_str(); }
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrameProperty.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  void RebuildText() override;
  void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) override;
  void SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) override;
  IGIS_NumericFormat* GetNumericFormatPtr() override { return m_pNumericFormat.get(); }
  IGIS_NumericFormat* GetLatLonFormatPtr() override { return m_pLatLonFormat.get(); }

  // ---- Observer and subject ----
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;
  // The element relays to no observers of its own.
  BOOL Attach(IGIS_Observer*, int) override { return FALSE; }
  BOOL Detach(IGIS_Observer*, int) override { return FALSE; }
  void DetachAll() override {}
  void Notify(const char*, int, IGIS_Element*) override {}

  // ---- Composition ----
  // Writes the text from the frame's scale and the units (Text and MapScale).
  void BuildText();
  // Ground distance per page unit across the followed frame's map (mode 1
  // metres, 2 degrees); 0 when it cannot be measured.
  double GetMapDistancePerPageUnit(int nMode);
  // Sets the rectangle to the size of the text, keeping its lower-left corner.
  void GetScaleRect();

  double GetMapScale() const { return m_dMapScale; }
  int GetMapElementID() const { return m_link.GetMapElementID(); }

 protected:
  ~CGIS_ScaleTextElement() override;

 private:
  IGIS_MapElement* BoundFrame() const { return m_link.Frame(); }
  BOOL CommitFeature(IGIS_Feature* pFeature, int nFlags);
  // Scales the text size; a size that would round to 0 keeps the old one.
  void ScaleTextSize(double f);
  // The text's extent on the page (0.01 mm), width and height.
  SGIS_Rect PageTextExtent();
  void PutKeys(md::layout::CustomSetWriter& set, bool bNew);
  void ReadKeys(const md::layout::StoredSetView& set);
  void RestoreFrom(CGIS_ScaleTextElement* pBackup);

  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pNumericFormat;
  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pLatLonFormat;
  int m_nPageUnit = 0;
  int m_nMapUnit = 0;
  int m_nScaleTextStyle = 1;
  std::string m_strText = "1厘米等于100千米";
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> m_pStyle;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrameProperty;
  double m_dMapScale = 1000.0;
  std::string m_strPageUnitLabel = "厘米";
  std::string m_strMapUnitLabel = "未知单位";
  CGIS_MapFrameLink m_link{this};
  // Set while the property sheet runs: the stored form its Cancel puts back
  // is read with the text and rectangle as stored, not composed anew.
  bool m_bReadAsStored = false;
};
