// The page of the scale text sheet: absolute or relative style, the page and
// map units with their labels, the number format and the text font, with a
// preview of the element's text. Every change goes to the element at once
// and has it recompose its text.
#pragma once

#include <string>

#include "platform/ui/ccombobox.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleTextElement;
class IGIS_Symbol;

class CGIS_ScaleText : public CPropertyPage {
 public:
  CGIS_ScaleText(IGIS_ScaleTextElement* pElement = nullptr, IGIS_Display* pDisplay = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  std::string m_strMapUnitLabel;
  int m_nMapUnit = -1;
  std::string m_strPageUnitLabel;
  int m_nPageUnit = -1;
  int m_nStyle = 0;  // 0 absolute, 1 relative
  std::string m_strPreview;

 private:
  void WriteElement();
  void EnableUnitControls(bool bEnable);
  // Recomposes the element's text, shows it and marks the page modified.
  void Recompose();
  void OnStyle(int nStyle);
  void OnPageUnit();
  void OnMapUnit();
  void OnLabelLeft(bool bMapLabel);
  void OnFont();
  // Edits the element's numeric format in the number-format dialog; after OK
  // the text is composed again.
  void OnNumberFormat();

  IGIS_ScaleTextElement* m_pElement;
  IGIS_Display* m_pDisplay;
  IGIS_Symbol* m_pSymbol = nullptr;  // the element's, as last read
  CComboBox m_comboPageUnit, m_comboMapUnit;
};
