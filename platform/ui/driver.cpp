// The modal driver and the user it plays.
#include "platform/ui/driver.h"

#include "platform/ui/detail/state.h"
#include "platform/ui/paint.h"

using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

namespace md::ui {
namespace {

ModalDriver*& Current() {
  static ModalDriver* driver = nullptr;
  return driver;
}

std::vector<std::string>& GlobalErrors() {
  static std::vector<std::string> errors;
  return errors;
}

POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT Centre(WindowState* s) {
  RECT r{};
  if (CWnd* w = s->Object()) w->GetWindowRect(&r);
  return Middle(r);
}

bool IsDropList(const WindowState* s) {
  return s->kind == Kind::ComboBox && (s->style & 0x3) == CBS_DROPDOWNLIST;
}

// Gives the control the focus and returns its state afterwards: null when a
// focus handler destroyed it.
WindowState* FocusedState(CWnd* c) {
  HWND h = c->m_hWnd;
  c->SetFocus();
  return Get(h);
}

// Types the text into the edit one character at a time, as long as the edit lives.
void TypeChars(HWND h, const std::string& text) {
  for (const std::string& ch : md::ui::detail::Utf8Chars(text)) {
    WindowState* s = Get(h);
    if (!s) break;
    md::ui::detail::EditTypeChar(s, ch);
  }
}

// A list box whose selection the user changed repaints and tells its parent
// when it notifies.
void ListBoxSelectionChanged(CWnd* c, WindowState* s) {
  c->Invalidate();
  if (s->style & LBS_NOTIFY) md::ui::detail::NotifyParent(s, LBN_SELCHANGE);
}

// Clears the selection of every list view item but `keep` (-1: all of them).
// The parent hears of each change and may change the list meanwhile.
void DeselectListViewItems(HWND h, int keep) {
  for (int i = 0;; ++i) {
    WindowState* cur = Get(h);
    if (!cur || i >= static_cast<int>(cur->items.size())) break;
    if (i != keep && (cur->items[i].state & LVIS_SELECTED))
      md::ui::detail::ListViewSetState(cur, i, 0, LVIS_SELECTED, true);
  }
}

void NotifyItemActivate(WindowState* s, UINT code, int item, POINT at) {
  NMITEMACTIVATE nm;
  nm.hdr.code = code;
  nm.iItem = item;
  nm.ptAction = at;
  md::ui::detail::NotifyParent(s, &nm.hdr);
}

}  // namespace

ModalDriver* SetModalDriver(ModalDriver* driver) {
  ModalDriver* old = Current();
  Current() = driver;
  return old;
}

ModalDriver* GetModalDriver() { return Current(); }
const std::vector<std::string>& DriverErrors() { return GlobalErrors(); }
void ClearDriverErrors() { GlobalErrors().clear(); }

// ---- UiUser -----------------------------------------------------------------------

UiUser::UiUser(CDialog& window) : window_(window) {}

CPropertySheet* UiUser::Sheet() const { return dynamic_cast<CPropertySheet*>(&window_); }

CWnd* UiUser::Surface() const {
  if (CPropertySheet* sheet = Sheet())
    if (CPropertyPage* page = sheet->GetActivePage())
      if (page->m_hWnd) return page;
  return &window_;
}

CWnd* UiUser::Control(int id) const {
  if (!window_.m_hWnd) return nullptr;
  if (CWnd* c = Surface()->GetDlgItem(id)) return c;
  return window_.GetDlgItem(id);
}

bool UiUser::Ended() const { return window_.HasEnded() || !window_.m_hWnd; }

bool UiUser::Fail(const std::string& what) {
  std::string text = "dialog " + std::to_string(window_.GetTemplateId()) + ": " + what;
  errors_.push_back(text);
  GlobalErrors().push_back(text);
  return false;
}

bool UiUser::UsableControl(int id, CWnd** out, const char* action) {
  std::string what = std::string(action) + " " + std::to_string(id);
  if (Ended()) return Fail(what + ": the dialog has ended");
  CWnd* c = Control(id);
  if (!c) return Fail(what + ": no such control");
  if (!c->IsWindowVisible()) return Fail(what + ": the control is hidden");
  if (!c->IsWindowEnabled()) return Fail(what + ": the control is disabled");
  *out = c;
  return true;
}

bool UiUser::EditableControl(int id, CWnd** out, const char* action) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, action)) return false;
  const WindowState* s = c->State();
  if (s->kind != Kind::Edit && !(s->kind == Kind::ComboBox && !IsDropList(s)))
    return Fail(std::string(action) + " " + std::to_string(id) + ": not an edit");
  *out = c;
  return true;
}

