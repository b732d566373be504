// Printing a page onto a printer device context the caller made
// (md::win::CreatePrinterDC over its own canvas and text engine): what the
// demo and the render checks use to print on canvases of their own. Hosts
// use gis_pageprint.h.
#pragma once

#include "layout/graphicelement/print/gis_pageprint.h"

class IGIS_Element;

extern "C" {

// Draws the given elements in their order, or with elements NULL the page's
// top-level elements, onto the context over paper of that size; FALSE as
// gis_pageprint.h says.
__attribute__((visibility("default"))) BOOL GIS_PrintPageToDC(HDC hdc, IGIS_FeatureSet* page, int paperWidth,
                                                              int paperHeight, IGIS_Element* const* elements,
                                                              int count);

}  // extern "C"
