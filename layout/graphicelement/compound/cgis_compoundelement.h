// The compound element. Its feature (kind 512) holds the ordered member
// feature IDs; each member stays an ordinary element with its own feature.
// The compound does not own its members.
#pragma once

#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/cgis_elementcore.h"

namespace md::layout::detail {

// Lowers the budgets of the compound walks on this thread, member visits and
// member copies per outermost call, while it lives: tests reach the end of a
// budget with a few members. A budget is never raised; the previous ones come
// back when it ends.
class CompoundWalkBudget {
 public:
  CompoundWalkBudget(long nVisits, long nCopies);
  ~CompoundWalkBudget();
  CompoundWalkBudget(const CompoundWalkBudget&) = delete;
  CompoundWalkBudget& operator=(const CompoundWalkBudget&) = delete;

 private:
  long m_nVisits, m_nCopies;  // the budgets before
};

}  // namespace md::layout::detail

class CGIS_CompoundElement : public CGIS_ElementImpl<IGIS_CompoundElement> {
 public:
  CGIS_CompoundElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  IGIS_Feature* GetFeaturePtr() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  bool GetHVScaleRatio() override;
  bool CanConvert() override;
  void SetOrder(int nOrder) override;
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;

  BOOL AddElement(IGIS_Element* pElement) override;
  BOOL AddElementSet(IGIS_ElementSet* pElementSet) override;
  IGIS_Element* GetElementPtrByIndex(int nIndex) override;
  int GetElementCount() override;
  bool RemoveElement(IGIS_Element* pElement) override;

 protected:
  ~CGIS_CompoundElement() override = default;

 private:
  // The member at an index: its feature's ID, whether the owner has that
  // feature, and its element (NULL when either is missing).
  struct Member {
    int nFeatureID = 0;
    bool bFeature = false;
    IGIS_Element* pElement = nullptr;
  };
  Member FindMember(IGIS_Feature* pFeature, int nIndex);
  // The member's element for a walk over the members; a missing one is told
  // in one record naming it and what it misses.
  IGIS_Element* WalkMember(int nIndex);
  // Whether adding the element would make a compound contain itself.
  bool WouldNest(IGIS_Element* pElement);
  static bool IsMember(IGIS_Feature* pFeature, IGIS_Element* pElement);
  void CommitGeometry(IGIS_Feature* pFeature);
};
