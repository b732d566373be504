// The library's own hold on the process-wide border factory (not installed).
#pragma once

namespace md::layout {
// Ends the process-wide border factory when one was made (the library's
// unload); the next GIS_GetMapBorderFactoryObject makes a new one.
void ReleaseMapBorderFactory();
}  // namespace md::layout
