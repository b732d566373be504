// Application objects, module states, message boxes, strings, file dialogs
// and creation of windows by class name.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/wnd.h"

class CWinApp;

// Which module's application object answers framework calls (AfxGetApp,
// AfxMessageBox). Each library keeps one and makes it current for the rest
// of a call with AFX_MANAGE_STATE.
class AFX_MODULE_STATE {
 public:
  explicit AFX_MODULE_STATE(const char* name);
  CWinApp* m_pCurrentWinApp = nullptr;
  std::string m_name;
};

// The program's own module state (the host application's).
AFX_MODULE_STATE* AfxGetAppModuleState();
// The module state current now.
AFX_MODULE_STATE* AfxGetModuleState();
// Each library defines this for itself, returning its own module state.
AFX_MODULE_STATE* AfxGetStaticModuleState();

// Makes a module state current until the end of the scope.
class AFX_MAINTAIN_STATE2 {
 public:
  explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* state);
  ~AFX_MAINTAIN_STATE2();
  AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
  AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

 private:
  AFX_MODULE_STATE* previous_;
};
#define AFX_MANAGE_STATE(state) AFX_MAINTAIN_STATE2 md_afx_manage_state_guard_(state)

class CWinApp {
 public:
  // Attaches itself to `module` (the current module state when null).
  explicit CWinApp(LPCTSTR appName = nullptr, AFX_MODULE_STATE* module = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  // Every framework message box of this module goes through here; a library
  // overrides it to give its boxes their caption and icons.
  virtual int DoMessageBox(LPCTSTR prompt, UINT type, UINT helpId);
  virtual void EnableModeless(BOOL enable);

  std::string m_pszAppName;
  DWORD m_dwPromptContext = 0;  // help context of the box being shown
  int m_nModelessDisabled = 0;

 private:
  AFX_MODULE_STATE* module_;
};

CWinApp* AfxGetApp();
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = UINT(-1));
// The caption of message boxes of the program's own application object.
void AfxSetHostAppName(LPCTSTR name);

// Strings from the string table of the resources.
BOOL AfxLoadString(UINT id, std::string& text);
std::string AfxLoadString(UINT id);

namespace md::ui {

// Every message box shown, in order, with the answer it got.
struct MessageBoxRecord {
  std::string text;
  std::string caption;
  UINT type = 0;
  int answer = 0;
  HWND owner = nullptr;
};
const std::vector<MessageBoxRecord>& MessageBoxLog();
void ClearMessageBoxLog();

// Pages and dialogs that can be made from their class name alone.
using WindowFactory = CWnd* (*)();
void RegisterWindowClass(const char* className, WindowFactory factory);
// A new object of the named class, or null for an unknown name.
CWnd* CreateWindowObject(const char* className);

template <class T>
struct WindowClassRegistration {
  explicit WindowClassRegistration(const char* className) {
    RegisterWindowClass(className, []() -> CWnd* { return new T; });
  }
};

}  // namespace md::ui

// The file-open and file-save dialogs. The filter is the usual
// "description|patterns|description|patterns||" text.
struct OPENFILENAME_LITE {
  DWORD Flags = 0;
  DWORD nFilterIndex = 1;  // 1-based
};

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, LPCTSTR defaultExt = nullptr, LPCTSTR fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR filter = nullptr,
              CWnd* parent = nullptr);
  virtual ~CFileDialog() = default;
  // IDOK when the driver chose a file, IDCANCEL otherwise.
  virtual INT_PTR DoModal();

  std::string GetPathName() const { return path_; }
  std::string GetFileName() const;
  std::string GetFileExt() const;

  // (description, patterns) pairs of the filter, in order.
  const std::vector<std::pair<std::string, std::string>>& GetFilters() const { return filters_; }

  OPENFILENAME_LITE m_ofn;

 private:
  bool open_;
  std::string defaultExt_;
  std::string initialName_;
  std::vector<std::pair<std::string, std::string>> filters_;
  std::string path_;
};
