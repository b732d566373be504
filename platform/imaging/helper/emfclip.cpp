// Reading an enhanced metafile's clip records as GDI does, and handing the
// clip they leave to libemf2svg as a clip path.
#include "platform/imaging/helper/emfclip.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

#include "platform/imaging/helper/emfstate.h"
#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11, kSetViewportOrg = 12,
                        kSetMapMode = 17, kOffsetClipRgn = 26, kSetMetaRgn = 28, kExcludeClipRect = 29,
                        kIntersectClipRect = 30, kScaleViewportExt = 31, kScaleWindowExt = 32, kSaveDc = 33,
                        kRestoreDc = 34, kSetWorldTransform = 35, kModifyWorldTransform = 36, kBeginPath = 59,
                        kEndPath = 60, kFillPath = 62, kStrokeAndFillPath = 63, kStrokePath = 64,
                        kSelectClipPath = 67, kAbortPath = 68, kExtSelectClipRgn = 75, kPolyPolygon = 8;
constexpr std::uint32_t kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5;
// A clip of more rectangles than this is not cut further: what a record
// would take out of it is drawn. Each record that changes the clip costs
// a pass over its rectangles, and giving it to the library a record of them.
constexpr std::size_t kMostBoxes = 256;

// A rectangle of device pixels, right and bottom edges outside it.
struct Box {
  double left, top, right, bottom;
  bool Empty() const { return !(right > left && bottom > top); }
};
using Boxes = std::vector<Box>;
// A clip's rectangles, shared by the states that hold it; none: no clip.
using Shared = std::shared_ptr<const Boxes>;

Boxes Intersect(const Boxes& a, const Box& b) {
  Boxes out;
  for (const Box& x : a) {
    const Box c{std::max(x.left, b.left), std::max(x.top, b.top), std::min(x.right, b.right),
                std::min(x.bottom, b.bottom)};
    if (!c.Empty()) out.push_back(c);
  }
  return out;
}

