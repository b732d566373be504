#include "host/basilo/propertyset_codec.h"

#include <climits>
#include <cstring>
#include <unordered_set>

#include "host/basilo/cgis_propertyset.h"

namespace md::basilo {
namespace {

// Smallest possible entry: type, key length, one key byte, description
// length, one boolean byte.
constexpr std::size_t kMinEntrySize = 1 + 4 + 1 + 4 + 1;

void PutU8(std::vector<BYTE>& v, std::uint8_t x) { v.push_back(x); }
void PutU16(std::vector<BYTE>& v, std::uint16_t x) {
  v.push_back(static_cast<BYTE>(x & 0xFF));
  v.push_back(static_cast<BYTE>(x >> 8));
}
void PutU32(std::vector<BYTE>& v, std::uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<BYTE>((x >> (8 * i)) & 0xFF));
}
void PutU64(std::vector<BYTE>& v, std::uint64_t x) {
  for (int i = 0; i < 8; ++i) v.push_back(static_cast<BYTE>((x >> (8 * i)) & 0xFF));
}
void PutBytes(std::vector<BYTE>& v, const void* p, std::size_t n) {
  const BYTE* b = static_cast<const BYTE*>(p);
  v.insert(v.end(), b, b + n);
}
void PutSized(std::vector<BYTE>& v, const void* p, std::size_t n) {
  PutU32(v, static_cast<std::uint32_t>(n));
  PutBytes(v, p, n);
}

// A cursor over [data, data + size) whose reads fail instead of overrunning.
class Reader {
 public:
  Reader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return size_ - pos_; }

  bool U8(std::uint8_t* x) {
    if (Remaining() < 1) return false;
    *x = data_[pos_++];
    return true;
  }
  bool U16(std::uint16_t* x) {
    if (Remaining() < 2) return false;
    *x = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t* x) {
    if (Remaining() < 4) return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data_[pos_ + i]) << (8 * i);
    pos_ += 4;
    *x = v;
    return true;
  }
  bool U64(std::uint64_t* x) {
    if (Remaining() < 8) return false;
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(data_[pos_ + i]) << (8 * i);
    pos_ += 8;
    *x = v;
    return true;
  }
  // A length-prefixed run of bytes; the length is checked against what is
  // left before anything is allocated.
  bool Sized(const BYTE** p, std::size_t* n) {
    std::uint32_t len = 0;
    if (!U32(&len)) return false;
    if (len > Remaining()) return false;
    *p = data_ + pos_;
    *n = len;
    pos_ += len;
    return true;
  }

 private:
  const BYTE* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

bool HasNul(const BYTE* p, std::size_t n) { return n > 0 && std::memchr(p, 0, n) != nullptr; }

}  // namespace

void PropertySetEncoder::Add(int type, const std::string& key, const std::string& description, std::int32_t i,
                             double d, bool b, const std::string& text, const std::vector<BYTE>& bytes) {
  PutU8(body_, static_cast<std::uint8_t>(type));
  PutSized(body_, key.data(), key.size());
  PutSized(body_, description.data(), description.size());
  switch (type) {
    case GIS_FIELD_TYPE_INT:
      PutU32(body_, static_cast<std::uint32_t>(i));
      break;
    case GIS_FIELD_TYPE_DOUBLE: {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &d, sizeof bits);
      PutU64(body_, bits);
      break;
    }
    case GIS_FIELD_TYPE_STRING:
      PutSized(body_, text.data(), text.size());
      break;
    case GIS_FIELD_TYPE_BUFFER:
      PutSized(body_, bytes.data(), bytes.size());
      break;
    case GIS_FIELD_TYPE_BOOL:
      PutU8(body_, b ? 1 : 0);
      break;
    default:
      break;
  }
  ++count_;
}

bool PropertySetEncoder::Finish(std::vector<BYTE>* out, std::string* error) const {
  if (body_.size() > static_cast<std::size_t>(INT_MAX) - kPropertySetHeaderSize || count_ > UINT32_MAX) {
    *error = "set too large to store";
    return false;
  }
  out->clear();
  out->reserve(kPropertySetHeaderSize + body_.size());
  PutBytes(*out, kPropertySetMagic, 4);
  PutU16(*out, kPropertySetVersion);
  PutU16(*out, 0);  // flags
  PutU32(*out, static_cast<std::uint32_t>(count_));
  PutU32(*out, static_cast<std::uint32_t>(body_.size()));
  out->insert(out->end(), body_.begin(), body_.end());
  return true;
}

