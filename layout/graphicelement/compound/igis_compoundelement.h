// The compound element: a group of elements of one owner feature set that is
// moved, resized, scaled, drawn and cloned as a whole.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_CompoundElement : public IGIS_Element {
 public:
  // Appends an element of the same owner; it gets the order -10.
  virtual BOOL AddElement(IGIS_Element* pElement) = 0;
  // Appends every element of the list, in order (no owner test, no order change).
  virtual BOOL AddElementSet(IGIS_ElementSet* pElementSet) = 0;
  // The member at an index, or NULL.
  virtual IGIS_Element* GetElementPtrByIndex(int nIndex) = 0;
  virtual int GetElementCount() = 0;
  // Drops a member from the list; the element itself is left alone (and no
  // longer goes with the compound when the owner deletes it).
  virtual bool RemoveElement(IGIS_Element* pElement) = 0;
};
