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
// metafilelimits.h): each file started while the budget lasts has its own
// whole time, and the painting of their drawings spends it too; once the
// budget is spent, a picture of the rest is crossed out in grey, and a
// record names its file. A metafile the helper has drawn but whose drawing
// would be painted past the budget is drawn whole from its pixels, with a
// record, and does not fail the page. A picture that cannot be drawn from
// its file (gone, unreadable, refused, past its time or its page's budget)
// is crossed out the same way and fails to draw, and so does a compound
// holding it.
//
// Threads: different pages may be printed, drawn, stored, read and converted
// on different threads at once; one page (its feature set and elements) is
// used by one thread at a time, with the context, surface and display it is
// drawn through. Pages on several threads may show the maps of one document
// that no thread changes meanwhile. What the library keeps for the process
// is locked or kept per thread. Each call here, and the feature set's
// SaveToFile, LoadFromFile and LoadPageFromFile, holds its page while it
// runs: another thread's such call on the page meanwhile answers FALSE, with
// one record naming the page (its file, or its address and name) and saying
// that it is in use on another thread, and the first call goes on unharmed.
// The holding thread may call in again (a store inside a drawing). Calls on
// the page's elements are not watched.
//
// Every call answers FALSE, with a log record saying what is wrong, for a
// page in use on another thread, a page without a spatial reference on its feature class (a new feature set
// has one; IGIS_FeatureClass::SetSpatialReference(NULL) takes it away), a
// feature whose stored "TYPE" names an element but that has no live element
// (a set read with LoadFromFile instead of LoadPageFromFile), a paper whose
// sides are not positive, a resolution out of range, an element that fails
// to draw (the others are still drawn; the element's own record says why,
// and only one that wrote none gets a record of the call naming it), a NULL
// or empty path, or output that cannot be written (the record gives the
// system's reason).
//
// A FALSE of GIS_PrintPageToFile writes the file only when the page was
// drawn: an element that failed to draw is crossed out where it can be, the
// others are drawn, and the file is written (replacing an existing one).
// Every other FALSE, where the page could not be drawn or written, writes no
// file and leaves an existing one as it was.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Display;
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
// is replaced only once all of the new one is written. While it runs, a print
// holds memory besides the pictures' capacity
// (platform/imaging/picturecache.h): a PNG its page's pixels (4 bytes a pixel
// at dpi) and the picture it is drawing, decoded; a PDF every picture of its
// page as drawn (4 bytes a pixel at its printed size, at most 600 dpi) until
// it ends, up to as much again while it writes the file.
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

// Draws the page's top-level elements as a screen shows them (not printing:
// no paper clip, draft frames as drafts) onto hdc through the caller's
// display, within one budget for the page's metafiles; FALSE as above for a
// NULL hdc or display too. hdc is a memory context (platform/win/wingdi.h):
// CreateCompatibleDC(NULL), 96 dpi, with a 32-bit CreateDIBSection selected
// into it and painted white (PatBlt WHITENESS; a new bitmap is black), whose
// pixels GetDIBits reads back. The display is the host display's screen view
// of hdc, a CGIS_ScreenDisplay (host/display/cgis_screendisplay.h) at a zoom
// from an origin, or an IGIS_Display of the host's own whose view maps page
// units to hdc's pixels as that one does (with GetDeviceRect the context's
// pixel area: a map frame draws no map without one).
__attribute__((visibility("default"))) BOOL GIS_DrawPageToDisplay(HDC hdc, IGIS_FeatureSet* page,
                                                                  IGIS_Display* display);

// Open and close one drawing of a page: what GIS_PageDrawing does. Begin
// answers NULL, with a level-3 "out of memory" record, when the drawing
// cannot be made; End takes NULL too. A drawing belongs to the thread that
// began it: End on another thread writes a level-3 record and ends it for
// the thread that began it, whose next metafile draws as after an End
// there, and leaves the calling thread's own drawing as it was.
__attribute__((visibility("default"))) void* GIS_BeginPageDrawing();
__attribute__((visibility("default"))) void GIS_EndPageDrawing(void* drawing);

}  // extern "C"

// One drawing of a page by a host that draws the elements itself (each
// element's OnDraw, with a context and display as for GIS_DrawPageToDisplay):
// while it lives, the metafiles the elements draw on this thread share the
// budget a print gives a page, past which a picture is crossed out, writes
// its record and answers FALSE.
// Without it each metafile has its own time only, however many there are:
// one that runs past it costs that time again at every drawing.
// Made on the thread that draws, around the drawing of one page; one made
// inside another shares the outer one's budget.
//
//   {
//     GIS_PageDrawing drawing;
//     for (IGIS_Element* e : elements) drawn = e->OnDraw(hdc, false, display) && drawn;
//   }
class GIS_PageDrawing {
 public:
  GIS_PageDrawing() : m_pDrawing(GIS_BeginPageDrawing()) {}
  ~GIS_PageDrawing() { GIS_EndPageDrawing(m_pDrawing); }
  GIS_PageDrawing(const GIS_PageDrawing&) = delete;
  GIS_PageDrawing& operator=(const GIS_PageDrawing&) = delete;

 private:
  void* m_pDrawing;
};
