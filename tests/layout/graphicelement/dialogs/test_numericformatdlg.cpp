// The number-format dialog run on a numeric format through EditNumericFormat,
// played through the modal driver.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/basilo/releaseptr.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "platform/ui/ui.h"
#include "tests/support/snapshots.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using FormatPtr = md::basilo::ReleasePtr<IGIS_NumericFormat>;

FormatPtr NewFormat() {
  return FormatPtr(GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(GIS_NUMERICFORMAT_NUMBER));
}

// The seven settings as one comparable record.
struct Settings {
  int width, digits, alignment, rounding;
  bool plus, separator, zeros;
  bool operator==(const Settings&) const = default;
};
Settings Of(IGIS_NumericFormat* f) {
  return {f->GetWidth(),        f->GetDigits(),       f->GetAlignment(),
          f->GetRoundingMode(), f->GetShowPlusSign(), f->GetShowThousandsSeparator(),
          f->GetZeroPadding()};
}

class NumericFormatDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override { EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front(); }
};

TEST_F(NumericFormatDialog, EditsAllSevenSettingsAndTheFormatWritesWhatThePreviewShows) {
  FormatPtr format = NewFormat();
  const std::string plain = format->Format(12345.678);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Window().GetWindowText(), "数字格式");
    EXPECT_EQ(u.Text(IDC_NUMFMT_WIDTH), "0");
    EXPECT_EQ(u.Text(IDC_NUMFMT_DIGITS), "0");
    EXPECT_EQ(u.Checked(IDC_NUMFMT_DECIMALS), 1);
    EXPECT_EQ(u.Checked(IDC_NUMFMT_LEFT), 1);
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, "14"));
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_DIGITS, "3"));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_SIGNIFICANT));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_RIGHT));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_SEPARATOR));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_ZEROS));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_PLUS));
    EXPECT_TRUE(u.Snapshot(md::test::SnapshotPath("numeric_format")));
    u.Ok();
  });
  EXPECT_TRUE(EditNumericFormat(format.get()));
  EXPECT_EQ(Of(format.get()), (Settings{14, 3, 1, 1, true, true, true}));
  // The format now writes what a format set to the same values writes.
  FormatPtr expected = NewFormat();
  expected->SetWidth(14);
  expected->SetDigits(3);
  expected->SetAlignment(1);
  expected->SetRoundingMode(1);
  expected->SetShowPlusSign(true);
  expected->SetShowThousandsSeparator(true);
  expected->SetZeroPadding(true);
  const std::string shown = format->Format(12345.678);
  EXPECT_EQ(shown, std::string(expected->Format(12345.678)));
  EXPECT_NE(shown, plain);
  EXPECT_EQ(shown.size(), 14u);
  EXPECT_EQ(shown.front(), '+');
  EXPECT_NE(shown.find("12,3"), std::string::npos);
}

// Worked numbers of the settings the dialog writes.
struct PreviewCase {
  const char* width;
  const char* digits;
  int clicks[3];
  double value;
  const char* text;
};

class FormattedPreview : public NumericFormatDialog, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(FormattedPreview, MatchesTheSettingsChosen) {
  const PreviewCase& c = GetParam();
  FormatPtr format = NewFormat();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, c.width));
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_DIGITS, c.digits));
    for (int id : c.clicks) {
      if (id != 0) {
        EXPECT_TRUE(u.Click(id));
      }
    }
    u.Ok();
  });
  EXPECT_TRUE(EditNumericFormat(format.get()));
  EXPECT_STREQ(format->Format(c.value), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormattedPreview,
    ::testing::Values(PreviewCase{"0", "2", {0, 0, 0}, 3.14159, "3.14"},
                      PreviewCase{"0", "0", {IDC_NUMFMT_SEPARATOR, 0, 0}, 1234567.0, "1,234,567"},
                      PreviewCase{"0", "1", {IDC_NUMFMT_PLUS, 0, 0}, 2.25, "+2.3"},
                      PreviewCase{"6", "0", {IDC_NUMFMT_RIGHT, 0, 0}, 42.0, "    42"},
                      PreviewCase{"6", "0", {0, 0, 0}, 42.0, "42    "},
                      PreviewCase{"6", "0", {IDC_NUMFMT_ZEROS, 0, 0}, 42.0, "000042"},
                      PreviewCase{"0", "2", {IDC_NUMFMT_SIGNIFICANT, 0, 0}, 1234.0, "1200"}));

