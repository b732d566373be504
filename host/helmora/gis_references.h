// Datums by name and geographic references on them, for map files.
#pragma once

#include "host/sferon/igis_spatialreference.h"

// The name of a predefined datum (GIS_DATUM_*), or NULL for another code.
const char* GIS_DatumName(int code);
// A datum code by name (GIS_DatumName's names), -1 for another name.
int GIS_DatumByName(const char* name);
// A new geographic reference in degrees on a predefined datum, owned by the
// caller; NULL for an unknown datum.
IGIS_SpatialReference* GIS_MakeGeographicReference(int datum);
