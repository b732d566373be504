// Device contexts over recording canvases for drawing tests, measuring text
// with the fixed-metrics engine so that layouts are exact: a printer page,
// whose view clips element drawing, and a screen, whose view does not; and a
// printed page painted with cairo, for render checks.
#pragma once

#include <functional>
#include <memory>

#include "host/basilo/sgis_types.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/win/wintypes.h"

namespace md::test {

// Whether `draw` (which must answer true) leaves the context's clip as a
// region selected before it ran.
bool LeavesTheClipAsItWas(HDC hdc, const std::function<bool()>& draw);

// A paper of widthMm x heightMm at the resolution whose top-left corner is
// the page point topLeft.
struct RecordingPrinter {
  RecordingPrinter(double widthMm, double heightMm, int dpi, SGIS_Point topLeft);
  ~RecordingPrinter();
  RecordingPrinter(const RecordingPrinter&) = delete;
  RecordingPrinter& operator=(const RecordingPrinter&) = delete;

  md::canvas::RecordingCanvas canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

// A canvas of width x height pixels at the resolution showing the page at
// the zoom, with the page point (originX, originY) at its top-left pixel.
struct RecordingScreen {
  RecordingScreen(int width, int height, int dpi, double zoom, double originX, double originY);
  ~RecordingScreen();
  RecordingScreen(const RecordingScreen&) = delete;
  RecordingScreen& operator=(const RecordingScreen&) = delete;

  md::canvas::RecordingCanvas canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_ScreenDisplay> display;
};

// Whether `draw` (which must answer true) leaves the context's clip as a
// region selected before it ran.
bool LeavesTheClipAsItWas(HDC hdc, const std::function<bool()>& draw);

// A paper of widthMm x heightMm at the resolution whose top-left corner is
// the page point topLeft, painted with cairo by draw(hdc, display) through a
// printer context (fixed-metrics text); NULL when no canvas could be made.
std::unique_ptr<md::canvas::CairoCanvas> PrintWithCairo(double widthMm, double heightMm, int dpi,
                                                        SGIS_Point topLeft,
                                                        const std::function<void(HDC, IGIS_Display*)>& draw);

}  // namespace md::test
