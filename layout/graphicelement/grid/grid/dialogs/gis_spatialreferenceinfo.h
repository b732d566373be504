// The description of a spatial reference that the measured grid's pages
// show in a read-only text box: one line per property, from the reference's
// name down through its coordinate systems, datum, ellipsoid, units, prime
// meridian and, for a projected reference, the projection with the
// parameters its model uses. Lines end with "\r\n"; numbers are written
// with six decimals.
#pragma once

#include <climits>
#include <string>

class IGIS_Projection;
class IGIS_SpatialReference;

// The index GIS_GetProjectionParameterIndex gives a name it does not know.
constexpr int GIS_PROJECTION_PARAMETER_UNKNOWN = INT_MIN;

// Replaces *pText with the description of the reference. False, with the
// text untouched, for a NULL reference or text. A part the reference lacks
// (a coordinate system, datum, ellipsoid, unit or meridian) gives its labels
// without values. A projected reference without a projection ends after
// "投影模型参数：\r\n" and answers false.
bool GIS_FormatSpatialReferenceInfo(IGIS_SpatialReference* pReference, std::string* pText);

// The index of a projection parameter (IGIS_Projection::GetParameter) by its
// exact Chinese name, or GIS_PROJECTION_PARAMETER_UNKNOWN.
int GIS_GetProjectionParameterIndex(const char* szName);

// Appends the parameter's line: the name, ":", the value ("%lf") and
// "\r\n". A parameter the projection cannot give writes no value.
void GIS_AppendProjectionParameter(IGIS_Projection* pProjection, const char* szName, std::string* pText);
