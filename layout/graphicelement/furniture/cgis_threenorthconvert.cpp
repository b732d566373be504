// Turning the three-north diagram into plain elements: polylines, polygons
// and texts grouped in compounds, with the geometry the drawing shows.
#include <array>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"

namespace {

using md::layout::furniture::Nearest;
using md::layout::furniture::ThreeNorthFigure;

IGIS_CompoundElement* NewCompound(IGIS_FeatureSet* pOwner) {
  IGIS_Element* pElement = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pElement);
  if (pCompound == nullptr && pElement != nullptr) pOwner->DeleteElement(pElement);
  return pCompound;
}

template <std::size_t N>
void Polyline(IGIS_CompoundElement* pTo, const std::array<SGIS_Point, N>& points, IGIS_Symbol* pSymbol) {
  CreatePolylineElement(pTo, points.data(), static_cast<int>(N), pSymbol);
}

// The UTF-8 characters of a text, each as its own string.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0xF0) {
      n = 4;
    } else if (c >= 0xE0) {
      n = 3;
    } else if (c >= 0xC0) {
      n = 2;
    }
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

IGIS_Element* CGIS_ThreeNorthElement::ConvertToElement() {
  const std::string method = m_core.Method("ConvertToElement");
  if (m_core.RequireFeature("ConvertToElement") == nullptr) return nullptr;
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  // The converted pieces show what the drawing shows: the layout is made
  // afresh first (working angles, a length the fonts need, the centre).
  Refresh();
  IGIS_FeatureClass* pClass = pOwner->GetFeatureClass();
  if (pClass == nullptr) return nullptr;

  IGIS_CompoundElement* pResult = NewCompound(pOwner);
  IGIS_CompoundElement* pLines = NewCompound(pOwner);
  IGIS_CompoundElement* pMarks = NewCompound(pOwner);
  IGIS_CompoundElement* pLabels = NewCompound(pOwner);
  if (pResult == nullptr || pLines == nullptr || pMarks == nullptr || pLabels == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_compound == NULL");
    for (IGIS_CompoundElement* p : {pResult, pLines, pMarks, pLabels})
      if (p != nullptr) pOwner->DeleteElement(p);
    return nullptr;
  }

  // Built around (CenterX, CenterY); the whole is moved at the end.
  const ThreeNorthFigure f = FigureAt(m_center);
  IGIS_Symbol* pAxis = m_pAxisLineSymbol.get();
  IGIS_Symbol* pArcLine = m_pAngleLineSymbol.get();
  IGIS_Symbol* pFill = m_pFillSymbol.get();
  if (f.capped)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "arc capped at %d steps",
            md::layout::furniture::kThreeNorthMaxArcSteps);

  Polyline(pLines, std::array<SGIS_Point, 2>{f.centre, f.magnetEnd}, pAxis);
  Polyline(pLines, std::array<SGIS_Point, 2>{f.centre, f.gridEnd}, pAxis);
  Polyline(pLines, std::array<SGIS_Point, 2>{f.centre, f.trueEnd}, pAxis);
  using md::layout::furniture::kAngleGM;
  using md::layout::furniture::kAngleTG;
  using md::layout::furniture::kAngleTM;
  for (auto angle : {kAngleTG, kAngleGM, kAngleTM}) {
    const auto& arc = f.Arc(angle).points;
    // A one-point arc (no spacing) has nothing to show.
    if (arc.size() >= 2) CreatePolylineElement(pLines, arc.data(), static_cast<int>(arc.size()), pArcLine);
  }

  for (const auto& head : f.arrowheads) Polyline(pMarks, head, pAxis);
  CreatePolygonElement(pMarks, f.star.data(), static_cast<int>(f.star.size()), pFill);
  Polyline(pMarks, f.gridMark, pAxis);
  const std::array<SGIS_Point, 4> magnet{f.magnetMark[0], f.magnetMark[1], f.magnetMark[2], f.magnetMark[0]};
  CreatePolygonElement(pMarks, magnet.data(), 4, pFill);
  pMarks->SetOrder(-10);
  pLines->SetOrder(-10);

  // Line labels: one text per character, upright, centred on its line at
  // 1.5 times the width of the rest of the label beyond the text offset.
  const double ratio = pOwner->GetUnitRatio();
  constexpr double k = md::layout::furniture::kThreeNorthRadPerDegree;
  struct Label {
    const char* text;
    bool bTrue;
    double w;
  };
  using md::layout::furniture::kThreeNorthLabelTexts;
  const Label labels[3] = {{kThreeNorthLabelTexts[0], true, 0.0},
                           {kThreeNorthLabelTexts[1], false, m_dCoordinateDrawAngle},
                           {kThreeNorthLabelTexts[2], false, m_dMagnetDrawAngle}};
  for (const Label& label : labels) {
    const std::vector<std::string> chars = Characters(label.text);
    for (std::size_t i = 0; i < chars.size(); ++i) {
      std::string suffix;
      for (std::size_t j = i; j < chars.size(); ++j) suffix += chars[j];
      SGIS_Rect extent;
      if (m_pAxisTextSymbol) m_pAxisTextSymbol->GetTextExtent(&extent, suffix.c_str(), 0, 1.0);
      const double w = extent.Width();
      SGIS_Point at;
      if (label.bTrue) {
        at = SGIS_Point(m_center.x, Nearest(w * ratio * 1.5 + (m_center.y + m_nTxtOffset)), 0);
      } else {
        const double d = Nearest(w * ratio * 1.5 + m_nTxtOffset);
        at = SGIS_Point(Nearest(std::sin(label.w * k) * d + m_center.x),
                        Nearest(std::cos(label.w * k) * d + m_center.y), 0);
      }
      CreateTextElement(pLabels, at, m_pAxisTextSymbol.get(), chars[i].c_str(), true);
    }
  }
  // Angle texts: the left-bottom corner on the middle point of each path.
  const std::pair<const md::layout::furniture::ThreeNorthArc*, double> values[3] = {
      {&f.convPath, m_dCoordinateAngle},
      {&f.declPath, m_dMagnetAngle},
      {&f.diffPath, m_dMagnetAngle - m_dCoordinateAngle}};
  for (const auto& [pPath, value] : values) {
    const SGIS_Point at = pPath->points.empty() ? f.centre : pPath->points[pPath->points.size() / 2];
    CreateTextElement(pLabels, at, m_pAngleTextSymbol.get(),
                      md::layout::furniture::ThreeNorthDegreesText(value).c_str(), false);
  }

  if (m_pFrame) {
    if (IGIS_Element* pFrame = m_pFrame->ConvertToElement(this)) {
      if (!pResult->AddElement(pFrame)) pOwner->DeleteElement(pFrame);
    }
  }
  pResult->AddElement(pLines);
  pResult->AddElement(pMarks);
  pResult->AddElement(pLabels);
  pClass->UpdateFeature(m_core.m_pFeature, GIS_UPDATE_ALL);
  const SGIS_Rect rect = GetRect();
  pResult->SetLBpoint(SGIS_Point(rect.left - 1000, rect.bottom - 1000, 0));
  return pResult;
}
