// Property sheets and their pages, in tab mode and wizard mode.
//
// A page's window is made the first time it is shown (its OnInitDialog runs
// then, once). Leaving a page asks OnKillActive; entering one asks
// OnSetActive, and FALSE refuses. OK leaves the active page and then applies
// every page whose window exists; Apply (command ID_APPLY_NOW, which a sheet
// may map itself) does the same without closing and clears every page's
// modified mark. Cancel applies nothing. In wizard mode OnWizardNext and
// OnWizardBack answer 0 for the neighbour in sheet order, -1 to stay, or the
// template ID of the page to show; Finish ends the sheet with ID_WIZFINISH.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  explicit CPropertyPage(UINT templateId = 0, UINT captionId = 0);
  ~CPropertyPage() override;

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel();
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  virtual BOOL OnWizardFinish();
  // A page's OK and Cancel are hooks called from OnApply and OnReset.
  void OnOK() override {}
  void OnCancel() override {}

  void SetModified(BOOL changed = TRUE);
  BOOL IsModified() const { return modified_; }
  // The tab text: the template's caption, or the caption string given.
  std::string GetCaption() const;
  CPropertySheet* GetSheet() const { return sheet_; }
  BOOL IsCreated() const { return m_hWnd != nullptr; }

 private:
  friend class CPropertySheet;
  UINT captionId_;
  CPropertySheet* sheet_ = nullptr;
  bool modified_ = false;
  bool firstSetActive_ = true;
};

class CPropertySheet : public CDialog {
 public:
  explicit CPropertySheet(UINT captionId = 0, CWnd* parent = nullptr, UINT selectPage = 0);
  explicit CPropertySheet(LPCTSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* page);
  void RemovePage(CPropertyPage* page);
  void RemovePage(int index);
  int GetPageCount() const { return static_cast<int>(pages_.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page);
  void SetTitle(LPCTSTR title, UINT style = 0);
  std::string GetTitle() const { return title_; }

  void SetWizardMode() { wizard_ = true; }
  BOOL IsWizardMode() const { return wizard_; }
  void SetWizardButtons(DWORD flags);
  DWORD GetWizardButtons() const { return wizardButtons_; }
  void SetFinishText(LPCTSTR text);
  std::string GetFinishText() const { return finishText_; }
  // Presses a button of the sheet the way the user would (PSBTN_*).
  BOOL PressButton(int button);

  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // What the sheet's buttons do when the sheet maps none of its own.
  BOOL ApplyAll();  // Apply: leave the active page, apply every created page
  void OnSheetOK();
  void OnSheetCancel();
  void WizardNext();
  void WizardBack();
  void WizardFinish();
  // Recomputes the Apply button from the pages' modified marks.
  void UpdateApplyButton();

 private:
  friend class CPropertyPage;
  BOOL ActivatePage(int index, bool leaveCurrent);
  BOOL CreatePage(CPropertyPage* page);
  int FindPageByTemplate(UINT templateId) const;
  void LayOut();
  void WizardMove(LRESULT target, int step);

  UINT captionId_;
  std::string title_;
  UINT selectPage_;
  std::vector<CPropertyPage*> pages_;
  int active_ = -1;
  bool wizard_ = false;
  DWORD wizardButtons_ = PSWIZB_BACK | PSWIZB_NEXT;
  std::string finishText_;
  RECT pageArea_{};
};
