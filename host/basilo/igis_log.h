// The host's process-wide log and performance log.
//
// Every failure in the host libraries and in the layout library is reported
// with one record: level, "Class::Method", a text, the source path, the line
// and the build date. Records are kept in memory (the most recent ones, and
// each thread's own most recent ones; a host reads those written since a
// mark, all of them or those of its own thread) and appended to
// "mapdeck.log" in the folder of GIS_GetTempDir().
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

struct SGIS_LogRecord {
  int level = 0;
  std::string method;  // "Class::Method"
  std::string text;
  std::string sourcePath;
  int line = 0;
  std::string buildDate;
};

class IGIS_Log {
 public:
  // Never fails for the caller; NULL texts are recorded as empty.
  virtual void Write(int level, const char* method, const char* text, const char* sourcePath, int line,
                     const char* buildDate) = 0;

  // Number of records written since the process started; use it as a mark.
  virtual std::size_t GetRecordCount() const = 0;
  // The records written since a mark, oldest first (only those still kept
  // in memory: the most recent ones, see SetKeptRecordCount).
  virtual std::vector<SGIS_LogRecord> GetRecordsSince(std::size_t mark) const = 0;
  // Path of the log file.
  virtual const char* GetFilePath() const = 0;
  // Turns appending to the log file on or off (records stay in memory).
  virtual void EnableFileOutput(BOOL enable) = 0;
  // How many of the most recent records stay in memory: 65536 unless set;
  // 0 keeps none (records are still counted and written to the file), for a
  // process that never reads them back.
  virtual void SetKeptRecordCount(std::size_t count) = 0;
  // The records the calling thread wrote since the mark, oldest first,
  // whatever other threads wrote meanwhile: besides the records kept for
  // all threads, each thread keeps its own most recent 4096 (no more than
  // SetKeptRecordCount keeps), which other threads' records cannot push
  // out. Older ones of its own are answered while still among those kept
  // for all.
  virtual std::vector<SGIS_LogRecord> GetThreadRecordsSince(std::size_t mark) const = 0;

 protected:
  virtual ~IGIS_Log() = default;
};

class IGIS_PerformanceLog {
 public:
  // Brackets a measured section by its integer id; results are not used by callers.
  virtual void Begin(int id) = 0;
  virtual void End(int id) = 0;
  // Number of completed Begin/End pairs of an id.
  virtual int GetCallCount(int id) const = 0;

 protected:
  virtual ~IGIS_PerformanceLog() = default;
};

extern "C" {
IGIS_Log* GIS_GetLogPtr();
IGIS_PerformanceLog* GIS_GetPerformanceLogPtr();
// Number of records the calling thread has written: a mark of what one call
// on this thread wrote, whatever other threads write meanwhile.
std::size_t GIS_GetThreadLogRecordCount();

// Formats the text like printf and writes one record. The source path is
// made relative to the repository root when it lies below it.
void GIS_WriteLogF(int level, const char* method, const char* sourcePath, int line, const char* buildDate,
                   const char* format, ...) __attribute__((format(printf, 6, 7)));
}

// Levels of the records.
constexpr int GIS_LOG_LEVEL_STORAGE = 1;  // a file or storage failure
constexpr int GIS_LOG_LEVEL_CHECK = 3;    // a failed check of an argument, an object or a state
constexpr int GIS_LOG_LEVEL_SYMBOL = 4;   // a symbol missing, unreadable or refused; a zero grid interval
constexpr int GIS_LOG_LEVEL_GRID = 5;     // a missing grid border
constexpr int GIS_LOG_LEVEL_FRAME = 6;    // the frame property's symbol setters

// GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Thing::Method", "m_pFeature == NULL");
// GIS_LOG(GIS_LOG_LEVEL_STORAGE, "CGIS_Thing::Open", "cannot open %s", path);
// Fills the source path, line and build date (the source file's time stamp).
#define GIS_LOG(level, method, ...) \
  GIS_WriteLogF((level), (method), __FILE__, __LINE__, __TIMESTAMP__, __VA_ARGS__)
