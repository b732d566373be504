// The library's application object: start-up, unload and the library's own
// message box.
#pragma once

#include "platform/ui/app.h"

class IGIS_SymbolChooserDlg;

class CGIS_MapdeckApp : public CWinApp {
 public:
  CGIS_MapdeckApp();

  BOOL InitInstance() override;
  // Runs what the library's parts left for the unload (the map-border
  // factory's end, when one was made).
  int ExitInstance() override;
  // Every framework message box shown while the library's module state is
  // current: caption "整饰单元组件提示", an exclamation icon for the plain
  // button types that name no icon, and the help context of the help ID.
  int DoMessageBox(LPCTSTR prompt, UINT type, UINT helpId) override;
};

namespace md::layout {
// The library's application object.
CGIS_MapdeckApp& TheApp();
// The process-wide symbol chooser obtained at load.
IGIS_SymbolChooserDlg* SymbolSelectDlg();
}  // namespace md::layout

// The caption of every message box of the library.
#define MAPDECK_MESSAGEBOX_CAPTION "整饰单元组件提示"
