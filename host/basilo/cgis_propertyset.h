// Implementation classes of the data buffer, field and property set.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/basilo/igis_propertyset.h"

class CGIS_PropertySet;
namespace md::basilo {
class PropertySetEncoder;
}

class CGIS_DataBuffer final : public IGIS_DataBuffer {
 public:
  CGIS_DataBuffer() = default;
  explicit CGIS_DataBuffer(int initialSize);

  void Release() override;
  int GetSize() const override;
  BOOL SetSize(int n) override;
  BYTE* GetData() override;

  // A buffer owned by a field is ended with the field; Release ignores it.
  void SetOwnedByField() { owned_by_field_ = true; }

  const std::vector<BYTE>& Bytes() const { return bytes_; }
  // The content replaced by a copy of the bytes (kept or given back as by
  // SetSize); false when out of memory.
  bool AssignBytes(std::span<const BYTE> bytes);
  void Assign(std::vector<BYTE>&& bytes) { bytes_ = std::move(bytes); }
  void Clear() { std::vector<BYTE>().swap(bytes_); }

 private:
  static constexpr std::size_t kKeptCapacity = 4096;
  std::vector<BYTE> bytes_;
  bool owned_by_field_ = false;
};

// Whether a code is one of the five value types.
bool IsValueTypeCode(int typeCode);

class CGIS_Field final : public IGIS_Field {
 public:
  CGIS_Field() = default;
  ~CGIS_Field() override = default;

  void Release() override;
  const char* GetLabel() const override;
  BOOL SetName(const char* key) override;
  BOOL SetType(int typeCode) override;
  int GetType() const override;
  const char* GetDescription() const override;
  BOOL SetDescription(const char* text) override;
  int GetInt() const override;
  BOOL SetInt(int value) override;
  bool GetBool() const override;
  BOOL SetBool(bool value) override;
  double GetDouble() const override;
  BOOL SetDouble(double value) override;
  const char* GetString() const override;
  BOOL SetString(const char* text) override;
  IGIS_DataBuffer* GetDataBuffer() override;
  void* GetObject() const override;

  // Makes the field an object field holding `object`.
  void AssignObject(void* object);

  // Ownership: a field belongs to a set, to the global properties, or to
  // nobody (standalone, ended by Release).
  enum class Owner : std::uint8_t { None, Set, Globals };
  Owner GetOwner() const { return owner_kind_; }
  CGIS_PropertySet* GetOwnerSet() const { return owner_set_; }
  void SetOwner(Owner kind, CGIS_PropertySet* set) {
    owner_kind_ = kind;
    owner_set_ = set;
  }
  std::size_t GetPosition() const { return position_; }
  void SetPosition(std::size_t p) { position_ = static_cast<std::uint32_t>(p); }

  const std::string& Name() const { return name_; }
  void SetNameDirect(std::string name) {
    KeepDescription();
    name_ = std::move(name);
  }
  const std::string& Description() const { return description_is_name_ ? name_ : description_; }
  const std::string& Text() const { return text_; }
  std::int32_t IntValue() const { return int_; }
  double DoubleValue() const { return double_; }
  bool BoolValue() const { return bool_; }
  const std::vector<BYTE>& BufferBytes() const;

  // Makes the field's buffer now, so that a later AssignStored allocates nothing.
  void PrepareBuffer() { EnsureBuffer(); }
  // Replaces type, description and value in one step (used by reading); a
  // description equal to the name may be given empty with descriptionIsName.
  void AssignStored(int typeCode, std::string description, bool descriptionIsName, std::int32_t i, double d,
                    bool b, std::string text, std::vector<BYTE>&& bytes);

 private:
  CGIS_DataBuffer* EnsureBuffer();
  // GetString's text of a number, kept in formatted_.
  const char* Formatted(std::string text) const;
  // Before the name changes: a description shared with it becomes its own.
  void KeepDescription() {
    if (!description_is_name_) return;
    description_ = name_;
    description_is_name_ = false;
  }

  std::string name_;
  std::string description_;  // empty while description_is_name_
  int type_ = GIS_FIELD_TYPE_NONE;
  std::int32_t int_ = 0;
  double double_ = 0.0;
  bool bool_ = false;
  // Most fields are described by their own key: the description is then the
  // name, held once (a rename first copies it into description_).
  bool description_is_name_ = false;
  Owner owner_kind_ = Owner::None;
  std::uint32_t position_ = 0;
  std::string text_;
  void* object_ = nullptr;
  std::unique_ptr<CGIS_DataBuffer> buffer_;         // kept for the field's life once made
  mutable std::unique_ptr<std::string> formatted_;  // GetString of a number, made on first use
  CGIS_PropertySet* owner_set_ = nullptr;
};

class CGIS_PropertySet final : public IGIS_PropertySet {
 public:
  CGIS_PropertySet() = default;
  ~CGIS_PropertySet() override = default;
  CGIS_PropertySet(const CGIS_PropertySet&) = delete;
  CGIS_PropertySet& operator=(const CGIS_PropertySet&) = delete;

