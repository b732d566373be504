// Reading picture files and keeping their decoded pixels and resamplings.
#include "platform/imaging/loader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/files/errortext.h"
#include "platform/files/filestore.h"
#include "platform/files/settling.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/metafilevectors.h"

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
  static ImageCache* cache = [] {
    auto* shared = new ImageCache();  // kept for the whole process
    // Only this cache keeps resamplings (draw.cpp).
    detail::SetPictureEndHook([](std::uint64_t id) { Shared().DropResamplings(id); });
    return shared;
  }();
  return *cache;
}

namespace {

std::atomic<detail::CacheReadHook> g_readHook{nullptr};

std::int64_t Now() { return md::files::FileClockNow(); }

// A metafile's picture holds its pixels, its file and its draw list (the
// lists asked for at each box are kept as paintings).
std::size_t PictureBytes(const DecodeResult& r) {
  if (r.bitmap == nullptr) return ImageCache::kEntryBytes + r.error.size();
  const Bitmap& b = *r.bitmap;
  return ImageCache::kEntryBytes + b.pixels.size() * 4 +
         (b.metafile != nullptr ? b.metafile->bytes.size() : 0) +
         (b.vectors != nullptr ? b.vectors->Bytes() : 0);
}

}  // namespace

detail::CacheReadHook detail::SetCacheReadHook(CacheReadHook hook) { return g_readHook.exchange(hook); }

bool ImageCache::Settled(const md::files::FileStamp& stamp, std::int64_t now) {
  const md::files::Settling s = md::files::SettlingOf(stamp, now, 0);
  return s.wait == 0 && !s.otherClock;
}

std::size_t ImageCache::PlaceHash::operator()(const PlaceKey& k) const {
  std::uint64_t h = k.picture * 0x9E3779B97F4A7C15ull;
  for (const std::int64_t v : k.place) h = (h ^ static_cast<std::uint64_t>(v)) * 0x100000001B3ull;
  return static_cast<std::size_t>(h ^ (h >> 29));
}

DecodeResult ImageCache::Load(const std::string& path) {
  // The time before the stamp: a change after the stamp was taken comes
  // later still.
  const std::int64_t now = Now();
  const md::files::FileStamp seen = md::files::StampOf(path);
  DecodeResult r;
  if (!seen.known) {
    r.error = "cannot open " + path + ": " + md::files::ErrorText(errno);
    return r;
  }
  if (!seen.regular) {
    r.error = "cannot open " + path + ": not a regular file";
    return r;
  }
  if (std::optional<DecodeResult> trusted = Trusted(path, seen)) return *std::move(trusted);

  // The file is opened once and its stamp taken from what was opened: the
  // stamp is that of the bytes read.
  Reading reading;
  reading.path = path;
  std::vector<std::uint8_t> bytes;
  std::string why;
  ++reads_;
  if (!md::files::ReadStampedFile(path.c_str(), kDefaultMemoryLimit, &bytes, &reading.stamp, &why)) {
    r.error = "cannot open " + path + ": " + why;
    return r;
  }
  reading.settled = Settled(reading.stamp, now);
  reading.content = ContentOf(bytes.data(), bytes.size());
  if (const detail::CacheReadHook hook = g_readHook.load()) hook(path);
  Released released;  // ends after the lock is let go
  if (std::optional<DecodeResult> same = SameContent(&reading, &released)) return *std::move(same);
  return DecodedAndKept(std::move(reading), bytes);
}

std::optional<DecodeResult> ImageCache::Trusted(const std::string& path, const md::files::FileStamp& stamp) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto reading = readingIndex_.find(path);
  if (reading == readingIndex_.end()) return std::nullopt;
  Reading& last = *reading->second;
  if (!last.settled || last.stamp != stamp) return std::nullopt;
  const auto picture = FindPicture(last.content);
  if (picture == pictures_.end()) return std::nullopt;
  last.used = ++clock_;
  readings_.splice(readings_.begin(), readings_, reading->second);
  return picture->result;
}

std::optional<DecodeResult> ImageCache::SameContent(Reading* reading, Released* released) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto picture = FindPicture(reading->content);
  if (picture == pictures_.end()) return std::nullopt;
  DecodeResult r = picture->result;
  Remember(std::move(*reading));
  Trim(released);
  return r;
}

DecodeResult ImageCache::DecodedAndKept(Reading reading, const std::vector<std::uint8_t>& bytes) {
  const DecodeResult r = Decode(bytes.data(), bytes.size());
  Released released;
  std::lock_guard<std::mutex> lock(mutex_);
  ++decodes_;
  if (r.deferred || r.timedOut || r.notRun) return r;  // tried again by the next drawing
  const auto meanwhile = FindPicture(reading.content);
  if (meanwhile == pictures_.end()) {
    Picture p;
    p.content = reading.content;
    p.result = r;
    p.bytes = PictureBytes(r);
    Keep(std::move(p), &released);
  }
  // Decoded meanwhile on another thread: that picture stays, the two alike.
  Remember(std::move(reading));
  Trim(&released);
  return r;
}

