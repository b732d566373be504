// Binding elements to features, the bookkeeping fields, the common part of
// Archive, names, and opening the property sheet.
#include "layout/graphicelement/element/cgis_elementcore.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdeckutf8.h"

CGIS_ElementCore::CGIS_ElementCore(IGIS_Element* pSelf, const char* szClass, const char* szDefaultName)
    : m_pSelf(pSelf), m_szClass(szClass) {
  m_pSelf->m_nID = -1;
  md::layout::CopyUtf8Cut(m_pSelf->m_szName, szDefaultName, GIS_ELEMENT_NAME_MAX);
  m_nHandle = GIS_RegisterElement(m_pSelf);
}

CGIS_ElementCore::~CGIS_ElementCore() { GIS_UnregisterElement(m_pSelf); }

std::string CGIS_ElementCore::Method(const char* szOperation) const {
  std::string s(m_szClass);
  s += "::";
  s += szOperation;
  return s;
}

IGIS_Feature* CGIS_ElementCore::CreateOwnFeature(const SGIS_ElementBindOptions& options) {
  IGIS_FeatureClass* pClass = m_pFeatureSet->GetFeatureClass();
  IGIS_Feature* pFeature = pClass != nullptr ? pClass->CreateFeature(options.nKind, 0) : nullptr;
  if (pFeature == nullptr) {
    if (options.szNoFeature != nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, Method(m_szClass).c_str(), "%s", options.szNoFeature);
    return nullptr;
  }
  m_pFeature = pFeature;
  ID() = pFeature->GetID();
  if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes()) {
    pAttr->SetInt("InterfacePtr", m_nHandle);
    pAttr->SetString("TYPE", options.szType);
    pAttr->SetBool("IsLock", options.nLockOnNew >= 0 ? options.nLockOnNew != 0 : m_bLock);
    pAttr->SetBool("KeepHVScaleRatio", m_bKeepHVScaleRatio);
    if (options.nCanConvert >= 0) pAttr->SetBool("CanConvert", options.nCanConvert != 0);
  }
  return pFeature;
}

CGIS_ElementCore::Binding CGIS_ElementCore::Bind(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                                 const SGIS_ElementBindOptions& options) {
  if (pOwner == nullptr) return Binding::Unbound;
  m_pFeatureSet = pOwner;
  if (pFeature != nullptr && options.nRequiredKind != 0 && pFeature->GetKind() != options.nRequiredKind) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, Method(m_szClass).c_str(), " == NULL");
    pFeature = nullptr;
  }
  if (pFeature == nullptr) {
    return CreateOwnFeature(options) != nullptr ? Binding::Created : Binding::Unbound;
  }
  m_pFeature = pFeature;
  ID() = pFeature->GetID();
  if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes()) {
    pAttr->SetInt("InterfacePtr", m_nHandle);
    if (options.bRewriteType) pAttr->SetString("TYPE", options.szType);
    // What a new feature stores is what a bound one keeps: the first save and
    // every later one store the same.
    if (options.bRewriteCanConvert && options.nCanConvert >= 0)
      pAttr->SetBool("CanConvert", options.nCanConvert != 0);
  }
  return Binding::Bound;
}

IGIS_Feature* CGIS_ElementCore::FetchFeature(int nRequiredKind) {
  if (m_pFeatureSet == nullptr) {
    m_pFeature = nullptr;
    return nullptr;
  }
  IGIS_Feature* pFeature = m_pFeatureSet->GetFeature(m_pSelf->m_nID);
  if (pFeature == nullptr) {
    m_pFeature = nullptr;
    return nullptr;
  }
  if (nRequiredKind != 0 && pFeature->GetKind() != nRequiredKind) {
    // A feature of another kind under this ID is not ours. The one held
    // before may have been freed with the set's previous content: forget it.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, Method("GetFeaturePtr").c_str(), " == NULL");
    m_pFeature = nullptr;
    return nullptr;
  }
  m_pFeature = pFeature;
  return pFeature;
}

IGIS_Feature* CGIS_ElementCore::RequireFeature(const char* szOperation) {
  IGIS_Feature* pFeature = m_pSelf->GetFeaturePtr();
  if (pFeature == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, Method(szOperation).c_str(), "m_pFeature == NULL");
  return pFeature;
}

