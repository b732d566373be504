#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/tempdir.h"

namespace {

constexpr std::size_t kKeptRecords = 65536;
// Each thread's own most recent records, kept apart from the shared ones.
constexpr std::size_t kOwnKept = 4096;
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;  // then the file moves to mapdeck.log.1

std::string OneLine(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

// Records this thread has written.
thread_local std::size_t t_written = 0;

// The writing thread of a kept record: a number no other thread of the
// process has (system thread ids come back once a thread ends).
std::atomic<std::uint64_t> g_lastThread{0};
thread_local const std::uint64_t t_thread = ++g_lastThread;

// Fills a record with the values Write takes.
void Fill(SGIS_LogRecord* r, int level, const char* method, const char* text, const char* sourcePath,
          int line, const char* buildDate) {
  r->level = level;
  r->method.assign(method != nullptr ? method : "");
  r->text.assign(text != nullptr ? text : "");
  r->sourcePath.assign(sourcePath != nullptr ? sourcePath : "");
  r->line = line;
  r->buildDate.assign(buildDate != nullptr ? buildDate : "");
}

// A record with its place among all the process's records.
struct Numbered {
  std::size_t index = 0;
  SGIS_LogRecord record;
};

// Set once the thread's own records ended (a flag with nothing to end, so
// that a record written later in the thread's end can still read it).
thread_local bool t_ownEnded = false;

// The calling thread's own most recent records, which only it writes and
// reads: other threads' records cannot push them out.
struct OwnRecords {
  ~OwnRecords() { t_ownEnded = true; }
  std::deque<Numbered> kept;
  std::size_t droppedBefore = 0;  // one past the index of the last record dropped from them
};
thread_local OwnRecords t_own;

// Keeps the record among the thread's own, at most `bound` of them; the
// oldest one's strings take the new record's texts once they are full.
void KeepOwn(std::size_t index, std::size_t bound, int level, const char* method, const char* text,
             const char* sourcePath, int line, const char* buildDate) {
  if (t_ownEnded) return;
  OwnRecords& own = t_own;
  Numbered n;
  while (!own.kept.empty() && own.kept.size() >= bound) {
    own.droppedBefore = own.kept.front().index + 1;
    n = std::move(own.kept.front());
    own.kept.pop_front();
  }
  if (bound == 0) {
    own.droppedBefore = index + 1;
    return;
  }
  n.index = index;
  Fill(&n.record, level, method, text, sourcePath, line, buildDate);
  own.kept.push_back(std::move(n));
}

class CGIS_Log final : public IGIS_Log {
 public:
  CGIS_Log() : path_(std::string(GIS_GetTempDir()) + "/mapdeck.log") {}

  void Write(int level, const char* method, const char* text, const char* sourcePath, int line,
             const char* buildDate) override {
    ++t_written;
    std::size_t index = 0, ownBound = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      index = total_;
      ownBound = std::min(kOwnKept, kept_);
      Keep(level, method, text, sourcePath, line, buildDate);
    }
    KeepOwn(index, ownBound, level, method, text, sourcePath, line, buildDate);
  }

  std::size_t GetRecordCount() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return total_;
  }

  std::vector<SGIS_LogRecord> GetRecordsSince(std::size_t mark) const override {
    return Since(mark, 0, static_cast<std::size_t>(-1));
  }

  // The thread's own records since the mark; those dropped from them (past
  // their bound) are looked for among the shared ones.
  std::vector<SGIS_LogRecord> GetThreadRecordsSince(std::size_t mark) const override {
    if (t_ownEnded) return Since(mark, t_thread, static_cast<std::size_t>(-1));
    const OwnRecords& own = t_own;
    std::vector<SGIS_LogRecord> out;
    if (own.droppedBefore > mark)
      out = Since(mark, t_thread, own.kept.empty() ? static_cast<std::size_t>(-1) : own.kept.front().index);
    for (const Numbered& n : own.kept)
      if (n.index >= mark) out.push_back(n.record);
    return out;
  }

  const char* GetFilePath() const override { return path_.c_str(); }

  void EnableFileOutput(BOOL enable) override {
    std::lock_guard<std::mutex> lock(mutex_);
    file_output_ = enable != FALSE;
  }

  void SetKeptRecordCount(std::size_t count) override {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_ = count;
    while (records_.size() > kept_) records_.pop_front();
    if (kept_ == 0) records_.shrink_to_fit();
  }

 private:
  struct Kept {
    SGIS_LogRecord record;
    std::uint64_t thread = 0;
  };

  // Counts the record, keeps it among the shared ones and appends it to the
  // file; the lock is held.
  void Keep(int level, const char* method, const char* text, const char* sourcePath, int line,
            const char* buildDate) {
    ++total_;
    if (kept_ == 0 && !file_output_) return;
    // Once the kept records are full, the oldest one's strings take the new
    // record's texts: no allocation per record on a steady stream.
    Kept kept;
    if (kept_ != 0 && records_.size() >= kept_) {
      kept = std::move(records_.front());
      records_.pop_front();
    }
    kept.thread = t_thread;
    Fill(&kept.record, level, method, text, sourcePath, line, buildDate);
    if (file_output_) AppendToFile(kept.record);
    if (kept_ == 0) return;
    records_.push_back(std::move(kept));
    while (records_.size() > kept_) records_.pop_front();
  }

