// The seam between grid labels and their property sheets.
#include "layout/graphicelement/grid/label/labelsheet.h"

#include <map>
#include <mutex>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

namespace md::layout::label {

namespace {

struct Registry {
  std::mutex mutex;
  std::map<int, LabelSheetRunner> runners;
};

Registry& Sheets() {
  static Registry registry;
  return registry;
}

LabelSheetRunner FindRunner(int nType) {
  Registry& r = Sheets();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.runners.find(nType);
  return it != r.runners.end() ? it->second : LabelSheetRunner();
}

}  // namespace

LabelSheetRunner RegisterLabelSheet(int nType, LabelSheetRunner runner) {
  Registry& r = Sheets();
  std::lock_guard<std::mutex> lock(r.mutex);
  LabelSheetRunner before;
  auto it = r.runners.find(nType);
  if (it != r.runners.end()) {
    before = std::move(it->second);
    r.runners.erase(it);
  }
  if (runner) r.runners[nType] = std::move(runner);
  return before;
}

BOOL OpenLabelSheet(IGIS_GridLabel* pLabel, const char* szMethod,
                    const std::function<void(IGIS_GridLabel* pBackup)>& restore) {
  if (pLabel == nullptr) return FALSE;
  md::basilo::ReleasePtr<IGIS_GridLabel> pBackup(pLabel->Clone());
  if (!pBackup) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_label == NULL");
    return FALSE;
  }
  const LabelSheetRunner runner = FindRunner(pLabel->GetType());
  const bool bConfirmed = runner && runner(pLabel);
  if (!bConfirmed && restore) restore(pBackup.get());
  return bConfirmed ? TRUE : FALSE;
}

}  // namespace md::layout::label
