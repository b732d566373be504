// The host's symbol chooser: a modal dialog of the dialog framework (dialog
// IDD_GIS_SYMBOLPICK, whose controls mapdeck_controls.h lists), played by the
// installed modal driver.
#pragma once

#include "host/glyphor/igis_symbol.h"

enum {
  GIS_CHOOSE_POINT = 1,
  GIS_CHOOSE_LINE = 2,
  GIS_CHOOSE_FILL = 4,
  GIS_CHOOSE_TEXT = 8,
  // A flag some callers add to a kind (band and tab symbols pass 0x22 for a
  // line, 0x24 for a fill). The chooser ignores it: a flagged kind runs as
  // the kind without it.
  GIS_CHOOSE_FLAG = 0x20,
  GIS_CHOOSE_FLAGGED_LINE = GIS_CHOOSE_FLAG | GIS_CHOOSE_LINE,
  GIS_CHOOSE_FLAGGED_FILL = GIS_CHOOSE_FLAG | GIS_CHOOSE_FILL,
};

// The part of a symbol a chooser kind asks for (point, line, fill or text
// part; the flag ignored); NULL for NULL, another kind, or a symbol without
// that part. It is the symbol itself when it has the part.
IGIS_Symbol* GIS_SymbolPartOfKind(IGIS_Symbol* pSymbol, int kind);

class IGIS_SymbolChooserDlg {
 public:
  // Shows the chooser for a kind (1 point, 2 line, 4 fill, 8 text, each with
  // or without GIS_CHOOSE_FLAG), starting
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
