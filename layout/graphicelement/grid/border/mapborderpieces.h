// The pieces of a map border's band: closed rings of five page points, each
// filled with one symbol. The walks lay them out once; drawing fills each on
// a device context and conversion makes each a polygon element, so that a
// converted border shows exactly what its drawing showed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "platform/win/wintypes.h"

class IGIS_CompoundElement;
class IGIS_Display;
class IGIS_Element;
class IGIS_PerformanceLog;
class IGIS_SpatialReference;
class IGIS_Symbol;

namespace md::layout::border {

// A closed ring: the fifth point repeats the first.
using BorderRing = std::array<SGIS_Point, 5>;

// The ring through four corners given in 64-bit page units (each clamped to
// the 32-bit range).
BorderRing MakeRing(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                    std::int64_t y2, std::int64_t x3, std::int64_t y3);

// Receives the pieces of a walk in order, each with its symbol (may be NULL).
using PieceSink = std::function<void(const BorderRing&, IGIS_Symbol*)>;

// A sink that fills each piece with its symbol through the painter.
PieceSink PaintingSink(CGIS_PageSymbolPainter& painter);

// The compound element that a border's conversion fills, made in the map
// element's owner feature set; NULL (with the records "pElement == NULL",
// "p_graphicLayer == NULL" or "p_comElement == NULL" under szMethod) when
// it cannot be made.
IGIS_CompoundElement* NewBorderCompound(IGIS_Element* pMapElement, const char* szMethod);

// A sink that makes each piece a polygon element of the compound.
PieceSink PolygonSink(IGIS_CompoundElement* pCompound);

// Draws a band: the walk hands its pieces to a painter on the context, whose
// records carry the print flag when one is given, otherwise whether the view
// clips. FALSE with the record "p_display == NULL" under szOnDraw without a
// display or view; pieces that cannot be filled are recorded under szFill.
bool DrawBand(HDC hdc, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference, const char* szOnDraw,
              const char* szFill, const std::function<void(const PieceSink&)>& walk,
              std::optional<bool> print = std::nullopt);
// Converts a band: the walk, given the map element's rectangle, hands its
// pieces to a new compound as polygons; NULL when no compound can be made.
IGIS_Element* ConvertBand(IGIS_Element* pMapElement, const char* szMethod,
                          const std::function<void(const SGIS_Rect&, const PieceSink&)>& walk);

// How the calibrated walk lays a side too short for its counts: fewer than
// two bars after a clean corner, or less than the carried piece and one bar.
enum class ShortSides {
  kOnePiece,  // the side as one piece from corner to corner
  kByCounts,  // the pieces the counts give, which may overlap each other or
              // reach back past the side's start
};

// The calibrated band around the outer rectangle, nWidth deep (a negative
// width lays it inside): pieces of nInterval along the sides, walked
// clockwise from the top-left corner, their symbols taking turns
// (background first); with bAlternating two half bands of opposite symbols,
// inner piece before outer piece. An interval below 1 or a side of more than
// kMaxCalibratedPieces pieces lays the side as one piece (a cut side writes
// one record under szMethod per walk): a thousand pieces are a millimetre
// each on a metre-long side.
constexpr std::int64_t kMaxCalibratedPieces = 1000;
void WalkCalibratedBand(const SGIS_Rect& outer, int nWidth, int nInterval, bool bAlternating,
                        IGIS_Symbol* pBackground, IGIS_Symbol* pForeground, const PieceSink& sink,
                        const char* szMethod, ShortSides shortSides = ShortSides::kOnePiece);

// The symbols and scales of a pattern band, in the order corners (left-top,
// left-bottom, right-top, right-bottom), sides (top, bottom, left, right).
struct PatternBand {
  IGIS_Symbol* corners[4] = {nullptr, nullptr, nullptr, nullptr};
  IGIS_Symbol* sides[4] = {nullptr, nullptr, nullptr, nullptr};
  double scales[4] = {1.0, 1.0, 1.0, 1.0};
};
// The pattern band outside the outer rectangle: the four corner squares,
// then the tiles of the top, bottom, left and right sides. A side whose tile
// quotient is not finite or lies outside the 32-bit range, or whose count
// is not above 0, has no tiles; a count above kMaxPatternTiles is capped
// (with a record under szMethod): a thousand tiles are a millimetre each on
// a metre-long side. With a performance log, the left-top corner is
// measured as 121 and the top side's tiles as 122.
constexpr std::int64_t kMaxPatternTiles = 1000;
void WalkPatternBand(const SGIS_Rect& outer, int nWidth, const PatternBand& band, const PieceSink& sink,
                     const char* szMethod, IGIS_PerformanceLog* pPerformance);

}  // namespace md::layout::border
