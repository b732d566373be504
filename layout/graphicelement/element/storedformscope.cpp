// Taking an object's stored form and reading it back.
#include "layout/graphicelement/element/storedformscope.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/igis_element.h"

namespace {

using Bytes = std::vector<BYTE>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

Bytes BytesOf(IGIS_DataBuffer* pBuffer) {
  const std::span<const BYTE> bytes = md::layout::BufferBytes(pBuffer);
  return Bytes(bytes.begin(), bytes.end());
}

DataBufferPtr BufferOf(const Bytes& bytes) {
  DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
  if (!buffer || !buffer->SetSize(static_cast<int>(bytes.size()))) return nullptr;
  if (!bytes.empty()) std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
  return buffer;
}

// One named field of a feature as stored.
struct FieldImage {
  std::string name;
  int type = 0;
  int nValue = 0;
  double dValue = 0.0;
  bool bValue = false;
  bool bHasText = false;
  std::string text;
  bool bHasBuffer = false;
  Bytes bytes;

  static FieldImage Of(IGIS_FeatureAttributes* pAttr, const char* szName) {
    FieldImage f;
    f.name = szName;
    f.type = pAttr->GetFieldType(szName);
    switch (f.type) {
      case GIS_FIELD_TYPE_INT:
        f.nValue = pAttr->GetInt(szName);
        break;
      case GIS_FIELD_TYPE_DOUBLE:
        f.dValue = pAttr->GetDouble(szName);
        break;
      case GIS_FIELD_TYPE_BOOL:
        f.bValue = pAttr->GetBool(szName);
        break;
      case GIS_FIELD_TYPE_BUFFER: {
        IGIS_DataBuffer* pBuffer = pAttr->GetDataBuffer(szName);
        f.bHasBuffer = pBuffer != nullptr;
        f.bytes = BytesOf(pBuffer);
        break;
      }
      default: {
        const char* szText = pAttr->GetString(szName);
        f.bHasText = szText != nullptr;
        if (szText != nullptr) f.text = szText;
        break;
      }
    }
    return f;
  }

  // Writes the field back when it differs; true when it was written.
  bool PutInto(IGIS_FeatureAttributes* pAttr) const {
    const char* szName = name.c_str();
    const bool bSameType = pAttr->GetFieldType(szName) == type;
    switch (type) {
      case GIS_FIELD_TYPE_INT:
        if (bSameType && pAttr->GetInt(szName) == nValue) return false;
        pAttr->SetInt(szName, nValue);
        return true;
      case GIS_FIELD_TYPE_DOUBLE: {
        const double now = pAttr->GetDouble(szName);
        // Bit for bit, so that a NaN or a signed zero comes back as it was.
        if (bSameType && std::memcmp(&now, &dValue, sizeof now) == 0) return false;
        pAttr->SetDouble(szName, dValue);
        return true;
      }
      case GIS_FIELD_TYPE_BOOL:
        if (bSameType && pAttr->GetBool(szName) == bValue) return false;
        pAttr->SetBool(szName, bValue);
        return true;
      case GIS_FIELD_TYPE_BUFFER: {
        if (!bHasBuffer) return false;
        if (bSameType && BytesOf(pAttr->GetDataBuffer(szName)) == bytes) return false;
        DataBufferPtr buffer = BufferOf(bytes);
        if (buffer) pAttr->SetDataBuffer(szName, buffer.get(), 0);
        return true;
      }
      default: {
        if (!bHasText) return false;
        const char* szNow = pAttr->GetString(szName);
        if (bSameType && szNow != nullptr && text == szNow) return false;
        pAttr->SetString(szName, text.c_str());
        return true;
      }
    }
  }
};

// What a feature stores: order, geometry, symbol bytes and named fields.
struct FeatureImage {
  int nKind = 0;
  BYTE order = 0;
  std::vector<SGIS_Point> points;
  bool bHasEllipse = false;
  SGIS_Rect ellipse;
  bool bHasSymbol = false;
  Bytes symbol;
  std::vector<FieldImage> fields;

  static bool IsPointList(int nKind) {
    return nKind == GIS_FEATURE_KIND_POINT || nKind == GIS_FEATURE_KIND_POLYLINE ||
           nKind == GIS_FEATURE_KIND_POLYGON || nKind == GIS_FEATURE_KIND_RECTANGLE;
  }

  static std::vector<SGIS_Point> PointsOf(IGIS_Geometry* pGeometry) {
    std::vector<SGIS_Point> points;
    if (pGeometry == nullptr) return points;
    const int n = std::clamp(pGeometry->GetPointCount(), 0, GIS_GEOMETRY_MAX_POINTS);
    points.resize(static_cast<std::size_t>(n));
    const int got = n > 0 ? pGeometry->GetPoints(n, points.data(), 0, 0) : 0;
    points.resize(static_cast<std::size_t>(std::max(got, 0)));
    return points;
  }

