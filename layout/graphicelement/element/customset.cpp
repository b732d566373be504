// Reading and writing an element's "Custom" property set.
#include "layout/graphicelement/element/customset.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/featra/igis_feature.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <type_traits>
#include <typeinfo>

namespace md::layout {

IGIS_Field* CustomField(IGIS_PropertySet* pSet, const SGIS_CustomKey& key) {
  IGIS_Field* f = pSet->GetProperty(key.key);
  if (f == nullptr) f = pSet->AddProperty(key.key, key.archiveDescription, key.type, 1);
  if (f != nullptr && f->GetType() != key.type) f->SetType(key.type);
  return f;
}

PropertySetPtr ReadCustomSet(IGIS_FeatureAttributes* pAttributes, const char* szMethod) {
  PropertySetPtr set(GIS_CreatePropertySetObject());
  IGIS_DataBuffer* pCustom = pAttributes != nullptr ? pAttributes->GetDataBuffer("Custom") : nullptr;
  if (set && pCustom != nullptr && !set->Archive(pCustom, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "false  == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)");
  }
  return set;
}

bool WriteCustomSet(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet, const char* szMethod) {
  DataBufferPtr out(GIS_CreateDataBufferObject(0));
  if (!out || pAttributes == nullptr || !pSet->Archive(out.get(), GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  pAttributes->SetDataBuffer("Custom", out.get(), 0);
  return true;
}

}  // namespace md::layout

namespace md::layout {

namespace {

using md::basilo::StoredFieldView;

// Spare vectors of this thread, their capacity kept: the readers and writers
// of stored sets are made and ended once per element stored or read.
template <class T>
class Spare {
 public:
  static std::vector<T> Take() {
    std::vector<std::vector<T>>& spare = List();
    if (spare.empty()) return {};
    std::vector<T> v = std::move(spare.back());
    spare.pop_back();
    return v;
  }
  static void Give(std::vector<T>&& v) {
    std::vector<std::vector<T>>& spare = List();
    if (spare.size() >= kKept || v.capacity() == 0 || v.capacity() > kMaxItems) return;
    v.clear();
    spare.push_back(std::move(v));
  }

 private:
  static constexpr std::size_t kKept = 8;
  static constexpr std::size_t kMaxItems = 4096;
  static std::vector<std::vector<T>>& List() {
    thread_local std::vector<std::vector<T>> spare;
    return spare;
  }
};

// Spare empty data buffers of this thread, for the bytes nested objects save.
class SpareBuffers {
 public:
  static DataBufferPtr Take() {
    std::vector<DataBufferPtr>& spare = List();
    if (spare.empty()) return DataBufferPtr(GIS_CreateDataBufferObject(0));
    DataBufferPtr b = std::move(spare.back());
    spare.pop_back();
    return b;
  }
  static void Give(DataBufferPtr&& b) {
    std::vector<DataBufferPtr>& spare = List();
    if (!b || spare.size() >= kKept || b->GetSize() > kMaxBytes || !b->SetSize(0)) return;
    spare.push_back(std::move(b));
  }

 private:
  static constexpr std::size_t kKept = 32;
  static constexpr int kMaxBytes = 64 * 1024;
  static std::vector<DataBufferPtr>& List() {
    thread_local std::vector<DataBufferPtr> spare;
    return spare;
  }
};

// What ReadCustomSet records for a damaged set: the set's record and the
// reader's.
constexpr const char* kReadFailed = "false  == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)";

void RecordDamaged(const char* szMethod, const char* szDamaged, int nSize, const std::string& error) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "damaged property-set buffer (%d bytes): %s",
          nSize, error.c_str());
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szDamaged);
}

// The stored field holds this value of its type, byte for byte.
bool SameValue(const StoredFieldView& f, std::int32_t i, double d, bool b, std::string_view text,
               std::span<const BYTE> bytes) {
  switch (f.type) {
    case GIS_FIELD_TYPE_INT:
      return f.intValue == i;
    case GIS_FIELD_TYPE_DOUBLE:
      return std::memcmp(&f.doubleValue, &d, sizeof d) == 0;
    case GIS_FIELD_TYPE_BOOL:
      return f.boolValue == b;
    case GIS_FIELD_TYPE_STRING:
      return f.text == text;
    case GIS_FIELD_TYPE_BUFFER:
      return f.bytes.size() == bytes.size() &&
             (bytes.empty() || std::memcmp(f.bytes.data(), bytes.data(), bytes.size()) == 0);
    default:
      return false;
  }
}

}  // namespace

