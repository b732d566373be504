// Map files: what a damaged or out-of-range file does (refused, logged, the
// document unchanged), and the fuzz seeds and crash inputs replayed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helmora_test_util.h"
#include "host/helmora/gis_mapfile.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/support/logmark.h"
#include "tests/support/oddfiles.h"

namespace {

using namespace md::test;

// A good file with one placeholder, $, where each case puts its text.
std::string Good(
    const std::string& layers =
        R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331,"color":"#ff0000"}}]}])",
    const std::string& features =
        R"([{"type":"Feature","properties":{"layer":"线","class":"a"},"geometry":{"type":"LineString","coordinates":[[116.0,39.9],[116.1,40.0]]}}])",
    const std::string& reference = R"({"kind":"gauss","datum":"CGCS2000","zoneWidth":3,"zone":39})",
    const std::string& extra = "") {
  return R"({"type":"FeatureCollection","mapdeck":{"version":1,"name":"图",)" + extra + R"("reference":)" +
         reference + R"(,"layers":)" + layers + R"(},"features":)" + features + "}";
}

TEST(MapFile, GoodFileMakesOneMap) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  const std::string text = Good();
  IGIS_Map* map = GIS_ReadMapText(doc.get(), text.data(), text.size());
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(doc->GetMapCount(), 1);
  // The same name again is refused: the document keeps its one map.
  LogMark mark;
  EXPECT_EQ(GIS_ReadMapText(doc.get(), text.data(), text.size()), nullptr);
  EXPECT_EQ(doc->GetMapCount(), 1);
  EXPECT_EQ(mark.Count(), 1u);
}

struct Damaged {
  const char* what;
  std::string text;
};

class MapFileRefuses : public ::testing::TestWithParam<Damaged> {};

TEST_P(MapFileRefuses, WithALogRecordAndTheDocumentUnchanged) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  const std::string& text = GetParam().text;
  LogMark mark;
  EXPECT_EQ(GIS_ReadMapText(doc.get(), text.data(), text.size()), nullptr);
  EXPECT_EQ(doc->GetMapCount(), 0);
  EXPECT_GE(mark.Count(), 1u);
}

const std::string kLine = R"({"type":"Feature","properties":{"layer":"线","class":"a"},"geometry":)";
const std::string kLineLayer =
    R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331}}]}])";

// The good file whose one line feature has these coordinates.
std::string WithLine(const std::string& coordinates) {
  return Good(kLineLayer, "[" + kLine + R"({"type":"LineString","coordinates":)" + coordinates + "}}]");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapFileRefuses,
    ::testing::Values(
        Damaged{"empty", ""}, Damaged{"not json", "{\"type\":"}, Damaged{"array", "[1,2,3]"},
        Damaged{"not a collection", R"({"type":"Feature"})"},
        Damaged{"no head", R"({"type":"FeatureCollection","features":[]})"},
        Damaged{"version", Good().replace(Good().find("\"version\":1"), 11, "\"version\":2")},
        Damaged{"unknown datum", Good("[]", "[]", R"({"kind":"geographic","datum":"火星"})")},
        Damaged{"zone", Good("[]", "[]", R"({"kind":"gauss","datum":"CGCS2000","zoneWidth":3,"zone":999})")},
        Damaged{"zone width",
                Good("[]", "[]", R"({"kind":"gauss","datum":"CGCS2000","zoneWidth":4,"zone":39})")},
        Damaged{"layer type", Good(R"([{"name":"x","type":"GIS_DRAWER_RASTER","classes":[]}])", "[]")},
        Damaged{"unknown layer", Good(R"([])")},
        Damaged{
            "unknown class",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"b","label":"乙","symbol":{"type":"line","code":3331}}]}])")},
        Damaged{
            "repeated class",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331}},{"value":"a","label":"乙","symbol":{"type":"line","code":3331}}]}])")},
        Damaged{
            "repeated layer",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331}}]},{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[]}])")},
        Damaged{
            "symbol type",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"text","code":1}}]}])")},
        Damaged{
            "colour",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331,"color":"red"}}]}])")},
        Damaged{
            "width",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331,"width":-1}}]}])")},
        Damaged{"one point line", WithLine(R"([[116.0,39.9]])")},
        Damaged{"latitude", WithLine(R"([[116.0,39.9],[116.0,95.0]])")},
        Damaged{"huge number", WithLine(R"([[116.0,39.9],[1e400,39.0]])")},
        Damaged{"string position", WithLine(R"([["116.0",39.9],[116.1,39.0]])")},
        Damaged{
            "geometry type",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331}}]}])",
                "[" + kLine + R"({"type":"Circle","coordinates":[116.0,39.9]}}])")},
        Damaged{"deep groups", Good(
                                   std::string("[") +
                                       [] {
                                         std::string s;
                                         for (int i = 0; i < 12; ++i)
                                           s += R"({"name":"g)" + std::to_string(i) +
                                                R"(","type":"GIS_DRAWER_GROUP","children":[)";
                                         for (int i = 0; i < 12; ++i) s += "]}";
                                         return s;
                                       }() +
                                       "]",
                                   "[]")},
        Damaged{
            "empty extent",
            Good(
                R"([{"name":"线","type":"GIS_DRAWER_VECTOR","classes":[{"value":"a","label":"甲","symbol":{"type":"line","code":3331}}]}])",
                "[]", R"({"kind":"geographic","datum":"CGCS2000"})", R"("extent":[116,40,116,39],)")}),
    [](const ::testing::TestParamInfo<Damaged>& info) {
      std::string n;
      for (char c : std::string(info.param.what)) n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return n;
    });

TEST(MapFile, MissingFileAndNullArguments) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  LogMark mark;
  EXPECT_EQ(GIS_LoadMapFile(doc.get(), "/no/such/map.geojson"), nullptr);
  EXPECT_EQ(GIS_LoadMapFile(doc.get(), nullptr), nullptr);
  EXPECT_EQ(GIS_ReadMapText(nullptr, "{}", 2), nullptr);
  EXPECT_EQ(GIS_ReadMapText(doc.get(), nullptr, 0), nullptr);
  EXPECT_EQ(mark.Count(), 4u);
  EXPECT_EQ(doc->GetMapCount(), 0);
}

TEST(MapFile, OddFilesAreRefusedWithoutWaiting) {
  const md::test::OddPaths odd(std::filesystem::path(MD_TEST_OUTPUT_DIR) / "mapfile-odd",
                               GIS_MAPFILE_MAX_BYTES + 1);
  DocumentPtr doc(GIS_CreateDocumentObject());
  for (const auto& [name, path] : odd.All()) {
    SCOPED_TRACE(name);
    LogMark mark;
    EXPECT_TRUE(md::test::EndsWithoutWaiting(
        odd.pipe, [&] { EXPECT_EQ(GIS_LoadMapFile(doc.get(), path.c_str()), nullptr); }));
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "GIS_LoadMapFile"));
  }
  EXPECT_EQ(doc->GetMapCount(), 0);
}

// Every seed and every stored crash input of the fuzz target reads without
// harm, and whatever it makes stays in the document.
TEST(MapFile, FuzzSeedsAndRegressionsReplay) {
  int replayed = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const auto& path : fuzz::Inputs(folder, "mapfile")) {
      const std::vector<unsigned char> bytes = fuzz::ReadInput(path);
      DocumentPtr doc(GIS_CreateDocumentObject());
      IGIS_Map* map = GIS_ReadMapText(doc.get(), reinterpret_cast<const char*>(bytes.data()), bytes.size());
      EXPECT_EQ(doc->GetMapCount(), map ? 1 : 0) << path;
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 2);
}

}  // namespace
