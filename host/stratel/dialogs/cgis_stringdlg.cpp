#include <string>

#include "host/stratel/igis_stringdlg.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

namespace {

enum { IDD_GIS_STRING = 31011, IDC_GIS_STRING_LABEL = 31012, IDC_GIS_STRING_EDIT = 31013 };

class CGIS_StringWindow : public CDialog {
 public:
  CGIS_StringWindow(const std::string& caption, const std::string& label)
      : CDialog(IDD_GIS_STRING), caption_(caption), label_(label) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    if (!caption_.empty()) SetWindowText(caption_.c_str());
    SetDlgItemText(IDC_GIS_STRING_LABEL, label_.c_str());
    return TRUE;
  }
  void OnOK() override {
    GetDlgItemText(IDC_GIS_STRING_EDIT, text);
    CDialog::OnOK();
  }
  std::string text;

 private:
  std::string caption_;
  std::string label_;
};

class CGIS_StringDlg final : public IGIS_StringDlg {
 public:
  void SetCaption(const char* text) override { caption_ = text ? text : ""; }
  void SetLabel(const char* text) override { label_ = text ? text : ""; }
  const char* GetString() override { return has_ ? text_.c_str() : nullptr; }

  BOOL DoModal() override {
    has_ = false;
    text_.clear();
    CGIS_StringWindow window(caption_, label_);
    if (window.DoModal() != IDOK) return FALSE;
    text_ = window.text;
    has_ = true;
    return TRUE;
  }

 private:
  std::string caption_;
  std::string label_;
  std::string text_;
  bool has_ = false;
};

}  // namespace

extern "C" IGIS_StringDlg* GIS_GetStringDlgObject() {
  static CGIS_StringDlg dlg;
  return &dlg;
}
