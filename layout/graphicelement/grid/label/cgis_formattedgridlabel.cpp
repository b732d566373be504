// The formatted grid label: its format, stored form, copies and dialog.
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/grid/label/labelsheet.h"

namespace {

constexpr const char* kSave = "CGIS_FormattedGridLabel::Save";
constexpr const char* kOpen = "CGIS_FormattedGridLabel::Open";
constexpr const char* kFormatKey = "NumericFormat";

}  // namespace

CGIS_FormattedGridLabel::CGIS_FormattedGridLabel()
    : m_pNumericFormat(md::layout::label::NewLabelNumberFormat(true)) {}

void CGIS_FormattedGridLabel::Release() { delete this; }

IGIS_GridLabel* CGIS_FormattedGridLabel::Clone() {
  return md::basilo::CloneOrNull<CGIS_FormattedGridLabel>("CGIS_FormattedGridLabel::Clone", this);
}

void CGIS_FormattedGridLabel::SetNumericFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FormattedGridLabel::SetNumericFormatPtr", "right == NULL");
    return;
  }
  if (pFormat == m_pNumericFormat.get()) return;
  m_pNumericFormat.reset(pFormat->Clone());
}

IGIS_FormattedGridLabel* CGIS_FormattedGridLabel::Copy(IGIS_FormattedGridLabel* pOther) {
  if (pOther == nullptr) return this;
  CGIS_GridLabelBase::CopyFrom(pOther);
  SetNumericFormatPtr(pOther->GetNumericFormat());
  return this;
}

bool CGIS_FormattedGridLabel::Save(IGIS_DataBuffer* pBuffer) {
  if (!md::layout::label::SaveBufferGiven(pBuffer, kSave)) return false;
  md::layout::StoredSetWriter set;
  md::layout::label::PutNumericFormat(&set, kFormatKey, m_pNumericFormat.get());
  return SaveCommonLogged(&set, pBuffer, GetType(), kSave);
}

bool CGIS_FormattedGridLabel::Open(IGIS_DataBuffer* pBuffer) { return OpenThroughStored(pBuffer, kOpen); }

bool CGIS_FormattedGridLabel::OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer*) {
  md::layout::label::TakeNumericFormat(set, kFormatKey, &m_pNumericFormat);
  return OpenCommon(set);
}

bool CGIS_FormattedGridLabel::OnOpenPropertyDlg() { return md::layout::label::OpenLabelSheet(this); }
