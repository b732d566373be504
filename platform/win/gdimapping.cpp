// Mapping modes, window and viewport origins and extents, and conversions
// between logical and device points.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "platform/canvas/recording.h"
#include "platform/win/gdi_internal.h"

namespace md::win::detail {
namespace {

void ApplyIsotropic(DCObj* dc) {
  if (dc->st.mapMode != MM_ISOTROPIC) return;
  DCState& s = dc->st;
  const double mx =
      std::abs(static_cast<double>(s.vpExt.cx)) / (std::abs(static_cast<double>(s.winExt.cx)) * dc->dpiX);
  const double my =
      std::abs(static_cast<double>(s.vpExt.cy)) / (std::abs(static_cast<double>(s.winExt.cy)) * dc->dpiY);
  if (mx < my) {
    int v = std::max(1, Round(std::abs(static_cast<double>(s.winExt.cy)) * dc->dpiY * mx));
    s.vpExt.cy = s.vpExt.cy < 0 ? -v : v;
  } else if (my < mx) {
    int v = std::max(1, Round(std::abs(static_cast<double>(s.winExt.cx)) * dc->dpiX * my));
    s.vpExt.cx = s.vpExt.cx < 0 ? -v : v;
  }
}

bool Metric(int mode, int* units) {
  switch (mode) {
    case MM_LOMETRIC:
      *units = 254;
      return true;  // 0.1 mm
    case MM_HIMETRIC:
      *units = 2540;
      return true;  // 0.01 mm
    case MM_LOENGLISH:
      *units = 100;
      return true;  // 0.01 inch
    case MM_HIENGLISH:
      *units = 1000;
      return true;  // 0.001 inch
    case MM_TWIPS:
      *units = 1440;
      return true;  // 1/1440 inch
    default:
      return false;
  }
}

}  // namespace
}  // namespace md::win::detail

using namespace md::win::detail;

int SetMapMode(HDC hdc, int mode) {
  DCObj* dc = FindDC(hdc);
  if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  const int old = dc->st.mapMode;
  DCState& s = dc->st;
  int units = 0;
  if (mode == MM_TEXT) {
    s.winExt = {1, 1};
    s.vpExt = {1, 1};
  } else if (Metric(mode, &units)) {
    s.winExt = {units, units};
    s.vpExt = {dc->dpiX, -dc->dpiY};
  } else if (mode == MM_ISOTROPIC && old != MM_ANISOTROPIC && old != MM_ISOTROPIC) {
    // Starts from the 0.1 mm scale; callers then set their own extents.
    s.winExt = {254, 254};
    s.vpExt = {dc->dpiX, -dc->dpiY};
  }
  // MM_ANISOTROPIC (and isotropic from anisotropic) keep the current extents.
  s.mapMode = mode;
  ApplyIsotropic(dc);
  dc->Touch();
  return old;
}

int GetMapMode(HDC hdc) {
  DCObj* dc = FindDC(hdc);
  return dc ? dc->st.mapMode : 0;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.winOrg;
  dc->st.winOrg = {x, y};
  return TRUE;
}

BOOL GetWindowOrgEx(HDC hdc, LPPOINT pt) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pt) return FALSE;
  *pt = dc->st.winOrg;
  return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.vpOrg;
  dc->st.vpOrg = {x, y};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT pt) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pt) return FALSE;
  *pt = dc->st.vpOrg;
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.vpOrg;
  dc->st.vpOrg.x = AddSat(dc->st.vpOrg.x, dx);
  dc->st.vpOrg.y = AddSat(dc->st.vpOrg.y, dy);
  return TRUE;
}

BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.winOrg;
  dc->st.winOrg.x = AddSat(dc->st.winOrg.x, dx);
  dc->st.winOrg.y = AddSat(dc->st.winOrg.y, dy);
  return TRUE;
}

static BOOL SetExt(HDC hdc, int x, int y, LPSIZE old, bool window) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  SIZE& ext = window ? dc->st.winExt : dc->st.vpExt;
  if (old) *old = ext;
  // Fixed mapping modes keep their extents.
  if (dc->st.mapMode != MM_ISOTROPIC && dc->st.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  ext = {x, y};
  ApplyIsotropic(dc);
  dc->Touch();
  return TRUE;
}

BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old) { return SetExt(hdc, x, y, old, true); }
BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old) { return SetExt(hdc, x, y, old, false); }

BOOL GetWindowExtEx(HDC hdc, LPSIZE size) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !size) return FALSE;
  *size = dc->st.winExt;
  return TRUE;
}

BOOL GetViewportExtEx(HDC hdc, LPSIZE size) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !size) return FALSE;
  *size = dc->st.vpExt;
  return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT pts, int count) {
  DCObj* dc = FindDC(hdc);
  if (!dc || (count > 0 && !pts) || count < 0) return FALSE;
  for (int i = 0; i < count; ++i) pts[i] = POINT{Round(dc->LogX(pts[i].x)), Round(dc->LogY(pts[i].y))};
  return TRUE;
}

BOOL LPtoDP(HDC hdc, LPPOINT pts, int count) {
  DCObj* dc = FindDC(hdc);
  if (!dc || (count > 0 && !pts) || count < 0) return FALSE;
  // DevPt's arithmetic with the mapping read once: the points written could
  // otherwise be the mapping's own fields, as far as the compiler knows.
  const double sx = dc->ScaleX(), sy = dc->ScaleY();
  const double wx = dc->st.winOrg.x, wy = dc->st.winOrg.y, vx = dc->st.vpOrg.x, vy = dc->st.vpOrg.y;
  for (int i = 0; i < count; ++i)
    pts[i] = POINT{Round((pts[i].x - wx) * sx + vx), Round((pts[i].y - wy) * sy + vy)};
  return TRUE;
}
