// The host display that the host hands to every drawing, and its view, which
// maps page coordinates (integers or doubles in 0.01 mm, y up) to the device
// coordinates of the display's device context.
//
// "Device coordinates" of a view are the coordinates that drawing calls on
// the display's device context take: pixels (y down) on a screen display, the
// context's logical units (0.01 mm, y up, paper's top-left corner at 0, 0) on
// a print display. LogicalToDevice turns those into the context's pixels,
// where regions live.
//
// The spatial reference that the conversions take is the page's reference;
// page units are always 0.01 mm, so the display view does not need it (NULL
// is accepted everywhere).
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class CDC;
class IGIS_SpatialReference;

// Name of the printer interface of a display (GetInterface).
#define GIS_INTERFACE_DISP_PRINTER "GIS_INTERFACE_DISP_PRINTER"

// The printer interface: the printable paper in the print context's logical
// units (0.01 mm). The paper spans (0, 0) to (width, -height).
class IGIS_DisplayPrinter {
 public:
  virtual int GetPaperWidth() = 0;
  virtual int GetPaperHeight() = 0;

 protected:
  virtual ~IGIS_DisplayPrinter() = default;
};

class IGIS_DisplayView {
 public:
  // xy holds count (x, y) pairs of doubles, converted in place.
  virtual void PageToDevicePoints(double* xy, int count, IGIS_SpatialReference* pageReference) = 0;
  // Each corner field is converted on its own (left/right through x,
  // top/bottom through y); the result is not normalised.
  virtual SGIS_Rect PageToDeviceRect(SGIS_Rect pageRect, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_Point PageToDevicePoint(SGIS_Point pagePoint, IGIS_SpatialReference* pageReference) = 0;
  // In place; results rounded half away from zero.
  virtual void PageToDevice(int* x, int* y, IGIS_SpatialReference* pageReference) = 0;
  // The device area in pixels: (0, 0) to the context's HORZRES x VERTRES.
  virtual BOOL GetDeviceRect(RECT* rect) = 0;
  // Asks the host to redraw its view; counted (GetRedrawCount).
  virtual void Redraw(int what, BOOL erase) = 0;
  // How far the view is zoomed out: 1.0 shows the page at its real size,
  // 2.0 at half of it.
  virtual double GetScale() = 0;
  // Whether element drawing clips to the paper (printing).
  virtual BOOL IsClipping() = 0;
  // The framework device-context object of the display's context.
  virtual CDC* GetClipContext() = 0;
  // Logical coordinates of the display's context to its pixels, in place.
  virtual BOOL LogicalToDevice(POINT* point) = 0;
  // Factor on symbol and text sizes: 1.0 draws them at their real size.
  virtual double GetSymbolRatio() = 0;

  // The same conversions for double and integer records.
  virtual SGIS_DRect PageToDeviceRect(SGIS_DRect pageRect, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_DPoint PageToDevicePoint(SGIS_DPoint pagePoint, IGIS_SpatialReference* pageReference) = 0;
  virtual void PageToDevicePoints(SGIS_Point* points, int count, IGIS_SpatialReference* pageReference) = 0;

  // The inverses: device coordinates back to page coordinates.
  virtual void DeviceToPagePoints(double* xy, int count, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_Rect DeviceToPageRect(SGIS_Rect deviceRect, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_Point DeviceToPagePoint(SGIS_Point devicePoint, IGIS_SpatialReference* pageReference) = 0;
  virtual void DeviceToPage(int* x, int* y, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_DRect DeviceToPageRect(SGIS_DRect deviceRect, IGIS_SpatialReference* pageReference) = 0;
  virtual SGIS_DPoint DeviceToPagePoint(SGIS_DPoint devicePoint, IGIS_SpatialReference* pageReference) = 0;
  virtual void DeviceToPagePoints(SGIS_Point* points, int count, IGIS_SpatialReference* pageReference) = 0;

  // Rotation of the view in degrees (0 for a page view).
  virtual double GetRotateAngle() = 0;
  // The reference of the view's coordinates (the page reference the host
  // gave the display, or NULL).
  virtual IGIS_SpatialReference* GetSpatialReference() = 0;
  // The device area that can be drawn, in the view's device coordinates
  // (pixels on a screen, the context's logical units when printing). By
  // default the pixel area of GetDeviceRect (the zero rectangle without one).
  virtual SGIS_Rect GetDeviceClipRect() {
    RECT r{0, 0, 0, 0};
    if (!GetDeviceRect(&r)) return SGIS_Rect();
    return SGIS_Rect(r.left, r.top, r.right, r.bottom);
  }

 protected:
  virtual ~IGIS_DisplayView() = default;
};

class IGIS_Display {
 public:
  // The window the display shows in, or NULL.
  virtual HWND GetWindowHandle() = 0;
  // The display's view; the same object on every call, never NULL.
  virtual IGIS_DisplayView* GetView() = 0;
  // A named interface of the display or NULL. GIS_INTERFACE_DISP_PRINTER
  // gives an IGIS_DisplayPrinter*.
  virtual void* GetInterface(const char* name) = 0;

 protected:
  virtual ~IGIS_Display() = default;
};
