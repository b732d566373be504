// The grid spacing: intervals, origin, unit and their stored keys.
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"

#include <exception>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/customset.h"

void CGIS_GridSpacing::Release() { delete this; }

IGIS_GridSpacing* CGIS_GridSpacing::Clone() {
  return md::basilo::CloneOrNull<CGIS_GridSpacing>("CGIS_GridSpacing::Clone", this);
}

IGIS_GridSpacing* CGIS_GridSpacing::Copy(IGIS_GridSpacing* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  m_bFixedOrigin = pOther->GetFixedOrigin();
  m_dXIntervalSize = pOther->GetXIntervalSize();
  m_dYIntervalSize = pOther->GetYIntervalSize();
  m_dXOrigin = pOther->GetXOrigin();
  m_dYOrigin = pOther->GetYOrigin();
  m_nUnits = pOther->GetUnits();
  m_nUnitsType = pOther->GetUnitsType();
  return this;
}

void CGIS_GridSpacing::SetUnits(int nIndex) {
  if (nIndex < 0) return;
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  switch (m_nUnitsType) {
    case GIS_GRIDSPACING_UNITS_ANGULAR:
      if (pFactory != nullptr && nIndex < pFactory->GetAngularUnitCount()) m_nUnits = nIndex;
      break;
    case GIS_GRIDSPACING_UNITS_LINEAR:
      if (pFactory != nullptr && nIndex < pFactory->GetLinearUnitCount()) m_nUnits = nIndex;
      break;
    default:
      m_nUnits = 0;
      break;
  }
}

void CGIS_GridSpacing::SetUnitsType(int nType) {
  if (nType >= GIS_GRIDSPACING_UNITS_NONE && nType <= GIS_GRIDSPACING_UNITS_LINEAR) m_nUnitsType = nType;
}

bool CGIS_GridSpacing::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GridSpacing::Save", "pDataBuffer为空");
    return false;
  }
  md::layout::StoredSetWriter s;
  s.Bool("FixedOrigin", "FixedOrigin", m_bFixedOrigin);
  s.Double("XIntervalSize", "XIntervalSize", m_dXIntervalSize);
  s.Double("YIntervalSize", "YIntervalSize", m_dYIntervalSize);
  s.Double("XOrigin", "XOrigin", m_dXOrigin);
  s.Double("YOrigin", "YOrigin", m_dYOrigin);
  s.Int("Units", "Units", m_nUnits);
  s.Int("UnitsType", "UnitsType", m_nUnitsType);
  return s.Finish(pBuffer);
}

bool CGIS_GridSpacing::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_GridSpacing::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  try {
    const md::layout::StoredSetView s(pBuffer);
    if (s.Damaged()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret  == NULL");
      return false;
    }
    s.Read("FixedOrigin", &m_bFixedOrigin);
    const std::pair<const char*, double*> doubles[] = {{"XIntervalSize", &m_dXIntervalSize},
                                                       {"YIntervalSize", &m_dYIntervalSize},
                                                       {"XOrigin", &m_dXOrigin},
                                                       {"YOrigin", &m_dYOrigin}};
    for (const auto& [szKey, pValue] : doubles) s.Read(szKey, pValue);
    s.Read("UnitsType", &m_nUnitsType);
    s.Read("Units", &m_nUnits);
  } catch (const std::exception&) {
    // The record of a failed read names no source place.
    GIS_WriteLogF(GIS_LOG_LEVEL_STORAGE, kMethod, "", 0, "", "IGIS_GridSpacing类存储失败");
    return false;
  }
  return true;
}

namespace md::layout::grid {

IGIS_GridSpacing* NewGridSpacing(int nUnitsType, int nUnits, const char* szMethod) {
  IGIS_GridSpacing* pSpacing = md::basilo::MakeOrNull<CGIS_GridSpacing>(szMethod);
  if (pSpacing != nullptr) {
    pSpacing->SetUnitsType(nUnitsType);
    pSpacing->SetUnits(nUnits);
  }
  return pSpacing;
}

void ReplaceGridSpacing(md::basilo::ReleasePtr<IGIS_GridSpacing>* pHeld, IGIS_GridSpacing* pSpacing,
                        const char* szMethod) {
  if (pSpacing == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "right == NULL");
    return;
  }
  if (pSpacing == pHeld->get()) return;
  if (IGIS_GridSpacing* pCopy = pSpacing->Clone()) pHeld->reset(pCopy);
}

}  // namespace md::layout::grid
