// Stored references, the catalogue of predefined references, and projected
// coordinates against PROJ's own definitions of the national references.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/host/sferon/sferon_test_util.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

using md::test::BufferPtr;
using md::test::Factory;
using md::test::Project;
using md::test::RefPtr;
using md::test::TransformPtr;

BufferPtr NewBuffer() { return BufferPtr(GIS_CreateDataBufferObject(0)); }
std::vector<BYTE> Bytes(IGIS_DataBuffer* b) {
  return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
}
void SetBytes(IGIS_DataBuffer* b, const std::vector<BYTE>& bytes) {
  ASSERT_TRUE(b->SetSize(static_cast<int>(bytes.size())));
  if (!bytes.empty()) std::memcpy(b->GetData(), bytes.data(), bytes.size());
}
std::vector<BYTE> Stored(IGIS_SpatialReference* r) {
  BufferPtr b = NewBuffer();
  EXPECT_TRUE(r->Archive(b.get(), GIS_ARCHIVE_WRITE));
  return Bytes(b.get());
}

// PROJ's answer from its own database (easting, northing).
SGIS_DPoint ProjAnswer(const char* from, const char* to, double lon, double lat) {
  PJ_CONTEXT* c = proj_context_create();
  proj_context_set_enable_network(c, 0);
  PJ* raw = proj_create_crs_to_crs(c, from, to, nullptr);
  EXPECT_NE(raw, nullptr) << to;
  PJ* op = proj_normalize_for_visualization(c, raw);
  PJ_COORD r = proj_trans(op, PJ_FWD, proj_coord(lon, lat, 0.0, 0.0));
  proj_destroy(op);
  proj_destroy(raw);
  proj_context_destroy(c);
  return SGIS_DPoint(r.xy.x, r.xy.y, 0.0);
}

TEST(SpatialReferenceProjection, NationalReferencesAgainstProjWithinAMillimetre) {
  // The worked figure first: 116.125E 39.9166667N in CGCS2000 / CM 117E.
  RefPtr cm117(Factory()->CreateSpatialReference(2));
  const SGIS_DPoint p = Project(cm117.get(), 116.125, 39.9166667);
  EXPECT_NEAR(p.x, 425189.10, 0.005);
  EXPECT_NEAR(p.y, 4420642.78, 0.005);

  struct Row {
    const char* epsg;
    int width, zone;
    BOOL prefix;
  };
  const Row rows[] = {
      {"EPSG:4548", 3, 39, FALSE},  // CGCS2000 / 3-degree CM 117E
      {"EPSG:4527", 3, 39, TRUE},   // CGCS2000 / 3-degree zone 39
      {"EPSG:4534", 3, 25, FALSE},  // CM 75E
      {"EPSG:4509", 6, 20, FALSE},  // CGCS2000 / 6-degree CM 117E
      {"EPSG:4498", 6, 20, TRUE},   // CGCS2000 / 6-degree zone 20
  };
  const double points[][2] = {
      {116.125, 39.9166667}, {117.0, 0.0}, {118.4, 24.5}, {115.3, 45.0}, {117.0, 53.5}};
  for (const Row& r : rows) {
    RefPtr gk(Factory()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, r.width, r.zone, r.prefix));
    ASSERT_NE(gk, nullptr);
    IGIS_Projection* projection = gk->GetProjectedCoordSys()->GetProjection();
    double meridian = 0.0;
    ASSERT_TRUE(projection->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian));
    for (const auto& pt : points) {
      const double lon = pt[0] - 117.0 + meridian;  // the same offsets from each zone's meridian
      const SGIS_DPoint ours = Project(gk.get(), lon, pt[1]);
      const SGIS_DPoint proj = ProjAnswer("EPSG:4490", r.epsg, lon, pt[1]);
      EXPECT_NEAR(ours.x, proj.x, 0.001) << r.epsg << " " << lon << " " << pt[1];
      EXPECT_NEAR(ours.y, proj.y, 0.001) << r.epsg << " " << lon << " " << pt[1];
    }
  }
  // The other datums' ellipsoids, against PROJ's named ellipsoids.
  struct Datum {
    int code;
    const char* ellipsoid;
  };
  for (const Datum& d :
       {Datum{GIS_DATUM_XIAN1980, "+ellps=IAU76"}, Datum{GIS_DATUM_BEIJING1954, "+ellps=krass"},
        Datum{GIS_DATUM_WGS84, "+ellps=WGS84"}}) {
    RefPtr gk(Factory()->CreateGaussKrugerReference(d.code, 3, 39, FALSE));
    RefPtr geographic(
        Factory()->CreatePredefinedReference(Factory()->GetPredefinedReferenceCount() / 4 * d.code));
    ASSERT_EQ(geographic->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
    TransformPtr t(Factory()->CreateCoordTransform("t", "t", geographic.get(), gk.get()));
    const std::string tmerc =
        std::string("+proj=tmerc +lat_0=0 +lon_0=117 +k=1 +x_0=500000 +y_0=0 ") + d.ellipsoid;
    for (const auto& pt : points) {
      SGIS_DPoint ours(pt[0], pt[1], 0.0);
      ASSERT_TRUE(t->TransformPoint(1, &ours, 1));
      const std::string geo = std::string("+proj=longlat ") + d.ellipsoid;
      const SGIS_DPoint proj = ProjAnswer(geo.c_str(), tmerc.c_str(), pt[0], pt[1]);
      EXPECT_NEAR(ours.x, proj.x, 0.001) << d.ellipsoid;
      EXPECT_NEAR(ours.y, proj.y, 0.001) << d.ellipsoid;
    }
  }
}

