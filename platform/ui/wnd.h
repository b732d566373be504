// Windows of the headless dialog framework. A window is a record kept by the
// framework (its HWND names it); a CWnd object is attached to it, either one
// the program made (a dialog, a page, a control member bound by DDX_Control)
// or one the framework made for it. Controls tell their parent about changes
// with WM_COMMAND and WM_NOTIFY; a parent routes them to the handlers it
// mapped with MapCommand / MapNotify (the message map of this framework).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/uidefs.h"
#include "platform/win/wintypes.h"

namespace md::ui::detail {
struct WindowState;
}

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;

  // The attached object of a window, or null for a window that does not exist.
  static CWnd* FromHandle(HWND hwnd);
  HWND GetSafeHwnd() const { return m_hWnd; }
  BOOL IsWindow() const;
  BOOL DestroyWindow();

  // Attaching this object to an existing window (the way DDX_Control binds a
  // member control); Detach gives the window back to the framework's object.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  BOOL SubclassWindow(HWND hwnd);
  HWND Detach();

  // Identity and tree.
  int GetDlgCtrlID() const;
  CWnd* GetParent() const;
  CWnd* GetDlgItem(int id) const;
  CWnd* GetTopLevelParent() const;
  std::string GetClassName() const;

  // Text.
  void SetWindowText(LPCTSTR text);
  int GetWindowText(LPTSTR buffer, int maxCount) const;
  void GetWindowText(std::string& text) const;
  std::string GetWindowText() const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int id, LPCTSTR text);
  int GetDlgItemText(int id, std::string& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;

  // Buttons by ID.
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  int GetCheckedRadioButton(int firstId, int lastId) const;

  // State.
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int cmdShow);
  BOOL IsWindowVisible() const;
  CWnd* SetFocus();
  static CWnd* GetFocus();

  // Geometry, in pixels. Window rectangles are in screen coordinates; a
  // client rectangle starts at (0, 0).
  void GetWindowRect(LPRECT rect) const;
  void GetClientRect(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);

  // Painting: invalidated areas are painted (OnPaint) by UpdateWindow and by
  // the modal loop after each user action.
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void Invalidate(BOOL erase = TRUE);
  void ValidateRect(LPCRECT rect);
  void UpdateWindow();
  HDC BeginPaint(PAINTSTRUCT* paint);
  void EndPaint(const PAINTSTRUCT* paint);

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // A message box owned by this window: recorded, answered by the modal driver.
  int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);

  // The window a message box or modal dialog should be owned by: the given
  // window's top-level parent, else the running modal window.
  static CWnd* GetSafeOwner(CWnd* parent = nullptr, HWND* topLevel = nullptr);

  // Message map. Handlers run when a child control (or a button of this
  // window) sends the notification `code` with the given ID; when several
  // match, the one mapped last runs.
  void MapCommand(UINT code, UINT id, std::function<void()> handler);
  void MapNotify(UINT code, UINT id, std::function<void(NMHDR*, LRESULT*)> handler);
  void MapClicked(UINT id, std::function<void()> handler) { MapCommand(BN_CLICKED, id, std::move(handler)); }

  // WM_COMMAND: wParam = MAKEWPARAM(id, code), lParam = the control's HWND.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // WM_NOTIFY: wParam = the control's ID, lParam = its NMHDR.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void OnPaint();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the handlers mapped for (code, id); FALSE when none is mapped.
  BOOL DispatchCommand(UINT code, UINT id);
  BOOL DispatchNotify(NMHDR* header, LRESULT* result);

  md::ui::detail::WindowState* State() const;
  // Called by the framework when this object's window has been destroyed.
  void OnWindowGone();

 protected:
  // Called once the window is gone (its HWND no longer names anything).
  virtual void PostNcDestroy() {}

 private:
  friend struct md::ui::detail::WindowState;
  struct CommandEntry {
    UINT code;
    UINT first;
    UINT last;
    std::function<void(UINT)> handler;
  };
  struct NotifyEntry {
    UINT code;
    UINT id;
    std::function<void(NMHDR*, LRESULT*)> handler;
  };
  std::vector<CommandEntry> commandMap_;
  std::vector<NotifyEntry> notifyMap_;
};

// Plain window functions on handles.
BOOL IsWindow(HWND hwnd);
int GetClassName(HWND hwnd, LPTSTR buffer, int maxCount);
BOOL GetCursorPos(LPPOINT point);
HWND GetFocus();
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