Boxes Intersect(const Boxes& a, const Boxes& b) {
  Boxes out;
  for (const Box& x : b) {
    const Boxes part = Intersect(a, x);
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

// The boxes without what `b` covers: each cut into at most four.
Boxes Subtract(const Boxes& a, const Box& b) {
  Boxes out;
  for (const Box& x : a) {
    const Box c{std::max(x.left, b.left), std::max(x.top, b.top), std::min(x.right, b.right),
                std::min(x.bottom, b.bottom)};
    if (c.Empty()) {
      out.push_back(x);
      continue;
    }
    const Box pieces[] = {{x.left, x.top, x.right, c.top},
                          {x.left, c.bottom, x.right, x.bottom},
                          {x.left, c.top, c.left, c.bottom},
                          {c.right, c.top, x.right, c.bottom}};
    for (const Box& p : pieces)
      if (!p.Empty()) out.push_back(p);
  }
  return out;
}

// The boxes without those of `b`, cut no further once they are many.
Boxes Subtract(Boxes a, const Boxes& b) {
  for (const Box& x : b) {
    if (a.size() > 4 * kMostBoxes) break;
    a = Subtract(a, x);
  }
  return a;
}

// The page's mapping into the reference device: its mode, the window's and
// viewport's origins and extents.
struct Mapping {
  std::uint32_t mode = 1;
  double windowX = 0, windowY = 0, windowW = 1, windowH = 1;
  double viewportX = 0, viewportY = 0, viewportW = 1, viewportH = 1;
  // Page units to device pixels, `mm` millimetres a pixel of the device.
  Xform Of(double mm) const {
    constexpr double kMmPerUnit[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};  // LOMETRIC to TWIPS
    double sx = 1, sy = 1;
    if (mode >= 2 && mode <= 6) {
      sx = kMmPerUnit[mode - 2] / mm;
      sy = -sx;
    } else if (mode == 7 || mode == 8) {
      sx = viewportW / windowW;
      sy = viewportH / windowH;
      if (mode == 7) {
        const double least = std::min(std::fabs(sx), std::fabs(sy));
        sx = std::copysign(least, sx);
        sy = std::copysign(least, sy);
      }
    }
    return {sx, 0, 0, sy, viewportX - windowX * sx, viewportY - windowY * sy};
  }
};

// The clip of a device context: none (the whole device), a set of boxes, or
// one the library keeps (`known` false); the meta region likewise; and what
// drawing is clipped to, the boxes of both.
struct Clip {
  bool known = true;
  Shared clip, meta, inForce;
  void Set(std::optional<Boxes> boxes) {
    clip = boxes ? std::make_shared<const Boxes>(std::move(*boxes)) : nullptr;
    // A clip of too many pieces for the meta region's is left larger.
    const bool both = clip && meta && clip->size() * meta->size() <= kMostBoxes * kMostBoxes;
    inForce = both ? std::make_shared<const Boxes>(Intersect(*clip, *meta)) : clip ? clip : meta;
  }
};

// The clip the library was last given (`known` false: one it made of a
// file's own record), under which device transform; the library keeps it
// across SaveDC as the device context does.
struct Given {
  bool known = true;
  Shared clip;
  Xform under;
};

struct State {
  Xform world;
  Mapping mapping;
  Clip clip;
  Given given;
};

bool Same(const Shared& a, const Shared& b) {
  if (a == b) return true;
  if (!a || !b) return false;
  return std::equal(a->begin(), a->end(), b->begin(), b->end(), [](const Box& u, const Box& v) {
    return u.left == v.left && u.top == v.top && u.right == v.right && u.bottom == v.bottom;
  });
}

// The inverse of `x`, where it has one of numbers (a file's transform of
// floats may hold an infinity or no number).
std::optional<Xform> Inverse(const Xform& x) {
  const double det = x.m11 * x.m22 - x.m12 * x.m21;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
  const double a = x.m22 / det, b = -x.m12 / det, c = -x.m21 / det, d = x.m11 / det;
  const Xform inverse{a, b, c, d, -(x.dx * a + x.dy * c), -(x.dx * b + x.dy * d)};
  for (const double v : {a, b, c, d, inverse.dx, inverse.dy})
    if (!std::isfinite(v)) return std::nullopt;
  return inverse;
}

double S32(const std::uint8_t* p) { return static_cast<std::int32_t>(EmfU32(p)); }

// The rectangle of logical units at p (left, top, right, bottom) in device
// pixels through `x`, which neither turns nor shears.
Box DeviceBox(const std::uint8_t* p, const Xform& x) {
  const double x0 = S32(p) * x.m11 + x.dx, y0 = S32(p + 4) * x.m22 + x.dy;
  const double x1 = S32(p + 8) * x.m11 + x.dx, y1 = S32(p + 12) * x.m22 + x.dy;
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

// Whether `x` neither turns nor shears, and takes numbers to numbers.
bool Upright(const Xform& x) {
  return x.m12 == 0 && x.m21 == 0 && x.m11 != 0 && x.m22 != 0 && std::isfinite(x.m11) &&
         std::isfinite(x.m22) && std::isfinite(x.dx) && std::isfinite(x.dy);
}

// The region of an ExtSelectClipRgn (`bytes` of RGNDATA at p): its
// rectangles in device pixels, or none where it holds none or too many.
std::optional<Boxes> Region(const std::uint8_t* p, std::size_t bytes) {
  if (bytes < 32) return std::nullopt;
  const std::size_t count = std::min<std::size_t>(EmfU32(p + 8), (bytes - 32) / 16);
  if (count > kMostBoxes) return std::nullopt;
  Boxes out;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t* r = p + 32 + 16 * k;
    const Box b{S32(r), S32(r + 4), S32(r + 8), S32(r + 12)};
    if (!b.Empty()) out.push_back(b);
  }
  return out;
}

// `a` combined with `b` by an ExtSelectClipRgn's mode; `whole` the device.
std::optional<Boxes> Combined(const Shared& a, const Boxes& b, std::uint32_t mode, const Box& whole) {
  const Boxes now = a ? *a : Boxes{whole};
  switch (mode) {
    case kRgnAnd:
      return Intersect(now, b);
    case kRgnOr:
      if (!a) return std::nullopt;
      {
        Boxes out = Subtract(b, now);
        out.insert(out.end(), now.begin(), now.end());
        return out;
      }
    case kRgnXor: {
      Boxes out = Subtract(now, b), more = Subtract(b, now);
      out.insert(out.end(), more.begin(), more.end());
      return out;
    }
    case kRgnDiff:
      return Subtract(now, b);
    default:
      return b;
  }
}

void Put(std::vector<std::uint8_t>* out, std::uint32_t v) {
  std::uint8_t w[4];
  EmfPut32(w, v);
  out->insert(out->end(), std::begin(w), std::end(w));
}

// A coordinate of the copy's records: within 32 bits, and 0 for no number
// (a corner of a box taken to the device by a transform of no number).
std::uint32_t Logical(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::clamp(std::round(v), -1e9, 1e9)));
}

