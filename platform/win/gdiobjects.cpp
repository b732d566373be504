// The GDI object table and stock objects; creating, selecting, querying and
// deleting pens, brushes and fonts.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "platform/canvas/recording.h"
#include "platform/win/gdi_internal.h"

namespace md::win::detail {

namespace {

// The live objects by address: open addressing with linear probing, so that
// the pens and brushes made and deleted by the thousand while drawing cost no
// node of their own. Never more than half full.
class LiveSet {
 public:
  std::size_t Size() const { return size_; }
  GdiObject* Find(const void* handle) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = Home(handle);; i = (i + 1) & Mask()) {
      GdiObject* o = slots_[i];
      if (o == nullptr) return nullptr;
      if (o == handle) return o;
    }
  }
  void Insert(GdiObject* obj) {
    if (2 * (size_ + 1) > slots_.size()) Grow();
    std::size_t i = Home(obj);
    while (slots_[i] != nullptr) {
      if (slots_[i] == obj) return;
      i = (i + 1) & Mask();
    }
    slots_[i] = obj;
    ++size_;
  }
  // Takes the object out of the set (without freeing it); false when absent.
  bool Remove(const void* handle) {
    if (slots_.empty()) return false;
    std::size_t i = Home(handle);
    while (slots_[i] != handle) {
      if (slots_[i] == nullptr) return false;
      i = (i + 1) & Mask();
    }
    // Backward shift: later entries of the run move up into the gap when
    // their home slot does not lie between the gap and themselves.
    for (std::size_t j = (i + 1) & Mask(); slots_[j] != nullptr; j = (j + 1) & Mask()) {
      const std::size_t home = Home(slots_[j]);
      const bool between = i <= j ? (home > i && home <= j) : (home > i || home <= j);
      if (between) continue;
      slots_[i] = slots_[j];
      i = j;
    }
    slots_[i] = nullptr;
    --size_;
    return true;
  }

 private:
  std::size_t Mask() const { return slots_.size() - 1; }
  std::size_t Home(const void* handle) const { return Spread(handle) >> shift_; }
  void Grow() {
    std::vector<GdiObject*> old = std::move(slots_);
    const std::size_t n = old.empty() ? 64 : 2 * old.size();
    slots_.assign(n, nullptr);
    shift_ = 64 - std::countr_zero(n);
    size_ = 0;
    for (GdiObject* o : old)
      if (o != nullptr) Insert(o);
  }
  std::vector<GdiObject*> slots_;
  std::size_t size_ = 0;
  int shift_ = 64;
};

struct Table {
  GdiMutex mutex;
  LiveSet live;             // owned: freed by Destroy
  std::vector<DCObj*> dcs;  // the live device contexts among them
  std::unordered_map<const void*, std::unique_ptr<GdiObject>> stock;
};

Table& T() {
  static Table* t = new Table;  // lives until exit; objects may be released late
  return *t;
}

}  // namespace

GdiMutex& Lock() { return T().mutex; }

void Register(GdiObject* obj) {
  std::lock_guard<GdiMutex> g(Lock());
  if (obj->stock) {
    T().stock.emplace(obj, std::unique_ptr<GdiObject>(obj));
  } else {
    T().live.Insert(obj);
    if (obj->type == ObjType::DC) T().dcs.push_back(static_cast<DCObj*>(obj));
  }
  // A new object is looked up next, as a rule (selected, then deleted).
  FoundSlot(obj).store(obj, std::memory_order_release);
}

std::atomic<const void*> g_found[1u << kFoundBits];

GdiObject* FindInTable(const void* handle) {
  if (!handle) return nullptr;
  std::atomic<const void*>& slot = FoundSlot(handle);
  Table& t = T();
  std::lock_guard<GdiMutex> g(t.mutex);
  GdiObject* found = nullptr;
  if (GdiObject* o = t.live.Find(handle)) {
    found = o;
  } else if (auto s = t.stock.find(handle); s != t.stock.end()) {
    found = s->second.get();
  }
  if (found != nullptr) slot.store(handle, std::memory_order_release);  // objects are their handles
  return found;
}

namespace {

template <typename T>
T* MakeStock(auto&& init) {
  auto* o = new T;
  o->stock = true;
  init(*o);
  Register(o);
  return o;
}

}  // namespace

