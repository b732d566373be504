// The text style the objects write with (black, no background, the CJK
// face at a given em), selected into a context for one scope and put back
// when it ends.
#pragma once

#include "platform/win/wingdi.h"

namespace md::ole::detail {

class TextStyleScope {
 public:
  TextStyleScope(HDC hdc, int nEm, UINT nAlign)
      : hdc_(hdc),
        font_(CreateFont(-nEm, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Noto Sans CJK SC")),
        oldFont_(SelectObject(hdc, font_)),
        oldMode_(SetBkMode(hdc, TRANSPARENT)),
        oldColor_(SetTextColor(hdc, RGB(0, 0, 0))),
        oldAlign_(SetTextAlign(hdc, nAlign)) {}
  ~TextStyleScope() {
    SetTextAlign(hdc_, oldAlign_);
    SetTextColor(hdc_, oldColor_);
    SetBkMode(hdc_, oldMode_);
    SelectObject(hdc_, oldFont_);
    DeleteObject(font_);
  }
  TextStyleScope(const TextStyleScope&) = delete;
  TextStyleScope& operator=(const TextStyleScope&) = delete;

 private:
  HDC hdc_;
  HFONT font_;
  HGDIOBJ oldFont_;
  int oldMode_;
  COLORREF oldColor_;
  UINT oldAlign_;
};

}  // namespace md::ole::detail
