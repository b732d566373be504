#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"

#include <cmath>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"

namespace {

constexpr int kMaxText = 255;
constexpr double kExtentLimit = 1e9;

// The factor of a reference's projected linear unit; 0 when it has none.
double LinearUnitFactor(IGIS_SpatialReference* pReference) {
  IGIS_ProjectedCoordSys* pProjected = pReference != nullptr ? pReference->GetProjectedCoordSys() : nullptr;
  IGIS_Unit* pUnit = pProjected != nullptr ? pProjected->GetLinearUnit() : nullptr;
  return pUnit != nullptr ? pUnit->GetFactor() : 0.0;
}

bool UsableFactor(double d) { return std::isfinite(d) && d > 0.0; }

}  // namespace

CGIS_MapDataframe::CGIS_MapDataframe(IGIS_MapElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_GIS_MAPDATAFRAME), m_pElement(pElement), m_pDisplay(pDisplay) {
  MapClicked(IDC_GIS_DF_EXTENT_AUTO, [this] { OnExtentType(GIS_MAP_EXTENT_AUTOMATIC); });
  MapClicked(IDC_GIS_DF_EXTENT_FIXSCALE, [this] { OnExtentType(GIS_MAP_EXTENT_FIXED_SCALE); });
  MapClicked(IDC_GIS_DF_EXTENT_FIXEXTENT, [this] { OnExtentType(GIS_MAP_EXTENT_FIXED_EXTENT); });
  MapClicked(IDC_GIS_DF_COMPUTE, [this] { OnComputeExtent(); });
  MapClicked(IDC_GIS_DF_INNER_BORDER, [this] { OnMapBorder(true); });
  MapClicked(IDC_GIS_DF_OUTER_BORDER, [this] { OnMapBorder(false); });
  MapClicked(IDC_GIS_DF_SCALE_SYMBOLS, [this] { OnScaleSymbols(); });
  MapCommand(CBN_SELCHANGE, IDC_GIS_DF_MAPNAME, [this] { MarkModified(); });
  MapCommand(CBN_EDITCHANGE, IDC_GIS_DF_MAPNAME, [this] { MarkModified(); });
  for (int id : {IDC_GIS_DF_FIXSCALE, IDC_GIS_DF_LEFT, IDC_GIS_DF_RIGHT, IDC_GIS_DF_TOP, IDC_GIS_DF_BOTTOM,
                 IDC_GIS_DF_SCALE, IDC_GIS_DF_REFERENCE_SCALE})
    MapCommand(EN_CHANGE, id, [this] { MarkModified(); });
  for (auto [id, pEdit] :
       {std::pair{IDC_GIS_DF_LEFT, &m_editLeft}, std::pair{IDC_GIS_DF_RIGHT, &m_editRight},
        std::pair{IDC_GIS_DF_TOP, &m_editTop}, std::pair{IDC_GIS_DF_BOTTOM, &m_editBottom}})
    MapCommand(EN_UPDATE, id, [pEdit = pEdit] { FilterSignedDecimalEdit(pEdit); });
  for (auto [id, pEdit] : {std::pair{IDC_GIS_DF_FIXSCALE, &m_editFixScale},
                           std::pair{IDC_GIS_DF_REFERENCE_SCALE, &m_editReferenceScale},
                           std::pair{IDC_GIS_DF_SCALE, &m_editScale}})
    MapCommand(EN_UPDATE, id, [pEdit = pEdit] { FilterUnsignedDecimalEdit(pEdit); });
  FillMapList();
}

void CGIS_MapDataframe::MarkModified() {
  if (!IsExchangingData()) SetModified(TRUE);
}

