// An image list keeps its own copies of the pixels it is given.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ui/wnd.h"

class CImageList {
 public:
  CImageList() = default;
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL DeleteImageList();
  // Adds a copy of the bitmap; answers its index or -1.
  int Add(HBITMAP bitmap, HBITMAP mask);
  int Add(HBITMAP bitmap, COLORREF mask);
  template <class Bitmap>
  int Add(Bitmap* bitmap, Bitmap* mask) {
    return Add(bitmap ? static_cast<HBITMAP>(bitmap->GetSafeHandle()) : nullptr,
               mask ? static_cast<HBITMAP>(mask->GetSafeHandle()) : nullptr);
  }
  template <class Bitmap>
  int Add(Bitmap* bitmap, COLORREF mask) {
    return Add(bitmap ? static_cast<HBITMAP>(bitmap->GetSafeHandle()) : nullptr, mask);
  }
  BOOL Remove(int index);
  int GetImageCount() const { return static_cast<int>(images_.size()); }
  BOOL GetIconSize(int& cx, int& cy) const;
  BOOL IsCreated() const { return created_; }

  // Pixels of image `index` as 0xAARRGGBB, top row first (cx * cy values).
  const std::vector<std::uint32_t>* GetImagePixels(int index) const;

 private:
  bool created_ = false;
  int cx_ = 0;
  int cy_ = 0;
  UINT flags_ = 0;
  std::vector<std::vector<std::uint32_t>> images_;
};
