// The container side of one embedded object: its storage, the object made by
// an in-process class (platform/ole), its drawing aspect and state, and the
// byte image of its compound file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/graphicelement/ole/oleinsert.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/storage.h"
#include "platform/win/wintypes.h"

class CGIS_OleClientItem {
 public:
  enum ItemState { emptyState = 0, loadedState = 1, openState = 2, activeState = 3, activeUIState = 4 };
  enum ItemType { typeUnknown = 0, typeLink = 1, typeEmbedded = 2, typeStatic = 3 };
  // Codes of OnChange.
  enum { changeView = 0, changeSaved = 1, changeClosed = 2, changeState = 4 };

  CGIS_OleClientItem() = default;
  ~CGIS_OleClientItem();
  CGIS_OleClientItem(const CGIS_OleClientItem&) = delete;
  CGIS_OleClientItem& operator=(const CGIS_OleClientItem&) = delete;

  // Makes a new object of the class (item number 4) / from a file's content
  // (item number 1). FALSE without an object; the item is then unchanged.
  BOOL CreateNewItem(const md::ole::ObjectClass& objectClass);
  BOOL CreateFromFile(const std::string& path, const md::ole::ObjectClass* pClass);
  // By the dialog's choice; linking to a file is not offered here (FALSE).
  BOOL CreateFromInsertDialog(const md::layout::SGIS_OleInsertChoice& choice);

  // Loads the object from the byte image of its compound file. FALSE, with
  // the reason, for a damaged file or an object of an unregistered class;
  // the item then keeps what it held. State and type do not change.
  BOOL ReadItem(const std::uint8_t* pData, std::size_t nSize, std::string* pError);
  // The byte image of the object's compound file; FALSE without an object.
  BOOL WriteItem(std::vector<std::uint8_t>* pOut, std::string* pError);

  // Draws the object over the rectangle (device units); aspect -1 is the
  // item's own. FALSE without an object.
  BOOL Draw(HDC hdc, const RECT& rect, int nAspect);
  // The object's natural size in 0.01 mm; FALSE without an object.
  BOOL GetExtent(SIZE* pSize, int nAspect);
  // Runs a verb on the object. In-process objects have no window of their
  // own to open in: the failed-launch prompt is shown and FALSE answered.
  BOOL DoVerb(int nVerb);
  void Close();
  // Code changeClosed makes the current embedded-object element fit its
  // height to the object.
  void OnChange(int nCode, DWORD dwParameter);

  bool HasObject() const { return m_pObject != nullptr; }
  const md::ole::EmbeddedObject* GetObject() const { return m_pObject.get(); }
  int GetItemState() const { return m_nState; }
  int GetItemType() const { return m_nItemType; }
  int GetDrawAspect() const { return m_nDrawAspect; }
  void SetDrawAspect(int nAspect) { m_nDrawAspect = nAspect; }
  unsigned GetItemNumber() const { return m_nItemNumber; }
  long GetLastStatus() const { return m_scLast; }
  bool IsLinkUnavailable() const { return m_bLinkUnavailable; }

 private:
  BOOL FinishCreate(std::unique_ptr<md::ole::EmbeddedObject> pObject);

  std::unique_ptr<md::ole::EmbeddedObject> m_pObject;
  md::ole::Storage m_storage;
  unsigned m_nItemNumber = 0;
  int m_nDrawAspect = 1;
  long m_scLast = 0;
  int m_nState = emptyState;
  int m_nItemType = typeUnknown;
  bool m_bLinkUnavailable = false;
};

// The twelve clipboard formats of embedded objects, registered once per
// process on first use, in their fixed order.
const unsigned* GIS_OleClipboardFormats();
