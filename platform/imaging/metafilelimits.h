// How long metafiles may take to draw. Each file is drawn by the helper
// program within its own processor time, and four times that of the wall
// clock (a run waiting for a processor on a busy machine); the files of one
// drawing (a page printed or drawn on a view) share a budget, which each run
// of the helper is charged its processor time, but at least a quarter of its
// wall time, and past which the rest are not tried and their pictures say
// so. A content the helper refused or crashed on is not
// tried again in this process, nor one whose run spent its own processor
// time at a size, at that size, while the limits stay as they are (the same
// answer, without a run); a file that ran past its wall clock (on a busy
// machine, perhaps), whose run a drawing's budget cut short, or that the
// helper could not be started for (a process limit, no memory), is not
// remembered: the next drawing tries it again, within that drawing's budget.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace md::imaging {

// What this process does with a drawn metafile is bounded as well: pictures
// are kept by their files' bytes (the imaging library's cache), so that the
// same bytes are drawn by the helper once a process, whatever file holds
// them, and cost a later drawing none of its time. On a raster the helper
// paints the drawing itself at the device's size, within the same limits and
// budget, and this process keeps those pixels (picturecache.h). Into a vector
// file this process paints the helper's SVG of the drawing as paths, only
// when it is at most 4 MiB, the most the helper writes, refers to nothing
// outside itself, holds only what cairo writes, needs no painting as pixels
// and draws within the bounds the library sets on what it draws (elements,
// path segments, layers, dashes, depth, pictures' pixels); otherwise the
// picture's pixels are drawn. Painting that SVG spends the drawing's budget
// too.

struct MetafileLimits {
  // The processor time one run of the helper may take (its wall clock four
  // times that).
  int fileMilliseconds = 5000;
  // The time the metafiles of one drawing may take together, as their runs
  // are charged. A file started while some of it is left has its own whole
  // time, so a drawing may run past it by up to one file's time; no one run
  // waits longer than this.
  int drawingMilliseconds = 10000;
  // The helper program; empty for the one beside the library.
  std::string helper;
};

// The limits in force, and a change of them (tests shorten them or name
// another helper); SetMetafileLimits answers the ones it replaced.
MetafileLimits CurrentMetafileLimits();
MetafileLimits SetMetafileLimits(MetafileLimits limits);

// Forgets the contents refused so far (tests).
void ForgetRefusedMetafiles();

namespace detail {
struct DrawingBudget;
}

// One drawing: while the outermost one lives, the metafiles decoded on its
// thread share its drawingMilliseconds, and so do the paints of metafiles'
// drawings as vectors there. A file started while some of them
// are left runs for its whole fileMilliseconds (or the whole budget, when
// that is shorter), and four times that on the wall clock; one that runs
// past either is answered as timed out (DecodeResult::timedOut), remembered
// only when its own fileMilliseconds ran out. Once the budget is spent, a
// metafile is answered as deferred (DecodeResult::deferred) without being
// tried, and so is one whose run a budget shorter than a file's time cut
// short; a metafile already drawn is drawn from its pixels instead of its
// vectors. A drawing made inside another shares the outer one's budget.
// Outside every drawing a file has its own time only.
//
// A drawing belongs to the thread that made it. Ended on another thread, it
// ends for the thread that made it: that thread's next metafile finds it
// ended and is drawn as after its end there; the ending thread's own drawing
// is left as it was.
//
// The print calls (layout/graphicelement/print/gis_pageprint.h) open one
// for each page they draw; a host that draws elements itself opens one
// there (GIS_PageDrawing) around its drawing of a page.
class MetafileDrawing {
 public:
  MetafileDrawing();
  ~MetafileDrawing();
  MetafileDrawing(const MetafileDrawing&) = delete;
  MetafileDrawing& operator=(const MetafileDrawing&) = delete;

  // Whether it was made on the calling thread.
  bool OnItsThread() const { return std::this_thread::get_id() == thread_; }

 private:
  // The budget it opened, which its thread shares; NULL inside another.
  std::shared_ptr<detail::DrawingBudget> budget_;
  std::thread::id thread_;
};

}  // namespace md::imaging
