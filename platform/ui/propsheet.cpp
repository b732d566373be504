// Property sheets, pages and wizard navigation.
#include "platform/ui/propsheet.h"

#include <algorithm>

#include "platform/ui/app.h"
#include "platform/ui/detail/state.h"
#include "platform/ui/resources.h"

using md::ui::detail::Kind;
using md::ui::detail::WindowState;

namespace {
constexpr int kMargin = 7;
constexpr int kTabHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
}  // namespace

// ---- CPropertyPage ------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId)
    : CDialog(templateId, nullptr), captionId_(captionId) {}

CPropertyPage::~CPropertyPage() {
  if (sheet_) {
    auto& pages = sheet_->pages_;
    pages.erase(std::remove(pages.begin(), pages.end(), this), pages.end());
  }
}

BOOL CPropertyPage::OnSetActive() {
  if (firstSetActive_)
    firstSetActive_ = false;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

void CPropertyPage::SetModified(BOOL changed) {
  modified_ = changed != FALSE;
  if (sheet_ && sheet_->m_hWnd) sheet_->UpdateApplyButton();
}

std::string CPropertyPage::GetCaption() const {
  if (m_hWnd) return GetWindowText();
  if (captionId_) return AfxLoadString(captionId_);
  const md::ui::DialogTemplate* t = GetTemplate();
  return t ? t->caption : std::string();
}

// ---- CPropertySheet -----------------------------------------------------------------

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CDialog(0, parent),
      captionId_(captionId),
      title_(captionId ? AfxLoadString(captionId) : std::string()),
      selectPage_(selectPage) {}

CPropertySheet::CPropertySheet(LPCTSTR caption, CWnd* parent, UINT selectPage)
    : CDialog(0, parent), captionId_(0), title_(caption ? caption : ""), selectPage_(selectPage) {}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd) DestroyWindow();
  for (CPropertyPage* p : pages_) p->sheet_ = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page || std::find(pages_.begin(), pages_.end(), page) != pages_.end()) return;
  if (page->sheet_ && page->sheet_ != this) page->sheet_->RemovePage(page);
  page->sheet_ = this;
  page->m_pParentWnd = this;
  pages_.push_back(page);
  if (m_hWnd) LayOut();
}

void CPropertySheet::RemovePage(CPropertyPage* page) { RemovePage(GetPageIndex(page)); }

void CPropertySheet::RemovePage(int index) {
  if (index < 0 || index >= GetPageCount()) return;
  CPropertyPage* p = pages_[index];
  if (p->m_hWnd) p->DestroyWindow();
  p->sheet_ = nullptr;
  pages_.erase(pages_.begin() + index);
  if (active_ == index)
    active_ = -1;
  else if (active_ > index)
    --active_;
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? pages_[index] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (pages_[i] == page) return i;
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (active_ >= 0) return pages_[active_];
  return GetPage(static_cast<int>(selectPage_));
}

int CPropertySheet::GetActiveIndex() const { return active_ >= 0 ? active_ : static_cast<int>(selectPage_); }

BOOL CPropertySheet::SetActivePage(int index) {
  if (!m_hWnd) {
    if (index < 0 || index >= GetPageCount()) return FALSE;
    selectPage_ = static_cast<UINT>(index);
    return TRUE;
  }
  return ActivatePage(index, true);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

void CPropertySheet::SetTitle(LPCTSTR title, UINT) {
  title_ = title ? title : "";
  if (m_hWnd) CWnd::SetWindowText(title_.c_str());
}

int CPropertySheet::FindPageByTemplate(UINT templateId) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (pages_[i]->GetTemplateId() == templateId) return i;
  return -1;
}

