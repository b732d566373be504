// The draw list: how the metafile helper answers a drawing for vector output
// (answer.h), and the one description of its bytes that the helper's writer
// and the library's reader both take. FORMAT.md beside it says the same in
// words.
//
// A list is flat: a header, then records one after another, each a kind, its
// payload's length and the payload. Nothing refers to anything after it:
// pictures and gradients are records of their own, named by their index
// among those of their kind before the record that uses them; clips, groups
// and masks open and close in pairs, at most kMaxDepth deep. Every record
// carries the transform it is drawn under whole (no transform multiplies
// another), so that a reader checks each record alone, in one pass, front to
// back, and paints nothing before the whole list passed.
//
// Numbers are the machine's own (the helper and the library run on one
// machine, from one build): 32-bit unsigned words, 64-bit doubles, and
// 32-bit floats for the points of paths. Every payload is a multiple of 8
// bytes, so that each record, and each picture's pixels, start on 8 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace md::imaging::drawlist {

constexpr std::uint32_t kMagic = 0x4C44444Du;  // "MDDL"
constexpr std::uint32_t kVersion = 1;

// ---- bounds: a list past any of them is refused whole ----

// The whole list, header and pictures included: what the library holds of
// one drawing as vectors, an eighth of the picture cache's default capacity.
// The helper shrinks pictures until they fit.
constexpr std::size_t kMaxBytes = std::size_t{64} << 20;
// Clips, groups and masks open at once.
constexpr std::uint32_t kMaxDepth = 64;
// Records that draw (fills, strokes, images and paints of the whole clip),
// the verbs of all paths (those of clips too) and the groups opened, masked
// or not: what a vector file's writer, and cairo before it, spends its time
// on. Far above what real metafiles draw (a few thousand records and
// verbs, a few groups), far below what keeps a print busy for seconds.
constexpr std::uint32_t kMaxDrawn = 50000;
constexpr std::uint64_t kMaxVerbs = 200000;
constexpr std::uint32_t kMaxGroups = 100;
// The verbs of the clips in force, counted at each record that draws, each
// group painted and each clip opened: each is done within them.
constexpr std::uint64_t kMaxClippedVerbs = std::uint64_t{1} << 24;
// Stops of one gradient, and the stops of the gradients the paints use,
// counted at each use (a paint makes its gradient anew) and, for a gradient
// repeated or reflected, at each repeat laid out over the drawing
// (drawlistbounds.h: PeriodsOverDrawing): a vector file writes each of them, some 22 bytes a stop,
// which keeps its gradients under 3 MB.
constexpr std::uint32_t kMaxStops = 256;
constexpr std::uint64_t kMaxStopUses = std::uint64_t{1} << 17;
// Paints of a gradient or of a picture repeated as a pattern: a vector file
// writes each as an object of its own, of some 250 to 400 bytes, which keeps
// them under 3.5 MB.
constexpr std::uint32_t kMaxPatternPaints = 8192;
// The stops one use of a gradient repeated or reflected paints, at each
// repeat across the drawing: a vector file writes them out one by one as one
// function, which a viewer searches at each point it shades.
constexpr std::uint64_t kMaxRepeatedStops = 4096;
// Entries of one stroke's dash array, and the dashes all dashed strokes are
// cut into (a path's length through its points over its dash array's
// period): what a vector file's writer may cut them into.
constexpr std::uint32_t kMaxDashCount = 64;
constexpr std::uint64_t kMaxDashes = 200000;
// A point of a path, once under its record's transform, lies within this of
// the drawing's origin (the drawing's space is the metafile's pixels at
// 300 dpi, at most 4096 a side).
constexpr double kMaxCoordinate = 1048576.0;  // 2^20
// A transform's entries lie within this, and its determinant between its
// inverse and itself: invertible, and its inverse of bounded entries.
constexpr double kMaxMatrixEntry = 1048576.0;        // 2^20
constexpr double kMaxDeterminant = 1099511627776.0;  // 2^40
// A repeating paint (a picture's pattern, a gradient repeated or reflected)
// repeats at most this often across the drawing's larger side: its period,
// in the drawing's space, is at least that side over this. A vector file
// writes a gradient's repeats out one by one.
constexpr double kMaxRepeats = 1024;
// A gradient's points (its ends, or its circles' centres) lie within this
// many of the drawing's width across, and of its height down, of its
// origin, and its radii within this many of its larger side: a raster (a
// vector file's fallback to pixels) takes them in a fixed-point range.
constexpr double kMaxGradientReach = 4;
// A gradient's own space and the drawing's scale each other at most this
// much, either way: a raster takes the transform between them in a
// fixed-point range too.
constexpr double kMaxGradientScale = 16384;
// A picture repeated as a pattern is at most this many pixels a side, and
// has at most this many of its pixels across the drawing's larger side: what
// a raster (a vector file's fallback to pixels) samples it at stays within
// its fixed-point range.
constexpr double kMaxPatternPixels = 8192;
// The tiles the records' pictures repeated as patterns paint together, each
// record's counted over the part of the drawing it paints within
// (drawlistbounds.h: PatternTiles): a viewer draws them one by one.
constexpr double kMaxPatternTiles = 16777216;  // 2^24
// A picture's pixel, shown, and a gradient's run from its start to its end
// (or from one circle to the other), are at least this long in the
// drawing's space in every direction (the drawing's units are pixels of
// 300 dpi): squeezed further they show nothing of themselves, and a
// raster's filter, or its gradient's fixed-point range, fails on them.
constexpr double kMinPaintFeature = 1.0 / 1024;
// A picture's side: the largest raster cairo makes.
constexpr std::uint32_t kMaxPictureSide = 32767;

