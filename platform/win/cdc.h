// The application framework's thin device-context classes: CDC wraps an
// HDC, CPaintDC and CClientDC take a window's context for their lifetime.
#pragma once

#include <string>

#include "platform/win/wingdi.h"

class CDC {
 public:
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;

  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // The CDC object for a handle: the object attached to it when there is
  // one, otherwise a shared wrapper that lives until the context is deleted.
  // NULL for a NULL handle.
  static CDC* FromHandle(HDC hdc);

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  BOOL Attach(HDC hdc);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
  int GetMapMode() const { return ::GetMapMode(m_hDC); }
  SIZE SetWindowExt(int cx, int cy);
  SIZE SetViewportExt(int cx, int cy);
  void DPtoLP(LPPOINT pts, int count = 1) const { ::DPtoLP(m_hDC, pts, count); }
  void LPtoDP(LPPOINT pts, int count = 1) const { ::LPtoDP(m_hDC, pts, count); }
  void DPtoLP(LPRECT rect) const { ::DPtoLP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }
  void LPtoDP(LPRECT rect) const { ::LPtoDP(m_hDC, reinterpret_cast<LPPOINT>(rect), 2); }

  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  int SelectClipRgn(HRGN rgn) { return ::SelectClipRgn(m_hDC, rgn); }
  int SelectClipRgn(HRGN rgn, int mode) { return ::ExtSelectClipRgn(m_hDC, rgn, mode); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(LPCRECT rc) {
    return ::IntersectClipRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom);
  }
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }

  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
  UINT GetTextAlign() const { return ::GetTextAlign(m_hDC); }
  int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
  int GetPolyFillMode() const { return ::GetPolyFillMode(m_hDC); }

  POINT MoveTo(int x, int y);
  POINT MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return ::LineTo(m_hDC, p.x, p.y); }
  BOOL Polyline(const POINT* pts, int count) { return ::Polyline(m_hDC, pts, count); }
  BOOL Polygon(const POINT* pts, int count) { return ::Polygon(m_hDC, pts, count); }
  BOOL PolyPolygon(const POINT* pts, const INT* counts, int n) {
    return ::PolyPolygon(m_hDC, pts, counts, n);
  }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT rc) { return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) { return ::RoundRect(m_hDC, l, t, r, b, w, h); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Ellipse(LPCRECT rc) { return ::Ellipse(m_hDC, rc->left, rc->top, rc->right, rc->bottom); }
  BOOL Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Arc(m_hDC, l, t, r, b, x1, y1, x2, y2);
  }
  BOOL Pie(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Pie(m_hDC, l, t, r, b, x1, y1, x2, y2);
  }
  void FillRect(LPCRECT rc, HBRUSH brush) { ::FillRect(m_hDC, rc, brush); }
  void FrameRect(LPCRECT rc, HBRUSH brush) { ::FrameRect(m_hDC, rc, brush); }
  void FillSolidRect(LPCRECT rc, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  BOOL FillRgn(HRGN rgn, HBRUSH brush) { return ::FillRgn(m_hDC, rgn, brush); }
  BOOL FrameRgn(HRGN rgn, HBRUSH brush, int w, int h) { return ::FrameRgn(m_hDC, rgn, brush, w, h); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

  BOOL TextOut(int x, int y, const char* text, int count) { return ::TextOut(m_hDC, x, y, text, count); }
  BOOL TextOut(int x, int y, const std::string& text);
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rc, const char* text, UINT count, const INT* dx) {
    return ::ExtTextOut(m_hDC, x, y, options, rc, text, count, dx);
  }
  int DrawText(const char* text, int count, LPRECT rc, UINT format) {
    return ::DrawText(m_hDC, text, count, rc, format);
  }
  int DrawText(const std::string& text, LPRECT rc, UINT format);
  SIZE GetTextExtent(const char* text, int count) const;
  SIZE GetTextExtent(const std::string& text) const;
  BOOL GetTextMetrics(LPTEXTMETRIC tm) const { return ::GetTextMetrics(m_hDC, tm); }

  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop);
  BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs, DWORD rop);
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }

 protected:
  bool owned_ = false;  // the context is deleted with the object
};

// The context of a window's client area for the object's lifetime. The
// window type only needs GetSafeHwnd().
class CClientDC : public CDC {
 public:
  template <typename Wnd>
  explicit CClientDC(Wnd* wnd) : CClientDC(wnd ? wnd->GetSafeHwnd() : nullptr, 0) {}
  explicit CClientDC(HWND hwnd, int) : hwnd_(hwnd) { Attach(::GetDC(hwnd)); }
  ~CClientDC() override;

 protected:
  HWND hwnd_;
};

// The context a window paints with while handling its paint message.
class CPaintDC : public CClientDC {
 public:
  template <typename Wnd>
  explicit CPaintDC(Wnd* wnd) : CClientDC(wnd) {}
};
