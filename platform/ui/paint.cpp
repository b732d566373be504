// Painting: paint device contexts for windows and the surfaces windows draw on.
#include <algorithm>
#include <map>
#include <memory>

#include "platform/canvas/canvas.h"
#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/paint.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

using md::ui::detail::Get;
using md::ui::detail::WindowState;

namespace md::ui {
namespace {

// A window's view of its top-level window's canvas: coordinates start at the
// window's client origin and nothing is painted outside its client area.
class WindowCanvas final : public md::canvas::Canvas {
 public:
  md::canvas::Canvas* target = nullptr;
  int dx = 0, dy = 0, w = 0, h = 0;

  int width() const override { return w; }
  int height() const override { return h; }
  void drawShape(const md::canvas::Shape& shape, const md::canvas::Pen& pen, const md::canvas::Brush& brush,
                 const md::canvas::State& state) override {
    md::canvas::Shape moved = shape;
    for (auto& path : moved.paths)
      for (auto& p : path.points) p = Move(p);
    moved.bounds = Move(shape.bounds);
    target->drawShape(moved, pen, brush, Clip(state));
  }
  void fillRects(const std::vector<md::canvas::Rect>& rects, const md::canvas::Brush& brush,
                 const md::canvas::State& state) override {
    std::vector<md::canvas::Rect> moved;
    for (const auto& r : rects) moved.push_back(Move(r));
    target->fillRects(moved, brush, Clip(state));
  }
  void drawText(const md::canvas::TextRun& run, const md::canvas::State& state) override {
    md::canvas::TextRun moved = run;
    moved.origin = Move(run.origin);
    for (auto& p : moved.backgroundBox) p = Move(p);
    target->drawText(moved, Clip(state));
  }
  void drawImage(const md::canvas::Image& image, const md::canvas::Rect& src, const md::canvas::Rect& dst,
                 const md::canvas::State& state) override {
    target->drawImage(image, src, Move(dst), Clip(state));
  }
  bool readPixels(const md::canvas::Rect& r, std::uint32_t* out) const override {
    return target->readPixels(Move(r), out);
  }
  void flush() override { target->flush(); }

 private:
  md::canvas::Point Move(md::canvas::Point p) const { return {p.x + dx, p.y + dy}; }
  md::canvas::Rect Move(const md::canvas::Rect& r) const {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
  }
  md::canvas::State Clip(const md::canvas::State& state) const {
    md::canvas::State out = state;
    const md::canvas::Rect area{dx, dy, dx + w, dy + h};
    out.clip.active = true;
    out.clip.rects.clear();
    std::vector<md::canvas::Rect> source =
        state.clip.active ? state.clip.rects : std::vector<md::canvas::Rect>{{0, 0, w, h}};
    for (const auto& r : source) {
      md::canvas::Rect m = Move(r);
      md::canvas::Rect c{std::max(m.left, area.left), std::max(m.top, area.top),
                         std::min(m.right, area.right), std::min(m.bottom, area.bottom)};
      if (!c.empty()) out.clip.rects.push_back(c);
    }
    return out;
  }
};

struct Surfaces {
  std::map<HWND, md::canvas::Canvas*> tops;
  std::map<HWND, std::unique_ptr<WindowCanvas>> views;
};

Surfaces& Surf() {
  static Surfaces s;
  return s;
}

// Windows draw on the canvas given to their top-level window (a snapshot,
// or a recording canvas of a test); without one a window's context draws
// nowhere.
bool ProvideSurface(HWND hwnd, md::win::WindowSurface* surface) {
  WindowState* s = Get(hwnd);
  if (!s || !surface) return false;
  Surfaces& all = Surf();
  auto it = all.tops.find(s->TopLevel()->handle);
  if (it == all.tops.end() || !it->second) return false;
  std::unique_ptr<WindowCanvas>& view = all.views[hwnd];
  if (!view) view = std::make_unique<WindowCanvas>();
  POINT offset = WindowSurfaceOffset(hwnd);
  RECT client = s->ClientRect();
  view->target = it->second;
  view->dx = offset.x;
  view->dy = offset.y;
  view->w = client.right;
  view->h = client.bottom;
  surface->canvas = view.get();
  surface->dpi = 96;
  return true;
}

struct InstallProvider {
  InstallProvider() { md::win::SetWindowSurfaceProvider(&ProvideSurface); }
} installProvider;

}  // namespace

void SetWindowCanvas(HWND topLevel, md::canvas::Canvas* canvas) {
  Surfaces& all = Surf();
  if (canvas) {
    all.tops[topLevel] = canvas;
    return;
  }
  all.tops.erase(topLevel);
  // Views of windows that no longer draw anywhere are dropped.
  for (auto it = all.views.begin(); it != all.views.end();) {
    WindowState* w = Get(it->first);
    if (!w || !all.tops.count(w->TopLevel()->handle))
      it = all.views.erase(it);
    else
      ++it;
  }
}

POINT WindowSurfaceOffset(HWND hwnd) {
  WindowState* s = Get(hwnd);
  if (!s) return POINT{};
  WindowState* top = s->TopLevel();
  POINT a = s->ClientOrigin();
  return POINT{a.x - top->rect.left, a.y - top->rect.top};
}

}  // namespace md::ui

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  WindowState* s = Get(hwnd);
  if (!s || !paint) return nullptr;
  RECT client = s->ClientRect();
  bool empty = s->update.right <= s->update.left || s->update.bottom <= s->update.top;
  paint->rcPaint = empty ? client : s->update;
  paint->fErase = s->erase ? TRUE : FALSE;
  s->update = RECT{};
  s->erase = false;
  // The context starts at the window's client origin and is clipped to its
  // client area (see ProvideSurface).
  HDC dc = ::GetDC(hwnd);
  paint->hdc = dc;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (!paint || !paint->hdc) return FALSE;
  ::ReleaseDC(hwnd, paint->hdc);
  return TRUE;
}
