// What the library's reader of a draw list takes (protocol/FORMAT.md, "What
// the reader checks"): the writer (listwriter.h) calls each bound's
// predicate (protocol/drawlistbounds.h) as the reader does, with a margin
// for the reader's rounding, and writes no record it refuses.
#pragma once

#include "platform/imaging/protocol/drawlist.h"
#include "platform/imaging/protocol/drawlistbounds.h"

namespace md::imaging::detail::listbounds {

namespace dl = drawlist;

// The share of a bound the writer keeps clear of, for the reader's rounding.
constexpr double kMargin = 1e-6;

// Whether the reader takes the transform: entries and determinant within
// their bounds, the margin kept.
inline bool Within(const dl::Matrix& m) {
  return dl::EntriesWithin(m, kMargin) && dl::InvertibleWithin(m, kMargin);
}

}  // namespace md::imaging::detail::listbounds
