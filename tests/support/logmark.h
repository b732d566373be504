// Reads the host log records written since the mark was made.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"

namespace md::test {

class LogMark {
 public:
  LogMark() : mark_(GIS_GetLogPtr()->GetRecordCount()) {}
  std::vector<SGIS_LogRecord> Records() const { return GIS_GetLogPtr()->GetRecordsSince(mark_); }
  std::size_t Count() const { return Records().size(); }
  // Records of the level and method with exactly the text.
  int Count(int level, const std::string& method, const std::string& text) const {
    int n = 0;
    for (const SGIS_LogRecord& r : Records()) n += (r.level == level && r.method == method && r.text == text);
    return n;
  }
  bool Has(int level, const std::string& method, const std::string& text) const {
    return Count(level, method, text) > 0;
  }
  // Any record of the level and method, whatever its text.
  bool Has(int level, const std::string& method) const {
    for (const SGIS_LogRecord& r : Records())
      if (r.level == level && r.method == method) return true;
    return false;
  }

 private:
  std::size_t mark_;
};

}  // namespace md::test
