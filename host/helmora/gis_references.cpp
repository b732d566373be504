#include "host/helmora/gis_references.h"

#include <cstring>
#include <string>

namespace {

const int kDatums[] = {GIS_DATUM_CGCS2000, GIS_DATUM_XIAN1980, GIS_DATUM_BEIJING1954, GIS_DATUM_WGS84};

}  // namespace

const char* GIS_DatumName(int code) {
  switch (code) {
    case GIS_DATUM_CGCS2000:
      return "CGCS2000";
    case GIS_DATUM_XIAN1980:
      return "西安1980";
    case GIS_DATUM_BEIJING1954:
      return "北京1954";
    case GIS_DATUM_WGS84:
      return "WGS 84";
    default:
      return nullptr;
  }
}

int GIS_DatumByName(const char* name) {
  if (name == nullptr) return -1;
  for (int d : kDatums)
    if (std::strcmp(GIS_DatumName(d), name) == 0) return d;
  return -1;
}

IGIS_SpatialReference* GIS_MakeGeographicReference(int datum) {
  const char* datumName = GIS_DatumName(datum);
  if (datumName == nullptr) return nullptr;
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  IGIS_GeographicCoordSys* system =
      f->CreateGeographicCoordSys(datumName, datumName, f->GetDatum(datum), nullptr, nullptr);
  const std::string name = std::string(datumName) + " 地理坐标系";
  return system ? f->CreateGeographicReference(name.c_str(), name.c_str(), nullptr, system, nullptr)
                : nullptr;
}
