#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"

void CGIS_PropertySet::Release() { delete this; }

int CGIS_PropertySet::GetCount() const { return static_cast<int>(fields_.size()); }

IGIS_Field* CGIS_PropertySet::GetProperty(const char* key) {
  if (key == nullptr) return nullptr;
  return index_.Find(key);
}

// ---- The field pool ----------------------------------------------------------------

CGIS_PropertySet::FieldPool::~FieldPool() {
  while (blocks_ != nullptr) {
    Block* next = blocks_->next;
    ::operator delete(blocks_);
    blocks_ = next;
  }
}

void CGIS_PropertySet::FieldPool::Reserve(std::size_t count) {
  if (count <= free_count_) return;
  const std::size_t n = count - free_count_;
  static_assert(sizeof(Block) % alignof(Slot) == 0, "slots follow the block header aligned");
  void* raw = ::operator new(sizeof(Block) + n * sizeof(Slot));
  auto* block = static_cast<Block*>(raw);
  block->next = blocks_;
  blocks_ = block;
  Slot* slots = reinterpret_cast<Slot*>(static_cast<unsigned char*>(raw) + sizeof(Block));
  // Pushed last first, so that fields are made in address order.
  for (std::size_t i = n; i-- > 0;) {
    slots[i].next = free_;
    free_ = &slots[i];
  }
  free_count_ += n;
  slot_count_ += n;
}

CGIS_Field* CGIS_PropertySet::FieldPool::Make(CGIS_PropertySet* owner) {
  if (free_ == nullptr) Reserve(slot_count_ < kFirstBlock ? kFirstBlock : slot_count_);
  Slot* slot = free_;
  free_ = slot->next;
  --free_count_;
  auto* field = new (slot->bytes) CGIS_Field();
  field->SetOwner(CGIS_Field::Owner::Set, owner);
  return field;
}

void CGIS_PropertySet::FieldPool::End(CGIS_Field* field) noexcept {
  field->~CGIS_Field();
  auto* slot = reinterpret_cast<Slot*>(field);
  slot->next = free_;
  free_ = slot;
  ++free_count_;
}

void CGIS_PropertySet::FieldEnd::operator()(CGIS_Field* field) const noexcept {
  field->GetOwnerSet()->pool_.End(field);
}

// ---- The index ------------------------------------------------------------------

std::size_t CGIS_PropertySet::Index::SlotOf(std::string_view key, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.field == nullptr || (slot.hash == hash && md::basilo::SameKey(slot.field->Name(), key)))
      return i;
  }
}

CGIS_Field* CGIS_PropertySet::Index::Find(std::string_view key) const {
  if (size_ == 0) return nullptr;
  const std::uint64_t hash = md::basilo::QuickKeyHash(key);
  if (slots_.empty()) {
    for (std::size_t i = 0; i < size_; ++i) {
      if (few_[i].hash == hash && md::basilo::SameKey(few_[i].field->Name(), key)) return few_[i].field;
    }
    return nullptr;
  }
  return slots_[SlotOf(key, hash)].field;
}

void CGIS_PropertySet::Index::Grow(std::size_t slots) {
  std::vector<Slot> old(slots);
  old.swap(slots_);
  if (old.empty()) {
    // From the short list into the table.
    for (std::size_t i = 0; i < size_; ++i) Place(few_[i]);
    return;
  }
  for (const Slot& slot : old) {
    if (slot.field != nullptr) Place(slot);
  }
}

void CGIS_PropertySet::Index::Place(const Slot& slot) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = slot.hash & mask;
  while (slots_[i].field != nullptr) i = (i + 1) & mask;
  slots_[i] = slot;
}

void CGIS_PropertySet::Index::Reserve(std::size_t count) {
  if (slots_.empty() && count <= kFew) return;
  std::size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  if (slots > slots_.size()) Grow(slots);
}

void CGIS_PropertySet::Index::Insert(std::string_view key, CGIS_Field* field) {
  Reserve(size_ + 1);
  const Slot slot{md::basilo::QuickKeyHash(key), field};
  if (slots_.empty()) {
    few_[size_++] = slot;
    return;
  }
  Place(slot);
  ++size_;
}

