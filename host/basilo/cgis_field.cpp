#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <typeinfo>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/propertyset_codec.h"

// ---------------------------------------------------------------- buffer

CGIS_DataBuffer::CGIS_DataBuffer(int initialSize) {
  if (initialSize > 0) SetSize(initialSize);
}

void CGIS_DataBuffer::Release() {
  if (!owned_by_field_) delete this;
}

int CGIS_DataBuffer::GetSize() const { return static_cast<int>(bytes_.size()); }

BOOL CGIS_DataBuffer::SetSize(int n) {
  if (n < 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DataBuffer::SetSize", "n < 0 (%d)", n);
    return FALSE;
  }
  try {
    bytes_.resize(static_cast<std::size_t>(n), 0);
    // Emptied: a large block goes back; a small one is kept for the next use.
    if (n == 0 && bytes_.capacity() > kKeptCapacity) std::vector<BYTE>().swap(bytes_);
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DataBuffer::SetSize", "cannot allocate %d bytes", n);
    return FALSE;
  }
  return TRUE;
}

BYTE* CGIS_DataBuffer::GetData() { return bytes_.empty() ? nullptr : bytes_.data(); }

bool CGIS_DataBuffer::AssignBytes(std::span<const BYTE> bytes) {
  // Bytes of this buffer's own are copied out first.
  const BYTE* p = bytes.data();
  if (!bytes.empty() && !bytes_.empty() && p >= bytes_.data() && p < bytes_.data() + bytes_.size()) {
    const std::vector<BYTE> copy(bytes.begin(), bytes.end());
    return AssignBytes(copy);
  }
  try {
    bytes_.assign(bytes.begin(), bytes.end());
    if (bytes.empty() && bytes_.capacity() > kKeptCapacity) std::vector<BYTE>().swap(bytes_);
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DataBuffer::SetSize", "cannot allocate %zu bytes", bytes.size());
    return false;
  }
  return true;
}

bool md::basilo::AssignBufferBytes(IGIS_DataBuffer* pBuffer, std::span<const BYTE> bytes) {
  if (pBuffer == nullptr || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  // This library's own buffer is filled in one copy.
  if (typeid(*pBuffer) == typeid(CGIS_DataBuffer))
    return static_cast<CGIS_DataBuffer*>(pBuffer)->AssignBytes(bytes);
  const int n = static_cast<int>(bytes.size());
  if (!pBuffer->SetSize(n) || pBuffer->GetSize() != n) return false;
  if (n == 0) return true;
  BYTE* data = pBuffer->GetData();
  if (data == nullptr) return false;
  std::memmove(data, bytes.data(), bytes.size());
  return true;
}

// ---------------------------------------------------------------- field

bool IsValueTypeCode(int typeCode) {
  return typeCode == GIS_FIELD_TYPE_INT || typeCode == GIS_FIELD_TYPE_DOUBLE ||
         typeCode == GIS_FIELD_TYPE_STRING || typeCode == GIS_FIELD_TYPE_BUFFER ||
         typeCode == GIS_FIELD_TYPE_BOOL;
}

namespace {

// Truncates towards zero; NaN gives 0 and out-of-range values are clamped.
std::int32_t DoubleToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// The leading number of a text (0 when it has none).
double TextToDouble(const std::string& s) {
  const char* p = s.c_str();
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(p, &end);
  if (end == p) return 0.0;
  return v;
}

bool TextToBool(const std::string& s) {
  if (s == "true" || s == "TRUE" || s == "True") return true;
  const double v = TextToDouble(s);
  return v != 0.0 && !std::isnan(v);
}

// The shortest text that reads back as the same double.
std::string FormatDouble(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

}  // namespace

void CGIS_Field::Release() {
  if (owner_kind_ == Owner::None) delete this;
}

const char* CGIS_Field::GetLabel() const { return name_.c_str(); }

BOOL CGIS_Field::SetName(const char* key) {
  if (key == nullptr || key[0] == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetName", "key == NULL || key is empty");
    return FALSE;
  }
  std::string name(key);
  if (name == name_) return TRUE;
  if (owner_kind_ == Owner::Globals) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetName", "a registered global property cannot be renamed (%s)",
            name_.c_str());
    return FALSE;
  }
  if (owner_set_ != nullptr && !owner_set_->Rename(this, name)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetName", "key %s already in the set", key);
    return FALSE;
  }
  KeepDescription();
  name_ = std::move(name);
  return TRUE;
}

CGIS_DataBuffer* CGIS_Field::EnsureBuffer() {
  if (!buffer_) {
    buffer_ = std::make_unique<CGIS_DataBuffer>();
    buffer_->SetOwnedByField();
  }
  return buffer_.get();
}

