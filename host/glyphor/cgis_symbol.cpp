// The symbol objects of the symbol library, their stored form (FORMAT.md)
// and the factory.
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/gis_bytes.h"
#include "host/glyphor/gis_symbolstyles.h"
#include "host/glyphor/gis_textlayout.h"
#include "host/glyphor/igis_symbol.h"

namespace {

constexpr std::uint32_t kMagic = 0x4D595347;  // "GSYM"
constexpr std::uint16_t kVersion = 1;
constexpr int kMaxSize = 100000;        // symbol units
constexpr double kMaxLineWidth = 1000;  // mm

bool KnownType(int type) {
  switch (type) {
    case GIS_SYMBOL_POINT5:
    case GIS_SYMBOL_POINT:
    case GIS_SYMBOL_POINT7:
    case GIS_SYMBOL_LINE:
    case GIS_SYMBOL_FILL:
    case GIS_SYMBOL_BACKGROUND:
    case GIS_SYMBOL_TEXT:
      return true;
    default:
      return false;
  }
}

bool IsPoint(int type) { return type == 5 || type == 6 || type == 7; }
bool IsFill(int type) { return type == GIS_SYMBOL_FILL || type == GIS_SYMBOL_BACKGROUND; }

std::atomic<md::text::TextEngine*> g_textEngine{nullptr};

md::text::TextEngine& MeasureEngine() {
  md::text::TextEngine* e = g_textEngine.load();
  return e ? *e : md::text::FreeTypeEngine();
}

// Texts measured lately, by engine, font request and text: the same texts
// are measured in the same fonts again and again (every read of a legend, a
// slope rule or a scale bar lays it out anew), and measuring shapes the
// text through the engine. Bounded: it starts again when full.
class ExtentMemo {
 public:
  static ExtentMemo& Shared() {
    static ExtentMemo memo;
    return memo;
  }
  bool Find(md::text::TextEngine& engine, const md::text::FontRequest& request, std::string_view text,
            double* pWidth, double* pHeight) {
    // The key is built in a buffer of the thread's own, kept between calls.
    thread_local std::string key;
    KeyOf(engine, request, text, &key);
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = extents_.find(key);
    if (it == extents_.end()) return false;
    *pWidth = it->second.first;
    *pHeight = it->second.second;
    return true;
  }
  void Keep(md::text::TextEngine& engine, const md::text::FontRequest& request, std::string_view text,
            double width, double height) {
    std::string key;
    KeyOf(engine, request, text, &key);
    std::lock_guard<std::mutex> lock(mutex_);
    if (extents_.size() >= kMaxEntries) extents_.clear();
    extents_.emplace(std::move(key), std::make_pair(width, height));
  }

