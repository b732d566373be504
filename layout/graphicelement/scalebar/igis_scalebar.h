// Every graphic scale bar of a layout page: a number of divisions of one
// ground length in a chosen unit, subdivisions of the first division, numeric
// labels, a unit label, tick marks, the bar height and the page width of one
// division. The bar follows the scale of one map frame, stores itself in its
// feature, lays itself out (Refresh) and draws and converts what every bar
// shares (marks, labels, unit label, frame). The interface is pure; what every
// bar keeps and does lives in the library's own base class of the bars (not
// installed), and the concrete bars add their body on a branch of it.
//
// Page lengths are integers in 0.01 mm, y up. Units indexes the unit list:
// the spatial-reference factory's linear units 0..N-1, N degrees ("度"),
// N+1 and above the unknown unit ("未知单位").
#pragma once

#include "host/basilo/igis_subject.h"
#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_MapElement;
class IGIS_NumericFormat;
class IGIS_PropertySet;
class IGIS_ScaleMarks;
class IGIS_Symbol;

// The base's own type identifier (a bar of no concrete kind).
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR"

// Label frequencies (which marks get a number).
enum {
  GIS_SCALEBAR_LABELS_NONE = 0,
  GIS_SCALEBAR_LABELS_ENDS = 1,
  GIS_SCALEBAR_LABELS_ENDS_AND_ZERO = 2,
  GIS_SCALEBAR_LABELS_DIVISIONS = 3,
  GIS_SCALEBAR_LABELS_FIRST_MIDPOINT = 4,
  GIS_SCALEBAR_LABELS_FIRST_SUBDIVISIONS = 5,
  GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS = 6,
};

// Label and mark positions against the bar body (1 acts as 0, 3 as 4).
enum {
  GIS_SCALEBAR_POSITION_ABOVE = 0,
  GIS_SCALEBAR_POSITION_TOP = 1,
  GIS_SCALEBAR_POSITION_MIDDLE = 2,
  GIS_SCALEBAR_POSITION_BOTTOM = 3,
  GIS_SCALEBAR_POSITION_BELOW = 4,
};

// Unit label positions.
enum {
  GIS_SCALEBAR_UNIT_ABOVE = 0,
  GIS_SCALEBAR_UNIT_BEFORE_LABELS = 1,
  GIS_SCALEBAR_UNIT_AFTER_LABELS = 2,
  GIS_SCALEBAR_UNIT_BEFORE_BAR = 3,
  GIS_SCALEBAR_UNIT_AFTER_BAR = 4,
  GIS_SCALEBAR_UNIT_BELOW = 5,
};

// What a change of size or of the map scale adjusts.
enum {
  GIS_SCALEBAR_RESIZE_WIDTH = 0,      // the page width of the bar
  GIS_SCALEBAR_RESIZE_DIVISION = 1,   // the ground length of a division
  GIS_SCALEBAR_RESIZE_DIVISIONS = 2,  // the number of divisions
};

