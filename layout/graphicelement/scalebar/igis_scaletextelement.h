// The scale text: the scale of one map frame written as text, either
// absolute ("1:" and the denominator) or relative ("1厘米等于100千米"). It
// follows the frame as an observer and keeps its rectangle the size of its
// text, anchored at the lower-left corner.
//
// Map units index the unit list: the spatial-reference factory's linear units
// 0..N-1, N degrees ("度"), N+1 and above the unknown unit ("未知单位").
#pragma once

#include "host/basilo/igis_subject.h"
#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_NumericFormat;
class IGIS_Symbol;

class IGIS_ScaleTextElement : public IGIS_Element, public IGIS_Observer, public IGIS_Subject {
 public:
  // 1 relative text, any other value absolute text.
  virtual void SetScaleTextStyle(int nStyle) = 0;
  virtual int GetScaleTextStyle() = 0;
  // Accepts 0..N+1 only, and nothing while the followed frame's map has a
  // reference of no known kind.
  virtual void SetMapUnit(int nUnit) = 0;
  virtual int GetMapUnit() = 0;
  // Accepts any value of 0 or more; only "厘米" (0) is listed.
  virtual void SetPageUnit(int nUnit) = 0;
  virtual int GetPageUnit() = 0;
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // Keeps a copy of the text symbol; NULL is refused with a record.
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Element* GetMapElement() = 0;
  // Follows the map frame (NULL: none, stored as -100); also picks the map
  // unit and its label from the frame's map.
  virtual void SetMapElement(IGIS_Element* pMap) = 0;
  virtual void SetMapUnitLabel(const char* szLabel) = 0;
  virtual const char* GetMapUnitLabel() = 0;
  virtual void SetPageUnitLabel(const char* szLabel) = 0;
  virtual const char* GetPageUnitLabel() = 0;
  virtual const char* GetText() = 0;
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // Composes the text from the frame's scale and the units, then sizes the
  // rectangle to it. Following a frame that shows no map, the text stays.
  virtual void RebuildText() = 0;
  virtual void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  virtual void SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  virtual IGIS_NumericFormat* GetNumericFormatPtr() = 0;
  virtual IGIS_NumericFormat* GetLatLonFormatPtr() = 0;

 protected:
  ~IGIS_ScaleTextElement() override = default;
};
