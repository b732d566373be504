#include "host/basilo/propertyset_codec.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <type_traits>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/recentring.h"

namespace md::basilo {
namespace {

// Smallest possible entry: type, key length, one key byte, description
// length, one boolean byte.
constexpr std::size_t kMinEntrySize = 1 + 4 + 1 + 4 + 1;

void PutBytes(std::vector<BYTE>& v, const void* p, std::size_t n) {
  const BYTE* b = static_cast<const BYTE*>(p);
  v.insert(v.end(), b, b + n);
}

// A little-endian unsigned integer of sizeof(T) bytes at p (one load on a
// little-endian machine).
template <class T>
T LoadLittle(const BYTE* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) {
    T w = 0;
    for (std::size_t i = 0; i < sizeof v; ++i) w |= static_cast<T>(p[i]) << (8 * i);
    v = w;
  }
  return v;
}

// Writes x little-endian at p.
template <class T>
void StoreLittle(BYTE* p, T x) {
  if constexpr (std::endian::native == std::endian::big) {
    for (std::size_t i = 0; i < sizeof x; ++i) p[i] = static_cast<BYTE>(x >> (8 * i));
  } else {
    std::memcpy(p, &x, sizeof x);
  }
}

// Appends x little-endian.
template <class T>
void PutLittle(std::vector<BYTE>& v, T x) {
  const std::size_t at = v.size();
  v.resize(at + sizeof x);
  StoreLittle(v.data() + at, x);
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
    *x = LoadLittle<std::uint32_t>(data_ + pos_);
    pos_ += 4;
    return true;
  }
  bool U64(std::uint64_t* x) {
    if (Remaining() < 8) return false;
    *x = LoadLittle<std::uint64_t>(data_ + pos_);
    pos_ += 8;
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

std::uint64_t QuickKeyHash(std::string_view key) {
  // Every byte counts, eight at a time, so that keys alike but for their
  // middles still spread.
  const std::size_t n = key.size();
  std::uint64_t h = n * 0x9E3779B97F4A7C15ULL;
  std::size_t at = 0;
  for (; at + 8 <= n; at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, key.data() + at, 8);
    h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
    h ^= h >> 29;
  }
  if (at < n) {
    // The last bytes as the low ones of a word: for a long key the last
    // eight with the bytes already taken shifted out (no call for a copy of
    // a length known only now).
    std::uint64_t word = 0;
    if (n >= 8) {
      std::memcpy(&word, key.data() + n - 8, 8);
      word >>= 8 * (8 - (n - at));
    } else {
      for (std::size_t i = at; i < n; ++i)
        word |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << (8 * (i - at));
    }
    h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
    h ^= h >> 29;
  }
  return h;
}

RepeatedKeyTable::RepeatedKeyTable(std::size_t n) {
  std::size_t slots = 16;
  while (slots < 2 * n) slots *= 2;
  if (slots > kOnStack) {
    heap_.resize(slots);
    table_ = heap_.data();
  }
  std::fill_n(table_, slots, 0u);
  mask_ = slots - 1;
}

namespace {

// The index of the first field whose key an earlier field has; the field
// count when every key differs.
std::size_t FirstRepeatedKey(const std::vector<StoredFieldView>& fields) {
  const std::size_t n = fields.size();
  if (n < 2) return n;
  RepeatedKeyTable table(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (table.FindOrAdd(fields[i].key, i, [&](std::size_t j) { return fields[j].key; }) !=
        RepeatedKeyTable::npos)
      return i;
  }
  return n;
}

}  // namespace

namespace {

// Spare byte vectors of this thread, their capacity kept.
class SpareBytes {
 public:
  static PropertySetEncoder::Body Take() {
    std::vector<PropertySetEncoder::Body>& spare = List();
    if (spare.empty()) return {};
    PropertySetEncoder::Body v = std::move(spare.back());
    spare.pop_back();
    return v;
  }
  static void Give(PropertySetEncoder::Body&& v) {
    std::vector<PropertySetEncoder::Body>& spare = List();
    if (spare.size() >= kKept || v.capacity() > kMaxBytes || v.capacity() == 0) return;
    v.clear();
    spare.push_back(std::move(v));
  }

