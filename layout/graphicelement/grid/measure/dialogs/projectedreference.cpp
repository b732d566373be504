#include "layout/graphicelement/grid/measure/dialogs/projectedreference.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_mainobject.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/mapdeckmessage.h"

namespace md::layout::measure {

IGIS_SpatialReference* ChooseProjectedReference(IGIS_MainObject* pMain, IGIS_SpatialReference* pCurrent,
                                                const char* szMethod) {
  md::basilo::ReleasePtr<IGIS_PropertySet> input(GIS_CreatePropertySetObject());
  md::basilo::ReleasePtr<IGIS_PropertySet> output(GIS_CreatePropertySetObject());
  if (pMain == nullptr || !input || !output) return nullptr;
  input->SetObject(GIS_COMMAND_KEY_SPATIALREFERENCE, pCurrent, 1);
  // Its answer is read from the output set; its flag says no more.
  pMain->ExecuteCommand(GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE, input.get(), output.get());
  IGIS_Field* pField = output->GetProperty(GIS_COMMAND_KEY_SPATIALREFERENCE);
  auto* pChosen = pField != nullptr ? static_cast<IGIS_SpatialReference*>(pField->GetObject()) : nullptr;
  if (pChosen == nullptr) {
    if (pField != nullptr && szMethod != nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pSpatialReference == NULL");
    return nullptr;
  }
  if (pChosen->GetKind() != GIS_SPATIALREFERENCE_PROJECTED) {
    md::layout::LibraryMessageBox("选择的空间参考关系不是投影的,请重新选择一个投影空间参考关系", MB_OK);
    return nullptr;
  }
  return pChosen;
}

}  // namespace md::layout::measure
