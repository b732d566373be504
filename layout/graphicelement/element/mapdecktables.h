// Tables of element type identifiers and symbol codes.
#pragma once

// True exactly for the five scale-bar type identifiers that build a bar.
bool IsScaleBarType(const char* szType);

// The legend category of a symbol code; -1 for codes without one.
int GetLegendSymbolCategory(int nCode);
