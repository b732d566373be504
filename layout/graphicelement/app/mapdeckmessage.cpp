// Message boxes of the library's models and dialogs.
#include "layout/graphicelement/app/mapdeckmessage.h"

#include "platform/ui/app.h"

namespace md::layout {

int HostMessageBox(const char* szText, UINT nType) { return AfxMessageBox(szText, nType, 0); }

int LibraryMessageBox(const char* szText, UINT nType, UINT nHelpId) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return AfxMessageBox(szText, nType, nHelpId);
}

}  // namespace md::layout
