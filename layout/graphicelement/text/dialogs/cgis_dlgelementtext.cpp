// The text element's content page.
#include "layout/graphicelement/text/dialogs/cgis_dlgelementtext.h"

#include <fstream>

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/ui/app.h"

namespace {
int g_nTextChooserState = 0;

IGIS_TextElement* AsText(IGIS_Element* pElement) { return dynamic_cast<IGIS_TextElement*>(pElement); }
}  // namespace

namespace md::layout {
bool ReadTextFileLines(const std::string& path, std::string* pText) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;
  std::string text;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += line;
    text += '\n';
  }
  if (in.bad()) return false;
  *pText = std::move(text);
  return true;
}
}  // namespace md::layout

CGIS_DlgElementText::CGIS_DlgElementText(IGIS_Element* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_ELEMENT_TEXT), m_pElement(AsText(pElement)), m_pDisplay(pDisplay) {
  MapClicked(IDC_ELEMENT_TEXT_FONT, [this] { OnFont(); });
  MapClicked(IDC_ELEMENT_TEXT_IMPORT, [this] { OnImport(); });
  MapCommand(EN_CHANGE, IDC_ELEMENT_TEXT_EDIT, [this] {
    if (!IsExchangingData()) SetModified(TRUE);
  });
}

void CGIS_DlgElementText::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_ELEMENT_TEXT_EDIT, m_strText);
}

BOOL CGIS_DlgElementText::OnSetActive() {
  if (IGIS_TextElement* pText = AsText(m_pElement)) {
    const char* szText = pText->GetText();
    m_strText = szText != nullptr ? szText : "";
  }
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_DlgElementText::OnKillActive() {
  UpdateData(TRUE);
  if (IGIS_TextElement* pText = AsText(m_pElement)) pText->SetText(m_strText.c_str());
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_DlgElementText::OnApply() {
  UpdateData(TRUE);
  if (IGIS_TextElement* pText = AsText(m_pElement)) pText->SetText(m_strText.c_str());
  return CPropertyPage::OnApply();
}

void CGIS_DlgElementText::OnFont() {
  IGIS_TextElement* pText = AsText(m_pElement);
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pText == nullptr || pChooser == nullptr) return;
  if (pChooser->Run(pText->GetSymbolPtr(), GIS_CHOOSE_TEXT, &g_nTextChooserState, 0, 0) != TRUE) return;
  if (IGIS_Symbol* pResult = pChooser->GetResult()) {
    pText->SetSymbolPtr(pResult->GetTextPart());
    pResult->Release();
  }
  SetModified(TRUE);
}

void CGIS_DlgElementText::OnImport() {
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, GIS_TEXT_IMPORT_FILTER,
                  nullptr);
  if (dlg.DoModal() == IDOK) {
    std::string text;
    // A file that cannot be read leaves the page's text as it was.
    if (md::layout::ReadTextFileLines(dlg.GetPathName(), &text)) {
      m_strText = std::move(text);
      SetModified(TRUE);
    }
  }
  UpdateData(FALSE);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_DlgElementText> g_textPageClass("CGIS_DlgElementText");
}  // namespace