TEST(SpatialReferenceCatalogue, EveryEntryIsMadeNamedOnceAndFoundAgain) {
  IGIS_SpatialReferenceFactory* f = Factory();
  const int n = f->GetPredefinedReferenceCount();
  // Four datums, each: geographic, 21 three-degree and 11 six-degree zones,
  // each without and with the zone prefix.
  ASSERT_EQ(n, 4 * (1 + 2 * 21 + 2 * 11));
  std::set<std::string> names;
  for (int i = 0; i < n; ++i) {
    const char* name = f->GetPredefinedReferenceName(i);
    ASSERT_NE(name, nullptr);
    names.insert(name);
    RefPtr r(f->CreatePredefinedReference(i));
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->GetName(), name);
    EXPECT_EQ(f->FindPredefinedReference(r.get()), i);
    EXPECT_NE(r->GetKind(), GIS_SPATIALREFERENCE_NONE);
  }
  EXPECT_EQ(names.size(), static_cast<std::size_t>(n));
  // Order: CGCS2000 geographic, then its 3-degree zones 25.. without prefix.
  RefPtr first(f->CreatePredefinedReference(0));
  EXPECT_STREQ(first->GetGeographicCoordSys()->GetDatum()->GetName(), "CGCS2000");
  RefPtr zone(f->CreatePredefinedReference(1 + 14));
  double meridian = 0.0, prefix = -1.0;
  zone->GetProjectedCoordSys()->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian);
  zone->GetProjectedCoordSys()->GetProjection()->GetParameter(GIS_PROJPARAM_ZONE_NUMBER, &prefix);
  EXPECT_EQ(meridian, 117.0);
  EXPECT_EQ(prefix, 0.0);
  // An edited reference is no longer an entry.
  zone->SetUnitFactor(1000.0);
  EXPECT_EQ(f->FindPredefinedReference(zone.get()), -1);
  EXPECT_EQ(f->FindPredefinedReference(nullptr), -1);

  LogMark mark;
  EXPECT_EQ(f->GetPredefinedReferenceName(-1), nullptr);
  EXPECT_EQ(f->GetPredefinedReferenceName(n), nullptr);
  EXPECT_EQ(f->CreatePredefinedReference(n), nullptr);
  EXPECT_EQ(mark.Count(), 3u);
}

