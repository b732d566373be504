// Control behaviour: edits, buttons, combo boxes, list boxes, list views and
// spin buttons, reached through messages and through the control classes.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"

namespace md::ui::detail {
namespace {

constexpr int kDefaultEditLimit = 30000;
// Handlers that set an edit's text from its own notification re-enter; a
// handler that never settles is stopped at this depth.
constexpr int kMaxNotifyDepth = 64;

int DropStyle(const WindowState* s) { return static_cast<int>(s->style & 0x3); }

std::string Lower(const std::string& t) {
  std::string out = t;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Sorted lists order their entries by ASCII case-insensitive byte order: a
// fixed order that does not depend on the machine's locale.
int SortCompare(const std::string& a, const std::string& b) { return Lower(a).compare(Lower(b)); }

bool ValidIndex(const WindowState* s, int i) { return i >= 0 && i < static_cast<int>(s->items.size()); }

std::string FormatSpin(const WindowState* s, int value) {
  char buf[48];
  if (s->base == 16) {
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(value));
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%d", value);
  std::string digits = buf;
  if (s->style & UDS_NOTHOUSANDS) return digits;
  std::string sign;
  if (!digits.empty() && digits[0] == '-') {
    sign = "-";
    digits.erase(0, 1);
  }
  std::string grouped;
  int count = 0;
  for (int i = static_cast<int>(digits.size()) - 1; i >= 0; --i) {
    grouped.insert(grouped.begin(), digits[i]);
    if (++count % 3 == 0 && i > 0) grouped.insert(grouped.begin(), ',');
  }
  return sign + grouped;
}

int SpinMin(const WindowState* s) { return std::min(s->lower, s->upper); }
int SpinMax(const WindowState* s) { return std::max(s->lower, s->upper); }

}  // namespace

// ---- edit ----------------------------------------------------------------------

void EditNotifyChange(WindowState* state) {
  if (!state) return;
  if (state->notifyDepth >= kMaxNotifyDepth) return;
  HWND h = state->handle;
  ++state->notifyDepth;
  NotifyParent(state, state->kind == Kind::ComboBox ? CBN_EDITUPDATE : EN_UPDATE);
  if (WindowState* s = Get(h)) NotifyParent(s, s->kind == Kind::ComboBox ? CBN_EDITCHANGE : EN_CHANGE);
  if (WindowState* s = Get(h)) --s->notifyDepth;
}

void EditSetText(WindowState* state, const std::string& text, bool notify) {
  if (!state) return;
  state->text = text;
  state->selStart = state->selEnd = 0;
  if (CWnd* w = state->Object()) w->Invalidate();
  if (notify && state->kind == Kind::Edit) EditNotifyChange(state);
}

static void ReplaceSelection(WindowState* s, const std::string& insert) {
  int a = std::min(s->selStart, s->selEnd), b = std::max(s->selStart, s->selEnd);
  size_t ba = Utf8Offset(s->text, a), bb = Utf8Offset(s->text, b);
  s->text = s->text.substr(0, ba) + insert + s->text.substr(bb);
  s->selStart = s->selEnd = a + Utf8Length(insert);
  if (CWnd* w = s->Object()) w->Invalidate();
}

bool EditTypeChar(WindowState* s, const std::string& ch) {
  if (!s || ch.empty()) return false;
  if (s->kind == Kind::Edit && (s->style & ES_READONLY)) return false;
  std::string insert = ch;
  if (ch == "\n" || ch == "\r") {
    if (s->kind != Kind::Edit || !(s->style & ES_MULTILINE)) return false;
    insert = "\r\n";
  } else if (s->kind == Kind::Edit && (s->style & ES_NUMBER)) {
    if (ch.size() != 1 || !std::isdigit(static_cast<unsigned char>(ch[0]))) return false;
  }
  int limit = s->limit > 0 ? s->limit : kDefaultEditLimit;
  int selected = std::abs(s->selEnd - s->selStart);
  if (Utf8Length(s->text) - selected + Utf8Length(insert) > limit) {
    if (s->kind == Kind::Edit) NotifyParent(s, EN_MAXTEXT);
    return false;
  }
  ReplaceSelection(s, insert);
  EditNotifyChange(s);
  return true;
}

bool EditDeleteSelection(WindowState* s, bool backspace) {
  if (!s) return false;
  if (s->kind == Kind::Edit && (s->style & ES_READONLY)) return false;
  if (s->selStart == s->selEnd) {
    int len = Utf8Length(s->text);
    if (backspace) {
      if (s->selStart <= 0) return false;
      s->selStart -= 1;
    } else {
      if (s->selEnd >= len) return false;
      s->selEnd += 1;
    }
  }
  ReplaceSelection(s, "");
  EditNotifyChange(s);
  return true;
}

static void EditSetSel(WindowState* s, int start, int end) {
  int len = Utf8Length(s->text);
  if (start == -1) {
    s->selStart = s->selEnd = std::clamp(s->selEnd, 0, len);
    return;
  }
  if (end < 0 || end > len) end = len;
  start = std::clamp(start, 0, len);
  if (start > end) std::swap(start, end);
  s->selStart = start;
  s->selEnd = end;
}

// ---- buttons -------------------------------------------------------------------

std::vector<WindowState*> RadioGroup(WindowState* member) {
  std::vector<WindowState*> group;
  if (!member || !member->parent) return group;
  auto& sib = member->parent->children;
  auto it = std::find(sib.begin(), sib.end(), member);
  if (it == sib.end()) return group;
  size_t start = static_cast<size_t>(it - sib.begin());
  while (start > 0 && !(sib[start]->style & WS_GROUP)) --start;
  for (size_t i = start; i < sib.size(); ++i) {
    if (i > start && (sib[i]->style & WS_GROUP)) break;
    WindowState* c = sib[i];
    DWORD type = c->style & BS_TYPEMASK;
    if (c->kind == Kind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)) group.push_back(c);
  }
  return group;
}

void SetCheck(WindowState* s, int check) {
  if (!s || s->kind != Kind::Button) return;
  DWORD type = s->style & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX) return;
  if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
  if (check != s->check) {
    s->check = check;
    if (CWnd* w = s->Object()) w->Invalidate();
  }
}

