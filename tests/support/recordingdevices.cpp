#include "tests/support/recordingdevices.h"

#include <cmath>

#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

namespace {

// A printer context over the canvas and its prepared display.
HDC OpenPrinter(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi, SGIS_Point topLeft,
                std::unique_ptr<CGIS_PrintDisplay>* pDisplay) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = widthMm;
  setup.paperHeightMm = heightMm;
  HDC hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
  *pDisplay = std::make_unique<CGIS_PrintDisplay>(hdc, static_cast<int>(std::lround(widthMm * 100)),
                                                  static_cast<int>(std::lround(heightMm * 100)), topLeft);
  (*pDisplay)->PrepareDC();
  return hdc;
}

}  // namespace

RecordingPrinter::RecordingPrinter(double widthMm, double heightMm, int dpi, SGIS_Point topLeft)
    : canvas(static_cast<int>(std::lround(widthMm * dpi / 25.4)),
             static_cast<int>(std::lround(heightMm * dpi / 25.4))) {
  hdc = OpenPrinter(&canvas, widthMm, heightMm, dpi, topLeft, &display);
}

RecordingPrinter::~RecordingPrinter() {
  display.reset();
  DeleteDC(hdc);
}

RecordingScreen::RecordingScreen(int width, int height, int dpi, double zoom, double originX, double originY)
    : canvas(width, height) {
  hdc = md::win::CreateScreenDC(&canvas, dpi, &md::text::FixedMetricsEngine());
  display = std::make_unique<CGIS_ScreenDisplay>(hdc, zoom, originX, originY);
}

RecordingScreen::~RecordingScreen() {
  display.reset();
  DeleteDC(hdc);
}

bool LeavesTheClipAsItWas(HDC hdc, const std::function<bool()>& draw) {
  HRGN before = CreateRectRgn(100, 100, 900, 700);
  SelectClipRgn(hdc, before);
  const bool drawn = draw();
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  const bool same = GetClipRgn(hdc, after) == 1 && EqualRgn(before, after);
  DeleteObject(before);
  DeleteObject(after);
  return drawn && same;
}

std::unique_ptr<md::canvas::CairoCanvas> PrintWithCairo(double widthMm, double heightMm, int dpi,
                                                        SGIS_Point topLeft,
                                                        const std::function<void(HDC, IGIS_Display*)>& draw) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(widthMm, heightMm, dpi);
  if (canvas == nullptr) return canvas;
  std::unique_ptr<CGIS_PrintDisplay> display;
  HDC hdc = OpenPrinter(canvas.get(), widthMm, heightMm, dpi, topLeft, &display);
  draw(hdc, display.get());
  display.reset();
  DeleteDC(hdc);
  return canvas;
}

}  // namespace md::test
