#include "tests/support/recordingdevices.h"

#include <cmath>

#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

RecordingPrinter::RecordingPrinter(double widthMm, double heightMm, int dpi, SGIS_Point topLeft)
    : canvas(static_cast<int>(std::lround(widthMm * dpi / 25.4)),
             static_cast<int>(std::lround(heightMm * dpi / 25.4))) {
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = dpi;
  setup.paperWidthMm = widthMm;
  setup.paperHeightMm = heightMm;
  hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  display = std::make_unique<CGIS_PrintDisplay>(hdc, static_cast<int>(std::lround(widthMm * 100)),
                                                static_cast<int>(std::lround(heightMm * 100)), topLeft);
  display->PrepareDC();
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

}  // namespace md::test
