// The process-wide table of registered clipboard formats.
#include "platform/ole/clipformat.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string>
#include <vector>

namespace md::ole {

unsigned RegisterClipboardFormat(const char* szName) {
  if (szName == nullptr || *szName == '\0') return 0;
  static std::mutex mutex;
  static std::vector<std::string> names;
  std::string key = szName;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
  std::lock_guard<std::mutex> lock(mutex);
  auto it = std::find(names.begin(), names.end(), key);
  if (it == names.end()) it = names.insert(names.end(), key);
  return 0xC000u + static_cast<unsigned>(it - names.begin());
}

}  // namespace md::ole
