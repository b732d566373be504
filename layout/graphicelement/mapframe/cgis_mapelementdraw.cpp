// The map frame's main controller, map binding, clip polygon, drawing and
// conversion.
#include <dlfcn.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/files/filestore.h"
#include "platform/win/wingdi.h"

namespace {

constexpr const char* kWorldRect = "GIS_DISP_WORLD_RECT";
constexpr const char* kComponentList = GIS_OTHER_COMPONENTS_FILE;
// Longest component line read; longer lines are cut.
constexpr std::size_t kMaxComponentLine = 999;

// The folder of the running program, or "" when it cannot be found.
std::string ProgramFolder() {
  char path[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  std::string s(path, static_cast<std::size_t>(n));
  const std::size_t slash = s.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return s.substr(0, slash);
}

// The data folder installed with the library (share/mapdeck beside its
// lib/, where an empty component list lies), or "" when the library's file
// cannot be found.
std::string InstalledDataFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&InstalledDataFolder), &info) == 0 || info.dli_fname == nullptr)
    return std::string();
  const std::filesystem::path folder =
      std::filesystem::path(info.dli_fname).parent_path() / MD_DATA_FROM_LIBRARY;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(folder, error);
  return (error ? folder.lexically_normal() : resolved).string();
}

// The first whitespace-delimited word of a line.
std::string FirstWord(const std::string& line) {
  const char* ws = " \t\r\n\v\f";
  const std::size_t b = line.find_first_not_of(ws);
  if (b == std::string::npos) return std::string();
  const std::size_t e = line.find_first_of(ws, b);
  return line.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

// Removes a piece made for the conversion that the compound did not take.
void Discard(IGIS_FeatureSet* pOwner, IGIS_Element* pElement) {
  if (pElement == nullptr) return;
  if (pOwner == nullptr || !pOwner->DeleteElement(pElement)) pElement->Release();
}

}  // namespace

// ---- Main controller
// ---------------------------------------------------------------

bool CGIS_MapElement::RegisterComponentsOfFolder(IGIS_MainObject* pMainObject, const std::string& folder,
                                                 bool* pMissing) {
  bool missing = folder.empty();
  if (pMissing != nullptr) *pMissing = missing;
  if (pMainObject == nullptr || missing) return false;
  // At most kMaxComponents lines of kMaxComponentLine characters.
  constexpr std::size_t kMaxListBytes = static_cast<std::size_t>(kMaxComponents) * 1024;
  std::vector<std::uint8_t> bytes;
  std::string why;
  if (!md::files::ReadWholeFile((folder + "/" + kComponentList).c_str(), kMaxListBytes, &bytes, &why,
                                &missing)) {
    if (pMissing != nullptr) *pMissing = missing;
    return false;
  }
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  bool bResult = true;
  std::string line;
  for (int n = 0; n < kMaxComponents && std::getline(in, line); ++n) {
    if (line.size() > kMaxComponentLine) line.resize(kMaxComponentLine);
    const std::string name = FirstWord(line);
    if (name.empty()) continue;
    const std::string path = folder + "/" + name;
    if (!pMainObject->RegisterComponent(path.c_str())) bResult = false;
  }
  return bResult;
}

bool CGIS_MapElement::RegisterComponentLists(IGIS_MainObject* pMainObject,
                                             const std::vector<std::string>& folders, std::string* pLists) {
  pLists->clear();
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string list = folder + "/" + kComponentList;
    bool missing = false;
    const bool ok = RegisterComponentsOfFolder(pMainObject, folder, &missing);
    if (!missing) {
      *pLists = list;
      return ok;
    }
    *pLists += (pLists->empty() ? "" : ", ") + list;
  }
  return false;
}

bool CGIS_MapElement::RegisterOtherComponentsCfgFile(std::string* pLists) {
  return RegisterComponentLists(m_pMainObject.get(), {ProgramFolder(), InstalledDataFolder()}, pLists);
}

