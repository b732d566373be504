// Snapshots: a window tree painted through the device-context layer.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/canvas/cairo_canvas.h"
#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/dialog.h"
#include "platform/ui/paint.h"
#include "platform/ui/propsheet.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

namespace md::ui {
namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kBorder = RGB(122, 122, 122);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kGrayText = RGB(109, 109, 109);
constexpr COLORREF kHighlight = RGB(0, 120, 215);
constexpr COLORREF kCaption = RGB(0, 84, 153);

// Scoped GDI objects.
struct Gdi {
  HGDIOBJ obj;
  explicit Gdi(HGDIOBJ o) : obj(o) {}
  ~Gdi() {
    if (obj) DeleteObject(obj);
  }
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;
};

class Painter {
 public:
  Painter(HDC dc, SIZE base) : dc_(dc) {
    font_ = CreateFont(-base.cy, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
    oldFont_ = SelectObject(dc_, font_);
    SetBkMode(dc_, TRANSPARENT);
  }
  ~Painter() {
    SelectObject(dc_, oldFont_);
    DeleteObject(font_);
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void Fill(const RECT& r, COLORREF c) {
    Gdi b(CreateSolidBrush(c));
    FillRect(dc_, &r, static_cast<HBRUSH>(b.obj));
  }
  void Frame(const RECT& r, COLORREF c) {
    Gdi b(CreateSolidBrush(c));
    FrameRect(dc_, &r, static_cast<HBRUSH>(b.obj));
  }
  void Line(int x0, int y0, int x1, int y1, COLORREF c, int width = 1) {
    Gdi p(CreatePen(PS_SOLID, width, c));
    HGDIOBJ old = SelectObject(dc_, p.obj);
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
    SelectObject(dc_, old);
  }
  void Shape(const POINT* pts, int n, COLORREF c) {
    Gdi p(CreatePen(PS_SOLID, 1, c));
    Gdi b(CreateSolidBrush(c));
    HGDIOBJ op = SelectObject(dc_, p.obj), ob = SelectObject(dc_, b.obj);
    Polygon(dc_, pts, n);
    SelectObject(dc_, op);
    SelectObject(dc_, ob);
  }
  void Circle(const RECT& r, COLORREF fill, COLORREF edge) {
    Gdi p(CreatePen(PS_SOLID, 1, edge));
    Gdi b(CreateSolidBrush(fill));
    HGDIOBJ op = SelectObject(dc_, p.obj), ob = SelectObject(dc_, b.obj);
    Ellipse(dc_, r.left, r.top, r.right, r.bottom);
    SelectObject(dc_, op);
    SelectObject(dc_, ob);
  }
  void Text(const std::string& text, RECT r, UINT format, COLORREF c) {
    if (text.empty()) return;
    SetTextColor(dc_, c);
    DrawText(dc_, text.c_str(), static_cast<int>(text.size()), &r, format | DT_NOPREFIX);
  }
  SIZE Extent(const std::string& text) {
    SIZE s{};
    GetTextExtentPoint32(dc_, text.c_str(), static_cast<int>(text.size()), &s);
    return s;
  }
  void Pixels(const std::vector<std::uint32_t>& px, int w, int h, int x, int y) {
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) {
      if (bmp) DeleteObject(bmp);
      return;
    }
    std::memcpy(bits, px.data(), px.size() * sizeof(std::uint32_t));
    HDC mem = CreateCompatibleDC(dc_);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(dc_, x, y, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ oldFont_;
};

// The text a control shows: "&" marks a mnemonic and is not drawn.
std::string Shown(const std::string& t) {
  std::string out;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '&') {
      if (i + 1 < t.size() && t[i + 1] == '&') out.push_back('&'), ++i;
      continue;
    }
    if (t[i] == '\r') continue;
    out.push_back(t[i]);
  }
  return out;
}

void DrawCheckMark(Painter& p, const RECT& box) {
  POINT a{box.left + 3, box.top + 6}, b{box.left + 5, box.top + 9}, c{box.left + 10, box.top + 3};
  p.Line(a.x, a.y, b.x, b.y, kText, 2);
  p.Line(b.x, b.y, c.x, c.y, kText, 2);
}

void DrawArrow(Painter& p, const RECT& r, bool up, COLORREF c) {
  int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  POINT pts[3];
  if (up) {
    pts[0] = POINT{cx - 3, cy + 2};
    pts[1] = POINT{cx + 3, cy + 2};
    pts[2] = POINT{cx, cy - 1};
  } else {
    pts[0] = POINT{cx - 3, cy - 1};
    pts[1] = POINT{cx + 3, cy - 1};
    pts[2] = POINT{cx, cy + 2};
  }
  p.Shape(pts, 3, c);
}

void DrawControl(Painter& p, WindowState* s, const RECT& r) {
  bool enabled = !(s->style & WS_DISABLED);
  COLORREF text = enabled ? kText : kGrayText;
  switch (s->kind) {
    case Kind::Static: {
      DWORD type = s->style & SS_TYPEMASK;
      if (type == SS_BLACKFRAME)
        p.Frame(r, kText);
      else if (type == SS_GRAYFRAME)
        p.Frame(r, kBorder);
      else if (type == SS_ETCHEDFRAME) {
        p.Frame(r, kBorder);
        p.Frame(RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, RGB(255, 255, 255));
      } else if (type == SS_BLACKRECT)
        p.Fill(r, kText);
      else if (type == SS_GRAYRECT)
        p.Fill(r, kBorder);
      else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
        UINT align = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
        p.Text(Shown(s->text), r, align | DT_WORDBREAK, text);
      }
      break;
    }
    case Kind::Button: {
      DWORD type = s->style & BS_TYPEMASK;
      if (type == BS_GROUPBOX) {
        SIZE ext = p.Extent(Shown(s->text));
        int mid = r.top + ext.cy / 2;
        p.Frame(RECT{r.left, mid, r.right, r.bottom}, kBorder);
        if (!s->text.empty()) {
          p.Fill(RECT{r.left + 6, r.top, r.left + 10 + ext.cx, r.top + ext.cy}, kFace);
          p.Text(Shown(s->text), RECT{r.left + 8, r.top, r.right, r.top + ext.cy}, DT_LEFT | DT_SINGLELINE,
                 text);
        }
      } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        p.Fill(r, enabled ? RGB(225, 225, 225) : RGB(204, 204, 204));
        p.Frame(r, type == BS_DEFPUSHBUTTON && enabled ? kHighlight : RGB(173, 173, 173));
        p.Text(Shown(s->text), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, text);
      } else {
        bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        int cy = (r.top + r.bottom) / 2;
        RECT box{r.left, cy - 6, r.left + 13, cy + 7};
        if (radio) {
          p.Circle(box, RGB(255, 255, 255), kText);
          if (s->check == BST_CHECKED)
            p.Circle(RECT{box.left + 4, box.top + 4, box.right - 4, box.bottom - 4}, kText, kText);
        } else {
          p.Fill(box, RGB(255, 255, 255));
          p.Frame(box, kText);
          if (s->check == BST_CHECKED) DrawCheckMark(p, box);
          if (s->check == BST_INDETERMINATE)
            p.Fill(RECT{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3}, kBorder);
        }
        p.Text(Shown(s->text), RECT{r.left + 17, r.top, r.right, r.bottom},
               DT_LEFT | DT_VCENTER | DT_SINGLELINE, text);
      }
      break;
    }
    case Kind::Edit: {
      bool readOnly = (s->style & ES_READONLY) != 0;
      p.Fill(r, enabled && !readOnly ? RGB(255, 255, 255) : kFace);
      p.Frame(r, kBorder);
      RECT in{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2};
      DWORD align = s->style & 0x3;
      UINT fmt = align == ES_RIGHT ? DT_RIGHT : align == ES_CENTER ? DT_CENTER : DT_LEFT;
      std::string shown;
      for (char ch : s->text)
        if (ch != '\r') shown.push_back(ch);
      if (s->style & ES_PASSWORD)
        shown = std::string(static_cast<size_t>(md::ui::detail::Utf8Length(shown)), '*');
      p.Text(shown, in, fmt | ((s->style & ES_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER), text);
      break;
    }
    case Kind::ComboBox: {
      RECT field{r.left, r.top, r.right, std::min<LONG>(r.bottom, r.top + 21)};
      p.Fill(field, enabled ? RGB(255, 255, 255) : kFace);
      p.Frame(field, kBorder);
      RECT button{field.right - 17, field.top + 1, field.right - 1, field.bottom - 1};
      p.Fill(button, RGB(225, 225, 225));
      DrawArrow(p, button, false, text);
      std::string shown = s->Object() ? s->Object()->GetWindowText() : s->text;
      p.Text(shown, RECT{field.left + 3, field.top, button.left - 2, field.bottom},
             DT_LEFT | DT_VCENTER | DT_SINGLELINE, text);
      break;
    }
    case Kind::ListBox: {
      p.Fill(r, RGB(255, 255, 255));
      p.Frame(r, kBorder);
      bool multi = (s->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
      for (int i = 0; i < static_cast<int>(s->items.size()); ++i) {
        RECT row{r.left + 1, r.top + 1 + i * 16, r.right - 1, r.top + 1 + (i + 1) * 16};
        if (row.top >= r.bottom - 1) break;
        row.bottom = std::min<LONG>(row.bottom, r.bottom - 1);
        bool selected = multi ? s->items[i].selected : s->curSel == i;
        if (selected) p.Fill(row, kHighlight);
        p.Text(s->items[i].text, RECT{row.left + 2, row.top, row.right, row.bottom},
               DT_LEFT | DT_VCENTER | DT_SINGLELINE, selected ? RGB(255, 255, 255) : text);
      }
      break;
    }
    case Kind::ListView: {
      p.Fill(r, RGB(255, 255, 255));
      p.Frame(r, kBorder);
      int cx = 32, cy = 32;
      if (s->images && s->images->IsCreated()) s->images->GetIconSize(cx, cy);
      for (int i = 0; i < static_cast<int>(s->items.size()); ++i) {
        RECT cell = md::ui::detail::ListViewItemRect(s, i);
        cell = RECT{cell.left + r.left, cell.top + r.top, cell.right + r.left, cell.bottom + r.top};
        if (cell.top >= r.bottom) break;
        int ix = cell.left + (cell.right - cell.left - cx) / 2;
        const auto* px = s->images ? s->images->GetImagePixels(s->items[i].image) : nullptr;
        if (px)
          p.Pixels(*px, cx, cy, ix, cell.top + 2);
        else
          p.Frame(RECT{ix, cell.top + 2, ix + cx, cell.top + 2 + cy}, kBorder);
        RECT label{cell.left + 2, cell.top + cy + 4, cell.right - 2, cell.bottom - 2};
        bool selected = (s->items[i].state & LVIS_SELECTED) != 0;
        if (selected) p.Fill(label, kHighlight);
        p.Text(s->items[i].text, label, DT_CENTER | DT_SINGLELINE | DT_VCENTER,
               selected ? RGB(255, 255, 255) : text);
      }
      break;
    }
    case Kind::Spin: {
      bool horizontal = (s->style & UDS_HORZ) != 0;
      RECT a = r, b = r;
      if (horizontal) {
        a.right = b.left = (r.left + r.right) / 2;
      } else {
        a.bottom = b.top = (r.top + r.bottom) / 2;
      }
      for (const RECT& part : {a, b}) {
        p.Fill(part, RGB(225, 225, 225));
        p.Frame(part, RGB(173, 173, 173));
      }
      DrawArrow(p, a, true, text);
      DrawArrow(p, b, false, text);
      break;
    }
    default:
      break;
  }
}

void DrawTree(Painter& p, HWND h, bool top) {
  WindowState* s = Get(h);
  if (!s || !(s->style & WS_VISIBLE)) return;
  POINT o = WindowSurfaceOffset(h);
  RECT client = s->ClientRect();
  RECT r{o.x, o.y, o.x + client.right, o.y + client.bottom};
  if (s->kind == Kind::Dialog || s->kind == Kind::Window) {
    if (top || !(s->style & WS_CHILD)) p.Fill(r, kFace);
    if (auto* sheet = dynamic_cast<CPropertySheet*>(s->Object()); sheet && !sheet->IsWizardMode()) {
      int x = o.x + 7;
      for (int i = 0; i < sheet->GetPageCount(); ++i) {
        std::string caption = Shown(sheet->GetPage(i)->GetCaption());
        int w = p.Extent(caption).cx + 12;
        RECT tab{x, o.y + 7, x + w, o.y + 28};
        bool active = i == sheet->GetActiveIndex();
        p.Fill(tab, active ? RGB(255, 255, 255) : kFace);
        p.Frame(tab, kBorder);
        p.Text(caption, tab, DT_CENTER | DT_VCENTER | DT_SINGLELINE, kText);
        x += w;
      }
      if (CPropertyPage* page = sheet->GetActivePage(); page && page->m_hWnd) {
        RECT area;
        page->GetWindowRect(&area);
        RECT topRect = s->TopLevel()->rect;
        p.Frame(RECT{area.left - topRect.left - 1, area.top - topRect.top - 1, area.right - topRect.left + 1,
                     area.bottom - topRect.top + 1},
                kBorder);
      }
    }
    // The window's own painting, on top of its background.
    if (CWnd* w = s->Object()) {
      w->Invalidate(TRUE);
      w->WindowProc(WM_PAINT, 0, 0);
    }
  } else {
    DrawControl(p, s, r);
    if (CWnd* w = s->Object()) {
      // Controls that paint themselves (owner-drawn previews) do so last.
      if (w != s->ownWrapper.get()) {
        w->Invalidate(TRUE);
        w->WindowProc(WM_PAINT, 0, 0);
      }
    }
  }
  s = Get(h);
  if (!s) return;
  std::vector<HWND> kids;
  for (WindowState* c : s->children) kids.push_back(c->handle);
  for (HWND k : kids) DrawTree(p, k, false);
}

}  // namespace

bool PaintWindowTree(CWnd& window, md::canvas::Canvas* canvas) {
  WindowState* s = window.State();
  if (!s || !canvas) return false;
  WindowState* top = s->TopLevel();
  HWND topHandle = top->handle;
  HDC dc = md::win::CreateScreenDC(canvas, 96, nullptr);
  if (!dc) return false;
  SetWindowCanvas(topHandle, canvas);
  {
    Painter p(dc, top->baseUnits);
    RECT whole{0, 0, top->rect.right - top->rect.left, top->rect.bottom - top->rect.top};
    POINT client = WindowSurfaceOffset(topHandle);
    if (client.y > 0) {
      // Frame and caption bar.
      p.Fill(whole, RGB(255, 255, 255));
      p.Frame(whole, kBorder);
      RECT bar{1, 1, whole.right - 1, client.y};
      p.Fill(bar, kCaption);
      p.Text(top->text, RECT{8, 1, whole.right - 8, client.y}, DT_LEFT | DT_VCENTER | DT_SINGLELINE,
             RGB(255, 255, 255));
    }
    DrawTree(p, topHandle, true);
  }
  SetWindowCanvas(topHandle, nullptr);
  DeleteDC(dc);
  canvas->flush();
  return true;
}

bool SnapshotToPng(CWnd& window, const std::string& path) {
  WindowState* s = window.State();
  if (!s) return false;
  WindowState* top = s->TopLevel();
  int w = top->rect.right - top->rect.left, h = top->rect.bottom - top->rect.top;
  auto canvas = md::canvas::CairoCanvas::createImage(w, h, 0xFFFFFF);
  if (!canvas) return false;
  if (!PaintWindowTree(window, canvas.get())) return false;
  return canvas->writePng(path);
}

bool SnapshotTemplateToPng(UINT templateId, const std::string& path) {
  CDialog dialog;
  if (!dialog.Create(templateId, nullptr)) return false;
  bool ok = SnapshotToPng(dialog, path);
  dialog.DestroyWindow();
  return ok;
}

}  // namespace md::ui
