#include "layout/graphicelement/mapframe/dialogs/cgis_mapclipboundarydlg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/basilo/igis_propertyset.h"
#include "host/helmora/igis_mainobject.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"

namespace {

constexpr int kMaxVertices = 100000;

struct PropertySetRelease {
  void operator()(IGIS_PropertySet* p) const {
    if (p != nullptr) p->Release();
  }
};
using PropertySetPtr = std::unique_ptr<IGIS_PropertySet, PropertySetRelease>;

}  // namespace

CGIS_MapClipBoundaryDlg::CGIS_MapClipBoundaryDlg(CWnd* pParent) : CDialog(IDD_GIS_MAPCLIPBOUNDARY, pParent) {
  MapClicked(IDC_GIS_CB_ADD, [this] { OnAdd(); });
  MapClicked(IDC_GIS_CB_INSERT, [this] { OnInsert(); });
  MapClicked(IDC_GIS_CB_MODIFY, [this] { OnModify(); });
  MapClicked(IDC_GIS_CB_DELETE, [this] { OnDelete(); });
  MapClicked(IDC_GIS_CB_CLEAR, [this] { OnClear(); });
  MapClicked(IDC_GIS_CB_NEXT, [this] { OnNext(); });
  MapClicked(IDC_GIS_CB_PREVIOUS, [this] { OnPrevious(); });
  MapClicked(IDC_GIS_CB_GEOGRAPHIC, [this] { OnMode(0); });
  MapClicked(IDC_GIS_CB_OTHER, [this] { OnMode(1); });
  MapClicked(IDC_GIS_CB_REFERENCE, [this] { OnSpatialReference(); });
  MapCommand(LBN_SELCHANGE, IDC_GIS_CB_LIST, [this] { OnSelectRow(); });
  for (int id : {IDC_GIS_CB_X_DEGREE, IDC_GIS_CB_Y_DEGREE})
    MapCommand(EN_UPDATE, id, [this, id] { FilterSignedIntegerEdit(static_cast<CEdit*>(GetDlgItem(id))); });
}

CGIS_MapClipBoundaryDlg::~CGIS_MapClipBoundaryDlg() {
  if (m_pBoundary != nullptr) m_pBoundary->Release(0);
}

void CGIS_MapClipBoundaryDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_CB_LIST, m_list);
  DDX_Text(dx, IDC_GIS_CB_X_MINUTE, m_nXMinute);
  DDV_MinMaxInt(dx, m_nXMinute, 0, 60);
  DDX_Text(dx, IDC_GIS_CB_Y_MINUTE, m_nYMinute);
  DDV_MinMaxInt(dx, m_nYMinute, 0, 60);
  DDX_Text(dx, IDC_GIS_CB_X_SECOND, m_dXSecond);
  DDV_MinMaxDouble(dx, m_dXSecond, 0.0, 60.0);
  DDX_Text(dx, IDC_GIS_CB_Y_SECOND, m_dYSecond);
  DDV_MinMaxDouble(dx, m_dYSecond, 0.0, 60.0);
  DDX_Check(dx, IDC_GIS_CB_ROTATE, m_nRotate);
  DDX_Text(dx, IDC_GIS_CB_ANGLE, m_dRotateAngle);
  DDV_MinMaxDouble(dx, m_dRotateAngle, -360.0, 360.0);
  DDX_Radio(dx, IDC_GIS_CB_GEOGRAPHIC, m_nMode);
  DDX_Text(dx, IDC_GIS_CB_OTHER_X, m_dOtherX);
  DDX_Text(dx, IDC_GIS_CB_OTHER_Y, m_dOtherY);
  DDX_Text(dx, IDC_GIS_CB_COUNT, m_nCount);
  DDV_MinMaxInt(dx, m_nCount, 0, kMaxVertices);
  DDX_Text(dx, IDC_GIS_CB_X_DEGREE, m_strXDegree);
  DDV_MaxChars(dx, m_strXDegree, 4);
  DDX_Text(dx, IDC_GIS_CB_Y_DEGREE, m_strYDegree);
  DDV_MaxChars(dx, m_strYDegree, 5);
}

