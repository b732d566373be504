// The chooser window shared by the symbol choosers: a list of the library's
// entries for a kind and one edit for the size (point symbols), width (line
// symbols, fill outlines) or text height. It is a modal dialog of the dialog
// framework, so the installed modal driver plays its user; with no driver it
// is cancelled.
//
// Template 31001 (choosers.dlg): list 31002, size edit 31003 with its label
// 31004, OK (1) and Cancel (2).
#pragma once

#include <string>
#include <vector>

#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_SYMBOLPICK = 31001,
  IDC_GIS_PICK_LIST = 31002,
  IDC_GIS_PICK_SIZE = 31003,
  IDC_GIS_PICK_SIZE_LABEL = 31004,
};

class CGIS_SymbolPickDlg : public CDialog {
 public:
  // `selected`: the entry selected when the window opens (-1: none).
  CGIS_SymbolPickDlg(const std::string& caption, const std::vector<std::string>& entries, int selected,
                     const std::string& sizeLabel, const std::string& sizeText);

  // After OK: the entry selected (-1: none) and the size edit's text.
  int GetChosen() const { return chosen_; }
  const std::string& GetSizeText() const { return sizeText_; }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  std::string caption_;
  std::vector<std::string> entries_;
  int selected_;
  std::string sizeLabel_;
  std::string sizeText_;
  int chosen_ = -1;
  CListBox list_;
  CEdit size_;
};

// The catalogues the choosers offer. Symbol chooser kinds: 1 point (the
// point presets, north arrows of kinds 5, 6 and 7 among them), 2 line, 4
// fill, 8 text. Second-kind kinds: 1 line, 2 fill (the last entry is the
// default background).
std::vector<std::string> GIS_SymbolCatalogue(int kind);
// A new symbol of entry `index`, owned by the caller; NULL out of range.
IGIS_Symbol* GIS_MakeCatalogueSymbol(int kind, int index);
std::vector<std::string> GIS_Symbol2Catalogue(int kind);
IGIS_SymbolV2* GIS_MakeCatalogueSymbol2(int kind, int index);

// A size text: a finite number above 0 ("%g" form when written).
bool GIS_ParseSize(const std::string& text, double* value);
std::string GIS_FormatSize(double value);

// One round of a chooser on the chooser window: the symbol the user settled
// on, owned by the caller, or NULL when the window was cancelled or nothing
// came of it. `current` (may be NULL) is the symbol being edited: its size
// fills the size edit and, with no entry chosen, a copy of it is the result.
// Otherwise the entry remembered in `*state` (1-based; 0: none; `state` may be
// NULL) starts selected. A chosen entry is made with `make(index)` and
// remembered in `*state`. A size typed anew is handed to `applySize`.
template <class TSymbol, class TMake, class TSizeOf, class TApplySize>
TSymbol* GIS_PickSymbol(const std::string& caption, const std::vector<std::string>& entries,
                        const std::string& sizeLabel, TSymbol* current, int* state, TMake make,
                        TSizeOf sizeOf, TApplySize applySize) {
  const int remembered = state && *state > 0 ? *state - 1 : -1;
  const std::string sizeText = current ? GIS_FormatSize(sizeOf(current)) : "";
  CGIS_SymbolPickDlg dlg(caption, entries, current ? -1 : remembered, sizeLabel, sizeText);
  if (dlg.DoModal() != IDOK) return nullptr;
  TSymbol* chosen = nullptr;
  if (dlg.GetChosen() >= 0) {
    chosen = make(dlg.GetChosen());
    if (chosen && state) *state = dlg.GetChosen() + 1;
  } else if (current) {
    chosen = current->Clone();
  }
  if (chosen == nullptr) return nullptr;
  double v = 0;
  if (dlg.GetSizeText() != sizeText && GIS_ParseSize(dlg.GetSizeText(), &v)) applySize(chosen, v);
  return chosen;
}

// The symbol a chooser made, held until its caller takes it.
template <class TSymbol>
class GIS_ChooserResult {
 public:
  // Releases a symbol nobody took.
  void Drop() {
    if (symbol_) symbol_->Release();
    symbol_ = nullptr;
  }
  void Keep(TSymbol* symbol) {
    Drop();
    symbol_ = symbol;
  }
  // The symbol, now the caller's; NULL when there is none.
  TSymbol* Take() {
    TSymbol* r = symbol_;
    symbol_ = nullptr;
    return r;
  }

 private:
  TSymbol* symbol_ = nullptr;
};
