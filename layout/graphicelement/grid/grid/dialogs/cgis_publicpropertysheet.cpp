#include "layout/graphicelement/grid/grid/dialogs/cgis_publicpropertysheet.h"

#include "layout/graphicelement/grid/grid/dialogs/cgis_gridpropertysheet.h"
#include "platform/ui/app.h"

CGIS_PublicPropertySheet::CGIS_PublicPropertySheet()
    : CPropertySheet(IDS_GIS_GRID_PROPERTY_SHEET, nullptr, 0) {
  MapClicked(ID_APPLY_NOW, [] {});
}

namespace {
const md::ui::WindowClassRegistration<CGIS_PublicPropertySheet> g_class("CGIS_PublicPropertySheet");
}  // namespace
