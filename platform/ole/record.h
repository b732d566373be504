// The little records kept in an object's own streams ("Link", "Static",
// "View"): little-endian integers and counted byte strings, read with every
// length checked against what is left; and the text checks and measures the
// objects share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace md::ole::detail {

class RecordWriter {
 public:
  void U8(std::uint8_t v) { bytes_.push_back(v); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  // A string as its byte count and its bytes.
  void Text(const std::string& s) {
    U32(static_cast<std::uint32_t>(s.size()));
    Bytes(s.data(), s.size());
  }
  std::vector<std::uint8_t>& Result() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

class RecordReader {
 public:
  explicit RecordReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  bool U8(std::uint8_t* v) {
    if (Left() < 1) return false;
    *v = bytes_[at_++];
    return true;
  }
  bool U32(std::uint32_t* v) {
    if (Left() < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<std::uint32_t>(bytes_[at_ + i]) << (8 * i);
    at_ += 4;
    return true;
  }
  bool Bytes(void* p, std::size_t n) {
    if (Left() < n) return false;
    for (std::size_t i = 0; i < n; ++i) static_cast<std::uint8_t*>(p)[i] = bytes_[at_ + i];
    at_ += n;
    return true;
  }
  // A counted string of at most nMax bytes.
  bool Text(std::string* s, std::uint32_t nMax) {
    std::uint32_t n = 0;
    if (!U32(&n) || n > nMax || Left() < n) return false;
    s->assign(reinterpret_cast<const char*>(bytes_.data() + at_), n);
    at_ += n;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::size_t Left() const { return bytes_.size() - at_; }
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_ = 0;
};

// Strict UTF-8: no overlong forms, no surrogates, at most U+10FFFF.
bool IsValidUtf8(const std::string& s);

// Width of a line of text in ems: a narrow character half an em, a wide
// (CJK) one a whole em.
double TextEms(const std::string& line);

}  // namespace md::ole::detail
