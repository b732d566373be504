// Shared pieces of the furniture sheet tests: a fixture with a screen
// display and a clean prompt log, snapshot paths, painting the active page.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/canvas/recording.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"
#include "tests/support/snapshots.h"
#include "tests/support/storedform.h"

namespace md::test {

// The chooser's symbol list.
constexpr int kChooserList = 31002;

inline int PromptCount() { return static_cast<int>(md::ui::MessageBoxLog().size()); }

// Paints the running sheet's window onto a recording canvas.
inline std::unique_ptr<md::canvas::RecordingCanvas> PaintActivePage(md::ui::UiUser& u) {
  auto canvas = std::make_unique<md::canvas::RecordingCanvas>(800, 600);
  HWND top = u.Window().GetSafeHwnd();
  md::ui::SetWindowCanvas(top, canvas.get());
  u.Surface()->Invalidate();
  u.Surface()->UpdateWindow();
  md::ui::SetWindowCanvas(top, nullptr);
  return canvas;
}

class FurnitureSheet : public FurniturePage {
 protected:
  void SetUp() override {
    FurniturePage::SetUp();
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    FurniturePage::TearDown();
  }
  // Types the text into the control of the first page, tries to leave the
  // page and to press OK (each refused with one prompt), then cancels: the
  // element's stored form stays as it was.
  void ExpectRefused(IGIS_Element* e, int control, const std::string& text) {
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string before = StoredForm(e);
    md::ui::ScriptedDriver driver;
    driver.Then([&](md::ui::UiUser& u) {
      EXPECT_TRUE(u.Replace(control, text));
      const int prompts = PromptCount();
      u.GoToPage(1);
      EXPECT_EQ(PromptCount(), prompts + 1);
      EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
      u.Ok();
      EXPECT_FALSE(u.Ended());
      EXPECT_EQ(PromptCount(), prompts + 2);
      u.Cancel();
    });
    EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
    EXPECT_EQ(StoredForm(e), before);
  }

  Screen screen_;
};

// Input a page refuses: the control and the text typed.
struct BadInput {
  int control;
  const char* text;
};
inline void PrintTo(const BadInput& b, std::ostream* os) { *os << b.control << " \"" << b.text << "\""; }

}  // namespace md::test
