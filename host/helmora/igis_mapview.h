// The view of the main controller: maps map coordinates to the device
// coordinates of the context a map is drawn into, through a device
// rectangle, an extent and a rotation.
//
// The view holds the extent's centre c, the device rectangle's centre d and
// r device units per map unit. A map point p turns counter-clockwise by the
// rotation a about c and lands at
//   x = d.x + r * ((p.x - c.x) cos a - (p.y - c.y) sin a)
//   y = d.y -/+ r * ((p.x - c.x) sin a + (p.y - c.y) cos a)
// where the minus holds for a device rectangle with top < bottom (pixels,
// y down) and the plus for one with top > bottom (a printing context's
// logical units, y up). The device-to-map conversions are the exact inverse.
//
// The display-view operations it inherits take map coordinates where their
// names say "page"; their reference argument is ignored (the view converts
// in its own reference, GetSpatialReference).
#pragma once

#include "host/display/igis_display.h"

class IGIS_Map;

class IGIS_MapView : public IGIS_DisplayView {
 public:
  // Bracket a group of settings (nesting counted, unbalanced EndUpdate calls
  // ignored). Settings take effect at once; IsUpdating tells whether a
  // bracket is open.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // The device rectangle the map fills (coordinates of the drawing context).
  // A rectangle of zero width or height is refused (FALSE, log record, view
  // unchanged). The extent shown keeps its centre and fits the new rectangle.
  virtual BOOL SetDeviceRect(SGIS_Rect rect) = 0;
  // Shows rect (in reference, NULL: the view's own) fitted whole into the
  // device rectangle about its centre. FALSE (view unchanged, log record) for
  // non-finite values or an empty rectangle, or when the rectangle cannot be
  // carried into the view's reference. The option and flag are not used.
  virtual BOOL ZoomToExtent(SGIS_DRect rect, int option, IGIS_SpatialReference* reference, int flag) = 0;
  // Shows rect as ZoomToExtent in the view's own reference.
  virtual BOOL SetExtent(SGIS_DRect rect) = 0;
  // The map extent the device rectangle shows (unrotated: the rectangle
  // about the centre with the device rectangle's size over r; x1 left,
  // x2 right, y1 top, y2 bottom).
  virtual SGIS_DRect* GetExtent(SGIS_DRect* out) = 0;
  // The bound map's full extent (the zero rectangle without a map).
  virtual SGIS_DRect* GetFullExtent(SGIS_DRect* out, int option) = 0;
  // ZoomToExtent of the full extent; FALSE without a map or features.
  virtual BOOL ZoomFullExtent(int option) = 0;
  // FALSE for a non-finite angle. The option is not used.
  virtual BOOL SetRotateAngle(double degrees, int option) = 0;
  virtual void SetAutoControlVectorSubLayer(BOOL automatic) = 0;
  virtual BOOL GetAutoControlVectorSubLayer() = 0;
  // Asks for the map to be drawn again (counted: GetRefreshCount).
  virtual void Refresh() = 0;
  // The real-world scale denominator of the drawing (1:scale), 0 until set
  // (GetScale); FALSE for a value that is not finite and above 0.
  virtual BOOL SetScale(double scale) = 0;
  // The scale at which symbols draw at their real size; 0 means always. At
  // other scales symbols grow by referenceScale / scale (held within 1/32
  // to 32; 1 while the scale is not set). FALSE for a negative or
  // non-finite value.
  virtual double GetReferenceScale() = 0;
  virtual BOOL SetReferenceScale(double scale) = 0;
  // Device units per map unit.
  virtual double GetResolution() = 0;
  virtual int GetRefreshCount() = 0;
  virtual BOOL IsUpdating() = 0;

 protected:
  ~IGIS_MapView() override = default;
};
