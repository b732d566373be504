// Every real metafile the project has, the demo's mark and the WMF and EMF
// seeds of the fuzz corpora (the tests' metafiles and pictures), is read
// within every bound: it is drawn as before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/metafilevectors.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tools/demo/samplelogo.h"

namespace {

TEST(MetafileDrawings, EveryRealMetafileIsRead) {
  namespace fuzz = md::test::fuzz;
  std::string error;
  std::vector<fuzz::Input> files = {{"the demo's mark", fuzz::ReadInput(md::demo::WriteSampleMark(&error))}};
  for (const char* target : {"imagewmf", "imageemf"})
    for (fuzz::Input& in : fuzz::AllInputs(target))
      if (in.file.find("refused-") == std::string::npos) files.push_back(std::move(in));
  ASSERT_GE(files.size(), 14u);
  for (const fuzz::Input& in : files) {
    SCOPED_TRACE(in.file);
    const md::imaging::DecodeResult r = md::imaging::Decode(in.bytes.data(), in.bytes.size());
    ASSERT_TRUE(r && r.bitmap->vectors != nullptr) << r.error;
    EXPECT_TRUE(r.bitmap->vectors->Readable()) << r.bitmap->vectors->Refusal();
  }
}

}  // namespace
