// Symbols read from fields, symbols kept by setters, and texts drawn through
// an annotation drawer.
#pragma once

#include <functional>
#include <string_view>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Field;
class IGIS_Symbol;
class IGIS_SymbolV2;
class IGIS_AnnoDrawer;
class CDC;
class IGIS_AnnoPointStyle;
class IGIS_FeatureSet;

// A new symbol, owned by the caller, rebuilt by the symbol factory from the
// field's data buffer; NULL with a level-4 record when the field, the
// factory, the buffer, its data or the symbol is missing.
IGIS_Symbol* GetSymbolFromField(IGIS_Field* pField);
// The same with the second symbol factory.
IGIS_SymbolV2* GetSymbol2FromField(IGIS_Field* pField);

namespace md::basilo {
struct StoredFieldView;
}  // namespace md::basilo
namespace md::layout {
class StoredSetView;
}  // namespace md::layout

// GetSymbolFromField and GetSymbol2FromField for a stored field read in
// place (NULL when missing), rebuilt straight from the stored bytes: the same
// records, the key naming the field.
IGIS_Symbol* GetSymbolFromStored(const md::basilo::StoredFieldView* pField, std::string_view key);
IGIS_SymbolV2* GetSymbol2FromStored(const md::basilo::StoredFieldView* pField, std::string_view key);
// The same for the stored field of the key.
IGIS_Symbol* GetSymbolFromStored(const md::layout::StoredSetView& set, std::string_view key);

// Draws the text with the style at the anchors through the drawer, on the
// device-context object, at the size the owner's unit ratio gives it
// (SymbolDrawFactor). While printing the view's symbol ratio replaces the
// given ratio. Nothing without a drawer or a display.
void DrawWithDrawer(IGIS_AnnoDrawer* pDrawer, IGIS_Display* pDisplay, CDC* pDC, bool bPrint, double dRatio,
                    IGIS_AnnoPointStyle* pStyle, const char* szText, const SGIS_Point* pPoints, int nCount,
                    IGIS_FeatureSet* pOwner);

// A new style, owned by the caller, with a copy of the style's text symbol
// and the alignment: what a drawing places its text with, so that the
// element's own stored style stays as it is. NULL without a style, its set,
// its text symbol or a valid alignment.
md::basilo::ReleasePtr<IGIS_AnnoPointStyle> AlignedStyleCopy(IGIS_AnnoPointStyle* pStyle, int nAlignment);

// The extent of a point symbol (types 5, 6 and 7) in its own units, its
// parts' extents taken with the factor; a type-6 symbol's is its style's
// bound from the renderer. Empty for other symbols, without a renderer or
// without the part.
SGIS_Rect PointSymbolExtent(IGIS_Symbol* pSymbol, double dFactor);

// The width and height in symbol units of the mark the renderer draws for a
// point symbol (types 5, 6 and 7): its size high, as wide as its style's
// proportions make it. Both 0 for other symbols or without a renderer.
void PointMarkSize(IGIS_Symbol* pSymbol, double* pWidth, double* pHeight);

namespace md::layout {

// Sizes of point symbols and texts on the page. A feature set's unit ratio is
// the page units one symbol unit takes: layouts, bounds and conversions
// multiply symbol sizes and text extents by it. The renderer and the
// annotation drawer draw one symbol unit as one point
// (GIS_SYMBOL_UNIT_PAGE_RATIO page units) times their drawing scale, so the
// drawing scale takes SymbolDrawFactor to give the drawn marks and texts the
// sizes laid for them.

// The owner's unit ratio; 1 without an owner or for a ratio that is not a
// positive finite number.
double SymbolUnitRatio(IGIS_FeatureSet* pOwner);
// The factor of a drawing scale for point symbols and texts: the unit ratio
// over GIS_SYMBOL_UNIT_PAGE_RATIO, exactly 1 at the default ratio.
double SymbolDrawFactor(IGIS_FeatureSet* pOwner);
// The drawing scale for the symbol: dScale times SymbolDrawFactor for point
// and text symbols; dScale for the others, whose line widths are
// millimetres.
double SymbolDrawScale(IGIS_Symbol* pSymbol, double dScale, IGIS_FeatureSet* pOwner);

// The kinds of symbol an object keeps.
enum class SymbolKind { Point, Line, Fill, Text };

// The symbol seen as the kind (the same object), or NULL.
IGIS_Symbol* SymbolPartOf(IGIS_Symbol* pSymbol, SymbolKind kind);

// A new symbol of the library's type for the kind with a built-in style
// code, seen as that kind; NULL when the library makes none.
IGIS_Symbol* NewStyledSymbol(SymbolKind kind, int nStyleCode);

// A new text symbol of the symbol factory, its font set up by setUp; NULL
// (nothing kept) without a factory, a symbol or its font.
IGIS_Symbol* NewTextSymbolWithFont(const std::function<void(LOGFONT* pFont)>& setUp);

// The symbol setters' rule: the same object as held changes nothing;
// otherwise the held symbol is released and, for a symbol given, a copy seen
// as the kind is kept (NULL, with a "p_symbol == NULL" record, when the copy
// fails or is of another kind). A NULL symbol writes the record
// "right == NULL" at nNullLevel under szMethod.
void ReplaceSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pGiven, SymbolKind kind,
                   const char* szMethod, int nNullLevel = GIS_LOG_LEVEL_CHECK);

}  // namespace md::layout
