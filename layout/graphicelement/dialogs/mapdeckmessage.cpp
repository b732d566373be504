// Message boxes of the library's dialogs, and the user interface the models
// reach through element/userinterface.h, installed while the library is loaded.
#include "layout/graphicelement/dialogs/mapdeckmessage.h"

#include "layout/graphicelement/element/userinterface.h"
#include "platform/ui/app.h"

namespace md::layout {
namespace {

class FrameworkUserInterface final : public IUserInterface {
 public:
  int HostMessageBox(const char* szText, UINT nType) override { return AfxMessageBox(szText, nType, 0); }
};

struct Installation {
  FrameworkUserInterface ui;
  Installation() { SetUserInterface(&ui); }
  ~Installation() { SetUserInterface(nullptr); }
} g_installation;

}  // namespace

int LibraryMessageBox(const char* szText, UINT nType, UINT nHelpId) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return AfxMessageBox(szText, nType, nHelpId);
}

}  // namespace md::layout
