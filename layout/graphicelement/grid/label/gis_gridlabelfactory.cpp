// The label classes the library makes by their type codes, and labels
// rebuilt from their stored form.
#include <new>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

namespace {

using LabelMaker = IGIS_GridLabel* (*)();

struct LabelRow {
  int nType;
  LabelMaker make;  // NULL: the type is known but its class is not part of the library yet
};

const LabelRow kLabels[] = {
    {GIS_GRIDLABEL_DMS, nullptr},           {GIS_GRIDLABEL_MIXEDFONT, nullptr},
    {GIS_GRIDLABEL_FORMATTED, nullptr},     {GIS_GRIDLABEL_INDEX_BACKGROUND, nullptr},
    {GIS_GRIDLABEL_INDEX_BOTTON, nullptr},  {GIS_GRIDLABEL_INDEX_CONTINUOUS, nullptr},
    {GIS_GRIDLABEL_INDEX_ROUNDED, nullptr},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_GridLabel* GIS_CreateMapGridLabelFormatObject(
    int nType) {
  for (const LabelRow& row : kLabels) {
    if (row.nType == nType) return row.make != nullptr ? row.make() : nullptr;
  }
  return nullptr;
}

extern "C" __attribute__((visibility("default"))) IGIS_GridLabel*
GIS_CreateMapGridLabelFormatObjectFromDataBuffer(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "GIS_CreateMapGridLabelFormatObjectFromDataBuffer";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_CreateMapGridLabelFormatObjectFromDataBuffer函数",
            "pDataBuffer == NULL");
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_property_set == NULL");
    return nullptr;
  }
  if (!set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "不能从DataBuffer读出数据");
    return nullptr;
  }
  IGIS_Field* pType = set->GetProperty("GridLabelType");
  if (pType == nullptr) return nullptr;
  IGIS_GridLabel* pLabel = GIS_CreateMapGridLabelFormatObject(pType->GetInt());
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "不能创建p_labelFormat==NULL");
    return nullptr;
  }
  pLabel->Open(pBuffer);
  return pLabel;
}