  static Bytes SymbolOf(IGIS_Feature* pFeature) {
    DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
    if (!buffer || !pFeature->GetSymbolData(buffer.get())) return {};
    return BytesOf(buffer.get());
  }

  static FeatureImage Of(IGIS_Feature* pFeature) {
    FeatureImage image;
    image.nKind = pFeature->GetKind();
    image.order = pFeature->GetOrder();
    IGIS_Geometry* pGeometry = pFeature->GetGeometry();
    if (IsPointList(image.nKind)) {
      image.points = PointsOf(pGeometry);
    } else if (image.nKind == GIS_FEATURE_KIND_ELLIPSE && pGeometry != nullptr) {
      image.bHasEllipse = pGeometry->GetBound(&image.ellipse, 0, 0) != FALSE;
    }
    image.bHasSymbol = pFeature->HasSymbol() != FALSE;
    if (image.bHasSymbol) image.symbol = SymbolOf(pFeature);
    if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes()) {
      const int n = pAttr->GetFieldCount();
      image.fields.reserve(static_cast<std::size_t>(std::max(n, 0)));
      for (int i = 0; i < n; ++i) {
        if (const char* szName = pAttr->GetFieldName(i))
          image.fields.push_back(FieldImage::Of(pAttr, szName));
      }
    }
    return image;
  }

  // Puts what differs back into the feature; true when anything did.
  bool PutInto(IGIS_Feature* pFeature) const {
    bool bChanged = false;
    if (pFeature->GetOrder() != order) {
      pFeature->SetOrder(order);
      bChanged = true;
    }
    IGIS_Geometry* pGeometry = pFeature->GetGeometry();
    if (pGeometry != nullptr && IsPointList(nKind) && PointsOf(pGeometry) != points) {
      pGeometry->SetPointCount(static_cast<int>(points.size()));
      for (std::size_t i = 0; i < points.size(); ++i) pGeometry->SetPoint(static_cast<int>(i), points[i], 0);
      bChanged = true;
    } else if (pGeometry != nullptr && bHasEllipse) {
      SGIS_Rect now;
      pGeometry->GetBound(&now, 0, 0);
      if (now != ellipse) {
        pGeometry->SetEllipse(ellipse, 0);
        bChanged = true;
      }
    }
    const bool bHasNow = pFeature->HasSymbol() != FALSE;
    if (bHasNow != bHasSymbol || (bHasSymbol && SymbolOf(pFeature) != symbol)) {
      pFeature->SetSymbolData(symbol.empty() ? nullptr : symbol.data(), static_cast<int>(symbol.size()));
      bChanged = true;
    }
    if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes()) {
      for (const FieldImage& f : fields) bChanged = f.PutInto(pAttr) || bChanged;
    }
    return bChanged;
  }
};

}  // namespace

CGIS_StoredFormScope::CGIS_StoredFormScope(IGIS_Element* pElement) {
  if (pElement == nullptr) return;
  // The element's state as it is now, also what it has not written yet.
  pElement->Archive(0, 0);
  IGIS_Feature* pFeature = pElement->GetFeaturePtr();
  if (pFeature == nullptr) return;
  auto image = std::make_shared<const FeatureImage>(FeatureImage::Of(pFeature));
  m_restore = [pElement, image] {
    // The feature is fetched again: a pointer kept across the edit may be gone.
    IGIS_Feature* pOwn = pElement->GetFeaturePtr();
    if (pOwn == nullptr) return false;
    if (image->PutInto(pOwn)) {
      if (IGIS_FeatureClass* pClass = pOwn->GetFeatureClass()) pClass->UpdateFeature(pOwn, GIS_UPDATE_ALL);
    }
    return pElement->Archive(1, 0) != FALSE;
  };
}

CGIS_StoredFormScope::CGIS_StoredFormScope(BufferOperation save, BufferOperation open) {
  if (!save || !open) return;
  DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
  if (!buffer || !save(buffer.get())) return;
  auto bytes = std::make_shared<const Bytes>(BytesOf(buffer.get()));
  m_restore = [bytes, read = std::move(open)] {
    DataBufferPtr stored = BufferOf(*bytes);
    return stored != nullptr && read(stored.get());
  };
}

CGIS_StoredFormScope::~CGIS_StoredFormScope() {
  if (!m_bKept) Restore();
}

bool CGIS_StoredFormScope::Restore() { return m_restore && m_restore(); }
