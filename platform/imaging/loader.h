// Loading pictures from files, and the process-wide cache of decoded
// pictures and of their resamplings.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/digest.h"

namespace md::imaging {

class MetafileVectors;

// The whole file; false with the reason when it cannot be read or is larger
// than `limit` bytes.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                   std::size_t limit = kDefaultMemoryLimit);

// Reads and decodes a file (no cache).
DecodeResult LoadFile(const std::string& path, std::size_t memoryLimit = kDefaultMemoryLimit);

// Where on its device rectangle a picture was resampled, relative to the
// rectangle's first corner: the other corner, the visible part and the grid
// it was computed on. The same picture at the same place of a rectangle of
// the same size gives the same pixels wherever the rectangle lies (a view
// that scrolls).
using ResamplingPlace = std::array<std::int64_t, 8>;
using ResampledPixels = std::shared_ptr<const std::vector<std::uint32_t>>;

// The size a picture's vectors were painted at into a raster of their own:
// the device width and height of the box they were drawn into, negative
// where the box runs against the device axes (the painting is mirrored).
using PaintingSize = std::array<std::int64_t, 2>;
// Where a metafile was painted by its helper on a raster (draw.h): the box's
// PaintingSize, then the part of it painted, from its first corner to the
// one past its last, relative to the box's top-left corner.
using PaintingPlace = std::array<std::int64_t, 6>;

// What the pictures of a process keep, within one capacity in bytes: the
// decoded pictures (pixels, a metafile's drawing, a refusal's text) by the
// content of their files, what is known of each path's file (its stamp and
// content), the pictures' resamplings for the device rectangles they were
// last drawn onto, and the pixels the metafiles' helper painted for the
// boxes they were drawn into on rasters (draw.h). The least recently used leave first once
// the whole passes the capacity; resamplings, which cost a drawing less to
// make again than a picture costs to decode, leave first once they pass an
// eighth of it. A painting costs a drawing as much time as a decode may:
// paintings leave as the least recently used of everything, none larger than
// an eighth of the capacity kept. Nothing is kept that alone passes what its
// kind may hold.
class ImageCache {
 public:
  // The cache the drawing code shares (picturecache.h sets its capacity).
  static ImageCache& Shared();

  static constexpr std::size_t kDefaultCapacity = std::size_t{512} << 20;
  // The part of the capacity resamplings may take: capacity / kResamplingShare.
  static constexpr std::size_t kResamplingShare = 8;
  // The most one painting may take: capacity / kPaintingShare.
  static constexpr std::size_t kPaintingShare = 8;

  explicit ImageCache(std::size_t capacityBytes = kDefaultCapacity) : capacity_(capacityBytes) {}

  // The decoded picture of the file. Pictures are kept by their content (size
  // and SHA-256): the same bytes under any path are decoded once. A path's
  // file is read again unless its device, inode, size, modification and
  // change times are those of its last reading and that reading was settled
  // (Settled): then a later change would show in its times. A file
  // read again is decoded only when its content is one no picture was decoded
  // from. A refused file keeps its reason the same way (but for a metafile
  // deferred, past its time or whose helper could not be started, which the
  // next drawing tries again); a file that cannot be read is not kept.
  DecodeResult Load(const std::string& path);

  // Drops what is known of the path's file (it is gone); its picture stays
  // for the same bytes elsewhere until it leaves as the least recently used.
  void Forget(const std::string& path);
  void Clear();

  // The bytes everything kept may take, and a change of it, which drops the
  // least recently used at once; SetCapacity answers the capacity it
  // replaced.
  std::size_t Capacity() const;
  std::size_t SetCapacity(std::size_t bytes);

  // The pixels of the picture (Bitmap::id) resampled at the place, or NULL;
  // and keeping them (not NULL) in place of any kept there.
  ResampledPixels FindResampling(std::uint64_t picture, const ResamplingPlace& place);
  void KeepResampling(std::uint64_t picture, const ResamplingPlace& place, ResampledPixels pixels);
  // The same for the helper's paintings of the picture (by box and window),
  // top-down rows of the window's premultiplied 0xAARRGGBB pixels; KeepsPainting answers whether a
  // painting of that many pixels would be kept (KeepPainting keeps none
  // larger).
  ResampledPixels FindPainting(std::uint64_t picture, const PaintingPlace& place);
  bool KeepsPainting(std::size_t pixels) const;
  void KeepPainting(std::uint64_t picture, const PaintingPlace& place, ResampledPixels pixels);
  // The same for what the helper answered as vectors of the picture for a
  // box of cellsWide x cellsHigh cells (its draw list, or why it has none:
  // draw.h), kept as paintings are.
  std::shared_ptr<const MetafileVectors> FindList(std::uint64_t picture, std::int64_t cellsWide,
                                                  std::int64_t cellsHigh);
  void KeepList(std::uint64_t picture, std::int64_t cellsWide, std::int64_t cellsHigh,
                std::shared_ptr<const MetafileVectors> vectors);
  // Drops the picture's resamplings and paintings (its pixels are gone).
  void DropResamplings(std::uint64_t picture);

