// The base of every graphic scale bar of a layout page: a number of
// divisions of one ground length in a chosen unit, subdivisions of the first
// division, numeric labels, a unit label, tick marks, the bar height and the
// page width of one division. The bar follows the scale of one map frame,
// stores itself in its feature, lays itself out (Refresh), draws what every
// bar shares (marks, labels, unit label, frame) and converts that into plain
// elements. Concrete bars draw their own body and call the base.
//
// Page lengths are integers in 0.01 mm, y up. Units indexes the unit list:
// the spatial-reference factory's linear units 0..N-1, N degrees ("度"),
// N+1 and above the unknown unit ("未知单位").
#pragma once

#include <functional>
#include <string>

#include "host/basilo/igis_subject.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"

class IGIS_FrameProperty;
class IGIS_MapElement;
class IGIS_NumericFormat;
class IGIS_PropertySet;
class IGIS_ScaleMarks;
class IGIS_Symbol;

// The base's own type identifier (a bar of no concrete kind).
#define GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR"
#ifndef GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED
#define GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED "GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED"
#endif

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

class IGIS_ScaleBar : public CGIS_ElementImpl<IGIS_Element>, public IGIS_Observer {
 public:
  // ---- IGIS_Element ----
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool CanConvert() override { return true; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  void SetName(const char* szName) override;

  // ---- The bar's own operations ----
  // FALSE when it is the held object; otherwise keeps a clone (NULL: none).
  virtual BOOL SetFrameProperty(IGIS_FrameProperty* pFrame);
  virtual IGIS_FrameProperty* GetFrameProperty() { return m_pFrameProperty; }
  virtual int GetBarHeight() { return m_nBarHeight; }
  // Values below 1 are ignored, and every value by a straight scale line.
  virtual void SetBarHeight(int nHeight);
  virtual double GetDivision() { return m_dDivision; }
  virtual void SetDivision(double dDivision);
  virtual int GetDivisions() { return m_nDivisions; }
  virtual void SetDivisions(int nDivisions);
  virtual bool GetDivisionsBeforeZero() { return m_bDivisionsBeforeZero; }
  virtual void SetDivisionsBeforeZero(bool bBefore) { m_bDivisionsBeforeZero = bBefore; }
  virtual int GetLabelFrequency() { return m_nLabelFrequency; }
  virtual void SetLabelFrequency(int nFrequency);
  virtual int GetLabelGap() { return m_nLabelGap; }
  virtual void SetLabelGap(int nGap);
  virtual int GetLabelPosition() { return m_nLabelPosition; }
  virtual void SetLabelPosition(int nPosition) { m_nLabelPosition = nPosition; }
  virtual IGIS_Symbol* GetLabelSymbol() { return m_pLabelSymbol; }
  virtual void SetLabelSymbolPtr(IGIS_Symbol* pSymbol);
  virtual IGIS_NumericFormat* GetNumericFormat() { return m_pNumericFormat; }
  virtual void SetNumericFormatPtr(IGIS_NumericFormat* pFormat);
  virtual int GetSubDivisions() { return m_nSubDivisions; }
  virtual void SetSubDivisions(int nSubDivisions);
  virtual const char* GetUnitLabel() { return m_strUnitLabel.c_str(); }
  virtual void SetUnitLabel(const char* szLabel);
  virtual int GetUnitLabelGap() { return m_nUnitLabelGap; }
  virtual void SetUnitLabelGap(int nGap) { m_nUnitLabelGap = nGap; }
  virtual int GetUnitLabelPosition() { return m_nUnitLabelPosition; }
  virtual void SetUnitLabelPosition(int nPosition);
  virtual int GetUnits() { return m_nUnits; }
  virtual void SetUnits(int nUnits);
  virtual IGIS_ScaleMarks* GetScaleMarks() { return m_pScaleMarks; }
  virtual void SetScaleMarks(IGIS_ScaleMarks* pMarks);
  // The marks, numeric labels and unit label; FALSE without the page's
  // spatial reference or (after the marks and numbers) a text style.
  virtual BOOL OnDrawLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay);
  virtual int GetResizeHint() { return m_nResizeHint; }
  virtual void SetResizeHint(int nHint);
  virtual IGIS_Symbol* GetUnitLabelSymbol() { return m_pUnitLabelSymbol; }
  virtual void SetUnitLabelSymbolPtr(IGIS_Symbol* pSymbol);
  // Follows the frame (NULL: follows none and stores -100 as its ID).
  virtual void SetMapElement(IGIS_MapElement* pMapElement);
  // The followed frame, or NULL (also when it has been destroyed).
  virtual IGIS_MapElement* GetMapElement();
  // Lays the bar out: BarX, BarY and the element rectangle from the extent
  // of body, marks and labels.
  virtual void Refresh();
  virtual IGIS_NumericFormat* GetLatLonFormat() { return m_pLatLonFormat; }
  virtual void SetLatLonFormatPtr(IGIS_NumericFormat* pFormat);
  // The page width of one division at the followed frame's scale (kept as
  // BarWidth); BarWidth itself without a frame.
  virtual int GetDivisionWidth();
  // The width GetDivisionWidth gives now, keeping nothing: what drawings and
  // conversions use, so that they change no stored state.
  int PeekDivisionWidth();
  virtual void SetBarWidth(int nWidth) { m_nBarWidth = nWidth; }
  virtual void SetMapScale(double dScale) { m_dMapScale = dScale; }
  // Draws one numeric label standing on (x, y), centred on x.
  virtual void AddLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point position, double dValue);
  // Unused extension points; each answers TRUE.
  virtual BOOL ExtensionHook1(HDC, bool, IGIS_Display*, SGIS_Point, double) { return TRUE; }
  virtual BOOL ExtensionHook2(HDC, bool, IGIS_Display*, SGIS_Point, float) { return TRUE; }
  virtual BOOL ExtensionHook3(HDC, bool, IGIS_Display*, SGIS_Point, double) { return TRUE; }
  virtual BOOL ExtensionHook4(HDC, bool, IGIS_Display*, SGIS_Point, double) { return TRUE; }
  // One division mark and one subdivision mark from one page point to the other.
  virtual void AddMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from, SGIS_Point to);
  virtual void AddSubMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from, SGIS_Point to);

  // The symbol of the bar body that the format page edits: the first fill
  // of a two-fill bar, the line of a scale line.
  virtual IGIS_Symbol* GetBarSymbol() = 0;
  virtual void SetBarSymbol(IGIS_Symbol* pSymbol) = 0;

  // ---- Following a map frame ----
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // Copies every setting another bar stores, its name included; the frame
  // is taken over without attaching to it.
  IGIS_ScaleBar* CopyFrom(IGIS_ScaleBar* pOther);

  int GetBarWidth() const { return m_nBarWidth; }
  double GetMapScale() const { return m_dMapScale; }
  int GetBarX() const { return m_nBarX; }
  int GetBarY() const { return m_nBarY; }
  int GetMapElementID() const { return m_nMapElementID; }

 protected:
  // szClass names the class in log records of the element core.
  IGIS_ScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szClass);
  ~IGIS_ScaleBar() override;

  // True when the constructor made the feature (a new bar).
  bool MadeNewFeature() const { return m_bMadeFeature; }
  // A concrete constructor's mark on a new feature: "InterfacePtr" and "TYPE".
  void MarkNewFeature(const char* szType);
  // Commits the feature through the owner's feature class; FALSE on failure.
  BOOL CommitFeature(IGIS_Feature* pFeature, int nFlags);
  // The branches' part of Archive. Writing: the body symbols under their
  // keys (a missing key added with the key as description), then the
  // feature committed; FALSE when either fails. Reading: each stored symbol
  // seen through the view goes to take(index of its key, symbol); a missing
  // key keeps the held one; then Refresh. FALSE (record under szMethod)
  // without a feature or with a damaged stored set.
  BOOL ArchiveBody(int nRead, const char* szMethod, const md::layout::detail::BodySymbolKey* pKeys,
                   int nCount, md::layout::detail::SymbolView view,
                   const std::function<void(int, IGIS_Symbol*)>& take);

  int m_nBarHeight = 200;
  double m_dDivision = 1.0;
  int m_nDivisions = 6;
  bool m_bDivisionsBeforeZero = false;
  int m_nLabelFrequency = 3;
  int m_nLabelGap = 150;
  int m_nLabelPosition = 0;
  IGIS_Symbol* m_pLabelSymbol = nullptr;
  IGIS_NumericFormat* m_pNumericFormat = nullptr;
  int m_nSubDivisions = 4;
  std::string m_strUnitLabel;
  int m_nUnitLabelGap = 50;
  int m_nUnitLabelPosition = 2;
  int m_nUnits = 0;
  IGIS_ScaleMarks* m_pScaleMarks = nullptr;
  IGIS_FrameProperty* m_pFrameProperty = nullptr;
  int m_nMapHandle = 0;  // registry handle of the followed frame (0: none)
  int m_nMapElementID = -10;
  IGIS_Symbol* m_pUnitLabelSymbol = nullptr;
  int m_nResizeHint = 1;
  double m_dMapScale = 1000.0;
  IGIS_NumericFormat* m_pLatLonFormat = nullptr;
  int m_nBarX = 0;
  int m_nBarY = 0;
  int m_nBarWidth = 1000;

 private:
  // The division width at the followed frame's scale, with the division and
  // scale that keeping it would store.
  struct DivisionWidth {
    int nBarWidth;
    double dDivision;
    double dMapScale;
  };
  DivisionWidth ComputeDivisionWidth();
  void PutKeys(IGIS_PropertySet* pSet, bool bDescribe);
  void WriteNewCustom(IGIS_Feature* pFeature);
  void BindMapFrame(IGIS_MapElement* pFrame);
  void UnbindMapFrame();
  void RestoreFrom(IGIS_ScaleBar* pBackup);

  bool m_bMadeFeature = false;
};

