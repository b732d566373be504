// A map frame whose map cannot be found: it names a map that its document
// does not hold, and it wrote the one record that says which when it was
// read or named. What follows the frame (its grids and their labels, the
// scale bars, the scale text, the legend) keeps its stored values, draws
// what it can, and adds no record of its own about that map.
#pragma once

class IGIS_MapElement;

namespace md::layout {

// True when the frame shows no map and the document of its page holds none
// of the name it keeps. A frame unbound on purpose (its map still in the
// document), or on a page outside any document, is not missing its map.
bool FrameMapMissing(IGIS_MapElement* pFrame);

}  // namespace md::layout
