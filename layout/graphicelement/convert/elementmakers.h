// Element makers: the plain elements (texts, polylines, polygons, points) a
// conversion adds to its compound, and the undoing of a conversion that fails
// part-way. They sit above the plain kinds they make and below every kind that
// converts itself.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Element;
class IGIS_CompoundElement;
class IGIS_FeatureSet;
class IGIS_Symbol;

// A new compound element of the owner feature set for a conversion to fill;
// NULL without an owner or when it makes none (an element of another kind
// that it made instead is dropped).
IGIS_CompoundElement* CreateCompoundElement(IGIS_FeatureSet* pOwner);

// Each asks the compound's owner for a new element of its type, sets it up
// and adds it to the compound. Nothing is made (FALSE) without a compound,
// its owner, or the new element; an element the compound refuses is handed
// back to the owner rather than left loose on the page.

// A text at the position: by its lower-left corner, or (anchored) by the
// anchor of position 4.
BOOL CreateTextElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pTextSymbol,
                       const char* szText, bool bAnchored);
// A text whose cell, turned with the symbol's angle, has its lower-left
// corner at the point (the corner the text stands on when it is read).
BOOL CreateTurnedTextElement(IGIS_CompoundElement* pCompound, SGIS_Point corner, IGIS_Symbol* pTextSymbol,
                             const char* szText);
// A polyline of at least nMinPoints points, 2 unless given (a one-point
// polyline shows nothing but keeps its place, as an arc of no angle does);
// the points are page coordinates. The polyline, and the polygon below, are
// committed whole (GIS_UPDATE_ALL) once they are in the compound. A NULL
// symbol gives an element without a symbol, and no record.
BOOL CreatePolylineElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                           IGIS_Symbol* pLineSymbol, int nMinPoints = 2);
// A polygon of at least 3 points.
BOOL CreatePolygonElement(IGIS_CompoundElement* pCompound, const SGIS_Point* pPoints, int nCount,
                          IGIS_Symbol* pFillSymbol);
// A point symbol centred on the position, the size of the mark it draws
// there (PointMarkSize times the owner's unit ratio).
BOOL CreatePointElement(IGIS_CompoundElement* pCompound, SGIS_Point position, IGIS_Symbol* pPointSymbol);
// Ends an element made for a conversion that is not kept, and its feature
// (an element its owner does not hold is only released).
void DropElement(IGIS_Element* pElement);
// Ends a compound made for a conversion and every member it holds, nested
// compounds too, so that a conversion that fails part-way leaves nothing
// of its making in the feature set.
void DropCompound(IGIS_CompoundElement* pCompound);

// A two-point polyline from one point to the other.
BOOL AddSegmentElement(IGIS_Element* pCompound, SGIS_Point from, SGIS_Point to, IGIS_Symbol* pLineSymbol);
inline BOOL AddSegmentElement(IGIS_Element* pCompound, int x1, int y1, int z1, int x2, int y2, int z2,
                              IGIS_Symbol* pLineSymbol) {
  return AddSegmentElement(pCompound, SGIS_Point(x1, y1, z1), SGIS_Point(x2, y2, z2), pLineSymbol);
}

// Adds an element a conversion made to the compound; an element the compound
// refuses (or a NULL compound) is dropped, a compound with its members.
// FALSE for a NULL element or a refused one.
BOOL AddElementOrHandBack(IGIS_CompoundElement* pCompound, IGIS_Element* pElement);
