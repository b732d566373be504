// The runs of the metafile helper and what this process takes of their
// answers (protocol/answer.h), within the limits and the drawings' budgets.
#include "platform/imaging/metafile.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <new>

#include <time.h>

#include "platform/imaging/decode.h"
#include "platform/imaging/digest.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

namespace {

std::mutex g_limitsMutex;
MetafileLimits g_limits;

std::atomic<MetafileClock> g_clock{nullptr};
std::atomic<std::int64_t> g_runProcessorMs{-1};
std::atomic<std::size_t> g_helperRuns{0};

std::int64_t NowMilliseconds() {
  if (const MetafileClock clock = g_clock.load()) return clock();
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// An outermost drawing: its whole budget and what is left, which only its
// own thread reads and spends, and whether it ended, which another thread
// that ends it sets.
struct DrawingBudget {
  explicit DrawingBudget(long long whole) : wholeMs(whole), leftMs(whole) {}
  const long long wholeMs;
  long long leftMs;
  std::atomic<bool> ended{false};
};

namespace {

thread_local std::shared_ptr<DrawingBudget> t_drawing;

// This thread's drawing, or NULL; one ended on another thread is let go.
DrawingBudget* CurrentDrawing() {
  if (t_drawing != nullptr && t_drawing->ended.load(std::memory_order_acquire)) t_drawing.reset();
  return t_drawing.get();
}

std::string Spent(long long budgetMs) {
  return "this drawing's " + std::to_string(budgetMs / 1000.0).substr(0, 4) + " s for metafiles are spent";
}

// Answers kept by what they answer for, at most kKept of them, the oldest
// let go first.
template <typename Key>
class KeptAnswers {
 public:
  bool Find(const Key& key, std::string* answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = answers_.find(key);
    if (it == answers_.end()) return false;
    *answer = it->second;
    return true;
  }
  void Keep(const Key& key, const std::string& answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!answers_.emplace(key, answer).second) return;
    order_.push_back(key);
    if (order_.size() > kKept) {
      answers_.erase(order_.front());
      order_.pop_front();
    }
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.clear();
    order_.clear();
  }

 private:
  static constexpr std::size_t kKept = 1024;
  std::mutex mutex_;
  std::map<Key, std::string> answers_;
  std::deque<Key> order_;  // oldest first
};

// A content the helper refused or crashed on, by what it was asked to do.
struct RefusedKey {
  Format format;
  std::size_t memoryLimit;
  Content content;
  auto operator<=>(const RefusedKey&) const = default;
};
KeptAnswers<RefusedKey> g_refused;  // the helper's reasons

// A run that spent the file's own processor time, by the content, what it
// was asked (the format, the size of the box) and the limits it ran under:
// another run of it would spend that time again to the same end.
struct SpentKey {
  Content content;
  std::vector<std::string> args;
  int fileMilliseconds;
  std::string helper;
  auto operator<=>(const SpentKey&) const = default;
};
KeptAnswers<SpentKey> g_ownTimeSpent;  // what each run answered

}  // namespace

namespace {

// The helper's arguments: the format, the most pixels its drawing may take
// and the memory limit; then, to paint a box, its size and window.
std::vector<std::string> HelperArgs(Format format, std::size_t maxPixels, std::size_t memoryLimit) {
  return {format == Format::Wmf ? "wmf" : "emf", std::to_string(maxPixels), std::to_string(memoryLimit)};
}

std::size_t MaxPixels(std::size_t memoryLimit) {
  return std::min(static_cast<std::size_t>(kMetafileMaxSide) * kMetafileMaxSide, memoryLimit / 4);
}

// How one run of the helper went, within the file's processor time (the
// wall clock allowed kWallPerProcessorTime times that) and what is left of
// this thread's drawing's budget, which the run is charged with.
struct HelperRun {
  bool ok = false;
  IsolatedEnd end = IsolatedEnd::NotRun;
  std::string error;
  // Not run, or cut short, as the drawing's budget was spent: says nothing
  // of the file.
  bool deferred = false;
  // Its time ran out (its own processor time, or the wall clock's): the
  // answer of a timed-out decode.
  bool timedOut = false;
};

// A run waits for a processor among the host's other work; at up to four
// runnable threads a core it still has its whole processor time.
constexpr int kWallPerProcessorTime = 4;

// What a run of the helper, or a paint of a metafile's vectors here, that
// took `elapsed` on the metafile clock and `processorMs` of processor time
// (-1: not known) costs its drawing: its processor time, but at least a
// quarter of its wall time, so that a run waiting for a processor on a busy
// machine costs what it costs on an idle one, and a helper waiting for
// nothing cannot stretch a page past four times its budget. A clock a test
// set decides alone, unless the test set the processor time too.
std::int64_t Charged(std::int64_t elapsed, std::int64_t processorMs) {
  const std::int64_t standIn = g_runProcessorMs.load();
  if (standIn >= 0)
    processorMs = standIn;
  else if (g_clock.load() != nullptr)
    return elapsed;
  if (processorMs < 0) return elapsed;
  return std::max(processorMs, elapsed / kWallPerProcessorTime);
}

// The processor time this thread has taken, in milliseconds; -1 when the
// system does not say.
std::int64_t ThreadProcessorMilliseconds() {
  timespec now{};
  if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return -1;
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Runs the helper on the file's bytes with `args`. A run that spent the
// file's own processor time is answered as it was, without running, by every
// later run of the same bytes, arguments and limits in this process.
HelperRun RunHelper(const std::vector<std::string>& args, const std::uint8_t* data, std::size_t size,
                    std::size_t bytes, const std::function<std::string(const void* buffer)>& collect) {
  const MetafileLimits settings = CurrentMetafileLimits();
  HelperRun run;
  const SpentKey key{ContentOf(data, size), args, settings.fileMilliseconds, settings.helper};
  if (g_ownTimeSpent.Find(key, &run.error)) {
    run.end = IsolatedEnd::OutOfProcessorTime;
    run.timedOut = true;
    return run;
  }
  // Within a drawing: once its budget is spent the file is not tried; while
  // it lasts the file has its own whole processor time, but never more than
  // the whole budget, and a run that shorter limit cuts says nothing of the
  // file. The wall clock allows four times the processor time in force.
  IsolationLimits limits;
  limits.processorMilliseconds = settings.fileMilliseconds;
  DrawingBudget* const drawing = CurrentDrawing();
  if (drawing != nullptr && drawing->leftMs <= 0) {
    run.deferred = true;
    run.error = "not drawn: " + Spent(drawing->wholeMs);
    return run;
  }
  if (drawing != nullptr && drawing->wholeMs < limits.processorMilliseconds)
    limits.processorMilliseconds = static_cast<int>(drawing->wholeMs);
  limits.milliseconds = static_cast<int>(std::min<long long>(
      static_cast<long long>(limits.processorMilliseconds) * kWallPerProcessorTime, INT_MAX));
  TellUnfencedOnce();
  ++g_helperRuns;
  const std::int64_t start = NowMilliseconds();
  std::int64_t processorMs = -1;
  run.ok = RunIsolated(settings.helper.empty() ? ProgramBesideLibrary(kMetafileHelper) : settings.helper,
                       args, data, size, bytes, collect, limits, &run.error, &run.end, &processorMs);
  if (drawing != nullptr) drawing->leftMs -= Charged(NowMilliseconds() - start, processorMs);
  run.timedOut = run.end == IsolatedEnd::TimedOut || run.end == IsolatedEnd::OutOfProcessorTime;
  if (run.end == IsolatedEnd::OutOfProcessorTime) {
    if (limits.processorMilliseconds < settings.fileMilliseconds) {
      run.deferred = true;
      run.error = "not drawn: " + Spent(drawing->wholeMs);
    } else {
      g_ownTimeSpent.Keep(key, run.error);
    }
  }
  return run;
}

// Keeps the raster operations a painting or list says it drew as their
// nearest with its file; "" or why the answer is refused (a bit no operation
// has).
std::string TakeNearestRops(const void* buffer, const MetafileSource& source) {
  AnswerHeader header;
  std::memcpy(&header, buffer, sizeof header);
  if ((header.nearestRops & ~static_cast<std::uint32_t>(kNearestRopsAll)) != 0)
    return "the renderer answered a raster operation it does not name";
  source.nearestRops.fetch_or(header.nearestRops);
  return "";
}

}  // namespace

DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size) {
  const std::size_t maxPixels = MaxPixels(memoryLimit);
  if (maxPixels == 0) return Fail(name, "the memory limit leaves no room for a drawing");
  const RefusedKey key{format, memoryLimit, ContentOf(data, size)};
  std::string error;
  // Refused again in the words of its first refusal.
  if (g_refused.Find(key, &error)) return Fail(name, error);
  // The helper plays the file and says its size; what it draws is painted,
  // or answered as a draw list, at each size it is drawn at (draw.h).
  std::shared_ptr<Bitmap> out;
  const HelperRun run = RunHelper(HelperArgs(format, maxPixels, memoryLimit), data, size, kAnswerHeaderBytes,
                                  [&](const void* buffer) -> std::string {
                                    AnswerHeader header;
                                    std::memcpy(&header, buffer, sizeof header);
                                    const std::int32_t w = header.width, h = header.height;
                                    if (w <= 0 || h <= 0 || w > kMetafileMaxSide || h > kMetafileMaxSide ||
                                        static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > maxPixels)
                                      return "the renderer answered a bad size";
                                    if (!(header.dpiMilli > 0))
                                      return "the renderer answered a bad resolution";
                                    if (header.nearestRops != 0)
                                      return "the renderer answered raster operations it did not draw";
                                    out = std::make_shared<Bitmap>();
                                    out->width = w;
                                    out->height = h;
                                    out->format = format;
                                    out->hasAlpha = true;
                                    out->dpiX = out->dpiY = header.dpiMilli / 1000.0;
                                    out->vectors = MetafileVectors::PerBox();
                                    auto source = std::make_shared<MetafileSource>();
                                    source->bytes.assign(data, data + size);
                                    source->memoryLimit = memoryLimit;
                                    out->metafile = std::move(source);
                                    return "";
                                  });
  if (run.ok) {
    DecodeResult r;
    r.bitmap = std::move(out);
    return r;
  }
  if (run.deferred) {
    DecodeResult r = Fail(name, run.error);
    r.deferred = true;
    return r;
  }
  // What the helper refused or crashed on is refused from now on; a file past
  // its time (on a busy machine, perhaps), or one the helper could not be
  // started for, is tried again by the next drawing.
  if (run.end == IsolatedEnd::Refused || run.end == IsolatedEnd::Stopped) g_refused.Keep(key, run.error);
  DecodeResult r = Fail(name, run.error);
  r.timedOut = run.timedOut;
  r.notRun = run.end == IsolatedEnd::NotRun;
  return r;
}

std::shared_ptr<const std::vector<std::uint32_t>> PaintMetafile(const Bitmap& bitmap, const MetafileBox& box,
                                                                std::string* error, bool* spent) {
  *spent = false;
  const MetafileSource& source = *bitmap.metafile;
  const std::int64_t pixels = box.Pixels();
  if (pixels <= 0 || pixels > kMetafilePaintPixels) {
    *error = "the painting's window is empty or too large";
    return nullptr;
  }
  std::vector<std::string> args =
      HelperArgs(bitmap.format, MaxPixels(source.memoryLimit), source.memoryLimit);
  args.push_back("paint");
  for (const std::int64_t v : box.size) args.push_back(std::to_string(v));
  for (const std::int64_t v : box.window) args.push_back(std::to_string(v));
  std::shared_ptr<std::vector<std::uint32_t>> out;
  const std::size_t count = static_cast<std::size_t>(pixels);
  const HelperRun run = RunHelper(
      args, source.bytes.data(), source.bytes.size(), kAnswerHeaderBytes + count * 4,
      [&](const void* buffer) -> std::string {
        const std::string why = TakeNearestRops(buffer, source);
        if (!why.empty()) return why;
        try {
          out = std::make_shared<std::vector<std::uint32_t>>(count);
        } catch (const std::bad_alloc&) {
          return "no memory for the painting";
        }
        std::memcpy(out->data(), static_cast<const std::uint8_t*>(buffer) + kAnswerHeaderBytes, count * 4);
        return "";
      });
  if (!run.ok) {
    *error = run.error;
    *spent = run.deferred;
    return nullptr;
  }
  return out;
}

std::shared_ptr<const MetafileVectors> ListMetafile(const Bitmap& bitmap, std::int64_t cellsWide,
                                                    std::int64_t cellsHigh, std::string* error, bool* spent) {
  *spent = false;
  if (cellsWide <= 0 || cellsHigh <= 0 || cellsWide > kMetafileMaxPaintSide * 8 ||
      cellsHigh > kMetafileMaxPaintSide * 8)
    return MetafileVectors::Refused("the box to draw it into is empty or too large");
  const MetafileSource& source = *bitmap.metafile;
  std::vector<std::string> args =
      HelperArgs(bitmap.format, MaxPixels(source.memoryLimit), source.memoryLimit);
  args.insert(args.end(), {kListRequest, std::to_string(cellsWide), std::to_string(cellsHigh)});
  std::shared_ptr<const MetafileVectors> out;
  const HelperRun run = RunHelper(args, source.bytes.data(), source.bytes.size(),
                                  kAnswerHeaderBytes + kListBytes, [&](const void* buffer) -> std::string {
                                    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
                                    AnswerHeader header;
                                    std::memcpy(&header, bytes, sizeof header);
                                    if (header.vectors != static_cast<std::uint32_t>(VectorsAnswer::List)) {
                                      const std::string why = VectorsRefusal(header.vectors);
                                      return why.empty() ? "the renderer answered no list" : why;
                                    }
                                    if (header.listBytes > kListBytes)
                                      return "the renderer answered a list past its room";
                                    const std::string unknown = TakeNearestRops(buffer, source);
                                    if (!unknown.empty()) return unknown;
                                    std::string why;
                                    std::shared_ptr<const DrawList> list =
                                        ReadDrawList(bytes + kAnswerHeaderBytes,
                                                     static_cast<std::size_t>(header.listBytes), &why);
                                    if (list == nullptr) return why;
                                    out = std::make_shared<const MetafileVectors>(std::move(list));
                                    return "";
                                  });
  if (run.ok) return out;
  // What the helper refused or crashed on, or answered and was refused here,
  // is the box's answer; a run past its time or not started says nothing.
  if (run.end == IsolatedEnd::Refused || run.end == IsolatedEnd::Stopped)
    return MetafileVectors::Refused(run.error);
  *error = run.error;
  *spent = run.deferred;
  return nullptr;
}

MetafileClock SetMetafileClock(MetafileClock clock) { return g_clock.exchange(clock); }

std::int64_t SetMetafileRunProcessorTime(std::int64_t milliseconds) {
  return g_runProcessorMs.exchange(milliseconds < 0 ? -1 : milliseconds);
}

std::size_t HelperRunCount() { return g_helperRuns.load(); }

bool MetafileTimeSpent() {
  const DrawingBudget* drawing = CurrentDrawing();
  return drawing != nullptr && drawing->leftMs <= 0;
}

std::string SpentMetafileTime() {
  const DrawingBudget* drawing = CurrentDrawing();
  return Spent(drawing != nullptr ? drawing->wholeMs : 0);
}

ChargedMetafileTime::ChargedMetafileTime()
    : start_(NowMilliseconds()), startProcessor_(ThreadProcessorMilliseconds()) {}

ChargedMetafileTime::~ChargedMetafileTime() {
  DrawingBudget* drawing = CurrentDrawing();
  if (drawing == nullptr) return;
  const std::int64_t processor = ThreadProcessorMilliseconds();
  drawing->leftMs -= Charged(NowMilliseconds() - start_,
                             processor >= 0 && startProcessor_ >= 0 ? processor - startProcessor_ : -1);
}

}  // namespace md::imaging::detail

namespace md::imaging {

MetafileLimits CurrentMetafileLimits() {
  std::lock_guard<std::mutex> lock(detail::g_limitsMutex);
  return detail::g_limits;
}

MetafileLimits SetMetafileLimits(MetafileLimits limits) {
  std::lock_guard<std::mutex> lock(detail::g_limitsMutex);
  std::swap(limits, detail::g_limits);
  return limits;
}

void ForgetRefusedMetafiles() {
  detail::g_refused.Clear();
  detail::g_ownTimeSpent.Clear();
}

MetafileDrawing::MetafileDrawing() : thread_(std::this_thread::get_id()) {
  if (detail::CurrentDrawing() != nullptr) return;
  budget_ = std::make_shared<detail::DrawingBudget>(CurrentMetafileLimits().drawingMilliseconds);
  detail::t_drawing = budget_;
}

MetafileDrawing::~MetafileDrawing() {
  if (budget_ == nullptr) return;
  // Its thread lets it go at its next check when it ends elsewhere.
  budget_->ended.store(true, std::memory_order_release);
  if (OnItsThread() && detail::t_drawing == budget_) detail::t_drawing.reset();
}

}  // namespace md::imaging