ImageCache::Pictures::iterator ImageCache::FindPicture(const Content& content) {
  const auto it = pictureIndex_.find(content);
  if (it == pictureIndex_.end()) return pictures_.end();
  it->second->used = ++clock_;
  pictures_.splice(pictures_.begin(), pictures_, it->second);
  return it->second;
}

void ImageCache::Keep(Picture picture, Released* released) {
  const auto it = pictureIndex_.find(picture.content);
  if (it != pictureIndex_.end()) DropPicture(it->second, released);
  picture.used = ++clock_;
  bytes_ += picture.bytes;
  pictures_.push_front(std::move(picture));
  pictureIndex_.emplace(pictures_.front().content, pictures_.begin());
}

void ImageCache::Remember(Reading reading) {
  const auto it = readingIndex_.find(reading.path);
  if (it != readingIndex_.end()) DropReading(it->second);
  reading.bytes = kEntryBytes + 2 * reading.path.size();  // the record's and the index's copy
  reading.used = ++clock_;
  bytes_ += reading.bytes;
  readings_.push_front(std::move(reading));
  readingIndex_.emplace(readings_.front().path, readings_.begin());
}

void ImageCache::DropPicture(Pictures::iterator it, Released* released) {
  bytes_ -= it->bytes;
  pictureIndex_.erase(it->content);
  released->push_back(std::move(it->result));
  pictures_.erase(it);
}

void ImageCache::DropReading(Readings::iterator it) {
  bytes_ -= it->bytes;
  readingIndex_.erase(it->path);
  readings_.erase(it);
}

void ImageCache::DropPixels(KeptPixels* kept, Resamplings::iterator it) {
  bytes_ -= it->bytes;
  kept->bytes -= it->bytes;
  const auto of = kept->of.find(it->key.picture);
  if (of != kept->of.end()) {
    std::erase(of->second, it);
    if (of->second.empty()) kept->of.erase(of);
  }
  kept->index.erase(it->key);
  kept->list.erase(it);
}

void ImageCache::DropPixelsOf(KeptPixels* kept, std::uint64_t picture) {
  const auto of = kept->of.find(picture);
  if (of == kept->of.end()) return;
  const std::vector<Resamplings::iterator> its = std::move(of->second);
  kept->of.erase(of);
  for (const auto it : its) {
    bytes_ -= it->bytes;
    kept->bytes -= it->bytes;
    kept->index.erase(it->key);
    kept->list.erase(it);
  }
}

void ImageCache::Trim(Released* released) {
  const std::size_t resamplingCapacity = capacity_ / kResamplingShare;
  while (!resamplings_.list.empty() && resamplings_.bytes > resamplingCapacity)
    DropPixels(&resamplings_, std::prev(resamplings_.list.end()));
  while (bytes_ > capacity_) {
    // The least recently used of the four lists' last.
    constexpr std::uint64_t kNone = UINT64_MAX;
    const std::uint64_t picture = pictures_.empty() ? kNone : pictures_.back().used;
    const std::uint64_t reading = readings_.empty() ? kNone : readings_.back().used;
    const std::uint64_t resampling = resamplings_.list.empty() ? kNone : resamplings_.list.back().used;
    const std::uint64_t painting = paintings_.list.empty() ? kNone : paintings_.list.back().used;
    const std::uint64_t oldest = std::min({picture, reading, resampling, painting});
    if (oldest == kNone) break;
    if (oldest == picture) {
      DropPicture(std::prev(pictures_.end()), released);
    } else if (oldest == reading) {
      DropReading(std::prev(readings_.end()));
    } else if (oldest == resampling) {
      DropPixels(&resamplings_, std::prev(resamplings_.list.end()));
    } else {
      DropPixels(&paintings_, std::prev(paintings_.list.end()));
    }
  }
}

ImageCache::Resamplings::iterator ImageCache::FindKept(KeptPixels* kept, const PlaceKey& key) {
  const auto it = kept->index.find(key);
  if (it == kept->index.end()) return kept->list.end();
  it->second->used = ++clock_;
  kept->list.splice(kept->list.begin(), kept->list, it->second);
  return it->second;
}

ResampledPixels ImageCache::FindPixels(KeptPixels* kept, const PlaceKey& key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = FindKept(kept, key);
  return it != kept->list.end() ? it->pixels : nullptr;
}

