#include "host/basilo/igis_log.h"
#include "host/glyphor2pick/igis_symbolv2chooserdlg.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"

namespace {

class CGIS_SymbolV2ChooserDlg final : public IGIS_SymbolV2ChooserDlg {
 public:
  int RunNew(int* kind, int, int* state) override {
    Drop();
    if (kind == nullptr || (*kind != 1 && *kind != 2)) {
      GIS_LOG(3, "IGIS_SymbolV2ChooserDlg::RunNew", "bad kind");
      return -1;
    }
    return Run(*kind, nullptr, state);
  }

  int RunEdit(IGIS_SymbolV2* symbol, int, int* state) override {
    Drop();
    if (symbol == nullptr) {
      GIS_LOG(3, "IGIS_SymbolV2ChooserDlg::RunEdit", "symbol == NULL");
      return -1;
    }
    return Run(symbol->AsLineSymbol() ? 1 : 2, symbol, state);
  }

  IGIS_SymbolV2* GetResult() override {
    IGIS_SymbolV2* r = result_;
    result_ = nullptr;
    return r;
  }

 private:
  // 0 when a symbol was made or edited, 1 otherwise.
  int Run(int kind, IGIS_SymbolV2* current, int* state) {
    const int remembered = state && *state > 0 ? *state - 1 : -1;
    const std::string sizeText = current ? GIS_FormatSize(current->GetLineWidth()) : "";
    CGIS_SymbolPickDlg dlg(kind == 1 ? "边线样式" : "填充样式", GIS_Symbol2Catalogue(kind),
                           current ? -1 : remembered, "线宽(毫米)：", sizeText);
    if (dlg.DoModal() != IDOK) return 1;
    IGIS_SymbolV2* s = nullptr;
    if (dlg.GetChosen() >= 0) {
      s = GIS_MakeCatalogueSymbol2(kind, dlg.GetChosen());
      if (s && state) *state = dlg.GetChosen() + 1;
    } else if (current) {
      s = current->Clone();
    }
    if (s == nullptr) return 1;
    double v = 0;
    if (dlg.GetSizeText() != sizeText && GIS_ParseSize(dlg.GetSizeText(), &v)) s->SetLineWidth(v);
    result_ = s;
    return 0;
  }
  void Drop() {
    if (result_) result_->Release();
    result_ = nullptr;
  }
  IGIS_SymbolV2* result_ = nullptr;
};

}  // namespace

extern "C" IGIS_SymbolV2ChooserDlg* GIS_GetSymbol2SelectDlgObject() {
  static CGIS_SymbolV2ChooserDlg* dlg = new CGIS_SymbolV2ChooserDlg;  // lives as long as the process
  return dlg;
}