  void Release() override;
  int GetCount() const override;
  IGIS_Field* GetProperty(const char* key) override;
  IGIS_Field* GetFirstPosition() override;
  IGIS_Field* GetNext(IGIS_Field* field) override;
  IGIS_Field* AddProperty(const char* key, const char* description, int typeCode, int flag) override;
  BOOL Archive(IGIS_DataBuffer* buffer, int mode, int option) override;
  BOOL SetObject(const char* key, void* object, int flag) override;

  // Called by a field of this set before it takes a new name.
  bool Rename(CGIS_Field* field, const std::string& name);
  // What Archive reads from a buffer of size bytes at data, and what it
  // writes, straight from and into bytes.
  BOOL ReadBytes(const BYTE* data, std::size_t size);
  BOOL WriteBytes(std::vector<BYTE>* out);
  // WriteBytes's bytes left in place: encoded into a new encoder, *image
  // valid while the encoder lives.
  BOOL Encode(md::basilo::PropertySetEncoder* encoder, std::span<const BYTE>* image) const;
  // Asks for the memory of the set's first fields ahead of their use (a
  // loader walking many sets calls it a few sets ahead); changes nothing.
  void PrefetchFields() const;

 private:
  CGIS_Field* NewField(const char* key);
  BOOL Write(IGIS_DataBuffer* buffer);
  BOOL Read(IGIS_DataBuffer* buffer);

  // The fields by key: each field with the hash of its key, a key compared
  // with the field's own name, so that no key is copied and no node made. A
  // few fields are kept in a short list inside the set (no block of its own
  // to reach); more go into an open-addressed table (linear probing, at most
  // half full).
  class Index {
   public:
    CGIS_Field* Find(std::string_view key) const;
    // The key is the field's name, or the name it is about to take, and is
    // not in the table.
    void Insert(std::string_view key, CGIS_Field* field);
    void Erase(std::string_view key);
    void Reserve(std::size_t count);
    // The first field indexed while the fields are few, else NULL.
    CGIS_Field* FirstOfFew() const { return slots_.empty() && size_ > 0 ? few_[0].field : nullptr; }
    std::size_t size() const { return size_; }
    void swap(Index& other) noexcept {
      slots_.swap(other.slots_);
      std::swap(size_, other.size_);
      std::swap(few_, other.few_);
    }

   private:
    struct Slot {
      std::uint64_t hash = 0;
      CGIS_Field* field = nullptr;  // NULL: empty
    };
    std::size_t SlotOf(std::string_view key, std::uint64_t hash) const;
    void Grow(std::size_t slots);
    // Puts the slot in the first empty one from its hash's home on.
    void Place(const Slot& slot);
    static constexpr std::size_t kFew = 8;
    std::vector<Slot> slots_;  // a power of two long, or empty while the fields are few
    std::size_t size_ = 0;
    Slot few_[kFew];  // the first size_ hold the fields while slots_ is empty
  };

  // The set's fields live in blocks of its own, several to a block: a set
  // read from bytes takes one block for all its fields, a set that grows
  // field by field takes blocks of 8, 8, 16, 32... (a feature's set holds 6
  // to 8 fields: one block and one list). A field ended while the set
  // lives (a read that drops its key) leaves its slot for the next new field;
  // the blocks go with the set.
  class FieldPool {
   public:
    static constexpr std::size_t kFirstBlock = 8;
    FieldPool() = default;
    FieldPool(const FieldPool&) = delete;
    FieldPool& operator=(const FieldPool&) = delete;
    ~FieldPool();
    // At least count free slots, the missing ones in one new block.
    void Reserve(std::size_t count);
    // A new field of the set in a free slot (throws std::bad_alloc).
    CGIS_Field* Make(CGIS_PropertySet* owner);
    void End(CGIS_Field* field) noexcept;

   private:
    union Slot {
      Slot* next;
      alignas(CGIS_Field) unsigned char bytes[sizeof(CGIS_Field)];
    };
    struct Block {
      Block* next;
    };  // its slots follow it
    Block* blocks_ = nullptr;
    Slot* free_ = nullptr;
    std::size_t free_count_ = 0;
    std::size_t slot_count_ = 0;
  };
  // Ends a field of a set in its set's pool.
  struct FieldEnd {
    void operator()(CGIS_Field* field) const noexcept;
  };
  using FieldPtr = std::unique_ptr<CGIS_Field, FieldEnd>;

  FieldPool pool_;  // declared first: ended after the fields
  std::vector<FieldPtr> fields_;
  Index index_;
};

// Archive's reading and writing of a set straight from and into bytes (for
// a set of another library, through a data buffer); false when it fails.
bool ReadPropertySetBytes(IGIS_PropertySet* set, const BYTE* data, std::size_t size);
bool WritePropertySetBytes(IGIS_PropertySet* set, std::vector<BYTE>* out);
