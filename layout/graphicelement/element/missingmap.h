// A map frame whose map cannot be found: it names a map that its document
// does not hold, or its page has no map layer to reach a document through,
// and the one record that says so was written when it was read or named
// (for a page without a map layer, once for the whole page). What follows
// the frame (its grids and their labels, the scale bars, the scale text, the
// legend) keeps its stored values, draws what it can, and adds no record of
// its own about that map.
#pragma once

class IGIS_MapElement;

namespace md::layout {

// True when the frame shows no map, keeps a map's name, and its page has no
// map layer or its page's document holds no map of that name. A frame
// unbound on purpose (its map still in the document), one that names no map
// or one on no page is not missing its map.
bool FrameMapMissing(IGIS_MapElement* pFrame);

}  // namespace md::layout
