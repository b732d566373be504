#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"

namespace {

constexpr int kMaxSize = 100000;

const char* SizeLabel(int kind) {
  switch (kind) {
    case GIS_CHOOSE_POINT:
      return "大小：";
    case GIS_CHOOSE_TEXT:
      return "字高：";
    default:
      return "线宽(毫米)：";
  }
}

double SizeOf(IGIS_Symbol* s, int kind) {
  switch (kind) {
    case GIS_CHOOSE_POINT:
      return s->GetSize();
    case GIS_CHOOSE_TEXT:
      return std::fabs(static_cast<double>(s->GetFontSizePtr()->lfHeight));
    default:
      return s->GetLineWidth();
  }
}

void ApplySize(IGIS_Symbol* s, int kind, double v) {
  switch (kind) {
    case GIS_CHOOSE_POINT:
      s->SetSize(static_cast<int>(std::lround(std::min(v, static_cast<double>(kMaxSize)))));
      break;
    case GIS_CHOOSE_TEXT:
      s->GetFontSizePtr()->lfHeight =
          -static_cast<LONG>(std::lround(std::min(v, static_cast<double>(kMaxSize))));
      break;
    default:
      s->SetLineWidth(v);
      break;
  }
}

class CGIS_SymbolChooserDlg final : public IGIS_SymbolChooserDlg {
 public:
  BOOL Run(IGIS_Symbol* current, int flaggedKind, int* state, int, int) override {
    result_.Drop();
    const int kind = flaggedKind & ~GIS_CHOOSE_FLAG;
    if (kind != GIS_CHOOSE_POINT && kind != GIS_CHOOSE_LINE && kind != GIS_CHOOSE_FILL &&
        kind != GIS_CHOOSE_TEXT) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_SymbolChooserDlg::Run", "unknown chooser kind %d", flaggedKind);
      return FALSE;
    }
    // Editing starts from the current symbol; a new choice from the entry
    // this caller chose last time.
    IGIS_Symbol* edited = GIS_SymbolPartOfKind(current, kind) != nullptr ? current : nullptr;
    IGIS_Symbol* chosen = GIS_PickSymbol(
        "符号选择", GIS_SymbolCatalogue(kind), SizeLabel(kind), edited, state,
        [kind](int index) { return GIS_MakeCatalogueSymbol(kind, index); },
        [kind](IGIS_Symbol* s) { return SizeOf(s, kind); },
        [kind](IGIS_Symbol* s, double v) { ApplySize(s, kind, v); });
    if (chosen == nullptr) return FALSE;
    result_.Keep(chosen);
    return TRUE;
  }

  IGIS_Symbol* GetResult() override { return result_.Take(); }

 private:
  GIS_ChooserResult<IGIS_Symbol> result_;
};

}  // namespace

IGIS_Symbol* GIS_SymbolPartOfKind(IGIS_Symbol* pSymbol, int kind) {
  if (pSymbol == nullptr) return nullptr;
  switch (kind & ~GIS_CHOOSE_FLAG) {
    case GIS_CHOOSE_POINT:
      return pSymbol->AsPointSymbol();
    case GIS_CHOOSE_LINE:
      return pSymbol->AsLineSymbol();
    case GIS_CHOOSE_FILL:
      return pSymbol->AsFillSymbol();
    case GIS_CHOOSE_TEXT:
      return pSymbol->GetTextPart();
    default:
      return nullptr;
  }
}

extern "C" IGIS_SymbolChooserDlg* GIS_GetSymbolSelectDlgObject() {
  static CGIS_SymbolChooserDlg* dlg = new CGIS_SymbolChooserDlg;  // lives as long as the process
  return dlg;
}
