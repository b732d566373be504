// What the scale bars share in drawing and converting their own bodies:
// fetching the drawing services once, the frame's first pass and draft box,
// filling page rectangles and drawing page point lists through the symbol
// renderer, and the column layout of the cell bars.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_CompoundElement;
class IGIS_Display;
class IGIS_DisplayView;
class IGIS_ScaleBar;
class IGIS_SpatialReference;
class IGIS_Symbol;
class IGIS_SymbolRenderer;

namespace md::layout::detail {

// The services a body drawing fetches once.
struct BodyPen {
  IGIS_SpatialReference* pReference = nullptr;
  IGIS_SymbolRenderer* pRenderer = nullptr;
  IGIS_DisplayView* pView = nullptr;
  SGIS_DrawParam param;  // device context, print flag, scale and clip value
};

// Fetches the page reference, (with bFeature) the bar's feature, the
// renderer and the display's view, writing a level-3 record under szMethod
// for the first that is missing; false then. The record of a missing page
// reference has the text each bar's description gives it.
bool FetchBodyPen(IGIS_ScaleBar* pBar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, const char* szMethod,
                  bool bFeature, BodyPen* pPen, const char* szNoReference = "p_spatialreference== NULL ");

// The frame's shadow and background under the element; in draft mode on
// screen also the draft box, and then true: nothing more is drawn.
bool DrawFrameUnder(IGIS_ScaleBar* pBar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, const BodyPen& pen);

// Fills the page rectangle (a closed five-point ring) with the symbol;
// nothing for a NULL symbol.
void FillPageRect(BodyPen* pPen, const SGIS_Rect& rect, IGIS_Symbol* pSymbol);

// Draws the page points as one point list with the symbol, each converted to
// the device; nothing for a NULL symbol or fewer than two points.
void DrawPagePoints(BodyPen* pPen, const SGIS_Point* pPoints, int nCount, IGIS_Symbol* pSymbol);

// Adds a rectangle element with the page rectangle and a copy of the fill to
// the compound and commits its feature; false when none can be made.
bool AddRectCell(IGIS_CompoundElement* pCompound, IGIS_ScaleBar* pBar, const SGIS_Rect& rect,
                 IGIS_Symbol* pFill);

// One column of a cell bar: its edges and whether its index from the left
// is even; lineRight is where a line through its middle ends.
struct BarColumn {
  int left = 0;
  int right = 0;
  bool bEven = true;
  int lineRight = 0;
};

// The columns of a cell bar: the first division cut into its subdivisions,
// then one column per further division, with the bar's base, middle and top.
struct BarColumns {
  int y0 = 0, ym = 0, yt = 0;
  std::vector<BarColumn> columns;
};
BarColumns LayOutColumns(IGIS_ScaleBar* pBar, const char* szMethod);

// The stepped line of a bar: a square wave starting up at the left end,
// one step per subdivision of the first division and per further division.
std::vector<SGIS_Point> SteppedOutline(IGIS_ScaleBar* pBar, const char* szMethod);

// The base's conversion of the bar (frame, marks, labels) as a compound;
// NULL (level-3 record under szMethod) when there is none.
IGIS_CompoundElement* ConvertBarBase(IGIS_ScaleBar* pBar, const char* szMethod);

// A new compound in the bar's owner for the bar's own elements, or NULL.
IGIS_CompoundElement* NewBodyCompound(IGIS_ScaleBar* pBar);

// Adds the body compound as the last member of the conversion; one that is
// refused is dropped with its members.
void AppendBody(IGIS_CompoundElement* pMain, IGIS_CompoundElement* pBody);

// The ruler of the bars that draw everything themselves (terra and
// topographic): marks standing on the base line at whole page lengths of
// one division each, numbers counting 1000 per division away from a zero one
// division in from the left end, a line under the numbers and the unit
// label at both ends. Every mark carries its number.
struct RulerMark {
  SGIS_Point from, to;
  bool bDivision = true;  // a division mark, else a subdivision mark
  SGIS_Point anchor;      // the number's anchor: centred, standing on it
  std::string text;
};
struct RulerLayout {
  std::vector<SGIS_Point> body;  // the bar body's outline
  std::vector<RulerMark> marks;  // division marks left to right, then subdivision marks
  SGIS_Point lineFrom, lineTo;   // the line under the numbers
  SGIS_Point unitAnchors[2];     // the unit label before and after the bar
};
struct RulerShape {
  int nSub = 1;            // subdivisions of the first division
  double step = 0.0;       // page width of one subdivision
  int divisionTop = 0;     // height of division marks and of the texts' anchors
  int subdivisionTop = 0;  // height of subdivision marks and of the line
};
// The marks, numbers, line and unit anchors from the rectangle's lower-left
// corner and the bar's Division taken as the page width of one division.
RulerLayout LayOutRuler(IGIS_ScaleBar* pBar, const RulerShape& shape);

// Draws the body (first fill), marks, numbers, line and unit labels of the
// ruler at symbol scale 1.0 without a clip; false (record under szMethod)
// without the text tools.
bool DrawRuler(IGIS_ScaleBar* pBar, BodyPen* pPen, IGIS_Display* pDisplay, const RulerLayout& ruler,
               IGIS_Symbol* pBodySymbol, const char* szMethod);

}  // namespace md::layout::detail