void CGIS_MapDataframe::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_DF_REFERENCE_SCALE, m_editReferenceScale);
  DDX_Control(dx, IDC_GIS_DF_SHEETNUMBER, m_editSheetNumber);
  DDX_Control(dx, IDC_GIS_DF_SCALE, m_editScale);
  DDX_Control(dx, IDC_GIS_DF_MAPNAME, m_comboMap);
  DDX_Control(dx, IDC_GIS_DF_TOP, m_editTop);
  DDX_Control(dx, IDC_GIS_DF_RIGHT, m_editRight);
  DDX_Control(dx, IDC_GIS_DF_LEFT, m_editLeft);
  DDX_Control(dx, IDC_GIS_DF_BOTTOM, m_editBottom);
  DDX_Control(dx, IDC_GIS_DF_FIXSCALE, m_editFixScale);
  // The fixed scale is checked where it is used (fixed scale), the extent
  // and the scale beside it only where they are used (fixed extent), so a
  // frame without a map can still leave the page.
  DDX_Text(dx, IDC_GIS_DF_FIXSCALE, m_dFixScale);
  if (m_nExtentType == GIS_MAP_EXTENT_FIXED_SCALE) DDV_MinMaxDouble(dx, m_dFixScale, 1e-5, 1e8);
  for (auto [id, pValue] : {std::pair{IDC_GIS_DF_LEFT, &m_dX1}, std::pair{IDC_GIS_DF_RIGHT, &m_dX2},
                            std::pair{IDC_GIS_DF_TOP, &m_dY1}, std::pair{IDC_GIS_DF_BOTTOM, &m_dY2}}) {
    DDX_Text(dx, id, *pValue);
    if (m_nExtentType == GIS_MAP_EXTENT_FIXED_EXTENT)
      DDV_MinMaxDouble(dx, *pValue, -kExtentLimit, kExtentLimit);
  }
  DDX_Radio(dx, IDC_GIS_DF_EXTENT_AUTO, m_nExtentType);
  DDX_Text(dx, IDC_GIS_DF_SHEETNUMBER, m_strSheetNumber);
  DDV_MaxChars(dx, m_strSheetNumber, kMaxText);
  DDX_Text(dx, IDC_GIS_DF_SCALE, m_dScale);
  if (m_nExtentType == GIS_MAP_EXTENT_FIXED_EXTENT) DDV_MinMaxDouble(dx, m_dScale, 1e-7, 1e11);
  DDX_CBString(dx, IDC_GIS_DF_MAPNAME, m_strMapName);
  DDV_MaxChars(dx, m_strMapName, kMaxText);
  DDX_Check(dx, IDC_GIS_DF_SCALE_SYMBOLS, m_nScaleSymbols);
  DDX_Text(dx, IDC_GIS_DF_REFERENCE_SCALE, m_dReferenceScale);
  DDV_MinMaxDouble(dx, m_dReferenceScale, 0.0, 1e9);
}

void CGIS_MapDataframe::FillMapList() {
  IGIS_FeatureSet* pOwner = m_pElement != nullptr ? m_pElement->GetFeatureSetPtr() : nullptr;
  if (pOwner == nullptr) return;
  const char* szMethod = "CGIS_MapDataframe::FillMapList";
  IGIS_MapLayer* pLayer = pOwner->GetMapLayer();
  if (pLayer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapLayer == NULL");
    return;
  }
  IGIS_Map* pLayoutMap = pLayer->GetMap();
  if (pLayoutMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
    return;
  }
  IGIS_Document* pDocument = pLayoutMap->GetDocument();
  if (pDocument == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_doc == NULL");
    return;
  }
  const int nCount = pDocument->GetMapCount();
  for (int i = 0; i < nCount; ++i) {
    IGIS_Map* pMap = pDocument->GetMapAt(i);
    if (pMap == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
      continue;
    }
    const char* szName = pMap->GetName();
    if (szName != nullptr && *szName != '\0') m_mapNames.emplace_back(szName);
  }
}

