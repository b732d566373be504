#include "layout/graphicelement/element/cgis_spatialreferenceholder.h"

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"

CGIS_SpatialReferenceHolder::~CGIS_SpatialReferenceHolder() { Release(); }

BOOL CGIS_SpatialReferenceHolder::Create(IGIS_SpatialReference* pSource, IGIS_SpatialReference* pTarget,
                                         const char* szName, const char* szDescription) {
  Release();
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceHolder::Create", "p_spatialFactory == NULL");
    return FALSE;
  }
  m_pTransform = pFactory->CreateCoordTransform(szName, szDescription, pSource, pTarget);
  return m_pTransform != nullptr ? TRUE : FALSE;
}

void CGIS_SpatialReferenceHolder::Release() {
  if (m_pTransform != nullptr) {
    m_pTransform->Release();
    m_pTransform = nullptr;
  }
}
