// The text element's content page.
#include "layout/graphicelement/text/dialogs/cgis_dlgelementtext.h"

#include <cstdint>
#include <string>
#include <vector>

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/files/filestore.h"
#include "platform/ui/app.h"

namespace {
int g_nTextChooserState = 0;

IGIS_TextElement* AsText(IGIS_Element* pElement) { return dynamic_cast<IGIS_TextElement*>(pElement); }
}  // namespace

namespace md::layout {
bool ReadTextFileLines(const std::string& path, std::string* pText) {
  std::vector<std::uint8_t> bytes;
  std::string why;
  if (!md::files::ReadWholeFile(path.c_str(), kMaxTextFileBytes, &bytes, &why)) return false;
  // Lines end in "\n" whatever ended them in the file ("\r\n" or "\n"); the
  // last one too.
  std::string text;
  text.reserve(bytes.size() + 1);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    std::size_t stop = end;
    if (stop > start && bytes[stop - 1] == '\r') --stop;
    text.append(reinterpret_cast<const char*>(bytes.data()) + start, stop - start);
    text += '\n';
    start = end + 1;
  }
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

void CGIS_DlgElementText::WriteText() {
  UpdateData(TRUE);
  IGIS_TextElement* pText = AsText(m_pElement);
  if (pText == nullptr) return;
  // Setting a text lays its outline anew: an unchanged text keeps the
  // outline it has.
  const char* szNow = pText->GetText();
  if (szNow != nullptr && m_strText == szNow) return;
  pText->SetText(m_strText.c_str());
}

BOOL CGIS_DlgElementText::OnKillActive() {
  WriteText();
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_DlgElementText::OnApply() {
  WriteText();
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