void CGIS_MapElement::EnsureMainObject(const char* szOperation) {
  if (m_pMainObject != nullptr) return;
  m_pMainObject.reset(HM_CreateMainObject(0));
  if (m_pMainObject == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(szOperation).c_str(), "m_pMainObject == NULL");
    return;
  }
  m_pMainObject->Initialize();
  std::string lists;
  if (!RegisterOtherComponentsCfgFile(&lists)) {
    // The list that failed, or every place a list was looked for.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(szOperation).c_str(),
            "RegisterOtherComponentsCfgFile 失败: %s", lists.c_str());
  }
  if (std::strcmp(szOperation, "GetMainObject") == 0) m_pMainObject->SetMap(m_pMap);
  m_pMainObject->Start();
  if (std::strcmp(szOperation, "SetMap") == 0 && m_pMap != nullptr) m_pMainObject->SetMap(m_pMap);
}

IGIS_MainObject* CGIS_MapElement::GetMainObject() {
  EnsureMainObject("GetMainObject");
  return m_pMainObject.get();
}

IGIS_SpatialReference* CGIS_MapElement::PageReference() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  return pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
}

// ---- Binding a map
// ------------------------------------------------------------------------

void CGIS_MapElement::DetachFromMap() {
  if (m_pMap != nullptr) m_pMap->Detach(this, 0);
}

void CGIS_MapElement::SetMap(IGIS_Map* pMap) {
  EnsureMainObject("SetMap");
  if (pMap == m_pMap && pMap != nullptr) return;
  if (m_core.RequireFeature("SetMap") == nullptr) return;
  if (pMap == nullptr && m_pMap == nullptr) {
    // Unbinding a frame that has no map changes nothing, and is announced.
    Notify(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED, 0, this);
    return;
  }
  if (pMap == nullptr) {
    if (m_pMap != nullptr) {
      DetachFromMap();
      m_pMap = nullptr;
      if (m_pMainObject != nullptr) m_pMainObject->SetMap(nullptr);
      m_dRotateAngle = 0.0;
    }
    m_pSpatialReference.reset();
  } else {
    DetachFromMap();
    m_pMap = pMap;
    if (const char* szName = pMap->GetName()) CopyMapName(szName);
    if (m_pMainObject != nullptr) m_pMainObject->SetMap(pMap);
    pMap->Attach(this, 0);
    m_pSpatialReference.reset(CopySpatialReference(pMap->GetSpatialReference()));
    SetMapBound(WorldRect(pMap));
    IGIS_MapView* pView = m_pMainObject != nullptr ? m_pMainObject->GetMapView() : nullptr;
    ReplaceClipPolygon(RectToGeoPolygon(m_bound, pView != nullptr ? pView->GetSpatialReference() : nullptr));
  }
  Notify(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED, 0, this);
}

SGIS_DRect CGIS_MapElement::WorldRect(IGIS_Map* pMap) {
  IGIS_PropertySet* pSet = pMap->GetPropertySet();
  IGIS_Field* pField = pSet != nullptr ? pSet->GetProperty(kWorldRect) : nullptr;
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  SGIS_Rect world;
  if (pBuffer != nullptr && pBuffer->GetSize() >= 16 && pBuffer->GetData() != nullptr) {
    std::int32_t v[4] = {};
    std::memcpy(v, pBuffer->GetData(), sizeof v);
    world.left = v[0];
    world.right = v[1];
    world.top = v[2];
    world.bottom = v[3];
  } else {
    SGIS_DRect full;
    pMap->GetFullExtent(&full, 0);
    world = DoubleRectToIntRect(full.x1, full.x2, full.y1, full.y2);
  }
  return SGIS_DRect::MakeFromRect(world.left, world.right, world.top, world.bottom);
}

IGIS_SpatialReference* CGIS_MapElement::CopySpatialReference(IGIS_SpatialReference* pSource) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  IGIS_SpatialReference* pCopy = pFactory != nullptr ? pFactory->CreateSpatialReference(0) : nullptr;
  if (pCopy != nullptr) pCopy->CopyFrom(pSource);
  return pCopy;
}

