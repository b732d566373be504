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

IGIS_NumericFormat* NewNumberFormat() {
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  return pFactory != nullptr ? pFactory->CreateNumericFormat(GIS_NUMERICFORMAT_NUMBER) : nullptr;
}

}  // namespace

CGIS_FormattedGridLabel::CGIS_FormattedGridLabel() : m_pNumericFormat(NewNumberFormat()) {
  if (!m_pNumericFormat) return;
  m_pNumericFormat->SetShowPlusSign(false);
  m_pNumericFormat->SetShowThousandsSeparator(false);
  m_pNumericFormat->SetZeroPadding(false);
  m_pNumericFormat->SetRoundingMode(0);
}

void CGIS_FormattedGridLabel::Release() { delete this; }

IGIS_GridLabel* CGIS_FormattedGridLabel::Clone() {
  auto* pClone = md::basilo::MakeOrNull<CGIS_FormattedGridLabel>("CGIS_FormattedGridLabel::Clone");
  if (pClone != nullptr) pClone->Copy(this);
  return pClone;
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
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet = md::layout::label::NewSaveSet(pBuffer, kSave);
  if (!pSet) return false;
  // Without a format the key is stored empty.
  if (IGIS_Field* pField = pSet->AddProperty(kFormatKey, kFormatKey, GIS_FIELD_TYPE_BUFFER, 1)) {
    IGIS_DataBuffer* pFormatBuffer = pField->GetDataBuffer();
    if (pFormatBuffer != nullptr && m_pNumericFormat) m_pNumericFormat->SaveToDataBuffer(pFormatBuffer);
  }
  const bool bOwn = pSet->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
  if (!bOwn) GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret  == NULL");
  const bool bCommon = CGIS_GridLabelBase::Save(pBuffer);
  if (!bCommon) GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
  return bOwn && bCommon;
}

bool CGIS_FormattedGridLabel::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "pDataBuffer为空");
    return false;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet(GIS_CreatePropertySetObject());
  if (!pSet) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "p_property_set == NULL");
    return false;
  }
  if (!pSet->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "b_ret == NULL");
    return false;
  }
  if (IGIS_Field* pField = pSet->GetProperty(kFormatKey)) {
    IGIS_DataBuffer* pFormatBuffer = pField->GetDataBuffer();
    if (!m_pNumericFormat) m_pNumericFormat.reset(NewNumberFormat());
    // A format stored empty or damaged leaves the held one as it was.
    if (m_pNumericFormat && pFormatBuffer != nullptr && pFormatBuffer->GetSize() > 0) {
      m_pNumericFormat->LoadFromDataBuffer(pFormatBuffer);
    }
  }
  return CGIS_GridLabelBase::Open(pBuffer);
}

bool CGIS_FormattedGridLabel::OnOpenPropertyDlg() { return md::layout::label::OpenLabelSheet(this); }
