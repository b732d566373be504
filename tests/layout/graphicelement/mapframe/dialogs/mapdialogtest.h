// Shared pieces of the map frame's dialog tests: the page fixture with empty
// message-box and driver logs, the stored form of a frame, and where
// snapshots of the dialogs go.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/driver.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"
#include "tests/support/snapshots.h"

namespace md::test {

class MapDialogTest : public MapFramePage {
 protected:
  void SetUp() override {
    MapFramePage::SetUp();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    MapFramePage::TearDown();
  }
  // The frame written into its feature, and the bytes of its "Custom" buffer.
  static std::vector<BYTE> StoredForm(IGIS_Element* e) {
    e->Archive(0, 0);
    IGIS_DataBuffer* b = e->GetFeaturePtr()->GetAttributes()->GetDataBuffer("Custom");
    if (b == nullptr) return {};
    return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
  }
  static std::string SnapshotPath(const std::string& name) { return md::test::SnapshotPath(name); }
  static size_t Prompts() { return md::ui::MessageBoxLog().size(); }
};

}  // namespace md::test
