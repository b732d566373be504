// Opening objects in their servers, played by the scripted user: the text
// document's editor and the picture's window through DoVerb, the element's
// activation and the sheet's object page; OK changes the drawing and fits
// the box, Cancel changes nothing; what cannot be opened is refused.
#include <cmath>
#include <filesystem>
#include <functional>
#include <tuple>
#include <vector>

#include "layout/graphicelement/ole/dialogs/cgis_oleobjectpage.h"
#include "platform/files/filestore.h"
#include "platform/ole/server.h"
#include "platform/oleserver/oleservers.h"
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/logmark.h"
#include "tests/support/sourceclock.h"
#include "tests/support/storedform.h"

namespace {

using md::test::kSecond;
using md::ui::ScriptedDriver;
using md::ui::UiUser;
using namespace md::oleserver;

class OleServer : public md::test::OleScreenPage {
 protected:
  static std::string Text(CGIS_OleElement* e) { return md::test::ObjectText(e); }
  // The element drawn on a printed page.
  static md::canvas::Raster Drawn(CGIS_OleElement* e) {
    md::test::PrintedPage page;
    EXPECT_TRUE(e->OnDraw(page.hdc, true, page.display.get()));
    return page.Pixels();
  }
  // Its height fits the object's proportions at its width.
  static int FittedHeight(CGIS_OleElement* e) {
    SIZE extent{};
    EXPECT_TRUE(e->GetClientItem()->GetExtent(&extent, -1));
    return static_cast<int>(std::lround(e->GetRect().Width() * static_cast<double>(extent.cy) / extent.cx));
  }
};

TEST_F(OleServer, TheTextEditorSavesAndFitsOnOkAndCancelChangesNothing) {
  const struct {
    const char* name;
    std::function<void(UiUser&)> scene;
    bool bChanged;
    bool bFitted;
  } kCases[] = {
      {"edited, OK",
       [](UiUser& u) {
         EXPECT_EQ(u.Window().GetWindowText(), "文本文档 - OLE文档");
         EXPECT_EQ(u.Text(IDC_TEXT_SERVER_EDIT), "图例\r\nlegend");
         EXPECT_TRUE(u.Type(IDC_TEXT_SERVER_EDIT, "\nline three\nline four"));
         u.Ok();
       },
       true, true},
      {"edited, Cancel",
       [](UiUser& u) {
         EXPECT_TRUE(u.Type(IDC_TEXT_SERVER_EDIT, "\nlost"));
         u.Cancel();
       },
       false, false},
      // Every close by OK tells the element, which fits its box.
      {"unchanged, OK", [](UiUser& u) { u.Ok(); }, false, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    // A box that does not fit the document's proportions.
    CGIS_OleElement* e = Inserted(FileOf(md::test::WriteText("served.txt", "图例\r\nlegend")),
                                  SGIS_Rect(1000, 4000, 4000, 1000));
    // Another element inserted since: opening the first makes it the one that fits.
    Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(5000, 6000, 6000, 5000));
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string before = md::test::StoredForm(e);
    const md::canvas::Raster drawn = Drawn(e);
    const int redraws = Redraws();
    ScriptedDriver driver;
    driver.Then(c.scene);
    EXPECT_TRUE(e->ActivateObject(&display_));
    EXPECT_EQ(driver.DialogTemplatesRun(), std::vector<UINT>{IDD_TEXT_SERVER});
    EXPECT_EQ(e->GetClientItem()->GetItemState(), CGIS_OleClientItem::loadedState);
    EXPECT_EQ(Text(e), c.bChanged ? "图例\nlegend\nline three\nline four" : "图例\r\nlegend");
    if (c.bFitted) {
      EXPECT_EQ(e->GetRect().Height(), FittedHeight(e));
      EXPECT_EQ(e->GetRect().Width(), 3000);
      EXPECT_EQ(Redraws(), redraws + 1);
    } else {
      EXPECT_EQ(md::test::StoredForm(e), before);
      EXPECT_EQ(Redraws(), redraws);
    }
    if (c.bChanged) {
      EXPECT_GT(md::canvas::Compare(Drawn(e), drawn, 0).differing, 100);
    }
  }
}

TEST_F(OleServer, ThePictureWindowReplacesThePictureFromAPngFile) {
  CGIS_OleElement* e =
      Inserted(FileOf(md::test::WritePng("served.png", 80, 40)), SGIS_Rect(1000, 3000, 5000, 1000));
  const std::string square = md::test::WritePng("square.png", 60, 60, true);
  const std::string notPng = md::test::WriteText("not-a-picture.png", "text");
  ScriptedDriver driver;
  driver.AnswerFile(notPng).AnswerFile(square);
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_PICTURE_SERVER_SIZE), "80 × 40 像素");
    EXPECT_TRUE(u.Click(IDC_PICTURE_SERVER_REPLACE));  // refused with a prompt
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(u.Text(IDC_PICTURE_SERVER_SIZE), "80 × 40 像素");
    EXPECT_TRUE(u.Click(IDC_PICTURE_SERVER_REPLACE));
    EXPECT_EQ(u.Text(IDC_PICTURE_SERVER_SIZE), "60 × 60 像素");
    u.Ok();
  });
  EXPECT_TRUE(e->GetClientItem()->DoVerb(-2));
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_NE(md::ui::MessageBoxLog()[0].text.find("无法读取图片"), std::string::npos);
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(md::files::ReadWholeFile(square.c_str(), 1 << 20, &bytes, nullptr));
  EXPECT_EQ(e->GetClientItem()->GetObject()->Content(), bytes);
  // The element is current (inserted last): it fits the square picture.
  EXPECT_EQ(e->GetRect(), SGIS_Rect(1000, 5000, 5000, 1000));
  const md::canvas::Raster px = Drawn(e);
  EXPECT_TRUE(md::test::IsGreen(px.at(md::test::PrintedPage::X(1500), md::test::PrintedPage::Y(3000))));
}

