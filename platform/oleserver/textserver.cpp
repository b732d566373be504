// The text document's server: an editor of the document's text.
#include <memory>
#include <string>

#include "platform/ole/objectclass.h"
#include "platform/ole/server.h"
#include "platform/oleserver/oleservers.h"
#include "platform/oleserver/serverwindow.h"
#include "platform/ui/ui.h"

namespace md::oleserver {
namespace {

constexpr int kMaxChars = 1 << 20;

// The text as the edit shows it: every line ended by CR LF.
std::string ToEdit(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::uint8_t c : bytes) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += static_cast<char>(c);
  }
  return out;
}

// The edit's text as the document keeps it: lines ended by LF.
std::string FromEdit(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

class CTextDocumentServer : public CServerWindow {
 public:
  explicit CTextDocumentServer(const md::ole::ServerRequest& request)
      : CServerWindow(IDD_TEXT_SERVER, request) {}

  BOOL OnInitDialog() override {
    CServerWindow::OnInitDialog();
    m_original = FromEdit(ToEdit(Object().Content()));
    if (auto* pEdit = static_cast<CEdit*>(GetDlgItem(IDC_TEXT_SERVER_EDIT))) {
      pEdit->LimitText(kMaxChars);
      pEdit->SetWindowText(ToEdit(Object().Content()).c_str());
    }
    return TRUE;
  }

  void OnOK() override {
    std::string text;
    GetDlgItemText(IDC_TEXT_SERVER_EDIT, text);
    text = FromEdit(text);
    // Unchanged text saves nothing.
    if (text != m_original && !Keep(std::vector<std::uint8_t>(text.begin(), text.end()))) return;
    CDialog::OnOK();
  }

 private:
  std::string m_original;
};

}  // namespace

md::ole::ServerResult RunTextDocumentServer(const md::ole::ServerRequest& request) {
  CTextDocumentServer window(request);
  return window.Run();
}

}  // namespace md::oleserver