std::string CGIS_MapClipBoundaryDlg::FormatCoordinate(double dValue, bool bGeographic) {
  char text[128];
  if (!std::isfinite(dValue)) return "-";
  if (!bGeographic) {
    std::snprintf(text, sizeof text, "%.2f", dValue);
    return text;
  }
  // Split in hundredths of a second, so the seconds never read 60.00.
  const long long nHundredths = std::llround(std::fabs(dValue) * 100.0);
  const long long nDegrees = nHundredths / 360000;
  const long long nMinutes = nHundredths / 6000 % 60;
  const double dSeconds = static_cast<double>(nHundredths % 6000) / 100.0;
  std::snprintf(text, sizeof text, "%s%lld°%lld'%.2f\"", dValue < 0.0 && nHundredths > 0 ? "-" : "", nDegrees,
                nMinutes, dSeconds);
  return text;
}

double CGIS_MapClipBoundaryDlg::TypedSeconds(const std::string& degrees, int nMinutes, double dSeconds) {
  const double d = std::abs(std::atoi(degrees.c_str()));
  const double dAbs = 3600.0 * d + 60.0 * nMinutes + dSeconds;
  const size_t first = degrees.find_first_not_of(' ');
  const bool bNegative = first != std::string::npos && degrees[first] == '-';
  return bNegative ? -dAbs : dAbs;
}

void CGIS_MapClipBoundaryDlg::BuildGeographicReference() {
  m_pGeographic.reset();
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr || m_pMapReference == nullptr) return;
  IGIS_GeographicCoordSys* pBase = nullptr;
  if (m_pMapReference->GetKind() == 1) {
    pBase = m_pMapReference->GetGeographicCoordSys();
  } else if (m_pMapReference->GetKind() == 2) {
    IGIS_ProjectedCoordSys* pProjected = m_pMapReference->GetProjectedCoordSys();
    pBase = pProjected != nullptr ? pProjected->GetGeographicCoordSys() : nullptr;
  }
  if (pBase == nullptr) return;
  IGIS_GeographicCoordSys* pSystem =
      pFactory->CreateGeographicCoordSys("自定义", pBase->GetDescription(), pBase->GetDatum(),
                                         pBase->GetPrimeMeridian(), pFactory->GetAngularUnit(3));
  if (pSystem == nullptr) return;
  m_pGeographic.reset(
      pFactory->CreateGeographicReference("地理", "地理", nullptr, pSystem, pFactory->GetLinearUnit(0)));
  if (m_pGeographic != nullptr) m_pGeographic->SetUnitFactor(1.0);
}

IGIS_SpatialReference* CGIS_MapClipBoundaryDlg::CurrentReference() const {
  return m_nMode == 0 && m_pGeographic != nullptr ? m_pGeographic.get() : m_pMapReference.get();
}

BOOL CGIS_MapClipBoundaryDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_nMode = 1;
  if (m_pMapElement == nullptr) return FALSE;
  m_dRotateAngle = m_pMapElement->GetRotateAngle();
  for (int id : {IDC_GIS_CB_X_DEGREE, IDC_GIS_CB_X_MINUTE, IDC_GIS_CB_X_SECOND, IDC_GIS_CB_Y_DEGREE,
                 IDC_GIS_CB_Y_MINUTE, IDC_GIS_CB_Y_SECOND})
    Enable(id, false);
  EnableEditing(false);
  Enable(IDC_GIS_CB_NEXT, false);
  Enable(IDC_GIS_CB_PREVIOUS, false);
  IGIS_GeoPolygon* pClip = m_pMapElement->GetClipPolygonPtr();
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pClip == nullptr || pFactory == nullptr) {
    UpdateData(FALSE);
    return TRUE;
  }
  m_pMapReference.reset(pFactory->CreateSpatialReference(0));
  if (m_pMapReference != nullptr && pClip->GetSpatialReference() != nullptr)
    m_pMapReference->CopyFrom(pClip->GetSpatialReference());
  m_nCount = pClip->GetPointCount();
  m_pTransform.reset(pFactory->CreateCoordTransform("", "", m_pMapReference.get(), m_pMapReference.get()));
  BuildGeographicReference();
  m_pBoundary = GIS_CreateGeoPolyLineObject(m_pMapReference.get(), 2);
  if (m_pBoundary != nullptr) m_pBoundary->CopyFrom(pClip);
  RefreshVertexList();
  return TRUE;
}

