#include "tests/host/featra/featratest.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "host/basilo/igis_globalproperties.h"

namespace md::test {

BufferPtr MakeBuffer(const std::string& bytes) {
  BufferPtr b(GIS_CreateDataBufferObject(static_cast<int>(bytes.size())));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
  return b;
}

std::string BufferBytes(IGIS_DataBuffer* buffer) {
  if (buffer == nullptr || buffer->GetSize() == 0) return std::string();
  return std::string(reinterpret_cast<const char*>(buffer->GetData()),
                     static_cast<std::size_t>(buffer->GetSize()));
}

// ---- symbols ---------------------------------------------------------------

int TestSymbol::live = 0;

IGIS_Symbol* AsSymbol(TestSymbol* s) { return reinterpret_cast<IGIS_Symbol*>(s); }
TestSymbol* FromSymbol(IGIS_Symbol* s) { return reinterpret_cast<TestSymbol*>(s); }

void InstallTestSymbolCodec() {
  SGIS_FeatureSymbolCodec codec;
  codec.save = [](IGIS_Symbol* symbol, IGIS_DataBuffer* buffer) -> BOOL {
    const std::string& text = FromSymbol(symbol)->text;
    if (!buffer->SetSize(static_cast<int>(text.size()))) return FALSE;
    if (!text.empty()) std::memcpy(buffer->GetData(), text.data(), text.size());
    return TRUE;
  };
  codec.load = [](const void* data, int size) -> IGIS_Symbol* {
    std::string text(static_cast<const char*>(data), static_cast<std::size_t>(size));
    if (text.rfind("sym:", 0) != 0) return nullptr;  // only symbols this codec wrote
    return AsSymbol(new TestSymbol(text));
  };
  codec.release = [](IGIS_Symbol* symbol) { delete FromSymbol(symbol); };
  GIS_SetFeatureSymbolCodec(&codec);
}

void RemoveSymbolCodec() { GIS_SetFeatureSymbolCodec(nullptr); }

// ---- elements --------------------------------------------------------------

int TestElement::live = 0;

TestElement::TestElement() { ++live; }
TestElement::~TestElement() {
  GIS_UnregisterElement(AsElement(this));
  --live;
}

IGIS_Element* AsElement(TestElement* e) { return reinterpret_cast<IGIS_Element*>(e); }
TestElement* FromElement(IGIS_Element* e) { return reinterpret_cast<TestElement*>(e); }

void InstallTestElementHooks() {
  SGIS_ElementHooks hooks;
  hooks.create = [](const char* type, IGIS_FeatureSet* owner) -> IGIS_Element* {
    if (std::strcmp(type, "GIS_TYPE_GRAPHIC_ELEMENT_RECT") != 0) return nullptr;
    IGIS_Feature* feature = owner->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
    if (feature == nullptr) return nullptr;
    auto* e = new TestElement;
    e->owner = owner;
    e->featureId = feature->GetID();
    e->type = type;
    feature->GetAttributes()->SetInt("InterfacePtr", GIS_RegisterElement(AsElement(e)));
    feature->GetAttributes()->SetString("TYPE", type);
    return AsElement(e);
  };
  hooks.release = [](IGIS_Element* e) { delete FromElement(e); };
  hooks.featureId = [](IGIS_Element* e) { return FromElement(e)->featureId; };
  GIS_SetElementHooks(&hooks);
}

void RemoveElementHooks() { GIS_SetElementHooks(nullptr); }

// ---- description -------------------------------------------------------------

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof b, "%02x", c);
    out += b;
  }
  return out;
}

std::string RectText(const SGIS_Rect& r) {
  std::ostringstream s;
  s << "(" << r.left << "," << r.right << "," << r.top << "," << r.bottom << ")";
  return s.str();
}

}  // namespace

std::string Describe(IGIS_FeatureSet* set) {
  std::ostringstream s;
  char ratio[40];
  std::snprintf(ratio, sizeof ratio, "%.17g", set->GetUnitRatio());
  s << "set '" << set->GetName() << "' ratio " << ratio << " count " << set->GetFeatureCount() << "\n";
  for (int i = 0; i < set->GetFeatureCount(); ++i) {
    IGIS_Feature* f = set->GetFeatureByIndex(i);
    if (f == nullptr) {
      s << "[" << i << "] missing\n";
      continue;
    }
    SGIS_Rect bound;
    const BOOL hasBound = f->GetBound(&bound, 1, 0);
    s << "id " << f->GetID() << " kind " << f->GetKind() << " order " << int(f->GetOrder()) << " bound "
      << (hasBound ? RectText(bound) : "none");
    IGIS_Geometry* g = f->GetGeometry();
    std::vector<SGIS_Point> points(static_cast<std::size_t>(g->GetPointCount()));
    const int n = g->GetPoints(static_cast<int>(points.size()), points.data(), 0, 0);
    s << " points";
    for (int k = 0; k < n; ++k) s << " " << points[k].x << "/" << points[k].y << "/" << points[k].z;
    if (f->GetKind() == GIS_FEATURE_KIND_ELLIPSE) {
      SGIS_Rect e;
      s << " ellipse " << (g->GetBound(&e, 0, 0) ? RectText(e) : "none");
    }
    s << " members";
    for (int k = 0; k < f->GetMemberCount(); ++k) s << " " << f->GetMemberID(k);
    BufferPtr symbol(GIS_CreateDataBufferObject(0));
    s << " symbol " << (f->GetSymbolData(symbol.get()) ? Hex(BufferBytes(symbol.get())) : "none");
    IGIS_FeatureAttributes* a = f->GetAttributes();
    s << " fields";
    for (int k = 0; a != nullptr && k < a->GetFieldCount(); ++k) {
      const char* name = a->GetFieldName(k);
      const int type = a->GetFieldType(name);
      s << " " << name << ":" << type << "=";
      switch (type) {
        case GIS_FIELD_TYPE_INT:
          s << a->GetInt(name);
          break;
        case GIS_FIELD_TYPE_DOUBLE: {
          char d[40];
          std::snprintf(d, sizeof d, "%.17g", a->GetDouble(name));
          s << d;
          break;
        }
        case GIS_FIELD_TYPE_STRING:
          s << "'" << a->GetString(name) << "'";
          break;
        case GIS_FIELD_TYPE_BUFFER:
          s << Hex(BufferBytes(a->GetDataBuffer(name)));
          break;
        case GIS_FIELD_TYPE_BOOL:
          s << (a->GetBool(name) ? "true" : "false");
          break;
        default:
          s << "?";
          break;
      }
    }
    s << "\n";
  }
  return s.str();
}

