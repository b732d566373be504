// Drawing in device pixels on any device context: the caller's logical points
// are taken to device pixels first, then the scope switches the context to a
// mapping of kSubPixels logical units per device pixel (origins 0, y down)
// until it ends, when the context's state is restored. Coordinates, pen
// widths and font heights handed to GDI are in those sixteenths of a pixel,
// so symbols and texts keep their fractional positions and sizes. The clip
// is kept: regions live in device space.
#pragma once

#include <vector>

#include "host/glyphor/gis_symbolstyles.h"
#include "platform/win/wingdi.h"

namespace md::tinctor {

// Logical units per device pixel inside a DeviceScope.
constexpr int kSubPixels = 16;

class DeviceScope {
 public:
  explicit DeviceScope(HDC hdc);
  ~DeviceScope();
  DeviceScope(const DeviceScope&) = delete;
  DeviceScope& operator=(const DeviceScope&) = delete;

  bool Ok() const { return saved_ != 0; }
  HDC Dc() const { return hdc_; }
  // Device pixels per inch, vertical (LOGPIXELSY; 96 when unknown).
  double Dpi() const { return dpi_; }

 private:
  HDC hdc_;
  int saved_ = 0;
  double dpi_ = 96.0;
};

// Logical points of hdc to device pixels (call before the scope switches).
std::vector<md::glyphor::XY> ToDevice(HDC hdc, const POINT* pts, int count);

// Device points (pixels) to the scope's logical units, rounded.
std::vector<POINT> ToPoints(const std::vector<md::glyphor::XY>& pts);

// The same two steps into the caller's buffers (replaced, their storage kept),
// for callers that draw many shapes in a row.
void ToDevice(HDC hdc, const POINT* pts, int count, std::vector<md::glyphor::XY>* out);
void ToPoints(const std::vector<md::glyphor::XY>& pts, std::vector<POINT>* out);
// ToPoints(ToDevice(...)) in one pass, for shapes drawn as they are.
void ToScopePoints(HDC hdc, const POINT* pts, int count, std::vector<POINT>* out);

// A pen selected for the lifetime of the object, then deleted; the brush is
// left as it is (for lines, which nothing fills).
class SelectedPen {
 public:
  // Inside a DeviceScope; width in device pixels (at least one).
  SelectedPen(HDC hdc, COLORREF color, double width);
  ~SelectedPen();
  SelectedPen(const SelectedPen&) = delete;
  SelectedPen& operator=(const SelectedPen&) = delete;

 private:
  HDC hdc_;
  HPEN pen_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// A pen and a brush selected for the lifetime of the object, then deleted.
class PenBrush {
 public:
  // Inside a DeviceScope; penWidth in device pixels (at least one); hatch < 0:
  // solid brush.
  PenBrush(HDC hdc, bool pen, COLORREF penColor, double penWidth, bool brush, COLORREF brushColor,
           int hatch = -1);
  ~PenBrush();
  PenBrush(const PenBrush&) = delete;
  PenBrush& operator=(const PenBrush&) = delete;

 private:
  HDC hdc_;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

// Pens and brushes selected in turn for a run of shapes: each distinct pen
// and brush is made once and selected as a PenBrush of the same values would
// select it; at the end the context's own pen and brush come back and every
// one made is deleted.
class PenBrushSet {
 public:
  explicit PenBrushSet(HDC hdc) : hdc_(hdc) {}
  ~PenBrushSet();
  PenBrushSet(const PenBrushSet&) = delete;
  PenBrushSet& operator=(const PenBrushSet&) = delete;

  // Inside a DeviceScope; penWidth in device pixels (at least one); solid brushes.
  void Select(bool pen, COLORREF penColor, double penWidth, bool brush, COLORREF brushColor);

 private:
  struct MadePen {
    COLORREF color;
    double width;
    HPEN pen;
  };
  struct MadeBrush {
    COLORREF color;
    HBRUSH brush;
  };
  HDC hdc_;
  std::vector<MadePen> pens_;
  std::vector<MadeBrush> brushes_;
  bool selected_ = false;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
};

}  // namespace md::tinctor
