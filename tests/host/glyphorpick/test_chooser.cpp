// Second-kind symbols, the choosers and the string dialog played by scripts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/glyphor2pick/igis_symbolv2chooserdlg.h"
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/stratel/igis_stringdlg.h"
#include "platform/ui/driver.h"

namespace {

// Every run of a chooser is played by the dialog framework's modal driver.
class Chooser : public ::testing::Test {
 protected:
  void SetUp() override { md::ui::ClearDriverErrors(); }
  void TearDown() override { EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front(); }
};

constexpr int kList = IDC_GIS_PICK_LIST;
constexpr int kSize = IDC_GIS_PICK_SIZE;

TEST(SymbolV2, EveryKindReadsBackEqual) {
  IGIS_SymbolV2Factory* f = GIS_GetSymbol2FactoryObject();
  for (int kind : {1, 2, 7}) {
    SCOPED_TRACE(kind);
    IGIS_SymbolV2* s = f->CreateSymbol(kind);
    ASSERT_NE(s, nullptr);
    s->SetCode(kind == 1 ? 3334 : 3364);
    s->SetColor(RGB(9, 8, 7));
    s->SetColor2(RGB(6, 5, 4));
    s->SetLineWidth(1.25);
    IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
    ASSERT_TRUE(s->Save(b, FALSE));
    IGIS_SymbolV2* back = f->CreateSymbolFromBuffer(b);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetKind(), kind);
    EXPECT_EQ(back->GetStyleCode(), s->GetStyleCode());
    EXPECT_EQ(back->GetColor(), RGB(9, 8, 7));
    EXPECT_EQ(back->GetColor2(), RGB(6, 5, 4));
    EXPECT_DOUBLE_EQ(back->GetLineWidth(), 1.25);
    // Truncated copies are refused.
    for (int n = 1; n < b->GetSize(); ++n) EXPECT_EQ(f->CreateSymbolFromBytes(b->GetData(), n), nullptr) << n;
    b->Release();
    back->Release();
    s->Release();
  }
  EXPECT_EQ(f->CreateSymbol(3), nullptr);
  EXPECT_EQ(f->CreateSymbolFromBuffer(nullptr), nullptr);
}

TEST(SymbolV2, DamagedRecordsAreRefused) {
  IGIS_SymbolV2Factory* f = GIS_GetSymbol2FactoryObject();
  IGIS_SymbolV2* s = f->CreateSymbol(2);
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  ASSERT_TRUE(s->Save(b, FALSE));
  const std::vector<BYTE> good(b->GetData(), b->GetData() + b->GetSize());
  auto read = [&](std::size_t at, const void* v, std::size_t n) {
    std::vector<BYTE> bad = good;
    std::memcpy(bad.data() + at, v, n);
    IGIS_SymbolV2* r = f->CreateSymbolFromBytes(bad.data(), static_cast<int>(bad.size()));
    if (r) r->Release();
    return r != nullptr;
  };
  const std::uint32_t magic = 0x12345678u;
  const std::uint16_t version = 2, kind = 5;
  const std::uint32_t shortPayload = 20, longPayload = 0x7FFFFFFFu;
  const double nan = std::nan(""), negative = -0.5, huge = 1e6, ok = 0.35;
  EXPECT_FALSE(read(0, &magic, 4));
  EXPECT_FALSE(read(4, &version, 2));
  EXPECT_FALSE(read(6, &kind, 2));
  EXPECT_FALSE(read(8, &shortPayload, 4));
  EXPECT_FALSE(read(8, &longPayload, 4));
  EXPECT_FALSE(read(24, &nan, 8));  // the width
  EXPECT_FALSE(read(24, &negative, 8));
  EXPECT_FALSE(read(24, &huge, 8));
  EXPECT_TRUE(read(24, &ok, 8));
  // Random damage never crashes; what reads is a whole symbol.
  std::uint32_t seed = 99;
  for (int round = 0; round < 500; ++round) {
    std::vector<BYTE> bad = good;
    seed = seed * 1664525u + 1013904223u;
    bad[(seed >> 8) % bad.size()] = static_cast<BYTE>(seed >> 24);
    if (IGIS_SymbolV2* r = f->CreateSymbolFromBytes(bad.data(), static_cast<int>(bad.size()))) {
      EXPECT_TRUE(r->GetKind() == 1 || r->GetKind() == 2 || r->GetKind() == 7);
      EXPECT_TRUE(r->GetLineWidth() >= 0.0 && r->GetLineWidth() <= 1000.0);
      r->Release();
    }
  }
  b->Release();
  s->Release();
}