TEST_F(NumericFormatDialog, OpensWithTheFormatsValuesAndTheSpinsStopAtTheirBounds) {
  FormatPtr format = NewFormat();
  format->SetWidth(50);
  format->SetDigits(10);
  format->SetAlignment(1);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_NUMFMT_WIDTH), "50");
    EXPECT_EQ(u.Text(IDC_NUMFMT_DIGITS), "10");
    EXPECT_EQ(u.Checked(IDC_NUMFMT_RIGHT), 1);
    EXPECT_EQ(u.Checked(IDC_NUMFMT_LEFT), 0);
    u.Spin(IDC_NUMFMT_WIDTH_SPIN, 3);
    u.Spin(IDC_NUMFMT_DIGITS_SPIN, 3);
    EXPECT_EQ(u.Text(IDC_NUMFMT_WIDTH), "50");
    EXPECT_EQ(u.Text(IDC_NUMFMT_DIGITS), "10");
    u.Spin(IDC_NUMFMT_DIGITS_SPIN, -12);
    EXPECT_EQ(u.Text(IDC_NUMFMT_DIGITS), "0");
    u.Ok();
  });
  EXPECT_TRUE(EditNumericFormat(format.get()));
  EXPECT_EQ(format->GetDigits(), 0);
  EXPECT_EQ(format->GetWidth(), 50);
}

struct BadNumber {
  int id;
  const char* typed;
  const char* prompt;
};

class RefusedNumber : public NumericFormatDialog, public ::testing::WithParamInterface<BadNumber> {};

TEST_P(RefusedNumber, KeepsTheDialogOpenAndACancelLeavesTheFormat) {
  FormatPtr format = NewFormat();
  format->SetDigits(4);
  const Settings before = Of(format.get());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_NUMFMT_PLUS));
    EXPECT_TRUE(u.Replace(GetParam().id, GetParam().typed));
    const size_t prompts = md::ui::MessageBoxLog().size();
    u.Ok();
    EXPECT_FALSE(u.Ended());
    ASSERT_EQ(md::ui::MessageBoxLog().size(), prompts + 1);
    EXPECT_EQ(md::ui::MessageBoxLog().back().text, GetParam().prompt);
    u.Cancel();
  });
  EXPECT_FALSE(EditNumericFormat(format.get()));
  EXPECT_EQ(Of(format.get()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedNumber,
    ::testing::Values(BadNumber{IDC_NUMFMT_WIDTH, "60", "请输入一个介于 0 和 50 之间的整数。"},
                      BadNumber{IDC_NUMFMT_DIGITS, "11", "请输入一个介于 0 和 10 之间的整数。"},
                      BadNumber{IDC_NUMFMT_WIDTH, "", "请输入一个整数。"},
                      BadNumber{IDC_NUMFMT_DIGITS, "+", "请输入一个整数。"}));

TEST_F(NumericFormatDialog, TypingDropsMinusSignsAndOtherCharacters) {
  FormatPtr format = NewFormat();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, "-1a2"));
    EXPECT_EQ(u.Text(IDC_NUMFMT_WIDTH), "12");
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_DIGITS, "-3"));
    EXPECT_EQ(u.Text(IDC_NUMFMT_DIGITS), "3");
    u.Ok();
  });
  EXPECT_TRUE(EditNumericFormat(format.get()));
  EXPECT_EQ(format->GetWidth(), 12);
  EXPECT_EQ(format->GetDigits(), 3);
}

TEST_F(NumericFormatDialog, CancelLeavesTheFormatAsItWas) {
  FormatPtr format = NewFormat();
  format->SetZeroPadding(true);
  const Settings before = Of(format.get());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Click(IDC_NUMFMT_ZEROS));
    EXPECT_TRUE(u.Click(IDC_NUMFMT_SIGNIFICANT));
    EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, "9"));
    u.Cancel();
  });
  EXPECT_FALSE(EditNumericFormat(format.get()));
  EXPECT_EQ(Of(format.get()), before);
  EXPECT_FALSE(EditNumericFormat(nullptr));
}

}  // namespace
