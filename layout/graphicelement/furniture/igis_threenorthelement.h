// The three-north diagram element: the true meridian, the grid north line
// ("坐标纵线") and the magnetic meridian ("磁子午线") leaving one centre point,
// with the angles between them as arcs and texts. The side lines are laid
// out at one or two display spacings (Angle) by the signs and order of the
// real angles; the real values appear as texts in degrees and minutes,
// rounded to the minute ("−6°48′").
//
// Units: lengths in 0.01 mm, angles in degrees, positive clockwise from the
// true meridian.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_MapElement;
class IGIS_Symbol;

class IGIS_ThreeNorthElement : public IGIS_Element, public IGIS_Observer {
 public:
  // The element's own frame property (not a copy; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy (NULL drops the frame); FALSE for the frame already held.
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // The display spacing between adjacent lines.
  virtual void SetAngle(double dAngle) = 0;
  virtual void SetAxisTextSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual double GetAngle() = 0;
  virtual IGIS_Symbol* GetAxisLineSymbolPtr() = 0;
  virtual void SetAxisLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual void SetAngleLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetAngleLineSymbolPtr() = 0;
  virtual IGIS_Symbol* GetAxisTextSymbolPtr() = 0;
  // Follows the map frame (NULL stops following it).
  virtual void SetMapElementPtr(IGIS_MapElement* pMap) = 0;
  virtual IGIS_MapElement* GetMapElementPtr() = 0;
  virtual int GetTxtOffset() = 0;
  virtual void SetTxtOffset(int nOffset) = 0;
  // The grid convergence: the grid north line's angle from the true meridian.
  virtual void SetCoordinateAngle(double dAngle) = 0;
  virtual double GetCoordinateAngle() = 0;
  // The magnetic declination.
  virtual void SetMagnetAngle(double dAngle) = 0;
  virtual double GetMagnetAngle() = 0;
  virtual void SetAngleTextSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetAngleTextSymbolPtr() = 0;
  virtual void SetFillSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetFillSymbolPtr() = 0;
  virtual void SetFlag(int nFlag) = 0;
  virtual int GetFlag() = 0;
  // Lays the diagram out again from its angles, lengths and fonts and
  // writes its rectangle; the setters never do. A length too short for the
  // rings the labels and the angle texts need is raised (reading a stored
  // diagram raises it only to what the fonts' rings need).
  virtual void Refresh() = 0;
  virtual int GetAxisLength() = 0;
  // Lengths below 1000 are ignored.
  virtual void SetAxisLength(int nLength) = 0;

 protected:
  ~IGIS_ThreeNorthElement() override = default;
};
