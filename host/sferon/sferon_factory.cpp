// The process-wide spatial-reference factory.
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/sferon/sferon_codec.h"
#include "host/sferon/sferon_model.h"
#include "host/sferon/sferon_transform.h"

namespace md::sferon {

namespace {

std::string Text(const char* s) { return s != nullptr ? s : ""; }

UnitDef UnitOf(IGIS_Unit* u) {
  UnitDef d;
  d.name = Text(u->GetName());
  d.description = Text(u->GetDescription());
  d.factor = u->GetFactor();
  d.angular = u->IsAngular() != FALSE;
  return d;
}

DatumDef DatumOf(IGIS_Datum* datum) {
  DatumDef d;
  d.name = Text(datum->GetName());
  d.description = Text(datum->GetDescription());
  if (IGIS_Ellipsoid* e = datum->GetEllipsoid()) {
    d.ellipsoid.name = Text(e->GetName());
    d.ellipsoid.description = Text(e->GetDescription());
    d.ellipsoid.a = e->GetSemiMajorAxis();
    d.ellipsoid.b = e->GetSemiMinorAxis();
    d.ellipsoid.shift[0] = e->GetShiftX();
    d.ellipsoid.shift[1] = e->GetShiftY();
    d.ellipsoid.shift[2] = e->GetShiftZ();
    d.ellipsoid.rotation[0] = e->GetRotationFAI();
    d.ellipsoid.rotation[1] = e->GetRotationOM();
    d.ellipsoid.rotation[2] = e->GetRotationKB();
    d.ellipsoid.scale = e->GetScaleCorrection();
  }
  return d;
}

GeographicDef GeographicOf(IGIS_GeographicCoordSys* g) {
  GeographicDef d;
  d.name = Text(g->GetName());
  d.description = Text(g->GetDescription());
  if (IGIS_Datum* datum = g->GetDatum()) d.datum = DatumOf(datum);
  if (IGIS_PrimeMeridian* pm = g->GetPrimeMeridian()) {
    d.primeMeridian.name = Text(pm->GetName());
    d.primeMeridian.description = Text(pm->GetDescription());
    d.primeMeridian.value = pm->GetValue();
  }
  d.unit = AngularUnitDef(1);
  if (IGIS_Unit* u = g->GetAngularUnit()) d.unit = UnitOf(u);
  return d;
}

ProjectionDef ProjectionOf(IGIS_Projection* p) {
  ProjectionDef d;
  d.name = Text(p->GetName());
  d.description = Text(p->GetDescription());
  d.model = Text(p->GetModelName());
  for (int i = 0; i < GIS_PROJPARAM_COUNT; ++i) {
    double v = 0.0;
    if (p->GetParameter(i, &v) && std::isfinite(v)) d.params[static_cast<std::size_t>(i)] = v;
  }
  return d;
}

class CFactory final : public IGIS_SpatialReferenceFactory {
 public:
  CFactory() {
    for (int i = 0; i < AngularUnitCount(); ++i)
      m_angular.push_back(std::make_unique<CUnit>(AngularUnitDef(i)));
    for (int i = 0; i < LinearUnitCount(); ++i) m_linear.push_back(std::make_unique<CUnit>(LinearUnitDef(i)));
    for (int i = 0; i < PredefinedDatumCount(); ++i)
      m_datums.push_back(std::make_unique<CDatum>(PredefinedDatum(i)));
  }

  int GetAngularUnitCount() override { return static_cast<int>(m_angular.size()); }
  IGIS_Unit* GetAngularUnit(int index) override {
    if (index < 0 || index >= GetAngularUnitCount()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::GetAngularUnit", "no angular unit %d",
              index);
      return nullptr;
    }
    return m_angular[static_cast<std::size_t>(index)].get();
  }
  int GetLinearUnitCount() override { return static_cast<int>(m_linear.size()); }
  IGIS_Unit* GetLinearUnit(int index) override {
    if (index < 0 || index >= GetLinearUnitCount()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::GetLinearUnit", "no linear unit %d", index);
      return nullptr;
    }
    return m_linear[static_cast<std::size_t>(index)].get();
  }
  IGIS_Unit* GetUnitByName(const char* name) override {
    if (name != nullptr) {
      for (auto* table : {&m_angular, &m_linear}) {
        for (auto& u : *table) {
          if (u->Def().name == name) return u.get();
        }
      }
    }
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::GetUnitByName", "no unit named %s",
            name != nullptr ? name : "NULL");
    return nullptr;
  }
  IGIS_Unit* CreateLinearUnit(const char* name, const char* description, double factor) override {
    if (!std::isfinite(factor) || factor <= 0.0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateLinearUnit", "bad unit factor");
      return nullptr;
    }
    return Intern(m_createdUnits, UnitDef{Text(name), Text(description), factor, false});
  }

