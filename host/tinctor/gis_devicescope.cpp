#include "host/tinctor/gis_devicescope.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/basilo/sgis_types.h"

namespace md::tinctor {

DeviceScope::DeviceScope(HDC hdc) : hdc_(hdc) {
  if (hdc_ == nullptr) return;
  const int dpi = GetDeviceCaps(hdc_, LOGPIXELSY);
  if (dpi > 0) dpi_ = dpi;
  saved_ = SaveDC(hdc_);
  if (saved_ == 0) return;
  SetMapMode(hdc_, MM_ANISOTROPIC);
  SetWindowExtEx(hdc_, kSubPixels, kSubPixels, nullptr);
  SetViewportExtEx(hdc_, 1, 1, nullptr);
  SetWindowOrgEx(hdc_, 0, 0, nullptr);
  SetViewportOrgEx(hdc_, 0, 0, nullptr);
}

DeviceScope::~DeviceScope() {
  if (saved_ != 0) RestoreDC(hdc_, saved_);
}

void ToDevice(HDC hdc, const POINT* pts, int count, std::vector<md::glyphor::XY>* out) {
  out->clear();
  if (pts == nullptr || count <= 0) return;
  // Converted in blocks on the stack: the mapping rounds each point on its own.
  constexpr int kBlock = 256;
  POINT tmp[kBlock];
  out->reserve(static_cast<std::size_t>(count));
  for (int at = 0; at < count; at += kBlock) {
    const int n = std::min(kBlock, count - at);
    std::copy(pts + at, pts + at + n, tmp);
    LPtoDP(hdc, tmp, n);
    for (int i = 0; i < n; ++i)
      out->push_back({static_cast<double>(tmp[i].x), static_cast<double>(tmp[i].y)});
  }
}

std::vector<md::glyphor::XY> ToDevice(HDC hdc, const POINT* pts, int count) {
  std::vector<md::glyphor::XY> out;
  ToDevice(hdc, pts, count, &out);
  return out;
}

void ToPoints(const std::vector<md::glyphor::XY>& pts, std::vector<POINT>* out) {
  out->resize(pts.size());
  POINT* q = out->data();
  for (const auto& p : pts) {
    q->x = md::basilo::detail::RoundToInt32(p.x * kSubPixels);
    q->y = md::basilo::detail::RoundToInt32(p.y * kSubPixels);
    ++q;
  }
}

void ToScopePoints(HDC hdc, const POINT* pts, int count, std::vector<POINT>* out) {
  out->clear();
  if (pts == nullptr || count <= 0) return;
  out->assign(pts, pts + count);
  LPtoDP(hdc, out->data(), count);
  // Whole pixels times kSubPixels: exact in 64 bits, then held to 32 as
  // RoundToInt32 would.
  for (POINT& q : *out) {
    q.x = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(q.x) * kSubPixels);
    q.y = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(q.y) * kSubPixels);
  }
}

std::vector<POINT> ToPoints(const std::vector<md::glyphor::XY>& pts) {
  std::vector<POINT> out;
  ToPoints(pts, &out);
  return out;
}

namespace {

// A solid pen of the width in device pixels (at least one), in the scope's units.
HPEN SolidPen(COLORREF color, double width) {
  const double px = std::isfinite(width) && width > 1.0 ? width : 1.0;
  return CreatePen(PS_SOLID, md::basilo::detail::RoundToInt32(px * kSubPixels), color);
}

}  // namespace

SelectedPen::SelectedPen(HDC hdc, COLORREF color, double width) : hdc_(hdc), pen_(SolidPen(color, width)) {
  old_ = SelectObject(hdc_, pen_);
}

SelectedPen::~SelectedPen() {
  SelectObject(hdc_, old_);
  if (pen_) DeleteObject(pen_);
}

PenBrush::PenBrush(HDC hdc, bool pen, COLORREF penColor, double penWidth, bool brush, COLORREF brushColor,
                   int hatch)
    : hdc_(hdc) {
  if (pen) {
    pen_ = SolidPen(penColor, penWidth);
    oldPen_ = SelectObject(hdc_, pen_);
  } else {
    oldPen_ = SelectObject(hdc_, GetStockObject(NULL_PEN));
  }
  if (brush) {
    brush_ = hatch >= 0 ? CreateHatchBrush(hatch, brushColor) : CreateSolidBrush(brushColor);
    oldBrush_ = SelectObject(hdc_, brush_);
  } else {
    oldBrush_ = SelectObject(hdc_, GetStockObject(NULL_BRUSH));
  }
}

PenBrush::~PenBrush() {
  SelectObject(hdc_, oldPen_);
  SelectObject(hdc_, oldBrush_);
  if (pen_) DeleteObject(pen_);
  if (brush_) DeleteObject(brush_);
}

void PenBrushSet::Select(bool pen, COLORREF penColor, double penWidth, bool brush, COLORREF brushColor) {
  HGDIOBJ p = GetStockObject(NULL_PEN);
  if (pen) {
    auto it = std::find_if(pens_.begin(), pens_.end(), [&](const MadePen& m) {
      return m.color == penColor && (m.width == penWidth || (std::isnan(m.width) && std::isnan(penWidth)));
    });
    if (it == pens_.end())
      it = pens_.insert(pens_.end(), MadePen{penColor, penWidth, SolidPen(penColor, penWidth)});
    p = it->pen;
  }
  HGDIOBJ b = GetStockObject(NULL_BRUSH);
  if (brush) {
    auto it = std::find_if(brushes_.begin(), brushes_.end(),
                           [&](const MadeBrush& m) { return m.color == brushColor; });
    if (it == brushes_.end())
      it = brushes_.insert(brushes_.end(), MadeBrush{brushColor, CreateSolidBrush(brushColor)});
    b = it->brush;
  }
  HGDIOBJ oldPen = SelectObject(hdc_, p);
  HGDIOBJ oldBrush = SelectObject(hdc_, b);
  if (!selected_) {
    oldPen_ = oldPen;
    oldBrush_ = oldBrush;
    selected_ = true;
  }
}

PenBrushSet::~PenBrushSet() {
  if (selected_) {
    SelectObject(hdc_, oldPen_);
    SelectObject(hdc_, oldBrush_);
  }
  for (const MadePen& m : pens_)
    if (m.pen) DeleteObject(m.pen);
  for (const MadeBrush& m : brushes_)
    if (m.brush) DeleteObject(m.brush);
}

}  // namespace md::tinctor
