// Dialogs: creation from templates, the modal run, data exchange, validation.
#include "platform/ui/dialog.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/app.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/driver.h"
#include "platform/ui/resources.h"

using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

namespace {

struct DataExchangeFailure {};

// Help IDs of the framework's own prompts.
constexpr UINT kPromptParseInt = 0xF110;
constexpr UINT kPromptParseReal = 0xF113;
constexpr UINT kPromptIntRange = 0xF114;
constexpr UINT kPromptRealRange = 0xF115;
constexpr UINT kPromptStringSize = 0xF116;

// The framework's validation prompts, word for word; %1 and %2 stand for the
// bounds.
constexpr const char* kTextParseInt = "请输入一个整数。";
constexpr const char* kTextParseUInt = "请输入一个正整数。";
constexpr const char* kTextParseReal = "请输入一个数字。";
constexpr const char* kTextIntRange = "请输入一个介于 %1 和 %2 之间的整数。";
constexpr const char* kTextRealRange = "请输入一个介于 %1 和 %2 之间的数字。";
constexpr const char* kTextStringSize = "请输入不多于 %1 个字符。";

// Puts the two bounds in place of %1 and %2.
std::string RangeText(const char* pattern, const std::string& first, const std::string& second) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
      out += p[1] == '1' ? first : second;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

void Prompt(const std::string& text, UINT helpId) {
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, helpId);
}

std::string Trim(const std::string& t) {
  size_t a = t.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  size_t b = t.find_last_not_of(" \t");
  return t.substr(a, b - a + 1);
}

// A whole decimal integer within [lo, hi], blanks around it allowed.
bool ParseInteger(const std::string& text, long long lo, long long hi, long long* out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  if (i >= t.size()) return false;
  for (size_t k = i; k < t.size(); ++k)
    if (t[k] < '0' || t[k] > '9') return false;
  errno = 0;
  long long v = std::strtoll(t.c_str(), nullptr, 10);
  if (errno == ERANGE || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// A whole finite decimal number, blanks around it allowed.
bool ParseReal(const std::string& text, double* out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  for (char c : t)
    if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E')) return false;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

std::string FormatReal(double v, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", digits, v);
  return buf;
}

template <class T>
void TextInteger(CDataExchange* dx, int id, T& value, long long lo, long long hi, const char* format) {
  const char* prompt = lo >= 0 ? kTextParseUInt : kTextParseInt;
  HWND h = dx->PrepareEditCtrl(id);
  CWnd* c = CWnd::FromHandle(h);
  if (!c) return;
  if (dx->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseInteger(c->GetWindowText(), lo, hi, &v)) {
      Prompt(prompt, kPromptParseInt);
      dx->Fail();
    }
    value = static_cast<T>(v);
  } else {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, value);
    c->SetWindowText(buf);
  }
}

}  // namespace

// ---- CDataExchange ------------------------------------------------------------------

CDataExchange::CDataExchange(CDialog* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
  CWnd* c = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
  m_hWndLastControl = c ? c->m_hWnd : nullptr;
  m_bEditLastControl = FALSE;
  return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND h = PrepareCtrl(id);
  m_bEditLastControl = TRUE;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate) {
    if (CWnd* c = CWnd::FromHandle(m_hWndLastControl)) {
      c->SetFocus();
      if (m_bEditLastControl && c->GetClassName() == "Edit") c->SendMessage(EM_SETSEL, 0, -1);
    }
  }
  throw DataExchangeFailure{};
}

// ---- CDialog ----------------------------------------------------------------------------

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_hWnd) DestroyWindow();
}

const md::ui::DialogTemplate* CDialog::GetTemplate() const { return md::ui::FindDialogTemplate(templateId_); }

