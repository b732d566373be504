// The property sheets of the elements: one registry keyed by element type and
// one backup-run-restore routine around every sheet.
//
// A sheet is registered once, by the dialogs library, under the element type
// identifier (IGIS_Element::GetType) it edits. An element's OnOpenPropertyDlg
// only fills a SheetRequest (element/elementsheet.h); this library is the
// sheet host that runs it: RunPropertySheet takes a backup, runs the sheet
// registered for the element's type and, on anything but OK, restores the
// element from the backup.
#pragma once

#include <functional>
#include <string>

#include "layout/graphicelement/element/elementsheet.h"

namespace md::layout {

// Builds the sheet on the element without a parent window, hands it the
// display (passed on to every page), sets its title and runs it modally.
// Answers true when the user pressed OK.
using SheetRunner = std::function<bool(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle)>;

// Registers the sheet of an element type; an empty runner removes it. A later
// registration of the same type replaces the earlier one.
void RegisterPropertySheet(const std::string& type, SheetRunner runner);

// Whether a sheet is registered for the element type.
bool HasPropertySheet(const std::string& type);

// The runner registered for the element type; empty when none is.
SheetRunner GetPropertySheet(const std::string& type);

// The routine every element's sheet runs in: the library's module state for
// the whole call; a Clone of the element as backup (none: a level-3 record of
// the request's text under its method, FALSE, no sheet), unless the request
// says the element keeps its own backup; the sheet registered
// for the element's type (none: cancelled); after anything but OK the
// request's restore with the backup. The backup goes back to its owner either
// way. TRUE only when the user pressed OK.
BOOL RunPropertySheet(const SheetRequest& request);

// While a sheet runs: whether its request asked for the shared pages (true
// when no sheet runs).
bool SheetWithCommonPages();

}  // namespace md::layout