  // Number of decodes done (cache misses), for tests.
  std::size_t DecodeCount() const;
  // Number of times a file was read, for tests.
  std::size_t ReadCount() const;
  // Pictures kept, resamplings kept, and the bytes all that is kept takes.
  std::size_t EntryCount() const;
  std::size_t ResamplingCount() const;
  std::size_t PaintingCount() const;
  std::size_t BytesKept() const;

  // What a kept thing is reckoned to take besides its contents: its record,
  // its place in the lists and in the index.
  static constexpr std::size_t kEntryBytes = 256;

  // Whether a file whose stamp was taken at `now` (ns since 1970, by
  // md::files::FileClockNow) can be trusted to show its next change in its
  // times: it has settled (md::files::SettlingOf) with no quiet time, its
  // last change kFineTimeLag behind on a file system that keeps fine times,
  // kCoarseTimeLag otherwise; a time of another clock never settles.
  static bool Settled(const md::files::FileStamp& stamp, std::int64_t now);

 private:
  struct Picture {
    Content content;
    DecodeResult result;
    std::size_t bytes = 0;
    std::uint64_t used = 0;
  };
  // A path's file as last read: its stamp, whether the stamp could show a
  // later change, and its content.
  struct Reading {
    std::string path;
    md::files::FileStamp stamp;
    bool settled = false;
    Content content;
    std::size_t bytes = 0;
    std::uint64_t used = 0;
  };
  struct PlaceKey {
    std::uint64_t picture = 0;
    ResamplingPlace place{};
    bool operator==(const PlaceKey&) const = default;
  };
  struct PlaceHash {
    std::size_t operator()(const PlaceKey& k) const;
  };
  struct Resampling {
    PlaceKey key;
    ResampledPixels pixels;
    std::shared_ptr<const MetafileVectors> list;  // a box's draw list, kept as a painting
    std::size_t bytes = 0;
    std::uint64_t used = 0;
  };
  using Pictures = std::list<Picture>;
  using Readings = std::list<Reading>;
  using Resamplings = std::list<Resampling>;
  // Pixels kept by picture and place (resamplings, or paintings), most
  // recently used first, with the bytes they take.
  struct KeptPixels {
    Resamplings list;
    std::unordered_map<PlaceKey, Resamplings::iterator, PlaceHash> index;
    std::unordered_map<std::uint64_t, std::vector<Resamplings::iterator>> of;
    std::size_t bytes = 0;
  };
  // What leaves the cache under its lock ends after the lock is let go: a
  // picture's end drops its resamplings, which takes the lock.
  using Released = std::vector<DecodeResult>;

  // The three ways a load ends: the path's settled reading still holds; the
  // file read holds a content already decoded; the content decoded and kept.
  std::optional<DecodeResult> Trusted(const std::string& path, const md::files::FileStamp& stamp);
  std::optional<DecodeResult> SameContent(Reading* reading, Released* released);
  DecodeResult DecodedAndKept(Reading reading, const std::vector<std::uint8_t>& bytes);

  Pictures::iterator FindPicture(const Content& content);
  void Remember(Reading reading);
  void Keep(Picture picture, Released* released);
  void DropPicture(Pictures::iterator it, Released* released);
  void DropReading(Readings::iterator it);
  Resamplings::iterator FindKept(KeptPixels* kept, const PlaceKey& key);
  ResampledPixels FindPixels(KeptPixels* kept, const PlaceKey& key);
  void KeepPixels(KeptPixels* kept, const PlaceKey& key, ResampledPixels pixels,
                  std::shared_ptr<const MetafileVectors> list = nullptr, std::size_t bytes = 0);
  void DropPixels(KeptPixels* kept, Resamplings::iterator it);
  void DropPixelsOf(KeptPixels* kept, std::uint64_t picture);
  // Drops the least recently used until what is kept fits.
  void Trim(Released* released);

  mutable std::mutex mutex_;
  Pictures pictures_;  // most recently used first, in each list
  Readings readings_;
  KeptPixels resamplings_;
  KeptPixels paintings_;
  std::unordered_map<Content, Pictures::iterator, ContentHash> pictureIndex_;
  std::unordered_map<std::string, Readings::iterator> readingIndex_;
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::uint64_t clock_ = 0;  // counts uses: what was used last has the highest
  std::size_t decodes_ = 0;
  std::atomic<std::size_t> reads_{0};
};

namespace detail {
// Called after a file's bytes were read, before the cache looks for their
// content, so that a test can hold one load there while another runs; NULL:
// none.
using CacheReadHook = void (*)(const std::string& path);
CacheReadHook SetCacheReadHook(CacheReadHook hook);
}  // namespace detail

}  // namespace md::imaging
