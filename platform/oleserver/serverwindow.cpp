// The servers' shared window and their installation.
#include "platform/oleserver/serverwindow.h"

#include "platform/ole/objectclass.h"
#include "platform/oleserver/oleservers.h"
#include "platform/ui/app.h"

namespace md::oleserver {

CServerWindow::CServerWindow(UINT templateId, const md::ole::ServerRequest& request)
    : CDialog(templateId), m_request(request) {}

BOOL CServerWindow::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText((Object().Class().userType + " - " + m_request.title).c_str());
  return TRUE;
}

bool CServerWindow::Keep(std::vector<std::uint8_t> content) {
  std::string error;
  const md::ole::ObjectClass& c = Object().Class();
  std::unique_ptr<md::ole::EmbeddedObject> object =
      c.createFromContent ? c.createFromContent(std::move(content), &error) : nullptr;
  if (object == nullptr) {
    AfxMessageBox(("无法保存" + c.userType + "：\n" + error).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  m_pKept = std::move(object);
  return true;
}

md::ole::ServerResult CServerWindow::Run() {
  md::ole::ServerResult result;
  if (m_request.pObject == nullptr) return result;
  const INT_PTR answer = DoModal();
  result.bStarted = answer != -1;
  result.bConfirmed = answer == IDOK;
  if (answer == IDOK) result.pSaved = std::move(m_pKept);
  return result;
}

void InstallServers() {
  md::ole::SetObjectServer(md::ole::TextDocumentClass().clsid, &RunTextDocumentServer);
  md::ole::SetObjectServer(md::ole::PictureClass().clsid, &RunPictureServer);
}

void RemoveServers() {
  md::ole::SetObjectServer(md::ole::TextDocumentClass().clsid, {});
  md::ole::SetObjectServer(md::ole::PictureClass().clsid, {});
}

}  // namespace md::oleserver