std::span<const BYTE> BufferBytes(IGIS_DataBuffer* pBuffer) {
  const int n = pBuffer != nullptr ? pBuffer->GetSize() : 0;
  return n > 0 && pBuffer->GetData() != nullptr
             ? std::span<const BYTE>(pBuffer->GetData(), static_cast<std::size_t>(n))
             : std::span<const BYTE>();
}

// ---- Reading in place ---------------------------------------------------------

StoredSetView::StoredSetView(IGIS_FeatureAttributes* pAttributes, const char* szMethod, const char* szDamaged)
    : fields_(Spare<StoredFieldView>::Take()) {
  if (szDamaged == nullptr) szDamaged = kReadFailed;
  IGIS_DataBuffer* pCustom = pAttributes != nullptr ? pAttributes->GetDataBuffer("Custom") : nullptr;
  const int size = pCustom != nullptr ? pCustom->GetSize() : 0;
  if (size <= 0) return;
  std::string error;
  const BYTE* data = pCustom->GetData();
  if (data == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "pDataBuffer->GetData() == NULL");
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szDamaged);
    damaged_ = true;
  } else if (!Decode(data, static_cast<std::size_t>(size), &error)) {
    RecordDamaged(szMethod, szDamaged, size, error);
    damaged_ = true;
  }
}

bool StoredSetView::Decode(const BYTE* data, std::size_t size, std::string* error) {
  // Read in place: callers may keep spans into their own bytes, or take
  // offsets from them.
  if (md::basilo::DecodePropertySetViews(data, size, &fields_, error)) return true;
  fields_.clear();
  return false;
}

const StoredFieldView* FindStoredFieldAround(const std::vector<StoredFieldView>& fields, std::string_view key,
                                             std::size_t* pNext) {
  const std::size_t n = fields.size();
  const std::size_t start = *pNext < n ? *pNext : 0;
  auto match = [&](std::size_t i) { return md::basilo::SameKey(fields[i].key, key); };
  if (key.empty()) return nullptr;  // stored keys are never empty
  // The field found last, looked up again (a presence check, then the read).
  if (*pNext > 0 && *pNext <= n && match(*pNext - 1)) return &fields[*pNext - 1];
  for (std::size_t i = start; i < n; ++i) {
    if (match(i)) {
      *pNext = i + 1;
      return &fields[i];
    }
  }
  for (std::size_t i = 0; i < start; ++i) {
    if (match(i)) {
      *pNext = i + 1;
      return &fields[i];
    }
  }
  return nullptr;
}

StoredSetView::StoredSetView(IGIS_DataBuffer* pBuffer) : fields_(Spare<StoredFieldView>::Take()) {
  const int size = pBuffer != nullptr ? pBuffer->GetSize() : 0;
  if (size <= 0) return;
  std::string error;
  const BYTE* data = pBuffer->GetData();
  if (data == nullptr || !Decode(data, static_cast<std::size_t>(size), &error)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "damaged property-set buffer (%d bytes): %s",
            size, error.c_str());
    damaged_ = true;
  }
}

StoredSetView::StoredSetView(std::span<const BYTE> bytes) : fields_(Spare<StoredFieldView>::Take()) {
  if (bytes.empty()) return;
  std::string error;
  if (!Decode(bytes.data(), bytes.size(), &error)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "damaged property-set buffer (%d bytes): %s",
            static_cast<int>(bytes.size()), error.c_str());
    damaged_ = true;
  }
}

