// Shared pieces of the element frame's tests: symbols, the global
// background switch, log marks and stored-form helpers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "tests/support/logmark.h"

namespace md::test {

using Frame = md::basilo::ReleasePtr<CGIS_FrameProperty>;

// Turns the host's default-background switch on or off for a scope.
class BackSymbolSwitch {
 public:
  explicit BackSymbolSwitch(bool on) { Field()->SetBool(on); }
  ~BackSymbolSwitch() { Field()->SetBool(false); }

 private:
  static IGIS_Field* Field() {
    const char* key = "GIS_LAYOUT_LEGENDELEMENT_BACKSYMBOL";
    IGIS_GlobalProperties* globals = GIS_GetGlobalProperties();
    IGIS_Field* field = globals->GetProperty(key);
    if (field == nullptr) {
      field = GIS_CreateFieldObject();
      field->SetName(key);
      field->SetType(GIS_FIELD_TYPE_BOOL);
      if (!globals->AddProperty(field)) field->Release();
      field = globals->GetProperty(key);
    }
    return field;
  }
};

// Owned symbols, released at scope end.
struct Symbol {
  IGIS_Symbol* p = nullptr;
  explicit Symbol(IGIS_Symbol* s) : p(s) {}
  ~Symbol() {
    if (p != nullptr) p->Release();
  }
  Symbol(const Symbol&) = delete;
  Symbol& operator=(const Symbol&) = delete;
};
struct Symbol2 {
  IGIS_SymbolV2* p = nullptr;
  explicit Symbol2(IGIS_SymbolV2* s) : p(s) {}
  ~Symbol2() {
    if (p != nullptr) p->Release();
  }
  Symbol2(const Symbol2&) = delete;
  Symbol2& operator=(const Symbol2&) = delete;
};

inline IGIS_Symbol* LineSymbol(COLORREF color, double widthMm) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}
inline IGIS_Symbol* FillSymbol(COLORREF color) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  s->SetColor(color);
  s->SetLineWidth(0.0);
  return s;
}
inline IGIS_SymbolV2* LineSymbol2(COLORREF color, double widthMm) {
  const int kind = GIS_SYMBOLV2_LINE;
  IGIS_SymbolV2* s = GIS_GetSymbol2FactoryObject()->CreateSymbol(kind);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}
inline IGIS_SymbolV2* FillSymbol2(COLORREF color) {
  const int kind = GIS_SYMBOLV2_FILL;
  IGIS_SymbolV2* s = GIS_GetSymbol2FactoryObject()->CreateSymbol(kind);
  s->SetColor(color);
  s->SetLineWidth(0.0);
  return s;
}

// The stored bytes of a symbol (empty for NULL): two symbols are equal when
// these are.
inline std::vector<BYTE> Bytes(IGIS_Symbol* s) {
  std::vector<BYTE> out;
  if (s == nullptr) return out;
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  s->Save(b);
  out.assign(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}
inline std::vector<BYTE> Bytes(IGIS_SymbolV2* s) {
  std::vector<BYTE> out;
  if (s == nullptr) return out;
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  s->Save(b, FALSE);
  out.assign(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}

// Every value of a frame, for whole-object comparisons.
struct FrameValues {
  int borderX, borderY, backX, backY, shadowX, shadowY;
  int borderGaps[4], backGaps[4];
  bool visible[4];
  int backRounding, borderRounding, shadowRounding;
  bool draft;
  std::vector<BYTE> symbols[6];
  bool operator==(const FrameValues&) const = default;
};
inline FrameValues ValuesOf(IGIS_FrameProperty* f) {
  FrameValues v{};
  v.borderX = f->GetBorderX();
  v.borderY = f->GetBorderY();
  v.backX = f->GetBackX();
  v.backY = f->GetBackY();
  v.shadowX = f->GetShadowOffSetX();
  v.shadowY = f->GetShadowOffSetY();
  f->GetBorderGaps(&v.borderGaps[0], &v.borderGaps[1], &v.borderGaps[2], &v.borderGaps[3]);
  f->GetBackGaps(&v.backGaps[0], &v.backGaps[1], &v.backGaps[2], &v.backGaps[3]);
  f->GetBorderVisible(&v.visible[0], &v.visible[1], &v.visible[2], &v.visible[3]);
  v.backRounding = f->GetBackRounding();
  v.borderRounding = f->GetBorderRounding();
  v.shadowRounding = f->GetShowOffsetRounding();
  v.draft = f->GetDraftMode();
  v.symbols[0] = Bytes(f->GetBorderSymbolPtr());
  v.symbols[1] = Bytes(f->GetBackSymbolPtr());
  v.symbols[2] = Bytes(f->GetShadowSymbolPtr());
  v.symbols[3] = Bytes(f->GetBorderSymbol2Ptr());
  v.symbols[4] = Bytes(f->GetBackSymbol2Ptr());
  v.symbols[5] = Bytes(f->GetShadowSymbol2Ptr());
  return v;
}

}  // namespace md::test
