// Loading pictures from files, and the process-wide cache of decoded
// pictures: a file is decoded again only when its path, size or
// modification time changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <vector>

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

  // The decoded picture of the file, from the cache when the file's path,
  // size and modification time match an entry; a refused file keeps its
  // reason the same way (but for a metafile deferred or past its time,
  // which the next drawing tries again). The least recently used pictures leave when the
  // pixels kept pass the capacity.
  DecodeResult Load(const std::string& path);

  // Drops the entry of the path (its file is gone).
  void Forget(const std::string& path);
  void Clear();
  // Number of decodes done (cache misses), for tests.
  std::size_t DecodeCount() const;
  std::size_t EntryCount() const;
  std::size_t BytesKept() const;

 private:
  struct Entry {
    std::string path;
    long long size = 0;
    long long mtimeNs = 0;
    DecodeResult result;
    std::size_t bytes = 0;
  };
  void Trim();

  mutable std::mutex mutex_;
  std::list<Entry> entries_;  // most recently used first
  std::size_t capacity_;
  std::size_t bytes_ = 0;
  std::size_t decodes_ = 0;
};

}  // namespace md::imaging