bool DecodePropertySet(const BYTE* data, std::size_t size, std::vector<StoredField>* out,
                       std::string* error) {
  out->clear();
  if (size == 0) return true;
  if (data == nullptr || size < kPropertySetHeaderSize) {
    *error = "truncated header";
    return false;
  }
  if (std::memcmp(data, kPropertySetMagic, 4) != 0) {
    *error = "not a stored property set";
    return false;
  }
  Reader header(data + 4, kPropertySetHeaderSize - 4);
  std::uint16_t version = 0, flags = 0;
  std::uint32_t count = 0, bodySize = 0;
  header.U16(&version);
  header.U16(&flags);
  header.U32(&count);
  header.U32(&bodySize);
  if (version != kPropertySetVersion) {
    *error = "unsupported version " + std::to_string(version);
    return false;
  }
  if (flags != 0) {
    *error = "unknown flags";
    return false;
  }
  if (bodySize > size - kPropertySetHeaderSize) {
    *error = "truncated: the set needs " + std::to_string(bodySize) + " bytes, " +
             std::to_string(size - kPropertySetHeaderSize) + " present";
    return false;
  }
  if (count > bodySize / kMinEntrySize) {
    *error = "field count " + std::to_string(count) + " exceeds the stored bytes";
    return false;
  }

  Reader r(data + kPropertySetHeaderSize, bodySize);
  std::vector<StoredField> fields;
  fields.reserve(count);
  std::unordered_set<std::string> seen;
  for (std::uint32_t n = 0; n < count; ++n) {
    const std::string where = "field " + std::to_string(n) + ": ";
    StoredField f;
    std::uint8_t type = 0;
    const BYTE* p = nullptr;
    std::size_t len = 0;
    if (!r.U8(&type)) {
      *error = where + "truncated";
      return false;
    }
    f.type = type;
    if (!::IsValueTypeCode(f.type)) {
      *error = where + "unknown type code " + std::to_string(type);
      return false;
    }
    if (!r.Sized(&p, &len)) {
      *error = where + "truncated key";
      return false;
    }
    if (len == 0 || HasNul(p, len)) {
      *error = where + "empty or malformed key";
      return false;
    }
    f.key.assign(reinterpret_cast<const char*>(p), len);
    if (!r.Sized(&p, &len)) {
      *error = where + "truncated description";
      return false;
    }
    if (HasNul(p, len)) {
      *error = where + "malformed description";
      return false;
    }
    f.description.assign(reinterpret_cast<const char*>(p), len);
    bool ok = true;
    switch (f.type) {
      case GIS_FIELD_TYPE_INT: {
        std::uint32_t v = 0;
        ok = r.U32(&v);
        f.intValue = static_cast<std::int32_t>(v);
        break;
      }
      case GIS_FIELD_TYPE_DOUBLE: {
        std::uint64_t bits = 0;
        ok = r.U64(&bits);
        std::memcpy(&f.doubleValue, &bits, sizeof bits);
        break;
      }
      case GIS_FIELD_TYPE_STRING:
        ok = r.Sized(&p, &len);
        if (ok && HasNul(p, len)) {
          *error = where + "malformed text";
          return false;
        }
        if (ok) f.text.assign(reinterpret_cast<const char*>(p), len);
        break;
      case GIS_FIELD_TYPE_BUFFER:
        ok = r.Sized(&p, &len);
        if (ok) f.bytes.assign(p, p + len);
        break;
      case GIS_FIELD_TYPE_BOOL: {
        std::uint8_t v = 0;
        ok = r.U8(&v);
        if (ok && v > 1) {
          *error = where + "malformed boolean";
          return false;
        }
        f.boolValue = v != 0;
        break;
      }
      default:
        break;
    }
    if (!ok) {
      *error = where + "truncated value";
      return false;
    }
    if (!seen.insert(f.key).second) {
      *error = where + "duplicate key " + f.key;
      return false;
    }
    fields.push_back(std::move(f));
  }
  if (r.Remaining() != 0) {
    *error = "unused bytes inside the set";
    return false;
  }
  *out = std::move(fields);
  return true;
}

}  // namespace md::basilo
