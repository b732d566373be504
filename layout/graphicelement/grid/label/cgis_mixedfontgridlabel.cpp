// The mixed-font grid label: its symbols, format, settings, stored form,
// copies and sheet.
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/label/labelsheet.h"

using md::layout::label::PutBool;
using md::layout::label::PutInt;
using md::layout::label::PutNumericFormat;
using md::layout::label::PutSymbol;

namespace {

constexpr const char* kSave = "CGIS_MixedFontGridLabel::Save";
constexpr const char* kOpen = "CGIS_MixedFontGridLabel::Open";

constexpr const char* kDigitsKey = "NumGroupedDigits";
constexpr const char* kByCountKey = "GroupedDigitsType";
constexpr const char* kSecondaryKey = "SecondarySymbolText";
constexpr const char* kZoneKey = "ZoneSymbolText";
// The key keeps its stored spelling.
constexpr const char* kPositionKey = "Positon";
constexpr const char* kShowZoneKey = "ShowZone";
constexpr const char* kFormatKey = "NumericFormat";

// The second part's face and sizes (points; the sign is not used).
constexpr const char* kSecondaryFace = "汉仪中等线简";
constexpr LONG kSecondaryHeight = -16;
constexpr LONG kZoneHeight = -10;

// The position rule's values.
constexpr int kLowestPosition = 0;
constexpr int kHighestPosition = 3;

// A new text symbol in the second part's face of the height; NULL without
// a symbol factory.
IGIS_SymbolPart* NewSecondarySymbol() {
  return md::layout::NewTextSymbolWithFont([](LOGFONT* pFont) {
    // The face's 18 bytes fit the face field whole.
    std::memset(pFont->lfFaceName, 0, sizeof(pFont->lfFaceName));
    std::strncpy(pFont->lfFaceName, kSecondaryFace, sizeof(pFont->lfFaceName) - 1);
    pFont->lfHeight = kSecondaryHeight;
  });
}

}  // namespace

CGIS_MixedFontGridLabel::CGIS_MixedFontGridLabel()
    : m_pSecondarySymbol(NewSecondarySymbol()),
      m_pNumericFormat(md::layout::label::NewLabelNumberFormat(true)) {
  if (!m_pSecondarySymbol) return;
  m_pZoneSymbol.reset(m_pSecondarySymbol->Clone());
  if (m_pZoneSymbol && m_pZoneSymbol->GetFontSizePtr() != nullptr) {
    m_pZoneSymbol->GetFontSizePtr()->lfHeight = kZoneHeight;
  }
}

void CGIS_MixedFontGridLabel::Release() { delete this; }

IGIS_GridLabel* CGIS_MixedFontGridLabel::Clone() {
  return md::basilo::CloneOrNull<CGIS_MixedFontGridLabel>("CGIS_MixedFontGridLabel::Clone", this);
}

void CGIS_MixedFontGridLabel::SetSecondarySymbolTextPtr(IGIS_SymbolPart* pSymbol) {
  md::layout::ReplaceSymbol(&m_pSecondarySymbol, pSymbol, md::layout::SymbolKind::Text,
                            "CGIS_MixedFontGridLabel::SetSecondarySymbolTextPtr");
}

void CGIS_MixedFontGridLabel::SetZoneSymbolTextPtr(IGIS_SymbolPart* pSymbol) {
  md::layout::ReplaceSymbol(&m_pZoneSymbol, pSymbol, md::layout::SymbolKind::Text,
                            "CGIS_MixedFontGridLabel::SetZoneSymbolTextPtr");
}

