// The common state of the grid labels, its stored form and its copy.
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/mapdecksymbol.h"

namespace md::layout::label {

namespace {

constexpr const char* kSetTextSymbol = "IGIS_GridLabel::SetTextSymbolPtr";
constexpr const char* kSave = "IGIS_GridLabel::Save";
constexpr const char* kOpen = "IGIS_GridLabel::Open";

// The default text height, symbol units (points); the sign is not used.
constexpr LONG kDefaultTextHeight = -8;

// The field of the key in the set, added with the key as its description
// when the set lacks it.
IGIS_Field* FieldOf(IGIS_PropertySet* pSet, const char* szKey, int nType) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  return pField != nullptr ? pField : pSet->AddProperty(szKey, szKey, nType, 1);
}

// The data buffer of the key, emptied; NULL when the set gives none.
IGIS_DataBuffer* EmptyBufferOf(IGIS_PropertySet* pSet, const char* szKey) {
  IGIS_Field* pField = FieldOf(pSet, szKey, GIS_FIELD_TYPE_BUFFER);
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  if (pBuffer != nullptr) pBuffer->SetSize(0);
  return pBuffer;
}

// The stored int of the key, or the fallback when the set lacks it.
int IntOr(IGIS_PropertySet* pSet, const char* szKey, int nFallback) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  return pField != nullptr ? pField->GetInt() : nFallback;
}

// A stored common offset below this reads as the default.
constexpr int kLowestLabelOffset = -10000;
constexpr int kDefaultLabelOffset = 200;

}  // namespace

GridLabelState::GridLabelState() {
  m_offsets.nLeftX = kDefaultLabelOffset;
  m_offsets.nRightX = kDefaultLabelOffset;
  m_offsets.nTopY = kDefaultLabelOffset;
  m_offsets.nBottomY = kDefaultLabelOffset;
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  if (pFactory == nullptr) return;
  m_pTextSymbol.reset(pFactory->CreateSymbol(GIS_SYMBOL_TEXT));
  if (m_pTextSymbol && m_pTextSymbol->GetFontSizePtr() != nullptr) {
    m_pTextSymbol->GetFontSizePtr()->lfHeight = kDefaultTextHeight;
  }
}

void GridLabelState::GetLabelVisible(bool* pLeft, bool* pTop, bool* pRight, bool* pBottom) const {
  if (pLeft != nullptr) *pLeft = m_bLeftVisible;
  if (pTop != nullptr) *pTop = m_bTopVisible;
  if (pRight != nullptr) *pRight = m_bRightVisible;
  if (pBottom != nullptr) *pBottom = m_bBottomVisible;
}

void GridLabelState::SetLabelVisible(bool bLeft, bool bTop, bool bRight, bool bBottom) {
  m_bLeftVisible = bLeft;
  m_bTopVisible = bTop;
  m_bRightVisible = bRight;
  m_bBottomVisible = bBottom;
}

void GridLabelState::SetTextSymbol(IGIS_SymbolPart* pSymbol) {
  ReplaceSymbol(&m_pTextSymbol, pSymbol, SymbolKind::Text, kSetTextSymbol);
}

bool GridLabelState::SaveCommon(IGIS_DataBuffer* pBuffer, int nType) const {
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet = NewSaveSet(pBuffer, kSave);
  if (!pSet) return false;
  // The keys a class wrote into the buffer before stay in the set; a buffer
  // that holds no set adds nothing.
  pSet->Archive(pBuffer, GIS_ARCHIVE_READ, 0);
  IGIS_PropertySet* s = pSet.get();
  PutBool(s, "LeftLabelAlignment", m_bLeftAlignment);
  PutInt(s, "GridLabelType", nType);
  PutBool(s, "rightLabelAlignment", m_bRightAlignment);
  PutBool(s, "bottomLabelAlignment", m_bBottomAlignment);
  PutBool(s, "TopLabelAlignment", m_bTopAlignment);
  PutBool(s, "LeftLabelVisible", m_bLeftVisible);
  PutBool(s, "rightLabelVisible", m_bRightVisible);
  PutBool(s, "bottomLabelVisible", m_bBottomVisible);
  PutBool(s, "TopLabelVisible", m_bTopVisible);
  PutInt(s, "LabelOffset", m_nLabelOffset);
  PutSymbol(s, "TextSymbol", m_pTextSymbol.get());
  PutInt(s, "LeftLabelOffsetX", m_offsets.nLeftX);
  PutInt(s, "RightLabelOffsetX", m_offsets.nRightX);
  PutInt(s, "TopLabelOffsetX", m_offsets.nTopX);
  PutInt(s, "BottomLabelOffsetX", m_offsets.nBottomX);
  PutInt(s, "LeftLabelOffsetY", m_offsets.nLeftY);
  PutInt(s, "RightLabelOffsetY", m_offsets.nRightY);
  PutInt(s, "TopLabelOffsetY", m_offsets.nTopY);
  PutInt(s, "BottomLabelOffsetY", m_offsets.nBottomY);
  return s->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
}

