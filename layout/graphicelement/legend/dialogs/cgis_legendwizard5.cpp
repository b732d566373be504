// The gaps page of the legend wizard.
#include "layout/graphicelement/legend/dialogs/cgis_legendwizard5.h"

#include <cmath>

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/legend/igis_legendformat.h"

namespace {
constexpr int kEdits[] = {4237, 4238, 4239, 4243, 4242, 4245, 3056, 3055};
constexpr int kMaxValue = 10000;

// A gap cut toward zero; validation has kept it within 0..10000.
int Cut(double value) { return std::isfinite(value) ? static_cast<int>(std::trunc(value)) : 0; }
}  // namespace

CGIS_LegendWizard5::CGIS_LegendWizard5() : CPropertyPage(4059), m_pFormat(GIS_CreateLegendFormatObject()) {
  for (int id : kEdits) MapEditFilter(this, id, &FilterUnsignedIntegerEdit);
}

BOOL CGIS_LegendWizard5::SetLegendFormat(IGIS_LegendFormat* pFormat) {
  if (pFormat == nullptr) return TRUE;
  m_dTitleGap = pFormat->GetTitleAndLegendGap();
  m_dRowSpacing = pFormat->GetVerticalItemGap();
  m_dColumnSpacing = pFormat->GetHorizontalItemGap();
  m_dPatchLabelGap = pFormat->GetPatchAndLabelsGap();
  m_nPatchWidth = pFormat->GetDefaultPatchWidth();
  m_nPatchHeight = pFormat->GetDefaultPatchHeight();
  m_dLayerNameGap = pFormat->GetLayerNameGap();
  m_dHeadingGap = pFormat->GetHeadingGap();
  return TRUE;
}

void CGIS_LegendWizard5::DoDataExchange(CDataExchange* pDX) {
  // The patch size is whole; the gaps are typed as decimals.
  const struct {
    int nId;
    double* pGap;
    int* pSize;
  } fields[] = {{4237, &m_dTitleGap, nullptr},      {4238, &m_dRowSpacing, nullptr},
                {4239, &m_dColumnSpacing, nullptr}, {4243, &m_dPatchLabelGap, nullptr},
                {4242, nullptr, &m_nPatchWidth},    {4245, nullptr, &m_nPatchHeight},
                {3056, &m_dLayerNameGap, nullptr},  {3055, &m_dHeadingGap, nullptr}};
  for (const auto& f : fields) {
    if (f.pGap != nullptr) {
      DDX_Text(pDX, f.nId, *f.pGap);
      DDV_MinMaxDouble(pDX, *f.pGap, 0, kMaxValue);
    } else {
      DDX_Text(pDX, f.nId, *f.pSize);
      DDV_MinMaxInt(pDX, *f.pSize, 0, kMaxValue);
    }
  }
}

BOOL CGIS_LegendWizard5::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) {
    pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    pSheet->SetFinishText("完成");
  }
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_LegendWizard5::OnKillActive() {
  if (!CPropertyPage::OnKillActive()) return FALSE;
  // A finish text keeps Finish in place of Next on every page; going back
  // from here must leave Next usable and Finish only on this page.
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetFinishText("");
  return TRUE;
}

BOOL CGIS_LegendWizard5::OnWizardFinish() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pFormat) {
    m_pFormat->SetDefaultPatchHeight(m_nPatchHeight);
    m_pFormat->SetDefaultPatchWidth(m_nPatchWidth);
    m_pFormat->SetTitleAndLegendGap(Cut(m_dTitleGap));
    m_pFormat->SetHorizontalItemGap(Cut(m_dColumnSpacing));
    m_pFormat->SetPatchAndLabelsGap(Cut(m_dPatchLabelGap));
    m_pFormat->SetVerticalItemGap(Cut(m_dRowSpacing));
    m_pFormat->SetHeadingGap(Cut(m_dHeadingGap));
    m_pFormat->SetLayerNameGap(Cut(m_dLayerNameGap));
  }
  return CPropertyPage::OnWizardFinish();
}