void CGIS_MixedFontGridLabel::SetNumericFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MixedFontGridLabel::SetNumericFormatPtr", "right == NULL");
    m_pNumericFormat.reset();
    return;
  }
  if (pFormat == m_pNumericFormat.get()) return;
  if (!m_pNumericFormat) {
    m_pNumericFormat.reset(pFormat->Clone());
    return;
  }
  // The held format stays the same object and takes the seven settings.
  IGIS_NumericFormat* pHeld = m_pNumericFormat.get();
  pHeld->SetAlignment(pFormat->GetAlignment());
  pHeld->SetWidth(pFormat->GetWidth());
  pHeld->SetRoundingMode(pFormat->GetRoundingMode());
  pHeld->SetDigits(pFormat->GetDigits());
  pHeld->SetShowPlusSign(pFormat->GetShowPlusSign());
  pHeld->SetShowThousandsSeparator(pFormat->GetShowThousandsSeparator());
  pHeld->SetZeroPadding(pFormat->GetZeroPadding());
}

void CGIS_MixedFontGridLabel::SetPosition(int nPosition) {
  if (nPosition >= kLowestPosition && nPosition <= kHighestPosition) m_nPosition = nPosition;
}

IGIS_MixedFontGridLabel* CGIS_MixedFontGridLabel::Copy(IGIS_MixedFontGridLabel* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CGIS_GridLabelBase::CopyFrom(pOther);
  SetNumericFormatPtr(pOther->GetNumericFormat());
  m_nNumGroupedDigits = pOther->GetNumGroupedDigits();
  m_bGroupedDigitsType = pOther->GetGroupedDigitsType();
  SetSecondarySymbolTextPtr(pOther->GetSecondarySymbolText());
  SetZoneSymbolTextPtr(pOther->GetZoneSymbolText());
  // A stored position outside the rule's values is carried as it is.
  m_nPosition = pOther->GetPosition();
  m_bShowZone = pOther->GetShowZone();
  return this;
}

bool CGIS_MixedFontGridLabel::Save(IGIS_DataBuffer* pBuffer) {
  if (!md::layout::label::SaveBufferGiven(pBuffer, kSave)) return false;
  md::layout::StoredSetWriter set;
  md::layout::StoredSetWriter* s = &set;
  PutInt(s, kDigitsKey, m_nNumGroupedDigits);
  PutBool(s, kByCountKey, m_bGroupedDigitsType);
  PutSymbol(s, kSecondaryKey, m_pSecondarySymbol.get());
  PutSymbol(s, kZoneKey, m_pZoneSymbol.get());
  PutInt(s, kPositionKey, m_nPosition);
  PutBool(s, kShowZoneKey, m_bShowZone);
  PutNumericFormat(s, kFormatKey, m_pNumericFormat.get());
  return SaveCommonLogged(s, pBuffer, GetType(), kSave);
}

bool CGIS_MixedFontGridLabel::Open(IGIS_DataBuffer* pBuffer) { return OpenThroughStored(pBuffer, kOpen); }

bool CGIS_MixedFontGridLabel::OpenStored(const md::layout::StoredSetView& s, IGIS_DataBuffer*) {
  // The count and the position are kept as stored: the splitting reads a
  // negative count as 0, and a position outside the rule blanks nothing.
  md::layout::label::TakeInt(s, kDigitsKey, &m_nNumGroupedDigits);
  md::layout::label::TakeBool(s, kByCountKey, &m_bGroupedDigitsType);
  md::layout::label::AdoptTextSymbol(&m_pSecondarySymbol,
                                     md::layout::label::TakeTextSymbol(s, kSecondaryKey));
  md::layout::label::AdoptTextSymbol(&m_pZoneSymbol, md::layout::label::TakeTextSymbol(s, kZoneKey));
  md::layout::label::TakeInt(s, kPositionKey, &m_nPosition);
  md::layout::label::TakeBool(s, kShowZoneKey, &m_bShowZone);
  md::layout::label::TakeNumericFormat(s, kFormatKey, &m_pNumericFormat);
  return OpenCommon(s);
}

bool CGIS_MixedFontGridLabel::OnOpenPropertyDlg() { return md::layout::label::OpenLabelSheet(this); }
