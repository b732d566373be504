// The object page of the embedded-object sheet.
#include "layout/graphicelement/ole/dialogs/cgis_oleobjectpage.h"

#include <string>

#include "host/display/igis_display.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/ole/cgis_oleclientitem.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "platform/ole/objectclass.h"
#include "platform/ui/app.h"

CGIS_OleObjectPage::CGIS_OleObjectPage(IGIS_Element* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_OLE_OBJECT),
      m_pElement(dynamic_cast<CGIS_OleElement*>(pElement)),
      m_pDisplay(pDisplay) {
  MapClicked(IDC_OLE_OBJECT_OPEN, [this] { OnOpen(); });
  MapClicked(IDC_OLE_OBJECT_UPDATE, [this] { OnUpdate(); });
}

BOOL CGIS_OleObjectPage::OnSetActive() {
  ShowObject();
  return CPropertyPage::OnSetActive();
}

void CGIS_OleObjectPage::ShowObject() {
  CGIS_OleClientItem* pItem = m_pElement != nullptr ? m_pElement->GetClientItem() : nullptr;
  const md::ole::EmbeddedObject* pObject = pItem != nullptr ? pItem->GetObject() : nullptr;
  std::string kind = "无对象", source;
  if (pObject != nullptr) {
    static const char* const kKinds[] = {"", "链接", "嵌入", "静态"};
    kind = kKinds[pItem->UpdateItemType()];
    source = pItem->GetLinkSource();
  }
  const bool bLink = !source.empty();
  if (bLink && !pItem->IsLinkFollowing())
    source += "（未更新，显示保存的内容）";
  else if (bLink && pItem->IsLinkUnavailable())
    source += "（无法访问，显示上次的内容）";
  SetDlgItemText(IDC_OLE_OBJECT_CLASS, pObject != nullptr ? pObject->Class().userType.c_str() : "");
  SetDlgItemText(IDC_OLE_OBJECT_KIND, kind.c_str());
  SetDlgItemText(IDC_OLE_OBJECT_SOURCE, bLink ? source.c_str() : "—");
  if (CWnd* pOpen = GetDlgItem(IDC_OLE_OBJECT_OPEN))
    pOpen->EnableWindow(pObject != nullptr && !pObject->IsStatic());
  if (CWnd* pUpdate = GetDlgItem(IDC_OLE_OBJECT_UPDATE)) pUpdate->EnableWindow(bLink);
}

void CGIS_OleObjectPage::OnUpdate() {
  CGIS_OleClientItem* pItem = m_pElement != nullptr ? m_pElement->GetClientItem() : nullptr;
  if (pItem == nullptr) return;
  if (m_pElement->UpdateLink()) {
    IGIS_DisplayView* pView = m_pDisplay != nullptr ? m_pDisplay->GetView() : nullptr;
    if (pView != nullptr) pView->Redraw(0, 1);
  } else {
    AfxMessageBox(("无法更新链接：\n" + pItem->GetLastErrorText()).c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  ShowObject();
}

void CGIS_OleObjectPage::OnOpen() {
  if (m_pElement == nullptr) return;
  m_pElement->ActivateObject(m_pDisplay);
  ShowObject();
  // The size page, once shown, shows the size the object's closing gave.
  if (CPropertySheet* pSheet = GetSheet()) {
    for (int i = 0; i < pSheet->GetPageCount(); ++i) {
      auto* pSize = dynamic_cast<CSizeAndPosition*>(pSheet->GetPage(i));
      if (pSize != nullptr && pSize->IsCreated()) pSize->OnSetActive();
    }
  }
}