TEST(SymbolV2, DefaultBackgroundIsWhiteWithoutOutline) {
  IGIS_SymbolV2* s = GIS_GetSymbol2FactoryObject()->CreateSymbol(7);
  EXPECT_EQ(s->AsFillSymbol(), s);
  EXPECT_EQ(s->AsLineSymbol(), nullptr);
  EXPECT_EQ(s->GetColor(), RGB(255, 255, 255));
  EXPECT_DOUBLE_EQ(s->GetLineWidth(), 0.0);
  IGIS_SymbolV2* copy = s->Clone();
  EXPECT_NE(copy, s);
  EXPECT_EQ(copy->GetColor(), s->GetColor());
  copy->Release();
  s->Release();
}

TEST_F(Chooser, CancelledOrUnansweredRunsYieldNothing) {
  IGIS_SymbolChooserDlg* dlg = GIS_GetSymbolSelectDlgObject();
  int state = 0;
  // No driver: nobody confirms.
  EXPECT_FALSE(dlg->Run(nullptr, GIS_CHOOSE_LINE, &state, 0, 0));
  EXPECT_EQ(dlg->GetResult(), nullptr);
  md::ui::ScriptedDriver driver;
  driver.Then([](md::ui::UiUser& u) {
    u.Choose(kList, 1);
    u.Cancel();
  });
  EXPECT_FALSE(dlg->Run(nullptr, GIS_CHOOSE_FILL, &state, 0, 0));
  EXPECT_EQ(dlg->GetResult(), nullptr);
  // Confirming without a symbol chosen is no choice either.
  driver.Then([](md::ui::UiUser& u) { u.Ok(); });
  EXPECT_FALSE(dlg->Run(nullptr, GIS_CHOOSE_POINT, &state, 0, 0));
  EXPECT_EQ(dlg->GetResult(), nullptr);
  EXPECT_EQ(state, 0);
  // An unknown kind never opens the window.
  EXPECT_FALSE(dlg->Run(nullptr, 3, &state, 0, 0));
  EXPECT_EQ(driver.DialogsRun(), 2);

  IGIS_SymbolV2ChooserDlg* dlg2 = GIS_GetSymbol2SelectDlgObject();
  int kind = 1;
  driver.Then([](md::ui::UiUser& u) {
    u.Choose(kList, 0);
    u.Cancel();
  });
  EXPECT_NE(dlg2->RunNew(&kind, 0, &state), 0);
  EXPECT_EQ(dlg2->GetResult(), nullptr);
  EXPECT_EQ(dlg2->RunNew(nullptr, 0, &state), -1);
  EXPECT_EQ(driver.ScenesLeft(), 0u);
}

