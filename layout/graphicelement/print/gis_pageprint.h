// Printing a layout page. A page is a feature set whose features carry
// elements (made by the element factory on it, or rebuilt by its
// LoadPageFromFile). Printing draws its top-level elements, those no compound
// holds (a compound draws its members), in feature order with the print flag,
// through the host's print display: page units of 0.01 mm, y up, the page's
// top-left corner (0, paperHeight) on the paper's top-left corner.
//
// Text is measured and drawn with the FreeType text engine (fontconfig's
// faces; Chinese faces fall back to the installed CJK font).
//
// The metafiles of one page share a budget of time (platform/imaging/
// metafilelimits.h): once it is spent, a picture of the rest is crossed out
// in grey, and a record names its file.
//
// Every call answers FALSE, with a log record saying what is wrong, for a
// page without a spatial reference on its feature class (a new feature set
// has one; IGIS_FeatureClass::SetSpatialReference(NULL) takes it away), a
// feature whose stored "TYPE" names an element but that has no live element
// (a set read with LoadFromFile instead of LoadPageFromFile), a paper whose
// sides are not positive, a resolution out of range, an element that fails
// to draw (the others are still drawn), a NULL or empty path, or output that
// cannot be written (the record gives the system's reason).
#pragma once

#include "platform/win/wintypes.h"

class IGIS_FeatureSet;
typedef struct _cairo_surface cairo_surface_t;

// Resolutions, in dots per inch: rasters from GIS_PRINT_MIN_DPI to
// GIS_PRINT_MAX_RASTER_DPI; vector output up to GIS_PRINT_VECTOR_DPI, whose
// device grid is one page unit (0.01 mm), the finest there is.
constexpr int GIS_PRINT_MIN_DPI = 36;
constexpr int GIS_PRINT_MAX_RASTER_DPI = 600;
constexpr int GIS_PRINT_VECTOR_DPI = 2540;

extern "C" {

// Prints the page onto paper of paperWidth x paperHeight page units into a
// file chosen by the path's ending: ".png" a white raster at dpi, ".pdf" a
// one-page PDF whose drawing lies on a device grid of dpi. An existing file
// is replaced only once all of the new one is written.
__attribute__((visibility("default"))) BOOL GIS_PrintPageToFile(IGIS_FeatureSet* page, int paperWidth,
                                                                int paperHeight, int dpi, const char* path);

// Draws the page onto the caller's cairo surface, which stays the caller's
// (it is flushed, not finished). An image surface takes the paper at dpi,
// one pixel a device pixel, its top-left pixel the paper's top-left corner
// (make it round(paper mm / 25.4 * dpi) pixels wide and high, painted white
// first as paper is); any other surface (PDF, SVG, recording) receives the
// paper in points from its origin, on a device grid of dpi.
__attribute__((visibility("default"))) BOOL GIS_PrintPageToSurface(IGIS_FeatureSet* page, int paperWidth,
                                                                   int paperHeight, int dpi,
                                                                   cairo_surface_t* surface);

}  // extern "C"
