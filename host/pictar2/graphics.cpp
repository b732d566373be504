#include "host/pictar2/graphics.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/basilo/sgis_types.h"
#include "host/glyphor/gis_symbolgeometry.h"

namespace md::pictar2 {
namespace {

constexpr int kMaxPoints = 1 << 24;
constexpr int kMaxSide = 1 << 15;

// Logical units per device pixel while drawing: geometry keeps sixteenths
// of a pixel.
constexpr int kSub = 16;

// Draws in device space until it ends: `sub` logical units per pixel
// (1: the plain pixel mapping), origins 0, y down.
class PixelScope {
 public:
  PixelScope(HDC hdc, int sub) : hdc_(hdc), saved_(SaveDC(hdc)) {
    if (saved_ == 0) return;
    if (sub == 1) {
      SetMapMode(hdc_, MM_TEXT);
    } else {
      SetMapMode(hdc_, MM_ANISOTROPIC);
      SetWindowExtEx(hdc_, sub, sub, nullptr);
      SetViewportExtEx(hdc_, 1, 1, nullptr);
    }
    SetWindowOrgEx(hdc_, 0, 0, nullptr);
    SetViewportOrgEx(hdc_, 0, 0, nullptr);
  }
  ~PixelScope() {
    if (saved_ != 0) RestoreDC(hdc_, saved_);
  }
  bool Ok() const { return saved_ != 0; }

 private:
  HDC hdc_;
  int saved_;
};

// A pen width in device pixels (at least one) in drawing units.
int Px(double w) { return md::basilo::detail::RoundToInt32((std::isfinite(w) && w > 1.0 ? w : 1.0) * kSub); }

}  // namespace

Graphics::Graphics(HDC hdc, RasterMode mode) : dc_(hdc), mode_(mode) {
  if (hdc == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, "Graphics::Graphics", "hdc == NULL");
}

Graphics::Graphics(HBITMAP bitmap, RasterMode mode, HDC reference) : mode_(mode) {
  BITMAP bm;
  if (bitmap == nullptr || GetObject(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight == 0 ||
      bm.bmWidth > kMaxSide || std::abs(bm.bmHeight) > kMaxSide) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "Graphics::Graphics", "bad bitmap");
    return;
  }
  width_ = bm.bmWidth;
  height_ = std::abs(bm.bmHeight);
  // A context made compatible with the reference takes over its resolution.
  HDC dc = CreateCompatibleDC(reference);
  if (dc == nullptr && reference != nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "Graphics::Graphics", "bad reference context");
    dc = CreateCompatibleDC(nullptr);
  }
  if (dc == nullptr) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ownBitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (ownBitmap_ == nullptr || bits == nullptr) {
    if (ownBitmap_) DeleteObject(ownBitmap_);
    ownBitmap_ = nullptr;
    DeleteDC(dc);
    return;
  }
  // Start from what the bitmap shows.
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height_), bits, &info, DIB_RGB_COLORS);
  oldBitmap_ = SelectObject(dc, ownBitmap_);
  dc_ = dc;
  ownDc_ = true;
}

Graphics::~Graphics() {
  if (ownDc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(ownBitmap_);
    DeleteDC(dc_);
  }
}

BOOL Graphics::Update(HDC hdc) {
  if (dc_ == nullptr || hdc == nullptr) return FALSE;
  if (hdc == dc_) return TRUE;
  int w = width_, h = height_;
  if (!ownDc_) {
    w = GetDeviceCaps(dc_, HORZRES);
    h = GetDeviceCaps(dc_, VERTRES);
  }
  if (w <= 0 || h <= 0) return FALSE;
  PixelScope target(hdc, 1);
  PixelScope source(dc_, 1);
  return BitBlt(hdc, 0, 0, w, h, dc_, 0, 0, SRCCOPY);
}