bool UiUser::ExtendedListItem(int id, int index, CWnd** out, const char* action) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, action)) return false;
  const WindowState* s = c->State();
  const std::string what = std::string(action) + " " + std::to_string(id);
  if (s->kind != Kind::ListBox || !(s->style & LBS_EXTENDEDSEL))
    return Fail(what + ": not an extended list box");
  if (index < 0 || index >= static_cast<int>(s->items.size())) return Fail(what + ": no such item");
  *out = c;
  return true;
}

void UiUser::Settle() {
  if (window_.m_hWnd) md::ui::detail::PaintPending(window_.State());
}

bool UiUser::Focus(int id) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "focus")) return false;
  c->SetFocus();
  Settle();
  return true;
}

bool UiUser::Type(int id, const std::string& text) {
  CWnd* c = nullptr;
  if (!EditableControl(id, &c, "type into")) return false;
  HWND h = c->m_hWnd;
  md::ui::detail::SetCursorScreenPos(Centre(c->State()));
  WindowState* s = FocusedState(c);
  if (!s) return Fail("type into " + std::to_string(id) + ": the control went away");
  s->selStart = s->selEnd = md::ui::detail::Utf8Length(s->text);
  TypeChars(h, text);
  Settle();
  return true;
}

bool UiUser::Replace(int id, const std::string& text) {
  CWnd* c = nullptr;
  if (!EditableControl(id, &c, "replace text of")) return false;
  HWND h = c->m_hWnd;
  WindowState* s = FocusedState(c);
  if (!s) return false;
  s->selStart = 0;
  s->selEnd = md::ui::detail::Utf8Length(s->text);
  if (text.empty()) {
    if (s->selEnd > 0) md::ui::detail::EditDeleteSelection(s, true);
  } else {
    TypeChars(h, text);
  }
  Settle();
  return true;
}

bool UiUser::Clear(int id) { return Replace(id, ""); }

bool UiUser::Backspace(int id, int count) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "backspace in")) return false;
  HWND h = c->m_hWnd;
  c->SetFocus();
  for (int i = 0; i < count; ++i) {
    WindowState* s = Get(h);
    if (!s) break;
    md::ui::detail::EditDeleteSelection(s, true);
  }
  Settle();
  return true;
}

bool UiUser::Click(int id) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "click")) return false;
  WindowState* s = c->State();
  md::ui::detail::SetCursorScreenPos(Centre(s));
  if (s->kind == Kind::Button) {
    if ((s->style & BS_TYPEMASK) == BS_GROUPBOX) return Fail("click " + std::to_string(id) + ": a group box");
    if ((s = FocusedState(c)) != nullptr) md::ui::detail::ButtonClick(s);
  } else if (s->kind == Kind::Static) {
    if (s->style & SS_NOTIFY) md::ui::detail::NotifyParent(s, STN_CLICKED);
  } else {
    c->SetFocus();
  }
  Settle();
  return true;
}