// ---- Free functions of the scale bars -------------------------------------------

// Ground distance per page unit across the frame's map, in the unit code
// (1 metres, 2 degrees): the distance along the middle row of the map bound
// between points 1 % in from either side, over the same 98 % of the frame's
// page width. 0 without a frame, map, reference or width.
double GetGroundDistancePerPageUnit(IGIS_MapElement* pMapElement, int nUnitCode);

// The rectangle (x1 left, x2 right, y1 top, y2 bottom) grown to hold the point.
SGIS_DRect ExtendRectToPoint(SGIS_DRect rect, SGIS_DPoint point);

// The extent, in symbol units at scale 1.0, of a label text: the value
// written with the numeric format, or, for a frame whose map is geographic,
// as a plain number with the lat-lon format's settings.
SGIS_Rect MeasureLabelText(double dValue, IGIS_MapElement* pMapElement, IGIS_NumericFormat* pNumeric,
                           IGIS_NumericFormat* pLatLon, IGIS_Symbol* pTextSymbol);

// Adds one numeric label of the bar to a compound: its text (numeric format)
// with the bar's label symbol, standing centred on the position as drawn.
BOOL AddLabelTextElement(IGIS_Element* pCompound, IGIS_ScaleBar* pBar, SGIS_Point position, double dValue);
