// Symbols of the second kind and their stored form (FORMAT.md).
#include <cmath>
#include <cstring>
#include <new>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/gis_bytes.h"
#include "host/glyphor/gis_symbolstyles.h"
#include "host/glyphor2/igis_symbolv2.h"

namespace {

constexpr std::uint32_t kMagic = 0x32565347;  // "GSV2"
constexpr std::uint16_t kVersion = 1;
constexpr double kMaxLineWidth = 1000;

bool KnownKind(int k) {
  return k == GIS_SYMBOLV2_LINE || k == GIS_SYMBOLV2_FILL || k == GIS_SYMBOLV2_BACKGROUND;
}

class CGIS_SymbolV2 final : public IGIS_SymbolV2 {
 public:
  // Copies are made only by Clone.
  CGIS_SymbolV2(const CGIS_SymbolV2&) = default;
  explicit CGIS_SymbolV2(int kind) : kind_(kind) {
    switch (kind) {
      case GIS_SYMBOLV2_LINE:
        SetCode(md::glyphor::kDefaultLineCode);
        break;
      case GIS_SYMBOLV2_FILL:
        SetCode(md::glyphor::kDefaultFillCode);
        break;
      default:
        SetCode(3362);
        color_ = color2_ = RGB(255, 255, 255);
        width_ = 0.0;
        break;
    }
  }

  void Release() override { delete this; }
  IGIS_SymbolV2* Clone() override {
    return md::basilo::MakeOrNull<CGIS_SymbolV2>("IGIS_SymbolV2::Clone", *this);
  }

  BOOL Save(IGIS_DataBuffer* buffer, BOOL /*flag*/) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2::Save", "buffer == NULL");
      return FALSE;
    }
    md::glyphor::Writer w;
    w.U32(kMagic);
    w.U16(kVersion);
    w.U16(static_cast<std::uint16_t>(kind_));
    w.U32(24);
    w.I32(code_);
    w.U32(color_);
    w.U32(color2_);
    w.F64(width_);
    w.U32(0);  // reserved
    if (!buffer->SetSize(static_cast<int>(w.Size()))) return FALSE;
    std::memcpy(buffer->GetData(), w.Data().data(), w.Size());
    return TRUE;
  }

  IGIS_SymbolV2* AsLineSymbol() override { return kind_ == GIS_SYMBOLV2_LINE ? this : nullptr; }
  IGIS_SymbolV2* AsFillSymbol() override { return kind_ == GIS_SYMBOLV2_LINE ? nullptr : this; }
  double GetLineWidth() override { return width_; }
  void SetLineWidth(double mm) override {
    if (std::isfinite(mm) && mm >= 0) width_ = mm > kMaxLineWidth ? kMaxLineWidth : mm;
  }
  int GetKind() override { return kind_; }
  void SetColor(const COLORREF& c) override { color_ = c; }
  void SetColor2(const COLORREF& c) override { color2_ = c; }
  COLORREF GetColor() override { return color_; }
  COLORREF GetColor2() override { return color2_; }

  void SetCode(int code) override {
    code_ = code;
    const md::glyphor::Style* s = md::glyphor::Find(code);
    if (s == nullptr) return;
    if (kind_ == GIS_SYMBOLV2_LINE && s->kind == md::glyphor::Kind::Line) {
      width_ = s->lineWidthMm;
    } else if (kind_ != GIS_SYMBOLV2_LINE && s->kind == md::glyphor::Kind::Fill) {
      color_ = s->fillColor;
      color2_ = s->outlineColor;
      width_ = s->outlineWidthMm;
    }
  }
  int GetStyleCode() override { return code_; }

  static CGIS_SymbolV2* Read(const void* data, std::size_t size) {
    md::glyphor::Reader r(data, size);
    std::uint32_t magic = 0, len = 0, c1 = 0, c2 = 0, reserved = 0;
    std::uint16_t version = 0, kind = 0;
    std::int32_t code = 0;
    double width = 0;
    if (!r.U32(magic) || magic != kMagic || !r.U16(version) || version != kVersion || !r.U16(kind) ||
        !KnownKind(kind) || !r.U32(len) || len < 24 || len > r.Remaining() || !r.I32(code) || !r.U32(c1) ||
        !r.U32(c2) || !r.F64(width) || !r.U32(reserved) || width < 0 || width > kMaxLineWidth)
      return nullptr;
    auto* s = md::basilo::MakeOrNull<CGIS_SymbolV2>("IGIS_SymbolV2Factory::CreateSymbolFromBuffer", kind);
    if (s == nullptr) return nullptr;
    s->code_ = code;
    s->color_ = c1;
    s->color2_ = c2;
    s->width_ = width;
    return s;
  }

 private:
  ~CGIS_SymbolV2() override = default;
  int kind_;
  int code_ = 0;
  COLORREF color_ = 0;
  COLORREF color2_ = 0;
  double width_ = 0;
};

class CGIS_SymbolV2Factory final : public IGIS_SymbolV2Factory {
 public:
  IGIS_SymbolV2* CreateSymbol(const int& kind) override {
    if (!KnownKind(kind)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2Factory::CreateSymbol", "unknown kind %d", kind);
      return nullptr;
    }
    return md::basilo::MakeOrNull<CGIS_SymbolV2>("IGIS_SymbolV2Factory::CreateSymbol", kind);
  }
  IGIS_SymbolV2* CreateSymbolFromBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2Factory::CreateSymbolFromBuffer", "buffer == NULL");
      return nullptr;
    }
    return CreateSymbolFromBytes(buffer->GetData(), buffer->GetSize());
  }
  IGIS_SymbolV2* CreateSymbolFromBytes(const void* data, int size) override {
    IGIS_SymbolV2* s =
        (data && size > 0) ? CGIS_SymbolV2::Read(data, static_cast<std::size_t>(size)) : nullptr;
    if (s == nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2Factory::CreateSymbolFromBuffer", "empty or damaged buffer");
    return s;
  }
};

}  // namespace

extern "C" IGIS_SymbolV2Factory* GIS_GetSymbol2FactoryObject() {
  static CGIS_SymbolV2Factory factory;
  return &factory;
}
