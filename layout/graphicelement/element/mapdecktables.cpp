// Tables of element type identifiers and symbol codes.
#include "layout/graphicelement/element/mapdecktables.h"

#include <cstring>

bool IsScaleBarType(const char* szType) {
  if (szType == nullptr) return false;
  static const char* const kTypes[] = {
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE"};
  for (const char* t : kTypes) {
    if (std::strcmp(t, szType) == 0) return true;
  }
  return false;
}

int GetLegendSymbolCategory(int nCode) {
  switch (nCode) {
    case 0:
      return 0;
    case 20:
    case 21:
    case 22:
      return 1;
    case 5:
    case 6:
    case 7:
    case 25:
      return 2;
    case 8:
    case 9:
    case 10:
    case 23:
      return 3;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
      return 4;
    case 19:
    case 24:
      return 19;
    default:
      return -1;
  }
}
