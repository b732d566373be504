// The drawing surface a device context draws into.
//
// A device context resolves everything before it reaches a canvas: logical
// coordinates become device pixels (doubles, y down, origin at the top-left
// corner of the surface), pens get their width in pixels, curves are
// flattened into point lists, fonts get their pixel size and per-character
// advances from the context's text engine, and the clip in force is handed
// over as a list of device rectangles. A canvas therefore only paints.
//
// Two canvases exist: the recording canvas (recording.h) keeps every call
// for tests to inspect, and the cairo canvas renders raster and vector
// output. Memory device contexts draw through a raster canvas made on the
// bitmap's pixels by makeRasterCanvas().
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace md::text {
class Font;
struct Glyph;
}  // namespace md::text

typedef struct _cairo cairo_t;

namespace md::canvas {

// Colours are 0x00BBGGRR, the same layout as COLORREF.
using Color = std::uint32_t;

constexpr std::uint8_t red(Color c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t green(Color c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t blue(Color c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

struct Point {
  double x = 0;
  double y = 0;
  bool operator==(const Point&) const = default;
};

// Integer device rectangle; right and bottom are exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  bool operator==(const Rect&) const = default;
};

// The clip in force for one call. When `active` is false nothing is clipped
// (beyond the surface itself). When it is true only the union of `rects` is
// painted; an active clip with no rectangles paints nothing. The rectangles
// are disjoint and sorted by top, then left (y-x banded order).
struct Clip {
  bool active = false;
  std::vector<Rect> rects;
  bool operator==(const Clip&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Null, InsideFrame };
enum class LineCap { Round, Square, Flat };
enum class LineJoin { Round, Bevel, Miter };

struct Pen {
  PenStyle style = PenStyle::Solid;
  double width = 1.0;  // device pixels; never below 1 for a visible pen
  Color color = 0;
  LineCap cap = LineCap::Round;
  LineJoin join = LineJoin::Round;
  bool operator==(const Pen&) const = default;
};

enum class BrushStyle { Solid, Hatched, Null };
// Hatch patterns, in the order of the HS_* values 0..5.
enum class Hatch { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross, DiagonalCross };

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  Color color = 0xFFFFFF;
  Hatch hatch = Hatch::Horizontal;
  bool operator==(const Brush&) const = default;
};

enum class FillRule { Alternate, Winding };

// State shared by every call: clip, and the background that shows through
// the gaps of hatches, dashed pens and behind text when `opaque` is set.
struct State {
  Clip clip;
  bool opaque = true;  // OPAQUE background mode (TRANSPARENT when false)
  Color background = 0xFFFFFF;
};

// Which device-context call made a shape; the geometry is what is painted,
// the kind and `bounds` let tests and vector back ends see the intent.
enum class ShapeKind {
  Line,         // MoveToEx/LineTo
  Polyline,     // Polyline, PolylineTo
  Polygon,      // Polygon
  PolyPolygon,  // PolyPolygon
  Rectangle,    // Rectangle
  RoundRect,    // RoundRect
  Ellipse,      // Ellipse
  Arc,          // Arc
  Pie,          // Pie
  Chord,        // Chord
  FrameRect,    // FrameRect (brush-drawn outline, given as a filled ring)
};

struct SubPath {
  std::vector<Point> points;
  bool closed = false;
};

// Geometry is in device pixels where (x, y) is the top-left corner of pixel
// (x, y): fills cover the area of the closed paths, strokes run through pixel
// centres (x + 0.5, y + 0.5). Shapes drawn in a bounding box (Rectangle,
// Ellipse, RoundRect, Arc, Pie, Chord) arrive with their right and bottom
// edges already excluded, so a one-pixel outline of the box l..r covers the
// pixels l..r-1.
struct Shape {
  ShapeKind kind = ShapeKind::Polyline;
  std::vector<SubPath> paths;  // device pixels; curves already flattened
  Rect bounds;                 // bounding box given to the call (device), where it had one
  FillRule rule = FillRule::Alternate;
  bool fill = false;    // fill the closed paths with `brush`
  bool stroke = false;  // stroke the paths with `pen`
};

// A font resolved for the device: sizes in device pixels.
struct Font {
  std::string face;     // face name as asked for (UTF-8)
  std::string engine;   // name of the text engine that measured the run
  double emHeight = 0;  // character (em) height in pixels, > 0
  double width = 0;     // average character width asked for; 0 = natural
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 1;
  double ascent = 0;   // engine ascent in pixels (baseline to cell top)
  double descent = 0;  // engine descent in pixels (baseline to cell bottom)
};

// One line of text. `origin` is the baseline point of the first character;
// characters advance along the baseline by `advances` (one per Unicode
// character of `text`). The baseline runs at `angle` degrees counter-
// clockwise as seen on the device (0 = left to right).
struct TextRun {
  std::string text;              // UTF-8
  std::vector<double> advances;  // pixels, one per character
  Point origin;
  double angle = 0;
  Font font;
  Color color = 0;
  // Opaque background box (ETO_OPAQUE or OPAQUE mode), device rectangle of
  // the text cell; painted with State::background before the glyphs when
  // `fillBackground` is set.
  bool fillBackground = false;
  std::vector<Point> backgroundBox;  // four corners, rotated with the text
  // Optional: the glyphs of `text` as the caller laid them out, one per
  // character, and the font of the engine `font.engine` names that made
  // them. A canvas draws these instead of shaping the text again when that
  // font draws as the one `font` asks for.
  std::shared_ptr<const text::Font> shapedFont;
  std::shared_ptr<const std::vector<text::Glyph>> glyphs;
};

// 32-bit pixels, 0x00RRGGBB in a native uint32 (bytes B, G, R, X), rows of
// `stride` bytes. `bottomUp` rows are stored last row first.
struct PixelBuffer {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes, >= width * 4
  bool bottomUp = false;
};

// Read-only view of source pixels for a blit.
struct Image {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes
  bool bottomUp = false;
  // The top byte is alpha and the colours are premultiplied by it (pictures
  // with transparent parts); otherwise the top byte is ignored and the
  // pixels are opaque.
  bool premultiplied = false;
  // Pixel (x, y) in top-down terms.
  std::uint32_t at(int x, int y) const {
    const int row = bottomUp ? height - 1 - y : y;
    return *reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(pixels) +
                                                   static_cast<std::ptrdiff_t>(row) * stride +
                                                   static_cast<std::ptrdiff_t>(x) * 4);
  }
};

// A drawing kept as vectors (a metafile's), which paints itself with cairo
// onto any surface: at a raster's own resolution, as paths into a vector
// file. Shared read-only between the drawings that use it; it may be
// painted from several threads.
class VectorDrawing {
 public:
  virtual ~VectorDrawing() = default;
  // Paints the whole drawing stretched over the box (0, 0)-(width, height)
  // of cr's user space.
  virtual void paint(cairo_t* cr, double width, double height) const = 0;
  // The same, the thinnest lines `dot` device units of cr's target wide;
  // false when cr is in error after it (what it painted is not to be used).
  virtual bool paintChecked(cairo_t* cr, double width, double height, double dot) const {
    (void)dot;
    paint(cr, width, height);
    return true;
  }
};

// What a canvas makes of a drawing kept as vectors (Canvas::drawVectors):
// nothing (the caller paints pixels of the drawing instead), paths (a
// vector file, a recording), or pixels of its own device grid (a raster, or
// a recording of one, painted later).
enum class VectorOutput { None, Paths, Pixels };

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Size of the surface in device pixels.
  virtual int width() const = 0;
  virtual int height() const = 0;

  // Paint a shape: fill first (closed paths, with the brush), then stroke.
  virtual void drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) = 0;

