// The graticule's stored keys (FORMAT.md beside this file), written before
// the common keys of every grid and read before them.
#include <climits>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"

namespace {

using md::layout::StoredSetView;
using md::layout::StoredSetWriter;

constexpr const char* kSave = "CGIS_GraticuleGrid::Save";
constexpr const char* kOpen = "CGIS_GraticuleGrid::Open";

// The key's buffer holding the symbol when there is one, empty otherwise;
// false when a symbol could not be written. Keys are their own descriptions.
bool WriteSymbol(StoredSetWriter* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  bool bSaved = pSymbol == nullptr;
  pSet->SavedInPlace(szKey, szKey,
                     [&](IGIS_DataBuffer* pBuffer) { bSaved = bSaved || pSymbol->Save(pBuffer); });
  return bSaved;
}

// A hatch length: missing or the most negative int reads the default.
int ReadLength(const StoredSetView& set, const char* szKey, int nDefault) {
  int n = INT_MIN;
  set.Read(szKey, &n);
  return n == INT_MIN ? nDefault : n;
}

}  // namespace

bool CGIS_GraticuleGrid::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "pDataBuffer为空");
    return false;
  }
  StoredSetWriter set;
  StoredSetWriter* s = &set;
  s->Double("AxisTickOffset", "AxisTickOffset", m_dAxisTickOffset);
  s->Double("InteriorLabelIntervalX", "InteriorLabelIntervalX", m_dInteriorLabelIntervalX);
  s->Double("InteriorLabelIntervalY", "InteriorLabelIntervalY", m_dInteriorLabelIntervalY);
  s->Double("HatchIntervalX", "HatchIntervalX", m_dHatchIntervalX);
  s->Double("HatchIntervalY", "HatchIntervalY", m_dHatchIntervalY);
  s->Bool("ShowInteriorLabels", "ShowInteriorLabels", m_bShowInteriorLabels);
  s->Double("HatchLength", "HatchLength", m_dHatchLength);
  s->Bool("HatchDirectional", "HatchDirectional", m_bHatchDirectional);
  bool bOk = WriteSymbol(s, "HatchLineSymbol", m_pHatchLineSymbol.get());
  s->Int("MainHatchLength", "MainHatchLength", m_nMainHatchLength);
  s->Int("MainHatchCount", "MainHatchCount", m_nMainHatchCount);
  s->Bool("MainHatchDirectional", "MainHatchDirectional", m_bMainHatchDirectional);
  bOk = WriteSymbol(s, "MainHatchLineSymbol", m_pMainHatchLineSymbol.get()) && bOk;
  s->Int("SubHatchLength", "SubHatchLength", m_nSubHatchLength);
  s->Int("SubHatchCount", "SubHatchCount", m_nSubHatchCount);
  s->Bool("SubHatchDirectional", "SubHatchDirectional", m_bSubHatchDirectional);
  bOk = WriteSymbol(s, "SubHatchLineSymbol", m_pSubHatchLineSymbol.get()) && bOk;
  s->Double("TickOffset", "TickOffset", m_dTickOffset);
  bool bSpacing = !m_pGridSpacing;
  s->SavedInPlace("pGridSpacing", "pGridSpacing",
                  [&](IGIS_DataBuffer* p) { bSpacing = bSpacing || m_pGridSpacing->Save(p); });
  if (!bSpacing) bOk = false;
  if (!SaveCommon(s, pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
    return false;
  }
  return bOk;
}

bool CGIS_GraticuleGrid::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "pDataBuffer为空");
    return false;
  }
  const StoredSetView set(pBuffer);
  if (set.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "b_ret == NULL");
  return OpenStored(set, pBuffer);
}

bool CGIS_GraticuleGrid::OpenStored(const StoredSetView& s, IGIS_DataBuffer*) {
  // A symbol read is held as the setter would hold its copy; an unreadable
  // one keeps the held symbol.
  auto symbol = [&](const char* szKey, md::basilo::ReleasePtr<IGIS_Symbol>* pHeld) {
    md::basilo::ReleasePtr<IGIS_Symbol> read(GetSymbolFromStored(s.Find(szKey), szKey));
    if (IGIS_Symbol* p = md::layout::SymbolPartOf(read.get(), md::layout::SymbolKind::Line)) {
      pHeld->reset(p);
      (void)read.release();
    }
  };
  s.Read("AxisTickOffset", &m_dAxisTickOffset);
  s.Read("InteriorLabelIntervalX", &m_dInteriorLabelIntervalX);
  s.Read("InteriorLabelIntervalY", &m_dInteriorLabelIntervalY);
  s.Read("HatchIntervalX", &m_dHatchIntervalX);
  s.Read("HatchIntervalY", &m_dHatchIntervalY);
  s.Read("ShowInteriorLabels", &m_bShowInteriorLabels);
  s.Read("HatchLength", &m_dHatchLength);
  s.Read("HatchDirectional", &m_bHatchDirectional);
  symbol("HatchLineSymbol", &m_pHatchLineSymbol);
  m_nMainHatchLength = ReadLength(s, "MainHatchLength", kDefaultMainHatchLength);
  s.Read("MainHatchCount", &m_nMainHatchCount);
  s.Read("MainHatchDirectional", &m_bMainHatchDirectional);
  symbol("MainHatchLineSymbol", &m_pMainHatchLineSymbol);
  m_nSubHatchLength = ReadLength(s, "SubHatchLength", kDefaultSubHatchLength);
  s.Read("SubHatchCount", &m_nSubHatchCount);
  s.Read("SubHatchDirectional", &m_bSubHatchDirectional);
  symbol("SubHatchLineSymbol", &m_pSubHatchLineSymbol);
  s.Read("TickOffset", &m_dTickOffset);
  if (s.Find("pGridSpacing") != nullptr) {
    if (!m_pGridSpacing) m_pGridSpacing.reset(NewSpacing(kOpen));
    if (m_pGridSpacing) m_pGridSpacing->Open(s.Buffer("pGridSpacing"));
  }
  return OpenCommon(s);
}