TEST(SpatialReferenceCatalogue, KindCodeThreeHoldsItsCentralMeridianInParameterOne) {
  RefPtr r(Factory()->CreateSpatialReference(3));
  ASSERT_EQ(r->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  double meridian = 0.0;
  ASSERT_TRUE(r->GetProjectedCoordSys()->GetProjection()->GetParameter(1, &meridian));
  EXPECT_EQ(meridian, 117.0);
  // Codes 1 and 2 are the catalogue's CGCS2000 entries: a chooser finds them.
  for (int code : {1, 2, 3}) {
    RefPtr made(Factory()->CreateSpatialReference(code));
    EXPECT_GE(Factory()->FindPredefinedReference(made.get()), 0) << code;
  }
  // Moving the meridian moves the coordinates: the point on it has x 500 km.
  ASSERT_TRUE(r->GetProjectedCoordSys()->GetProjection()->SetParameter(1, 111.0));
  EXPECT_NEAR(Project(r.get(), 111.0, 30.0).x, 500000.0, 1e-6);
}

TEST(SpatialReferenceStore, EveryKindStoresAndReadsBackEqual) {
  IGIS_SpatialReferenceFactory* f = Factory();
  std::vector<RefPtr> refs;
  refs.emplace_back(f->CreateSpatialReference(0));
  for (int i = 0; i < f->GetPredefinedReferenceCount(); i += 7)
    refs.emplace_back(f->CreatePredefinedReference(i));
  // One with every part edited.
  RefPtr edited(f->CreateGaussKrugerReference(GIS_DATUM_BEIJING1954, 6, 19, TRUE));
  edited->SetUnitFactor(100.0);
  edited->SetOrigin(SGIS_DPoint(-1.5, 2.25, 3.0));
  edited->GetProjectedCoordSys()->GetProjection()->SetParameter(GIS_PROJPARAM_STANDARD_PARALLEL1, 25.5);
  refs.push_back(std::move(edited));

  for (const RefPtr& r : refs) {
    BufferPtr b = NewBuffer();
    ASSERT_TRUE(r->Archive(b.get(), GIS_ARCHIVE_WRITE));
    RefPtr read(f->CreateFromBuffer(b.get()));
    ASSERT_NE(read, nullptr) << r->GetName();
    EXPECT_EQ(Stored(read.get()), Bytes(b.get())) << r->GetName();
    EXPECT_STREQ(read->GetName(), r->GetName());
    EXPECT_EQ(read->GetKind(), r->GetKind());
    EXPECT_EQ(read->GetUnitFactor(), r->GetUnitFactor());
    // Reading into an existing reference replaces its whole definition.
    RefPtr into(f->CreateSpatialReference(1));
    ASSERT_TRUE(into->Archive(b.get(), GIS_ARCHIVE_READ));
    EXPECT_EQ(Stored(into.get()), Bytes(b.get()));
  }
  // The read-back reference transforms as the original.
  RefPtr gk(f->CreateGaussKrugerReference(GIS_DATUM_XIAN1980, 3, 38, TRUE));
  BufferPtr b = NewBuffer();
  ASSERT_TRUE(gk->Archive(b.get(), GIS_ARCHIVE_WRITE));
  RefPtr read(f->CreateFromBuffer(b.get()));
  const SGIS_DPoint a = Project(gk.get(), 114.2, 30.6);
  const SGIS_DPoint c = Project(read.get(), 114.2, 30.6);
  EXPECT_EQ(a.x, c.x);
  EXPECT_EQ(a.y, c.y);
}

TEST(SpatialReferenceStore, DamagedStoredFormsChangeNothing) {
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr source(f->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 39, FALSE));
  const std::vector<BYTE> good = Stored(source.get());
  RefPtr target(f->CreateSpatialReference(1));
  const std::vector<BYTE> before = Stored(target.get());

  auto expectRefused = [&](const std::vector<BYTE>& bytes, const std::string& what) {
    BufferPtr b = NewBuffer();
    SetBytes(b.get(), bytes);
    LogMark mark;
    EXPECT_FALSE(target->Archive(b.get(), GIS_ARCHIVE_READ)) << what;
    EXPECT_EQ(f->CreateFromBuffer(b.get()), nullptr) << what;
    EXPECT_EQ(mark.Count(), 2u) << what;
    EXPECT_EQ(Stored(target.get()), before) << what;
  };
  for (std::size_t n = 0; n < good.size(); n += 3)
    expectRefused(std::vector<BYTE>(good.begin(), good.begin() + static_cast<long>(n)),
                  "cut at " + std::to_string(n));
  std::vector<BYTE> bytes = good;
  bytes.push_back(0);
  expectRefused(bytes, "trailing byte");
  bytes = good;
  bytes[0] = 'X';
  expectRefused(bytes, "magic");
  bytes = good;
  bytes[4] = 2;
  expectRefused(bytes, "version");
  bytes = good;
  bytes[6] = 7;
  expectRefused(bytes, "kind");
  // The unit factor follows the kind, the reserved byte and the two texts.
  const std::size_t textsStart = 8;
  std::size_t pos = textsStart;
  for (int i = 0; i < 2; ++i) {
    std::uint32_t n = 0;
    std::memcpy(&n, &good[pos], 4);
    pos += 4 + n;
  }
  for (double bad :
       {std::numeric_limits<double>::quiet_NaN(), 0.0, -1.0, std::numeric_limits<double>::infinity()}) {
    bytes = good;
    std::memcpy(&bytes[pos], &bad, 8);
    expectRefused(bytes, "unit factor " + std::to_string(bad));
  }
  bytes = good;
  const std::uint32_t huge = 0x7FFFFFFF;
  std::memcpy(&bytes[textsStart], &huge, 4);
  expectRefused(bytes, "text length");

  LogMark mark;
  EXPECT_FALSE(target->Archive(nullptr, GIS_ARCHIVE_READ));
  BufferPtr b = NewBuffer();
  EXPECT_FALSE(target->Archive(b.get(), 5));
  EXPECT_EQ(f->CreateFromBuffer(nullptr), nullptr);
  EXPECT_EQ(mark.Count(), 3u);
  EXPECT_EQ(Stored(target.get()), before);
}

