// The property-sheet runners of the plain shapes and the backup protocol around them.
#include "layout/graphicelement/shapes/shapesheet.h"

#include <algorithm>
#include <array>
#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "platform/ui/app.h"

namespace {

std::array<GIS_ShapeSheetRunner, 3>& Runners() {
  static std::array<GIS_ShapeSheetRunner, 3> runners{};
  return runners;
}

std::size_t RunnerIndex(GIS_ShapeSheetKind kind) {
  switch (kind) {
    case GIS_ShapeSheetKind::Surface:
      return 0;
    case GIS_ShapeSheetKind::Line:
      return 1;
    case GIS_ShapeSheetKind::Point:
      return 2;
  }
  return 0;
}

}  // namespace

namespace md::layout {

void SetShapeSheetRunner(GIS_ShapeSheetKind kind, GIS_ShapeSheetRunner runner) {
  Runners()[RunnerIndex(kind)] = runner;
}

GIS_ShapeSheetRunner GetShapeSheetRunner(GIS_ShapeSheetKind kind) { return Runners()[RunnerIndex(kind)]; }

}  // namespace md::layout

namespace md::layout::shapes {

BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay,
                   const char* szTitle, const std::function<void(IGIS_Element* pBackup)>& restore) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_Element* pBackup = core.Self()->Clone();
  if (pBackup == nullptr) {
    GIS_LOG(3, core.Method("OnOpenPropertyDlg").c_str(), "p_element == NULL");
    return FALSE;
  }
  const GIS_ShapeSheetRunner runner = md::layout::GetShapeSheetRunner(kind);
  const bool bConfirmed = runner != nullptr && runner(core.Self(), pDisplay, szTitle);
  if (!bConfirmed && restore) restore(pBackup);
  IGIS_FeatureSet* pOwner = pBackup->GetFeatureSetPtr();
  if (pOwner == nullptr || !pOwner->DeleteElement(pBackup)) pBackup->Release();
  return bConfirmed ? TRUE : FALSE;
}

}  // namespace md::layout::shapes
