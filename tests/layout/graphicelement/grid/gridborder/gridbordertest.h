// Shared pieces of the grid border's tests: the table of bands (worked
// examples and edge cases) with the pieces each lays, and the walk run on a
// row.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/border/mapborderpieces.h"
#include "tests/support/logmark.h"

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

}  // namespace md::test
