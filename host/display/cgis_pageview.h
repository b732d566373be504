// The view of a display: an axis-aligned mapping from page coordinates to the
// device coordinates of a device context, device = (page - origin) x factor
// per axis, with its inverse.
#pragma once

#include "host/display/igis_display.h"

class CGIS_PageView final : public IGIS_DisplayView {
 public:
  explicit CGIS_PageView(HDC hdc) : m_hdc(hdc) {}
  ~CGIS_PageView() override = default;
  CGIS_PageView(const CGIS_PageView&) = delete;
  CGIS_PageView& operator=(const CGIS_PageView&) = delete;

  // The page point at device (0, 0) and the device units per page unit on
  // each axis (a negative factor turns the axis over). FALSE, nothing
  // changed, for non-finite values or a zero factor.
  BOOL SetMapping(double originX, double originY, double factorX, double factorY);
  BOOL SetScale(double scale);
  BOOL SetSymbolRatio(double ratio);
  void SetClipping(BOOL clipping) { m_bClipping = clipping; }
  void SetSpatialReference(IGIS_SpatialReference* reference) { m_pReference = reference; }
  HDC GetDC() const { return m_hdc; }
  int GetRedrawCount() const { return m_nRedraws; }

  void PageToDevicePoints(double* xy, int count, IGIS_SpatialReference* pageReference) override;
  SGIS_Rect PageToDeviceRect(SGIS_Rect pageRect, IGIS_SpatialReference* pageReference) override;
  SGIS_Point PageToDevicePoint(SGIS_Point pagePoint, IGIS_SpatialReference* pageReference) override;
  void PageToDevice(int* x, int* y, IGIS_SpatialReference* pageReference) override;
  BOOL GetDeviceRect(RECT* rect) override;
  // The context's pixel area in its logical units (pixels on a screen, the
  // printer's 0.01 mm with y up when printing).
  SGIS_Rect GetDeviceClipRect() override;
  void Redraw(int what, BOOL erase) override;
  double GetScale() override { return m_dScale; }
  BOOL IsClipping() override { return m_bClipping; }
  CDC* GetClipContext() override;
  BOOL LogicalToDevice(POINT* point) override;
  double GetSymbolRatio() override { return m_dSymbolRatio; }

  SGIS_DRect PageToDeviceRect(SGIS_DRect pageRect, IGIS_SpatialReference* pageReference) override;
  SGIS_DPoint PageToDevicePoint(SGIS_DPoint pagePoint, IGIS_SpatialReference* pageReference) override;
  void PageToDevicePoints(SGIS_Point* points, int count, IGIS_SpatialReference* pageReference) override;

  void DeviceToPagePoints(double* xy, int count, IGIS_SpatialReference* pageReference) override;
  SGIS_Rect DeviceToPageRect(SGIS_Rect deviceRect, IGIS_SpatialReference* pageReference) override;
  SGIS_Point DeviceToPagePoint(SGIS_Point devicePoint, IGIS_SpatialReference* pageReference) override;
  void DeviceToPage(int* x, int* y, IGIS_SpatialReference* pageReference) override;
  SGIS_DRect DeviceToPageRect(SGIS_DRect deviceRect, IGIS_SpatialReference* pageReference) override;
  SGIS_DPoint DeviceToPagePoint(SGIS_DPoint devicePoint, IGIS_SpatialReference* pageReference) override;
  void DeviceToPagePoints(SGIS_Point* points, int count, IGIS_SpatialReference* pageReference) override;

  double GetRotateAngle() override { return 0.0; }
  IGIS_SpatialReference* GetSpatialReference() override { return m_pReference; }

 private:
  double ToDeviceX(double x) const { return (x - m_dOriginX) * m_dFactorX; }
  double ToDeviceY(double y) const { return (y - m_dOriginY) * m_dFactorY; }
  double ToPageX(double x) const { return x / m_dFactorX + m_dOriginX; }
  double ToPageY(double y) const { return y / m_dFactorY + m_dOriginY; }

  HDC m_hdc;
  double m_dOriginX = 0.0;
  double m_dOriginY = 0.0;
  double m_dFactorX = 1.0;
  double m_dFactorY = 1.0;
  double m_dScale = 1.0;
  double m_dSymbolRatio = 1.0;
  BOOL m_bClipping = FALSE;
  IGIS_SpatialReference* m_pReference = nullptr;
  int m_nRedraws = 0;
};
