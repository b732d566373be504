// The resource fuzz target's seeds are the resource files of the tree, and
// every seed and every input that once broke the parser goes through the
// target's checks; the seeds parse without errors.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/resources_input.h"

namespace {

TEST(ResourceFuzzInputs, SeedsAreTheTreesResourceFilesAndEveryInputPassesTheChecks) {
  for (const char* file :
       {"resources/test/uitest.dlg", "host/glyphorpick/choosers.dlg", "host/stratel/dialogs/stringdlg.dlg"}) {
    std::ifstream in(std::string(MD_SOURCE_DIR) + "/" + file, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(bytes.empty()) << file;
    const std::string name(file);
    md::test::fuzz::WriteSeed("resources", name.substr(name.rfind('/') + 1), bytes);
  }
  int seeds = 0;
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("resources")) {
    SCOPED_TRACE(in.file);
    md::test::ReadResourceInput(in.bytes.data(), in.bytes.size());
    if (!in.seed) continue;
    ++seeds;
    md::ui::ParsedResources parsed;
    std::vector<std::string> errors;
    EXPECT_TRUE(
        md::ui::ParseResourceText(in.file, std::string(in.bytes.begin(), in.bytes.end()), &parsed, &errors));
    EXPECT_FALSE(parsed.dialogs.empty());
  }
  EXPECT_GE(seeds, 3);
}

}  // namespace
