// Symbols read from fields, symbols kept by setters, and texts drawn through
// the annotation drawer.
#include "layout/graphicelement/element/mapdecksymbol.h"

#include <cmath>
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"

#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/customset.h"

namespace {

// The first checks of every symbol reader: a field to read and a factory to
// build with; false after the record of the first miss.
bool FieldAndFactoryHeld(bool bField, bool bFactory, const char* szMethod) {
  if (!bField) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "p_field == NULL");
    return false;
  }
  if (!bFactory) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "p_symbol_factory == NULL");
    return false;
  }
  return true;
}

// The checks both readers make before the factory builds the symbol: the
// field's buffer with its data, or NULL after the record of the first miss.
template <class TFactory>
IGIS_DataBuffer* StoredSymbolBuffer(IGIS_Field* pField, TFactory* pFactory, const char* szMethod) {
  if (!FieldAndFactoryHeld(pField != nullptr, pFactory != nullptr, szMethod)) return nullptr;
  IGIS_DataBuffer* pBuffer = pField->GetDataBuffer();
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "p_buffer == NULL");
    return nullptr;
  }
  if (pBuffer->GetData() == nullptr) {
    const char* szLabel = pField->GetLabel();
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "%s, p_buffer->GetBufferPtr() == NULL ",
            szLabel != nullptr ? szLabel : "");
    return nullptr;
  }
  return pBuffer;
}

// The same checks on a stored field read in place, then the factory builds
// the symbol from the stored bytes.
template <class TSymbol, class TFactory>
TSymbol* SymbolFromStored(const md::basilo::StoredFieldView* pField, std::string_view key, TFactory* pFactory,
                          const char* szMethod) {
  if (!FieldAndFactoryHeld(pField != nullptr, pFactory != nullptr, szMethod)) return nullptr;
  if (pField->type != GIS_FIELD_TYPE_BUFFER) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "p_buffer == NULL");
    return nullptr;
  }
  if (pField->bytes.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "%.*s, p_buffer->GetBufferPtr() == NULL ",
            static_cast<int>(key.size()), key.data());
    return nullptr;
  }
  TSymbol* pSymbol =
      pFactory->CreateSymbolFromBytes(pField->bytes.data(), static_cast<int>(pField->bytes.size()));
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "p_symbol == NULL");
  return pSymbol;
}

}  // namespace

IGIS_Symbol* GetSymbolFromStored(const md::basilo::StoredFieldView* pField, std::string_view key) {
  return SymbolFromStored<IGIS_Symbol>(
      pField, key, pField != nullptr ? GIS_GetSymbolFactoryObject() : nullptr, "GetSymbolFromField");
}

IGIS_SymbolV2* GetSymbol2FromStored(const md::basilo::StoredFieldView* pField, std::string_view key) {
  return SymbolFromStored<IGIS_SymbolV2>(
      pField, key, pField != nullptr ? GIS_GetSymbol2FactoryObject() : nullptr, "GetSymbol2FromField");
}

IGIS_Symbol* GetSymbolFromStored(const md::layout::StoredSetView& set, std::string_view key) {
  return GetSymbolFromStored(set.Find(key), key);
}

IGIS_Symbol* GetSymbolFromField(IGIS_Field* pField) {
  IGIS_SymbolFactory* pFactory = pField != nullptr ? GIS_GetSymbolFactoryObject() : nullptr;
  IGIS_DataBuffer* pBuffer = StoredSymbolBuffer(pField, pFactory, "GetSymbolFromField");
  if (pBuffer == nullptr) return nullptr;
  IGIS_Symbol* pSymbol = pFactory->CreateSymbolFromBuffer(pBuffer);
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "GetSymbolFromField", "p_symbol == NULL");
  return pSymbol;
}

IGIS_SymbolV2* GetSymbol2FromField(IGIS_Field* pField) {
  IGIS_SymbolV2Factory* pFactory = pField != nullptr ? GIS_GetSymbol2FactoryObject() : nullptr;
  IGIS_DataBuffer* pBuffer = StoredSymbolBuffer(pField, pFactory, "GetSymbol2FromField");
  if (pBuffer == nullptr) return nullptr;
  IGIS_SymbolV2* pSymbol = pFactory->CreateSymbolFromBuffer(pBuffer);
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "GetSymbol2FromField", "p_symbol == NULL");
  return pSymbol;
}

void DrawWithDrawer(IGIS_AnnoDrawer* pDrawer, IGIS_Display* pDisplay, CDC* pDC, bool bPrint, double dRatio,
                    IGIS_AnnoPointStyle* pStyle, const char* szText, const SGIS_Point* pPoints, int nCount,
                    IGIS_FeatureSet* pOwner) {
  if (pDrawer == nullptr || pDisplay == nullptr) return;
  double ratio = dRatio;
  if (bPrint) {
    IGIS_DisplayView* pView = pDisplay->GetView();
    if (pView != nullptr) ratio = pView->GetSymbolRatio();
  }
  ratio *= md::layout::SymbolDrawFactor(pOwner);
  pDrawer->Draw(pDC, bPrint ? TRUE : FALSE, ratio, pStyle, szText, pPoints, nCount);
}