bool GridLabelState::OpenCommon(IGIS_DataBuffer* pBuffer) {
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet = ReadOpenSet(pBuffer, kOpen, "b_ret == FALSE");
  if (!pSet) return false;
  IGIS_PropertySet* s = pSet.get();
  TakeBool(s, "LeftLabelAlignment", &m_bLeftAlignment);
  TakeBool(s, "rightLabelAlignment", &m_bRightAlignment);
  TakeBool(s, "bottomLabelAlignment", &m_bBottomAlignment);
  TakeBool(s, "TopLabelAlignment", &m_bTopAlignment);
  TakeBool(s, "LeftLabelVisible", &m_bLeftVisible);
  TakeBool(s, "rightLabelVisible", &m_bRightVisible);
  TakeBool(s, "bottomLabelVisible", &m_bBottomVisible);
  TakeBool(s, "TopLabelVisible", &m_bTopVisible);
  if (IGIS_Field* pField = s->GetProperty("LabelOffset")) {
    const int nOffset = pField->GetInt();
    m_nLabelOffset = nOffset < kLowestLabelOffset ? kDefaultLabelOffset : nOffset;
  }
  if (md::basilo::ReleasePtr<IGIS_Symbol> pRead = TakeTextSymbol(s, "TextSymbol")) SetTextSymbol(pRead.get());
  // Side offsets that were never stored lie across their side by the common
  // offset and along it by nothing.
  m_offsets.nLeftX = IntOr(s, "LeftLabelOffsetX", m_nLabelOffset);
  m_offsets.nRightX = IntOr(s, "RightLabelOffsetX", m_nLabelOffset);
  m_offsets.nTopX = IntOr(s, "TopLabelOffsetX", 0);
  m_offsets.nBottomX = IntOr(s, "BottomLabelOffsetX", 0);
  m_offsets.nLeftY = IntOr(s, "LeftLabelOffsetY", 0);
  m_offsets.nRightY = IntOr(s, "RightLabelOffsetY", 0);
  m_offsets.nTopY = IntOr(s, "TopLabelOffsetY", m_nLabelOffset);
  m_offsets.nBottomY = IntOr(s, "BottomLabelOffsetY", m_nLabelOffset);
  return true;
}

void GridLabelState::CopyCommon(IGIS_GridLabel& other) {
  other.GetLabelAlignment(&m_bLeftAlignment, &m_bRightAlignment, &m_bTopAlignment, &m_bBottomAlignment);
  m_nLabelOffset = other.GetLabelOffset();
  if (const auto* pState = dynamic_cast<const GridLabelState*>(&other)) {
    pState->GetLabelVisible(&m_bLeftVisible, &m_bTopVisible, &m_bRightVisible, &m_bBottomVisible);
  }
  other.GetLabelOffsetX(&m_offsets.nLeftX, &m_offsets.nRightX, &m_offsets.nTopX, &m_offsets.nBottomX);
  other.GetLabelOffsetY(&m_offsets.nLeftY, &m_offsets.nRightY, &m_offsets.nTopY, &m_offsets.nBottomY);
  SetTextSymbol(other.GetTextSymbolPtr());
}

md::basilo::ReleasePtr<IGIS_PropertySet> NewSaveSet(IGIS_DataBuffer* pBuffer, const char* szMethod) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer == NULL");
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet(GIS_CreatePropertySetObject());
  if (!pSet) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_property_set == NULL");
  return pSet;
}

