// Symbol copies the scale bars and their marks keep: a setter keeps the
// typed view of a clone of what it is given and releases what it held.
#pragma once

#include "host/basilo/releaseptr.h"

class IGIS_Symbol;

namespace md::layout::detail {

// The typed view a holder keeps (IGIS_Symbol::AsLineSymbol, AsFillSymbol,
// GetTextPart).
using SymbolView = IGIS_Symbol* (IGIS_Symbol::*)();

// Replaces the held symbol by the view of a clone of pGiven: nothing when
// pGiven is the held object itself; the held symbol released otherwise; NULL,
// or a symbol without that view, leaves the field empty (the clone is
// released).
void KeepSymbolCopy(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pGiven, SymbolView view);

// Takes pRead, a new symbol nobody else holds (one just read): the held
// symbol is replaced by its view, as KeepSymbolCopy keeps that of a clone;
// a symbol without the view is released and the held one kept. True when
// the held symbol was replaced.
bool AdoptSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pRead, SymbolView view);

}  // namespace md::layout::detail
