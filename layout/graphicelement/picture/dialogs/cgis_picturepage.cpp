// The picture page: data exchange and the keep-in-document check box.
#include "layout/graphicelement/picture/dialogs/cgis_picturepage.h"

CGIS_PicturePage::CGIS_PicturePage(CGIS_PictureElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_GIS_PICTURE_PAGE), m_pDisplay(pDisplay), m_pElement(pElement) {
  MapClicked(IDC_GIS_PICTURE_KEEP, [this] { OnKeepClicked(); });
}

CGIS_PicturePage::~CGIS_PicturePage() {
  m_pDisplay = nullptr;
  m_pElement = nullptr;
}

void CGIS_PicturePage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_GIS_PICTURE_KEEP, m_checkKeep);
  DDX_Check(pDX, IDC_GIS_PICTURE_KEEP, m_nKeepInDocument);
  DDX_Text(pDX, IDC_GIS_PICTURE_DESCRIPTION, m_strDescription);
  DDV_MaxChars(pDX, m_strDescription, kMaxDescription);
}

BOOL CGIS_PicturePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (m_nKeepInDocument != 0) m_checkKeep.EnableWindow(FALSE);
  return TRUE;
}

void CGIS_PicturePage::OnKeepClicked() {
  m_nKeepInDocument = m_nKeepInDocument == 0 ? 1 : 0;
  SetModified(TRUE);
  UpdateData(FALSE);
}