  // Paint the union of rectangles with a brush (FillRect, FillRgn, FrameRgn,
  // PaintRgn, SetPixel, ExtTextOut's opaque box).
  virtual void fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) = 0;

  // Paint a line of text.
  virtual void drawText(const TextRun& run, const State& state) = 0;

  // Copy pixels: the `src` rectangle of `image` is scaled onto the `dst`
  // rectangle of the canvas (nearest pixel; equal sizes copy exactly).
  virtual void drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) = 0;

  // Paint a drawing kept as vectors so that its top-left corner lands on
  // `from` and its bottom-right corner on `to` (device pixels; corners that
  // run against the axes mirror it), inside the clip. False when the canvas
  // paints no vectors, or when the drawing could not be painted (a canvas
  // that paints later, a vector file's, paints what it can then): the
  // caller paints pixels of the drawing instead.
  virtual bool drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                           const State& state) {
    (void)drawing;
    (void)from;
    (void)to;
    (void)state;
    return false;
  }
  // What drawVectors makes of a drawing.
  virtual VectorOutput vectorOutput() const { return VectorOutput::None; }
  // The device pixels a drawing's thinnest lines take where drawVectors
  // paints it (the `dot` it paints with): one, or a vector file's dot.
  virtual double vectorDot() const { return 1.0; }

  // Read back pixels of the surface into a top-down 0x00RRGGBB buffer of
  // r.width x r.height (stride = width * 4). Canvases without pixels return
  // false and leave `out` untouched.
  virtual bool readPixels(const Rect& r, std::uint32_t* out) const {
    (void)r;
    (void)out;
    return false;
  }

  // Finish pending output (raster flushes, vector pages close).
  virtual void flush() {}
};

// Make a canvas that paints straight into `target` (the pixels of a memory
// bitmap). The cairo canvas provides it; nullptr when no raster back end is
// linked. The buffer must outlive the canvas.
using RasterCanvasFactory = std::unique_ptr<Canvas> (*)(const PixelBuffer& target);
void setRasterCanvasFactory(RasterCanvasFactory factory);
std::unique_ptr<Canvas> makeRasterCanvas(const PixelBuffer& target);

}  // namespace md::canvas
