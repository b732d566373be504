// The fuzz seeds and crash inputs of the three-north diagram's reader,
// replayed, cut short and with hostile values; the seeds are written from
// real diagrams when controls are renewed.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "tests/fuzz/threenorth_input.h"
#include "tests/layout/graphicelement/furniture/threenorthtest.h"
#include "tests/support/rendercheck.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const fs::path kRoot = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz";

class ThreeNorthStored : public md::test::ThreeNorthPage {};

TEST_F(ThreeNorthStored, SeedsAreWrittenFromRealDiagrams) {
  if (!md::test::UpdatingControls()) GTEST_SKIP() << "seeds are renewed with MAPDECK_UPDATE_REFERENCE=1";
  const fs::path dir = kRoot / "corpus" / "threenorth";
  fs::create_directories(dir);
  struct Seed {
    const char* name;
    double c, m, a;
    int axis;
  };
  for (const Seed& s : {Seed{"default", -10, 30, 30, 3000}, Seed{"both_left", -5, -5, 30, 4000},
                        Seed{"wide", 5, 5, 80, 2000}}) {
    CGIS_ThreeNorthElement* e = NewDiagram(s.c, s.m);
    e->SetAngle(s.a);
    e->SetAxisLength(s.axis);
    e->Refresh();
    ASSERT_TRUE(e->Archive(0, 0));
    IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
    std::ofstream out(dir / (std::string(s.name) + ".bin"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(b->GetData()), b->GetSize());
  }
}

TEST_F(ThreeNorthStored, SeedsAndCrashInputsReadWithoutHarm) {
  int n = 0;
  for (const char* dir : {"corpus", "regressions"}) {
    const fs::path d = kRoot / dir / "threenorth";
    if (!fs::is_directory(d)) continue;
    for (const auto& e : fs::directory_iterator(d)) {
      const std::vector<std::uint8_t> bytes = ReadFile(e.path());
      md::test::threenorthinput::Feed(bytes.data(), bytes.size());
      ++n;
      if (std::string(dir) == "regressions") continue;
      for (std::size_t cut :
           {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
        md::test::threenorthinput::Feed(bytes.data(), cut);
    }
  }
  EXPECT_GE(n, 3);
}

// Stored values at the ends of their ranges: the diagram reads, lays out,
// draws and converts without harm, its arcs bounded.
TEST_F(ThreeNorthStored, HostileValuesAreBounded) {
  CGIS_ThreeNorthElement* e = NewDiagram();
  auto set = CustomOf(e);
  set->GetProperty("AxisLength")->SetInt(std::numeric_limits<int>::max());
  set->GetProperty("TxtOffset")->SetInt(std::numeric_limits<int>::min());
  set->GetProperty("Angle")->SetDouble(1e300);
  set->GetProperty("CoordinateAngle")->SetDouble(-1e300);
  set->GetProperty("MagnetAngle")->SetDouble(std::numeric_limits<double>::infinity());
  StoreCustom(e, set.get());
  IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
  const std::vector<std::uint8_t> bytes(b->GetData(), b->GetData() + b->GetSize());
  md::test::threenorthinput::Feed(bytes.data(), bytes.size());
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetMagnetAngle(), 30.0);  // not finite: not taken
  EXPECT_EQ(e->GetAngle(), 1e300);
  const auto f = e->BuildFigure();
  EXPECT_TRUE(f.capped);
  for (const auto& arc : f.arcs) EXPECT_LE(arc.points.size(), 361u);
}

}  // namespace