void CGIS_PropertySet::Index::Erase(std::string_view key) {
  if (size_ == 0) return;
  const std::uint64_t hash = md::basilo::QuickKeyHash(key);
  if (slots_.empty()) {
    for (std::size_t i = 0; i < size_; ++i) {
      if (few_[i].hash != hash || few_[i].field->Name() != key) continue;
      for (std::size_t j = i + 1; j < size_; ++j) few_[j - 1] = few_[j];
      few_[--size_] = Slot{};
      return;
    }
    return;
  }
  std::size_t i = SlotOf(key, hash);
  if (slots_[i].field == nullptr) return;
  // Later slots of the same run move back into the hole when their home
  // slot does not lie between the hole and them.
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t j = (i + 1) & mask; slots_[j].field != nullptr; j = (j + 1) & mask) {
    const std::size_t home = slots_[j].hash & mask;
    const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
    if (between) continue;
    slots_[i] = slots_[j];
    i = j;
  }
  slots_[i] = Slot{};
  --size_;
}

IGIS_Field* CGIS_PropertySet::GetFirstPosition() { return fields_.empty() ? nullptr : fields_.front().get(); }

IGIS_Field* CGIS_PropertySet::GetNext(IGIS_Field* field) {
  auto* f = dynamic_cast<CGIS_Field*>(field);
  if (f == nullptr || f->GetOwnerSet() != this) return nullptr;
  std::size_t next = f->GetPosition() + 1;
  return next < fields_.size() ? fields_[next].get() : nullptr;
}

IGIS_Field* CGIS_PropertySet::AddProperty(const char* key, const char* description, int typeCode,
                                          int /*flag*/) {
  if (key == nullptr || key[0] == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::AddProperty", "key == NULL || key is empty");
    return nullptr;
  }
  if (!IsValueTypeCode(typeCode)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::AddProperty", "%s: unknown type code %d", key, typeCode);
    return nullptr;
  }
  if (CGIS_Field* existing = static_cast<CGIS_Field*>(GetProperty(key))) {
    existing->SetType(typeCode);
    existing->SetDescription(description);
    return existing;
  }
  CGIS_Field* field = NewField(key);
  if (field == nullptr) return nullptr;
  field->SetType(typeCode);
  field->SetDescription(description);
  return field;
}

CGIS_Field* CGIS_PropertySet::NewField(const char* key) {
  try {
    if (fields_.size() >= UINT32_MAX) throw std::bad_alloc();
    if (fields_.capacity() == 0) fields_.reserve(FieldPool::kFirstBlock);
    FieldPtr field(pool_.Make(this));
    field->SetNameDirect(key);
    field->SetPosition(fields_.size());
    CGIS_Field* raw = field.get();
    index_.Insert(raw->Name(), raw);
    try {
      fields_.push_back(std::move(field));
    } catch (...) {
      index_.Erase(raw->Name());
      throw;
    }
    return raw;
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::AddProperty", "%s: out of memory", key);
    return nullptr;
  }
}

BOOL CGIS_PropertySet::SetObject(const char* key, void* object, int /*flag*/) {
  if (key == nullptr || key[0] == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::SetObject", "key == NULL || key is empty");
    return FALSE;
  }
  auto* field = static_cast<CGIS_Field*>(GetProperty(key));
  if (field == nullptr) field = NewField(key);
  if (field == nullptr) return FALSE;
  field->AssignObject(object);
  return TRUE;
}

bool CGIS_PropertySet::Rename(CGIS_Field* field, const std::string& name) {
  if (index_.Find(name) != nullptr) return false;
  index_.Erase(field->Name());
  index_.Insert(name, field);
  return true;
}

BOOL CGIS_PropertySet::Archive(IGIS_DataBuffer* buffer, int mode, int /*option*/) {
  if (buffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "pDataBuffer == NULL");
    return FALSE;
  }
  if (mode == GIS_ARCHIVE_WRITE) return Write(buffer);
  if (mode == GIS_ARCHIVE_READ) return Read(buffer);
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "unknown mode %d", mode);
  return FALSE;
}

BOOL CGIS_PropertySet::Encode(md::basilo::PropertySetEncoder* encoder, std::span<const BYTE>* image) const {
  std::string error;
  try {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      // Each field is an object of its own: ask for the next one while this
      // one is encoded.
      if (i + 1 < fields_.size()) __builtin_prefetch(fields_[i + 1].get());
      const CGIS_Field* f = fields_[i].get();
      if (f->GetType() == GIS_FIELD_TYPE_OBJECT) continue;  // pointers mean nothing once stored
      encoder->Add(f->GetType(), f->Name(), f->Description(), f->IntValue(), f->DoubleValue(), f->BoolValue(),
                   f->Text(), f->BufferBytes());
    }
    *image = encoder->Finished(&error);
    if (image->empty()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: %s", error.c_str());
      return FALSE;
    }
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: out of memory");
    return FALSE;
  }
  return TRUE;
}

