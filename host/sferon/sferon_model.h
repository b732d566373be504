// Value definitions behind the spatial-reference interfaces and the classes
// that expose them. Every object holds its definition by value; a system
// holds its parts as members, so the pointers it hands out live as long as
// the system and stay valid when the definition is replaced.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "host/sferon/igis_spatialreference.h"

namespace md::sferon {

struct UnitDef {
  std::string name;
  std::string description;
  double factor = 1.0;  // radians or metres per unit
  bool angular = false;
  bool operator==(const UnitDef&) const = default;
};

struct EllipsoidDef {
  std::string name;
  std::string description;
  double a = 6378137.0;
  double b = 6356752.314140356;
  double shift[3] = {0.0, 0.0, 0.0};     // metres, to WGS 84
  double rotation[3] = {0.0, 0.0, 0.0};  // seconds of arc
  double scale = 0.0;                    // parts per million
  bool operator==(const EllipsoidDef&) const = default;
};

struct DatumDef {
  std::string name;
  std::string description;
  EllipsoidDef ellipsoid;
  bool operator==(const DatumDef&) const = default;
};

struct PrimeMeridianDef {
  std::string name = "Greenwich";
  std::string description = "格林尼治";
  double value = 0.0;
  bool operator==(const PrimeMeridianDef&) const = default;
};

struct GeographicDef {
  std::string name;
  std::string description;
  DatumDef datum;
  PrimeMeridianDef primeMeridian;
  UnitDef unit;
  bool operator==(const GeographicDef&) const = default;
};

struct ProjectionDef {
  std::string name;
  std::string description;
  std::string model;
  std::array<double, GIS_PROJPARAM_COUNT> params{};
  bool operator==(const ProjectionDef&) const = default;
};

struct ProjectedDef {
  std::string name;
  std::string description;
  GeographicDef geographic;
  ProjectionDef projection;
  UnitDef unit;
  bool operator==(const ProjectedDef&) const = default;
};

struct ReferenceDef {
  std::string name;
  std::string description;
  int kind = GIS_SPATIALREFERENCE_NONE;
  GeographicDef geographic;  // kind 1
  ProjectedDef projected;    // kind 2
  UnitDef linearUnit;        // the linear unit given to a geographic reference
  double unitFactor = 1.0;
  double origin[3] = {0.0, 0.0, 0.0};
  bool operator==(const ReferenceDef&) const = default;
};

// The predefined tables.
const UnitDef& AngularUnitDef(int index);  // index checked by the caller
int AngularUnitCount();
const UnitDef& LinearUnitDef(int index);
int LinearUnitCount();
const DatumDef& PredefinedDatum(int code);
int PredefinedDatumCount();
GeographicDef PredefinedGeographic(int datumCode);
// A Gauss-Kruger system of a zone (1 or above). With zonePrefix false the
// zone stays in the name but not in the x coordinates.
ProjectedDef GaussKrugerProjected(int datumCode, double centralMeridian, int zoneWidth, int zone,
                                  bool zonePrefix);

// Whole references on a predefined datum: geographic in degrees, and a
// Gauss-Kruger zone (zoneWidth 3 or 6, zone in range, checked by the caller).
ReferenceDef GeographicReference(int datumCode);
ReferenceDef GaussKrugerReference(int datumCode, int zoneWidth, int zone, bool zonePrefix);
// The catalogue of IGIS_SpatialReferenceFactory::GetPredefinedReferenceCount.
const std::vector<ReferenceDef>& PredefinedReferences();

// ---- Interface objects ------------------------------------------------------

// A new value each call, process-wide: a reference takes one at each change
// of its definition, so that two stamps that agree name one definition.
std::uint64_t NextStamp();

class CUnit final : public IGIS_Unit {
 public:
  explicit CUnit(const UnitDef& d) : m_def(d) {}
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  double GetFactor() override { return m_def.factor; }
  BOOL IsAngular() override { return m_def.angular ? TRUE : FALSE; }
  const UnitDef& Def() const { return m_def; }
  void SetDef(const UnitDef& d) { m_def = d; }
  ~CUnit() override = default;

