// Graphics objects, device contexts, mapping modes and saved states.
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

struct Table {
  std::recursive_mutex mutex;
  std::unordered_map<const void*, std::unique_ptr<GdiObject>> live;
  std::unordered_map<const void*, std::unique_ptr<GdiObject>> stock;
};

Table& T() {
  static Table* t = new Table;  // lives until exit; objects may be released late
  return *t;
}

}  // namespace

std::recursive_mutex& Lock() { return T().mutex; }

void Register(GdiObject* obj) {
  std::lock_guard<std::recursive_mutex> g(Lock());
  if (obj->stock) {
    T().stock.emplace(obj, std::unique_ptr<GdiObject>(obj));
  } else {
    T().live.emplace(obj, std::unique_ptr<GdiObject>(obj));
  }
}

GdiObject* Find(const void* handle) {
  if (!handle) return nullptr;
  std::lock_guard<std::recursive_mutex> g(Lock());
  auto it = T().live.find(handle);
  if (it != T().live.end()) return it->second.get();
  auto s = T().stock.find(handle);
  return s != T().stock.end() ? s->second.get() : nullptr;
}

int Round(double v) {
  if (!std::isfinite(v)) return 0;
  v = v < 0 ? v - 0.5 : v + 0.5;
  if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

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
    canvasState.clip.rects = st.hasClip ? st.clip.Rects() : std::vector<canvas::Rect>{};
    canvasState.opaque = st.bkMode == OPAQUE;
    canvasState.background = st.bkColor & 0xFFFFFF;
    stateDirty = false;
  }
  return canvasState;
}

canvas::Point DCObj::Dev(int x, int y) const {
  return canvas::Point{static_cast<double>(Round(DevX(x))), static_cast<double>(Round(DevY(y)))};
}

POINT DCObj::DevPt(int x, int y) const { return POINT{Round(DevX(x)), Round(DevY(y))}; }

POINT DCObj::DevPt64(long long x, long long y) const {
  return POINT{Round(DevX(static_cast<double>(x))), Round(DevY(static_cast<double>(y)))};
}

