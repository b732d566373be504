// The host's spatial-reference command as the measured grid's pages use it:
// the user picks a reference for the grid, which must be projected.
#pragma once

class IGIS_MainObject;
class IGIS_SpatialReference;

namespace md::layout::measure {

// Runs "GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE" on the main object with
// pCurrent shown as the current reference. The projected reference the user
// chose (the host's: copy it before the next command), or NULL when nothing
// was chosen or the choice is not projected (then with the message
// "选择的空间参考关系不是投影的,请重新选择一个投影空间参考关系"). With szMethod, an
// answer that holds no reference is recorded under it
// ("pSpatialReference == NULL").
IGIS_SpatialReference* ChooseProjectedReference(IGIS_MainObject* pMain, IGIS_SpatialReference* pCurrent,
                                                const char* szMethod = nullptr);

}  // namespace md::layout::measure
