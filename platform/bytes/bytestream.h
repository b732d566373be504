// Little-endian byte writer and a bounds-checked reader for stored images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace md::bytes {

class ByteWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U16(std::uint16_t v) { Unsigned(v, 2); }
  void U32(std::uint32_t v) { Unsigned(v, 4); }
  void I32(std::int32_t v) { Unsigned(static_cast<std::uint32_t>(v), 4); }
  void F64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Unsigned(bits, 8);
  }
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (size != 0) bytes_.insert(bytes_.end(), p, p + size);
  }
  // A 32-bit length followed by the bytes.
  void Blob(const void* data, std::size_t size) {
    U32(static_cast<std::uint32_t>(size));
    Bytes(data, size);
  }
  void String(const std::string& s) { Blob(s.data(), s.size()); }

  std::vector<std::uint8_t>& bytes() { return bytes_; }

 private:
  void Unsigned(std::uint64_t v, int count) {
    std::uint8_t le[8];
    for (int i = 0; i < count; ++i) le[i] = static_cast<std::uint8_t>(v >> (8 * i));
    bytes_.insert(bytes_.end(), le, le + count);
  }
  std::vector<std::uint8_t> bytes_;
};

// Every read checks the remaining length first; after the first failure all
// further reads fail too, so a parser may test ok() once per record.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  std::size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  std::size_t position() const { return pos_; }

  bool U8(std::uint8_t* v) {
    if (!Need(1)) return false;
    *v = data_[pos_++];
    return true;
  }
  bool U16(std::uint16_t* v) {
    std::uint64_t u;
    if (!Unsigned(2, &u)) return false;
    *v = static_cast<std::uint16_t>(u);
    return true;
  }
  bool U32(std::uint32_t* v) {
    std::uint64_t u;
    if (!Unsigned(4, &u)) return false;
    *v = static_cast<std::uint32_t>(u);
    return true;
  }
  bool I32(std::int32_t* v) {
    std::uint32_t u;
    if (!U32(&u)) return false;
    *v = static_cast<std::int32_t>(u);
    return true;
  }
  bool F64(double* v) {
    std::uint64_t u;
    if (!Unsigned(8, &u)) return false;
    std::memcpy(v, &u, sizeof u);
    return true;
  }
  // A view of the next size bytes (no copy).
  bool Span(std::size_t size, const std::uint8_t** out) {
    if (!Need(size)) return false;
    *out = data_ + pos_;
    pos_ += size;
    return true;
  }
  // A 32-bit length, then that many bytes; refused when longer than limit.
  bool Blob(std::size_t limit, const std::uint8_t** out, std::size_t* size) {
    std::uint32_t n;
    if (!U32(&n)) return false;
    if (n > limit) return Fail();
    *size = n;
    return Span(n, out);
  }
  bool Fail() {
    ok_ = false;
    return false;
  }

 private:
  bool Need(std::size_t n) {
    if (!ok_ || n > size_ - pos_) return Fail();
    return true;
  }
  bool Unsigned(int count, std::uint64_t* v) {
    if (!Need(static_cast<std::size_t>(count))) return false;
    std::uint64_t u = 0;
    for (int i = 0; i < count; ++i) u |= static_cast<std::uint64_t>(data_[pos_ + i]) << (8 * i);
    pos_ += static_cast<std::size_t>(count);
    *v = u;
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// CRC-32 (IEEE 802.3, reflected, as zlib computes it).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

// The CRC-32 of more bytes after those `crc` covers.
std::uint32_t Crc32More(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

// The CRC-32 of A followed by B from the CRC-32s of A and of B (B of
// `sizeB` bytes), without the bytes themselves.
std::uint32_t Crc32Combine(std::uint32_t crcA, std::uint32_t crcB, std::uint64_t sizeB);

}  // namespace md::bytes