bool UiUser::Choose(int id, int index) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "choose in")) return false;
  WindowState* s = c->State();
  std::string what = "choose item " + std::to_string(index) + " of " + std::to_string(id);
  if (s->kind != Kind::ComboBox && s->kind != Kind::ListBox && s->kind != Kind::ListView)
    return Fail(what + ": not a list");
  if (index < 0 || index >= static_cast<int>(s->items.size())) return Fail(what + ": no such item");
  HWND h = c->m_hWnd;
  md::ui::detail::SetCursorScreenPos(Centre(s));
  if ((s = FocusedState(c)) == nullptr) return false;
  if (s->kind == Kind::ComboBox) {
    md::ui::detail::ComboSetCurSel(s, index);
    md::ui::detail::NotifyParent(s, CBN_SELCHANGE);
  } else if (s->kind == Kind::ListBox) {
    if (s->style & LBS_EXTENDEDSEL) {
      for (auto& it : s->items) it.selected = false;
      s->items[index].selected = true;
      s->anchor = index;
    } else if (s->style & LBS_MULTIPLESEL) {
      s->items[index].selected = !s->items[index].selected;
    } else {
      s->curSel = index;
    }
    s->caret = index;
    ListBoxSelectionChanged(c, s);
  } else {
    DeselectListViewItems(h, index);
    if (WindowState* cur = Get(h))
      md::ui::detail::ListViewSetState(cur, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED,
                                       true);
    if (WindowState* cur = Get(h))
      NotifyItemActivate(cur, NM_CLICK, index, Middle(md::ui::detail::ListViewItemRect(cur, index)));
  }
  Settle();
  return true;
}

bool UiUser::ChooseText(int id, const std::string& text) {
  CWnd* c = Control(id);
  WindowState* s = c ? c->State() : nullptr;
  if (!s) return Fail("choose \"" + text + "\" in " + std::to_string(id) + ": no such control");
  for (int i = 0; i < static_cast<int>(s->items.size()); ++i)
    if (s->items[i].text == text) return Choose(id, i);
  return Fail("choose \"" + text + "\" in " + std::to_string(id) + ": no such item");
}

bool UiUser::CtrlClick(int id, int index) {
  CWnd* c = nullptr;
  if (!ExtendedListItem(id, index, &c, "ctrl-click in")) return false;
  WindowState* s = FocusedState(c);
  if (!s) return false;
  s->items[index].selected = !s->items[index].selected;
  s->anchor = s->caret = index;
  ListBoxSelectionChanged(c, s);
  Settle();
  return true;
}

bool UiUser::ShiftClick(int id, int index) {
  CWnd* c = nullptr;
  if (!ExtendedListItem(id, index, &c, "shift-click in")) return false;
  WindowState* s = FocusedState(c);
  if (!s) return false;
  int anchor = s->anchor >= 0 ? s->anchor : index;
  for (int i = 0; i < static_cast<int>(s->items.size()); ++i)
    s->items[i].selected = i >= std::min(anchor, index) && i <= std::max(anchor, index);
  s->caret = index;
  ListBoxSelectionChanged(c, s);
  Settle();
  return true;
}

bool UiUser::DoubleClick(int id, int index) {
  CWnd* c = Control(id);
  WindowState* s = c ? c->State() : nullptr;
  if (s && s->kind == Kind::ListView) {
    if (index < 0 || index >= static_cast<int>(s->items.size()))
      return Fail("double-click item " + std::to_string(index) + " of " + std::to_string(id) +
                  ": no such item");
    RECT cell = md::ui::detail::ListViewItemRect(s, index);
    UINT flags = 0;
    POINT p{(cell.left + cell.right) / 2, cell.top + 4};
    if (md::ui::detail::ListViewHitTest(s, p, &flags) != index) p = Middle(cell);
    return DoubleClickAt(id, p);
  }
  if (!Choose(id, index)) return false;
  c = Control(id);
  s = c ? c->State() : nullptr;
  if (!s) return true;
  if (s->kind == Kind::ListBox && (s->style & LBS_NOTIFY)) md::ui::detail::NotifyParent(s, LBN_DBLCLK);
  if (s->kind == Kind::ComboBox) md::ui::detail::NotifyParent(s, CBN_DBLCLK);
  Settle();
  return true;
}

