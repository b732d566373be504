// Graphics objects and device contexts behind the handles of wingdi.h.
// Private to the GDI sources.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/canvas/canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/region.h"
#include "platform/win/wingdi.h"

namespace md::win::detail {

enum class ObjType { Pen, Brush, Font, Region, Bitmap, DC };

struct GdiObject {
  explicit GdiObject(ObjType t) : type(t) {}
  virtual ~GdiObject() = default;
  ObjType type;
  bool stock = false;
};

struct PenObj : GdiObject {
  PenObj() : GdiObject(ObjType::Pen) {}
  bool extended = false;   // made by ExtCreatePen
  DWORD style = PS_SOLID;  // full style word (style, cap, join, type)
  int width = 0;           // logical units; 0 = one device pixel
  COLORREF color = 0;
};

struct BrushObj : GdiObject {
  BrushObj() : GdiObject(ObjType::Brush) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
};

struct FontObj : GdiObject {
  FontObj() : GdiObject(ObjType::Font) {}
  LOGFONT lf;
};

struct RegionObj : GdiObject {
  RegionObj() : GdiObject(ObjType::Region) {}
  Region rgn;
};

struct DCObj;

struct BitmapObj : GdiObject {
  BitmapObj() : GdiObject(ObjType::Bitmap) {}
  int width = 0;
  int height = 0;
  bool bottomUp = false;
  bool dib = false;
  std::vector<std::uint32_t> pixels;       // width * height, rows in storage order
  DCObj* selectedIn = nullptr;             // the memory context it is selected into
  std::unique_ptr<canvas::Canvas> canvas;  // made on first drawing

  canvas::PixelBuffer Buffer() {
    return canvas::PixelBuffer{pixels.data(), width, height, width * 4, bottomUp};
  }
  canvas::Image View() const { return canvas::Image{pixels.data(), width, height, width * 4, bottomUp}; }
  std::uint32_t* Row(int y) {  // top-down row index
    return pixels.data() +
           static_cast<std::size_t>(bottomUp ? height - 1 - y : y) * static_cast<std::size_t>(width);
  }
  canvas::Canvas* Canvas();
};

// A clip region that copies of a state share until one of them sets its own:
// contexts save and restore their state far more often than they change
// their clip.
class SharedRegion {
 public:
  SharedRegion& operator=(Region r) {
    region_ = r.Empty() ? nullptr : std::make_shared<const Region>(std::move(r));
    return *this;
  }
  const Region& get() const {
    static const Region kEmpty;
    return region_ ? *region_ : kEmpty;
  }
  operator const Region&() const { return get(); }
  const Region* operator->() const { return &get(); }

 private:
  std::shared_ptr<const Region> region_;
};

struct DCState {
  int mapMode = MM_TEXT;
  POINT winOrg;
  SIZE winExt{1, 1};
  POINT vpOrg;
  SIZE vpExt{1, 1};
  PenObj* pen = nullptr;
  BrushObj* brush = nullptr;
  FontObj* font = nullptr;
  BitmapObj* bitmap = nullptr;
  bool hasClip = false;
  SharedRegion clip;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  int arcDirection = AD_COUNTERCLOCKWISE;
  POINT current;
};

enum class DCKind { Screen, Printer, Memory, Window };

struct DCObj : GdiObject {
  DCObj() : GdiObject(ObjType::DC) {}
  DCKind kind = DCKind::Screen;
  int technology = DT_RASDISPLAY;
  int dpiX = 96;
  int dpiY = 96;
  // Printer paper and margins in device pixels (screens: zero offsets,
  // paper = the surface).
  int physWidth = 0;
  int physHeight = 0;
  int offsetX = 0;
  int offsetY = 0;
  int printWidth = 0;  // printers: printable size in pixels
  int printHeight = 0;
  canvas::Canvas* target = nullptr;           // screens and printers
  std::unique_ptr<canvas::Canvas> ownCanvas;  // window contexts without a surface
  HWND hwnd = nullptr;
  text::TextEngine* engine = nullptr;
  DCState st;
  std::vector<DCState> saved;
  // The engine's font for the last LOGFONT and scale text was measured or
  // drawn with: labels in a row share them.
  struct {
    LOGFONT lf;
    double unitsX = 0, unitsY = 0;
    text::TextEngine* engine = nullptr;
    text::FontPtr font;
  } fontMemo;

  // Canvas state handed to every call; rebuilt when clip or background change.
  canvas::State canvasState;
  bool stateDirty = true;

  canvas::Canvas* Canvas();
  int SurfaceWidth();
  int SurfaceHeight();
  const canvas::State& State();
  void Touch() { stateDirty = true; }