md::basilo::ReleasePtr<IGIS_AnnoPointStyle> AlignedStyleCopy(IGIS_AnnoPointStyle* pStyle, int nAlignment) {
  IGIS_AnnoStyleSet* pSet = pStyle != nullptr ? pStyle->GetStyleSet() : nullptr;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pCopy(pSet != nullptr ? pSet->GetPointStyle() : nullptr);
  if (!pCopy || !pCopy->SetTextStyle(pStyle->GetTextStylePtr()) || !pCopy->SetAlignment(nAlignment))
    return {};
  return pCopy;
}

SGIS_Rect PointSymbolExtent(IGIS_Symbol* pSymbol, double dFactor) {
  if (pSymbol == nullptr) return SGIS_Rect();
  switch (pSymbol->GetType()) {
    case GIS_SYMBOL_POINT: {
      IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
      IGIS_SymbolPart* pPart = pSymbol->GetPointPart();
      if (pRenderer == nullptr || pPart == nullptr) return SGIS_Rect();
      return pRenderer->GetSymbolBound(pPart->GetStyleCode());
    }
    case GIS_SYMBOL_POINT7:
      return pSymbol->GetType7Part() != nullptr ? pSymbol->GetType7Part()->GetExtent(dFactor) : SGIS_Rect();
    case GIS_SYMBOL_POINT5:
      return pSymbol->GetType5Part() != nullptr ? pSymbol->GetType5Part()->GetExtent(dFactor) : SGIS_Rect();
    default:
      return SGIS_Rect();
  }
}

void PointMarkSize(IGIS_Symbol* pSymbol, double* pWidth, double* pHeight) {
  *pWidth = *pHeight = 0.0;
  if (pSymbol == nullptr) return;
  const int nType = pSymbol->GetType();
  if (nType != GIS_SYMBOL_POINT && nType != GIS_SYMBOL_POINT5 && nType != GIS_SYMBOL_POINT7) return;
  // The proportions of the style; the extents of types 5 and 7 are taken
  // large, so that their whole units keep the proportions exactly enough.
  constexpr double kFine = 1000.0;
  const SGIS_Rect e = PointSymbolExtent(pSymbol, kFine);
  const double h = pSymbol->GetSize();
  *pHeight = h;
  *pWidth = e.Height() > 0 ? h * e.Width() / e.Height() : h;
}

namespace md::layout {

double SymbolUnitRatio(IGIS_FeatureSet* pOwner) {
  const double r = pOwner != nullptr ? pOwner->GetUnitRatio() : 1.0;
  return r > 0.0 && std::isfinite(r) ? r : 1.0;
}

double SymbolDrawFactor(IGIS_FeatureSet* pOwner) {
  return SymbolUnitRatio(pOwner) / GIS_SYMBOL_UNIT_PAGE_RATIO;
}

double SymbolDrawScale(IGIS_Symbol* pSymbol, double dScale, IGIS_FeatureSet* pOwner) {
  if (pSymbol == nullptr) return dScale;
  switch (pSymbol->GetType()) {
    case GIS_SYMBOL_POINT5:
    case GIS_SYMBOL_POINT:
    case GIS_SYMBOL_POINT7:
    case GIS_SYMBOL_TEXT:
      return dScale * SymbolDrawFactor(pOwner);
    default:
      return dScale;
  }
}

IGIS_Symbol* SymbolPartOf(IGIS_Symbol* pSymbol, SymbolKind kind) {
  if (pSymbol == nullptr) return nullptr;
  switch (kind) {
    case SymbolKind::Point:
      return pSymbol->GetPointPart();
    case SymbolKind::Line:
      return pSymbol->GetLinePart();
    case SymbolKind::Fill:
      return pSymbol->GetFillPart();
    case SymbolKind::Text:
      return pSymbol->GetTextPart();
  }
  return nullptr;
}

IGIS_Symbol* NewTextSymbolWithFont(const std::function<void(LOGFONT* pFont)>& setUp) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  md::basilo::ReleasePtr<IGIS_Symbol> symbol(pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_TEXT)
                                                                 : nullptr);
  LOGFONT* pFont = symbol ? symbol->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) return nullptr;
  setUp(pFont);
  return symbol.release();
}

IGIS_Symbol* NewStyledSymbol(SymbolKind kind, int nStyleCode) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  if (pFactory == nullptr) return nullptr;
  static constexpr int kTypes[] = {GIS_SYMBOL_POINT, GIS_SYMBOL_LINE, GIS_SYMBOL_FILL, GIS_SYMBOL_TEXT};
  IGIS_Symbol* pSymbol = pFactory->CreateSymbol(kTypes[static_cast<int>(kind)]);
  IGIS_Symbol* pPart = SymbolPartOf(pSymbol, kind);
  if (pPart == nullptr) {
    if (pSymbol != nullptr) pSymbol->Release();
    return nullptr;
  }
  pPart->SetCode(nStyleCode);
  return pPart;
}

void ReplaceSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pGiven, SymbolKind kind,
                   const char* szMethod, int nNullLevel) {
  if (pGiven == nullptr) GIS_LOG(nNullLevel, szMethod, "right == NULL");
  if (pGiven != nullptr && pGiven == pHeld->get()) return;
  pHeld->reset();
  if (pGiven == nullptr) return;
  IGIS_Symbol* pCopy = pGiven->Clone();
  IGIS_Symbol* pPart = SymbolPartOf(pCopy, kind);
  if (pPart == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbol == NULL");
    if (pCopy != nullptr) pCopy->Release();
    return;
  }
  pHeld->reset(pPart);
}

}  // namespace md::layout