BOOL CDialog::CreateFromTemplate(CWnd* parent, bool child) {
  if (m_hWnd) return FALSE;
  const md::ui::DialogTemplate* t = GetTemplate();
  if (!t) {
    std::fprintf(stderr, "dialog template %u not found\n", templateId_);
    return FALSE;
  }
  RECT size = md::ui::DialogUnitsToPixels(*t, 0, 0, t->cx, t->cy);
  WindowState* parentState = parent ? parent->State() : nullptr;
  WindowState* s = nullptr;
  if (child) {
    DWORD style = (t->style & ~(WS_POPUP | WS_VISIBLE)) | WS_CHILD;
    s = md::ui::detail::CreateWindowState(Kind::Dialog, "#32770", static_cast<int>(templateId_), t->caption,
                                          style, size, parentState);
  } else {
    DWORD style = (t->style & ~WS_CHILD) | WS_POPUP | WS_CAPTION | WS_VISIBLE;
    POINT at{100, 80};
    if (parentState) {
      RECT pr;
      parent->GetTopLevelParent()->GetWindowRect(&pr);
      at = POINT{pr.left + 20, pr.top + 20};
    }
    int w = size.right + 6, h = size.bottom + 6 + 24;
    s = md::ui::detail::CreateWindowState(Kind::Dialog, "#32770", 0, t->caption, style,
                                          RECT{at.x, at.y, at.x + w, at.y + h}, nullptr);
  }
  s->baseUnits = md::ui::DialogBaseUnits(*t);
  s->wrapper = this;
  m_hWnd = s->handle;
  for (const md::ui::ControlTemplate& c : t->controls)
    md::ui::detail::CreateControl(c, md::ui::DialogUnitsToPixels(*t, c.x, c.y, c.cx, c.cy), s);
  Invalidate();  // a new window has everything still to paint
  return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  templateId_ = templateId;
  m_pParentWnd = parent;
  if (!CreateFromTemplate(parent, parent != nullptr)) return FALSE;
  if (OnInitDialog() && m_hWnd) SetDefaultFocus();
  return m_hWnd != nullptr;
}

void CDialog::SetDefaultFocus() {
  WindowState* s = State();
  if (!s) return;
  for (WindowState* c : s->children) {
    if ((c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) {
      GotoDlgCtrl(c->Object());
      return;
    }
  }
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (!control || !control->IsWindow()) return;
  control->SetFocus();
  if (control->GetClassName() == "Edit") control->SendMessage(EM_SETSEL, 0, -1);
}

void CDialog::MapDialogRect(LPRECT rect) const {
  if (!rect) return;
  WindowState* s = State();
  SIZE base = s ? s->baseUnits : SIZE{6, 12};
  auto mx = [&](LONG v) { return static_cast<LONG>(std::lround(v * base.cx / 4.0)); };
  auto my = [&](LONG v) { return static_cast<LONG>(std::lround(v * base.cy / 8.0)); };
  *rect = RECT{mx(rect->left), my(rect->top), mx(rect->right), my(rect->bottom)};
}

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  if (!CreateFromTemplate(m_pParentWnd, false)) return -1;
  ended_ = false;
  modalResult_ = IDCANCEL;
  HWND previousFocus = ::GetFocus();
  modalRunning_ = true;
  INT_PTR result;
  {
    md::ui::detail::ModalScope scope(this);
    if (OnInitDialog() && m_hWnd && !ended_) SetDefaultFocus();
    result = RunModalLoop();
  }
  modalRunning_ = false;
  DestroyWindow();
  if (Get(previousFocus)) md::ui::detail::SetFocusTo(Get(previousFocus));
  return result;
}

INT_PTR CDialog::RunModalLoop() {
  if (!ended_ && m_hWnd) {
    md::ui::ModalDriver* driver = md::ui::GetModalDriver();
    md::ui::detail::PaintPending(State());
    if (driver) {
      md::ui::UiUser user(*this);
      driver->Run(user);
    }
    if (!ended_ && m_hWnd) {
      if (driver) md::ui::UiUser(*this).Cancel();
      if (!ended_ && m_hWnd) SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      // A window that refuses even Cancel is closed all the same.
      if (!ended_) EndDialog(IDCANCEL);
    }
  }
  return modalResult_;
}

