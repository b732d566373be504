// The host's common-types library: value records, log, property sets,
// fields, data buffers, global properties, temporary folder, subjects and
// geo point lists.
#pragma once

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/igis_subject.h"
#include "host/basilo/sgis_types.h"
