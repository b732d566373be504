// Internal: the framework's record of one window, and the control logic that
// both the control classes and SendMessage use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/resources.h"
#include "platform/ui/wnd.h"

class CImageList;
class CDialog;

namespace md::ui::detail {

enum class Kind { Window, Dialog, Button, Edit, Static, ComboBox, ListBox, ListView, Spin };

struct Item {
  std::string text;
  DWORD_PTR data = 0;
  bool selected = false;
  int image = -1;
  UINT state = 0;  // list view item state bits
};

struct WindowState {
  HWND handle = nullptr;
  Kind kind = Kind::Window;
  std::string className;
  int id = 0;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // parent's client coordinates; screen for top-level windows
  WindowState* parent = nullptr;
  std::vector<WindowState*> children;  // template (z) order
  CWnd* wrapper = nullptr;             // the attached object
  std::unique_ptr<CWnd> ownWrapper;    // the framework's object for the window
  RECT update{};                       // invalid area, client coordinates
  bool erase = false;
  DWORD helpContext = 0;
  bool inPaint = false;
  SIZE baseUnits{6, 12};  // of the dialog this window belongs to

  // Edit.
  int selStart = 0;
  int selEnd = 0;
  int limit = 0;  // characters; 0 means the default
  int notifyDepth = 0;
  // Button.
  int check = 0;
  // Combo box, list box, list view.
  std::vector<Item> items;
  int curSel = -1;
  int caret = -1;
  int anchor = -1;
  CImageList* images = nullptr;
  // Spin.
  int lower = 100;
  int upper = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;

  // Client origin in screen coordinates.
  POINT ClientOrigin() const;
  RECT ClientRect() const;
  CWnd* Object() const { return wrapper ? wrapper : ownWrapper.get(); }
  WindowState* Child(int id) const;
  WindowState* TopLevel();
};

WindowState* Get(HWND hwnd);
// Makes a window; `parent` may be null for a top-level window.
WindowState* CreateWindowState(Kind kind, const std::string& className, int id, const std::string& text,
                               DWORD style, const RECT& rect, WindowState* parent);
// Makes a control from its template inside `parent`.
WindowState* CreateControl(const ControlTemplate& tmpl, const RECT& pixels, WindowState* parent);
void DestroyWindowState(WindowState* state);

// Sends WM_COMMAND (code, the window's ID) to the window's parent.
void NotifyParent(WindowState* state, UINT code);
LRESULT NotifyParent(WindowState* state, NMHDR* header);

// Focus. Answers the window that had it.
HWND SetFocusTo(WindowState* state);
HWND FocusWindow();
void SetCursorScreenPos(POINT point);

// Control messages.
LRESULT ControlMessage(WindowState* state, UINT message, WPARAM wParam, LPARAM lParam);

// Edit behaviour.
void EditSetText(WindowState* state, const std::string& text, bool notify);
void EditNotifyChange(WindowState* state);
bool EditTypeChar(WindowState* state, const std::string& character);  // one UTF-8 character
bool EditDeleteSelection(WindowState* state, bool backspace);

// Button behaviour: a click as the user makes it (state change, BN_CLICKED).
void ButtonClick(WindowState* state);
void SetCheck(WindowState* state, int check);
std::vector<WindowState*> RadioGroup(WindowState* first);

// List behaviour.
int ComboAdd(WindowState* state, const std::string& text, int index /* -1: append or sort */);
void ComboSetCurSel(WindowState* state, int index);
int ListFind(const WindowState* state, int startAfter, const std::string& text, bool exact);
void ListViewSetState(WindowState* state, int index, UINT stateBits, UINT mask, bool notify);
RECT ListViewItemRect(const WindowState* state, int index);
int ListViewHitTest(const WindowState* state, POINT client, UINT* flags);

// Spin behaviour.
void SpinSetPos(WindowState* state, int pos);
int SpinGetPos(WindowState* state, bool* error);
void SpinSetBuddy(WindowState* state, HWND buddy);
void SpinStep(WindowState* state, int steps);

// UTF-8 helpers.
int Utf8Length(const std::string& text);
// Byte offset of character `index` (clamped to the text).
size_t Utf8Offset(const std::string& text, int index);
std::vector<std::string> Utf8Chars(const std::string& text);

// The modal windows now running, innermost last.
std::vector<CDialog*>& ModalStack();
// Keeps a window on the modal stack for the life of the object.
struct ModalScope {
  explicit ModalScope(CDialog* dialog) { ModalStack().push_back(dialog); }
  ~ModalScope() { ModalStack().pop_back(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
};
// Paints every window of the tree under `top` that has an invalid area.
void PaintPending(WindowState* top);

}  // namespace md::ui::detail
