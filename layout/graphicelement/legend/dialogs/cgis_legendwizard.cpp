// The layers page of the legend wizard.
#include "layout/graphicelement/legend/dialogs/cgis_legendwizard.h"

#include <string>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/dialogs/legenditems.h"
#include "layout/graphicelement/legend/dialogs/legendlayers.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legenditem.h"

using namespace md::layout::legend;

namespace {
constexpr int kMapLayers = 4209, kItems = 4213, kAdd = 4094, kAddAll = 4096, kRemoveAll = 3069,
              kRemove = 4098, kUp = 3018, kDown = 4215, kClasses = 3049, kColumns = 4216, kColumnsSpin = 4217;
constexpr ChosenListIds kIds{kMapLayers, kItems, kAdd, kRemove, kRemoveAll, kUp, kDown, kClasses, true};
}  // namespace

CGIS_LegendWizard::CGIS_LegendWizard()
    : CPropertyPage(4001),
      m_lists(
          this, kIds, [this](int i) { EraseItem(&m_items, i, "CGIS_LegendWizard::OnRemove"); },
          [this](int i, int j) { SwapItems(&m_items, i, j); }) {
  MapClicked(kAdd, [this] { AddLines(m_lists.SelectedSource(), "CGIS_LegendWizard::OnAdd"); });
  MapCommand(LBN_DBLCLK, kMapLayers,
             [this] { AddLines(m_lists.SelectedSource(), "CGIS_LegendWizard::OnDblclkAlllayername"); });
  MapClicked(kAddAll, [this] { OnAddall(); });
  MapClicked(kClasses, [this] { OnChooseClasses(); });
}

CGIS_LegendWizard::~CGIS_LegendWizard() { ReleaseItems(&m_items); }

IGIS_LegendItem* CGIS_LegendWizard::GetItem(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetItemCount()) return nullptr;
  return m_items[static_cast<size_t>(nIndex)].get();
}

void CGIS_LegendWizard::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kColumns, m_nColumns);
  DDV_MinMaxInt(pDX, m_nColumns, 1, 1000);
}

BOOL CGIS_LegendWizard::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_lists.Attach();
  if (m_spinColumns.SubclassDlgItem(kColumnsSpin, this)) {
    m_spinColumns.SetRange32(0, 255);
    m_spinColumns.SetPos(1);
    m_spinColumns.SetBuddy(GetDlgItem(kColumns));
  }
  IGIS_MapElement* pFrame = m_pLegend != nullptr ? m_pLegend->GetMapElement() : nullptr;
  m_pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  if (m_pMap == nullptr) return TRUE;
  ListVectorLayers(m_pMap, &m_lists.Source(), "CGIS_LegendWizard::RescureMaplayer");
  for (int id : {kRemove, kAdd, kRemoveAll, kDown, kUp}) m_lists.Enable(id, false);
  m_lists.Enable(kAddAll, true);
  return TRUE;
}

BOOL CGIS_LegendWizard::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

void CGIS_LegendWizard::AddLines(const std::vector<int>& lines, const char* szMethod) {
  AddLayerItems(&m_lists, &m_items, m_pLegend, m_pMap, lines, szMethod, "p_maplayer == NULL");
}

void CGIS_LegendWizard::OnAddall() { AddLines(AllLines(&m_lists), "CGIS_LegendWizard::OnAddall"); }

void CGIS_LegendWizard::OnChooseClasses() {
  const int first = m_lists.FirstChosen();
  if (first < 0) return;
  CListBox& chosen = m_lists.Chosen();
  chosen.SelItemRange(FALSE, 0, chosen.GetCount() - 1);
  IGIS_LegendItem* pItem = GetItem(first);
  if (pItem == nullptr || !IsVectorLayer(pItem->GetLayer())) return;
  ChooseItemClasses(pItem);
}
