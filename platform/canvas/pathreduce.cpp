#include "platform/canvas/pathreduce.h"

namespace md::canvas::detail {
namespace {

// b lies on the way from a to c, going on in the same direction.
bool Straight(const Point& a, const Point& b, const Point& c) {
  const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
  return ux * vy - uy * vx == 0 && ux * vx + uy * vy > 0;
}

}  // namespace

void ReducePath(const std::vector<Point>& in, PathUse use, std::vector<Point>* out) {
  const std::size_t base = out->size();
  auto size = [&] { return out->size() - base; };
  auto at = [&](std::size_t back) -> const Point& { return (*out)[out->size() - back]; };  // 1: last
  for (const Point& c : in) {
    if (size() > 0 && at(1) == c) continue;
    if (size() >= 2) {
      if (use == PathUse::Fill && at(2) == c) {
        // a -> b -> a: the spur b goes, and c is a again.
        out->pop_back();
        continue;
      }
      if (use == PathUse::SolidStroke && size() >= 5 && at(2) == c && at(4) == c && at(1) == at(3) &&
          at(3) == at(5)) {
        // x y x y x + y: the last round trip adds nothing new; x y x y stays.
        out->pop_back();
        continue;
      }
      if (Straight(at(2), at(1), c)) out->pop_back();
    }
    out->push_back(c);
  }
  if (size() == 1 && in.size() >= 2) out->push_back(at(1));
}

}  // namespace md::canvas::detail
