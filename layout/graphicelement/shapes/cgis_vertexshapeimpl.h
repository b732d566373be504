// The base of the shapes held as a vertex list: polygon, polyline.
#pragma once

#include "layout/graphicelement/shapes/cgis_shapeimpl.h"
#include "layout/graphicelement/shapes/shapevertices.h"

namespace md::layout::shapes {

// A shape held as a list of vertices (polygon, polyline): moved and scaled
// vertex by vertex and resized by scaling about its bound's left-bottom
// corner, each change committed as a geometry change.
template <class TInterface>
class CGIS_VertexShapeImpl : public CGIS_ShapeImpl<TInterface> {
 public:
  void OffsetAllPoints(int dx, int dy) override {
    if (dx == 0 && dy == 0) return;
    IGIS_Feature* pFeature = nullptr;
    IGIS_Geometry* pGeometry = Vertices("OffsetAllPoints", m_rules.nMinToMove, &pFeature);
    if (pGeometry == nullptr) return;
    OffsetVertices(pGeometry, m_rules, dx, dy);
    Commit(this->m_core, pFeature, GIS_UPDATE_GEOMETRY);
  }

  void SetLBpoint(SGIS_Point point) override {
    if (Vertices("SetLBpoint", m_rules.nMinToFit, nullptr) == nullptr) return;
    const SGIS_Rect c = this->GetRect();
    this->OffsetAllPoints(SubClamped(point.x, c.left), SubClamped(point.y, c.bottom));
  }

  void ScaleShape(SGIS_Point origin, double sx, double sy) override {
    if (!IsUsableFactor(sx, m_rules.bAllowZero) || !IsUsableFactor(sy, m_rules.bAllowZero)) return;
    IGIS_Feature* pFeature = nullptr;
    IGIS_Geometry* pGeometry = Vertices("ScaleShape", m_rules.nMinToFit, &pFeature);
    if (pGeometry == nullptr) return;
    ScaleVertices(pGeometry, m_rules, this->GetRect(), origin, sx, sy, this->GetHVScaleRatio());
    Commit(this->m_core, pFeature, GIS_UPDATE_GEOMETRY);
  }

  void SetWidthAndHeight(int nWidth, int nHeight) override {
    IGIS_Feature* pFeature = this->m_core.RequireFeature("SetWidthAndHeight");
    if (pFeature == nullptr) return;
    const int nMinSize = m_rules.bAllowZero ? 0 : 1;
    if (nWidth < nMinSize || nHeight < nMinSize) return;
    if (UsableVertices(pFeature, m_rules.nMinToFit) == nullptr) return;
    const SGIS_Rect r = this->GetRect();
    const int w = r.Width();
    const int h = r.Height();
    if (nWidth == w && nHeight == h) return;
    double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
    double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
    if (this->GetHVScaleRatio()) sx = sy = KeepRatioFactor(sx, sy);
    this->ScaleShape(SGIS_Point(r.left, r.bottom, 0), sx, sy);
  }

 protected:
  CGIS_VertexShapeImpl(const char* szClass, const char* szDefaultName, const char* szType,
                       const SGIS_VertexRules& rules)
      : CGIS_ShapeImpl<TInterface>(szClass, szDefaultName, szType), m_rules(rules) {}
  ~CGIS_VertexShapeImpl() override = default;

 private:
  // The geometry an operation works on: the feature's (missing: recorded
  // under the operation) with at least nMin vertices; NULL otherwise.
  IGIS_Geometry* Vertices(const char* szOperation, int nMin, IGIS_Feature** ppFeature) {
    IGIS_Feature* pFeature = this->m_core.RequireFeature(szOperation);
    if (ppFeature != nullptr) *ppFeature = pFeature;
    return pFeature != nullptr ? UsableVertices(pFeature, nMin) : nullptr;
  }

  SGIS_VertexRules m_rules;
};

}  // namespace md::layout::shapes