BOOL CGIS_ElementCore::ArchiveCommon(int nRead, IGIS_FeatureAttributes** ppAttributes) {
  if (ppAttributes != nullptr) *ppAttributes = nullptr;
  IGIS_Feature* pFeature = RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, Method("Archive").c_str(), "pAttributes == NULL");
    return FALSE;
  }
  if (nRead == 0) {
    pAttr->SetBool("IsLock", m_bLock);
    pAttr->SetBool("KeepHVScaleRatio", m_bKeepHVScaleRatio);
    pAttr->SetString("ElementName", m_pSelf->m_szName);
    pAttr->SetInt("ElementOrder", m_nOrder);
  } else {
    if (const char* szName = pAttr->GetString("ElementName")) {
      md::layout::CopyUtf8Cut(m_pSelf->m_szName, szName, GIS_ELEMENT_NAME_MAX);
    }
    m_bLock = pAttr->GetBool("IsLock");
    m_bKeepHVScaleRatio = pAttr->GetBool("KeepHVScaleRatio");
    m_nOrder = pAttr->GetInt("ElementOrder");
  }
  if (ppAttributes != nullptr) *ppAttributes = pAttr;
  return TRUE;
}

BOOL CGIS_ElementCore::DrawFeatureSymbol(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = Method("OnDraw");
  IGIS_FeatureClass* pClass = m_pFeatureSet != nullptr ? m_pFeatureSet->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pSpatialReference == NULL");
    return FALSE;
  }
  IGIS_Feature* pFeature = m_pSelf->GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pSymbol == NULL");
    return FALSE;
  }
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  const int nCount = pGeometry != nullptr ? pGeometry->GetPointCount() : 0;
  if (nCount <= 0 || nCount > GIS_GEOMETRY_MAX_POINTS) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pGeometry == NULL");
    return FALSE;
  }
  std::vector<SGIS_Point> points(static_cast<std::size_t>(nCount));
  const int nGot = pGeometry->GetPoints(nCount, points.data(), 0, 0);
  if (nGot <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pGeometry == NULL");
    return FALSE;
  }
  return DrawSymbolAtPagePoints(hdc, bPrint, pDisplay, pReference, pSymbol, points.data(), nGot,
                                method.c_str());
}

SGIS_Rect CGIS_ElementCore::FeatureRect() {
  SGIS_Rect rect(0, 0, 0, 0);
  if (IGIS_Feature* pFeature = RequireFeature("GetRect")) pFeature->GetBound(&rect, 1, 0);
  return rect;
}

void CGIS_ElementCore::MoveLowerLeftTo(SGIS_Point point) {
  const SGIS_Rect r = m_pSelf->GetRect();
  m_pSelf->OffsetAllPoints(md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(point.x) - r.left),
                           md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(point.y) - r.bottom));
}

void CGIS_ElementCore::PlaceRect(SGIS_Rect rect) {
  rect.Normalize();
  m_pSelf->SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  m_pSelf->SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_ElementCore::OffsetRect(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  auto add = [](int a, int b) { return md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(a) + b); };
  const SGIS_Rect r = m_pSelf->GetRect();
  const SGIS_Rect moved(add(r.left, dx), add(r.top, dy), add(r.right, dx), add(r.bottom, dy));
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(moved, 0);
  IGIS_FeatureClass* pClass = m_pFeatureSet != nullptr ? m_pFeatureSet->GetFeatureClass() : nullptr;
  if (pClass != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void CGIS_ElementCore::SetName(const char* szName) {
  if (szName == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, Method("SetName").c_str(), "szName为NULL");
    return;
  }
  md::layout::CopyUtf8Cut(m_pSelf->m_szName, szName, GIS_ELEMENT_NAME_MAX);
}

const char* CGIS_ElementCore::GetName() const { return m_pSelf->m_szName; }

BOOL CGIS_ElementCore::OpenPropertySheet(IGIS_Display* pDisplay, const char* szTitle, const char* szNoBackup,
                                         BOOL bWithCommonPages) {
  md::layout::SheetRequest request;
  request.pElement = m_pSelf;
  request.pDisplay = pDisplay;
  request.szTitle = szTitle;
  request.method = Method("OnOpenPropertyDlg");
  request.szNoBackup = szNoBackup;
  request.bWithCommonPages = bWithCommonPages;
  return md::layout::OpenPropertySheet(request);
}
