// Reading and writing an element's "Custom" property set.
#include "layout/graphicelement/element/customset.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"

namespace md::layout {

IGIS_Field* CustomField(IGIS_PropertySet* pSet, const SGIS_CustomKey& key) {
  IGIS_Field* f = pSet->GetProperty(key.key);
  if (f == nullptr) f = pSet->AddProperty(key.key, key.archiveDescription, key.type, 1);
  if (f != nullptr && f->GetType() != key.type) f->SetType(key.type);
  return f;
}

PropertySetPtr ReadCustomSet(IGIS_FeatureAttributes* pAttributes, const char* szMethod) {
  PropertySetPtr set(GIS_CreatePropertySetObject());
  IGIS_DataBuffer* pCustom = pAttributes != nullptr ? pAttributes->GetDataBuffer("Custom") : nullptr;
  if (set && pCustom != nullptr && !set->Archive(pCustom, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "false  == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)");
  }
  return set;
}

bool WriteCustomSet(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet, const char* szMethod) {
  DataBufferPtr out(GIS_CreateDataBufferObject(0));
  if (!out || pAttributes == nullptr || !pSet->Archive(out.get(), GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  pAttributes->SetDataBuffer("Custom", out.get(), 0);
  return true;
}

}  // namespace md::layout