// A data buffer of its own bytes, kept between lookups so that its storage
// is reused.
class StoredSetView::CopyBuffer final : public IGIS_DataBuffer {
 public:
  void Release() override {}  // owned by the view
  int GetSize() const override { return static_cast<int>(bytes_.size()); }
  BOOL SetSize(int n) override {
    if (n < 0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DataBuffer::SetSize", "n < 0 (%d)", n);
      return FALSE;
    }
    bytes_.resize(static_cast<std::size_t>(n));
    return TRUE;
  }
  BYTE* GetData() override { return bytes_.empty() ? nullptr : bytes_.data(); }
  void Assign(std::span<const BYTE> bytes) { bytes_.assign(bytes.begin(), bytes.end()); }

 private:
  std::vector<BYTE> bytes_;
};

namespace {

// Spare copy buffers of this thread, their storage kept.
std::vector<std::unique_ptr<StoredSetView::CopyBuffer>>& SpareCopies() {
  thread_local std::vector<std::unique_ptr<StoredSetView::CopyBuffer>> spare;
  return spare;
}

}  // namespace

StoredSetView::~StoredSetView() {
  Spare<StoredFieldView>::Give(std::move(fields_));
  if (buffer_ == nullptr) return;
  auto& spare = SpareCopies();
  if (spare.size() < 8 && buffer_->GetSize() <= 64 * 1024) spare.push_back(std::move(buffer_));
}

const std::span<const BYTE>* StoredSetView::Bytes(std::string_view key) const {
  const StoredFieldView* f = Find(key);
  return f != nullptr && f->type == GIS_FIELD_TYPE_BUFFER ? &f->bytes : nullptr;
}

IGIS_DataBuffer* StoredSetView::Buffer(std::string_view key) const {
  const StoredFieldView* f = Find(key);
  if (f == nullptr || f->type != GIS_FIELD_TYPE_BUFFER) return nullptr;
  if (buffer_ == nullptr) {
    auto& spare = SpareCopies();
    if (spare.empty()) {
      buffer_ = std::make_unique<CopyBuffer>();
    } else {
      buffer_ = std::move(spare.back());
      spare.pop_back();
    }
  }
  buffer_->Assign(f->bytes);
  return buffer_.get();
}

IGIS_Field* StoredSetView::Field(std::string_view key) const {
  const StoredFieldView* f = Find(key);
  if (f == nullptr) return nullptr;
  if (field_ == nullptr) field_.reset(GIS_CreateFieldObject());
  if (field_ == nullptr) return nullptr;
  // A standalone field of another type first, so that SetType clears it.
  field_->SetType(f->type == GIS_FIELD_TYPE_INT ? GIS_FIELD_TYPE_BOOL : GIS_FIELD_TYPE_INT);
  if (!field_->SetType(f->type)) return nullptr;
  switch (f->type) {
    case GIS_FIELD_TYPE_INT:
      field_->SetInt(f->intValue);
      break;
    case GIS_FIELD_TYPE_DOUBLE:
      field_->SetDouble(f->doubleValue);
      break;
    case GIS_FIELD_TYPE_BOOL:
      field_->SetBool(f->boolValue);
      break;
    case GIS_FIELD_TYPE_STRING:
      field_->SetString(std::string(f->text).c_str());
      break;
    case GIS_FIELD_TYPE_BUFFER: {
      IGIS_DataBuffer* b = field_->GetDataBuffer();
      const int n = static_cast<int>(f->bytes.size());
      if (b == nullptr || !b->SetSize(n)) return nullptr;
      if (n > 0) std::memcpy(b->GetData(), f->bytes.data(), f->bytes.size());
      break;
    }
    default:
      return nullptr;
  }
  return field_.get();
}