// ---- layout ----

struct Header {
  std::uint32_t magic = kMagic;
  std::uint32_t version = kVersion;
  // The drawing's own space, (0, 0) to (width, height), y down: the list is
  // painted stretched from it over the box it is drawn into.
  double width = 0, height = 0;
  // The list's bytes, this header included.
  std::uint64_t bytes = 0;
};
static_assert(sizeof(Header) == 32);

enum class Kind : std::uint32_t {
  Picture = 1,    // PictureHead, then width x height pixels
  Gradient = 2,   // GradientHead, then its stops
  Fill = 3,       // FillHead, then a path
  Stroke = 4,     // StrokeHead, its dashes, then a path
  PushClip = 5,   // ClipHead, then a path: the clip narrowed to the path
  PopClip = 6,    // (nothing): the clip as before the PushClip
  PushGroup = 7,  // (nothing): what follows is drawn into a group
  PopGroup = 8,   // PopGroupBody: the group painted with the alpha
  PushMask = 9,   // (nothing): what follows is the mask of the group open
  PopMask = 10,   // (nothing): the group painted through the mask's alpha
  Image = 11,     // ImageBody: a picture painted over its pixels' rectangle
  PaintAll = 12,  // Paint: the paint over the whole clip, in the drawing's space
};

struct RecordHead {
  std::uint32_t kind = 0;   // a Kind
  std::uint32_t bytes = 0;  // the payload's, a multiple of 8
};
static_assert(sizeof(RecordHead) == 8);

// Whether a record of the kind is done within the clips in force (it
// draws, paints a group or narrows the clip), each of which a vector
// file's writer goes through for it: kMaxClippedVerbs counts their verbs.
constexpr bool DoneWithinClips(Kind kind) {
  return kind == Kind::Fill || kind == Kind::Stroke || kind == Kind::Image || kind == Kind::PaintAll ||
         kind == Kind::PushClip || kind == Kind::PopGroup || kind == Kind::PopMask;
}

// A transform as cairo_matrix_t holds it: x' = xx x + xy y + x0,
// y' = yx x + yy y + y0.
struct Matrix {
  double xx = 1, yx = 0, xy = 0, yy = 1, x0 = 0, y0 = 0;
};
static_assert(sizeof(Matrix) == 48);

enum class PaintKind : std::uint32_t {
  Colour = 0,    // rgba, straight (not premultiplied), each within [0, 1]
  Gradient = 1,  // the gradient `index`, its stops' alpha times rgba[3]
  Picture = 2,   // the picture `index` repeated as a pattern under `matrix`
};
enum class Extend : std::uint32_t { None = 0, Repeat = 1, Reflect = 2, Pad = 3 };

struct Paint {
  std::uint32_t kind = 0;  // a PaintKind
  std::uint32_t index = 0;
  double rgba[4] = {0, 0, 0, 1};
  // Picture: from the space the record draws in to the picture's pixels (as
  // cairo_pattern_set_matrix takes it). Otherwise the identity.
  Matrix matrix;
  std::uint32_t extend = 0;  // Extend::Repeat (Picture); 0 otherwise
  std::uint32_t reserved = 0;
};
static_assert(sizeof(Paint) == 96);