TEST(SpatialReferenceStore, ReadingIdenticalBytesAgainGivesEachStoredFormItsOwnReference) {
  IGIS_SpatialReferenceFactory* f = Factory();
  // More distinct forms than a thread keeps decoded, read in turn twice, and
  // a form one byte longer than one just read.
  std::vector<std::vector<BYTE>> forms;
  for (int code : {0, 1, 3}) forms.push_back(Stored(RefPtr(f->CreateSpatialReference(code)).get()));
  for (int i = 0; i < 3; ++i) forms.push_back(Stored(RefPtr(f->CreatePredefinedReference(i)).get()));
  RefPtr target(f->CreateSpatialReference(0));
  for (int round = 0; round < 2; ++round) {
    for (const std::vector<BYTE>& form : forms) {
      BufferPtr b = NewBuffer();
      SetBytes(b.get(), form);
      ASSERT_TRUE(target->Archive(b.get(), GIS_ARCHIVE_READ));
      EXPECT_EQ(Stored(target.get()), form);
      EXPECT_EQ(Stored(RefPtr(f->CreateFromBuffer(b.get())).get()), form);
      // One made from the form and then edited stores the edit.
      RefPtr made(f->CreateFromBuffer(b.get()));
      const double dFactor = made->GetUnitFactor() * 2.0;
      ASSERT_TRUE(made->SetUnitFactor(dFactor));
      BufferPtr edited = NewBuffer();
      SetBytes(edited.get(), Stored(made.get()));
      EXPECT_EQ(RefPtr(f->CreateFromBuffer(edited.get()))->GetUnitFactor(), dFactor);
    }
  }
  std::vector<BYTE> longer = forms.back();
  longer.push_back(0);
  BufferPtr b = NewBuffer();
  SetBytes(b.get(), longer);
  LogMark mark;
  EXPECT_FALSE(target->Archive(b.get(), GIS_ARCHIVE_READ));
  EXPECT_EQ(Stored(target.get()), forms.back());
}

// A copy, a read or an edit of a reference that differs only in the sign
// of a zero takes that sign: the stored bytes follow, stored before or not,
// and only then are the two identical.
TEST(SpatialReferenceStore, ACopyReadOrEditTakesTheSignOfAZero) {
  enum How { kCopy, kRead, kEdit };
  for (const How how : {kCopy, kRead, kEdit}) {
    for (const bool bParameter : {false, true}) {
      RefPtr target(Factory()->CreateSpatialReference(2));
      RefPtr source(Factory()->CreateSpatialReference(2));
      auto edit = [bParameter](IGIS_SpatialReference* r) {
        return bParameter
                   ? r->GetProjectedCoordSys()->GetProjection()->SetParameter(GIS_PROJPARAM_COUNT - 1, -0.0)
                   : r->SetOrigin(SGIS_DPoint(0.0, -0.0, 0.0));
      };
      ASSERT_TRUE(edit(source.get()));
      ASSERT_NE(Stored(source.get()), Stored(target.get()));
      EXPECT_FALSE(GIS_SpatialReferencesIdentical(target.get(), source.get()));
      if (how == kRead) {
        BufferPtr b = NewBuffer();
        SetBytes(b.get(), Stored(source.get()));
        ASSERT_TRUE(target->Archive(b.get(), GIS_ARCHIVE_READ));
      } else if (how == kCopy) {
        target->CopyFrom(source.get());
      } else {
        ASSERT_TRUE(edit(target.get()));
      }
      EXPECT_EQ(Stored(target.get()), Stored(source.get())) << how << bParameter;
      EXPECT_TRUE(GIS_SpatialReferencesIdentical(target.get(), source.get()));
      EXPECT_FALSE(GIS_SpatialReferencesIdentical(target.get(), nullptr));
    }
  }
}

