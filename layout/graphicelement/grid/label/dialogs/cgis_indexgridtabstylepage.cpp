#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"

#include "platform/ui/app.h"

CGIS_IndexGridTabStylePage::CGIS_IndexGridTabStylePage()
    : CGIS_IndexTabPageBase(IDD_GIS_TABSTYLE_PAGE, IDC_GIS_TAB_INSIDE, "CGIS_IndexGridTabStylePage") {}

namespace {
const md::ui::WindowClassRegistration<CGIS_IndexGridTabStylePage> g_class("CGIS_IndexGridTabStylePage");
}  // namespace
