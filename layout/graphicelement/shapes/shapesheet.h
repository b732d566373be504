// The seam between the plain shapes and their property sheets. The shapes
// never include their dialogs: the dialogs register how each sheet is run,
// and the shapes' OnOpenPropertyDlg runs whichever is registered. While none
// is registered a sheet counts as cancelled.
#pragma once

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

namespace mapdeck {
// Registers the runner of a sheet kind; NULL removes it.
void SetShapeSheetRunner(GIS_ShapeSheetKind kind, GIS_ShapeSheetRunner runner);
GIS_ShapeSheetRunner GetShapeSheetRunner(GIS_ShapeSheetKind kind);
}  // namespace mapdeck
