// The compound-file fuzz seeds and the inputs that once broke the reader.
#include <gtest/gtest.h>

#include "tests/fuzz/compoundfile_input.h"
#include "tests/fuzz/fuzz_inputs.h"

namespace {

TEST(CompoundFileFuzzInputs, SeedsReadAndEveryInputHolds) {
  int seeds = 0;
  for (const auto& path : md::test::fuzz::Inputs("corpus", "compoundfile")) {
    const auto bytes = md::test::fuzz::ReadInput(path);
    EXPECT_TRUE(md::ole::ReadCompoundFile(bytes.data(), bytes.size(), nullptr, nullptr)) << path;
    EXPECT_TRUE(md::test::fuzz::CompoundFileInputHolds(bytes.data(), bytes.size())) << path;
    ++seeds;
  }
  EXPECT_GE(seeds, 3);
  for (const auto& path : md::test::fuzz::Inputs("regressions", "compoundfile")) {
    const auto bytes = md::test::fuzz::ReadInput(path);
    EXPECT_TRUE(md::test::fuzz::CompoundFileInputHolds(bytes.data(), bytes.size())) << path;
  }
}

}  // namespace