void ButtonClick(WindowState* s) {
  if (!s || s->kind != Kind::Button) return;
  switch (s->style & BS_TYPEMASK) {
    case BS_GROUPBOX:
      return;
    case BS_AUTOCHECKBOX:
      SetCheck(s, s->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
      break;
    case BS_AUTO3STATE:
      SetCheck(s, (s->check + 1) % 3);
      break;
    case BS_AUTORADIOBUTTON:
      for (WindowState* r : RadioGroup(s))
        if ((r->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) SetCheck(r, r == s ? BST_CHECKED : BST_UNCHECKED);
      break;
    default:
      break;
  }
  NotifyParent(s, BN_CLICKED);
}

// ---- lists ---------------------------------------------------------------------

int ComboAdd(WindowState* s, const std::string& text, int index) {
  if (!s) return CB_ERR;
  int count = static_cast<int>(s->items.size());
  bool sorted = (s->kind == Kind::ComboBox && (s->style & CBS_SORT)) ||
                (s->kind == Kind::ListBox && (s->style & LBS_SORT));
  int at;
  if (index < 0) {
    at = count;
    if (sorted) {
      at = 0;
      while (at < count && SortCompare(text, s->items[at].text) >= 0) ++at;
    }
  } else {
    if (index > count) return CB_ERR;
    at = index;
  }
  Item item;
  item.text = text;
  s->items.insert(s->items.begin() + at, item);
  if (s->curSel >= at) ++s->curSel;
  if (s->caret >= at) ++s->caret;
  if (s->anchor >= at) ++s->anchor;
  if (CWnd* w = s->Object()) w->Invalidate();
  return at;
}

static int ListDelete(WindowState* s, int index) {
  if (!ValidIndex(s, index)) return CB_ERR;
  s->items.erase(s->items.begin() + index);
  auto fix = [index](int& v) {
    if (v == index)
      v = -1;
    else if (v > index)
      --v;
  };
  fix(s->curSel);
  fix(s->caret);
  fix(s->anchor);
  if (CWnd* w = s->Object()) w->Invalidate();
  return static_cast<int>(s->items.size());
}

void ComboSetCurSel(WindowState* s, int index) {
  if (!s) return;
  s->curSel = ValidIndex(s, index) ? index : -1;
  if (s->kind == Kind::ComboBox && DropStyle(s) != CBS_DROPDOWNLIST)
    s->text = s->curSel >= 0 ? s->items[s->curSel].text : std::string();
  if (CWnd* w = s->Object()) w->Invalidate();
}

int ListFind(const WindowState* s, int startAfter, const std::string& text, bool exact) {
  int n = static_cast<int>(s->items.size());
  if (n == 0) return CB_ERR;
  std::string key = Lower(text);
  int first = (startAfter < -1 || startAfter >= n) ? 0 : startAfter + 1;
  for (int k = 0; k < n; ++k) {
    int i = (first + k) % n;
    std::string item = Lower(s->items[i].text);
    if (exact ? item == key : item.compare(0, key.size(), key) == 0) return i;
  }
  return CB_ERR;
}

static bool MultiSel(const WindowState* s) { return (s->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0; }

// ---- list view -----------------------------------------------------------------

static SIZE IconSize(const WindowState* s) {
  int cx = 32, cy = 32;
  if (s->images && s->images->IsCreated()) s->images->GetIconSize(cx, cy);
  return SIZE{cx, cy};
}

RECT ListViewItemRect(const WindowState* s, int index) {
  RECT client = s->ClientRect();
  if ((s->style & LVS_TYPEMASK) != LVS_ICON) {
    constexpr int kRow = 16;
    return RECT{0, index * kRow, client.right, (index + 1) * kRow};
  }
  SIZE icon = IconSize(s);
  int cellW = icon.cx + 16, cellH = icon.cy + 24;
  int columns = std::max<int>(1, client.right / std::max(cellW, 1));
  int col = index % columns, row = index / columns;
  return RECT{col * cellW, row * cellH, (col + 1) * cellW, (row + 1) * cellH};
}

int ListViewHitTest(const WindowState* s, POINT p, UINT* flags) {
  if (flags) *flags = LVHT_NOWHERE;
  SIZE icon = IconSize(s);
  for (int i = 0; i < static_cast<int>(s->items.size()); ++i) {
    RECT cell = ListViewItemRect(s, i);
    if (p.x < cell.left || p.x >= cell.right || p.y < cell.top || p.y >= cell.bottom) continue;
    if ((s->style & LVS_TYPEMASK) != LVS_ICON) {
      if (flags) *flags = LVHT_ONITEMLABEL;
      return i;
    }
    int ix = cell.left + (cell.right - cell.left - icon.cx) / 2;
    RECT iconRect{ix, cell.top + 2, ix + icon.cx, cell.top + 2 + icon.cy};
    RECT label{cell.left + 2, iconRect.bottom + 2, cell.right - 2, cell.bottom - 2};
    if (p.x >= iconRect.left && p.x < iconRect.right && p.y >= iconRect.top && p.y < iconRect.bottom) {
      if (flags) *flags = LVHT_ONITEMICON;
      return i;
    }
    if (p.x >= label.left && p.x < label.right && p.y >= label.top && p.y < label.bottom) {
      if (flags) *flags = LVHT_ONITEMLABEL;
      return i;
    }
    return -1;
  }
  return -1;
}

void ListViewSetState(WindowState* s, int index, UINT bits, UINT mask, bool notify) {
  if (!s) return;
  HWND h = s->handle;
  int n = static_cast<int>(s->items.size());
  std::vector<int> targets;
  if (index < 0)
    for (int i = 0; i < n; ++i) targets.push_back(i);
  else if (index < n)
    targets.push_back(index);
  // One selected item at most in single-selection lists.
  if (index >= 0 && (s->style & LVS_SINGLESEL) && (mask & bits & LVIS_SELECTED))
    for (int i = 0; i < n; ++i)
      if (i != index && (s->items[i].state & LVIS_SELECTED)) targets.insert(targets.begin(), -(i + 1));
  for (int t : targets) {
    WindowState* cur = Get(h);
    if (!cur) return;
    int i = t < 0 ? -t - 1 : t;
    if (i >= static_cast<int>(cur->items.size())) continue;
    UINT old = cur->items[i].state;
    UINT now = t < 0 ? (old & ~LVIS_SELECTED) : ((old & ~mask) | (bits & mask));
    if (now == old) continue;
    cur->items[i].state = now;
    if (now & LVIS_FOCUSED)
      for (int j = 0; j < static_cast<int>(cur->items.size()); ++j)
        if (j != i) cur->items[j].state &= ~LVIS_FOCUSED;
    if (CWnd* w = cur->Object()) w->Invalidate();
    if (notify) {
      NMLISTVIEW nm;
      nm.hdr.code = LVN_ITEMCHANGED;
      nm.iItem = i;
      nm.uOldState = old;
      nm.uNewState = now;
      nm.uChanged = LVIF_STATE;
      nm.lParam = static_cast<LPARAM>(cur->items[i].data);
      NotifyParent(cur, &nm.hdr);
    }
  }
}

// ---- spin ----------------------------------------------------------------------

void SpinSetPos(WindowState* s, int pos) {
  if (!s) return;
  s->pos = std::clamp(pos, SpinMin(s), SpinMax(s));
  if ((s->style & UDS_SETBUDDYINT) && s->buddy)
    if (CWnd* b = CWnd::FromHandle(s->buddy)) b->SetWindowText(FormatSpin(s, s->pos).c_str());
}

int SpinGetPos(WindowState* s, bool* error) {
  if (error) *error = false;
  if (!s) return 0;
  if ((s->style & UDS_SETBUDDYINT) && s->buddy) {
    CWnd* b = CWnd::FromHandle(s->buddy);
    std::string t = b ? b->GetWindowText() : std::string();
    t.erase(std::remove(t.begin(), t.end(), ','), t.end());
    const char* p = t.c_str();
    while (*p == ' ') ++p;
    char* end = nullptr;
    errno = 0;
    long long v = s->base == 16 ? std::strtoll(p, &end, 16) : std::strtoll(p, &end, 10);
    bool ok = end != p && errno != ERANGE;
    while (ok && *end == ' ') ++end;
    ok = ok && *end == '\0' && v >= SpinMin(s) && v <= SpinMax(s);
    if (!ok) {
      if (error) *error = true;
      return s->pos;
    }
    s->pos = static_cast<int>(v);
  }
  return s->pos;
}

void SpinSetBuddy(WindowState* s, HWND buddy) {
  if (!s) return;
  s->buddy = buddy;
  WindowState* b = Get(buddy);
  if (!b || b->parent != s->parent) return;
  int w = s->rect.right - s->rect.left;
  // Already beside this buddy (an automatic buddy set again): nothing moves,
  // so setting the same buddy twice does not shrink it twice.
  bool besideRight = s->rect.left == b->rect.right && s->rect.top == b->rect.top;
  bool besideLeft = s->rect.right == b->rect.left && s->rect.top == b->rect.top;
  if (((s->style & UDS_ALIGNRIGHT) && besideRight) || ((s->style & UDS_ALIGNLEFT) && besideLeft)) return;
  if (s->style & UDS_ALIGNRIGHT) {
    s->rect = RECT{b->rect.right - w, b->rect.top, b->rect.right, b->rect.bottom};
    b->rect.right -= w;
  } else if (s->style & UDS_ALIGNLEFT) {
    s->rect = RECT{b->rect.left, b->rect.top, b->rect.left + w, b->rect.bottom};
    b->rect.left += w;
  }
}

void SpinStep(WindowState* s, int steps) {
  if (!s || steps == 0) return;
  HWND h = s->handle;
  int direction = s->upper >= s->lower ? 1 : -1;
  int delta = (steps > 0 ? 1 : -1) * direction;
  for (int k = 0; k < std::abs(steps); ++k) {
    WindowState* cur = Get(h);
    if (!cur) return;
    int pos = SpinGetPos(cur, nullptr);
    NMUPDOWN nm;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = pos;
    nm.iDelta = delta;
    if (NotifyParent(cur, &nm.hdr) != 0) continue;  // the parent refused this step
    cur = Get(h);
    if (!cur) return;
    long long next = static_cast<long long>(pos) + nm.iDelta;
    if (next > SpinMax(cur) || next < SpinMin(cur)) {
      if (!(cur->style & UDS_WRAP)) continue;
      next = next > SpinMax(cur) ? SpinMin(cur) : SpinMax(cur);
    }
    SpinSetPos(cur, static_cast<int>(next));
  }
}

// ---- creation from templates ---------------------------------------------------

WindowState* CreateControl(const ControlTemplate& t, const RECT& px, WindowState* parent) {
  Kind kind = Kind::Static;
  switch (t.kind) {
    case ControlKind::Static:
      kind = Kind::Static;
      break;
    case ControlKind::Button:
      kind = Kind::Button;
      break;
    case ControlKind::Edit:
      kind = Kind::Edit;
      break;
    case ControlKind::ComboBox:
      kind = Kind::ComboBox;
      break;
    case ControlKind::ListBox:
      kind = Kind::ListBox;
      break;
    case ControlKind::ListView:
      kind = Kind::ListView;
      break;
    case ControlKind::Spin:
      kind = Kind::Spin;
      break;
  }
  WindowState* s = CreateWindowState(kind, t.className, t.id,
                                     kind == Kind::ComboBox || kind == Kind::ListBox ? "" : t.text,
                                     t.style | WS_CHILD, px, parent);
  s->exStyle = t.exStyle;
  for (const std::string& item : t.items) ComboAdd(s, item, -1);
  if (kind == Kind::Spin && (t.style & UDS_AUTOBUDDY) && parent && parent->children.size() >= 2) {
    WindowState* previous = parent->children[parent->children.size() - 2];
    SpinSetBuddy(s, previous->handle);
  }
  return s;
}

// ---- messages ------------------------------------------------------------------

LRESULT ControlMessage(WindowState* s, UINT msg, WPARAM wp, LPARAM lp) {
  if (!s) return 0;
  switch (msg) {
    case WM_SETTEXT: {
      std::string text = lp ? reinterpret_cast<const char*>(lp) : "";
      if (s->kind == Kind::Edit) {
        EditSetText(s, text, true);
      } else if (s->kind == Kind::ComboBox) {
        if (DropStyle(s) == CBS_DROPDOWNLIST) {
          int i = ListFind(s, -1, text, true);
          if (i < 0) return FALSE;
          ComboSetCurSel(s, i);
        } else {
          s->text = text;
        }
      } else {
        s->text = text;
        if (CWnd* w = s->Object()) w->Invalidate();
      }
      return TRUE;
    }
    case WM_GETTEXTLENGTH:
      return s->Object() ? s->Object()->GetWindowTextLength() : 0;
    case WM_GETTEXT:
      return s->Object() ? s->Object()->GetWindowText(reinterpret_cast<char*>(lp), static_cast<int>(wp)) : 0;
    default:
      break;
  }
  switch (s->kind) {
    case Kind::Edit:
      switch (msg) {
        case EM_GETSEL: {
          int a = std::min(s->selStart, s->selEnd), b = std::max(s->selStart, s->selEnd);
          if (wp) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(a);
          if (lp) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(b);
          return MAKELONG(static_cast<WORD>(a), static_cast<WORD>(b));
        }
        case EM_SETSEL:
          EditSetSel(s, static_cast<int>(static_cast<INT_PTR>(wp)), static_cast<int>(lp));
          return 0;
        case EM_REPLACESEL:
          ReplaceSelection(s, lp ? reinterpret_cast<const char*>(lp) : "");
          EditNotifyChange(s);
          return 0;
        case EM_LIMITTEXT:
          s->limit = wp == 0 ? 0 : static_cast<int>(std::min<WPARAM>(wp, INT_MAX));
          return 0;
        case EM_GETLIMITTEXT:
          return s->limit > 0 ? s->limit : kDefaultEditLimit;
        case EM_SETREADONLY:
          if (wp)
            s->style |= ES_READONLY;
          else
            s->style &= ~ES_READONLY;
          return TRUE;
        default:
          return 0;
      }
    case Kind::Button:
      switch (msg) {
        case BM_GETCHECK:
          return s->check;
        case BM_SETCHECK:
          SetCheck(s, static_cast<int>(wp));
          return 0;
        case BM_CLICK:
          if (!(s->style & WS_DISABLED)) ButtonClick(s);
          return 0;
        default:
          return 0;
      }
    case Kind::ComboBox:
    case Kind::ListBox: {
      bool combo = s->kind == Kind::ComboBox;
      const char* str = lp ? reinterpret_cast<const char*>(lp) : "";
      int index = static_cast<int>(static_cast<INT_PTR>(wp));
      if (msg == (combo ? CB_ADDSTRING : LB_ADDSTRING)) return ComboAdd(s, str, -1);
      if (msg == (combo ? CB_INSERTSTRING : LB_INSERTSTRING))
        return ComboAdd(s, str, index < 0 ? static_cast<int>(s->items.size()) : index);
      if (msg == (combo ? CB_DELETESTRING : LB_DELETESTRING)) return ListDelete(s, index);
      if (msg == (combo ? CB_RESETCONTENT : LB_RESETCONTENT)) {
        s->items.clear();
        s->curSel = s->caret = s->anchor = -1;
        if (combo && DropStyle(s) == CBS_DROPDOWNLIST) s->text.clear();
        if (CWnd* w = s->Object()) w->Invalidate();
        return 0;
      }
      if (msg == (combo ? CB_GETCOUNT : LB_GETCOUNT)) return static_cast<LRESULT>(s->items.size());
      if (msg == (combo ? CB_GETCURSEL : LB_GETCURSEL)) {
        if (!combo && MultiSel(s)) return s->caret >= 0 ? s->caret : LB_ERR;
        return s->curSel;
      }
      if (msg == (combo ? CB_SETCURSEL : LB_SETCURSEL)) {
        if (!combo && MultiSel(s)) return LB_ERR;
        ComboSetCurSel(s, index);
        if (!combo) s->caret = s->curSel;
        return ValidIndex(s, index) ? index : CB_ERR;
      }
      if (msg == (combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN))
        return ValidIndex(s, index) ? static_cast<LRESULT>(s->items[index].text.size()) : CB_ERR;
      if (msg == (combo ? CB_GETLBTEXT : LB_GETTEXT)) {
        if (!ValidIndex(s, index)) return CB_ERR;
        if (lp)
          std::memcpy(reinterpret_cast<char*>(lp), s->items[index].text.c_str(),
                      s->items[index].text.size() + 1);
        return static_cast<LRESULT>(s->items[index].text.size());
      }
      if (msg == (combo ? CB_FINDSTRING : LB_FINDSTRING)) return ListFind(s, index, str, false);
      if (msg == (combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT)) return ListFind(s, index, str, true);
      if (msg == (combo ? CB_SELECTSTRING : LB_SELECTSTRING)) {
        int i = ListFind(s, index, str, false);
        if (i < 0) return CB_ERR;
        if (!combo && MultiSel(s)) return LB_ERR;
        ComboSetCurSel(s, i);
        return i;
      }
      if (msg == (combo ? CB_SETITEMDATA : LB_SETITEMDATA)) {
        if (!ValidIndex(s, index)) return CB_ERR;
        s->items[index].data = static_cast<DWORD_PTR>(lp);
        return TRUE;
      }
      if (msg == (combo ? CB_GETITEMDATA : LB_GETITEMDATA))
        return ValidIndex(s, index) ? static_cast<LRESULT>(s->items[index].data) : CB_ERR;
      if (combo && msg == CB_LIMITTEXT) {
        s->limit = static_cast<int>(std::min<WPARAM>(wp, INT_MAX));
        return TRUE;
      }
      if (!combo) {
        switch (msg) {
          case LB_GETSEL:
            if (!ValidIndex(s, index)) return LB_ERR;
            return MultiSel(s) ? (s->items[index].selected ? 1 : 0) : (s->curSel == index ? 1 : 0);
          case LB_SETSEL: {
            if (!MultiSel(s)) return LB_ERR;
            int target = static_cast<int>(lp);
            if (target == -1) {
              for (Item& it : s->items) it.selected = wp != 0;
            } else {
              if (!ValidIndex(s, target)) return LB_ERR;
              s->items[target].selected = wp != 0;
              s->caret = target;
            }
            if (CWnd* w = s->Object()) w->Invalidate();
            return 0;
          }
          case LB_GETSELCOUNT: {
            if (!MultiSel(s)) return LB_ERR;
            return std::count_if(s->items.begin(), s->items.end(),
                                 [](const Item& it) { return it.selected; });
          }
          case LB_GETSELITEMS: {
            if (!MultiSel(s)) return LB_ERR;
            int* out = reinterpret_cast<int*>(lp);
            int n = 0;
            for (int i = 0; i < static_cast<int>(s->items.size()) && n < index; ++i)
              if (s->items[i].selected) {
                if (out) out[n] = i;
                ++n;
              }
            return n;
          }
          default:
            return 0;
        }
      }
      return 0;
    }
    case Kind::Spin:
      switch (msg) {
        case UDM_SETRANGE:
          s->upper = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp)));
          s->lower = static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp)));
          s->pos = std::clamp(s->pos, SpinMin(s), SpinMax(s));
          return 0;
        case UDM_GETRANGE:
          return MAKELONG(static_cast<WORD>(s->upper), static_cast<WORD>(s->lower));
        case UDM_SETRANGE32:
          s->lower = static_cast<int>(static_cast<INT_PTR>(wp));
          s->upper = static_cast<int>(lp);
          s->pos = std::clamp(s->pos, SpinMin(s), SpinMax(s));
          return 0;
        case UDM_GETRANGE32:
          if (wp) *reinterpret_cast<int*>(wp) = s->lower;
          if (lp) *reinterpret_cast<int*>(lp) = s->upper;
          return 0;
        case UDM_SETPOS: {
          int old = s->pos;
          SpinSetPos(s, static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))));
          return old;
        }
        case UDM_SETPOS32: {
          int old = s->pos;
          SpinSetPos(s, static_cast<int>(lp));
          return old;
        }
        case UDM_GETPOS: {
          bool error = false;
          int p = SpinGetPos(s, &error);
          return MAKELONG(static_cast<WORD>(p), error ? 1 : 0);
        }
        case UDM_GETPOS32: {
          bool error = false;
          int p = SpinGetPos(s, &error);
          if (lp) *reinterpret_cast<BOOL*>(lp) = error ? TRUE : FALSE;
          return p;
        }
        case UDM_SETBUDDY: {
          HWND old = s->buddy;
          SpinSetBuddy(s, reinterpret_cast<HWND>(wp));
          return reinterpret_cast<LRESULT>(old);
        }
        case UDM_GETBUDDY:
          return reinterpret_cast<LRESULT>(s->buddy);
        case UDM_SETBASE: {
          if (wp != 10 && wp != 16) return 0;
          int old = s->base;
          s->base = static_cast<int>(wp);
          return old;
        }
        case UDM_GETBASE:
          return s->base;
        default:
          return 0;
      }
    default:
      return 0;
  }
}

}  // namespace md::ui::detail
