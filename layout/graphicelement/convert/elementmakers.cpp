// Plain elements made into a compound when a complex element converts itself.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/text/igis_textelement.h"

namespace {

// A new element of the type in the compound's owner, seen through its own
// interface; NULL when any of them is missing.
template <class TElement>
TElement* NewElement(IGIS_CompoundElement* pCompound, const char* szType) {
  if (pCompound == nullptr) return nullptr;
  IGIS_FeatureSet* pOwner = pCompound->GetFeatureSetPtr();
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(szType);
  if (pElement == nullptr) return nullptr;
  auto* pTyped = dynamic_cast<TElement*>(pElement);
  if (pTyped == nullptr) pOwner->DeleteElement(pElement);
  return pTyped;
}

void SetGeometryPoints(IGIS_Element* pElement, const SGIS_Point* pPoints, int nCount) {
  IGIS_Feature* pFeature = pElement->GetFeaturePtr();
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry == nullptr) return;
  pGeometry->SetPointCount(nCount);
  for (int i = 0; i < nCount; ++i) pGeometry->SetPoint(i, pPoints[i], 0);
}

template <class TElement>
BOOL CreatePointListElement(IGIS_CompoundElement* pCompound, const char* szType, int nMinCount,
                            const SGIS_Point* pPoints, int nCount, IGIS_Symbol* pSymbol) {
  if (pPoints == nullptr || nCount < nMinCount || nCount > GIS_GEOMETRY_MAX_POINTS) return FALSE;
  TElement* pElement = NewElement<TElement>(pCompound, szType);
  if (pElement == nullptr) return FALSE;
  SetGeometryPoints(pElement, pPoints, nCount);
  IGIS_Feature* pFeature = pElement->GetFeaturePtr();
  if (pSymbol != nullptr) {
    pElement->SetSymbolPtr(pSymbol);
  } else if (pFeature != nullptr) {
    // The piece converted has no symbol (a grid border left without one):
    // the element has none either. The setter would record a NULL symbol as
    // missing; the commit below writes the feature whole.
    pFeature->SetSymbol(nullptr);
  }
  if (!AddElementOrHandBack(pCompound, pElement)) return FALSE;
  // The new geometry and symbol reach the host as one whole feature.
  IGIS_FeatureClass* pClass = pCompound->GetFeatureSetPtr()->GetFeatureClass();
  if (pClass != nullptr && pFeature != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL);
  return TRUE;
}

int AddClampedInt(int a, int b) { return md::basilo::detail::ClampToInt32(std::int64_t{a} + b); }

int RoundScaled(int value, double ratio) {
  const double v = value * ratio;
  if (!std::isfinite(v)) return 0;
  return SGIS_Point::FromDoubles(v, 0.0).x;
}

}  // namespace

void DropElement(IGIS_Element* pElement) {
  if (pElement == nullptr) return;
  IGIS_FeatureSet* pOwner = pElement->GetFeatureSetPtr();
  if (pOwner == nullptr || !pOwner->DeleteElement(pElement)) pElement->Release();
}

IGIS_CompoundElement* CreateCompoundElement(IGIS_FeatureSet* pOwner) {
  IGIS_Element* pElement =
      pOwner != nullptr ? pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pElement);
  if (pCompound == nullptr) DropElement(pElement);
  return pCompound;
}

void DropCompound(IGIS_CompoundElement* pCompound) {
  if (pCompound == nullptr) return;
  // From the last member: members and features end where they were added
  // last, so each removal takes no time of its own however many there are.
  while (pCompound->GetElementCount() > 0) {
    IGIS_Element* pMember = pCompound->GetElementPtrByIndex(pCompound->GetElementCount() - 1);
    if (pMember == nullptr || !pCompound->RemoveElement(pMember)) break;
    if (auto* pNested = dynamic_cast<IGIS_CompoundElement*>(pMember)) {
      DropCompound(pNested);
    } else {
      DropElement(pMember);
    }
  }
  DropElement(pCompound);
}

