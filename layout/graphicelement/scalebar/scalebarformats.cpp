// Number formats held by scale bars.
#include "layout/graphicelement/scalebar/scalebarformats.h"

#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/element/mapdeckutf8.h"

namespace md::layout::detail {

IGIS_NumericFormat* NewNumericFormat(int nKind) {
  IGIS_NumericFormatFactory* pFactory = GIS_GetNumericFormatFactoryObject();
  return pFactory != nullptr ? pFactory->CreateNumericFormat(nKind) : nullptr;
}

void KeepNumericFormatCopy(md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld, IGIS_NumericFormat* pGiven) {
  if (pGiven != nullptr && pGiven == pHeld->get()) return;
  pHeld->reset(pGiven != nullptr ? pGiven->Clone() : nullptr);
}

void SaveNumericFormat(IGIS_NumericFormat* pFormat, IGIS_DataBuffer* pBuffer) {
  if (pFormat != nullptr && pBuffer != nullptr) pFormat->SaveToDataBuffer(pBuffer);
}

bool OpenNumericFormat(IGIS_NumericFormat* pFormat, IGIS_DataBuffer* pBuffer) {
  return pFormat != nullptr && pBuffer != nullptr && pFormat->LoadFromDataBuffer(pBuffer) != FALSE;
}

std::string FormatNumber(IGIS_NumericFormat* pFormat, double dValue, std::size_t nMaxBytes) {
  const char* szText = pFormat != nullptr ? pFormat->Format(dValue) : nullptr;
  if (szText == nullptr) return std::string();
  std::string text(szText);
  text.resize(md::layout::Utf8CutLength(text.c_str(), text.size(), nMaxBytes));
  return text;
}

IGIS_NumericFormat* NewPlainFormatLike(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) return nullptr;
  IGIS_NumericFormat* pPlain = NewNumericFormat(kNumericFormatPlain);
  if (pPlain == nullptr) return nullptr;
  pPlain->SetAlignment(pFormat->GetAlignment());
  pPlain->SetRoundingMode(pFormat->GetRoundingMode());
  pPlain->SetWidth(pFormat->GetWidth());
  pPlain->SetDigits(pFormat->GetDigits());
  pPlain->SetShowPlusSign(pFormat->GetShowPlusSign());
  pPlain->SetShowThousandsSeparator(pFormat->GetShowThousandsSeparator());
  pPlain->SetZeroPadding(pFormat->GetZeroPadding());
  return pPlain;
}

}  // namespace md::layout::detail