void CGIS_PropertySet::PrefetchFields() const {
  // A set read from bytes holds its fields side by side in one block, the
  // first of them indexed in the set itself: their lines follow from the set
  // alone, without waiting for the list of fields.
  constexpr std::size_t kMaxLines = 24;
  const CGIS_Field* first = index_.FirstOfFew();
  if (first == nullptr) return;
  const auto* begin = reinterpret_cast<const char*>(first);
  const std::size_t bytes = std::min(index_.size() * sizeof(CGIS_Field), kMaxLines * 64);
  for (std::size_t at = 0; at < bytes; at += 64) __builtin_prefetch(begin + at);
}

BOOL CGIS_PropertySet::WriteBytes(std::vector<BYTE>* out) {
  try {
    md::basilo::PropertySetEncoder encoder;
    std::span<const BYTE> image;
    if (!Encode(&encoder, &image)) return FALSE;
    out->assign(image.begin(), image.end());
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: out of memory");
    return FALSE;
  }
  return TRUE;
}

BOOL CGIS_PropertySet::Write(IGIS_DataBuffer* buffer) {
  try {
    // Encoded in place and copied once into the buffer.
    md::basilo::PropertySetEncoder encoder;
    std::span<const BYTE> image;
    if (!Encode(&encoder, &image)) return FALSE;
    if (!md::basilo::AssignBufferBytes(buffer, image)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot size the buffer to %d bytes",
              static_cast<int>(image.size()));
      return FALSE;
    }
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: out of memory");
    return FALSE;
  }
  return TRUE;
}

BOOL CGIS_PropertySet::Read(IGIS_DataBuffer* buffer) {
  const int size = buffer->GetSize();
  const BYTE* data = size > 0 ? buffer->GetData() : nullptr;
  if (size < 0 || (size > 0 && data == nullptr)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "pDataBuffer->GetData() == NULL");
    return FALSE;
  }
  return ReadBytes(data, static_cast<std::size_t>(size));
}

namespace {

// The views of this thread's last read, their capacity kept for the next
// (a set is read once per element loaded).
class KeptViews {
 public:
  KeptViews() : views_(std::move(Spare())) { views_.clear(); }
  ~KeptViews() {
    if (views_.capacity() <= kMaxKept) Spare() = std::move(views_);
  }
  KeptViews(const KeptViews&) = delete;
  KeptViews& operator=(const KeptViews&) = delete;
  std::vector<md::basilo::StoredFieldView>& get() { return views_; }

 private:
  static constexpr std::size_t kMaxKept = 4096;
  static std::vector<md::basilo::StoredFieldView>& Spare() {
    thread_local std::vector<md::basilo::StoredFieldView> spare;
    return spare;
  }
  std::vector<md::basilo::StoredFieldView> views_;
};

// A new field, which nobody sees yet, takes its name and values from a
// stored view at once.
void FillFromStored(CGIS_Field* f, const md::basilo::StoredFieldView& s) {
  f->SetNameDirect(std::string(s.key));
  if (s.type == GIS_FIELD_TYPE_BUFFER) f->PrepareBuffer();
  const bool describedByKey = s.description == s.key;
  f->AssignStored(s.type, describedByKey ? std::string() : std::string(s.description), describedByKey,
                  s.intValue, s.doubleValue, s.boolValue, std::string(s.text),
                  std::vector<BYTE>(s.bytes.begin(), s.bytes.end()));
}

}  // namespace

