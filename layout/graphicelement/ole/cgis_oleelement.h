// The embedded-object element: a rectangle on the page (feature kind 1024)
// showing one embedded object, optionally inside a frame. The object's
// compound file is stored as bytes under "OLEDATA" in the feature's "Custom"
// property set (FORMAT.md); the object itself is held by a client item.
#pragma once

#include <memory>
#include <string>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/ole/igis_oleelement.h"

class CGIS_OleClientItem;

class CGIS_OleElement : public CGIS_ElementImpl<IGIS_OleElement> {
 public:
  CGIS_OleElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override;
  // The ratio is fixed whatever it is told; the stored flag stays as it was.
  void SetHVScaleRatio(bool) override {}
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

  // IGIS_OleElement
  BOOL CanActivateObject() override;
  BOOL ActivateObject(IGIS_Display* pDisplay) override;
  BOOL InsertObject(IGIS_Display* pDisplay) override;
  IGIS_FrameProperty* GetFramePropertyPtr() override;
  BOOL SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  BOOL UpdateLink() override;

  // Fits the height to the object's proportions at the current width,
  // commits, and asks the remembered display's view to redraw.
  void FitToObjectAspect();

  // The element whose object was last inserted or opened (NULL when none,
  // or once that element is gone).
  static CGIS_OleElement* Current();

  CGIS_OleClientItem* GetClientItem() { return m_pOleItem.get(); }

 protected:
  ~CGIS_OleElement() override;

 private:
  // Tells the item the page file it belongs to (the owner's), for its link.
  void PlaceItemOnPage();
  // Width over height of the object; 1 when it reports no height.
  double ObjectRatio();
  void WriteRect(IGIS_Feature* pFeature, const SGIS_Rect& rect);
  // Keeps the width and gives the height the object's proportions.
  void FitHeightToObject(IGIS_Feature* pFeature);
  // Draws the item over the device rectangle; why nothing shows where
  // something should (a placeholder then stands in), empty when it drew or
  // has nothing to show.
  std::string DrawObject(HDC hdc, const RECT& device);

  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  std::unique_ptr<CGIS_OleClientItem> m_pOleItem;
  // Why the stored object could not be read; empty when it was (or none is).
  std::string m_strUnread;
  IGIS_Display* m_pDisplay = nullptr;
};
