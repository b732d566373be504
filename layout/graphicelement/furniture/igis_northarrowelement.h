// The north arrow: one point symbol drawn inside the element's rectangle,
// turned by the rotation of the map frame it follows plus a calibration
// angle of its own.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_MapElement;
class IGIS_Symbol;

class IGIS_NorthArrowElement : public IGIS_Element {
 public:
  // Degrees added to the map rotation; the symbol turns by their sum.
  virtual void SetCalibrationAngle(double dAngle) = 0;
  virtual double GetCalibrationAngle() = 0;
  // Keeps a copy of a point symbol (kinds 5, 6, 7) and fits the rectangle to
  // it; NULL drops the held symbol (with a record).
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // The followed frame's rotation (0 without one), kept as the arrow's Angle.
  virtual double GetAngle() = 0;
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy; NULL removes the frame property.
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // Follows the frame; NULL unlinks (MapElementID -100).
  virtual void SetMapElementPtr(IGIS_MapElement* pFrame) = 0;
  virtual IGIS_MapElement* GetMapElementPtr() = 0;

 protected:
  ~IGIS_NorthArrowElement() override = default;
};
