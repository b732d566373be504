// Lines, shapes, rectangles and pixels.
#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/win/gdi_internal.h"

using namespace md::win;
using namespace md::win::detail;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxPoints = 1 << 22;  // a single call never carries more points

// Hands a shape to the canvas with the context's pen and brush.
BOOL Emit(DCObj* dc, md::canvas::Shape& shape, bool fill, bool stroke) {
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return FALSE;
  md::canvas::Pen pen = ResolvePen(*dc, dc->st.pen);
  md::canvas::Brush brush = ResolveBrushFor(dc->st.brush);
  shape.fill = fill && brush.style != md::canvas::BrushStyle::Null;
  shape.stroke = stroke && pen.style != md::canvas::PenStyle::Null;
  if (!shape.fill && !shape.stroke) return TRUE;
  if (!shape.fill) brush.style = md::canvas::BrushStyle::Null;
  c->drawShape(shape, pen, brush, dc->State());
  return TRUE;
}

// A shape of one outline; `bounds` is the box the call was given, where it had one.
md::canvas::Shape OneOutline(md::canvas::ShapeKind kind, md::canvas::SubPath outline,
                             const md::canvas::Rect& bounds = {}) {
  md::canvas::Shape shape;
  shape.kind = kind;
  shape.bounds = bounds;
  shape.paths.push_back(std::move(outline));
  return shape;
}

// A shape of one empty outline whose storage the thread keeps from one call
// to the next (polylines and polygons come by the thousand).
struct KeptOutline {
  KeptOutline(md::canvas::ShapeKind kind, bool closed) {
    shape.kind = kind;
    shape.paths.swap(Kept());
    shape.paths.resize(1);
    shape.paths[0].points.clear();
    shape.paths[0].closed = closed;
  }
  // Dense outlines give their memory back.
  ~KeptOutline() {
    if (shape.paths.size() == 1 && shape.paths[0].points.capacity() <= kKeptPoints) Kept().swap(shape.paths);
  }
  static constexpr std::size_t kKeptPoints = std::size_t{1} << 16;
  KeptOutline(const KeptOutline&) = delete;
  KeptOutline& operator=(const KeptOutline&) = delete;

  static std::vector<md::canvas::SubPath>& Kept() {
    thread_local std::vector<md::canvas::SubPath> kept;
    return kept;
  }
  md::canvas::Shape shape;
};

// The device points of `count` logical points, after those already in `path`.
void AppendDev(const DCObj* dc, const POINT* pts, std::size_t count, md::canvas::SubPath& path) {
  // DCObj::Dev's arithmetic with the mapping read once: the points written
  // could otherwise be the mapping's own fields, as far as the compiler knows.
  const double sx = dc->ScaleX(), sy = dc->ScaleY();
  const double wx = dc->st.winOrg.x, wy = dc->st.winOrg.y, vx = dc->st.vpOrg.x, vy = dc->st.vpOrg.y;
  // Appended one by one into room made first: no zero-fill of points
  // written at once.
  std::vector<md::canvas::Point>& out = path.points;
  out.reserve(out.size() + count);
  for (std::size_t i = 0; i < count; ++i)
    out.push_back(md::canvas::Point{static_cast<double>(Round((pts[i].x - wx) * sx + vx)),
                                    static_cast<double>(Round((pts[i].y - wy) * sy + vy))});
}

md::canvas::FillRule Rule(const DCObj* dc) {
  return dc->st.polyFillMode == WINDING ? md::canvas::FillRule::Winding : md::canvas::FillRule::Alternate;
}

int Segments(double rx, double ry, double sweep) {
  const double r = std::max(rx, ry);
  int full = 16;
  if (r > 0.25) full = static_cast<int>(std::ceil(2 * kPi / std::acos(1.0 - 0.25 / r)));
  full = std::clamp(full, 16, 1024);
  return std::max(2, static_cast<int>(std::ceil(full * std::abs(sweep) / (2 * kPi))));
}

