#include "host/basilo/igis_log.h"
#include "host/glyphor2pick/igis_symbolv2chooserdlg.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"

namespace {

class CGIS_SymbolV2ChooserDlg final : public IGIS_SymbolV2ChooserDlg {
 public:
  int RunNew(int* kind, int, int* state) override {
    result_.Drop();
    if (kind == nullptr || (*kind != 1 && *kind != 2)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2ChooserDlg::RunNew", "bad kind");
      return -1;
    }
    return Run(*kind, nullptr, state);
  }

  int RunEdit(IGIS_SymbolV2* symbol, int, int* state) override {
    result_.Drop();
    if (symbol == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolV2ChooserDlg::RunEdit", "symbol == NULL");
      return -1;
    }
    return Run(symbol->AsLineSymbol() ? 1 : 2, symbol, state);
  }

  IGIS_SymbolV2* GetResult() override { return result_.Take(); }

 private:
  // 0 when a symbol was made or edited, 1 otherwise.
  int Run(int kind, IGIS_SymbolV2* current, int* state) {
    IGIS_SymbolV2* chosen = GIS_PickSymbol(
        kind == 1 ? "边线样式" : "填充样式", GIS_Symbol2Catalogue(kind), "线宽(毫米)：", current, state,
        [kind](int index) { return GIS_MakeCatalogueSymbol2(kind, index); },
        [](IGIS_SymbolV2* s) { return s->GetLineWidth(); },
        [](IGIS_SymbolV2* s, double v) { s->SetLineWidth(v); });
    if (chosen == nullptr) return 1;
    result_.Keep(chosen);
    return 0;
  }

  GIS_ChooserResult<IGIS_SymbolV2> result_;
};

}  // namespace

extern "C" IGIS_SymbolV2ChooserDlg* GIS_GetSymbol2SelectDlgObject() {
  static CGIS_SymbolV2ChooserDlg* dlg = new CGIS_SymbolV2ChooserDlg;  // lives as long as the process
  return dlg;
}
