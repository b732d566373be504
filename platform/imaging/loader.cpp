// Reading picture files and keeping their decoded pixels.
#include "platform/imaging/loader.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/files/filestore.h"
#include "platform/files/settling.h"
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

std::int64_t Now() { return md::files::FileClockNow(); }

std::string Sha256(const std::vector<std::uint8_t>& bytes) {
  gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_SHA256, bytes.data(), bytes.size());
  std::string digest(hex);
  g_free(hex);
  return digest;
}

// Whether the file at the path holds exactly the bytes, read a piece at a
// time: nothing of the file's size is allocated, and reading stops at the
// first difference.
bool SameBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  md::files::FileReader file;
  std::string error;
  if (!file.Open(path.c_str(), bytes.size(), &error) || file.size() != bytes.size()) return false;
  std::vector<std::uint8_t> piece(std::size_t{64} << 10);
  std::size_t done = 0;
  for (;;) {
    std::size_t n = 0;
    if (!file.Read(piece.data(), piece.size(), &n, &error)) return false;
    if (n == 0) return done == bytes.size();
    if (n > bytes.size() - done || std::memcmp(piece.data(), bytes.data() + done, n) != 0) return false;
    done += n;
  }
}

}  // namespace

bool ImageCache::Settled(const md::files::FileStamp& stamp, std::int64_t now) {
  const md::files::Settling s = md::files::SettlingOf(stamp, now, 0);
  return s.wait == 0 && !s.otherClock;
}

DecodeResult ImageCache::Load(const std::string& path) {
  Reading reading;
  reading.path = path;
  DecodeResult r;
  // The time before the stamp: a change after the stamp was taken comes
  // later still.
  const std::int64_t now = Now();
  reading.stamp = md::files::StampOf(path);
  if (!reading.stamp.known) {
    r.error = "cannot open " + path + ": " + std::strerror(errno);
    return r;
  }
  reading.settled = Settled(reading.stamp, now);
  // The bytes of the path's last reading, when it was an unsettled raster's.
  std::shared_ptr<const std::vector<std::uint8_t>> before;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = readings_.begin(); it != readings_.end(); ++it) {
      if (it->path != path) continue;
      if (it->settled && it->stamp == reading.stamp) {
        readings_.splice(readings_.begin(), readings_, it);
        const auto picture = Find(it->key);
        if (picture != pictures_.end()) return picture->result;
      }
      before = it->bytes;
      break;
    }
  }
  // Read (the stamp was taken before, so that a change while reading shows
  // next time): a raster's bytes as they were are its picture as it was.
  if (before != nullptr) {
    ++reads_;
    if (SameBytes(path, *before)) {
      std::lock_guard<std::mutex> lock(mutex_);
      reading.key.path = path;
      const auto picture = Find(reading.key);
      if (picture != pictures_.end()) {
        if (!reading.settled) reading.bytes = std::move(before);
        Remember(std::move(reading));
        return picture->result;
      }
    }
  }
  std::vector<std::uint8_t> bytes;
  std::shared_ptr<const std::vector<std::uint8_t>> source;  // a small raster's, kept with its picture
  ++reads_;
  if (!ReadFileBytes(path, &bytes, &r.error)) return r;
  const Format format = DetectFormat(bytes.data(), bytes.size());
  if (format == Format::Wmf || format == Format::Emf) {
    // Metafiles decoded unless the same bytes were.
    reading.key = Key{std::string(), Content{bytes.size(), Sha256(bytes)}};
    std::lock_guard<std::mutex> lock(mutex_);
    const auto picture = Find(reading.key);
    if (picture != pictures_.end()) {
      Remember(std::move(reading));
      return picture->result;
    }
  } else {
    reading.key = Key{path, Content{}};
    // A small raster whose bytes another path's picture was decoded from
    // shares that picture (a picture kept in a page and the file it was kept
    // from): comparing them costs less than decoding; large ones are
    // decoded on their own, as telling them alike would cost a hash.
    if (bytes.size() <= kSharedRasterBytes) {
      source = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
      std::lock_guard<std::mutex> lock(mutex_);
      for (const Picture& other : pictures_) {
        if (other.source == nullptr || *other.source != *source) continue;
        Picture p = other;
        p.key = reading.key;
        Drop(reading.key);
        pictures_.push_front(std::move(p));
        bytes_ += pictures_.front().bytes;
        if (!reading.settled) reading.bytes = source;
        Remember(std::move(reading));
        Trim();
        return pictures_.front().result;
      }
    }
  }
  const std::vector<std::uint8_t>& data = source != nullptr ? *source : bytes;
  r = Decode(data.data(), data.size());
  std::lock_guard<std::mutex> lock(mutex_);
  ++decodes_;
  if (r.deferred || r.timedOut) return r;  // tried again by the next drawing
  if (reading.key.path.empty() && Find(reading.key) != pictures_.end()) {
    Remember(std::move(reading));  // decoded meanwhile from another path
    return r;
  }
  Drop(reading.key);  // a raster's picture of the path's file as it was
  Picture p;
  p.key = reading.key;
  p.result = r;
  p.bytes = (r.bitmap ? r.bitmap->pixels.size() * 4 + (r.bitmap->vectors ? r.bitmap->vectors->Bytes() : 0)
                      : r.error.size()) +
            (source != nullptr ? source->size() : 0);
  p.source = source;
  bytes_ += p.bytes;
  pictures_.push_front(std::move(p));
  if (!reading.settled && !reading.key.path.empty())
    reading.bytes =
        source != nullptr ? source : std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  Remember(std::move(reading));
  Trim();
  return r;
}