BOOL CGIS_MapDataframe::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  EnableExtentControls(m_nExtentType);
  for (const std::string& name : m_mapNames) m_comboMap.AddString(name.c_str());
  // The element always scales its symbols with the map.
  if (CWnd* pCheck = GetDlgItem(IDC_GIS_DF_SCALE_SYMBOLS)) pCheck->EnableWindow(FALSE);
  return TRUE;
}

double CGIS_MapDataframe::GetScaleFactor() {
  if (m_pElement == nullptr) return 1000.0;
  IGIS_Map* pMap = m_pElement->GetMap();
  double dFactor = 0.0;
  if (pMap == nullptr) {
    dFactor = m_pElement->GetScale();
  } else {
    IGIS_FeatureSet* pOwner = m_pElement->GetFeatureSetPtr();
    IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
    IGIS_SpatialReference* pPage = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
    double r = 1.0;
    if (pPage != nullptr) {
      const double a = LinearUnitFactor(pPage);
      const double b = pPage->GetUnitFactor();
      if (a > 0.0) r = b / a;
    }
    IGIS_SpatialReference* pReference = pMap->GetSpatialReference();
    const int nKind = pReference != nullptr ? pReference->GetKind() : 0;
    const double c = pReference != nullptr ? pReference->GetUnitFactor() : 0.0;
    switch (nKind) {
      case 0:
        dFactor = r / 100.0;
        break;
      case 2: {
        const double d = LinearUnitFactor(pReference);
        const double q = UsableFactor(c) && UsableFactor(d) ? c / d : 1.0;
        dFactor = r / q;
        break;
      }
      case 1:
        dFactor = (c > 0.0 ? r / c : r) / 100.0;
        break;
      default:
        dFactor = r;
        break;
    }
  }
  return UsableFactor(dFactor) ? dFactor : 1.0;
}

BOOL CGIS_MapDataframe::OnSetActive() {
  if (m_pElement != nullptr) {
    m_strMapName = m_pElement->GetMapName() != nullptr ? m_pElement->GetMapName() : "";
    m_nExtentType = m_pElement->GetExtentType();
    SGIS_DRect bound;
    m_pElement->GetMapBound(&bound);
    m_dX1 = bound.x1;
    m_dX2 = bound.x2;
    m_dY1 = bound.y1;
    m_dY2 = bound.y2;
    m_dFixScale = m_pElement->GetScale() * GetScaleFactor();
    m_dScale = m_dFixScale;
    m_dRotateAngle = m_pElement->GetRotateAngle();
    m_nDisableAutoSubLayer = m_pElement->GetDisableAutoControlVectorSubLayer() ? 1 : 0;
    m_nScaleSymbols = m_pElement->GetScaleSymbolsWithMap() ? 1 : 0;
    m_editReferenceScale.EnableWindow(FALSE);
    IGIS_MainObject* pMain = m_pElement->GetMainObject();
    IGIS_MapView* pView = pMain != nullptr ? pMain->GetMapView() : nullptr;
    if (pView != nullptr) m_dReferenceScale = pView->GetReferenceScale();
    EnableExtentControls(m_nExtentType);
    UpdateData(FALSE);
  }
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_MapDataframe::WriteElement() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pElement == nullptr) return TRUE;
  m_pElement->SetExtentType(m_nExtentType);
  if (m_nExtentType == GIS_MAP_EXTENT_FIXED_SCALE) {
    m_pElement->SetScale(m_dFixScale / GetScaleFactor());
  } else if (m_nExtentType == GIS_MAP_EXTENT_FIXED_EXTENT) {
    m_pElement->SetExtentType(GIS_MAP_EXTENT_FIXED_SCALE);
    m_pElement->SetScale(m_dScale / GetScaleFactor());
    m_pElement->SetExtentType(GIS_MAP_EXTENT_FIXED_EXTENT);
    SGIS_DRect bound(m_dX1, m_dY1, m_dX2, m_dY2);
    bound.Normalize();
    m_pElement->SetMapBound(bound);
  }
  // Only a chosen map changes the binding: no selection keeps the map.
  if (m_comboMap.GetCurSel() >= 0) m_pElement->SetMapName(m_strMapName.c_str());
  m_pElement->SetRotateAngle(m_dRotateAngle);
  m_pElement->SetDisableAutoControlVectorSubLayer(m_nDisableAutoSubLayer == 1);
  return TRUE;
}