// An integer or boolean value: read straight from a stored integer or
// boolean, through a field otherwise.
template <class T>
bool ReadIntegral(const StoredSetView& view, std::string_view key, T* pValue) {
  const StoredFieldView* f = view.Find(key);
  if (f == nullptr) return false;
  const bool bInt = std::is_same_v<T, int>;
  if (f->type == GIS_FIELD_TYPE_INT || f->type == GIS_FIELD_TYPE_BOOL) {
    *pValue = bInt ? static_cast<T>(md::basilo::StoredInt(*f)) : static_cast<T>(md::basilo::StoredBool(*f));
  } else if (IGIS_Field* field = view.Field(key)) {
    *pValue = bInt ? static_cast<T>(field->GetInt()) : static_cast<T>(field->GetBool());
  }
  return true;
}

bool StoredSetView::Read(std::string_view key, int* pValue) const { return ReadIntegral(*this, key, pValue); }
bool StoredSetView::Read(std::string_view key, bool* pValue) const {
  return ReadIntegral(*this, key, pValue);
}

bool StoredSetView::Read(std::string_view key, double* pValue) const {
  const StoredFieldView* f = Find(key);
  if (f == nullptr) return false;
  if (f->type == GIS_FIELD_TYPE_DOUBLE) {
    *pValue = f->doubleValue;
  } else if (IGIS_Field* field = Field(key)) {
    *pValue = field->GetDouble();
  }
  return true;
}

bool StoredSetView::Read(std::string_view key, std::string* pValue) const {
  const StoredFieldView* f = Find(key);
  if (f == nullptr) return false;
  if (f->type == GIS_FIELD_TYPE_STRING) {
    pValue->assign(f->text);
  } else if (IGIS_Field* field = Field(key)) {
    const char* s = field->GetString();
    pValue->assign(s != nullptr ? s : "");
  }
  return true;
}

// ---- Writing new sets ------------------------------------------------------------

void StoredSetWriter::Int(std::string_view key, std::string_view description, int value) {
  m_encoder.AddInt(key, description, value);
}
void StoredSetWriter::Bool(std::string_view key, std::string_view description, bool value) {
  m_encoder.AddBool(key, description, value);
}
void StoredSetWriter::Double(std::string_view key, std::string_view description, double value) {
  m_encoder.AddDouble(key, description, value);
}
void StoredSetWriter::Stored(const StoredFieldView& f) {
  m_encoder.Add(f.type, f.key, f.description, f.intValue, f.doubleValue, f.boolValue, f.text, f.bytes);
}
void StoredSetWriter::String(std::string_view key, std::string_view description, std::string_view value) {
  m_encoder.AddString(key, description, value);
}
void StoredSetWriter::Bytes(std::string_view key, std::string_view description, std::span<const BYTE> value) {
  m_encoder.AddBytes(key, description, value);
}

StoredSetWriter::~StoredSetWriter() {
  if (m_scratch) SpareBuffers::Give(std::move(m_scratch));
}

IGIS_DataBuffer* StoredSetWriter::Scratch() {
  if (m_scratch == nullptr) m_scratch = SpareBuffers::Take();
  if (m_scratch != nullptr) m_scratch->SetSize(0);
  return m_scratch.get();
}

BOOL StoredSetWriter::InPlaceBuffer::SetSize(int n) {
  if (n < 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DataBuffer::SetSize", "n < 0 (%d)", n);
    return FALSE;
  }
  const std::size_t old = m_pEncoder->OpenSize(m_at);
  const std::size_t size = static_cast<std::size_t>(n);
  m_pEncoder->ResizeOpen(m_at, size);
  // New bytes are 0, as a data buffer's are.
  if (size > old) std::memset(m_pEncoder->OpenData(m_at) + old, 0, size - old);
  return TRUE;
}

void StoredSetWriter::AddScratch(std::string_view key, std::string_view description) {
  Bytes(key, description, BufferBytes(m_scratch.get()));
}

std::span<const BYTE> StoredSetWriter::Finished() {
  std::string error;
  return m_encoder.Finished(&error);
}

