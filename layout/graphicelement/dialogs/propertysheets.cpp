// The registry of element property sheets and the routine around them.
#include "layout/graphicelement/dialogs/propertysheets.h"

#include <utility>

#include "layout/graphicelement/dialogs/typeregistry.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/ui/app.h"

namespace md::layout {
namespace {

CGIS_TypeRegistry<PagedSheetRunner>& Sheets() {
  // Destroyed when the library is unloaded, so a host that unloads it loses
  // nothing; sheets only run while the library is loaded.
  static CGIS_TypeRegistry<PagedSheetRunner> registry;
  return registry;
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
  PagedSheetRunner paged;
  if (runner) {
    paged = [run = std::move(runner)](IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle,
                                      BOOL /*bWithCommonPages*/) { return run(pElement, pDisplay, szTitle); };
  }
  RegisterPagedPropertySheet(type, std::move(paged));
}

void RegisterPagedPropertySheet(const std::string& type, PagedSheetRunner runner) {
  Sheets().Set(type, std::move(runner));
}

bool HasPropertySheet(const std::string& type) { return Sheets().Has(type); }

SheetRunner GetPropertySheet(const std::string& type) {
  PagedSheetRunner paged = Sheets().Find(type.c_str());
  if (!paged) return SheetRunner();
  return [run = std::move(paged)](IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
    return run(pElement, pDisplay, szTitle, TRUE);
  };
}

BOOL RunPropertySheet(const SheetRequest& request) {
  if (request.pElement == nullptr) return FALSE;
  // Dialog templates, strings and message boxes of the sheet are the library's.
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const PagedSheetRunner runner = Sheets().Find(request.pElement->GetType());
  const bool bConfirmed =
      runner && runner(request.pElement, request.pDisplay, request.szTitle, request.bWithCommonPages);
  return bConfirmed ? TRUE : FALSE;
}

}  // namespace md::layout
