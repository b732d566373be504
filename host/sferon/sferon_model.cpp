#include "host/sferon/sferon_model.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "host/basilo/igis_log.h"
#include "host/sferon/sferon_codec.h"

namespace md::sferon {

namespace {

constexpr double kPi = 3.14159265358979323846;

const UnitDef kAngularUnits[] = {
    {"弧度", "radian", 1.0, true},
    {"度", "degree", kPi / 180.0, true},
    {"分", "minute of arc", kPi / 180.0 / 60.0, true},
    {"秒", "second of arc", kPi / 180.0 / 3600.0, true},
    {"百分度", "grad", kPi / 200.0, true},
};

const UnitDef kLinearUnits[] = {
    {"米", "metre", 1.0, false},          {"千米", "kilometre", 1000.0, false},
    {"分米", "decimetre", 0.1, false},    {"厘米", "centimetre", 0.01, false},
    {"毫米", "millimetre", 0.001, false}, {"英尺", "foot", 0.3048, false},
    {"英寸", "inch", 0.0254, false},      {"码", "yard", 0.9144, false},
    {"英里", "mile", 1609.344, false},    {"海里", "nautical mile", 1852.0, false},
};

EllipsoidDef MakeEllipsoid(const char* name, const char* description, double a, double inverseFlattening) {
  EllipsoidDef e;
  e.name = name;
  e.description = description;
  e.a = a;
  e.b = a * (1.0 - 1.0 / inverseFlattening);
  return e;
}

// Datum shifts to WGS 84 are not published as one set of parameters for the
// national datums; all four are taken as coincident with WGS 84, so moving
// between them changes only the ellipsoid.
const DatumDef& Datum(int code) {
  static const DatumDef datums[] = {
      {"CGCS2000", "2000国家大地坐标系", MakeEllipsoid("CGCS2000", "CGCS2000椭球", 6378137.0, 298.257222101)},
      {"Xian 1980", "1980西安坐标系", MakeEllipsoid("IAG 1975", "1975国际椭球", 6378140.0, 298.257)},
      {"Beijing 1954", "1954北京坐标系",
       MakeEllipsoid("Krassowsky 1940", "克拉索夫斯基椭球", 6378245.0, 298.3)},
      {"WGS 84", "WGS 84", MakeEllipsoid("WGS 84", "WGS 84椭球", 6378137.0, 298.257223563)},
  };
  return datums[code];
}

}  // namespace

const UnitDef& AngularUnitDef(int index) { return kAngularUnits[index]; }
int AngularUnitCount() { return static_cast<int>(sizeof kAngularUnits / sizeof kAngularUnits[0]); }
const UnitDef& LinearUnitDef(int index) { return kLinearUnits[index]; }
int LinearUnitCount() { return static_cast<int>(sizeof kLinearUnits / sizeof kLinearUnits[0]); }
const DatumDef& PredefinedDatum(int code) { return Datum(code); }
int PredefinedDatumCount() { return 4; }

GeographicDef PredefinedGeographic(int datumCode) {
  GeographicDef g;
  g.datum = Datum(datumCode);
  g.name = g.datum.name;
  g.description = g.datum.description;
  g.unit = kAngularUnits[1];
  return g;
}

ProjectedDef GaussKrugerProjected(int datumCode, double centralMeridian, int zoneWidth, int zone,
                                  bool zonePrefix) {
  ProjectedDef p;
  p.geographic = PredefinedGeographic(datumCode);
  char buffer[160];
  if (zonePrefix) {
    std::snprintf(buffer, sizeof buffer, "%s / %d度带 %d带", p.geographic.name.c_str(), zoneWidth, zone);
  } else {
    std::snprintf(buffer, sizeof buffer, "%s / %d度带 %d带 中央经线%gE", p.geographic.name.c_str(), zoneWidth,
                  zone, centralMeridian);
  }
  p.name = buffer;
  p.description = p.geographic.description + " 高斯-克吕格投影";
  p.projection.name = GIS_PROJECTION_GAUSS;
  p.projection.model = GIS_PROJECTION_GAUSS;
  p.projection.description = "高斯-克吕格投影";
  p.projection.params[GIS_PROJPARAM_CENTRAL_MERIDIAN] = centralMeridian;
  p.projection.params[GIS_PROJPARAM_ZONE_WIDTH] = zoneWidth;
  p.projection.params[GIS_PROJPARAM_ZONE_NUMBER] = zonePrefix ? zone : 0;
  p.unit = kLinearUnits[0];
  return p;
}

ReferenceDef GeographicReference(int datumCode) {
  ReferenceDef d;
  d.kind = GIS_SPATIALREFERENCE_GEOGRAPHIC;
  d.geographic = PredefinedGeographic(datumCode);
  d.name = d.geographic.name;
  d.description = d.geographic.description;
  d.linearUnit = LinearUnitDef(0);
  return d;
}

ReferenceDef GaussKrugerReference(int datumCode, int zoneWidth, int zone, bool zonePrefix) {
  const double meridian = zoneWidth == 3 ? zone * 3.0 : zone * 6.0 - 3.0;
  ReferenceDef d;
  d.kind = GIS_SPATIALREFERENCE_PROJECTED;
  d.projected = GaussKrugerProjected(datumCode, meridian, zoneWidth, zone, zonePrefix);
  d.name = d.projected.name;
  d.description = d.projected.description;
  d.linearUnit = LinearUnitDef(0);
  return d;
}

const std::vector<ReferenceDef>& PredefinedReferences() {
  // Zones whose central meridians cover 75 to 135 degrees east.
  struct Band {
    int width, first, last;
  };
  static const Band kBands[] = {{3, 25, 45}, {6, 13, 23}};
  static const std::vector<ReferenceDef> catalogue = [] {
    std::vector<ReferenceDef> list;
    for (int datum = 0; datum < PredefinedDatumCount(); ++datum) {
      list.push_back(GeographicReference(datum));
      for (const Band& band : kBands) {
        for (int prefix = 0; prefix < 2; ++prefix) {
          for (int zone = band.first; zone <= band.last; ++zone)
            list.push_back(GaussKrugerReference(datum, band.width, zone, prefix != 0));
        }
      }
    }
    return list;
  }();
  return catalogue;
}

// ---- CProjection ----------------------------------------------------------

BOOL CProjection::GetParameter(int index, double* value) {
  if (index < 0 || index >= GIS_PROJPARAM_COUNT || value == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Projection::GetParameter", "no parameter %d or value == NULL", index);
    return FALSE;
  }
  *value = m_def->params[static_cast<std::size_t>(index)];
  return TRUE;
}

BOOL CProjection::SetParameter(int index, double value) {
  if (index < 0 || index >= GIS_PROJPARAM_COUNT || !std::isfinite(value)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Projection::SetParameter", "no parameter %d or value not finite",
            index);
    return FALSE;
  }
  m_def->params[static_cast<std::size_t>(index)] = value;
  if (m_pStamp != nullptr) *m_pStamp = NextStamp();
  return TRUE;
}

