// The picture element's own page: what kind of picture the element shows,
// and whether its bytes are kept in the document.
#pragma once

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class CGIS_PictureElement;
class IGIS_Element;
class IGIS_Display;

enum {
  IDD_GIS_PICTURE_PAGE = 1013,
  IDC_GIS_PICTURE_KEEP = 1046,         // three-state check box, toggled by the page
  IDC_GIS_PICTURE_DESCRIPTION = 1064,  // read-only edit
};

class CGIS_PicturePage : public CPropertyPage {
 public:
  // Keeps both pointers (not owned); the keep value starts at 0 and the
  // description empty.
  CGIS_PicturePage(CGIS_PictureElement* pElement, IGIS_Display* pDisplay);
  ~CGIS_PicturePage() override;

  // Moves the members into the controls; a picture kept already cannot be
  // un-kept here, so its check box is disabled.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // Longest description shown, in characters.
  static constexpr int kMaxDescription = 255;

  CButton m_checkKeep;
  int m_nKeepInDocument = 0;  // 0 or 1
  std::string m_strDescription;
  IGIS_Display* m_pDisplay = nullptr;
  CGIS_PictureElement* m_pElement = nullptr;

 private:
  // A click on the check box: the keep value turns over and the page is
  // marked modified.
  void OnKeepClicked();
};