 private:
  static constexpr std::size_t kKept = 8;
  static constexpr std::size_t kMaxBytes = 64 * 1024;
  static std::vector<PropertySetEncoder::Body>& List() {
    thread_local std::vector<PropertySetEncoder::Body> spare;
    return spare;
  }
};

}  // namespace

PropertySetEncoder::PropertySetEncoder() : body_(SpareBytes::Take()) { body_.resize(kPropertySetHeaderSize); }

PropertySetEncoder::~PropertySetEncoder() { SpareBytes::Give(std::move(body_)); }

namespace {

// Copies n bytes; a short run (most keys and descriptions) by a few loads
// and stores that may overlap, without a call.
inline void CopyBytes(BYTE* to, const void* from, std::size_t n) {
  const auto* src = static_cast<const BYTE*>(from);
  auto copy8 = [&](std::size_t at) {
    std::uint64_t v;
    std::memcpy(&v, src + at, 8);
    std::memcpy(to + at, &v, 8);
  };
  auto copy4 = [&](std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, src + at, 4);
    std::memcpy(to + at, &v, 4);
  };
  if (n > 32) {
    std::memcpy(to, src, n);
  } else if (n >= 16) {
    copy8(0);
    copy8(8);
    copy8(n - 16);
    copy8(n - 8);
  } else if (n >= 8) {
    copy8(0);
    copy8(n - 8);
  } else if (n >= 4) {
    copy4(0);
    copy4(n - 4);
  } else if (n > 0) {
    to[0] = src[0];
    to[n / 2] = src[n / 2];
    to[n - 1] = src[n - 1];
  }
}

// Writes a length-prefixed run at p; the end of what was written.
inline BYTE* PutSized(BYTE* p, const void* data, std::size_t n) {
  StoreLittle(p, static_cast<std::uint32_t>(n));
  CopyBytes(p + 4, data, n);
  return p + 4 + n;
}

}  // namespace

BYTE* PropertySetEncoder::Entry(int type, std::string_view key, std::string_view description,
                                std::size_t value) {
  // The entry's size first, then its bytes written in one go.
  const std::size_t at = body_.size();
  body_.resize(at + 1 + 4 + key.size() + 4 + description.size() + value);
  BYTE* p = body_.data() + at;
  *p++ = static_cast<BYTE>(type);
  p = PutSized(p, key.data(), key.size());
  p = PutSized(p, description.data(), description.size());
  ++count_;
  return p;
}

void PropertySetEncoder::AddInt(std::string_view key, std::string_view description, std::int32_t i) {
  StoreLittle(Entry(GIS_FIELD_TYPE_INT, key, description, 4), static_cast<std::uint32_t>(i));
}

void PropertySetEncoder::AddDouble(std::string_view key, std::string_view description, double d) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  StoreLittle(Entry(GIS_FIELD_TYPE_DOUBLE, key, description, 8), bits);
}

void PropertySetEncoder::AddBool(std::string_view key, std::string_view description, bool b) {
  *Entry(GIS_FIELD_TYPE_BOOL, key, description, 1) = b ? 1 : 0;
}

void PropertySetEncoder::AddString(std::string_view key, std::string_view description,
                                   std::string_view text) {
  PutSized(Entry(GIS_FIELD_TYPE_STRING, key, description, 4 + text.size()), text.data(), text.size());
}

void PropertySetEncoder::AddBytes(std::string_view key, std::string_view description,
                                  std::span<const BYTE> bytes) {
  PutSized(Entry(GIS_FIELD_TYPE_BUFFER, key, description, 4 + bytes.size()), bytes.data(), bytes.size());
}

void PropertySetEncoder::Add(int type, std::string_view key, std::string_view description, std::int32_t i,
                             double d, bool b, std::string_view text, std::span<const BYTE> bytes) {
  switch (type) {
    case GIS_FIELD_TYPE_INT:
      AddInt(key, description, i);
      break;
    case GIS_FIELD_TYPE_DOUBLE:
      AddDouble(key, description, d);
      break;
    case GIS_FIELD_TYPE_STRING:
      AddString(key, description, text);
      break;
    case GIS_FIELD_TYPE_BUFFER:
      AddBytes(key, description, bytes);
      break;
    case GIS_FIELD_TYPE_BOOL:
      AddBool(key, description, b);
      break;
    default:
      Entry(type, key, description, 0);
      break;
  }
}

std::size_t PropertySetEncoder::OpenBytes(std::string_view key, std::string_view description) {
  Entry(GIS_FIELD_TYPE_BUFFER, key, description, 4);
  --count_;             // counted at CloseBytes
  return body_.size();  // the value's length (4 bytes) goes before this
}

void PropertySetEncoder::CloseBytes(std::size_t at) {
  StoreLittle(body_.data() + at - 4, static_cast<std::uint32_t>(body_.size() - at));
  ++count_;
}

bool PropertySetEncoder::Fits(std::string* error) const {
  if (body_.size() > static_cast<std::size_t>(INT_MAX) || count_ > UINT32_MAX) {
    *error = "set too large to store";
    return false;
  }
  return true;
}

std::span<const BYTE> PropertySetEncoder::Finished(std::string* error) {
  if (!Fits(error)) return {};
  BYTE* p = body_.data();
  std::memcpy(p, kPropertySetMagic, 4);
  StoreLittle<std::uint16_t>(p + 4, kPropertySetVersion);
  StoreLittle<std::uint16_t>(p + 6, 0);  // flags
  StoreLittle(p + 8, static_cast<std::uint32_t>(count_));
  StoreLittle(p + 12, static_cast<std::uint32_t>(body_.size() - kPropertySetHeaderSize));
  return std::span<const BYTE>(body_.data(), body_.size());
}

