// The legend element (IGIS_LegendElement): follows one map frame and stacks
// legend items of its layers under a title, inside a frame property. The
// feature (kind 1024) holds the rectangle; the legend's own state lies in
// the "Custom" property set (FORMAT.md).
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/legendmarks.h"
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"

class IGIS_FeatureAttributes;
class IGIS_Subject;

class CGIS_LegendElement final : public CGIS_ElementImpl<IGIS_LegendElement> {
 public:
  // Most items a legend holds (and reads from a stored legend): AddItem and
  // InsertItem refuse more, with a record.
  static constexpr int kMaxStoredItems = 1 << 14;

  // No owner leaves the legend empty and fit only to be destroyed. No
  // feature makes a new one with the "Custom" keys and their defaults; a
  // given feature is bound and read by Archive with a non-zero flag.
  CGIS_LegendElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override { return GIS_TYPE_GRAPHIC_ELEMENT_LEGEND; }
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

  // IGIS_LegendElement
  void SetMapElement(IGIS_MapElement* pMapElement) override;
  IGIS_MapElement* GetMapElement() override { return m_link.Frame(); }
  bool GetFlag() override { return m_bFlag; }
  void SetFlag(bool bFlag) override { m_bFlag = bFlag; }
  IGIS_LegendFormat* GetLegendFormat() override { return m_pFormat.get(); }
  void SetLegendFormat(IGIS_LegendFormat* pFormat) override;
  const char* GetTitle() override { return m_strTitle.c_str(); }
  void SetTitle(const char* szTitle) override;
  void SetDirector(bool bDirector) override { m_bDirector = bDirector; }
  bool GetDirector() override { return m_bDirector; }
  bool AddItem(IGIS_LegendItem* pItem) override;
  void RemoveAllItems() override;
  int GetItemCount() override { return static_cast<int>(m_items.size()); }
  void RecalcRect() override;
  void InsertItem(int nIndex, IGIS_LegendItem* pItem) override;
  bool RunWizard() override;
  bool RemoveItem(int nIndex) override;
  IGIS_LegendItem* GetItem(int nIndex) override;
  IGIS_FrameProperty* GetFrameProperty() override { return m_pFrame.get(); }
  bool SetFrameProperty(IGIS_FrameProperty* pFrame) override;

  // IGIS_Observer: messages of the followed map frame.
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // The stored ID of the followed frame (-10 none yet, -100 unlinked).
  int GetMapElementID() const { return m_link.GetMapElementID(); }
  // Sets the rectangle in the feature and commits it (flag 64).
  void _SetRect(int left, int right, int top, int bottom);

 private:
  ~CGIS_LegendElement() override;

  // TRUE when the item may join the legend (then adopted); otherwise writes
  // szMethod's record and releases it.
  bool Accepts(IGIS_LegendItem* pItem, const char* szMethod);

  class ReadStackMemo;

  // RecalcRect; bLayersJustFound tells that the items' layers were just
  // looked up (on reading), so that found layers are not looked up again.
  // pFormatBytes, given on reading when the format's title, label and layer
  // name symbols were all made from them, lets the memo of read stacks
  // stand in for measuring.
  void Restack(bool bLayersJustFound, const std::span<const BYTE>* pFormatBytes = nullptr);

  // Writes the legend's keys into a fresh "Custom" set of the attributes.
  BOOL WriteCustom(IGIS_FeatureAttributes* pAttr);
  BOOL ReadCustom(IGIS_FeatureAttributes* pAttr);
  // The marks of the items stacked from the rectangle's lower-left corner
  // and, when shown and available, of the title. *pTitleMissing is set when
  // the title is shown but the format has no title symbol. Items of other
  // implementations go into *pForeign with their origins, when given.
  md::layout::legend::LegendMarks BuildMarks(const SGIS_Rect& rect, const char* szMethod, bool* pTitleMissing,
                                             std::vector<std::pair<IGIS_LegendItem*, SGIS_Point>>* pForeign);

  bool m_bFlag = true;
  md::basilo::ReleasePtr<IGIS_LegendFormat> m_pFormat;
  bool m_bDirector = false;
  std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>> m_items;
  IGIS_Subject* m_pSubject = nullptr;
  std::string m_strTitle;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  // The followed frame (by registry handle) and its stored ID; declared last
  // so that it detaches first when the legend ends.
  CGIS_MapFrameLink m_link{this};
};
