// The picture sheet, its Apply button, and its installation as the picture
// element's property sheet.
#include "layout/graphicelement/picture/dialogs/cgis_picturesheet.h"

#include "host/display/igis_display.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/picture/cgis_pictureelement.h"

namespace {
constexpr UINT IDS_GIS_PROPERTY_SHEET = 3047;
}  // namespace

CGIS_PictureSheet::CGIS_PictureSheet(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, CWnd* pParent)
    : CPropertySheet(IDS_GIS_PROPERTY_SHEET, pParent, 0), m_pElement(pElement), m_pDisplay(pDisplay) {
  m_pFramePage = new CLayoutFrame(pElement, pDisplay);
  m_pSizePage = new CSizeAndPosition(pElement, pDisplay);
  m_pPicturePage = new CGIS_PicturePage(pElement, pDisplay);
  AddPage(m_pPicturePage);
  AddPage(m_pFramePage);
  AddPage(m_pSizePage);
  MapClicked(ID_APPLY_NOW, [this] { OnApplyNow(); });
}

CGIS_PictureSheet::~CGIS_PictureSheet() {
  delete m_pPicturePage;
  delete m_pFramePage;
  delete m_pSizePage;
  m_pPicturePage = nullptr;
  m_pFramePage = nullptr;
  m_pSizePage = nullptr;
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

bool CGIS_PictureSheet::Run(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pPicture = dynamic_cast<CGIS_PictureElement*>(pElement);
  if (pPicture == nullptr) return false;
  CGIS_PictureSheet sheet(pPicture, pDisplay, nullptr);
  sheet.SetTitle(szTitle != nullptr ? szTitle : "", 0);
  sheet.GetFramePage()->m_pFrame = pPicture->GetFramePropertyPtr();
  CGIS_PicturePage* pPage = sheet.GetPicturePage();
  pPage->m_nKeepInDocument = pPicture->IsSaveInDoc() ? 1 : 0;
  pPage->m_strDescription = pPicture->GetPictureDescription();
  if (sheet.DoModal() != IDOK) return false;
  pPicture->ArchivePictureData(pPage->m_nKeepInDocument == 1);
  return true;
}

namespace {
// Registered as the picture element's sheet when the library loads.
struct RegisterPictureSheet {
  RegisterPictureSheet() {
    md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, &CGIS_PictureSheet::Run);
  }
} g_registerPictureSheet;
}  // namespace