void CPropertySheet::LayOut() {
  int w = 0, h = 0;
  for (CPropertyPage* p : pages_) {
    if (const md::ui::DialogTemplate* t = p->GetTemplate()) {
      RECT r = md::ui::DialogUnitsToPixels(*t, 0, 0, t->cx, t->cy);
      w = std::max<int>(w, r.right);
      h = std::max<int>(h, r.bottom);
    }
  }
  int top = wizard_ ? kMargin : kMargin + kTabHeight;
  pageArea_ = RECT{kMargin, top, kMargin + w, top + h};
  int clientW = std::max(w + 2 * kMargin, 4 * (kButtonWidth + kButtonGap) + kMargin);
  int clientH = pageArea_.bottom + kMargin + kButtonHeight + kMargin;
  if (WindowState* s = State()) {
    s->rect.right = s->rect.left + clientW + 6;
    s->rect.bottom = s->rect.top + clientH + 6 + 24;
    int y = pageArea_.bottom + kMargin;
    // Buttons from the right edge; in a wizard Finish takes Next's place.
    std::vector<std::vector<UINT>> slots =
        wizard_ ? std::vector<std::vector<UINT>>{{ID_WIZBACK},
                                                 {ID_WIZNEXT, ID_WIZFINISH},
                                                 {static_cast<UINT>(IDCANCEL)}}
                : std::vector<std::vector<UINT>>{
                      {static_cast<UINT>(IDOK)}, {static_cast<UINT>(IDCANCEL)}, {ID_APPLY_NOW}};
    int x = clientW - kMargin - static_cast<int>(slots.size()) * (kButtonWidth + kButtonGap) + kButtonGap;
    for (const auto& slot : slots) {
      for (UINT id : slot)
        if (WindowState* b = s->Child(static_cast<int>(id)))
          b->rect = RECT{x, y, x + kButtonWidth, y + kButtonHeight};
      x += kButtonWidth + kButtonGap;
    }
  }
  for (CPropertyPage* p : pages_)
    if (p->m_hWnd) p->MoveWindow(&pageArea_, FALSE);
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd || pages_.empty()) return -1;
  WindowState* s = md::ui::detail::CreateWindowState(Kind::Dialog, "#32770", 0, title_,
                                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                                     RECT{100, 80, 100, 80}, nullptr);
  s->wrapper = this;
  m_hWnd = s->handle;
  auto button = [&](UINT id, const char* text, bool enabled) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | (enabled ? 0 : WS_DISABLED);
    md::ui::detail::CreateWindowState(Kind::Button, "Button", static_cast<int>(id), text, style, RECT{}, s);
  };
  if (wizard_) {
    button(ID_WIZBACK, "< 上一步(&B)", true);
    button(ID_WIZNEXT, "下一步(&N) >", true);
    button(ID_WIZFINISH, "完成", false);
    button(static_cast<UINT>(IDCANCEL), "取消", true);
  } else {
    button(static_cast<UINT>(IDOK), "确定", true);
    button(static_cast<UINT>(IDCANCEL), "取消", true);
    button(ID_APPLY_NOW, "应用(&A)", false);
  }
  LayOut();
  SetWizardButtons(wizardButtons_);
  ended_ = false;
  modalResult_ = IDCANCEL;
  active_ = -1;
  HWND previousFocus = ::GetFocus();
  modalRunning_ = true;
  INT_PTR result;
  {
    md::ui::detail::ModalScope scope(this);
    OnInitDialog();
    result = RunModalLoop();
  }
  modalRunning_ = false;
  DestroyWindow();
  active_ = -1;
  for (CPropertyPage* p : pages_) p->firstSetActive_ = true;
  if (WindowState* f = md::ui::detail::Get(previousFocus)) md::ui::detail::SetFocusTo(f);
  return result;
}

BOOL CPropertySheet::OnInitDialog() {
  int n = GetPageCount();
  int start = std::clamp(static_cast<int>(selectPage_), 0, std::max(n - 1, 0));
  for (int k = 0; k < n; ++k)
    if (ActivatePage((start + k) % n, false)) break;
  return TRUE;
}

BOOL CPropertySheet::CreatePage(CPropertyPage* page) {
  page->sheet_ = this;
  page->m_pParentWnd = this;
  if (!page->CreateFromTemplate(this, true)) return FALSE;
  page->MoveWindow(&pageArea_, FALSE);
  page->firstSetActive_ = true;
  page->OnInitDialog();
  return page->m_hWnd != nullptr;
}

BOOL CPropertySheet::ActivatePage(int index, bool leaveCurrent) {
  if (index < 0 || index >= GetPageCount() || !m_hWnd) return FALSE;
  if (leaveCurrent && active_ >= 0) {
    if (index == active_) return TRUE;
    if (!pages_[active_]->OnKillActive()) return FALSE;
  }
  CPropertyPage* page = pages_[index];
  if (!page->m_hWnd && !CreatePage(page)) return FALSE;
  // A page that refuses to be shown leaves the previous one in front.
  if (!page->OnSetActive() || !page->m_hWnd) return FALSE;
  if (active_ >= 0 && active_ != index && pages_[active_]->m_hWnd) pages_[active_]->ShowWindow(SW_HIDE);
  active_ = index;
  page->ShowWindow(SW_SHOW);
  page->SetDefaultFocus();
  UpdateApplyButton();
  Invalidate();
  return TRUE;
}

void CPropertySheet::UpdateApplyButton() {
  if (wizard_ || !m_hWnd) return;
  bool any = std::any_of(pages_.begin(), pages_.end(), [](const CPropertyPage* p) { return p->modified_; });
  if (CWnd* apply = GetDlgItem(static_cast<int>(ID_APPLY_NOW))) apply->EnableWindow(any);
}

