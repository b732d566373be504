// Application objects, module states, message boxes, strings, file dialogs
// and the class-name registry.
#include "platform/ui/app.h"

#include <map>
#include <mutex>

#include "platform/ui/driver.h"
#include "platform/ui/resources.h"

namespace {

// The module state in force is the thread's own: a library loaded on a
// worker thread sets and restores it there, not under the UI thread's feet.
AFX_MODULE_STATE*& CurrentState() {
  thread_local AFX_MODULE_STATE* current = nullptr;
  return current;
}

std::string& HostAppName() {
  static std::string name = "GIS";
  return name;
}

// The program's own application object, used when a module has none.
CWinApp& HostApp() {
  static CWinApp app(nullptr, AfxGetAppModuleState());
  return app;
}

std::vector<md::ui::MessageBoxRecord>& Log() {
  static std::vector<md::ui::MessageBoxRecord> log;
  return log;
}

// Window classes by name; libraries register theirs as they load, which may
// be on any thread.
struct WindowClasses {
  std::mutex mutex;
  std::map<std::string, md::ui::WindowFactory> factories;
};
WindowClasses& Classes() {
  static WindowClasses classes;
  return classes;
}

}  // namespace

// ---- module states -------------------------------------------------------------------

AFX_MODULE_STATE::AFX_MODULE_STATE(const char* name) : m_name(name ? name : "") {}

AFX_MODULE_STATE* AfxGetAppModuleState() {
  static AFX_MODULE_STATE state("application");
  return &state;
}

AFX_MODULE_STATE* AfxGetModuleState() {
  AFX_MODULE_STATE* s = CurrentState();
  return s ? s : AfxGetAppModuleState();
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state) : previous_(CurrentState()) {
  if (state) CurrentState() = state;
}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() { CurrentState() = previous_; }

// ---- application objects --------------------------------------------------------------

CWinApp::CWinApp(LPCTSTR appName, AFX_MODULE_STATE* module)
    : m_pszAppName(appName ? appName : ""), module_(module ? module : AfxGetModuleState()) {
  module_->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp() {
  if (module_->m_pCurrentWinApp == this) module_->m_pCurrentWinApp = nullptr;
}

void CWinApp::EnableModeless(BOOL enable) { m_nModelessDisabled += enable ? -1 : 1; }

int CWinApp::DoMessageBox(LPCTSTR prompt, UINT type, UINT) {
  // Boxes that name no icon get the usual one for their buttons.
  if ((type & MB_ICONMASK) == 0) {
    switch (type & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        type |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        type |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  HWND top = nullptr;
  CWnd::GetSafeOwner(nullptr, &top);
  std::string caption = m_pszAppName.empty() ? HostAppName() : m_pszAppName;
  return ::MessageBox(top, prompt, caption.c_str(), type);
}

CWinApp* AfxGetApp() {
  CWinApp* app = AfxGetModuleState()->m_pCurrentWinApp;
  return app ? app : &HostApp();
}

void AfxSetHostAppName(LPCTSTR name) { HostAppName() = name ? name : ""; }

int AfxMessageBox(LPCTSTR text, UINT type, UINT helpId) {
  return AfxGetApp()->DoMessageBox(text ? text : "", type, helpId);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
  std::string text = AfxLoadString(stringId);
  return AfxMessageBox(text.c_str(), type, helpId == UINT(-1) ? stringId : helpId);
}

int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type) {
  md::ui::MessageBoxRecord record;
  record.text = text ? text : "";
  record.caption = caption ? caption : "错误";
  record.type = type;
  record.owner = owner;
  md::ui::ModalDriver* driver = md::ui::GetModalDriver();
  record.answer = driver ? driver->AnswerMessageBox(record) : md::ui::DefaultMessageBoxAnswer(type, true);
  Log().push_back(record);
  return record.answer;
}

// ---- strings ---------------------------------------------------------------------------

BOOL AfxLoadString(UINT id, std::string& text) {
  const std::string* s = md::ui::FindResourceString(id);
  text = s ? *s : std::string();
  return s != nullptr;
}

std::string AfxLoadString(UINT id) {
  std::string t;
  AfxLoadString(id, t);
  return t;
}

namespace md::ui {

const std::vector<MessageBoxRecord>& MessageBoxLog() { return Log(); }
void ClearMessageBoxLog() { Log().clear(); }

int DefaultMessageBoxAnswer(UINT type, bool cancelLike) {
  switch (type & MB_TYPEMASK) {
    case MB_OK:
      return IDOK;
    case MB_OKCANCEL:
      return cancelLike ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    case MB_YESNOCANCEL:
      return cancelLike ? IDCANCEL : IDYES;
    case MB_YESNO:
      return cancelLike ? IDNO : IDYES;
    case MB_RETRYCANCEL:
      return cancelLike ? IDCANCEL : IDRETRY;
    default:
      return IDOK;
  }
}

void RegisterWindowClass(const char* className, WindowFactory factory) {
  if (!className || !factory) return;
  std::lock_guard<std::mutex> lock(Classes().mutex);
  Classes().factories[className] = factory;
}

CWnd* CreateWindowObject(const char* className) {
  if (!className) return nullptr;
  WindowFactory factory = nullptr;
  {
    std::lock_guard<std::mutex> lock(Classes().mutex);
    auto it = Classes().factories.find(className);
    if (it != Classes().factories.end()) factory = it->second;
  }
  return factory ? factory() : nullptr;
}

}  // namespace md::ui

// ---- file dialogs ------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL openFileDialog, LPCTSTR defaultExt, LPCTSTR fileName, DWORD flags,
                         LPCTSTR filter, CWnd*)
    : open_(openFileDialog != FALSE),
      defaultExt_(defaultExt ? defaultExt : ""),
      initialName_(fileName ? fileName : "") {
  m_ofn.Flags = flags;
  std::string f = filter ? filter : "";
  std::vector<std::string> parts;
  std::string cur;
  for (char c : f) {
    if (c == '|') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;
    filters_.emplace_back(parts[i], parts[i + 1]);
  }
}

INT_PTR CFileDialog::DoModal() {
  md::ui::ModalDriver* driver = md::ui::GetModalDriver();
  if (!driver) return IDCANCEL;
  md::ui::FileDialogAnswer answer = driver->AnswerFileDialog(*this);
  if (!answer.ok) return IDCANCEL;
  path_ = answer.path;
  if (open_ == false && !defaultExt_.empty() && GetFileExt().empty()) path_ += "." + defaultExt_;
  m_ofn.nFilterIndex = static_cast<DWORD>(answer.filterIndex > 0 ? answer.filterIndex : 1);
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  size_t slash = path_.find_last_of("/\\");
  return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
  std::string name = GetFileName();
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