class IGIS_ScaleBar : public IGIS_Element, public IGIS_Observer {
 public:
  // FALSE when it is the held object; otherwise keeps a clone (NULL: none).
  virtual BOOL SetFrameProperty(IGIS_FrameProperty* pFrame) = 0;
  virtual IGIS_FrameProperty* GetFrameProperty() = 0;
  virtual int GetBarHeight() = 0;
  // Values below 1 are ignored, and every value by a straight scale line.
  virtual void SetBarHeight(int nHeight) = 0;
  virtual double GetDivision() = 0;
  // A division above 0: the rest follows the resize hint.
  virtual void SetDivision(double dDivision) = 0;
  virtual int GetDivisions() = 0;
  // Above 100 becomes 100, below 1 is ignored, all ignored while the resize
  // hint keeps the number of divisions.
  virtual void SetDivisions(int nDivisions) = 0;
  virtual bool GetDivisionsBeforeZero() = 0;
  virtual void SetDivisionsBeforeZero(bool bBefore) = 0;
  virtual int GetLabelFrequency() = 0;
  virtual void SetLabelFrequency(int nFrequency) = 0;
  virtual int GetLabelGap() = 0;
  virtual void SetLabelGap(int nGap) = 0;
  virtual int GetLabelPosition() = 0;
  virtual void SetLabelPosition(int nPosition) = 0;
  virtual IGIS_Symbol* GetLabelSymbol() = 0;
  virtual void SetLabelSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_NumericFormat* GetNumericFormat() = 0;
  virtual void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  virtual int GetSubDivisions() = 0;
  virtual void SetSubDivisions(int nSubDivisions) = 0;
  virtual const char* GetUnitLabel() = 0;
  virtual void SetUnitLabel(const char* szLabel) = 0;
  virtual int GetUnitLabelGap() = 0;
  virtual void SetUnitLabelGap(int nGap) = 0;
  virtual int GetUnitLabelPosition() = 0;
  virtual void SetUnitLabelPosition(int nPosition) = 0;
  virtual int GetUnits() = 0;
  virtual void SetUnits(int nUnits) = 0;
  // The held marks (not a copy).
  virtual IGIS_ScaleMarks* GetScaleMarks() = 0;
  virtual void SetScaleMarks(IGIS_ScaleMarks* pMarks) = 0;
  // The marks, numeric labels and unit label; FALSE without the page's
  // spatial reference or (after the marks and numbers) a text style.
  virtual BOOL OnDrawLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  virtual int GetResizeHint() = 0;
  virtual void SetResizeHint(int nHint) = 0;
  virtual IGIS_Symbol* GetUnitLabelSymbol() = 0;
  virtual void SetUnitLabelSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Follows the frame (NULL: follows none and stores -100 as its ID).
  virtual void SetMapElement(IGIS_MapElement* pMapElement) = 0;
  // The followed frame, or NULL (also when it has been destroyed).
  virtual IGIS_MapElement* GetMapElement() = 0;
  // Lays the bar out: BarX, BarY and the element rectangle from the extent
  // of body, marks and labels.
  virtual void Refresh() = 0;
  virtual IGIS_NumericFormat* GetLatLonFormat() = 0;
  virtual void SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  // The page width of one division at the followed frame's scale (kept as
  // BarWidth); BarWidth itself without a frame or a map it shows.
  virtual int GetDivisionWidth() = 0;
  virtual void SetBarWidth(int nWidth) = 0;
  virtual void SetMapScale(double dScale) = 0;
  // Draws one numeric label standing on (x, y), centred on x.
  virtual void AddLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point position, double dValue) = 0;
  // Unused extension points; each answers TRUE.
  virtual BOOL ExtensionHook1(HDC, bool, IGIS_Display*, SGIS_Point, double) = 0;
  virtual BOOL ExtensionHook2(HDC, bool, IGIS_Display*, SGIS_Point, float) = 0;
  virtual BOOL ExtensionHook3(HDC, bool, IGIS_Display*, SGIS_Point, double) = 0;
  virtual BOOL ExtensionHook4(HDC, bool, IGIS_Display*, SGIS_Point, double) = 0;
  // One division mark and one subdivision mark from one page point to the other.
  virtual void AddMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from, SGIS_Point to) = 0;
  virtual void AddSubMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from,
                              SGIS_Point to) = 0;

  // The symbol of the bar body that the format page edits: the first fill
  // of a two-fill bar, the line of a scale line.
  virtual IGIS_Symbol* GetBarSymbol() = 0;
  virtual void SetBarSymbol(IGIS_Symbol* pSymbol) = 0;

  // What the bar keeps of its layout, as stored: the page width of one
  // division, the map scale it was taken at, the bar body's offset from the
  // element rectangle's lower-left corner, and the followed frame's ID.
  virtual int GetBarWidth() = 0;
  virtual double GetMapScale() = 0;
  virtual int GetBarX() = 0;
  virtual int GetBarY() = 0;
  virtual int GetMapElementID() = 0;
  // The width GetDivisionWidth gives now, keeping nothing: what drawings and
  // conversions use, so that they change no stored state.
  virtual int PeekDivisionWidth() = 0;

 protected:
  IGIS_ScaleBar() = default;
  ~IGIS_ScaleBar() override = default;
};

// ---- Free functions of the scale bars -------------------------------------------

// Ground distance per page unit across the frame's map, in the unit code
// (1 metres, 2 degrees): the distance along the middle row of the map bound
// between points 1 % in from either side, over the same 98 % of the frame's
// page width. 0 without a frame, map, reference or width.
__attribute__((visibility("default"))) double GetGroundDistancePerPageUnit(IGIS_MapElement* pMapElement,
                                                                           int nUnitCode);

// The rectangle (x1 left, x2 right, y1 top, y2 bottom) grown to hold the point.
__attribute__((visibility("default"))) SGIS_DRect ExtendRectToPoint(SGIS_DRect rect, SGIS_DPoint point);

// The extent, in symbol units at scale 1.0, of a label text: the value
// written with the numeric format, or, for a frame whose map is geographic,
// as a plain number with the lat-lon format's settings.
__attribute__((visibility("default"))) SGIS_Rect MeasureLabelText(double dValue, IGIS_MapElement* pMapElement,
                                                                  IGIS_NumericFormat* pNumeric,
                                                                  IGIS_NumericFormat* pLatLon,
                                                                  IGIS_Symbol* pTextSymbol);

// Adds one numeric label of the bar to a compound: its text (numeric format)
// with the bar's label symbol, standing centred on the position as drawn.
__attribute__((visibility("default"))) BOOL AddLabelTextElement(IGIS_Element* pCompound, IGIS_ScaleBar* pBar,
                                                                SGIS_Point position, double dValue);
