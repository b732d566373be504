// What the label pages share: each refuses to show without the label it
// edits, with a level-3 record, and is made by its class name.
#include <functional>
#include <memory>
#include <string>

#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::test::LogMark;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using LabelPages = md::test::GridDialogTest;

struct PageRow {
  const char* name;
  std::function<std::unique_ptr<CPropertyPage>()> make;
  const char* record;
};

TEST_F(LabelPages, WithoutTheirLabelThePagesAreRefusedWithARecord) {
  const PageRow rows[] = {
      {"CGIS_DMSLabelPage", [] { return std::make_unique<CGIS_DMSLabelPage>(); }, "m_pDMSGridLabel == NULL"},
      {"CGIS_MixFontPage", [] { return std::make_unique<CGIS_MixFontPage>(); },
       "m_pMixedFontGridLabel == NULL"},
      {"CGIS_IndexGridTabelBackgroundPage",
       [] { return std::make_unique<CGIS_IndexGridTabelBackgroundPage>(); }, "m_pIndexGridTabStyle == NULL"},
      {"CGIS_IndexGridTabStylePage", [] { return std::make_unique<CGIS_IndexGridTabStylePage>(); },
       "m_pIndexGridTabStyle == NULL"},
  };
  for (const PageRow& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<CPropertyPage> page = row.make();
    CGIS_GridPropertySheet sheet;
    sheet.AddPage(page.get());
    LogMark log;
    ScriptedDriver driver;
    driver.Then([&page](UiUser& u) {
      EXPECT_FALSE(page->IsWindowVisible());
      u.Cancel();
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, std::string(row.name) + "::OnSetActive", row.record));
    std::unique_ptr<CWnd> made(md::ui::CreateWindowObject(row.name));
    EXPECT_NE(made, nullptr);
  }
}

}  // namespace
