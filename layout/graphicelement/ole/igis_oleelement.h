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
  // object and has the remembered display redrawn. TRUE, whatever the server did.
  virtual BOOL ActivateObject(IGIS_Display* pDisplay) = 0;
  // Runs the insert-object dialog and makes the chosen object; FALSE when
  // the dialog was cancelled.
  virtual BOOL InsertObject(IGIS_Display* pDisplay) = 0;
  // The element's frame (still owned by the element; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy of the given frame (NULL drops it); FALSE for the element's own frame.
  virtual BOOL SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
};