TEST_F(OleServer, EditingALinkWritesItsSource) {
  const std::string source = md::test::WriteText("linked.txt", "old");
  CGIS_OleElement* e = Inserted(LinkOf(source), SGIS_Rect(1000, 3000, 5000, 1000));
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Window().GetWindowText(), "文本文档 - linked.txt");
    EXPECT_TRUE(u.Replace(IDC_TEXT_SERVER_EDIT, "new"));
    u.Ok();
  });
  EXPECT_TRUE(e->ActivateObject(&display_));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(md::files::ReadWholeFile(source.c_str(), 1 << 20, &bytes, nullptr));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
  EXPECT_EQ(Text(e), "new");
  EXPECT_EQ(e->GetClientItem()->GetItemType(), CGIS_OleClientItem::typeLink);
  EXPECT_FALSE(e->GetClientItem()->IsLinkUnavailable());
}

// Opening a link reads its source first: one changed less than a second ago,
// whatever its inode, opens nothing, and the opening answers FALSE with one
// record that says why (a source gone: below).
TEST_F(OleServer, OpeningALinkWhoseSourceCannotBeTakenAnswersFalseWithTheReason) {
  // How the source changes, the opening's time after its last change, the
  // end of the refused opening's record ("" opened).
  const std::tuple<const char*, std::int64_t, const char*> kCases[] = {
      {"in place", kSecond / 3, "try again in 0.77 s"},
      {"renamed", kSecond / 3, "try again in 0.77 s"},
      {"renamed", 3 * kSecond / 2, ""},
  };
  for (const auto& [how, after, reason] : kCases) {
    SCOPED_TRACE(how);
    const std::string source = md::test::WriteText("opened_link.txt", "old");
    CGIS_OleElement* e = Inserted(LinkOf(source), SGIS_Rect(1000, 3000, 5000, 1000));
    md::test::ChangeSource(source, how);
    const md::test::SourceClock clock(md::files::StampOf(source).changed + after);
    ScriptedDriver driver;
    if (*reason == '\0') driver.Then([](UiUser& u) { u.Cancel(); });
    md::test::LogMark mark;
    const bool bOpened = e->ActivateObject(&display_) != FALSE;
    int said = 0;
    for (const SGIS_LogRecord& r : mark.Records())
      said += r.method == "CGIS_OleElement::ActivateObject" && r.text.ends_with(reason);
    EXPECT_EQ((std::vector{bOpened, driver.DialogsRun() == 1, said == 1 && mark.Count() == 1}),
              (std::vector{!*reason, !*reason, *reason != '\0'}));
  }
}

