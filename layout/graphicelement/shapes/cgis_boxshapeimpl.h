// The base of the shapes held as one rectangle: rectangle, ellipse, point.
#pragma once

#include "layout/graphicelement/shapes/cgis_shapeimpl.h"

namespace md::layout::shapes {

// A shape held as one rectangle in its feature (rectangle, ellipse, point):
// moved, scaled and resized as that rectangle, each change written with
// WriteBox and committed as a geometry change. Sizes below 1 are refused;
// a resize keeps the left-bottom corner.
template <class TInterface>
class CGIS_BoxShapeImpl : public CGIS_ShapeImpl<TInterface> {
 public:
  void OffsetAllPoints(int dx, int dy) override {
    if (dx == 0 && dy == 0) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("OffsetAllPoints");
    if (pFeature == nullptr) return;
    CommitBox(pFeature, OffsetBox(this->GetRect(), dx, dy));
  }

  void SetLBpoint(SGIS_Point point) override {
    const SGIS_Rect r = this->GetRect();
    this->OffsetAllPoints(SubClamped(point.x, r.left), SubClamped(point.y, r.bottom));
  }

  void ScaleShape(SGIS_Point origin, double sx, double sy) override {
    if (!IsUsableFactor(sx, false) || !IsUsableFactor(sy, false)) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("ScaleShape");
    if (pFeature == nullptr) return;
    CommitBox(pFeature, ScaleBox(this->GetRect(), origin, sx, sy, this->GetHVScaleRatio()));
  }

  void SetWidthAndHeight(int nWidth, int nHeight) override {
    if (nWidth <= 0 || nHeight <= 0) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("SetWidthAndHeight");
    if (pFeature == nullptr) return;
    const SGIS_Rect r = this->GetRect();
    if (nWidth == r.Width() && nHeight == r.Height()) return;
    if (!FitSize(pFeature, r.Width(), r.Height(), nWidth, nHeight)) return;
    CommitBox(pFeature, ResizeBox(r, nWidth, nHeight));
  }

 protected:
  using CGIS_ShapeImpl<TInterface>::CGIS_ShapeImpl;
  ~CGIS_BoxShapeImpl() override = default;

  // Turns the requested size into the one the box takes (w, h: its present
  // size); false leaves the box as it is. Here: the request, or with the
  // ratio kept (and one to keep) the present size scaled by one factor.
  virtual bool FitSize(IGIS_Feature* /*pFeature*/, int w, int h, int& nWidth, int& nHeight) {
    if (this->GetHVScaleRatio()) KeepRatioSize(w, h, nWidth, nHeight);
    return true;
  }

  // Writes the rectangle into the geometry; here as a rectangle.
  virtual void WriteBox(IGIS_Geometry* pGeometry, SGIS_Rect rect) { pGeometry->SetRect(rect, 0); }

  void CommitBox(IGIS_Feature* pFeature, SGIS_Rect rect) {
    if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) WriteBox(pGeometry, rect);
    Commit(this->m_core, pFeature, GIS_UPDATE_GEOMETRY);
  }
};

}  // namespace md::layout::shapes