bool StoredSetWriter::Finish(IGIS_DataBuffer* pBuffer) {
  std::string error;
  const std::span<const BYTE> bytes = m_encoder.Finished(&error);
  if (bytes.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: %s", error.c_str());
    return false;
  }
  // A parent's field written in place, or a data buffer, takes the bytes in
  // one copy.
  if (pBuffer != nullptr && typeid(*pBuffer) == typeid(InPlaceBuffer)) {
    static_cast<InPlaceBuffer*>(pBuffer)->Assign(bytes);
    return true;
  }
  if (!md::basilo::AssignBufferBytes(pBuffer, bytes)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot size the buffer to %d bytes",
            static_cast<int>(bytes.size()));
    return false;
  }
  return true;
}

bool StoredSetWriter::Nested(std::string_view key, std::string_view description, StoredSetWriter& set) {
  std::string error;
  const std::span<const BYTE> bytes = set.m_encoder.Finished(&error);
  if (bytes.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: %s", error.c_str());
    return false;
  }
  Bytes(key, description, bytes);
  return true;
}

bool StoredSetWriter::FinishInto(StoredSetWriter* pParent, std::string_view key,
                                 std::string_view description) {
  if (pParent->Nested(key, description, *this)) return true;
  pParent->Bytes(key, description, {});
  return false;
}

// ---- Writing in place ----------------------------------------------------------

CustomSetWriter::CustomSetWriter(IGIS_FeatureAttributes* pAttributes, const char* szMethod)
    : m_pAttributes(pAttributes),
      m_szMethod(szMethod),
      m_values(Spare<Value>::Take()),
      m_scratch(Spare<DataBufferPtr>::Take()),
      m_fields(Spare<StoredFieldView>::Take()) {
  m_values.reserve(32);
}

CustomSetWriter::~CustomSetWriter() {
  for (DataBufferPtr& b : m_scratch) SpareBuffers::Give(std::move(b));
  Spare<DataBufferPtr>::Give(std::move(m_scratch));
  Spare<Value>::Give(std::move(m_values));
  Spare<StoredFieldView>::Give(std::move(m_fields));
}

CustomSetWriter::Value& CustomSetWriter::Add(const SGIS_CustomKey& key) {
  // A key given again is merged into its first place at Finish.
  m_values.emplace_back();
  m_values.back().key = key;
  m_values.back().name = key.key;
  return m_values.back();
}

void CustomSetWriter::MergeRepeatedKeys() {
  const std::size_t n = m_values.size();
  if (n < 2) return;
  md::basilo::RepeatedKeyTable table(n);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t first = table.FindOrAdd(
        m_values[i].name, kept, [&](std::size_t j) { return std::string_view(m_values[j].name); });
    if (first != md::basilo::RepeatedKeyTable::npos) {
      m_values[first] = m_values[i];  // the last value given, in the place of the first
      continue;
    }
    if (kept != i) m_values[kept] = m_values[i];
    ++kept;
  }
  m_values.resize(kept);
}

void CustomSetWriter::Int(const SGIS_CustomKey& key, int value) { Add(key).i = value; }
void CustomSetWriter::Bool(const SGIS_CustomKey& key, bool value) { Add(key).b = value; }
void CustomSetWriter::Double(const SGIS_CustomKey& key, double value) { Add(key).d = value; }
void CustomSetWriter::String(const SGIS_CustomKey& key, std::string_view value) { Add(key).text = value; }
void CustomSetWriter::Bytes(const SGIS_CustomKey& key, std::span<const BYTE> value) {
  Add(key).bytes = value;
}
void CustomSetWriter::Keep(const SGIS_CustomKey& key) { Add(key).keep = true; }

bool CustomSetWriter::Decode() {
  if (m_bDecoded) return !m_bDamaged;
  m_bDecoded = true;
  IGIS_DataBuffer* pCustom = m_pAttributes != nullptr ? m_pAttributes->GetDataBuffer("Custom") : nullptr;
  const int size = pCustom != nullptr ? pCustom->GetSize() : 0;
  if (size <= 0) return true;
  std::string error;
  const BYTE* data = pCustom->GetData();
  m_bDamaged = data == nullptr || !md::basilo::DecodePropertySetShared(data, static_cast<std::size_t>(size),
                                                                       &m_fields, &m_shared, &error);
  if (m_bDamaged) {
    m_fields.clear();
    m_shared.reset();
  }
  if (m_shared != nullptr) m_pFields = &m_shared->fields;
  return !m_bDamaged;
}