// A path: PathHead, `verbs` bytes of Verb padded to 8, then `points` pairs
// of floats (x, y). The verbs take exactly the points there are: a move and
// a line one each, a curve three, a close none.
enum class Verb : std::uint8_t { Move = 0, Line = 1, Curve = 2, Close = 3 };
struct PathHead {
  std::uint32_t verbs = 0, points = 0;
};
static_assert(sizeof(PathHead) == 8);

enum class FillRule : std::uint32_t { Winding = 0, EvenOdd = 1 };

struct FillHead {
  Paint paint;
  std::uint32_t rule = 0;  // a FillRule
  std::uint32_t reserved = 0;
  Matrix matrix;  // from the path's points to the drawing's space
};
static_assert(sizeof(FillHead) == 152);

enum class Cap : std::uint32_t { Butt = 0, Round = 1, Square = 2 };
enum class Join : std::uint32_t { Miter = 0, Round = 1, Bevel = 2 };
// A stroke drawn one device pixel wide whatever its width: the thinnest
// line of the device.
constexpr std::uint32_t kStrokeHairline = 1;
// How the helper's recording, and so cairo's SVG of it, marks such a stroke:
// a pen of no width or thinner than a pixel of the drawing is drawn a pixel
// wide with this miter limit (which at that width changes no join). cairo
// writes it as "1.000977": a limit within kHairlineMiterSlack of it is the
// mark.
constexpr double kHairlineMiterLimit = 1.0 + 1.0 / 1024, kHairlineMiterSlack = 1e-5;
inline bool IsHairlineMiterLimit(double limit) {
  return limit > kHairlineMiterLimit - kHairlineMiterSlack &&
         limit < kHairlineMiterLimit + kHairlineMiterSlack;
}

struct StrokeHead {
  Paint paint;
  // From the path's points to the drawing's space; width and dashes are in
  // the path's space.
  Matrix matrix;
  double width = 1, miterLimit = 10, dashOffset = 0;
  std::uint32_t cap = 0, join = 0;  // Cap, Join
  std::uint32_t dashes = 0;         // doubles after this head, each >= 0, their sum > 0
  std::uint32_t flags = 0;          // kStrokeHairline
};
static_assert(sizeof(StrokeHead) == 184);

struct ClipHead {
  std::uint32_t rule = 0;  // a FillRule
  std::uint32_t reserved = 0;
  Matrix matrix;
};
static_assert(sizeof(ClipHead) == 56);

struct PopGroupBody {
  double alpha = 1;  // within [0, 1]
};

enum class Filter : std::uint32_t { Smooth = 0, Nearest = 1 };

struct ImageBody {
  std::uint32_t picture = 0;
  std::uint32_t filter = 0;  // a Filter
  Matrix matrix;             // from the picture's pixels to the drawing's space
  double alpha = 1;          // within [0, 1]
};
static_assert(sizeof(ImageBody) == 64);

// Rows top-down, width pixels each without padding (then the record's own
// padding to 8): premultiplied 0xAARRGGBB, as a cairo ARGB32 surface holds
// them, each colour at most its alpha.
struct PictureHead {
  std::uint32_t width = 0, height = 0;
};
static_assert(sizeof(PictureHead) == 8);

enum class GradientType : std::uint32_t { Linear = 0, Radial = 1 };

struct GradientHead {
  std::uint32_t type = 0;    // a GradientType
  std::uint32_t extend = 0;  // an Extend
  std::uint32_t stops = 0;   // GradientStops after this head, at most kMaxStops
  std::uint32_t reserved = 0;
  // Linear: x0, y0, x1, y1 (the last two 0). Radial: cx0, cy0, r0, cx1, cy1,
  // r1, the radii >= 0.
  double points[6] = {0, 0, 0, 0, 0, 0};
  // From the space the paint is used in to the gradient's (as
  // cairo_pattern_set_matrix takes it).
  Matrix matrix;
};
static_assert(sizeof(GradientHead) == 112);

struct GradientStop {
  double offset = 0;              // within [0, 1], never below the stop before
  double rgba[4] = {0, 0, 0, 1};  // straight, each within [0, 1]
};
static_assert(sizeof(GradientStop) == 40);

// The bytes a payload takes once padded to 8.
constexpr std::size_t Padded(std::size_t bytes) { return (bytes + 7) & ~std::size_t{7}; }

// A value of type T read from `at`, where a list may hold it unaligned.
template <typename T>
T Take(const std::uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

}  // namespace md::imaging::drawlist
