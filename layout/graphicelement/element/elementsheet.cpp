// The seam between element models and their property sheets.
#include "layout/graphicelement/element/elementsheet.h"

#include <atomic>

namespace md::layout {
namespace {

std::atomic<ISheetHost*> g_host{nullptr};

}  // namespace

ISheetHost* SetSheetHost(ISheetHost* pHost) { return g_host.exchange(pHost); }

BOOL OpenPropertySheet(const SheetRequest& request) {
  ISheetHost* pHost = g_host.load();
  if (pHost == nullptr || request.pElement == nullptr) return FALSE;
  return pHost->Open(request);
}

}  // namespace md::layout
