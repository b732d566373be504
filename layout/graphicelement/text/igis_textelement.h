// The text element's own operations, after the 26 of IGIS_Element.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_Symbol;
class IGIS_FrameProperty;
using IGIS_SymbolPart = IGIS_Symbol;

class IGIS_TextElement : public IGIS_Element {
 public:
  virtual const char* GetText() = 0;
  virtual void SetText(const char* szText) = 0;
  // The element's frame (still owned by the element; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy of the given frame (NULL drops it); the caller keeps its own.
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // The text style of the element's point style (owned by the style).
  virtual IGIS_SymbolPart* GetSymbolPtr() = 0;
  // Takes a copy of the text symbol into the element's point style.
  virtual void SetSymbolPtr(IGIS_SymbolPart* pTextSymbol) = 0;
  // The anchor point of position 0..8 of the current rectangle.
  virtual SGIS_Point GetPoint(int nPosition) = 0;
  // Makes position the anchor and moves the element so that its anchor
  // point lies on the given point.
  virtual void SetPoint(SGIS_Point point, int nPosition) = 0;
};
