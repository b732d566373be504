// What the mixed-font label's drawing and conversion share, as plain
// functions: how a label text splits into its two parts, which labels of a
// side keep their first part, the zone number of the grid's projection, and
// where each part of one label stands.
//
// Everything here is in page units (0.01 mm, y up). The parts of a label are
// placed by the lower-left corner of each part's level text box; a turned
// label turns every part a quarter counter-clockwise about that corner, so
// that it reads upwards, as the annotation drawer and a turned text element
// draw it.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/label/labelgeometry.h"

class IGIS_Projection;

namespace md::layout::label {

// One label of a side after splitting: where it stands (its crossing moved
// by the side's offsets) and its two parts. A first part blanked by the
// position rule is empty.
struct MixedLabel {
  SGIS_DPoint point;
  std::string first;
  std::string second;
};

// Splits a label text. By count: the last nDigits characters (a count below
// 0 counts as 0) are the second part and the rest the first; a text of no
// more characters than that gives "0" and the whole text. At the decimal
// point: the text before the first "." and the rest from the "." on; a text
// without a "." after its first character is the first part alone.
// Characters are UTF-8 characters, never cut.
void SplitLabelText(const std::string& text, bool bByCount, int nDigits, std::string* pFirst,
                    std::string* pSecond);

// Blanks the first parts of a side's labels (in their order along it) that
// the position rule drops; the first label always keeps its first part.
// 1: all but the first and the last; 2: each equal to the last one kept
// before it; 3: as 2, but never the last label. 0 and every other value
// blank nothing.
void BlankFirstParts(std::vector<MixedLabel>* pLabels, int nPosition);

// The zone number of a projection from its central meridian in degrees, its
// zone width and its zone number parameter: the zone number when it is above
// 0 (up to 999); otherwise, for a 3-degree zone, the central meridian
// (counted east over 0 to 360 degrees) divided by 3, rounded half away from
// zero (1 to 120); for any other width the 6-degree zone that holds the
// meridian, counted east from Greenwich (1 to 30) and on west of it (31 to
// 60). 0 (no zone) for a central meridian that is not finite.
int ZoneNumber(double dCentralMeridian, double dZoneWidth, double dZoneNumber);

// Whether the projection is one whose zone number a label writes ("墨卡托投影",
// "通用墨卡托投影" or "高斯投影"), and that number (0: none).
bool ProjectionHasZones(IGIS_Projection* pProjection);
int ZoneNumberOf(IGIS_Projection* pProjection);

// The sizes of one label's parts, page units: the widths of the two parts
// and of the zone number (0 when the label shows none), the heights of a
// line of text in the first and the second part's symbol, and the zone
// number's height.
struct MixedPartSizes {
  double dFirstWidth = 0.0;
  double dSecondWidth = 0.0;
  double dZoneWidth = 0.0;
  double dFirstHeight = 0.0;
  double dSecondHeight = 0.0;
  double dZoneHeight = 0.0;
};

// Where a label's parts stand: the lower-left corners of their level boxes.
struct MixedPartAnchors {
  SGIS_DPoint first;
  SGIS_DPoint second;
  SGIS_DPoint zone;
};

// The parts of the label at the point on the side. Level: bottom and top
// labels end their first part and start their second on the point's x, the
// zone number before the first part; bottom labels hang below the point,
// top labels stand on it; left labels end at the point and right labels
// start there, standing on it. Turned: bottom and top labels run along
// their line, the zone number, first and second part upwards, ending at the
// point (bottom) or starting there (top), the taller part centred on the
// line; left and right labels end their first part and start their second
// on the point's y, left of it (left) or right of it (right).
MixedPartAnchors PlaceMixedParts(LabelSide side, bool bTurned, SGIS_DPoint point,
                                 const MixedPartSizes& sizes);

}  // namespace md::layout::label
