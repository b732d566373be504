// The element frame: border, background and shadow around an element, in
// the symbol form (drawn by the symbolization library) or in the symbol2
// form (painted by the second symbolization library on a graphics surface).
#pragma once

#include <span>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"

// Hosts receive this class from the two exports below, so its type
// information stays visible outside the library.
class __attribute__((visibility("default"))) CGIS_FrameProperty final : public IGIS_FrameProperty {
 public:
  // The defaults; with the global property "GIS_LAYOUT_LEGENDELEMENT_BACKSYMBOL"
  // true, white backgrounds in both symbol forms.
  CGIS_FrameProperty();

  int GetBorderX() override { return m_nBorderX; }
  int GetBorderY() override { return m_nBorderY; }
  void SetBorderX(int nValue) override;
  void SetBorderY(int nValue) override;
  void GetBorderVisible(bool* pLeft, bool* pRight, bool* pTop, bool* pBottom) override;
  void SetBorderVisible(bool bLeft, bool bRight, bool bTop, bool bBottom) override;
  void GetBorderGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) override;
  void SetBorderGaps(int nLeft, int nRight, int nTop, int nBottom) override;
  IGIS_Symbol* GetBorderSymbolPtr() override { return m_pBorderSymbol.get(); }
  void SetBorderSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_SymbolV2* GetBorderSymbol2Ptr() override { return m_pBorderSymbol2.get(); }
  void SetBorderSymbol2Ptr(IGIS_SymbolV2* pSymbol) override;
  int GetBackX() override { return m_nBackX; }
  int GetBackY() override { return m_nBackY; }
  void SetBackX(int nValue) override;
  void SetBackY(int nValue) override;
  void GetBackGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) override;
  void SetBackGaps(int nLeft, int nRight, int nTop, int nBottom) override;
  IGIS_Symbol* GetBackSymbolPtr() override { return m_pBackSymbol.get(); }
  void SetBackSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_SymbolV2* GetBackSymbol2Ptr() override { return m_pBackSymbol2.get(); }
  void SetBackSymbol2Ptr(IGIS_SymbolV2* pSymbol) override;
  int GetShadowOffSetX() override { return m_nShadowOffSetX; }
  void SetShadowOffSetX(int nValue) override { m_nShadowOffSetX = nValue; }
  int GetShadowOffSetY() override { return m_nShadowOffSetY; }
  void SetShadowOffSetY(int nValue) override { m_nShadowOffSetY = nValue; }
  IGIS_Symbol* GetShadowSymbolPtr() override { return m_pShadowSymbol.get(); }
  void SetShadowSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_SymbolV2* GetShadowSymbol2Ptr() override { return m_pShadowSymbol2.get(); }
  void SetShadowSymbol2Ptr(IGIS_SymbolV2* pSymbol) override;
  void Release() override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  // Open from stored bytes read in place (an empty span: no frame stored).
  bool OpenStored(std::span<const BYTE> bytes);
  CGIS_FrameProperty* Clone() override;
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect rect,
              IGIS_SpatialReference* pSpatialReference, BYTE nPart) override;
  IGIS_Element* ConvertToElement(IGIS_Element* pElement) override;
  bool GetDraftMode() override { return m_bDraftMode; }
  void SetDraftMode(bool bDraft) override { m_bDraftMode = bDraft; }
  int GetShowOffsetRounding() override { return m_nShowOffsetRounding; }
  void SetShowOffsetRounding(int nValue) override;
  int GetBorderRounding() override { return m_nBorderRounding; }
  void SetBorderRounding(int nValue) override;
  int GetBackRounding() override { return m_nBackRounding; }
  void SetBackRounding(int nValue) override;
  void OnDrawDraftMode(IGIS_Element* pElement, HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;

  // The rectangles drawn around an element rectangle (page units).
  SGIS_Rect BorderRect(const SGIS_Rect& element) const;
  SGIS_Rect BackRect(const SGIS_Rect& element) const;
  SGIS_Rect ShadowRect(const SGIS_Rect& element) const;
  // The symbol2 form is used when a border or background symbol2 is held.
  bool UsesSymbol2() const { return m_pBorderSymbol2 != nullptr || m_pBackSymbol2 != nullptr; }

 private:
  ~CGIS_FrameProperty() override;

  bool DrawSymbolForm(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                      IGIS_SpatialReference* pSpatialReference, BYTE nPart);
  bool DrawSymbol2Form(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                       IGIS_SpatialReference* pSpatialReference, BYTE nPart);
  bool OpenFrom(std::span<const BYTE> bytes, bool bNoBuffer);
  // A mask of the visible sides (GIS_FRAME_SIDE_*).
  int VisibleSides() const;

  int m_nBorderX = 0;
  int m_nBorderY = 0;
  int m_nBorderLeft = 0;
  int m_nBorderRight = 0;
  int m_nBorderTop = 0;
  int m_nBorderBottom = 0;
  bool m_bBorderLeftVisible = true;
  bool m_bBorderRightVisible = true;
  bool m_bBorderTopVisible = true;
  bool m_bBorderBottomVisible = true;
  int m_nBackX = 0;
  int m_nBackY = 0;
  int m_nBackLeft = 0;
  int m_nBackRight = 0;
  int m_nBackTop = 0;
  int m_nBackBottom = 0;
  int m_nBackRounding = 0;
  int m_nBorderRounding = 0;
  int m_nShowOffsetRounding = 0;
  bool m_bDraftMode = false;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pBorderSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pBackSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pShadowSymbol;
  md::basilo::ReleasePtr<IGIS_SymbolV2> m_pBorderSymbol2;
  md::basilo::ReleasePtr<IGIS_SymbolV2> m_pBackSymbol2;
  md::basilo::ReleasePtr<IGIS_SymbolV2> m_pShadowSymbol2;
  int m_nShadowOffSetX = 0;
  int m_nShadowOffSetY = 0;
  // The last stored bytes and what they follow from (every value and each
  // held symbol's own bytes): saving the same again copies them.
  void SaveKey(std::vector<BYTE>* pKey);
  std::vector<BYTE> m_savedKey;
  std::vector<BYTE> m_saved;
  std::vector<BYTE> m_nextKey;
  md::basilo::ReleasePtr<IGIS_DataBuffer> m_pSymbolBytes;
};

// Bits of a visible-side mask.
enum {
  GIS_FRAME_SIDE_LEFT = 1,
  GIS_FRAME_SIDE_RIGHT = 2,
  GIS_FRAME_SIDE_TOP = 4,
  GIS_FRAME_SIDE_BOTTOM = 8,
};

extern "C" {
// A new frame property with the defaults, owned by the caller; NULL when
// memory runs out.
__attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyObject();
// A new frame property read from the buffer with Open, owned by the caller.
__attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyFromBuffer(
    IGIS_DataBuffer* pBuffer);
}
