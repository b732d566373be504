// The degrees-minutes-seconds label: its format and symbols, display,
// stored form, copies and sheet.
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/label/labelsheet.h"

namespace {

constexpr const char* kSave = "CGIS_DMSGridLabel::Save";
constexpr const char* kOpen = "CGIS_DMSGridLabel::Open";
constexpr const char* kSetSeconds = "CGIS_DMSGridLabel::SetSecondsSymbolTextPtr";

constexpr const char* kFormatKey = "LatLonFormat1";
constexpr const char* kFormatDescription = "LatLonFormat";
constexpr const char* kTypeKey = "DMSLabelType";
constexpr const char* kSecondsKey = "SecondSymbolText";

// The degree sign, UTF-8.
constexpr const char* kDegreeSign = "\xC2\xB0";

IGIS_NumericFormat* NewLatLonFormat() {
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  return pFactory != nullptr ? pFactory->CreateNumericFormat(GIS_NUMERICFORMAT_LATLON) : nullptr;
}

}  // namespace

CGIS_DMSGridLabel::CGIS_DMSGridLabel() : m_pLatLonFormat(NewLatLonFormat()) {
  if (m_pLatLonFormat) {
    m_pLatLonFormat->SetDisplayMode(GIS_LATLON_DEGREES);
    m_pLatLonFormat->SetRoundingMode(0);
    m_pLatLonFormat->SetDigits(1);
    m_pLatLonFormat->SetLatLonOptionA(true);
    m_pLatLonFormat->SetDisplayMode(GIS_LATLON_DMS);
    m_pLatLonFormat->SetSplitOption(true);
    m_pLatLonFormat->SetLatLonOptionB(true);
  }
  if (IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject()) {
    m_pSecondsSymbol.reset(pFactory->CreateSymbol(GIS_SYMBOL_TEXT));
    // The two symbols start equal.
    if (m_pSecondsSymbol && m_pTextSymbol) SetSecondsSymbolTextPtr(m_pTextSymbol.get());
  }
}

void CGIS_DMSGridLabel::Release() { delete this; }

IGIS_GridLabel* CGIS_DMSGridLabel::Clone() {
  return md::basilo::CloneOrNull<CGIS_DMSGridLabel>("CGIS_DMSGridLabel::Clone", this);
}

void CGIS_DMSGridLabel::SetSecondsSymbolTextPtr(IGIS_SymbolPart* pSymbol) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSetSeconds, "right == NULL");
    m_pSecondsSymbol.reset();
    return;
  }
  if (pSymbol == m_pSecondsSymbol.get()) return;
  if (m_pSecondsSymbol) {
    // The held symbol stays the same object.
    if (IGIS_SymbolPart* pText = md::layout::SymbolPartOf(pSymbol, md::layout::SymbolKind::Text)) {
      m_pSecondsSymbol->CopyFrom(pText);
    } else {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kSetSeconds, "p_symbol == NULL");
    }
    return;
  }
  md::layout::ReplaceSymbol(&m_pSecondsSymbol, pSymbol, md::layout::SymbolKind::Text, kSetSeconds);
}

bool CGIS_DMSGridLabel::IsShowMinutes() {
  if (!m_pLatLonFormat) return false;
  const int nMode = m_pLatLonFormat->GetDisplayMode();
  return nMode == GIS_LATLON_DMS || nMode == GIS_LATLON_DM;
}

bool CGIS_DMSGridLabel::IsShowSeconds() {
  return m_pLatLonFormat && m_pLatLonFormat->GetDisplayMode() == GIS_LATLON_DMS;
}

void CGIS_DMSGridLabel::SetShowMinutes(bool bShow) {
  if (!m_pLatLonFormat) return;
  // Hiding minutes hides seconds; showing them keeps seconds shown.
  const int nMode = m_pLatLonFormat->GetDisplayMode();
  m_pLatLonFormat->SetDisplayMode(!bShow                    ? GIS_LATLON_DEGREES
                                  : nMode == GIS_LATLON_DMS ? GIS_LATLON_DMS
                                                            : GIS_LATLON_DM);
}

void CGIS_DMSGridLabel::SetShowSeconds(bool bShow) {
  if (!m_pLatLonFormat) return;
  // Showing seconds shows minutes; hiding them keeps minutes as they were.
  const int nMode = m_pLatLonFormat->GetDisplayMode();
  const bool bMinutes = nMode == GIS_LATLON_DMS || nMode == GIS_LATLON_DM;
  m_pLatLonFormat->SetDisplayMode(bShow ? GIS_LATLON_DMS : bMinutes ? GIS_LATLON_DM : GIS_LATLON_DEGREES);
}