// ---- CSpatialReference ----------------------------------------------------

std::uint64_t NextStamp() {
  static std::atomic<std::uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

CSpatialReference::CSpatialReference(const ReferenceDef& d)
    : m_def(d), m_geographic(d.geographic), m_projected(&m_def.projected) {
  m_projected.SetStamp(&m_stamp);
}

void CSpatialReference::Refresh() {
  m_geographic.SetDef(m_def.geographic);
  m_projected.Refresh();
}

IGIS_GeographicCoordSys* CSpatialReference::GetGeographicCoordSys() {
  return m_def.kind == GIS_SPATIALREFERENCE_GEOGRAPHIC ? &m_geographic : nullptr;
}

IGIS_ProjectedCoordSys* CSpatialReference::GetProjectedCoordSys() {
  return m_def.kind == GIS_SPATIALREFERENCE_PROJECTED ? &m_projected : nullptr;
}

BOOL CSpatialReference::SetUnitFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::SetUnitFactor",
            "unit factor not finite and above 0");
    return FALSE;
  }
  m_def.unitFactor = factor;
  Changed();
  return TRUE;
}

void CSpatialReference::GetOrigin(SGIS_DPoint* origin) {
  if (origin == nullptr) return;
  *origin = SGIS_DPoint(m_def.origin[0], m_def.origin[1], m_def.origin[2]);
}

BOOL CSpatialReference::SetOrigin(SGIS_DPoint origin) {
  if (!std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(origin.z)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::SetOrigin", "origin not finite");
    return FALSE;
  }
  m_def.origin[0] = origin.x;
  m_def.origin[1] = origin.y;
  m_def.origin[2] = origin.z;
  Changed();
  return TRUE;
}

namespace {

// Equal numbers differ in their bits only as zeros of opposite signs.
bool SameSign(double a, double b) { return std::signbit(a) == std::signbit(b); }

bool SameSigns(const UnitDef& a, const UnitDef& b) { return SameSign(a.factor, b.factor); }

bool SameSigns(const GeographicDef& a, const GeographicDef& b) {
  const EllipsoidDef& x = a.datum.ellipsoid;
  const EllipsoidDef& y = b.datum.ellipsoid;
  bool same = SameSign(x.a, y.a) && SameSign(x.b, y.b) && SameSign(x.scale, y.scale) &&
              SameSign(a.primeMeridian.value, b.primeMeridian.value) && SameSigns(a.unit, b.unit);
  for (int i = 0; i < 3; ++i)
    same = same && SameSign(x.shift[i], y.shift[i]) && SameSign(x.rotation[i], y.rotation[i]);
  return same;
}

}  // namespace