BOOL CreateTextElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pTextSymbol,
                       const char* szText, bool bAnchored) {
  auto* pText = NewElement<IGIS_TextElement>(pCompound, GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
  if (pText == nullptr) return FALSE;
  pText->SetText(szText);
  pText->SetSymbolPtr(pTextSymbol);
  if (bAnchored) {
    pText->SetPoint(position, 4);
  } else {
    pText->SetLBpoint(position);
  }
  return AddElementOrHandBack(pCompound, pText);
}

BOOL CreateTurnedTextElement(IGIS_CompoundElement* pCompound, SGIS_Point corner, IGIS_Symbol* pTextSymbol,
                             const char* szText) {
  auto* pText = NewElement<IGIS_TextElement>(pCompound, GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
  if (pText == nullptr) return FALSE;
  pText->SetText(szText);
  pText->SetSymbolPtr(pTextSymbol);
  // The outline starts at the cell's lower-left corner, turned or not.
  IGIS_Feature* pFeature = pText->GetFeaturePtr();
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry != nullptr && pGeometry->GetPointCount() > 0) {
    const SGIS_Point at = pGeometry->GetPoint(0, 0);
    pText->OffsetAllPoints(corner.x - at.x, corner.y - at.y);
  }
  return AddElementOrHandBack(pCompound, pText);
}

BOOL CreatePolylineElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                           IGIS_Symbol* pLineSymbol, int nMinPoints) {
  return CreatePointListElement<IGIS_PolylineElement>(pCompound, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE,
                                                      std::max(1, nMinPoints), pPoints, nCount, pLineSymbol);
}

BOOL CreatePolygonElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                          IGIS_Symbol* pFillSymbol) {
  return CreatePointListElement<IGIS_PolygonElement>(pCompound, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, 3, pPoints,
                                                     nCount, pFillSymbol);
}

BOOL CreatePointElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pPointSymbol) {
  auto* pPoint = NewElement<IGIS_PointElement>(pCompound, GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  if (pPoint == nullptr) return FALSE;
  pPoint->SetSymbolPtr(pPointSymbol);
  // The rectangle of the mark as drawn: its size at the owner's unit ratio,
  // centred on the position.
  double w = 0.0, h = 0.0;
  PointMarkSize(pPointSymbol, &w, &h);
  const double ratio = md::layout::SymbolUnitRatio(pCompound->GetFeatureSetPtr());
  const int nWidth = RoundScaled(1, w * ratio), nHeight = RoundScaled(1, h * ratio);
  if (nWidth > 0 && nHeight > 0) {
    const SGIS_Point lowerLeft =
        SGIS_Point::FromDoubles(position.x - nWidth / 2.0, position.y - nHeight / 2.0);
    pPoint->SetRect(SGIS_Rect(lowerLeft.x, AddClampedInt(lowerLeft.y, nHeight),
                              AddClampedInt(lowerLeft.x, nWidth), lowerLeft.y));
  } else {
    pPoint->SetPoint(position);
  }
  return AddElementOrHandBack(pCompound, pPoint);
}

BOOL AddSegmentElement(IGIS_Element* pCompound, SGIS_Point from, SGIS_Point to, IGIS_Symbol* pLineSymbol) {
  const SGIS_Point points[2] = {from, to};
  return CreatePolylineElement(dynamic_cast<IGIS_CompoundElement*>(pCompound), points, 2, pLineSymbol);
}

BOOL AddElementOrHandBack(IGIS_CompoundElement* pCompound, IGIS_Element* pElement) {
  if (pElement == nullptr) return FALSE;
  if (pCompound != nullptr && pCompound->AddElement(pElement)) return TRUE;
  if (auto* pNested = dynamic_cast<IGIS_CompoundElement*>(pElement)) {
    DropCompound(pNested);
  } else {
    DropElement(pElement);
  }
  return FALSE;
}
