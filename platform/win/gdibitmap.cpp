// Bitmaps, memory-context rasters and block transfers.
#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/win/gdi_internal.h"

using namespace md::win;
using namespace md::win::detail;

namespace {

constexpr long long kMaxPixels = 1LL << 27;  // 512 MiB of 32-bit pixels

BitmapObj* NewBitmap(int width, int height, bool bottomUp, bool dib, std::uint32_t fill) {
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels) return nullptr;
  auto* b = new BitmapObj;
  b->width = width;
  b->height = height;
  b->bottomUp = bottomUp;
  b->dib = dib;
  b->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  Register(b);
  return b;
}

// A top-down copy of pixels.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
  md::canvas::Image View() const { return md::canvas::Image{data.data(), width, height, width * 4, false}; }
};

// Reads the device rectangle r of a context's surface; pixels that cannot
// be read (outside the surface, or a canvas that keeps no pixels) are white.
Pixels ReadSurface(DCObj* dc, const md::canvas::Rect& r) {
  Pixels p;
  p.width = r.right - r.left;
  p.height = r.bottom - r.top;
  p.data.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), 0xFFFFFF);
  const int x0 = std::max(r.left, 0), y0 = std::max(r.top, 0);
  const int x1 = std::min(r.right, dc->SurfaceWidth()), y1 = std::min(r.bottom, dc->SurfaceHeight());
  if (x1 <= x0 || y1 <= y0) return p;
  if (dc->kind == DCKind::Memory && dc->st.bitmap) {
    BitmapObj* b = dc->st.bitmap;
    if (b->canvas) b->canvas->flush();
    for (int y = y0; y < y1; ++y) {
      const std::uint32_t* row = b->Row(y);
      std::copy(row + x0, row + x1,
                p.data.begin() + static_cast<std::ptrdiff_t>(y - r.top) * p.width + (x0 - r.left));
    }
    return p;
  }
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return p;
  std::vector<std::uint32_t> tmp(static_cast<std::size_t>(x1 - x0) * static_cast<std::size_t>(y1 - y0));
  if (!c->readPixels(md::canvas::Rect{x0, y0, x1, y1}, tmp.data())) return p;
  for (int y = y0; y < y1; ++y) {
    std::copy(tmp.begin() + static_cast<std::ptrdiff_t>(y - y0) * (x1 - x0),
              tmp.begin() + static_cast<std::ptrdiff_t>(y - y0 + 1) * (x1 - x0),
              p.data.begin() + static_cast<std::ptrdiff_t>(y - r.top) * p.width + (x0 - r.left));
  }
  return p;
}

BOOL FillWithRop(DCObj* dc, const md::canvas::Rect& r, DWORD rop) {
  md::canvas::Canvas* c = dc->Canvas();
  if (!c) return FALSE;
  md::canvas::Brush b;
  if (rop == BLACKNESS) {
    b.color = 0;
  } else if (rop == WHITENESS) {
    b.color = 0xFFFFFF;
  } else {
    b = ResolveBrushFor(dc->st.brush);
  }
  if (!r.empty() && b.style != md::canvas::BrushStyle::Null) c->fillRects({r}, b, dc->State());
  return TRUE;
}

// The pixels between two device corners. A stretch whose extent runs
// backwards starts at the first corner's pixel and covers it, so that
// (x + w - 1, -w) mirrors the columns x .. x + w - 1.
md::canvas::Rect Span(POINT a, POINT b, bool mirror) {
  md::canvas::Rect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  if (mirror && b.x < a.x) {
    ++r.left;
    ++r.right;
  }
  if (mirror && b.y < a.y) {
    ++r.top;
    ++r.bottom;
  }
  return r;
}

