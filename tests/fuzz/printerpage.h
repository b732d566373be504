// A 400 x 300 mm printer page at 25 dpi over a recording canvas, on which the
// grid and border inputs draw; the drawing must stay within a count of
// records, or the input did unbounded work.
#pragma once

#include <cstddef>
#include <cstdlib>

#include "host/display/cgis_printdisplay.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test::fuzz {

template <typename Draw>
void DrawOnPrinterPage(std::size_t maxRecords, Draw draw) {
  md::canvas::RecordingCanvas canvas(400, 300);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 25;
  setup.paperWidthMm = 400.0;
  setup.paperHeightMm = 300.0;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup);
  {
    CGIS_PrintDisplay display(hdc, 40000, 30000, SGIS_Point(0, 30000));
    display.PrepareDC();
    draw(hdc, &display);
  }
  DeleteDC(hdc);
  if (canvas.records().size() > maxRecords) std::abort();
}

}  // namespace md::test::fuzz
