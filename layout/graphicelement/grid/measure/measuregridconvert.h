// The conversion of a measured grid's own figure into plain elements.
#pragma once

class IGIS_Element;
class IGIS_MeasureGrid;

namespace md::layout::grid {
class MeasureGridPass;
}

namespace md::layout::measure {

// Adds the grid compound (the grid lines as polylines or the crossing marks
// as points, then the bottom, top, left and right ticks, then the sub-ticks
// of the same sides, each a two-point polyline) to the compound the grid's
// conversion prelude made, which holds the converted labels and border, and
// returns that compound. Everything lies in page units: the lines of the
// conversion's plan (grid::MeasureGridPass, made by the grid for this
// conversion; NULL when it could not be) are sampled with 200 segments,
// carried into the map's reference and mapped onto the page by the frame's
// scale and bound (without the division when the scale is not above 0, and
// without the map's rotation), then cut at the frame.
//
// NULL (with a record under "CGIS_MeasureGrid::ConvertToElement") for a NULL
// compound, and when the frame shows no map, there is no plan or no
// arithmetic object is made;
// the given compound and what it holds are then deleted from the feature
// set. When the owner makes no grid compound, or the conversion is cut
// short, the given compound comes back without one (nothing made for the
// grid is left behind).
IGIS_Element* ConvertMeasureGridFigure(IGIS_MeasureGrid* pGrid, IGIS_Element* pBase,
                                       const grid::MeasureGridPass* pPass);

}  // namespace md::layout::measure