// The records that make `clip` the clip where `inverse` takes device pixels
// to logical units: a path of its boxes in logical units selected as the clip, or,
// for none, ExtSelectClipRgn with no region. An empty clip is a path of one
// box of no area.
std::vector<std::uint8_t> ClipRecords(const Shared& clip, const Xform& inverse, const Box& whole) {
  std::vector<std::uint8_t> out;
  if (!clip) {
    for (std::uint32_t v : {kExtSelectClipRgn, 16u, 0u, kRgnCopy}) Put(&out, v);
    return out;
  }
  const Boxes boxes = clip->empty() ? Boxes{{whole.left, whole.top, whole.left, whole.top}} : *clip;
  const std::uint32_t n = static_cast<std::uint32_t>(boxes.size());
  for (std::uint32_t v : {kBeginPath, 8u, kPolyPolygon, 32 + 4 * n + 32 * n, 0u, 0u, 0u, 0u, n, 4 * n})
    Put(&out, v);
  for (std::uint32_t k = 0; k < n; ++k) Put(&out, 4);
  for (const Box& b : boxes) {
    const std::array<std::array<double, 2>, 4> corners = {
        {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}}};
    for (const auto& [px, py] : corners) {
      Put(&out, Logical(px * inverse.m11 + py * inverse.m21 + inverse.dx));
      Put(&out, Logical(px * inverse.m12 + py * inverse.m22 + inverse.dy));
    }
  }
  for (std::uint32_t v : {kEndPath, 8u, kSelectClipPath, 12u, kRgnCopy}) Put(&out, v);
  return out;
}

}  // namespace

