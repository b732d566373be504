// Stored form of a property set (see FORMAT.md): encoding and a bounds-checked
// decoder that never reads past its input and allocates at most in
// proportion to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/basilo/unsetgrowth.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;

namespace md::basilo {

constexpr BYTE kPropertySetMagic[4] = {'M', 'D', 'P', 'S'};
constexpr std::uint16_t kPropertySetVersion = 1;
constexpr std::size_t kPropertySetHeaderSize = 16;

struct StoredField {
  int type = 0;
  std::string key;
  std::string description;
  std::int32_t intValue = 0;
  double doubleValue = 0.0;
  bool boolValue = false;
  std::string text;
  std::vector<BYTE> bytes;
};

// One stored field read in place: its texts and bytes point into the
// decoded buffer, which must outlive the view.
struct StoredFieldView {
  int type = 0;
  std::string_view key;
  std::string_view description;
  std::int32_t intValue = 0;
  double doubleValue = 0.0;
  bool boolValue = false;
  std::string_view text;
  std::span<const BYTE> bytes;
};

// A stored field's value as IGIS_Field's getters give it, whatever its type.
std::int32_t StoredInt(const StoredFieldView& f);
bool StoredBool(const StoredFieldView& f);

// Appends one field to an encoded body. The body's storage is taken from
// and given back to a small per-thread pool, so that a set written now and
// then allocates nothing once the pool is warm.
class PropertySetEncoder {
 public:
  PropertySetEncoder();
  ~PropertySetEncoder();
  PropertySetEncoder(const PropertySetEncoder&) = delete;
  PropertySetEncoder& operator=(const PropertySetEncoder&) = delete;

  // Room for a body of about `bytes` bytes.
  void Reserve(std::size_t bytes) { body_.reserve(kPropertySetHeaderSize + bytes); }
  void Add(int type, std::string_view key, std::string_view description, std::int32_t i, double d, bool b,
           std::string_view text, std::span<const BYTE> bytes);
  // The same for a field of each type.
  void AddInt(std::string_view key, std::string_view description, std::int32_t i);
  void AddDouble(std::string_view key, std::string_view description, double d);
  void AddBool(std::string_view key, std::string_view description, bool b);
  void AddString(std::string_view key, std::string_view description, std::string_view text);
  void AddBytes(std::string_view key, std::string_view description, std::span<const BYTE> bytes);
  // A buffer field whose value is written in place: OpenBytes adds the
  // field's key and description and answers where its value starts; the
  // value is then the bytes from there on (sized with ResizeOpen) until
  // CloseBytes. No other field is added in between.
  std::size_t OpenBytes(std::string_view key, std::string_view description);
  std::size_t OpenSize(std::size_t at) const { return body_.size() - at; }
  BYTE* OpenData(std::size_t at) { return body_.data() + at; }
  void ResizeOpen(std::size_t at, std::size_t n) { body_.resize(at + n); }
  void CloseBytes(std::size_t at);
  // The whole stored set; false when it is too large for the format.
  bool Finish(std::vector<BYTE>* out, std::string* error) const;
  // The same, in place: the stored set's bytes, valid until the next Add;
  // empty (with the reason in *error) when it is too large for the format.
  std::span<const BYTE> Finished(std::string* error);

 private:
  bool Fits(std::string* error) const;
  // Appends an entry's type, key and description with room for a value of
  // `value` bytes; where the value goes.
  BYTE* Entry(int type, std::string_view key, std::string_view description, std::size_t value);

 public:
  using Body = std::vector<BYTE, UnsetGrowthAllocator<BYTE>>;

 private:
  Body body_;  // the header's room, then the fields
  std::uint64_t count_ = 0;
};

// Whether two keys are equal, compared in place eight bytes at a time (keys
// are short: cheaper than a call to memcmp). Reads only inside both keys.
inline bool SameKey(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  if (n != b.size()) return false;
  const char* p = a.data();
  const char* q = b.data();
  auto load8 = [](const char* at) {
    std::uint64_t v;
    std::memcpy(&v, at, 8);
    return v;
  };
  auto load4 = [](const char* at) {
    std::uint32_t v;
    std::memcpy(&v, at, 4);
    return v;
  };
  // The last bytes by loads that may overlap those already compared.
  if (n >= 8) {
    for (std::size_t at = 0; at + 8 < n; at += 8)
      if (load8(p + at) != load8(q + at)) return false;
    return load8(p + n - 8) == load8(q + n - 8);
  }
  if (n >= 4) return load4(p) == load4(q) && load4(p + n - 4) == load4(q + n - 4);
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] != q[i]) return false;
  return true;
}

// Replaces the buffer's content with the bytes, as SetSize and a copy do,
// without first clearing the new bytes; false when the buffer cannot take
// them.
bool AssignBufferBytes(IGIS_DataBuffer* pBuffer, std::span<const BYTE> bytes);

// A quick hash of a key, eight bytes at a time.
std::uint64_t QuickKeyHash(std::string_view key);

// Tells keys given earlier apart from new ones among at most n keys: an
// open-addressed table of indices by a quick hash of the key. A set of usual
// size keeps its table on the stack.
class RepeatedKeyTable {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  explicit RepeatedKeyTable(std::size_t n);
  RepeatedKeyTable(const RepeatedKeyTable&) = delete;
  RepeatedKeyTable& operator=(const RepeatedKeyTable&) = delete;
  // The index recorded with an earlier key equal to key (keyOf(index) gives
  // the key of a recorded index); npos after recording index for a new key.
  template <class TKeyOf>
  std::size_t FindOrAdd(std::string_view key, std::size_t index, TKeyOf keyOf) {
    for (std::size_t s = QuickKeyHash(key) & mask_;; s = (s + 1) & mask_) {
      if (table_[s] == 0) {
        table_[s] = static_cast<std::uint32_t>(index + 1);
        return npos;
      }
      if (SameKey(keyOf(table_[s] - 1), key)) return table_[s] - 1;
    }
  }

 private:
  static constexpr std::size_t kOnStack = 256;
  std::uint32_t local_[kOnStack];  // slot values are index + 1; 0 is empty
  std::vector<std::uint32_t> heap_;
  std::uint32_t* table_ = local_;
  std::size_t mask_ = 0;
};

// Decodes a stored set from size bytes at data. An empty input is an empty
// set; bytes after the set's end are ignored. On failure returns false with
// a short reason in *error.
bool DecodePropertySet(const BYTE* data, std::size_t size, std::vector<StoredField>* out, std::string* error);
// The same checks, the fields read in place (nothing copied).
bool DecodePropertySetViews(const BYTE* data, std::size_t size, std::vector<StoredFieldView>* out,
                            std::string* error);

// A decoded set kept with its own copy of the stored bytes, its fields
// pointing into that copy.
struct DecodedPropertySet {
  std::vector<BYTE> bytes;
  std::vector<StoredFieldView> fields;
};
// The same checks. A set this thread decoded lately (or keeps now) is handed
// out shared, nothing copied: *shared holds it, its fields pointing into its
// copy of the bytes (equal to the input), and *out is left empty. Other sets
// are read in place into *out, with *shared NULL.
bool DecodePropertySetShared(const BYTE* data, std::size_t size, std::vector<StoredFieldView>* out,
                             std::shared_ptr<const DecodedPropertySet>* shared, std::string* error);

}  // namespace md::basilo
