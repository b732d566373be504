// The seam between element models and their property sheets.
#include "layout/graphicelement/element/elementsheet.h"

#include <atomic>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/storedformscope.h"

namespace md::layout {
namespace {

std::atomic<ISheetHost*> g_host{nullptr};

}  // namespace

ISheetHost* SetSheetHost(ISheetHost* pHost) { return g_host.exchange(pHost); }

BOOL OpenPropertySheet(const SheetRequest& request) {
  ISheetHost* pHost = g_host.load();
  if (pHost == nullptr || request.pElement == nullptr) return FALSE;
  CGIS_StoredFormScope stored(request.pElement);
  if (!stored.IsTaken()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, request.method.c_str(), "%s",
            request.szNoBackup != nullptr ? request.szNoBackup : "");
    return FALSE;
  }
  const BOOL bConfirmed = pHost->Open(request);
  if (bConfirmed) stored.Keep();
  return bConfirmed;
}

}  // namespace md::layout