BOOL Blit(HDC hdest, int x, int y, int w, int h, HDC hsrc, int xs, int ys, int ws, int hs, DWORD rop,
          bool mirror) {
  DCObj* dst = FindDC(hdest);
  if (!dst) return FALSE;
  const POINT d0 = dst->DevPt(x, y);
  const POINT d1 = dst->DevPt64(static_cast<long long>(x) + w, static_cast<long long>(y) + h);
  const md::canvas::Rect dr = Span(d0, d1, mirror);
  if (rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY) return FillWithRop(dst, dr, rop);
  if (rop != SRCCOPY) return FALSE;
  DCObj* src = FindDC(hsrc);
  if (!src) return FALSE;
  md::canvas::Canvas* c = dst->Canvas();
  if (!c) return FALSE;
  const POINT s0 = src->DevPt(xs, ys);
  const POINT s1 = src->DevPt64(static_cast<long long>(xs) + ws, static_cast<long long>(ys) + hs);
  md::canvas::Rect sr = Span(s0, s1, mirror);
  if (dr.empty() || sr.empty()) return TRUE;
  if ((static_cast<long long>(sr.right) - sr.left) * (static_cast<long long>(sr.bottom) - sr.top) >
      kMaxPixels)
    return FALSE;
  Pixels p = ReadSurface(src, sr);
  if (mirror) {
    // Opposite signs of the source and destination extents mirror the image.
    const bool flipX = (d1.x < d0.x) != (s1.x < s0.x);
    const bool flipY = (d1.y < d0.y) != (s1.y < s0.y);
    if (flipX) {
      for (int row = 0; row < p.height; ++row) {
        auto it = p.data.begin() + static_cast<std::ptrdiff_t>(row) * p.width;
        std::reverse(it, it + p.width);
      }
    }
    if (flipY) {
      for (int row = 0; row < p.height / 2; ++row) {
        std::swap_ranges(p.data.begin() + static_cast<std::ptrdiff_t>(row) * p.width,
                         p.data.begin() + static_cast<std::ptrdiff_t>(row + 1) * p.width,
                         p.data.begin() + static_cast<std::ptrdiff_t>(p.height - 1 - row) * p.width);
      }
    }
  }
  c->drawImage(p.View(), md::canvas::Rect{0, 0, p.width, p.height}, dr, dst->State());
  return TRUE;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (!FindDC(hdc)) return nullptr;
  return reinterpret_cast<HBITMAP>(NewBitmap(width, height, false, false, 0));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  (void)offset;
  if (bits) *bits = nullptr;
  if (hdc && !FindDC(hdc)) return nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biBitCount != 32 ||
      h.biCompression != BI_RGB) {
    return nullptr;
  }
  if (h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return nullptr;
  const bool bottomUp = h.biHeight > 0;
  BitmapObj* b = NewBitmap(h.biWidth, bottomUp ? h.biHeight : -h.biHeight, bottomUp, true, 0);
  if (!b) return nullptr;
  if (bits) *bits = b->pixels.data();
  return reinterpret_cast<HBITMAP>(b);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop, false);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop, true);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  DCObj* dc = FindDC(hdc);
  if (!dc || (rop != PATCOPY && rop != BLACKNESS && rop != WHITENESS)) return FALSE;
  const POINT a = dc->DevPt(x, y);
  const POINT b = dc->DevPt64(static_cast<long long>(x) + width, static_cast<long long>(y) + height);
  return FillWithRop(
      dc, md::canvas::Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)},
      rop);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage) {
  auto* b = FindAs<BitmapObj>(bitmap, ObjType::Bitmap);
  if (!FindDC(hdc) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (!bits) {
    // Describe the bitmap.
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(b->width) * static_cast<DWORD>(b->height) * 4;
    return b->height;
  }
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != b->width) return 0;
  if (h.biHeight != b->height && h.biHeight != -b->height) return 0;
  if (start >= static_cast<UINT>(b->height)) return 0;
  const int count = static_cast<int>(std::min<UINT>(lines, static_cast<UINT>(b->height) - start));
  if (b->canvas) b->canvas->flush();
  const bool outBottomUp = h.biHeight > 0;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int k = 0; k < count; ++k) {
    // Scan line (start + k) of the requested order, and the image row it shows.
    const int scan = static_cast<int>(start) + k;
    const int row = outBottomUp ? b->height - 1 - scan : scan;
    const std::uint32_t* src = b->Row(row);
    std::memcpy(out + static_cast<std::size_t>(k) * static_cast<std::size_t>(b->width), src,
                static_cast<std::size_t>(b->width) * 4);
  }
  return count;
}