Stock& Stocks() {
  static Stock* s = [] {
    auto* st = new Stock;
    auto brush = [](UINT style, COLORREF c) {
      return MakeStock<BrushObj>([&](BrushObj& b) {
        b.style = style;
        b.color = c;
      });
    };
    auto pen = [](int style, COLORREF c) {
      return MakeStock<PenObj>([&](PenObj& p) {
        p.style = static_cast<DWORD>(style);
        p.color = c;
      });
    };
    auto font = [](const char* face, int height, bool fixed) {
      return MakeStock<FontObj>([&](FontObj& f) {
        f.lf.lfHeight = height;
        f.lf.lfWeight = FW_NORMAL;
        f.lf.lfCharSet = DEFAULT_CHARSET;
        f.lf.lfPitchAndFamily = fixed ? 1 : 2;
        std::strncpy(f.lf.lfFaceName, face, LF_FACESIZE - 1);
      });
    };
    st->objects[WHITE_BRUSH] = brush(BS_SOLID, 0xFFFFFF);
    st->objects[LTGRAY_BRUSH] = brush(BS_SOLID, 0xC0C0C0);
    st->objects[GRAY_BRUSH] = brush(BS_SOLID, 0x808080);
    st->objects[DKGRAY_BRUSH] = brush(BS_SOLID, 0x404040);
    st->objects[BLACK_BRUSH] = brush(BS_SOLID, 0x000000);
    st->objects[NULL_BRUSH] = brush(BS_NULL, 0);
    st->objects[WHITE_PEN] = pen(PS_SOLID, 0xFFFFFF);
    st->objects[BLACK_PEN] = pen(PS_SOLID, 0x000000);
    st->objects[NULL_PEN] = pen(PS_NULL, 0);
    st->objects[OEM_FIXED_FONT] = font("Terminal", 12, true);
    st->objects[ANSI_FIXED_FONT] = font("Courier", 13, true);
    st->objects[ANSI_VAR_FONT] = font("MS Sans Serif", 13, false);
    st->objects[SYSTEM_FONT] = font("System", 16, false);
    st->objects[DEVICE_DEFAULT_FONT] = font("System", 16, false);
    st->objects[SYSTEM_FIXED_FONT] = font("Fixedsys", 15, true);
    st->objects[DEFAULT_GUI_FONT] = font("MS Shell Dlg", -11, false);
    st->bitmap = MakeStock<BitmapObj>([](BitmapObj& b) {
      b.width = 1;
      b.height = 1;
      b.pixels.assign(1, 0);
    });
    return st;
  }();
  return *s;
}

namespace {

// True when an object is selected into any context, now or in a saved state.
bool InUse(const GdiObject* obj) {
  std::lock_guard<GdiMutex> g(Lock());
  auto uses = [obj](const DCState& s) {
    return s.pen == obj || s.brush == obj || s.font == obj || s.bitmap == obj;
  };
  for (const DCObj* dc : T().dcs) {
    if (uses(dc->st)) return true;
    for (const DCState& s : dc->saved) {
      if (uses(s)) return true;
    }
  }
  return false;
}

}  // namespace

void Destroy(GdiObject* obj) {
  std::lock_guard<GdiMutex> g(Lock());
  std::atomic<const void*>& slot = FoundSlot(obj);
  if (slot.load(std::memory_order_relaxed) == obj) slot.store(nullptr, std::memory_order_release);
  Table& t = T();
  if (!t.live.Remove(obj)) return;
  if (obj->type == ObjType::DC) std::erase(t.dcs, static_cast<DCObj*>(obj));
  // Freed once out of the table: its destructor may call back in.
  delete obj;
}

// Copies a face name into a LOGFONT field, NUL-terminated; a name too long
// for it is cut before the UTF-8 character that does not fit.
void CopyFaceName(char (&out)[LF_FACESIZE], const char* face, std::size_t length) {
  std::size_t n = length < LF_FACESIZE ? length : LF_FACESIZE - 1;
  if (n < length)
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, face, n);
  std::memset(out + n, 0, LF_FACESIZE - n);
}

}  // namespace md::win::detail

using namespace md::win::detail;

namespace md::win {

std::size_t LiveObjectCount() {
  std::lock_guard<GdiMutex> g(Lock());
  (void)Stocks();
  return T().live.Size();
}

}  // namespace md::win

