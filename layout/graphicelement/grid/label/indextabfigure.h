// The figure of the index tab styles, laid out once in page units: the
// rings of a style's tabs and the designations written in them. Drawing
// turns each ring into device points and fills and outlines it; conversion
// makes each ring a polygon and a polyline, so a converted grid shows what
// its drawing showed.
//
// Vocabulary. A cell is one column (counted from the frame's left edge) or
// one row (counted from its bottom edge). Along each side lies a band of
// tabs, one per column on the bottom and top sides and one per row on the
// left and right sides. The band is nThickness deep; its signed depth t is
// +nThickness when the tabs lie outside the frame and -nThickness when they
// lie inside it, so a positive t points away from the frame's interior.
// Every computed page coordinate is rounded half away from zero; the frame
// edges are used as they are.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/label/labelgeometry.h"

namespace md::layout::grid {
class CGIS_GridCapRecord;
}

namespace md::layout::label {

// The frame and cells a tab style lays its tabs on.
struct TabFrame {
  SGIS_Rect rect;    // the map frame, page units, y up
  int nColumns = 1;  // tabs per horizontal side: the column count raised to 1 and cut to the cap
  int nRows = 1;     // tabs per vertical side
  double w = 0.0;    // cell width: the frame's width / the raised column count
  double h = 0.0;    // cell height
  int nThickness = 0;
  double t = 0.0;  // signed depth
};

// The frame of a drawing or conversion. Counts below 1 count as 1; counts
// beyond the grid line cap are cut to it (noted in caps as "tabs"), the
// cells keeping the size of the whole count.
TabFrame MakeTabFrame(const SGIS_Rect& rect, int nColumns, int nRows, int nThickness, bool bOutside,
                      md::layout::grid::CGIS_GridCapRecord& caps);

// One tab's closed ring: nCount points, the last repeating the first.
struct TabRing {
  std::array<SGIS_Point, 7> points;
  int nCount = 0;
};

// The rings of each style, in the order they are drawn and converted: the
// bottom, top, left and right bands, each along its side. Drawing and
// conversion take the same rings: a cell-long tab ends one cell from its
// rounded start, rounded (with cells of 333.33, the second of three spans
// 333..666 and the third 667..1000).
using TabShape = std::vector<TabRing> (*)(const TabFrame& frame);

// Continuous (mitred) band: the two end tabs of a side reach the band's
// outer corner, so that neighbouring sides meet along the corner's
// diagonal; between them the middle tabs are cell-long quadrilaterals.
// Within a side: the first tab, the last, then the middle ones from the
// low end. One column gives a first and a last tab both spanning the side.
std::vector<TabRing> ContinuousTabs(const TabFrame& frame);
// Buttons: one cell-long rectangle per cell, t deep; the corner squares of
// the band stay empty.
std::vector<TabRing> ButtonTabs(const TabFrame& frame);
// Rounded buttons: one six-cornered ring per cell, always outside the frame
// and nThickness deep, its two outer corners cut off by r = nThickness / 2
// (truncated) along the side and across it.
std::vector<TabRing> RoundedTabs(const TabFrame& frame);
// Backgrounds: one box per cell, nThickness wide centred on the cell (its
// start truncated by half the width) and reaching from the frame edge
// across the band.
std::vector<TabRing> BackgroundBoxes(const TabFrame& frame);

// The designation of column or row nIndex (from 0) under the index grid's
// letter setting: columns carry numbers when nXYLabelType is 0 and letters
// otherwise, rows numbers when it is 1 and letters otherwise. Letters run
// from "A" through the code table without wrapping ("[" follows "Z"); where
// the code would pass 126 (no longer a printable character) the number is
// written instead.
std::string DesignationText(bool bColumn, int nIndex, int nXYLabelType);

// One designation: its text and where its centre stands (page units).
struct TabDesignation {
  SGIS_Point anchor;
  std::string text;
};

// The designations of one side, along it from the low end: each centred on
// its cell along the side and on the middle of the band across it (t / 2
// from the edge), then moved by the side's offsets.
std::vector<TabDesignation> SideDesignations(const TabFrame& frame, LabelSide side,
                                             const SideOffsets& offsets, int nXYLabelType);

}  // namespace md::layout::label
