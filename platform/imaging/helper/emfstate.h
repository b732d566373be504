// What an enhanced metafile's records leave of a device context's state
// that more than one of the player's passes over the records follows: the
// world transform, and the states SaveDC keeps and RestoreDC takes back.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {

// A world transform: x' = x m11 + y m21 + dx, y' = x m12 + y m22 + dy.
struct Xform {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
  bool operator==(const Xform&) const = default;
};

// `a`, then `b`.
inline Xform Then(const Xform& a, const Xform& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21,      a.m11 * b.m12 + a.m12 * b.m22,
          a.m21 * b.m11 + a.m22 * b.m21,      a.m21 * b.m12 + a.m22 * b.m22,
          a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

// The six floats of an XFORM at p.
inline Xform ReadXform(const std::uint8_t* p) {
  float v[6];
  for (int k = 0; k < 6; ++k) {
    const std::uint32_t bits = EmfU32(p + 4 * k);
    std::memcpy(&v[k], &bits, sizeof bits);
  }
  return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

// A RestoreDC's count, `which`, applied to the states saved so far: a
// negative one goes back that many saves, a positive one to that save
// counted from the first. A count naming no save changes nothing.
template <class State>
void Restore(std::vector<State>* saved, std::int32_t which, State* now) {
  const std::int64_t keep =
      which < 0 ? std::int64_t{static_cast<std::int64_t>(saved->size())} + which : std::int64_t{which} - 1;
  if (keep >= 0 && keep < static_cast<std::int64_t>(saved->size())) {
    *now = (*saved)[static_cast<std::size_t>(keep)];
    saved->resize(static_cast<std::size_t>(keep));
  }
}

// The world transform as a ModifyWorldTransform record `r` leaves `now`
// (one of at least 36 bytes).
inline Xform Modified(const std::uint8_t* r, const Xform& now) {
  const Xform x = ReadXform(r + 8);
  switch (EmfU32(r + 32)) {
    case 1:
      return Xform{};
    case 2:
      return Then(x, now);
    case 3:
      return Then(now, x);
    case 4:
      return x;
    default:
      return now;
  }
}

}  // namespace md::imaging::detail
