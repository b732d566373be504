// Every real metafile the project has, drawn through the helper, is drawn from
// its vectors as before: the demo's mark, the tests' metafiles and the WMF and
// EMF seeds of the fuzz corpora are read within every bound and are not slow
// to paint (their painting is left as it was).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/samplelogo.h"

namespace {

using md::imaging::DecodeResult;

TEST(MetafileDrawings, EveryRealMetafileIsReadAndNotSlowToPaint) {
  std::string error;
  const std::string mark = md::demo::WriteSampleMark(&error);
  ASSERT_FALSE(mark.empty()) << error;
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> rows = {
      {"the demo's mark", md::test::fuzz::ReadInput(mark)},
      {"the tests' WMF", md::test::metafiles::SampleWmf()},
      {"the tests' EMF", md::test::metafiles::SampleEmf()},
  };
  const std::filesystem::path data = std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/data";
  for (const auto& e : std::filesystem::directory_iterator(data))
    if (e.path().extension() == ".wmf" || e.path().extension() == ".emf")
      rows.emplace_back(e.path().filename().string(), md::test::fuzz::ReadInput(e.path()));
  for (const char* target : {"imagewmf", "imageemf"})
    for (md::test::fuzz::Input& in : md::test::fuzz::AllInputs(target)) rows.emplace_back(in.file, in.bytes);
  int drawn = 0;
  for (const auto& [name, bytes] : rows) {
    if (name.find("refused-") != std::string::npos) continue;  // refused by the reader
    SCOPED_TRACE(name);
    const DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(r) << r.error;
    ASSERT_NE(r.bitmap->vectors, nullptr);
    EXPECT_TRUE(r.bitmap->vectors->Readable()) << r.bitmap->vectors->Refusal();
    EXPECT_FALSE(r.bitmap->vectors->SlowToPaint());
    ++drawn;
  }
  EXPECT_GE(drawn, 25);
}

}  // namespace