 private:
  UnitDef m_def;
};

class CEllipsoid final : public IGIS_Ellipsoid {
 public:
  explicit CEllipsoid(const EllipsoidDef& d) : m_def(d) {}
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  double GetSemiMajorAxis() override { return m_def.a; }
  double GetSemiMinorAxis() override { return m_def.b; }
  double GetShiftX() override { return m_def.shift[0]; }
  double GetShiftY() override { return m_def.shift[1]; }
  double GetShiftZ() override { return m_def.shift[2]; }
  double GetRotationFAI() override { return m_def.rotation[0]; }
  double GetRotationOM() override { return m_def.rotation[1]; }
  double GetRotationKB() override { return m_def.rotation[2]; }
  double GetScaleCorrection() override { return m_def.scale; }
  void SetDef(const EllipsoidDef& d) { m_def = d; }
  ~CEllipsoid() override = default;

 private:
  EllipsoidDef m_def;
};

class CDatum final : public IGIS_Datum {
 public:
  explicit CDatum(const DatumDef& d) : m_def(d), m_ellipsoid(d.ellipsoid) {}
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  IGIS_Ellipsoid* GetEllipsoid() override { return &m_ellipsoid; }
  const DatumDef& Def() const { return m_def; }
  void SetDef(const DatumDef& d) {
    m_def = d;
    m_ellipsoid.SetDef(d.ellipsoid);
  }
  ~CDatum() override = default;

 private:
  DatumDef m_def;
  CEllipsoid m_ellipsoid;
};

class CPrimeMeridian final : public IGIS_PrimeMeridian {
 public:
  explicit CPrimeMeridian(const PrimeMeridianDef& d) : m_def(d) {}
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  double GetValue() override { return m_def.value; }
  const PrimeMeridianDef& Def() const { return m_def; }
  void SetDef(const PrimeMeridianDef& d) { m_def = d; }
  ~CPrimeMeridian() override = default;

 private:
  PrimeMeridianDef m_def;
};

class CGeographicCoordSys final : public IGIS_GeographicCoordSys {
 public:
  explicit CGeographicCoordSys(const GeographicDef& d)
      : m_def(d), m_datum(d.datum), m_primeMeridian(d.primeMeridian), m_unit(d.unit) {}
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  IGIS_Datum* GetDatum() override { return &m_datum; }
  IGIS_PrimeMeridian* GetPrimeMeridian() override { return &m_primeMeridian; }
  IGIS_Unit* GetAngularUnit() override { return &m_unit; }
  const GeographicDef& Def() const { return m_def; }
  void SetDef(const GeographicDef& d) {
    m_def = d;
    m_datum.SetDef(d.datum);
    m_primeMeridian.SetDef(d.primeMeridian);
    m_unit.SetDef(d.unit);
  }
  ~CGeographicCoordSys() override = default;

 private:
  GeographicDef m_def;
  CDatum m_datum;
  CPrimeMeridian m_primeMeridian;
  CUnit m_unit;
};

// The projection part of a projected system: it edits the system's
// definition in place.
class CProjection final : public IGIS_Projection {
 public:
  explicit CProjection(ProjectionDef* def) : m_def(def) {}
  // Where an edit of the parameters stamps the owner's change (NULL: none).
  void SetStamp(std::uint64_t* pStamp) { m_pStamp = pStamp; }
  CProjection(const CProjection&) = delete;
  CProjection& operator=(const CProjection&) = delete;
  const char* GetName() override { return m_def->name.c_str(); }
  const char* GetDescription() override { return m_def->description.c_str(); }
  const char* GetModelName() override { return m_def->model.c_str(); }
  BOOL GetParameter(int index, double* value) override;
  BOOL SetParameter(int index, double value) override;
  ~CProjection() override = default;

