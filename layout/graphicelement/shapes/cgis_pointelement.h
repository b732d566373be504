// One point symbol on a layout page. Its feature (kind 1024) holds the page
// rectangle the symbol fills; drawing fits the symbol into it keeping the
// symbol's aspect. A stored point feature (kind 1) is replaced by such a
// rectangle feature when bound.
#pragma once

#include "layout/graphicelement/shapes/cgis_boxshapeimpl.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"

class CGIS_PointElement : public md::layout::shapes::CGIS_BoxShapeImpl<IGIS_PointElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_PointElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* Clone() override;

  // Always true: a point keeps the ratio of its symbol.
  bool GetHVScaleRatio() override { return true; }
  void SetHVScaleRatio(bool) override { m_core.m_bKeepHVScaleRatio = true; }
  BOOL Archive(int nRead, int nArchiveOption) override;

  SGIS_Point GetPoint() override;
  bool SetPoint(SGIS_Point point) override;
  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_PointElement() override = default;
  // The symbol's aspect, covering the requested size.
  bool FitSize(IGIS_Feature* pFeature, int w, int h, int& nWidth, int& nHeight) override;

 private:
  // Replaces a stored point feature (kind 1) by a rectangle feature around
  // its point; the old feature goes only once the new one exists.
  void MigratePointFeature(IGIS_FeatureSet* pOwner, IGIS_Feature* pOld, double dRatio);
  // Binds through the core: a given feature is bound; without one a
  // rectangle feature is made with the bookkeeping fields and the default
  // symbol (a record when the owner cannot make one).
  CGIS_ElementCore::Binding BindRect(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);
};
