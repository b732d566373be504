// Reading picture files and keeping their decoded pixels.
#include "platform/imaging/loader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/files/filestore.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/svgdrawing.h"

namespace md::imaging {

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                   std::size_t limit) {
  std::string why;
  if (md::files::ReadWholeFile(path.c_str(), limit, bytes, &why)) return true;
  *error = "cannot open " + path + ": " + why;
  return false;
}

DecodeResult LoadFile(const std::string& path, std::size_t memoryLimit) {
  std::vector<std::uint8_t> bytes;
  DecodeResult r;
  if (!ReadFileBytes(path, &bytes, &r.error, memoryLimit)) return r;
  return Decode(bytes.data(), bytes.size(), memoryLimit);
}

ImageCache& ImageCache::Shared() {
  static ImageCache* cache = new ImageCache();  // kept for the whole process
  return *cache;
}

DecodeResult ImageCache::Load(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    DecodeResult r;
    r.error = "cannot open " + path + ": " + std::strerror(errno);
    return r;
  }
  const long long mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->path == path) {
        if (it->size == static_cast<long long>(st.st_size) && it->mtimeNs == mtime) {
          entries_.splice(entries_.begin(), entries_, it);
          return entries_.front().result;
        }
        bytes_ -= it->bytes;
        entries_.erase(it);
        break;
      }
    }
  }
  DecodeResult r = LoadFile(path);
  std::lock_guard<std::mutex> lock(mutex_);
  ++decodes_;
  if (r.deferred || r.timedOut) return r;  // tried again by the next drawing
  Entry e;
  e.path = path;
  e.size = static_cast<long long>(st.st_size);
  e.mtimeNs = mtime;
  e.result = r;
  e.bytes = r.bitmap ? r.bitmap->pixels.size() * 4 + (r.bitmap->vectors ? r.bitmap->vectors->Bytes() : 0)
                     : r.error.size();
  bytes_ += e.bytes;
  entries_.push_front(std::move(e));
  Trim();
  return r;
}

void ImageCache::Trim() {
  // The newest entry stays even when it alone passes the capacity.
  while (bytes_ > capacity_ && entries_.size() > 1) {
    bytes_ -= entries_.back().bytes;
    entries_.pop_back();
  }
}

void ImageCache::Forget(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->path == path) {
      bytes_ -= it->bytes;
      entries_.erase(it);
      return;
    }
  }
}

void ImageCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.clear();
  bytes_ = 0;
}

std::size_t ImageCache::DecodeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return decodes_;
}

std::size_t ImageCache::EntryCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

std::size_t ImageCache::BytesKept() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

}  // namespace md::imaging