bool UiUser::DoubleClickAt(int id, POINT point) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "double-click in")) return false;
  WindowState* s = c->State();
  if (s->kind != Kind::ListView)
    return Fail("double-click at a point of " + std::to_string(id) + ": not a list view");
  HWND h = c->m_hWnd;
  POINT screen = point;
  c->ClientToScreen(&screen);
  md::ui::detail::SetCursorScreenPos(screen);
  if ((s = FocusedState(c)) == nullptr) return false;
  int hit = md::ui::detail::ListViewHitTest(s, point, nullptr);
  if (hit >= 0) {
    if (!Choose(id, hit)) return false;
    md::ui::detail::SetCursorScreenPos(screen);
  } else {
    DeselectListViewItems(h, -1);  // a click on empty space clears the selection
  }
  if (WindowState* cur = Get(h)) NotifyItemActivate(cur, NM_DBLCLK, hit, point);
  Settle();
  return true;
}

bool UiUser::Spin(int id, int steps) {
  CWnd* c = nullptr;
  if (!UsableControl(id, &c, "spin")) return false;
  WindowState* s = c->State();
  if (s->kind != Kind::Spin) return Fail("spin " + std::to_string(id) + ": not a spin button");
  md::ui::detail::SetCursorScreenPos(Centre(s));
  md::ui::detail::SpinStep(s, steps);
  Settle();
  return true;
}

bool UiUser::PressSheetButton(UINT id, const char* name) {
  if (Ended()) return Fail(std::string(name) + ": the dialog has ended");
  CWnd* b = window_.GetDlgItem(static_cast<int>(id));
  if (!b) return Fail(std::string(name) + ": the window has no such button");
  if (!b->IsWindowVisible()) return Fail(std::string(name) + ": the button is hidden");
  if (!b->IsWindowEnabled()) return Fail(std::string(name) + ": the button is disabled");
  HWND h = b->m_hWnd;
  md::ui::detail::SetCursorScreenPos(Centre(b->State()));
  b->SetFocus();
  if (WindowState* s = Get(h)) md::ui::detail::ButtonClick(s);
  Settle();
  return true;
}

bool UiUser::Ok() {
  if (Sheet()) {
    if (Sheet()->IsWizardMode()) return Fail("OK: a wizard has no OK button");
    return PressSheetButton(static_cast<UINT>(IDOK), "OK");
  }
  if (Ended()) return Fail("OK: the dialog has ended");
  if (window_.GetDlgItem(IDOK)) return PressSheetButton(static_cast<UINT>(IDOK), "OK");
  window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);  // the Enter key
  Settle();
  return true;
}

bool UiUser::Cancel() {
  if (Ended()) return Fail("Cancel: the dialog has ended");
  CWnd* b = window_.GetDlgItem(IDCANCEL);
  if (b && b->IsWindowVisible() && b->IsWindowEnabled())
    return PressSheetButton(static_cast<UINT>(IDCANCEL), "Cancel");
  window_.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // the Escape key
  Settle();
  return true;
}

bool UiUser::Apply() {
  if (!Sheet() || Sheet()->IsWizardMode()) return Fail("Apply: not a property sheet");
  return PressSheetButton(ID_APPLY_NOW, "Apply");
}

bool UiUser::GoToPage(int index) {
  CPropertySheet* sheet = Sheet();
  if (!sheet || sheet->IsWizardMode()) return Fail("go to page: not a property sheet with tabs");
  if (Ended()) return Fail("go to page: the dialog has ended");
  if (index < 0 || index >= sheet->GetPageCount())
    return Fail("go to page " + std::to_string(index) + ": no such page");
  bool moved = sheet->SetActivePage(index) != FALSE;
  Settle();
  return moved;
}

