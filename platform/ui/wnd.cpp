// Window records, the tree, focus, geometry, painting and message routing.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/ui/app.h"
#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/dialog.h"
#include "platform/win/wingdi.h"

namespace md::ui::detail {
namespace {

struct Registry {
  std::map<std::uintptr_t, std::unique_ptr<WindowState>> windows;
  std::uintptr_t next = 0x10000;
  HWND focus = nullptr;
  POINT cursor{};
};

Registry& Reg() {
  static Registry registry;
  return registry;
}

constexpr int kCaptionHeight = 24;
constexpr int kFrameWidth = 3;

bool HasFrame(const WindowState* s) {
  return s->parent == nullptr && (s->style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | DS_MODALFRAME)) != 0;
}

std::unique_ptr<CWnd> MakeOwnWrapper(Kind kind) {
  switch (kind) {
    case Kind::Button:
      return std::make_unique<CButton>();
    case Kind::Edit:
      return std::make_unique<CEdit>();
    case Kind::Static:
      return std::make_unique<CStatic>();
    case Kind::ComboBox:
      return std::make_unique<CComboBox>();
    case Kind::ListBox:
      return std::make_unique<CListBox>();
    case Kind::ListView:
      return std::make_unique<CListCtrl>();
    case Kind::Spin:
      return std::make_unique<CSpinButtonCtrl>();
    default:
      return std::make_unique<CWnd>();
  }
}

void UnionInto(RECT& acc, const RECT& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  if (acc.right <= acc.left || acc.bottom <= acc.top) {
    acc = r;
    return;
  }
  acc.left = std::min(acc.left, r.left);
  acc.top = std::min(acc.top, r.top);
  acc.right = std::max(acc.right, r.right);
  acc.bottom = std::max(acc.bottom, r.bottom);
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void FocusNotify(WindowState* s, bool gained) {
  switch (s->kind) {
    case Kind::Edit:
      NotifyParent(s, gained ? EN_SETFOCUS : EN_KILLFOCUS);
      break;
    case Kind::ComboBox:
      NotifyParent(s, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
      break;
    case Kind::ListBox:
      if (s->style & LBS_NOTIFY) NotifyParent(s, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
      break;
    default:
      break;
  }
}

}  // namespace

POINT WindowState::ClientOrigin() const {
  POINT p{rect.left, rect.top};
  if (parent) {
    POINT o = parent->ClientOrigin();
    p.x += o.x;
    p.y += o.y;
  } else if (HasFrame(this)) {
    p.x += kFrameWidth;
    p.y += kFrameWidth + ((style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0);
  }
  return p;
}

RECT WindowState::ClientRect() const {
  RECT r{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (!parent && HasFrame(this)) {
    r.right -= 2 * kFrameWidth;
    r.bottom -= 2 * kFrameWidth + ((style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0);
    r.right = std::max<LONG>(r.right, 0);
    r.bottom = std::max<LONG>(r.bottom, 0);
  }
  return r;
}

WindowState* WindowState::Child(int childId) const {
  for (WindowState* c : children)
    if (c->id == childId) return c;
  return nullptr;
}

WindowState* WindowState::TopLevel() {
  WindowState* s = this;
  while (s->parent) s = s->parent;
  return s;
}

WindowState* Get(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& w = Reg().windows;
  auto it = w.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == w.end() ? nullptr : it->second.get();
}

WindowState* CreateWindowState(Kind kind, const std::string& className, int id, const std::string& text,
                               DWORD style, const RECT& rect, WindowState* parent) {
  Registry& r = Reg();
  auto state = std::make_unique<WindowState>();
  std::uintptr_t value = r.next;
  r.next += 4;
  state->handle = reinterpret_cast<HWND>(value);
  state->kind = kind;
  state->className = className;
  state->id = id;
  state->text = text;
  state->style = style;
  state->rect = rect;
  state->parent = parent;
  if (parent) {
    parent->children.push_back(state.get());
    state->baseUnits = parent->baseUnits;
  }
  if (kind != Kind::Dialog && kind != Kind::Window) {
    state->ownWrapper = MakeOwnWrapper(kind);
    state->ownWrapper->m_hWnd = state->handle;
  }
  WindowState* raw = state.get();
  r.windows.emplace(value, std::move(state));
  return raw;
}

void DestroyWindowState(WindowState* state) {
  if (!state) return;
  while (!state->children.empty()) DestroyWindowState(state->children.back());
  Registry& r = Reg();
  if (r.focus == state->handle) r.focus = nullptr;
  if (state->parent) {
    auto& siblings = state->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), state), siblings.end());
  }
  // Buddies of spin controls forget a destroyed window.
  for (auto& [key, other] : r.windows)
    if (other->buddy == state->handle) other->buddy = nullptr;
  CWnd* attached = state->wrapper;
  state->wrapper = nullptr;
  if (attached) attached->m_hWnd = nullptr;
  auto key = reinterpret_cast<std::uintptr_t>(state->handle);
  auto node = r.windows.extract(key);  // keeps the record alive while its object finishes
  if (attached) attached->OnWindowGone();
}

void NotifyParent(WindowState* state, UINT code) {
  if (!state || !state->parent) return;
  CWnd* parent = state->parent->Object();
  if (!parent) return;
  HWND self = state->handle;
  parent->OnCommand(MAKEWPARAM(static_cast<WORD>(state->id), static_cast<WORD>(code)),
                    reinterpret_cast<LPARAM>(self));
}

LRESULT NotifyParent(WindowState* state, NMHDR* header) {
  if (!state || !state->parent) return 0;
  CWnd* parent = state->parent->Object();
  if (!parent) return 0;
  header->hwndFrom = state->handle;
  header->idFrom = static_cast<UINT_PTR>(state->id);
  LRESULT result = 0;
  parent->OnNotify(static_cast<WPARAM>(state->id), reinterpret_cast<LPARAM>(header), &result);
  return result;
}

HWND SetFocusTo(WindowState* state) {
  Registry& r = Reg();
  HWND old = r.focus;
  HWND now = state ? state->handle : nullptr;
  if (old == now) return old;
  r.focus = now;
  if (WindowState* o = Get(old)) FocusNotify(o, false);
  // A kill-focus handler may have moved the focus on; tell only the window
  // that still has it.
  if (state && r.focus == now && Get(now)) FocusNotify(state, true);
  return old;
}

HWND FocusWindow() {
  Registry& r = Reg();
  if (r.focus && !Get(r.focus)) r.focus = nullptr;
  return r.focus;
}

void SetCursorScreenPos(POINT point) { Reg().cursor = point; }

std::vector<CDialog*>& ModalStack() {
  static std::vector<CDialog*> stack;
  return stack;
}

void PaintPending(WindowState* top) {
  if (!top) return;
  HWND h = top->handle;
  if (!IsEmpty(top->update) && top->Object()) {
    bool visible = true;
    for (WindowState* s = top; s; s = s->parent) visible = visible && (s->style & WS_VISIBLE);
    if (visible) top->Object()->WindowProc(WM_PAINT, 0, 0);
  }
  WindowState* again = Get(h);
  if (!again) return;
  std::vector<HWND> kids;
  for (WindowState* c : again->children) kids.push_back(c->handle);
  for (HWND k : kids) PaintPending(Get(k));
}

int Utf8Length(const std::string& text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

size_t Utf8Offset(const std::string& text, int index) {
  if (index <= 0) return 0;
  int n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (n == index) return i;
      ++n;
    }
  }
  return text.size();
}

std::vector<std::string> Utf8Chars(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 || out.empty())
      out.emplace_back(1, text[i]);
    else
      out.back().push_back(text[i]);
  }
  return out;
}

}  // namespace md::ui::detail

