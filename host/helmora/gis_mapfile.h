// Map files: a GeoJSON feature collection (longitude and latitude in
// degrees) with the map's name, reference, layers and classes in its
// "mapdeck" member (host/helmora/FORMAT.md). The features are carried into
// the map's reference when the map is made.
#pragma once

#include <cstddef>

#include "host/helmora/igis_map.h"

// Most bytes a map file may hold.
constexpr std::size_t GIS_MAPFILE_MAX_BYTES = 64u << 20;

extern "C" {
// Reads a map file into the document as a new map and returns it. NULL,
// with a log record and the document unchanged, for a file that cannot be
// read, damaged or out-of-range content, or a map name the document uses.
IGIS_Map* GIS_LoadMapFile(IGIS_Document* document, const char* path);
// The same from the file's bytes.
IGIS_Map* GIS_ReadMapText(IGIS_Document* document, const char* text, std::size_t size);
}
