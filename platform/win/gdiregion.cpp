// Region objects and the clip region of device contexts.
#include <algorithm>
#include <cmath>

#include "platform/win/gdi_internal.h"

using namespace md::win;
using namespace md::win::detail;

namespace {

HRGN NewRegion(Region r) {
  auto* o = new RegionObj;
  o->rgn = std::move(r);
  Register(o);
  return reinterpret_cast<HRGN>(o);
}

bool ToOp(int mode, RegionOp* op) {
  switch (mode) {
    case RGN_AND:
      *op = RegionOp::And;
      return true;
    case RGN_OR:
      *op = RegionOp::Or;
      return true;
    case RGN_XOR:
      *op = RegionOp::Xor;
      return true;
    case RGN_DIFF:
      *op = RegionOp::Diff;
      return true;
    case RGN_COPY:
      *op = RegionOp::Copy;
      return true;
    default:
      return false;
  }
}

// The whole surface of a context, the implied clip when none is selected.
Region Surface(DCObj* dc) { return Region::FromRect(0, 0, dc->SurfaceWidth(), dc->SurfaceHeight()); }

// What drawing can reach: the clip within the surface.
Region Visible(DCObj* dc) {
  return dc->st.hasClip ? Region::Combine(dc->st.clip, Surface(dc), RegionOp::And) : Surface(dc);
}

int ClipResult(DCObj* dc) {
  dc->Touch();
  return dc->st.hasClip ? RegionType(dc->st.clip) : SIMPLEREGION;
}

// Polygon points in canvas form; false when a count is bad.
bool Gather(const POINT* pts, const INT* counts, int polyCount, std::vector<md::canvas::Point>* out,
            std::vector<int>* outCounts) {
  if (!pts || !counts || polyCount <= 0) return false;
  std::size_t total = 0;
  for (int i = 0; i < polyCount; ++i) {
    if (counts[i] < 2) return false;
    total += static_cast<std::size_t>(counts[i]);
    if (total > (1u << 24)) return false;
  }
  out->reserve(total);
  for (std::size_t i = 0; i < total; ++i)
    out->push_back({static_cast<double>(pts[i].x), static_cast<double>(pts[i].y)});
  outCounts->assign(counts, counts + polyCount);
  return true;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region::FromRect(left, top, right, bottom));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region::FromEllipse(left, top, right, bottom));
}

HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  return CreatePolyPolygonRgn(pts, &count, 1, fillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polyCount, int fillMode) {
  if (fillMode != ALTERNATE && fillMode != WINDING) return nullptr;
  std::vector<md::canvas::Point> points;
  std::vector<int> n;
  if (!Gather(pts, counts, polyCount, &points, &n)) return nullptr;
  return NewRegion(Region::FromPolygons(
      points, n, fillMode == WINDING ? md::canvas::FillRule::Winding : md::canvas::FillRule::Alternate));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
  RegionObj* r = FindRgn(rgn);
  if (!r) return FALSE;
  r->rgn = Region::FromRect(left, top, right, bottom);
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  RegionObj* d = FindRgn(dest);
  RegionObj* a = FindRgn(src1);
  RegionOp op;
  if (!d || !a || !ToOp(mode, &op)) return ERROR;
  if (op == RegionOp::Copy) {
    d->rgn = a->rgn;
  } else {
    RegionObj* b = FindRgn(src2);
    if (!b) return ERROR;
    d->rgn = Region::Combine(a->rgn, b->rgn, op);
  }
  return RegionType(d->rgn);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  RegionObj* r = FindRgn(rgn);
  if (!r) return ERROR;
  r->rgn.Offset(dx, dy);
  return RegionType(r->rgn);
}

int GetRgnBox(HRGN rgn, LPRECT rect) {
  RegionObj* r = FindRgn(rgn);
  if (!r || !rect) return ERROR;
  md::canvas::Rect b = r->rgn.Box();
  *rect = RECT{b.left, b.top, b.right, b.bottom};
  return RegionType(r->rgn);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  RegionObj* r = FindRgn(rgn);
  return r && r->rgn.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
  RegionObj* r = FindRgn(rgn);
  if (!r || !rect) return FALSE;
  md::canvas::Rect c{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
                     std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)};
  return r->rgn.Intersects(c) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObj* ra = FindRgn(a);
  RegionObj* rb = FindRgn(b);
  if (!ra || !rb) return FALSE;
  return ra->rgn == rb->rgn ? TRUE : FALSE;
}

// ---- painting regions -----------------------------------------------------