void CDialog::EndDialog(int result) {
  ended_ = true;
  modalResult_ = result;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, saveAndValidate);
  struct Depth {
    int& d;
    explicit Depth(int& v) : d(v) { ++d; }
    ~Depth() { --d; }
  } depth(exchangeDepth_);
  try {
    DoDataExchange(&dx);
  } catch (const DataExchangeFailure&) {
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

// ---- data exchange ---------------------------------------------------------------------

void DDX_Text(CDataExchange* dx, int id, int& value) { TextInteger(dx, id, value, INT_MIN, INT_MAX, "%d"); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { TextInteger(dx, id, value, 0, UINT_MAX, "%u"); }
void DDX_Text(CDataExchange* dx, int id, long& value) {
  TextInteger(dx, id, value, LONG_MIN, LONG_MAX, "%ld");
}

static void TextReal(CDataExchange* dx, int id, double& value, int digits) {
  HWND h = dx->PrepareEditCtrl(id);
  CWnd* c = CWnd::FromHandle(h);
  if (!c) return;
  if (dx->m_bSaveAndValidate) {
    double v = 0;
    if (!ParseReal(c->GetWindowText(), &v)) {
      Prompt(kTextParseReal, kPromptParseReal);
      dx->Fail();
    }
    value = v;
  } else {
    c->SetWindowText(FormatReal(value, digits).c_str());
  }
}

void DDX_Text(CDataExchange* dx, int id, double& value) { TextReal(dx, id, value, DBL_DIG); }

void DDX_Text(CDataExchange* dx, int id, float& value) {
  double v = value;
  TextReal(dx, id, v, FLT_DIG);
  if (dx->m_bSaveAndValidate) {
    if (std::fabs(v) > FLT_MAX) {
      Prompt(kTextParseReal, kPromptParseReal);
      dx->Fail();
    }
    value = static_cast<float>(v);
  }
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
  HWND h = dx->PrepareEditCtrl(id);
  CWnd* c = CWnd::FromHandle(h);
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    value = c->GetWindowText();
  else
    c->SetWindowText(value.c_str());
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  CWnd* c = CWnd::FromHandle(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(c->SendMessage(BM_GETCHECK));
  else
    c->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value >= 0 && value <= 2 ? value : 0));
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  WindowState* first = Get(dx->PrepareCtrl(id));
  if (!first || !first->parent) return;
  // The group runs from the first button to the next control that starts a
  // group; its buttons count in template order.
  std::vector<WindowState*> group;
  auto& sib = first->parent->children;
  size_t start = 0;
  while (start < sib.size() && sib[start] != first) ++start;
  for (size_t i = start; i < sib.size(); ++i) {
    if (i > start && (sib[i]->style & WS_GROUP)) break;
    DWORD type = sib[i]->style & BS_TYPEMASK;
    if (sib[i]->kind == Kind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON))
      group.push_back(sib[i]);
  }
  if (dx->m_bSaveAndValidate) {
    value = -1;
    for (size_t i = 0; i < group.size(); ++i)
      if (group[i]->check == BST_CHECKED) {
        value = static_cast<int>(i);
        break;
      }
  } else {
    for (size_t i = 0; i < group.size(); ++i)
      md::ui::detail::SetCheck(group[i], static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
  }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  CWnd* c = CWnd::FromHandle(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(c->SendMessage(CB_GETCURSEL));
  else
    c->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(static_cast<INT_PTR>(index)));
}

static void CBString(CDataExchange* dx, int id, std::string& value, bool exact) {
  WindowState* s = Get(dx->PrepareCtrl(id));
  if (!s) return;
  if (dx->m_bSaveAndValidate) {
    value = s->Object()->GetWindowText();
    return;
  }
  int i = md::ui::detail::ListFind(s, -1, value, exact);
  if (i >= 0) {
    md::ui::detail::ComboSetCurSel(s, i);
  } else if ((s->style & 0x3) != CBS_DROPDOWNLIST) {
    s->curSel = -1;
    s->text = value;
    s->Object()->Invalidate();
  }
}

void DDX_CBString(CDataExchange* dx, int id, std::string& value) { CBString(dx, id, value, false); }

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  CWnd* c = CWnd::FromHandle(dx->PrepareCtrl(id));
  if (!c) return;
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(c->SendMessage(LB_GETCURSEL));
  else
    c->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(static_cast<INT_PTR>(index)));
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd) return;
  if (!dx->m_pDlgWnd) return;
  control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

// ---- validation ---------------------------------------------------------------------------

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
  if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
  Prompt(RangeText(kTextIntRange, std::to_string(minValue), std::to_string(maxValue)), kPromptIntRange);
  dx->Fail();
}

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue) {
  if (!dx->m_bSaveAndValidate || (value >= minValue && value <= maxValue)) return;
  Prompt(RangeText(kTextRealRange, FormatReal(minValue, DBL_DIG), FormatReal(maxValue, DBL_DIG)),
         kPromptRealRange);
  dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int count) {
  CWnd* c = CWnd::FromHandle(dx->m_hWndLastControl);
  if (!dx->m_bSaveAndValidate) {
    if (c && c->GetClassName() == "Edit")
      c->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(std::max(count, 0)));
    if (c && c->GetClassName() == "ComboBox")
      c->SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(std::max(count, 0)));
    return;
  }
  if (md::ui::detail::Utf8Length(value) <= count) return;
  Prompt(RangeText(kTextStringSize, std::to_string(count), std::string()), kPromptStringSize);
  dx->Fail();
}
