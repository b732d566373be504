// The sheet of every grid's property dialog and of the button, continuous
// and rounded tab styles' dialog. It keeps the framework's OK, Cancel and
// Apply; no grid page marks itself modified, so Apply stays disabled. The
// opener sets the caption with SetTitle.
#pragma once

#include "platform/ui/propsheet.h"

// The caption string the grid sheets are made with ("Property Sheet").
constexpr UINT IDS_GIS_GRID_PROPERTY_SHEET = 3093;

class CGIS_GridPropertySheet : public CPropertySheet {
 public:
  // No parent window, the first page shown first.
  CGIS_GridPropertySheet();
};
