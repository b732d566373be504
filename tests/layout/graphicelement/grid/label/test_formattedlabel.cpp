// The formatted label as an object: its format, stored form, copies and
// the number-format dialog it opens.
#include <gtest/gtest.h>

#include "host/basilo/igis_log.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/grid/label/labeltest.h"
#include "tests/support/logmark.h"

namespace md::test {
namespace {

using FormatPtr = md::basilo::ReleasePtr<IGIS_NumericFormat>;

const Settings kDefaults{0, 0, 0, 0, false, false, false};
const Settings kEdited{1, 12, 1, 3, true, true, true};

ReleasePtr<CGIS_FormattedGridLabel> NewLabel() {
  return ReleasePtr<CGIS_FormattedGridLabel>(new CGIS_FormattedGridLabel);
}

TEST(FormattedLabel, KeepsItsOwnCopyOfAFormat) {
  auto label = NewLabel();
  EXPECT_EQ(label->GetType(), GIS_GRIDLABEL_FORMATTED);
  IGIS_NumericFormat* held = label->GetNumericFormat();
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->GetKind(), GIS_NUMERICFORMAT_NUMBER);
  EXPECT_STREQ(held->Format(4412000.0), "4412000");
  LogMark mark;
  label->SetNumericFormatPtr(held);
  EXPECT_EQ(label->GetNumericFormat(), held);  // not released and cloned again
  label->SetNumericFormatPtr(nullptr);
  EXPECT_EQ(label->GetNumericFormat(), held);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_FormattedGridLabel::SetNumericFormatPtr", "right == NULL"));

  FormatPtr mine(GIS_GetNumericFormatFactoryObject()->CreateNumericFormat(GIS_NUMERICFORMAT_NUMBER));
  Apply(mine.get(), kEdited);
  label->SetNumericFormatPtr(mine.get());
  EXPECT_NE(label->GetNumericFormat(), mine.get());
  EXPECT_EQ(Of(label->GetNumericFormat()), kEdited);
  Apply(mine.get(), kDefaults);
  EXPECT_EQ(Of(label->GetNumericFormat()), kEdited);
}

TEST(FormattedLabel, StoresItsFormatBesideTheCommonKeys) {
  auto label = NewLabel();
  Apply(label->GetNumericFormat(), kEdited);
  label->SetLabelOffsetX(10, 20, 30, 40);
  label->SetLabelAlignment(false, true, false, true);
  const std::vector<BYTE> bytes = Stored(label.get());
  const std::vector<std::string> keys = KeysOf(bytes);
  ASSERT_FALSE(keys.empty());
  EXPECT_EQ(keys.front(), "NumericFormat");
  EXPECT_EQ(keys.size(), 20u);
  SetPtr set = SetOf(bytes);
  EXPECT_STREQ(set->GetProperty("NumericFormat")->GetDescription(), "NumericFormat");
  EXPECT_EQ(set->GetProperty("GridLabelType")->GetInt(), GIS_GRIDLABEL_FORMATTED);

  // All seven settings and the common state come back.
  auto read = NewLabel();
  BufferPtr b = BufferOf(bytes);
  EXPECT_TRUE(read->Open(b.get()));
  EXPECT_EQ(Of(read->GetNumericFormat()), kEdited);
  EXPECT_EQ(Stored(read.get()), bytes);

  // A buffer without the key keeps the format's defaults.
  auto plain = NewLabel();
  BufferPtr noFormat = BufferWith([](IGIS_PropertySet* s) { PutInt(s, "LabelOffset", 250); });
  EXPECT_TRUE(plain->Open(noFormat.get()));
  EXPECT_EQ(Of(plain->GetNumericFormat()), kDefaults);
  EXPECT_EQ(plain->GetLabelOffset(), 250);

  ExpectStoreRefusals(plain.get(), "CGIS_FormattedGridLabel");
}

TEST(FormattedLabel, ClonesAndCopiesIntoIndependentLabels) {
  auto label = NewLabel();
  Apply(label->GetNumericFormat(), kEdited);
  label->SetLabelOffset(900);
  ReleasePtr<IGIS_GridLabel> clone(label->Clone());
  auto* formatted = dynamic_cast<IGIS_FormattedGridLabel*>(clone.get());
  ASSERT_NE(formatted, nullptr);
  EXPECT_EQ(Stored(clone.get()), Stored(label.get()));
  Apply(formatted->GetNumericFormat(), kDefaults);
  clone->SetLabelOffset(1);
  EXPECT_EQ(Of(label->GetNumericFormat()), kEdited);
  EXPECT_EQ(label->GetLabelOffset(), 900);

  auto other = NewLabel();
  EXPECT_EQ(other->Copy(label.get()), other.get());
  EXPECT_EQ(Stored(other.get()), Stored(label.get()));
  EXPECT_NE(other->GetNumericFormat(), label->GetNumericFormat());
}

class FormattedLabelDialog : public ::testing::Test {
 protected:
  void SetUp() override { md::ui::ClearDriverErrors(); }
  void TearDown() override { EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front(); }
};

TEST_F(FormattedLabelDialog, EditsTheFormatOnOkAndChangesNothingOnCancel) {
  auto label = NewLabel();
  label->SetLabelOffset(333);
  const std::vector<BYTE> before = Stored(label.get());
  {
    md::ui::ScriptedDriver driver;
    driver.Then([](md::ui::UiUser& u) {
      EXPECT_EQ(u.Window().GetWindowText(), "数字格式");
      EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, "12"));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_PLUS));
      u.Cancel();
    });
    EXPECT_FALSE(label->OnOpenPropertyDlg());
    EXPECT_EQ(driver.DialogsRun(), 1);
  }
  EXPECT_EQ(Stored(label.get()), before);
  {
    md::ui::ScriptedDriver driver;
    driver.Then([](md::ui::UiUser& u) {
      EXPECT_EQ(u.Text(IDC_NUMFMT_WIDTH), "0");
      EXPECT_TRUE(u.Replace(IDC_NUMFMT_WIDTH, "12"));
      EXPECT_TRUE(u.Replace(IDC_NUMFMT_DIGITS, "3"));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_RIGHT));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_SIGNIFICANT));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_PLUS));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_SEPARATOR));
      EXPECT_TRUE(u.Click(IDC_NUMFMT_ZEROS));
      u.Ok();
    });
    EXPECT_TRUE(label->OnOpenPropertyDlg());
  }
  EXPECT_EQ(Of(label->GetNumericFormat()), kEdited);
  EXPECT_EQ(label->GetLabelOffset(), 333);
  // Without a driver the dialog counts as cancelled.
  const std::vector<BYTE> edited = Stored(label.get());
  EXPECT_FALSE(label->OnOpenPropertyDlg());
  EXPECT_EQ(Stored(label.get()), edited);
}

}  // namespace
}  // namespace md::test
