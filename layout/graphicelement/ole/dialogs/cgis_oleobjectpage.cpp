// The object page of the embedded-object sheet.
#include "layout/graphicelement/ole/dialogs/cgis_oleobjectpage.h"

#include <string>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/ole/cgis_oleclientitem.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "platform/ole/objectclass.h"

CGIS_OleObjectPage::CGIS_OleObjectPage(IGIS_Element* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_OLE_OBJECT),
      m_pElement(dynamic_cast<CGIS_OleElement*>(pElement)),
      m_pDisplay(pDisplay) {
  MapClicked(IDC_OLE_OBJECT_OPEN, [this] { OnOpen(); });
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
    if (!source.empty() && !pItem->UpdateLink()) source += "（无法访问，显示上次的内容）";
  }
  SetDlgItemText(IDC_OLE_OBJECT_CLASS, pObject != nullptr ? pObject->Class().userType.c_str() : "");
  SetDlgItemText(IDC_OLE_OBJECT_KIND, kind.c_str());
  SetDlgItemText(IDC_OLE_OBJECT_SOURCE, source.empty() ? "—" : source.c_str());
  if (CWnd* pOpen = GetDlgItem(IDC_OLE_OBJECT_OPEN))
    pOpen->EnableWindow(pObject != nullptr && !pObject->IsStatic());
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