// What cannot be opened gets a prompt and stays as it was; the element's one
// record names it and says why (the client item's verb writes none).
TEST_F(OleServer, WhatCannotBeOpenedGetsAPromptAndStaysAsItWas) {
  const std::string source = md::test::WriteText("gone.txt", "gone");
  std::filesystem::create_directories(std::string(MD_TEST_OUTPUT_DIR) + "/opening");
  const std::string unwritten = md::test::WriteText("opening/unwritten.txt", "old");
  const struct {
    const char* name;
    md::layout::SGIS_OleInsertChoice choice;
    std::function<void(CGIS_OleElement*)> prepare;
    const char* prompt;
    const char* reason;  // how the element's record ends
    std::function<void(UiUser&)> scene = nullptr;
  } kCases[] = {
      {"static", LinkOf(source), [](CGIS_OleElement* e) { e->GetClientItem()->FreezeLink(); }, "静态对象",
       "a static object opens in no server"},
      {"source gone", LinkOf(source), [&](CGIS_OleElement*) { std::filesystem::remove(source); }, "链接",
       "gone.txt is gone"},
      {"no server", NewOf("Mapdeck.Picture"),
       [](CGIS_OleElement*) { md::ole::SetObjectServer(md::ole::PictureClass().clsid, {}); }, "无法启动",
       "no server is installed for the 图片对象"},
      {"a server that fails to start", NewOf("Mapdeck.Picture"),
       [](CGIS_OleElement*) {
         md::ole::SetObjectServer(md::ole::PictureClass().clsid,
                                  [](const md::ole::ServerRequest&) { return md::ole::ServerResult{}; });
       },
       "无法启动", "the server of the 图片对象 did not start"},
      {"source unwritable", LinkOf(unwritten), [](CGIS_OleElement*) {}, "无法保存链接的源文件",
       ": No such file or directory",
       [&](UiUser& u) {
         EXPECT_TRUE(u.Replace(IDC_TEXT_SERVER_EDIT, "new"));
         std::filesystem::remove_all(std::filesystem::path(unwritten).parent_path());
         u.Ok();
       }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    md::test::WriteText("gone.txt", "gone");
    CGIS_OleElement* e = Inserted(c.choice, SGIS_Rect(1000, 3000, 5000, 1000));
    e->SetName("opened");
    c.prepare(e);
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string before = md::test::StoredForm(e);
    md::ui::ClearMessageBoxLog();
    ScriptedDriver driver;
    if (c.scene) driver.Then(c.scene);
    md::test::LogMark mark;
    EXPECT_FALSE(e->ActivateObject(&display_));
    EXPECT_EQ(driver.DialogsRun(), c.scene ? 1 : 0);
    ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
    EXPECT_NE(md::ui::MessageBoxLog()[0].text.find(c.prompt), std::string::npos)
        << md::ui::MessageBoxLog()[0].text;
    EXPECT_EQ(md::test::StoredForm(e), before);
    EXPECT_NE(e->GetClientItem()->GetItemState(), CGIS_OleClientItem::openState);
    const std::vector<SGIS_LogRecord> records = mark.Records();
    const std::string named = "\"opened\" (feature " + std::to_string(e->GetID()) + "): ";
    EXPECT_TRUE(records.size() == 1 && records[0].method == "CGIS_OleElement::ActivateObject" &&
                records[0].text.starts_with(named) && records[0].text.ends_with(c.reason))
        << records.size() << " records, the last " << (records.empty() ? "" : records.back().text);
    InstallServers();
  }
}

TEST_F(OleServer, TheSheetsObjectPageOpensTheServerAndCancelPutsTheObjectBack) {
  for (const bool bConfirm : {true, false}) {
    SCOPED_TRACE(bConfirm ? "OK" : "Cancel");
    CGIS_OleElement* e =
        Inserted(FileOf(md::test::WriteText("paged.txt", "page")), SGIS_Rect(1000, 4000, 4000, 1000));
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string before = md::test::StoredForm(e);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.GoToPage(1));  // the size page, shown before the object changes
      EXPECT_TRUE(u.GoToPage(2));
      EXPECT_EQ(u.Text(IDC_OLE_OBJECT_CLASS), "文本文档");
      EXPECT_EQ(u.Text(IDC_OLE_OBJECT_KIND), "嵌入");
      EXPECT_FALSE(u.IsEnabled(IDC_OLE_OBJECT_UPDATE));
      EXPECT_TRUE(u.Click(IDC_OLE_OBJECT_OPEN));
      EXPECT_EQ(Text(e), "page\n2\n3\n4");
      bConfirm ? u.Ok() : u.Cancel();
    });
    driver.Then([](UiUser& u) {
      EXPECT_TRUE(u.Type(IDC_TEXT_SERVER_EDIT, "\n2\n3\n4"));
      u.Ok();
    });
    EXPECT_EQ(e->OnOpenPropertyDlg(&display_, TRUE), bConfirm ? TRUE : FALSE);
    if (bConfirm) {
      // Taller than before: the size page, shown before, kept the fitted size.
      EXPECT_EQ(Text(e), "page\n2\n3\n4");
      EXPECT_EQ(e->GetRect().Width(), 3000);
      EXPECT_EQ(e->GetRect().Height(), FittedHeight(e));
    } else {
      EXPECT_EQ(md::test::StoredForm(e), before);
    }
  }
}

