// The embedded-object sheet's page "对象": the object's class, whether it is
// embedded, linked or static, a link's source, and the button that opens the
// object in its server (the element's ActivateObject).
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
};

class CGIS_OleObjectPage : public CPropertyPage {
 public:
  CGIS_OleObjectPage(IGIS_Element* pElement, IGIS_Display* pDisplay);

  // Shows the object as it is now.
  BOOL OnSetActive() override;

 private:
  void ShowObject();
  // Opens the object in its server; what the server changed is in the
  // element at once (Cancel of the sheet puts the element back).
  void OnOpen();

  CGIS_OleElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
