// The seam between the plain shapes and their property sheets. The shapes
// never include their dialogs: the dialogs register how each sheet is run,
// and the shapes' OnOpenPropertyDlg runs whichever is registered. While none
// is registered a sheet counts as cancelled.
#pragma once

#include <functional>

#include "layout/graphicelement/element/cgis_elementcore.h"

class IGIS_Element;
class IGIS_Display;

enum class GIS_ShapeSheetKind {
  Surface,  // rectangle, ellipse, polygon
  Line,     // polyline
  Point,    // point
};

// Builds the sheet on the element without a parent window, hands it the
// display (which it passes to every page), sets its title and runs it
// modally. Returns true when the user pressed OK.
using GIS_ShapeSheetRunner = bool (*)(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle);

namespace md::layout {
// Registers the runner of a sheet kind; NULL removes it.
void SetShapeSheetRunner(GIS_ShapeSheetKind kind, GIS_ShapeSheetRunner runner);
GIS_ShapeSheetRunner GetShapeSheetRunner(GIS_ShapeSheetKind kind);
}  // namespace md::layout

namespace md::layout::shapes {

// The backup protocol around a plain shape's property sheet: the library's
// module state for the whole call, a Clone as backup (NULL: record
// "p_element == NULL", FALSE), the sheet run through its registered runner,
// and on anything but OK the element restored from the backup. The backup
// leaves the owner either way. TRUE only when the user pressed OK.
BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay,
                   const char* szTitle, const std::function<void(IGIS_Element* pBackup)>& restore);

}  // namespace md::layout::shapes
