// Shared pieces of the grid border's tests: the table of bands (worked
// examples and edge cases) with the pieces each lays, and the walk run on a
// row.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"
#include "tests/support/recordeddrawing.h"

namespace md::test {

// Which objects the two fill symbols are.
enum class BandSymbols {
  kDistinct,        // two objects: B background, F foreground
  kSame,            // one object for both (written B)
  kNullBackground,  // no background (written -), F foreground
};

// A piece the walk must lay: its number in walk order (from 1), its symbol
// letter and its four corners (the fifth repeats the first).
struct ExpectedPiece {
  int number;
  char symbol;
  std::int32_t c[8];
  md::layout::border::BorderRing Ring() const;
};

struct BandRow {
  const char* name;
  std::int32_t left = 0, right = 0, top = 0, bottom = 0;
  int width = 0, interval = 0;
  bool alternating = false;
  BandSymbols symbols = BandSymbols::kDistinct;
  std::string order = {};                  // every piece's symbol letter in walk order (spaces ignored)
  std::vector<ExpectedPiece> pieces = {};  // pieces pinned point by point
  bool zeroArea = false;                   // every piece encloses no area
};

const std::vector<BandRow>& kBandRows();
inline void PrintTo(const BandRow& row, std::ostream* os) { *os << row.name; }

// The symbol objects of a row's letters (never dereferenced by the walk).
IGIS_Symbol* BackOf(const BandRow& row);
IGIS_Symbol* ForeOf(const BandRow& row);

// A piece as a walk handed it over.
struct LaidPiece {
  md::layout::border::BorderRing ring;
  IGIS_Symbol* symbol;
};
md::layout::border::PieceSink Collect(std::vector<LaidPiece>* out);

// The grid border's walk on the row's rectangle, width, interval and symbols.
std::vector<LaidPiece> LayBand(const BandRow& row, const char* szMethod = "test");
// The symbol letters of laid pieces.
std::string SymbolOrder(const BandRow& row, const std::vector<LaidPiece>& laid);
std::string Squeezed(const std::string& order);
// Twice the signed area of a ring, as a magnitude.
std::int64_t TwiceArea(const md::layout::border::BorderRing& ring);

// Colours of the real symbols a page gives a border: black background,
// yellow foreground.
constexpr COLORREF kBackColour = RGB(0, 0, 0);
constexpr COLORREF kForeColour = RGB(250, 220, 0);

// A fill symbol of the colour without an outline (caller releases).
IGIS_Symbol* NewFill(COLORREF colour);

// A layout page with a map frame element (no map) and an index grid bound
// to it, whose border the tests set up.
class GridBorderPage : public GridPage {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The frame takes the row's rectangle and the grid's border the row's
  // width, interval and form, with a black background (none for a row
  // without one) and a yellow foreground.
  IGIS_MapGridBorder* BorderOf(const BandRow& row);
  // What the border drew on a printer page, and the pieces of its walk in
  // the printer's pixels with their colours (pieces without a symbol left
  // out), in order.
  std::vector<Painted> DrawnOnPrinter(IGIS_MapGridBorder* border);
  std::vector<Painted> Expected(const BandRow& row);
  // Draws a converted compound (and the compounds in it) on a printer page.
  std::vector<Painted> DrawConverted(IGIS_Element* compound);
  // Removes a converted compound and everything in it from the page.
  void Discard(IGIS_Element* compound);

  IGIS_MapGrid* grid_ = nullptr;
};

}  // namespace md::test
