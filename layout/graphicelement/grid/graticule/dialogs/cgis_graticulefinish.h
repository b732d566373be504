// A closing page for a graticule ("创建一个经纬格网") with nothing on it but
// the framework's own; the grid wizard does not show it.
#pragma once

#include "platform/ui/propsheet.h"

enum { IDD_GIS_GRATICULE_FINISH = 5155 };

class CGIS_GraticuleFinish : public CPropertyPage {
 public:
  CGIS_GraticuleFinish() : CPropertyPage(IDD_GIS_GRATICULE_FINISH) {}
};