 private:
  static constexpr std::size_t kMaxEntries = 4096;
  static void KeyOf(md::text::TextEngine& engine, const md::text::FontRequest& r, std::string_view text,
                    std::string* pKey) {
    const void* id = &engine;
    const double numbers[] = {r.height, r.width};
    const int ints[] = {r.weight, r.italic, r.underline, r.strikeOut, r.escapement, r.orientation, r.charSet};
    std::string& key = *pKey;
    key.clear();
    key.reserve(96 + r.face.size() + text.size());
    key.append(reinterpret_cast<const char*>(&id), sizeof id);
    key.append(engine.Name()).push_back('\0');
    key.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
    key.append(reinterpret_cast<const char*>(ints), sizeof ints);
    key.append(r.face).push_back('\0');
    key.append(text);
  }
  std::mutex mutex_;
  std::unordered_map<std::string, std::pair<double, double>> extents_;
};

// Copies a face name into the record, cut at the last whole UTF-8 character
// that fits in 31 bytes.
void SetFace(LOGFONT& lf, const std::string& face) {
  std::size_t n = face.size();
  if (n > LF_FACESIZE - 1) {
    n = LF_FACESIZE - 1;
    while (n > 0 && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
  }
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::memcpy(lf.lfFaceName, face.data(), n);
}

class CGIS_Symbol final : public IGIS_Symbol {
 public:
  // Copies are made only by Clone.
  CGIS_Symbol(const CGIS_Symbol&) = default;
  explicit CGIS_Symbol(int type) : type_(type) { SetDefaults(); }
  // Without defaults: Read sets every value a symbol of the type stores.
  struct Unset {};
  CGIS_Symbol(int type, Unset) : type_(type) {}

  void Release() override { delete this; }
  int GetType() override { return type_; }

  IGIS_SymbolPart* GetType5Part() override { return type_ == GIS_SYMBOL_POINT5 ? this : nullptr; }
  IGIS_SymbolPart* GetType7Part() override { return type_ == GIS_SYMBOL_POINT7 ? this : nullptr; }
  IGIS_SymbolPart* GetPointPart() override { return IsPoint(type_) ? this : nullptr; }
  IGIS_SymbolPart* GetLinePart() override { return type_ == GIS_SYMBOL_LINE ? this : nullptr; }
  IGIS_SymbolPart* GetFillPart() override { return IsFill(type_) ? this : nullptr; }
  IGIS_SymbolPart* GetType17Part() override { return type_ == GIS_SYMBOL_BACKGROUND ? this : nullptr; }
  IGIS_SymbolPart* GetTextPart() override { return type_ == GIS_SYMBOL_TEXT ? this : nullptr; }

  IGIS_Symbol* Clone() override { return md::basilo::MakeOrNull<CGIS_Symbol>("IGIS_Symbol::Clone", *this); }
  IGIS_Symbol* AsPointSymbol() override { return GetPointPart(); }
  IGIS_Symbol* AsLineSymbol() override { return GetLinePart(); }
  IGIS_Symbol* AsFillSymbol() override { return GetFillPart(); }

  BOOL Save(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_Symbol::Save", "buffer == NULL");
      return FALSE;
    }
    // Counted first, then written straight into the buffer.
    md::glyphor::ByteCounter count;
    Write(count);
    const int n = static_cast<int>(count.Size());
    if (!buffer->SetSize(n) || buffer->GetSize() != n || buffer->GetData() == nullptr) return FALSE;
    md::glyphor::SizedWriter w(buffer->GetData());
    Write(w);
    return TRUE;
  }

  void SetColor(COLORREF c) override { color_[0] = c; }
  void SetColor2(COLORREF c) override { color_[1] = c; }
  void SetColor3(COLORREF c) override { color_[2] = c; }
  COLORREF GetColor() override { return color_[0]; }
  COLORREF GetColor2() override { return color_[1]; }
  COLORREF GetColor3() override { return color_[2]; }

  void SetCode(int code) override {
    code_ = code;
    const md::glyphor::Style* s = md::glyphor::Find(code);
    if (s == nullptr) return;
    if (type_ == GIS_SYMBOL_LINE && s->kind == md::glyphor::Kind::Line) {
      lineWidth_ = s->lineWidthMm;
    } else if (IsFill(type_) && s->kind == md::glyphor::Kind::Fill) {
      color_[0] = s->fillColor;
      color_[1] = s->outlineColor;
      lineWidth_ = s->outlineWidthMm;
    } else if (type_ == GIS_SYMBOL_POINT && s->kind == md::glyphor::Kind::Point) {
      size_ = static_cast<int>(std::lround(s->height));
    }
  }
  int GetStyleCode() override { return code_; }

  SGIS_Rect GetExtent(double factor) override {
    if (type_ != GIS_SYMBOL_POINT5 && type_ != GIS_SYMBOL_POINT7) return SGIS_Rect();
    if (!std::isfinite(factor) || factor <= 0.0) factor = 1.0;
    const md::glyphor::Style& s = md::glyphor::FindOrDefault(code_, md::glyphor::Kind::Point);
    const double h = size_ * factor;
    const double w = s.height > 0 ? h * s.width / s.height : h;
    return SGIS_Rect(0, md::basilo::detail::RoundToInt32(h), md::basilo::detail::RoundToInt32(w), 0);
  }
  int GetSize() override { return size_; }
  void SetSize(int size) override { size_ = size < 0 ? 0 : (size > kMaxSize ? kMaxSize : size); }
  double GetAngle() override { return angle_; }
  void SetAngle(double degrees) override {
    if (std::isfinite(degrees)) angle_ = degrees;
  }
  double GetLineWidth() override { return lineWidth_; }
  void SetLineWidth(double mm) override {
    if (std::isfinite(mm) && mm >= 0.0) lineWidth_ = mm > kMaxLineWidth ? kMaxLineWidth : mm;
  }

  LOGFONT* GetFontSizePtr() override { return type_ == GIS_SYMBOL_TEXT ? &font_ : nullptr; }

  BOOL GetTextExtent(SGIS_Rect* rect, const char* text, int /*mode*/, double ratio) override {
    if (rect == nullptr) return FALSE;
    *rect = SGIS_Rect();
    if (text == nullptr || type_ != GIS_SYMBOL_TEXT) return FALSE;
    if (!std::isfinite(ratio) || ratio <= 0.0) ratio = 1.0;
    // Measure at a large em so that rounding of the engine does not show,
    // then scale to symbol units at the ratio.
    constexpr double kEm = 100.0;
    const double h = md::glyphor::TextHeight(font_);
    md::text::TextEngine& engine = MeasureEngine();
    const md::text::FontRequest request = md::glyphor::RequestFor(font_, kEm);
    double width = 0.0, height = 0.0;
    if (!ExtentMemo::Shared().Find(engine, request, text, &width, &height)) {
      md::text::FontPtr f = engine.Match(request);
      if (!f) return FALSE;
      const md::glyphor::Lines lines = md::glyphor::Layout(*f, text);
      width = lines.width;
      height = lines.height;
      ExtentMemo::Shared().Keep(engine, request, text, width, height);
    }
    const double k = h * ratio / kEm;
    *rect = SGIS_Rect(0, md::basilo::detail::RoundToInt32(height * k),
                      md::basilo::detail::RoundToInt32(width * k), 0);
    return TRUE;
  }

  BOOL CopyFrom(IGIS_Symbol* other) override {
    auto* o = dynamic_cast<CGIS_Symbol*>(other);
    if (o == nullptr || o->type_ != type_) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_Symbol::CopyFrom", "other == NULL or of another type");
      return FALSE;
    }
    if (o != this) *this = *o;
    return TRUE;
  }