BOOL CGIS_Field::SetType(int typeCode) {
  if (!IsValueTypeCode(typeCode)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetType", "unknown type code %d", typeCode);
    return FALSE;
  }
  if (typeCode == type_) return TRUE;
  // Convert the current value into the new type before switching.
  std::int32_t i = GetInt();
  double d = GetDouble();
  bool b = GetBool();
  const char* s = GetString();
  std::string text = s != nullptr ? std::string(s) : std::string();
  const int old = type_;
  type_ = typeCode;
  int_ = 0;
  double_ = 0.0;
  bool_ = false;
  text_.clear();
  if (old == GIS_FIELD_TYPE_BUFFER && buffer_) buffer_->Clear();
  object_ = nullptr;
  const bool hadScalar =
      old != GIS_FIELD_TYPE_NONE && old != GIS_FIELD_TYPE_BUFFER && old != GIS_FIELD_TYPE_OBJECT;
  if (hadScalar) {
    switch (typeCode) {
      case GIS_FIELD_TYPE_INT:
        int_ = i;
        break;
      case GIS_FIELD_TYPE_DOUBLE:
        double_ = d;
        break;
      case GIS_FIELD_TYPE_BOOL:
        bool_ = b;
        break;
      case GIS_FIELD_TYPE_STRING:
        text_ = text;
        break;
      default:
        break;
    }
  }
  if (typeCode == GIS_FIELD_TYPE_BUFFER) EnsureBuffer();
  return TRUE;
}

int CGIS_Field::GetType() const { return type_; }

const char* CGIS_Field::GetDescription() const { return Description().c_str(); }

BOOL CGIS_Field::SetDescription(const char* text) {
  if (text != nullptr && text[0] != '\0' && name_ == text) {
    description_.clear();
    description_is_name_ = true;
    return TRUE;
  }
  description_ = text != nullptr ? text : "";
  description_is_name_ = false;
  return TRUE;
}

namespace {

// A value of any type as an integer or a boolean (texts by their leading number).
std::int32_t ValueAsInt(int type, std::int32_t i, double d, bool b, std::string_view text) {
  switch (type) {
    case GIS_FIELD_TYPE_INT:
      return i;
    case GIS_FIELD_TYPE_DOUBLE:
      return DoubleToInt(d);
    case GIS_FIELD_TYPE_BOOL:
      return b ? 1 : 0;
    case GIS_FIELD_TYPE_STRING:
      return DoubleToInt(TextToDouble(std::string(text)));
    default:
      return 0;
  }
}

bool ValueAsBool(int type, std::int32_t i, double d, bool b, std::string_view text) {
  switch (type) {
    case GIS_FIELD_TYPE_INT:
      return i != 0;
    case GIS_FIELD_TYPE_DOUBLE:
      return d != 0.0 && !std::isnan(d);
    case GIS_FIELD_TYPE_BOOL:
      return b;
    case GIS_FIELD_TYPE_STRING:
      return TextToBool(std::string(text));
    default:
      return false;
  }
}

}  // namespace

int CGIS_Field::GetInt() const { return ValueAsInt(type_, int_, double_, bool_, text_); }

bool CGIS_Field::GetBool() const { return ValueAsBool(type_, int_, double_, bool_, text_); }

namespace md::basilo {

std::int32_t StoredInt(const StoredFieldView& f) {
  return ValueAsInt(f.type, f.intValue, f.doubleValue, f.boolValue, f.text);
}

bool StoredBool(const StoredFieldView& f) {
  return ValueAsBool(f.type, f.intValue, f.doubleValue, f.boolValue, f.text);
}

}  // namespace md::basilo

double CGIS_Field::GetDouble() const {
  switch (type_) {
    case GIS_FIELD_TYPE_INT:
      return int_;
    case GIS_FIELD_TYPE_DOUBLE:
      return double_;
    case GIS_FIELD_TYPE_BOOL:
      return bool_ ? 1.0 : 0.0;
    case GIS_FIELD_TYPE_STRING:
      return TextToDouble(text_);
    default:
      return 0.0;
  }
}

const char* CGIS_Field::Formatted(std::string text) const {
  if (!formatted_) formatted_ = std::make_unique<std::string>();
  *formatted_ = std::move(text);
  return formatted_->c_str();
}

const char* CGIS_Field::GetString() const {
  switch (type_) {
    case GIS_FIELD_TYPE_STRING:
      return text_.c_str();
    case GIS_FIELD_TYPE_INT:
      return Formatted(std::to_string(int_));
    case GIS_FIELD_TYPE_DOUBLE:
      return Formatted(FormatDouble(double_));
    case GIS_FIELD_TYPE_BOOL:
      return Formatted(bool_ ? "1" : "0");
    default:
      return nullptr;
  }
}

