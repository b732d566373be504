// The legend class format: copying and its binary block.
#include "layout/graphicelement/legend/cgis_legendclassformat.h"

#include <cstdint>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/legend/legendtext.h"

namespace {

constexpr char kTag[] = "LegendClassFormat";  // 17 letters and the zero byte
static_assert(sizeof(kTag) == 18);
constexpr int kTagOffset = 4;
constexpr int kInt1Offset = 22;
constexpr int kInt2Offset = 26;
constexpr int kDouble1Offset = 30;
constexpr int kDouble2Offset = 38;

// Little-endian stores and loads of fixed-width values.
template <class T>
void Put(BYTE* p, T value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    p[i] = bytes[__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? i : sizeof(T) - 1 - i];
  }
}

template <class T>
T Get(const BYTE* p) {
  unsigned char bytes[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    bytes[__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? i : sizeof(T) - 1 - i] = p[i];
  }
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

}  // namespace

CGIS_LegendClassFormat::CGIS_LegendClassFormat() : m_pSymbol(md::layout::legend::NewTextSymbol()) {}

CGIS_LegendClassFormat::~CGIS_LegendClassFormat() = default;

void CGIS_LegendClassFormat::ReleaseSymbol() { m_pSymbol.reset(); }

void CGIS_LegendClassFormat::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol != nullptr && pSymbol == m_pSymbol.get()) return;
  m_pSymbol.reset(md::layout::legend::CloneTextSymbol(pSymbol));
}

bool CGIS_LegendClassFormat::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendClassFormat::Save", "pDataBuffer == NULL");
    return false;
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> scratch(GIS_CreateDataBufferObject(0));
  if (!scratch) return false;
  if (m_pSymbol && !m_pSymbol->Save(scratch.get())) return false;
  const int nSymbol = scratch->GetSize();
  if (nSymbol < 0 || nSymbol > INT32_MAX - kHeaderSize) return false;
  const int nTotal = kHeaderSize + nSymbol;
  if (!pBuffer->SetSize(nTotal) || pBuffer->GetData() == nullptr) return false;
  BYTE* p = pBuffer->GetData();
  Put<std::int32_t>(p, nTotal);
  std::memcpy(p + kTagOffset, kTag, sizeof(kTag));
  Put<std::int32_t>(p + kInt1Offset, m_nIntValue1);
  Put<std::int32_t>(p + kInt2Offset, m_nIntValue2);
  Put<double>(p + kDouble1Offset, m_dDoubleValue1);
  Put<double>(p + kDouble2Offset, m_dDoubleValue2);
  if (nSymbol > 0) std::memcpy(p + kHeaderSize, scratch->GetData(), static_cast<std::size_t>(nSymbol));
  return true;
}

bool CGIS_LegendClassFormat::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_LegendClassFormat::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer == NULL");
    return false;
  }
  const BYTE* p = pBuffer->GetData();
  const int nSize = pBuffer->GetSize();
  if (p == nullptr || nSize <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer->GetBufferPtr()为空");
    return false;
  }
  if (nSize < kHeaderSize) return false;
  if (Get<std::int32_t>(p) != nSize || std::memcmp(p + kTagOffset, kTag, sizeof(kTag)) != 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "the block is no legend class format of %d bytes", nSize);
    return false;
  }
  md::basilo::ReleasePtr<IGIS_Symbol> symbol;
  const int nSymbol = nSize - kHeaderSize;
  if (nSymbol > 0) {
    IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
    symbol.reset(pFactory != nullptr ? pFactory->CreateSymbolFromBytes(p + kHeaderSize, nSymbol) : nullptr);
    // Symbol bytes that do not make a text symbol refuse the whole block.
    if (!symbol || symbol->GetTextPart() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "the block's symbol cannot be read");
      return false;
    }
  }
  m_nIntValue1 = Get<std::int32_t>(p + kInt1Offset);
  m_nIntValue2 = Get<std::int32_t>(p + kInt2Offset);
  m_dDoubleValue1 = Get<double>(p + kDouble1Offset);
  m_dDoubleValue2 = Get<double>(p + kDouble2Offset);
  if (symbol) m_pSymbol = std::move(symbol);
  return true;
}

IGIS_LegendClassFormat* CGIS_LegendClassFormat::Clone() {
  auto* pClone = md::basilo::MakeOrNull<CGIS_LegendClassFormat>("CGIS_LegendClassFormat::Clone");
  if (pClone == nullptr) return nullptr;
  pClone->m_pSymbol.reset(md::layout::legend::CloneTextSymbol(m_pSymbol.get()));
  pClone->m_nIntValue1 = m_nIntValue1;
  pClone->m_nIntValue2 = m_nIntValue2;
  pClone->m_dDoubleValue1 = m_dDoubleValue1;
  pClone->m_dDoubleValue2 = m_dDoubleValue2;
  return pClone;
}