// Points on an ellipse from angle t0 over `sweep` radians; angles are
// counter-clockwise as seen on the device.
void AppendArc(std::vector<md::canvas::Point>& out, double cx, double cy, double rx, double ry, double t0,
               double sweep) {
  const int n = Segments(rx, ry, sweep);
  for (int k = 0; k <= n; ++k) {
    const double t = t0 + sweep * k / n;
    out.push_back({cx + rx * std::cos(t), cy - ry * std::sin(t)});
  }
}

struct EllipseGeom {
  double cx, cy, rx, ry;
  md::canvas::Rect box;
};

// The outline of a shape drawn in a bounding box. Its right and bottom
// edges are excluded, so the outline runs through the pixels left .. right-1
// and top .. bottom-1 (points name pixel corners; strokes are centred on the
// pixels). An inside-frame pen keeps its whole width within the box.
struct Outline {
  double l, t, r, b;
  md::canvas::Rect box;
};

Outline DevOutline(DCObj* dc, int left, int top, int right, int bottom) {
  md::canvas::Rect box = dc->DevRect(left, top, right, bottom);
  double inset = 0;
  const md::canvas::Pen pen = ResolvePen(*dc, dc->st.pen);
  if (pen.style == md::canvas::PenStyle::InsideFrame && pen.width > 1) inset = (pen.width - 1) / 2;
  // In doubles: the box may reach the ends of the integer range.
  const double l = box.left, t = box.top, r = box.right, b = box.bottom;
  Outline o{l + inset, t + inset, r - 1 - inset, b - 1 - inset, box};
  if (o.r < o.l) o.l = o.r = std::max(l, (l + r - 1) / 2.0);
  if (o.b < o.t) o.t = o.b = std::max(t, (t + b - 1) / 2.0);
  return o;
}

EllipseGeom DevEllipse(DCObj* dc, int left, int top, int right, int bottom) {
  Outline o = DevOutline(dc, left, top, right, bottom);
  return EllipseGeom{(o.l + o.r) / 2.0, (o.t + o.b) / 2.0, (o.r - o.l) / 2.0, (o.b - o.t) / 2.0, o.box};
}

// Start angle and sweep of Arc/Pie/Chord from the two radial points.
void ArcAngles(DCObj* dc, const EllipseGeom& e, int xs, int ys, int xe, int ye, double* t0, double* sweep) {
  auto angle = [&](int x, int y) {
    md::canvas::Point p = dc->Dev(x, y);
    const double dx = e.rx > 0 ? (p.x - e.cx) / e.rx : 0;
    const double dy = e.ry > 0 ? (e.cy - p.y) / e.ry : 0;
    return (dx == 0 && dy == 0) ? 0.0 : std::atan2(dy, dx);
  };
  const double a = angle(xs, ys), b = angle(xe, ye);
  double s;
  if (dc->st.arcDirection == AD_COUNTERCLOCKWISE) {
    s = b - a;
    if (s <= 0) s += 2 * kPi;
  } else {
    s = b - a;
    if (s >= 0) s -= 2 * kPi;
  }
  *t0 = a;
  *sweep = s;
}

BOOL ArcShape(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye,
              md::canvas::ShapeKind kind) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  EllipseGeom e = DevEllipse(dc, l, t, r, b);
  double t0 = 0, sweep = 0;
  ArcAngles(dc, e, xs, ys, xe, ye, &t0, &sweep);
  md::canvas::SubPath path;
  AppendArc(path.points, e.cx, e.cy, e.rx, e.ry, t0, sweep);
  if (kind == md::canvas::ShapeKind::Pie) path.points.push_back({e.cx, e.cy});
  path.closed = kind != md::canvas::ShapeKind::Arc;
  md::canvas::Shape shape = OneOutline(kind, std::move(path), e.box);
  return Emit(dc, shape, shape.paths[0].closed, true);
}

// What FillRect and FrameRect paint: the context's canvas, the brush and the
// rectangle on the device.
struct RectPaint {
  DCObj* dc = nullptr;
  md::canvas::Canvas* canvas = nullptr;  // null: nothing to paint
  BrushObj brush;
  md::canvas::Rect rect;
};

