// The common state of the grid labels, its stored form and its copy.
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/mapdecksymbol.h"

namespace md::layout::label {

namespace {

constexpr const char* kSetTextSymbol = "IGIS_GridLabel::SetTextSymbolPtr";
constexpr const char* kSave = "IGIS_GridLabel::Save";
constexpr const char* kOpen = "IGIS_GridLabel::Open";

// The default text height, symbol units (points); the sign is not used.
constexpr LONG kDefaultTextHeight = -8;

// The stored int of the key, or the fallback when the set lacks it.
int IntOr(const StoredSetView& set, const char* szKey, int nFallback) {
  int n = nFallback;
  set.Read(szKey, &n);
  return n;
}

// The common keys in stored order: a label without keys of its own writes
// them after whatever the buffer held, in place of stored ones.
constexpr std::string_view kCommonKeys[] = {
    "LeftLabelAlignment", "GridLabelType",    "rightLabelAlignment", "bottomLabelAlignment",
    "TopLabelAlignment",  "LeftLabelVisible", "rightLabelVisible",   "bottomLabelVisible",
    "TopLabelVisible",    "LabelOffset",      "TextSymbol",          "LeftLabelOffsetX",
    "RightLabelOffsetX",  "TopLabelOffsetX",  "BottomLabelOffsetX",  "LeftLabelOffsetY",
    "RightLabelOffsetY",  "TopLabelOffsetY",  "BottomLabelOffsetY",
};

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
  if (!SaveBufferGiven(pBuffer, kSave)) return false;
  // The keys a class wrote into the buffer before stay first; a buffer that
  // holds no set adds nothing.
  StoredSetWriter set;
  const StoredSetView stored(pBuffer);
  for (const md::basilo::StoredFieldView& f : stored.Fields()) {
    if (std::find(std::begin(kCommonKeys), std::end(kCommonKeys), f.key) == std::end(kCommonKeys))
      set.Stored(f);
  }
  return SaveCommon(&set, pBuffer, nType);
}

bool GridLabelState::SaveCommon(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, int nType) const {
  if (!SaveBufferGiven(pBuffer, kSave)) return false;
  StoredSetWriter* s = pSet;
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
  return s->Finish(pBuffer);
}

bool GridLabelState::SaveCommonLogged(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, int nType,
                                      const char* szMethod) const {
  const bool bCommon = SaveCommon(pSet, pBuffer, nType);
  if (!bCommon) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
  return bCommon;
}

bool GridLabelState::OpenThroughStored(IGIS_DataBuffer* pBuffer, const char* szMethod) {
  const StoredSetView set(pBuffer);
  if (!OpenBufferReadable(pBuffer, set, szMethod, "b_ret == NULL")) return false;
  return OpenStored(set, pBuffer);
}

bool GridLabelState::OpenCommon(IGIS_DataBuffer* pBuffer) {
  const StoredSetView set(pBuffer);
  if (!OpenBufferReadable(pBuffer, set, kOpen, "b_ret == FALSE")) return false;
  return OpenCommon(set);
}

bool GridLabelState::OpenCommon(const StoredSetView& s) {
  TakeBool(s, "LeftLabelAlignment", &m_bLeftAlignment);
  TakeBool(s, "rightLabelAlignment", &m_bRightAlignment);
  TakeBool(s, "bottomLabelAlignment", &m_bBottomAlignment);
  TakeBool(s, "TopLabelAlignment", &m_bTopAlignment);
  TakeBool(s, "LeftLabelVisible", &m_bLeftVisible);
  TakeBool(s, "rightLabelVisible", &m_bRightVisible);
  TakeBool(s, "bottomLabelVisible", &m_bBottomVisible);
  TakeBool(s, "TopLabelVisible", &m_bTopVisible);
  if (int nOffset = 0; s.Read("LabelOffset", &nOffset))
    m_nLabelOffset = nOffset < kLowestLabelOffset ? kDefaultLabelOffset : nOffset;
  AdoptTextSymbol(&m_pTextSymbol, TakeTextSymbol(s, "TextSymbol"));
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

bool SaveBufferGiven(IGIS_DataBuffer* pBuffer, const char* szMethod) {
  if (pBuffer != nullptr) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer == NULL");
  return false;
}

void PutBool(StoredSetWriter* pSet, const char* szKey, bool bValue) { pSet->Bool(szKey, szKey, bValue); }

void PutInt(StoredSetWriter* pSet, const char* szKey, int nValue) { pSet->Int(szKey, szKey, nValue); }

void PutSymbol(StoredSetWriter* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  pSet->SavedInPlace(szKey, szKey, [&](IGIS_DataBuffer* pBuffer) {
    if (pSymbol != nullptr) pSymbol->Save(pBuffer);
  });
}

void PutNumericFormat(StoredSetWriter* pSet, const char* szKey, IGIS_NumericFormat* pFormat) {
  pSet->SavedInPlace(szKey, szKey, [&](IGIS_DataBuffer* pBuffer) {
    if (pFormat != nullptr) pFormat->SaveToDataBuffer(pBuffer);
  });
}

void TakeBool(const StoredSetView& set, const char* szKey, bool* pValue) { set.Read(szKey, pValue); }

void TakeInt(const StoredSetView& set, const char* szKey, int* pValue) { set.Read(szKey, pValue); }

void AdoptTextSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, md::basilo::ReleasePtr<IGIS_Symbol> read) {
  if (IGIS_Symbol* pText = SymbolPartOf(read.get(), SymbolKind::Text)) {
    pHeld->reset(pText);
    (void)read.release();
  }
}

md::basilo::ReleasePtr<IGIS_Symbol> TakeTextSymbol(const StoredSetView& set, const char* szKey) {
  const md::basilo::StoredFieldView* pField = set.Find(szKey);
  if (pField == nullptr) return nullptr;
  md::basilo::ReleasePtr<IGIS_Symbol> pRead(GetSymbolFromStored(pField, szKey));
  if (!pRead || pRead->GetTextPart() == nullptr) return nullptr;
  return pRead;
}

void TakeNumericFormat(const StoredSetView& set, const char* szKey,
                       md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld) {
  if (set.Find(szKey) == nullptr) return;
  IGIS_DataBuffer* pBuffer = set.Buffer(szKey);
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

bool OpenBufferReadable(IGIS_DataBuffer* pBuffer, const StoredSetView& set, const char* szMethod,
                        const char* szUnreadable) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer为空");
    return false;
  }
  if (set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szUnreadable);
    return false;
  }
  return true;
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