  template <class TWriter>
  void Write(TWriter& w) const {
    w.U32(kMagic);
    w.U16(kVersion);
    w.U16(static_cast<std::uint16_t>(type_));
    const std::size_t lenAt = w.Size();
    w.U32(0);
    const std::size_t start = w.Size();
    w.I32(code_);
    w.I32(size_);
    w.F64(angle_);
    w.U32(color_[0]);
    w.U32(color_[1]);
    w.U32(color_[2]);
    w.F64(lineWidth_);
    if (type_ == GIS_SYMBOL_TEXT) {
      w.I32(font_.lfHeight);
      w.I32(font_.lfWidth);
      w.I32(font_.lfEscapement);
      w.I32(font_.lfOrientation);
      w.I32(font_.lfWeight);
      w.U8(font_.lfItalic);
      w.U8(font_.lfUnderline);
      w.U8(font_.lfStrikeOut);
      w.U8(font_.lfCharSet);
      w.U8(font_.lfOutPrecision);
      w.U8(font_.lfClipPrecision);
      w.U8(font_.lfQuality);
      w.U8(font_.lfPitchAndFamily);
      w.Str(std::string_view(font_.lfFaceName, strnlen(font_.lfFaceName, sizeof font_.lfFaceName)));
    }
    w.PatchU32(lenAt, static_cast<std::uint32_t>(w.Size() - start));
  }

