// Image lists keep copies of bitmaps; list views show them in snapshots.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/canvas/cairo_canvas.h"
#include "platform/ui/dialog.h"
#include "platform/ui/paint.h"
#include "platform/win/wingdi.h"
#include "tests/platform/ui/uitest.h"

namespace md::test {
namespace {

using ImageListTest = UiTest;

HBITMAP SolidBitmap(int w, int h, std::uint32_t rgb) {
  BITMAPINFO info;
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits)
    for (int i = 0; i < w * h; ++i) static_cast<std::uint32_t*>(bits)[i] = rgb;
  return bmp;
}

TEST_F(ImageListTest, ImagesAreCopiedAndDrawnAtTheirItems) {
  CImageList images;
  EXPECT_EQ(images.Add(static_cast<HBITMAP>(nullptr), static_cast<HBITMAP>(nullptr)), -1);  // not created yet
  ASSERT_TRUE(images.Create(20, 10, ILC_COLOR24, 0, 2));
  EXPECT_FALSE(images.Create(0, 10, ILC_COLOR24, 0, 2));
  ASSERT_TRUE(images.Create(20, 10, ILC_COLOR24, 0, 2));
  HBITMAP green = SolidBitmap(20, 10, 0x00FF00);
  HBITMAP pair = SolidBitmap(40, 10, 0x0000FF);  // two images side by side
  EXPECT_EQ(images.Add(green, static_cast<HBITMAP>(nullptr)), 0);
  EXPECT_EQ(images.Add(pair, static_cast<HBITMAP>(nullptr)), 1);
  DeleteObject(green);  // the list keeps its own copy
  DeleteObject(pair);
  ASSERT_EQ(images.GetImageCount(), 3);
  EXPECT_EQ((*images.GetImagePixels(0))[0] & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(images.GetImagePixels(3), nullptr);

  CDialog dlg;
  ASSERT_TRUE(dlg.Create(9001, nullptr));
  auto* view = static_cast<CListCtrl*>(dlg.GetDlgItem(1050));
  EXPECT_EQ(view->SetImageList(&images, LVSIL_NORMAL), nullptr);
  EXPECT_EQ(view->InsertItem(0, "绿", 0), 0);
  EXPECT_EQ(view->InsertItem(1, "蓝", 2), 1);
  RECT item;
  ASSERT_TRUE(view->GetItemRect(1, &item, 0));
  POINT inIcon{(item.left + item.right) / 2, item.top + 7};
  EXPECT_EQ(view->HitTest(inIcon), 1);

  RECT frame, viewRect;
  dlg.GetWindowRect(&frame);
  view->GetWindowRect(&viewRect);
  auto canvas = md::canvas::CairoCanvas::createImage(frame.right - frame.left, frame.bottom - frame.top, 0);
  ASSERT_TRUE(PaintWindowTree(dlg, canvas.get()));
  std::uint32_t px = 0;
  int x = viewRect.left - frame.left + inIcon.x, y = viewRect.top - frame.top + inIcon.y;
  ASSERT_TRUE(canvas->readPixels(md::canvas::Rect{x, y, x + 1, y + 1}, &px));
  EXPECT_EQ(px & 0xFFFFFF, 0x0000FFu);
  canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/ui_listview.png");
  dlg.DestroyWindow();
}

}  // namespace
}  // namespace md::test
