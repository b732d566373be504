// Printing the demo page: a printer device context on a canvas with the
// chosen text engine, and the library's page printing on it
// (layout/graphicelement/print/gis_pageprint.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"

class IGIS_Element;

namespace md::canvas {
class CairoCanvas;
}
namespace md::text {
class TextEngine;
}

namespace md::demo {

class Page;

// Resolutions the demo accepts, in dots per inch.
constexpr int kMinDpi = 36;
constexpr int kMaxDpi = 600;

// Prints the page onto the canvas, which must span the page's paper at
// `dpi` (kMinDpi up to the vector files' resolution). Text is measured by `engine` (FreeType when null).
// False with a message when the context cannot be made or an element fails to draw.
bool PrintPage(Page& page, md::canvas::Canvas* canvas, int dpi, md::text::TextEngine* engine,
               std::string* error);

// Prints only those elements of the page, in that order, as PrintPage does.
bool PrintElements(Page& page, const std::vector<IGIS_Element*>& elements, md::canvas::Canvas* canvas,
                   int dpi, md::text::TextEngine* engine, std::string* error);

// The page printed into a new white raster of the paper at `dpi`.
std::unique_ptr<md::canvas::CairoCanvas> PrintRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                     std::string* error);

// The page printed into a one-page PDF or SVG file (by the path's ending),
// on a device grid of one page unit whatever the raster's resolution.
bool PrintVector(Page& page, const std::string& path, md::text::TextEngine* engine, std::string* error);

}  // namespace md::demo