  // Rebuilds a symbol from stored bytes; NULL when they are damaged.
  static CGIS_Symbol* Read(const void* data, std::size_t size) {
    md::glyphor::Reader r(data, size);
    std::uint32_t magic = 0, length = 0;
    std::uint16_t version = 0, type = 0;
    if (!r.U32(magic) || magic != kMagic || !r.U16(version) || version != kVersion || !r.U16(type) ||
        !KnownType(type) || !r.U32(length) || length > r.Remaining())
      return nullptr;
    md::glyphor::Reader p(static_cast<const std::uint8_t*>(data) + r.Position(), length);
    CGIS_Symbol tmp(type, Unset{});
    std::uint32_t c0 = 0, c1 = 0, c2 = 0;
    if (!p.I32(tmp.code_) || !p.I32(tmp.size_) || !p.F64(tmp.angle_) || !p.U32(c0) || !p.U32(c1) ||
        !p.U32(c2) || !p.F64(tmp.lineWidth_))
      return nullptr;
    if (tmp.size_ < 0 || tmp.size_ > kMaxSize || tmp.lineWidth_ < 0 || tmp.lineWidth_ > kMaxLineWidth)
      return nullptr;
    tmp.color_[0] = c0;
    tmp.color_[1] = c1;
    tmp.color_[2] = c2;
    if (type == GIS_SYMBOL_TEXT) {
      LOGFONT& f = tmp.font_;
      std::string face;
      if (!p.I32(f.lfHeight) || !p.I32(f.lfWidth) || !p.I32(f.lfEscapement) || !p.I32(f.lfOrientation) ||
          !p.I32(f.lfWeight) || !p.U8(f.lfItalic) || !p.U8(f.lfUnderline) || !p.U8(f.lfStrikeOut) ||
          !p.U8(f.lfCharSet) || !p.U8(f.lfOutPrecision) || !p.U8(f.lfClipPrecision) || !p.U8(f.lfQuality) ||
          !p.U8(f.lfPitchAndFamily) || !p.Str(face, LF_FACESIZE - 1))
        return nullptr;
      if (face.find('\0') != std::string::npos) return nullptr;
      // Callers write the font record in place, so any height and width
      // may have been saved; the measuring and drawing bound what they use.
      SetFace(f, face);
    }
    return md::basilo::MakeOrNull<CGIS_Symbol>("IGIS_SymbolFactory::CreateSymbolFromBuffer", tmp);
  }

 private:
  CGIS_Symbol& operator=(const CGIS_Symbol&) = default;
  ~CGIS_Symbol() override = default;

  void SetDefaults() {
    color_[0] = RGB(0, 0, 0);
    color_[1] = RGB(255, 255, 255);
    color_[2] = RGB(0, 0, 0);
    switch (type_) {
      case GIS_SYMBOL_POINT5:
      case GIS_SYMBOL_POINT7:
        code_ = md::glyphor::kDefaultPointCode;
        size_ = 10;
        break;
      case GIS_SYMBOL_POINT:
        SetCode(md::glyphor::kDefaultPointCode);
        break;
      case GIS_SYMBOL_LINE:
        SetCode(md::glyphor::kDefaultLineCode);
        break;
      case GIS_SYMBOL_FILL:
        SetCode(md::glyphor::kDefaultFillCode);
        break;
      case GIS_SYMBOL_BACKGROUND:
        SetCode(3362);  // white
        lineWidth_ = 0.0;
        break;
      case GIS_SYMBOL_TEXT:
        font_.lfHeight = -10;
        font_.lfWeight = 400;
        font_.lfCharSet = 1;
        SetFace(font_, "宋体");
        break;
      default:
        break;
    }
  }

  int type_;
  int code_ = 0;
  int size_ = 0;
  double angle_ = 0.0;
  COLORREF color_[3] = {0, 0, 0};
  double lineWidth_ = 0.0;
  LOGFONT font_;
};

class CGIS_SymbolFactory final : public IGIS_SymbolFactory {
 public:
  IGIS_Symbol* CreateSymbol(int type) override {
    if (!KnownType(type)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolFactory::CreateSymbol", "unknown symbol type %d", type);
      return nullptr;
    }
    return md::basilo::MakeOrNull<CGIS_Symbol>("IGIS_SymbolFactory::CreateSymbol", type);
  }
  IGIS_Symbol* CreateSymbolFromBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolFactory::CreateSymbolFromBuffer", "buffer == NULL");
      return nullptr;
    }
    return CreateSymbolFromBytes(buffer->GetData(), buffer->GetSize());
  }
  IGIS_Symbol* CreateSymbolFromBytes(const void* data, int size) override {
    if (data == nullptr || size <= 0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolFactory::CreateSymbolFromBuffer", "empty buffer");
      return nullptr;
    }
    IGIS_Symbol* s = CGIS_Symbol::Read(data, static_cast<std::size_t>(size));
    if (s == nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolFactory::CreateSymbolFromBuffer", "damaged symbol buffer");
    return s;
  }
};

}  // namespace

extern "C" IGIS_SymbolFactory* GIS_GetSymbolFactoryObject() {
  static CGIS_SymbolFactory factory;
  return &factory;
}

bool GIS_SetSymbolTextEngine(const char* engineName) {
  if (engineName == nullptr) return false;
  md::text::TextEngine* e = md::text::EngineByName(engineName);
  if (e == nullptr) return false;
  g_textEngine.store(e);
  return true;
}

const char* GIS_GetSymbolTextEngine() { return MeasureEngine().Name(); }
