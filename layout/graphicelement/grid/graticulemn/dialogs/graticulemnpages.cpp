#include "layout/graphicelement/grid/graticulemn/dialogs/graticulemnpages.h"

#include "layout/graphicelement/dialogs/mapdeckedit.h"

namespace md::layout::graticulemn {

namespace {
constexpr int kMinCount = 1;
constexpr int kMaxCount = 20;
}  // namespace

CountFields::CountFields(CDialog* pPage, const CountIds& ids) : m_pPage(pPage), m_ids(ids) {
  MapEditFilter(pPage, ids.nColumns, &FilterUnsignedIntegerEdit);
  MapEditFilter(pPage, ids.nRows, &FilterUnsignedIntegerEdit);
}

void CountFields::Init() {
  m_editColumns.SubclassDlgItem(static_cast<UINT>(m_ids.nColumns), m_pPage);
  m_editRows.SubclassDlgItem(static_cast<UINT>(m_ids.nRows), m_pPage);
  m_spinColumns.SubclassDlgItem(static_cast<UINT>(m_ids.nColumnsSpin), m_pPage);
  m_spinRows.SubclassDlgItem(static_cast<UINT>(m_ids.nRowsSpin), m_pPage);
  InitSpinButton(&m_editColumns, &m_spinColumns, kMinCount, kMaxCount, 10);
  InitSpinButton(&m_editRows, &m_spinRows, kMinCount, kMaxCount, 10);
}

void CountFields::Exchange(CDataExchange* pDX) {
  DDX_Text(pDX, m_ids.nColumns, m_nColumns);
  DDV_MinMaxInt(pDX, m_nColumns, kMinCount, kMaxCount);
  DDX_Text(pDX, m_ids.nRows, m_nRows);
  DDV_MinMaxInt(pDX, m_nRows, kMinCount, kMaxCount);
}

}  // namespace md::layout::graticulemn
