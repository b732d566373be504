// Device contexts: making, saving and restoring them, device capabilities,
// resolving their pens and brushes, and their drawing attributes.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <utility>

#include "platform/canvas/recording.h"
#include "platform/win/gdi_internal.h"

namespace md::win::detail {

int RegionType(const Region& r) {
  if (r.Empty()) return NULLREGION;
  return r.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool ResolveBrush(HBRUSH h, BrushObj* out) {
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v > 0 && v <= 31) {
    // System colour index + 1, as window classes and FillRect accept.
    static const COLORREF kSys[31] = {0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464,
                                      0x000000, 0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933,
                                      0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0xFFFFFF, 0x696969,
                                      0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7,
                                      0xFF9933, 0xF0F0F0, 0xF0F0F0};
    out->style = BS_SOLID;
    out->color = kSys[v - 1];
    out->hatch = 0;
    return true;
  }
  BrushObj* b = FindBrush(h);
  if (!b) return false;
  out->style = b->style;
  out->color = b->color;
  out->hatch = b->hatch;
  return true;
}

canvas::Pen ResolvePen(const DCObj& dc, const PenObj* pen) {
  canvas::Pen p;
  if (!pen) {
    p.style = canvas::PenStyle::Null;
    return p;
  }
  const int style = static_cast<int>(pen->style) & PS_STYLE_MASK;
  const bool geometric = pen->extended && (pen->style & PS_TYPE_MASK) == PS_GEOMETRIC;
  double width = 1.0;
  if (pen->width > 0 && (!pen->extended || geometric)) width = std::max(1.0, dc.DevLenX(pen->width));
  p.width = width;
  p.color = pen->color & 0xFFFFFF;
  switch (style) {
    case PS_DASH:
      p.style = canvas::PenStyle::Dash;
      break;
    case PS_DOT:
      p.style = canvas::PenStyle::Dot;
      break;
    case PS_DASHDOT:
      p.style = canvas::PenStyle::DashDot;
      break;
    case PS_DASHDOTDOT:
      p.style = canvas::PenStyle::DashDotDot;
      break;
    case PS_NULL:
      p.style = canvas::PenStyle::Null;
      break;
    case PS_INSIDEFRAME:
      p.style = canvas::PenStyle::InsideFrame;
      break;
    default:
      p.style = canvas::PenStyle::Solid;
      break;
  }
  // A pen from CreatePen that is wider than one unit draws its dashes solid.
  if (!pen->extended && pen->width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) {
    p.style = canvas::PenStyle::Solid;
  }
  if (pen->extended && geometric) {
    switch (pen->style & PS_ENDCAP_MASK) {
      case PS_ENDCAP_SQUARE:
        p.cap = canvas::LineCap::Square;
        break;
      case PS_ENDCAP_FLAT:
        p.cap = canvas::LineCap::Flat;
        break;
      default:
        p.cap = canvas::LineCap::Round;
        break;
    }
    switch (pen->style & PS_JOIN_MASK) {
      case PS_JOIN_BEVEL:
        p.join = canvas::LineJoin::Bevel;
        break;
      case PS_JOIN_MITER:
        p.join = canvas::LineJoin::Miter;
        break;
      default:
        p.join = canvas::LineJoin::Round;
        break;
    }
  }
  return p;
}

canvas::Brush ResolveBrushFor(const BrushObj* brush) {
  canvas::Brush b;
  if (!brush || brush->style == BS_NULL) {
    b.style = canvas::BrushStyle::Null;
    return b;
  }
  b.color = brush->color & 0xFFFFFF;
  if (brush->style == BS_HATCHED) {
    b.style = canvas::BrushStyle::Hatched;
    b.hatch = static_cast<canvas::Hatch>(std::clamp(brush->hatch, 0, 5));
  } else {
    b.style = canvas::BrushStyle::Solid;
  }
  return b;
}

canvas::Canvas* BitmapObj::Canvas() {
  if (!canvas && width > 0 && height > 0) canvas = canvas::makeRasterCanvas(Buffer());
  return canvas.get();
}

canvas::Canvas* DCObj::Canvas() {
  if (kind == DCKind::Memory) return st.bitmap ? st.bitmap->Canvas() : nullptr;
  return target ? target : ownCanvas.get();
}

int DCObj::SurfaceWidth() {
  if (kind == DCKind::Memory) return st.bitmap ? st.bitmap->width : 0;
  if (kind == DCKind::Printer) return printWidth;
  canvas::Canvas* c = Canvas();
  return c ? c->width() : 0;
}

int DCObj::SurfaceHeight() {
  if (kind == DCKind::Memory) return st.bitmap ? st.bitmap->height : 0;
  if (kind == DCKind::Printer) return printHeight;
  canvas::Canvas* c = Canvas();
  return c ? c->height() : 0;
}

const canvas::State& DCObj::State() {
  if (stateDirty) {
    canvasState.clip.active = st.hasClip;
    if (st.hasClip)
      st.clip->Rects(&canvasState.clip.rects);
    else
      canvasState.clip.rects.clear();
    canvasState.opaque = st.bkMode == OPAQUE;
    canvasState.background = st.bkColor & 0xFFFFFF;
    stateDirty = false;
  }
  return canvasState;
}

POINT DCObj::DevPt64(long long x, long long y) const {
  return POINT{Round(DevX(static_cast<double>(x))), Round(DevY(static_cast<double>(y)))};
}

int AddSat(int a, int b) {
  const long long v = static_cast<long long>(a) + b;
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int SubSat(int a, int b) {
  const long long v = static_cast<long long>(a) - b;
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int MidSat(int a, int b) { return static_cast<int>(a + (static_cast<long long>(b) - a) / 2); }

canvas::Rect DCObj::DevRect(int left, int top, int right, int bottom) const {
  POINT a = DevPt(left, top), b = DevPt(right, bottom);
  return canvas::Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

DCObj* NewDC(DCKind kind) {
  Stock& s = Stocks();
  auto* dc = new DCObj;
  dc->kind = kind;
  dc->st.pen = static_cast<PenObj*>(s.objects[BLACK_PEN]);
  dc->st.brush = static_cast<BrushObj*>(s.objects[WHITE_BRUSH]);
  dc->st.font = static_cast<FontObj*>(s.objects[SYSTEM_FONT]);
  dc->engine = &text::FreeTypeEngine();
  if (kind == DCKind::Memory) dc->st.bitmap = s.bitmap;
  Register(dc);
  return dc;
}

// Keeps a memory context's bitmap bookkeeping right when its state changes:
// a bitmap stays bound to the context while its current or a saved state
// holds it.
void RebindBitmaps(DCObj* dc, BitmapObj* before) {
  if (before && before != dc->st.bitmap && before->selectedIn == dc) {
    bool kept = false;
    for (const DCState& s : dc->saved) kept |= s.bitmap == before;
    if (!kept) before->selectedIn = nullptr;
  }
  if (dc->st.bitmap && !dc->st.bitmap->stock) dc->st.bitmap->selectedIn = dc;
}

}  // namespace md::win::detail

using namespace md::win::detail;

// ---- device contexts ----------------------------------------------------

namespace md::win {

HDC CreateScreenDC(canvas::Canvas* target, int dpi, text::TextEngine* engine) {
  if (!target || dpi <= 0 || dpi > 100000) return nullptr;
  DCObj* dc = NewDC(DCKind::Screen);
  dc->target = target;
  dc->dpiX = dc->dpiY = dpi;
  dc->technology = DT_RASDISPLAY;
  dc->physWidth = target->width();
  dc->physHeight = target->height();
  if (engine) dc->engine = engine;
  return reinterpret_cast<HDC>(dc);
}

HDC CreatePrinterDC(canvas::Canvas* target, const PrinterSetup& s, text::TextEngine* engine) {
  auto px = [](double mm, int dpi) { return Round(mm / 25.4 * dpi); };
  auto ok = [](double v) { return std::isfinite(v) && v >= 0 && v <= 100000; };
  if (!target || s.dpiX <= 0 || s.dpiY <= 0 || s.dpiX > 100000 || s.dpiY > 100000) return nullptr;
  if (!ok(s.paperWidthMm) || !ok(s.paperHeightMm) || !ok(s.marginLeftMm) || !ok(s.marginTopMm) ||
      !ok(s.marginRightMm) || !ok(s.marginBottomMm) || s.paperWidthMm <= 0 || s.paperHeightMm <= 0) {
    return nullptr;
  }
  DCObj* dc = NewDC(DCKind::Printer);
  dc->target = target;
  dc->dpiX = s.dpiX;
  dc->dpiY = s.dpiY;
  dc->technology = DT_RASPRINTER;
  dc->physWidth = px(s.paperWidthMm, s.dpiX);
  dc->physHeight = px(s.paperHeightMm, s.dpiY);
  dc->offsetX = px(s.marginLeftMm, s.dpiX);
  dc->offsetY = px(s.marginTopMm, s.dpiY);
  dc->printWidth = std::max(0, dc->physWidth - dc->offsetX - px(s.marginRightMm, s.dpiX));
  dc->printHeight = std::max(0, dc->physHeight - dc->offsetY - px(s.marginBottomMm, s.dpiY));
  if (engine) dc->engine = engine;
  return reinterpret_cast<HDC>(dc);
}

BOOL SetDCTextEngine(HDC hdc, text::TextEngine* engine) {
  DCObj* dc = FindDC(hdc);
  if (!dc || !engine) return FALSE;
  dc->engine = engine;
  return TRUE;
}

text::TextEngine* GetDCTextEngine(HDC hdc) {
  DCObj* dc = FindDC(hdc);
  return dc ? dc->engine : nullptr;
}

canvas::Canvas* GetDCCanvas(HDC hdc) {
  DCObj* dc = FindDC(hdc);
  return dc ? dc->Canvas() : nullptr;
}

std::vector<RECT> GetRegionRects(HRGN rgn) {
  std::vector<RECT> out;
  RegionObj* r = FindRgn(rgn);
  if (!r) return out;
  for (const canvas::Rect& c : r->rgn.Rects()) out.push_back(RECT{c.left, c.top, c.right, c.bottom});
  return out;
}

bool GetBitmapImage(HBITMAP bitmap, canvas::Image* image) {
  auto* b = FindAs<BitmapObj>(bitmap, ObjType::Bitmap);
  if (!b || !image) return false;
  *image = b->View();
  return true;
}

namespace {
std::atomic<WindowSurfaceProvider> g_windowProvider{nullptr};
}

void SetWindowSurfaceProvider(WindowSurfaceProvider provider) { g_windowProvider.store(provider); }

}  // namespace md::win

HDC GetDC(HWND hwnd) {
  md::win::WindowSurface surface;
  md::win::WindowSurfaceProvider p = md::win::g_windowProvider.load();
  DCObj* dc = NewDC(DCKind::Window);
  dc->hwnd = hwnd;
  if (p && p(hwnd, &surface) && surface.canvas && surface.dpi > 0) {
    dc->target = surface.canvas;
    dc->dpiX = dc->dpiY = surface.dpi;
  } else {
    dc->ownCanvas = std::make_unique<md::canvas::RecordingCanvas>(1, 1);
  }
  md::canvas::Canvas* c = dc->Canvas();
  dc->physWidth = c->width();
  dc->physHeight = c->height();
  return reinterpret_cast<HDC>(dc);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  DCObj* dc = FindDC(hdc);
  if (!dc || dc->kind != DCKind::Window || dc->hwnd != hwnd) return 0;
  return DeleteDC(hdc);
}

HDC CreateCompatibleDC(HDC hdc) {
  DCObj* src = nullptr;
  if (hdc) {
    src = FindDC(hdc);
    if (!src) return nullptr;
  }
  DCObj* dc = NewDC(DCKind::Memory);
  if (src) {
    dc->dpiX = src->dpiX;
    dc->dpiY = src->dpiY;
    dc->technology = src->technology;
    dc->engine = src->engine;
  }
  return reinterpret_cast<HDC>(dc);
}

void ForgetCDC(HDC hdc);  // cdc.cpp

BOOL DeleteDC(HDC hdc) {
  std::lock_guard<GdiMutex> g(Lock());
  DCObj* dc = FindDC(hdc);
  if (!dc) return FALSE;
  auto release = [dc](BitmapObj* b) {
    if (b && b->selectedIn == dc) b->selectedIn = nullptr;
  };
  release(dc->st.bitmap);
  for (DCState& s : dc->saved) release(s.bitmap);
  ForgetCDC(hdc);
  Destroy(dc);
  return TRUE;
}

// The saved states change under the object table's lock: DeleteObject reads
// every context's states from whatever thread deletes.
int SaveDC(HDC hdc) {
  std::lock_guard<GdiMutex> g(Lock());
  DCObj* dc = FindDC(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  std::lock_guard<GdiMutex> g(Lock());
  DCObj* dc = FindDC(hdc);
  if (!dc || savedDC == 0) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  const int level = savedDC > 0 ? savedDC : depth + 1 + savedDC;
  if (level < 1 || level > depth) return FALSE;
  BitmapObj* before = dc->st.bitmap;
  dc->st = std::move(dc->saved[static_cast<std::size_t>(level - 1)]);
  dc->saved.resize(static_cast<std::size_t>(level - 1));
  RebindBitmaps(dc, before);
  dc->Touch();
  return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return 0;
  const int w = dc->SurfaceWidth(), h = dc->SurfaceHeight();
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return dc->technology;
    case HORZSIZE:
      return Round(w * 25.4 / dc->dpiX);
    case VERTSIZE:
      return Round(h * 25.4 / dc->dpiY);
    case HORZRES:
      return w;
    case VERTRES:
      return h;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case RASTERCAPS:
      return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case LOGPIXELSX:
      return dc->dpiX;
    case LOGPIXELSY:
      return dc->dpiY;
    case PHYSICALWIDTH:
      return dc->kind == DCKind::Printer ? dc->physWidth : 0;
    case PHYSICALHEIGHT:
      return dc->kind == DCKind::Printer ? dc->physHeight : 0;
    case PHYSICALOFFSETX:
      return dc->kind == DCKind::Printer ? dc->offsetX : 0;
    case PHYSICALOFFSETY:
      return dc->kind == DCKind::Printer ? dc->offsetY : 0;
    default:
      return 0;
  }
}

DWORD GetObjectType(HGDIOBJ obj) {
  GdiObject* o = Find(obj);
  if (!o) return 0;
  switch (o->type) {
    case ObjType::Pen:
      return static_cast<PenObj*>(o)->extended ? OBJ_EXTPEN : OBJ_PEN;
    case ObjType::Brush:
      return OBJ_BRUSH;
    case ObjType::Font:
      return OBJ_FONT;
    case ObjType::Region:
      return OBJ_REGION;
    case ObjType::Bitmap:
      return OBJ_BITMAP;
    case ObjType::DC:
      return static_cast<DCObj*>(o)->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
  }
  return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      return dc->st.pen;
    case OBJ_BRUSH:
      return dc->st.brush;
    case OBJ_FONT:
      return dc->st.font;
    case OBJ_BITMAP:
      return dc->st.bitmap;
    default:
      return nullptr;
  }
}

#define MD_DC_OR(fail)     \
  DCObj* dc = FindDC(hdc); \
  if (!dc) return fail

int SetBkMode(HDC hdc, int mode) {
  MD_DC_OR(0);
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  int old = dc->st.bkMode;
  dc->st.bkMode = mode;
  dc->Touch();
  return old;
}
int GetBkMode(HDC hdc) {
  MD_DC_OR(0);
  return dc->st.bkMode;
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  MD_DC_OR(CLR_INVALID);
  COLORREF old = dc->st.bkColor;
  dc->st.bkColor = color;
  dc->Touch();
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  MD_DC_OR(CLR_INVALID);
  return dc->st.bkColor;
}
COLORREF SetTextColor(HDC hdc, COLORREF color) {
  MD_DC_OR(CLR_INVALID);
  COLORREF old = dc->st.textColor;
  dc->st.textColor = color;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  MD_DC_OR(CLR_INVALID);
  return dc->st.textColor;
}
UINT SetTextAlign(HDC hdc, UINT align) {
  MD_DC_OR(GDI_ERROR);
  UINT old = dc->st.textAlign;
  dc->st.textAlign = align;
  return old;
}
UINT GetTextAlign(HDC hdc) {
  MD_DC_OR(GDI_ERROR);
  return dc->st.textAlign;
}
int SetPolyFillMode(HDC hdc, int mode) {
  MD_DC_OR(0);
  if (mode != ALTERNATE && mode != WINDING) return 0;
  int old = dc->st.polyFillMode;
  dc->st.polyFillMode = mode;
  return old;
}
int GetPolyFillMode(HDC hdc) {
  MD_DC_OR(0);
  return dc->st.polyFillMode;
}
int SetArcDirection(HDC hdc, int dir) {
  MD_DC_OR(0);
  if (dir != AD_COUNTERCLOCKWISE && dir != AD_CLOCKWISE) return 0;
  int old = dc->st.arcDirection;
  dc->st.arcDirection = dir;
  return old;
}
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt) {
  MD_DC_OR(FALSE);
  if (!pt) return FALSE;
  *pt = dc->st.current;
  return TRUE;
}