bool Identical(const ReferenceDef& a, const ReferenceDef& b) {
  if (!(a == b)) return false;
  bool same = SameSign(a.unitFactor, b.unitFactor) && SameSigns(a.linearUnit, b.linearUnit) &&
              SameSigns(a.geographic, b.geographic) &&
              SameSigns(a.projected.geographic, b.projected.geographic) &&
              SameSigns(a.projected.unit, b.projected.unit);
  for (int i = 0; i < 3; ++i) same = same && SameSign(a.origin[i], b.origin[i]);
  for (std::size_t i = 0; i < a.projected.projection.params.size(); ++i)
    same = same && SameSign(a.projected.projection.params[i], b.projected.projection.params[i]);
  return same;
}

bool CSpatialReference::SameAs(const CSpatialReference& other) {
  if (&other == this) return true;
  std::lock_guard<std::mutex> lock(m_memoMutex);
  // Stamps are never given twice: agreeing ones are the definitions compared then.
  if (m_pSameAs == &other && m_sameAsStamp == other.m_stamp && m_ownStampThen == m_stamp) return true;
  if (!Identical(m_def, other.m_def)) return false;
  m_pSameAs = &other;
  m_sameAsStamp = other.m_stamp;
  m_ownStampThen = m_stamp;
  return true;
}

void CSpatialReference::CopyFrom(IGIS_SpatialReference* source) {
  auto* s = dynamic_cast<CSpatialReference*>(source);
  // The parts follow the definition: an identical one leaves them as they are.
  if (s == nullptr || SameAs(*s)) return;
  m_def = s->m_def;
  Refresh();
  Changed();
  std::lock_guard<std::mutex> lock(m_memoMutex);
  m_pSameAs = s;
  m_sameAsStamp = s->m_stamp;
  m_ownStampThen = m_stamp;
}

BOOL CSpatialReference::Archive(IGIS_DataBuffer* buffer, int mode) {
  if (buffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::Archive", "buffer == NULL");
    return FALSE;
  }
  if (mode == GIS_ARCHIVE_WRITE) {
    std::lock_guard<std::mutex> lock(m_memoMutex);
    // The definition is encoded again only after it changed.
    if (m_storedStamp != m_stamp) {
      std::string why;
      const std::vector<std::uint8_t>* bytes = detail::EncodeReferenceKept(m_def, &why);
      if (bytes == nullptr) {
        GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::Archive", "definition cannot be stored: %s",
                why.c_str());
        return FALSE;
      }
      m_stored = *bytes;
      const ReferenceDef* back = detail::DecodeReferenceKept(m_stored.data(), m_stored.size(), &why);
      m_bStoredExact = back != nullptr && Identical(*back, m_def);
      m_storedStamp = m_stamp;
    }
    if (m_stored.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
        !buffer->SetSize(static_cast<int>(m_stored.size()))) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::Archive", "cannot size the buffer");
      return FALSE;
    }
    std::memcpy(buffer->GetData(), m_stored.data(), m_stored.size());
    return TRUE;
  }
  if (mode != GIS_ARCHIVE_READ) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::Archive", "unknown mode %d", mode);
    return FALSE;
  }
  const int size = buffer->GetSize();
  {
    // The bytes this definition was last stored as, reading back as it: nothing changes.
    std::lock_guard<std::mutex> lock(m_memoMutex);
    if (m_storedStamp == m_stamp && m_bStoredExact && size > 0 && buffer->GetData() != nullptr &&
        static_cast<std::size_t>(size) == m_stored.size() &&
        std::memcmp(buffer->GetData(), m_stored.data(), m_stored.size()) == 0)
      return TRUE;
  }
  std::string why;
  const ReferenceDef* d =
      size > 0 ? detail::DecodeReferenceKept(buffer->GetData(), static_cast<std::size_t>(size), &why)
               : nullptr;
  if (d == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_SpatialReference::Archive", "damaged stored reference: %s",
            size <= 0 ? "empty buffer" : why.c_str());
    return FALSE;
  }
  if (!Identical(*d, m_def)) {
    m_def = *d;
    Refresh();
    Changed();
  }
  return TRUE;
}

const ReferenceDef* DefinitionOf(IGIS_SpatialReference* reference) {
  auto* r = dynamic_cast<CSpatialReference*>(reference);
  return r != nullptr ? &r->Def() : nullptr;
}

}  // namespace md::sferon

extern "C" BOOL GIS_SpatialReferencesIdentical(IGIS_SpatialReference* pFirst,
                                               IGIS_SpatialReference* pSecond) {
  auto* a = dynamic_cast<md::sferon::CSpatialReference*>(pFirst);
  auto* b = dynamic_cast<md::sferon::CSpatialReference*>(pSecond);
  return a != nullptr && b != nullptr && a->SameAs(*b) ? TRUE : FALSE;
}
