// The process-wide table of registered clipboard formats and the data an
// object offers the clipboard.
#include "platform/ole/clipformat.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ole/record.h"

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

void DataSource::CacheData(unsigned format, std::vector<std::uint8_t> bytes) {
  for (auto& [f, b] : entries_) {
    if (f == format) {
      b = std::move(bytes);
      return;
    }
  }
  entries_.emplace_back(format, std::move(bytes));
}

const std::vector<std::uint8_t>* DataSource::GetData(unsigned format) const {
  for (const auto& [f, b] : entries_)
    if (f == format) return &b;
  return nullptr;
}

std::vector<unsigned> DataSource::Formats() const {
  std::vector<unsigned> formats;
  for (const auto& entry : entries_) formats.push_back(entry.first);
  return formats;
}

namespace {

// A string as NUL-terminated UTF-16LE (a string that is not UTF-8 gives an
// empty one).
std::vector<std::uint8_t> Utf16(const std::string& s) {
  std::vector<std::uint8_t> out;
  glong n = 0;
  gunichar2* w = g_utf8_to_utf16(s.data(), static_cast<glong>(s.size()), nullptr, &n, nullptr);
  for (glong i = 0; w != nullptr && i < n; ++i) {
    out.push_back(static_cast<std::uint8_t>(w[i] & 0xFF));
    out.push_back(static_cast<std::uint8_t>(w[i] >> 8));
  }
  g_free(w);
  out.push_back(0);
  out.push_back(0);
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeObjectDescriptor(const ObjectDescriptor& d) {
  constexpr std::uint32_t kHeader = 52;
  const std::vector<std::uint8_t> type = Utf16(d.userType), source = Utf16(d.sourceOfCopy);
  detail::RecordWriter w;
  w.U32(static_cast<std::uint32_t>(kHeader + type.size() + source.size()));
  w.Bytes(d.clsid.data(), d.clsid.size());
  w.U32(static_cast<std::uint32_t>(d.drawAspect));
  w.U32(static_cast<std::uint32_t>(d.extent.cx));
  w.U32(static_cast<std::uint32_t>(d.extent.cy));
  w.U32(0);  // the point where the object was picked up: none
  w.U32(0);
  w.U32(d.status);
  w.U32(kHeader);
  w.U32(static_cast<std::uint32_t>(kHeader + type.size()));
  w.Bytes(type.data(), type.size());
  w.Bytes(source.data(), source.size());
  return std::move(w.Result());
}

std::vector<std::uint8_t> EncodeLinkSource(const ClassId& clsid, const std::string& path) {
  detail::RecordWriter w;
  w.Bytes(clsid.data(), clsid.size());
  w.Text(path);
  return std::move(w.Result());
}

}  // namespace md::ole
