// Icons of the object classes, drawn with GDI on a 32 x 32 grid, the label
// under them, and the "View" record.
#include "platform/ole/icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ole/record.h"
#include "platform/ole/textstyle.h"
#include "platform/win/wingdi.h"

namespace md::ole {
namespace {

// Layout in 0.01 mm: a 32-pixel icon at 96 pixels to the inch, a gap, one
// line of label (a 9-point em), a margin left and right.
constexpr double kIconSide = 850.0;
constexpr double kGap = 50.0;
constexpr double kLabelEm = 320.0;
constexpr double kLabelLine = 400.0;
constexpr double kMargin = 60.0;

constexpr std::uint32_t kViewVersion = 1;
constexpr const char* kViewStream = "View";

// The label cut to kMaxIconLabel bytes at a whole character.
std::string CutLabel(const std::string& label) {
  if (label.size() <= kMaxIconLabel) return label;
  std::size_t n = kMaxIconLabel;
  while (n > 0 && (static_cast<unsigned char>(label[n]) & 0xC0) == 0x80) --n;
  return label.substr(0, n);
}

double ExtentWidth(const IconicPicture& p) {
  return std::max(kIconSide, detail::TextEms(p.label) * kLabelEm) + 2 * kMargin;
}
double ExtentHeight() { return kIconSide + kGap + kLabelLine; }

// Draws on the icon's 32 x 32 grid: grid point (gx, gy) is at
// (x0 + gx * cell, y0 + down * gy * cell) in the context's units.
struct IconGrid {
  HDC hdc;
  double x0, y0, cell;
  int down;
  POINT At(double gx, double gy) const {
    return POINT{static_cast<LONG>(std::lround(x0 + gx * cell)),
                 static_cast<LONG>(std::lround(y0 + down * gy * cell))};
  }
  void Shape(std::vector<POINT> points, COLORREF fill, COLORREF line) const {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(cell * 0.6))), line);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    Polygon(hdc, points.data(), static_cast<int>(points.size()));
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
  void Box(double l, double t, double r, double b, COLORREF fill, COLORREF line) const {
    Shape({At(l, t), At(r, t), At(r, b), At(l, b)}, fill, line);
  }
  void Disc(double l, double t, double r, double b, COLORREF fill) const {
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    const POINT a = At(l, t), z = At(r, b);
    Ellipse(hdc, std::min(a.x, z.x), std::min(a.y, z.y), std::max(a.x, z.x), std::max(a.y, z.y));
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
  }
};

constexpr COLORREF kInk = RGB(40, 48, 64);
constexpr COLORREF kPaper = RGB(255, 255, 255);

void DrawPictureIcon(const IconGrid& g) {
  g.Box(3, 5, 29, 27, kPaper, kInk);
  g.Box(5.5, 7.5, 26.5, 24.5, RGB(120, 180, 230), RGB(120, 180, 230));
  g.Disc(19, 9, 24, 14, RGB(245, 190, 30));
  g.Shape({g.At(5.5, 24.5), g.At(12, 14), g.At(17, 20), g.At(21, 16.5), g.At(26.5, 24.5)}, RGB(60, 150, 80),
          RGB(60, 150, 80));
}

void DrawPage(const IconGrid& g) {
  g.Shape({g.At(7, 3), g.At(20, 3), g.At(26, 9), g.At(26, 29), g.At(7, 29)}, kPaper, kInk);
  g.Shape({g.At(20, 3), g.At(20, 9), g.At(26, 9)}, RGB(215, 220, 230), kInk);
}

void DrawTextIcon(const IconGrid& g) {
  DrawPage(g);
  const double rows[] = {13, 16.5, 20, 23.5};
  for (double y : rows) g.Box(10, y, 23, y + 1.2, RGB(90, 100, 120), RGB(90, 100, 120));
  g.Box(10, 27 - 1.2, 18, 27, RGB(90, 100, 120), RGB(90, 100, 120));
}

}  // namespace