bool CustomSetWriter::IsStored(const char* szKey) {
  if (!Decode()) return false;
  for (const StoredFieldView& f : *m_pFields)
    if (f.key == szKey) return true;
  return false;
}

bool CustomSetWriter::WasStored(const char* szKey) const {
  for (const Value& v : m_values)
    if (v.name == szKey) return v.stored;
  return false;
}

void CustomSetWriter::AddScratch(const SGIS_CustomKey& key) {
  Bytes(key, BufferBytes(m_scratch.back().get()));
}

IGIS_DataBuffer* CustomSetWriter::Scratch() {
  DataBufferPtr buffer = SpareBuffers::Take();
  if (!buffer) return nullptr;
  m_scratch.push_back(std::move(buffer));
  return m_scratch.back().get();
}

bool CustomSetWriter::FinishThroughPropertySet() {
  PropertySetPtr set = ReadCustomSet(m_pAttributes, m_szMethod);
  if (!set) return false;
  for (Value& v : m_values) {
    v.stored = set->GetProperty(v.key.key) != nullptr;
    IGIS_Field* f = CustomField(set.get(), v.key);
    if (f == nullptr || v.keep) continue;
    switch (v.key.type) {
      case GIS_FIELD_TYPE_INT:
        f->SetInt(v.i);
        break;
      case GIS_FIELD_TYPE_DOUBLE:
        f->SetDouble(v.d);
        break;
      case GIS_FIELD_TYPE_BOOL:
        f->SetBool(v.b);
        break;
      case GIS_FIELD_TYPE_STRING:
        f->SetString(std::string(v.text).c_str());
        break;
      case GIS_FIELD_TYPE_BUFFER:
        if (IGIS_DataBuffer* b = f->GetDataBuffer()) {
          const int n = static_cast<int>(v.bytes.size());
          if (!b->SetSize(n)) return false;
          if (n > 0) std::memcpy(b->GetData(), v.bytes.data(), v.bytes.size());
        }
        break;
      default:
        break;
    }
  }
  return WriteCustomSet(m_pAttributes, set.get(), m_szMethod);
}

bool CustomSetWriter::MatchStored(std::vector<std::size_t>* pStoredOf, std::vector<std::size_t>* pValueOf,
                                  bool* pRepeated, bool* pOtherType) {
  const std::vector<StoredFieldView>& fields = *m_pFields;
  std::vector<std::size_t>& storedOf = *pStoredOf;
  std::vector<std::size_t>& valueOf = *pValueOf;
  storedOf.assign(m_values.size(), kNone);
  valueOf.assign(fields.size(), kNone);
  *pRepeated = false;
  *pOtherType = false;
  // Which stored field each given key replaces (keys are mostly given in
  // their stored order, so the search goes on from the last one found). A
  // stored field met twice is a key given twice.
  std::size_t next = 0;
  std::size_t missing = 0;
  for (std::size_t k = 0; k < m_values.size(); ++k) {
    const StoredFieldView* f = FindStoredField(fields, m_values[k].name, &next);
    if (f == nullptr) {
      ++missing;
      continue;
    }
    const std::size_t i = static_cast<std::size_t>(f - fields.data());
    if (valueOf[i] != kNone) {
      *pRepeated = true;
      return false;
    }
    if (f->type != m_values[k].key.type) *pOtherType = true;
    storedOf[k] = i;
    valueOf[i] = k;
  }
  // Keys the set lacks, given twice (there are seldom more than a few).
  if (missing > 1) {
    for (std::size_t k = 0; k < m_values.size() && !*pRepeated; ++k) {
      if (storedOf[k] != kNone) continue;
      for (std::size_t j = k + 1; j < m_values.size(); ++j) {
        if (storedOf[j] == kNone && m_values[j].name == m_values[k].name) {
          *pRepeated = true;
          break;
        }
      }
    }
  }
  return !*pRepeated;
}

