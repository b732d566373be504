// The host's string dialog: asks the user for one line of text. A modal
// dialog of the dialog framework (dialog 31011 of mapdeck_controls.h: label
// 31012, edit 31013, OK, Cancel), played by the installed modal driver.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_StringDlg {
 public:
  virtual void SetCaption(const char* text) = 0;
  virtual void SetLabel(const char* text) = 0;
  // The text typed in the last confirmed run, or NULL when none was.
  virtual const char* GetString() = 0;
  // TRUE on OK. The edit starts empty; a cancelled run forgets the text.
  virtual BOOL DoModal() = 0;

 protected:
  virtual ~IGIS_StringDlg() = default;
};

extern "C" {
// The process-wide dialog; not released by the caller.
IGIS_StringDlg* GIS_GetStringDlgObject();
}
