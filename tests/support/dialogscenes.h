// What the dialog tests share: the prompts shown, and
// the symbol chooser played as a user.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "platform/ui/app.h"
#include "platform/ui/driver.h"
#include "tests/support/snapshots.h"

namespace md::test {

// The message boxes shown since the log was last cleared.
inline size_t PromptsShown() { return md::ui::MessageBoxLog().size(); }

// The chooser's scene: entry `index` of its list, confirmed.
inline md::ui::ScriptedDriver::Scene ChooseEntry(int index) {
  return [index](md::ui::UiUser& u) {
    u.Choose(IDC_GIS_PICK_LIST, index);
    u.Ok();
  };
}

// The scene that paints the window into the snapshot file, then cancels it.
inline md::ui::ScriptedDriver::Scene SnapshotThenCancel(const std::string& path) {
  return [path](md::ui::UiUser& u) {
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  };
}

}  // namespace md::test
