// The property dialogs of the grid labels and tab styles, registered with
// the label seam when the library loads: one row per label type with its
// sheet, caption and page. The seam keeps the label's stored form and puts
// it back unless the user confirmed.
#include <memory>

#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridpropertysheet.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_publicpropertysheet.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"
#include "layout/graphicelement/grid/label/igis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/label/labelsheet.h"
#include "platform/ui/app.h"

namespace {

// The sheet and the page of one run, the page pointed at the label; NULL
// when the label is not of the page's class.
using SheetMaker = std::unique_ptr<CPropertySheet> (*)();
using PageMaker = std::unique_ptr<CPropertyPage> (*)(IGIS_GridLabel* pLabel);

template <class TSheet>
std::unique_ptr<CPropertySheet> Sheet() {
  return std::make_unique<TSheet>();
}

template <class TPage, class TLabel, auto pEdited>
std::unique_ptr<CPropertyPage> PageOn(IGIS_GridLabel* pLabel) {
  auto* pTyped = dynamic_cast<TLabel*>(pLabel);
  if (pTyped == nullptr) return nullptr;
  auto page = std::make_unique<TPage>();
  page.get()->*pEdited = pTyped;
  return page;
}

constexpr PageMaker TabStylePage = &PageOn<CGIS_IndexGridTabStylePage, IGIS_IndexGridTabStyle,
                                           &CGIS_IndexGridTabStylePage::m_pIndexGridTabStyle>;

struct LabelSheetRow {
  int nType;
  SheetMaker sheet;
  const char* szTitle;
  PageMaker page;
};

const LabelSheetRow kLabelSheets[] = {
    {GIS_GRIDLABEL_DMS, &Sheet<CGIS_PublicPropertySheet>, "经纬网DMS标注属性",
     &PageOn<CGIS_DMSLabelPage, IGIS_DMSGridLabel, &CGIS_DMSLabelPage::m_pDMSGridLabel>},
    {GIS_GRIDLABEL_MIXEDFONT, &Sheet<CGIS_PublicPropertySheet>, "方里网标注属性",
     &PageOn<CGIS_MixFontPage, IGIS_MixedFontGridLabel, &CGIS_MixFontPage::m_pMixedFontGridLabel>},
    {GIS_GRIDLABEL_INDEX_BACKGROUND, &Sheet<CGIS_PublicPropertySheet>, "索引网标注属性",
     &PageOn<CGIS_IndexGridTabelBackgroundPage, IGIS_IndexBackGroundTabStyle,
             &CGIS_IndexGridTabelBackgroundPage::m_pIndexGridTabStyle>},
    {GIS_GRIDLABEL_INDEX_BOTTON, &Sheet<CGIS_GridPropertySheet>, "索引网标注属性", TabStylePage},
    {GIS_GRIDLABEL_INDEX_CONTINUOUS, &Sheet<CGIS_GridPropertySheet>, "索引网标注属性", TabStylePage},
    {GIS_GRIDLABEL_INDEX_ROUNDED, &Sheet<CGIS_GridPropertySheet>, "索引网标注属性", TabStylePage},
};

// Runs the row's sheet with its one page on the label.
bool RunLabelPropertySheet(IGIS_GridLabel* pLabel) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  for (const LabelSheetRow& row : kLabelSheets) {
    if (pLabel == nullptr || row.nType != pLabel->GetType()) continue;
    std::unique_ptr<CPropertyPage> page = row.page(pLabel);
    if (page == nullptr) return false;
    std::unique_ptr<CPropertySheet> sheet = row.sheet();
    sheet->AddPage(page.get());
    sheet->SetTitle(row.szTitle);
    return sheet->DoModal() == IDOK;
  }
  return false;
}

// The formatted label edits only its numeric format, in the number-format
// dialog, which writes the format only when the user confirms.
bool RunFormattedLabelSheet(IGIS_GridLabel* pLabel) {
  auto* pFormatted = dynamic_cast<IGIS_FormattedGridLabel*>(pLabel);
  return pFormatted != nullptr && EditNumericFormat(pFormatted->GetNumericFormat()) != FALSE;
}

const struct Registration {
  Registration() {
    for (const LabelSheetRow& row : kLabelSheets)
      md::layout::label::SetLabelSheetRunner(row.nType, &RunLabelPropertySheet);
    md::layout::label::SetLabelSheetRunner(GIS_GRIDLABEL_FORMATTED, &RunFormattedLabelSheet);
  }
} g_registration;

}  // namespace
