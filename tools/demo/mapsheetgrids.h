// The map sheet's grids, as a national 1:50,000 topographic sheet carries
// them: the kilometre grid with its kilometre numbers in the gap between the
// frame and the band, the minute marks in the band, and the geographic
// coordinates at the sheet's corners. They are built through the grid and
// label exports and the grids' own setters, as a host builds them.
#pragma once

#include "tools/demo/mapsheet.h"

class IGIS_MapElement;
class IGIS_SpatialReference;

namespace md::demo {

// The grids' names in the frame's grid list, in list order (the first is
// drawn last, on top).
constexpr const char* kKilometreGridName = "方里网";
constexpr const char* kMinuteMarksName = "分度带";
constexpr const char* kCornerCoordinatesName = "图廓点经纬度";

// The kilometre grid's interval, in map metres.
constexpr double kKilometreInterval = 1000.0;
// The minute marks stand in the band, kept apart from the kilometre numbers
// in the gap before it as a printed sheet keeps them: each begins 1 mm short
// of the band (so that one over a dark piece of it still shows) and runs
// out through it.
constexpr int kMinuteMarkOffset = kSheetBorderOffset - 100;
constexpr int kMinuteMarkLength = kSheetBorderOffset + kSheetBorderWidth - kMinuteMarkOffset;
// The corner coordinates stand 1 mm beyond the band.
constexpr int kCornerLabelOffset = kSheetBorderOffset + kSheetBorderWidth + 100;
// The kilometre numbers stand off the frame: 1 mm above and below it, 0.6 mm
// beside it, where a full number (6 mm wide) still clears the band.
constexpr int kKilometreLabelOffsetY = 100;
constexpr int kKilometreLabelOffsetX = 60;
// The colour of the grids' lines, marks and texts.
constexpr COLORREF kSheetGridColor = RGB(20, 20, 20);  // as the band

// Whether two references store the same bytes (the same system, projection,
// parameters, units and names); false when either stores none.
bool SameReference(IGIS_SpatialReference* a, IGIS_SpatialReference* b);

// Adds the three grids to the frame's grid list, the kilometre grid in the
// sheet map's own reference. False when a grid could not be made or added
// (those made before stay in the list).
bool AddSheetGrids(IGIS_MapElement* frame, IGIS_Map* sheet);

}  // namespace md::demo
