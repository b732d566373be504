// The grid spacing: intervals, origin, unit and their stored keys.
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"

#include <exception>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"

namespace {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

IGIS_Field* Key(IGIS_PropertySet* pSet, const char* szKey, int nType) {
  return pSet->AddProperty(szKey, szKey, nType, 1);
}

}  // namespace

void CGIS_GridSpacing::Release() { delete this; }

IGIS_GridSpacing* CGIS_GridSpacing::Clone() {
  CGIS_GridSpacing* pCopy = md::basilo::MakeOrNull<CGIS_GridSpacing>("CGIS_GridSpacing::Clone");
  if (pCopy != nullptr) pCopy->Copy(this);
  return pCopy;
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
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  IGIS_PropertySet* s = set.get();
  if (IGIS_Field* f = Key(s, "FixedOrigin", GIS_FIELD_TYPE_BOOL)) f->SetBool(m_bFixedOrigin);
  if (IGIS_Field* f = Key(s, "XIntervalSize", GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(m_dXIntervalSize);
  if (IGIS_Field* f = Key(s, "YIntervalSize", GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(m_dYIntervalSize);
  if (IGIS_Field* f = Key(s, "XOrigin", GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(m_dXOrigin);
  if (IGIS_Field* f = Key(s, "YOrigin", GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(m_dYOrigin);
  if (IGIS_Field* f = Key(s, "Units", GIS_FIELD_TYPE_INT)) f->SetInt(m_nUnits);
  if (IGIS_Field* f = Key(s, "UnitsType", GIS_FIELD_TYPE_INT)) f->SetInt(m_nUnitsType);
  return set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
}

bool CGIS_GridSpacing::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_GridSpacing::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  try {
    PropertySetPtr set(GIS_CreatePropertySetObject());
    if (!set || !set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret  == NULL");
      return false;
    }
    IGIS_PropertySet* s = set.get();
    if (IGIS_Field* f = s->GetProperty("FixedOrigin")) m_bFixedOrigin = f->GetBool();
    if (IGIS_Field* f = s->GetProperty("XIntervalSize")) m_dXIntervalSize = f->GetDouble();
    if (IGIS_Field* f = s->GetProperty("YIntervalSize")) m_dYIntervalSize = f->GetDouble();
    if (IGIS_Field* f = s->GetProperty("XOrigin")) m_dXOrigin = f->GetDouble();
    if (IGIS_Field* f = s->GetProperty("YOrigin")) m_dYOrigin = f->GetDouble();
    if (IGIS_Field* f = s->GetProperty("UnitsType")) m_nUnitsType = f->GetInt();
    if (IGIS_Field* f = s->GetProperty("Units")) m_nUnits = f->GetInt();
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
