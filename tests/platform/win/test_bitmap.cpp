// Memory contexts, bitmaps and block transfers: pixels are read back.
#include <cstring>

#include "tests/platform/win/wintest.h"

namespace {

using md::canvas::Record;
using md::test::Owned;
using md::test::RecordingDC;

// Pixels in memory are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
std::uint32_t Px(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

BITMAPINFO Info(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

void Fill(HDC hdc, int l, int t, int r, int b, COLORREF c) {
  HBRUSH brush = CreateSolidBrush(c);
  const RECT rc{l, t, r, b};
  FillRect(hdc, &rc, brush);
  DeleteObject(brush);
}

// A memory context with a DIB section; rows in the order the height's sign gives.
struct MemDC {
  MemDC(int w, int h) : width(w), height(h) {
    hdc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi = Info(w, h);
    bmp = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(hdc, bmp);
  }
  ~MemDC() {
    SelectObject(hdc, old);
    DeleteObject(bmp);
    DeleteDC(hdc);
  }
  // Pixel at (x, y) in image terms (row 0 at the top).
  std::uint32_t At(int x, int y) const {
    const int rows = height < 0 ? -height : height;
    const int row = height < 0 ? y : rows - 1 - y;
    return bits[row * width + x] & 0xFFFFFF;
  }
  int width, height;
  HDC hdc;
  HBITMAP bmp;
  HGDIOBJ old;
  std::uint32_t* bits = nullptr;
};

TEST(Bitmap, DrawingLandsInDibSectionRowsOfEitherOrder) {
  if (!md::win::GetDCCanvas(MemDC(1, 1).hdc)) GTEST_SKIP() << "no raster canvas linked";
  for (int sign : {-1, 1}) {
    SCOPED_TRACE(sign);
    MemDC m(20, sign * 10);
    ASSERT_NE(m.bits, nullptr);
    Fill(m.hdc, 0, 0, 20, 10, RGB(255, 255, 255));
    Fill(m.hdc, 2, 1, 6, 3, RGB(255, 0, 0));  // near the top
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool red = x >= 2 && x < 6 && y >= 1 && y < 3;
        ASSERT_EQ(m.At(x, y), red ? Px(RGB(255, 0, 0)) : 0xFFFFFFu) << x << "," << y;
      }
    }
    // In a bottom-up section the top rows are at the end of the memory.
    const int firstRedRow = sign < 0 ? 1 : 10 - 1 - 1;
    EXPECT_EQ(m.bits[firstRedRow * 20 + 2] & 0xFFFFFF, Px(RGB(255, 0, 0)));
    EXPECT_EQ(GetPixel(m.hdc, 3, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(m.hdc, 30, 2), CLR_INVALID);
    EXPECT_EQ(SetPixel(m.hdc, 19, 9, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(m.At(19, 9), Px(RGB(0, 0, 255)));
  }
}

TEST(Bitmap, ClipLimitsMemoryDrawing) {
  MemDC m(16, -16);
  if (!md::win::GetDCCanvas(m.hdc)) GTEST_SKIP() << "no raster canvas linked";
  Fill(m.hdc, 0, 0, 16, 16, RGB(0, 0, 0));
  const POINT tri[] = {{0, 0}, {16, 0}, {0, 16}};
  Owned rgn(CreatePolygonRgn(tri, 3, ALTERNATE));
  SelectClipRgn(m.hdc, static_cast<HRGN>(rgn.obj));
  Fill(m.hdc, 0, 0, 16, 16, RGB(0, 200, 0));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool in = PtInRegion(static_cast<HRGN>(rgn.obj), x, y) != FALSE;
      ASSERT_EQ(m.At(x, y), in ? Px(RGB(0, 200, 0)) : 0u) << x << "," << y;
    }
  }
}

TEST(Bitmap, RectangleCoversItsBoxWithoutRightAndBottomEdges) {
  MemDC m(12, -12);
  if (!md::win::GetDCCanvas(m.hdc)) GTEST_SKIP() << "no raster canvas linked";
  Fill(m.hdc, 0, 0, 12, 12, RGB(255, 255, 255));
  Owned red(CreateSolidBrush(RGB(255, 0, 0)));
  HGDIOBJ old = SelectObject(m.hdc, red.obj);
  Rectangle(m.hdc, 2, 3, 9, 10);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inBox = x >= 2 && x < 9 && y >= 3 && y < 10;
      const bool edge = inBox && (x == 2 || x == 8 || y == 3 || y == 9);
      const std::uint32_t want = !inBox ? 0xFFFFFFu : edge ? 0u : Px(RGB(255, 0, 0));
      ASSERT_EQ(m.At(x, y), want) << x << "," << y;
    }
  }
  SelectObject(m.hdc, old);
}

