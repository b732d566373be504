// The insert-object dialog and its installation as the element's dialog.
#include "layout/graphicelement/ole/dialogs/cgis_oleinsertdialog.h"

#include "platform/ole/objectclass.h"
#include "platform/ui/app.h"

namespace {

constexpr int kIdNew = 3091;
constexpr int kIdClasses = 3093;
constexpr int kIdPath = 3094;

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

CGIS_OleInsertDialog::CGIS_OleInsertDialog() : CDialog(IDD) {}

void CGIS_OleInsertDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, kIdClasses, m_classes);
  DDX_Radio(dx, kIdNew, m_nSelection);
  DDX_LBIndex(dx, kIdClasses, m_nClass);
  DDX_Text(dx, kIdPath, m_strPath);
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
  m_choice.nSelection = m_nSelection == 1 ? md::layout::SGIS_OleInsertChoice::fromFile
                                          : md::layout::SGIS_OleInsertChoice::createNew;
  // From a file, the chosen class reads it; with no class chosen any class that takes it.
  if (m_nClass >= 0 && m_nClass < static_cast<int>(classes.size()))
    m_choice.progId = classes[m_nClass]->progId;
  m_choice.path = m_strPath;
  if (m_choice.nSelection == md::layout::SGIS_OleInsertChoice::createNew && m_choice.progId.empty()) {
    AfxMessageBox("请选择对象类型。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (m_choice.nSelection == md::layout::SGIS_OleInsertChoice::fromFile && m_choice.path.empty()) {
    AfxMessageBox("请输入文件名。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CDialog::OnOK();
}
