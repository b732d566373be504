// The class selection dialog.
#include "layout/graphicelement/legend/dialogs/clegendselectdlg.h"

#include <string>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/mapdeckmessage.h"
#include "layout/graphicelement/legend/dialogs/legendlayers.h"
#include "layout/graphicelement/legend/igis_legenditem.h"

namespace {
constexpr md::layout::legend::ChosenListIds kIds{3040, 3041, 3042, 3044, 3047, 3045, 3046, -1, false};
}  // namespace

CLegendSelectDlg::CLegendSelectDlg(IGIS_LegendItem* pItem, CWnd* pParent)
    : CDialog(3003, pParent),
      m_pItem(pItem),
      m_lists(
          this, kIds, [](int) {}, [](int, int) {}) {
  MapClicked(3042, [this] { AddLines(m_lists.SelectedSource()); });
  MapCommand(LBN_DBLCLK, 3040, [this] { AddLines(m_lists.SelectedSource()); });
  MapClicked(3043, [this] {
    std::vector<int> all;
    for (int i = 0; i < m_lists.Source().GetCount(); ++i) all.push_back(i);
    AddLines(all);
  });
}

BOOL CLegendSelectDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_lists.Attach();
  if (m_pItem != nullptr) {
    if (IGIS_SymbolMatchTable* pTable = md::layout::legend::ClassTableOf(m_pItem->GetLayer())) {
      for (int i = 0; i < pTable->GetCount(); ++i) {
        const char* label = pTable->GetLabel(i);
        m_lists.Source().AddString(label != nullptr ? label : "");
      }
    }
    for (int i = 0; i < m_pItem->GetLabelCount(); ++i) {
      const char* label = m_pItem->GetLabel(i);
      if (label != nullptr && *label != '\0') m_lists.Chosen().AddString(label);
    }
  }
  for (int id : {3045, 3046, 3044, 3042}) m_lists.Enable(id, false);
  return TRUE;
}

void CLegendSelectDlg::AddLines(const std::vector<int>& lines) {
  CListBox& chosen = m_lists.Chosen();
  chosen.SelItemRange(FALSE, 0, chosen.GetCount() - 1);
  for (int line : lines) {
    std::string text;
    m_lists.Source().GetText(line, text);
    chosen.AddString(text.c_str());
  }
  m_lists.Added();
}

void CLegendSelectDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  CListBox& chosen = m_lists.Chosen();
  if (chosen.GetCount() == 0) {
    md::layout::LibraryMessageBox("请选择图例项。", MB_OK);
    return;
  }
  if (m_pItem != nullptr) {
    m_pItem->RemoveAllLabels();
    for (int i = 0; i < chosen.GetCount(); ++i) {
      std::string text;
      chosen.GetText(i, text);
      m_pItem->AddLabel(text.c_str());
    }
  }
  CDialog::OnOK();
}