double Graphics::GetDpi() const {
  const int dpi = dc_ ? GetDeviceCaps(dc_, LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96.0;
}

bool Graphics::DevicePoints(const double* xy, int count, std::vector<POINT>* out, bool closeRing) const {
  if (dc_ == nullptr || xy == nullptr || count <= 0 || count > kMaxPoints) return false;
  // The logical-to-device mapping is affine: read it off three points.
  POINT m[3];
  m[0].x = 0, m[0].y = 0;
  m[1].x = 100000, m[1].y = 0;
  m[2].x = 0, m[2].y = 100000;
  if (!LPtoDP(dc_, m, 3)) return false;
  const double ax = (m[1].x - m[0].x) / 100000.0, ay = (m[1].y - m[0].y) / 100000.0;
  const double bx = (m[2].x - m[0].x) / 100000.0, by = (m[2].y - m[0].y) / 100000.0;
  out->clear();
  out->reserve(static_cast<std::size_t>(count) + 1);
  for (int i = 0; i < count; ++i) {
    const double x = xy[2 * i], y = xy[2 * i + 1];
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    POINT p;
    p.x = md::basilo::detail::RoundToInt32((m[0].x + ax * x + bx * y) * kSub);
    p.y = md::basilo::detail::RoundToInt32((m[0].y + ay * x + by * y) * kSub);
    out->push_back(p);
  }
  if (closeRing && (out->front().x != out->back().x || out->front().y != out->back().y))
    out->push_back(out->front());
  return true;
}

BOOL Graphics::DrawPolyline(const double* xy, int count, COLORREF color, double width,
                            const std::vector<double>& dash) {
  std::vector<POINT> pts;
  if (count < 2 || !DevicePoints(xy, count, &pts, false)) return FALSE;
  PixelScope scope(dc_, kSub);
  if (!scope.Ok()) return FALSE;
  HPEN pen = CreatePen(PS_SOLID, Px(width), color);
  HGDIOBJ old = SelectObject(dc_, pen);
  // Dashes are cut in drawing units, from the pattern in device pixels.
  std::vector<md::glyphor::XY> line;
  line.reserve(pts.size());
  for (const auto& p : pts) line.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
  std::vector<double> pattern;
  for (double d : dash) pattern.push_back(d * kSub);
  for (const auto& piece : md::glyphor::Dash(line, pattern)) {
    std::vector<POINT> q;
    q.reserve(piece.size());
    for (const auto& p : piece) {
      POINT r;
      r.x = md::basilo::detail::RoundToInt32(p.x);
      r.y = md::basilo::detail::RoundToInt32(p.y);
      q.push_back(r);
    }
    Polyline(dc_, q.data(), static_cast<int>(q.size()));
  }
  SelectObject(dc_, old);
  DeleteObject(pen);
  return TRUE;
}

BOOL Graphics::FillPolygon(const double* xy, int count, COLORREF color, int hatch) {
  std::vector<POINT> pts;
  if (count < 3 || !DevicePoints(xy, count, &pts, true)) return FALSE;
  PixelScope scope(dc_, kSub);
  if (!scope.Ok()) return FALSE;
  HBRUSH brush =
      hatch >= 0 && hatch <= HS_DIAGCROSS ? CreateHatchBrush(hatch, color) : CreateSolidBrush(color);
  HGDIOBJ oldBrush = SelectObject(dc_, brush);
  HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
  SetBkMode(dc_, TRANSPARENT);
  Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
  SelectObject(dc_, oldPen);
  SelectObject(dc_, oldBrush);
  DeleteObject(brush);
  return TRUE;
}

BOOL Graphics::DrawPolygon(const double* xy, int count, COLORREF color, double width) {
  std::vector<POINT> pts;
  if (count < 3 || !DevicePoints(xy, count, &pts, true)) return FALSE;
  PixelScope scope(dc_, kSub);
  if (!scope.Ok()) return FALSE;
  HPEN pen = CreatePen(PS_SOLID, Px(width), color);
  HGDIOBJ old = SelectObject(dc_, pen);
  Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
  SelectObject(dc_, old);
  DeleteObject(pen);
  return TRUE;
}

}  // namespace md::pictar2
