// Drawing and converting the marks of a legend.
#include "layout/graphicelement/legend/legendmarks.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "platform/win/cdc.h"

namespace md::layout::legend {

bool AddPatchMark(LegendMarks* pMarks, IGIS_Symbol* pSymbol, int nCategory, int left, int right, int bottom,
                  int top) {
  LegendMark m;
  m.bPatch = true;
  m.pSymbol = pSymbol;
  m.nCategory = nCategory;
  const SGIS_Point centre = SGIS_Rect(left, top, right, bottom).CenterPoint();
  switch (nCategory) {
    case kPatchPoint:
      m.points[0] = centre;
      m.nCount = 1;
      break;
    case kPatchLine:
      m.points[0] = SGIS_Point(left, centre.y);
      m.points[1] = SGIS_Point(right, centre.y);
      m.nCount = 2;
      break;
    case kPatchArea:
      m.points[0] = SGIS_Point(left, bottom);
      m.points[1] = SGIS_Point(right, bottom);
      m.points[2] = SGIS_Point(right, top);
      m.points[3] = SGIS_Point(left, top);
      m.points[4] = SGIS_Point(left, bottom);
      m.nCount = 5;
      break;
    default:
      return false;
  }
  pMarks->push_back(std::move(m));
  return true;
}

void AddTextMark(LegendMarks* pMarks, IGIS_Symbol* pTextSymbol, const char* szText, SGIS_Point lowerLeft) {
  LegendMark m;
  m.pSymbol = pTextSymbol;
  m.points[0] = lowerLeft;
  m.nCount = 1;
  m.text = szText != nullptr ? szText : "";
  pMarks->push_back(std::move(m));
}

BOOL DrawLegendMarks(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                     const LegendMarks& marks, const char* szMethod, IGIS_FeatureSet* pOwner) {
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_view == NULL");
    return FALSE;
  }
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbolization == NULL");
    return FALSE;
  }
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_drawer == NULL");
    return FALSE;
  }
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> style(pSet != nullptr ? pSet->GetPointStyle() : nullptr);
  if (!style) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_annoPointStyle == NULL");
    return FALSE;
  }
  style->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);

  CGIS_ElementClipScope clip(hdc, pDisplay);
  const double dRatio = GetDisplayRatio(pDisplay);
  SGIS_DrawParam param;
  param.hdc = hdc;
  param.printFlag = bPrint ? 1 : 0;
  param.symbolScale = dRatio;
  if (clip.IsClipping()) param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
  CDC* pDC = CDC::FromHandle(hdc);
  IGIS_Symbol* pStyleSymbol = nullptr;
  for (const LegendMark& m : marks) {
    if (m.pSymbol == nullptr || m.nCount < 1) continue;
    SGIS_Point device[5];
    for (int i = 0; i < m.nCount; ++i) device[i] = m.points[i];
    pView->PageToDevicePoints(device, m.nCount, pReference);
    if (m.bPatch) {
      POINT points[5];
      for (int i = 0; i < m.nCount; ++i) points[i] = POINT{device[i].x, device[i].y};
      param.points = points;
      param.pointCount = m.nCount;
      param.symbolScale = md::layout::SymbolDrawScale(m.pSymbol, dRatio, pOwner);
      pRenderer->Draw(m.pSymbol, &param, GIS_DRAW_CHECK);
      param.points = nullptr;
      param.pointCount = 0;
      continue;
    }
    if (m.pSymbol != pStyleSymbol) {
      if (!style->SetTextStyle(m.pSymbol)) continue;
      pStyleSymbol = m.pSymbol;
    }
    DrawWithDrawer(pDrawer, pDisplay, pDC, bPrint, dRatio, style.get(), m.text.c_str(), device, 1, pOwner);
  }
  return TRUE;
}

int ConvertLegendMarks(IGIS_CompoundElement* pCompound, const LegendMarks& marks) {
  int made = 0;
  for (const LegendMark& m : marks) {
    if (m.pSymbol == nullptr || m.nCount < 1) continue;
    BOOL ok = FALSE;
    if (!m.bPatch) {
      ok = CreateTextElement(pCompound, m.points[0], m.pSymbol, m.text.c_str(), false);
    } else if (m.nCategory == kPatchPoint) {
      ok = CreatePointElement(pCompound, m.points[0], m.pSymbol->GetPointPart());
    } else if (m.nCategory == kPatchLine) {
      ok = CreatePolylineElement(pCompound, m.points, m.nCount, m.pSymbol->GetLinePart());
    } else if (m.nCategory == kPatchArea) {
      ok = CreatePolygonElement(pCompound, m.points, m.nCount, m.pSymbol->GetFillPart());
    }
    made += ok ? 1 : 0;
  }
  return made;
}

}  // namespace md::layout::legend
