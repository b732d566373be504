// The text element's content page "内容": the text, its text symbol (font)
// and the import of the text from a file.
#pragma once

#include <cstddef>
#include <string>

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_Element;

enum {
  IDD_ELEMENT_TEXT = 30979,
  IDC_ELEMENT_TEXT_EDIT = 1040,
  IDC_ELEMENT_TEXT_FONT = 3009,
  IDC_ELEMENT_TEXT_IMPORT = 3114,
};

// The filter of the import's file dialog.
#define GIS_TEXT_IMPORT_FILTER                                                                               \
  "Supported Types  (*.txt;*.ini;*.dat;)|*.txt;*.ini;*.dat;|text (*.txt)|*.txt|ini Files (*.ini)|*.ini|Dat " \
  "Files (*.dat)|*.dat|"

class CGIS_DlgElementText : public CPropertyPage {
 public:
  // A page with no element: it neither reads nor writes one.
  CGIS_DlgElementText() : CGIS_DlgElementText(nullptr, nullptr) {}
  CGIS_DlgElementText(IGIS_Element* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  // Reads the element's text.
  BOOL OnSetActive() override;
  // Writes the text into the element.
  BOOL OnKillActive() override;
  BOOL OnApply() override;

  std::string m_strText;

 private:
  // Gives the element the page's text when it differs from the element's.
  void WriteText();
  void OnFont();
  void OnImport();

  IGIS_Element* m_pElement;
  IGIS_Display* m_pDisplay;
};

namespace md::layout {
// Most bytes a text file imported into a text element may hold.
constexpr std::size_t kMaxTextFileBytes = 1u << 20;
// The text of a file read line by line, each line ending in one line feed
// (a carriage return before a line feed is dropped); false when the file is
// not a regular file, is larger than kMaxTextFileBytes or cannot be read.
bool ReadTextFileLines(const std::string& path, std::string* pText);
}  // namespace md::layout