// A link read from a page shows its stored presentation, and the object page
// says so, until "update now" reads the source: a changed source is shown
// and the view redrawn; a source gone is named with a prompt.
TEST_F(OleServer, TheObjectPageShowsAReadLinkUnupdatedUntilUpdateNow) {
  const struct {
    const char* name;
    bool bSourceKept;
    const char* after;  // what follows the source's path once updated
    std::size_t prompts;
  } kCases[] = {
      {"source changed", true, "", 0},
      {"source gone", false, "（无法访问，显示上次的内容）", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string source = md::test::WriteText("paged_link.txt", "stored");
    CGIS_OleElement* e = Inserted(LinkOf(source), SGIS_Rect(1000, 4000, 4000, 1000));
    ASSERT_TRUE(e->Archive(0, 0));
    CGIS_OleElement* back = Reread(e);
    if (c.bSourceKept)
      md::test::WriteText("paged_link.txt", "changed");
    else
      std::filesystem::remove(source);
    const md::test::SourceClock later;
    md::ui::ClearMessageBoxLog();
    const int redraws = Redraws();
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.GoToPage(2));
      EXPECT_EQ(u.Text(IDC_OLE_OBJECT_KIND), "链接");
      EXPECT_EQ(u.Text(IDC_OLE_OBJECT_SOURCE), source + "（未更新，显示保存的内容）");
      EXPECT_EQ(Text(back), "stored");
      EXPECT_TRUE(u.Click(IDC_OLE_OBJECT_UPDATE));
      EXPECT_EQ(u.Text(IDC_OLE_OBJECT_SOURCE), source + c.after);
      EXPECT_EQ(Text(back), c.bSourceKept ? "changed" : "stored");
      u.Ok();
    });
    EXPECT_TRUE(back->OnOpenPropertyDlg(&display_, TRUE));
    ASSERT_EQ(md::ui::MessageBoxLog().size(), c.prompts);
    if (c.prompts > 0) {
      EXPECT_NE(md::ui::MessageBoxLog()[0].text.find("无法更新链接"), std::string::npos);
    }
    EXPECT_EQ(Redraws(), redraws + (c.bSourceKept ? 1 : 0));
  }
}

}  // namespace
