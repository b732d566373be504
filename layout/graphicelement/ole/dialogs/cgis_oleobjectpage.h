// The embedded-object sheet's page "对象": the object's class, whether it is
// embedded, linked or static, a link's source and whether it shows it, the
// button that opens the object in its server (the element's ActivateObject)
// and, for a link, the button that reads its source now (UpdateLink).
#pragma once

#include "platform/ui/propsheet.h"

class IGIS_Display;
class CGIS_OleElement;
class IGIS_Element;

enum {
  IDD_OLE_OBJECT = 3098,
  IDC_OLE_OBJECT_CLASS = 3100,
  IDC_OLE_OBJECT_KIND = 3101,
  IDC_OLE_OBJECT_SOURCE = 3102,
  IDC_OLE_OBJECT_OPEN = 3103,
  IDC_OLE_OBJECT_UPDATE = 3104,
};

class CGIS_OleObjectPage : public CPropertyPage {
 public:
  CGIS_OleObjectPage(IGIS_Element* pElement, IGIS_Display* pDisplay);

  // Shows the object as it is now; showing reads no link's source.
  BOOL OnSetActive() override;

 private:
  void ShowObject();
  // Opens the object in its server; what the server changed is in the
  // element at once (Cancel of the sheet puts the element back).
  void OnOpen();
  // Updates the link from its source and has the view redrawn; a source
  // that cannot be read is named with the reason.
  void OnUpdate();

  CGIS_OleElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