bool UiUser::Next() {
  if (!Sheet() || !Sheet()->IsWizardMode()) return Fail("Next: not a wizard");
  return PressSheetButton(ID_WIZNEXT, "Next");
}

bool UiUser::Back() {
  if (!Sheet() || !Sheet()->IsWizardMode()) return Fail("Back: not a wizard");
  return PressSheetButton(ID_WIZBACK, "Back");
}

bool UiUser::Finish() {
  if (!Sheet() || !Sheet()->IsWizardMode()) return Fail("Finish: not a wizard");
  return PressSheetButton(ID_WIZFINISH, "Finish");
}

std::string UiUser::Text(int id) const {
  CWnd* c = Control(id);
  return c ? c->GetWindowText() : std::string();
}

bool UiUser::IsEnabled(int id) const {
  CWnd* c = Control(id);
  return c && c->IsWindowEnabled();
}

bool UiUser::IsVisible(int id) const {
  CWnd* c = Control(id);
  return c && c->IsWindowVisible();
}

int UiUser::Checked(int id) const {
  CWnd* c = Control(id);
  return c ? static_cast<int>(c->SendMessage(BM_GETCHECK)) : 0;
}

int UiUser::Selection(int id) const {
  CWnd* c = Control(id);
  WindowState* s = c ? c->State() : nullptr;
  if (!s) return -1;
  if (s->kind == Kind::ListView) {
    for (int i = 0; i < static_cast<int>(s->items.size()); ++i)
      if (s->items[i].state & LVIS_SELECTED) return i;
    return -1;
  }
  if (s->kind == Kind::ListBox && (s->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL))) return s->caret;
  return s->curSel;
}

bool UiUser::Snapshot(const std::string& path) const {
  return window_.m_hWnd && SnapshotToPng(window_, path);
}

// ---- ScriptedDriver ---------------------------------------------------------------------

ScriptedDriver::ScriptedDriver() : previous_(SetModalDriver(this)) {}

ScriptedDriver::~ScriptedDriver() {
  if (GetModalDriver() == this) SetModalDriver(previous_);
}

ScriptedDriver& ScriptedDriver::Then(Scene scene) {
  scenes_.push_back(std::move(scene));
  return *this;
}

ScriptedDriver& ScriptedDriver::AnswerMessageBox(int answer) {
  boxAnswers_.push_back(answer);
  return *this;
}

ScriptedDriver& ScriptedDriver::AnswerFile(const std::string& path, int filterIndex) {
  fileAnswers_.push_back(FileDialogAnswer{true, path, filterIndex});
  return *this;
}

ScriptedDriver& ScriptedDriver::CancelFile() {
  fileAnswers_.push_back(FileDialogAnswer{});
  return *this;
}

void ScriptedDriver::Run(UiUser& user) {
  ++dialogsRun_;
  templatesRun_.push_back(user.Window().GetTemplateId());
  if (scenes_.empty()) return;  // nobody plays this one: it is cancelled
  Scene scene = std::move(scenes_.front());
  scenes_.pop_front();
  scene(user);
  if (!user.Ended()) {
    std::string text =
        "dialog " + std::to_string(user.Window().GetTemplateId()) + ": the scene left the dialog open";
    GlobalErrors().push_back(text);
  }
}

int ScriptedDriver::AnswerMessageBox(const MessageBoxRecord& box) {
  if (boxAnswers_.empty()) return DefaultMessageBoxAnswer(box.type, false);
  int answer = boxAnswers_.front();
  boxAnswers_.pop_front();
  return answer;
}

FileDialogAnswer ScriptedDriver::AnswerFileDialog(const CFileDialog& dialog) {
  lastFilters_.clear();
  for (const auto& [description, patterns] : dialog.GetFilters())
    lastFilters_.push_back(description + "|" + patterns);
  if (fileAnswers_.empty()) return FileDialogAnswer{};
  FileDialogAnswer a = fileAnswers_.front();
  fileAnswers_.pop_front();
  return a;
}

}  // namespace md::ui