using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

// ---- CWnd ---------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (WindowState* s = Get(m_hWnd)) {
    if (s->wrapper == this) {
      if (s->ownWrapper && s->ownWrapper.get() != this) {
        // A control member going away gives its window back to the framework.
        s->wrapper = nullptr;
        m_hWnd = nullptr;
      } else {
        s->wrapper = nullptr;
        m_hWnd = nullptr;
        md::ui::detail::DestroyWindowState(s);
      }
    }
  }
}

WindowState* CWnd::State() const { return Get(m_hWnd); }

CWnd* CWnd::FromHandle(HWND hwnd) {
  WindowState* s = Get(hwnd);
  return s ? s->Object() : nullptr;
}

BOOL CWnd::IsWindow() const { return State() != nullptr; }

BOOL CWnd::DestroyWindow() {
  WindowState* s = State();
  if (!s) return FALSE;
  md::ui::detail::DestroyWindowState(s);
  return TRUE;
}

void CWnd::OnWindowGone() { PostNcDestroy(); }

BOOL CWnd::SubclassWindow(HWND hwnd) {
  WindowState* s = Get(hwnd);
  if (!s || m_hWnd) return FALSE;
  if (s->wrapper && s->wrapper != this) return FALSE;
  s->wrapper = this;
  m_hWnd = hwnd;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  WindowState* p = parent->State();
  WindowState* c = p ? p->Child(static_cast<int>(id)) : nullptr;
  return c ? SubclassWindow(c->handle) : FALSE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (WindowState* s = State())
    if (s->wrapper == this) s->wrapper = nullptr;
  m_hWnd = nullptr;
  return h;
}

