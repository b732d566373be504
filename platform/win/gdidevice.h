// Making device contexts for this platform's drawing targets, and reading
// back what the graphics objects hold.
#pragma once

#include <vector>

#include "platform/canvas/canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/wingdi.h"

namespace md::win {

// A screen context draws into `target` (not owned; it must outlive the
// context). HORZRES/VERTRES are the canvas size, LOGPIXELSX/Y the dpi,
// TECHNOLOGY DT_RASDISPLAY. Text is measured by `engine` (FreeType when
// null). Delete with DeleteDC.
HDC CreateScreenDC(canvas::Canvas* target, int dpi = 96, text::TextEngine* engine = nullptr);

// A printer page. Device coordinates start at the top-left corner of the
// printable area; HORZRES/VERTRES are the printable size in pixels,
// PHYSICALWIDTH/HEIGHT the paper in pixels and PHYSICALOFFSETX/Y the
// unprintable left and top margins in pixels.
struct PrinterSetup {
  int dpiX = 600;
  int dpiY = 600;
  double paperWidthMm = 210.0;  // A4 portrait
  double paperHeightMm = 297.0;
  double marginLeftMm = 0.0;  // unprintable margins
  double marginTopMm = 0.0;
  double marginRightMm = 0.0;
  double marginBottomMm = 0.0;
};
HDC CreatePrinterDC(canvas::Canvas* target, const PrinterSetup& setup, text::TextEngine* engine = nullptr);

// The engine a context measures text with; setting returns FALSE for a bad HDC.
BOOL SetDCTextEngine(HDC hdc, text::TextEngine* engine);
text::TextEngine* GetDCTextEngine(HDC hdc);

// The canvas a context draws into now (for a memory context: the canvas on
// its selected bitmap; null when it has no drawable bitmap).
canvas::Canvas* GetDCCanvas(HDC hdc);

// The device-space rectangles of a region in y-x order; empty for a bad handle.
std::vector<RECT> GetRegionRects(HRGN rgn);

// Pixels of a bitmap, top-down view; false for a bad handle.
bool GetBitmapImage(HBITMAP bitmap, canvas::Image* image);

// Window device contexts: the user-interface layer tells which canvas and
// size belong to a window. Without a provider, or when it answers false,
// GetDC gives a screen context on a private recording canvas of 1 x 1.
struct WindowSurface {
  canvas::Canvas* canvas = nullptr;
  int dpi = 96;
};
using WindowSurfaceProvider = bool (*)(HWND hwnd, WindowSurface* surface);
void SetWindowSurfaceProvider(WindowSurfaceProvider provider);

// Number of live graphics objects (pens, brushes, fonts, regions, bitmaps,
// contexts; stock objects excluded). Tests use it to find leaks.
std::size_t LiveObjectCount();

}  // namespace md::win
