// What the pages of the index tab styles' dialogs share: the style they
// edit, the fill and outline symbol buttons (the symbols reach the style at
// once), the band's thickness (1 to 1000000, 0.01 mm) and whether the
// bands lie outside the frame (written when the page is left and on Apply).
// A page derives from CGIS_IndexTabPageBase<its style's interface> and adds
// its own fields through ReadOwn and WriteOwn.
#pragma once

#include <string>

#include "platform/ui/propsheet.h"

enum {
  IDC_GIS_TAB_FILL = 5267,
  IDC_GIS_TAB_OUTLINE = 5268,
  IDC_GIS_TAB_THICKNESS = 5313,
};

template <class TStyle>
class CGIS_IndexTabPageBase : public CPropertyPage {
 public:
  // TRUE exactly when a tab style is set.
  BOOL OnInitDialog() override;
  // Reads the style; refused (with a level-3 record) without one.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The style the page edits (not owned); NULL until its dialog sets it.
  TStyle* m_pIndexGridTabStyle = nullptr;
  int m_nThickness = 0;
  int m_nInside = 0;

 protected:
  // The page's template, its inside box and its class name (for records).
  CGIS_IndexTabPageBase(UINT nTemplateId, int nInsideId, const char* szClass);

  // The page's own fields, read after and written after the common ones.
  virtual void ReadOwn() {}
  virtual void WriteOwn() {}

 private:
  // Validates and writes the style; false (nothing written) when a field
  // is refused.
  bool WriteStyle();
  void OnForeground();
  void OnOutline();

  // Remembered chooser states of the two symbol buttons of this page class.
  static int s_nForegroundState;
  static int s_nOutlineState;

  int m_nInsideId;
  std::string m_class;
};
