// Dialogs on templates from the resources, with data exchange between the
// dialog's members and its controls, and validation.
#pragma once

#include <string>

#include "platform/ui/controls.h"

namespace md::ui {
struct DialogTemplate;
}

class CDialog;

// One run of DoDataExchange. In save mode (m_bSaveAndValidate) values go from
// the controls into the members and are checked; a failure shows the
// framework's prompt, puts the focus on the control and ends the run.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate);
  BOOL m_bSaveAndValidate;
  CDialog* m_pDlgWnd;
  // The control the last DDX call worked on, the one validation complains about.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Puts the focus on the last control and ends the exchange (throws).
  [[noreturn]] void Fail();
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;
};

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
  ~CDialog() override;

  // Makes the window from the template, runs OnInitDialog, then lets the
  // modal driver play the user until the dialog ends. Answers the value given
  // to EndDialog; IDCANCEL when no driver is installed; -1 when the template
  // does not exist.
  virtual INT_PTR DoModal();
  void EndDialog(int result);
  // Makes the window as a child of `parent` (or top-level) without running it.
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  // TRUE while UpdateData runs: notifications the controls raise then come
  // from the dialog's own exchange, not from the user.
  BOOL IsExchangingData() const { return exchangeDepth_ > 0; }

  void GotoDlgCtrl(CWnd* control);
  // Dialog units to pixels for this dialog's font.
  void MapDialogRect(LPRECT rect) const;

  UINT GetTemplateId() const { return templateId_; }
  const md::ui::DialogTemplate* GetTemplate() const;
  BOOL HasEnded() const { return ended_; }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  UINT templateId_;
  CWnd* m_pParentWnd;
  // Creates the window and its controls from the template. `child` makes a
  // child window (a page); otherwise a top-level window.
  BOOL CreateFromTemplate(CWnd* parent, bool child);
  // Lets the driver play the user until EndDialog; shared with sheets.
  INT_PTR RunModalLoop();
  void SetDefaultFocus();

  int exchangeDepth_ = 0;
  bool modalRunning_ = false;
  bool ended_ = false;
  int modalResult_ = -1;
};

// Data exchange. Each takes the control's ID in the dialog.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The radio group that starts at `id`: the index, in template order, of the
// checked button of the group (-1 for none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, std::string& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minValue, double maxValue);
// At most `count` characters (not bytes); on loading, limits the edit.
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int count);
