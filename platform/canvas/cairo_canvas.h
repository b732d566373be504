// The cairo canvas: paints device-context output into a raster image (PNG),
// straight into the pixels of a memory bitmap, or onto PDF and SVG pages.
//
// Device pixels map 1:1 onto raster pixels. On vector pages one device pixel
// is 1/dpi inch, so a device context of that resolution lays out the page in
// real size.
//
// Pixel model: a pixel (x, y) covers [x, x+1) x [y, y+1). Fills cover the
// area of the path; strokes are drawn through pixel centres, so a one-pixel
// line between integer points covers exactly one row or column. Memory-bitmap
// canvases draw without anti-aliasing (exact colours, as the platform's bitmap
// drawing gives); image canvases anti-alias unless told otherwise. Text is
// always anti-aliased and drawn with the FreeType faces its text engine chose.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas/canvas.h"
#include "platform/canvas/pngencode.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace md::text {
struct FaceSource;
}
namespace md::files {
class FileReplacement;
}

namespace md::canvas {

class RecordingCanvas;
struct Record;
namespace detail {
struct FaceSubset;
struct ShapedRun;
struct StrokePieces;
}  // namespace detail

// A cairo image surface encoded as a PNG by cairo (any of its formats, alpha
// kept) stating the resolution; empty when it cannot be encoded or the
// resolution cannot be stated.
std::vector<std::uint8_t> SurfacePng(cairo_surface_t* surface, double dpi);

class CairoCanvas final : public Canvas {
 public:
  enum class Kind { Image, Pixels, Pdf, Svg };

  // A white raster of width x height pixels (nullptr when the size is not
  // positive or too large to allocate), of a screen's resolution.
  static std::unique_ptr<CairoCanvas> createImage(int width, int height, Color background = 0xFFFFFF);
  // A white raster of a widthMm x heightMm page at `dpi` pixels per inch
  // (sides rounded to whole pixels), of that resolution; nullptr for a bad or
  // oversized page.
  static std::unique_ptr<CairoCanvas> createPageImage(double widthMm, double heightMm, double dpi);
  // The longest side, in mm, of a page at `dpi` that createPageImage (a
  // raster) or createPdf and createSvg (not) can make.
  static double maxPageSideMm(bool raster, double dpi);
  // A raster painting into `target` (rows top-down, or bottom-up when
  // target.bottomUp). The buffer must outlive the canvas; its contents are kept.
  static std::unique_ptr<CairoCanvas> createOnPixels(const PixelBuffer& target);
  // Device resolution for vector files: one device pixel is one page unit
  // (0.01 mm), so that nothing drawn is rounded to a coarser grid.
  static constexpr double kVectorDpi = 2540.0;
  // What the platform sizes in device pixels (hatch tiles, the thinnest
  // line, the dashes of thin pens) is drawn on vector files at least as large
  // as on a printer of this resolution: on a finer device grid it would
  // shrink to a blur.
  static constexpr double kVectorDotDpi = 300.0;

  // A PDF or SVG file whose page is widthMm x heightMm; device pixels are
  // 1/dpi inch (kVectorDpi for printing). The file replaces what was at the
  // path when finish() (or destruction) wrote all of it, keeping the old
  // file's permission bits and a symbolic link to it; NULL when the path
  // cannot be written (a read-only file, a folder), *pError, when given,
  // saying why.
  static std::unique_ptr<CairoCanvas> createPdf(const std::string& path, double widthMm, double heightMm,
                                                double dpi, std::string* pError = nullptr);
  static std::unique_ptr<CairoCanvas> createSvg(const std::string& path, double widthMm, double heightMm,
                                                double dpi, std::string* pError = nullptr);
  // Paints onto a caller's surface, which stays the caller's (finish() does
  // not finish it). An image surface takes one device pixel per pixel and
  // keeps its own size; on any other surface (PDF, SVG, ...) a device pixel
  // is 1/dpi inch of its points and widthMm x heightMm at dpi gives the
  // device size. NULL for a surface in error or a bad page.
  static std::unique_ptr<CairoCanvas> createOnSurface(cairo_surface_t* surface, double widthMm,
                                                      double heightMm, double dpi);
  // A band of a width x pageHeight page raster: its rows top .. top+rows-1,
  // painted into `pixels` (RGB24, `strideBytes` a row; they must outlive the
  // canvas, and their contents are kept). Device coordinates are the whole
  // page's and what falls outside the band is left out: the band's pixels
  // come out as the same rows of a page raster drawn with the same calls.
  // (Addresses of the page's other rows are formed, never used.)
  // pixelRow() answers for the band's rows only. NULL for a bad band.
  static std::unique_ptr<CairoCanvas> createBand(std::uint32_t* pixels, int strideBytes, int width,
                                                 int pageHeight, int top, int rows);

