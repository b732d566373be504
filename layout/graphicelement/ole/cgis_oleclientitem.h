// The container side of one embedded or linked object: its storage, the
// object made by an in-process class (platform/ole), its drawing aspect and
// icon, its state, the byte image of its compound file, and the way to its
// server (platform/ole/server.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/graphicelement/ole/oleinsert.h"
#include "platform/ole/clipformat.h"
#include "platform/ole/icon.h"
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
  // / linked to a file / static from another object's presentation (item
  // number 1). FALSE without an object, the reason in GetLastErrorText():
  // the item then holds what it held before. A link keeps the file's path and
  // class and shows the file's content; a file that no class of this process
  // reads (another program's) cannot be embedded or linked.
  BOOL CreateNewItem(const md::ole::ObjectClass& objectClass);
  BOOL CreateFromFile(const std::string& path, const md::ole::ObjectClass* pClass);
  BOOL CreateLinkFromFile(const std::string& path);
  BOOL CreateStaticFromData(const md::ole::EmbeddedObject& source);
  // By the dialog's choice, then the icon view when the dialog asks for it.
  BOOL CreateFromInsertDialog(const md::layout::SGIS_OleInsertChoice& choice);
  const std::string& GetLastErrorText() const { return m_strError; }

  // Loads the object from the byte image of its compound file, with its
  // drawing aspect and icon; the item is then loaded and answers the
  // object's type. FALSE, with the reason, for a damaged file or an object
  // of an unregistered class; the item then keeps what it held. A link read
  // here reads no file: it shows its stored presentation until UpdateLink.
  // A link that cannot be read (its "Link" record damaged, or its content)
  // also answers FALSE, and the item then holds no object (HasObject) but an
  // unread link (HoldsUnreadLink): it draws and measures the presentation
  // stored with it, when its content stream holds one, and nothing updates,
  // opens, writes or copies it.
  BOOL ReadItem(const std::uint8_t* pData, std::size_t nSize, std::string* pError);
  // The byte image of the object's compound file (a link that follows its
  // source takes its presentation from the source first, when the source
  // can be read); FALSE without an object.
  BOOL WriteItem(std::vector<std::uint8_t>* pOut, std::string* pError);

  // Draws the object over the rectangle (device units) in the aspect (-1:
  // the item's own): its content, or its icon with the label. A link that
  // follows its source is brought up to date with it first. FALSE without
  // an object (an unread link draws its stored presentation), or when the
  // object could not draw itself.
  BOOL Draw(HDC hdc, const RECT& rect, int nAspect);
  // The size of the aspect in 0.01 mm: the object's natural size, or the
  // icon's; FALSE without an object (an unread link measures its stored
  // presentation).
  BOOL GetExtent(SIZE* pSize, int nAspect);
  // Runs a verb on the object: the open verbs (-2 its own window, and the
  // show and activation verbs, which fall back to it) open the object in its
  // class's server until the user closes it; TRUE when the server ran. A
  // link is updated first (UpdateLink): the user asked for its source. What
  // the user saved there replaces the object (a link's source file is
  // written), and every close by OK reaches the current element (OnChange
  // code changeClosed), with a change or without; a server closed by Cancel
  // changes nothing. A static object, a link whose source cannot be read and
  // a class without a server get the framework's prompt and FALSE, the item
  // unchanged, and so does a link's source that could not be written;
  // GetLastErrorText() then says why. DoVerb writes no record: its caller
  // writes the failure's one record (CGIS_OleElement::ActivateObject).
  BOOL DoVerb(int nVerb);
  void Close();
  // Code changeClosed makes the current embedded-object element fit its
  // height to the object.
  void OnChange(int nCode, DWORD dwParameter);
  // Shows the framework's prompt for the status and answers TRUE when it
  // has one (static object, failed connection, out of memory).
  BOOL ReportError(long sc);

  // The item's type from its object: link, static or embedded (unknown
  // without an object); kept and answered.
  int UpdateItemType();
  // Turns a link into a static object showing what the link shows now.
  // FALSE (nothing changed) for an item that holds no link.
  BOOL FreezeLink();
  // Reads a link's source now (when it changed since it was last read), at
  // the path relative to the page's file first and the absolute path second;
  // from then on the link follows its source. The one way a link read from
  // a page gets to read its source: the host's or the user's request. TRUE
  // when the link shows its source's current content; FALSE for an item
  // without a link (an unread link's reason stays in GetLastErrorText()),
  // and for a link whose source cannot be read (gone, not a regular file on
  // an ordinary file system, over the size limit, not of the link's class,
  // changed while it was read, not settled: platform/ole/link.h), which is
  // marked unavailable (a level-1 record when it becomes so, the reason in
  // GetLastErrorText()) and keeps its cached presentation; the next update
  // tries again.
  BOOL UpdateLink();
  // Whether the item holds a link that follows its source: made from the
  // file, or updated since it was read.
  bool IsLinkFollowing() const;
  // The page file the item's link belongs to ("" unknown): its source is
  // looked for beside or below that file first, and its relative path is
  // stored against it.
  void SetPageFile(const std::string& pageFile);
  // A link's source path, where an update looks first; empty for other items.
  std::string GetLinkSource() const;

  // The icon view: the icon kept for aspect 4 (a given picture, or with NULL
  // only the place for it), the kept icon (one of the object's class is
  // made and kept when none is: labelled with the class's name, a link's
  // with its source's file name), and the drawing aspect (1 content, 4 icon;
  // others are ignored). FALSE without an object.
  BOOL SetIconicMetafile(const md::ole::IconicPicture* pPicture);
  BOOL GetIconicMetafile(md::ole::IconicPicture* pOut);
  void SetDrawAspect(int nAspect);

  // What the object offers the clipboard: "Embedded Object" (its compound
  // file), "Object Descriptor" and, with bIncludeLink for a link, "Link
  // Source" and "Link Source Descriptor". NULL without an object.
  std::unique_ptr<md::ole::DataSource> OnGetClipboardData(BOOL bIncludeLink);

  bool HasObject() const { return m_pObject != nullptr; }
  // Whether the last ReadItem found a link it could not read (above).
  bool HoldsUnreadLink() const { return m_bUnreadLink; }
  const md::ole::EmbeddedObject* GetObject() const { return m_pObject.get(); }
  int GetItemState() const { return m_nState; }
  int GetItemType() const { return m_nItemType; }
  int GetDrawAspect() const { return m_view.drawAspect; }
  unsigned GetItemNumber() const { return m_nItemNumber; }
  long GetLastStatus() const { return m_scLast; }
  bool IsLinkUnavailable() const { return m_bLinkUnavailable; }

 private:
  BOOL FinishCreate(std::unique_ptr<md::ole::EmbeddedObject> pObject, const std::string& error);
  // UpdateLink for a link that follows its source; nothing for others.
  void FollowLink();
  // Reads the link's source as UpdateLink does, without a record: false,
  // the reason in m_strError, when it cannot. The item must hold a link.
  bool ReadLinkSource();
  // Opens the object in its server; the status of the verb.
  long Activate(int nVerb);
  // Takes what the user saved in the server; the status.
  long TakeSaved(std::unique_ptr<md::ole::EmbeddedObject> pSaved);
  // The icon drawn and measured for aspect 4: the kept one, or one made
  // afresh (not kept: drawing changes nothing).
  md::ole::IconicPicture IconForDrawing() const;
  // What is drawn and measured: the object, or an unread link's stored
  // presentation; NULL for neither.
  const md::ole::EmbeddedObject* Shown() const;
  void SetState(int nState);

  std::unique_ptr<md::ole::EmbeddedObject> m_pObject;
  // An unread link's stored presentation (a static object), when it has one.
  std::unique_ptr<md::ole::EmbeddedObject> m_pUnreadLink;
  bool m_bUnreadLink = false;
  md::ole::Storage m_storage;
  md::ole::ObjectView m_view;
  unsigned m_nItemNumber = 0;
  long m_scLast = 0;
  int m_nState = emptyState;
  int m_nItemType = typeUnknown;
  bool m_bLinkUnavailable = false;
  std::string m_strError;
};

// The twelve clipboard formats of embedded objects, registered once per
// process on first use, in their fixed order.
const unsigned* GIS_OleClipboardFormats();
