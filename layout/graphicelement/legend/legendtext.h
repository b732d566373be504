// Text symbols as the legend's objects keep and measure them.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"

class IGIS_Symbol;

namespace md::layout::legend {

using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

// A new text symbol of the symbol factory, or NULL.
IGIS_Symbol* NewTextSymbol();
// A copy of a text symbol; NULL for NULL or a symbol of another kind.
IGIS_Symbol* CloneTextSymbol(IGIS_Symbol* pSymbol);
// The setters' rule: NULL is logged (level, method, text) and clears the
// held symbol; the held symbol itself changes nothing; otherwise a copy is
// kept.
void ReplaceTextSymbol(SymbolPtr* pHeld, IGIS_Symbol* pSymbol, int nLevel, const char* szMethod,
                       const char* szText);
// The extent of the text drawn with the text symbol at scale 1.0 (the zero
// rectangle without a symbol).
SGIS_Rect TextExtent(IGIS_Symbol* pSymbol, const char* szText);
// Truncation towards zero, clamped to 32 bits (NaN gives 0).
int Truncate(double v);
// a + b clamped to 32 bits.
inline int Add(std::int64_t a, std::int64_t b) { return md::basilo::detail::ClampToInt32(a + b); }

}  // namespace md::layout::legend