IGIS_Map* CGIS_MapElement::FindDocumentMap(const char* szOperation, const char* szName, bool* pReached) {
  *pReached = false;
  const std::string method = m_core.Method(szOperation);
  IGIS_MapLayer* pLayer = m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetMapLayer() : nullptr;
  if (pLayer == nullptr) {
    if (m_core.m_pFeatureSet == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_mapLayer == NULL");
    } else {
      RecordNoMapLayer(method, szName);
    }
    return nullptr;
  }
  IGIS_Map* pLayoutMap = pLayer->GetMap();
  if (pLayoutMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_map == NULL");
    return nullptr;
  }
  IGIS_Document* pDocument = pLayoutMap->GetDocument();
  if (pDocument == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_doc == NULL");
    return nullptr;
  }
  *pReached = true;
  IGIS_Map* pMap = pDocument->FindMap(szName);
  if (pMap == nullptr && szName != nullptr && szName[0] != '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "FindMap(%s) == NULL", szName);
  }
  if (pMap == nullptr && (szName == nullptr || szName[0] == '\0')) {
    // A frame that names no map shows the document's first one.
    pMap = pDocument->GetMapAt(0);
  }
  return pMap;
}

void CGIS_MapElement::RecordNoMapLayer(const std::string& method, const char* szName) {
  // A page is told once, whichever of its frames first looks for a map: what
  // follows its frames (grids, legends, scale bars) adds nothing of its own.
  auto* pFirst = dynamic_cast<CGIS_MapElement*>(m_core.m_pFeatureSet->GetMapFrameElement());
  CGIS_MapElement* pKeeper = pFirst != nullptr ? pFirst : this;
  if (pKeeper->m_bNoMapLayerRecorded) return;
  pKeeper->m_bNoMapLayerRecorded = true;
  const std::string map = szName != nullptr && szName[0] != '\0' ? std::string("its map ") + szName : "a map";
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(),
          "the page has no map layer, so the frame cannot find %s: give the page its document's layout layer "
          "with SetMapLayer before reading or drawing it",
          map.c_str());
}

void CGIS_MapElement::SetMapName(const char* szName) {
  if (szName == nullptr || m_strMapName == szName) return;
  CopyMapName(szName);
  bool bReached = false;
  IGIS_Map* pMap = FindDocumentMap("SetMapName", m_strMapName.c_str(), &bReached);
  if (bReached) SetMap(pMap);
}

void CGIS_MapElement::BindStoredMap() {
  // A frame stored without a map, on a page outside any document, has no map
  // to look up: that is no missing layer.
  if (m_strMapName.empty() &&
      (m_core.m_pFeatureSet == nullptr || m_core.m_pFeatureSet->GetMapLayer() == nullptr))
    return;
  bool bReached = false;
  IGIS_Map* pMap = FindDocumentMap("Archive", m_strMapName.c_str(), &bReached);
  if (!bReached) return;
  if (pMap != m_pMap) DetachFromMap();
  m_pMap = pMap;
  if (m_pMap == nullptr) return;
  if (m_strMapName.empty() && m_pMap->GetName() != nullptr) CopyMapName(m_pMap->GetName());
  const SGIS_DRect stored = m_bound;
  // The stored printed scale is kept: binding works one out of the bound on
  // the way, which a frame stored without a map does not agree with.
  const double dStoredScale = m_dFixScale;
  SetRect(GetRect());
  SetMap(m_pMap);
  SetMapBound(stored);
  m_dFixScale = dStoredScale;
  m_pMap->Attach(this, 0);
  IGIS_SpatialReference* pMapReference = m_pMap->GetSpatialReference();
  const SGIS_DRect before = m_bound;
  const bool bIdentical = GIS_SpatialReferencesIdentical(m_pSpatialReference.get(), pMapReference);
  if (bIdentical) {
    // Already the map's reference: the identity transformation only
    // normalises the bound, and the copy changes nothing.
    m_bound.Normalize();
  } else {
    CarryStoredBound(pMapReference);
  }
  if (!bIdentical || !IsEqualDoubleRect(before, m_bound)) {
    // Fitted to the frame as the next reading fits it, so that the bound
    // reads back unchanged, and the view measured in the reference the
    // frame now has; the printed scale stays as stored.
    SetMapBound(m_bound);
    m_dFixScale = dStoredScale;
  }
  if (m_pClipPolygon == nullptr) {
    IGIS_MapView* pView = m_pMainObject != nullptr ? m_pMainObject->GetMapView() : nullptr;
    ReplaceClipPolygon(RectToGeoPolygon(m_bound, pView != nullptr ? pView->GetSpatialReference() : nullptr));
  }
}

