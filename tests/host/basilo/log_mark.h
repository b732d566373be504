// Reads the log records written since the mark was made.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/igis_log.h"

class LogMark {
 public:
  LogMark() : mark_(GIS_GetLogPtr()->GetRecordCount()) {}
  std::vector<SGIS_LogRecord> Records() const { return GIS_GetLogPtr()->GetRecordsSince(mark_); }
  std::size_t Count() const { return Records().size(); }

 private:
  std::size_t mark_;
};