bool PropertySetEncoder::Finish(std::vector<BYTE>* out, std::string* error) const {
  if (!Fits(error)) return false;
  out->clear();
  out->reserve(body_.size());
  PutBytes(*out, kPropertySetMagic, 4);
  PutLittle<std::uint16_t>(*out, kPropertySetVersion);
  PutLittle<std::uint16_t>(*out, 0);  // flags
  PutLittle(*out, static_cast<std::uint32_t>(count_));
  PutLittle(*out, static_cast<std::uint32_t>(body_.size() - kPropertySetHeaderSize));
  out->insert(out->end(), body_.begin() + kPropertySetHeaderSize, body_.end());
  return true;
}

namespace {

bool DecodeChecked(const BYTE* data, std::size_t size, std::vector<StoredFieldView>* out,
                   std::string* error) {
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
  // Decoded into the caller's storage (its capacity reused), handed back
  // only when the whole set is sound.
  std::vector<StoredFieldView> fields;
  fields.swap(*out);
  fields.clear();
  fields.reserve(count);
  // The reason for field n; made only when the field is refused.
  auto fail = [&](std::uint32_t n, const std::string& what) {
    *error = "field " + std::to_string(n) + ": " + what;
    return false;
  };
  auto text = [](const BYTE* p, std::size_t n) {
    return std::string_view(reinterpret_cast<const char*>(p), n);
  };
  for (std::uint32_t n = 0; n < count; ++n) {
    StoredFieldView f;
    std::uint8_t type = 0;
    const BYTE* p = nullptr;
    std::size_t len = 0;
    if (!r.U8(&type)) return fail(n, "truncated");
    f.type = type;
    if (!::IsValueTypeCode(f.type)) return fail(n, "unknown type code " + std::to_string(type));
    if (!r.Sized(&p, &len)) return fail(n, "truncated key");
    if (len == 0 || HasNul(p, len)) return fail(n, "empty or malformed key");
    f.key = text(p, len);
    if (!r.Sized(&p, &len)) return fail(n, "truncated description");
    if (HasNul(p, len)) return fail(n, "malformed description");
    f.description = text(p, len);
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
        if (ok && HasNul(p, len)) return fail(n, "malformed text");
        if (ok) f.text = text(p, len);
        break;
      case GIS_FIELD_TYPE_BUFFER:
        ok = r.Sized(&p, &len);
        if (ok) f.bytes = std::span<const BYTE>(p, len);
        break;
      case GIS_FIELD_TYPE_BOOL: {
        std::uint8_t v = 0;
        ok = r.U8(&v);
        if (ok && v > 1) return fail(n, "malformed boolean");
        f.boolValue = v != 0;
        break;
      }
      default:
        break;
    }
    if (!ok) return fail(n, "truncated value");
    fields.push_back(f);
  }
  if (r.Remaining() != 0) {
    *error = "unused bytes inside the set";
    return false;
  }
  // Keys are unique: each key goes into an open-addressed table of field
  // indices by its hash, where a repeat meets its first field (the first
  // field that repeats an earlier key is named).
  if (const std::size_t repeat = FirstRepeatedKey(fields); repeat < fields.size())
    return fail(static_cast<std::uint32_t>(repeat), "duplicate key " + std::string(fields[repeat].key));
  out->swap(fields);
  return true;
}

// The last few sets decoded on this thread, byte for byte, with their fields
// pointing into the kept copy of the bytes: the same set stored and read back
// (an element's set, the nested sets inside it) is then checked and split
// only once. A set found again is handed out shared, or its kept fields are
// moved onto the caller's bytes.
class RecentSets {
 public:
  // The kept set equal to [data, data + size); NULL when there is none.
  const std::shared_ptr<DecodedPropertySet>* Find(const BYTE* data, std::size_t size) const {
    if (size > kMaxBytes) return nullptr;
    // The newest first: a set is mostly read back soon after it was stored.
    const auto* e = sets_.FindNewest([data, size](const std::shared_ptr<DecodedPropertySet>& set) {
      return set != nullptr && set->bytes.size() == size && std::memcmp(set->bytes.data(), data, size) == 0;
    });
    return e != nullptr ? &e->key : nullptr;
  }
  // Keeps the set and its decoded fields (pointing into data), in place of
  // the oldest one kept; the kept set (NULL when it is too large to keep).
  const std::shared_ptr<DecodedPropertySet>* Keep(const BYTE* data, std::size_t size,
                                                  const std::vector<StoredFieldView>& fields) {
    if (size > kMaxBytes) return nullptr;
    std::shared_ptr<DecodedPropertySet>& set = sets_.Renew().key;
    // A set nobody else holds any more is written over in place.
    if (set == nullptr || set.use_count() > 1) set = std::make_shared<DecodedPropertySet>();
    set->bytes.assign(data, data + size);
    Relocate(fields, data, set->bytes.data(), &set->fields);
    return &set;
  }