std::string CGIS_MapClipBoundaryDlg::Row(int nIndex) const {
  const SGIS_DPoint& p = m_vertices[static_cast<size_t>(nIndex)];
  char text[256];
  std::snprintf(text, sizeof text, "%d  %15s %15s", nIndex, FormatCoordinate(p.x, m_nMode == 0).c_str(),
                FormatCoordinate(p.y, m_nMode == 0).c_str());
  return text;
}

void CGIS_MapClipBoundaryDlg::RefreshVertexList() {
  m_list.ResetContent();
  m_vertices.clear();
  if (m_pBoundary != nullptr && m_pTransform != nullptr) {
    m_pTransform->SetSourceAndTarget(m_pMapReference.get(), CurrentReference());
    const int nCount = std::min(m_pBoundary->GetPointCount(), kMaxVertices);
    for (int i = 0; i < nCount; ++i) {
      const SGIS_Point p = m_pBoundary->GetPoint(i);
      SGIS_DPoint d{static_cast<double>(p.x), static_cast<double>(p.y), 0.0};
      m_pTransform->TransformPoint(1, &d, 1);
      m_vertices.push_back(d);
    }
    for (int i = 0; i < static_cast<int>(m_vertices.size()); ++i) m_list.AddString(Row(i).c_str());
  }
  m_nCount = static_cast<int>(m_vertices.size());
  UpdateData(FALSE);
}

bool CGIS_MapClipBoundaryDlg::ReadTypedVertex(SGIS_DPoint* pTyped, SGIS_Point* pMapPoint) {
  if (m_pBoundary == nullptr || m_pTransform == nullptr || !UpdateData(TRUE)) return false;
  if (m_nMode == 0) {
    *pTyped = SGIS_DPoint{TypedSeconds(m_strXDegree, m_nXMinute, m_dXSecond),
                          TypedSeconds(m_strYDegree, m_nYMinute, m_dYSecond), 0.0};
  } else {
    *pTyped = SGIS_DPoint{m_dOtherX, m_dOtherY, 0.0};
  }
  SGIS_DPoint map = *pTyped;
  m_pTransform->SetSourceAndTarget(CurrentReference(), m_pMapReference.get());
  const BOOL bDone = m_pTransform->TransformPoint(1, &map, 1);
  m_pTransform->SetSourceAndTarget(m_pMapReference.get(), CurrentReference());
  if (!bDone || !std::isfinite(map.x) || !std::isfinite(map.y) || std::fabs(map.x) > 2e9 ||
      std::fabs(map.y) > 2e9)
    return false;
  *pMapPoint = SGIS_Point::FromDoubles(map.x, map.y);
  return true;
}

void CGIS_MapClipBoundaryDlg::Enable(int id, bool bEnable) {
  if (CWnd* pControl = GetDlgItem(id)) pControl->EnableWindow(bEnable ? TRUE : FALSE);
}

void CGIS_MapClipBoundaryDlg::EnableEditing(bool bEnable) {
  for (int id : {IDC_GIS_CB_INSERT, IDC_GIS_CB_DELETE, IDC_GIS_CB_MODIFY}) Enable(id, bEnable);
}