int AddSat(int a, int b) {
  const long long v = static_cast<long long>(a) + b;
  return static_cast<int>(
      std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

canvas::Rect DCObj::DevRect(int left, int top, int right, int bottom) const {
  POINT a = DevPt(left, top), b = DevPt(right, bottom);
  return canvas::Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

namespace {

template <typename T>
T* MakeStock(auto&& init) {
  auto* o = new T;
  o->stock = true;
  init(*o);
  Register(o);
  return o;
}

struct Stock {
  GdiObject* objects[20] = {};
  BitmapObj* bitmap = nullptr;  // the 1 x 1 bitmap of new memory contexts
};

Stock& Stocks() {
  static Stock* s = [] {
    auto* st = new Stock;
    auto brush = [](UINT style, COLORREF c) {
      return MakeStock<BrushObj>([&](BrushObj& b) {
        b.style = style;
        b.color = c;
      });
    };
    auto pen = [](int style, COLORREF c) {
      return MakeStock<PenObj>([&](PenObj& p) {
        p.style = static_cast<DWORD>(style);
        p.color = c;
      });
    };
    auto font = [](const char* face, int height, bool fixed) {
      return MakeStock<FontObj>([&](FontObj& f) {
        f.lf.lfHeight = height;
        f.lf.lfWeight = FW_NORMAL;
        f.lf.lfCharSet = DEFAULT_CHARSET;
        f.lf.lfPitchAndFamily = fixed ? 1 : 2;
        std::strncpy(f.lf.lfFaceName, face, LF_FACESIZE - 1);
      });
    };
    st->objects[WHITE_BRUSH] = brush(BS_SOLID, 0xFFFFFF);
    st->objects[LTGRAY_BRUSH] = brush(BS_SOLID, 0xC0C0C0);
    st->objects[GRAY_BRUSH] = brush(BS_SOLID, 0x808080);
    st->objects[DKGRAY_BRUSH] = brush(BS_SOLID, 0x404040);
    st->objects[BLACK_BRUSH] = brush(BS_SOLID, 0x000000);
    st->objects[NULL_BRUSH] = brush(BS_NULL, 0);
    st->objects[WHITE_PEN] = pen(PS_SOLID, 0xFFFFFF);
    st->objects[BLACK_PEN] = pen(PS_SOLID, 0x000000);
    st->objects[NULL_PEN] = pen(PS_NULL, 0);
    st->objects[OEM_FIXED_FONT] = font("Terminal", 12, true);
    st->objects[ANSI_FIXED_FONT] = font("Courier", 13, true);
    st->objects[ANSI_VAR_FONT] = font("MS Sans Serif", 13, false);
    st->objects[SYSTEM_FONT] = font("System", 16, false);
    st->objects[DEVICE_DEFAULT_FONT] = font("System", 16, false);
    st->objects[SYSTEM_FIXED_FONT] = font("Fixedsys", 15, true);
    st->objects[DEFAULT_GUI_FONT] = font("MS Shell Dlg", -11, false);
    st->bitmap = MakeStock<BitmapObj>([](BitmapObj& b) {
      b.width = 1;
      b.height = 1;
      b.pixels.assign(1, 0);
    });
    return st;
  }();
  return *s;
}

}  // namespace

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

namespace {

// True when an object is selected into any context, now or in a saved state.
bool InUse(const GdiObject* obj) {
  std::lock_guard<std::recursive_mutex> g(Lock());
  auto uses = [obj](const DCState& s) {
    return s.pen == obj || s.brush == obj || s.font == obj || s.bitmap == obj;
  };
  for (auto& [h, o] : T().live) {
    if (o->type != ObjType::DC) continue;
    const auto* dc = static_cast<const DCObj*>(o.get());
    if (uses(dc->st)) return true;
    for (const DCState& s : dc->saved) {
      if (uses(s)) return true;
    }
  }
  return false;
}

void Destroy(GdiObject* obj) {
  std::lock_guard<std::recursive_mutex> g(Lock());
  T().live.erase(obj);
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

// Copies a face name into a LOGFONT field, NUL-terminated; a name too long
// for it is cut before the UTF-8 character that does not fit.
void CopyFaceName(char (&out)[LF_FACESIZE], const char* face, std::size_t length) {
  std::size_t n = length < LF_FACESIZE ? length : LF_FACESIZE - 1;
  if (n < length)
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, face, n);
  std::memset(out + n, 0, LF_FACESIZE - n);
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

std::size_t LiveObjectCount() {
  std::lock_guard<std::recursive_mutex> g(Lock());
  (void)Stocks();
  return T().live.size();
}

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
  std::lock_guard<std::recursive_mutex> g(Lock());
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

int SaveDC(HDC hdc) {
  DCObj* dc = FindDC(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  DCObj* dc = FindDC(hdc);
  if (!dc || savedDC == 0) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  const int level = savedDC > 0 ? savedDC : depth + 1 + savedDC;
  if (level < 1 || level > depth) return FALSE;
  BitmapObj* before = dc->st.bitmap;
  dc->st = dc->saved[static_cast<std::size_t>(level - 1)];
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

// ---- mapping ------------------------------------------------------------

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
  for (int i = 0; i < count; ++i) pts[i] = dc->DevPt(pts[i].x, pts[i].y);
  return TRUE;
}

// ---- objects ------------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color) {
  if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
  auto* p = new PenObj;
  p->style = static_cast<DWORD>(style & PS_STYLE_MASK);
  p->width = std::max(0, width);
  p->color = color;
  Register(p);
  return reinterpret_cast<HPEN>(p);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) return nullptr;
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles) {
  (void)styles;
  if (!brush || styleCount != 0) return nullptr;  // user-defined dash patterns are not supported
  const DWORD type = style & PS_TYPE_MASK;
  if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME || (type != PS_COSMETIC && type != PS_GEOMETRIC))
    return nullptr;
  if (type == PS_COSMETIC && width != 1) return nullptr;
  if (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL && brush->lbStyle != BS_HATCHED) return nullptr;
  if (width > 1000000) return nullptr;
  auto* p = new PenObj;
  p->extended = true;
  p->style = style;
  p->width = static_cast<int>(width);
  p->color = brush->lbColor;
  if (brush->lbStyle == BS_NULL) p->style = (style & ~static_cast<DWORD>(PS_STYLE_MASK)) | PS_NULL;
  Register(p);
  return reinterpret_cast<HPEN>(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new BrushObj;
  b->style = BS_SOLID;
  b->color = color;
  Register(b);
  return reinterpret_cast<HBRUSH>(b);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = new BrushObj;
  b->style = BS_HATCHED;
  b->color = color;
  b->hatch = hatch;
  Register(b);
  return reinterpret_cast<HBRUSH>(b);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  switch (brush->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED:
      return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_NULL: {
      auto* b = new BrushObj;
      b->style = BS_NULL;
      Register(b);
      return reinterpret_cast<HBRUSH>(b);
    }
    default:
      return nullptr;
  }
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) return nullptr;
  auto* f = new FontObj;
  f->lf = *font;
  CopyFaceName(f->lf.lfFaceName, font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
  Register(f);
  return reinterpret_cast<HFONT>(f);
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic != 0);
  lf.lfUnderline = static_cast<BYTE>(underline != 0);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) CopyFaceName(lf.lfFaceName, face, std::strlen(face));
  return CreateFontIndirect(&lf);
}

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= 20) return nullptr;
  return Stocks().objects[index];
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  std::lock_guard<std::recursive_mutex> g(Lock());
  DCObj* dc = FindDC(hdc);
  GdiObject* o = Find(obj);
  if (!dc || !o) return nullptr;
  switch (o->type) {
    case ObjType::Pen: {
      HGDIOBJ old = dc->st.pen;
      dc->st.pen = static_cast<PenObj*>(o);
      return old;
    }
    case ObjType::Brush: {
      HGDIOBJ old = dc->st.brush;
      dc->st.brush = static_cast<BrushObj*>(o);
      return old;
    }
    case ObjType::Font: {
      HGDIOBJ old = dc->st.font;
      dc->st.font = static_cast<FontObj*>(o);
      return old;
    }
    case ObjType::Region: {
      // Selecting a region sets the clip; the result is the region type.
      int type = SelectClipRgn(hdc, static_cast<HRGN>(obj));
      return type == ERROR ? nullptr : reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(type));
    }
    case ObjType::Bitmap: {
      auto* b = static_cast<BitmapObj*>(o);
      if (dc->kind != DCKind::Memory) return nullptr;
      if (b->selectedIn && b->selectedIn != dc) return nullptr;  // one context at a time
      BitmapObj* before = dc->st.bitmap;
      dc->st.bitmap = b;
      RebindBitmaps(dc, before);
      dc->Touch();
      return before;
    }
    case ObjType::DC:
      return nullptr;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ obj) {
  std::lock_guard<std::recursive_mutex> g(Lock());
  GdiObject* o = Find(obj);
  if (!o || o->type == ObjType::DC) return FALSE;
  if (o->stock) return TRUE;
  // An object selected into a context (or kept in its saved states) stays
  // alive: deleting it would leave the context pointing at freed memory.
  if (InUse(o)) return FALSE;
  Destroy(o);
  return TRUE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  GdiObject* o = Find(obj);
  if (!o || size < 0) return 0;
  auto copy = [&](const auto& value) -> int {
    const int need = static_cast<int>(sizeof value);
    if (!out) return need;
    if (size < need) return 0;
    std::memcpy(out, &value, sizeof value);
    return need;
  };
  switch (o->type) {
    case ObjType::Pen: {
      auto* p = static_cast<PenObj*>(o);
      if (p->extended) {
        EXTLOGPEN e;
        e.elpPenStyle = p->style;
        e.elpWidth = static_cast<DWORD>(p->width);
        e.elpBrushStyle = (p->style & PS_STYLE_MASK) == PS_NULL ? BS_NULL : BS_SOLID;
        e.elpColor = p->color;
        return copy(e);
      }
      LOGPEN l;
      l.lopnStyle = p->style;
      l.lopnWidth = POINT{p->width, 0};
      l.lopnColor = p->color;
      return copy(l);
    }
    case ObjType::Brush: {
      auto* b = static_cast<BrushObj*>(o);
      LOGBRUSH l;
      l.lbStyle = b->style;
      l.lbColor = b->color;
      l.lbHatch = static_cast<ULONG_PTR>(b->hatch);
      return copy(l);
    }
    case ObjType::Font:
      return copy(static_cast<FontObj*>(o)->lf);
    case ObjType::Bitmap: {
      auto* b = static_cast<BitmapObj*>(o);
      BITMAP bm;
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      bm.bmWidthBytes = b->width * 4;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = 32;
      bm.bmBits = b->dib ? b->pixels.data() : nullptr;
      return copy(bm);
    }
    default:
      return 0;
  }
}

// ---- attributes ---------------------------------------------------------

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
int SetStretchBltMode(HDC hdc, int mode) {
  MD_DC_OR(0);
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  int old = dc->st.stretchMode;
  dc->st.stretchMode = mode;
  return old;
}
int GetStretchBltMode(HDC hdc) {
  MD_DC_OR(0);
  return dc->st.stretchMode;
}
int SetArcDirection(HDC hdc, int dir) {
  MD_DC_OR(0);
  if (dir != AD_COUNTERCLOCKWISE && dir != AD_CLOCKWISE) return 0;
  int old = dc->st.arcDirection;
  dc->st.arcDirection = dir;
  return old;
}
int GetArcDirection(HDC hdc) {
  MD_DC_OR(0);
  return dc->st.arcDirection;
}
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt) {
  MD_DC_OR(FALSE);
  if (!pt) return FALSE;
  *pt = dc->st.current;
  return TRUE;
}