  // The shared records from the mark on and before `until`, of the thread
  // (any for 0).
  std::vector<SGIS_LogRecord> Since(std::size_t mark, std::uint64_t thread, std::size_t until) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t first = total_ - records_.size();  // index of records_.front()
    const std::size_t from = std::max(mark, first), to = std::min(until, total_);
    std::vector<SGIS_LogRecord> out;
    for (std::size_t i = from; i < to; ++i) {
      const Kept& k = records_[i - first];
      if (thread == 0 || k.thread == thread) out.push_back(k.record);
    }
    return out;
  }

  // One write per record, to a file opened for appending, so that records
  // of processes sharing the folder do not interleave inside a line. A
  // record the file cannot take (no temporary folder could be made, or the
  // file cannot be opened) goes to standard error rather than nowhere.
  void AppendToFile(const SGIS_LogRecord& r) {
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    struct stat st;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_size > kMaxFileSize) {
      std::string old = path_ + ".1";
      ::rename(path_.c_str(), old.c_str());
      ::close(fd_);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &tm);
    std::string line = std::string(stamp) + " [" + std::to_string(::getpid()) + "] level " +
                       std::to_string(r.level) + " " + OneLine(r.method) + ": " + OneLine(r.text) + " (" +
                       OneLine(r.sourcePath) + ":" + std::to_string(r.line) + ", built " +
                       OneLine(r.buildDate) + ")\n";
    ssize_t ignored = ::write(fd_ >= 0 ? fd_ : STDERR_FILENO, line.data(), line.size());
    (void)ignored;
  }

  mutable std::mutex mutex_;
  std::deque<Kept> records_;
  std::size_t total_ = 0;
  std::size_t kept_ = kKeptRecords;
  std::string path_;
  int fd_ = -1;
  bool file_output_ = true;
};

class CGIS_PerformanceLog final : public IGIS_PerformanceLog {
 public:
  void Begin(int id) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& starts = open_[id];
    if (starts.size() >= kMaxOpen) starts.erase(starts.begin());  // Begins never ended
    starts.push_back(std::chrono::steady_clock::now());
  }
  void End(int id) override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = open_.find(id);
    if (it == open_.end() || it->second.empty()) return;  // End without Begin
    Entry& e = done_[id];
    e.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - it->second.back()).count();
    ++e.count;
    it->second.pop_back();
  }
  int GetCallCount(int id) const override {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = done_.find(id);
    return it == done_.end() ? 0 : it->second.count;
  }

 private:
  static constexpr std::size_t kMaxOpen = 1024;
  struct Entry {
    int count = 0;
    double seconds = 0.0;
  };
  mutable std::mutex mutex_;
  std::map<int, std::vector<std::chrono::steady_clock::time_point>> open_;
  std::map<int, Entry> done_;
};

}  // namespace

// Process-wide objects live until the process ends (never destroyed), so
// that code running in other libraries' static destructors can still log.
extern "C" IGIS_Log* GIS_GetLogPtr() {
  static CGIS_Log* log = new CGIS_Log();
  // The log's first record, where its folder is not the one the environment
  // named, says so (written through this call, which then passes by).
  static std::atomic<bool> told{false};
  if (!told.load(std::memory_order_acquire) && !told.exchange(true)) md::basilo::TellTempDirPassedOver();
  return log;
}

extern "C" std::size_t GIS_GetThreadLogRecordCount() { return t_written; }

extern "C" IGIS_PerformanceLog* GIS_GetPerformanceLogPtr() {
  static CGIS_PerformanceLog* log = new CGIS_PerformanceLog();
  return log;
}

extern "C" void GIS_WriteLogF(int level, const char* method, const char* sourcePath, int line,
                              const char* buildDate, const char* format, ...) {
  std::string text;
  if (format != nullptr && std::strcmp(format, "%s") == 0) {
    // The common case: a ready text, taken as it is.
    va_list args;
    va_start(args, format);
    const char* ready = va_arg(args, const char*);
    va_end(args);
    text = ready != nullptr ? ready : "(null)";  // as the C library prints it
  } else if (format != nullptr) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
      text.resize(static_cast<std::size_t>(n) + 1);
      std::vsnprintf(text.data(), text.size(), format, args);
      text.resize(static_cast<std::size_t>(n));
    }
    va_end(args);
  }
  // Paths of the library's sources are relative to the project already (the
  // build maps its folders away), so they are kept as given.
  const char* path = sourcePath;
  GIS_GetLogPtr()->Write(level, method, text.c_str(), path, line, buildDate);
}