// 0 when the call fails; otherwise 1, with `out.canvas` set when there is
// something to paint (a rectangle with an area and a brush that is not null).
int PrepareRectPaint(HDC hdc, const RECT* rect, HBRUSH brush, RectPaint& out) {
  out.dc = FindDC(hdc);
  if (!out.dc || !rect || !ResolveBrush(brush, &out.brush)) return 0;
  md::canvas::Canvas* c = out.dc->Canvas();
  if (!c) return 0;
  out.rect = out.dc->DevRect(rect->left, rect->top, rect->right, rect->bottom);
  if (!out.rect.empty() && out.brush.style != BS_NULL) out.canvas = c;
  return 1;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.current;
  dc->st.current = {x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  md::canvas::Shape shape = OneOutline(md::canvas::ShapeKind::Line,
                                       {{dc->Dev(dc->st.current.x, dc->st.current.y), dc->Dev(x, y)}, false});
  dc->st.current = {x, y};
  return Emit(dc, shape, false, true);
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pts || count < 2 || count > kMaxPoints) return FALSE;
  KeptOutline outline(md::canvas::ShapeKind::Polyline, false);
  AppendDev(dc, pts, static_cast<std::size_t>(count), outline.shape.paths[0]);
  return Emit(dc, outline.shape, false, true);
}

BOOL PolylineTo(HDC hdc, const POINT* pts, DWORD count) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pts || count < 1 || count > static_cast<DWORD>(kMaxPoints)) return FALSE;
  md::canvas::SubPath p;
  p.points.push_back(dc->Dev(dc->st.current.x, dc->st.current.y));
  AppendDev(dc, pts, count, p);
  md::canvas::Shape shape = OneOutline(md::canvas::ShapeKind::Polyline, std::move(p));
  dc->st.current = pts[count - 1];
  return Emit(dc, shape, false, true);
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pts || count < 2 || count > kMaxPoints) return FALSE;
  KeptOutline outline(md::canvas::ShapeKind::Polygon, true);
  AppendDev(dc, pts, static_cast<std::size_t>(count), outline.shape.paths[0]);
  outline.shape.rule = Rule(dc);
  return Emit(dc, outline.shape, true, true);
}

BOOL PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int polyCount) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !pts || !counts || polyCount < 1) return FALSE;
  long long total = 0;
  for (int i = 0; i < polyCount; ++i) {
    if (counts[i] < 2) return FALSE;
    total += counts[i];
    if (total > kMaxPoints) return FALSE;
  }
  md::canvas::Shape shape;
  shape.kind = md::canvas::ShapeKind::PolyPolygon;
  shape.rule = Rule(dc);
  const POINT* q = pts;
  for (int i = 0; i < polyCount; ++i) {
    md::canvas::SubPath p;
    p.closed = true;
    AppendDev(dc, q, static_cast<std::size_t>(counts[i]), p);
    q += counts[i];
    shape.paths.push_back(std::move(p));
  }
  return Emit(dc, shape, true, true);
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  Outline o = DevOutline(dc, left, top, right, bottom);
  md::canvas::Shape shape = OneOutline(md::canvas::ShapeKind::Rectangle,
                                       {{{o.l, o.t}, {o.r, o.t}, {o.r, o.b}, {o.l, o.b}}, true}, o.box);
  return Emit(dc, shape, true, true);
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  Outline o = DevOutline(dc, left, top, right, bottom);
  const double rx = std::min(dc->DevLenX(std::abs(width)) / 2, (o.r - o.l) / 2.0);
  const double ry = std::min(dc->DevLenY(std::abs(height)) / 2, (o.b - o.t) / 2.0);
  md::canvas::SubPath p;
  p.closed = true;
  AppendArc(p.points, o.r - rx, o.t + ry, rx, ry, 0, kPi / 2);
  AppendArc(p.points, o.l + rx, o.t + ry, rx, ry, kPi / 2, kPi / 2);
  AppendArc(p.points, o.l + rx, o.b - ry, rx, ry, kPi, kPi / 2);
  AppendArc(p.points, o.r - rx, o.b - ry, rx, ry, 3 * kPi / 2, kPi / 2);
  md::canvas::Shape shape = OneOutline(md::canvas::ShapeKind::RoundRect, std::move(p), o.box);
  return Emit(dc, shape, true, true);
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  EllipseGeom e = DevEllipse(dc, left, top, right, bottom);
  md::canvas::SubPath p;
  p.closed = true;
  AppendArc(p.points, e.cx, e.cy, e.rx, e.ry, 0, 2 * kPi);
  p.points.pop_back();  // the last point repeats the first
  md::canvas::Shape shape = OneOutline(md::canvas::ShapeKind::Ellipse, std::move(p), e.box);
  return Emit(dc, shape, true, true);
}

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, md::canvas::ShapeKind::Arc);
}

BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, md::canvas::ShapeKind::Pie);
}

BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, md::canvas::ShapeKind::Chord);
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  RectPaint paint;
  const int result = PrepareRectPaint(hdc, rect, brush, paint);
  if (paint.canvas) paint.canvas->fillRects({paint.rect}, ResolveBrushFor(&paint.brush), paint.dc->State());
  return result;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  RectPaint paint;
  const int result = PrepareRectPaint(hdc, rect, brush, paint);
  if (!paint.canvas) return result;
  DCObj* dc = paint.dc;
  const md::canvas::Rect r = paint.rect;
  // The border is one logical unit wide, and at least one pixel.
  const int bw = std::max(1, Round(dc->DevLenX(1))), bh = std::max(1, Round(dc->DevLenY(1)));
  const double l = r.left, t = r.top, rr = r.right, bb = r.bottom;
  md::canvas::Shape shape =
      OneOutline(md::canvas::ShapeKind::FrameRect, {{{l, t}, {rr, t}, {rr, bb}, {l, bb}}, true}, r);
  shape.rule = md::canvas::FillRule::Alternate;
  shape.fill = true;
  if (static_cast<long long>(r.right) - r.left > 2LL * bw &&
      static_cast<long long>(r.bottom) - r.top > 2LL * bh) {
    const double il = l + bw, it = t + bh, ir = rr - bw, ib = bb - bh;
    shape.paths.push_back({{{il, it}, {il, ib}, {ir, ib}, {ir, it}}, true});
  }
  md::canvas::Pen none;
  none.style = md::canvas::PenStyle::Null;
  paint.canvas->drawShape(shape, none, ResolveBrushFor(&paint.brush), dc->State());
  return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return CLR_INVALID;
  POINT p = dc->DevPt(x, y);
  md::canvas::Brush b;
  b.style = md::canvas::BrushStyle::Solid;
  b.color = color & 0xFFFFFF;
  // A pixel at the end of the range is off every surface: nothing to paint.
  if (p.x == std::numeric_limits<int>::max() || p.y == std::numeric_limits<int>::max())
    return color & 0xFFFFFF;
  c->fillRects({md::canvas::Rect{p.x, p.y, p.x + 1, p.y + 1}}, b, dc->State());
  return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  md::canvas::Canvas* c = dc->Canvas();
  POINT p = dc->DevPt(x, y);
  if (!c || p.x < 0 || p.y < 0 || p.x >= dc->SurfaceWidth() || p.y >= dc->SurfaceHeight()) return CLR_INVALID;
  if (dc->st.hasClip && !dc->st.clip->Contains(p.x, p.y)) return CLR_INVALID;
  std::uint32_t px = 0;
  if (!c->readPixels(md::canvas::Rect{p.x, p.y, p.x + 1, p.y + 1}, &px)) return CLR_INVALID;
  return RGB(static_cast<BYTE>((px >> 16) & 0xFF), static_cast<BYTE>((px >> 8) & 0xFF),
             static_cast<BYTE>(px & 0xFF));
}