bool CustomSetWriter::Finish() {
  if (m_pAttributes == nullptr) {
    MergeRepeatedKeys();
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  IGIS_DataBuffer* pCustom = m_pAttributes->GetDataBuffer("Custom");
  const int storedSize = pCustom != nullptr ? pCustom->GetSize() : 0;
  const BYTE* stored = storedSize > 0 ? pCustom->GetData() : nullptr;
  if (!Decode()) {
    MergeRepeatedKeys();
    if (m_bRefuseDamaged) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "damaged property-set buffer (%d bytes)",
              storedSize);
      return false;
    }
    return FinishThroughPropertySet();  // damaged: recorded and read as empty there
  }
  const std::vector<StoredFieldView>& fields = *m_pFields;
  struct Indices {
    std::vector<std::size_t> storedOf = Spare<std::size_t>::Take();
    std::vector<std::size_t> valueOf = Spare<std::size_t>::Take();
    ~Indices() {
      Spare<std::size_t>::Give(std::move(storedOf));
      Spare<std::size_t>::Give(std::move(valueOf));
    }
  } indices;
  std::vector<std::size_t>& storedOf = indices.storedOf;
  std::vector<std::size_t>& valueOf = indices.valueOf;
  bool bRepeated = false;
  bool bOtherType = false;
  // Keys given twice are merged first (rarely needed, so only when met).
  if (!MatchStored(&storedOf, &valueOf, &bRepeated, &bOtherType)) {
    MergeRepeatedKeys();
    MatchStored(&storedOf, &valueOf, &bRepeated, &bOtherType);
  }
  for (std::size_t k = 0; k < m_values.size(); ++k) m_values[k].stored = storedOf[k] != kNone;
  if (bOtherType) return FinishThroughPropertySet();
  // Every given key stored with the value given: nothing would change.
  bool unchanged = true;
  for (std::size_t k = 0; k < m_values.size() && unchanged; ++k) {
    const Value& v = m_values[k];
    unchanged =
        storedOf[k] != kNone && (v.keep || SameValue(fields[storedOf[k]], v.i, v.d, v.b, v.text, v.bytes));
  }
  if (unchanged) return true;
  std::string error;
  md::basilo::PropertySetEncoder encoder;
  encoder.Reserve(static_cast<std::size_t>(storedSize) + 256);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const StoredFieldView& f = fields[i];
    const Value* v = valueOf[i] != kNone && !m_values[valueOf[i]].keep ? &m_values[valueOf[i]] : nullptr;
    if (v != nullptr) {
      encoder.Add(v->key.type, f.key, f.description, v->i, v->d, v->b, v->text, v->bytes);
    } else {
      encoder.Add(f.type, f.key, f.description, f.intValue, f.doubleValue, f.boolValue, f.text, f.bytes);
    }
  }
  for (std::size_t k = 0; k < m_values.size(); ++k) {
    if (storedOf[k] != kNone) continue;
    const Value& v = m_values[k];
    encoder.Add(v.key.type, v.key.key, v.key.archiveDescription, v.i, v.d, v.b, v.text, v.bytes);
  }
  const std::span<const BYTE> bytes = encoder.Finished(&error);
  if (bytes.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot store the set: %s", error.c_str());
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  if (stored != nullptr && bytes.size() == static_cast<std::size_t>(storedSize) &&
      std::memcmp(bytes.data(), stored, bytes.size()) == 0)
    return true;
  if (pCustom != nullptr) {
    // The attributes' own buffer takes the bytes, as SetDataBuffer copies them.
    if (md::basilo::AssignBufferBytes(pCustom, bytes)) return true;
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  DataBufferPtr out(GIS_CreateDataBufferObject(0));
  if (!out || !md::basilo::AssignBufferBytes(out.get(), bytes)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE) failed");
    return false;
  }
  return m_pAttributes->SetDataBuffer("Custom", out.get(), 0) != FALSE;
}

}  // namespace md::layout