TEST_F(Chooser, ChosenSymbolsComeBackOfTheAskedKind) {
  IGIS_SymbolChooserDlg* dlg = GIS_GetSymbolSelectDlgObject();
  struct Case {
    int kind;
    int type;
  } cases[] = {{GIS_CHOOSE_POINT, -1}, {GIS_CHOOSE_LINE, 9},         {GIS_CHOOSE_FILL, 12},
               {GIS_CHOOSE_TEXT, 19},  {GIS_CHOOSE_FLAGGED_LINE, 9}, {GIS_CHOOSE_FLAGGED_FILL, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    int state = 0;
    const int size = static_cast<int>(GIS_SymbolCatalogue(c.kind & ~GIS_CHOOSE_FLAG).size());
    ASSERT_GT(size, 1);
    md::ui::ScriptedDriver driver;
    int listed = 0;
    driver.Then([&](md::ui::UiUser& u) {
      listed = static_cast<CListBox*>(u.Control(kList))->GetCount();
      u.Choose(kList, size - 1);
      u.Ok();
    });
    ASSERT_TRUE(dlg->Run(nullptr, c.kind, &state, 0, 0));
    EXPECT_EQ(listed, size);
    IGIS_Symbol* r = dlg->GetResult();
    ASSERT_NE(r, nullptr);
    if (c.type > 0) {
      EXPECT_EQ(r->GetType(), c.type);
    } else {
      EXPECT_NE(r->AsPointSymbol(), nullptr);
    }
    EXPECT_EQ(GIS_SymbolPartOfKind(r, c.kind), r);
    EXPECT_EQ(dlg->GetResult(), nullptr);  // handed out once
    r->Release();
    // The state remembers the entry: the next run opens on it.
    EXPECT_EQ(state, size);
    int selected = -2;
    driver.Then([&](md::ui::UiUser& u) {
      selected = u.Selection(kList);
      u.Cancel();
    });
    EXPECT_FALSE(dlg->Run(nullptr, c.kind, &state, 0, 0));
    EXPECT_EQ(selected, size - 1);
  }
}

TEST_F(Chooser, EditingStartsFromACopyOfTheCurrentSymbol) {
  IGIS_SymbolChooserDlg* dlg = GIS_GetSymbolSelectDlgObject();
  IGIS_Symbol* current = GIS_GetSymbolFactoryObject()->CreateSymbol(9);
  current->SetColor(RGB(200, 0, 0));
  md::ui::ScriptedDriver driver;
  std::string shown;
  driver.Then([&](md::ui::UiUser& u) {
    shown = u.Text(kSize);
    u.Replace(kSize, "2");
    u.Ok();
  });
  ASSERT_TRUE(dlg->Run(current, GIS_CHOOSE_LINE, nullptr, 0, 0));
  EXPECT_EQ(shown, "0.2");
  IGIS_Symbol* r = dlg->GetResult();
  ASSERT_NE(r, nullptr);
  EXPECT_NE(r, current);
  EXPECT_EQ(r->GetColor(), RGB(200, 0, 0));
  EXPECT_DOUBLE_EQ(r->GetLineWidth(), 2.0);
  EXPECT_DOUBLE_EQ(current->GetLineWidth(), 0.2);
  r->Release();
  // A size that is not a number above 0 changes nothing.
  driver.Then([](md::ui::UiUser& u) {
    u.Replace(kSize, "-3");
    u.Ok();
  });
  ASSERT_TRUE(dlg->Run(current, GIS_CHOOSE_LINE, nullptr, 0, 0));
  r = dlg->GetResult();
  EXPECT_DOUBLE_EQ(r->GetLineWidth(), 0.2);
  r->Release();
  current->Release();

  IGIS_SymbolV2* frame = GIS_GetSymbol2FactoryObject()->CreateSymbol(2);
  frame->SetColor(RGB(1, 1, 1));
  IGIS_SymbolV2ChooserDlg* dlg2 = GIS_GetSymbol2SelectDlgObject();
  driver.Then([](md::ui::UiUser& u) {
    u.Replace(kSize, "0.75");
    u.Ok();
  });
  int state = 0;
  ASSERT_EQ(dlg2->RunEdit(frame, 0, &state), 0);
  IGIS_SymbolV2* r2 = dlg2->GetResult();
  ASSERT_NE(r2, nullptr);
  EXPECT_EQ(r2->GetColor(), RGB(1, 1, 1));
  EXPECT_DOUBLE_EQ(r2->GetLineWidth(), 0.75);
  EXPECT_DOUBLE_EQ(frame->GetLineWidth(), 0.2);
  r2->Release();
  frame->Release();
  // A new fill: the last entry is the default background.
  int kind = 2;
  const int last = static_cast<int>(GIS_Symbol2Catalogue(2).size()) - 1;
  driver.Then([last](md::ui::UiUser& u) {
    u.Choose(kList, last);
    u.Ok();
  });
  ASSERT_EQ(dlg2->RunNew(&kind, 0, &state), 0);
  IGIS_SymbolV2* bg = dlg2->GetResult();
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetKind(), 7);
  EXPECT_EQ(state, last + 1);
  bg->Release();
}

TEST_F(Chooser, StringDialogGivesTheTypedTextOnlyOnOk) {
  IGIS_StringDlg* dlg = GIS_GetStringDlgObject();
  dlg->SetCaption("边界样式");
  dlg->SetLabel("边界");
  md::ui::ScriptedDriver driver;
  std::string caption, label;
  driver.Then([&](md::ui::UiUser& u) {
    caption = u.Window().GetWindowText();
    label = u.Text(31012);
    u.Type(31013, "粗边框");
    u.Ok();
  });
  ASSERT_TRUE(dlg->DoModal());
  EXPECT_EQ(caption, "边界样式");
  EXPECT_EQ(label, "边界");
  ASSERT_NE(dlg->GetString(), nullptr);
  EXPECT_STREQ(dlg->GetString(), "粗边框");
  driver.Then([](md::ui::UiUser& u) {
    u.Type(31013, "x");
    u.Cancel();
  });
  EXPECT_FALSE(dlg->DoModal());
  EXPECT_EQ(dlg->GetString(), nullptr);
  EXPECT_FALSE(dlg->DoModal());  // no scene left: cancelled
  EXPECT_EQ(driver.DialogsRun(), 3);
}

}  // namespace
