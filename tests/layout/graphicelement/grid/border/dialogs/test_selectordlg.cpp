// The border selector: the library file it reads and writes, saving,
// selecting and deleting entries, the width prompt, a damaged file left
// alone, and the thumbnails it draws.
#include <fstream>
#include <iterator>

#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"
#include "platform/text/textengine.h"
#include "tests/layout/graphicelement/grid/border/dialogs/borderdialogtest.h"

namespace {

using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The keys of the set stored in a library file, in order.
std::vector<std::string> StoredKeys(const std::string& path) {
  const std::string bytes = ReadAll(path);
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  IGIS_DataBuffer* b = md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end()));
  std::vector<std::string> keys;
  if (set->Archive(b, GIS_ARCHIVE_READ, 0)) {
    for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f))
      keys.emplace_back(f->GetLabel());
  }
  b->Release();
  set->Release();
  return keys;
}

class BorderSelector : public md::test::BorderDialogTest {
 protected:
  // The string dialog's scene: the name typed and confirmed.
  static ScriptedDriver::Scene Name(const std::string& name) {
    return [name](UiUser& u) {
      u.Replace(31013, name);
      u.Ok();
    };
  }
};

TEST_F(BorderSelector, NoFileLeavesAnEmptyLibraryFileAfterCancel) {
  CGIS_MapBorderSelectordlg dlg;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_BS_WIDTH), "2000");
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_BS_DELETE));
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_TRUE(std::filesystem::exists(LibraryPath()));
  EXPECT_TRUE(StoredKeys(LibraryPath()).empty());
}

TEST_F(BorderSelector, SavedBordersAreKeptEvenOnCancelAndListedAgain) {
  {
    CGIS_MapBorderSelectordlg dlg;
    auto* simple = new CGIS_MapBorderSimple();
    simple->SetLeftOffset(10);
    dlg.SetMapBorder(simple);
    ScriptedDriver driver;
    driver.Then([](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_BS_LEFT), "10");
      u.Replace(IDC_GIS_BS_TOP, "33");
      u.Click(IDC_GIS_BS_SAVE);
      u.Click(IDC_GIS_BS_SAVE);
      u.Cancel();
    });
    driver.Then(Name("细线"));
    driver.Then(Name("第二条"));
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  }
  EXPECT_EQ(StoredKeys(LibraryPath()), (std::vector<std::string>{"0", "1"}));
  CGIS_MapBorderSelectordlg again;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    ASSERT_EQ(again.GetLibrary().GetCount(), 2);
    EXPECT_STREQ(again.GetLibrary().GetMapBorder(0)->GetName(), "细线");
    EXPECT_STREQ(again.GetLibrary().GetMapBorder(1)->GetName(), "第二条");
    EXPECT_EQ(again.GetLibrary().GetMapBorder(0)->GetTopOffset(), 33);
    EXPECT_EQ(again.GetThumbnails().GetImageCount(), 2);
    // Selecting an entry makes the current border a copy of it.
    u.Choose(IDC_GIS_BS_LIST, 1);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_BS_DELETE));
    EXPECT_NE(again.GetMapBorder(), again.GetLibrary().GetMapBorder(1));
    EXPECT_EQ(md::test::Stored(again.GetMapBorder()).empty(), false);
    EXPECT_EQ(u.Text(IDC_GIS_BS_TOP), "33");
    u.Replace(IDC_GIS_BS_LEFT, "77");
    u.Ok();
  });
  EXPECT_EQ(again.DoModal(), IDOK);
  EXPECT_EQ(again.GetMapBorder()->GetLeftOffset(), 77);
  EXPECT_EQ(again.GetLibrary().GetMapBorder(1)->GetLeftOffset(), 10);
}

TEST_F(BorderSelector, DeletingTheFirstOfThreeStoresTwo) {
  {
    CGIS_MapBorderLibrary lib;
    lib.Load(LibraryPath());
    for (const char* name : {"一", "二", "三"}) {
      Owned<CGIS_MapBorderSimple> b(new CGIS_MapBorderSimple());
      b->SetName(name);
      lib.AddMapBorder(b.get());
    }
    ASSERT_TRUE(lib.Save(LibraryPath()));
  }
  CGIS_MapBorderSelectordlg dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Choose(IDC_GIS_BS_LIST, 0);
    u.Click(IDC_GIS_BS_DELETE);
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_BS_DELETE));
    EXPECT_EQ(dlg.GetThumbnails().GetImageCount(), 2);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(StoredKeys(LibraryPath()), (std::vector<std::string>{"0", "1"}));
  CGIS_MapBorderLibrary lib;
  ASSERT_TRUE(lib.Load(LibraryPath()));
  ASSERT_EQ(lib.GetCount(), 2);
  EXPECT_STREQ(lib.GetMapBorder(0)->GetName(), "二");
}