  // The fields pointing into the bytes at from, moved to point into the same
  // bytes at to.
  static void Relocate(const std::vector<StoredFieldView>& fields, const BYTE* from, const BYTE* to,
                       std::vector<StoredFieldView>* out) {
    const std::uintptr_t a = reinterpret_cast<std::uintptr_t>(from);
    const std::uintptr_t b = reinterpret_cast<std::uintptr_t>(to);
    auto move = [a, b](const auto* p) {
      using T = std::remove_cv_t<std::remove_pointer_t<decltype(p)>>;
      return reinterpret_cast<const T*>(reinterpret_cast<std::uintptr_t>(p) - a + b);
    };
    out->assign(fields.begin(), fields.end());
    for (StoredFieldView& f : *out) {
      f.key = std::string_view(move(f.key.data()), f.key.size());
      f.description = std::string_view(move(f.description.data()), f.description.size());
      // Only a text or a buffer field has its value in the bytes.
      if (f.type == GIS_FIELD_TYPE_STRING) f.text = std::string_view(move(f.text.data()), f.text.size());
      if (f.type == GIS_FIELD_TYPE_BUFFER)
        f.bytes = std::span<const BYTE>(move(f.bytes.data()), f.bytes.size());
    }
  }

 private:
  static constexpr std::size_t kEntries = 16;
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  // Each kept set, its bytes and its fields pointing into them.
  struct Unused {};
  RecentRing<std::shared_ptr<DecodedPropertySet>, Unused, kEntries> sets_;
};

// Past this many stored bytes a field on average, a set is not kept.
constexpr std::size_t kKeptBytesPerField = 256;

// A set whose fields are large for their number (a list of nested sets) is
// split faster than it is compared and kept: only smaller sets are kept.
bool WorthKeeping(const BYTE* data, std::size_t size) {
  return data != nullptr && size >= kPropertySetHeaderSize &&
         size <= kKeptBytesPerField * std::max<std::size_t>(1, LoadLittle<std::uint32_t>(data + 8));
}

RecentSets& Recent() {
  thread_local RecentSets recent;
  return recent;
}

}  // namespace

bool DecodePropertySetViews(const BYTE* data, std::size_t size, std::vector<StoredFieldView>* out,
                            std::string* error) {
  out->clear();
  if (size == 0) return true;
  const bool worthKeeping = WorthKeeping(data, size);
  RecentSets* recent = worthKeeping ? &Recent() : nullptr;
  if (recent != nullptr) {
    if (const auto* kept = recent->Find(data, size)) {
      RecentSets::Relocate((*kept)->fields, (*kept)->bytes.data(), data, out);
      return true;
    }
  }
  if (!DecodeChecked(data, size, out, error)) return false;
  if (recent != nullptr) recent->Keep(data, size, *out);
  return true;
}

bool DecodePropertySetShared(const BYTE* data, std::size_t size, std::vector<StoredFieldView>* out,
                             std::shared_ptr<const DecodedPropertySet>* shared, std::string* error) {
  out->clear();
  shared->reset();
  if (size == 0) return true;
  const bool worthKeeping = WorthKeeping(data, size);
  RecentSets* recent = worthKeeping ? &Recent() : nullptr;
  if (recent != nullptr) {
    if (const auto* kept = recent->Find(data, size)) {
      *shared = *kept;
      return true;
    }
  }
  if (!DecodeChecked(data, size, out, error)) return false;
  if (recent != nullptr) {
    if (const auto* kept = recent->Keep(data, size, *out)) {
      *shared = *kept;
      out->clear();
    }
  }
  return true;
}

bool DecodePropertySet(const BYTE* data, std::size_t size, std::vector<StoredField>* out,
                       std::string* error) {
  out->clear();
  std::vector<StoredFieldView> views;
  if (!DecodePropertySetViews(data, size, &views, error)) return false;
  std::vector<StoredField> fields(views.size());
  for (std::size_t i = 0; i < views.size(); ++i) {
    const StoredFieldView& v = views[i];
    StoredField& f = fields[i];
    f.type = v.type;
    f.key.assign(v.key);
    f.description.assign(v.description);
    f.intValue = v.intValue;
    f.doubleValue = v.doubleValue;
    f.boolValue = v.boolValue;
    f.text.assign(v.text);
    f.bytes.assign(v.bytes.begin(), v.bytes.end());
  }
  *out = std::move(fields);
  return true;
}

}  // namespace md::basilo
