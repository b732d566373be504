// Shared pieces of the dialog framework tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/app.h"
#include "platform/ui/driver.h"

namespace md::test {

// The framework tests name the framework's types unqualified.
using namespace md::ui;

// Every test starts with empty message-box and driver-error logs.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearMessageBoxLog();
    ClearDriverErrors();
  }
  void TearDown() override { EXPECT_TRUE(DriverErrors().empty()) << DriverErrors().front(); }
};

// The number filter pages run on each text update: the rightmost character
// that is not allowed is removed everywhere, the text set back, and the
// caret put where it was found.
inline void FilterEdit(CWnd* edit, const std::string& allowed) {
  if (!edit || !edit->IsWindow() || edit->GetClassName() != "Edit") return;
  std::string text = edit->GetWindowText();
  for (int i = static_cast<int>(text.size()) - 1; i >= 0; --i) {
    char bad = text[static_cast<size_t>(i)];
    if (allowed.find(bad) != std::string::npos) continue;
    std::string kept;
    for (char c : text)
      if (c != bad) kept.push_back(c);
    edit->SetWindowText(kept.c_str());
    edit->SendMessage(EM_SETSEL, static_cast<WPARAM>(i), i);
    return;
  }
}

}  // namespace md::test