BOOL CGIS_PropertySet::ReadBytes(const BYTE* data, std::size_t size) {
  KeptViews kept;
  std::shared_ptr<const md::basilo::DecodedPropertySet> shared;  // a set read lately
  std::string error;
  try {
    if (!md::basilo::DecodePropertySetShared(data, size, &kept.get(), &shared, &error)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "damaged property-set buffer (%d bytes): %s",
              static_cast<int>(size), error.c_str());
      return FALSE;
    }
    const std::vector<md::basilo::StoredFieldView>& stored = shared != nullptr ? shared->fields : kept.get();
    // Build the new list and index first; the set changes only once every
    // allocation has succeeded. Fields whose keys survive keep their objects.
    std::vector<FieldPtr> fresh;
    fresh.reserve(stored.size());
    Index freshIndex;
    freshIndex.Reserve(stored.size());
    if (fields_.empty()) {
      // An empty set (the usual case when a file is read): every field is a
      // new object, made straight into the new list, all in one block.
      pool_.Reserve(stored.size());
      for (std::size_t i = 0; i < stored.size(); ++i) {
        const md::basilo::StoredFieldView& s = stored[i];
        fresh.emplace_back(pool_.Make(this));
        CGIS_Field* f = fresh.back().get();
        FillFromStored(f, s);
        f->SetOwner(CGIS_Field::Owner::Set, this);
        f->SetPosition(i);
        freshIndex.Insert(s.key, f);
      }
      fields_.swap(fresh);
      index_.swap(freshIndex);
      return TRUE;
    }
    std::vector<FieldPtr> made;  // new objects, in stored order (null where reused)
    made.resize(stored.size());
    std::vector<CGIS_Field*> reused(stored.size(), nullptr);
    bool bReusing = false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
      const md::basilo::StoredFieldView& s = stored[i];
      CGIS_Field* f = index_.Find(s.key);
      if (f != nullptr) {
        reused[i] = f;
        bReusing = true;
        if (s.type == GIS_FIELD_TYPE_BUFFER) f->PrepareBuffer();
      } else {
        // A new object takes its values at once: nobody sees it yet.
        made[i].reset(pool_.Make(this));
        f = made[i].get();
        FillFromStored(f, s);
      }
      freshIndex.Insert(s.key, f);
    }
    // The values of reused fields, copied now so that nothing fails after
    // the swap below.
    std::vector<std::string> descriptions, texts;
    std::vector<std::vector<BYTE>> bytes;
    if (bReusing) {
      descriptions.resize(stored.size());
      texts.resize(stored.size());
      bytes.resize(stored.size());
      for (std::size_t i = 0; i < stored.size(); ++i) {
        if (reused[i] == nullptr) continue;
        if (stored[i].description != stored[i].key) descriptions[i].assign(stored[i].description);
        texts[i].assign(stored[i].text);
        bytes[i].assign(stored[i].bytes.begin(), stored[i].bytes.end());
      }
    }
    for (std::size_t i = 0; i < stored.size(); ++i) {
      if (made[i]) {
        fresh.push_back(std::move(made[i]));
      } else {
        fresh.push_back(std::move(fields_[reused[i]->GetPosition()]));
        const md::basilo::StoredFieldView& s = stored[i];
        fresh.back()->AssignStored(s.type, std::move(descriptions[i]), s.description == s.key, s.intValue,
                                   s.doubleValue, s.boolValue, std::move(texts[i]), std::move(bytes[i]));
      }
      CGIS_Field* f = fresh.back().get();
      f->SetOwner(CGIS_Field::Owner::Set, this);
      f->SetPosition(i);
    }
    fields_.swap(fresh);  // the fields not reused are ended with `fresh`
    index_.swap(freshIndex);
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot read the set: out of memory");
    return FALSE;
  }
  return TRUE;
}

extern "C" IGIS_PropertySet* GIS_CreatePropertySetObject() {
  return md::basilo::MakeOrNull<CGIS_PropertySet>("GIS_CreatePropertySetObject");
}

bool ReadPropertySetBytes(IGIS_PropertySet* set, const BYTE* data, std::size_t size) {
  if (set == nullptr || size > static_cast<std::size_t>(INT32_MAX)) return false;
  if (auto* own = dynamic_cast<CGIS_PropertySet*>(set)) return own->ReadBytes(data, size) != FALSE;
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  if (buffer == nullptr || !buffer->SetSize(static_cast<int>(size))) return false;
  if (size > 0) std::memcpy(buffer->GetData(), data, size);
  return set->Archive(buffer.get(), GIS_ARCHIVE_READ, 0) != FALSE;
}

bool WritePropertySetBytes(IGIS_PropertySet* set, std::vector<BYTE>* out) {
  if (set == nullptr) return false;
  if (auto* own = dynamic_cast<CGIS_PropertySet*>(set)) return own->WriteBytes(out) != FALSE;
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  if (buffer == nullptr || !set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) return false;
  const BYTE* data = buffer->GetData();
  out->assign(data, data + buffer->GetSize());
  return true;
}
