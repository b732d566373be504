#include "host/helmora/gis_references.h"

#include <cstring>

namespace {

struct CatalogueEntry {
  std::string name;
  int datum;
  int zoneWidth;  // 0: geographic
  int zone;
};

const int kDatums[] = {GIS_DATUM_CGCS2000, GIS_DATUM_XIAN1980, GIS_DATUM_BEIJING1954, GIS_DATUM_WGS84};

// Geographic references on every datum, then the Gauss-Kruger zones that
// cover China (3-degree zones 25 to 45, 6-degree zones 13 to 23).
const std::vector<CatalogueEntry>& Catalogue() {
  static const std::vector<CatalogueEntry> entries = [] {
    std::vector<CatalogueEntry> out;
    for (int d : kDatums) out.push_back({std::string(GIS_DatumName(d)) + " 地理坐标系", d, 0, 0});
    for (int d : kDatums) {
      for (int z = 25; z <= 45; ++z)
        out.push_back({std::string(GIS_DatumName(d)) + " 3度带高斯投影 " + std::to_string(z) + "带 中央经线" +
                           std::to_string(z * 3) + "°",
                       d, 3, z});
      for (int z = 13; z <= 23; ++z)
        out.push_back({std::string(GIS_DatumName(d)) + " 6度带高斯投影 " + std::to_string(z) + "带 中央经线" +
                           std::to_string(z * 6 - 3) + "°",
                       d, 6, z});
    }
    return out;
  }();
  return entries;
}

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

std::vector<std::string> GIS_SpatialReferenceCatalogue() {
  std::vector<std::string> names;
  for (const auto& e : Catalogue()) names.push_back(e.name);
  return names;
}

IGIS_SpatialReference* GIS_MakeCatalogueReference(int index) {
  const auto& c = Catalogue();
  if (index < 0 || index >= static_cast<int>(c.size())) return nullptr;
  const CatalogueEntry& e = c[index];
  if (e.zoneWidth == 0) return GIS_MakeGeographicReference(e.datum);
  return GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(e.datum, e.zoneWidth, e.zone,
                                                                            FALSE);
}