void CGIS_MapElement::CarryStoredBound(IGIS_SpatialReference* pMapReference) {
  // A frame stored without a reference (never shown a map) has no
  // coordinates to carry: it takes the map's reference as it is.
  if (m_pSpatialReference == nullptr || m_pSpatialReference->GetKind() == GIS_SPATIALREFERENCE_NONE) {
    if (m_pSpatialReference != nullptr && pMapReference != nullptr)
      m_pSpatialReference->CopyFrom(pMapReference);
    return;
  }
  const SGIS_DPoint centre = m_bound.CenterPoint();
  SGIS_DPoint carried = centre;
  CGIS_SpatialReferenceHolder holder;
  if (pMapReference == nullptr ||
      !holder.Create(m_pSpatialReference.get(), pMapReference, nullptr, nullptr) ||
      !holder.Get()->TransformPoint(1, &carried, 1) || !std::isfinite(carried.x) ||
      !std::isfinite(carried.y)) {
    // Nothing stored changes, the frame's reference included: the next save
    // writes back what was read.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Archive").c_str(),
            "the stored bound cannot be carried into the reference of map %s", m_strMapName.c_str());
    return;
  }
  // A stored bound whose centre lies on the map where the carried one would
  // not was written in the map's coordinates already (its reference named
  // other units): it stays where it is.
  SGIS_DRect full;
  m_pMap->GetFullExtent(&full, 0);
  NormalizeDoubleRect(&full);
  auto onMap = [&full](const SGIS_DPoint& p) {
    return full.Width() > 0.0 && full.Height() > 0.0 && p.x >= full.x1 && p.x <= full.x2 && p.y >= full.y1 &&
           p.y <= full.y2;
  };
  if (!onMap(centre) || onMap(carried)) {
    m_bound.x1 += carried.x - centre.x;
    m_bound.x2 += carried.x - centre.x;
    m_bound.y1 += carried.y - centre.y;
    m_bound.y2 += carried.y - centre.y;
  }
  m_pSpatialReference->CopyFrom(pMapReference);
}

// ---- Clip polygon
// --------------------------------------------------------------------------

IGIS_GeoPolygon* CGIS_MapElement::RectToGeoPolygon(const SGIS_DRect& rect,
                                                   IGIS_SpatialReference* pReference) {
  IGIS_GeoPolygon* pPolygon = GIS_CreateGeoPolygonObject(pReference, 2);
  if (pPolygon == nullptr) return nullptr;
  auto truncate = [](double v) -> std::int32_t {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);
  };
  const std::int32_t x1 = truncate(rect.x1), x2 = truncate(rect.x2);
  const std::int32_t y1 = truncate(rect.y1), y2 = truncate(rect.y2);
  pPolygon->SetPointCount(5);
  pPolygon->SetPoint(0, SGIS_Point(x1, y2, 0));
  pPolygon->SetPoint(1, SGIS_Point(x1, y1, 0));
  pPolygon->SetPoint(2, SGIS_Point(x2, y1, 0));
  pPolygon->SetPoint(3, SGIS_Point(x2, y2, 0));
  pPolygon->SetPoint(4, SGIS_Point(x1, y2, 0));
  return pPolygon;
}

void CGIS_MapElement::ReplaceClipPolygon(IGIS_GeoPolygon* pPolygon) {
  if (m_pClipPolygon != nullptr) m_pClipPolygon->Release(0);
  m_pClipPolygon = pPolygon;
}

