// Turning a graticule into plain elements in page coordinates.
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/graticule/graticuledraw.h"
#include "layout/graphicelement/grid/graticule/graticulepieces.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::graticule {

namespace {

// Adds a group to the result when it holds something; an empty one is dropped.
void AddGroup(IGIS_CompoundElement* pResult, IGIS_CompoundElement* pGroup) {
  if (pGroup->GetElementCount() > 0 && pResult->AddElement(pGroup)) return;
  DropCompound(pGroup);
}

// Makes each piece an element of a group, with the grid's symbol of the
// piece; a piece whose symbol the grid does not hold is not drawn, and so
// not made.
class ElementSink : public GraticuleSink {
 public:
  ElementSink(IGIS_CompoundElement* pGroup, const GraticuleSymbols& symbols)
      : m_pGroup(pGroup), m_symbols(symbols) {}
  void Line(const SGIS_Point* pPoints, int nCount) override {
    if (m_symbols.pLine != nullptr) CreatePolylineElement(m_pGroup, pPoints, nCount, m_symbols.pLine);
  }
  void Marker(SGIS_Point point) override {
    if (m_symbols.pMark != nullptr) CreatePointElement(m_pGroup, point, m_symbols.pMark);
  }
  void Tick(bool bSub, SGIS_Point from, SGIS_Point to) override {
    Segment(bSub ? m_symbols.pSubTick : m_symbols.pTick, from, to);
  }
  void Hatch(HatchRank rank, SGIS_Point from, SGIS_Point to) override {
    Segment(m_symbols.pHatch[static_cast<int>(rank)], from, to);
  }

 private:
  void Segment(IGIS_Symbol* pSymbol, SGIS_Point from, SGIS_Point to) {
    if (pSymbol == nullptr) return;
    const SGIS_Point points[2] = {from, to};
    CreatePolylineElement(m_pGroup, points, 2, pSymbol);
  }

  IGIS_CompoundElement* m_pGroup;
  GraticuleSymbols m_symbols;
};

// Two text elements a label point, placed where the annotation drawer puts
// the drawing's texts: the longitude hanging below the point, the latitude
// standing above it, both centred on it.
class TextSink : public GraticuleSink {
 public:
  TextSink(IGIS_CompoundElement* pGroup, IGIS_Symbol* pText, double dUnitRatio, InteriorLabelTexts& texts)
      : m_pGroup(pGroup), m_pText(pText), m_dRatio(dUnitRatio), m_texts(texts) {}
  void Label(SGIS_Point anchor, double dLon, double dLat) override {
    Text(m_texts.Of(dLon), anchor, true);
    Text(m_texts.Of(dLat), anchor, false);
  }

 private:
  void Text(const std::string& text, SGIS_Point anchor, bool bBelow) {
    SGIS_Rect extent;
    m_pText->GetTextExtent(&extent, text.c_str(), 0, 1.0);
    const double w = extent.Width() * m_dRatio;
    const double h = extent.Height() * m_dRatio;
    const SGIS_Point corner = SGIS_Point::FromDoubles(anchor.x - w / 2.0, bBelow ? anchor.y - h : anchor.y);
    CreateTextElement(m_pGroup, corner, m_pText, text.c_str(), false);
  }

  IGIS_CompoundElement* m_pGroup;
  IGIS_Symbol* m_pText;
  double m_dRatio;
  InteriorLabelTexts& m_texts;
};

// Everything one conversion works with, and what it made so far.
struct Conversion {
  IGIS_GraticuleGrid* pGrid;
  IGIS_CompoundElement* pResult;
  IGIS_FeatureSet* pOwner;
  const grid::GraticulePass& plan;
  double dUnitRatio = 1.0;

  void Run(IGIS_CompoundElement* pLines);
  void Hatches(GraticuleWalker& walker, double dX, double dY);
  void Labels(GraticuleWalker& walker);
};

void Conversion::Run(IGIS_CompoundElement* pLines) {
  const double dX = plan.Meridians().dStep;
  const double dY = plan.Parallels().dStep;
  const grid::FrameShown& shown = plan.Shown();
  SGIS_Rect rect = shown.rect;
  rect.Normalize();
  grid::GeoPageSpace space(plan.Geo(), shown.bound, rect, shown.dScale);
  grid::CGIS_GridCapRecord cap(kConvertToElement);
  GraticuleWalker walker(space, rect, cap, plan.Resolution());
  ElementSink lines(pLines, GraticuleSymbols::Of(pGrid));
  walker.Lines(LinesOf(pGrid, plan, kSamplesClipping, LineReach::Conversion, false), lines);
  walker.Ticks(TicksOf(pGrid, plan.Extent(), dX, dY, kSamplesClipping), lines);
  Hatches(walker, dX, dY);
  Labels(walker);
}

void Conversion::Hatches(GraticuleWalker& walker, double dX, double dY) {
  const HatchPass pass = HatchesOf(pGrid, plan.Degrees(), dX, dY);
  if (!HasHatchPass(pass)) return;
  IGIS_CompoundElement* pGroup = CreateCompoundElement(pOwner);
  if (pGroup == nullptr) return;
  ElementSink sink(pGroup, GraticuleSymbols::Of(pGrid));
  walker.Hatches(pass, sink);
  AddGroup(pResult, pGroup);
}

void Conversion::Labels(GraticuleWalker& walker) {
  const double ix = pGrid->GetInteriorLabelIntervalX();
  const double iy = pGrid->GetInteriorLabelIntervalY();
  if (!pGrid->GetShowInteriorLabels() || !IsInterval(ix) || !IsInterval(iy)) return;
  // Without a DMS label and its text symbol there is nothing to write the
  // labels with: the rest of the conversion stands.
  auto* pLabel = dynamic_cast<IGIS_DMSGridLabel*>(pGrid->GetLabelFormat());
  IGIS_Symbol* pText = pLabel != nullptr ? pLabel->GetTextSymbolPtr() : nullptr;
  if (pText == nullptr) return;
  InteriorLabelTexts texts(pLabel);
  if (!texts.Ready()) return;
  IGIS_CompoundElement* pGroup = CreateCompoundElement(pOwner);
  if (pGroup == nullptr) return;
  TextSink sink(pGroup, pText, dUnitRatio, texts);
  walker.Labels(LabelPass{plan.Degrees(), ix, iy}, sink);
  AddGroup(pResult, pGroup);
}

}  // namespace

IGIS_Element* ConvertGraticule(IGIS_GraticuleGrid* pGrid, IGIS_Element* pResultElement,
                               const grid::GraticulePass& plan) {
  IGIS_Map* pMap = grid::ConversionMap(pGrid, pResultElement, kConvertToElement);
  if (pMap == nullptr) return pResultElement;
  auto* pResult = static_cast<IGIS_CompoundElement*>(pResultElement);
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  if (!plan.Built()) return pResult;
  if (!plan.AllCarried()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "b_ret == NULL");
  Conversion c{pGrid, pResult, pResult->GetFeatureSetPtr(), plan};
  c.dUnitRatio = md::layout::SymbolUnitRatio(pFrame->GetFeatureSetPtr());
  // The group of lines, markers and ticks comes last, after the hatches and
  // the interior labels.
  return grid::FillConversionGroup(pResult, kConvertToElement,
                                   [&c](IGIS_CompoundElement* pLines) { c.Run(pLines); });
}

}  // namespace md::layout::graticule