void SetEmfClips(std::vector<std::uint8_t>* copy) {
  const std::vector<std::uint8_t>& b = *copy;
  if (b.size() < 88) return;
  const double pixels = S32(b.data() + 72), mm = S32(b.data() + 80);
  const double perPixel = pixels > 0 && mm > 0 ? mm / pixels : 0.254;
  // The device: the drawing's bounds, as far again past each edge.
  const double l = S32(b.data() + 8), t = S32(b.data() + 12), r = S32(b.data() + 16), d = S32(b.data() + 20);
  const double w = std::fabs(r - l) + 1, h = std::fabs(d - t) + 1;
  const Box whole{std::min(l, r) - w, std::min(t, d) - h, std::max(l, r) + w, std::max(t, d) + h};
  std::vector<std::uint8_t> out;
  std::vector<State> saved;
  State now;
  bool inPath = false, pending = false;
  std::int64_t added = 0;
  // The bytes of records the copy may gain, as many as the file holds (at
  // least a MiB): past them, the rest of the records go as they are.
  std::size_t budget = std::max<std::size_t>(b.size(), std::size_t{1} << 20);
  std::size_t at = 0, kept = 0;
  for (std::size_t bytes = 0; at + 8 <= b.size(); at += bytes) {
    const std::uint8_t* p = b.data() + at;
    const std::uint32_t type = EmfU32(p);
    bytes = EmfU32(p + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    const Xform device = Then(now.world, now.mapping.Of(perPixel));
    bool clipRecord = false, transform = false;
    Clip& c = now.clip;
    switch (type) {
      case kSaveDc:
        saved.push_back(now);
        break;
      case kRestoreDc:
        if (bytes >= 12) Restore(&saved, static_cast<std::int32_t>(EmfU32(p + 8)), &now);
        transform = true;
        break;
      case kSetWorldTransform:
        if (bytes >= 32) now.world = ReadXform(p + 8);
        transform = true;
        break;
      case kModifyWorldTransform:
        if (bytes >= 36) now.world = Modified(p, now.world);
        transform = true;
        break;
      case kSetMapMode:
        if (bytes >= 12) now.mapping.mode = EmfU32(p + 8);
        transform = true;
        break;
      case kSetWindowOrg:
      case kSetViewportOrg:
      case kSetWindowExt:
      case kSetViewportExt:
        if (bytes >= 16) {
          Mapping& m = now.mapping;
          const double x = S32(p + 8), y = S32(p + 12);
          if (type == kSetWindowOrg) {
            m.windowX = x;
            m.windowY = y;
          } else if (type == kSetViewportOrg) {
            m.viewportX = x;
            m.viewportY = y;
          } else if (x != 0 && y != 0) {
            (type == kSetWindowExt ? m.windowW : m.viewportW) = x;
            (type == kSetWindowExt ? m.windowH : m.viewportH) = y;
          }
        }
        transform = true;
        break;
      case kScaleViewportExt:
      case kScaleWindowExt:
        if (bytes >= 24 && S32(p + 12) != 0 && S32(p + 20) != 0) {
          Mapping& m = now.mapping;
          double& across = type == kScaleWindowExt ? m.windowW : m.viewportW;
          double& down = type == kScaleWindowExt ? m.windowH : m.viewportH;
          const double x = across * S32(p + 8) / S32(p + 12), y = down * S32(p + 16) / S32(p + 20);
          if (x != 0 && y != 0) {
            across = x;
            down = y;
          }
        }
        transform = true;
        break;
      case kBeginPath:
        inPath = true;
        break;
      case kFillPath:
      case kStrokeAndFillPath:
      case kStrokePath:
      case kAbortPath:
        inPath = false;
        break;
      case kSelectClipPath:
        inPath = false;
        c.known = false;
        now.given.known = false;
        break;
      case kIntersectClipRect:
      case kExcludeClipRect:
        clipRecord = bytes >= 24;
        if (!clipRecord) break;
        if (!Upright(device)) {
          c.known = false;
        } else if (c.known && (!c.clip || c.clip->size() < kMostBoxes)) {
          const Boxes from = c.clip ? *c.clip : Boxes{whole};
          const Box box = DeviceBox(p + 8, device);
          c.Set(type == kIntersectClipRect ? Intersect(from, box) : Subtract(from, box));
        }
        break;
      case kOffsetClipRgn:
        clipRecord = bytes >= 16;
        if (clipRecord && c.known && c.clip && !Upright(device)) {
          c.known = false;
        } else if (clipRecord && c.known && c.clip) {
          const double x = S32(p + 8) * device.m11, y = S32(p + 12) * device.m22;
          Boxes moved = *c.clip;
          for (Box& box : moved) box = {box.left + x, box.top + y, box.right + x, box.bottom + y};
          c.Set(std::move(moved));
        }
        break;
      case kSetMetaRgn:
        clipRecord = true;
        if (c.known) {
          c.meta = c.inForce;
          c.Set(std::nullopt);
        }
        break;
      case kExtSelectClipRgn: {
        clipRecord = bytes >= 16;
        if (!clipRecord) break;
        const std::uint32_t size = EmfU32(p + 8), mode = EmfU32(p + 12);
        const std::optional<Boxes> region = Region(p + 16, std::min<std::size_t>(size, bytes - 16));
        if (mode == kRgnCopy && !region) {
          c.known = true;
          c.Set(std::nullopt);
        } else if (region && mode >= kRgnAnd && mode <= kRgnCopy && (mode == kRgnCopy || c.known)) {
          c.known = true;
          if (!c.clip || c.clip->size() < kMostBoxes) c.Set(Combined(c.clip, *region, mode, whole));
        }
        break;
      }
      default:
        break;
    }
    // A clip record of a clip the copy follows is replaced (outside a path,
    // whose records the clip's path would end); the clip in force is given
    // again after each change of transform, once no path is open.
    const bool replace = clipRecord && c.known && !inPath;
    pending = pending || clipRecord || transform;
    if (clipRecord && !replace) now.given.known = false;
    if (replace) {
      out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
                 b.begin() + static_cast<std::ptrdiff_t>(at));
      kept = at + bytes;
      --added;
    }
    const Xform x = Then(now.world, now.mapping.Of(perPixel));
    const std::optional<Xform> inverse = Inverse(x);
    if (!pending || inPath || !c.known || !inverse) continue;
    pending = false;
    const Shared inForce = c.inForce;
    Given& given = now.given;
    if (given.known && Same(given.clip, inForce) && (!inForce || given.under == x)) continue;
    if (!replace) {
      out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
                 b.begin() + static_cast<std::ptrdiff_t>(at + bytes));
      kept = at + bytes;
    }
    const std::vector<std::uint8_t> records = ClipRecords(inForce, *inverse, whole);
    if (records.size() > budget) break;
    budget -= records.size();
    out.insert(out.end(), records.begin(), records.end());
    added += inForce ? 4 : 1;
    given = {true, inForce, x};
  }
  if (kept == 0) return;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  EmfPut32(out.data() + 52, static_cast<std::uint32_t>(EmfU32(out.data() + 52) + added));
  *copy = std::move(out);
}

}  // namespace md::imaging::detail
