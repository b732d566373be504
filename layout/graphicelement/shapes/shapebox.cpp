// Box arithmetic of the plain shapes.
#include "layout/graphicelement/shapes/shapebox.h"

#include <algorithm>

namespace md::layout::shapes {

double KeepRatioFactor(double sx, double sy) {
  if (sx >= 1.0 || sy >= 1.0) return std::min(sx, sy);
  return std::max(sx, sy);
}

bool KeepRatioSize(int w, int h, int& nWidth, int& nHeight) {
  if (w == 0 || h == 0) return false;
  const double s = KeepRatioFactor(static_cast<double>(nWidth) / w, static_cast<double>(nHeight) / h);
  nWidth = Nearest(w * s);
  nHeight = Nearest(h * s);
  return true;
}

SGIS_Rect ScaleBox(SGIS_Rect r, SGIS_Point origin, double sx, double sy, bool bKeepRatio) {
  const double w = r.Width();
  const double h = r.Height();
  r.left = Nearest((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  r.bottom = Nearest((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  if (bKeepRatio) sx = sy = std::min(sx, sy);
  r.right = Nearest(r.left + w * sx);
  r.top = Nearest(r.bottom + h * sy);
  return r;
}

SGIS_Rect ResizeBox(SGIS_Rect r, int nWidth, int nHeight) {
  r.right = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(r.left) + nWidth);
  r.top = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(r.bottom) + nHeight);
  return r;
}

}  // namespace md::layout::shapes