HPEN CreatePen(int style, int width, COLORREF color) {
  if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
  auto* p = new PenObj;
  p->style = static_cast<DWORD>(style & PS_STYLE_MASK);
  p->width = std::max(0, width);
  p->color = color;
  Register(p);
  return reinterpret_cast<HPEN>(p);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen) return nullptr;
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles) {
  (void)styles;
  if (!brush || styleCount != 0) return nullptr;  // user-defined dash patterns are not supported
  const DWORD type = style & PS_TYPE_MASK;
  if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME || (type != PS_COSMETIC && type != PS_GEOMETRIC))
    return nullptr;
  if (type == PS_COSMETIC && width != 1) return nullptr;
  if (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL && brush->lbStyle != BS_HATCHED) return nullptr;
  if (width > 1000000) return nullptr;
  auto* p = new PenObj;
  p->extended = true;
  p->style = style;
  p->width = static_cast<int>(width);
  p->color = brush->lbColor;
  if (brush->lbStyle == BS_NULL) p->style = (style & ~static_cast<DWORD>(PS_STYLE_MASK)) | PS_NULL;
  Register(p);
  return reinterpret_cast<HPEN>(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new BrushObj;
  b->style = BS_SOLID;
  b->color = color;
  Register(b);
  return reinterpret_cast<HBRUSH>(b);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = new BrushObj;
  b->style = BS_HATCHED;
  b->color = color;
  b->hatch = hatch;
  Register(b);
  return reinterpret_cast<HBRUSH>(b);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  switch (brush->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED:
      return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_NULL: {
      auto* b = new BrushObj;
      b->style = BS_NULL;
      Register(b);
      return reinterpret_cast<HBRUSH>(b);
    }
    default:
      return nullptr;
  }
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) return nullptr;
  auto* f = new FontObj;
  f->lf = *font;
  CopyFaceName(f->lf.lfFaceName, font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
  Register(f);
  return reinterpret_cast<HFONT>(f);
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic != 0);
  lf.lfUnderline = static_cast<BYTE>(underline != 0);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) CopyFaceName(lf.lfFaceName, face, std::strlen(face));
  return CreateFontIndirect(&lf);
}

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= 20) return nullptr;
  return Stocks().objects[index];
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  std::lock_guard<GdiMutex> g(Lock());
  DCObj* dc = FindDC(hdc);
  GdiObject* o = Find(obj);
  if (!dc || !o) return nullptr;
  switch (o->type) {
    case ObjType::Pen: {
      HGDIOBJ old = dc->st.pen;
      dc->st.pen = static_cast<PenObj*>(o);
      return old;
    }
    case ObjType::Brush: {
      HGDIOBJ old = dc->st.brush;
      dc->st.brush = static_cast<BrushObj*>(o);
      return old;
    }
    case ObjType::Font: {
      HGDIOBJ old = dc->st.font;
      dc->st.font = static_cast<FontObj*>(o);
      return old;
    }
    case ObjType::Region: {
      // Selecting a region sets the clip; the result is the region type.
      int type = SelectClipRgn(hdc, static_cast<HRGN>(obj));
      return type == ERROR ? nullptr : reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(type));
    }
    case ObjType::Bitmap: {
      auto* b = static_cast<BitmapObj*>(o);
      if (dc->kind != DCKind::Memory) return nullptr;
      if (b->selectedIn && b->selectedIn != dc) return nullptr;  // one context at a time
      BitmapObj* before = dc->st.bitmap;
      dc->st.bitmap = b;
      RebindBitmaps(dc, before);
      dc->Touch();
      return before;
    }
    case ObjType::DC:
      return nullptr;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ obj) {
  std::lock_guard<GdiMutex> g(Lock());
  GdiObject* o = Find(obj);
  if (!o || o->type == ObjType::DC) return FALSE;
  if (o->stock) return TRUE;
  // An object selected into a context (or kept in its saved states) stays
  // alive: deleting it would leave the context pointing at freed memory.
  if (InUse(o)) return FALSE;
  Destroy(o);
  return TRUE;
}

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
  GdiObject* o = Find(obj);
  if (!o || size < 0) return 0;
  auto copy = [&](const auto& value) -> int {
    const int need = static_cast<int>(sizeof value);
    if (!out) return need;
    if (size < need) return 0;
    std::memcpy(out, &value, sizeof value);
    return need;
  };
  switch (o->type) {
    case ObjType::Pen: {
      auto* p = static_cast<PenObj*>(o);
      if (p->extended) {
        EXTLOGPEN e;
        e.elpPenStyle = p->style;
        e.elpWidth = static_cast<DWORD>(p->width);
        e.elpBrushStyle = (p->style & PS_STYLE_MASK) == PS_NULL ? BS_NULL : BS_SOLID;
        e.elpColor = p->color;
        return copy(e);
      }
      LOGPEN l;
      l.lopnStyle = p->style;
      l.lopnWidth = POINT{p->width, 0};
      l.lopnColor = p->color;
      return copy(l);
    }
    case ObjType::Brush: {
      auto* b = static_cast<BrushObj*>(o);
      LOGBRUSH l;
      l.lbStyle = b->style;
      l.lbColor = b->color;
      l.lbHatch = static_cast<ULONG_PTR>(b->hatch);
      return copy(l);
    }
    case ObjType::Font:
      return copy(static_cast<FontObj*>(o)->lf);
    case ObjType::Bitmap: {
      auto* b = static_cast<BitmapObj*>(o);
      BITMAP bm;
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      bm.bmWidthBytes = b->width * 4;
      bm.bmPlanes = 1;
      bm.bmBitsPixel = 32;
      bm.bmBits = b->dib ? b->pixels.data() : nullptr;
      return copy(bm);
    }
    default:
      return 0;
  }
}
