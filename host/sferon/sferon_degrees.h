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

}  // namespace md::sferon
