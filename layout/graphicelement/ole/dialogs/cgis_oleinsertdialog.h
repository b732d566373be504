// The insert-object dialog: a new object of a registered class, an object
// made from a file's content or linked to the file, shown as its content or
// as its icon. It lists the in-process object classes.
#pragma once

#include "layout/graphicelement/ole/oleinsert.h"
#include "platform/ui/clistbox.h"
#include "platform/ui/dialog.h"

class CGIS_OleInsertDialog : public CDialog {
 public:
  enum { IDD = 3090 };
  CGIS_OleInsertDialog();

  // The user's choice after OK.
  const md::layout::SGIS_OleInsertChoice& Choice() const { return m_choice; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  md::layout::SGIS_OleInsertChoice m_choice;
  int m_nSelection = 0;
  int m_nClass = 0;
  int m_nLink = 0;
  int m_nAsIcon = 0;
  std::string m_strPath;
  CListBox m_classes;
};