std::list<ImageCache::Picture>::iterator ImageCache::Find(const Key& key) {
  for (auto it = pictures_.begin(); it != pictures_.end(); ++it) {
    if (it->key == key) {
      pictures_.splice(pictures_.begin(), pictures_, it);
      return pictures_.begin();
    }
  }
  return pictures_.end();
}

void ImageCache::Drop(const Key& key) {
  for (auto it = pictures_.begin(); it != pictures_.end(); ++it) {
    if (it->key == key) {
      bytes_ -= it->bytes;
      pictures_.erase(it);
      return;
    }
  }
}

void ImageCache::Remember(Reading reading) {
  for (auto it = readings_.begin(); it != readings_.end(); ++it) {
    if (it->path == reading.path) {
      ForgetReading(it);
      break;
    }
  }
  // The path's file is a metafile now: its raster picture is of a file gone.
  if (reading.key.path.empty()) Drop(Key{reading.path, Content{}});
  if (reading.bytes != nullptr) {
    if (unsettledBytes_ + reading.bytes->size() > kUnsettledBytes) {
      reading.bytes.reset();
    } else {
      unsettledBytes_ += reading.bytes->size();
    }
  }
  readings_.push_front(std::move(reading));
  if (readings_.size() > kPathsKept) ForgetReading(std::prev(readings_.end()));
}

void ImageCache::ForgetReading(std::list<Reading>::iterator it) {
  if (it->bytes != nullptr) unsettledBytes_ -= it->bytes->size();
  readings_.erase(it);
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
  Drop(Key{path, Content{}});
  for (auto it = readings_.begin(); it != readings_.end(); ++it) {
    if (it->path == path) {
      ForgetReading(it);
      return;
    }
  }
}

void ImageCache::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  pictures_.clear();
  readings_.clear();
  bytes_ = 0;
  unsettledBytes_ = 0;
}

std::size_t ImageCache::DecodeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return decodes_;
}

std::size_t ImageCache::ReadCount() const { return reads_.load(); }

std::size_t ImageCache::EntryCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pictures_.size();
}

std::size_t ImageCache::BytesKept() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

}  // namespace md::imaging