  // Logical -> device, unrounded.
  double ScaleX() const { return static_cast<double>(st.vpExt.cx) / st.winExt.cx; }
  double ScaleY() const { return static_cast<double>(st.vpExt.cy) / st.winExt.cy; }
  double DevX(double x) const { return (x - st.winOrg.x) * ScaleX() + st.vpOrg.x; }
  double DevY(double y) const { return (y - st.winOrg.y) * ScaleY() + st.vpOrg.y; }
  double LogX(double x) const { return (x - st.vpOrg.x) / ScaleX() + st.winOrg.x; }
  double LogY(double y) const { return (y - st.vpOrg.y) / ScaleY() + st.winOrg.y; }
  // Rounded device point, as the platform snaps to whole pixels.
  canvas::Point Dev(int x, int y) const;
  POINT DevPt(int x, int y) const;
  POINT DevPt64(long long x, long long y) const;  // for sums of coordinates and extents
  // Device rectangle of a logical one, normalised.
  canvas::Rect DevRect(int left, int top, int right, int bottom) const;
  // A logical length along x (or y) in device pixels, unsigned.
  double DevLenX(double v) const { return v * std::abs(ScaleX()); }
  double DevLenY(double v) const { return v * std::abs(ScaleY()); }
};

// Handle table. Every live object is registered; lookups check type.
// The table's lock: recursive, and cheap when no other thread holds it (a
// drawing call takes it several times over).
class GdiMutex {
 public:
  void lock() {
    const std::thread::id self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return;
    }
    while (busy_.exchange(true, std::memory_order_acquire))
      while (busy_.load(std::memory_order_relaxed)) std::this_thread::yield();
    owner_.store(self, std::memory_order_relaxed);
    depth_ = 1;
  }
  void unlock() {
    if (--depth_ != 0) return;
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    busy_.store(false, std::memory_order_release);
  }

 private:
  std::atomic<bool> busy_{false};
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;
};
GdiMutex& Lock();
void Register(GdiObject* obj);
// Handles found lately, shared by all threads (drawing calls look the same
// device context and pens up again and again). A slot holds a live object's
// handle, which is the object's address, or null; an object leaving the
// table clears its slot under the lock, so a handle read from a slot is live.
constexpr unsigned kFoundBits = 8;
extern std::atomic<const void*> g_found[1u << kFoundBits];
// Fibonacci hashing: objects of one size lie a fixed stride apart.
inline std::uint64_t Spread(const void* handle) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle)) * 0x9E3779B97F4A7C15ull;
}
inline std::atomic<const void*>& FoundSlot(const void* handle) {
  return g_found[Spread(handle) >> (64 - kFoundBits)];
}
GdiObject* FindInTable(const void* handle);
inline GdiObject* Find(const void* handle) {
  if (handle != nullptr && FoundSlot(handle).load(std::memory_order_acquire) == handle)
    return static_cast<GdiObject*>(const_cast<void*>(handle));
  return FindInTable(handle);
}
template <typename T>
T* FindAs(const void* handle, ObjType type) {
  GdiObject* o = Find(handle);
  return (o && o->type == type) ? static_cast<T*>(o) : nullptr;
}
inline DCObj* FindDC(HDC hdc) { return FindAs<DCObj>(hdc, ObjType::DC); }
inline RegionObj* FindRgn(HRGN h) { return FindAs<RegionObj>(h, ObjType::Region); }
inline BrushObj* FindBrush(HBRUSH h) { return FindAs<BrushObj>(h, ObjType::Brush); }
// Brush from a handle, accepting system-colour indices (COLOR_xxx + 1).
bool ResolveBrush(HBRUSH h, BrushObj* out);

DCObj* NewDC(DCKind kind);
// The stock objects, made on first use and kept until exit.
struct Stock {
  GdiObject* objects[20] = {};
  BitmapObj* bitmap = nullptr;  // the 1 x 1 bitmap of new memory contexts
};
Stock& Stocks();
// Drops an object from the handle table (and frees it).
void Destroy(GdiObject* obj);
// Keeps a memory context's bitmap bookkeeping right when its state changes.
void RebindBitmaps(DCObj* dc, BitmapObj* before);
int RegionType(const Region& r);
// Half away from zero, saturated to int; 0 for NaN and infinities. Inline:
// every device point goes through it.
inline int Round(double v) {
  // Nearly every coordinate lies well inside int: one test, no other branch.
  if (std::abs(v) < 2.0e9) return static_cast<int>(v + std::copysign(0.5, v));
  if (!std::isfinite(v)) return 0;
  v = v < 0 ? v - 0.5 : v + 0.5;
  if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

inline canvas::Point DCObj::Dev(int x, int y) const {
  return canvas::Point{static_cast<double>(Round(DevX(x))), static_cast<double>(Round(DevY(y)))};
}
inline POINT DCObj::DevPt(int x, int y) const { return POINT{Round(DevX(x)), Round(DevY(y))}; }
int AddSat(int a, int b);
int SubSat(int a, int b);  // a - b, saturated to int
int MidSat(int a, int b);  // a + (b - a) / 2 without overflow

canvas::Pen ResolvePen(const DCObj& dc, const PenObj* pen);
canvas::Brush ResolveBrushFor(const BrushObj* brush);
text::FontPtr CurrentFont(DCObj& dc);

}  // namespace md::win::detail
