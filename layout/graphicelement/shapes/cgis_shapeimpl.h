// What every plain shape answers alike.
#pragma once

#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/shapes/shapebox.h"
#include "layout/graphicelement/shapes/shapedraw.h"
#include "layout/graphicelement/shapes/shapefeature.h"

namespace md::layout::shapes {

// What every plain shape answers alike: its type, no description, no
// conversion, its feature's bound as its rectangle, and SetRect as a move of
// the left-bottom corner followed by a resize.
template <class TInterface>
class CGIS_ShapeImpl : public CGIS_ElementImpl<TInterface> {
 public:
  const char* GetType() override { return m_szType; }
  const char* GetDescription() override { return "暂时没有定义"; }
  bool CanConvert() override { return false; }
  IGIS_Element* ConvertToElement() override { return nullptr; }

  // The feature's bound; empty without a feature (recorded).
  SGIS_Rect GetRect() override {
    SGIS_Rect r;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("GetRect");
    if (pFeature != nullptr) pFeature->GetBound(&r, 1, 0);
    return r;
  }

  // An empty rectangle (after normalising) is refused.
  void SetRect(SGIS_Rect rect) override {
    rect.Normalize();
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    MoveAndResize(rect);
  }

 protected:
  CGIS_ShapeImpl(const char* szClass, const char* szDefaultName, const char* szType)
      : CGIS_ElementImpl<TInterface>(szClass, szDefaultName), m_szType(szType) {}
  ~CGIS_ShapeImpl() override = default;

  // Moves the left-bottom corner onto the rectangle's, then takes its size.
  void MoveAndResize(const SGIS_Rect& rect) {
    const SGIS_Rect c = this->GetRect();
    this->OffsetAllPoints(SubClamped(rect.left, c.left), SubClamped(rect.bottom, c.bottom));
    this->SetWidthAndHeight(rect.Width(), rect.Height());
  }

 private:
  const char* m_szType;
};

}  // namespace md::layout::shapes
