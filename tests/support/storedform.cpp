#include "tests/support/storedform.h"

#include <cstring>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_element.h"

namespace md::test {
namespace {

template <class T>
void Put(std::string* out, const T& value) {
  out->append(reinterpret_cast<const char*>(&value), sizeof value);
}
void PutText(std::string* out, const char* text) {
  const std::string s = text != nullptr ? text : "<null>";
  Put(out, s.size());
  out->append(s);
}
void PutBuffer(std::string* out, IGIS_DataBuffer* buffer) {
  const int n = buffer != nullptr ? buffer->GetSize() : -1;
  Put(out, n);
  if (n > 0) out->append(reinterpret_cast<const char*>(buffer->GetData()), static_cast<std::size_t>(n));
}

}  // namespace

std::string StoredForm(IGIS_Element* pElement) {
  std::string out;
  if (pElement == nullptr) return out;
  pElement->Archive(0, 0);
  IGIS_Feature* f = pElement->GetFeaturePtr();
  if (f == nullptr) return out;
  Put(&out, f->GetKind());
  Put(&out, f->GetOrder());
  if (IGIS_Geometry* g = f->GetGeometry()) {
    const int n = g->GetPointCount();
    Put(&out, n);
    for (int i = 0; i < n; ++i) {
      const SGIS_Point p = g->GetPoint(i, 0);
      Put(&out, p.x);
      Put(&out, p.y);
      Put(&out, p.z);
    }
    SGIS_Rect bound;
    g->GetBound(&bound, 1, 0);
    Put(&out, bound.left);
    Put(&out, bound.right);
    Put(&out, bound.top);
    Put(&out, bound.bottom);
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> symbol(GIS_CreateDataBufferObject(0));
  Put(&out, f->HasSymbol());
  if (f->HasSymbol() && f->GetSymbolData(symbol.get())) PutBuffer(&out, symbol.get());
  if (IGIS_FeatureAttributes* a = f->GetAttributes()) {
    for (int i = 0; i < a->GetFieldCount(); ++i) {
      const char* name = a->GetFieldName(i);
      // The run-time handle of the bound element is no stored state.
      if (name != nullptr && std::strcmp(name, "InterfacePtr") == 0) continue;
      PutText(&out, name);
      const int type = a->GetFieldType(name);
      Put(&out, type);
      switch (type) {
        case GIS_FIELD_TYPE_INT:
          Put(&out, a->GetInt(name));
          break;
        case GIS_FIELD_TYPE_DOUBLE:
          Put(&out, a->GetDouble(name));
          break;
        case GIS_FIELD_TYPE_BOOL:
          Put(&out, a->GetBool(name));
          break;
        case GIS_FIELD_TYPE_BUFFER:
          PutBuffer(&out, a->GetDataBuffer(name));
          break;
        default:
          PutText(&out, a->GetString(name));
          break;
      }
    }
  }
  return out;
}

std::string StoredForm(IGIS_FrameProperty* pFrame) {
  std::string out;
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  if (pFrame == nullptr || !pFrame->Save(buffer.get())) return out;
  PutBuffer(&out, buffer.get());
  return out;
}

}  // namespace md::test