  ~CairoCanvas() override;
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  Kind kind() const { return kind_; }

  // Canvas
  int width() const override { return width_; }
  int height() const override { return height_; }
  void drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) override;
  void fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) override;
  void drawText(const TextRun& run, const State& state) override;
  void drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) override;
  // Vectors stay vectors in PDF and SVG files and are drawn at the raster's
  // own resolution on rasters.
  bool drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                   const State& state) override;
  VectorOutput vectorOutput() const override {
    return kind_ == Kind::Image || kind_ == Kind::Pixels ? VectorOutput::Pixels : VectorOutput::Paths;
  }
  double vectorDot() const override { return dot_; }
  bool readPixels(const Rect& r, std::uint32_t* out) const override;
  // Raster canvases: the `width()` pixels of row y (top first) in place, as
  // 0x??RRGGBB (the top byte means nothing); nullptr for a vector canvas or a
  // row outside the raster. Call flush() after drawing first.
  const std::uint32_t* pixelRow(int y) const;
  // Completes pending drawing; on a memory bitmap it also clears the unused
  // top byte of the pixels, so call it before reading the bits directly.
  void flush() override;

  // The rows a raster canvas holds: all of them, or a band's.
  int firstRow() const { return bandTop_; }
  int endRow() const { return bandEnd_; }

  // The pixels per inch of a raster: a page's resolution (createPageImage,
  // createOnSurface), else a screen's.
  double resolution() const { return resolution_; }
  // Raster canvases: writes the surface as a PNG file stating the canvas's
  // resolution. False on failure, for vector canvases or for a band,
  // *pError, when given, saying why.
  bool writePng(const std::string& path, std::string* pError = nullptr);
  // Vector canvases: ends the current page and starts a new one.
  void newPage();
  // Completes the output (vector files are written); later drawing is
  // ignored. Returns false when cairo reported an error at any time.
  bool finish();
  // Vector files: ends the canvas without writing its file, an existing one
  // left as it was; later drawing is ignored.
  void discard();
  // False once cairo has reported an error (a file that cannot be written,
  // out of memory).
  bool ok() const;
  // Why the canvas is not ok(): the system's reason for a file that could not
  // be written, else cairo's; "" while it is ok().
  std::string failure() const;

 private:
  CairoCanvas(Kind kind, cairo_surface_t* surface, int width, int height, double scale, bool bottomUp);
  // A raster of a width x pageHeight page that holds only the window's
  // pixels: the window's top-left pixel at `pixels`, its rows strideBytes
  // apart (see createBand).
  static std::unique_ptr<CairoCanvas> createWindow(std::uint32_t* pixels, int strideBytes, int width,
                                                   int pageHeight, const Rect& window);
  static std::unique_ptr<CairoCanvas> createVector(Kind kind, const std::string& path, double widthMm,
                                                   double heightMm, double dpi, std::string* pError);
  bool applyClip(const State& state, double x0, double y0, double x1, double y1);
  // Saves the cairo state and applies the clip for painting within the box;
  // false (the state restored) when nothing may be painted. The caller
  // restores the state when it is done.
  bool beginPaint(const State& state, double x0, double y0, double x1, double y1);
  // Paints the source (srcW x srcH pixels) stretched over dst, unfiltered.
  void paintImage(cairo_surface_t* source, long long srcW, long long srcH, const Rect& dst,
                  const State& state);
  // Fills the current path with the brush; the gaps of a hatch on an opaque
  // background show the background colour.
  void fillPath(const Brush& brush, const State& state);
  // The same for a hatch on a vector file: its lines drawn as geometry
  // within the path, at the size they have on a kVectorDotDpi printer.
  void fillVectorHatch(const Brush& brush, const State& state);
  // Fills closed rings of many points on an anti-aliased raster through a
  // coverage mask (the state saved, the clip applied); false when it cannot,
  // and the caller fills the path with cairo.
  bool fillDense(const std::vector<std::vector<Point>>& rings, FillRule rule, const Brush& brush,
                 const State& state, double x0, double y0, double x1, double y1);
  // PDF files: paints the pages kept so far, their text in faces cut down to
  // the glyphs the pages draw.
  void paintPending();
  // Paints a text run already matched to its font and shaped.
  void paintText(const TextRun& run, const detail::ShapedRun& shaped, const State& state);
  // On a band: cairo leaves out the glyphs placed far outside its clip, and
  // whether the others overlap decides how it blends them. A run with a
  // glyph placed outside the band is painted through rows that hold every
  // glyph's place, as on the whole page, and the band's rows copied back.
  // False when every glyph is placed within the band.
  bool paintTextAcrossBand(const TextRun& run, const detail::ShapedRun& shaped, const State& state);
  // The cut-down face that draws glyphs of `src`; nullptr when they are
  // drawn with the whole face.
  const detail::FaceSubset* subsetFor(const text::FaceSource& src) const;

  // The recording of the drawing painted over width x height of the
  // surface's units (its thinnest lines `dot` of them wide), made at its
  // first use on this canvas; NULL when it cannot be painted.
  cairo_surface_t* vectorsPainted(const std::shared_ptr<const VectorDrawing>& drawing, double width,
                                  double height, double dot);
  // Strokes a round-joined pen's pieces (the state saved and set up): the
  // distinct segments with round caps (in runs on rasters), then the ends
  // with `cap` (a cairo_line_cap_t).
  void strokePieces(const detail::StrokePieces& pieces, int cap, Color color);

  Kind kind_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool bottomUp_ = false;
  double resolution_ = kScreenDpi;
  int bandTop_ = 0;  // rows held: [bandTop_, bandEnd_) (the whole height but on a band)
  int bandEnd_ = 0;
  bool antialias_ = true;
  bool finished_ = false;
  bool borrowed_ = false;  // the caller's surface: never finished here
  bool dirty_ = false;     // painted since the last flush()
  double dot_ = 1.0;       // device pixels of the platform's one-pixel sizes
  // PDF files keep what is drawn until finish(), when the faces the pages
  // use are known and can be cut down (see fontsubset.h) before cairo
  // embeds them.
  std::unique_ptr<RecordingCanvas> pending_;
  // What pending_ held once painted: cairo reads its pictures' pixels in
  // place until the file is finished.
  std::unique_ptr<RecordingCanvas> painted_;
  // Paints a kept picture from its own pixels; false where it cannot.
  bool paintKeptImage(const Record& r);
  // Whether the address space painting pending_ and writing the file takes
  // is there, probed before cairo is asked for any of it.
  bool roomForPending() const;
  // The drawings kept as vectors painted so far, each at each size: a
  // recording of it (NULL when it could not be painted), held with the
  // drawing until the canvas ends.
  struct PaintedVectors {
    std::shared_ptr<const VectorDrawing> drawing;
    cairo_surface_t* painted = nullptr;
  };
  std::map<std::tuple<const VectorDrawing*, double, double>, PaintedVectors> vectorsPainted_;
  std::vector<std::size_t> pageEnds_;  // records drawn before each newPage()
  std::map<std::tuple<std::string, int, bool>, std::unique_ptr<detail::FaceSubset>> subsetFaces_;
  // PDF and SVG files: the file being written, put in place by finish().
  std::unique_ptr<md::files::FileReplacement> output_;
  // PDF and SVG files: address space kept from the start for cairo's
  // writer, let go just before it writes the file's pictures out at the
  // end, where it cannot fail cleanly for want of memory (it crashes). It
  // grows with the largest picture drawn; where it cannot, the drawing
  // throws std::bad_alloc.
  void* writerRoom_ = nullptr;
  std::size_t writerRoomBytes_ = 0;
  bool keepWriterRoom(std::size_t bytes);
  void freeWriterRoom();
  bool fileFailed_ = false;
  std::string fileError_;  // why the file could not be written
};

// Installs the cairo canvas as the factory behind makeRasterCanvas(). Done
// automatically when the library loads; callable again without harm.
void installCairoRasterFactory();

}  // namespace md::canvas
