// The one seam between an element's model and its property sheet. An
// element's OnOpenPropertyDlg describes the request (which element, its
// display, the sheet's caption) and hands it to OpenPropertySheet, which
// takes the element's stored form, has the sheet host run the sheet and reads
// the stored form back after anything but OK (element/storedformscope.h). The
// sheets themselves and their registry by element type live in the dialogs
// library, which installs itself as the sheet host when it loads; the models
// never include a dialog header and register nothing.
#pragma once

#include <string>

#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;

namespace md::layout {

struct SheetRequest {
  IGIS_Element* pElement = nullptr;  // its GetType() picks the sheet
  IGIS_Display* pDisplay = nullptr;  // handed to every page
  const char* szTitle = "";          // the sheet's caption
  // Whether the sheet shows the shared frame and size-and-position pages
  // (the second argument of OnOpenPropertyDlg); sheets that always or never
  // show them ignore it.
  BOOL bWithCommonPages = TRUE;
  std::string method;           // "Class::OnOpenPropertyDlg", for log records
  const char* szNoBackup = "";  // the log text when the stored form cannot be taken
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

// Takes the element's stored form (none: a level-3 record of the request's
// szNoBackup under its method, FALSE, no sheet), hands the request to the
// sheet host and, unless the host answers TRUE (the user confirmed), reads
// the stored form back: Cancel leaves the element as it was, whatever its
// pages changed. FALSE (the element untouched) while no host is installed or
// without an element.
BOOL OpenPropertySheet(const SheetRequest& request);

}  // namespace md::layout