BOOL CGIS_MapDataframe::OnKillActive() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_MapDataframe::OnApply() {
  if (!WriteElement()) return FALSE;
  return CPropertyPage::OnApply();
}

void CGIS_MapDataframe::EnableExtentControls(int nType) {
  const BOOL bExtent = nType == GIS_MAP_EXTENT_FIXED_EXTENT;
  for (int id : {IDC_GIS_DF_TOP, IDC_GIS_DF_RIGHT, IDC_GIS_DF_LEFT, IDC_GIS_DF_BOTTOM, IDC_GIS_DF_COMPUTE,
                 IDC_GIS_DF_SHEETNUMBER, IDC_GIS_DF_SCALE})
    if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(bExtent);
  if (CWnd* pControl = GetDlgItem(IDC_GIS_DF_FIXSCALE))
    pControl->EnableWindow(nType == GIS_MAP_EXTENT_FIXED_SCALE);
}

void CGIS_MapDataframe::OnExtentType(int nType) {
  m_nExtentType = nType;
  EnableExtentControls(nType);
}

void CGIS_MapDataframe::OnComputeExtent() {
  if (!UpdateData(TRUE)) return;
  IGIS_TilingRuleManager* pManager = GIS_GetTilingRuleManagerPtr();
  IGIS_TilingRule* pRule = pManager != nullptr ? pManager->GetTilingRule(GIS_TILINGRULE_NATIONAL) : nullptr;
  if (pRule == nullptr) return;
  IGIS_MainObject* pMain = m_pElement != nullptr ? m_pElement->GetMainObject() : nullptr;
  IGIS_MapView* pView = pMain != nullptr ? pMain->GetMapView() : nullptr;
  IGIS_SpatialReference* pReference = pView != nullptr ? pView->GetSpatialReference() : nullptr;
  SGIS_Rect extent(0, 0, 0, 0);
  pRule->GetSheetExtent(m_strSheetNumber.c_str(), pReference, 1, &extent);
  if (extent.left == 0 && extent.right == 0 && extent.top == 0 && extent.bottom == 0) {
    MessageBox("图号无效！", "警告", MB_OK);
  } else {
    m_dX1 = extent.left;
    m_dY2 = extent.bottom;
    m_dX2 = extent.right;
    m_dY1 = extent.top;
    UpdateData(FALSE);
  }
  SetModified(TRUE);
}

void CGIS_MapDataframe::OnMapBorder(bool bInner) {
  if (m_pElement == nullptr) return;
  IGIS_MapBorder* pBorder = bInner ? m_pElement->GetInnerMapBorder() : m_pElement->GetOuterMapBorder();
  CGIS_MapBorderSelectordlg dlg;
  if (pBorder != nullptr) dlg.SetMapBorder(pBorder->Clone());
  if (dlg.DoModal() != IDOK) return;
  if (bInner) {
    m_pElement->SetInnerMapBorder(dlg.GetMapBorder());
  } else {
    m_pElement->SetOuterMapBorder(dlg.GetMapBorder());
  }
  SetModified(TRUE);
}

void CGIS_MapDataframe::OnScaleSymbols() {
  SetModified(TRUE);
  m_nScaleSymbols = m_nScaleSymbols != 0 ? 0 : 1;
  m_editReferenceScale.EnableWindow(m_nScaleSymbols != 0);
  IGIS_Map* pMap = m_pElement != nullptr ? m_pElement->GetMap() : nullptr;
  if (pMap != nullptr) m_dReferenceScale = static_cast<double>(pMap->GetReferenceScale());
  UpdateData(FALSE);
}
