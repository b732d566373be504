// The host's chooser of second-kind symbols: the same chooser window as the
// symbol chooser (host/glyphorpick/igis_symbolchooserdlg.h), played by the
// installed modal driver.
#pragma once

#include "host/glyphor2/igis_symbolv2.h"

class IGIS_SymbolV2ChooserDlg {
 public:
  // Makes a new symbol of a kind (*kind: 1 line, 2 fill). Answers 0 when a
  // symbol was made (GetResult hands it out), 1 on cancel or when nothing
  // was chosen, -1 for a NULL or unknown kind. `state` (may be NULL)
  // remembers the last entry chosen.
  virtual int RunNew(int* kind, int reserved, int* state) = 0;
  // Edits a copy of `symbol` (which stays as it was). Answers as RunNew;
  // -1 for a NULL symbol.
  virtual int RunEdit(IGIS_SymbolV2* symbol, int reserved, int* state) = 0;
  // The symbol of the last successful run, handed to the caller; NULL after
  // a cancel or when already taken.
  virtual IGIS_SymbolV2* GetResult() = 0;

 protected:
  virtual ~IGIS_SymbolV2ChooserDlg() = default;
};

extern "C" {
IGIS_SymbolV2ChooserDlg* GIS_GetSymbol2SelectDlgObject();
}
