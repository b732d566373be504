// Reading picture files and keeping their decoded pixels.
#include "platform/imaging/loader.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <ctime>

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

namespace {

// Whether a file's times can be trusted to show its next change: its last
// change lay kSettledSeconds or more ago.
bool Settled(const md::files::FileStamp& stamp) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  return nowNs - stamp.LastChange() >= std::int64_t{ImageCache::kSettledSeconds} * 1000000000;
}

std::string Sha256(const std::vector<std::uint8_t>& bytes) {
  gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_SHA256, bytes.data(), bytes.size());
  std::string digest(hex);
  g_free(hex);
  return digest;
}

}  // namespace

DecodeResult ImageCache::Load(const std::string& path) {
  ImageCache::Reading reading;
  reading.path = path;
  DecodeResult r;
  reading.stamp = md::files::StampOf(path);
  if (!reading.stamp.known) {
    r.error = "cannot open " + path + ": " + std::strerror(errno);
    return r;
  }
  reading.settled = Settled(reading.stamp);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = readings_.begin(); it != readings_.end(); ++it) {
      if (it->path != path) continue;
      if (it->settled && it->stamp == reading.stamp) {
        readings_.splice(readings_.begin(), readings_, it);
        const auto picture = Find(it->content);
        if (picture != pictures_.end()) return picture->result;
      }
      break;
    }
  }
  // Read (the stamp was taken before, so that a change while reading shows
  // next time), then decoded unless the same bytes were.
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, &r.error)) return r;
  reading.content = Content{bytes.size(), Sha256(bytes)};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto picture = Find(reading.content);
    if (picture != pictures_.end()) {
      Remember(std::move(reading));
      return picture->result;
    }
  }
  r = Decode(bytes.data(), bytes.size());
  std::lock_guard<std::mutex> lock(mutex_);
  ++decodes_;
  if (r.deferred || r.timedOut) return r;  // tried again by the next drawing
  if (Find(reading.content) == pictures_.end()) {
    Picture p;
    p.content = reading.content;
    p.result = r;
    p.bytes = r.bitmap ? r.bitmap->pixels.size() * 4 + (r.bitmap->vectors ? r.bitmap->vectors->Bytes() : 0)
                       : r.error.size();
    bytes_ += p.bytes;
    pictures_.push_front(std::move(p));
  }
  Remember(std::move(reading));
  Trim();
  return r;
}

std::list<ImageCache::Picture>::iterator ImageCache::Find(const Content& content) {
  for (auto it = pictures_.begin(); it != pictures_.end(); ++it) {
    if (it->content == content) {
      pictures_.splice(pictures_.begin(), pictures_, it);
      return pictures_.begin();
    }
  }
  return pictures_.end();
}

void ImageCache::Remember(Reading reading) {
  for (auto it = readings_.begin(); it != readings_.end(); ++it) {
    if (it->path == reading.path) {
      readings_.erase(it);
      break;
    }
  }
  readings_.push_front(std::move(reading));
  if (readings_.size() > kPathsKept) readings_.pop_back();
}

void ImageCache::Trim() {
  // The newest picture stays even when it alone passes the capacity.
  while (bytes_ > capacity_ && pictures_.size() > 1) {
    bytes_ -= pictures_.back().bytes;
    pictures_.pop_back();
  }
}

void ImageCache::Forget(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = readings_.begin(); it != readings_.end(); ++it) {
    if (it->path == path) {
      readings_.erase(it);
      return;
    }
  }
}

void ImageCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  pictures_.clear();
  readings_.clear();
  bytes_ = 0;
}

std::size_t ImageCache::DecodeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return decodes_;
}

std::size_t ImageCache::EntryCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pictures_.size();
}

std::size_t ImageCache::BytesKept() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

}  // namespace md::imaging
