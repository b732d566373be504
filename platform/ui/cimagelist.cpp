// CImageList: copies of bitmap pixels, kept by the list.
#include <algorithm>
#include <map>
#include <memory>
#include "platform/canvas/canvas.h"
#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/paint.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return FALSE;
  images_.clear();
  cx_ = cx;
  cy_ = cy;
  flags_ = flags;
  created_ = true;
  return TRUE;
}

BOOL CImageList::DeleteImageList() {
  if (!created_) return FALSE;
  images_.clear();
  created_ = false;
  return TRUE;
}

int CImageList::Add(HBITMAP bitmap, HBITMAP) {
  if (!created_ || !bitmap) return -1;
  md::canvas::Image image;
  if (!md::win::GetBitmapImage(bitmap, &image) || !image.pixels || image.width <= 0 || image.height <= 0)
    return -1;
  // A bitmap wider than one image holds several side by side.
  int count = std::max(1, image.width / cx_);
  int first = static_cast<int>(images_.size());
  for (int n = 0; n < count; ++n) {
    std::vector<std::uint32_t> px(static_cast<size_t>(cx_) * static_cast<size_t>(cy_), 0xFFFFFFFFu);
    for (int y = 0; y < cy_ && y < image.height; ++y)
      for (int x = 0; x < cx_ && n * cx_ + x < image.width; ++x)
        px[static_cast<size_t>(y) * static_cast<size_t>(cx_) + static_cast<size_t>(x)] =
            image.at(n * cx_ + x, y) | 0xFF000000u;
    images_.push_back(std::move(px));
  }
  return first;
}

int CImageList::Add(HBITMAP bitmap, COLORREF) { return Add(bitmap, static_cast<HBITMAP>(nullptr)); }

BOOL CImageList::Remove(int index) {
  if (index == -1) {
    images_.clear();
    return TRUE;
  }
  if (index < 0 || index >= GetImageCount()) return FALSE;
  images_.erase(images_.begin() + index);
  return TRUE;
}

BOOL CImageList::GetIconSize(int& cx, int& cy) const {
  if (!created_) return FALSE;
  cx = cx_;
  cy = cy_;
  return TRUE;
}

const std::vector<std::uint32_t>* CImageList::GetImagePixels(int index) const {
  return index >= 0 && index < GetImageCount() ? &images_[static_cast<size_t>(index)] : nullptr;
}
