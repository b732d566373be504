// The registry of element property sheets and the routine around them.
#include "layout/graphicelement/dialogs/propertysheets.h"

#include <map>
#include <mutex>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/ui/app.h"

namespace md::layout {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, SheetRunner, std::less<>> runners;
};

Registry& Sheets() {
  static Registry* registry = new Registry;  // lives until exit; sheets may run late
  return *registry;
}

SheetRunner FindRunner(const char* szType) {
  Registry& r = Sheets();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.runners.find(szType != nullptr ? szType : "");
  return it != r.runners.end() ? it->second : SheetRunner();
}

// The backup lives on a feature of its own in the owner: hand both back.
void DisposeBackup(IGIS_Element* pBackup) {
  IGIS_FeatureSet* pOwner = pBackup->GetFeatureSetPtr();
  if (pOwner == nullptr || !pOwner->DeleteElement(pBackup)) pBackup->Release();
}

class RoutineHost final : public ISheetHost {
 public:
  BOOL Open(const SheetRequest& request) override { return RunPropertySheet(request); }
};

struct Installation {
  RoutineHost host;
  Installation() { SetSheetHost(&host); }
  ~Installation() { SetSheetHost(nullptr); }
} g_installation;

}  // namespace

void RegisterPropertySheet(const std::string& type, SheetRunner runner) {
  Registry& r = Sheets();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (runner) {
    r.runners[type] = std::move(runner);
  } else {
    r.runners.erase(type);
  }
}

bool HasPropertySheet(const std::string& type) {
  Registry& r = Sheets();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.runners.count(type) != 0;
}

SheetRunner GetPropertySheet(const std::string& type) { return FindRunner(type.c_str()); }

namespace {
bool g_bWithCommonPages = true;
}  // namespace

bool SheetWithCommonPages() { return g_bWithCommonPages; }

BOOL RunPropertySheet(const SheetRequest& request) {
  if (request.pElement == nullptr) return FALSE;
  // Dialog templates, strings and message boxes of the sheet are the library's.
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_Element* pBackup = request.bOwnBackup ? nullptr : request.pElement->Clone();
  if (pBackup == nullptr && !request.bOwnBackup) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, request.method.c_str(), "%s",
            request.szNoBackup != nullptr ? request.szNoBackup : "");
    return FALSE;
  }
  const SheetRunner runner = FindRunner(request.pElement->GetType());
  // Sheets run modally one at a time; the flag goes back when this one ends.
  const bool bOuterCommonPages = g_bWithCommonPages;
  g_bWithCommonPages = request.bWithCommonPages;
  const bool bConfirmed = runner && runner(request.pElement, request.pDisplay, request.szTitle);
  g_bWithCommonPages = bOuterCommonPages;
  if (!bConfirmed && request.restore) request.restore(pBackup);
  if (pBackup != nullptr) DisposeBackup(pBackup);
  return bConfirmed ? TRUE : FALSE;
}

}  // namespace md::layout
