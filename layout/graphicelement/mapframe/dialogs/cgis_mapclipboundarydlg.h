// The clip-boundary dialog: the vertices of a map frame's clip boundary,
// shown and edited in degrees, minutes and seconds or in the map's own
// coordinates. It works on a private copy of the boundary and writes nothing
// back into the map frame.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/ui/clistbox.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_MAPCLIPBOUNDARY = 201,
  IDC_GIS_CB_GEOGRAPHIC = 281,
  IDC_GIS_CB_OTHER = 283,
  IDC_GIS_CB_X_DEGREE = 254,
  IDC_GIS_CB_X_MINUTE = 255,
  IDC_GIS_CB_X_SECOND = 256,
  IDC_GIS_CB_Y_DEGREE = 251,
  IDC_GIS_CB_Y_MINUTE = 252,
  IDC_GIS_CB_Y_SECOND = 253,
  IDC_GIS_CB_OTHER_X = 257,
  IDC_GIS_CB_OTHER_Y = 258,
  IDC_GIS_CB_REFERENCE = 362,
  IDC_GIS_CB_ADD = 248,
  IDC_GIS_CB_MODIFY = 353,
  IDC_GIS_CB_DELETE = 349,
  IDC_GIS_CB_INSERT = 350,
  IDC_GIS_CB_PREVIOUS = 345,
  IDC_GIS_CB_NEXT = 354,
  IDC_GIS_CB_CLEAR = 346,
  IDC_GIS_CB_COUNT = 344,
  IDC_GIS_CB_LIST = 348,
  IDC_GIS_CB_ROTATE = 3076,
  IDC_GIS_CB_ANGLE = 1002,
};

class CGIS_MapClipBoundaryDlg : public CDialog {
 public:
  explicit CGIS_MapClipBoundaryDlg(CWnd* pParent = nullptr);
  ~CGIS_MapClipBoundaryDlg() override;

  // The text of one coordinate: "%.2f" of the value in the map's units, or
  // in geographic mode the value in seconds of arc as degrees, minutes and
  // seconds ("12°30'15.50"", "-0°0'30.25""; the sign only below zero).
  static std::string FormatCoordinate(double dValue, bool bGeographic);
  // Seconds of arc of a typed degree text, minutes and seconds; a degree
  // text beginning with "-" makes the whole value negative ("-0" too).
  static double TypedSeconds(const std::string& degrees, int nMinutes, double dSeconds);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

  IGIS_MapElement* m_pMapElement = nullptr;
  int m_nXMinute = 0, m_nYMinute = 0;
  double m_dXSecond = 0.0, m_dYSecond = 0.0;
  int m_nRotate = 0;
  double m_dRotateAngle = 0.0;
  int m_nMode = 1;
  double m_dOtherX = 0.0, m_dOtherY = 0.0;
  int m_nCount = 0;
  std::string m_strXDegree, m_strYDegree;

  // The working boundary (map reference) and the vertices as listed.
  IGIS_GeoPolyline* GetWorkingBoundary() const { return m_pBoundary; }
  const std::vector<SGIS_DPoint>& GetVertices() const { return m_vertices; }

 private:
  void BuildGeographicReference();
  IGIS_SpatialReference* CurrentReference() const;
  void RefreshVertexList();
  std::string Row(int nIndex) const;
  // The typed vertex in the current coordinates; FALSE when out of range.
  bool ReadTypedVertex(SGIS_DPoint* pTyped, SGIS_Point* pMapPoint);
  void ShowVertex(int nIndex);
  void SelectRow(int nIndex);
  void Enable(int id, bool bEnable);
  void EnableEditing(bool bEnable);
  void OnAdd();
  void OnInsert();
  void OnModify();
  void OnDelete();
  void OnClear();
  void OnNext();
  void OnPrevious();
  void OnSelectRow();
  void OnMode(int nMode);
  void OnSpatialReference();

  CListBox m_list;
  IGIS_GeoPolyline* m_pBoundary = nullptr;
  std::vector<SGIS_DPoint> m_vertices;
  md::basilo::ReleasePtr<IGIS_CoordTransform> m_pTransform;
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pMapReference;
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pGeographic;
};