TEST(Bitmap, BitBltCopiesPixelsExactly) {
  MemDC src(12, -8);
  if (!md::win::GetDCCanvas(src.hdc)) GTEST_SKIP() << "no raster canvas linked";
  // A pattern in which every pixel differs.
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 12; ++x) SetPixel(src.hdc, x, y, RGB(x * 20, y * 30, (x + y) * 7));
  }
  // Into a compatible bitmap at an offset.
  HDC dst = CreateCompatibleDC(src.hdc);
  HBITMAP bmp = CreateCompatibleBitmap(src.hdc, 30, 20);
  HGDIOBJ old = SelectObject(dst, bmp);
  Fill(dst, 0, 0, 30, 20, RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(dst, 5, 7, 12, 8, src.hdc, 0, 0, SRCCOPY));
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 5 && x < 17 && y >= 7 && y < 15;
      const COLORREF want =
          inside ? RGB((x - 5) * 20, (y - 7) * 30, (x - 5 + y - 7) * 7) : RGB(255, 255, 255);
      ASSERT_EQ(GetPixel(dst, x, y), want) << x << "," << y;
    }
  }
  // GetDIBits gives the same pixels in either row order.
  BITMAPINFO bi = Info(30, 20);
  std::vector<std::uint32_t> up(30 * 20), down(30 * 20);
  EXPECT_EQ(GetDIBits(dst, bmp, 0, 20, up.data(), &bi, DIB_RGB_COLORS), 20);
  bi.bmiHeader.biHeight = -20;
  EXPECT_EQ(GetDIBits(dst, bmp, 0, 20, down.data(), &bi, DIB_RGB_COLORS), 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 30; ++x) ASSERT_EQ(up[(19 - y) * 30 + x] & 0xFFFFFF, down[y * 30 + x] & 0xFFFFFF);
  }
  EXPECT_EQ(down[7 * 30 + 6] & 0xFFFFFF, Px(RGB(20, 0, 7)));
  // A partial read starting part-way down the requested order.
  std::vector<std::uint32_t> part(30 * 3);
  EXPECT_EQ(GetDIBits(dst, bmp, 7, 3, part.data(), &bi, DIB_RGB_COLORS), 3);
  EXPECT_EQ(part[6] & 0xFFFFFF, Px(RGB(20, 0, 7)));
  // Describing the bitmap when no buffer is given.
  BITMAPINFO desc{};
  desc.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(dst, bmp, 0, 0, nullptr, &desc, DIB_RGB_COLORS), 0);
  EXPECT_EQ(desc.bmiHeader.biWidth, 30);
  EXPECT_EQ(desc.bmiHeader.biBitCount, 32);
  // Wrong sizes are refused.
  bi.bmiHeader.biWidth = 31;
  EXPECT_EQ(GetDIBits(dst, bmp, 0, 20, down.data(), &bi, DIB_RGB_COLORS), 0);

  // Into a recording screen: the copied pixels travel with the call.
  RecordingDC screen;
  ASSERT_TRUE(BitBlt(screen.hdc, 40, 50, 12, 8, dst, 5, 7, SRCCOPY));
  const Record& r = screen.last();
  EXPECT_EQ(r.type, Record::Type::Image);
  EXPECT_EQ(r.dst, (md::canvas::Rect{40, 50, 52, 58}));
  ASSERT_EQ(r.pixels.size(), 96u);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 12; ++x) ASSERT_EQ(r.pixels[y * 12 + x] & 0xFFFFFF, src.At(x, y));
  }
  EXPECT_FALSE(BitBlt(screen.hdc, 0, 0, 5, 5, dst, 0, 0, 0x00EE0086));  // unsupported raster operation
  // Extents at the edge of the integer range saturate instead of wrapping
  // round to the visible surface.
  EXPECT_TRUE(BitBlt(screen.hdc, 0x7FFFFFF0, 0, 0x7FFFFFFF, 5, dst, 0x7FFFFFF0, 0, SRCCOPY));
  EXPECT_GE(screen.last().dst.left, 0x7FFFFFF0);
  EXPECT_GE(screen.last().dst.right, screen.last().dst.left);
  EXPECT_TRUE(PatBlt(screen.hdc, 0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFFF, 0x7FFFFFFF, WHITENESS));
  EXPECT_GE(screen.last().rects.at(0).top, 0x7FFFFFF0);
  SelectObject(dst, old);
  DeleteObject(bmp);
  DeleteDC(dst);
}