void CGIS_MapElement::SetClipPolygonPtr(IGIS_GeoPolygon* pPolygon) {
  if (pPolygon == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetClipPolygonPtr").c_str(), "pGeoPolygon == NULL");
  if (pPolygon == m_pClipPolygon) return;
  ReplaceClipPolygon(nullptr);
  if (pPolygon == nullptr || pPolygon->GetPointCount() <= 2) return;
  IGIS_GeoPolygon* pCopy = GIS_CreateGeoPolygonObject(pPolygon->GetSpatialReference(), 2);
  if (pCopy == nullptr) return;
  pCopy->CopyFrom(pPolygon);
  m_pClipPolygon = pCopy;
}

// ---- Drawing
// ------------------------------------------------------------------------------------

BOOL CGIS_MapElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  EnsureMainObject("OnDraw");
  if (m_pMainObject != nullptr && m_pMainObject->GetMap() == nullptr && m_pMap != nullptr) {
    m_pMainObject->SetMap(m_pMap);
  }
  IGIS_MapView* pMainView = m_pMainObject != nullptr ? m_pMainObject->GetMapView() : nullptr;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  IGIS_SpatialReference* pReference = PageReference();
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_display == NULL");
    return FALSE;
  }
  const SGIS_Rect rect = GetRect();
  if (m_pFrame != nullptr) {
    m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
    if (m_pFrame->GetDraftMode() && !bPrint) {
      m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
      return TRUE;
    }
  }
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    if (m_pMap != nullptr && m_pMap->CanDraw() && pMainView != nullptr) {
      DrawMap(hdc, bPrint, pDisplay, rect, pReference);
    } else if (m_pMap != nullptr && pMainView != nullptr && std::isfinite(m_bound.Width()) &&
               std::isfinite(m_bound.Height()) && m_bound.Width() > 0.0 && m_bound.Height() > 0.0) {
      // A map without data draws nothing, but its grids and labels still lie
      // over the frame: the view shows the stored bound.
      SGIS_Rect dev;
      FitMainView(bPrint, pDisplay, rect, pReference, &dev);
    }
  }
  if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  if (m_pInnerBorder != nullptr) m_pInnerBorder->OnDraw(hdc, bPrint, pDisplay, rect, pReference);
  if (m_pOuterBorder != nullptr) m_pOuterBorder->OnDraw(hdc, bPrint, pDisplay, rect, pReference);
  if (m_pGrids != nullptr) m_pGrids->OnDraw(hdc, bPrint, pDisplay, this);
  return TRUE;
}

void CGIS_MapElement::DrawMap(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                              IGIS_SpatialReference* pReference) {
  IGIS_MapView* pMainView = m_pMainObject->GetMapView();
  m_pMainObject->SetDisplayHandle(pDisplay->GetWindowHandle());
  if (m_bound.Height() < 1.0 || m_bound.Width() < 1.0) {
    SGIS_DRect full;
    m_pMap->GetFullExtent(&full, 0);
    SetMapBound(full);
    ReplaceClipPolygon(RectToGeoPolygon(m_bound, pMainView->GetSpatialReference()));
    PushExtentHistory();
  }
  SGIS_Rect dev;
  if (!FitMainView(bPrint, pDisplay, rect, pReference, &dev)) return;
  pMainView->Refresh();
  // The map stays inside the frame: its device rectangle is the clip while it
  // draws.
  const int nSaved = SaveDC(hdc);
  IntersectClipRect(hdc, std::min(dev.left, dev.right), std::min(dev.top, dev.bottom),
                    std::max(dev.left, dev.right), std::max(dev.top, dev.bottom));
  m_pMainObject->DrawMap(hdc, bPrint, dev.left, dev.top, dev.right, dev.bottom);
  RestoreDC(hdc, nSaved);
}

