// The one seam between an element's model and its property sheet. An
// element's OnOpenPropertyDlg describes the request (which element, its
// display, the sheet's caption, how a cancel puts the element back) and hands
// it to OpenPropertySheet. The sheets themselves, their registry by element
// type and the backup-run-restore routine live in the dialogs library, which
// installs itself as the sheet host when it loads; the models never include a
// dialog header and register nothing.
#pragma once

#include <functional>
#include <string>

#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;

namespace md::layout {

struct SheetRequest {
  IGIS_Element* pElement = nullptr;  // its GetType() picks the sheet
  IGIS_Display* pDisplay = nullptr;  // handed to every page
  const char* szTitle = "";          // the sheet's caption
  std::string method;                // "Class::OnOpenPropertyDlg", for log records
  const char* szNoBackup = "";       // the log text when no backup can be made
  // Puts the backup's state back into the element after anything but OK.
  std::function<void(IGIS_Element* pBackup)> restore;
  // An element that cannot be cloned keeps its own backup (in restore):
  // no Clone is taken, and restore receives NULL.
  bool bOwnBackup = false;
  // Whether the sheet shows the shared frame and size-and-position pages
  // beside its own (for the sheets that offer them only on request).
  bool bWithCommonPages = true;
};

class ISheetHost {
 public:
  // Runs the sheet of the request's element; TRUE only when the user confirmed.
  virtual BOOL Open(const SheetRequest& request) = 0;

 protected:
  virtual ~ISheetHost() = default;
};

// Installs the sheet host (NULL removes it); answers the one installed before.
ISheetHost* SetSheetHost(ISheetHost* pHost);

// Hands the request to the sheet host; FALSE (the sheet counts as cancelled,
// the element is untouched) while none is installed or without an element.
BOOL OpenPropertySheet(const SheetRequest& request);

}  // namespace md::layout
