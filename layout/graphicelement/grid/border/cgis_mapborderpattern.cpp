// The pattern map border: its values, stored form, drawing and conversion.
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"

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

constexpr int kDefaultWidth = 2000;

struct SymbolKeys {
  CGIS_MapBorderPattern::Slot slot;
  const char* szFlag;
  const char* szSymbol;
  const char* szSetter;
};
// In the order the keys are stored.
constexpr SymbolKeys kSymbolKeys[] = {
    {CGIS_MapBorderPattern::LeftTop, "LeftTopSymbolIsNull", "LeftTopSymbol",
     "CGIS_MapBorderPattern::SetLeftTopSymbolPtr"},
    {CGIS_MapBorderPattern::LeftBottom, "LeftBottomSymbolIsNull", "LeftBottomSymbol",
     "CGIS_MapBorderPattern::SetLeftBottomSymbolPtr"},
    {CGIS_MapBorderPattern::RightTop, "RightTopSymbolIsNull", "RightTopSymbol",
     "CGIS_MapBorderPattern::SetRightTopSymbolPtr"},
    {CGIS_MapBorderPattern::RightBottom, "RightBottomSymbolIsNull", "RightBottomSymbol",
     "CGIS_MapBorderPattern::SetRightBottomSymbolPtr"},
    {CGIS_MapBorderPattern::Top, "TopSymbolIsNull", "TopSymbol", "CGIS_MapBorderPattern::SetTopSymbolPtr"},
    {CGIS_MapBorderPattern::Bottom, "BottomSymbolIsNull", "BottomSymbol",
     "CGIS_MapBorderPattern::SetBottomSymbolPtr"},
    {CGIS_MapBorderPattern::Left, "LeftSymbolIsNull", "LeftSymbol",
     "CGIS_MapBorderPattern::SetLeftSymbolPtr"},
    {CGIS_MapBorderPattern::Right, "RightSymbolIsNull", "RightSymbol",
     "CGIS_MapBorderPattern::SetRightSymbolPtr"},
};
// The order in which Open reads the symbols (indexes into kSymbolKeys).
constexpr int kReadOrder[] = {4, 5, 6, 7, 0, 1, 2, 3};

constexpr const char* kScaleKeys[] = {"TopScale", "BottomScale", "LeftScale", "RightScale"};

md::layout::border::PatternBand BandOf(IGIS_MapBorderPattern* p) {
  md::layout::border::PatternBand band;
  band.corners[0] = p->GetLeftTopSymbolPtr();
  band.corners[1] = p->GetLeftBottomSymbolPtr();
  band.corners[2] = p->GetRightTopSymbolPtr();
  band.corners[3] = p->GetRightBottomSymbolPtr();
  band.sides[0] = p->GetTopSymbolPtr();
  band.sides[1] = p->GetBottomSymbolPtr();
  band.sides[2] = p->GetLeftSymbolPtr();
  band.sides[3] = p->GetRightSymbolPtr();
  band.scales[0] = p->GetTopScale();
  band.scales[1] = p->GetBottomScale();
  band.scales[2] = p->GetLeftScale();
  band.scales[3] = p->GetRightScale();
  return band;
}

}  // namespace

CGIS_MapBorderPattern::CGIS_MapBorderPattern() { m_base.nBorderWidth = kDefaultWidth; }

// The symbols go in slot order: the corners, then the sides.
CGIS_MapBorderPattern::~CGIS_MapBorderPattern() {
  for (auto& p : m_pSymbols) p.reset();
}

void CGIS_MapBorderPattern::Release() { delete this; }

void CGIS_MapBorderPattern::SetSymbol(Slot slot, IGIS_Symbol* pSymbol) {
  for (const SymbolKeys& k : kSymbolKeys) {
    if (k.slot == slot) md::layout::ReplaceSymbol(&m_pSymbols[slot], pSymbol, SymbolKind::Fill, k.szSetter);
  }
}

IGIS_MapBorderPattern* CGIS_MapBorderPattern::CopyFrom(IGIS_MapBorderPattern* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CGIS_MapBorderBase::CopyFrom(*pOther);
  SetRightSymbolPtr(pOther->GetRightSymbolPtr());
  SetTopSymbolPtr(pOther->GetTopSymbolPtr());
  SetBottomSymbolPtr(pOther->GetBottomSymbolPtr());
  SetLeftSymbolPtr(pOther->GetLeftSymbolPtr());
  SetLeftTopSymbolPtr(pOther->GetLeftTopSymbolPtr());
  SetLeftBottomSymbolPtr(pOther->GetLeftBottomSymbolPtr());
  SetRightBottomSymbolPtr(pOther->GetRightBottomSymbolPtr());
  SetRightTopSymbolPtr(pOther->GetRightTopSymbolPtr());
  SetLeftScale(pOther->GetLeftScale());
  SetRightScale(pOther->GetRightScale());
  SetTopScale(pOther->GetTopScale());
  SetBottomScale(pOther->GetBottomScale());
  return this;
}