int CWnd::GetDlgCtrlID() const {
  WindowState* s = State();
  return s ? s->id : 0;
}

CWnd* CWnd::GetParent() const {
  WindowState* s = State();
  return s && s->parent ? s->parent->Object() : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
  WindowState* s = State();
  WindowState* c = s ? s->Child(id) : nullptr;
  return c ? c->Object() : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
  WindowState* s = State();
  return s ? s->TopLevel()->Object() : nullptr;
}

std::string CWnd::GetClassName() const {
  WindowState* s = State();
  return s ? s->className : std::string();
}

void CWnd::SetWindowText(LPCTSTR text) {
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

std::string CWnd::GetWindowText() const {
  WindowState* s = State();
  if (!s) return {};
  if (s->kind == Kind::ComboBox && (s->style & 0x3) == CBS_DROPDOWNLIST)
    return s->curSel >= 0 && s->curSel < static_cast<int>(s->items.size()) ? s->items[s->curSel].text
                                                                           : std::string();
  return s->text;
}

void CWnd::GetWindowText(std::string& text) const { text = GetWindowText(); }

int CWnd::GetWindowText(LPTSTR buffer, int maxCount) const {
  if (!buffer || maxCount <= 0) return 0;
  std::string t = GetWindowText();
  size_t n = std::min(t.size(), static_cast<size_t>(maxCount - 1));
  while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, t.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

void CWnd::SetDlgItemText(int id, LPCTSTR text) {
  if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, std::string& text) const {
  CWnd* c = GetDlgItem(id);
  text = c ? c->GetWindowText() : std::string();
  return static_cast<int>(text.size());
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
  char buf[32];
  if (isSigned)
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
  else
    std::snprintf(buf, sizeof buf, "%u", value);
  SetDlgItemText(id, buf);
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
  if (translated) *translated = FALSE;
  std::string t;
  if (!GetDlgItem(id)) return 0;
  GetDlgItemText(id, t);
  const char* p = t.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(p, &end, 10);
  if (end == p) return 0;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || errno == ERANGE) return 0;
  if (isSigned ? (v < INT32_MIN || v > INT32_MAX) : (v < 0 || v > UINT32_MAX)) return 0;
  if (translated) *translated = TRUE;
  return static_cast<UINT>(v);
}

void CWnd::CheckDlgButton(int id, UINT check) {
  if (CWnd* c = GetDlgItem(id)) c->SendMessage(BM_SETCHECK, check, 0);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  CWnd* c = GetDlgItem(id);
  return c ? static_cast<UINT>(c->SendMessage(BM_GETCHECK, 0, 0)) : 0;
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
  WindowState* s = State();
  if (!s) return;
  for (WindowState* c : s->children)
    if (c->id >= firstId && c->id <= lastId)
      md::ui::detail::SetCheck(c, c->id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
  WindowState* s = State();
  if (!s) return 0;
  for (WindowState* c : s->children)
    if (c->id >= firstId && c->id <= lastId && c->kind == Kind::Button && c->check == BST_CHECKED)
      return c->id;
  return 0;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  WindowState* s = State();
  if (!s) return FALSE;
  BOOL wasDisabled = (s->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable)
    s->style &= ~WS_DISABLED;
  else
    s->style |= WS_DISABLED;
  if (wasDisabled != !enable) Invalidate();
  return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
  WindowState* s = State();
  return s && !(s->style & WS_DISABLED);
}

BOOL CWnd::ShowWindow(int cmdShow) {
  WindowState* s = State();
  if (!s) return FALSE;
  BOOL was = (s->style & WS_VISIBLE) ? TRUE : FALSE;
  if (cmdShow == SW_HIDE)
    s->style &= ~WS_VISIBLE;
  else
    s->style |= WS_VISIBLE;
  if (s->parent) {
    RECT r = s->rect;
    CWnd* p = s->parent->Object();
    if (p) p->InvalidateRect(&r, TRUE);
  }
  if (cmdShow != SW_HIDE) Invalidate();
  return was;
}

BOOL CWnd::IsWindowVisible() const {
  for (WindowState* s = State(); s; s = s->parent)
    if (!(s->style & WS_VISIBLE)) return FALSE;
  return State() != nullptr;
}

CWnd* CWnd::SetFocus() {
  WindowState* s = State();
  if (!s) return nullptr;
  HWND old = md::ui::detail::SetFocusTo(s);
  return FromHandle(old);
}

CWnd* CWnd::GetFocus() { return FromHandle(md::ui::detail::FocusWindow()); }

void CWnd::GetWindowRect(LPRECT rect) const {
  if (!rect) return;
  WindowState* s = State();
  if (!s) {
    *rect = RECT{};
    return;
  }
  if (!s->parent) {
    *rect = s->rect;
    return;
  }
  POINT o = s->parent->ClientOrigin();
  *rect = RECT{s->rect.left + o.x, s->rect.top + o.y, s->rect.right + o.x, s->rect.bottom + o.y};
}

void CWnd::GetClientRect(LPRECT rect) const {
  if (!rect) return;
  WindowState* s = State();
  *rect = s ? s->ClientRect() : RECT{};
}

void CWnd::ClientToScreen(LPPOINT point) const {
  WindowState* s = State();
  if (!s || !point) return;
  POINT o = s->ClientOrigin();
  point->x += o.x;
  point->y += o.y;
}

void CWnd::ClientToScreen(LPRECT rect) const {
  if (!rect) return;
  POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
  ClientToScreen(&a);
  ClientToScreen(&b);
  *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(LPPOINT point) const {
  WindowState* s = State();
  if (!s || !point) return;
  POINT o = s->ClientOrigin();
  point->x -= o.x;
  point->y -= o.y;
}

void CWnd::ScreenToClient(LPRECT rect) const {
  if (!rect) return;
  POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
  ScreenToClient(&a);
  ScreenToClient(&b);
  *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  WindowState* s = State();
  if (!s) return;
  s->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  if (repaint) Invalidate();
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) {
  WindowState* s = State();
  if (!s) return;
  RECT client = s->ClientRect();
  RECT r = rect ? *rect : client;
  r.left = std::max(r.left, client.left);
  r.top = std::max(r.top, client.top);
  r.right = std::min(r.right, client.right);
  r.bottom = std::min(r.bottom, client.bottom);
  md::ui::detail::UnionInto(s->update, r);
  if (erase && !md::ui::detail::IsEmpty(r)) s->erase = true;
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::ValidateRect(LPCRECT rect) {
  WindowState* s = State();
  if (!s) return;
  if (!rect) {
    s->update = RECT{};
    s->erase = false;
    return;
  }
  // The invalid area is kept as one rectangle: it is cleared when the given
  // rectangle covers it.
  const RECT& u = s->update;
  if (rect->left <= u.left && rect->top <= u.top && rect->right >= u.right && rect->bottom >= u.bottom) {
    s->update = RECT{};
    s->erase = false;
  }
}

void CWnd::UpdateWindow() {
  WindowState* s = State();
  if (!s || md::ui::detail::IsEmpty(s->update) || s->inPaint) return;
  WindowProc(WM_PAINT, 0, 0);
}

HDC CWnd::BeginPaint(PAINTSTRUCT* paint) { return ::BeginPaint(m_hWnd, paint); }

void CWnd::EndPaint(const PAINTSTRUCT* paint) { ::EndPaint(m_hWnd, paint); }

// Windows without painting of their own only validate what was invalid.
void CWnd::OnPaint() { ValidateRect(nullptr); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!State()) return 0;
  return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* s = State();
  if (!s) return 0;
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_NOTIFY: {
      LRESULT result = 0;
      OnNotify(wParam, lParam, &result);
      return result;
    }
    case WM_PAINT: {
      s->inPaint = true;
      HWND self = m_hWnd;
      OnPaint();
      if (WindowState* again = Get(self)) {
        again->inPaint = false;
        // A handler that did not paint still validates, as the default does.
        again->update = RECT{};
        again->erase = false;
      }
      return 0;
    }
    case WM_HELPPROMPTADDR:
      return reinterpret_cast<LRESULT>(&s->TopLevel()->helpContext);
    default:
      return md::ui::detail::ControlMessage(s, message, wParam, lParam);
  }
}

void CWnd::MapCommand(UINT code, UINT id, std::function<void()> handler) {
  commandMap_.push_back({code, id, id, [h = std::move(handler)](UINT) { h(); }});
}

void CWnd::MapNotify(UINT code, UINT id, std::function<void(NMHDR*, LRESULT*)> handler) {
  notifyMap_.push_back({code, id, std::move(handler)});
}

BOOL CWnd::DispatchCommand(UINT code, UINT id) {
  // The handler mapped last wins, so a derived class can replace a base's.
  for (auto it = commandMap_.rbegin(); it != commandMap_.rend(); ++it) {
    const CommandEntry& e = *it;
    if (e.code == code && id >= (e.first & 0xFFFF) && id <= (e.last & 0xFFFF)) {
      auto handler = e.handler;  // the handler may change the map
      handler(id);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CWnd::DispatchNotify(NMHDR* header, LRESULT* result) {
  if (!header) return FALSE;
  for (auto it = notifyMap_.rbegin(); it != notifyMap_.rend(); ++it) {
    const NotifyEntry& e = *it;
    if (e.code == header->code && e.id == static_cast<UINT>(header->idFrom)) {
      auto handler = e.handler;
      LRESULT local = 0;
      handler(header, result ? result : &local);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return DispatchCommand(HIWORD(wParam), LOWORD(wParam)); }

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  return DispatchNotify(reinterpret_cast<NMHDR*>(lParam), result);
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) {
  std::string cap = caption ? caption : AfxGetApp()->m_pszAppName;
  return ::MessageBox(m_hWnd, text, cap.c_str(), type);
}

CWnd* CWnd::GetSafeOwner(CWnd* parent, HWND* topLevel) {
  CWnd* owner = nullptr;
  if (parent && parent->State())
    owner = parent->GetTopLevelParent();
  else if (!md::ui::detail::ModalStack().empty())
    owner = md::ui::detail::ModalStack().back();
  if (owner && !owner->State()) owner = nullptr;
  if (topLevel) *topLevel = owner ? owner->m_hWnd : nullptr;
  return owner;
}

// ---- plain functions ---------------------------------------------------------------

BOOL IsWindow(HWND hwnd) { return Get(hwnd) != nullptr; }

int GetClassName(HWND hwnd, LPTSTR buffer, int maxCount) {
  WindowState* s = Get(hwnd);
  if (!s || !buffer || maxCount <= 0) return 0;
  size_t n = std::min(s->className.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(buffer, s->className.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  *point = md::ui::detail::Reg().cursor;
  return TRUE;
}

HWND GetFocus() { return md::ui::detail::FocusWindow(); }

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w) return FALSE;
  w->InvalidateRect(rect, erase);
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w) return FALSE;
  w->UpdateWindow();
  return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* w = CWnd::FromHandle(hwnd);
  return w ? w->SendMessage(message, wParam, lParam) : 0;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w || !rect) return FALSE;
  w->GetWindowRect(rect);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w || !rect) return FALSE;
  w->GetClientRect(rect);
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w || !point) return FALSE;
  w->ScreenToClient(point);
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  CWnd* w = CWnd::FromHandle(hwnd);
  if (!w || !point) return FALSE;
  w->ClientToScreen(point);
  return TRUE;
}
