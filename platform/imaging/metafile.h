// Drawing a metafile: the shared part of the WMF and EMF readers. The libraries that draw them run in the
// helper program mapdeck-metafile (helper/, started through isolate.h), so that a damaged file is refused
// with a reason instead of crashing or hanging the host; what it answers is laid out in protocol/answer.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/bitmap.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

// Has the helper draw the file and makes a picture of what it drew, within
// the limits in force (metafilelimits.h): a content the helper refused
// before is refused again without it.
DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size);

// Has the helper paint the picture's metafile (Bitmap::metafile) over the
// box into the pixels of its window, top-down rows of premultiplied
// 0xAARRGGBB, as a raster canvas paints its drawing there: within the file's
// own limits and the drawing's budget, as a decode is. NULL with the reason
// in *error when it cannot be painted (the budget spent, in *spent).
std::shared_ptr<const std::vector<std::uint32_t>> PaintMetafile(const Bitmap& bitmap, const MetafileBox& box,
                                                                std::string* error, bool* spent);

// Has the helper answer the draw list of the picture's metafile for a box of
// cellsWide x cellsHigh cells of 600 dpi (its pictures at most at that
// resolution), within the file's own limits and the drawing's budget, as a
// decode is: the list, checked (drawlistread.h), or why it is not drawn as
// vectors at that box (the helper answered none, refused or crashed on the
// file, or the list failed its checks). NULL with the reason in *error when
// the run says nothing of the file (the budget spent, in *spent; past its
// time; the helper not started): the next drawing asks again.
std::shared_ptr<const MetafileVectors> ListMetafile(const Bitmap& bitmap, std::int64_t cellsWide,
                                                    std::int64_t cellsHigh, std::string* error, bool* spent);

// The clock a drawing's budget is spent by, in milliseconds of a steady
// clock, so that a test decides how long each run took; NULL: the system's.
// Answers the clock it replaced.
using MetafileClock = std::int64_t (*)();
MetafileClock SetMetafileClock(MetafileClock clock);

// The processor time each run of the helper, and each paint of a metafile's
// vectors here, is taken to have spent, in milliseconds, so that a test
// decides what a run is charged; below zero: what the run really spent (then,
// under a test's clock, a run is charged the clock's time alone). Answers the
// one it replaced.
std::int64_t SetMetafileRunProcessorTime(std::int64_t milliseconds);

// The runs of the helper started in this process so far (tests count them).
std::size_t HelperRunCount();

// Whether the budget of this thread's drawing is spent (never outside every
// drawing), and what says so: "this drawing's 10.0 s for metafiles are
// spent".
bool MetafileTimeSpent();
std::string SpentMetafileTime();

// Charges this thread's drawing, if any, with what this thread spent from its
// making to its end: its processor time, but at least a quarter of the time
// on the metafile clock (a steady clock, which tests may replace), as a run
// of the helper is charged.
class ChargedMetafileTime {
 public:
  ChargedMetafileTime();
  ~ChargedMetafileTime();
  ChargedMetafileTime(const ChargedMetafileTime&) = delete;
  ChargedMetafileTime& operator=(const ChargedMetafileTime&) = delete;

 private:
  std::int64_t start_;
  std::int64_t startProcessor_;
};

}  // namespace md::imaging::detail
