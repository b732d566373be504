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

// A content the helper refused or crashed on, by what it was asked to do.
struct RefusedKey {
  Format format;
  std::size_t memoryLimit;
  Content content;
  auto operator<=>(const RefusedKey&) const = default;
};
constexpr std::size_t kRefusedKept = 1024;
std::mutex g_refusedMutex;
std::map<RefusedKey, std::string> g_refused;  // the helper's reasons
std::deque<RefusedKey> g_refusedOrder;        // oldest first

bool RefusedBefore(const RefusedKey& key, std::string* reason) {
  std::lock_guard<std::mutex> lock(g_refusedMutex);
  const auto it = g_refused.find(key);
  if (it == g_refused.end()) return false;
  *reason = it->second;
  return true;
}

void Remember(const RefusedKey& key, const std::string& reason) {
  std::lock_guard<std::mutex> lock(g_refusedMutex);
  if (!g_refused.emplace(key, reason).second) return;
  g_refusedOrder.push_back(key);
  if (g_refusedOrder.size() > kRefusedKept) {
    g_refused.erase(g_refusedOrder.front());
    g_refusedOrder.pop_front();
  }
}

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
};

// A run waits for a processor among the host's other work; at up to four
// runnable threads a core it still has its whole processor time.
constexpr int kWallPerProcessorTime = 4;

// What a run of the helper that took `elapsed` on the metafile clock and
// `processorMs` of processor time (-1: not known) costs its drawing: its
// processor time, but at least a quarter of its wall time, so that a run
// waiting for a processor on a busy machine costs what it costs on an idle
// one, and a helper waiting for nothing cannot stretch a page past four times
// its budget. A clock a test set decides alone, unless the test set the
// processor time too.
std::int64_t Charged(std::int64_t elapsed, std::int64_t processorMs) {
  const std::int64_t standIn = g_runProcessorMs.load();
  if (standIn >= 0)
    processorMs = standIn;
  else if (g_clock.load() != nullptr)
    return elapsed;
  if (processorMs < 0) return elapsed;
  return std::max(processorMs, elapsed / kWallPerProcessorTime);
}

HelperRun RunHelper(const std::vector<std::string>& args, const std::uint8_t* data, std::size_t size,
                    std::size_t bytes, const std::function<std::string(const void* buffer)>& collect) {
  const MetafileLimits settings = CurrentMetafileLimits();
  HelperRun run;
  // Within a drawing: once its budget is spent the file is not tried; while
  // it lasts the file has its own whole time, but never more than the whole
  // budget, and a run that shorter limit cuts says nothing of the file.
  IsolationLimits limits;
  limits.processorMilliseconds = settings.fileMilliseconds;
  limits.milliseconds = static_cast<int>(std::min<long long>(
      static_cast<long long>(settings.fileMilliseconds) * kWallPerProcessorTime, INT_MAX));
  const int whole = limits.milliseconds;
  DrawingBudget* const drawing = CurrentDrawing();
  if (drawing != nullptr && drawing->leftMs <= 0) {
    run.deferred = true;
    run.error = "not drawn: " + Spent(drawing->wholeMs);
    return run;
  }
  if (drawing != nullptr && drawing->wholeMs < limits.milliseconds) {
    limits.milliseconds = static_cast<int>(drawing->wholeMs);
    limits.processorMilliseconds = std::min(limits.processorMilliseconds, limits.milliseconds);
  }
  TellUnfencedOnce();
  const std::int64_t start = NowMilliseconds();
  std::int64_t processorMs = -1;
  run.ok = RunIsolated(settings.helper.empty() ? ProgramBesideLibrary(kMetafileHelper) : settings.helper,
                       args, data, size, bytes, collect, limits, &run.error, &run.end, &processorMs);
  if (drawing != nullptr) drawing->leftMs -= Charged(NowMilliseconds() - start, processorMs);
  if (run.end == IsolatedEnd::TimedOut && limits.milliseconds < whole) {
    run.deferred = true;
    run.error = "not drawn: " + Spent(drawing->wholeMs);
  }
  return run;
}

}  // namespace

DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size) {
  const std::size_t maxPixels = MaxPixels(memoryLimit);
  if (maxPixels == 0) return Fail(name, "the memory limit leaves no room for a drawing");
  const RefusedKey key{format, memoryLimit, ContentOf(data, size)};
  std::string error;
  // Refused again in the words of its first refusal.
  if (RefusedBefore(key, &error)) return Fail(name, error);
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
                                    out = std::make_shared<Bitmap>();
                                    out->width = w;
                                    out->height = h;
                                    out->format = format;
                                    out->hasAlpha = true;
                                    out->dpiX = out->dpiY = header.dpiMilli / 1000.0;
                                    out->vectors = MetafileVectors::PerBox();
                                    out->metafile = std::make_shared<const MetafileSource>(MetafileSource{
                                        std::vector<std::uint8_t>(data, data + size), memoryLimit});
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
  if (run.end == IsolatedEnd::Refused || run.end == IsolatedEnd::Stopped) Remember(key, run.error);
  DecodeResult r = Fail(name, run.error);
  r.timedOut = run.end == IsolatedEnd::TimedOut;
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

bool MetafileTimeSpent() {
  const DrawingBudget* drawing = CurrentDrawing();
  return drawing != nullptr && drawing->leftMs <= 0;
}

std::string SpentMetafileTime() {
  const DrawingBudget* drawing = CurrentDrawing();
  return Spent(drawing != nullptr ? drawing->wholeMs : 0);
}

ChargedMetafileTime::ChargedMetafileTime() : start_(NowMilliseconds()) {}

ChargedMetafileTime::~ChargedMetafileTime() {
  if (DrawingBudget* drawing = CurrentDrawing()) drawing->leftMs -= NowMilliseconds() - start_;
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
  std::lock_guard<std::mutex> lock(detail::g_refusedMutex);
  detail::g_refused.clear();
  detail::g_refusedOrder.clear();
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
