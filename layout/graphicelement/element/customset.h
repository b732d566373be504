// The "Custom" property set of an element's feature: reading it, writing it
// back, and its keys with the descriptions they are added with.
#pragma once

#include "host/basilo/releaseptr.h"

class IGIS_DataBuffer;
class IGIS_FeatureAttributes;
class IGIS_Field;
class IGIS_PropertySet;

namespace md::layout {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

// One key of an element's "Custom" set.
struct SGIS_CustomKey {
  const char* key;
  int type;                        // GIS_FIELD_TYPE_*
  const char* newDescription;      // given by the constructor
  const char* archiveDescription;  // given by Archive when the key is missing
};

// The field of the key, added with its Archive description when missing and
// given the key's type when stored with another.
IGIS_Field* CustomField(IGIS_PropertySet* pSet, const SGIS_CustomKey& key);

// A new set holding the stored "Custom" set of the attributes; a set that
// cannot be read is recorded under szMethod and read as empty. NULL only
// when no set can be made.
PropertySetPtr ReadCustomSet(IGIS_FeatureAttributes* pAttributes, const char* szMethod);

// Stores the set as "Custom"; false, the stored set left as it was
// (recorded under szMethod), when it cannot be written.
bool WriteCustomSet(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet, const char* szMethod);

}  // namespace md::layout
