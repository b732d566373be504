// Filling border pieces on a device context and making them polygon elements.
#include "layout/graphicelement/grid/border/mapborderpieces.h"

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/igis_element.h"

namespace md::layout::border {

BorderRing MakeRing(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                    std::int64_t y2, std::int64_t x3, std::int64_t y3) {
  using md::basilo::detail::ClampToInt32;
  const SGIS_Point a(ClampToInt32(x0), ClampToInt32(y0));
  return BorderRing{a, SGIS_Point(ClampToInt32(x1), ClampToInt32(y1)),
                    SGIS_Point(ClampToInt32(x2), ClampToInt32(y2)),
                    SGIS_Point(ClampToInt32(x3), ClampToInt32(y3)), a};
}

PieceSink PaintingSink(CGIS_PageSymbolPainter& painter) {
  return [&painter](const BorderRing& ring, IGIS_Symbol* pSymbol) {
    painter.Draw(pSymbol, ring.data(), static_cast<int>(ring.size()));
  };
}

IGIS_CompoundElement* NewBorderCompound(IGIS_Element* pMapElement, const char* szMethod) {
  if (pMapElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pElement == NULL");
    return nullptr;
  }
  IGIS_FeatureSet* pOwner = pMapElement->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graphicLayer == NULL");
    return nullptr;
  }
  IGIS_CompoundElement* pCompound = CreateCompoundElement(pOwner);
  if (pCompound == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_comElement == NULL");
  return pCompound;
}

PieceSink PolygonSink(IGIS_CompoundElement* pCompound) {
  return [pCompound](const BorderRing& ring, IGIS_Symbol* pSymbol) {
    CreatePolygonElement(pCompound, ring.data(), static_cast<int>(ring.size()), pSymbol);
  };
}

bool DrawBand(HDC hdc, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference, const char* szOnDraw,
              const char* szFill, const std::function<void(const PieceSink&)>& walk,
              std::optional<bool> print) {
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szOnDraw, "p_display == NULL");
    return false;
  }
  // Band pieces are fills, whose sizes no unit ratio changes.
  CGIS_PageSymbolPainter painter(hdc, print.value_or(pDisplay->GetView()->IsClipping() != FALSE), pDisplay,
                                 pReference, szFill, nullptr);
  walk(PaintingSink(painter));
  return true;
}

IGIS_Element* ConvertBand(IGIS_Element* pMapElement, const char* szMethod,
                          const std::function<void(const SGIS_Rect&, const PieceSink&)>& walk) {
  IGIS_CompoundElement* pCompound = NewBorderCompound(pMapElement, szMethod);
  if (pCompound == nullptr) return nullptr;
  walk(pMapElement->GetRect(), PolygonSink(pCompound));
  return pCompound;
}

}  // namespace md::layout::border
