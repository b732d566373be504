// What a legend shows, as a list of marks in page units: class patches drawn
// with a class symbol at one, two or five points, and texts placed by their
// lower-left corner. The legend's drawing and its conversion into plain
// elements both work from the same list, so the two agree.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_CompoundElement;
class IGIS_Display;
class IGIS_FeatureSet;
class IGIS_SpatialReference;
class IGIS_Symbol;

namespace md::layout::legend {

// The symbol categories a patch is drawn in.
enum PatchCategory { kPatchPoint = 2, kPatchLine = 3, kPatchArea = 4 };

struct LegendMark {
  bool bPatch = false;
  IGIS_Symbol* pSymbol = nullptr;  // not owned: a class symbol or a format's text symbol
  int nCategory = 0;               // patches: kPatchPoint, kPatchLine or kPatchArea
  SGIS_Point points[5];            // patches: 1, 2 or 5 points; texts: the lower-left corner
  int nCount = 0;
  std::string text;
};
using LegendMarks = std::vector<LegendMark>;

// The patch of a class symbol of the category in the page rectangle: its
// centre (point), the horizontal line through its middle (line) or its
// closed outline (area). FALSE for another category.
bool AddPatchMark(LegendMarks* pMarks, IGIS_Symbol* pSymbol, int nCategory, int left, int right, int bottom,
                  int top);
void AddTextMark(LegendMarks* pMarks, IGIS_Symbol* pTextSymbol, const char* szText, SGIS_Point lowerLeft);

// Draws the marks through the display's view in one clip sequence: patches
// through the renderer, texts through the annotation drawer (alignment
// bottom-left), point marks and texts at the sizes the owner's unit ratio
// gives them. FALSE with a level-3 record under szMethod when the view, the
// renderer, the drawer or a point style is missing.
BOOL DrawLegendMarks(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                     const LegendMarks& marks, const char* szMethod, IGIS_FeatureSet* pOwner);

// Adds the marks to the compound as point, polyline, polygon and text
// elements of its owner; the number of elements made.
int ConvertLegendMarks(IGIS_CompoundElement* pCompound, const LegendMarks& marks);

}  // namespace md::layout::legend