void CGIS_MapClipBoundaryDlg::ShowVertex(int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(m_vertices.size())) return;
  const SGIS_DPoint& p = m_vertices[static_cast<size_t>(nIndex)];
  if (m_nMode == 0) {
    auto split = [](double v, std::string* pDegrees, int* pMinutes, double* pSeconds) {
      const long long n = std::llround(std::fabs(v) * 100.0);
      char text[32];
      std::snprintf(text, sizeof text, "%s%lld", v < 0.0 && n > 0 ? "-" : "", n / 360000);
      *pDegrees = text;
      *pMinutes = static_cast<int>(n / 6000 % 60);
      *pSeconds = static_cast<double>(n % 6000) / 100.0;
    };
    split(p.x, &m_strXDegree, &m_nXMinute, &m_dXSecond);
    split(p.y, &m_strYDegree, &m_nYMinute, &m_dYSecond);
  } else {
    m_dOtherX = p.x;
    m_dOtherY = p.y;
  }
  UpdateData(FALSE);
}

void CGIS_MapClipBoundaryDlg::SelectRow(int nIndex) {
  m_list.SetCurSel(nIndex);
  ShowVertex(nIndex);
  const int nLast = static_cast<int>(m_vertices.size()) - 1;
  Enable(IDC_GIS_CB_PREVIOUS, nIndex > 0);
  Enable(IDC_GIS_CB_NEXT, nIndex >= 0 && nIndex < nLast);
}

void CGIS_MapClipBoundaryDlg::OnAdd() {
  SGIS_DPoint typed;
  SGIS_Point point;
  if (!ReadTypedVertex(&typed, &point)) return;
  if (static_cast<int>(m_vertices.size()) >= kMaxVertices) return;
  if (!m_pBoundary->InsertPoint(m_pBoundary->GetPointCount(), point)) return;
  m_vertices.push_back(typed);
  const int nIndex = static_cast<int>(m_vertices.size()) - 1;
  m_list.AddString(Row(nIndex).c_str());
  m_list.SetCurSel(nIndex);
  m_nCount = nIndex + 1;
  UpdateData(FALSE);
  for (int id :
       {IDC_GIS_CB_PREVIOUS, IDC_GIS_CB_INSERT, IDC_GIS_CB_ADD, IDC_GIS_CB_DELETE, IDC_GIS_CB_MODIFY})
    Enable(id, true);
  Enable(IDC_GIS_CB_NEXT, false);
}

void CGIS_MapClipBoundaryDlg::OnInsert() {
  SGIS_DPoint typed;
  SGIS_Point point;
  if (!ReadTypedVertex(&typed, &point)) return;
  if (static_cast<int>(m_vertices.size()) >= kMaxVertices) return;
  const int nIndex = std::max(m_list.GetCurSel(), 0);
  if (!m_pBoundary->InsertPoint(nIndex, point)) return;
  RefreshVertexList();
  SelectRow(nIndex);
}

void CGIS_MapClipBoundaryDlg::OnModify() {
  const int nIndex = m_list.GetCurSel();
  if (nIndex < 0 || nIndex >= static_cast<int>(m_vertices.size())) return;
  SGIS_DPoint typed;
  SGIS_Point point;
  if (!ReadTypedVertex(&typed, &point)) return;
  if (!m_pBoundary->SetPoint(nIndex, point)) return;
  m_vertices[static_cast<size_t>(nIndex)] = typed;
  m_list.DeleteString(static_cast<UINT>(nIndex));
  m_list.InsertString(nIndex, Row(nIndex).c_str());
  m_list.SetCurSel(nIndex);
}

void CGIS_MapClipBoundaryDlg::OnDelete() {
  const int nIndex = m_list.GetCurSel();
  if (nIndex < 0 || m_pBoundary == nullptr || nIndex >= static_cast<int>(m_vertices.size())) {
    Enable(IDC_GIS_CB_DELETE, false);
    return;
  }
  m_pBoundary->RemovePoint(nIndex);
  RefreshVertexList();
  const int nLast = static_cast<int>(m_vertices.size()) - 1;
  if (nLast >= 0) SelectRow(std::min(nIndex, nLast));
}

void CGIS_MapClipBoundaryDlg::OnClear() {
  m_list.ResetContent();
  m_vertices.clear();
  if (m_pBoundary != nullptr) m_pBoundary->Clear();
  m_nCount = 0;
  UpdateData(FALSE);
}

