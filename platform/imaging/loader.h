// Loading pictures from files, and the process-wide cache of decoded
// pictures, kept by the files' content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
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

  // The decoded picture of the file, kept by the file's content: the same
  // bytes, under any path, are decoded once, and a file that changes is
  // decoded again. A path's file is read again (not decoded) unless its
  // device, inode, size, modification and change times are those of its
  // last reading and its last change lay kSettledSeconds or more before that
  // reading, when a later change would show in its times. A refused file
  // keeps its reason the same way (but for a metafile deferred or past its
  // time, which the next drawing tries again); a file that cannot be read
  // is not kept. The least recently used pictures leave when what they keep
  // (pixels, a metafile's drawing, a refusal's text) passes the capacity.
  DecodeResult Load(const std::string& path);

  // Drops what is known of the path's file (it is gone); its picture stays
  // for the same bytes elsewhere.
  void Forget(const std::string& path);
  void Clear();
  // Number of decodes done (cache misses), for tests.
  std::size_t DecodeCount() const;
  // Pictures kept, and the bytes they keep.
  std::size_t EntryCount() const;
  std::size_t BytesKept() const;

  // How long after a file's last change its times are trusted to show the
  // next one (file systems keep times in coarse steps, some in seconds).
  static constexpr int kSettledSeconds = 2;
  // The paths whose last reading is remembered.
  static constexpr std::size_t kPathsKept = 4096;

 private:
  // A file's content: its size and SHA-256.
  struct Content {
    std::uint64_t size = 0;
    std::string digest;
    bool operator==(const Content&) const = default;
  };
  struct Picture {
    Content content;
    DecodeResult result;
    std::size_t bytes = 0;
  };
  // A path's file as last read: its stamp, whether the stamp could show a
  // later change, and the content read.
  struct Reading {
    std::string path;
    md::files::FileStamp stamp;
    bool settled = false;
    Content content;
  };
  std::list<Picture>::iterator Find(const Content& content);
  void Remember(Reading reading);
  void Trim();

  mutable std::mutex mutex_;
  std::list<Picture> pictures_;  // most recently used first
  std::list<Reading> readings_;  // most recently used first
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::size_t decodes_ = 0;
};

}  // namespace md::imaging
