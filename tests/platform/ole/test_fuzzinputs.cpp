// The compound-file fuzz seeds and the inputs that once broke the reader.
#include <gtest/gtest.h>

#include "tests/fuzz/compoundfile_input.h"
#include "tests/fuzz/fuzz_inputs.h"

namespace {

TEST(CompoundFileFuzzInputs, SeedsReadAndEveryInputHolds) {
  int seeds = 0, objects = 0;
  for (const auto& path : md::test::fuzz::Inputs("corpus", "compoundfile")) {
    const auto bytes = md::test::fuzz::ReadInput(path);
    md::ole::Storage tree;
    EXPECT_TRUE(md::ole::ReadCompoundFile(bytes.data(), bytes.size(), &tree, nullptr)) << path;
    EXPECT_TRUE(md::test::fuzz::CompoundFileInputHolds(bytes.data(), bytes.size())) << path;
    ++seeds;
    objects += md::ole::LoadObject(tree, nullptr) != nullptr;
  }
  // The tree, and objects of every kind: embedded, linked (one with a path
  // relative to its page), static, shown as icons.
  EXPECT_GE(seeds, 8);
  EXPECT_GE(objects, 7);
  for (const auto& path : md::test::fuzz::Inputs("regressions", "compoundfile")) {
    const auto bytes = md::test::fuzz::ReadInput(path);
    EXPECT_TRUE(md::test::fuzz::CompoundFileInputHolds(bytes.data(), bytes.size())) << path;
  }
}

}  // namespace
