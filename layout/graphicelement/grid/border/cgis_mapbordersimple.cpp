// The simple map border.
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"

#include <cmath>
#include "host/basilo/makeornull.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "layout/graphicelement/grid/border/mapborderstore.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"

namespace {

using md::basilo::ReleasePtr;
using md::layout::SymbolKind;

constexpr int kDefaultLineStyle = 0xD03;
// A border width unit per 1/26.3 screen pixel, a screen pixel being 1/96 inch.
constexpr double kWidthUnitsPerPixel = 26.3;
constexpr double kMmPerScreenPixel = 25.4 / 96.0;

}  // namespace

CGIS_MapBorderSimple::CGIS_MapBorderSimple()
    : m_pLineSymbol(md::layout::NewStyledSymbol(SymbolKind::Line, kDefaultLineStyle)) {}

void CGIS_MapBorderSimple::Release() { delete this; }

double CGIS_MapBorderSimple::ScreenLineWidth(int nBorderWidth) {
  const int w = nBorderWidth > 0 ? nBorderWidth : 0;
  return w / kWidthUnitsPerPixel * kMmPerScreenPixel;
}

void CGIS_MapBorderSimple::SetLineSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pLineSymbol, pSymbol, SymbolKind::Line,
                            "CGIS_MapBorderSimple::SetLineSymbolPtr");
}

bool CGIS_MapBorderSimple::operator==(IGIS_MapBorderSimple* pOther) {
  if (pOther == nullptr || CGIS_MapBorderBase::operator!=(*pOther)) return false;
  return pOther->GetLineSymbolPtr() == m_pLineSymbol.get();
}

IGIS_MapBorderSimple* CGIS_MapBorderSimple::CopyFrom(IGIS_MapBorderSimple* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CGIS_MapBorderBase::CopyFrom(*pOther);
  SetLineSymbolPtr(pOther->GetLineSymbolPtr());
  return this;
}

IGIS_MapBorder* CGIS_MapBorderSimple::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_MapBorderSimple>("CGIS_MapBorderSimple::Clone");
  if (pCopy != nullptr) pCopy->CopyFrom(static_cast<IGIS_MapBorderSimple*>(this));
  return pCopy;
}

bool CGIS_MapBorderSimple::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) return false;
  md::layout::StoredSetWriter set;
  bool bOk = md::layout::border::WriteSymbolKeys(set, "LineSymbolIsNull", "LineSymbol", m_pLineSymbol.get(),
                                                 false, "CGIS_MapBorderSimple::Save");
  return StoreWithBase(set, pBuffer) && bOk;
}

bool CGIS_MapBorderSimple::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapBorderSimple::Open";
  std::span<const BYTE> bytes;
  if (!md::layout::border::BorderSetBytes(pBuffer, kMethod, &bytes)) return false;
  const md::layout::StoredSetView set(bytes);
  if (!md::layout::border::BorderSetSound(set, kMethod)) return false;
  if (IGIS_Symbol* pRead = md::layout::border::ReadSymbolKeys(set, "LineSymbolIsNull", "LineSymbol")) {
    if (pRead->GetLinePart() != nullptr) SetLineSymbolPtr(pRead->GetLinePart());
    pRead->Release();
  }
  OpenBase(set);
  return true;
}

bool CGIS_MapBorderSimple::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                                  IGIS_SpatialReference* pSpatialReference) {
  constexpr const char* kMethod = "CGIS_MapBorderSimple::OnDraw";
  const SGIS_Rect outer = GetOuterRect(frameRect);
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_symbolization == NULL");
    return false;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_display == NULL");
    return false;
  }
  const SGIS_DRect page = SGIS_DRect::MakeFromRect(outer.left, outer.right, outer.top, outer.bottom);
  const SGIS_DRect device = pView->PageToDeviceRect(page, pSpatialReference);
  const SGIS_Point a = SGIS_Point::FromDoubles(device.x1, device.y1);
  const SGIS_Point b = SGIS_Point::FromDoubles(device.x2, device.y2);
  POINT ring[5] = {{a.x, b.y}, {b.x, b.y}, {b.x, a.y}, {a.x, a.y}, {a.x, b.y}};

  SGIS_DrawParam param;
  param.hdc = hdc;
  param.printFlag = bPrint ? 1 : 0;
  param.symbolScale = GetDisplayRatio(pDisplay);
  param.points = ring;
  param.pointCount = 5;
  if (bPrint) param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());

  CGIS_ElementClipScope clip(hdc, pDisplay);
  if (m_pLineSymbol == nullptr) return true;
  if (bPrint) {
    pRenderer->Draw(m_pLineSymbol.get(), &param, GIS_DRAW_CHECK);
    return true;
  }
  // The screen width goes on a copy: drawing never changes the border.
  ReleasePtr<IGIS_Symbol> screen(m_pLineSymbol->Clone());
  if (!screen) return true;
  screen->SetLineWidth(ScreenLineWidth(m_base.nBorderWidth));
  pRenderer->Draw(screen.get(), &param, GIS_DRAW_CHECK);
  return true;
}

IGIS_Element* CGIS_MapBorderSimple::ConvertToElement(IGIS_Element* pMapElement) {
  constexpr const char* kMethod = " CGIS_MapBorderSimple::ConvertToElement";
  IGIS_CompoundElement* pCompound = md::layout::border::NewBorderCompound(pMapElement, kMethod);
  if (pCompound == nullptr) return nullptr;
  const SGIS_Rect r = GetOuterRect(pMapElement->GetRect());
  const SGIS_Point ring[5] = {
      {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}, {r.left, r.top}, {r.left, r.bottom}};
  // The ring goes into a polyline the frame's owner makes; one without a
  // geometry to hold it is handed back.
  IGIS_FeatureSet* pOwner = pMapElement->GetFeatureSetPtr();
  IGIS_Element* pMade = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  auto* pLine = dynamic_cast<IGIS_PolylineElement*>(pMade);
  if (pLine == nullptr) {
    DropElement(pMade);
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_markelement == NULL");
    return pCompound;
  }
  IGIS_Feature* pFeature = pLine->GetFeaturePtr();
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_geopolyline == NULL");
    DropElement(pLine);
    return pCompound;
  }
  pGeometry->SetPointCount(5);
  for (int i = 0; i < 5; ++i) pGeometry->SetPoint(i, ring[i], 0);
  pLine->SetSymbolPtr(m_pLineSymbol.get());
  if (AddElementOrHandBack(pCompound, pLine)) {
    if (IGIS_FeatureClass* pClass = pOwner->GetFeatureClass())
      pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL);
  }
  return pCompound;
}
