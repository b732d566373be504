// The host's process-wide settings and its temporary folder.
#pragma once

#include "host/basilo/igis_propertyset.h"

class IGIS_GlobalProperties {
 public:
  // The field of a setting, or NULL when it is not registered.
  virtual IGIS_Field* GetProperty(const char* key) = 0;
  // Registers a standalone field (GIS_CreateFieldObject) under its name. On
  // TRUE the settings own the field, which stays valid for the process; a
  // field without a name, one that belongs to a set, or a name already
  // registered is refused with FALSE: the caller keeps the field and ends a
  // standalone one with Release.
  virtual BOOL AddProperty(IGIS_Field* field) = 0;
  virtual int GetCount() const = 0;

 protected:
  virtual ~IGIS_GlobalProperties() = default;
};

extern "C" {
// The process's settings: the list is locked, but the fields' values are
// set before pages are drawn on other threads, not while.
IGIS_GlobalProperties* GIS_GetGlobalProperties();
// A folder of the host's own under the system's temporary folder, made on
// first use; no trailing separator.
const char* GIS_GetTempDir();
}