IconicPicture IconOfClass(const ObjectClass& objectClass, const std::string& label) {
  return IconicPicture{objectClass.clsid, CutLabel(label.empty() ? objectClass.userType : label)};
}

SIZE IconicExtent(const IconicPicture& picture) {
  return SIZE{static_cast<LONG>(std::lround(ExtentWidth(picture))),
              static_cast<LONG>(std::lround(ExtentHeight()))};
}

bool DrawIconicPicture(HDC hdc, const RECT& bounds, const IconicPicture& picture) {
  const int w = std::abs(bounds.right - bounds.left), h = std::abs(bounds.bottom - bounds.top);
  if (w < 1 || h < 1) return false;
  const int down = bounds.bottom >= bounds.top ? 1 : -1;
  const double W = ExtentWidth(picture), H = ExtentHeight();
  const double s = std::min(w / W, h / H);
  const double centre = std::min(bounds.left, bounds.right) + w / 2.0;
  const double top = bounds.top + down * (h - H * s) / 2.0;
  const IconGrid grid{hdc, centre - kIconSide * s / 2.0, top, kIconSide * s / 32.0, down};
  if (picture.clsid == PictureClass().clsid)
    DrawPictureIcon(grid);
  else if (picture.clsid == TextDocumentClass().clsid)
    DrawTextIcon(grid);
  else
    DrawPage(grid);

  if (picture.label.empty()) return true;
  const detail::TextStyleScope style(hdc, std::max(1, static_cast<int>(std::lround(kLabelEm * s))),
                                     TA_CENTER | TA_TOP);
  const int y =
      static_cast<int>(std::lround(top + down * (kIconSide + kGap + (kLabelLine - kLabelEm) / 2) * s));
  TextOut(hdc, static_cast<int>(std::lround(centre)), y, picture.label.c_str(),
          static_cast<int>(picture.label.size()));
  return true;
}

bool ReadObjectView(const Storage& storage, ObjectView* pView, std::string* pError) {
  auto it = storage.streams.find(kViewStream);
  if (it == storage.streams.end()) {
    if (pView != nullptr) *pView = ObjectView{};
    return true;
  }
  auto fail = [pError](const char* why) {
    if (pError != nullptr) *pError = why;
    return false;
  };
  detail::RecordReader r(it->second);
  std::uint32_t version = 0, aspect = 0;
  std::uint8_t hasIcon = 0;
  if (!r.U32(&version) || version != kViewVersion) return fail("view record of an unknown version");
  if (!r.U32(&aspect) || (aspect != kAspectContent && aspect != kAspectIcon) || !r.U8(&hasIcon) ||
      hasIcon > 1)
    return fail("damaged view record");
  ObjectView view;
  view.drawAspect = static_cast<int>(aspect);
  if (hasIcon == 1) {
    IconicPicture icon;
    if (!r.Bytes(icon.clsid.data(), icon.clsid.size()) || !r.Text(&icon.label, kMaxIconLabel) ||
        icon.label.find('\0') != std::string::npos || !detail::IsValidUtf8(icon.label))
      return fail("damaged view record");
    view.icon = std::move(icon);
  }
  if (!r.AtEnd()) return fail("damaged view record");
  if (pView != nullptr) *pView = std::move(view);
  return true;
}

void WriteObjectView(Storage* pStorage, const ObjectView& view) {
  if (view.drawAspect == kAspectContent && !view.icon) {
    pStorage->streams.erase(kViewStream);
    return;
  }
  detail::RecordWriter w;
  w.U32(kViewVersion);
  w.U32(static_cast<std::uint32_t>(view.drawAspect));
  w.U8(view.icon ? 1 : 0);
  if (view.icon) {
    w.Bytes(view.icon->clsid.data(), view.icon->clsid.size());
    w.Text(CutLabel(view.icon->label));
  }
  pStorage->streams[kViewStream] = std::move(w.Result());
}

}  // namespace md::ole