bool CGIS_MapBorderPattern::operator==(IGIS_MapBorderPattern* pOther) {
  if (pOther == nullptr || CGIS_MapBorderBase::operator!=(*pOther)) return false;
  return pOther->GetLeftSymbolPtr() == m_pSymbols[Left].get() &&
         pOther->GetRightSymbolPtr() == m_pSymbols[Right].get() &&
         pOther->GetTopSymbolPtr() == m_pSymbols[Top].get() &&
         pOther->GetBottomSymbolPtr() == m_pSymbols[Bottom].get() &&
         pOther->GetLeftTopSymbolPtr() == m_pSymbols[LeftTop].get() &&
         pOther->GetLeftBottomSymbolPtr() == m_pSymbols[LeftBottom].get() &&
         pOther->GetRightBottomSymbolPtr() == m_pSymbols[RightBottom].get() &&
         pOther->GetRightTopSymbolPtr() == m_pSymbols[RightTop].get() &&
         pOther->GetLeftScale() == m_dScales[LeftScale] && pOther->GetRightScale() == m_dScales[RightScale] &&
         pOther->GetTopScale() == m_dScales[TopScale] && pOther->GetBottomScale() == m_dScales[BottomScale];
}

IGIS_MapBorder* CGIS_MapBorderPattern::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_MapBorderPattern>("CGIS_MapBorderPattern::Clone");
  if (pCopy != nullptr) pCopy->CopyFrom(static_cast<IGIS_MapBorderPattern*>(this));
  return pCopy;
}

bool CGIS_MapBorderPattern::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) return false;
  md::layout::StoredSetWriter set;
  for (int i = 0; i < ScaleCount; ++i) set.Double(kScaleKeys[i], kScaleKeys[i], m_dScales[i]);
  bool bOk = true;
  for (const SymbolKeys& k : kSymbolKeys) {
    // The top side's symbol key goes before its flag.
    bOk &= md::layout::border::WriteSymbolKeys(set, k.szFlag, k.szSymbol, m_pSymbols[k.slot].get(),
                                               k.slot == Top, "CGIS_MapBorderPattern::Save");
  }
  return StoreWithBase(set, pBuffer) && bOk;
}

bool CGIS_MapBorderPattern::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapBorderPattern::Open";
  std::span<const BYTE> bytes;
  if (!md::layout::border::BorderSetBytes(pBuffer, kMethod, &bytes)) return false;
  const md::layout::StoredSetView set(bytes);
  if (!md::layout::border::BorderSetSound(set, kMethod)) return false;
  for (int index : kReadOrder) {
    const SymbolKeys& k = kSymbolKeys[index];
    if (IGIS_Symbol* p = md::layout::border::ReadSymbolKeys(set, k.szFlag, k.szSymbol)) {
      if (p->GetFillPart() != nullptr) SetSymbol(k.slot, p->GetFillPart());
      p->Release();
    }
  }
  bool bOk = true;
  for (int i = 0; i < ScaleCount; ++i) bOk &= set.Read(kScaleKeys[i], &m_dScales[i]);
  OpenBase(set);
  return bOk;
}

bool CGIS_MapBorderPattern::OnDraw(HDC hdc, bool /*bPrint*/, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                                   IGIS_SpatialReference* pSpatialReference) {
  constexpr const char* kMethod = "CGIS_MapBorderPattern::OnDraw";
  return md::layout::border::DrawBand(
      hdc, pDisplay, pSpatialReference, kMethod, "CGIS_MapBorderPattern::_DrawPolygonSymbol",
      [&](const md::layout::border::PieceSink& sink) {
        md::layout::border::WalkPatternBand(GetOuterRect(frameRect), m_base.DrawingWidth(), BandOf(this),
                                            sink, kMethod, GIS_GetPerformanceLogPtr());
      });
}

IGIS_Element* CGIS_MapBorderPattern::ConvertToElement(IGIS_Element* pMapElement) {
  constexpr const char* kMethod = " CGIS_MapBorderPattern::ConvertToElement";
  // Laid exactly as drawn (no performance measures).
  return md::layout::border::ConvertBand(
      pMapElement, kMethod, [&](const SGIS_Rect& frameRect, const md::layout::border::PieceSink& sink) {
        md::layout::border::WalkPatternBand(GetOuterRect(frameRect), m_base.DrawingWidth(), BandOf(this),
                                            sink, kMethod, nullptr);
      });
}
