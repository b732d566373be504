// The seam to the insert-object dialog: the dialogs library installs it when
// it loads; the element asks it for the user's choice.
#pragma once

#include <functional>
#include <string>

namespace md::layout {

struct SGIS_OleInsertChoice {
  enum Selection { createNew = 0, fromFile = 1, linkToFile = 2 };
  int nSelection = createNew;
  std::string progId;           // the chosen class (create new)
  std::string path;             // the chosen file (from file, link to file)
  bool bDisplayAsIcon = false;  // show the object as its icon (aspect 4)
};

// Fills the choice and answers true when the user pressed OK.
using InsertObjectDialog = std::function<bool(SGIS_OleInsertChoice* pChoice)>;

// Installs the dialog (an empty one removes it); answers the one before.
InsertObjectDialog SetInsertObjectDialog(InsertObjectDialog dialog);

// Runs the installed dialog; false (cancelled) while none is installed.
bool RunInsertObjectDialog(SGIS_OleInsertChoice* pChoice);

}  // namespace md::layout
