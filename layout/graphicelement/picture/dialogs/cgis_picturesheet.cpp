// The picture sheet, its Apply button, and its installation as the picture
// element's property sheet.
#include "layout/graphicelement/picture/dialogs/cgis_picturesheet.h"

#include "host/display/igis_display.h"
#include "layout/graphicelement/picture/cgis_pictureelement.h"
#include "platform/ui/app.h"

namespace {
constexpr UINT IDS_GIS_PROPERTY_SHEET = 3047;
}  // namespace

CGIS_PictureSheet::CGIS_PictureSheet(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, CWnd* pParent)
    : CPropertySheet(IDS_GIS_PROPERTY_SHEET, pParent, 0), m_pElement(pElement), m_pDisplay(pDisplay) {
  m_pPicturePage = new CGIS_PicturePage(pElement, pDisplay);
  AddPage(m_pPicturePage);
  MapClicked(ID_APPLY_NOW, [this] { OnApplyNow(); });
}

CGIS_PictureSheet::~CGIS_PictureSheet() {
  delete m_pPicturePage;
  m_pPicturePage = nullptr;
  m_pElement = nullptr;
  m_pDisplay = nullptr;
}

void CGIS_PictureSheet::OnApplyNow() {
  if (CPropertyPage* pActive = GetActivePage()) pActive->OnApply();
  if (m_pDisplay == nullptr) return;
  IGIS_DisplayView* pView = m_pDisplay->GetView();
  if (pView == nullptr) return;
  pView->Redraw(0, TRUE);
  for (int i = 0; i < GetPageCount(); ++i) GetPage(i)->SetModified(FALSE);
}

bool CGIS_PictureSheet::Run(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, const char* szTitle,
                            int* pKeepInDocument, const char* szDescription) {
  // Templates, strings and message boxes of the sheet are the library's.
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CGIS_PictureSheet sheet(pElement, pDisplay, nullptr);
  sheet.SetTitle(szTitle != nullptr ? szTitle : "", 0);
  CGIS_PicturePage* pPage = sheet.GetPicturePage();
  pPage->m_nKeepInDocument = pKeepInDocument != nullptr && *pKeepInDocument != 0 ? 1 : 0;
  pPage->m_strDescription = szDescription != nullptr ? szDescription : "";
  if (sheet.DoModal() != IDOK) return false;
  if (pKeepInDocument != nullptr) *pKeepInDocument = pPage->m_nKeepInDocument;
  return true;
}

namespace {
// The picture element runs this sheet from the time the library is loaded.
struct InstallPictureSheet {
  InstallPictureSheet() { CGIS_PictureElement::SetPropertySheetRunner(&CGIS_PictureSheet::Run); }
} g_installPictureSheet;
}  // namespace
