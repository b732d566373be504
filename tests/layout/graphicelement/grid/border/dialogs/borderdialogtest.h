// Shared pieces of the border dialogs' tests: empty message-box and driver
// logs, a configuration folder of the test's own for the border library,
// the symbol chooser played as a user, and where snapshots go.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_propertyset.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"
#include "tests/support/dialogscenes.h"

namespace md::test {

class BorderDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
    // One folder per test, named by suite and test: tests run side by side.
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ =
        std::filesystem::path(MD_TEST_OUTPUT_DIR) / "border-dialogs" / test->test_suite_name() / test->name();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    IGIS_GlobalProperties* globals = GIS_GetGlobalProperties();
    IGIS_Field* dir = globals->GetProperty("GLOBAL_GRAPHICELEMENT_CFG_DIR");
    if (dir == nullptr) {
      dir = GIS_CreateFieldObject();
      dir->SetName("GLOBAL_GRAPHICELEMENT_CFG_DIR");
      dir->SetType(GIS_FIELD_TYPE_STRING);
      ASSERT_TRUE(globals->AddProperty(dir));
    }
    dir->SetString(dir_.string().c_str());
  }
  void TearDown() override { EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front(); }

  std::string LibraryPath() const { return (dir_ / "mapborder.ets").string(); }
  static std::string SnapshotPath(const std::string& name) { return md::test::SnapshotPath(name); }
  static size_t Prompts() { return PromptsShown(); }
  static md::ui::ScriptedDriver::Scene Choose(int index) { return ChooseEntry(index); }

  std::filesystem::path dir_;
};

}  // namespace md::test