SetPtr MakeSampleSet() {
  SetPtr set = NewSet("示例页面");
  set->SetUnitRatio(2.5);
  IGIS_FeatureClass* cls = set->GetFeatureClass();

  IGIS_Feature* point = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  point->GetGeometry()->SetPointCount(1);
  point->GetGeometry()->SetPoint(0, SGIS_Point(5, -7, 1), 0);

  IGIS_Feature* line = cls->CreateFeature(GIS_FEATURE_KIND_POLYLINE, 0);
  line->GetGeometry()->InsertPoint(0, SGIS_Point(INT32_MIN, 3), 0);
  line->GetGeometry()->InsertPoint(1, SGIS_Point(INT32_MAX, -4, 9), 0);
  line->GetGeometry()->InsertPoint(1, SGIS_Point(0, 0), 0);
  line->SetOrder(0xF6);

  IGIS_Feature* polygon = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  polygon->GetGeometry()->SetPointCount(4);
  polygon->GetGeometry()->SetPoint(0, SGIS_Point(0, 0), 0);
  polygon->GetGeometry()->SetPoint(1, SGIS_Point(300, 0), 0);
  polygon->GetGeometry()->SetPoint(2, SGIS_Point(150, 260), 0);
  polygon->GetGeometry()->SetPoint(3, SGIS_Point(0, 0), 0);
  const std::string symbolBytes("\x00\x01\xff\xfe sym", 8);
  polygon->SetSymbolData(symbolBytes.data(), static_cast<int>(symbolBytes.size()));

  IGIS_Feature* ellipse = cls->CreateFeature(GIS_FEATURE_KIND_ELLIPSE, 0);
  ellipse->GetGeometry()->SetEllipse(SGIS_Rect(100, 50, 10, 400), 0);

  IGIS_Feature* gone = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0);
  cls->DeleteFeature(gone->GetID());  // leaves a gap in the IDs

  IGIS_Feature* rect = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  rect->GetGeometry()->SetRect(SGIS_Rect(1000, 2000, 4000, 500), 0);
  IGIS_FeatureAttributes* a = rect->GetAttributes();
  a->SetInt("InterfacePtr", 12345);
  a->SetString("TYPE", "GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  a->SetBool("IsLock", true);
  a->SetBool("KeepHVScaleRatio", false);
  a->SetInt("ElementOrder", -10);
  a->SetString("ElementName", "矩形整饰单元");
  a->SetDouble("Scale", 0.1);
  IGIS_PropertySet* custom = GIS_CreatePropertySetObject();
  custom->AddProperty("Text", "文本", GIS_FIELD_TYPE_STRING, 1)->SetString("图例 ✓");
  custom->AddProperty("Angle", "角度", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(-12.5);
  BufferPtr nested(GIS_CreateDataBufferObject(0));
  custom->Archive(nested.get(), GIS_ARCHIVE_WRITE, 0);
  custom->Release();
  a->SetDataBuffer("Custom", nested.get(), 0);
  BufferPtr raw = MakeBuffer(std::string("\x00\x00\x7f\x80", 4));
  a->SetDataBuffer("Raw", raw.get(), 0);

  IGIS_Feature* empty = cls->CreateFeature(GIS_FEATURE_KIND_RECTANGLE, 0);
  empty->GetAttributes()->SetString("ElementName", "");

  IGIS_Feature* inner = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  inner->AddMember(point->GetID());
  IGIS_Feature* outer = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0);
  outer->AddMember(polygon->GetID());
  outer->AddMember(inner->GetID());
  outer->AddMember(ellipse->GetID());
  outer->GetAttributes()->SetString("TYPE", "GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND");
  (void)line;
  (void)empty;
  return set;
}

std::string TempPath(const std::string& name) {
  // The process ID keeps test programs that run at the same time apart.
  return std::string(GIS_GetTempDir()) + "/featra-test-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace md::test
