// Annotation point styles and their stored form (FORMAT.md).
#include <cstring>
#include <new>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/gis_bytes.h"
#include "host/notara/igis_annostyle.h"

namespace {

constexpr std::uint32_t kMagic = 0x534E4147;  // "GANS"
constexpr std::uint16_t kVersion = 1;
constexpr std::uint32_t kMaxSymbolBytes = 1 << 16;

IGIS_Symbol* NewTextSymbol() { return GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT); }

class CGIS_AnnoPointStyle final : public IGIS_AnnoPointStyle {
 public:
  explicit CGIS_AnnoPointStyle(IGIS_AnnoStyleSet* set) : set_(set), text_(NewTextSymbol()) {}

  void Release() override { delete this; }

  BOOL Save(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_AnnoPointStyle::Save", "buffer == NULL");
      return FALSE;
    }
    // The text symbol's own bytes go through a scratch buffer of the same kind.
    std::vector<std::uint8_t> sym;
    if (text_ != nullptr) {
      if (!text_->Save(buffer)) return FALSE;
      sym.assign(buffer->GetData(), buffer->GetData() + buffer->GetSize());
    }
    md::glyphor::Writer w;
    w.U32(kMagic);
    w.U16(kVersion);
    w.U16(0);
    w.I32(alignment_);
    w.U32(static_cast<std::uint32_t>(sym.size()));
    w.Bytes(sym.data(), sym.size());
    if (!buffer->SetSize(static_cast<int>(w.Size()))) return FALSE;
    std::memcpy(buffer->GetData(), w.Data().data(), w.Size());
    return TRUE;
  }

  BOOL Open(IGIS_DataBuffer* buffer) override {
    static const char* kMethod = "IGIS_AnnoPointStyle::Open";
    if (buffer == nullptr || buffer->GetSize() <= 0 || buffer->GetData() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "empty buffer");
      return FALSE;
    }
    md::glyphor::Reader r(buffer->GetData(), static_cast<std::size_t>(buffer->GetSize()));
    std::uint32_t magic = 0, symLen = 0;
    std::uint16_t version = 0, reserved = 0;
    std::int32_t alignment = 0;
    if (!r.U32(magic) || magic != kMagic || !r.U16(version) || version != kVersion || !r.U16(reserved) ||
        !r.I32(alignment) || alignment < 0 || alignment > 8 || !r.U32(symLen) || symLen > kMaxSymbolBytes ||
        symLen > r.Remaining()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "damaged style buffer");
      return FALSE;
    }
    IGIS_Symbol* text = nullptr;
    if (symLen > 0) {
      text = GIS_GetSymbolFactoryObject()->CreateSymbolFromBytes(buffer->GetData() + r.Position(),
                                                                 static_cast<int>(symLen));
      if (text == nullptr || text->GetType() != GIS_SYMBOL_TEXT) {
        if (text) text->Release();
        GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "damaged text symbol");
        return FALSE;
      }
    } else {
      text = NewTextSymbol();
    }
    if (text_) text_->Release();
    text_ = text;
    alignment_ = alignment;
    return TRUE;
  }

  IGIS_SymbolPart* GetTextStylePtr() override { return text_; }

  BOOL SetTextStyle(IGIS_SymbolPart* textStyle) override {
    if (textStyle == nullptr || textStyle->GetType() != GIS_SYMBOL_TEXT) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_AnnoPointStyle::SetTextStyle", "not a text symbol");
      return FALSE;
    }
    if (textStyle == text_) return TRUE;
    IGIS_Symbol* copy = textStyle->Clone();
    if (copy == nullptr) return FALSE;
    if (text_) text_->Release();
    text_ = copy;
    return TRUE;
  }

  BOOL SetAlignment(int code) override {
    if (code < 0 || code > 8) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_AnnoPointStyle::SetAlignment", "alignment code %d out of 0..8",
              code);
      return FALSE;
    }
    alignment_ = code;
    return TRUE;
  }
  int GetAlignment() override { return alignment_; }
  IGIS_AnnoStyleSet* GetStyleSet() override { return set_; }

 private:
  ~CGIS_AnnoPointStyle() override {
    if (text_) text_->Release();
  }
  IGIS_AnnoStyleSet* set_;
  IGIS_Symbol* text_;
  int alignment_ = 0;
};

class CGIS_AnnoStyleSet final : public IGIS_AnnoStyleSet {
 public:
  explicit CGIS_AnnoStyleSet(int kind) : kind_(kind) {}
  IGIS_AnnoPointStyle* GetPointStyle() override {
    return md::basilo::MakeOrNull<CGIS_AnnoPointStyle>("IGIS_AnnoStyleSet::GetPointStyle", this);
  }
  int GetKind() override { return kind_; }

 private:
  int kind_;
};

class CGIS_AnnoStyleFactory final : public IGIS_AnnoStyleFactory {
 public:
  IGIS_AnnoStyleSet* CreateStyleSet(int kind) override {
    if (kind != 1) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_AnnoStyleFactory::CreateStyleSet", "unknown style kind %d", kind);
      return nullptr;
    }
    return &pointSet_;
  }

 private:
  CGIS_AnnoStyleSet pointSet_{1};
};

}  // namespace

extern "C" IGIS_AnnoStyleFactory* GIS_GetAnnotationStyleFactoryObject() {
  static CGIS_AnnoStyleFactory factory;
  return &factory;
}
