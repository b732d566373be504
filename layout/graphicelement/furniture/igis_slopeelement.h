// The slope rule ("坡度尺"): the map-margin graph from which a reader takes
// the ground slope between contour lines from their spacing on the map.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_MapElement;
class IGIS_Symbol;

class IGIS_SlopeElement : public IGIS_Element {
 public:
  // Symbol setters keep a copy (line symbols for the axis and contour lines,
  // text parts for the others); NULL is refused and the held symbol stays.
  virtual IGIS_Symbol* GetAxisLineSymbolPtr() = 0;
  virtual void SetAxisLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetDescriptionSymbolPtr() = 0;
  virtual void SetDescriptionSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetAngleSymbolPtr() = 0;
  virtual void SetAngleSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetPercentSymbolPtr() = 0;
  virtual void SetPercentSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetTitleSymbolPtr() = 0;
  virtual void SetTitleSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Lengths in 0.01 mm.
  virtual int GetAxislineInterval() = 0;
  virtual void SetAxislineInterval(int nValue) = 0;
  virtual int GetAngleGap() = 0;
  virtual void SetAngleGap(int nValue) = 0;
  virtual int GetPercentGap() = 0;
  virtual void SetPercentGap(int nValue) = 0;
  virtual int GetTitleGap() = 0;
  // Negative values are ignored.
  virtual void SetTitleGap(int nValue) = 0;
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // Follows the frame; NULL unlinks (MapElementID -100).
  virtual void SetMapElementPtr(IGIS_MapElement* pFrame) = 0;
  virtual IGIS_MapElement* GetMapElementPtr() = 0;
  virtual int GetSlopelineNumber() = 0;
  // Taken only from 3 to 6.
  virtual void SetSlopelineNumber(int nValue) = 0;
  virtual IGIS_Symbol* GetContourLineSymbolPtr() = 0;
  virtual void SetContourLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Lays the figure out again: the anchor offset and the rectangle, whose
  // lower-left corner stays where it is.
  virtual void Refresh() = 0;
  // Metres.
  virtual double GetContourInterval() = 0;
  virtual void SetContourInterval(double dValue) = 0;
  virtual int GetGapDescription() = 0;
  // Negative values are ignored.
  virtual void SetGapDescription(int nValue) = 0;

 protected:
  ~IGIS_SlopeElement() override = default;
};
