#include "layout/graphicelement/grid/grid/dialogs/cgis_gridpropertysheet.h"

#include "platform/ui/app.h"

CGIS_GridPropertySheet::CGIS_GridPropertySheet() : CPropertySheet(IDS_GIS_GRID_PROPERTY_SHEET, nullptr, 0) {}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridPropertySheet> g_class("CGIS_GridPropertySheet");
}  // namespace
