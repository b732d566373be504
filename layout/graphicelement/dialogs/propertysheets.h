// The property sheets of the elements: one registry keyed by element type and
// one routine around every sheet.
//
// A sheet is registered once, by the dialogs library, under the element type
// identifier (IGIS_Element::GetType) it edits. An element's OnOpenPropertyDlg
// only fills a SheetRequest (element/elementsheet.h), whose seam takes the
// element's stored form and reads it back after anything but OK; this library
// is the sheet host that runs the sheet registered for the element's type.
#pragma once

#include <functional>
#include <string>

#include "layout/graphicelement/element/elementsheet.h"

namespace md::layout {

// Builds the sheet on the element without a parent window, hands it the
// display (passed on to every page), sets its title and runs it modally.
// Answers true when the user pressed OK.
using SheetRunner = std::function<bool(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle)>;
// The same for a sheet whose shared frame and size-and-position pages are
// shown only when the opener asks for them (bWithCommonPages).
using PagedSheetRunner = std::function<bool(IGIS_Element* pElement, IGIS_Display* pDisplay,
                                            const char* szTitle, BOOL bWithCommonPages)>;

// Registers the sheet of an element type; an empty runner removes it. A later
// registration of the same type replaces the earlier one, of either kind.
void RegisterPropertySheet(const std::string& type, SheetRunner runner);
void RegisterPagedPropertySheet(const std::string& type, PagedSheetRunner runner);

// Whether a sheet is registered for the element type.
bool HasPropertySheet(const std::string& type);

// The runner registered for the element type; empty when none is. A paged
// sheet run through it shows its shared pages.
SheetRunner GetPropertySheet(const std::string& type);

// The routine every element's sheet runs in: the library's module state for
// the whole call and the sheet registered for the element's type (none:
// cancelled), told whether the request wants the shared pages. TRUE only when
// the user pressed OK.
BOOL RunPropertySheet(const SheetRequest& request);

}  // namespace md::layout
