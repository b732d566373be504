// The "Custom" property set of an element's feature: reading it, writing it
// back, and its keys with the descriptions they are added with.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"

class IGIS_DataBuffer;
class IGIS_FeatureAttributes;
class IGIS_Field;
class IGIS_PropertySet;

namespace md::layout {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

// One key of an element's "Custom" set.
struct SGIS_CustomKey {
  const char* key;
  int type;                        // GIS_FIELD_TYPE_*
  const char* newDescription;      // given by the constructor
  const char* archiveDescription;  // given by Archive when the key is missing
};

// The field of the key, added with its Archive description when missing and
// given the key's type when stored with another.
IGIS_Field* CustomField(IGIS_PropertySet* pSet, const SGIS_CustomKey& key);

// A new set holding the stored "Custom" set of the attributes; a set that
// cannot be read is recorded under szMethod and read as empty. NULL only
// when no set can be made.
PropertySetPtr ReadCustomSet(IGIS_FeatureAttributes* pAttributes, const char* szMethod);

// Stores the set as "Custom"; false, the stored set left as it was
// (recorded under szMethod), when it cannot be written.
bool WriteCustomSet(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet, const char* szMethod);

// The decimal text of an index: the key of an entry of a stored list.
class StoredIndexKey {
 public:
  explicit StoredIndexKey(int nIndex) {
    char* end = std::to_chars(text_, text_ + sizeof text_ - 1, nIndex).ptr;
    *end = '\0';
    size_ = static_cast<std::size_t>(end - text_);
  }
  const char* c_str() const { return text_; }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[16];  // an int's digits and sign fit with room to spare
  std::size_t size_ = 0;
};

// The buffer's bytes, in place; empty for a NULL or empty buffer.
std::span<const BYTE> BufferBytes(IGIS_DataBuffer* pBuffer);

// FindStoredField's search past its first try.
const md::basilo::StoredFieldView* FindStoredFieldAround(
    const std::vector<md::basilo::StoredFieldView>& fields, std::string_view key, std::size_t* pNext);
// The field of the key among stored fields; NULL when missing. The search
// starts at *pNext and wraps around, and *pNext moves past the field found,
// so that reading keys in the stored order is quick.
inline const md::basilo::StoredFieldView* FindStoredField(
    const std::vector<md::basilo::StoredFieldView>& fields, std::string_view key, std::size_t* pNext) {
  // Most keys are read in their stored order: the field at *pNext first.
  const std::size_t next = *pNext;
  if (next < fields.size() && md::basilo::SameKey(fields[next].key, key)) {
    *pNext = next + 1;
    return &fields[next];
  }
  return FindStoredFieldAround(fields, key, pNext);
}

// A stored set read in place, without a property-set object (a few dozen
// allocations): the fields point into the stored bytes and stay valid while
// they are not changed. A damaged set reads as empty.
class StoredSetView {
 public:
  // The feature's "Custom" set; a damaged one is recorded under szMethod as
  // ReadCustomSet records it (or with the text given), and Damaged() tells.
  StoredSetView(IGIS_FeatureAttributes* pAttributes, const char* szMethod, const char* szDamaged = nullptr);
  // The set stored in the buffer; a damaged one is recorded as the property
  // set records it, and Damaged() tells.
  explicit StoredSetView(IGIS_DataBuffer* pBuffer);
  // The set stored in the bytes, which must outlive the view; damage as
  // with a buffer.
  explicit StoredSetView(std::span<const BYTE> bytes);
  StoredSetView(const StoredSetView&) = delete;
  StoredSetView& operator=(const StoredSetView&) = delete;

  // The stored field of the key; NULL when missing. Keys are looked up from
  // where the last lookup ended, so reading in the stored order is quick.
  const md::basilo::StoredFieldView* Find(std::string_view key) const {
    return FindStoredField(fields_, key, &next_);
  }
  // The stored value as the field getters give it, converted from the stored
  // type; false (value kept) when the key is missing.
  bool Read(std::string_view key, int* pValue) const;
  bool Read(std::string_view key, bool* pValue) const;
  bool Read(std::string_view key, double* pValue) const;
  bool Read(std::string_view key, std::string* pValue) const;
  // A standalone field holding the stored field (for readers that take a
  // field, such as symbol readers); NULL when the key is missing. It stays
  // valid until the next call.
  IGIS_Field* Field(std::string_view key) const;
  // A buffer holding a copy of the stored bytes of a buffer key, for readers
  // of nested stored forms (what Field(key)->GetDataBuffer() gives); NULL
  // when the key is missing or holds no buffer. It stays valid until the
  // next call.
  IGIS_DataBuffer* Buffer(std::string_view key) const;
  // The stored bytes of a buffer key, in place (valid while the stored set
  // is); NULL when the key is missing or holds no buffer.
  const std::span<const BYTE>* Bytes(std::string_view key) const;
  bool Damaged() const { return damaged_; }
  // The stored fields in their order.
  const std::vector<md::basilo::StoredFieldView>& Fields() const { return fields_; }
  ~StoredSetView();
  class CopyBuffer;

