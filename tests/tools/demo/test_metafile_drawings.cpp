// Every real metafile the project has, drawn through the helper, is drawn from
// its vectors as before: the demo's mark and the WMF and EMF seeds of the fuzz
// corpora (the tests' metafiles and pictures) are read within every bound and
// are not slow to paint (their painting is left as it was).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tools/demo/samplelogo.h"

namespace {

TEST(MetafileDrawings, EveryRealMetafileIsReadAndNotSlowToPaint) {
  std::string error;
  std::vector<md::test::fuzz::Input> files = {{"the demo's mark", {}, true}};
  const std::vector<unsigned char> mark = md::test::fuzz::ReadInput(md::demo::WriteSampleMark(&error));
  files[0].bytes.assign(mark.begin(), mark.end());
  for (const char* target :
       {"imagewmf", "imageemf"})  // the tests' metafiles and the test pictures among them
    for (md::test::fuzz::Input& in : md::test::fuzz::AllInputs(target))
      if (in.file.find("refused-") == std::string::npos) files.push_back(std::move(in));
  ASSERT_GE(files.size(), 14u);
  for (const md::test::fuzz::Input& in : files) {
    SCOPED_TRACE(in.file);
    const md::imaging::DecodeResult r = md::imaging::Decode(in.bytes.data(), in.bytes.size());
    ASSERT_TRUE(r && r.bitmap->vectors != nullptr) << r.error;
    EXPECT_TRUE(r.bitmap->vectors->Readable()) << r.bitmap->vectors->Refusal();
    EXPECT_FALSE(r.bitmap->vectors->SlowToPaint());
  }
}

}  // namespace