namespace {

BOOL PaintRegion(DCObj* dc, const Region& rgn, const BrushObj& brush) {
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return FALSE;
  if (rgn.Empty() || brush.style == BS_NULL) return TRUE;
  c->fillRects(rgn.Rects(), ResolveBrushFor(&brush), dc->State());
  return TRUE;
}

}  // namespace

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  DCObj* dc = FindDC(hdc);
  RegionObj* r = FindRgn(rgn);
  BrushObj b;
  if (!dc || !r || !ResolveBrush(brush, &b)) return FALSE;
  return PaintRegion(dc, r->rgn, b);
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  DCObj* dc = FindDC(hdc);
  RegionObj* r = FindRgn(rgn);
  if (!dc || !r) return FALSE;
  BrushObj b;
  b.style = dc->st.brush->style;
  b.color = dc->st.brush->color;
  b.hatch = dc->st.brush->hatch;
  return PaintRegion(dc, r->rgn, b);
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
  DCObj* dc = FindDC(hdc);
  RegionObj* r = FindRgn(rgn);
  BrushObj b;
  if (!dc || !r || !ResolveBrush(brush, &b) || width < 0 || height < 0) return FALSE;
  // The frame is the part of the region within (w, h) device pixels of its
  // outside: the region minus its interior shrunk by w and h.
  const int w = std::max(1, Round(dc->DevLenX(width)));
  const int h = std::max(1, Round(dc->DevLenY(height)));
  Region inner = r->rgn;
  for (auto [dx, dy] : {std::pair{w, 0}, std::pair{-w, 0}, std::pair{0, h}, std::pair{0, -h}}) {
    Region moved = r->rgn;
    moved.Offset(dx, dy);
    inner = Region::Combine(inner, moved, RegionOp::And);
  }
  return PaintRegion(dc, Region::Combine(r->rgn, inner, RegionOp::Diff), b);
}

// ---- clipping -------------------------------------------------------------

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  DCObj* dc = FindDC(hdc);
  RegionOp op;
  if (!dc || !ToOp(mode, &op)) return ERROR;
  if (!rgn) {
    // Only RGN_COPY accepts no region: it removes the clip.
    if (op != RegionOp::Copy) return ERROR;
    dc->st.hasClip = false;
    dc->st.clip = Region();
    return ClipResult(dc);
  }
  RegionObj* r = FindRgn(rgn);
  if (!r) return ERROR;
  if (op == RegionOp::Copy) {
    dc->st.clip = r->rgn;  // a copy: the caller may delete its region
  } else if (dc->st.hasClip) {
    dc->st.clip = Region::Combine(dc->st.clip.get(), r->rgn, op);
  } else {
    dc->st.clip = Region::Combine(Surface(dc), r->rgn, op);
  }
  dc->st.hasClip = true;
  return ClipResult(dc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return ERROR;
  md::canvas::Rect d = dc->DevRect(left, top, right, bottom);
  Region rect = Region::FromRect(d.left, d.top, d.right, d.bottom);
  dc->st.clip = dc->st.hasClip ? Region::Combine(dc->st.clip, rect, RegionOp::And)
                               : Region::Combine(Surface(dc), rect, RegionOp::And);
  dc->st.hasClip = true;
  return ClipResult(dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return ERROR;
  md::canvas::Rect d = dc->DevRect(left, top, right, bottom);
  Region rect = Region::FromRect(d.left, d.top, d.right, d.bottom);
  dc->st.clip = Region::Combine(dc->st.hasClip ? dc->st.clip.get() : Surface(dc), rect, RegionOp::Diff);
  dc->st.hasClip = true;
  return ClipResult(dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return ERROR;
  if (dc->st.hasClip) {
    Region moved = dc->st.clip;
    moved.Offset(Round(dx * dc->ScaleX()), Round(dy * dc->ScaleY()));
    dc->st.clip = std::move(moved);
  }
  return ClipResult(dc);
}

int GetClipBox(HDC hdc, LPRECT rect) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !rect) return ERROR;
  const Region vis = Visible(dc);
  const md::canvas::Rect b = vis.Box();
  const int type = RegionType(vis);
  // The device corners in logical units; under a y-up mapping top > bottom.
  rect->left = Round(dc->LogX(b.left));
  rect->top = Round(dc->LogY(b.top));
  rect->right = Round(dc->LogX(b.right));
  rect->bottom = Round(dc->LogY(b.bottom));
  return type;
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  DCObj* dc = FindDC(hdc);
  RegionObj* r = FindRgn(rgn);
  if (!dc || !r) return -1;
  if (!dc->st.hasClip) return 0;
  r->rgn = dc->st.clip;
  return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  POINT p = dc->DevPt(x, y);
  return Visible(dc).Contains(p.x, p.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !rect) return FALSE;
  md::canvas::Rect d = dc->DevRect(rect->left, rect->top, rect->right, rect->bottom);
  return Visible(dc).Intersects(d) ? TRUE : FALSE;
}
