// The host's symbol chooser: a modal dialog of the dialog framework
// (host/glyphorpick/cgis_symbolpickdlg.h), played by the installed modal driver.
#pragma once

#include "host/glyphor/igis_symbol.h"

enum {
  GIS_CHOOSE_POINT = 1,
  GIS_CHOOSE_LINE = 2,
  GIS_CHOOSE_FILL = 4,
  GIS_CHOOSE_TEXT = 8,
};

class IGIS_SymbolChooserDlg {
 public:
  // Shows the chooser for a kind (1 point, 2 line, 4 fill, 8 text), starting
  // from a copy of `current` when it is of that kind. `state` is the calling
  // page's integer (may be NULL): the chooser remembers the last entry chosen
  // in it. TRUE when the user confirmed a symbol; FALSE on cancel, for an
  // unknown kind, or when nothing was chosen.
  virtual BOOL Run(IGIS_Symbol* current, int kind, int* state, int reserved1, int reserved2) = 0;
  // The confirmed symbol of the last run, handed to the caller (who
  // releases it); NULL after a cancel or when already taken.
  virtual IGIS_Symbol* GetResult() = 0;

 protected:
  virtual ~IGIS_SymbolChooserDlg() = default;
};

extern "C" {
IGIS_SymbolChooserDlg* GIS_GetSymbolSelectDlgObject();
}
