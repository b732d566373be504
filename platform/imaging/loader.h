// Loading pictures from files, and the process-wide cache of decoded
// pictures.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/imaging/bitmap.h"

namespace md::imaging {

// The whole file; false with the reason when it cannot be read or is larger
// than `limit` bytes.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                   std::size_t limit = kDefaultMemoryLimit);

// Reads and decodes a file (no cache).
DecodeResult LoadFile(const std::string& path, std::size_t memoryLimit = kDefaultMemoryLimit);

class ImageCache {
 public:
  // The cache the drawing code shares.
  static ImageCache& Shared();

  explicit ImageCache(std::size_t capacityBytes = kDefaultMemoryLimit) : capacity_(capacityBytes) {}

  // The decoded picture of the file. A raster picture is kept by its path,
  // one a path, and replaced when the path's file changes; a small one
  // (kSharedRasterBytes) shares the picture of the same bytes under another
  // path. A metafile (WMF,
  // EMF) is kept by its content, whose decoding runs a helper process: the
  // same bytes, under any path, are decoded once. A path's file is read
  // again unless its device, inode, size, modification and change times are
  // those of its last reading and that reading was settled (Settled): then a
  // later change would show in its times. A raster read again before that
  // is compared with the bytes of the reading before (kept while unsettled,
  // up to kUnsettledBytes in all) and decoded only when they differ. A
  // refused file keeps its reason the same way (but for a metafile deferred
  // or past its time, which the next drawing tries again); a file that
  // cannot be read is not kept. The least recently used pictures leave when
  // what they keep (pixels, a metafile's drawing, a refusal's text) passes
  // the capacity.
  DecodeResult Load(const std::string& path);

  // Drops what is known of the path's file (it is gone) and its raster
  // picture; a metafile's picture stays for the same bytes elsewhere.
  void Forget(const std::string& path);
  void Clear();
  // Number of decodes done (cache misses), for tests.
  std::size_t DecodeCount() const;
  // Number of times a file was read (whole, or compared with the bytes kept
  // of it), for tests.
  std::size_t ReadCount() const;
  // Pictures kept, and the bytes they keep.
  std::size_t EntryCount() const;
  std::size_t BytesKept() const;

  // Whether a file whose stamp was taken at `now` (ns since 1970, by
  // md::files::FileClockNow) can be trusted to show its next change in its
  // times: it has settled (md::files::SettlingOf) with no quiet time, its
  // last change kFineTimeLag behind on a file system that keeps fine times,
  // kCoarseTimeLag otherwise; a time of another clock never settles.
  static bool Settled(const md::files::FileStamp& stamp, std::int64_t now);
  // The paths whose last reading is remembered.
  static constexpr std::size_t kPathsKept = 4096;
  // Rasters up to this size share one picture under every path holding
  // their bytes.
  static constexpr std::size_t kSharedRasterBytes = std::size_t{1} << 20;
  // The bytes of unsettled raster readings kept in all; past it a reading's
  // bytes are not kept, and its file is decoded again when it is next read.
  static constexpr std::size_t kUnsettledBytes = std::size_t{64} << 20;

 private:
  // A file's content: its size and SHA-256.
  struct Content {
    std::uint64_t size = 0;
    std::string digest;
    bool operator==(const Content&) const = default;
  };
  // What a picture is kept by: a raster's path, or a metafile's content.
  struct Key {
    std::string path;
    Content content;
    bool operator==(const Key&) const = default;
  };
  struct Picture {
    Key key;
    DecodeResult result;
    std::size_t bytes = 0;
    // A small raster's file bytes, by which another path holding the same
    // bytes shares the picture.
    std::shared_ptr<const std::vector<std::uint8_t>> source;
  };
  // A path's file as last read: its stamp, whether the stamp could show a
  // later change, what the picture is kept by, and the bytes of an
  // unsettled raster reading.
  struct Reading {
    std::string path;
    md::files::FileStamp stamp;
    bool settled = false;
    Key key;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
  };
  std::list<Picture>::iterator Find(const Key& key);
  void Drop(const Key& key);
  void Remember(Reading reading);
  void ForgetReading(std::list<Reading>::iterator it);
  void Trim();

  mutable std::mutex mutex_;
  std::list<Picture> pictures_;  // most recently used first
  std::list<Reading> readings_;  // most recently used first
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::size_t unsettledBytes_ = 0;
  std::size_t decodes_ = 0;
  std::atomic<std::size_t> reads_{0};
};

}  // namespace md::imaging
