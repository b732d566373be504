// md::pictar2::Graphics: a drawing surface with double-precision geometry, made on a
// device context or on a bitmap.
//
//   Graphics(hdc, RasterMode 0)   draws straight into hdc (printing).
//   Graphics(hdc, RasterMode 1)   draws straight into hdc as well; Update of
//                                 another context copies hdc's surface there.
//   Graphics(bitmap, RasterMode 1[, reference])
//                                 draws into a private copy of the bitmap's
//                                 pixels (the bitmap may stay selected in the
//                                 caller's memory context); Update(hdc) copies
//                                 that surface into hdc at (0, 0). The surface
//                                 has the resolution of `reference`, the
//                                 context the bitmap is drawn for (96 dpi
//                                 without one), so that millimetre widths
//                                 match the context's own drawing.
//
// Coordinates are logical coordinates of the surface's context, as doubles;
// they are taken to device pixels exactly (the context's mapping is affine)
// before they are rounded to sixteenths of a pixel for drawing. Widths are
// device pixels.
#pragma once

#include <vector>

#include "platform/win/wingdi.h"

namespace md::pictar2 {

enum RasterMode { RasterModeDevice = 0, RasterModeBitmap = 1 };

class Graphics {
 public:
  Graphics(HDC hdc, RasterMode mode);
  Graphics(HBITMAP bitmap, RasterMode mode, HDC reference = nullptr);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // FALSE when the surface could not be made (NULL handle, bad bitmap).
  BOOL IsValid() const { return dc_ != nullptr; }
  RasterMode GetMode() const { return mode_; }
  // The context the drawing goes into.
  HDC GetDC() const { return dc_; }

  // Copies the drawn surface into hdc. Nothing to do (TRUE) when hdc is the
  // surface's own context.
  BOOL Update(HDC hdc);

  // Device pixels per inch of the surface (LOGPIXELSY).
  double GetDpi() const;

  // Strokes an open polyline of `count` (x, y) pairs; `dash` holds on/off
  // lengths in device pixels (empty: solid).
  BOOL DrawPolyline(const double* xy, int count, COLORREF color, double width,
                    const std::vector<double>& dash = {});
  // Fills a ring; hatch < 0 fills solid, else one of the HS_* patterns
  // (gaps transparent).
  BOOL FillPolygon(const double* xy, int count, COLORREF color, int hatch = -1);
  // Outlines a ring.
  BOOL DrawPolygon(const double* xy, int count, COLORREF color, double width);

 private:
  bool DevicePoints(const double* xy, int count, std::vector<POINT>* out, bool closeRing) const;

  HDC dc_ = nullptr;
  RasterMode mode_;
  bool ownDc_ = false;
  HBITMAP ownBitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace md::pictar2
