// The data-frame page of the map frame's property sheet: the map shown, how
// the frame keeps its extent (automatic, fixed scale, fixed extent), the
// scale and extent, the extent of a map sheet by its number, and the inner
// and outer map borders. It reads the element each time it is shown and
// writes it each time it is left, applied or accepted.
#pragma once

#include <string>
#include <vector>

#include "host/display/igis_display.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/cedit.h"
#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_MAPDATAFRAME = 4015,
  IDC_GIS_DF_EXTENT_AUTO = 4091,
  IDC_GIS_DF_EXTENT_FIXSCALE = 4105,
  IDC_GIS_DF_EXTENT_FIXEXTENT = 4106,
  IDC_GIS_DF_FIXSCALE = 4084,
  IDC_GIS_DF_LEFT = 4089,
  IDC_GIS_DF_TOP = 4087,
  IDC_GIS_DF_BOTTOM = 4095,
  IDC_GIS_DF_RIGHT = 4093,
  IDC_GIS_DF_MAPNAME = 3113,
  IDC_GIS_DF_SCALE = 1002,
  IDC_GIS_DF_SHEETNUMBER = 1010,
  IDC_GIS_DF_COMPUTE = 3114,
  IDC_GIS_DF_INNER_BORDER = 3119,
  IDC_GIS_DF_OUTER_BORDER = 3071,
  IDC_GIS_DF_SCALE_SYMBOLS = 3076,
  IDC_GIS_DF_REFERENCE_SCALE = 1003,
  IDC_GIS_DF_REFERENCE_LABEL = 3171,
};

class CGIS_MapDataframe : public CPropertyPage {
 public:
  CGIS_MapDataframe(IGIS_MapElement* pElement, IGIS_Display* pDisplay);

  void SetReferenceScale(double dScale) { m_dReferenceScale = dScale; }
  // The factor between the element's scale and the scale the page shows:
  // shown values are the element's times the factor, written ones divided by
  // it. A unit that is missing or 0 counts as factor 1; the result is never
  // 0, negative or non-finite (1 then).
  double GetScaleFactor();
  // The names of the document's maps found when the page was made.
  const std::vector<std::string>& GetMapNames() const { return m_mapNames; }

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  void FillMapList();
  void EnableExtentControls(int nType);
  // Takes the values from the controls and writes them into the element;
  // FALSE (nothing written) when a value is out of range.
  BOOL WriteElement();
  void OnExtentType(int nType);
  void OnComputeExtent();
  void OnMapBorder(bool bInner);
  void OnScaleSymbols();
  void MarkModified();

  CEdit m_editReferenceScale, m_editSheetNumber, m_editScale, m_editTop, m_editRight, m_editLeft,
      m_editBottom, m_editFixScale;
  CComboBox m_comboMap;
  std::vector<std::string> m_mapNames;
  double m_dFixScale = 1.0;
  double m_dX1 = 0.0, m_dX2 = 0.0, m_dY1 = 0.0, m_dY2 = 0.0;
  int m_nExtentType = 0;
  std::string m_strSheetNumber;
  double m_dScale = 1.0;
  double m_dRotateAngle = 0.0;
  std::string m_strMapName;
  int m_nScaleSymbols = 1;
  int m_nDisableAutoSubLayer = 1;
  double m_dReferenceScale = 0.0;
  IGIS_MapElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
