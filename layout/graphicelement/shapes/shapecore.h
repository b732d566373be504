// What the plain shapes (rectangle, ellipse, polygon, polyline, point) share:
// binding to a feature with their bookkeeping fields and default symbol,
// committing a changed feature, the nearest-integer rule, the keep-ratio
// factor, symbol copies handed to features, drawing a device point list with
// a symbol inside the element clip, and running a property sheet around a
// backup copy.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "host/featra/igis_feature.h"
#include "platform/win/wintypes.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/shapes/shapesheet.h"

class IGIS_Display;
class IGIS_DisplayView;
class IGIS_Feature;
class IGIS_Symbol;
class IGIS_SpatialReference;

namespace mapdeck::shapes {

// Nearest integer, halves away from zero (NaN and out-of-range values are
// clamped instead of overflowing).
inline int Nearest(double v) { return sgis_detail::RoundToInt32(v); }

// a + b, held to the 32-bit range (page coordinates never wrap around).
inline int AddClamped(int a, int b) { return sgis_detail::ClampToInt32(static_cast<std::int64_t>(a) + b); }

// a - b, held to the 32-bit range.
inline int SubClamped(int a, int b) { return sgis_detail::ClampToInt32(static_cast<std::int64_t>(a) - b); }

// The rectangle moved by (dx, dy).
inline SGIS_Rect OffsetBox(SGIS_Rect r, int dx, int dy) {
  return SGIS_Rect(AddClamped(r.left, dx), AddClamped(r.top, dy), AddClamped(r.right, dx), AddClamped(r.bottom, dy));
}

// The single factor that replaces sx and sy when the ratio of width to
// height is kept: the smaller when either is at least 1.0, the larger when
// both are below 1.0.
double KeepRatioFactor(double sx, double sy);

// The rectangle a box shape (rectangle, ellipse, point) gets from
// ScaleShape: the left-bottom corner scaled about the origin with the factors
// as given, then width and height scaled with them, or with their smaller one
// when the ratio is kept.
SGIS_Rect ScaleBox(SGIS_Rect r, SGIS_Point origin, double sx, double sy, bool bKeepRatio);

// The rectangle resized to the new width and height (already chosen) about
// its left-bottom corner.
SGIS_Rect ResizeBox(SGIS_Rect r, int nWidth, int nHeight);

// A new default symbol of the type whose part gets the style code; NULL when
// the symbol library has none.
IGIS_Symbol* MakeDefaultSymbol(int nType, int nStyleCode);

// Hands the feature a new default symbol; the symbol is released again when
// the feature refuses it.
void GiveDefaultSymbol(IGIS_Feature* pFeature, int nType, int nStyleCode);

// Hands the feature a copy of the symbol (NULL clears it). FALSE when the
// feature refused it; the copy is released then.
BOOL GiveSymbolCopy(IGIS_Feature* pFeature, IGIS_Symbol* pSymbol);

// Commits the changed feature through the owner's feature class.
BOOL Commit(CGIS_ElementCore& core, IGIS_Feature* pFeature, int nFlags);

// The spatial reference of the owner's feature class, or NULL.
IGIS_SpatialReference* PageReference(CGIS_ElementCore& core);

// A new element of the type in the element's owner, seen through its own
// interface; NULL (and nothing left behind) when it cannot be made.
template <class TElement>
TElement* NewSibling(CGIS_ElementCore& core, const char* szType) {
  IGIS_FeatureSet* pOwner = core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(szType);
  if (pElement == nullptr) return nullptr;
  auto* pTyped = dynamic_cast<TElement*>(pElement);
  if (pTyped == nullptr && !pOwner->DeleteElement(pElement)) pElement->Release();
  return pTyped;
}

// How a plain shape binds to its feature.
struct SGIS_ShapeBinding {
  const char* szType = "";
  int nKind = 1024;
  int nSymbolType = 12;      // default symbol: type and style code
  int nSymbolCode = 3361;
  bool bCanConvertBound = false;  // "CanConvert" written on a bound feature
  bool bLogCreateFailure = true;  // record when no feature can be made
};

// The binding every plain shape follows. No owner: unbound. No feature: a new
// one of the kind with "InterfacePtr", "TYPE", "IsLock", "KeepHVScaleRatio"
// and "CanConvert" (false) and the default symbol. A feature: bound, with
// "InterfacePtr", "TYPE" and "CanConvert" rewritten and the default symbol
// given when it has none; its stored flags are left for Archive.
CGIS_ElementCore::Binding BindShape(CGIS_ElementCore& core, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                    const SGIS_ShapeBinding& binding);

// "Class::Class", the name of the element's constructor in log records.
std::string ConstructorName(CGIS_ElementCore& core);

// Writes the bookkeeping fields of a feature the element has just made.
void WriteNewFeatureFields(CGIS_ElementCore& core, IGIS_Feature* pFeature, const char* szType);

// Draws the device points with the symbol through the renderer, inside the
// element clip sequence of the display (saved, narrowed, restored). The
// symbol scale is the display ratio unless dScale is given (> 0).
BOOL DrawDevicePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_Symbol* pSymbol, POINT* pPoints,
                      int nCount, double dScale = 0.0);

// Appends the device point unless it equals the last one appended.
void AppendDistinct(std::vector<POINT>& points, int x, int y);

// The page points converted by the view, runs of points that land on the
// same device point kept once.
void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference, const SGIS_Point* pPoints,
                          int nCount, std::vector<POINT>& out);

// Scale factors the shapes accept: finite, and above 0 (or at least 0 when
// bAllowZero).
inline bool IsUsableFactor(double f, bool bAllowZero) {
  return std::isfinite(f) && (bAllowZero ? f >= 0.0 : f > 0.0);
}

// The backup protocol around a plain shape's property sheet: the library's
// module state for the whole call, a Clone as backup (NULL: record
// "p_element == NULL", FALSE), the sheet run through its registered runner,
// and on anything but OK the element restored from the backup. The backup
// leaves the owner either way. TRUE only when the user pressed OK.
BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay, const char* szTitle,
                   const std::function<void(IGIS_Element* pBackup)>& restore);

}  // namespace mapdeck::shapes
