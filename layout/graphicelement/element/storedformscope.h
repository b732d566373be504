// The one way an edit is undone: an object's stored form is taken before its
// sheet, page or dialog runs and read back after anything but OK. Nothing is
// listed field by field, so a field added later cannot be forgotten.
//
// An element's stored form is what its Archive(0) writes into its feature:
// the geometry, the symbol bytes and the named fields. The scope writes it,
// takes it, and on restore puts it back into the feature, commits it and reads
// it with Archive(1), which rebinds what the stored form names (the followed
// map frame, the document's map) and lays the element out again.
//
// Any other object that stores itself in a data buffer (frame properties,
// map borders, grids, grid labels, index tab styles: a Save(IGIS_DataBuffer*)
// and an Open(IGIS_DataBuffer*)) is taken with Save and read back with Open:
//
//   CGIS_StoredFormScope stored(pGrid);
//   if (dlg.DoModal() == IDOK) stored.Keep();   // otherwise the grid reads its form back
#pragma once

#include <functional>
#include <memory>
#include <type_traits>

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Element;

class CGIS_StoredFormScope {
 public:
  using BufferOperation = std::function<bool(IGIS_DataBuffer* pBuffer)>;

  // Takes the element's stored form (Archive(0), then its feature). Nothing
  // is taken without an element or a feature.
  explicit CGIS_StoredFormScope(IGIS_Element* pElement);
  // Takes the object's stored form through its Save.
  template <class T>
  requires(!std::is_convertible_v<T*, IGIS_Element*>) explicit CGIS_StoredFormScope(T* pObject)
      : CGIS_StoredFormScope(
            pObject == nullptr ? BufferOperation() : BufferOperation([pObject](IGIS_DataBuffer* b) {
              return pObject->Save(b) != FALSE;
            }),
            pObject == nullptr ? BufferOperation() : BufferOperation([pObject](IGIS_DataBuffer* b) {
              return pObject->Open(b) != FALSE;
            })) {}
  // Takes a stored form through save; open reads it back.
  CGIS_StoredFormScope(BufferOperation save, BufferOperation open);
  // Reads the stored form back unless it was kept.
  ~CGIS_StoredFormScope();
  CGIS_StoredFormScope(const CGIS_StoredFormScope&) = delete;
  CGIS_StoredFormScope& operator=(const CGIS_StoredFormScope&) = delete;

  // Whether a stored form was taken.
  bool IsTaken() const { return static_cast<bool>(m_restore); }
  // The edit stays: nothing is read back.
  void Keep() { m_bKept = true; }
  // Reads the stored form back now (again at the end unless kept); false
  // when nothing was taken or it could not be put back.
  bool Restore();

 private:
  std::function<bool()> m_restore;
  bool m_bKept = false;
};
