// Drawing a graticule over its map frame's map, and turning it into plain
// elements. Each call reads the grid only through its interfaces, takes the
// plan the grid made for the drawing or conversion (grid::GraticulePass:
// the geographic frame of the map, what the frame shows in degrees, the
// lines) and lays the graticule's figure (graticulefigure.h) into device or
// page coordinates.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;
class IGIS_GraticuleGrid;

namespace md::layout::grid {
class GraticulePass;
}

namespace md::layout::graticule {

// The methods the log records name.
inline constexpr const char* kOnDraw = "CGIS_GraticuleGrid::OnDraw";
inline constexpr const char* kOnDrawHatchLine = "CGIS_GraticuleGrid::OnDrawHatchLine";
inline constexpr const char* kOnDrawInteriorLabel = "CGIS_GraticuleGrid::OnDrawInteriorLabel";
inline constexpr const char* kConvertToElement = "CGIS_GraticuleGrid::ConvertToElement";

// The meridians and parallels (or the markers at their crossings) and the
// main and sub ticks of the four sides, over the map of the grid's frame
// (the base's border and labels are not drawn here), on the drawing's plan
// (made with the display). False when the grid has no frame, the frame no
// map (with a record), the map's reference no degrees (the plan not built),
// there is no renderer or display (with a record), or the drawing was cut
// short.
bool DrawGraticuleLines(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                        const grid::GraticulePass& plan);

// The interval, main and sub hatches across the grid's parallels and
// meridians. False as DrawGraticuleLines.
bool DrawGraticuleHatches(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                          const grid::GraticulePass& plan);

// The longitude and latitude of each crossing of the interior-label
// intervals inside the frame, in the degrees-minutes-seconds form of the
// grid's DMS label. False as DrawGraticuleLines, and when the grid has no
// DMS label (with a record); an interval that is not above 0 draws nothing
// (a record for each such axis) and answers true.
bool DrawGraticuleInteriorLabels(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                 const grid::GraticulePass& plan);

// Adds the graticule's own pieces, laid on the conversion's plan, to the
// compound its base conversion made: a group of hatch lines and a group of
// interior labels (each only when it holds something), then the group of
// lines, markers and ticks. Returns the compound; NULL (after removing the
// compound and what was made) when the conversion was cut short.
IGIS_Element* ConvertGraticule(IGIS_GraticuleGrid* pGrid, IGIS_Element* pResult,
                               const grid::GraticulePass& plan);

}  // namespace md::layout::graticule
