// The geometry that the coordinate labels of the grids share, as plain
// functions: which of a line's crossings with the frame a side takes, where
// a side's label stands after its offsets, which crowded labels at the ends
// of a side are skipped, and where the text that the drawer places by an
// alignment code lies, so that a converted text element covers what the
// drawing shows. Which lines a side tries, how a line is sampled, the part
// of the map a frame shows and where a map point lies on the page are the
// grids' own arithmetic (grid/grid/gridlines.h), shared with the kinds.
//
// A label draws and converts its four sides in the order of kLabelSides. The
// bottom and top sides label the lines of constant x (vertical lines), the
// left and right sides those of constant y. Lines are sampled from their low
// end to their high end (south to north, west to east), so on a map that is
// not turned the bottom and left labels take the first crossing with the
// frame and the top and right labels the last.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"

class IGIS_CompoundElement;
class IGIS_MapElement;
class IGIS_MapGrid;
class IGIS_MapView;
class IGIS_Symbol;

namespace md::layout::label {

// Samples a coordinate label takes along each line: fine when printing and
// in conversions, coarse on a screen.
inline constexpr int kFineLabelSteps = 200;
inline constexpr int kCoarseLabelSteps = 20;
// The turn of a side's texts when its alignment flag is set, degrees.
inline constexpr double kTurnedLabelAngle = 90.0;

enum class LabelSide { Bottom = 0, Top = 1, Left = 2, Right = 3 };

inline constexpr LabelSide kLabelSides[] = {LabelSide::Bottom, LabelSide::Top, LabelSide::Left,
                                            LabelSide::Right};

// The one of four values that belongs to the side.
template <class T>
constexpr T BySide(LabelSide side, T bottom, T top, T left, T right) {
  switch (side) {
    case LabelSide::Bottom:
      return bottom;
    case LabelSide::Top:
      return top;
    case LabelSide::Left:
      return left;
    case LabelSide::Right:
      return right;
  }
  return bottom;
}

// True for the sides that label vertical lines (bottom and top).
constexpr bool LabelsVerticalLines(LabelSide side) {
  return side == LabelSide::Bottom || side == LabelSide::Top;
}

// True for the sides that take the last crossing of a line (top and right).
constexpr bool TakesLastCrossing(LabelSide side) {
  return side == LabelSide::Top || side == LabelSide::Right;
}

// The grid's label switch of the side (IGIS_MapGrid::GetLabelVisible): the
// coordinate labels write the sides their grid names.
bool GridLabelsSide(IGIS_MapGrid* pGrid, LabelSide side);

// The map frame of the grid a label is bound to, when it shows a map; NULL
// after a level-3 record under the method otherwise: "m_pMapGrid == NULL",
// "p_mapelement == NULL" or szNoMap.
IGIS_MapElement* LabelledFrame(IGIS_MapGrid* pGrid, const char* szMethod,
                               const char* szNoMap = "p_map == NULL");
// The view the frame's map is drawn in; NULL after the record
// "p_mainview == NULL".
IGIS_MapView* LabelledMapView(IGIS_MapElement* pFrame, const char* szMethod);

// ---- Crossings ------------------------------------------------------------

// The rectangle a line is crossed with, normalised (left <= right and
// bottom <= top as numbers). In device pixels y grows downwards: the side
// that a label calls "bottom" is then the edge of larger y.
struct CrossingFrame {
  SGIS_Rect rect;
  bool bYDown = false;

