// The framework DC classes and window contexts.
#include "platform/win/cdc.h"

#include "tests/platform/win/wintest.h"

namespace {

using md::test::RecordingDC;

md::canvas::RecordingCanvas* g_windowCanvas = nullptr;

bool Provide(HWND hwnd, md::win::WindowSurface* s) {
  if (hwnd != reinterpret_cast<HWND>(0x10) || !g_windowCanvas) return false;
  s->canvas = g_windowCanvas;
  s->dpi = 120;
  return true;
}

struct FakeWnd {
  HWND GetSafeHwnd() const { return reinterpret_cast<HWND>(0x10); }
};

TEST(CDC, FromHandleWrapsOncePerContext) {
  RecordingDC dc;
  CDC* a = CDC::FromHandle(dc.hdc);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, CDC::FromHandle(dc.hdc));
  EXPECT_EQ(a->GetSafeHdc(), dc.hdc);
  EXPECT_EQ(CDC::FromHandle(nullptr), nullptr);
  // Drawing through the wrapper reaches the context's canvas.
  a->MoveTo(1, 2);
  a->LineTo(3, 4);
  EXPECT_EQ(dc.canvas.records().size(), 1u);
  a->SetMapMode(MM_ANISOTROPIC);
  a->SetWindowExt(10, 10);
  a->SetViewportExt(20, -20);
  POINT p{5, 5};
  a->LPtoDP(&p);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, -10);
  RECT rc{0, 0, 40, 20};
  a->SetMapMode(MM_TEXT);
  a->FillSolidRect(&rc, RGB(1, 2, 3));
  EXPECT_EQ(dc.last().brush.color, RGB(1, 2, 3));
  EXPECT_EQ(a->GetBkColor(), RGB(255, 255, 255));  // restored after the fill

  // An attached object is what FromHandle returns for its handle.
  HDC mem = CreateCompatibleDC(dc.hdc);
  {
    CDC owner;
    ASSERT_TRUE(owner.Attach(mem));
    EXPECT_EQ(CDC::FromHandle(mem), &owner);
    EXPECT_EQ(owner.Detach(), mem);
  }
  CDC* temp = CDC::FromHandle(mem);
  EXPECT_EQ(temp->m_hDC, mem);
  DeleteDC(mem);  // drops the wrapper with the context
  CDC made;
  ASSERT_TRUE(made.CreateCompatibleDC(a));
  EXPECT_EQ(made.GetDeviceCaps(LOGPIXELSX), 96);
}

TEST(CDC, ClientDCDrawsIntoTheWindowSurface) {
  md::canvas::RecordingCanvas surface(64, 48);
  g_windowCanvas = &surface;
  md::win::SetWindowSurfaceProvider(&Provide);
  const std::size_t live = md::win::LiveObjectCount();
  {
    FakeWnd wnd;
    CClientDC dc(&wnd);
    ASSERT_NE(dc.GetSafeHdc(), nullptr);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 120);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 64);
    dc.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(surface.records().size(), 1u);
  }
  EXPECT_EQ(md::win::LiveObjectCount(), live);  // released with the object
  {
    // A window the provider does not know still gets a usable context.
    CPaintDC dc(static_cast<FakeWnd*>(nullptr));
    EXPECT_NE(dc.GetSafeHdc(), nullptr);
    EXPECT_TRUE(dc.Rectangle(0, 0, 1, 1));
  }
  md::win::SetWindowSurfaceProvider(nullptr);
  g_windowCanvas = nullptr;
}

}  // namespace
