#include "platform/win/cdc.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct Maps {
  std::mutex mutex;
  std::unordered_map<HDC, CDC*> attached;                   // objects that wrap a handle
  std::unordered_map<HDC, std::unique_ptr<CDC>> temporary;  // wrappers made by FromHandle
};

Maps& M() {
  static Maps* m = new Maps;
  return *m;
}

}  // namespace

// Drops the wrapper FromHandle made for a context that is being deleted.
void ForgetCDC(HDC hdc) {
  std::unique_ptr<CDC> dropped;
  {
    std::lock_guard<std::mutex> g(M().mutex);
    auto it = M().temporary.find(hdc);
    if (it == M().temporary.end()) return;
    dropped = std::move(it->second);
    M().temporary.erase(it);
  }
  dropped->m_hDC = nullptr;  // the context is already going
}

CDC::~CDC() {
  if (m_hDC) {
    HDC h = m_hDC;
    Detach();
    if (owned_) ::DeleteDC(h);
  }
}

CDC* CDC::FromHandle(HDC hdc) {
  if (!hdc) return nullptr;
  std::lock_guard<std::mutex> g(M().mutex);
  auto a = M().attached.find(hdc);
  if (a != M().attached.end()) return a->second;
  auto& slot = M().temporary[hdc];
  if (!slot) {
    slot = std::make_unique<CDC>();
    slot->m_hDC = slot->m_hAttribDC = hdc;
  }
  return slot.get();
}

BOOL CDC::Attach(HDC hdc) {
  if (!hdc || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = hdc;
  std::lock_guard<std::mutex> g(M().mutex);
  M().attached[hdc] = this;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  if (h) {
    std::lock_guard<std::mutex> g(M().mutex);
    auto it = M().attached.find(h);
    if (it != M().attached.end() && it->second == this) M().attached.erase(it);
  }
  m_hDC = m_hAttribDC = nullptr;
  owned_ = false;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  HDC h = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  if (!h || !Attach(h)) {
    if (h) ::DeleteDC(h);
    return FALSE;
  }
  owned_ = true;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  HDC h = Detach();
  return ::DeleteDC(h);
}

SIZE CDC::SetWindowExt(int cx, int cy) {
  SIZE old;
  ::SetWindowExtEx(m_hDC, cx, cy, &old);
  return old;
}

SIZE CDC::SetViewportExt(int cx, int cy) {
  SIZE old;
  ::SetViewportExtEx(m_hDC, cx, cy, &old);
  return old;
}

POINT CDC::MoveTo(int x, int y) {
  POINT old;
  ::MoveToEx(m_hDC, x, y, &old);
  return old;
}

void CDC::FillSolidRect(LPCRECT rc, COLORREF color) {
  if (!rc) return;
  COLORREF old = ::SetBkColor(m_hDC, color);
  ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, rc, "", 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  RECT rc{x, y, x + cx, y + cy};
  FillSolidRect(&rc, color);
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
  return ::TextOut(m_hDC, x, y, text.c_str(), static_cast<int>(text.size()));
}

int CDC::DrawText(const std::string& text, LPRECT rc, UINT format) {
  return ::DrawText(m_hDC, text.c_str(), static_cast<int>(text.size()), rc, format);
}

SIZE CDC::GetTextExtent(const char* text, int count) const {
  SIZE s;
  ::GetTextExtentPoint32(m_hDC, text, count, &s);
  return s;
}

SIZE CDC::GetTextExtent(const std::string& text) const {
  return GetTextExtent(text.c_str(), static_cast<int>(text.size()));
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, rop);
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, rop);
}

CClientDC::~CClientDC() {
  HDC h = Detach();
  if (h) ::ReleaseDC(hwnd_, h);
}