TEST_F(BorderSelector, TheWidthIsPromptedOutOfRange) {
  for (const char* width : {"0", "200001"}) {
    md::ui::ClearMessageBoxLog();
    CGIS_MapBorderSelectordlg dlg;
    dlg.SetMapBorder(new CGIS_MapBorderSimple());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Replace(IDC_GIS_BS_WIDTH, width);
      u.Ok();
      EXPECT_FALSE(u.Ended()) << width;
      EXPECT_EQ(Prompts(), 1u) << width;
      u.Replace(IDC_GIS_BS_WIDTH, "200000");
      u.Ok();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetMapBorder()->GetBorderWidth(), 200000);
  }
}

TEST_F(BorderSelector, ADamagedLibraryFileIsNeverWrittenOver) {
  const std::string junk = "not a library";
  {
    std::ofstream out(LibraryPath(), std::ios::binary);
    out << junk;
  }
  for (bool ok : {true, false}) {
    CGIS_MapBorderSelectordlg dlg;
    dlg.SetMapBorder(new CGIS_MapBorderSimple());
    ScriptedDriver driver;
    driver.Then([ok](UiUser& u) {
      u.Click(IDC_GIS_BS_SAVE);
      ok ? u.Ok() : u.Cancel();
    });
    driver.Then(Name("新"));
    dlg.DoModal();
    EXPECT_EQ(ReadAll(LibraryPath()), junk);
  }
}

TEST_F(BorderSelector, ACalibratedThumbnailAlternatesFromTheBackgroundAfterTheLeftBand) {
  Owned<CGIS_MapBorderCalibrated> border(new CGIS_MapBorderCalibrated());
  border->SetAlternating(false);
  Owned<IGIS_Symbol> fore(md::test::NewFill(RGB(200, 0, 0)));
  Owned<IGIS_Symbol> back(md::test::NewFill(RGB(0, 0, 200)));
  border->SetForegroundSymbolPtr(fore.get());
  border->SetBackgroundSymbolPtr(back.get());
  md::canvas::RecordingCanvas canvas(200, 50);
  HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(CGIS_MapBorderSelectordlg::DrawMapBorder(hdc, border.get(), 1, RECT{0, 0, 200, 50}));
  DeleteDC(hdc);
  std::vector<md::test::Painted> fills;
  for (const md::test::Painted& p : md::test::PaintedOf(canvas))
    if (p.fill) fills.push_back(p);
  // d = 5, L = 40, n = 4: the left band and four top cells.
  ASSERT_EQ(fills.size(), 5u);
  const md::canvas::Color red = fills[0].color;
  const md::canvas::Color blue = fills[1].color;
  EXPECT_FALSE(red == blue);
  EXPECT_TRUE(fills[2].color == red);
  EXPECT_TRUE(fills[3].color == blue);
  EXPECT_TRUE(fills[4].color == red);
  // The last cell ends d before the right edge.
  int right = 0;
  for (const auto& pt : fills[4].points) right = std::max(right, static_cast<int>(pt.x));
  EXPECT_EQ(right, 195);
}

TEST_F(BorderSelector, Snapshot) {
  {
    CGIS_MapBorderLibrary lib;
    lib.Load(LibraryPath());
    Owned<CGIS_MapBorderCalibrated> c(new CGIS_MapBorderCalibrated());
    c->SetName("分度带");
    Owned<CGIS_MapBorderSimple> s(new CGIS_MapBorderSimple());
    s->SetName("细线");
    lib.AddMapBorder(c.get());
    lib.AddMapBorder(s.get());
    ASSERT_TRUE(lib.Save(LibraryPath()));
  }
  CGIS_MapBorderSelectordlg dlg;
  const std::string path = SnapshotPath("mapborderselector");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Choose(IDC_GIS_BS_LIST, 0);
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