 private:
  ProjectionDef* m_def;
  std::uint64_t* m_pStamp = nullptr;
};

class CProjectedCoordSys final : public IGIS_ProjectedCoordSys {
 public:
  // The definition lives in the owner (a reference), so that edits made
  // through GetProjection() change the reference itself.
  explicit CProjectedCoordSys(ProjectedDef* def)
      : m_def(def), m_geographic(def->geographic), m_projection(&def->projection), m_unit(def->unit) {}
  CProjectedCoordSys(const CProjectedCoordSys&) = delete;
  CProjectedCoordSys& operator=(const CProjectedCoordSys&) = delete;
  const char* GetName() override { return m_def->name.c_str(); }
  const char* GetDescription() override { return m_def->description.c_str(); }
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override { return &m_geographic; }
  IGIS_Projection* GetProjection() override { return &m_projection; }
  IGIS_Unit* GetLinearUnit() override { return &m_unit; }
  void SetStamp(std::uint64_t* pStamp) { m_projection.SetStamp(pStamp); }
  // Refreshes the parts after the owner replaced the definition.
  void Refresh() {
    m_geographic.SetDef(m_def->geographic);
    m_unit.SetDef(m_def->unit);
  }
  ~CProjectedCoordSys() override = default;

 private:
  ProjectedDef* m_def;
  CGeographicCoordSys m_geographic;
  CProjection m_projection;
  CUnit m_unit;
};

class CSpatialReference final : public IGIS_SpatialReference {
 public:
  explicit CSpatialReference(const ReferenceDef& d);
  CSpatialReference(const CSpatialReference&) = delete;
  CSpatialReference& operator=(const CSpatialReference&) = delete;

  void Release() override { delete this; }
  const char* GetName() override { return m_def.name.c_str(); }
  const char* GetDescription() override { return m_def.description.c_str(); }
  int GetKind() override { return m_def.kind; }
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override;
  IGIS_ProjectedCoordSys* GetProjectedCoordSys() override;
  double GetUnitFactor() override { return m_def.unitFactor; }
  BOOL SetUnitFactor(double factor) override;
  void GetOrigin(SGIS_DPoint* origin) override;
  BOOL SetOrigin(SGIS_DPoint origin) override;
  void CopyFrom(IGIS_SpatialReference* source) override;
  BOOL Archive(IGIS_DataBuffer* buffer, int mode) override;
  double GetVerticalUnitFactor() override { return 1.0; }
  IGIS_Unit* GetVerticalUnit() override { return nullptr; }

  const ReferenceDef& Def() const { return m_def; }
  // The bytes the definition was read from, known to be what storing it
  // gives: kept as its stored form until it changes.
  void KeepStored(const std::uint8_t* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(m_memoMutex);
    m_stored.assign(data, data + size);
    m_storedStamp = m_stamp;
    m_bStoredExact = true;
  }
  // Identical definitions (Identical); an answer found true is kept while
  // neither definition changes.
  bool SameAs(const CSpatialReference& other);

 private:
  ~CSpatialReference() override = default;
  void Refresh();
  // The definition changed (a new stamp).
  void Changed() { m_stamp = NextStamp(); }

  std::uint64_t m_stamp = NextStamp();
  // Guards what reads remember (the stored bytes and the identical
  // reference below): a document's reference is read, stored and compared
  // by the pages of several threads at once. Changing the definition is a
  // write, which no other thread does at the same time.
  std::mutex m_memoMutex;
  // The stored bytes of the definition as it was at m_storedStamp (0: none),
  // and whether reading them gives that definition back.
  std::vector<std::uint8_t> m_stored;
  std::uint64_t m_storedStamp = 0;
  bool m_bStoredExact = false;
  // Another reference found identical, with both stamps then.
  const CSpatialReference* m_pSameAs = nullptr;
  std::uint64_t m_sameAsStamp = 0;
  std::uint64_t m_ownStampThen = 0;
  ReferenceDef m_def;
  CGeographicCoordSys m_geographic;
  CProjectedCoordSys m_projected;
};

// The definition behind any reference of this library; NULL for a foreign
// implementation or NULL.
const ReferenceDef* DefinitionOf(IGIS_SpatialReference* reference);

// Equal definitions whose numbers also have the same bits (== takes 0.0
// and -0.0 as equal; both are stored as written).
bool Identical(const ReferenceDef& a, const ReferenceDef& b);

}  // namespace md::sferon
