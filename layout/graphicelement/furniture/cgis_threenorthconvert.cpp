// Turning the three-north diagram into plain elements: polylines, polygons
// and texts grouped in compounds, with the geometry the drawing shows.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
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

// Moves the converted diagram so that its box's left-bottom corner comes to
// the point. The compound moves its members, but a polyline of one point
// (an arc of no angle) does not move itself: those are moved by the same
// offset here.
void MoveResultTo(IGIS_CompoundElement* pResult, SGIS_Point to, const std::vector<IGIS_Element*>& onePoint) {
  const SGIS_Rect box = pResult->GetRect();
  const std::int64_t dx = static_cast<std::int64_t>(to.x) - std::min(box.left, box.right);
  const std::int64_t dy = static_cast<std::int64_t>(to.y) - std::min(box.bottom, box.top);
  pResult->SetLBpoint(to);
  IGIS_FeatureSet* pOwner = pResult->GetFeatureSetPtr();
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  for (IGIS_Element* pArc : onePoint) {
    IGIS_Feature* pFeature = pArc->GetFeaturePtr();
    IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
    if (pGeometry == nullptr || pGeometry->GetPointCount() != 1) continue;
    const SGIS_Point p = pGeometry->GetPoint(0, 0);
    using md::basilo::detail::ClampToInt32;
    pGeometry->SetPoint(0, SGIS_Point(ClampToInt32(p.x + dx), ClampToInt32(p.y + dy), p.z), 0);
    if (pClass != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
  }
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

void CGIS_ThreeNorthElement::AddPathCharacters(IGIS_CompoundElement* pLabels, std::vector<SGIS_Point> path,
                                               IGIS_Symbol* pFont, const char* szText, double dRatio) {
  // The text drawer lays a text along its path, centred, read from its left
  // end: each character turned to the chord of the path it covers, its cell
  // standing on the path (hanging from it when the path is read backwards).
  // So does the conversion, a text element per character.
  if (pFont == nullptr) return;
  path.erase(std::unique(path.begin(), path.end()), path.end());
  if (path.size() < 2) return;  // a path without length shows nothing
  const bool bReversed = path.back().x < path.front().x;
  if (bReversed) std::reverse(path.begin(), path.end());
  std::vector<double> along(1, 0.0);
  for (std::size_t i = 1; i < path.size(); ++i) {
    along.push_back(along.back() + std::hypot(static_cast<double>(path[i].x) - path[i - 1].x,
                                              static_cast<double>(path[i].y) - path[i - 1].y));
  }
  const double length = along.back();
  // The point at a distance along the path; beyond its ends the end pieces
  // go on straight.
  auto at = [&](double s) {
    const std::size_t k = std::min<std::size_t>(
        std::upper_bound(along.begin(), along.end(), s) - along.begin(), path.size() - 1);
    const std::size_t i = k == 0 ? 0 : k - 1;
    const double piece = along[i + 1] - along[i];
    const double t = (s - along[i]) / piece;
    return std::array<double, 2>{path[i].x + t * (path[i + 1].x - path[i].x),
                                 path[i].y + t * (path[i + 1].y - path[i].y)};
  };
  const std::vector<std::string> chars = Characters(szText);
  std::vector<double> widths;
  double height = 0.0, total = 0.0;
  for (const std::string& ch : chars) {
    SGIS_Rect extent;
    pFont->GetTextExtent(&extent, ch.c_str(), 0, 1.0);
    widths.push_back(std::fabs(static_cast<double>(extent.Width())) * dRatio);
    height = std::max(height, std::fabs(static_cast<double>(extent.Height())) * dRatio);
    total += widths.back();
  }
  md::basilo::ReleasePtr<IGIS_Symbol> turned(pFont->Clone());
  if (!turned) return;
  // Up the characters is to the left of the reading direction.
  const double hang = bReversed ? height : 0.0;
  double pos = (length - total) / 2.0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const auto [x0, y0] = at(pos);
    const auto [x1, y1] = at(pos + widths[i]);
    const double chord = std::hypot(x1 - x0, y1 - y0);
    pos += widths[i];
    if (!(chord > 0.0)) continue;  // a character without width
    const double ux = (x1 - x0) / chord, uy = (y1 - y0) / chord;
    turned->SetAngle(std::atan2(uy, ux) * 180.0 / std::numbers::pi);
    CreateTurnedTextElement(pLabels, SGIS_Point::FromDoubles(x0 + uy * hang, y0 - ux * hang), turned.get(),
                            chars[i].c_str());
  }
}

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
  // An arc of no angle is one point: it shows nothing but keeps its place.
  std::vector<IGIS_Element*> onePoint;
  for (auto angle : {kAngleTG, kAngleGM, kAngleTM}) {
    const auto& arc = f.Arc(angle).points;
    if (CreatePolylineElement(pLines, arc.data(), static_cast<int>(arc.size()), pArcLine, 1) &&
        arc.size() == 1) {
      onePoint.push_back(pLines->GetElementPtrByIndex(pLines->GetElementCount() - 1));
    }
  }

  for (const auto& head : f.arrowheads) Polyline(pMarks, head, pAxis);
  CreatePolygonElement(pMarks, f.star.data(), static_cast<int>(f.star.size()), pFill);
  Polyline(pMarks, f.gridMark, pAxis);
  const std::array<SGIS_Point, 4> magnet{f.magnetMark[0], f.magnetMark[1], f.magnetMark[2], f.magnetMark[0]};
  CreatePolygonElement(pMarks, magnet.data(), 4, pFill);
  pMarks->SetOrder(-10);
  pLines->SetOrder(-10);

  // Line labels and angle texts: one text per character, where the drawing
  // lays them.
  const double ratio = md::layout::SymbolUnitRatio(pOwner);
  using md::layout::furniture::kThreeNorthLabelTexts;
  for (int i = 0; i < 3; ++i) {
    AddPathCharacters(pLabels, {f.labelRuns[i].begin(), f.labelRuns[i].end()}, m_pAxisTextSymbol.get(),
                      kThreeNorthLabelTexts[i], ratio);
  }
  AddPathCharacters(pLabels, f.convRun, m_pAngleTextSymbol.get(), f.angleTexts[0].c_str(), ratio);
  AddPathCharacters(pLabels, f.declRun, m_pAngleTextSymbol.get(), f.angleTexts[1].c_str(), ratio);
  AddPathCharacters(pLabels, f.diffRun, m_pAngleTextSymbol.get(), f.angleTexts[2].c_str(), ratio);

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
  MoveResultTo(pResult, SGIS_Point(rect.left - 1000, rect.bottom - 1000, 0), onePoint);
  return pResult;
}
