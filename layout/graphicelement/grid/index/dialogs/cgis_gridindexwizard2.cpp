#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard2.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard1.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

// The grid wizard's finish page.
constexpr LRESULT kWizardFinishPage = 5173;

constexpr int kTextSize = 10;
constexpr int kBackgroundStyle = 0xD22;

// The tab styles in the order of their label types (4 to 7).
constexpr const char* kTabStyles[] = {"背景标注", "按钮标注", "连续标注", "圆角标注"};

// Remembered chooser states of the two symbol buttons.
int g_nBackgroundSymbolState = 0;
int g_nFontState = 0;

// A new text symbol of the size (in points), NULL when the library makes none.
IGIS_Symbol* NewTextSymbol(int nSize) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  md::basilo::ReleasePtr<IGIS_Symbol> symbol(pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_TEXT)
                                                                 : nullptr);
  IGIS_Symbol* pText = symbol != nullptr ? symbol->GetTextPart() : nullptr;
  if (pText == nullptr || pText->GetFontSizePtr() == nullptr) return nullptr;
  pText->GetFontSizePtr()->lfHeight = nSize;
  return symbol.release();
}

}  // namespace

CGIS_GridIndexWizard2::CGIS_GridIndexWizard2() : CPropertyPage(IDD_GIS_INDEX_WIZARD2) {
  MapClicked(IDC_GIS_IW_BACKGROUND, [this] { OnIndexWizardMarksymbol(); });
  MapClicked(IDC_GIS_IW_FONT, [this] { OnFont(); });
}

void CGIS_GridIndexWizard2::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_CBIndex(pDX, IDC_GIS_IW_TAB_STYLE, m_nTabStyle);
  DDX_Radio(pDX, IDC_GIS_IW_LETTER_COLUMNS, m_nLettering);
}

BOOL CGIS_GridIndexWizard2::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nLettering = 0;
  UpdateData(FALSE);
  if (m_pTextSymbol == nullptr) m_pTextSymbol.reset(NewTextSymbol(kTextSize));
  if (m_pSymbolPolygon == nullptr)
    m_pSymbolPolygon.reset(md::layout::NewStyledSymbol(md::layout::SymbolKind::Fill, kBackgroundStyle));
  if (auto* pStyles = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_IW_TAB_STYLE))) {
    pStyles->ResetContent();
    for (const char* szStyle : kTabStyles) pStyles->AddString(szStyle);
    pStyles->SetCurSel(0);
  }
  m_nTabStyle = 0;
  return TRUE;
}

BOOL CGIS_GridIndexWizard2::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridIndexWizard2::OnWizardBack() { return IDD_GIS_INDEX_WIZARD1; }

LRESULT CGIS_GridIndexWizard2::OnWizardNext() { return kWizardFinishPage; }

void CGIS_GridIndexWizard2::OnIndexWizardMarksymbol() {
  if (m_pSymbolPolygon == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridIndexWizard2::OnIndexWizardMarksymbol",
            "m_pSymbolPolygon == NULL");
    return;
  }
  md::layout::grid::ChooseHeldSymbol(&m_pSymbolPolygon, GIS_CHOOSE_FILL, &g_nBackgroundSymbolState);
}

void CGIS_GridIndexWizard2::OnFont() {
  md::layout::grid::ChooseHeldSymbol(&m_pTextSymbol, GIS_CHOOSE_TEXT, &g_nFontState);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridIndexWizard2> g_class("CGIS_GridIndexWizard2");
}  // namespace