void CGIS_DMSGridLabel::SetDMSLabelType(int nType) {
  if (nType == GIS_DMSLABEL_STANDARD || nType == GIS_DMSLABEL_STACKED) m_nDMSLabelType = nType;
}

int CGIS_DMSGridLabel::GetDecimalDigits() { return m_pLatLonFormat ? m_pLatLonFormat->GetDigits() : 0; }

void CGIS_DMSGridLabel::SetDecimalDigits(int nDigits) {
  if (!m_pLatLonFormat) return;
  m_pLatLonFormat->SetRoundingMode(0);
  m_pLatLonFormat->SetDigits(nDigits);
}

IGIS_DMSGridLabel* CGIS_DMSGridLabel::Copy(IGIS_DMSGridLabel* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CGIS_GridLabelBase::CopyFrom(pOther);
  SetSecondsSymbolTextPtr(pOther->GetSecondsSymbolText());
  if (auto* pSame = dynamic_cast<CGIS_DMSGridLabel*>(pOther)) {
    // The whole format (display, digits, rounding, split and options) and
    // the display type as stored.
    if (pSame->m_pLatLonFormat) m_pLatLonFormat.reset(pSame->m_pLatLonFormat->Clone());
    m_nDMSLabelType = pSame->m_nDMSLabelType;
    return this;
  }
  // A label of another make shows what its interface tells.
  SetShowSeconds(pOther->IsShowSeconds());
  SetShowMinutes(pOther->IsShowMinutes());
  SetDecimalDigits(pOther->GetDecimalDigits());
  SetDMSLabelType(pOther->GetDMSLabelType());
  return this;
}

bool CGIS_DMSGridLabel::Save(IGIS_DataBuffer* pBuffer) {
  if (!md::layout::label::SaveBufferGiven(pBuffer, kSave)) return false;
  md::layout::StoredSetWriter set;
  bool bOwn = true;
  // A format or symbol the label lacks is stored empty.
  set.SavedInPlace(kFormatKey, kFormatDescription, [&](IGIS_DataBuffer* p) {
    if (m_pLatLonFormat) bOwn = m_pLatLonFormat->SaveToDataBuffer(p) != FALSE && bOwn;
  });
  set.Int(kTypeKey, kTypeKey, m_nDMSLabelType);
  set.SavedInPlace(kSecondsKey, kSecondsKey, [&](IGIS_DataBuffer* p) {
    if (m_pSecondsSymbol) bOwn = m_pSecondsSymbol->Save(p) != FALSE && bOwn;
  });
  if (!bOwn) GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
  // The common keys are written even when the label's own were not.
  const bool bCommon = SaveCommonLogged(&set, pBuffer, GetType(), kSave);
  return bOwn && bCommon;
}

bool CGIS_DMSGridLabel::Open(IGIS_DataBuffer* pBuffer) { return OpenThroughStored(pBuffer, kOpen); }

bool CGIS_DMSGridLabel::OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer*) {
  // The display type is taken as stored; the drawing shows any value but
  // the stacked one as standard.
  // The keys in their stored order: the format, the type, the symbol.
  if (set.Find(kFormatKey) != nullptr) {
    IGIS_DataBuffer* pFormatBuffer = set.Buffer(kFormatKey);
    if (!m_pLatLonFormat) m_pLatLonFormat.reset(NewLatLonFormat());
    // A format stored empty or damaged leaves the held one as it was.
    if (m_pLatLonFormat && pFormatBuffer != nullptr && pFormatBuffer->GetSize() > 0) {
      m_pLatLonFormat->LoadFromDataBuffer(pFormatBuffer);
    }
  }
  set.Read(kTypeKey, &m_nDMSLabelType);
  if (const md::basilo::StoredFieldView* pField = set.Find(kSecondsKey)) {
    md::basilo::ReleasePtr<IGIS_Symbol> pRead(GetSymbolFromStored(pField, kSecondsKey));
    if (pRead && pRead->GetTextPart() != nullptr) SetSecondsSymbolTextPtr(pRead->GetTextPart());
  }
  return OpenCommon(set);
}

bool CGIS_DMSGridLabel::OnOpenPropertyDlg() { return md::layout::label::OpenLabelSheet(this); }

bool CGIS_DMSGridLabel::SplitDegreeText(const std::string& text, std::string* pDegrees, std::string* pRest) {
  const std::string sign(kDegreeSign);
  const std::size_t at = text.find(sign);
  if (at == std::string::npos) return false;
  const std::size_t cut = at + sign.size();
  if (cut >= text.size()) return false;
  if (pDegrees != nullptr) *pDegrees = text.substr(0, cut);
  if (pRest != nullptr) *pRest = text.substr(cut);
  return true;
}