BOOL CGIS_Field::SetInt(int value) {
  if (type_ == GIS_FIELD_TYPE_NONE) type_ = GIS_FIELD_TYPE_INT;
  switch (type_) {
    case GIS_FIELD_TYPE_INT:
      int_ = value;
      return TRUE;
    case GIS_FIELD_TYPE_DOUBLE:
      double_ = value;
      return TRUE;
    case GIS_FIELD_TYPE_BOOL:
      bool_ = value != 0;
      return TRUE;
    case GIS_FIELD_TYPE_STRING:
      text_ = std::to_string(value);
      return TRUE;
    default:
      break;
  }
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetInt", "%s holds no scalar value (type %d)", name_.c_str(),
          type_);
  return FALSE;
}

BOOL CGIS_Field::SetBool(bool value) {
  if (type_ == GIS_FIELD_TYPE_NONE) type_ = GIS_FIELD_TYPE_BOOL;
  switch (type_) {
    case GIS_FIELD_TYPE_INT:
      int_ = value ? 1 : 0;
      return TRUE;
    case GIS_FIELD_TYPE_DOUBLE:
      double_ = value ? 1.0 : 0.0;
      return TRUE;
    case GIS_FIELD_TYPE_BOOL:
      bool_ = value;
      return TRUE;
    case GIS_FIELD_TYPE_STRING:
      text_ = value ? "1" : "0";
      return TRUE;
    default:
      break;
  }
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetBool", "%s holds no scalar value (type %d)", name_.c_str(),
          type_);
  return FALSE;
}

BOOL CGIS_Field::SetDouble(double value) {
  if (type_ == GIS_FIELD_TYPE_NONE) type_ = GIS_FIELD_TYPE_DOUBLE;
  switch (type_) {
    case GIS_FIELD_TYPE_INT:
      int_ = DoubleToInt(value);
      return TRUE;
    case GIS_FIELD_TYPE_DOUBLE:
      double_ = value;
      return TRUE;
    case GIS_FIELD_TYPE_BOOL:
      bool_ = value != 0.0 && !std::isnan(value);
      return TRUE;
    case GIS_FIELD_TYPE_STRING:
      text_ = FormatDouble(value);
      return TRUE;
    default:
      break;
  }
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetDouble", "%s holds no scalar value (type %d)", name_.c_str(),
          type_);
  return FALSE;
}

BOOL CGIS_Field::SetString(const char* text) {
  std::string s = text != nullptr ? text : "";
  if (type_ == GIS_FIELD_TYPE_NONE) type_ = GIS_FIELD_TYPE_STRING;
  switch (type_) {
    case GIS_FIELD_TYPE_INT:
      int_ = DoubleToInt(TextToDouble(s));
      return TRUE;
    case GIS_FIELD_TYPE_DOUBLE:
      double_ = TextToDouble(s);
      return TRUE;
    case GIS_FIELD_TYPE_BOOL:
      bool_ = TextToBool(s);
      return TRUE;
    case GIS_FIELD_TYPE_STRING:
      text_ = std::move(s);
      return TRUE;
    default:
      break;
  }
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Field::SetString", "%s holds no scalar value (type %d)", name_.c_str(),
          type_);
  return FALSE;
}

IGIS_DataBuffer* CGIS_Field::GetDataBuffer() {
  if (type_ != GIS_FIELD_TYPE_BUFFER) return nullptr;
  return EnsureBuffer();
}

void* CGIS_Field::GetObject() const { return type_ == GIS_FIELD_TYPE_OBJECT ? object_ : nullptr; }

void CGIS_Field::AssignObject(void* object) {
  if (type_ != GIS_FIELD_TYPE_OBJECT) {
    int_ = 0;
    double_ = 0.0;
    bool_ = false;
    text_.clear();
    if (buffer_) buffer_->Clear();
    type_ = GIS_FIELD_TYPE_OBJECT;
  }
  object_ = object;
}

const std::vector<BYTE>& CGIS_Field::BufferBytes() const {
  static const std::vector<BYTE> kEmpty;
  return buffer_ ? buffer_->Bytes() : kEmpty;
}

void CGIS_Field::AssignStored(int typeCode, std::string description, bool descriptionIsName, std::int32_t i,
                              double d, bool b, std::string text, std::vector<BYTE>&& bytes) {
  type_ = typeCode;
  description_ = std::move(description);
  description_is_name_ = descriptionIsName;
  int_ = i;
  double_ = d;
  bool_ = b;
  text_ = std::move(text);
  object_ = nullptr;
  if (typeCode == GIS_FIELD_TYPE_BUFFER) {
    EnsureBuffer()->Assign(std::move(bytes));
  } else if (buffer_) {
    buffer_->Clear();
  }
}

extern "C" IGIS_Field* GIS_CreateFieldObject() {
  return md::basilo::MakeOrNull<CGIS_Field>("GIS_CreateFieldObject");
}

extern "C" IGIS_DataBuffer* GIS_CreateDataBufferObject(int initialSize) {
  auto* b = md::basilo::MakeOrNull<CGIS_DataBuffer>("GIS_CreateDataBufferObject");
  if (b != nullptr && initialSize > 0 && !b->SetSize(initialSize)) {
    delete b;
    return nullptr;
  }
  return b;
}
