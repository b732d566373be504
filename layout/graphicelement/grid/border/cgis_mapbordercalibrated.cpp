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
  if (pBuffer == nullptr) return false;
  md::layout::StoredSetWriter set;
  set.Bool("Alternating", "Alternating", m_bAlternating);
  set.Int("Interval", "Interval", m_nInterval);
  constexpr const char* kMethod = "CGIS_MapBorderCalibrated::Save";
  bool bOk = md::layout::border::WriteSymbolKeys(set, "BackgroundSymbolIsNull", "BackgroundSymbol",
                                                 m_pBackground.get(), false, kMethod);
  bOk &= md::layout::border::WriteSymbolKeys(set, "ForegroundSymbolIsNull", "ForegroundSymbol",
                                             m_pForeground.get(), false, kMethod);
  return StoreWithBase(set, pBuffer) && bOk;
}

bool CGIS_MapBorderCalibrated::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapBorderCalibrated::Open";
  std::span<const BYTE> bytes;
  if (!md::layout::border::BorderSetBytes(pBuffer, kMethod, &bytes)) return false;
  const md::layout::StoredSetView set(bytes);
  if (!md::layout::border::BorderSetSound(set, kMethod)) return false;
  if (IGIS_Symbol* p =
          md::layout::border::ReadSymbolKeys(set, "ForegroundSymbolIsNull", "ForegroundSymbol")) {
    if (p->GetFillPart() != nullptr) SetForegroundSymbolPtr(p->GetFillPart());
    p->Release();
  }
  if (IGIS_Symbol* p =
          md::layout::border::ReadSymbolKeys(set, "BackgroundSymbolIsNull", "BackgroundSymbol")) {
    if (p->GetFillPart() != nullptr) SetBackgroundSymbolPtr(p->GetFillPart());
    p->Release();
  }
  bool bOk = set.Read("Alternating", &m_bAlternating);
  bOk &= set.Read("Interval", &m_nInterval);
  OpenBase(set);
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
