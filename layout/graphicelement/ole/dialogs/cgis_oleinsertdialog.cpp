// The insert-object dialog and its installation as the element's dialog.
#include "layout/graphicelement/ole/dialogs/cgis_oleinsertdialog.h"

#include "platform/ole/objectclass.h"
#include "platform/ui/app.h"

namespace {

constexpr int kIdNew = 3091;
constexpr int kIdFromFile = 3092;
constexpr int kIdClasses = 3093;
constexpr int kIdPath = 3094;
constexpr int kIdLink = 3095;
constexpr int kIdAsIcon = 3096;

bool RunInsertDialog(md::layout::SGIS_OleInsertChoice* pChoice) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CGIS_OleInsertDialog dialog;
  if (dialog.DoModal() != IDOK) return false;
  *pChoice = dialog.Choice();
  return true;
}

const struct Registration {
  Registration() { md::layout::SetInsertObjectDialog(&RunInsertDialog); }
  ~Registration() { md::layout::SetInsertObjectDialog({}); }
} g_registration;

}  // namespace

CGIS_OleInsertDialog::CGIS_OleInsertDialog() : CDialog(IDD) {
  // Only a file can be linked to.
  auto enableLink = [this] {
    if (CWnd* pLink = GetDlgItem(kIdLink))
      pLink->EnableWindow(IsDlgButtonChecked(kIdFromFile) == BST_CHECKED);
  };
  MapClicked(kIdNew, enableLink);
  MapClicked(kIdFromFile, enableLink);
}

void CGIS_OleInsertDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, kIdClasses, m_classes);
  DDX_Radio(dx, kIdNew, m_nSelection);
  DDX_LBIndex(dx, kIdClasses, m_nClass);
  DDX_Text(dx, kIdPath, m_strPath);
  DDX_Check(dx, kIdLink, m_nLink);
  DDX_Check(dx, kIdAsIcon, m_nAsIcon);
}

BOOL CGIS_OleInsertDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const md::ole::ObjectClass* c : md::ole::RegisteredClasses()) m_classes.AddString(c->userType.c_str());
  m_classes.SetCurSel(0);
  return TRUE;
}

void CGIS_OleInsertDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  const auto& classes = md::ole::RegisteredClasses();
  m_choice = {};
  m_choice.nSelection = m_nSelection != 1 ? md::layout::SGIS_OleInsertChoice::createNew
                        : m_nLink == 1    ? md::layout::SGIS_OleInsertChoice::linkToFile
                                          : md::layout::SGIS_OleInsertChoice::fromFile;
  m_choice.bDisplayAsIcon = m_nAsIcon == 1;
  // A new object is of the chosen class; a file is read by the class that takes it.
  if (m_choice.nSelection == md::layout::SGIS_OleInsertChoice::createNew && m_nClass >= 0 &&
      m_nClass < static_cast<int>(classes.size()))
    m_choice.progId = classes[m_nClass]->progId;
  m_choice.path = m_strPath;
  if (m_choice.nSelection == md::layout::SGIS_OleInsertChoice::createNew && m_choice.progId.empty()) {
    AfxMessageBox("请选择对象类型。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (m_choice.nSelection != md::layout::SGIS_OleInsertChoice::createNew && m_choice.path.empty()) {
    AfxMessageBox("请输入文件名。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CDialog::OnOK();
}
