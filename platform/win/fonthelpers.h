// Fonts sized in tenths of a point for a given device context, whatever its
// mapping mode.
#pragma once

#include "platform/win/wingdi.h"

// Makes a font of `height` tenths of a point with the face `faceName` (a face
// of 32 bytes or more, which the LOGFONT record cannot hold, becomes "Times
// New Roman"; a null face leaves the face empty, which picks the default
// font). The caller deletes the font. NULL on failure.
HFONT CreateFontByName(int height, const char* faceName, HDC hdc);

// Converts font->lfHeight from tenths of a point to logical units of `hdc`
// (negative: a character height), stores the converted height back into
// *font and creates the font. The viewport origin of `hdc` is the same
// afterwards. NULL (and *font unchanged) for a null record, a bad context or
// a height too large to convert; NULL when the font cannot be created.
HFONT CreateScaledFont(LOGFONT* font, HDC hdc);
