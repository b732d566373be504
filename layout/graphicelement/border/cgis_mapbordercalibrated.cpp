// The calibrated map border: its values, stored form, drawing and conversion.
#include "layout/graphicelement/border/cgis_mapbordercalibrated.h"

#include <new>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/igis_display.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/border/mapborderpieces.h"
#include "layout/graphicelement/border/mapborderstore.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/releaseptr.h"
#include "layout/graphicelement/igis_element.h"

namespace {

using md::layout::ReleasePtr;
using md::layout::detail::SymbolKind;

constexpr int kBackgroundStyle = 0xD22;
constexpr int kForegroundStyle = 0xD21;
constexpr int kDefaultWidth = 2000;

}  // namespace

CGIS_MapBorderCalibrated::CGIS_MapBorderCalibrated() {
  m_pBackground = md::layout::detail::NewStyledSymbol(SymbolKind::Fill, kBackgroundStyle);
  m_pForeground = md::layout::detail::NewStyledSymbol(SymbolKind::Fill, kForegroundStyle);
  m_base.nBorderWidth = kDefaultWidth;
}

CGIS_MapBorderCalibrated::~CGIS_MapBorderCalibrated() {
  if (m_pForeground != nullptr) m_pForeground->Release();
  if (m_pBackground != nullptr) m_pBackground->Release();
}

void CGIS_MapBorderCalibrated::Release() { delete this; }

void CGIS_MapBorderCalibrated::SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::detail::ReplaceSymbol(&m_pBackground, pSymbol, SymbolKind::Fill,
                                    "CGIS_MapBorderCalibrated::SetBackgroundSymbolPtr");
}

void CGIS_MapBorderCalibrated::SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::detail::ReplaceSymbol(&m_pForeground, pSymbol, SymbolKind::Fill,
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
  return pOther->GetBackgroundSymbolPtr() == m_pBackground &&
         pOther->GetForegroundSymbolPtr() == m_pForeground && pOther->GetInterval() == m_nInterval &&
         pOther->GetAlternating() == m_bAlternating;
}

IGIS_MapBorder* CGIS_MapBorderCalibrated::Clone() {
  auto* pCopy = new (std::nothrow) CGIS_MapBorderCalibrated();
  if (pCopy != nullptr) pCopy->CopyFrom(static_cast<IGIS_MapBorderCalibrated*>(this));
  return pCopy;
}

bool CGIS_MapBorderCalibrated::Save(IGIS_DataBuffer* pBuffer) {
  using md::layout::detail::BorderKey;
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
  bOk &= md::layout::detail::WriteSymbolKeys(set.get(), "BackgroundSymbolIsNull", "BackgroundSymbol",
                                             m_pBackground, false, kMethod);
  bOk &= md::layout::detail::WriteSymbolKeys(set.get(), "ForegroundSymbolIsNull", "ForegroundSymbol",
                                             m_pForeground, false, kMethod);
  return StoreWithBase(set.get(), pBuffer) && bOk;
}

bool CGIS_MapBorderCalibrated::Open(IGIS_DataBuffer* pBuffer) {
  ReleasePtr<IGIS_PropertySet> set =
      md::layout::detail::ReadBorderSet(pBuffer, "CGIS_MapBorderCalibrated::Open");
  if (!set) return false;
  if (IGIS_Symbol* p =
          md::layout::detail::ReadSymbolKeys(set.get(), "ForegroundSymbolIsNull", "ForegroundSymbol")) {
    if (p->GetFillPart() != nullptr) SetForegroundSymbolPtr(p->GetFillPart());
    p->Release();
  }
  if (IGIS_Symbol* p =
          md::layout::detail::ReadSymbolKeys(set.get(), "BackgroundSymbolIsNull", "BackgroundSymbol")) {
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
  set.reset();
  if (!CGIS_MapBorderBase::Open(pBuffer)) bOk = false;
  return bOk;
}

bool CGIS_MapBorderCalibrated::OnDraw(HDC hdc, bool /*bPrint*/, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                                      IGIS_SpatialReference* pSpatialReference) {
  constexpr const char* kMethod = "CGIS_MapBorderCalibrated::OnDraw";
  return md::layout::detail::DrawBand(
      hdc, pDisplay, pSpatialReference, kMethod, "CGIS_MapBorderCalibrated::_DrawPolygonSymbol",
      [&](const md::layout::detail::PieceSink& sink) { Walk(frameRect, sink, kMethod); });
}

IGIS_Element* CGIS_MapBorderCalibrated::ConvertToElement(IGIS_Element* pMapElement) {
  constexpr const char* kMethod = " CGIS_MapBorderCalibrated::ConvertToElement";
  return md::layout::detail::ConvertBand(
      pMapElement, kMethod, [&](const SGIS_Rect& frameRect, const md::layout::detail::PieceSink& sink) {
        Walk(frameRect, sink, kMethod);
      });
}

void CGIS_MapBorderCalibrated::Walk(SGIS_Rect frameRect, const md::layout::detail::PieceSink& sink,
                                    const char* szMethod) {
  md::layout::detail::WalkCalibratedBand(GetOuterRect(frameRect), m_base.DrawingWidth(), m_nInterval,
                                         m_bAlternating, m_pBackground, m_pForeground, sink, szMethod);
}
