// Named fields of a feature, kept in a property set.
#include <cstring>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/featra_impl.h"

namespace md::featra {

namespace {

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

bool IsEmptyName(const char* name) { return name == nullptr || name[0] == '\0'; }

}  // namespace

IGIS_Field* CGIS_FeatureAttributes::Prepare(const char* name, int type, const char* method) {
  if (IsEmptyName(name)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "name == NULL");
    return nullptr;
  }
  IGIS_Field* field = set_.GetProperty(name);
  if (field == nullptr) {
    field = set_.AddProperty(name, name, type, 1);
  } else if (field->GetType() != type && !field->SetType(type)) {
    field = nullptr;
  }
  if (field == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "cannot make field %s", name);
  return field;
}

int CGIS_FeatureAttributes::GetInt(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  return f == nullptr ? 0 : f->GetInt();
}

const char* CGIS_FeatureAttributes::GetString(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  return f == nullptr ? nullptr : f->GetString();
}

bool CGIS_FeatureAttributes::GetBool(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  return f != nullptr && f->GetBool();
}

double CGIS_FeatureAttributes::GetDouble(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  return f == nullptr ? 0.0 : f->GetDouble();
}

IGIS_DataBuffer* CGIS_FeatureAttributes::GetDataBuffer(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  if (f == nullptr || f->GetType() != GIS_FIELD_TYPE_BUFFER) return nullptr;
  return f->GetDataBuffer();
}

BOOL CGIS_FeatureAttributes::SetInt(const char* name, int value) {
  IGIS_Field* f = Prepare(name, GIS_FIELD_TYPE_INT, "CGIS_FeatureAttributes::SetInt");
  return f != nullptr && f->SetInt(value) ? TRUE : FALSE;
}

BOOL CGIS_FeatureAttributes::SetString(const char* name, const char* value) {
  IGIS_Field* f = Prepare(name, GIS_FIELD_TYPE_STRING, "CGIS_FeatureAttributes::SetString");
  return f != nullptr && f->SetString(value) ? TRUE : FALSE;
}

BOOL CGIS_FeatureAttributes::SetBool(const char* name, bool value) {
  IGIS_Field* f = Prepare(name, GIS_FIELD_TYPE_BOOL, "CGIS_FeatureAttributes::SetBool");
  return f != nullptr && f->SetBool(value) ? TRUE : FALSE;
}

BOOL CGIS_FeatureAttributes::SetDouble(const char* name, double value) {
  IGIS_Field* f = Prepare(name, GIS_FIELD_TYPE_DOUBLE, "CGIS_FeatureAttributes::SetDouble");
  return f != nullptr && f->SetDouble(value) ? TRUE : FALSE;
}

BOOL CGIS_FeatureAttributes::SetDataBuffer(const char* name, IGIS_DataBuffer* buffer, int) {
  if (buffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureAttributes::SetDataBuffer", "pBuffer == NULL");
    return FALSE;
  }
  IGIS_Field* f = Prepare(name, GIS_FIELD_TYPE_BUFFER, "CGIS_FeatureAttributes::SetDataBuffer");
  if (f == nullptr) return FALSE;
  IGIS_DataBuffer* own = f->GetDataBuffer();
  if (own == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FeatureAttributes::SetDataBuffer", "field %s has no buffer", name);
    return FALSE;
  }
  if (own == buffer) return TRUE;
  const int size = buffer->GetSize();
  if (!own->SetSize(size)) return FALSE;
  if (size > 0) std::memcpy(own->GetData(), buffer->GetData(), static_cast<std::size_t>(size));
  return TRUE;
}

int CGIS_FeatureAttributes::GetFieldCount() { return set_.GetCount(); }

const char* CGIS_FeatureAttributes::GetFieldName(int index) {
  if (index < 0) return nullptr;
  IGIS_Field* f = set_.GetFirstPosition();
  for (int i = 0; f != nullptr && i < index; ++i) f = set_.GetNext(f);
  return f == nullptr ? nullptr : f->GetLabel();
}

int CGIS_FeatureAttributes::GetFieldType(const char* name) {
  IGIS_Field* f = IsEmptyName(name) ? nullptr : set_.GetProperty(name);
  return f == nullptr ? 0 : f->GetType();
}

bool CGIS_FeatureAttributes::WriteImage(std::vector<std::uint8_t>* out) {
  return set_.WriteBytes(out) != FALSE;
}

bool CGIS_FeatureAttributes::WriteImage(md::basilo::PropertySetEncoder* encoder,
                                        std::span<const std::uint8_t>* image) const {
  return set_.Encode(encoder, image) != FALSE;
}

bool CGIS_FeatureAttributes::ReadImage(const std::uint8_t* data, std::size_t size) {
  return size <= static_cast<std::size_t>(INT32_MAX) && set_.ReadBytes(data, size) != FALSE;
}

}  // namespace md::featra