TEST(Bitmap, StretchBltScalesAndMirrors) {
  MemDC src(4, -2);
  if (!md::win::GetDCCanvas(src.hdc)) GTEST_SKIP() << "no raster canvas linked";
  const COLORREF cols[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  for (int x = 0; x < 4; ++x) Fill(src.hdc, x, 0, x + 1, 2, cols[x]);
  MemDC dst(8, -4);
  ASSERT_TRUE(StretchBlt(dst.hdc, 0, 0, 8, 4, src.hdc, 0, 0, 4, 2, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 3), Px(cols[x / 2])) << x;
  // A negative destination width mirrors left to right.
  ASSERT_TRUE(StretchBlt(dst.hdc, 7, 0, -8, 4, src.hdc, 0, 0, 4, 2, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, 0), Px(cols[3 - x / 2])) << x;
  EXPECT_TRUE(PatBlt(dst.hdc, 0, 0, 8, 4, BLACKNESS));
  EXPECT_EQ(dst.At(5, 2), 0u);
}

TEST(Bitmap, SelectionRulesAndBadInput) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(a, 4, 4);
  ASSERT_NE(bmp, nullptr);
  HGDIOBJ oldA = SelectObject(a, bmp);
  EXPECT_NE(oldA, nullptr);
  EXPECT_EQ(SelectObject(b, bmp), nullptr);  // one context at a time
  EXPECT_FALSE(DeleteObject(bmp));           // selected
  BITMAP bm;
  EXPECT_EQ(GetObject(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectType(a), OBJ_MEMDC);
  // Only memory contexts take bitmaps.
  RecordingDC screen;
  EXPECT_EQ(SelectObject(screen.hdc, bmp), nullptr);
  DeleteDC(a);  // frees the selection
  EXPECT_NE(SelectObject(b, bmp), nullptr);
  DeleteDC(b);
  EXPECT_TRUE(DeleteObject(bmp));

  // Saved states keep their bitmap bound to the context.
  HDC c = CreateCompatibleDC(nullptr);
  HDC d = CreateCompatibleDC(nullptr);
  HBITMAP first = CreateCompatibleBitmap(c, 2, 2), second = CreateCompatibleBitmap(c, 3, 3);
  HGDIOBJ oldC = SelectObject(c, first);
  SaveDC(c);
  SelectObject(c, second);
  EXPECT_EQ(SelectObject(d, first), nullptr);  // still held by the saved state
  EXPECT_EQ(GetDeviceCaps(c, HORZRES), 3);
  RestoreDC(c, -1);
  EXPECT_EQ(GetDeviceCaps(c, HORZRES), 2);
  EXPECT_NE(SelectObject(d, second), nullptr);  // released by the restore
  SelectObject(c, oldC);
  DeleteDC(c);
  DeleteDC(d);
  EXPECT_TRUE(DeleteObject(first));
  EXPECT_TRUE(DeleteObject(second));

  BITMAPINFO bi = Info(10, 10);
  bi.bmiHeader.biBitCount = 24;
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  bi = Info(10, 0);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  bi = Info(1 << 20, 1 << 20);  // far too large to allocate
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  bi = Info(-5, 5);
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, 5), nullptr);
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(0x99)), nullptr);
}

}  // namespace