void CGIS_MapClipBoundaryDlg::OnNext() {
  if (m_vertices.empty()) return;
  EnableEditing(true);
  const int nIndex = m_list.GetCurSel();
  const int nLast = static_cast<int>(m_vertices.size()) - 1;
  if (nIndex >= nLast) {
    Enable(IDC_GIS_CB_NEXT, false);
    return;
  }
  SelectRow(nIndex + 1);
}

void CGIS_MapClipBoundaryDlg::OnPrevious() {
  const int nIndex = m_list.GetCurSel();
  if (nIndex <= 0) return;
  SelectRow(nIndex - 1);
  EnableEditing(true);
}

void CGIS_MapClipBoundaryDlg::OnSelectRow() {
  const int nIndex = m_list.GetCurSel();
  if (nIndex < 0) return;
  SelectRow(nIndex);
  for (int id : {IDC_GIS_CB_INSERT, IDC_GIS_CB_ADD, IDC_GIS_CB_DELETE, IDC_GIS_CB_MODIFY}) Enable(id, true);
}

void CGIS_MapClipBoundaryDlg::OnMode(int nMode) {
  // Geographic coordinates need a geographic reference of the map's.
  if (nMode == 0 && m_pGeographic == nullptr) nMode = 1;
  m_nMode = nMode;
  for (int id : {IDC_GIS_CB_X_DEGREE, IDC_GIS_CB_X_MINUTE, IDC_GIS_CB_X_SECOND, IDC_GIS_CB_Y_DEGREE,
                 IDC_GIS_CB_Y_MINUTE, IDC_GIS_CB_Y_SECOND})
    Enable(id, nMode == 0);
  Enable(IDC_GIS_CB_OTHER_X, nMode == 1);
  Enable(IDC_GIS_CB_OTHER_Y, nMode == 1);
  RefreshVertexList();
  if (!m_vertices.empty()) {
    SelectRow(static_cast<int>(m_vertices.size()) - 1);
    EnableEditing(true);
  }
}

void CGIS_MapClipBoundaryDlg::OnSpatialReference() {
  IGIS_MainObject* pMain = m_pMapElement != nullptr ? m_pMapElement->GetMainObject() : nullptr;
  if (pMain == nullptr || m_pMapReference == nullptr || m_pBoundary == nullptr) return;
  PropertySetPtr input(GIS_CreatePropertySetObject());
  PropertySetPtr output(GIS_CreatePropertySetObject());
  if (input == nullptr || output == nullptr) return;
  input->SetObject(GIS_COMMAND_KEY_SPATIALREFERENCE, m_pMapReference.get(), 1);
  if (!pMain->ExecuteCommand(GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE, input.get(), output.get())) return;
  IGIS_Field* pField = output->GetProperty(GIS_COMMAND_KEY_SPATIALREFERENCE);
  auto* pChosen = pField != nullptr ? static_cast<IGIS_SpatialReference*>(pField->GetObject()) : nullptr;
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pChosen == nullptr || pFactory == nullptr) return;
  md::basilo::ReleasePtr<IGIS_SpatialReference> pNew(pFactory->CreateSpatialReference(0));
  if (pNew == nullptr) return;
  pNew->CopyFrom(pChosen);
  // The boundary moves into the new reference point by point.
  IGIS_GeoPolyline* pMoved = GIS_CreateGeoPolyLineObject(pNew.get(), 2);
  if (pMoved == nullptr) return;
  m_pTransform->SetSourceAndTarget(m_pMapReference.get(), pNew.get());
  const int nCount = std::min(m_pBoundary->GetPointCount(), kMaxVertices);
  for (int i = 0; i < nCount; ++i) {
    const SGIS_Point p = m_pBoundary->GetPoint(i);
    SGIS_DPoint d{static_cast<double>(p.x), static_cast<double>(p.y), 0.0};
    m_pTransform->TransformPoint(1, &d, 1);
    pMoved->InsertPoint(i, SGIS_Point::FromDoubles(d.x, d.y));
  }
  m_pBoundary->Release(0);
  m_pBoundary = pMoved;
  m_pMapReference = std::move(pNew);
  BuildGeographicReference();
  OnMode(m_nMode);
}
