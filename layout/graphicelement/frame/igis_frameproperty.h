// The frame that can surround a graphic element on the layout page: a border
// line, a background fill and a drop shadow, each given by a symbol of the
// symbol library or, as an alternative, of the second symbol library, with
// gaps between the element's rectangle and the border and background.
//
// All lengths are page units of 0.01 mm. Objects are ended only through
// Release; the symbol getters hand out the frame's own copies.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_SpatialReference;
class IGIS_Symbol;
class IGIS_SymbolV2;

// Parts of IGIS_FrameProperty::OnDraw.
enum {
  GIS_FRAME_PART_UNDER = 0,   // shadow, then background (before the content)
  GIS_FRAME_PART_BORDER = 1,  // border (after the content)
};

class IGIS_FrameProperty {
 public:
  virtual int GetBorderX() = 0;
  virtual int GetBorderY() = 0;
  // Sets the gap and the left and right (top and bottom) gaps with it.
  virtual void SetBorderX(int nValue) = 0;
  virtual void SetBorderY(int nValue) = 0;
  virtual void GetBorderVisible(bool* pLeft, bool* pRight, bool* pTop, bool* pBottom) = 0;
  virtual void SetBorderVisible(bool bLeft, bool bRight, bool bTop, bool bBottom) = 0;
  virtual void GetBorderGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) = 0;
  // Sets the four gaps; BorderX and BorderY stay as they are.
  virtual void SetBorderGaps(int nLeft, int nRight, int nTop, int nBottom) = 0;
  virtual IGIS_Symbol* GetBorderSymbolPtr() = 0;
  // Symbol setters keep their own copy; NULL clears the symbol (level-6 record).
  virtual void SetBorderSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_SymbolV2* GetBorderSymbol2Ptr() = 0;
  virtual void SetBorderSymbol2Ptr(IGIS_SymbolV2* pSymbol) = 0;
  virtual int GetBackX() = 0;
  virtual int GetBackY() = 0;
  virtual void SetBackX(int nValue) = 0;
  virtual void SetBackY(int nValue) = 0;
  virtual void GetBackGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) = 0;
  virtual void SetBackGaps(int nLeft, int nRight, int nTop, int nBottom) = 0;
  virtual IGIS_Symbol* GetBackSymbolPtr() = 0;
  virtual void SetBackSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_SymbolV2* GetBackSymbol2Ptr() = 0;
  virtual void SetBackSymbol2Ptr(IGIS_SymbolV2* pSymbol) = 0;
  virtual int GetShadowOffSetX() = 0;
  virtual void SetShadowOffSetX(int nValue) = 0;
  virtual int GetShadowOffSetY() = 0;
  virtual void SetShadowOffSetY(int nValue) = 0;
  virtual IGIS_Symbol* GetShadowSymbolPtr() = 0;
  virtual void SetShadowSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_SymbolV2* GetShadowSymbol2Ptr() = 0;
  virtual void SetShadowSymbol2Ptr(IGIS_SymbolV2* pSymbol) = 0;
  // Destroys the object and the symbols it holds.
  virtual void Release() = 0;
  // Writes the stored form into the buffer
  // (layout/graphicelement/frame/FORMAT.md); always true.
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads the stored form; missing keys keep or derive their values; always true.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // A new object with the same values and copies of the symbols.
  virtual IGIS_FrameProperty* Clone() = 0;
  // Draws part GIS_FRAME_PART_BORDER (the border) or any other part (shadow,
  // then background) around the element rectangle rect (page units).
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect rect,
                      IGIS_SpatialReference* pSpatialReference, BYTE nPart) = 0;
  // A new compound element of rectangles and polylines in the element's
  // owner, 10 mm right of and above the frame; NULL when there is nothing to
  // convert or the frame is drawn with symbols of the second library.
  virtual IGIS_Element* ConvertToElement(IGIS_Element* pElement) = 0;
  virtual bool GetDraftMode() = 0;
  virtual void SetDraftMode(bool bDraft) = 0;
  // Rounding percentages: only 0..100 is stored, other values are ignored.
  virtual int GetShowOffsetRounding() = 0;
  virtual void SetShowOffsetRounding(int nValue) = 0;
  virtual int GetBorderRounding() = 0;
  virtual void SetBorderRounding(int nValue) = 0;
  virtual int GetBackRounding() = 0;
  virtual void SetBackRounding(int nValue) = 0;
  // Draws the element as a white box with its name and the frame's border,
  // when the draft mode is on.
  virtual void OnDrawDraftMode(IGIS_Element* pElement, HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;

 protected:
  IGIS_FrameProperty() = default;
  virtual ~IGIS_FrameProperty() = default;
  IGIS_FrameProperty(const IGIS_FrameProperty&) = delete;
  IGIS_FrameProperty& operator=(const IGIS_FrameProperty&) = delete;
};
