// A display on a screen device context: pixels with y down, the page shown
// at a zoom (1.0: real size at the context's resolution) from an origin (the
// page point at the context's top-left pixel). It does not clip and has no
// printer interface.
#pragma once

#include "host/display/cgis_pageview.h"

class CGIS_ScreenDisplay final : public IGIS_Display {
 public:
  // hdc: a screen context in the plain pixel mapping, kept, not owned.
  explicit CGIS_ScreenDisplay(HDC hdc, double zoom = 1.0, double originX = 0.0, double originY = 0.0);
  ~CGIS_ScreenDisplay() override = default;
  CGIS_ScreenDisplay(const CGIS_ScreenDisplay&) = delete;
  CGIS_ScreenDisplay& operator=(const CGIS_ScreenDisplay&) = delete;

  // FALSE, nothing changed, for a zoom that is not finite and above 0 or a
  // non-finite origin.
  BOOL SetZoom(double zoom);
  BOOL SetOrigin(double pageX, double pageY);
  double GetZoom() const { return m_dZoom; }
  CGIS_PageView* GetPageView() { return &m_view; }

  HWND GetWindowHandle() override { return nullptr; }
  IGIS_DisplayView* GetView() override { return &m_view; }
  void* GetInterface(const char* name) override;

 private:
  BOOL Apply(double zoom, double originX, double originY);

  CGIS_PageView m_view;
  double m_dZoom = 1.0;
  double m_dOriginX = 0.0;
  double m_dOriginY = 0.0;
};