  // The y of the side's own edge (bottom or top), or the x (left or right).
  int EdgeOf(LabelSide side) const;
};

// What a side asks of the crossing it takes, beyond being the first or last.
enum class EdgeTest {
  kAny,  // every crossing counts
  // The crossing lies on the side's own edge: bottom and top have y on that
  // edge and x within it (bottom left <= x <= right, top left < x < right,
  // so a top crossing at a corner does not count); left and right have x on
  // their edge and bottom <= y <= top.
  kOnSide,
  // The crossing does not lie on one of the two edges across the side:
  // bottom and top refuse x equal to left or right, left and right refuse y
  // equal to bottom or top.
  kNotAtEnds,
};

// The crossing that the side takes among the nCount points that
// IGIS_GeoArithmetic::ClipPolylineToRect wrote for one line (the first for
// bottom and left, the last for top and right); false when there is none or
// it fails the test.
bool SideCrossing(LabelSide side, const SGIS_Point* pCrossings, int nCount, const CrossingFrame& frame,
                  EdgeTest test, SGIS_Point* pOut);

// ---- Offsets --------------------------------------------------------------

// The eight side offsets of a label, page units (0.01 mm).
struct SideOffsets {
  int nLeftX = 0, nRightX = 0, nTopX = 0, nBottomX = 0;
  int nLeftY = 0, nRightY = 0, nTopY = 0, nBottomY = 0;
};

// Where a side's label stands: the crossing (page units, y up) moved by the
// side's offsets, each positive offset away from the frame on its side and
// the same way along it on every side: bottom (x + BottomX, y - BottomY), top
// (x + TopX, y + TopY), left (x - LeftX, y + LeftY), right (x + RightX,
// y + RightY).
SGIS_DPoint OffsetForSide(LabelSide side, SGIS_DPoint page, const SideOffsets& offsets);

// ---- Crowded ends ---------------------------------------------------------

// One label of a side: where it stands and its text. A skipped record stays
// in its list but is neither drawn nor converted.
struct GridLabelRecord {
  SGIS_Point position;
  std::string text;
  bool bSkipped = false;
};

// The steps d between neighbouring labels that count as crowded:
// dLow <= d <= dHigh, or dLow < d < dHigh when bOpen.
struct CrowdRange {
  double dLow = 0.0;
  double dHigh = 4.0;
  bool bOpen = false;

  bool Holds(double d) const { return bOpen ? (dLow < d && d < dHigh) : (dLow <= d && d <= dHigh); }
};

// Skips the crowded runs at both ends of a side's labels, measuring along
// the side (x for bottom and top, y for left and right). Forward, from the
// first label: while the step to the next label is crowded (leading), the
// label is skipped. Backward, from the last label: while the previous label
// is not skipped and the step from it is crowded (trailing), the label is
// skipped. So of a crowded run at the start only its last label stays, of
// one at the end only its first, and of a side that is one run only its last
// label. Records skipped before the call count as skipped.
void AlignLabels(std::vector<GridLabelRecord>* pRecords, LabelSide side, CrowdRange leading = CrowdRange(),
                 CrowdRange trailing = CrowdRange());

// ---- Text placement -------------------------------------------------------

// The drawer places a text by the code's point of the level text's box and
// then turns it about the anchor. For a text turned a quarter
// counter-clockwise, the code that puts the point `nTurnedCode` of the
// turned box on the anchor: the turned box's top is the level box's right,
// its left the level box's top (5 -> 7, 1 -> 3, 7 -> 1, 3 -> 5, 0 -> 0).
int QuarterTurnedAlignment(int nTurnedCode);

// The bound of a text that the annotation drawer places by an alignment code
// (host/notara/igis_annostyle.h): the level box of width w and height h put
// with its code's point on the anchor, then turned counter-clockwise (y up)
// about the anchor by the angle in degrees. All in one unit, y up. A text
// element placed by the left-bottom corner of this bound, with the same
// size and angle, covers what the drawer draws.
SGIS_DRect AlignedTextBound(int nAlignment, SGIS_DPoint anchor, double w, double h, double dAngle);

// Adds to the compound a text element in the symbol (its size and angle)
// whose bound covers what the drawer draws with the code at the anchor
// (page units): the text's extent at scale 1.0 times dRatio (the owner's
// unit ratio), placed by AlignedTextBound's lower-left corner, rounded.
// FALSE when no element could be made.
bool CreateAlignedText(IGIS_CompoundElement* pCompound, IGIS_Symbol* pSymbol, int nAlignment,
                       SGIS_DPoint anchor, const char* szText, double dRatio);

}  // namespace md::layout::label