 private:
  // Reads the set stored in the bytes; false when it is damaged.
  bool Decode(const BYTE* data, std::size_t size, std::string* error);

  std::vector<md::basilo::StoredFieldView> fields_;
  bool damaged_ = false;
  mutable std::size_t next_ = 0;
  mutable md::basilo::ReleasePtr<IGIS_Field> field_;
  mutable std::unique_ptr<CopyBuffer> buffer_;
};

// A new stored set written straight into its bytes, the fields in the order
// given: what adding them to a new property set and writing it gives.
class StoredSetWriter {
 public:
  // Room for a set of usual size, so that the bytes are rarely moved.
  StoredSetWriter() { m_encoder.Reserve(kUsualBytes); }
  ~StoredSetWriter();
  StoredSetWriter(const StoredSetWriter&) = delete;
  StoredSetWriter& operator=(const StoredSetWriter&) = delete;
  // Texts and bytes given must stay valid until Finish.
  void Int(std::string_view key, std::string_view description, int value);
  void Bool(std::string_view key, std::string_view description, bool value);
  void Double(std::string_view key, std::string_view description, double value);
  void String(std::string_view key, std::string_view description, std::string_view value);
  void Bytes(std::string_view key, std::string_view description, std::span<const BYTE> value);
  // A stored field as it was read, with its key, description and type.
  void Stored(const md::basilo::StoredFieldView& field);
  // The bytes an object saves into a data buffer (save(IGIS_DataBuffer*)).
  template <class TSave>
  void Saved(std::string_view key, std::string_view description, TSave save) {
    if (IGIS_DataBuffer* pBuffer = Scratch()) {
      save(pBuffer);
      AddScratch(key, description);
    }
  }
  // As Saved, the object saving straight into the set's bytes (no copy).
  // The save must add nothing else to this writer while it runs.
  template <class TSave>
  void SavedInPlace(std::string_view key, std::string_view description, TSave save) {
    InPlaceBuffer buffer(&m_encoder, m_encoder.OpenBytes(key, description));
    save(static_cast<IGIS_DataBuffer*>(&buffer));
    m_encoder.CloseBytes(buffer.Start());
  }
  // Room for a set of about n bytes.
  void Reserve(std::size_t n) { m_encoder.Reserve(n); }
  // The set's bytes in place, valid until the next field is added; empty
  // (not recorded) when the set is too large to store.
  std::span<const BYTE> Finished();
  // Replaces the buffer's content with the set; false (recorded) when it
  // cannot.
  bool Finish(IGIS_DataBuffer* pBuffer);
  // Adds the set another writer holds as a buffer field, its bytes copied
  // once; false (recorded as by Finish, nothing added) when that set cannot
  // be stored.
  bool Nested(std::string_view key, std::string_view description, StoredSetWriter& set);
  // Adds the set to another writer as a buffer field: what Saved gives with
  // a save that ends in Finish (an empty field when the set cannot be
  // stored, recorded as Finish records it).
  bool FinishInto(StoredSetWriter* pParent, std::string_view key, std::string_view description);

 private:
  // The value of a buffer field being written in place, as a data buffer.
  class InPlaceBuffer final : public IGIS_DataBuffer {
   public:
    InPlaceBuffer(md::basilo::PropertySetEncoder* pEncoder, std::size_t at)
        : m_pEncoder(pEncoder), m_at(at) {}
    void Release() override {}  // lives on the stack
    int GetSize() const override { return static_cast<int>(m_pEncoder->OpenSize(m_at)); }
    BOOL SetSize(int n) override;
    BYTE* GetData() override { return GetSize() > 0 ? m_pEncoder->OpenData(m_at) : nullptr; }
    std::size_t Start() const { return m_at; }
    // The value replaced by the bytes (which lie outside this encoder).
    void Assign(std::span<const BYTE> bytes) {
      m_pEncoder->ResizeOpen(m_at, bytes.size());
      if (!bytes.empty()) std::memcpy(m_pEncoder->OpenData(m_at), bytes.data(), bytes.size());
    }