void CPropertySheet::SetWizardButtons(DWORD flags) {
  wizardButtons_ = flags;
  if (!wizard_ || !m_hWnd) return;
  bool finishShown = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) || !finishText_.empty();
  if (CWnd* b = GetDlgItem(static_cast<int>(ID_WIZBACK))) b->EnableWindow((flags & PSWIZB_BACK) != 0);
  if (CWnd* b = GetDlgItem(static_cast<int>(ID_WIZNEXT))) {
    b->EnableWindow((flags & PSWIZB_NEXT) != 0);
    b->ShowWindow(finishShown ? SW_HIDE : SW_SHOW);
  }
  if (CWnd* b = GetDlgItem(static_cast<int>(ID_WIZFINISH))) {
    b->ShowWindow(finishShown ? SW_SHOW : SW_HIDE);
    b->EnableWindow((flags & PSWIZB_FINISH) != 0 || !finishText_.empty());
  }
}

void CPropertySheet::SetFinishText(LPCTSTR text) {
  finishText_ = text ? text : "";
  if (CWnd* b = GetDlgItem(static_cast<int>(ID_WIZFINISH))) b->SetWindowText(finishText_.c_str());
  SetWizardButtons(wizardButtons_);
}

BOOL CPropertySheet::PressButton(int button) {
  UINT id = 0;
  switch (button) {
    case PSBTN_BACK:
      id = ID_WIZBACK;
      break;
    case PSBTN_NEXT:
      id = ID_WIZNEXT;
      break;
    case PSBTN_FINISH:
      id = ID_WIZFINISH;
      break;
    case PSBTN_OK:
      id = IDOK;
      break;
    case PSBTN_APPLYNOW:
      id = ID_APPLY_NOW;
      break;
    case PSBTN_CANCEL:
      id = IDCANCEL;
      break;
    default:
      return FALSE;
  }
  if (!m_hWnd) return FALSE;
  return OnCommand(MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  UINT id = LOWORD(wParam);
  if (id == static_cast<UINT>(IDOK))
    OnSheetOK();
  else if (id == static_cast<UINT>(IDCANCEL))
    OnSheetCancel();
  else if (id == ID_APPLY_NOW)
    ApplyAll();
  else if (id == ID_WIZNEXT)
    WizardNext();
  else if (id == ID_WIZBACK)
    WizardBack();
  else if (id == ID_WIZFINISH)
    WizardFinish();
  else
    return FALSE;
  return TRUE;
}

BOOL CPropertySheet::ApplyAll() {
  if (active_ >= 0 && !pages_[active_]->OnKillActive()) return FALSE;
  std::vector<CPropertyPage*> created;
  for (CPropertyPage* p : pages_)
    if (p->m_hWnd) created.push_back(p);
  for (CPropertyPage* p : created)
    if (!p->OnApply()) return FALSE;
  for (CPropertyPage* p : pages_) p->modified_ = false;
  UpdateApplyButton();
  return TRUE;
}

void CPropertySheet::OnSheetOK() {
  if (active_ >= 0 && !pages_[active_]->OnKillActive()) return;
  std::vector<CPropertyPage*> created;
  for (CPropertyPage* p : pages_)
    if (p->m_hWnd) created.push_back(p);
  // A page that refuses to apply keeps the sheet open.
  for (CPropertyPage* p : created)
    if (!p->OnApply()) return;
  EndDialog(IDOK);
}

void CPropertySheet::OnSheetCancel() {
  if (active_ >= 0 && !pages_[active_]->OnQueryCancel()) return;
  for (CPropertyPage* p : pages_)
    if (p->m_hWnd) p->OnReset();
  EndDialog(IDCANCEL);
}

void CPropertySheet::WizardMove(LRESULT target, int step) {
  if (active_ < 0 || target == -1) return;
  int index;
  if (target == 0) {
    index = active_ + step;
  } else {
    index = FindPageByTemplate(static_cast<UINT>(target));
    if (index < 0 || index == active_) return;  // stay
  }
  if (index < 0 || index >= GetPageCount()) return;
  if (!pages_[active_]->OnKillActive()) return;
  // Pages that refuse activation are passed over in the direction of travel.
  for (int i = index; i >= 0 && i < GetPageCount(); i += step) {
    if (i == active_) break;
    if (ActivatePage(i, false)) return;
  }
}

void CPropertySheet::WizardNext() {
  if (active_ < 0) return;
  WizardMove(pages_[active_]->OnWizardNext(), 1);
}

void CPropertySheet::WizardBack() {
  if (active_ < 0) return;
  WizardMove(pages_[active_]->OnWizardBack(), -1);
}

void CPropertySheet::WizardFinish() {
  if (active_ >= 0 && !pages_[active_]->OnWizardFinish()) return;
  EndDialog(static_cast<int>(ID_WIZFINISH));
}
