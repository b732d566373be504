// The border manager.
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"

#include "host/basilo/makeornull.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/grid/border/mapborderstore.h"

namespace {

constexpr const char* kCalibratedKey = "MapBorderCalibrated";
constexpr const char* kPatternKey = "MapBorderPattern";
constexpr const char* kSimpleKey = "MapBorderSimple";

}  // namespace

CGIS_MapBorderManager::CGIS_MapBorderManager()
    : m_pCalibrated(new CGIS_MapBorderCalibrated()),
      m_pPattern(new CGIS_MapBorderPattern()),
      m_pSimple(new CGIS_MapBorderSimple()) {}

CGIS_MapBorderManager::~CGIS_MapBorderManager() = default;

void CGIS_MapBorderManager::Release() { delete this; }

bool CGIS_MapBorderManager::SetMapBorderType(int nType) {
  if (nType < GIS_MAPBORDER_NONE || nType > GIS_MAPBORDER_PATTERN) return false;
  m_nType = nType;
  return true;
}

bool CGIS_MapBorderManager::SetMapBorder(IGIS_MapBorder* pBorder) {
  if (pBorder == nullptr) return true;
  const int nType = pBorder->GetType();
  switch (nType) {
    case GIS_MAPBORDER_SIMPLE:
      if (auto* p = dynamic_cast<IGIS_MapBorderSimple*>(pBorder)) m_pSimple->CopyFrom(p);
      break;
    case GIS_MAPBORDER_CALIBRATED:
      if (auto* p = dynamic_cast<IGIS_MapBorderCalibrated*>(pBorder)) m_pCalibrated->CopyFrom(p);
      break;
    case GIS_MAPBORDER_PATTERN:
      if (auto* p = dynamic_cast<IGIS_MapBorderPattern*>(pBorder)) m_pPattern->CopyFrom(p);
      break;
    default:
      break;
  }
  m_nType = nType;
  return true;
}

IGIS_MapBorder* CGIS_MapBorderManager::GetMapBorder() {
  switch (m_nType) {
    case GIS_MAPBORDER_PATTERN:
      return m_pPattern.get();
    case GIS_MAPBORDER_SIMPLE:
      return m_pSimple.get();
    case GIS_MAPBORDER_CALIBRATED:
      return m_pCalibrated.get();
    default:
      return nullptr;
  }
}

bool CGIS_MapBorderManager::Save(IGIS_DataBuffer* pBuffer) {
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set || pBuffer == nullptr) return false;
  const std::pair<const char*, IGIS_MapBorder*> kinds[] = {
      {kCalibratedKey, m_pCalibrated.get()}, {kPatternKey, m_pPattern.get()}, {kSimpleKey, m_pSimple.get()}};
  for (const auto& [szKey, pBorder] : kinds) {
    IGIS_Field* f = md::layout::border::BorderKey(set.get(), szKey, GIS_FIELD_TYPE_BUFFER);
    if (f != nullptr && f->GetDataBuffer() != nullptr) pBorder->Save(f->GetDataBuffer());
  }
  IGIS_Field* pType = md::layout::border::BorderKey(set.get(), "Type", GIS_FIELD_TYPE_INT);
  if (pType == nullptr) return false;
  pType->SetInt(m_nType);
  return set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
}

bool CGIS_MapBorderManager::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_MapBorderManager::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set || !set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) return false;
  const std::pair<const char*, IGIS_MapBorder*> kinds[] = {
      {kCalibratedKey, m_pCalibrated.get()}, {kPatternKey, m_pPattern.get()}, {kSimpleKey, m_pSimple.get()}};
  for (const auto& [szKey, pBorder] : kinds) {
    IGIS_Field* f = set->GetProperty(szKey);
    if (f == nullptr || f->GetDataBuffer() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_field == NULL");
      continue;
    }
    pBorder->Open(f->GetDataBuffer());
  }
  if (IGIS_Field* f = set->GetProperty("Type")) m_nType = f->GetInt();
  return true;
}

IGIS_MapBorderManager* CGIS_MapBorderManager::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_MapBorderManager>("CGIS_MapBorderManager::Clone");
  if (pCopy == nullptr) return nullptr;
  pCopy->SetMapBorder(m_pPattern.get());
  pCopy->SetMapBorder(m_pSimple.get());
  pCopy->SetMapBorder(m_pCalibrated.get());
  pCopy->m_nType = m_nType;  // a stored type outside the kinds is kept as it is
  return pCopy;
}

bool CGIS_MapBorderManager::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect frameRect,
                                   IGIS_SpatialReference* pSpatialReference) {
  IGIS_MapBorder* pBorder = GetMapBorder();
  if (pBorder == nullptr) return true;
  return pBorder->OnDraw(hdc, bPrint, pDisplay, frameRect, pSpatialReference);
}

IGIS_Element* CGIS_MapBorderManager::ConvertToElement(IGIS_Element* pMapElement) {
  IGIS_MapBorder* pBorder = GetMapBorder();
  return pBorder != nullptr ? pBorder->ConvertToElement(pMapElement) : nullptr;
}

IGIS_MapBorderManager* CGIS_MapBorderManager::CopyFrom(IGIS_MapBorderManager* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  const int nType = pOther->GetMapBorderType();
  for (int nKind : {GIS_MAPBORDER_SIMPLE, GIS_MAPBORDER_PATTERN, GIS_MAPBORDER_CALIBRATED}) {
    pOther->SetMapBorderType(nKind);
    SetMapBorder(pOther->GetMapBorder());
  }
  // The other manager ends as it began (a stored type outside the kinds
  // cannot be set back through its setter, so its members are read as is).
  if (!pOther->SetMapBorderType(nType)) {
    if (auto* p = dynamic_cast<CGIS_MapBorderManager*>(pOther)) p->m_nType = nType;
  }
  m_nType = nType;
  return this;
}
