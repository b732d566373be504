// Helper for the host libraries that measure or place things in longitude
// and latitude: the geographic reference in degrees east of Greenwich on the
// datum of a given reference.
#pragma once

#include "host/sferon/igis_spatialreference.h"

namespace md::sferon {

// The geographic system under a reference of kind 1 or 2; NULL otherwise.
IGIS_GeographicCoordSys* GeographicBaseOf(IGIS_SpatialReference* reference);

// A new reference in degrees on the datum of the reference's geographic
// system, owned by the caller; NULL for NULL or a reference of kind 0.
IGIS_SpatialReference* CreateDegreesReferenceFor(IGIS_SpatialReference* reference);

// What ToDegrees did.
enum class DegreesResult { kDone, kNoDegrees, kNotTransformed };

// Takes count points of the reference to longitude and latitude in degrees
// on its datum, as a transform from the reference into
// CreateDegreesReferenceFor(reference) does (kNoDegrees when that is NULL,
// kNotTransformed when the transform fails). For a reference of this library
// both are made once per definition on each thread and kept while the same
// definition comes again, as a map frame's scale is measured on one
// reference again and again; a transform that fails is not kept.
DegreesResult ToDegrees(IGIS_SpatialReference* reference, SGIS_DPoint* points, int count);

}  // namespace md::sferon