bool CGIS_MapElement::FitMainView(bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                                  IGIS_SpatialReference* pReference, SGIS_Rect* pDev) {
  IGIS_MapView* pMainView = m_pMainObject->GetMapView();
  IGIS_DisplayView* pView = pDisplay->GetView();
  const SGIS_DRect page = SGIS_DRect::MakeFromRect(rect.left, rect.right, rect.top, rect.bottom);
  const SGIS_DRect device = pView->PageToDeviceRect(page, pReference);
  const SGIS_DPoint c1 = m_bound.CenterPoint();
  const SGIS_DPoint c2 = device.CenterPoint();
  const double rx = device.Width() > 0.0 ? m_bound.Width() / device.Width() : 1.0;
  const double ry = device.Height() > 0.0 ? m_bound.Height() / device.Height() : 1.0;
  const double ratio = rx > ry ? rx : ry;

  const SGIS_Rect clipRect = pView->GetDeviceClipRect();
  const SGIS_DRect clip =
      SGIS_DRect::MakeFromRect(clipRect.left, clipRect.right, clipRect.top, clipRect.bottom);
  SGIS_DRect inter = IntersectDRect(clip, device);
  if (inter.Height() == 0.0 || inter.Width() == 0.0) return false;
  if (bPrint) {
    inter.Normalize();
  } else {
    NormalizeDoubleRect(&inter);
  }
  pMainView->BeginUpdate();
  const SGIS_Rect dev = DoubleRectToIntRect(inter.x1, inter.x2, inter.y1, inter.y2);
  pMainView->SetDeviceRect(dev);
  SGIS_DRect mapRect;
  mapRect.x1 = (inter.x1 - c2.x) * ratio + c1.x;
  mapRect.x2 = (inter.x2 - c2.x) * ratio + c1.x;
  if (inter.y1 > inter.y2) {
    mapRect.y1 = (inter.y1 - c2.y) * ratio + c1.y;
    mapRect.y2 = (inter.y2 - c2.y) * ratio + c1.y;
  } else {
    mapRect.y1 = (c2.y - inter.y1) * ratio + c1.y;
    mapRect.y2 = (c2.y - inter.y2) * ratio + c1.y;
  }
  pMainView->ZoomToExtent(mapRect, 0, m_pMap->GetSpatialReference(), 0);
  m_dRotateAngle = m_pMap->GetRotateAngle();
  pMainView->SetRotateAngle(m_dRotateAngle, 1);
  pMainView->SetAutoControlVectorSubLayer(!m_bDisableAutoControlVectorSubLayer);
  pMainView->EndUpdate();
  *pDev = dev;
  return true;
}

// ---- Conversion
// ---------------------------------------------------------------------------------

IGIS_Element* CGIS_MapElement::ConvertToElement() {
  const std::string method = m_core.Method("ConvertToElement");
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_Element* pElement =
      pOwner != nullptr ? pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pElement);
  if (pCompound == nullptr) {
    Discard(pOwner, pElement);
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_com == NULL");
    return nullptr;
  }
  // Each piece that the compound takes is removed from the frame; a piece
  // that could not be converted stays on the frame as it was.
  auto take = [&](IGIS_Element* pPiece) {
    if (pPiece == nullptr) return false;
    if (pCompound->AddElement(pPiece)) return true;
    Discard(pOwner, pPiece);
    return false;
  };
  int nTaken = 0;
  if (m_pFrame != nullptr && take(m_pFrame->ConvertToElement(this))) {
    ++nTaken;
    m_pFrame->SetBackSymbolPtr(nullptr);
    m_pFrame->SetBorderSymbolPtr(nullptr);
    m_pFrame->SetShadowSymbolPtr(nullptr);
  }
  if (m_pInnerBorder != nullptr && take(m_pInnerBorder->ConvertToElement(this))) ++nTaken;
  if (m_pOuterBorder != nullptr && take(m_pOuterBorder->ConvertToElement(this))) ++nTaken;
  if (m_pGrids != nullptr) {
    // One budget for all the grids converted, as for their drawing.
    md::layout::grid::CGIS_GridBudget budget(md::layout::grid::kGridFrameBudget);
    for (int i = m_pGrids->GetCount() - 1; i >= 0; --i) {
      IGIS_MapGrid* pGrid = m_pGrids->GetMapGrid(i);
      if (pGrid == nullptr) {
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_mapgrid == NULL");
        continue;
      }
      if (!take(pGrid->ConvertToElement())) continue;
      ++nTaken;
      m_pGrids->DeleteMapGrids(pGrid);
      pGrid->Release();
    }
  }
  if (nTaken == 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "nothing converted");
    Discard(pOwner, pCompound);
    return nullptr;
  }
  return pCompound;
}