void ImageCache::KeepPixels(KeptPixels* kept, const PlaceKey& key, ResampledPixels pixels,
                            std::shared_ptr<const MetafileVectors> list, std::size_t bytes) {
  Released released;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = kept->index.find(key);
  if (it != kept->index.end()) DropPixels(kept, it->second);
  Resampling r;
  r.key = key;
  r.bytes = kEntryBytes + (pixels != nullptr ? pixels->size() * 4 : bytes);
  r.pixels = std::move(pixels);
  r.list = std::move(list);
  r.used = ++clock_;
  bytes_ += r.bytes;
  kept->bytes += r.bytes;
  kept->list.push_front(std::move(r));
  kept->index.emplace(key, kept->list.begin());
  kept->of[key.picture].push_back(kept->list.begin());
  Trim(&released);
}

ResampledPixels ImageCache::FindResampling(std::uint64_t picture, const ResamplingPlace& place) {
  return FindPixels(&resamplings_, PlaceKey{picture, place});
}

void ImageCache::KeepResampling(std::uint64_t picture, const ResamplingPlace& place, ResampledPixels pixels) {
  KeepPixels(&resamplings_, PlaceKey{picture, place}, std::move(pixels));
}

namespace {
// A painting's place as a place of its own list.
ResamplingPlace PlaceOf(const PaintingPlace& p) { return {p[0], p[1], p[2], p[3], p[4], p[5], 0, 0}; }
}  // namespace

ResampledPixels ImageCache::FindPainting(std::uint64_t picture, const PaintingPlace& place) {
  return FindPixels(&paintings_, PlaceKey{picture, PlaceOf(place)});
}

bool ImageCache::KeepsPainting(std::size_t pixels) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pixels <= (capacity_ / kPaintingShare - std::min(capacity_ / kPaintingShare, kEntryBytes)) / 4;
}

void ImageCache::KeepPainting(std::uint64_t picture, const PaintingPlace& place, ResampledPixels pixels) {
  if (pixels == nullptr || !KeepsPainting(pixels->size())) return;
  KeepPixels(&paintings_, PlaceKey{picture, PlaceOf(place)}, std::move(pixels));
}

namespace {
// A list's place among the paintings: no painting's window starts before its
// box.
ResamplingPlace ListPlace(std::int64_t cellsWide, std::int64_t cellsHigh) {
  return {cellsWide, cellsHigh, -1, -1, 0, 0, 0, 0};
}
}  // namespace

std::shared_ptr<const MetafileVectors> ImageCache::FindList(std::uint64_t picture, std::int64_t cellsWide,
                                                            std::int64_t cellsHigh) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = FindKept(&paintings_, PlaceKey{picture, ListPlace(cellsWide, cellsHigh)});
  return it != paintings_.list.end() ? it->list : nullptr;
}

void ImageCache::KeepList(std::uint64_t picture, std::int64_t cellsWide, std::int64_t cellsHigh,
                          std::shared_ptr<const MetafileVectors> vectors) {
  const std::size_t bytes = vectors != nullptr ? vectors->Bytes() : 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (vectors == nullptr ||
        bytes > capacity_ / kPaintingShare - std::min(capacity_ / kPaintingShare, kEntryBytes))
      return;
  }
  KeepPixels(&paintings_, PlaceKey{picture, ListPlace(cellsWide, cellsHigh)}, nullptr, std::move(vectors),
             bytes);
}

void ImageCache::DropResamplings(std::uint64_t picture) {
  std::lock_guard<std::mutex> lock(mutex_);
  DropPixelsOf(&resamplings_, picture);
  DropPixelsOf(&paintings_, picture);
}

void ImageCache::Forget(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = readingIndex_.find(path);
  if (it != readingIndex_.end()) DropReading(it->second);
}

void ImageCache::Clear() {
  Pictures pictures;  // ends after the lock is let go
  std::lock_guard<std::mutex> lock(mutex_);
  pictures.swap(pictures_);
  readings_.clear();
  resamplings_ = KeptPixels();
  paintings_ = KeptPixels();
  pictureIndex_.clear();
  readingIndex_.clear();
  bytes_ = 0;
}

std::size_t ImageCache::Capacity() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return capacity_;
}

std::size_t ImageCache::SetCapacity(std::size_t bytes) {
  Released released;
  std::lock_guard<std::mutex> lock(mutex_);
  std::swap(bytes, capacity_);
  Trim(&released);
  return bytes;
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

std::size_t ImageCache::ResamplingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resamplings_.list.size();
}

std::size_t ImageCache::PaintingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return paintings_.list.size();
}

std::size_t ImageCache::BytesKept() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

}  // namespace md::imaging
