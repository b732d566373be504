// The spatial references the host offers: a catalogue of geographic
// references on each predefined datum and the Gauss-Kruger zones that cover
// China, and makers for them.
#pragma once

#include <string>
#include <vector>

#include "host/sferon/igis_spatialreference.h"

// The name of a predefined datum (GIS_DATUM_*), or NULL for another code.
const char* GIS_DatumName(int code);
// A datum code by name (GIS_DatumName's names), -1 for another name.
int GIS_DatumByName(const char* name);
// A new geographic reference in degrees on a predefined datum, owned by the
// caller; NULL for an unknown datum.
IGIS_SpatialReference* GIS_MakeGeographicReference(int datum);
// The references offered, by name, in list order.
std::vector<std::string> GIS_SpatialReferenceCatalogue();
// A new reference of catalogue entry index, owned by the caller; NULL out of range.
IGIS_SpatialReference* GIS_MakeCatalogueReference(int index);