void PutBool(IGIS_PropertySet* pSet, const char* szKey, bool bValue) {
  if (IGIS_Field* pField = FieldOf(pSet, szKey, GIS_FIELD_TYPE_BOOL)) pField->SetBool(bValue);
}

void PutInt(IGIS_PropertySet* pSet, const char* szKey, int nValue) {
  if (IGIS_Field* pField = FieldOf(pSet, szKey, GIS_FIELD_TYPE_INT)) pField->SetInt(nValue);
}

void PutSymbol(IGIS_PropertySet* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  IGIS_DataBuffer* pBuffer = EmptyBufferOf(pSet, szKey);
  if (pBuffer != nullptr && pSymbol != nullptr) pSymbol->Save(pBuffer);
}

void PutNumericFormat(IGIS_PropertySet* pSet, const char* szKey, IGIS_NumericFormat* pFormat) {
  IGIS_DataBuffer* pBuffer = EmptyBufferOf(pSet, szKey);
  if (pBuffer != nullptr && pFormat != nullptr) pFormat->SaveToDataBuffer(pBuffer);
}

void TakeBool(IGIS_PropertySet* pSet, const char* szKey, bool* pValue) {
  if (IGIS_Field* pField = pSet->GetProperty(szKey)) *pValue = pField->GetBool();
}

void TakeInt(IGIS_PropertySet* pSet, const char* szKey, int* pValue) {
  if (IGIS_Field* pField = pSet->GetProperty(szKey)) *pValue = pField->GetInt();
}

md::basilo::ReleasePtr<IGIS_Symbol> TakeTextSymbol(IGIS_PropertySet* pSet, const char* szKey) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  if (pField == nullptr) return nullptr;
  md::basilo::ReleasePtr<IGIS_Symbol> pRead(GetSymbolFromField(pField));
  if (!pRead || pRead->GetTextPart() == nullptr) return nullptr;
  return pRead;
}

void TakeNumericFormat(IGIS_PropertySet* pSet, const char* szKey,
                       md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  if (pField == nullptr) return;
  IGIS_DataBuffer* pBuffer = pField->GetDataBuffer();
  if (!*pHeld) pHeld->reset(NewLabelNumberFormat(false));
  // A format stored empty or damaged leaves the held one as it was.
  if (*pHeld && pBuffer != nullptr && pBuffer->GetSize() > 0) (*pHeld)->LoadFromDataBuffer(pBuffer);
}

IGIS_NumericFormat* NewLabelNumberFormat(bool bDefaults) {
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  IGIS_NumericFormat* pFormat =
      pFactory != nullptr ? pFactory->CreateNumericFormat(GIS_NUMERICFORMAT_NUMBER) : nullptr;
  if (pFormat != nullptr && bDefaults) {
    pFormat->SetShowPlusSign(false);
    pFormat->SetShowThousandsSeparator(false);
    pFormat->SetZeroPadding(false);
    pFormat->SetRoundingMode(0);
  }
  return pFormat;
}

md::basilo::ReleasePtr<IGIS_PropertySet> ReadOpenSet(IGIS_DataBuffer* pBuffer, const char* szMethod,
                                                     const char* szUnreadable) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer为空");
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> pSet(GIS_CreatePropertySetObject());
  if (!pSet || !pSet->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szUnreadable);
    return nullptr;
  }
  return pSet;
}

md::basilo::ReleasePtr<IGIS_AnnoPointStyle> NewLabelPointStyle(IGIS_SymbolPart* pTextSymbol,
                                                               const char* szMethod) {
  IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pStyleSet = pStyles != nullptr ? pStyles->CreateStyleSet(1) : nullptr;
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pStyle(pStyleSet != nullptr ? pStyleSet->GetPointStyle()
                                                                          : nullptr);
  if (!pStyle) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_style == NULL");
    return pStyle;
  }
  pStyle->SetAlignment(GIS_ALIGN_CENTER);
  pStyle->SetTextStyle(pTextSymbol);
  return pStyle;
}

const char* GridLabelStaticData() {
  static const char kZeros[256] = {};
  return kZeros;
}

}  // namespace md::layout::label