   private:
    md::basilo::PropertySetEncoder* m_pEncoder;
    std::size_t m_at;
  };

  // An empty buffer to save into, and its bytes added as a field.
  IGIS_DataBuffer* Scratch();
  void AddScratch(std::string_view key, std::string_view description);

  static constexpr std::size_t kUsualBytes = 1024;
  md::basilo::PropertySetEncoder m_encoder;
  DataBufferPtr m_scratch;
};

// Writes an element's "Custom" set straight into its bytes, giving what
// reading the stored set into a property set, setting the keys through
// CustomField and writing it back gives: the stored fields in their order,
// each given key with its new value (a stored key keeps its description),
// keys that are not given kept as stored, and given keys that are missing
// appended in the order given, with their Archive description. The stored
// bytes are not touched when they would not change. A key stored with
// another type than its own goes the property-set way. The stored set is
// read once, at IsStored or Finish, and must not change until Finish.
class CustomSetWriter {
 public:
  CustomSetWriter(IGIS_FeatureAttributes* pAttributes, const char* szMethod);
  ~CustomSetWriter();
  CustomSetWriter(const CustomSetWriter&) = delete;
  CustomSetWriter& operator=(const CustomSetWriter&) = delete;

  // Texts and bytes given must stay valid until Finish.
  void Int(const SGIS_CustomKey& key, int value);
  void Bool(const SGIS_CustomKey& key, bool value);
  void Double(const SGIS_CustomKey& key, double value);
  void String(const SGIS_CustomKey& key, std::string_view value);
  void Bytes(const SGIS_CustomKey& key, std::span<const BYTE> value);
  // The key is present with its type; a stored value is kept.
  void Keep(const SGIS_CustomKey& key);
  // The bytes an object saves into a data buffer (save(IGIS_DataBuffer*)),
  // kept by the writer until Finish.
  template <class TSave>
  void Saved(const SGIS_CustomKey& key, TSave save) {
    if (IGIS_DataBuffer* pBuffer = Scratch()) {
      save(pBuffer);
      AddScratch(key);
    }
  }
  // Stores the set; false (the stored set left as it was, recorded under
  // szMethod) when it cannot be written.
  bool Finish();
  // After Finish: the key was in the stored set before.
  bool WasStored(const char* szKey) const;
  // The key is in the stored set (false when the set is damaged).
  bool IsStored(const char* szKey);
  // A damaged stored set makes Finish answer false and write nothing
  // (otherwise it is read as empty, recorded, and written over).
  void RefuseDamaged() { m_bRefuseDamaged = true; }
  // After Finish: the stored set was damaged.
  bool Damaged() const { return m_bDamaged; }

 private:
  struct Value {
    SGIS_CustomKey key{};
    std::string_view name;  // key.key
    bool keep = false;
    bool stored = false;
    std::int32_t i = 0;
    double d = 0.0;
    bool b = false;
    std::string_view text;
    std::span<const BYTE> bytes;
  };
  Value& Add(const SGIS_CustomKey& key);
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // Maps each given key to the stored field it replaces (*pStoredOf, kNone
  // when missing) and back (*pValueOf); false, with *pRepeated, when a key
  // is given twice. *pOtherType: a key is stored with another type.
  bool MatchStored(std::vector<std::size_t>* pStoredOf, std::vector<std::size_t>* pValueOf, bool* pRepeated,
                   bool* pOtherType);
  // Keeps one value per key: the last one given, in the place of the first.
  void MergeRepeatedKeys();
  bool FinishThroughPropertySet();
  IGIS_DataBuffer* Scratch();
  void AddScratch(const SGIS_CustomKey& key);

  IGIS_FeatureAttributes* m_pAttributes;
  const char* m_szMethod;
  std::vector<Value> m_values;
  std::vector<DataBufferPtr> m_scratch;
  // The stored set, decoded once; m_bDecoded tells whether it was.
  bool Decode();
  // The stored fields: m_fields, or those of a set decoded lately and shared.
  std::vector<md::basilo::StoredFieldView> m_fields;
  std::shared_ptr<const md::basilo::DecodedPropertySet> m_shared;
  const std::vector<md::basilo::StoredFieldView>* m_pFields = &m_fields;
  bool m_bDecoded = false;
  bool m_bRefuseDamaged = false;
  bool m_bDamaged = false;
};

}  // namespace md::layout
