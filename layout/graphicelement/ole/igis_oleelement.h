// The embedded-object element's own operations, after the 26 of IGIS_Element.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_Display;
class IGIS_FrameProperty;

class IGIS_OleElement : public IGIS_Element {
 public:
  virtual BOOL CanActivateObject() = 0;
  // Opens the object in its class's server window, where the user edits it;
  // when the server closes with a change the element fits its height to the
  // object and has the remembered display redrawn. TRUE when the server's
  // window opened, whether the user then closed it by OK or Cancel; FALSE
  // when nothing opened (no object, a static object, no server, a link whose
  // source cannot be read: gone, or changed less than a second ago, see
  // UpdateLink) or what the user saved could not be kept: one level-3 record
  // under "CGIS_OleElement::ActivateObject" names the element and says why,
  // besides the user's prompt.
  virtual BOOL ActivateObject(IGIS_Display* pDisplay) = 0;
  // Runs the insert-object dialog and makes the chosen object. The element
  // then takes the object's size: one that has no size yet (its width or
  // height 0) gets the object's natural size; one placed before the insert
  // (SetRect, or an object held before) keeps its left-bottom corner and its
  // width and takes the object's proportions, as SetWidthAndHeight gives an
  // element holding an object. So a host places the element first and
  // inserts second, or inserts first and places second (SetRect then keeps
  // the object's proportions): either order gives the object's proportions.
  // FALSE when the dialog was cancelled, and when no object was made (a
  // file that cannot be read, is not a file, or holds no content this
  // process can show; an unknown class): the element keeps what it held, a
  // level-3 record under "CGIS_OleElement::InsertObject" and a message box
  // give the reason.
  virtual BOOL InsertObject(IGIS_Display* pDisplay) = 0;
  // The element's frame (still owned by the element; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy of the given frame (NULL drops it); FALSE for the element's own frame.
  virtual BOOL SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;

  // Reads the source of the element's linked object now and shows it.
  // A page read from a file never reads or writes a link's source on its
  // own: each link shows the presentation stored with it until the host
  // calls this (or the user presses the object page's update button); from
  // then on the link follows its source's changes, and only then may the
  // user's edit of the object write the source. The source is looked for
  // first beside or below the page's file, by the path relative to it that
  // the page stores, then at its absolute path. TRUE when the object shows
  // its source's current content; FALSE for an element that holds no link,
  // and when the source is gone, is not a regular file on an ordinary file
  // system (not under /proc or /sys), is over the size limit, is no longer
  // of the link's class, changed while it was read or changed less than a
  // second ago (it may still be being written, whatever its inode: a file
  // renamed into place waits its second too, platform/ole/FORMAT.md; a host
  // that writes new content into a source and updates at once gets FALSE;
  // a source read empty waits its second from when an update first saw it
  // so, as a writer rewriting it in place empties it first):
  // the object then keeps what it showed, a level-1 record under
  // "CGIS_OleClientItem::UpdateLink" says why (for a source that has not
  // settled, how long until it has), and the next update tries again. A link
  // whose stored record cannot be read is never updated: its element answers
  // FALSE (the record was written when the page was read).
  virtual BOOL UpdateLink() = 0;
};