  int GetDatumCount() override { return static_cast<int>(m_datums.size()); }
  IGIS_Datum* GetDatum(int code) override {
    if (code < 0 || code >= GetDatumCount()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::GetDatum", "no datum %d", code);
      return nullptr;
    }
    return m_datums[static_cast<std::size_t>(code)].get();
  }
  IGIS_PrimeMeridian* GetPrimeMeridian(int index) override { return index == 0 ? &m_greenwich : nullptr; }

  IGIS_SpatialReference* CreateSpatialReference(int code) override {
    // Built once: every grid and frame made new starts from one of these,
    // and the reference is made straight from it.
    const ReferenceDef* d = nullptr;
    switch (code) {
      case 0: {
        static const ReferenceDef kUnknown = [] {
          ReferenceDef r;
          r.name = "未知";
          r.description = "未定义坐标系";
          return r;
        }();
        d = &kUnknown;
        break;
      }
      case 1: {
        static const ReferenceDef kGeographic = GeographicReference(GIS_DATUM_CGCS2000);
        d = &kGeographic;
        break;
      }
      case 2:
      case 3: {
        // The catalogue's 3-degree zone 39 without prefix: central meridian 117E.
        static const ReferenceDef kZone39 = GaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, false);
        d = &kZone39;
        break;
      }
      default:
        GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateSpatialReference",
                "unknown kind code %d", code);
        return nullptr;
    }
    return md::basilo::MakeOrNull<CSpatialReference>("IGIS_SpatialReferenceFactory::CreateSpatialReference",
                                                     *d);
  }

  IGIS_GeographicCoordSys* CreateGeographicCoordSys(const char* name, const char* description,
                                                    IGIS_Datum* datum, IGIS_PrimeMeridian* primeMeridian,
                                                    IGIS_Unit* angularUnit) override {
    if (datum == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateGeographicCoordSys", "datum == NULL");
      return nullptr;
    }
    GeographicDef g;
    g.name = Text(name);
    g.description = Text(description);
    g.datum = DatumOf(datum);
    if (primeMeridian != nullptr) {
      g.primeMeridian.name = Text(primeMeridian->GetName());
      g.primeMeridian.description = Text(primeMeridian->GetDescription());
      g.primeMeridian.value = primeMeridian->GetValue();
    }
    g.unit = angularUnit != nullptr ? UnitOf(angularUnit) : AngularUnitDef(1);
    return Intern(m_createdSystems, g);
  }

  IGIS_SpatialReference* CreateGeographicReference(const char* name, const char* description,
                                                   IGIS_Projection* projection,
                                                   IGIS_GeographicCoordSys* system,
                                                   IGIS_Unit* linearUnit) override {
    if (system == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateGeographicReference",
              "geographic system == NULL");
      return nullptr;
    }
    ReferenceDef d;
    d.name = Text(name);
    d.description = Text(description);
    d.linearUnit = linearUnit != nullptr ? UnitOf(linearUnit) : LinearUnitDef(0);
    if (projection == nullptr) {
      d.kind = GIS_SPATIALREFERENCE_GEOGRAPHIC;
      d.geographic = GeographicOf(system);
    } else {
      d.kind = GIS_SPATIALREFERENCE_PROJECTED;
      d.projected.name = d.name;
      d.projected.description = d.description;
      d.projected.geographic = GeographicOf(system);
      d.projected.projection = ProjectionOf(projection);
      d.projected.unit = d.linearUnit;
    }
    std::string why;
    if (!detail::Storable(d, &why)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateGeographicReference",
              "bad definition: %s", why.c_str());
      return nullptr;
    }
    return md::basilo::MakeOrNull<CSpatialReference>(
        "IGIS_SpatialReferenceFactory::CreateGeographicReference", d);
  }

  IGIS_SpatialReference* CreateGaussKrugerReference(int datumCode, int zoneWidth, int zone,
                                                    BOOL zonePrefix) override {
    const int zones = zoneWidth == 3 ? 120 : zoneWidth == 6 ? 60 : 0;
    if (datumCode < 0 || datumCode >= GetDatumCount() || zones == 0 || zone < 1 || zone > zones) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateGaussKrugerReference",
              "bad datum %d, zone width %d, zone %d", datumCode, zoneWidth, zone);
      return nullptr;
    }
    const ReferenceDef d = GaussKrugerReference(datumCode, zoneWidth, zone, zonePrefix != FALSE);
    return md::basilo::MakeOrNull<CSpatialReference>(
        "IGIS_SpatialReferenceFactory::CreateGaussKrugerReference", d);
  }

  IGIS_CoordTransform* CreateCoordTransform(const char* name, const char* description,
                                            IGIS_SpatialReference* source,
                                            IGIS_SpatialReference* target) override {
    auto* t = md::basilo::MakeOrNull<CCoordTransform>("IGIS_SpatialReferenceFactory::CreateCoordTransform",
                                                      name, description);
    if (t == nullptr) return nullptr;
    if (source != nullptr || target != nullptr) t->SetSourceAndTarget(source, target);
    return t;
  }

  IGIS_SpatialReference* CreateFromBuffer(IGIS_DataBuffer* buffer) override {
    std::string why;
    if (buffer == nullptr || buffer->GetSize() <= 0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateFromBuffer",
              "buffer == NULL or empty");
      return nullptr;
    }
    const auto* data = buffer->GetData();
    const auto size = static_cast<std::size_t>(buffer->GetSize());
    bool bCanonical = false;
    const ReferenceDef* d = detail::DecodeReferenceCanonical(data, size, &bCanonical, &why);
    if (d == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreateFromBuffer",
              "damaged stored reference: %s", why.c_str());
      return nullptr;
    }
    CSpatialReference* r =
        md::basilo::MakeOrNull<CSpatialReference>("IGIS_SpatialReferenceFactory::CreateFromBuffer", *d);
    // Stored again, it gives the same bytes: they are kept.
    if (r != nullptr && bCanonical) r->KeepStored(data, size);
    return r;
  }

  int GetPredefinedReferenceCount() override { return static_cast<int>(PredefinedReferences().size()); }
  const char* GetPredefinedReferenceName(int index) override {
    if (index < 0 || index >= GetPredefinedReferenceCount()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::GetPredefinedReferenceName", "no entry %d",
              index);
      return nullptr;
    }
    return PredefinedReferences()[static_cast<std::size_t>(index)].name.c_str();
  }
  IGIS_SpatialReference* CreatePredefinedReference(int index) override {
    if (index < 0 || index >= GetPredefinedReferenceCount()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReferenceFactory::CreatePredefinedReference", "no entry %d",
              index);
      return nullptr;
    }
    return md::basilo::MakeOrNull<CSpatialReference>(
        "IGIS_SpatialReferenceFactory::CreatePredefinedReference",
        PredefinedReferences()[static_cast<std::size_t>(index)]);
  }
  int FindPredefinedReference(IGIS_SpatialReference* reference) override {
    const ReferenceDef* d = DefinitionOf(reference);
    if (d == nullptr) return -1;
    const auto& list = PredefinedReferences();
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i] == *d) return static_cast<int>(i);
    }
    return -1;
  }

 private:
  // The factory is one for the process and pages print on several threads:
  // the pools that grow are searched and grown under one lock. Their objects
  // are never removed, so a pointer handed out stays valid without it.
  template <class Object, class Def>
  Object* Intern(std::vector<std::unique_ptr<Object>>& pool, const Def& d) {
    std::lock_guard<std::mutex> lock(m_internLock);
    for (auto& o : pool) {
      if (o->Def() == d) return o.get();
    }
    pool.push_back(std::make_unique<Object>(d));
    return pool.back().get();
  }

  std::vector<std::unique_ptr<CUnit>> m_angular;
  std::vector<std::unique_ptr<CUnit>> m_linear;
  std::vector<std::unique_ptr<CUnit>> m_createdUnits;
  std::vector<std::unique_ptr<CDatum>> m_datums;
  std::vector<std::unique_ptr<CGeographicCoordSys>> m_createdSystems;
  std::mutex m_internLock;  // guards m_createdUnits and m_createdSystems
  CPrimeMeridian m_greenwich{PrimeMeridianDef()};
};

}  // namespace

}  // namespace md::sferon

extern "C" IGIS_SpatialReferenceFactory* GIS_GetSpatialReferenceFactoryObject() {
  static md::sferon::CFactory factory;
  return &factory;
}