TEST(SpatialReferenceStore, OverlongNamesAreStoredCutAtACharacter) {
  IGIS_SpatialReferenceFactory* f = Factory();
  std::string name;
  while (name.size() < 5000) name += "高斯";  // three bytes a character
  IGIS_GeographicCoordSys* g =
      f->CreateGeographicCoordSys("g", "g", f->GetDatum(GIS_DATUM_WGS84), nullptr, f->GetAngularUnit(1));
  RefPtr r(f->CreateGeographicReference(name.c_str(), "d", nullptr, g, nullptr));
  BufferPtr b = NewBuffer();
  ASSERT_TRUE(r->Archive(b.get(), GIS_ARCHIVE_WRITE));
  RefPtr read(f->CreateFromBuffer(b.get()));
  ASSERT_NE(read, nullptr);
  const std::string stored = read->GetName();
  EXPECT_EQ(stored.size(), 4095u);  // 1365 whole characters
  EXPECT_EQ(stored, name.substr(0, 4095));
}

TEST(SpatialReferenceStore, RefusedSettingsWriteALogRecordAndChangeNothing) {
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr r(f->CreateSpatialReference(2));
  const std::vector<BYTE> before = Stored(r.get());
  IGIS_Projection* p = r->GetProjectedCoordSys()->GetProjection();
  double v = 5.0;
  LogMark mark;
  EXPECT_FALSE(r->SetUnitFactor(0.0));
  EXPECT_FALSE(r->SetUnitFactor(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(r->SetOrigin(SGIS_DPoint(std::nan(""), 0.0)));
  EXPECT_FALSE(p->SetParameter(GIS_PROJPARAM_COUNT, 1.0));
  EXPECT_FALSE(p->SetParameter(1, std::nan("")));
  EXPECT_FALSE(p->GetParameter(-1, &v));
  EXPECT_EQ(f->GetUnitByName("no such unit"), nullptr);
  EXPECT_EQ(f->GetUnitByName(nullptr), nullptr);
  EXPECT_EQ(mark.Count(), 8u);
  EXPECT_EQ(v, 5.0);
  EXPECT_EQ(Stored(r.get()), before);
}

TEST(SpatialReferenceStore, ReferencesThatCouldNotBeStoredAreNotMade) {
  IGIS_SpatialReferenceFactory* f = Factory();
  // Its semi-minor axis lies above the semi-major one and a shift is not a number.
  md::test::ForeignDatum datum("bad", 6356752.0, 6378137.0, 0.0, 0.0, std::nan(""));
  IGIS_GeographicCoordSys* g = f->CreateGeographicCoordSys("g", "g", &datum, nullptr, nullptr);
  ASSERT_NE(g, nullptr);
  LogMark mark;
  EXPECT_EQ(f->CreateGeographicReference("r", "r", nullptr, g, nullptr), nullptr);
  // A linear unit given where the angular one belongs.
  IGIS_GeographicCoordSys* metres =
      f->CreateGeographicCoordSys("m", "m", f->GetDatum(GIS_DATUM_WGS84), nullptr, f->GetLinearUnit(0));
  EXPECT_EQ(f->CreateGeographicReference("r", "r", nullptr, metres, nullptr), nullptr);
  EXPECT_EQ(mark.Count(), 2u);
}

TEST(SpatialReferenceStore, FuzzSeedsAndRegressions) {
  int seeds = 0;
  for (const auto& path : md::test::fuzz::Inputs("corpus", "spatialreference")) {
    BufferPtr b = NewBuffer();
    SetBytes(b.get(), md::test::fuzz::ReadInput(path));
    RefPtr r(Factory()->CreateFromBuffer(b.get()));
    EXPECT_NE(r, nullptr) << path;
    ++seeds;
  }
  EXPECT_GE(seeds, 3);
  for (const auto& path : md::test::fuzz::Inputs("regressions", "spatialreference")) {
    BufferPtr b = NewBuffer();
    SetBytes(b.get(), md::test::fuzz::ReadInput(path));
    RefPtr r(Factory()->CreateFromBuffer(b.get()));  // must simply not crash
  }
}

}  // namespace
