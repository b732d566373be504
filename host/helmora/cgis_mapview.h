// The main controller's view: map coordinates to the device coordinates of
// the context the map is drawn into (see igis_mapview.h for the mapping).
#pragma once

#include "host/helmora/igis_mapview.h"

class CGIS_MapView final : public IGIS_MapView {
 public:
  CGIS_MapView();
  ~CGIS_MapView() override;
  CGIS_MapView(const CGIS_MapView&) = delete;
  CGIS_MapView& operator=(const CGIS_MapView&) = delete;

  // The map whose full extent the view offers and whose reference it
  // converts in (copied); NULL unbinds.
  void BindMap(IGIS_Map* map);
  // Takes a copy of the reference the view converts in (NULL: none).
  void AdoptReference(IGIS_SpatialReference* reference);
  // The context drawing goes to (GetClipContext, LogicalToDevice).
  void SetContext(HDC hdc) { m_hdc = hdc; }
  SGIS_Rect GetDeviceRectangle() const { return m_device; }

  // IGIS_DisplayView, map coordinates in place of page coordinates.
  void PageToDevicePoints(double* xy, int count, IGIS_SpatialReference* reference) override;
  SGIS_Rect PageToDeviceRect(SGIS_Rect rect, IGIS_SpatialReference* reference) override;
  SGIS_Point PageToDevicePoint(SGIS_Point point, IGIS_SpatialReference* reference) override;
  void PageToDevice(int* x, int* y, IGIS_SpatialReference* reference) override;
  BOOL GetDeviceRect(RECT* rect) override;
  void Redraw(int what, BOOL erase) override;
  double GetScale() override { return m_dScale; }
  BOOL IsClipping() override { return FALSE; }
  CDC* GetClipContext() override;
  BOOL LogicalToDevice(POINT* point) override;
  double GetSymbolRatio() override;
  SGIS_DRect PageToDeviceRect(SGIS_DRect rect, IGIS_SpatialReference* reference) override;
  SGIS_DPoint PageToDevicePoint(SGIS_DPoint point, IGIS_SpatialReference* reference) override;
  void PageToDevicePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) override;
  void DeviceToPagePoints(double* xy, int count, IGIS_SpatialReference* reference) override;
  SGIS_Rect DeviceToPageRect(SGIS_Rect rect, IGIS_SpatialReference* reference) override;
  SGIS_Point DeviceToPagePoint(SGIS_Point point, IGIS_SpatialReference* reference) override;
  void DeviceToPage(int* x, int* y, IGIS_SpatialReference* reference) override;
  SGIS_DRect DeviceToPageRect(SGIS_DRect rect, IGIS_SpatialReference* reference) override;
  SGIS_DPoint DeviceToPagePoint(SGIS_DPoint point, IGIS_SpatialReference* reference) override;
  void DeviceToPagePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) override;
  double GetRotateAngle() override { return m_dAngle; }
  IGIS_SpatialReference* GetSpatialReference() override { return m_pReference; }
  SGIS_Rect GetDeviceClipRect() override { return m_device; }

  // IGIS_MapView.
  void BeginUpdate() override { ++m_nUpdateDepth; }
  void EndUpdate() override;
  BOOL SetDeviceRect(SGIS_Rect rect) override;
  BOOL ZoomToExtent(SGIS_DRect rect, int option, IGIS_SpatialReference* reference, int flag) override;
  BOOL SetExtent(SGIS_DRect rect) override;
  SGIS_DRect* GetExtent(SGIS_DRect* out) override;
  SGIS_DRect* GetFullExtent(SGIS_DRect* out, int option) override;
  BOOL ZoomFullExtent(int option) override;
  BOOL SetRotateAngle(double degrees, int option) override;
  void SetAutoControlVectorSubLayer(BOOL automatic) override { m_bAutoSubLayer = automatic; }
  BOOL GetAutoControlVectorSubLayer() override { return m_bAutoSubLayer; }
  void Refresh() override { ++m_nRefreshes; }
  BOOL SetScale(double scale) override;
  double GetReferenceScale() override { return m_dReferenceScale; }
  BOOL SetReferenceScale(double scale) override;
  double GetResolution() override { return m_dResolution; }
  int GetRefreshCount() override { return m_nRefreshes; }
  BOOL IsUpdating() override { return m_nUpdateDepth > 0; }

 private:
  void Fit();
  void ToDevice(double x, double y, double* dx, double* dy) const;
  void ToMap(double x, double y, double* mx, double* my) const;
  using Convert = void (CGIS_MapView::*)(double, double, double*, double*) const;
  // The bound (x1 <= x2, y1 <= y2) of a rectangle's four converted corners.
  SGIS_DRect CornerBound(const SGIS_DRect& r, Convert convert) const;
  double DeviceCentreX() const;
  double DeviceCentreY() const;
  double YSign() const { return m_device.top <= m_device.bottom ? -1.0 : 1.0; }

  IGIS_Map* m_pMap = nullptr;
  IGIS_SpatialReference* m_pReference = nullptr;  // owned copy
  HDC m_hdc = nullptr;
  SGIS_Rect m_device;
  // The extent asked for (normalised: x1 <= x2, y1 <= y2); the view shows it
  // whole about its centre.
  SGIS_DRect m_request;
  double m_dResolution = 1.0;
  double m_dAngle = 0.0;
  double m_dCos = 1.0;
  double m_dSin = 0.0;
  double m_dScale = 0.0;  // not known until SetScale
  double m_dReferenceScale = 0.0;
  BOOL m_bAutoSubLayer = TRUE;
  int m_nUpdateDepth = 0;
  int m_nRefreshes = 0;
  int m_nRedraws = 0;
};
