// The calibrated map border: its values, stored form, drawing and conversion.
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"

#include "host/basilo/makeornull.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "layout/graphicelement/grid/border/mapborderstore.h"
#include "layout/graphicelement/igis_element.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::SymbolKind;

constexpr int kBackgroundStyle = 0xD22;
constexpr int kForegroundStyle = 0xD21;
constexpr int kDefaultWidth = 2000;

}  // namespace

CGIS_MapBorderCalibrated::CGIS_MapBorderCalibrated()
    : m_pBackground(md::layout::NewStyledSymbol(SymbolKind::Fill, kBackgroundStyle)),
      m_pForeground(md::layout::NewStyledSymbol(SymbolKind::Fill, kForegroundStyle)) {
  m_base.nBorderWidth = kDefaultWidth;
}

// The foreground symbol goes first, then the background.
CGIS_MapBorderCalibrated::~CGIS_MapBorderCalibrated() { m_pForeground.reset(); }

void CGIS_MapBorderCalibrated::Release() { delete this; }

void CGIS_MapBorderCalibrated::SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pBackground, pSymbol, SymbolKind::Fill,
                            "CGIS_MapBorderCalibrated::SetBackgroundSymbolPtr");
}

void CGIS_MapBorderCalibrated::SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pForeground, pSymbol, SymbolKind::Fill,
                            "CGIS_MapBorderCalibrated::SetForegroundSymbolPtr");
}

IGIS_MapBorderCalibrated* CGIS_MapBorderCalibrated::CopyFrom(IGIS_MapBorderCalibrated* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CGIS_MapBorderBase::CopyFrom(*pOther);
  m_bAlternating = pOther->GetAlternating();
  m_nInterval = pOther->GetInterval();
  SetBackgroundSymbolPtr(pOther->GetBackgroundSymbolPtr());
  SetForegroundSymbolPtr(pOther->GetForegroundSymbolPtr());
  return this;
}

bool CGIS_MapBorderCalibrated::operator==(IGIS_MapBorderCalibrated* pOther) {
  if (pOther == nullptr || CGIS_MapBorderBase::operator!=(*pOther)) return false;
  return pOther->GetBackgroundSymbolPtr() == m_pBackground.get() &&
         pOther->GetForegroundSymbolPtr() == m_pForeground.get() && pOther->GetInterval() == m_nInterval &&
         pOther->GetAlternating() == m_bAlternating;
}

IGIS_MapBorder* CGIS_MapBorderCalibrated::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_MapBorderCalibrated>("CGIS_MapBorderCalibrated::Clone");
  if (pCopy != nullptr) pCopy->CopyFrom(static_cast<IGIS_MapBorderCalibrated*>(this));
  return pCopy;
}

bool CGIS_MapBorderCalibrated::Save(IGIS_DataBuffer* pBuffer) {
  using md::layout::border::BorderKey;
  ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set || pBuffer == nullptr) return false;
  bool bOk = true;
  if (IGIS_Field* f = BorderKey(set.get(), "Alternating", GIS_FIELD_TYPE_BOOL)) {
    f->SetBool(m_bAlternating);
  } else {
    bOk = false;
  }
  if (IGIS_Field* f = BorderKey(set.get(), "Interval", GIS_FIELD_TYPE_INT)) {
    f->SetInt(m_nInterval);
  } else {
    bOk = false;
  }
  constexpr const char* kMethod = "CGIS_MapBorderCalibrated::Save";
  bOk &= md::layout::border::WriteSymbolKeys(set.get(), "BackgroundSymbolIsNull", "BackgroundSymbol",
                                             m_pBackground.get(), false, kMethod);
  bOk &= md::layout::border::WriteSymbolKeys(set.get(), "ForegroundSymbolIsNull", "ForegroundSymbol",
                                             m_pForeground.get(), false, kMethod);
  return StoreWithBase(set.get(), pBuffer) && bOk;
}

bool CGIS_MapBorderCalibrated::Open(IGIS_DataBuffer* pBuffer) {
  ReleasePtr<IGIS_PropertySet> set =
      md::layout::border::ReadBorderSet(pBuffer, "CGIS_MapBorderCalibrated::Open");
  if (!set) return false;
  if (IGIS_Symbol* p =
          md::layout::border::ReadSymbolKeys(set.get(), "ForegroundSymbolIsNull", "ForegroundSymbol")) {
    if (p->GetFillPart() != nullptr) SetForegroundSymbolPtr(p->GetFillPart());
    p->Release();
  }
  if (IGIS_Symbol* p =
          md::layout::border::ReadSymbolKeys(set.get(), "BackgroundSymbolIsNull", "BackgroundSymbol")) {
    if (p->GetFillPart() != nullptr) SetBackgroundSymbolPtr(p->GetFillPart());
    p->Release();
  }
  bool bOk = true;
  if (IGIS_Field* f = set->GetProperty("Alternating")) {
    m_bAlternating = f->GetBool();
  } else {
    bOk = false;
  }
  if (IGIS_Field* f = set->GetProperty("Interval")) {
    m_nInterval = f->GetInt();
  } else {
    bOk = false;
  }
  OpenBase(set.get());
  return bOk;
}

bool CGIS_MapBorderCalibrated::OnDraw(HDC hdc, bool /*bPrint*/, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                                      IGIS_SpatialReference* pSpatialReference) {
  constexpr const char* kMethod = "CGIS_MapBorderCalibrated::OnDraw";
  return md::layout::border::DrawBand(
      hdc, pDisplay, pSpatialReference, kMethod, "CGIS_MapBorderCalibrated::_DrawPolygonSymbol",
      [&](const md::layout::border::PieceSink& sink) { Walk(frameRect, sink, kMethod); });
}

IGIS_Element* CGIS_MapBorderCalibrated::ConvertToElement(IGIS_Element* pMapElement) {
  constexpr const char* kMethod = " CGIS_MapBorderCalibrated::ConvertToElement";
  return md::layout::border::ConvertBand(
      pMapElement, kMethod, [&](const SGIS_Rect& frameRect, const md::layout::border::PieceSink& sink) {
        Walk(frameRect, sink, kMethod);
      });
}

void CGIS_MapBorderCalibrated::Walk(SGIS_Rect frameRect, const md::layout::border::PieceSink& sink,
                                    const char* szMethod) {
  md::layout::border::WalkCalibratedBand(GetOuterRect(frameRect), m_base.DrawingWidth(), m_nInterval,
                                         m_bAlternating, m_pBackground.get(), m_pForeground.get(), sink,
                                         szMethod);
}
