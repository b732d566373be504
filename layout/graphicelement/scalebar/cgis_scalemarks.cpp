// The tick marks of a scale bar and their stored form (FORMAT.md).
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapefeature.h"

using md::layout::detail::KeepSymbolCopy;

namespace {

constexpr int kMarkLineCode = 0xD03;

void SetIntField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nValue) {
  if (IGIS_Field* pField = pSet->AddProperty(szKey, szDescription, GIS_FIELD_TYPE_INT, 1))
    pField->SetInt(nValue);
}

void SetSymbolField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription,
                    IGIS_Symbol* pSymbol) {
  IGIS_Field* pField = pSet->AddProperty(szKey, szDescription, GIS_FIELD_TYPE_BUFFER, 1);
  if (pField != nullptr && pSymbol != nullptr && pField->GetDataBuffer() != nullptr) {
    pSymbol->Save(pField->GetDataBuffer());
  }
}

void ReadInt(IGIS_PropertySet* pSet, const char* szKey, int* pValue) {
  if (IGIS_Field* pField = pSet->GetProperty(szKey)) *pValue = pField->GetInt();
}

}  // namespace

CGIS_ScaleMarks::CGIS_ScaleMarks()
    : m_pSubdivisionMarkSymbol(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kMarkLineCode)),
      m_pDivisionMarkSymbol(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kMarkLineCode)) {}

CGIS_ScaleMarks::~CGIS_ScaleMarks() = default;

void CGIS_ScaleMarks::SetDivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "CGIS_ScaleMarks::SetDivisionMarkSymbolPtr", "pDivisionMarkSymbol == NULL");
  }
  KeepSymbolCopy(&m_pDivisionMarkSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

void CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr",
            "pSubdivisionMarkSymbol == NULL");
  }
  KeepSymbolCopy(&m_pSubdivisionMarkSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

IGIS_ScaleMarks* CGIS_ScaleMarks::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_ScaleMarks>("CGIS_ScaleMarks::Clone");
  if (pCopy == nullptr) return nullptr;
  pCopy->SetDivisionMarkHeight(m_nDivisionMarkHeight);
  pCopy->SetDivisionMarkSymbolPtr(m_pDivisionMarkSymbol.get());
  pCopy->SetMarkFrequency(m_nMarkFrequency);
  pCopy->SetMarkPosition(m_nMarkPosition);
  pCopy->SetSubdivisionMarkSymbolPtr(m_pSubdivisionMarkSymbol.get());
  pCopy->SetSubdivisionMarkHeight(m_nSubdivisionMarkHeight);
  return pCopy;
}

BOOL CGIS_ScaleMarks::Save(IGIS_DataBuffer* pBuffer) {
  IGIS_PropertySet* pSet = GIS_CreatePropertySetObject();
  if (pSet == nullptr) return TRUE;
  SetIntField(pSet, "DivisionMarkHeight", "高度", m_nDivisionMarkHeight);
  SetIntField(pSet, "SubdivisionMarkHeight", "次高度", m_nSubdivisionMarkHeight);
  SetIntField(pSet, "MarkFrequency", "频率", m_nMarkFrequency);
  SetIntField(pSet, "MarkPosition", "位置", m_nMarkPosition);
  SetSymbolField(pSet, "DivisionMarkSymbol", "主符号", m_pDivisionMarkSymbol.get());
  SetSymbolField(pSet, "SubdivisionMarkSymbol", "次符号", m_pSubdivisionMarkSymbol.get());
  if (pBuffer != nullptr) pSet->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0);
  pSet->Release();
  return TRUE;
}

// A line symbol stored under the key goes to the setter; a missing key, an
// empty buffer or a symbol of another kind keeps the held one.
void CGIS_ScaleMarks::ReadLineSymbol(IGIS_PropertySet* pSet, const char* szKey,
                                     void (CGIS_ScaleMarks::*setter)(IGIS_Symbol*)) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  if (pField == nullptr) return;
  IGIS_Symbol* pRead = GetSymbolFromField(pField);
  if (pRead == nullptr) return;
  if (IGIS_Symbol* pLine = pRead->AsLineSymbol()) (this->*setter)(pLine);
  pRead->Release();
}

BOOL CGIS_ScaleMarks::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleMarks::Open", "pDataBuffer为空");
    return FALSE;
  }
  if (GIS_GetSymbolFactoryObject() == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleMarks::Open", "p_symbolFactory == NULL");
  IGIS_PropertySet* pSet = GIS_CreatePropertySetObject();
  if (pSet == nullptr) return TRUE;
  // A damaged buffer reads as nothing: every value stays as it was.
  if (pSet->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    ReadInt(pSet, "DivisionMarkHeight", &m_nDivisionMarkHeight);
    ReadInt(pSet, "SubdivisionMarkHeight", &m_nSubdivisionMarkHeight);
    ReadInt(pSet, "MarkFrequency", &m_nMarkFrequency);
    ReadInt(pSet, "MarkPosition", &m_nMarkPosition);
    ReadLineSymbol(pSet, "DivisionMarkSymbol", &CGIS_ScaleMarks::SetDivisionMarkSymbolPtr);
    ReadLineSymbol(pSet, "SubdivisionMarkSymbol", &CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr);
  }
  pSet->Release();
  return TRUE;
}
