// Little-endian byte writer and bounds-checked reader for the stored forms of
// symbols and text styles. The reader never reads past its end: every get
// reports failure instead, and a failed reader stays failed.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/basilo/unsetgrowth.h"

namespace md::glyphor {

using basilo::UnsetGrowthAllocator;

// The values both writers put, each through the writer's own Little (an
// unsigned value, least significant byte first) and Bytes.
template <class W>
class ValueWriter {
 public:
  void U16(std::uint16_t v) { Self().Little(v); }
  void U32(std::uint32_t v) { Self().Little(v); }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F64(double v) { Self().Little(std::bit_cast<std::uint64_t>(v)); }
  // A string as a 32-bit byte count and the bytes (no terminator).
  void Str(std::string_view s) {
    U32(static_cast<std::uint32_t>(s.size()));
    Self().Bytes(s.data(), s.size());
  }

 private:
  W& Self() { return static_cast<W&>(*this); }
};

class Writer : public ValueWriter<Writer> {
 public:
  // Room for a symbol's or a style's stored form without growing; the
  // storage is taken from and given back to a few kept by the thread.
  Writer() : out_(TakeSpare()) { out_.reserve(192); }
  ~Writer() { GiveSpare(std::move(out_)); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  void U8(std::uint8_t v) { out_.push_back(v); }
  void Bytes(const void* p, std::size_t n) {
    if (n == 0) return;
    const std::size_t at = out_.size();
    out_.resize(at + n);
    std::memcpy(out_.data() + at, p, n);
  }
  // Patches a 32-bit value written earlier at `offset`.
  void PatchU32(std::size_t offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
  }
  std::size_t Size() const { return out_.size(); }
  using Buffer = std::vector<std::uint8_t, UnsetGrowthAllocator<std::uint8_t>>;
  const Buffer& Data() const { return out_; }

 private:
  friend class ValueWriter<Writer>;
  template <class T>
  void Little(T v) {
    std::uint8_t b[sizeof v];
    for (std::size_t i = 0; i < sizeof v; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    Bytes(b, sizeof b);
  }
  static std::vector<Buffer>& Spare() {
    thread_local std::vector<Buffer> spare;
    return spare;
  }
  static Buffer TakeSpare() {
    std::vector<Buffer>& spare = Spare();
    if (spare.empty()) return {};
    Buffer v = std::move(spare.back());
    spare.pop_back();
    return v;
  }
  static void GiveSpare(Buffer&& v) {
    std::vector<Buffer>& spare = Spare();
    if (spare.size() >= 8 || v.capacity() == 0 || v.capacity() > 64 * 1024) return;
    v.clear();
    spare.push_back(std::move(v));
  }
  Buffer out_;
};

// Writes what a Writer would into room sized ahead: a counting pass
// (ByteCounter) sizes the room, then a SizedWriter writes exactly that
// many bytes there, each value one store with no check of room.
template <bool kWrite>
class SizedWriterOf : public ValueWriter<SizedWriterOf<kWrite>> {
 public:
  SizedWriterOf() requires(!kWrite) = default;
  explicit SizedWriterOf(std::uint8_t* out) requires(kWrite) : out_(out) {}
  void U8(std::uint8_t v) { Put(&v, 1); }
  void Bytes(const void* p, std::size_t n) { Put(p, n); }
  void PatchU32(std::size_t offset, std::uint32_t v) {
    if constexpr (kWrite) {
      for (int i = 0; i < 4; ++i) out_[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
    }
  }
  std::size_t Size() const { return n_; }

 private:
  friend class ValueWriter<SizedWriterOf<kWrite>>;
  void Put(const void* p, std::size_t n) {
    if constexpr (kWrite) {
      if (n > 0) std::memcpy(out_ + n_, p, n);
    }
    n_ += n;
  }
  template <class T>
  void Little(T v) {
    if constexpr (kWrite) {
      std::uint8_t* b = out_ + n_;
      if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(b, &v, sizeof v);
      } else {
        for (std::size_t i = 0; i < sizeof v; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
      }
    }
    n_ += sizeof v;
  }
  std::uint8_t* out_ = nullptr;
  std::size_t n_ = 0;
};
using ByteCounter = SizedWriterOf<false>;
using SizedWriter = SizedWriterOf<true>;

class Reader {
 public:
  Reader(const void* data, std::size_t size)
      : p_(static_cast<const std::uint8_t*>(data)), n_(data ? size : 0) {}

  bool Ok() const { return ok_; }
  std::size_t Remaining() const { return ok_ ? n_ - pos_ : 0; }
  std::size_t Position() const { return pos_; }

  bool U8(std::uint8_t& v) {
    if (!Need(1)) return false;
    v = p_[pos_++];
    return true;
  }
  bool U16(std::uint16_t& v) {
    if (!Need(2)) return false;
    v = static_cast<std::uint16_t>(p_[pos_] | (p_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (!Need(4)) return false;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&v, p_ + pos_, sizeof v);
    } else {
      v = static_cast<std::uint32_t>(p_[pos_]) | static_cast<std::uint32_t>(p_[pos_ + 1]) << 8 |
          static_cast<std::uint32_t>(p_[pos_ + 2]) << 16 | static_cast<std::uint32_t>(p_[pos_ + 3]) << 24;
    }
    pos_ += 4;
    return true;
  }
  bool I32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!U32(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  // Reads a double and refuses NaN and infinities.
  bool F64(double& v) {
    if (!Need(8)) return false;
    std::uint64_t bits = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&bits, p_ + pos_, sizeof bits);
    } else {
      for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(p_[pos_ + i]) << (8 * i);
    }
    pos_ += 8;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) return Fail();
    return true;
  }
  bool Bytes(void* out, std::size_t n) {
    if (!Need(n)) return false;
    std::memcpy(out, p_ + pos_, n);
    pos_ += n;
    return true;
  }
  // A string written by Writer::Str, at most `maxBytes` long.
  bool Str(std::string& s, std::size_t maxBytes) {
    std::uint32_t n = 0;
    if (!U32(n)) return false;
    if (n > maxBytes || !Need(n)) return Fail();
    s.assign(reinterpret_cast<const char*>(p_ + pos_), n);
    pos_ += n;
    return true;
  }
  bool Skip(std::size_t n) {
    if (!Need(n)) return false;
    pos_ += n;
    return true;
  }
  bool Fail() {
    ok_ = false;
    return false;
  }

 private:
  bool Need(std::size_t k) {
    if (!ok_ || k > n_ - pos_) return Fail();
    return true;
  }
  const std::uint8_t* p_;
  std::size_t n_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace md::glyphor
